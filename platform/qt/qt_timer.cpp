#include "platform/qt/qt_timer.h"

#include <utility>

namespace poroten::platform::qt {

QtTimer::QtTimer(std::chrono::milliseconds interval, std::function<void()> onTimer)
    : onTimer_(std::move(onTimer)) {
    // A precise timer schedules each tick from the last one's due time, so
    // the countdown does not drift.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(false);
    timer_.setInterval(interval);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (onTimer_) {
            onTimer_();
        }
    });
}

void QtTimer::setEnabled(bool enabled) {
    if (enabled) {
        timer_.start();  // restarts a running timer
    } else {
        timer_.stop();
    }
}

bool QtTimer::isEnabled() const {
    return timer_.isActive();
}

std::unique_ptr<Timer> QtTimerFactory::createTimer(std::chrono::milliseconds interval,
                                                   std::function<void()> onTimer) {
    return std::make_unique<QtTimer>(interval, std::move(onTimer));
}

}  // namespace poroten::platform::qt
