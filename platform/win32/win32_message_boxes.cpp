#include "platform/win32/win32_message_boxes.h"

#include <windows.h>

#include "platform/application.h"

#include "platform/win32/wide_text.h"

namespace poroten::platform::win32 {

std::wstring messageBoxText(std::string_view utf8) {
    const std::wstring wide = toWide(utf8);
    std::wstring out;
    out.reserve(wide.size() + 8);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        out.push_back(wide[i]);
        if (wide[i] == L'\r' && (i + 1 == wide.size() || wide[i + 1] != L'\n')) {
            out.push_back(L'\n');
        }
    }
    return out;
}

void Win32MessageBoxes::show(std::string_view title, std::string_view text,
                             std::function<void()> closed) {
    const std::wstring caption = toWide(title.empty() ? std::string_view(platform::kApplicationTitle) : title);
    const HWND owner = GetActiveWindow();
    // Without an owner the box still has to stop the game's windows taking keys.
    const UINT flags = MB_OK | (owner ? 0u : MB_TASKMODAL);
    MessageBoxW(owner, messageBoxText(text).c_str(), caption.c_str(), flags);
    if (closed) {
        closed();
    }
}

}  // namespace poroten::platform::win32
