#pragma once

#include <string>
#include <string_view>

namespace poroten::platform {

// Text as XML or HTML text, or as a quoted attribute's value: the page and
// the packages' metadata write it the same way.
inline std::string xmlEscaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace poroten::platform
