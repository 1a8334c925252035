// The best score and its holder, program-wide for the whole run, and their
// trip to and from the score file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "highscore/score_file.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"

namespace poroten::highscore {

class Module1 {
public:
    Module1(platform::Files& files, const platform::TextCodec& codec,
            platform::MessageBoxes& messageBoxes);

    std::int16_t HighScore = 0;
    std::string HighName;  // UTF-8
    ScoreRec ScoreRecord;

    // Reads the record, creating an empty file when there is none. The file
    // lives beside the program, or in the user's data folder when the
    // program's folder cannot be written. Both places are read and the better
    // valid record counts, the program folder's when they are equal: a save
    // that once fell back to the user's folder is not hidden by an older file
    // beside the program. A missing, short or damaged record leaves HighScore
    // at 0 and HighName empty.
    void LoadHighScore();

    // Reads both places again, since another copy of the program may have
    // saved meanwhile. A stored valid record at or above HighScore becomes
    // the best score and holder; returns whether one did.
    bool ReadAgain();

    // After a game: re-reads the record under the file's lock and runs
    // onNewRecord, with HighScore already raised to score, only when score
    // beats both the record in memory and the stored one.
    void CheckNewRecord(long score, std::function<void()> onNewRecord);

    // Once the holder's name is in HighName: re-reads the record under the
    // file's lock and saves unless a stored record is now at or above
    // HighScore, which is then kept, with HighScore and HighName taken from
    // it. closed runs once that is over (after any failure box).
    void ConfirmNewRecord(std::function<void()> closed);

    // Writes HighScore and HighName. On failure a message box names the file
    // and the reason, and the record stays in memory. Returns whether it was
    // saved; closed runs once that box is closed, or at once when it was saved.
    bool SaveHighScore(std::function<void()> closed = {});

    // Where the record was last read or written.
    const std::filesystem::path& scoreFile() const { return scoreFile_; }

private:
    struct Stored {
        std::filesystem::path file;  // empty when neither place could be read
        ScoreRec record;
    };
    Stored readBest();
    std::filesystem::path inProgramFolder() const;
    std::filesystem::path inUserFolder() const;

    platform::Files& files_;
    const platform::TextCodec& codec_;
    platform::MessageBoxes& messageBoxes_;
    std::filesystem::path scoreFile_;
};

}  // namespace poroten::highscore
