// Numbers kept as label text: the countdown and the score are read back from
// the screen, changed and written again on every use.
#pragma once

#include <string>
#include <string_view>

namespace poroten::platform {

// The number written at the start of the text ("12" -> 12, "-1" -> -1); an
// empty text, or one that starts with no number, gives 0.
long numericValue(std::string_view text);

// Shortest decimal form: a minus sign when negative, no leading space (3, 0, -1, 12).
std::string decimalText(long value);

}  // namespace poroten::platform
