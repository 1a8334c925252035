#pragma once

#include <string>
#include <string_view>

namespace poroten::platform {

// Conversion between UTF-8 and Windows code page 932 (Shift_JIS with the NEC
// and IBM extensions), the form names take in the score file.
class TextCodec {
public:
    virtual ~TextCodec() = default;
    // Each character code page 932 cannot represent becomes "?".
    virtual std::string toCodePage932(std::string_view utf8) const = 0;
    // Bytes that are not valid code page 932 become U+FFFD.
    virtual std::string fromCodePage932(std::string_view bytes) const = 0;
};

}  // namespace poroten::platform
