#pragma once

#include "platform/scheduled_timer.h"
#include "platform/wake_up.h"

namespace poroten::platform::web {

// A browser timeout on the page's clock (performance.now()).
class WebWakeUp : public WakeUp {
public:
    WebWakeUp();
    ~WebWakeUp() override;
    WebWakeUp(const WebWakeUp&) = delete;
    WebWakeUp& operator=(const WebWakeUp&) = delete;

    Time now() const override;
    void wakeAt(Time at) override;
    void cancel() override;

private:
    static void fired(void* self);

    Time at_{};
    long pending_ = 0;
};

class WebTimerFactory : public ScheduledTimerFactory {
public:
    WebTimerFactory() : ScheduledTimerFactory(std::make_unique<WebWakeUp>()) {}
};

// No timer wakes again: the page has quit.
void stopEveryTimer();

}  // namespace poroten::platform::web
