// What the page reports, by the handles the page knows. A handler may destroy
// the window that raised it, so nothing here touches a window afterwards.
#include <emscripten/emscripten.h>

#include <string>
#include <string_view>

#include "platform/utf8.h"
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
    const auto first = firstUtf8Character(utf8);
    if (!first || first->second != utf8.size()) {
        return {};
    }
    return std::u32string(1, first->first);
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
