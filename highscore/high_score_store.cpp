#include "highscore/high_score_store.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace poroten::highscore {

namespace {

std::string utf8Of(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

Module1::Module1(platform::Files& files, const platform::TextCodec& codec,
                 platform::MessageBoxes& messageBoxes)
    : files_(files), codec_(codec), messageBoxes_(messageBoxes), scoreFile_(inProgramFolder()) {}

std::filesystem::path Module1::inProgramFolder() const {
    return files_.programDirectory() / kScoreFileName;
}

std::filesystem::path Module1::inUserFolder() const {
    return files_.userDataDirectory() / kScoreFileName;
}

Module1::Stored Module1::readBest() {
    Stored best;
    for (const auto& candidate : {inProgramFolder(), inUserFolder()}) {
        platform::ReadResult read = files_.readOrCreate(candidate);
        if (!read.ok) {
            continue;
        }
        ScoreRec record = readScoreRec(read.bytes);
        // Strictly better: on a tie the program folder, read first, keeps it.
        if (best.file.empty() ||
            (record.isValid() && (!best.record.isValid() || record.Score > best.record.Score))) {
            best = Stored{candidate, std::move(record)};
        }
    }
    return best;
}

void Module1::LoadHighScore() {
    Stored best = readBest();
    ScoreRecord = std::move(best.record);
    if (!best.file.empty()) {
        scoreFile_ = std::move(best.file);
    }
    if (ScoreRecord.isValid()) {
        HighScore = ScoreRecord.Score;
        HighName = codec_.fromCodePage932(ScoreRecord.Name);
    }
}

bool Module1::ReadAgain() {
    Stored best = readBest();
    if (best.file.empty() || !best.record.isValid() || best.record.Score < HighScore) {
        return false;
    }
    ScoreRecord = std::move(best.record);
    scoreFile_ = std::move(best.file);
    HighScore = ScoreRecord.Score;
    HighName = codec_.fromCodePage932(ScoreRecord.Name);
    return true;
}

void Module1::CheckNewRecord(long score, std::function<void()> onNewRecord) {
    files_.whileLocked(scoreFile_, [this, score, onNewRecord = std::move(onNewRecord)] {
        ReadAgain();
        if (score <= HighScore) {
            return;
        }
        HighScore = static_cast<std::int16_t>(
            std::min<long>(score, std::numeric_limits<std::int16_t>::max()));
        if (onNewRecord) {
            onNewRecord();
        }
    });
}

void Module1::ConfirmNewRecord(std::function<void()> closed) {
    files_.whileLocked(scoreFile_, [this, closed = std::move(closed)]() mutable {
        if (ReadAgain()) {
            if (closed) {
                closed();
            }
            return;
        }
        SaveHighScore(std::move(closed));
    });
}

bool Module1::SaveHighScore(std::function<void()> closed) {
    ScoreRecord = ScoreRec{HighScore, encodeName(codec_, HighName), kValidMarker};
    const std::string record = scoreRecBytes(ScoreRecord);

    // The file last used first; the other place only when that one fails.
    std::vector<std::filesystem::path> candidates{scoreFile_};
    for (const auto& other : {inProgramFolder(), inUserFolder()}) {
        if (other != scoreFile_) {
            candidates.push_back(other);
        }
    }
    std::string reasons;
    for (const auto& candidate : candidates) {
        platform::ReadResult old = files_.readOrCreate(candidate);
        std::string error = old.error;
        if (old.ok) {
            platform::WriteResult written =
                files_.replace(candidate, writtenAtStart(std::move(old.bytes), record));
            if (written.ok) {
                scoreFile_ = candidate;
                if (closed) {
                    closed();
                }
                return true;
            }
            error = written.error;
        }
        reasons.append("\r").append(utf8Of(candidate)).append("\r").append(error);
    }
    messageBoxes_.show("", "ハイスコアを保存できませんでした。" + reasons, std::move(closed));
    return false;
}

}  // namespace poroten::highscore
