#pragma once

#include "platform/text_codec.h"

namespace poroten::web {

// Code page 932 from a table generated at build time from the build
// machine's iconv: browsers decode Shift_JIS but cannot encode it.
class WebTextCodec : public platform::TextCodec {
public:
    std::string toCodePage932(std::string_view utf8) const override;
    std::string fromCodePage932(std::string_view bytes) const override;
};

}  // namespace poroten::web
