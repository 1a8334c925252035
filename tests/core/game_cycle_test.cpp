#include "game_fixture.h"

namespace poroten::testing {
namespace {

constexpr auto AtRest = game::colour::CellAtRest;
constexpr auto NewDigit = game::colour::CellNewDigit;
constexpr auto Answered = game::colour::CellAnswered;

const std::vector<std::string> kEmptyRow(game::kCellCount, "");

TEST_F(GameTest, OpensAtRestWithZerosShownAndTimersOff) {
    // The countdown and score are read back from the screen, so they must
    // start as "0", not empty.
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(countdown(), "0");
    EXPECT_EQ(score(), "0");
    EXPECT_EQ(message(), game::text::PressReturn);
    EXPECT_EQ(cells(), kEmptyRow);
    for (int i = 0; i < game::kCellCount; ++i) {
        EXPECT_EQ(cell(i).colour(), AtRest);
    }
    EXPECT_FALSE(timer1().isEnabled());
    EXPECT_FALSE(timer2().isEnabled());
    EXPECT_EQ(timer1().interval(), game::kTick);
    EXPECT_EQ(timer2().interval(), game::kTick);
    EXPECT_EQ(state().LastCell, 0);
    EXPECT_EQ(state().Remaining, 0);
    EXPECT_FALSE(state().InputOpen);
}

TEST_F(GameTest, DigitKeysBeforeTheFirstGameChangeNothing) {
    pressDigits("0123456789");
    EXPECT_EQ(cells(), kEmptyRow);
    EXPECT_EQ(message(), game::text::PressReturn);
    EXPECT_TRUE(platform.messageBoxes.shown.empty());
}

TEST_F(GameTest, EnterShowsThreeDigitsReseedingBeforeEachDraw) {
    platform.random.script({4, 7, 1});
    press(13);
    EXPECT_EQ(cells()[0], "4");
    EXPECT_EQ(cells()[1], "7");
    EXPECT_EQ(cells()[2], "1");
    EXPECT_EQ(cells()[3], "");
    EXPECT_EQ(countdown(), at(kMemorize));
    EXPECT_EQ(score(), "0");
    EXPECT_EQ(message(), game::text::Memorize);
    EXPECT_TRUE(timer2().isEnabled());
    EXPECT_FALSE(timer1().isEnabled());
    EXPECT_EQ(platform.random.reseeds, 3);
    EXPECT_EQ(state().LastCell, 2);
    EXPECT_EQ(state().Remaining, 2);
    EXPECT_FALSE(state().InputOpen);
}

TEST_F(GameTest, TheMenuStartCommandStartsAGameLikeEnter) {
    platform.random.script({0, 9, 5});
    window->command(menu::mnuFileNew);
    EXPECT_EQ(cells()[1], "9");
    EXPECT_EQ(message(), game::text::Memorize);
}

TEST_F(GameTest, MemorizeCountsThreeTicksThenBlanksAndOpensInput) {
    platform.random.script({4, 7, 1});
    press(13);
    for (long left = kMemorize - 1; left > 0; --left) {
        timer2().fire();
        EXPECT_EQ(countdown(), at(left));
    }
    EXPECT_EQ(cells()[0], "4");
    // The tick that reaches 0 shows the answer time at once: the countdown
    // never rests at 0 here.
    timer2().fire();
    EXPECT_EQ(countdown(), at(kAnswer));
    EXPECT_EQ(cells(), kEmptyRow);
    EXPECT_EQ(message(), game::text::Start);
    EXPECT_FALSE(timer2().isEnabled());
    EXPECT_TRUE(timer1().isEnabled());
    EXPECT_TRUE(state().InputOpen);
    EXPECT_EQ(state().Digits[0], 4);
    EXPECT_EQ(state().Digits[1], 7);
    EXPECT_EQ(state().Digits[2], 1);
    EXPECT_EQ(state().Remaining, 2);
}

TEST_F(GameTest, ARightRowTurnsCellsBlueThenScoresAndShowsTheNextRow) {
    startAndMemorize({4, 7, 1});
    timer1().fire();
    EXPECT_EQ(countdown(), at(kAnswer - 1));
    pressDigits("47");
    EXPECT_EQ(cells()[0], "4");
    EXPECT_EQ(cells()[1], "7");
    EXPECT_EQ(cells()[2], "");
    EXPECT_EQ(cell(0).colour(), Answered);
    EXPECT_EQ(cell(1).colour(), Answered);
    EXPECT_EQ(cell(2).colour(), NewDigit);
    EXPECT_EQ(state().Remaining, 0);

    platform.random.script({2, 8, 6});
    press(U'1');
    EXPECT_EQ(score(), "1");
    EXPECT_EQ(countdown(), at(kMemorize));
    EXPECT_EQ(message(), game::text::Memorize);
    EXPECT_EQ(cells()[0], "2");
    EXPECT_EQ(cells()[1], "8");
    EXPECT_EQ(cells()[2], "6");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cell(i).colour(), NewDigit);
    }
    EXPECT_TRUE(timer2().isEnabled());
    EXPECT_FALSE(timer1().isEnabled());
    EXPECT_FALSE(state().InputOpen);
    EXPECT_EQ(state().Remaining, 2);
    // Only the first row of a game is reseeded.
    EXPECT_EQ(platform.random.reseeds, 3);
}

