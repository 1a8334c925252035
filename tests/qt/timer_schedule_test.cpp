// The countdowns on the real Qt timer service, timed against the clock: the
// five-second answer window is five ticks of one second each.
#include <gtest/gtest.h>

#include <QTest>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/qt/qt_timer.h"

namespace poroten::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(QtTimerSchedule, FiveOneSecondTicksKeepToTheSecond) {
    platform::qt::QtTimerFactory timers;
    std::vector<Clock::duration> ticks;
    Clock::time_point start;
    auto timer = timers.createTimer(1000ms, [&] { ticks.push_back(Clock::now() - start); });
    start = Clock::now();
    timer->setEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= 5; }, 8000));
    timer->setEnabled(false);

    // Never early, and late by no more than a loaded machine's event loop
    // adds; a coarse timer strays by up to 5% of its interval.
    for (std::size_t i = 0; i < 5; ++i) {
        const auto due = std::chrono::milliseconds(1000 * (i + 1));
        const auto at = std::chrono::duration_cast<std::chrono::milliseconds>(ticks[i]);
        EXPECT_GE(at, due - 2ms) << "tick " << i + 1;
        EXPECT_LE(at, due + 40ms) << "tick " << i + 1;
    }
}

// A stalled event loop (a busy machine, a suspend) costs the ticks it
// missed, not a burst of them, and the schedule keeps its slots.
TEST(QtTimerSchedule, AStallDropsTheMissedTicksAndKeepsTheSlots) {
    platform::qt::QtTimerFactory timers;
    std::vector<Clock::duration> ticks;
    Clock::time_point start;
    auto timer = timers.createTimer(100ms, [&] { ticks.push_back(Clock::now() - start); });
    start = Clock::now();
    timer->setEnabled(true);
    std::this_thread::sleep_for(350ms);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= 2; }, 2000));
    timer->setEnabled(false);
    const auto first = std::chrono::duration_cast<std::chrono::milliseconds>(ticks[0]);
    const auto second = std::chrono::duration_cast<std::chrono::milliseconds>(ticks[1]);
    EXPECT_LT(first, 390ms) << "the stalled tick runs at once";
    EXPECT_GE(second, 398ms) << "one tick for the stall, then the slot at 400 ms";
    EXPECT_LE(second, 440ms);
}

}  // namespace
}  // namespace poroten::testing
