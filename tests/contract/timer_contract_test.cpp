// Timers on every toolkit: created off, ticking every interval while on, never
// early, restarted by being switched on again, and switched from any handler.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "adapter_factories.h"

namespace poroten::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::chrono::milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST(TimerContract, TicksEachIntervalWhileOnAndNeverEarly) {
    auto probe = makeAdapterProbe();
    std::vector<std::chrono::milliseconds> ticks;
    Clock::time_point start;
    auto timer = probe->timers().createTimer(60ms, [&] { ticks.push_back(since(start)); });
    EXPECT_FALSE(timer->isEnabled());
    probe->runUntil([] { return false; }, 150ms);
    EXPECT_TRUE(ticks.empty()) << "created off";

    start = Clock::now();
    timer->setEnabled(true);
    EXPECT_TRUE(timer->isEnabled());
    ASSERT_TRUE(probe->runUntil([&] { return ticks.size() >= 3; }, 3s));
    timer->setEnabled(false);
    EXPECT_FALSE(timer->isEnabled());
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_GE(ticks[i], 60ms * static_cast<int>(i + 1) - 2ms) << "tick " << i + 1;
    }
    const std::size_t seen = ticks.size();
    probe->runUntil([] { return false; }, 200ms);
    EXPECT_EQ(ticks.size(), seen) << "no tick once off";
}

// As the game does when the memorize countdown hands over to the answer one,
// and when a new game starts during the old one.
TEST(TimerContract, AHandlerSwitchesTimersAndSwitchingOnAgainRestartsTheInterval) {
    auto probe = makeAdapterProbe();
    int firstTicks = 0;
    std::vector<std::chrono::milliseconds> secondTicks;
    Clock::time_point start;
    std::unique_ptr<platform::Timer> second =
        probe->timers().createTimer(80ms, [&] { secondTicks.push_back(since(start)); });
    std::unique_ptr<platform::Timer> first;
    first = probe->timers().createTimer(40ms, [&] {
        if (++firstTicks == 2) {
            first->setEnabled(false);
            start = Clock::now();
            second->setEnabled(true);
        }
    });
    first->setEnabled(true);
    ASSERT_TRUE(probe->runUntil([&] { return !secondTicks.empty(); }, 3s));
    EXPECT_EQ(firstTicks, 2);
    EXPECT_GE(secondTicks[0], 78ms);

    start = Clock::now();
    probe->runUntil([] { return false; }, 50ms);
    second->setEnabled(true);  // 50 ms into its second: a whole interval from now
    const std::chrono::milliseconds restarted = since(start);
    const std::size_t before = secondTicks.size();
    ASSERT_TRUE(probe->runUntil([&] { return secondTicks.size() > before; }, 3s));
    EXPECT_GE(secondTicks.back(), restarted + 78ms);
    second->setEnabled(false);
}

}  // namespace
}  // namespace poroten::testing
