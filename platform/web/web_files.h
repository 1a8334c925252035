#pragma once

#include "platform/files.h"

namespace poroten::platform::web {

// The score file in the browser's localStorage: one entry per file name,
// holding base64 of the file's bytes. There is one place only, so the program
// folder and the user's folder are the same.
class WebFiles : public platform::Files {
public:
    std::filesystem::path programDirectory() const override { return "localStorage"; }
    std::filesystem::path userDataDirectory() const override { return "localStorage"; }
    platform::ReadResult readOrCreate(const std::filesystem::path& file,
                                      std::size_t longest) override;
    platform::WriteResult replace(const std::filesystem::path& file,
                                  std::string_view bytes) override;
    // Through the browser's Web Locks, shared by the site's tabs.
    void whileLocked(const std::filesystem::path& file, LockWait wait,
                     std::function<void()> critical, std::function<void()> afterwards) override;
};

}  // namespace poroten::platform::web
