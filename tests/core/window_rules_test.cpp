// The rules every adapter shares for drawing a description and taking keys.
#include <gtest/gtest.h>

#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/window_rules.h"

namespace poroten::platform {
namespace {

TEST(WindowRules, OverlappingCellsKeepTheirOverlapAtEveryDpi) {
    // Neighbouring cells of the main window overlap by 15 twips; rounding
    // each size instead of each edge would open gaps or double the overlap.
    const TwipRect first{127, 360, 500, 615};
    const TwipRect second{612, 360, 500, 615};
    for (const int dpi : {96, 120, 144, 168, 192}) {
        const PixelRect a = toPixels(first, dpi);
        const PixelRect b = toPixels(second, dpi);
        EXPECT_EQ(a.left + a.width, twipsToPixels(627, dpi)) << dpi;
        EXPECT_EQ(a.left + a.width - b.left, twipsToPixels(627, dpi) - twipsToPixels(612, dpi))
            << dpi;
        EXPECT_EQ(b.top + b.height, twipsToPixels(975, dpi)) << dpi;
    }
    EXPECT_EQ(toPixels(first).left, 8);
    EXPECT_EQ(toPixels(first).width, 34);      // 8.47 to 41.8: 8 to 42, not 8 and 33
    EXPECT_EQ(twipsToPixels(7), 0);            // under half a pixel
    EXPECT_EQ(twipsToPixels(8), 1);            // half a pixel and more rounds up
    EXPECT_EQ(twipsToPixels(1095, 144), 110);  // 109.5 away from zero
    EXPECT_EQ(twipsToPixels(-8), -1);
}

TEST(WindowRules, TabVisitsFocusableControlsByIndexThenByPlace) {
    WindowDesc desc;
    desc.controls = {{1, ControlKind::Label, "a", "", {}, {}, {}, {}, Align::Left, 0},
                     {2, ControlKind::Button, "b", "", {}, {}, {}, {}, Align::Left, 2},
                     {3, ControlKind::TextBox, "c", "", {}, {}, {}, {}, Align::Left, 1},
                     {4, ControlKind::Button, "d", "", {}, {}, {}, {}, Align::Left, 1}};
    EXPECT_EQ(tabOrder(desc), (std::vector<int>{3, 4, 2}));
}

TEST(WindowRules, OnlyTypedCharactersReachTheGame) {
    const auto typed = [](std::u32string_view text, KeyModifiers mods = {}, bool enter = false,
                          int keypad = -1) {
        return typedCharacters(KeyPress{enter, text, mods, keypad});
    };
    EXPECT_EQ(typed(U"\r", {}, true), U"\r");
    EXPECT_EQ(typed(U"", {}, true), U"\r");  // the keypad's Enter types no text
    EXPECT_EQ(typed(U"7"), U"7");
    EXPECT_EQ(typed(U"７"), U"７");             // a full-width digit is the game's to judge
    EXPECT_EQ(typed(U"", {}, false, 4), U"4");  // keypad with Num Lock off
    EXPECT_EQ(typed(U"あ😀"), U"あ😀");
    // Shortcuts and control characters type nothing.
    EXPECT_EQ(typed(U"c", {true, false, false}), U"");
    EXPECT_EQ(typed(U"1", {false, true, false}), U"");
    EXPECT_EQ(typed(U"1", {false, false, true}), U"");
    EXPECT_EQ(typed(U"\r", {true, false, false}, true), U"");
    EXPECT_EQ(typed(U"\x08\x1B\x7F\u0085\t"), U"");
    // Ctrl with Alt is AltGr, which types.
    EXPECT_EQ(typed(U"@", {true, true, false}), U"@");
}

}  // namespace
}  // namespace poroten::platform

namespace poroten::testing {
namespace {

TEST(BoxRules, CarriageReturnsSplitLinesAndAnUntitledBoxTakesTheProgramsTitle) {
    const platform::BoxContent about = platform::MessageBoxes::contentOf("t", "a\r\rb\r");
    EXPECT_EQ(about.title, "t");
    EXPECT_EQ(about.lines, (std::vector<std::string>{"a", "", "b", ""}));
    const platform::BoxContent untitled = platform::MessageBoxes::contentOf("", "");
    EXPECT_EQ(untitled.title, platform::kApplicationTitle);
    EXPECT_EQ(untitled.lines, std::vector<std::string>{""});
}

}  // namespace
}  // namespace poroten::testing
