// The one thing a toolkit does for the timers: wake the program once, at a
// time on the toolkit's monotonic clock. Every rule of ticking is the
// timers' own (scheduled_timer.h).
#pragma once

#include <chrono>
#include <functional>
#include <utility>

namespace poroten::platform {

class WakeUp {
public:
    using Time = std::chrono::steady_clock::time_point;

    virtual ~WakeUp() = default;
    virtual Time now() const = 0;
    // One wake-up, from the event loop, once now() has reached `at`, never
    // before; it replaces one still to come.
    virtual void wakeAt(Time at) = 0;
    virtual void cancel() = 0;

    // What a wake-up calls; set once, before the first wakeAt. It may call
    // wakeAt or cancel.
    void onWake(std::function<void()> woken) { woken_ = std::move(woken); }

protected:
    // What the toolkit's callback calls.
    void wake() const { woken_(); }

private:
    std::function<void()> woken_;
};

}  // namespace poroten::platform
