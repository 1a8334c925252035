#pragma once

#include <filesystem>
#include <string_view>

#include "platform/files.h"

namespace poroten::platform::qt {

class QtFiles : public Files {
public:
    std::filesystem::path programDirectory() const override;
    std::filesystem::path userDataDirectory() const override;
    ReadResult readOrCreate(const std::filesystem::path& file) override;
    WriteResult replace(const std::filesystem::path& file, std::string_view bytes) override;
};

}  // namespace poroten::platform::qt
