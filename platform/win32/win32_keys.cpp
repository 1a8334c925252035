#include "platform/win32/win32_keys.h"

#include "platform/window_rules.h"

namespace poroten::platform::win32 {

namespace {

platform::KeyModifiers heldModifiers() {
    return {GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0,
            GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0};
}

// With Num Lock off the keypad's digit keys report the moves printed below
// their digits, told from the arrow block's by not being extended keys.
int keypadDigit(WPARAM virtualKey, LPARAM flags) {
    constexpr LPARAM kExtended = 1 << 24;
    if (flags & kExtended) {
        return -1;
    }
    switch (virtualKey) {
        case VK_INSERT:
            return 0;
        case VK_END:
            return 1;
        case VK_DOWN:
            return 2;
        case VK_NEXT:
            return 3;
        case VK_LEFT:
            return 4;
        case VK_CLEAR:
            return 5;
        case VK_RIGHT:
            return 6;
        case VK_HOME:
            return 7;
        case VK_UP:
            return 8;
        case VK_PRIOR:
            return 9;
        default:
            return -1;
    }
}

}  // namespace

bool typesForGame(char32_t character) {
    const std::u32string text(1, character);
    platform::KeyPress key;
    key.enter = character == U'\r';
    key.text = text;
    key.modifiers = heldModifiers();
    return platform::typedCharacters(key) == (key.enter ? std::u32string{13} : text);
}

std::u32string keypadTyping(WPARAM virtualKey, LPARAM flags) {
    platform::KeyPress key;
    key.keypadDigit = keypadDigit(virtualKey, flags);
    if (key.keypadDigit < 0) {
        return {};
    }
    key.modifiers = heldModifiers();
    return platform::typedCharacters(key);
}

}  // namespace poroten::platform::win32
