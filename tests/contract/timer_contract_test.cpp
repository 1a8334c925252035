// What each toolkit does for the timers: one wake-up at a time on its own
// clock, never early, replaced by the next one asked for and stopped by
// cancel, also from within the wake-up. The timers' rules are the core's.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "adapter_factories.h"

namespace poroten::testing {
namespace {

using namespace std::chrono_literals;
using Time = platform::WakeUp::Time;

TEST(WakeUpContract, WakesOnceAtItsTimeAndMayAskAgainOrCancelFromWithin) {
    auto probe = makeAdapterProbe();
    auto wakeUp = probe->makeWakeUp();
    std::vector<Time> asked;
    std::vector<Time> woken;
    wakeUp->onWake([&] {
        woken.push_back(wakeUp->now());
        if (woken.size() == 1) {
            wakeUp->wakeAt(asked.emplace_back(wakeUp->now() + 40ms));
        } else if (woken.size() == 2) {
            wakeUp->wakeAt(wakeUp->now() + 40ms);
            wakeUp->cancel();
        }
    });
    const Time replaced = wakeUp->now() + 300ms;
    wakeUp->wakeAt(replaced);
    wakeUp->wakeAt(asked.emplace_back(wakeUp->now() + 60ms));
    ASSERT_TRUE(probe->runUntil([&] { return woken.size() == 2; }, 3s));
    EXPECT_LT(woken[0], replaced) << "the sooner time replaced the later one";

    // A later time replaces a sooner one, as a timer enabled again restarts.
    wakeUp->wakeAt(wakeUp->now() + 40ms);
    wakeUp->wakeAt(asked.emplace_back(wakeUp->now() + 150ms));
    ASSERT_TRUE(probe->runUntil([&] { return woken.size() == 3; }, 3s));
    probe->runUntil([] { return false; }, 200ms);
    EXPECT_EQ(woken.size(), 3u) << "once for each time asked";
    wakeUp->wakeAt(wakeUp->now() + 40ms);
    wakeUp->cancel();
    probe->runUntil([] { return false; }, 200ms);
    ASSERT_EQ(woken.size(), 3u) << "none once cancelled";
    for (std::size_t i = 0; i < woken.size(); ++i) {
        EXPECT_GE(woken[i], asked[i]) << "wake-up " << i + 1 << " early";
        EXPECT_LT(woken[i], asked[i] + 100ms) << "wake-up " << i + 1 << " late";
    }
}

}  // namespace
}  // namespace poroten::testing
