#pragma once

#include "platform/files.h"

namespace poroten::win32 {

class Win32Files : public platform::Files {
public:
    std::filesystem::path programDirectory() const override;
    std::filesystem::path userDataDirectory() const override;
    platform::ReadResult readOrCreate(const std::filesystem::path& file) override;
    platform::WriteResult replace(const std::filesystem::path& file,
                                  std::string_view bytes) override;
};

}  // namespace poroten::win32
