#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace poroten::platform {

struct ReadResult {
    bool ok = false;
    std::string bytes;
    std::string error;  // the system's reason, readable by a user, when !ok
};

struct WriteResult {
    bool ok = false;
    std::string error;
};

// How a locked section waits for another copy's lock: for at most patience,
// and, where the lock is granted later (the page's), past the call only when
// it may defer; not when the program is ending, since nothing runs after that.
// When budget is not zero, the section's file work gives up waiting on held
// files once that much has passed since the call: a system that is ending the
// program waits only so long.
struct LockWait {
    std::chrono::milliseconds patience;
    bool mayDefer;
    std::chrono::milliseconds budget{0};
};

// A save's temporary file is a leftover, to be removed, only once it is this
// old: no running copy takes so long to write and move one into place.
inline constexpr std::chrono::seconds kLeftoverAge{60};

class Files {
public:
    virtual ~Files() = default;
    // The folder that holds the program's executable.
    virtual std::filesystem::path programDirectory() const = 0;
    // The user's own data folder for this program; it may not exist yet.
    virtual std::filesystem::path userDataDirectory() const = 0;
    // Opens the file for reading and writing, creating it empty when missing
    // (and its folder), and returns its content, no more than its first
    // `longest` bytes. Temporary files that this adapter's own interrupted
    // saves of it left beside it are removed once kLeftoverAge old.
    virtual ReadResult readOrCreate(const std::filesystem::path& file, std::size_t longest) = 0;
    // Replaces the file's content atomically: a crash leaves the old content or
    // the new, never a mix.
    virtual WriteResult replace(const std::filesystem::path& file, std::string_view bytes) = 0;
    // Runs `critical` while no other copy of the program holds this file's
    // lock, so that a re-read and the write after it cannot interleave with
    // another copy's. When the lock cannot be had within about two seconds it
    // runs `critical` anyway: a lost race is rarer than a save that hangs.
    // When wait.mayDefer it may run it later (the page's lock is granted
    // asynchronously); otherwise it has run when this returns, without the
    // lock where the lock cannot be had synchronously. Runs it exactly once,
    // then `afterwards` (may be empty) once the lock is let go: whatever may
    // wait for the player, such as a box, goes there, so that no other copy
    // and no ending of this one waits for a lock held meanwhile.
    virtual void whileLocked(const std::filesystem::path& file, LockWait wait,
                             std::function<void()> critical,
                             std::function<void()> afterwards) = 0;
};

}  // namespace poroten::platform
