#pragma once

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

// Whether a locked section may wait for its lock past the call: not when the
// program is ending, since nothing runs after that.
enum class LockWait { MayDefer, BeforeReturning };

class Files {
public:
    virtual ~Files() = default;
    // The folder that holds the program's executable.
    virtual std::filesystem::path programDirectory() const = 0;
    // The user's own data folder for this program; it may not exist yet.
    virtual std::filesystem::path userDataDirectory() const = 0;
    // Opens the file for reading and writing, creating it empty when missing
    // (and its folder), and returns its whole content. Temporary files that
    // this adapter's own interrupted saves of it left beside it are removed.
    virtual ReadResult readOrCreate(const std::filesystem::path& file) = 0;
    // Replaces the file's content atomically: a crash leaves the old content or
    // the new, never a mix.
    virtual WriteResult replace(const std::filesystem::path& file, std::string_view bytes) = 0;
    // Runs `critical` while no other copy of the program holds this file's
    // lock, so that a re-read and the write after it cannot interleave with
    // another copy's. When the lock cannot be had within about two seconds it
    // runs `critical` anyway: a lost race is rarer than a save that hangs.
    // With LockWait::MayDefer it may run it later (the page's lock is granted
    // asynchronously); with LockWait::BeforeReturning it has run when this
    // returns, without the lock where the lock cannot be had synchronously.
    // Runs it exactly once.
    virtual void whileLocked(const std::filesystem::path& file, LockWait wait,
                             std::function<void()> critical) = 0;
};

}  // namespace poroten::platform
