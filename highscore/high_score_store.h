// The best score and its holder, program-wide for the whole run, and their
// trip to and from the score file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "highscore/score_file.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "platform/texts.h"

namespace poroten::highscore {

class Module1 {
public:
    Module1(platform::Files& files, const platform::TextCodec& codec,
            platform::MessageBoxes& messageBoxes);

    std::int16_t HighScore = 0;
    std::string HighName;  // UTF-8
    ScoreRec ScoreRecord;

    // Reads the record, creating an empty file when there is none. The record
    // is kept in two places, beside the program and in the user's data
    // folder, so that a copy of the program in another folder finds it too.
    // Both are read and the better valid record counts, the program folder's
    // when they are equal. A missing, short or damaged record leaves
    // HighScore at 0 and HighName empty.
    void LoadHighScore();

    // Reads both places again, since another copy of the program may have
    // saved meanwhile. A stored valid record at or above HighScore becomes
    // the best score and holder; returns whether one did.
    bool ReadAgain();

    // After a game: re-reads the record under the file's lock and runs
    // onNewRecord, with HighScore already raised to score, only when score
    // beats both the record in memory and the stored one.
    void CheckNewRecord(long score, std::function<void()> onNewRecord);

    // The holder's name is in: re-reads the record under the file's lock and
    // saves HighScore with name unless a stored record is now at or above
    // HighScore, which is then kept, with HighScore and HighName taken from
    // it. closed runs once that is over (after any failure box, which opens
    // only once the lock is let go).
    void ConfirmNewRecord(std::string name, std::function<void()> closed);

    // The same, while the program is ending: done before this returns, with
    // no box, since nobody may be there to close it. A ConfirmNewRecord still
    // waiting for its lock is dropped, its closed never run.
    void ConfirmBeforeEnding(std::string name);

    // The program is ending after a game that ended with score, before the
    // check that would have asked for a name: a new record is kept with no
    // name, as the name window's close box would keep it. Done before this
    // returns, with no box.
    void KeepScoreBeforeEnding(long score);

    // The program may be killed without another word (the page hidden) but
    // may also come back. The record as it stands is saved now, with the
    // name typed so far or, before the check, none; it is remembered as this
    // program's own, so that the check and the confirmation that follow when
    // the player comes back take it for nobody else's better record and
    // replace it. HighScore and HighName are not changed by it.
    void KeepNameForNow(std::string name);
    void KeepScoreForNow(long score);

    // Writes HighScore and HighName to both places, each replaced whole. It
    // is saved when at least one place took it; when neither did, a message
    // box names each file and its reason, and the record stays in memory.
    // closed runs once that box is closed, or at once when it was saved.
    void SaveHighScore(std::function<void()> closed = {});

    // Where the record was last read or written.
    const std::filesystem::path& scoreFile() const { return scoreFile_; }

private:
    struct Stored {
        std::filesystem::path file;  // empty when neither place could be read
        ScoreRec record;
    };
    Stored readBest();
    std::vector<std::filesystem::path> places() const;
    std::filesystem::path lockFile() const;
    // Whether a stored record is another's, at or above the record about to
    // be saved, and so must not be written over.
    bool keepsStored(const ScoreRec& stored, const ScoreRec& saving) const;
    // Writes the record to every place that holds nothing better; the reasons
    // of those that failed, or an empty text when one took it.
    std::string saveToEveryPlace(const ScoreRec& record);
    ScoreRec currentRecord() const;
    void saveForNow(const ScoreRec& record);
    void report(const std::string& reasons, std::function<void()> closed);

    platform::Files& files_;
    const platform::TextCodec& codec_;
    platform::MessageBoxes& messageBoxes_;
    std::filesystem::path scoreFile_;
    // Counts confirmations, so that one overtaken by the program ending does nothing.
    unsigned confirmation_ = 0;
    // The record this program saved for now, which is nobody else's.
    std::optional<ScoreRec> forNow_;
};

}  // namespace poroten::highscore
