#include "platform/win32/file_retry.h"

#include <algorithm>

namespace poroten::platform::win32 {

namespace {

bool mayPass(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

// Access is also denied, for good, by a folder that takes no new files, a
// read-only file and a folder in the file's place. An open is refused only
// for a moment while the file is being deleted: a file pending deletion cannot
// be opened even to read its attributes, whereas one whose access list denies
// the player still shows them (listing its folder grants that), and waiting
// will not change the list.
bool deniedForGood(const std::filesystem::path& path, FileRetry::Step step) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return step == FileRetry::Step::Open ||
               (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        return true;
    }
    return step == FileRetry::Step::Open && error != ERROR_ACCESS_DENIED;
}

}  // namespace

bool FileRetry::again(DWORD error, const std::filesystem::path& path, Step step) {
    std::chrono::milliseconds wait = kWaitStep * (retries_ + 1);
    if (deadline_) {
        wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(
                                  *deadline_ - std::chrono::steady_clock::now()));
    }
    const bool worthIt = retries_ < kRetries && wait.count() > 0 && mayPass(error) &&
                         !(error == ERROR_ACCESS_DENIED && deniedForGood(path, step));
    if (worthIt) {
        ++retries_;
        Sleep(static_cast<DWORD>(wait.count()));
    }
    SetLastError(error);
    return worthIt;
}

}  // namespace poroten::platform::win32