TEST_F(GameTest, AWrongKeyEndsTheGameWithABoxAndBlanksTheRow) {
    startAndMemorize({4, 7, 1});
    press(U'4');
    press(U'1');
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(platform.messageBoxes.shown[0].title, platform::kApplicationTitle);
    EXPECT_EQ(platform.messageBoxes.shown[0].text, game::text::WrongKey);
    EXPECT_EQ(cells(), kEmptyRow);
    EXPECT_EQ(cell(0).colour(), AtRest);
    EXPECT_EQ(message(), game::text::PressReturn);
    EXPECT_FALSE(timer1().isEnabled());
    EXPECT_FALSE(state().InputOpen);
    // Keys after the end change nothing until the next game.
    pressDigits("71");
    EXPECT_EQ(platform.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(cells(), kEmptyRow);
}

TEST_F(GameTest, AWrongLastDigitEndsTheGameToo) {
    startAndMemorize({4, 7, 1});
    pressDigits("472");
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(platform.messageBoxes.shown[0].text, game::text::WrongKey);
    EXPECT_EQ(score(), "0");
}

TEST_F(GameTest, TheRowIsBlankedOnlyAfterTheBoxIsClosed) {
    // The player sees the answered cells behind the box.
    startAndMemorize({4, 7, 1});
    press(U'4');
    std::string behindTheBox;
    platform.messageBoxes.whileOpen = [&](const ShownBox&) { behindTheBox = cell(0).text(); };
    press(U'9');
    EXPECT_EQ(behindTheBox, "4");
    EXPECT_EQ(cell(0).text(), "");
}

// Run in the memorize phase, when every cell in play shows a digit, the end
// of a game still blanks them all, the last one included.
TEST_F(GameTest, EndingAGameBlanksEveryCellInPlay) {
    platform.random.script({4, 7, 1});
    press(13);
    form->EndGame(game::text::TimeUp);
    EXPECT_EQ(cells(), kEmptyRow);
    EXPECT_EQ(message(), game::text::PressReturn);
}

TEST_F(GameTest, FiveAnswerTicksRunOutWithTimeUpKeepingTheScore) {
    startAndMemorize({4, 7, 1});
    platform.random.script({1, 1, 1});
    pressDigits("471");
    memorize();
    for (long left = kAnswer - 1; left > 0; --left) {
        timer1().fire();
        EXPECT_EQ(countdown(), at(left));
    }
    EXPECT_TRUE(platform.messageBoxes.shown.empty());
    timer1().fire();
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(platform.messageBoxes.shown[0].text, game::text::TimeUp);
    EXPECT_EQ(countdown(), "0");
    EXPECT_EQ(score(), "1");
    EXPECT_FALSE(timer1().isEnabled());
    EXPECT_FALSE(timer2().isEnabled());
}

TEST_F(GameTest, DigitKeysDuringMemorizeChangeNothingEvenWhenRight) {
    platform.random.script({4, 7, 1});
    press(13);
    press(U'4');
    EXPECT_EQ(cells()[0], "4");
    EXPECT_EQ(cell(0).colour(), NewDigit);
    EXPECT_EQ(state().Remaining, 2);
    EXPECT_TRUE(platform.messageBoxes.shown.empty());
}

TEST_F(GameTest, ARepeatedDigitMustBePressedOncePerCell) {
    startAndMemorize({5, 5, 2});
    press(U'5');
    EXPECT_EQ(state().Remaining, 1);
    EXPECT_EQ(cell(1).colour(), NewDigit);
    press(U'5');
    EXPECT_EQ(cell(1).colour(), Answered);
    platform.random.script({0, 0, 0});
    press(U'2');
    EXPECT_EQ(score(), "1");
}

TEST_F(GameTest, KeysThatAreNeitherEnterNorDigitsNeverEndAGame) {
    // An input method or a stray key must not cost the player the game.
    startAndMemorize({4, 7, 1});
    for (char32_t key : {U'a', U' ', U'-', U'\b', U'\x1b', U'あ', U'.'}) {
        press(key);
    }
    EXPECT_TRUE(platform.messageBoxes.shown.empty());
    EXPECT_EQ(state().Remaining, 2);
    EXPECT_TRUE(state().InputOpen);
}

TEST_F(GameTest, FullWidthDigitsFromAnInputMethodCountAsDigits) {
    startAndMemorize({4, 7, 1});
    press(U'４');
    press(U'７');
    EXPECT_EQ(cells()[1], "7");
    EXPECT_EQ(cell(1).colour(), Answered);
    press(U'０');
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1u);
    EXPECT_EQ(platform.messageBoxes.shown[0].text, game::text::WrongKey);
}

