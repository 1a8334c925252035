// The timers every toolkit runs, on a clock and a wake-up worked by hand.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/scheduled_timer.h"

namespace poroten::platform {
namespace {

using namespace std::chrono_literals;
using Time = WakeUp::Time;

Time at(std::chrono::microseconds sinceStart) {
    return Time{} + sinceStart;
}

class FakeWakeUp : public WakeUp {
public:
    Time now() const override { return clock; }
    void wakeAt(Time when) override { armed = when; }
    void cancel() override { armed.reset(); }

    // The toolkit wakes the program at this time, whether one was asked for
    // then or not.
    void wakeUpAt(Time when) {
        clock = when;
        armed.reset();
        wake();
    }
    // The event loop runs, waking the program as asked, until this time.
    void runUntil(Time end) {
        while (armed && *armed <= end) {
            wakeUpAt(*armed);
        }
        clock = end;
    }

    Time clock{};
    std::optional<Time> armed;
};

class TimerTest : public ::testing::Test {
protected:
    FakeWakeUp* wakeUp = new FakeWakeUp;  // the timers' own
    ScheduledTimerFactory timers{std::unique_ptr<WakeUp>(wakeUp)};
    std::vector<Time> ticks;
    void tick() { ticks.push_back(wakeUp->clock); }
};

TEST_F(TimerTest, TicksOnItsScheduleNeverEarlyAndAfreshWhenEnabledAgain) {
    auto timer = timers.createTimer(1000ms, [&] { tick(); });
    EXPECT_FALSE(timer->isEnabled());
    EXPECT_FALSE(wakeUp->armed) << "created off";

    wakeUp->clock = at(200ms);
    timer->setEnabled(true);
    EXPECT_TRUE(timer->isEnabled());
    wakeUp->wakeUpAt(at(1199500us));
    EXPECT_TRUE(ticks.empty()) << "half a millisecond early";
    EXPECT_EQ(wakeUp->armed, at(1200ms));
    wakeUp->wakeUpAt(at(1230ms));
    EXPECT_EQ(wakeUp->armed, at(2200ms)) << "a late tick does not push the next one back";
    wakeUp->runUntil(at(2700ms));

    timer->setEnabled(true);
    EXPECT_EQ(wakeUp->armed, at(3700ms)) << "enabled while running: a whole interval from now";
    wakeUp->runUntil(at(3700ms));
    timer->setEnabled(false);
    EXPECT_FALSE(timer->isEnabled());
    EXPECT_FALSE(wakeUp->armed);
    wakeUp->wakeUpAt(at(4700ms));
    EXPECT_EQ(ticks, (std::vector{at(1230ms), at(2200ms), at(3700ms)}));
}

TEST_F(TimerTest, AStallCostsOneTickAndKeepsTheSlots) {
    auto timer = timers.createTimer(1000ms, [&] { tick(); });
    timer->setEnabled(true);
    wakeUp->wakeUpAt(at(4500ms));
    EXPECT_EQ(wakeUp->armed, at(5000ms));
    wakeUp->wakeUpAt(at(5000ms));
    wakeUp->wakeUpAt(at(8000ms));  // from the slot at 6 s to the one at 8 s
    EXPECT_EQ(wakeUp->armed, at(9000ms));
    EXPECT_EQ(ticks, (std::vector{at(4500ms), at(5000ms), at(8000ms)}));
}

// As the game hands its memorize countdown over to the answer one, and past
// that: handlers that restart, switch and destroy timers, their own included.
TEST_F(TimerTest, AHandlerMaySwitchOrDestroyAnyTimer) {
    std::vector<std::string> log;
    std::unique_ptr<Timer> memorize;
    std::unique_ptr<Timer> answer;
    memorize = timers.createTimer(1000ms, [&] {
        log.push_back("memorize");
        if (log.size() == 2) {
            memorize->setEnabled(false);
            answer->setEnabled(true);
        } else if (log.size() > 2) {
            answer.reset();  // due at the same time, but not to run now
            memorize.reset();
        }
    });
    answer = timers.createTimer(1000ms, [&] {
        log.push_back("answer");
        answer->setEnabled(true);
        memorize->setEnabled(true);
    });
    memorize->setEnabled(true);
    wakeUp->runUntil(at(2000ms));
    EXPECT_FALSE(memorize->isEnabled());
    EXPECT_EQ(wakeUp->armed, at(3000ms));
    wakeUp->wakeUpAt(at(3400ms));
    EXPECT_EQ(wakeUp->armed, at(4400ms)) << "restarted by its own late tick";
    wakeUp->wakeUpAt(at(4400ms));
    EXPECT_EQ(memorize, nullptr);
    EXPECT_EQ(answer, nullptr);
    EXPECT_FALSE(wakeUp->armed);
    wakeUp->wakeUpAt(at(5400ms));
    EXPECT_EQ(log, (std::vector<std::string>{"memorize", "memorize", "answer", "memorize"}));
}

// A handler that opens a message box runs the event loop within itself.
TEST_F(TimerTest, OtherTimersTickWhileAHandlerRunsTheEventLoop) {
    std::size_t ticksInBox = 0;
    auto often = timers.createTimer(300ms, [&] { tick(); });
    auto boxed = timers.createTimer(1000ms, [&] {
        const std::size_t before = ticks.size();
        wakeUp->runUntil(at(1700ms));
        ticksInBox = ticks.size() - before;
    });
    often->setEnabled(true);
    boxed->setEnabled(true);
    wakeUp->runUntil(at(1900ms));
    EXPECT_EQ(ticksInBox, 2u);
    EXPECT_EQ(ticks.size(), 6u) << "every 300 ms";
    EXPECT_EQ(wakeUp->armed, at(2000ms));
}

}  // namespace
}  // namespace poroten::platform
