// The best score and its holder, program-wide for the whole run, and their
// trip to and from the score file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "highscore/score_file.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"

namespace poroten::highscore {

// The first line of the box that tells a save failed; each place and its reason follow.
constexpr const char* kSaveFailed = "ハイスコアを保存できませんでした。";

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
    // it. closed runs once that is over (after any failure box).
    void ConfirmNewRecord(std::string name, std::function<void()> closed);

    // The same, while the program is ending: done before this returns, with
    // no box, since nobody may be there to close it. A ConfirmNewRecord still
    // waiting for its lock is dropped, its closed never run.
    void ConfirmBeforeEnding(std::string name);

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
    // Writes the record to every place; the reasons of those that failed, or
    // an empty text when one took it.
    std::string saveToEveryPlace();

    platform::Files& files_;
    const platform::TextCodec& codec_;
    platform::MessageBoxes& messageBoxes_;
    std::filesystem::path scoreFile_;
    // Counts confirmations, so that one overtaken by the program ending does nothing.
    unsigned confirmation_ = 0;
};

}  // namespace poroten::highscore
