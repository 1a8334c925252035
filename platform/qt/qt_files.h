#pragma once

#include <filesystem>

#include "platform/posix/posix_files.h"

namespace poroten::platform::qt {

// The POSIX file service in the folders Qt knows: the program's and the
// user's data folder (which QStandardPaths' test mode and XDG_DATA_HOME move).
class QtFiles : public posix::PosixFiles {
public:
    std::filesystem::path programDirectory() const override;
    std::filesystem::path userDataDirectory() const override;
};

}  // namespace poroten::platform::qt
