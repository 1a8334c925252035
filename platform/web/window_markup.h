// A window as the page's markup and style sheet, written from the same
// description the program draws from, so that the page shows the window
// before the program has loaded and the program takes it over unchanged.
#pragma once

#include <string>

#include "platform/window_desc.h"

namespace poroten::platform::web {

// The elements library_poroten.js builds for the window, with no inline
// style (the page's policy forbids it); windowStyle places them.
std::string windowMarkup(const WindowDesc& desc);
std::string windowStyle(const WindowDesc& desc);

// Pixels (platform::toPixels's) as CSS, "16px".
std::string cssPixels(int pixels);

}  // namespace poroten::platform::web
