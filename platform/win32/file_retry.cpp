#include "platform/win32/file_retry.h"

namespace poroten::platform::win32 {

namespace {

bool mayPass(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

// Access is also denied, for good, by a folder that takes no new files, a
// read-only file and a folder in the file's place; only a file that is there
// can be held by someone else for a moment.
bool deniedForGood(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0;
}

}  // namespace

bool FileRetry::again(DWORD error, const std::filesystem::path& path) {
    const bool worthIt = retries_ < kRetries && mayPass(error) &&
                         !(error == ERROR_ACCESS_DENIED && deniedForGood(path));
    if (worthIt) {
        ++retries_;
        Sleep(static_cast<DWORD>((kWaitStep * retries_).count()));
    }
    SetLastError(error);
    return worthIt;
}

}  // namespace poroten::platform::win32
