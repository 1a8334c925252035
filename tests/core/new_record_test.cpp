#include <array>
#include <utility>
#include <vector>

#include "game_fixture.h"

namespace poroten::testing {
namespace {

using namespace std::string_literals;
using highscore::Dialog;

class NewRecordTest : public GameTest {
protected:
    std::filesystem::path scoreFile() {
        return platform.files.programDirectory() / highscore::kScoreFileName;
    }
    std::filesystem::path userFile() {
        return platform.files.userDataDirectory() / highscore::kScoreFileName;
    }

    // Plays a game that ends with a wrong key at the given score.
    void endGameAt(int points) {
        playRowsTo(points);
        memorize();
        press(U'9');
    }
    FakeWindow* dialog() { return platform.windows.find("Dialog"); }
};

TEST_F(NewRecordTest, AnEqualScoreIsNoNewRecord) {
    store.HighScore = 2;
    endGameAt(2);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(store.HighScore, 2);
}

TEST_F(NewRecordTest, AHigherScoreIsHeldAtOnceAndAsksForANameInPlaceOfTheMainWindow) {
    store.HighScore = 1;
    endGameAt(2);
    EXPECT_EQ(store.HighScore, 2);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_TRUE(dialog()->isVisible());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialog()->textBox(Dialog::Text1).text(), "");
    // Nothing is written before the name is in.
    EXPECT_EQ(platform.files.contents(scoreFile()), "");
}

TEST_F(NewRecordTest, OkStoresTheNameSavesAndBringsTheMainWindowBackAtRest) {
    endGameAt(1);
    dialog()->type(Dialog::Text1, U"Ann");
    dialog()->command(Dialog::OKButton);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(store.HighName, "Ann");
    EXPECT_EQ(platform.files.contents(scoreFile()), record(1, "Ann"));
    EXPECT_EQ(score(), "1");
    EXPECT_EQ(message(), game::text::PressReturn);
    EXPECT_FALSE(timer1().isEnabled());
    EXPECT_FALSE(timer2().isEnabled());
}

TEST_F(NewRecordTest, EnterInTheNameBoxConfirmsAndIsNotTyped) {
    endGameAt(1);
    dialog()->type(Dialog::Text1, U"あ\r");
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(store.HighName, "あ");
    EXPECT_EQ(platform.files.contents(scoreFile()), record(1, "\x82\xA0"));
}

TEST_F(NewRecordTest, CancelEmptiesTheBoxAndTheWindowStays) {
    endGameAt(1);
    dialog()->type(Dialog::Text1, U"wrong");
    dialog()->command(Dialog::CancelButton);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->textBox(Dialog::Text1).text(), "");
    EXPECT_FALSE(window->isVisible());
    dialog()->command(Dialog::OKButton);
    EXPECT_EQ(platform.files.contents(scoreFile()), record(1, ""));
}

TEST_F(NewRecordTest, TheCloseBoxSavesTheNameTypedSoFarLikeOk) {
    // Otherwise the main window would stay hidden with the program running.
    endGameAt(1);
    dialog()->type(Dialog::Text1, U"Bo");
    dialog()->closeBox();
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(platform.files.contents(scoreFile()), record(1, "Bo"));
}

TEST_F(NewRecordTest, AFailedSaveStillBringsTheGameBackWithTheScoreInMemory) {
    platform.files.unwritable.insert(platform.files.programDirectory());
    platform.files.unwritable.insert(platform.files.userDataDirectory());
    endGameAt(1);
    // No box waits for the player while the file's lock is held.
    platform.messageBoxes.whileOpen = [&](const ShownBox&) {
        EXPECT_FALSE(platform.files.insideLock);
    };
    dialog()->command(Dialog::OKButton);
    ASSERT_EQ(platform.messageBoxes.shown.size(), 2u);  // the wrong key, then the failure
    EXPECT_NE(platform.messageBoxes.shown[1].text.find("m_score.sav"), std::string::npos);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(store.HighScore, 1);
    // The next game goes on as usual.
    platform.random.script({1, 2, 3});
    press(13);
    EXPECT_EQ(message(), game::text::Memorize);
}

