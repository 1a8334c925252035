// The window description as the page reads it: JSON, in CSS pixels, with the
// controls in the order the page creates them.
#pragma once

#include <string>
#include <vector>

#include "platform/window_desc.h"

namespace poroten::platform::web {

// The order the page adds a window's controls in, which is also their
// stacking order and, with no tabindex of their own, their Tab order: each
// label keeps its place in the description, and the places of the focusable
// controls are filled with them in tab order (platform::tabOrder).
std::vector<const ControlDesc*> creationOrder(const WindowDesc& desc);

std::string windowJson(const WindowDesc& desc);

}  // namespace poroten::platform::web
