// Rules every adapter applies to a window description and to the keys its
// toolkit reports, kept here once so the three draw and type alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/window_desc.h"

namespace poroten::platform {

// The dots per inch at which one pixel is 15 twips.
constexpr int kBaseDpi = 96;

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Twips to device pixels at a DPI, rounded to the nearest (halves away from 0).
int twipsToPixels(int twips, int dpi = kBaseDpi);

// Each edge is rounded, not the size, so controls that touch or overlap in
// twips touch or overlap by the same pixels on screen.
PixelRect toPixels(const TwipRect& twips, int dpi = kBaseDpi);

// The ids of the controls Tab visits, in order: by tab index, a tie in the
// order the description lists them; labels never take the focus.
std::vector<int> tabOrder(const WindowDesc& desc);

struct KeyModifiers {
    bool control = false;
    bool alt = false;
    bool meta = false;
};

struct KeyPress {
    bool enter = false;        // Return or the keypad's Enter
    std::u32string_view text;  // what the toolkit says the key types
    KeyModifiers modifiers;
    int keypadDigit = -1;  // 0-9 for a keypad digit key, whatever Num Lock says; else -1
};

// A character the player types, not a control character (C0, DEL or C1):
// what an input method commits is sifted by this too.
bool isTypable(char32_t c);

// What a key press delivers to the game: Enter as 13; otherwise the text it
// types without control characters (C0, DEL, C1); a keypad digit that types
// no text still gives its digit. A key held with Ctrl, Alt or Meta is a
// shortcut and types nothing, except Ctrl with Alt, which is AltGr.
std::u32string typedCharacters(const KeyPress& key);

}  // namespace poroten::platform
