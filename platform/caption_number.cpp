#include "platform/caption_number.h"

#include <charconv>

namespace poroten::platform {

long numericValue(std::string_view text) {
    std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return 0;
    }
    text.remove_prefix(start);
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? value : 0;
}

std::string decimalText(long value) {
    return std::to_string(value);
}

}  // namespace poroten::platform
