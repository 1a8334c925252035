#include "game_fixture.h"
#include "menu/menu_commands.h"

namespace poroten::testing {
namespace {

class MenuTest : public GameTest {
protected:
    const ShownBox& lastBox() { return platform.messageBoxes.shown.back(); }
};

TEST_F(MenuTest, TheBestScoreBoxShowsNameAndScoreOnTheSecondLine) {
    store.HighScore = 12;
    store.HighName = "A";
    window->command(menu::mnuFileHigh);
    EXPECT_EQ(lastBox().title, menu::kHighScoreTitle);
    EXPECT_EQ(lastBox().text, menu::highScoreText("A", 12));
}

TEST_F(MenuTest, WithNoRecordTheSecondLineStartsWithSan) {
    window->command(menu::mnuFileHigh);
    EXPECT_EQ(lastBox().text, menu::highScoreText("", 0));
}

TEST_F(MenuTest, DuringAGameTheBestScoreBoxShowsTheStoredRecordNotTheCurrentScore) {
    store.HighScore = 30;
    store.HighName = "Kai";
    platform.random.script({1, 1, 1, 2, 2, 2});
    press(13);
    memorize();
    pressDigits("111");
    window->command(menu::mnuFileHigh);
    EXPECT_EQ(lastBox().text, menu::highScoreText("Kai", 30));
    EXPECT_EQ(score(), "1");
}

TEST_F(MenuTest, TheAboutBoxHasFiveLinesWithTheMakerAndAddress) {
    window->command(menu::mnuFileAbout);
    EXPECT_EQ(lastBox().title, menu::kAboutTitle);
    EXPECT_EQ(lastBox().text, menu::aboutText());
}

TEST_F(MenuTest, QuitEndsTheProgramAtOnceWithoutSavingOrAsking) {
    platform.random.script({1, 1, 1});
    press(13);
    window->command(menu::mnuFileExit);
    EXPECT_EQ(platform.application.quits, 1);
    EXPECT_TRUE(platform.messageBoxes.shown.empty());
    EXPECT_EQ(
        platform.files.contents(platform.files.programDirectory() / highscore::kScoreFileName), "");
}

}  // namespace
}  // namespace poroten::testing
