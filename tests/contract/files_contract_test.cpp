// The score file's storage: read-or-create with the system's reason on
// failure, and whole-file replacement that leaves no half-written file.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#if defined(__linux__) && !defined(__EMSCRIPTEN__)
#include <sys/mount.h>
#include <unistd.h>
#define POROTEN_CAN_MOUNT_TMPFS 1
#endif

#include "adapter_factories.h"

namespace poroten::testing {
namespace {

namespace fs = std::filesystem;

// More than any file these tests make.
constexpr std::size_t kAll = 1 << 20;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
}

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

class FilesContract : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        dir = fs::temp_directory_path() /
              ("poroten-files-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
               std::to_string(counter++));
        fs::create_directories(dir);
    }

    void TearDown() override {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(dir, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }

    // Whether the permissions just taken away are enforced for this user;
    // they are not for root, nor on systems without Unix permissions.
    static bool canStillCreateIn(const fs::path& folder) {
        const fs::path probe = folder / "probe";
        const bool created = static_cast<bool>(std::ofstream(probe));
        std::error_code ignored;
        fs::remove(probe, ignored);
        return created;
    }

    std::unique_ptr<platform::Files> files = makeAdapterFiles();
    fs::path dir;
};

TEST_F(FilesContract, MissingFileIsCreatedEmptyWithItsFolders) {
    const fs::path file = dir / "data" / "poroten" / "m_score.sav";
    const platform::ReadResult read = files->readOrCreate(file, kAll);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.bytes, "");
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(fs::file_size(file), 0u);
}

TEST_F(FilesContract, ExistingContentIsReadExactlyAndLeftAlone) {
    const fs::path file = dir / "m_score.sav";
    const std::string content(
        "\x07\x00\x03\x00"
        "abc\x02\x00\xFF\r\n\x1A",
        13);
    writeFile(file, content);
    const platform::ReadResult read = files->readOrCreate(file, kAll);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.bytes, content);
    EXPECT_EQ(contentOf(file), content);
}

TEST_F(FilesContract, ReplaceWritesTheWholeContentAndLeavesNoTemporaryFiles) {
    const fs::path file = dir / "m_score.sav";
    ASSERT_TRUE(files->readOrCreate(file, kAll).ok);

    const std::string longer(70000, '\x5A');
    platform::WriteResult written = files->replace(file, longer);
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(contentOf(file), longer);
    // Nothing past what the caller asks for is read.
    EXPECT_EQ(files->readOrCreate(file, 65541).bytes, longer.substr(0, 65541));

    // A shorter content replaces the file; nothing of the longer one remains.
    const std::string shorter("\x01\x00\x00\x00\x02\x00", 6);
    written = files->replace(file, shorter);
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(contentOf(file), shorter);

    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"m_score.sav"});
}

TEST_F(FilesContract, FolderInTheFilesPlaceFailsWithAReason) {
    const fs::path file = dir / "m_score.sav";
    fs::create_directory(file);

    const platform::ReadResult read = files->readOrCreate(file, kAll);
    EXPECT_FALSE(read.ok);
    EXPECT_FALSE(read.error.empty());

    const platform::WriteResult written = files->replace(file, "record");
    EXPECT_FALSE(written.ok);
    EXPECT_FALSE(written.error.empty());

    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"m_score.sav"});
}

TEST_F(FilesContract, PathThroughARegularFileFailsWithAReason) {
    const fs::path plain = dir / "plain";
    writeFile(plain, "keep");

    const platform::ReadResult read = files->readOrCreate(plain / "poroten" / "m_score.sav", kAll);
    EXPECT_FALSE(read.ok);
    EXPECT_FALSE(read.error.empty());

    const platform::WriteResult written = files->replace(plain / "m_score.sav", "record");
    EXPECT_FALSE(written.ok);
    EXPECT_FALSE(written.error.empty());

    EXPECT_EQ(contentOf(plain), "keep");
}

