#include <gtest/gtest.h>

#include <random>

#include "fakes/fake_platform.h"
#include "highscore/high_score_store.h"
#include "highscore/score_file.h"

namespace poroten::testing {
namespace {

using highscore::ScoreRec;
using namespace std::string_literals;

TEST(ScoreFile, ARecordIsScoreLengthNameMarkerLittleEndian) {
    EXPECT_EQ(highscore::scoreRecBytes({12, "A", 2}),
              "\x0C\x00\x01\x00"
              "A\x02\x00"s);
    EXPECT_EQ(highscore::scoreRecBytes({300, "", 2}), "\x2C\x01\x00\x00\x02\x00"s);
    // Scores are signed 16-bit.
    EXPECT_EQ(highscore::scoreRecBytes({-2, "", 2}), "\xFE\xFF\x00\x00\x02\x00"s);
}

TEST(ScoreFile, AFileWrittenByHandReadsBack) {
    const std::string file = "\x0C\x00\x04\x00\x82\xA0\x82\xA2\x02\x00"s;
    const ScoreRec r = highscore::readScoreRec(file);
    EXPECT_EQ(r.Score, 12);
    EXPECT_EQ(r.Name, "\x82\xA0\x82\xA2");
    EXPECT_TRUE(r.isValid());
}

TEST(ScoreFile, BytesAfterTheRecordAreNeverRead) {
    const ScoreRec r = highscore::readScoreRec("\x05\x00\x00\x00\x02\x00garbage"s);
    EXPECT_EQ(r.Score, 5);
    EXPECT_EQ(r.Name, "");
    EXPECT_TRUE(r.isValid());
}

TEST(ScoreFile, AFileCutAnywhereHoldsNoRecord) {
    const std::string whole = highscore::scoreRecBytes({9, "NAME", 2});
    for (std::size_t length = 0; length < whole.size(); ++length) {
        EXPECT_FALSE(highscore::readScoreRec(whole.substr(0, length)).isValid())
            << "cut at " << length;
    }
}

TEST(ScoreFile, ALengthReachingPastTheEndReadsNoNameAndNoRecord) {
    const ScoreRec r = highscore::readScoreRec(
        "\x07\x00\xFF\xFF"
        "AB\x02\x00"s);
    EXPECT_FALSE(r.isValid());
    EXPECT_EQ(r.Name, "");
}

TEST(ScoreFile, AMarkerOtherThanTwoHoldsNoRecord) {
    EXPECT_FALSE(highscore::readScoreRec("\x07\x00\x00\x00\x00\x00"s).isValid());
    EXPECT_FALSE(highscore::readScoreRec("\x07\x00\x00\x00\x03\x00"s).isValid());
}

TEST(ScoreFile, RandomBytesNeverCrashAndValidOnesAreSelfConsistent) {
    // Files shaped like a record often enough to be valid: a short name
    // length, the marker in place or not, and stray bytes after it. Uniform
    // bytes would almost never name a length that fits the file.
    std::mt19937 gen(20261207);
    int valid = 0;
    for (int round = 0; round < 2000; ++round) {
        const std::size_t nameLength = gen() % 12;
        std::string bytes(4 + nameLength + 2 + gen() % 8, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(gen());
        }
        bytes[2] = static_cast<char>(gen() % 8 == 0 ? gen() : nameLength);
        bytes[3] = static_cast<char>(gen() % 8 == 0 ? gen() : 0);
        if (gen() % 2 == 0) {
            bytes[4 + nameLength] = 2;
            bytes[5 + nameLength] = 0;
        }
        bytes.resize(gen() % 16 == 0 ? gen() % bytes.size() : bytes.size());

        const ScoreRec r = highscore::readScoreRec(bytes);
        if (r.isValid()) {
            ++valid;
            EXPECT_EQ(bytes.substr(0, 6 + r.Name.size()), highscore::scoreRecBytes(r));
        }
    }
    // About 2000 x 1/2 x 7/8 x 7/8 x 15/16 of them.
    EXPECT_GT(valid, 600);
}

TEST(ScoreFile, AShorterRecordLeavesTheOldBytesAfterIt) {
    const std::string old = highscore::scoreRecBytes({20, "LONGNAME", 2});
    const std::string now = highscore::writtenAtStart(old, highscore::scoreRecBytes({21, "AB", 2}));
    EXPECT_EQ(now.size(), old.size());
    EXPECT_EQ(now.substr(0, 8),
              "\x15\x00\x02\x00"
              "AB\x02\x00"s);
    EXPECT_EQ(now.substr(8), old.substr(8));
    const ScoreRec r = highscore::readScoreRec(now);
    EXPECT_EQ(r.Score, 21);
    EXPECT_EQ(r.Name, "AB");
}

TEST(ScoreFile, ALongerRecordGrowsTheFile) {
    EXPECT_EQ(highscore::writtenAtStart("", "\x01\x00\x00\x00\x02\x00"s),
              "\x01\x00\x00\x00\x02\x00"s);
}

TEST(NameEncoding, ANameTooLongForTheLengthFieldIsCutOnACharacterBoundary) {
    FakeCodec codec;
    // 32768 two-byte characters would be 65536 bytes; one must go, not half of one.
    std::string name;
    for (int i = 0; i < 32768; ++i) {
        name += "あ";
    }
    const std::string encoded = highscore::encodeName(codec, name);
    EXPECT_EQ(encoded.size(), 65534u);
    EXPECT_EQ(encoded.substr(encoded.size() - 2), "\x82\xA0");
    // One ASCII letter in front fits exactly.
    EXPECT_EQ(highscore::encodeName(codec, std::string("a").append(name, 3)).size(), 65535u);
    EXPECT_EQ(highscore::encodeName(codec, std::string(70000, 'x')).size(), 65535u);
    EXPECT_EQ(highscore::encodeName(codec, "short"), "short");
}

}  // namespace
}  // namespace poroten::testing
