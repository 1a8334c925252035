// The POSIX file service with folders of the test's choosing, as a toolkit's
// adapter hands it the folders it finds.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "platform/posix/posix_files.h"

namespace poroten::testing {

class FilesIn : public platform::posix::PosixFiles {
public:
    FilesIn(std::filesystem::path program, std::filesystem::path user)
        : program_(std::move(program)), user_(std::move(user)) {}
    FilesIn(std::filesystem::path program, std::filesystem::path user,
            std::filesystem::path installPrefix)
        : PosixFiles(std::move(installPrefix)),
          program_(std::move(program)),
          user_(std::move(user)) {}
    std::filesystem::path programDirectory() const override { return program_; }
    std::filesystem::path userDataDirectory() const override { return user_; }

private:
    std::filesystem::path program_;
    std::filesystem::path user_;
};

// The folder this test program runs from, as the program finds its own.
inline std::filesystem::path ownFolder() {
    std::error_code ignored;
    return std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path();
}

// A fresh folder, removed with all it holds.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "poroten-posix-XXXXXX").native();
        if (::mkdtemp(name.data()) != nullptr) {
            path_ = name;
        }
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!path_.empty()) {
            std::filesystem::remove_all(path_, ignored);
        }
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace poroten::testing
