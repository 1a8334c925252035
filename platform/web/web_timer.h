#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "platform/timer.h"

namespace poroten::platform::web {

// Keeps to a schedule of whole intervals from when it was enabled: a late
// tick does not push the next one back, a tick is never early, and ticks a
// throttled background tab missed are dropped rather than run in a burst.
class WebTimer : public Timer {
public:
    WebTimer(std::chrono::milliseconds interval, std::function<void()> onTimer);
    ~WebTimer() override;
    WebTimer(const WebTimer&) = delete;
    WebTimer& operator=(const WebTimer&) = delete;

    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return pending_ != 0; }

private:
    static void fired(void* self);
    void arm(double now);

    double interval_;
    std::function<void()> onTimer_;
    double due_ = 0;
    long pending_ = 0;
};

class WebTimerFactory : public TimerFactory {
public:
    std::unique_ptr<Timer> createTimer(std::chrono::milliseconds interval,
                                       std::function<void()> onTimer) override;
};

// Every timer there is, disabled: the page has quit.
void stopEveryTimer();

}  // namespace poroten::platform::web
