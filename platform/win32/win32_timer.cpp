#include "platform/win32/win32_timer.h"

#include <algorithm>

namespace poroten::platform::win32 {

namespace {

constexpr const wchar_t* kClassName = L"PorotenTimers";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

Win32WakeUp::Win32WakeUp() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32WakeUp::windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);  // fails harmlessly when a second one registers again
    hwnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                            nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32WakeUp::~Win32WakeUp() {
    if (hwnd_) {
        DestroyWindow(hwnd_);  // and its timer with it
    }
}

WakeUp::Time Win32WakeUp::now() const {
    return std::chrono::steady_clock::now();
}

void Win32WakeUp::wakeAt(Time at) {
    // Rounded up, so that it does not wake before its time.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(at - now()).count();
    SetTimer(hwnd_, kTimerId,
             static_cast<UINT>(std::clamp<long long>(ms, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM)),
             nullptr);
}

void Win32WakeUp::cancel() {
    KillTimer(hwnd_, kTimerId);
}

LRESULT CALLBACK Win32WakeUp::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    KillTimer(hwnd, wParam);  // once
    if (auto* self = reinterpret_cast<Win32WakeUp*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
        self->wake();
    }
    return 0;
}

}  // namespace poroten::platform::win32
