// A window as the page's markup and style sheet, written from the same
// description the program draws from, so that the page shows the window
// before the program has loaded and the program takes it over unchanged.
#pragma once

#include <string>

#include "platform/window_desc.h"

namespace poroten::web {

// The elements library_poroten.js builds for the window, with no inline
// style (the page's policy forbids it); windowStyle places them.
std::string windowMarkup(const platform::WindowDesc& desc);
std::string windowStyle(const platform::WindowDesc& desc);

// Twips as CSS pixels, "16px" or "0.5333px".
std::string cssPixels(int twips);

}  // namespace poroten::web
