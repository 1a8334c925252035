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
    EXPECT_EQ(lastBox().title, "ハイスコア");
    EXPECT_EQ(lastBox().text, "現在の最高得点は\rAさん　12点");
}

TEST_F(MenuTest, WithNoRecordTheSecondLineStartsWithSan) {
    window->command(menu::mnuFileHigh);
    EXPECT_EQ(lastBox().text, "現在の最高得点は\rさん　0点");
}

TEST_F(MenuTest, DuringAGameTheBestScoreBoxShowsTheStoredRecordNotTheCurrentScore) {
    store.HighScore = 30;
    store.HighName = "Kai";
    platform.random.script({1, 1, 1, 2, 2, 2});
    press(13);
    memorize();
    pressDigits("111");
    window->command(menu::mnuFileHigh);
    EXPECT_EQ(lastBox().text, "現在の最高得点は\rKaiさん　30点");
    EXPECT_EQ(score(), "1");
}

TEST_F(MenuTest, TheAboutBoxHasFiveLinesWithTheMakerAndAddress) {
    window->command(menu::mnuFileAbout);
    EXPECT_EQ(lastBox().title, "バージョン情報");
    EXPECT_EQ(lastBox().text,
              "ポロテン　　Ver 1.0\r\r制作　poroten project\r\rURL：https://poroten.example/");
}

TEST_F(MenuTest, QuitEndsTheProgramAtOnceWithoutSavingOrAsking) {
    platform.random.script({1, 1, 1});
    press(13);
    window->command(menu::mnuFileExit);
    EXPECT_EQ(platform.application.quits, 1);
    EXPECT_TRUE(platform.messageBoxes.shown.empty());
    EXPECT_EQ(platform.files.contents(platform.files.programDirectory() / "m_score.sav"), "");
}

}  // namespace
}  // namespace poroten::testing
