// A virus scanner, an indexer or a sync tool may hold the record's file for a
// moment. What they refuse meanwhile is tried again, ten more times at most,
// each wait 25 ms longer than the one before (as SQLite does on Windows): 1.4 s
// at most for one read or one replacement of the file, and never past the
// deadline of a save that must be over by then.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>

namespace poroten::platform::win32 {

class FileRetry {
public:
    static constexpr int kRetries = 10;
    static constexpr std::chrono::milliseconds kWaitStep{25};
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;

    explicit FileRetry(Deadline deadline = std::nullopt) : deadline_(deadline) {}

    // What was refused: opening `path` (or reading or writing it), or moving
    // another file over it. A program holding the target open makes the move
    // fail with ERROR_ACCESS_DENIED too, so there the denial is waited out.
    enum class Step { Open, Move };

    // After `step` on `path` failed with `error`: waits and returns true when
    // another try may pass; otherwise returns false with `error` as the
    // thread's last error again.
    bool again(DWORD error, const std::filesystem::path& path, Step step = Step::Open);

private:
    int retries_ = 0;
    Deadline deadline_;
};

}  // namespace poroten::platform::win32
