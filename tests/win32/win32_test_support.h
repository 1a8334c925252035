// Running the message loop from a test, and finding what the adapter built.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace poroten::platform::win32::testing {

// Dispatches messages until done() holds or the time runs out; returns done().
inline bool pumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) {
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()) + 1,
                                  QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the caller
                return done();
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

inline void pumpFor(std::chrono::milliseconds time) {
    pumpUntil([] { return false; }, time);
}

inline std::wstring windowText(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

}  // namespace poroten::platform::win32::testing
