#include "platform/qt/qt_timer.h"

#include <algorithm>
#include <utility>

#include "platform/tick_schedule.h"

namespace poroten::platform::qt {

QtTimer::QtTimer(std::chrono::milliseconds interval, std::function<void()> onTimer)
    : interval_(std::max(interval, std::chrono::milliseconds(1))), onTimer_(std::move(onTimer)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fired(); });
}

void QtTimer::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (!enabled) {
        timer_.stop();
        return;
    }
    const auto now = Clock::now();
    due_ = now + interval_;  // a running timer starts its second afresh
    arm(now);
}

bool QtTimer::isEnabled() const {
    return enabled_;
}

void QtTimer::arm(Clock::time_point now) {
    // Rounded up: a tick that arrives early is only re-armed, never run.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due_ - now);
    timer_.start(std::max<std::chrono::milliseconds>(wait, std::chrono::milliseconds(0)));
}

void QtTimer::fired() {
    if (!enabled_) {
        return;
    }
    const auto now = Clock::now();
    if (now < due_) {
        arm(now);
        return;
    }
    due_ = nextTick(due_, interval_, now);
    arm(now);
    // Last, and from a copy: the handler may switch this timer or destroy it.
    if (const std::function<void()> handler = onTimer_) {
        handler();
    }
}

std::unique_ptr<Timer> QtTimerFactory::createTimer(std::chrono::milliseconds interval,
                                                   std::function<void()> onTimer) {
    return std::make_unique<QtTimer>(interval, std::move(onTimer));
}

}  // namespace poroten::platform::qt
