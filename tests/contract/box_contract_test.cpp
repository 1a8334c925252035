// Message boxes on every toolkit: the title and lines the game resolved, one
// OK, and what follows the box run once it is closed, never before.
#include <gtest/gtest.h>

#include <chrono>

#include "adapter_factories.h"
#include "platform/application.h"

namespace poroten::testing {
namespace {

using namespace std::chrono_literals;

TEST(BoxContract, ShowsTheTitleAndLinesAndWhatFollowsRunsOnceItIsClosed) {
    auto probe = makeAdapterProbe();
    platform::BoxContent seen;
    bool closedBeforeOk = false;
    int closed = 0;
    probe->whenBoxOpens([&] {
        seen = probe->openBox();
        closedBeforeOk = closed > 0;
        probe->pressBoxOk();
    });
    probe->boxes().show("", "現在の最高得点は\r\r<b>A</b>さん　1点", [&] { ++closed; });
    ASSERT_TRUE(probe->runUntil([&] { return closed > 0; }, 5s));
    EXPECT_FALSE(closedBeforeOk);
    EXPECT_EQ(seen.title, platform::kApplicationTitle);
    EXPECT_EQ(seen.lines, (std::vector<std::string>{"現在の最高得点は", "", "<b>A</b>さん　1点"}));
    probe->runUntil([] { return false; }, 100ms);
    EXPECT_EQ(closed, 1);

    probe->whenBoxOpens([&] {
        seen = probe->openBox();
        probe->pressBoxOk();
    });
    probe->boxes().show("バージョン情報", "x", {});
    ASSERT_TRUE(probe->runUntil([&] { return seen.title == "バージョン情報"; }, 5s));
    EXPECT_EQ(seen.lines, std::vector<std::string>{"x"});
}

}  // namespace
}  // namespace poroten::testing
