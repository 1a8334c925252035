#pragma once

#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

#include "platform/timer.h"

namespace poroten::platform::qt {

class QtTimer : public Timer {
public:
    QtTimer(std::chrono::milliseconds interval, std::function<void()> onTimer);
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;

private:
    QTimer timer_;
    std::function<void()> onTimer_;
};

class QtTimerFactory : public TimerFactory {
public:
    std::unique_ptr<Timer> createTimer(std::chrono::milliseconds interval,
                                       std::function<void()> onTimer) override;
};

}  // namespace poroten::platform::qt
