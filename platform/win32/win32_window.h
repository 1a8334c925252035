#pragma once

#include <windows.h>

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

private:
    friend class Win32Window;
    HWND hiddenOwner();

    std::set<Win32Window*> windows_;
    HWND hiddenOwner_ = nullptr;
};

}  // namespace poroten::platform::win32
