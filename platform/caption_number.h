// Numbers kept as label text: the countdown and the score are read back from
// the screen, changed and written again on every use.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace poroten::platform {

// The number written at the start of the text ("12" -> 12, "-1" -> -1); an
// empty text, or one that starts with no number, gives 0.
long numericValue(std::string_view text);

// Shortest decimal form: a minus sign when negative, no leading space (3, 0, -1, 12).
std::string decimalText(long value);

// The value of a character typed as an answer: 0-9 for the digits, the
// full-width digits (U+FF10-U+FF19) included; none for any other character.
std::optional<int> digitValue(char32_t character);

}  // namespace poroten::platform
