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
    // program's folder cannot be written. A missing, short or damaged record
    // leaves HighScore at 0 and HighName empty.
    void LoadHighScore();

    // Writes HighScore and HighName. On failure a message box names the file
    // and the reason, and the record stays in memory. Returns whether it was
    // saved; then runs once that box is closed, or at once when it was saved.
    bool SaveHighScore(std::function<void()> then = {});

    // Where the record was last read or written.
    const std::filesystem::path& scoreFile() const { return scoreFile_; }

private:
    std::filesystem::path inProgramFolder() const;
    std::filesystem::path inUserFolder() const;

    platform::Files& files_;
    const platform::TextCodec& codec_;
    platform::MessageBoxes& messageBoxes_;
    std::filesystem::path scoreFile_;
};

}  // namespace poroten::highscore
