#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace poroten::platform {

// A repeating timer. While enabled it calls its handler every interval, the
// first call one interval after it was enabled; each tick keeps to its
// schedule, so ticks do not drift.
class Timer {
public:
    virtual ~Timer() = default;
    virtual void setEnabled(bool enabled) = 0;  // enabling a running timer restarts its interval
    virtual bool isEnabled() const = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    // Created disabled. The handler may disable or enable any timer, including this one.
    virtual std::unique_ptr<Timer> createTimer(std::chrono::milliseconds interval,
                                               std::function<void()> onTimer) = 0;
};

}  // namespace poroten::platform