TEST_F(NewRecordTest, EachNewRecordOpensAFreshEmptyNameWindow) {
    endGameAt(1);
    dialog()->type(Dialog::Text1, U"A\r");
    endGameAt(2);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->textBox(Dialog::Text1).text(), "");
    EXPECT_EQ(platform.windows.created("Dialog"), 2);
}

// A browser cannot block in show: every box stays open until the player closes
// it, and what follows a box waits for that.
TEST_F(NewRecordTest, BoxesThatStayOpenDelayWhatFollowsThemAndStackInOrder) {
    platform.messageBoxes.holdOpen = true;
    platform.files.unwritable.insert(platform.files.programDirectory());
    platform.files.unwritable.insert(platform.files.userDataDirectory());
    playRowsTo(1);
    memorize();
    // The best-score box is open while the answer countdown runs out behind it.
    window->command(menu::mnuFileHigh);
    for (long i = 0; i < kAnswer; ++i) {
        timer1().fire();
    }
    ASSERT_EQ(platform.messageBoxes.openCount(), 2u);
    EXPECT_EQ(platform.messageBoxes.shown.back().text, game::text::TimeUp);
    EXPECT_FALSE(timer1().isEnabled());
    EXPECT_EQ(message(), game::text::Start);  // the rest state waits until the box is closed
    EXPECT_EQ(dialog(), nullptr);

    ASSERT_TRUE(platform.messageBoxes.closeTop());
    EXPECT_EQ(cell(0).text(), "");
    EXPECT_EQ(message(), game::text::PressReturn);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_FALSE(window->isVisible());

    // The save fails: the name window stays until its box is closed, and a
    // second OK meanwhile saves nothing twice.
    dialog()->type(Dialog::Text1, U"Ann");
    dialog()->command(Dialog::OKButton);
    dialog()->command(Dialog::OKButton);
    ASSERT_EQ(platform.messageBoxes.openCount(), 2u);
    EXPECT_NE(platform.messageBoxes.shown.back().text.find("m_score.sav"), std::string::npos);
    EXPECT_NE(dialog(), nullptr);
    ASSERT_TRUE(platform.messageBoxes.closeTop());
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(store.HighName, "Ann");
    // The best-score box opened first is still there, and closes last.
    EXPECT_EQ(platform.messageBoxes.openCount(), 1u);
    ASSERT_TRUE(platform.messageBoxes.closeTop());
    EXPECT_FALSE(platform.messageBoxes.closeTop());
    EXPECT_EQ(platform.messageBoxes.shown.size(), 3u);
}

// Another copy of the program, started from the same folder, saves while
// this one plays: what it stored is read again before the check and again
// when the name is confirmed, and a better or equal stored record is never
// overwritten.
TEST_F(NewRecordTest, ARecordSavedByAnotherCopyIsReadAgainAndNeverOverwrittenByALowerOne) {
    const std::string bobAt2 = record(2, "B");
    platform.files.write(scoreFile(), bobAt2);  // after this copy read an empty file
    endGameAt(1);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(store.HighScore, 2);
    EXPECT_EQ(store.HighName, "B");
    endGameAt(2);  // equal to the stored record: none either
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(platform.files.contents(scoreFile()), bobAt2);

    // Higher: the name window opens; meanwhile the other copy stores 5.
    endGameAt(3);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(store.HighScore, 3);
    const std::string carolAt5 = record(5, "C");
    platform.files.write(scoreFile(), carolAt5);
    dialog()->type(Dialog::Text1, U"Ann\r");
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(platform.files.contents(scoreFile()), carolAt5);
    EXPECT_EQ(store.HighScore, 5);
    EXPECT_EQ(store.HighName, "C");
    const std::size_t boxes = platform.messageBoxes.shown.size();
    window->command(menu::mnuFileHigh);
    ASSERT_EQ(platform.messageBoxes.shown.size(), boxes + 1);
    EXPECT_EQ(platform.messageBoxes.shown.back().text, menu::highScoreText("C", 5));

    // The other copy now stores 7 between games: the best-score box reads it.
    platform.files.write(scoreFile(), record(7, "D"));
    window->command(menu::mnuFileHigh);
    EXPECT_EQ(platform.messageBoxes.shown.back().text, menu::highScoreText("D", 7));
}

