#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>

#include "game/answer_keys.h"
#include "platform/caption_number.h"
#include "platform/clock_random.h"

namespace poroten::testing {
namespace {

using game::answerDigit;
using platform::decimalText;
using platform::numericValue;

TEST(CaptionNumbers, ReadTheNumberAtTheStartAndWriteTheShortestForm) {
    EXPECT_EQ(numericValue(""), 0);
    EXPECT_EQ(numericValue("0"), 0);
    EXPECT_EQ(numericValue("12"), 12);
    EXPECT_EQ(numericValue("-1"), -1);
    EXPECT_EQ(numericValue("3点"), 3);
    EXPECT_EQ(numericValue("スタート"), 0);
    for (long n : {3L, 0L, -1L, 12L, 32767L}) {
        EXPECT_EQ(numericValue(decimalText(n)), n);
    }
    EXPECT_EQ(decimalText(-1), "-1");
    EXPECT_EQ(decimalText(12), "12");
}

TEST(AnswerKeys, OnlyDigitsAnswer) {
    EXPECT_EQ(answerDigit(U'0'), 0);
    EXPECT_EQ(answerDigit(U'9'), 9);
    EXPECT_EQ(answerDigit(U'０'), 0);
    EXPECT_EQ(answerDigit(U'９'), 9);
    for (char32_t c : {U'/', U':', U'a', U'\r', U'\uFF0F', U'\uFF1A', U'五', U'٣'}) {
        EXPECT_FALSE(answerDigit(c).has_value()) << static_cast<unsigned>(c);
    }
}

// Rows drawn as a game draws its first row: a reseed before every digit.
std::array<int, 3> drawRow(platform::Random& random) {
    std::array<int, 3> row{};
    for (int& digit : row) {
        random.reseed();
        digit = static_cast<int>(random.next() * 10);
    }
    return row;
}

TEST(ClockRandom, ReseedingBeforeEachDrawKeepsDigitsUniform) {
    // Reseeding from a coarse clock would repeat one digit for a whole second.
    platform::ClockRandom random;
    constexpr int kRows = 20000;
    std::array<int, 10> counts{};
    for (int i = 0; i < kRows; ++i) {
        for (int digit : drawRow(random)) {
            ASSERT_GE(digit, 0);
            ASSERT_LE(digit, 9);
            ++counts[static_cast<std::size_t>(digit)];
        }
    }
    // Chi-square with 9 degrees of freedom: 33.7 is the 0.01% critical value.
    // The fault this guards against (one digit per clock tick) scores in the
    // thousands, and a 0.1% cut-off failed a run by chance.
    const double expected = kRows * 3 / 10.0;
    double chi2 = 0;
    for (int c : counts) {
        chi2 += (c - expected) * (c - expected) / expected;
    }
    EXPECT_LT(chi2, 33.7);
}

TEST(ClockRandom, RowsDrawnWithinOneClockTickAreIndependent) {
    platform::ClockRandom random;
    constexpr int kRows = 2000;
    std::set<std::array<int, 3>> distinct;
    int allSame = 0;
    for (int i = 0; i < kRows; ++i) {
        const auto row = drawRow(random);
        distinct.insert(row);
        allSame += (row[0] == row[1] && row[1] == row[2]) ? 1 : 0;
    }
    // 2000 draws from 1000 rows leave about 865 distinct; 10 in 1000 rows are triples.
    EXPECT_GT(distinct.size(), 800u);
    EXPECT_LT(allSame, 50);
}

TEST(ClockRandom, DrawsStayBelowOne) {
    platform::ClockRandom random;
    for (int i = 0; i < 100000; ++i) {
        const double r = random.next();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
}

}  // namespace
}  // namespace poroten::testing
