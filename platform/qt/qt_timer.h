#pragma once

#include <QTimer>

#include "platform/scheduled_timer.h"
#include "platform/wake_up.h"

namespace poroten::platform::qt {

// A precise single-shot QTimer, in whole milliseconds rounded up so that it
// never wakes before its time.
class QtWakeUp : public WakeUp {
public:
    QtWakeUp();
    Time now() const override;
    void wakeAt(Time at) override;
    void cancel() override;

private:
    QTimer timer_;
};

class QtTimerFactory : public ScheduledTimerFactory {
public:
    QtTimerFactory() : ScheduledTimerFactory(std::make_unique<QtWakeUp>()) {}
};

}  // namespace poroten::platform::qt
