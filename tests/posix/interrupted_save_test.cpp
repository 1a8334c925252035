// A save killed between writing its temporary file and renaming it: the old
// record stays, and the next start removes the temporary file and nothing else.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "posix_test_support.h"

namespace poroten::testing {
namespace {

namespace fs = std::filesystem;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Runs poroten_interrupted_save on the file; true when it was killed.
bool killedWhileSaving(const fs::path& file) {
    std::string program = POROTEN_INTERRUPTED_SAVE;
    std::string argument = file.native();
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST(InterruptedSave, LeavesTheOldRecordAndItsLeftoverGoesAtTheNextStart) {
    TemporaryFolder tmp;
    ASSERT_FALSE(tmp.path().empty());
    const fs::path dir = tmp.path();
    const fs::path file = dir / "m_score.sav";
    std::ofstream(file, std::ios::binary) << "old record";

    ASSERT_TRUE(killedWhileSaving(file));
    ASSERT_TRUE(killedWhileSaving(file));
    EXPECT_EQ(contentOf(file), "old record");
    std::set<std::string> leftovers = namesIn(dir);
    leftovers.erase("m_score.sav");
    ASSERT_EQ(leftovers.size(), 2u) << "each killed save leaves its temporary file";
    for (const std::string& name : leftovers) {
        EXPECT_EQ(name.size(), std::string("m_score.sav.XXXXXX").size()) << name;
    }

    // Names that only look alike belong to someone else and stay.
    const std::set<std::string> others{"m_score.sav.bak", "m_score.sav.ABCDEFG",
                                       "m_score.sav.abc-ef", "other.XXXXXX", "m_score.savXABCDEF"};
    for (const std::string& name : others) {
        std::ofstream(dir / name) << "keep";
    }
    fs::create_directory(dir / "m_score.sav.Folder");

    // At the next start, a minute or more later.
    for (const std::string& name : leftovers) {
        fs::last_write_time(dir / name, fs::file_time_type::clock::now() - platform::kLeftoverAge);
    }
    FilesIn files(ownFolder(), dir);
    const platform::ReadResult read = files.readOrCreate(file, 1 << 20);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.bytes, "old record");
    std::set<std::string> expected = others;
    expected.insert({"m_score.sav", "m_score.sav.Folder"});
    EXPECT_EQ(namesIn(dir), expected);
    for (const std::string& name : others) {
        EXPECT_EQ(contentOf(dir / name), "keep") << name;
    }

    ASSERT_TRUE(files.replace(file, "new record").ok);
    EXPECT_EQ(contentOf(file), "new record");
    EXPECT_EQ(namesIn(dir), expected);
}

}  // namespace
}  // namespace poroten::testing
