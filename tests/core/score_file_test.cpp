#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "fakes/fake_platform.h"
#include "highscore/high_score_store.h"
#include "highscore/score_file.h"

namespace poroten::testing {
namespace {

using highscore::ScoreRec;
// The bytes of a record are the committed facts' (tests/golden/); these cases
// read what the writer writes, whatever its layout.
ScoreRec rec(std::int16_t score, std::string name, std::int16_t marker = highscore::kValidMarker) {
    return ScoreRec{.Score = score, .Name = std::move(name), .Marker = marker};
}

TEST(ScoreFile, ARecordReadsBackWhateverBytesFollowItAndOnlyItsMarkerMakesItValid) {
    for (const ScoreRec& r : {rec(12, "\x82\xA0\x82\xA2"), rec(-2, ""), rec(300, "A")}) {
        EXPECT_EQ(highscore::readScoreRec(highscore::scoreRecBytes(r)), r) << r.Score;
        EXPECT_EQ(highscore::readScoreRec(highscore::scoreRecBytes(r) + "garbage"), r) << r.Score;
    }
    for (const std::int16_t marker : {0, 3}) {
        const ScoreRec read = highscore::readScoreRec(highscore::scoreRecBytes(rec(7, "", marker)));
        EXPECT_EQ(read.Marker, marker);
        EXPECT_FALSE(read.isValid()) << marker;
    }
}

TEST(ScoreFile, AFileCutAnywhereHoldsNoRecordAndNoPartOfTheName) {
    const std::string whole = highscore::scoreRecBytes(rec(9, "NAME"));
    const std::size_t nameAt = whole.find("NAME");
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const ScoreRec r = highscore::readScoreRec(whole.substr(0, length));
        EXPECT_FALSE(r.isValid()) << "cut at " << length;
        EXPECT_EQ(r.Name, length < nameAt + 4 ? "" : "NAME") << "cut at " << length;
    }
}

TEST(ScoreFile, RandomBytesNeverCrashAndValidOnesAreSelfConsistent) {
    // Records as written, valid or not, with stray bytes after them, then now
    // and then a byte changed anywhere or the file cut: uniform bytes would
    // almost never name a length that fits the file.
    std::mt19937 gen(20261207);
    int valid = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string name(gen() % 12, '\0');
        for (char& b : name) {
            b = static_cast<char>(gen());
        }
        const auto marker =
            static_cast<std::int16_t>(gen() % 2 == 0 ? highscore::kValidMarker : gen());
        std::string bytes =
            highscore::scoreRecBytes(rec(static_cast<std::int16_t>(gen()), name, marker));
        bytes.resize(bytes.size() + gen() % 8, static_cast<char>(gen()));
        if (gen() % 4 == 0) {
            bytes[gen() % bytes.size()] = static_cast<char>(gen());
        }
        bytes.resize(gen() % 16 == 0 ? gen() % bytes.size() : bytes.size());

        const ScoreRec r = highscore::readScoreRec(bytes);
        if (r.isValid()) {
            ++valid;
            const std::string written = highscore::scoreRecBytes(r);
            EXPECT_EQ(bytes.substr(0, written.size()), written);
        }
    }
    // About 2000 x 1/2 x 15/16 of them, less some a changed byte spoils.
    EXPECT_GT(valid, 600);
}

TEST(ScoreFile, AShorterRecordLeavesTheOldBytesAfterIt) {
    const std::string old = highscore::scoreRecBytes(rec(20, "LONGNAME"));
    const std::string shorter = highscore::scoreRecBytes(rec(21, "AB"));
    const std::string now = highscore::writtenAtStart(old, shorter);
    EXPECT_EQ(now, shorter + old.substr(shorter.size()));
    EXPECT_EQ(highscore::readScoreRec(now), rec(21, "AB"));
}

TEST(ScoreFile, ALongerRecordGrowsTheFile) {
    const std::string record = highscore::scoreRecBytes(rec(1, "LONGER"));
    EXPECT_EQ(highscore::writtenAtStart("ab", record), record);
}

TEST(NameEncoding, ANameTooLongForTheLengthFieldIsCutOnACharacterBoundary) {
    FakeCodec codec;
    // One two-byte character more than fits in the longest name (an odd
    // number of bytes): one must go, not half of one.
    std::string name;
    for (std::size_t i = 0; i < highscore::kMaxNameBytes / 2 + 1; ++i) {
        name += "あ";
    }
    const std::string encoded = highscore::encodeName(codec, name);
    EXPECT_EQ(encoded.size(), highscore::kMaxNameBytes - 1);
    EXPECT_EQ(encoded.substr(encoded.size() - 2), "\x82\xA0");
    // One ASCII letter in front fits exactly.
    EXPECT_EQ(highscore::encodeName(codec, std::string("a").append(name, 3)).size(),
              highscore::kMaxNameBytes);
    EXPECT_EQ(highscore::encodeName(codec, std::string(highscore::kMaxNameBytes + 5, 'x')).size(),
              highscore::kMaxNameBytes);
    EXPECT_EQ(highscore::encodeName(codec, "short"), "short");
}

}  // namespace
}  // namespace poroten::testing
