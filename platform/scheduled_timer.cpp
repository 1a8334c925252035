#include "platform/scheduled_timer.h"

#include <algorithm>
#include <utility>

namespace poroten::platform {

using Time = WakeUp::Time;

struct ScheduledTimerFactory::Schedule {
    Time::duration interval;
    std::function<void()> onTimer;
    bool enabled = false;
    Time due{};
};

namespace {

// One interval after the tick that was due, or after a stall the first slot
// of the schedule still to come.
Time nextTick(Time due, Time::duration interval, Time now) {
    const Time next = due + interval;
    if (next > now) {
        return next;
    }
    return due + ((now - due) / interval + 1) * interval;
}

}  // namespace

class ScheduledTimerFactory::ScheduledTimer : public Timer {
public:
    ScheduledTimer(ScheduledTimerFactory& factory, std::shared_ptr<Schedule> schedule)
        : factory_(factory), schedule_(std::move(schedule)) {}

    ~ScheduledTimer() override {
        // A tick running its handler now holds the schedule until it returns.
        schedule_->enabled = false;
        std::erase(factory_.schedules_, schedule_);
        factory_.arm();
    }

    void setEnabled(bool enabled) override {
        schedule_->enabled = enabled;
        if (enabled) {
            // A running timer too starts its interval afresh.
            schedule_->due = factory_.wakeUp_->now() + schedule_->interval;
        }
        factory_.arm();
    }

    bool isEnabled() const override { return schedule_->enabled; }

private:
    ScheduledTimerFactory& factory_;
    std::shared_ptr<Schedule> schedule_;
};

ScheduledTimerFactory::ScheduledTimerFactory(std::unique_ptr<WakeUp> wakeUp)
    : wakeUp_(std::move(wakeUp)) {
    wakeUp_->onWake([this] { wake(); });
}

ScheduledTimerFactory::~ScheduledTimerFactory() {
    wakeUp_->cancel();
}

std::unique_ptr<Timer> ScheduledTimerFactory::createTimer(std::chrono::milliseconds interval,
                                                          std::function<void()> onTimer) {
    auto schedule = std::make_shared<Schedule>();
    schedule->interval = std::max<Time::duration>(interval, std::chrono::milliseconds(1));
    schedule->onTimer = std::move(onTimer);
    schedules_.push_back(schedule);
    return std::make_unique<ScheduledTimer>(*this, std::move(schedule));
}

void ScheduledTimerFactory::arm() {
    const Schedule* first = nullptr;
    for (const auto& schedule : schedules_) {
        if (schedule->enabled && (!first || schedule->due < first->due)) {
            first = schedule.get();
        }
    }
    if (first) {
        wakeUp_->wakeAt(first->due);
    } else {
        wakeUp_->cancel();
    }
}

void ScheduledTimerFactory::wake() {
    const Time now = wakeUp_->now();
    std::vector<std::shared_ptr<Schedule>> due;
    for (const auto& schedule : schedules_) {
        if (schedule->enabled && schedule->due <= now) {
            due.push_back(schedule);
        }
    }
    if (due.empty()) {
        arm();  // woken early: nothing ticks yet
        return;
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const auto& a, const auto& b) { return a->due < b->due; });
    for (const auto& schedule : due) {
        // An earlier handler may have switched this timer or destroyed it.
        if (!schedule->enabled || schedule->due > now) {
            continue;
        }
        schedule->due = nextTick(schedule->due, schedule->interval, now);
        // Before the handler, which may run an event loop of its own (a
        // message box) while the other timers go on ticking.
        arm();
        // Last, so that whatever the handler does to any timer stands.
        schedule->onTimer();
    }
}

}  // namespace poroten::platform
