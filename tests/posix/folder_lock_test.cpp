// The lock between copies of the program: the record's folder, held with
// flock while a re-read and its save run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "posix_test_support.h"

namespace poroten::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// What another copy of the program holds while it saves.
class OtherCopysLock {
public:
    explicit OtherCopysLock(const fs::path& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~OtherCopysLock() { ::close(fd_); }
    bool take() { return ::flock(fd_, LOCK_EX | LOCK_NB) == 0; }
    void release() { ::flock(fd_, LOCK_UN); }

private:
    int fd_;
};

class FolderLock : public ::testing::Test {
protected:
    TemporaryFolder tmp;
    fs::path dir{tmp.path()};
    fs::path file{dir / "m_score.sav"};
    FilesIn files{ownFolder(), dir};
};

TEST_F(FolderLock, WaitsWhileAnotherCopyHoldsItAndHoldsItWhileRunning) {
    OtherCopysLock other(dir);
    ASSERT_TRUE(other.take());
    std::thread letGo([&other] {
        std::this_thread::sleep_for(milliseconds(300));
        other.release();
    });
    int runs = 0;
    bool otherShutOut = false;
    const auto started = Clock::now();
    bool freeAfterwards = false;
    files.whileLocked(
        file, platform::LockWait{std::chrono::seconds(2), true},
        [&] {
            ++runs;
            OtherCopysLock third(dir);
            otherShutOut = !third.take();
        },
        // Let go before what follows the section: another copy gets it at once.
        [&] { freeAfterwards = other.take(); });
    const auto took = Clock::now() - started;
    letGo.join();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(otherShutOut);
    EXPECT_TRUE(freeAfterwards);
    EXPECT_GE(took, milliseconds(250));
    EXPECT_LT(took, milliseconds(1500));
}

TEST_F(FolderLock, ALockNeverLetGoOfRunsTheSaveAnywayAfterAboutTwoSeconds) {
    OtherCopysLock other(dir);
    ASSERT_TRUE(other.take());
    int runs = 0;
    const auto started = Clock::now();
    files.whileLocked(file, platform::LockWait{std::chrono::seconds(2), true}, [&runs] { ++runs; },
                      {});
    const auto took = Clock::now() - started;
    EXPECT_EQ(runs, 1);
    EXPECT_GE(took, milliseconds(1500));
    EXPECT_LT(took, milliseconds(4000));
}

// A temporary file beside the record may be another copy's save in progress:
// it is removed as a leftover only once old enough, and while no copy holds
// the folder.
TEST_F(FolderLock, LeftoversAreRemovedOnlyWhileNoCopyIsSaving) {
    const fs::path leftover = dir / "m_score.sav.AbCd12";
    std::ofstream(leftover) << "half";
    ASSERT_TRUE(files.readOrCreate(file, 1 << 20).ok);
    EXPECT_TRUE(fs::exists(leftover)) << "a young one may be a save in progress";
    fs::last_write_time(leftover, fs::file_time_type::clock::now() - platform::kLeftoverAge -
                                      std::chrono::seconds(1));
    OtherCopysLock other(dir);
    ASSERT_TRUE(other.take());
    ASSERT_TRUE(files.readOrCreate(file, 1 << 20).ok);
    EXPECT_TRUE(fs::exists(leftover));
    other.release();
    ASSERT_TRUE(files.readOrCreate(file, 1 << 20).ok);
    EXPECT_FALSE(fs::exists(leftover));
}

}  // namespace
}  // namespace poroten::testing
