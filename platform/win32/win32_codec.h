#pragma once

#include "platform/text_codec.h"

namespace poroten::win32 {

// Code page 932 through the system's own tables.
class Win32TextCodec : public platform::TextCodec {
public:
    std::string toCodePage932(std::string_view utf8) const override;
    std::string fromCodePage932(std::string_view bytes) const override;
};

}  // namespace poroten::win32
