#include "platform/qt/qt_timer.h"

#include <algorithm>

namespace poroten::platform::qt {

QtWakeUp::QtWakeUp() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { wake(); });
}

WakeUp::Time QtWakeUp::now() const {
    return std::chrono::steady_clock::now();
}

void QtWakeUp::wakeAt(Time at) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(at - now());
    timer_.start(std::max(wait, std::chrono::milliseconds(0)));
}

void QtWakeUp::cancel() {
    timer_.stop();
}

}  // namespace poroten::platform::qt
