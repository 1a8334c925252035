#pragma once

#include <windows.h>

#include <chrono>
#include <map>
#include <memory>

#include "platform/timer.h"

namespace poroten::platform::win32 {

struct TimerState;

// Timers on one hidden message window. SetTimer only promises "not before the
// interval, give or take a system tick", and its period restarts from each
// expiry, so each tick is armed as a one-shot aimed at a fixed schedule
// (start + n * interval) rather than left to repeat.
class Win32TimerFactory : public platform::TimerFactory {
public:
    Win32TimerFactory();
    ~Win32TimerFactory() override;
    Win32TimerFactory(const Win32TimerFactory&) = delete;
    Win32TimerFactory& operator=(const Win32TimerFactory&) = delete;

    std::unique_ptr<platform::Timer> createTimer(std::chrono::milliseconds interval,
                                                 std::function<void()> onTimer) override;

private:
    friend class Win32Timer;
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void tick(UINT_PTR id);

    HWND hwnd_ = nullptr;
    UINT_PTR nextId_ = 1;
    std::map<UINT_PTR, std::shared_ptr<TimerState>> timers_;
};

}  // namespace poroten::platform::win32