// Skipped as root; runs in scripts/test.sh's pass as nobody.
TEST_F(FilesContract, FileThatCannotBeWrittenIsRefused) {
    const fs::path file = dir / "m_score.sav";
    writeFile(file, "old");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (static_cast<bool>(std::ofstream(file, std::ios::app))) {
        GTEST_SKIP() << "file permissions are not enforced for this user (running as root?)";
    }

    const platform::ReadResult read = files->readOrCreate(file, kAll);
    EXPECT_FALSE(read.ok);
    EXPECT_FALSE(read.error.empty());
    EXPECT_EQ(contentOf(file), "old");
}

// Skipped as root; runs in scripts/test.sh's pass as nobody.
TEST_F(FilesContract, FolderThatCannotBeWrittenRefusesNewFilesAndKeepsOldContent) {
    const fs::path folder = dir / "program";
    fs::create_directory(folder);
    const fs::path existing = folder / "m_score.sav";
    writeFile(existing, "old");
    fs::permissions(folder,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (canStillCreateIn(folder)) {
        GTEST_SKIP() << "folder permissions are not enforced for this user (running as root?)";
    }

    const platform::ReadResult read = files->readOrCreate(folder / "other.sav", kAll);
    EXPECT_FALSE(read.ok);
    EXPECT_FALSE(read.error.empty());

    // The replacement needs a temporary file beside the target; without one
    // the old content must stay whole.
    const platform::WriteResult written = files->replace(existing, "new content");
    EXPECT_FALSE(written.ok);
    EXPECT_FALSE(written.error.empty());
    EXPECT_EQ(contentOf(existing), "old");
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"m_score.sav"});
}

TEST_F(FilesContract, AHugeFileIsReadOnlyAsFarAsAsked) {
    const fs::path file = dir / "m_score.sav";
    const std::string record("\x07\x00\x01\x00Z\x02\x00", 7);
    writeFile(file, record);
    std::error_code error;
    fs::resize_file(file, std::uintmax_t{1} << 30, error);  // sparse where the system can
    if (error) {
        GTEST_SKIP() << "cannot make a 1 GiB file here: " << error.message();
    }
    const auto started = std::chrono::steady_clock::now();
    const platform::ReadResult read = files->readOrCreate(file, 65541);
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.bytes.size(), 65541u);
    EXPECT_EQ(read.bytes.substr(0, record.size()), record);
    EXPECT_EQ(read.bytes.find_first_not_of('\0', record.size()), std::string::npos);
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_EQ(fs::file_size(file), std::uintmax_t{1} << 30);
}

// A link in the file's place may point anywhere, /etc/passwd included: it is
// refused like a file that cannot be written, and what it points to stays.
TEST_F(FilesContract, ALinkInTheFilesPlaceIsNeverReadOrWrittenThrough) {
    const fs::path outside = dir / "outside";
    writeFile(outside, "root:x:0:0");
    const fs::path file = dir / "m_score.sav";
    const fs::path dangling = dir / "other.sav";
    std::error_code error;
    fs::create_symlink(outside, file, error);
    if (!error) {
        fs::create_symlink(dir / "nowhere", dangling, error);
    }
    if (error) {
        GTEST_SKIP() << "no symbolic links here: " << error.message();
    }

    const platform::ReadResult read = files->readOrCreate(file, kAll);
    EXPECT_FALSE(read.ok);
    EXPECT_FALSE(read.error.empty());
    const platform::WriteResult written = files->replace(file, "LINK\x02");
    EXPECT_FALSE(written.ok);
    EXPECT_FALSE(written.error.empty());
    EXPECT_EQ(contentOf(outside), "root:x:0:0");
    EXPECT_TRUE(fs::is_symlink(file));

    // A link to nothing yet is not followed to create its target either.
    EXPECT_FALSE(files->readOrCreate(dangling, kAll).ok);
    EXPECT_FALSE(files->replace(dangling, "x").ok);
    EXPECT_FALSE(fs::exists(dir / "nowhere"));
    std::vector<std::string> names = namesIn(dir);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"m_score.sav", "other.sav", "outside"}));
}

