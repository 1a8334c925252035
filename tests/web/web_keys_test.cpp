// A key as the page reports it (KeyboardEvent key, code and modifiers)
// through poroten_on_key: what reaches the game, and whether the page is told
// to leave the key alone.
#include <gtest/gtest.h>

#include <string>

#include "platform/web/web_entry_points.h"
#include "platform/web/web_window.h"

namespace poroten::platform::web {
namespace {

constexpr int kHandle = 7001;
constexpr int kBox = 3;

struct Events : WindowEvents {
    bool onKeyPress(int control, char32_t c) override {
        controls.push_back(control);
        typed.push_back(c);
        if (unlistOnKey) {
            unlistWindow(kHandle);
        }
        return takes;
    }
    void onCommand(int id) override { commands.push_back(id); }
    void onCloseRequest() override { ++closes; }

    bool takes = true;
    bool unlistOnKey = false;
    std::vector<int> controls;
    std::u32string typed;
    std::vector<int> commands;
    int closes = 0;
};

class WebKeys : public ::testing::Test {
protected:
    void SetUp() override { listWindow(kHandle, events); }
    void TearDown() override { unlistWindow(kHandle); }

    // What the game got from one key, and what the page was told.
    int key(const char* value, const char* code = "", int modifiers = 0, int control = kNoControl) {
        return poroten_on_key(kHandle, control, value, code, modifiers);
    }

    Events events;
};

TEST_F(WebKeys, DigitsOfEveryKindEnterAndTextReachTheGame) {
    EXPECT_EQ(key("5", "Digit5"), 1);
    EXPECT_EQ(key("7", "Numpad7"), 1);
    EXPECT_EQ(key("End", "Numpad1"), 1);  // Num Lock off: still the keypad's 1
    EXPECT_EQ(key("Enter", "NumpadEnter"), 1);
    EXPECT_EQ(key("Enter", "Enter"), 1);
    EXPECT_EQ(key("\xE3\x81\x82", "KeyA"), 1);                  // あ, from a kana layout
    EXPECT_EQ(key("@", "Digit2", kControlHeld | kAltHeld), 1);  // AltGr
    EXPECT_EQ(key(" ", "Space"), 1);
    EXPECT_EQ(events.typed, U"571\r\r\u3042@ ");
    EXPECT_EQ(events.controls, std::vector<int>(8, kNoControl));
}

TEST_F(WebKeys, ShortcutsNamedKeysAndControlCharactersTypeNothing) {
    EXPECT_EQ(key("5", "Digit5", kControlHeld), 0);
    EXPECT_EQ(key("5", "Numpad5", kAltHeld), 0);
    EXPECT_EQ(key("Enter", "Enter", kMetaHeld), 0);
    EXPECT_EQ(key("Shift", "ShiftLeft"), 0);
    EXPECT_EQ(key("ArrowLeft", "ArrowLeft"), 0);
    EXPECT_EQ(key("\x01"), 0);
    EXPECT_EQ(key("\x7F"), 0);
    EXPECT_EQ(key("\xC2\x85"), 0);      // C1 NEL
    EXPECT_EQ(key("\xED\xA0\xBD"), 0);  // a surrogate, not a character
    EXPECT_EQ(key("\xC0\xB5"), 0);      // "5" written too long
    EXPECT_EQ(key("", ""), 0);
    EXPECT_EQ(poroten_on_key(kHandle, kNoControl, nullptr, nullptr, 0), 0);
    EXPECT_TRUE(events.typed.empty());
}

TEST_F(WebKeys, AControlKeepsTheKeysTheGameDoesNotTake) {
    constexpr int box = 2;
    EXPECT_EQ(key("a", "KeyA", 0, box), 1);
    events.takes = false;
    EXPECT_EQ(key("b", "KeyB", 0, box), 0);  // the page's box types it
    EXPECT_EQ(key("c", "KeyC", 0), 1);       // no control: the key is the game's all the same
    EXPECT_EQ(events.typed, U"abc");
    EXPECT_EQ(events.controls, (std::vector<int>{box, box, kNoControl}));
}

TEST_F(WebKeys, EventsForAWindowThatIsGoneReachNothing) {
    events.unlistOnKey = true;  // the game closes the window on this key
    EXPECT_EQ(key("9", "Digit9"), 1);
    EXPECT_EQ(key("8", "Digit8"), 0);
    poroten_on_command(kHandle, 5);
    poroten_on_close(kHandle);
    EXPECT_EQ(events.typed, U"9");
    EXPECT_TRUE(events.commands.empty());
    EXPECT_EQ(events.closes, 0);

    listWindow(kHandle, events);
    poroten_on_command(kHandle, 5);
    poroten_on_close(kHandle);
    poroten_on_box_closed(kBox);  // no such box open: nothing runs
    EXPECT_EQ(events.commands, std::vector<int>{5});
    EXPECT_EQ(events.closes, 1);
}

}  // namespace
}  // namespace poroten::platform::web
