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

long long sinceStart(Time time) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(time - Time{}).count();
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
    std::vector<long long> ticks;  // milliseconds from the start
    void tick() { ticks.push_back(sinceStart(wakeUp->clock)); }
    // When the wake-up is due, in milliseconds from the start; -1: none is.
    long long armed() const { return wakeUp->armed ? sinceStart(*wakeUp->armed) : -1; }
};

TEST_F(TimerTest, TicksOnItsScheduleNeverEarlyAndAfreshWhenEnabledAgain) {
    auto timer = timers.createTimer(1000ms, [&] { tick(); });
    EXPECT_FALSE(timer->isEnabled());
    EXPECT_EQ(armed(), -1) << "created off";

    wakeUp->clock = at(200ms);
    timer->setEnabled(true);
    EXPECT_TRUE(timer->isEnabled());
    wakeUp->wakeUpAt(at(1199500us));
    EXPECT_TRUE(ticks.empty()) << "half a millisecond early";
    EXPECT_EQ(armed(), 1200);
    wakeUp->wakeUpAt(at(1230ms));
    EXPECT_EQ(armed(), 2200) << "a late tick does not push the next one back";
    wakeUp->runUntil(at(2700ms));

    timer->setEnabled(true);
    EXPECT_EQ(armed(), 3700) << "enabled while running: a whole interval from now";
    wakeUp->runUntil(at(3700ms));
    timer->setEnabled(false);
    EXPECT_FALSE(timer->isEnabled());
    EXPECT_EQ(armed(), -1);
    wakeUp->wakeUpAt(at(4700ms));
    EXPECT_EQ(ticks, (std::vector<long long>{1230, 2200, 3700}));
}

TEST_F(TimerTest, AStallCostsOneTickAndKeepsTheSlots) {
    auto timer = timers.createTimer(1000ms, [&] { tick(); });
    timer->setEnabled(true);
    wakeUp->wakeUpAt(at(4500ms));
    EXPECT_EQ(armed(), 5000);
    wakeUp->wakeUpAt(at(5000ms));
    wakeUp->wakeUpAt(at(8000ms));  // from the slot at 6 s to the one at 8 s
    EXPECT_EQ(armed(), 9000);
    EXPECT_EQ(ticks, (std::vector<long long>{4500, 5000, 8000}));
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
        if (log.size() == 3) {
            answer->setEnabled(true);
        } else {
            memorize->setEnabled(true);  // due with the answer's next tick
        }
    });
    memorize->setEnabled(true);
    wakeUp->runUntil(at(2000ms));
    EXPECT_FALSE(memorize->isEnabled());
    EXPECT_EQ(armed(), 3000);
    wakeUp->wakeUpAt(at(3400ms));
    EXPECT_EQ(armed(), 4400) << "restarted by its own late tick";
    wakeUp->runUntil(at(5400ms));
    EXPECT_EQ(memorize, nullptr);
    EXPECT_EQ(answer, nullptr);
    EXPECT_EQ(armed(), -1);
    wakeUp->wakeUpAt(at(6400ms));
    EXPECT_EQ(log,
              (std::vector<std::string>{"memorize", "memorize", "answer", "answer", "memorize"}));
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
    EXPECT_EQ(ticks, (std::vector<long long>{300, 600, 900, 1200, 1500, 1800}));
    EXPECT_EQ(armed(), 2000);
}

}  // namespace
}  // namespace poroten::platform
