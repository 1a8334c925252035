#pragma once

#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

#include "platform/timer.h"

namespace poroten::platform::qt {

// A single-shot precise QTimer armed for each tick by the shared schedule.
class QtTimer : public Timer {
public:
    QtTimer(std::chrono::milliseconds interval, std::function<void()> onTimer);
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;

private:
    using Clock = std::chrono::steady_clock;
    void arm(Clock::time_point now);
    void fired();

    QTimer timer_;
    std::chrono::milliseconds interval_;
    std::function<void()> onTimer_;
    bool enabled_ = false;
    Clock::time_point due_{};
};

class QtTimerFactory : public TimerFactory {
public:
    std::unique_ptr<Timer> createTimer(std::chrono::milliseconds interval,
                                       std::function<void()> onTimer) override;
};

}  // namespace poroten::platform::qt
