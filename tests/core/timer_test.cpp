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

class FakeWakeUp : public WakeUp {
public:
    Time now() const override { return clock; }
    void wakeAt(Time when) override { armed = when; }
    void cancel() override { armed.reset(); }

    // The toolkit wakes the program then, whether it was asked to or not.
    void wakeUpAt(Time::duration sinceStart) {
        clock = Time{} + sinceStart;
        armed.reset();
        wake();
    }
    // The event loop runs until then, waking the program as asked.
    void runUntil(Time::duration sinceStart) {
        while (armed && *armed <= Time{} + sinceStart) {
            wakeUpAt(armed->time_since_epoch());
        }
        clock = Time{} + sinceStart;
    }

    Time clock{};
    std::optional<Time> armed;
};

long long msOf(Time time) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

class TimerTest : public ::testing::Test {
protected:
    FakeWakeUp* wakeUp = new FakeWakeUp;  // the timers' own
    ScheduledTimerFactory timers{std::unique_ptr<WakeUp>(wakeUp)};
    std::vector<long long> ticks;  // milliseconds from the start
    void tick() { ticks.push_back(msOf(wakeUp->clock)); }
    // When the wake-up is asked for, in milliseconds from the start; -1: none is.
    long long armed() const { return wakeUp->armed ? msOf(*wakeUp->armed) : -1; }
};

TEST_F(TimerTest, TicksOnItsScheduleNeverEarlyOnceAfterAStallAndAfreshWhenEnabledAgain) {
    auto timer = timers.createTimer(1000ms, [&] { tick(); });
    EXPECT_FALSE(timer->isEnabled());
    EXPECT_EQ(armed(), -1) << "created off";
    wakeUp->clock += 200ms;
    timer->setEnabled(true);
    EXPECT_TRUE(timer->isEnabled());
    wakeUp->wakeUpAt(1199500us);
    EXPECT_TRUE(ticks.empty()) << "half a millisecond early";
    EXPECT_EQ(armed(), 1200);
    wakeUp->wakeUpAt(1230ms);
    EXPECT_EQ(armed(), 2200) << "a late tick does not push the next one back";
    wakeUp->wakeUpAt(4700ms);
    EXPECT_EQ(armed(), 5200) << "a stall costs one tick";
    wakeUp->runUntil(5200ms);
    wakeUp->wakeUpAt(8200ms);  // from the slot at 6.2 s to the one at 8.2 s
    EXPECT_EQ(armed(), 9200);

    wakeUp->runUntil(8700ms);
    timer->setEnabled(true);
    EXPECT_EQ(armed(), 9700) << "enabled while running: a whole interval from now";
    wakeUp->runUntil(9700ms);
    timer->setEnabled(false);
    EXPECT_FALSE(timer->isEnabled());
    EXPECT_EQ(armed(), -1);
    wakeUp->wakeUpAt(10700ms);
    EXPECT_EQ(ticks, (std::vector<long long>{1230, 4700, 5200, 8200, 9700}));
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
    wakeUp->runUntil(2000ms);
    EXPECT_FALSE(memorize->isEnabled());
    EXPECT_EQ(armed(), 3000);
    wakeUp->wakeUpAt(3400ms);
    EXPECT_EQ(armed(), 4400) << "restarted by its own late tick";
    wakeUp->runUntil(6400ms);
    EXPECT_EQ(memorize, nullptr);
    EXPECT_EQ(answer, nullptr);
    EXPECT_EQ(armed(), -1);
    EXPECT_EQ(log,
              (std::vector<std::string>{"memorize", "memorize", "answer", "answer", "memorize"}));
}

}  // namespace
}  // namespace poroten::platform
