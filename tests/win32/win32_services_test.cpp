// Message boxes and the program's folders on the real Win32 calls.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "game/layout.h"
#include "highscore/high_score_store.h"
#include "highscore/score_file.h"
#include "platform/application.h"
#include "platform/cp932_codec.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_message_boxes.h"
#include "platform/win32/win32_window.h"
#include "win32_test_support.h"

namespace poroten::platform::win32::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Reads the message box the adapter opened, then closes it with OK.
struct SeenBox {
    std::wstring title;
    std::wstring text;
    HWND owner = nullptr;
};
SeenBox seen;
bool boxFound = false;

void CALLBACK readBox(HWND, UINT, UINT_PTR id, DWORD) {
    const HWND box = FindWindowW(L"#32770", nullptr);
    if (!box || GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) {
        return;
    }
    KillTimer(nullptr, id);
    boxFound = true;
    seen.title = windowText(box);
    seen.text = windowText(GetDlgItem(box, 0xFFFF));
    seen.owner = GetWindow(box, GW_OWNER);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

SeenBox showAndRead(std::string_view title, std::string_view text) {
    boxFound = false;
    seen = {};
    SetTimer(nullptr, 0, 100, &readBox);
    Win32MessageBoxes boxes;
    // What follows the box runs once it is closed, before show returns.
    bool closedAfterSeen = false;
    boxes.show(title, text, [&] { closedAfterSeen = boxFound; });
    EXPECT_TRUE(boxFound);
    EXPECT_TRUE(closedAfterSeen);
    return seen;
}

// The record's file name, where the files' own rules are about names.
const std::wstring kRecord = toWide(highscore::kScoreFileName);

constexpr platform::LockWait kMayWait{std::chrono::seconds(2), true};

// A box's title, lines and OK are the shared contract's; here, the owner the
// box takes and the CR LF a Windows box breaks its lines at.
TEST(Win32MessageBoxes, BelongsToTheActiveWindowAndBreaksLinesWithCrLf) {
    EXPECT_EQ(messageBoxText({"a", "", "b", ""}), L"a\r\n\r\nb\r\n");

    struct NoEvents : platform::WindowEvents {
        bool onKeyPress(int, char32_t) override { return false; }
        void onCommand(int) override {}
        void onCloseRequest() override {}
    } events;
    Win32WindowFactory windows;
    const platform::WindowDesc main = game::form1Layout();
    auto window = windows.createWindow(main, events);
    window->show();
    const HWND hwnd = FindWindowW(L"PorotenWindow", toWide(main.caption).c_str());
    pumpUntil([&] { return GetActiveWindow() == hwnd; }, 2s);
    ASSERT_EQ(GetActiveWindow(), hwnd);
    const SeenBox box = showAndRead("t", "a\r\rb");
    EXPECT_EQ(box.owner, hwnd);
    EXPECT_EQ(box.title, L"t");
    EXPECT_EQ(box.text, L"a\r\n\r\nb");
}

TEST(Win32Files, FoldersAreBesideTheProgramAndInRoamingAppData) {
    Win32Files files;
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    EXPECT_EQ(files.programDirectory(), std::filesystem::path(module).parent_path());

    const wchar_t* appData = _wgetenv(L"APPDATA");
    ASSERT_NE(appData, nullptr);
    EXPECT_EQ(files.userDataDirectory(),
              std::filesystem::path(appData) / toWide(platform::kApplicationTitle));
}

// What a save killed before its move leaves, "<name>.<process id>.tmp", goes
// at the next start once it has lain a minute; names that only look alike,
// and other copies' saves under way (closed while their move waits), stay.
TEST(Win32Files, LeftoversOfKilledSavesGoAtTheNextStartAndNothingElse) {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    const std::filesystem::path dir =
        std::filesystem::path(temp) /
        (L"poroten-leftovers-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto write = [&](const std::wstring& name, const char* text) {
        std::ofstream(dir / name, std::ios::binary) << text;
    };
    write(kRecord, "old record");
    write(kRecord + L".4242.tmp", "new rec");
    write(kRecord + L".7.tmp", "new");
    const std::vector<std::wstring> others{kRecord + L".bak",          kRecord + L".12a4.tmp",
                                           kRecord + L"..tmp",         L"other.4242.tmp",
                                           kRecord + L".4242.tmp.bak", kRecord + L".31.tmp"};
    for (const auto& name : others) {
        write(name, "keep");
    }
    const auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::filesystem::last_write_time(entry, now - platform::kLeftoverAge - 1s);
    }
    std::filesystem::last_write_time(dir / (kRecord + L".31.tmp"),
                                     now - platform::kLeftoverAge + 10s);
    write(kRecord + L".32.tmp", "keep");  // just now
    std::filesystem::create_directory(dir / (kRecord + L".99.tmp"));

    Win32Files files;
    const platform::ReadResult read = files.readOrCreate(dir / kRecord, 1 << 20);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.bytes, "old record");
    std::set<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.insert(entry.path().filename().native());
    }
    std::set<std::wstring> expected(others.begin(), others.end());
    expected.insert({kRecord, kRecord + L".99.tmp", kRecord + L".32.tmp"});
    EXPECT_TRUE(names == expected) << names.size() << " names";
    std::filesystem::remove_all(dir);
}

