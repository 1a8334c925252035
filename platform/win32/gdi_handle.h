// Owners for the GDI objects and icons a window makes, so each is freed
// exactly once, whichever way the window goes.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace poroten::platform::win32 {

struct DeleteGdiObject {
    template <typename Handle>
    void operator()(Handle* handle) const {
        DeleteObject(static_cast<HGDIOBJ>(handle));
    }
};

struct DestroyIconHandle {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};

using OwnedBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, DeleteGdiObject>;
using OwnedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteGdiObject>;
using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, DestroyIconHandle>;

}  // namespace poroten::platform::win32
