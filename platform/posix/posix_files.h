// The record's files on Linux and other POSIX systems, for any toolkit: the
// toolkit's adapter derives from PosixFiles and says only where the program's
// folder and the user's data folder are (programDirectory, userDataDirectory),
// as the toolkit finds them.
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/files.h"

namespace poroten::platform::posix {

class PosixFiles : public Files {
public:
    // Installed copies are those below /usr or the prefix this build installs to.
    PosixFiles();
    // ... or below /usr or installPrefix.
    explicit PosixFiles(std::filesystem::path installPrefix);

    ReadResult readOrCreate(const std::filesystem::path& file, std::size_t longest) override;
    WriteResult replace(const std::filesystem::path& file, std::string_view bytes) override;
    void whileLocked(const std::filesystem::path& file, LockWait wait,
                     std::function<void()> critical, std::function<void()> afterwards) override;

    // Whether the program runs from where it was installed, where the record
    // is never kept beside it.
    bool isInstalledCopy() const;

private:
    bool isInProgramFolderOfInstalledCopy(const std::filesystem::path& file) const;

    std::filesystem::path installPrefix_;
};

}  // namespace poroten::platform::posix