std::filesystem::path freshFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path dir =
        std::filesystem::path(temp) / (name + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Two copies saving at once: the second waits for the first's section to end,
// and the lock's file goes with its holder.
TEST(Win32Files, ASecondCopyWaitsForTheLockAndNoLockFileStays) {
    const std::filesystem::path dir = freshFolder(L"poroten-lock-");
    const std::filesystem::path file = dir / kRecord;
    Win32Files first;
    Win32Files second;
    std::atomic<bool> secondRan{false};
    bool letGo = false;
    Clock::time_point firstDone;
    Clock::time_point secondStarted;
    std::thread other;
    first.whileLocked(file, kMayWait, [&] {
        EXPECT_TRUE(std::filesystem::exists(dir / (kRecord + L".lock")));
        other = std::thread([&] {
            second.whileLocked(
                file, kMayWait,
                [&] {
                    secondStarted = Clock::now();
                    secondRan = true;
                },
                // What follows a section (a box, say) runs with the lock let go.
                [&] { letGo = !std::filesystem::exists(dir / (kRecord + L".lock")); });
        });
        std::this_thread::sleep_for(400ms);
        EXPECT_FALSE(secondRan.load());
        firstDone = Clock::now();
    }, {});
    other.join();
    EXPECT_TRUE(secondRan.load());
    EXPECT_GE(secondStarted, firstDone);
    EXPECT_TRUE(letGo);
    EXPECT_FALSE(std::filesystem::exists(dir / (kRecord + L".lock")));
    std::filesystem::remove_all(dir);
}

// A copy that keeps the lock (hung in a box, say) holds a save up for about
// two seconds, not for ever.
TEST(Win32Files, ALockHeldTooLongIsGivenUpAfterAboutTwoSeconds) {
    const std::filesystem::path dir = freshFolder(L"poroten-lock-held-");
    const std::filesystem::path file = dir / kRecord;
    const std::filesystem::path lockFile = dir / (kRecord + L".lock");
    HANDLE held = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Win32Files files;
    int runs = 0;
    const auto started = Clock::now();
    files.whileLocked(file, kMayWait, [&] { ++runs; }, {});
    const auto waited = Clock::now() - started;
    CloseHandle(held);
    EXPECT_EQ(runs, 1);
    EXPECT_GE(waited, 1900ms);
    EXPECT_LT(waited, 4s);
    std::filesystem::remove_all(dir);
}

// The record's places in a folder of the test's own.
class FilesIn : public Win32Files {
public:
    explicit FilesIn(std::filesystem::path dir) : dir_(std::move(dir)) {}
    std::filesystem::path programDirectory() const override { return dir_ / L"program"; }
    std::filesystem::path userDataDirectory() const override { return dir_ / L"user"; }

private:
    std::filesystem::path dir_;
};

struct CountedBoxes : platform::MessageBoxes {
    int shown = 0;

protected:
    void present(const platform::BoxContent&, std::function<void()> closed) override {
        ++shown;
        if (closed) {
            closed();
        }
    }
};

// Opens the file unshared, as a virus scanner or a sync tool does, and lets
// it go after `time` from another thread.
class Holder {
public:
    Holder(const std::filesystem::path& file, std::chrono::milliseconds time)
        : handle_(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {
        EXPECT_NE(handle_, INVALID_HANDLE_VALUE);
        thread_ = std::thread([this, time] {
            std::this_thread::sleep_for(time);
            CloseHandle(handle_);
        });
    }
    ~Holder() { thread_.join(); }

private:
    HANDLE handle_;
    std::thread thread_;
};

// Held for half a second, the record is still saved, in that very place, and
// without a box; held for good, or refused for good, the place fails, after
// the retries' 1.4 s or at once.
TEST(Win32Files, AFileHeldForAMomentIsWaitedForAndALastingRefusalIsNot) {
    const std::filesystem::path dir = freshFolder(L"poroten-held-");
    FilesIn files(dir);
    const Cp932Codec codec;
    CountedBoxes boxes;
    highscore::Module1 store(files, codec, boxes);
    store.LoadHighScore();
    const std::filesystem::path besideProgram = dir / L"program" / kRecord;
    const std::filesystem::path inUserFolder = dir / L"user" / kRecord;
    store.HighScore = 7;
    store.HighName = "Held";
    Clock::duration waited{};
    {
        Holder held(besideProgram, 500ms);
        const auto started = Clock::now();
        store.SaveHighScore();
        waited = Clock::now() - started;
    }
    EXPECT_GE(waited, 400ms);
    EXPECT_EQ(boxes.shown, 0);
    for (const auto& place : {besideProgram, inUserFolder}) {
        const highscore::ScoreRec saved = highscore::readScoreRec(contentOf(place));
        EXPECT_TRUE(saved.isValid() && saved.Score == 7 && saved.Name == "Held");
    }

    // Held while the new content is moved over it.
    {
        Holder held(besideProgram, 500ms);
        const auto started = Clock::now();
        EXPECT_TRUE(files.replace(besideProgram, "moved over").ok);
        waited = Clock::now() - started;
    }
    EXPECT_GE(waited, 400ms);
    EXPECT_EQ(contentOf(besideProgram), "moved over");

    for (const bool opening : {true, false}) {
        Holder held(besideProgram, 2500ms);
        const auto started = Clock::now();
        std::string error;
        // A section with no budget, as an ordinary save's, keeps every retry.
        files.whileLocked(besideProgram, kMayWait,
                          [&] {
                              error = opening ? files.readOrCreate(besideProgram, 1 << 20).error
                                              : files.replace(besideProgram, "never").error;
                          },
                          {});
        waited = Clock::now() - started;
        EXPECT_FALSE(error.empty());
        EXPECT_GE(waited, 1300ms) << opening;
        EXPECT_LT(waited, 2300ms) << opening;
    }
    EXPECT_EQ(contentOf(besideProgram), "moved over");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / L"program"),
                            std::filesystem::directory_iterator()),
              1);  // no temporary left

    const std::filesystem::path folderInItsPlace = dir / L"user" / L"folder.sav";
    std::filesystem::create_directory(folderInItsPlace);
    const auto started = Clock::now();
    EXPECT_FALSE(files.readOrCreate(folderInItsPlace, 1 << 20).ok);
    EXPECT_FALSE(files.replace(folderInItsPlace, "never").ok);
    EXPECT_LT(Clock::now() - started, 500ms);
    std::filesystem::remove_all(dir);
}

