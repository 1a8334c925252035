#pragma once

#include <chrono>
#include <optional>

#include "platform/files.h"

namespace poroten::platform::win32 {

class Win32Files : public platform::Files {
public:
    std::filesystem::path programDirectory() const override;
    std::filesystem::path userDataDirectory() const override;
    platform::ReadResult readOrCreate(const std::filesystem::path& file,
                                      std::size_t longest) override;
    platform::WriteResult replace(const std::filesystem::path& file,
                                  std::string_view bytes) override;
    void whileLocked(const std::filesystem::path& file, LockWait wait,
                     std::function<void()> critical, std::function<void()> afterwards) override;

private:
    // When the section running now must be over, held files or not.
    std::optional<std::chrono::steady_clock::time_point> deadline_;
};

}  // namespace poroten::platform::win32
