// The timers of every toolkit, ticking on the toolkit's one WakeUp. Each keeps
// to whole intervals from when it was enabled: never early, a late tick does
// not push the next one back, and a stall (a busy thread, a suspended
// machine, a hidden tab) costs one tick, not a burst of the missed ones.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "platform/timer.h"
#include "platform/wake_up.h"

namespace poroten::platform {

// Must outlive every timer it made. A handler may enable, disable or destroy any
// of them, its own included.
class ScheduledTimerFactory : public TimerFactory {
public:
    explicit ScheduledTimerFactory(std::unique_ptr<WakeUp> wakeUp);
    ~ScheduledTimerFactory() override;
    ScheduledTimerFactory(const ScheduledTimerFactory&) = delete;
    ScheduledTimerFactory& operator=(const ScheduledTimerFactory&) = delete;

    std::unique_ptr<Timer> createTimer(std::chrono::milliseconds interval,
                                       std::function<void()> onTimer) override;

private:
    struct Schedule;
    class ScheduledTimer;

    void wake();
    void arm();

    std::unique_ptr<WakeUp> wakeUp_;
    std::vector<std::shared_ptr<Schedule>> schedules_;
};

}  // namespace poroten::platform
