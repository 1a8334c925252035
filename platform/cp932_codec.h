#pragma once

#include <string>
#include <string_view>

#include "platform/text_codec.h"

namespace poroten::platform {

// Code page 932 from one table generated at build time, so that a record
// reads the same on every platform by construction, whatever converter the
// system would offer. Reads as Windows does; writes as Windows does, plus the
// JIS characters other systems type under JIS X 0208's own Unicode mapping
// (the wave dash U+301C and six more), which Windows would turn into "?".
class Cp932Codec final : public TextCodec {
public:
    std::string toCodePage932(std::string_view utf8) const override;
    std::string fromCodePage932(std::string_view bytes) const override;
};

}  // namespace poroten::platform
