// What a player sees across launches: each launch deals its own rows, and a
// record still reaches disk when the program's folder stops being writable
// while the game runs.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "fakes/fake_platform.h"
#include "highscore/high_score_store.h"
#include "platform/clock_random.h"

namespace poroten::testing {
namespace {

std::vector<int> dealtDigits(platform::Random& random, int count) {
    std::vector<int> digits;
    for (int i = 0; i < count; ++i) {
        digits.push_back(static_cast<int>(random.next() * 10));
    }
    return digits;
}

TEST(ClockRandom, TwoLaunchesDealDifferentRows) {
    // Each launch makes one generator; a second launch comes a moment later.
    platform::ClockRandom first;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    platform::ClockRandom second;
    // Thirty digits alike by chance: one in 10^30.
    EXPECT_NE(dealtDigits(first, 30), dealtDigits(second, 30));

    // And within one launch, the next game's reseed deals anew for both.
    first.reseed();
    second.reseed();
    EXPECT_NE(dealtDigits(first, 30), dealtDigits(second, 30));
}

TEST(HighScoreSave, AProgramFolderThatStopsBeingWritableMovesTheSaveToTheUserFolder) {
    TempDirFiles files;
    FakeCodec codec;
    FakeMessageBoxes boxes;
    const auto besideProgram = files.programDirectory() / highscore::kScoreFileName;
    const auto inUserData = files.userDataDirectory() / highscore::kScoreFileName;
    files.write(besideProgram, record(3, "P"));
    highscore::Module1 store(files, codec, boxes);
    store.LoadHighScore();
    ASSERT_EQ(store.scoreFile(), besideProgram);
    ASSERT_EQ(store.HighScore, 3);

    // Taken away mid-game: remounted read-only, or its rights changed.
    files.unwritable.insert(files.programDirectory());
    store.HighScore = 9;
    store.HighName = "Q";
    store.SaveHighScore();
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
    EXPECT_EQ(store.scoreFile(), inUserData);
    EXPECT_EQ(files.contents(inUserData), record(9, "Q"));

    // The next launch finds it there.
    highscore::Module1 next(files, codec, boxes);
    next.LoadHighScore();
    EXPECT_EQ(next.HighScore, 9);
    EXPECT_EQ(next.HighName, "Q");
}

}  // namespace
}  // namespace poroten::testing
