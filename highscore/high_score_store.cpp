#include "highscore/high_score_store.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace poroten::highscore {

namespace {

// Another copy's lock is waited for this long, then the section runs anyway.
constexpr std::chrono::milliseconds kLockPatience{2000};
constexpr platform::LockWait kMayWait{kLockPatience, true};
constexpr platform::LockWait kEnding{kLockPatience, false};

std::string utf8Of(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

Module1::Module1(platform::Files& files, const platform::TextCodec& codec,
                 platform::MessageBoxes& messageBoxes)
    : files_(files),
      codec_(codec),
      messageBoxes_(messageBoxes),
      scoreFile_(files.programDirectory() / kScoreFileName) {}

// Beside the program first, which wins a tie; the user's folder second. A
// platform with one place for both (the page) lists it once.
std::vector<std::filesystem::path> Module1::places() const {
    std::vector<std::filesystem::path> result{files_.programDirectory() / kScoreFileName};
    if (const auto user = files_.userDataDirectory(); !user.empty()) {
        if (auto inUser = user / kScoreFileName; inUser != result.front()) {
            result.push_back(std::move(inUser));
        }
    }
    return result;
}

// Every copy of the program a user runs, from whatever folder, writes the
// user's folder: its lock is the one they all share.
std::filesystem::path Module1::lockFile() const {
    return places().back();
}

Module1::Stored Module1::readBest() {
    Stored best;
    for (const auto& candidate : places()) {
        platform::ReadResult read = files_.readOrCreate(candidate, kLongestRecord);
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
    files_.whileLocked(lockFile(), kMayWait, [this, score, onNewRecord = std::move(onNewRecord)] {
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

void Module1::ConfirmNewRecord(std::string name, std::function<void()> closed) {
    const unsigned confirmation = ++confirmation_;
    files_.whileLocked(
        lockFile(), kMayWait,
        [this, confirmation, name = std::move(name), closed = std::move(closed)]() mutable {
            if (confirmation != confirmation_) {
                return;  // the program ending has confirmed it meanwhile
            }
            HighName = std::move(name);
            if (ReadAgain()) {
                if (closed) {
                    closed();
                }
                return;
            }
            SaveHighScore(std::move(closed));
        });
}

void Module1::ConfirmBeforeEnding(std::string name) {
    ++confirmation_;
    files_.whileLocked(lockFile(), kEnding, [this, name = std::move(name)]() mutable {
        HighName = std::move(name);
        if (!ReadAgain()) {
            saveToEveryPlace();
        }
    });
}

std::string Module1::saveToEveryPlace() {
    ScoreRecord = ScoreRec{HighScore, encodeName(codec_, HighName), kValidMarker};
    const std::string record = scoreRecBytes(ScoreRecord);
    std::string reasons;
    bool saved = false;
    for (const auto& place : places()) {
        // Each place keeps its own bytes past the record: the file is not truncated.
        platform::ReadResult old = files_.readOrCreate(place, kLongestRecord);
        std::string error = std::move(old.error);
        if (old.ok) {
            platform::WriteResult written =
                files_.replace(place, writtenAtStart(std::move(old.bytes), record));
            if (written.ok) {
                if (!saved) {
                    scoreFile_ = place;
                }
                saved = true;
                continue;
            }
            error = std::move(written.error);
        }
        reasons.append("\r").append(utf8Of(place)).append("\r").append(error);
    }
    return saved ? std::string() : reasons;
}

void Module1::SaveHighScore(std::function<void()> closed) {
    const std::string reasons = saveToEveryPlace();
    if (reasons.empty()) {
        if (closed) {
            closed();
        }
        return;
    }
    messageBoxes_.show("", kSaveFailed + reasons, std::move(closed));
}

}  // namespace poroten::highscore