// Log-off with the lock and both places held for good: the save waits out its
// lock patience, gives the files the rest of its budget, and is over well
// within the few seconds Windows waits, with no box.
TEST(Win32Files, AnEndingsSaveIsOverWithinItsBudgetWhateverIsHeld) {
    const std::filesystem::path dir = freshFolder(L"poroten-ending-");
    FilesIn files(dir);
    const Cp932Codec codec;
    CountedBoxes boxes;
    highscore::Module1 store(files, codec, boxes);
    store.LoadHighScore();
    const std::filesystem::path user = dir / L"user" / kRecord;
    const std::filesystem::path lock = dir / L"user" / (kRecord + L".lock");
    std::ofstream(lock).put('l');
    Clock::duration waited{};
    {
        Holder heldLock(lock, 4s), first(dir / L"program" / kRecord, 4s), second(user, 4s);
        const auto started = Clock::now();
        store.KeepScoreBeforeEnding(9);
        waited = Clock::now() - started;
    }
    EXPECT_GE(waited, 2400ms);
    EXPECT_LT(waited, 2900ms);
    EXPECT_EQ(boxes.shown, 0);
    EXPECT_EQ(contentOf(user), "");
    std::filesystem::remove_all(dir);
}

// An access list that denies the player: waiting cannot help, so the read
// fails at once. Wine heeds no access list and root passes every Unix
// permission, but an immutable file (chattr +i) is refused even to root.
TEST(Win32Files, AFileDeniedToThePlayerFailsAtOnce) {
    const std::wstring unixDir = L"/tmp/poroten-denied-" + std::to_wstring(GetCurrentProcessId());
    const std::filesystem::path dir = L"Z:" + unixDir;
    const std::filesystem::path denied = dir / L"program" / kRecord;
    std::filesystem::create_directories(denied.parent_path());
    std::ofstream(denied, std::ios::binary) << "old";
    // Wine starts a Unix program given its path but hands back no process to
    // wait for: the change itself is awaited.
    const auto chattr = [&](bool on) {
        std::wstring line = L"Z:\\usr\\bin\\chattr " + std::wstring(on ? L"+i " : L"-i ") +
                            unixDir + L"/program/" + kRecord;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0,
                                            nullptr, nullptr, &startup, &process);
        for (int tries = 0; started && tries < 50; ++tries, Sleep(100)) {
            const HANDLE opened = CreateFileW(denied.c_str(), GENERIC_WRITE, 0, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (opened != INVALID_HANDLE_VALUE) {
                CloseHandle(opened);
            }
            if ((opened == INVALID_HANDLE_VALUE) == on) {
                return true;
            }
        }
        return false;
    };
    if (!chattr(true)) {
        std::filesystem::remove_all(dir);
        GTEST_SKIP() << "chattr +i needs Wine, root and a file system that has it";
    }
    Win32Files files;
    const auto started = Clock::now();
    const std::string error = files.readOrCreate(denied, 1 << 20).error;
    const auto waited = Clock::now() - started;
    ASSERT_TRUE(chattr(false));
    EXPECT_EQ(error, systemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_LT(waited, 100ms);
    EXPECT_EQ(contentOf(denied), "old");
    std::filesystem::remove_all(dir);
}

// Run by full_disk_test.py with POROTEN_FULL_DISK naming a folder on a small
// file system of its own.
TEST(Win32FullDisk, ASaveOnAFullOrNearlyFullDiskFailsAndKeepsTheOldRecord) {
    const wchar_t* disk = _wgetenv(L"POROTEN_FULL_DISK");
    if (disk == nullptr || *disk == L'\0') {
        GTEST_SKIP() << "no small disk given in POROTEN_FULL_DISK";
    }
    const std::filesystem::path file = std::filesystem::path(disk) / kRecord;
    const std::filesystem::path filler = std::filesystem::path(disk) / L"filler";
    Win32Files files;
    ASSERT_TRUE(files.readOrCreate(file, 1 << 20).ok);
    const std::string old =
        highscore::scoreRecBytes({.Score = 5, .Name = "O", .Marker = highscore::kValidMarker}) +
        std::string(10247, 'o');
    ASSERT_TRUE(files.replace(file, old).ok);

    // Fill the disk a page at a time until the system refuses.
    HANDLE fill = CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(fill, INVALID_HANDLE_VALUE);
    const std::string page(4096, 'f');
    DWORD written = 0;
    int pages = 0;
    while (pages < 4096 && WriteFile(fill, page.data(), 4096, &written, nullptr) &&
           written == 4096) {
        ++pages;
    }
    ASSERT_LT(pages, 4096) << "the disk never filled up";

    const std::string newer =
        highscore::scoreRecBytes({.Score = 9, .Name = "N", .Marker = highscore::kValidMarker}) +
        std::string(10247, 'n');
    platform::WriteResult saved = files.replace(file, newer);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.error, systemErrorText(ERROR_DISK_FULL));
    EXPECT_EQ(contentOf(file), old);

    // Nearly full: one free page, less than the new record needs.
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(pages - 1) * 4096;
    ASSERT_TRUE(SetFilePointerEx(fill, end, nullptr, FILE_BEGIN) && SetEndOfFile(fill));
    saved = files.replace(file, newer);
    EXPECT_FALSE(saved.ok);
    EXPECT_FALSE(saved.error.empty());
    EXPECT_EQ(contentOf(file), old);
    std::set<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(disk)) {
        names.insert(entry.path().filename().native());
    }
    EXPECT_TRUE((names == std::set<std::wstring>{L"filler", kRecord})) << names.size();

    // With room again the same save goes through.
    CloseHandle(fill);
    DeleteFileW(filler.c_str());
    saved = files.replace(file, newer);
    EXPECT_TRUE(saved.ok) << saved.error;
    EXPECT_EQ(contentOf(file), newer);
}

}  // namespace
}  // namespace poroten::platform::win32::testing
