#pragma once

#include <chrono>

#include "platform/files.h"

namespace poroten::platform::win32 {

class Win32Files : public platform::Files {
public:
    std::filesystem::path programDirectory() const override;
    std::filesystem::path userDataDirectory() const override;
    platform::ReadResult readOrCreate(const std::filesystem::path& file) override;
    platform::WriteResult replace(const std::filesystem::path& file,
                                  std::string_view bytes) override;
    void whileLocked(const std::filesystem::path& file, LockWait wait,
                     std::function<void()> critical) override;

    // How long a lock held by another copy is waited for.
    void setLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

private:
    std::chrono::milliseconds lockWait_{2000};
};

}  // namespace poroten::platform::win32
