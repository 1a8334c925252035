// What a key press on Windows types for the game, by the shared key rule.
#pragma once

#include <windows.h>

#include <string>

namespace poroten::platform::win32 {

// Whether a WM_CHAR character reaches the game: Enter does; Ctrl with a
// letter arrives as a control character, and that, Backspace and Escape do not.
bool typesForGame(char32_t character);

// What a WM_KEYDOWN of a keypad digit key with Num Lock off types: its digit,
// as with Num Lock on; nothing for any other key (those type through WM_CHAR).
std::u32string keypadTyping(WPARAM virtualKey, LPARAM flags);

}  // namespace poroten::platform::win32
