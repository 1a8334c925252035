#include "highscore/high_score_store.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace poroten::highscore {

namespace {

// Another copy's lock is waited for this long, then the section runs anyway.
constexpr std::chrono::milliseconds kLockPatience{2000};
constexpr platform::LockWait kMayWait{kLockPatience, true};
// A system ending the program waits a few seconds at most (Windows about
// five at log-off): the save must be over well before, held files or not.
constexpr platform::LockWait kEnding{std::chrono::milliseconds(1000), false,
                                     std::chrono::milliseconds(2500)};

std::int16_t asScore(long score) {
    return static_cast<std::int16_t>(std::clamp<long>(score, std::numeric_limits<std::int16_t>::min(),
                                                      std::numeric_limits<std::int16_t>::max()));
}

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
        if (forNow_ && record == *forNow_) {
            record = ScoreRec{};  // this program's own: no better record of anyone's
        }
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
    auto isNew = std::make_shared<bool>(false);
    files_.whileLocked(
        lockFile(), kMayWait,
        [this, score, isNew] {
            ReadAgain();
            if (score > HighScore) {
                HighScore = asScore(score);
                *isNew = true;
            }
        },
        [isNew, onNewRecord = std::move(onNewRecord)] {
            if (*isNew && onNewRecord) {
                onNewRecord();
            }
        });
}

void Module1::ConfirmNewRecord(std::string name, std::function<void()> closed) {
    const unsigned confirmation = ++confirmation_;
    // Unset while the confirmation has not run, or was overtaken.
    auto reasons = std::make_shared<std::optional<std::string>>();
    files_.whileLocked(
        lockFile(), kMayWait,
        [this, confirmation, reasons, name = std::move(name)]() mutable {
            if (confirmation != confirmation_) {
                return;  // the program ending has confirmed it meanwhile
            }
            HighName = std::move(name);
            *reasons = ReadAgain() ? std::string() : saveToEveryPlace(currentRecord());
        },
        [this, reasons, closed = std::move(closed)]() mutable {
            if (*reasons) {
                report(**reasons, std::move(closed));
            }
        });
}

void Module1::ConfirmBeforeEnding(std::string name) {
    ++confirmation_;
    files_.whileLocked(
        lockFile(), kEnding,
        [this, name = std::move(name)]() mutable {
            HighName = std::move(name);
            if (!ReadAgain()) {
                saveToEveryPlace(currentRecord());
            }
        },
        {});
}

void Module1::KeepScoreBeforeEnding(long score) {
    ++confirmation_;
    files_.whileLocked(
        lockFile(), kEnding,
        [this, score] {
            ReadAgain();
            if (score <= HighScore) {
                return;
            }
            HighScore = asScore(score);
            HighName.clear();
            saveToEveryPlace(currentRecord());
        },
        {});
}

void Module1::KeepNameForNow(std::string name) {
    files_.whileLocked(
        lockFile(), kEnding,
        [this, name = std::move(name)] {
            // A better record stored meanwhile stays; the confirmation will
            // find it again.
            if (!ReadAgain()) {
                saveForNow(ScoreRec{
                    .Score = HighScore, .Name = encodeName(codec_, name), .Marker = kValidMarker});
            }
        },
        {});
}

void Module1::KeepScoreForNow(long score) {
    files_.whileLocked(
        lockFile(), kEnding,
        [this, score] {
            ReadAgain();
            if (score > HighScore) {
                saveForNow(ScoreRec{.Score = asScore(score), .Name = {}, .Marker = kValidMarker});
            }
        },
        {});
}

void Module1::saveForNow(const ScoreRec& record) {
    if (saveToEveryPlace(record).empty()) {
        forNow_ = record;
    }
}

ScoreRec Module1::currentRecord() const {
    return ScoreRec{
        .Score = HighScore, .Name = encodeName(codec_, HighName), .Marker = kValidMarker};
}

// A tie goes to the record already stored, as in ReadAgain; the same record
// need not be written again.
bool Module1::keepsStored(const ScoreRec& stored, const ScoreRec& saving) const {
    return stored.isValid() && !(forNow_ && stored == *forNow_) && stored.Score >= saving.Score;
}

std::string Module1::saveToEveryPlace(const ScoreRec& record) {
    const std::string bytes = scoreRecBytes(record);
    std::string reasons;
    bool saved = false;
    for (const auto& place : places()) {
        // Each place keeps its own bytes past the record: the file is not truncated.
        platform::ReadResult old = files_.readOrCreate(place, kLongestRecord);
        std::string error = std::move(old.error);
        if (old.ok) {
            if (keepsStored(readScoreRec(old.bytes), record)) {
                saved = true;
                continue;
            }
            platform::WriteResult written =
                files_.replace(place, writtenAtStart(std::move(old.bytes), bytes));
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
    if (saved) {
        ScoreRecord = record;
        forNow_.reset();
    }
    return saved ? std::string() : reasons;
}

void Module1::report(const std::string& reasons, std::function<void()> closed) {
    if (reasons.empty()) {
        if (closed) {
            closed();
        }
        return;
    }
    messageBoxes_.show("", kSaveFailed + reasons, std::move(closed));
}

void Module1::SaveHighScore(std::function<void()> closed) {
    report(saveToEveryPlace(currentRecord()), std::move(closed));
}

}  // namespace poroten::highscore
