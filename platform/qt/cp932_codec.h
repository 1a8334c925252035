#pragma once

#include <string>
#include <string_view>

#include "platform/text_codec.h"

namespace poroten::platform::qt {

// Code page 932 through the C library's iconv "CP932" converter, which holds
// Microsoft's table (ASCII as is, the NEC and IBM rows, the user area).
class Cp932Codec : public TextCodec {
public:
    // Throws std::runtime_error when the system has no CP932 converter.
    Cp932Codec();

    std::string toCodePage932(std::string_view utf8) const override;
    std::string fromCodePage932(std::string_view bytes) const override;
};

}  // namespace poroten::platform::qt
