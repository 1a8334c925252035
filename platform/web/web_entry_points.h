// The C functions library_poroten.js calls when the player acts in the page.
#pragma once

#include <string>
#include <string_view>

#include "platform/window_rules.h"

namespace poroten::platform::web {

// The modifiers the page reports with a key, as bits.
constexpr int kControlHeld = 1;
constexpr int kAltHeld = 2;
constexpr int kMetaHeld = 4;

// A page's key (KeyboardEvent key and code, the modifier bits) as the shared
// rule takes it; text keeps the characters the press points into.
KeyPress pageKeyPress(std::string_view key, std::string_view code, int modifiers,
                      std::u32string& text);

}  // namespace poroten::platform::web

extern "C" {
int poroten_on_key(int window, int control, const char* key, const char* code, int modifiers);
void poroten_on_command(int window, int id);
void poroten_on_close(int window);
void poroten_on_box_closed(int box);
}
