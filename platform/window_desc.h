// What a window looks like, told in toolkit-neutral terms so that every
// adapter draws the same window from the same description.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace poroten::platform {

// 0x00BBGGRR, the form the game's colours are given in.
using Colour = std::uint32_t;

constexpr int redOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int greenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// All positions and sizes are in twips: 15 to the pixel at 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct TwipPoint {
    int left = 0;
    int top = 0;
};

enum class Align { Left, Centre, Right };

enum class ControlKind { Label, TextBox, Button };

// The names the page and the test suites know them by.
constexpr const char* nameOf(Align align) {
    return align == Align::Centre ? "center" : align == Align::Right ? "right" : "left";
}
constexpr const char* nameOf(ControlKind kind) {
    return kind == ControlKind::TextBox  ? "textbox"
           : kind == ControlKind::Button ? "button"
                                         : "label";
}

struct FontDesc {
    std::string face;  // empty: the window's default font
    int points = 0;    // 0: the default size
};

struct ControlDesc {
    int id = 0;
    ControlKind kind = ControlKind::Label;
    std::string name;  // the control's name, also its object name in the toolkit
    std::string text;  // UTF-8, the text at load
    TwipRect bounds;
    std::optional<Colour> backColour;  // none: the window's own background shows through
    std::optional<Colour> textColour;  // none: the system's text colour
    FontDesc font;
    Align align = Align::Left;
    int tabIndex = 0;   // keyboard order among focusable controls
    int maxLength = 0;  // the most characters a text box takes; 0: no limit
};

// A top-level menu entry with items is a menu; one without items is a command
// chosen directly on the menu bar. A "&" marks the access key.
struct MenuDesc {
    int id = 0;
    std::string name;  // the entry's name in code, mnuFileNew: how tests and tools know it
    std::string text;
    std::vector<MenuDesc> items;
};

enum class Frame {
    FixedSingle,  // main window: fixed size, close box only
    FixedDialog,  // dialog frame, close box only
};

struct WindowDesc {
    std::string name;
    std::string caption;   // also the window's accessible name
    int clientWidth = 0;   // twips, below the menu bar
    int clientHeight = 0;  // twips
    std::optional<Colour> backColour;
    std::optional<TwipPoint>
        position;  // from the screen's top-left corner; none: the system places it
    Frame frame = Frame::FixedSingle;
    bool taskbarButton = true;
    bool icon = true;  // the program's icon; false: no icon of its own
    std::vector<MenuDesc> menu;
    std::vector<ControlDesc> controls;
    // None: no control takes the focus and keys go to the window, which also
    // takes no input method, so one left on cannot compose the game's digits.
    std::optional<int> focusControl;
};

}  // namespace poroten::platform
