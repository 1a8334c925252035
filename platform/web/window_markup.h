// A window as the page shows it, made here only: its markup, which the build
// writes into the page for the main window and the program hands the page for
// any window it makes; and its style, which places and colours it, written
// as the page's style sheet at build time and set through the CSSOM at run
// time (the page's policy refuses style attributes in markup).
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/window_desc.h"

namespace poroten::platform::web {

// The CSS declarations, property and value, of one element of a window;
// target is a selector within the window, empty for the window itself.
struct StyleRule {
    std::string target;
    std::vector<std::pair<std::string, std::string>> declarations;
};

// The order the page holds a window's controls in, which is also their
// stacking order and, with no tabindex of their own, their Tab order: each
// label keeps its place in the description, and the places of the focusable
// controls are filled with them in tab order (platform::tabOrder).
std::vector<const ControlDesc*> creationOrder(const WindowDesc& desc);

// The window's elements, with no inline style; library_poroten.js wires them.
std::string windowMarkup(const WindowDesc& desc);
std::vector<StyleRule> windowStyle(const WindowDesc& desc);

// The rules as a style sheet, each scoped to the window: the page's.
std::string styleSheet(const WindowDesc& desc);
// The rules as JSON, [[target, {property: value, ...}], ...]: the program's.
std::string styleJson(const WindowDesc& desc);

// As CSS: "#rrggbb", "16px".
std::string cssColour(Colour colour);
std::string cssPixels(int pixels);
// A font-family: the face, then the Japanese gothics (platform/gothics.h)
// that stand in for it where it is missing, then any sans-serif.
std::string cssFontFamily(std::string_view face);

}  // namespace poroten::platform::web
