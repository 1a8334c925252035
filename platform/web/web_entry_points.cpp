// What the page reports, by the handles the page knows. A handler may destroy
// the window that raised it, so nothing here touches a window afterwards.
#include <emscripten/emscripten.h>

#include <string>
#include <string_view>

#include "platform/web/web_application.h"
#include "platform/web/web_entry_points.h"
#include "platform/web/web_message_boxes.h"
#include "platform/web/web_window.h"
#include "platform/window_rules.h"

namespace poroten::platform::web {

namespace {

// A key's value names the key ("Shift", "Enter") unless it is the one
// character the key types.
std::u32string singleCharacter(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const auto lead = static_cast<unsigned char>(utf8[0]);
    std::size_t length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        length = 1;
        c = lead;
    } else if (lead >= 0xC2 && lead < 0xE0) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4;
        c = lead & 0x07;
    }
    if (length == 0 || utf8.size() != length) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(utf8[i]);
        if ((next & 0xC0) != 0x80) {
            return {};
        }
        c = (c << 6) | (next & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
        return {};
    }
    return std::u32string(1, c);
}

// "Numpad0" to "Numpad9", the keypad's digit keys whatever Num Lock says.
int keypadDigit(std::string_view code) {
    constexpr std::string_view prefix = "Numpad";
    if (code.size() == prefix.size() + 1 && code.substr(0, prefix.size()) == prefix &&
        code.back() >= '0' && code.back() <= '9') {
        return code.back() - '0';
    }
    return -1;
}

}  // namespace

KeyPress pageKeyPress(std::string_view key, std::string_view code, int modifiers,
                      std::u32string& text) {
    text = singleCharacter(key);
    KeyPress press;
    press.enter = key == "Enter";
    press.text = text;
    press.modifiers = {(modifiers & kControlHeld) != 0, (modifiers & kAltHeld) != 0,
                       (modifiers & kMetaHeld) != 0};
    press.keypadDigit = keypadDigit(code);
    return press;
}

}  // namespace poroten::platform::web

namespace web = poroten::platform::web;

extern "C" {

// Reports what the key types to the game; 1 when the page must not also act
// on the key: it typed something and, in a control, the game took it.
EMSCRIPTEN_KEEPALIVE int poroten_on_key(int window, int control, const char* key, const char* code,
                                        int modifiers) {
    std::u32string text;
    const std::u32string typed = poroten::platform::typedCharacters(
        web::pageKeyPress(key ? key : "", code ? code : "", modifiers, text));
    poroten::platform::WindowEvents* events = web::hasQuit() ? nullptr : web::listedWindow(window);
    if (typed.empty() || !events) {
        return 0;
    }
    // A key in the page types one character at most: its own, Enter or a keypad digit.
    const bool taken = events->onKeyPress(control, typed.front());
    return control == poroten::platform::kNoControl || taken ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void poroten_on_command(int window, int id) {
    if (poroten::platform::WindowEvents* events =
            web::hasQuit() ? nullptr : web::listedWindow(window)) {
        events->onCommand(id);
    }
}

EMSCRIPTEN_KEEPALIVE void poroten_on_close(int window) {
    if (poroten::platform::WindowEvents* events =
            web::hasQuit() ? nullptr : web::listedWindow(window)) {
        events->onCloseRequest();
    }
}

EMSCRIPTEN_KEEPALIVE void poroten_on_box_closed(int box) {
    if (web::hasQuit()) {
        return;
    }
    if (auto closed = web::takeClosed(box)) {
        closed();
    }
}
}
