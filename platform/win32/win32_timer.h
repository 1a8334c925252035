#pragma once

#include <windows.h>

#include "platform/scheduled_timer.h"
#include "platform/wake_up.h"

namespace poroten::platform::win32 {

// A timer on a hidden message window, set afresh for each wake-up: SetTimer
// repeats from each expiry, and only to the millisecond.
class Win32WakeUp : public WakeUp {
public:
    Win32WakeUp();
    ~Win32WakeUp() override;
    Win32WakeUp(const Win32WakeUp&) = delete;
    Win32WakeUp& operator=(const Win32WakeUp&) = delete;

    Time now() const override;
    void wakeAt(Time at) override;
    void cancel() override;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

class Win32TimerFactory : public ScheduledTimerFactory {
public:
    Win32TimerFactory() : ScheduledTimerFactory(std::make_unique<Win32WakeUp>()) {}
};

}  // namespace poroten::platform::win32
