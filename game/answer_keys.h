// Which characters typed on the main window answer a cell, and as what digit.
#pragma once

#include <optional>

namespace poroten::game {

// 0-9 for the digits, the full-width digits (U+FF10-U+FF19) an input method
// left on types included; none for any other character, which never ends a game.
std::optional<int> answerDigit(char32_t character);

}  // namespace poroten::game