// Where an adapter counts a copy as installed, the program's folder belongs
// to the system, whoever runs it (root too): the record is neither read nor
// written there, however the folder is spelt, and nothing is left there; the
// user's data folder takes it.
TEST_F(FilesContract, AnInstalledCopyKeepsItsRecordOnlyInTheUsersDataFolder) {
    const std::unique_ptr<platform::Files> installed = makeInstalledCopyFiles(dir);
    if (!installed) {
        GTEST_SKIP() << "every copy of this adapter keeps its record where it lies";
    }
    const fs::path program = installed->programDirectory();
    fs::create_directories(program);
    // Left by the copy before it was installed.
    writeFile(program / "m_score.sav", "old");

    for (const fs::path& file : {program / "m_score.sav", program / "other.sav",
                                 program / ".." / program.filename() / "other.sav"}) {
        const platform::ReadResult read = installed->readOrCreate(file, kAll);
        EXPECT_FALSE(read.ok) << file;
        EXPECT_FALSE(read.error.empty()) << file;
        const platform::WriteResult written = installed->replace(file, "record");
        EXPECT_FALSE(written.ok) << file;
        EXPECT_FALSE(written.error.empty()) << file;
    }
    EXPECT_EQ(contentOf(program / "m_score.sav"), "old");
    EXPECT_EQ(namesIn(program), std::vector<std::string>{"m_score.sav"});

    const fs::path kept = installed->userDataDirectory() / "m_score.sav";
    const platform::ReadResult read = installed->readOrCreate(kept, kAll);
    ASSERT_TRUE(read.ok) << read.error;
    const platform::WriteResult written = installed->replace(kept, "record");
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(contentOf(kept), "record");
}

// A disk that fills up must not leave an empty or cut file in the record's
// place, and the failure must be reported.
TEST_F(FilesContract, AReplaceThatFindsTheDiskFullOrNearlyFullLeavesTheOldBytes) {
#if defined(POROTEN_CAN_MOUNT_TMPFS)
    const fs::path disk = dir / "disk";
    fs::create_directory(disk);
    if (::geteuid() != 0 || ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    }
    struct Unmount {
        fs::path at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{disk};

    const fs::path file = disk / "m_score.sav";
    ASSERT_TRUE(files->readOrCreate(file, kAll).ok);
    const std::string old = std::string("\x05\x00\x01\x00O\x02\x00", 7) + std::string(10247, 'o');
    ASSERT_TRUE(files->replace(file, old).ok);
    ASSERT_EQ(contentOf(file), old);

    // Fill what is left, a page at a time, until the system says no more.
    const fs::path filler = disk / "filler";
    {
        std::ofstream out(filler, std::ios::binary);
        const std::string page(4096, 'f');
        for (int i = 0; i < 64 && out; ++i) {
            out.write(page.data(), static_cast<std::streamsize>(page.size()));
            out.flush();
        }
    }
    const std::string newer = std::string("\x09\x00\x01\x00N\x02\x00", 7) + std::string(10247, 'n');
    platform::WriteResult written = files->replace(file, newer);
    EXPECT_FALSE(written.ok);
    EXPECT_NE(written.error.find("space"), std::string::npos) << written.error;
    EXPECT_EQ(contentOf(file), old);

    // Nearly full: one free page, less than the new content needs.
    fs::resize_file(filler, fs::file_size(filler) - 4096);
    written = files->replace(file, newer);
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(contentOf(file), old);
    std::vector<std::string> names = namesIn(disk);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"filler", "m_score.sav"}));

    // With room again the same save goes through.
    fs::remove(filler);
    written = files->replace(file, newer);
    EXPECT_TRUE(written.ok) << written.error;
    EXPECT_EQ(contentOf(file), newer);
#else
    GTEST_SKIP() << "no small file system can be filled up from this test here";
#endif
}

}  // namespace
}  // namespace poroten::testing
