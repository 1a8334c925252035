#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "highscore/high_score_store.h"

namespace poroten::testing {
namespace {

class HighScoreStoreTest : public ::testing::Test {
protected:
    HighScoreStoreTest() : store(files, codec, boxes) {}
    std::filesystem::path besideProgram() {
        return files.programDirectory() / highscore::kScoreFileName;
    }
    std::filesystem::path inUserData() {
        return files.userDataDirectory() / highscore::kScoreFileName;
    }

    TempDirFiles files;
    FakeCodec codec;
    FakeMessageBoxes boxes;
    highscore::Module1 store;
};

TEST_F(HighScoreStoreTest, FirstStartCreatesAnEmptyFileAndHasNoRecord) {
    store.LoadHighScore();
    ASSERT_TRUE(std::filesystem::exists(besideProgram()));
    EXPECT_EQ(std::filesystem::file_size(besideProgram()), 0u);
    EXPECT_EQ(store.HighScore, 0);
    EXPECT_EQ(store.HighName, "");
    EXPECT_EQ(store.scoreFile(), besideProgram());
}

TEST_F(HighScoreStoreTest, AValidRecordIsLoadedWithItsNameDecoded) {
    files.write(besideProgram(), record(42, "A\x82\xA0"));
    store.LoadHighScore();
    EXPECT_EQ(store.HighScore, 42);
    EXPECT_EQ(store.HighName, "Aあ");
}

TEST_F(HighScoreStoreTest, BadNameBytesDecodeAsReplacementCharacters) {
    files.write(besideProgram(), record(3,
                                        "\xFF"
                                        "B"));
    store.LoadHighScore();
    EXPECT_EQ(store.HighScore, 3);
    EXPECT_EQ(store.HighName,
              "\xEF\xBF\xBD"
              "B");
}

TEST_F(HighScoreStoreTest, DamagedFilesLoadNothing) {
    const std::string whole = record(7, "ABC");
    const std::string unmarked = highscore::scoreRecBytes({.Score = 7, .Name = "ABC", .Marker = 0});
    // Cut in the name, cut before the end, or not marked valid.
    for (const std::string& bytes :
         {whole.substr(0, whole.find("ABC") + 1), whole.substr(0, whole.size() - 1), unmarked}) {
        files.write(besideProgram(), bytes);
        highscore::Module1 fresh(files, codec, boxes);
        fresh.LoadHighScore();
        EXPECT_EQ(fresh.HighScore, 0);
        EXPECT_EQ(fresh.HighName, "");
        // Loading never rewrites what it found.
        EXPECT_EQ(files.contents(besideProgram()), bytes);
    }
}

TEST_F(HighScoreStoreTest, SaveWritesTheRecordAndItSurvivesARestart) {
    store.LoadHighScore();
    store.HighScore = 12;
    store.HighName = "A";
    store.SaveHighScore();
    EXPECT_EQ(files.contents(besideProgram()), record(12, "A"));
    highscore::Module1 next(files, codec, boxes);
    next.LoadHighScore();
    EXPECT_EQ(next.HighScore, 12);
    EXPECT_EQ(next.HighName, "A");
}

TEST_F(HighScoreStoreTest, AScoreWithoutANameIsSaved) {
    store.LoadHighScore();
    store.HighScore = 5;
    store.SaveHighScore();
    EXPECT_EQ(files.contents(besideProgram()), record(5, ""));
}

TEST_F(HighScoreStoreTest, CharactersOutsideTheCodePageAreStoredAsQuestionMarks) {
    store.LoadHighScore();
    store.HighScore = 1;
    store.HighName = "aé😀";
    store.SaveHighScore();
    EXPECT_EQ(files.contents(besideProgram()), record(1, "a??"));
}

TEST_F(HighScoreStoreTest, AShorterNameKeepsTheFileLengthAndLoadsOnlyTheNewRecord) {
    const std::string old = record(9, "ABCDEF");
    files.write(besideProgram(), old);
    store.LoadHighScore();
    store.HighScore = 10;
    store.HighName = "Z";
    store.SaveHighScore();
    const std::string shorter = record(10, "Z");
    EXPECT_EQ(files.contents(besideProgram()), shorter + old.substr(shorter.size()));
    highscore::Module1 next(files, codec, boxes);
    next.LoadHighScore();
    EXPECT_EQ(next.HighScore, 10);
    EXPECT_EQ(next.HighName, "Z");
}

TEST_F(HighScoreStoreTest, AnUnwritableProgramFolderMovesTheFileToTheUserFolder) {
    // Installed under /usr/local/bin, the program cannot write beside itself.
    files.unwritable.insert(files.programDirectory());
    files.write(inUserData(), record(4, "U"));
    store.LoadHighScore();
    EXPECT_EQ(store.HighScore, 4);
    EXPECT_EQ(store.scoreFile(), inUserData());
    store.HighScore = 6;
    store.SaveHighScore();
    EXPECT_EQ(files.contents(inUserData()), record(6, "U"));
    EXPECT_FALSE(std::filesystem::exists(besideProgram()));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(HighScoreStoreTest, AFolderInTheFilesPlaceFallsBackToTheUserFolder) {
    std::filesystem::create_directories(besideProgram());
    store.LoadHighScore();
    EXPECT_EQ(store.scoreFile(), inUserData());
    store.HighScore = 2;
    store.SaveHighScore();
    EXPECT_EQ(files.contents(inUserData()), record(2, ""));
}

TEST_F(HighScoreStoreTest, WhenNothingCanBeWrittenABoxNamesTheFileAndTheScoreStaysInMemory) {
    files.unwritable.insert(files.programDirectory());
    files.unwritable.insert(files.userDataDirectory());
    store.LoadHighScore();
    store.HighScore = 8;
    store.HighName = "B";
    store.SaveHighScore();
    ASSERT_EQ(boxes.shown.size(), 1u);
    const std::string& text = boxes.shown[0].text;
    EXPECT_EQ(boxes.shown[0].title, platform::kApplicationTitle);
    EXPECT_NE(text.find(besideProgram().string()), std::string::npos) << text;
    EXPECT_NE(text.find("Permission denied"), std::string::npos) << text;
    EXPECT_EQ(store.HighScore, 8);
    EXPECT_EQ(store.HighName, "B");
}

// A copy of the program unpacked into a new folder finds the record in the
// user's folder; each place keeps its own bytes past the record, and one
// place that cannot be written costs nothing while the other takes it.
TEST_F(HighScoreStoreTest, EverySaveWritesBothPlacesAndEitherAloneIsEnough) {
    const std::string old = record(1, "Old") + "tail";
    files.write(besideProgram(), old);
    store.LoadHighScore();
    store.HighScore = 4;
    store.HighName = "N";
    store.SaveHighScore();
    EXPECT_EQ(files.contents(besideProgram()), record(4, "N") + old.substr(record(4, "N").size()));
    EXPECT_EQ(files.contents(inUserData()), record(4, "N"));

    std::filesystem::remove(besideProgram());
    highscore::Module1 elsewhere(files, codec, boxes);
    elsewhere.LoadHighScore();
    EXPECT_EQ(elsewhere.HighScore, 4);
    EXPECT_EQ(elsewhere.HighName, "N");

    files.unwritable.insert(files.userDataDirectory());
    elsewhere.HighScore = 5;
    elsewhere.SaveHighScore();
    EXPECT_EQ(files.contents(besideProgram()), record(5, "N"));
    EXPECT_EQ(files.contents(inUserData()), record(4, "N"));
    EXPECT_TRUE(boxes.shown.empty());
}

// A save that once fell back to the user's folder must not be hidden by the
// older file beside the program at the next start.
TEST_F(HighScoreStoreTest, BothPlacesAreReadAndTheBetterValidRecordCountsWithTiesToTheProgram) {
    const std::string oldBeside = record(3, "P");
    files.write(besideProgram(), oldBeside);
    files.write(inUserData(), record(5, "U"));
    store.LoadHighScore();
    EXPECT_EQ(store.HighScore, 5);
    EXPECT_EQ(store.HighName, "U");
    EXPECT_EQ(store.scoreFile(), inUserData());
    // The next save goes to both places.
    store.HighScore = 6;
    store.SaveHighScore();
    EXPECT_EQ(files.contents(inUserData()), record(6, "U"));
    EXPECT_EQ(files.contents(besideProgram()), files.contents(inUserData()));
    files.write(besideProgram(), oldBeside);

    files.write(inUserData(), record(3, "V"));
    highscore::Module1 tie(files, codec, boxes);
    tie.LoadHighScore();
    EXPECT_EQ(tie.HighName, "P");
    EXPECT_EQ(tie.scoreFile(), besideProgram());

    // A damaged record, however high its score, loses to a valid one.
    files.write(besideProgram(), highscore::scoreRecBytes({.Score = 99, .Name = "P", .Marker = 0}));
    highscore::Module1 damaged(files, codec, boxes);
    damaged.LoadHighScore();
    EXPECT_EQ(damaged.HighScore, 3);
    EXPECT_EQ(damaged.HighName, "V");
    EXPECT_EQ(damaged.scoreFile(), inUserData());
}

}  // namespace
}  // namespace poroten::testing
