#include "platform/win32/win32_files.h"

// windows.h comes first: the shell headers build on its macros.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <ratio>
#include <string>
#include <thread>
#include <utility>

#include "platform/application.h"
#include "platform/win32/file_retry.h"
#include "platform/win32/wide_text.h"

namespace poroten::platform::win32 {

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid()) {
            CloseHandle(h_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }
    // Closes now so that a failure to close can be seen.
    bool close() {
        const bool ok = CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

std::string lastError() {
    return systemErrorText(GetLastError());
}

// Creates the folder and its missing parents.
bool makeFolder(const std::filesystem::path& folder) {
    if (folder.empty()) {
        return true;
    }
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            return true;
        }
        SetLastError(ERROR_DIRECTORY);
        return false;
    }
    const std::filesystem::path parent = folder.parent_path();
    if (parent != folder && !makeFolder(parent)) {
        return false;
    }
    return CreateDirectoryW(folder.c_str(), nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool writeAll(HANDLE file, const std::filesystem::path& path, std::string_view bytes,
              FileRetry& retry) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            if (retry.again(GetLastError(), path)) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            // Nothing written and no error: the reason must not be a stale one.
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// replace() below writes "<name>.<process id>.tmp" beside the file; a save
// killed before its move leaves that behind for good.
bool isLeftoverOfSave(const std::wstring& candidate, const std::wstring& fileName) {
    const std::wstring suffix = L".tmp";
    if (candidate.size() <= fileName.size() + 1 + suffix.size() ||
        candidate.compare(0, fileName.size() + 1, fileName + L".") != 0 ||
        candidate.compare(candidate.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    const auto first = candidate.begin() + static_cast<std::ptrdiff_t>(fileName.size() + 1);
    const auto last = candidate.end() - static_cast<std::ptrdiff_t>(suffix.size());
    return last - first <= 10 &&
           std::all_of(first, last, [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// A copy still saving wrote its temporary moments ago, and closes it while
// its move waits for the target; a killed save's has lain untouched since.
bool untouchedForLong(const FILETIME& written) {
    using Ticks = std::chrono::duration<long long, std::ratio<1, 10'000'000>>;  // FILETIME's unit
    const auto ticks = [](const FILETIME& time) {
        return Ticks((static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return ticks(now) - ticks(written) > platform::kLeftoverAge;
}

void removeLeftoversOfSaves(const std::filesystem::path& file) {
    const std::wstring fileName = file.filename().native();
    const std::filesystem::path pattern = file.parent_path() / (fileName + L".*.tmp");
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const DWORD skip = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if ((found.dwFileAttributes & skip) == 0 && isLeftoverOfSave(found.cFileName, fileName) &&
            untouchedForLong(found.ftLastWriteTime)) {
            DeleteFileW((file.parent_path() / found.cFileName).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// A symbolic link or junction in the record's place may lead anywhere; the
// record is never read or written through one.
bool isReparsePoint(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(file, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool isReparsePoint(const std::filesystem::path& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

std::filesystem::path Win32Files::programDirectory() const {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return std::filesystem::path(buffer).parent_path();
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::filesystem::path Win32Files::userDataDirectory() const {
    PWSTR folder = nullptr;
    std::filesystem::path result;
    if (SUCCEEDED(
            SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder))) {
        result = std::filesystem::path(folder) / toWide(platform::kApplicationTitle);
    }
    CoTaskMemFree(folder);
    return result;
}

platform::ReadResult Win32Files::readOrCreate(const std::filesystem::path& file,
                                              std::size_t longest) {
    platform::ReadResult result;
    if (!makeFolder(file.parent_path())) {
        result.error = lastError();
        return result;
    }
    // Write access too: a file the program may not write is no place for the
    // record, and the caller then looks elsewhere. A link is opened as itself,
    // so that neither it nor a missing target is created or read through.
    FileRetry retry(deadline_);
    HANDLE opened = INVALID_HANDLE_VALUE;
    do {
        opened =
            CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    } while (opened == INVALID_HANDLE_VALUE && retry.again(GetLastError(), file));
    Handle handle(opened);
    if (!handle.valid()) {
        result.error = lastError();
        return result;
    }
    if (isReparsePoint(handle.get())) {
        result.error = systemErrorText(ERROR_CANT_ACCESS_FILE);
        return result;
    }
    std::string bytes(longest, '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - filled);
        if (!ReadFile(handle.get(), bytes.data() + filled, want, &read, nullptr)) {
            if (retry.again(GetLastError(), file)) {
                continue;
            }
            result.error = lastError();
            return result;
        }
        if (read == 0) {
            break;  // the end of the file
        }
        filled += read;
    }
    bytes.resize(filled);
    removeLeftoversOfSaves(file);
    result.ok = true;
    result.bytes = std::move(bytes);
    return result;
}

platform::WriteResult Win32Files::replace(const std::filesystem::path& file,
                                          std::string_view bytes) {
    platform::WriteResult result;
    // Beside the target, so that the final move stays on one volume and is a rename.
    std::filesystem::path temporary = file;
    temporary += L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    if (isReparsePoint(file)) {
        result.error = systemErrorText(ERROR_CANT_ACCESS_FILE);
        return result;
    }

    // A new file only: whatever already has the name (a leftover of a killed
    // save of an earlier process with this id, or a link) is removed, not
    // written through.
    FileRetry retry(deadline_);
    const auto createTemporary = [&temporary, &retry] {
        HANDLE created = INVALID_HANDLE_VALUE;
        do {
            created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        } while (created == INVALID_HANDLE_VALUE && retry.again(GetLastError(), temporary));
        return created;
    };
    HANDLE created = createTemporary();
    if (created == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS &&
        DeleteFileW(temporary.c_str())) {
        created = createTemporary();
    }
    Handle handle(created);
    if (!handle.valid()) {
        result.error = lastError();
        return result;
    }
    bool ok = writeAll(handle.get(), temporary, bytes, retry) && FlushFileBuffers(handle.get());
    DWORD error = ok ? 0 : GetLastError();
    if (!handle.close() && ok) {
        ok = false;
        error = GetLastError();
    }
    // Over a file someone else holds open, the move is refused until they let go.
    while (ok && !MoveFileExW(temporary.c_str(), file.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (!retry.again(GetLastError(), file, FileRetry::Step::Move)) {
            ok = false;
            error = GetLastError();
        }
    }
    if (!ok) {
        DeleteFileW(temporary.c_str());
        result.error = systemErrorText(error);
        return result;
    }
    result.ok = true;
    return result;
}

// Any wait blocks here, so the section has always run when this returns.
void Win32Files::whileLocked(const std::filesystem::path& file, LockWait wait,
                             std::function<void()> critical, std::function<void()> afterwards) {
    // The lock is "<file>.lock" opened unshared: a second open fails while a
    // copy holds it, and the file goes when its handle closes, even when the
    // holder is killed.
    std::filesystem::path lockFile = file;
    lockFile += L".lock";
    HANDLE lock = INVALID_HANDLE_VALUE;
    const auto called = std::chrono::steady_clock::now();
    const auto giveUp = called + wait.patience;
    while (!file.empty()) {
        lock = CreateFileW(
            lockFile.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
            FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
            nullptr);
        const DWORD error = GetLastError();
        // Held by another copy, or its file is still going away. Any other
        // failure (a folder the program may not write) will not pass by waiting.
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
        if (lock != INVALID_HANDLE_VALUE || !held || std::chrono::steady_clock::now() >= giveUp) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    {
        Handle held(lock);
        // Every retry of the section's file work stops at its budget's end.
        const FileRetry::Deadline outer = std::exchange(
            deadline_, wait.budget.count() > 0 ? FileRetry::Deadline(called + wait.budget)
                                               : FileRetry::Deadline());
        critical();
        deadline_ = outer;
    }
    if (afterwards) {
        afterwards();
    }
}

}  // namespace poroten::platform::win32
