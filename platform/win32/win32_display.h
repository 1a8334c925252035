// What the display and the system give a window: its DPI, the frame around a
// client area, the message font, the program's icon, a menu from its description.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/window_desc.h"

namespace poroten::platform::win32 {

// The system's DPI, or the window's own where Windows knows per-monitor DPIs.
UINT systemDpi();
UINT windowDpi(HWND hwnd);

int pixels(int twips, UINT dpi);

// The outer size of a window whose client area is clientWidth x clientHeight.
RECT outerRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu, UINT dpi);

// The face and size asked for, or the system's message font; the caller owns it.
HFONT createFont(const FontDesc& desc, UINT dpi);

// The program's icon at the size of a system metric (SM_CXICON, SM_CXSMICON).
HICON loadIcon(int metric, UINT dpi);

HMENU buildMenu(const std::vector<MenuDesc>& entries, bool bar);

}  // namespace poroten::platform::win32