using RowGrowthTest = GameTest;

TEST_F(RowGrowthTest, EachNewCellsWorthOfPointsAddsADigit) {
    constexpr int kNext = game::kPointsPerNewCell;
    constexpr int kFirst = game::kFirstLastCell;
    playRowsTo(kNext - 1);
    EXPECT_EQ(state().LastCell, kFirst);
    playRowsTo(0);  // restart: back to the first row's length
    EXPECT_EQ(state().LastCell, kFirst);
    playRowsTo(kNext);
    EXPECT_EQ(score(), at(kNext));
    EXPECT_EQ(state().LastCell, kFirst + 1);
    EXPECT_EQ(state().Remaining, kFirst + 1);
    EXPECT_EQ(cells()[kFirst + 1], "0");
    EXPECT_EQ(cells()[kFirst + 2], "");
}

TEST_F(RowGrowthTest, RowsStopGrowingAtTheLastCellAndTheGameGoesOn) {
    constexpr int kLast = game::kCellCount - 1;
    constexpr int kFull = (kLast - game::kFirstLastCell) * game::kPointsPerNewCell;
    playRowsTo(kFull);
    EXPECT_EQ(state().LastCell, kLast);
    playRowsTo(kFull + 2 * game::kPointsPerNewCell + 5);
    EXPECT_EQ(score(), at(kFull + 2 * game::kPointsPerNewCell + 5));
    EXPECT_EQ(state().LastCell, kLast);
    EXPECT_EQ(state().Remaining, kLast);
    EXPECT_EQ(cells()[kLast], "0");
}

TEST_F(RowGrowthTest, AGameEndedOnALongRowLeavesOnlyThreeCellsFilledNext) {
    playRowsTo(10);
    memorize();
    press(U'5');  // wrong
    EXPECT_EQ(cells(), kEmptyRow);
    EXPECT_EQ(cell(3).colour(), AtRest);
    platform.random.script({1, 2, 3});
    press(13);
    EXPECT_EQ(cells()[2], "3");
    EXPECT_EQ(cells()[3], "");
}

TEST_F(GameTest, RestartDuringAnswerStopsTheOldCountdownAndClearsTheRow) {
    // Otherwise the old answer countdown keeps ticking under the new game and
    // can end it while the player is still memorizing.
    platform.random.script({4, 7, 1});
    press(13);
    memorize();
    press(U'4');
    platform.random.script({6, 6, 6});
    press(13);
    EXPECT_FALSE(timer1().isEnabled());
    EXPECT_TRUE(timer2().isEnabled());
    EXPECT_EQ(cell(0).colour(), NewDigit);
    EXPECT_EQ(cells()[0], "6");
    EXPECT_EQ(countdown(), at(kMemorize));
    EXPECT_EQ(score(), "0");
    for (long tick = 0; tick < kAnswer; ++tick) {
        timer1().fire();
    }
    EXPECT_TRUE(platform.messageBoxes.shown.empty());
    EXPECT_EQ(countdown(), at(kMemorize));
}

TEST_F(RowGrowthTest, RestartFromALongRowClearsTheExtraCells) {
    playRowsTo(10);
    platform.random.script({1, 2, 3});
    press(13);
    EXPECT_EQ(cells()[3], "");
    EXPECT_EQ(state().LastCell, 2);
}

TEST_F(GameTest, RestartDuringMemorizeCountsDownFromThreeAgain) {
    platform.random.script({4, 7, 1});
    press(13);
    timer2().fire();
    platform.random.script({3, 3, 3});
    press(13);
    EXPECT_EQ(countdown(), at(kMemorize));
    timer2().fire();
    EXPECT_EQ(countdown(), at(kMemorize - 1));
    EXPECT_FALSE(state().InputOpen);
}

TEST_F(GameTest, TheCloseBoxEndsTheProgram) {
    window->closeBox();
    EXPECT_EQ(platform.application.quits, 1);
}

}  // namespace
}  // namespace poroten::testing
