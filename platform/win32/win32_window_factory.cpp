#include "platform/win32/win32_window_impl.h"

#include <commctrl.h>

#include "platform/application.h"
#include "platform/win32/wide_text.h"

namespace poroten::platform::win32 {

Win32WindowFactory::Win32WindowFactory() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32Window::windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
}

Win32WindowFactory::~Win32WindowFactory() {
    destroyAll();
    if (hiddenOwner_) {
        DestroyWindow(hiddenOwner_);
    }
}

HWND Win32WindowFactory::hiddenOwner() {
    if (!hiddenOwner_) {
        hiddenOwner_ =
            CreateWindowExW(0, L"STATIC", toWide(platform::kApplicationTitle).c_str(), WS_POPUP, 0,
                            0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    return hiddenOwner_;
}

std::unique_ptr<platform::Window> Win32WindowFactory::createWindow(const WindowDesc& desc,
                                                                   platform::WindowEvents& events) {
    return std::make_unique<Win32Window>(*this, desc, events);
}

void Win32WindowFactory::reportSessionEnd(HWND window, bool ending) {
    // A copy: the report may replace the function while it runs.
    if (const auto report = sessionEnd_) {
        report(window, ending);
    }
}

void Win32WindowFactory::destroyAll() {
    for (Win32Window* window : windows_) {
        window->destroyNative();
    }
}

}  // namespace poroten::platform::win32
