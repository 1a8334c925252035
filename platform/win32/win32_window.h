#pragma once

#include <windows.h>

#include <functional>
#include <set>

#include "platform/window.h"

namespace poroten::platform::win32 {

class Win32Window;

// Builds real windows from a WindowDesc, sized in twips at each window's DPI.
class Win32WindowFactory : public platform::WindowFactory {
public:
    Win32WindowFactory();
    ~Win32WindowFactory() override;
    Win32WindowFactory(const Win32WindowFactory&) = delete;
    Win32WindowFactory& operator=(const Win32WindowFactory&) = delete;

    std::unique_ptr<platform::Window> createWindow(const platform::WindowDesc& desc,
                                                   platform::WindowEvents& events) override;

    // Takes every window off the screen for good; the Window objects stay
    // usable, doing nothing, until their owners let them go.
    void destroyAll();

    // Where a window reports the end of the session (log-off, shut-down):
    // the window that heard of it, and true while it ends or may end, false
    // when its end was called off. The report may destroy that window.
    void onSessionEnd(std::function<void(HWND, bool)> report) { sessionEnd_ = std::move(report); }

private:
    friend class Win32Window;
    HWND hiddenOwner();
    void reportSessionEnd(HWND window, bool ending);

    std::set<Win32Window*> windows_;
    std::function<void(HWND, bool)> sessionEnd_;
    HWND hiddenOwner_ = nullptr;
};

}  // namespace poroten::platform::win32
