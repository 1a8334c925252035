// A virus scanner, an indexer or a sync tool may hold the record's file for a
// moment. What they refuse meanwhile is tried again, ten more times at most,
// each wait 25 ms longer than the one before (as SQLite does on Windows): 1.4 s
// at most for one read or one replacement of the file.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>

namespace poroten::platform::win32 {

class FileRetry {
public:
    static constexpr int kRetries = 10;
    static constexpr std::chrono::milliseconds kWaitStep{25};

    // After an operation on `path` failed with `error`: waits and returns true
    // when another try may pass; otherwise returns false with `error` as the
    // thread's last error again.
    bool again(DWORD error, const std::filesystem::path& path);

private:
    int retries_ = 0;
};

}  // namespace poroten::platform::win32
