// Every fact of the game a player sees or a file keeps, stated here once, as
// the game's description must give it. Other tests take these facts from the
// product; this is the one place that says what they must be.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "game/game_rules.h"
#include "game/layout.h"
#include "highscore/name_window.h"
#include "highscore/score_file.h"
#include "menu/menu_bar.h"
#include "menu/menu_commands.h"
#include "platform/application.h"

namespace poroten::testing {
namespace {

using namespace std::string_literals;
using platform::Align;
using platform::ControlKind;

constexpr const char* kGothic = "ＭＳ Ｐゴシック";
constexpr platform::Colour kGreen = 0x0000FF00;  // 0x00BBGGRR
constexpr platform::Colour kBlue = 0x00FF0000;
constexpr platform::Colour kCyan = 0x00FFFF00;
constexpr platform::Colour kTeal = 0x00C0C000;

// name, kind, text, left, top, width, height, back colour (0: none), text colour (none: the
// system's), face, points, align, tab, longest text (0: no limit)
using Control =
    std::tuple<std::string, ControlKind, std::string, int, int, int, int, platform::Colour,
               std::optional<platform::Colour>, std::string, int, Align, int, int>;
constexpr std::optional<platform::Colour> kBlack = 0x00000000;
constexpr std::optional<platform::Colour> kSystems = std::nullopt;

std::vector<Control> controlsOf(const platform::WindowDesc& w) {
    std::vector<Control> out;
    for (const auto& c : w.controls) {
        out.emplace_back(c.name, c.kind, c.text, c.bounds.left, c.bounds.top, c.bounds.width,
                         c.bounds.height, c.backColour.value_or(0), c.textColour, c.font.face,
                         c.font.points, c.align, c.tabIndex, c.maxLength);
    }
    return out;
}

std::vector<std::string> menuTexts(const std::vector<platform::MenuDesc>& menu) {
    std::vector<std::string> out;
    for (const auto& entry : menu) {
        out.push_back(entry.text);
        for (const auto& item : entry.items) {
            out.push_back("  " + item.text);
        }
    }
    return out;
}

TEST(TheGame, MainWindow) {
    const platform::WindowDesc w = game::form1Layout();
    EXPECT_EQ(w.caption, "ポロテン");
    EXPECT_EQ(std::make_pair(w.clientWidth, w.clientHeight), std::make_pair(5295, 3030));
    EXPECT_EQ(w.backColour, kTeal);
    EXPECT_EQ(w.frame, platform::Frame::FixedSingle);
    EXPECT_TRUE(w.icon);
    EXPECT_TRUE(w.taskbarButton);
    EXPECT_FALSE(w.position.has_value());
    EXPECT_FALSE(w.focusControl.has_value());
    EXPECT_EQ(menuTexts(w.menu),
              (std::vector<std::string>{"ファイル(&F)", "  始める(&N)", "  ハイスコア(&H)",
                                        "  終了(&X)", "バージョン情報(&A)"}));

    std::vector<Control> expected;
    for (int i = 0; i < 10; ++i) {
        expected.emplace_back("Label1(" + std::to_string(i) + ")", ControlKind::Label, "",
                              240 + 480 * i, 240, 495, 735, kGreen, kBlack, kGothic, 36,
                              Align::Centre, 0, 0);
    }
    const auto label = [&](const char* name, const char* text, int left, int top, int width,
                           platform::Colour back, Align align) {
        expected.emplace_back(name, ControlKind::Label, text, left, top, width, 495, back, kBlack,
                              kGothic, 24, align, 0, 0);
    };
    label("Label6", "リターンを押してね", 240, 1200, 4815, kTeal, Align::Centre);
    label("Label2", "残り時間", 240, 1800, 2415, kCyan, Align::Centre);
    label("Label3", "0", 2640, 1800, 2415, kCyan, Align::Right);
    label("Label4", "得点", 240, 2400, 2415, kCyan, Align::Centre);
    label("Label5", "0", 2640, 2400, 2415, kCyan, Align::Right);
    EXPECT_EQ(controlsOf(w), expected);
    EXPECT_EQ(game::kCellCount, 10);
}

TEST(TheGame, ColoursTextsAndClock) {
    EXPECT_EQ(game::colour::Green, kGreen);
    EXPECT_EQ(game::colour::Blue, kBlue);
    EXPECT_EQ(game::colour::Cyan, kCyan);
    EXPECT_EQ(game::colour::Teal, kTeal);

    EXPECT_STREQ(game::text::PressReturn, "リターンを押してね");
    EXPECT_STREQ(game::text::Memorize, "数字を覚えてね");
    EXPECT_STREQ(game::text::Start, "スタート");
    EXPECT_STREQ(game::text::WrongKey, "お手つき！");
    EXPECT_STREQ(game::text::TimeUp, "時間切れ");

    EXPECT_EQ(game::kTick.count(), 1000);
    EXPECT_EQ(game::kMemorizeSeconds, 3);
    EXPECT_EQ(game::kAnswerSeconds, 5);
    EXPECT_EQ(game::kFirstLastCell, 2);
    EXPECT_EQ(game::kPointsPerNewCell, 10);
}

TEST(TheGame, NameWindow) {
    const platform::WindowDesc w = highscore::dialogLayout();
    EXPECT_EQ(w.caption, "ﾀﾞｲｱﾛｸﾞ ｷｬﾌﾟｼｮﾝ");
    EXPECT_EQ(std::make_pair(w.clientWidth, w.clientHeight), std::make_pair(2655, 1455));
    ASSERT_TRUE(w.position.has_value());
    EXPECT_EQ(std::make_pair(w.position->left, w.position->top), std::make_pair(2760, 3750));
    EXPECT_EQ(w.frame, platform::Frame::FixedDialog);
    EXPECT_FALSE(w.taskbarButton);
    EXPECT_FALSE(w.icon);
    EXPECT_TRUE(w.menu.empty());
    EXPECT_EQ(controlsOf(w), (std::vector<Control>{
                                 {"Label1", ControlKind::Label, "名前を入力してください", 120, 120,
                                  2415, 255, 0, kSystems, kGothic, 12, Align::Centre, 3, 0},
                                 {"Text1", ControlKind::TextBox, "", 120, 480, 2415, 375, 0,
                                  kSystems, kGothic, 12, Align::Left, 0, 0},
                                 {"OKButton", ControlKind::Button, "OK", 120, 960, 1215, 375, 0,
                                  kSystems, "", 0, Align::Centre, 1, 0},
                                 {"CancelButton", ControlKind::Button, "ｷｬﾝｾﾙ", 1320, 960, 1215,
                                  375, 0, kSystems, "", 0, Align::Centre, 2, 0},
                             }));
    EXPECT_EQ(w.focusControl, highscore::Dialog::Text1);
}

TEST(TheGame, Boxes) {
    EXPECT_STREQ(platform::kApplicationTitle, "poroten");
    EXPECT_STREQ(menu::kHighScoreTitle, "ハイスコア");
    EXPECT_EQ(menu::highScoreText("A", 12), "現在の最高得点は\rAさん　12点");
    EXPECT_EQ(menu::highScoreText("", 0), "現在の最高得点は\rさん　0点");
    EXPECT_STREQ(menu::kAboutTitle, "バージョン情報");
    EXPECT_EQ(menu::aboutText(),
              "ポロテン　　Ver 1.0\r\r制作　"s + menu::kMaker + "\r\rURL：" + menu::kWebAddress);
}

TEST(TheGame, ScoreFile) {
    EXPECT_STREQ(highscore::kScoreFileName, "m_score.sav");
    EXPECT_EQ(highscore::kMaxNameBytes, 65535u);
    const std::string twelveA =
        "\x0C\x00\x01\x00"
        "A\x02\x00"s;
    EXPECT_EQ(highscore::scoreRecBytes({12, "A", highscore::kValidMarker}), twelveA);
    EXPECT_EQ(highscore::scoreRecBytes({-1, "", highscore::kValidMarker}), "\xFF\xFF\0\0\2\0"s);
    const highscore::ScoreRec read = highscore::readScoreRec(twelveA);
    EXPECT_EQ(std::make_tuple(read.Score, read.Name, read.Marker), std::make_tuple(12, "A"s, 2));
}

}  // namespace
}  // namespace poroten::testing
