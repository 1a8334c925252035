// Reading UTF-8 one character at a time, the same way wherever the program
// meets text from outside (a name typed, a key reported by the page).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace poroten::platform {

// The character at the front of text: its code point and length in bytes, or
// none when text is empty or starts with no well-formed character (overlong
// forms and surrogates included).
std::optional<std::pair<char32_t, std::size_t>> firstUtf8Character(std::string_view text);

}  // namespace poroten::platform
