#pragma once

#include <filesystem>
#include <string_view>

#include "platform/files.h"

namespace poroten::platform::qt {

class QtFiles : public Files {
public:
    std::filesystem::path programDirectory() const override;
    std::filesystem::path userDataDirectory() const override;
    ReadResult readOrCreate(const std::filesystem::path& file, std::size_t longest) override;
    WriteResult replace(const std::filesystem::path& file, std::string_view bytes) override;
    void whileLocked(const std::filesystem::path& file, LockWait wait,
                     std::function<void()> critical, std::function<void()> afterwards) override;

    // Whether the program runs from where it was installed (below the install
    // prefix or /usr), where the record is never kept beside it.
    bool isInstalledCopy() const;

private:
    bool isInProgramFolderOfInstalledCopy(const std::filesystem::path& file) const;
};

}  // namespace poroten::platform::qt