TEST_F(NewRecordTest, WhileTheNameWindowIsOpenALowerStoredRecordIsReplacedAndAnEqualOneKept) {
    endGameAt(3);
    ASSERT_NE(dialog(), nullptr);
    platform.files.write(scoreFile(), record(2, "B"));
    dialog()->type(Dialog::Text1, U"Ann\r");
    EXPECT_EQ(platform.files.contents(scoreFile()), record(3, "Ann"));
    EXPECT_EQ(store.HighName, "Ann");

    endGameAt(4);
    ASSERT_NE(dialog(), nullptr);
    const std::string evenAt4 = record(4, "Ev");
    platform.files.write(scoreFile(), evenAt4);
    dialog()->command(Dialog::OKButton);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(platform.files.contents(scoreFile()), evenAt4);
    EXPECT_EQ(store.HighScore, 4);
    EXPECT_EQ(store.HighName, "Ev");
    EXPECT_EQ(platform.messageBoxes.shown.size(), 2u);  // the two wrong keys, no failure
}

// The re-read and the write run inside the file's lock: what another copy
// stores while this one waits for the lock is what the check sees.
TEST_F(NewRecordTest, TheCheckAndTheSaveWaitForTheLockAndSeeWhatWasStoredMeanwhile) {
    platform.files.holdLocks = true;
    endGameAt(1);
    EXPECT_EQ(dialog(), nullptr);  // not before the lock is had
    // Every copy of the user's shares the user's folder, wherever it runs from.
    ASSERT_EQ(platform.files.locked, std::vector<std::filesystem::path>{userFile()});
    platform.files.write(scoreFile(), record(1, "B"));
    EXPECT_EQ(platform.files.releaseLocks(), 1u);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(store.HighName, "B");

    endGameAt(2);
    ASSERT_NE(dialog(), nullptr);
    platform.files.holdLocks = true;
    dialog()->type(Dialog::Text1, U"A\r");
    EXPECT_EQ(platform.files.contents(scoreFile()), record(1, "B"));
    platform.files.write(scoreFile(), record(9, "Z"));
    EXPECT_EQ(platform.files.releaseLocks(), 1u);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(platform.files.contents(scoreFile()), record(9, "Z"));
    EXPECT_EQ(store.HighScore, 9);
}

// Log-off, a termination signal or the page left while the name is being
// entered: the name typed so far is kept, as the close box keeps it.
TEST_F(NewRecordTest, TheProgramEndingKeepsTheNameTypedSoFarAndNothingElse) {
    ASSERT_TRUE(platform.application.listens());
    platform.application.end();  // at rest: nothing to keep
    EXPECT_EQ(platform.files.contents(scoreFile()), "");

    endGameAt(1);
    dialog()->type(Dialog::Text1, U"Bo");
    platform.application.end();
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(window->isVisible());
    const std::string boAt1 = record(1, "Bo");
    EXPECT_EQ(platform.files.contents(scoreFile()), boAt1);
    EXPECT_EQ(platform.files.contents(userFile()), boAt1);
    EXPECT_EQ(platform.messageBoxes.shown.size(), 1u);  // the wrong key's only

    // An OK still waiting for the lock (in the page) is overtaken: the record
    // is saved at once, and the late lock does nothing more.
    endGameAt(2);
    platform.files.holdLocks = true;
    dialog()->type(Dialog::Text1, U"Cy\r");
    ASSERT_NE(dialog(), nullptr);
    platform.application.end();
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(platform.files.contents(scoreFile()), record(2, "Cy"));
    platform.files.write(scoreFile(), boAt1);
    platform.files.write(userFile(), boAt1);
    EXPECT_EQ(platform.files.releaseLocks(), 1u);
    EXPECT_EQ(platform.files.contents(scoreFile()), boAt1);
    EXPECT_TRUE(window->isVisible());

    // A save that failed, its box still open, is tried again; the box closes
    // later to nothing.
    platform.messageBoxes.holdOpen = true;
    platform.files.unwritable = {platform.files.programDirectory(),
                                 platform.files.userDataDirectory()};
    endGameAt(3);
    platform.messageBoxes.closeTop();  // the wrong key
    dialog()->type(Dialog::Text1, U"Di\r");
    ASSERT_EQ(platform.messageBoxes.openCount(), 1u);
    platform.files.unwritable.erase(platform.files.userDataDirectory());
    platform.application.end();
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(platform.files.contents(userFile()), record(3, "Di"));
    EXPECT_TRUE(platform.messageBoxes.closeTop());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(platform.messageBoxes.openCount(), 0u);

    form.reset();
    EXPECT_FALSE(platform.application.listens());
}

