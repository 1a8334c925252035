#include "platform/win32/win32_message_boxes.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace poroten::platform::win32 {

std::wstring messageBoxText(const std::vector<std::string>& lines) {
    std::wstring out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += (i ? L"\r\n" : L"") + toWide(lines[i]);
    }
    return out;
}

void Win32MessageBoxes::present(const platform::BoxContent& box, std::function<void()> closed) {
    const HWND owner = GetActiveWindow();
    // Without an owner the box still has to stop the game's windows taking keys.
    const UINT flags = MB_OK | (owner ? 0u : MB_TASKMODAL);
    MessageBoxW(owner, messageBoxText(box.lines).c_str(), toWide(box.title).c_str(), flags);
    if (closed) {
        closed();
    }
}

}  // namespace poroten::platform::win32