// The record is made at the end-of-game box, before the name is asked for: an
// ending there keeps it with no name, and nothing asks for one afterwards.
TEST_F(NewRecordTest, TheProgramEndingAtTheEndOfGameBoxKeepsTheRecordAndAsksForNoName) {
    store.HighScore = 1;
    platform.messageBoxes.whileOpen = [&](const ShownBox&) { platform.application.end(); };
    endGameAt(1);  // no record: nothing written
    EXPECT_EQ(platform.files.contents(scoreFile()), "");

    endGameAt(2);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(platform.files.contents(scoreFile()), record(2, ""));
    EXPECT_EQ(platform.files.contents(userFile()), record(2, ""));
    EXPECT_EQ(store.HighScore, 2);
    EXPECT_FALSE(platform.files.waits.back().mayDefer);

    // A box that stays open (the page) and closes after the ending: still no name window.
    platform.messageBoxes.whileOpen = {};
    platform.messageBoxes.holdOpen = true;
    endGameAt(3);
    platform.application.end();
    ASSERT_TRUE(platform.messageBoxes.closeTop());
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(platform.files.contents(scoreFile()), record(3, ""));
    EXPECT_EQ(message(), game::text::PressReturn);
}

// The page hidden may never come back: what is there is saved at once, and
// the player who does come back finishes the name as if nothing happened. A
// better record another copy stores meanwhile still wins.
TEST_F(NewRecordTest, APageHiddenSavesTheRecordForNowAndTheNameConfirmedLaterReplacesIt) {
    const auto hidden = platform::Ending::Perhaps;
    platform.messageBoxes.holdOpen = true;
    endGameAt(2);
    platform.application.end(hidden);  // at the end-of-game box
    EXPECT_EQ(platform.files.contents(scoreFile()), record(2, ""));
    ASSERT_TRUE(platform.messageBoxes.closeTop());
    ASSERT_NE(dialog(), nullptr);
    dialog()->type(Dialog::Text1, U"An");
    platform.application.end(hidden);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(platform.files.contents(userFile()), record(2, "An"));
    dialog()->type(Dialog::Text1, U"na\r");
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(platform.files.contents(scoreFile()), record(2, "Anna"));
    EXPECT_EQ(platform.files.contents(userFile()), record(2, "Anna"));

    endGameAt(3);
    ASSERT_TRUE(platform.messageBoxes.closeTop());
    dialog()->type(Dialog::Text1, U"Bo");
    platform.application.end(hidden);
    const std::string carolAt3 = record(3, "C");
    platform.files.write(userFile(), carolAt3);
    dialog()->type(Dialog::Text1, U"b\r");
    EXPECT_EQ(platform.files.contents(userFile()), carolAt3);
    EXPECT_EQ(store.HighName, "C");
}

// Between this copy's re-read and its write, another may store a better
// record in one of the places: that place keeps it.
TEST_F(NewRecordTest, APlaceHoldingABetterRecordIsNotWrittenOver) {
    endGameAt(2);
    const std::string carolAt5 = record(5, "C");
    int reads = 0;
    platform.files.onRead = [&](const std::filesystem::path& file) {
        if (file == userFile() && ++reads == 2) {  // the re-read, then the write's own read
            platform.files.write(userFile(), carolAt5);
        }
    };
    dialog()->type(Dialog::Text1, U"A\r");
    EXPECT_EQ(platform.files.contents(scoreFile()), record(2, "A"));
    EXPECT_EQ(platform.files.contents(userFile()), carolAt5);
    EXPECT_EQ(platform.messageBoxes.shown.size(), 1u);  // the wrong key only: nothing failed
}

}  // namespace
}  // namespace poroten::testing
