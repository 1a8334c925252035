#include "game/layout.h"

#include <string>

#include "menu/menu_bar.h"

namespace poroten::game {

using platform::Align;
using platform::ControlDesc;
using platform::ControlKind;

namespace {

ControlDesc label(int id, std::string name, std::string text, platform::TwipRect bounds,
                  platform::Colour back, int points, Align align) {
    ControlDesc c;
    c.id = id;
    c.kind = ControlKind::Label;
    c.name = std::move(name);
    c.text = std::move(text);
    c.bounds = bounds;
    c.backColour = back;
    // Drawn on the game's own light colours, so dark whatever the desktop's theme.
    c.textColour = colour::Black;
    c.font = {kJapaneseFont, points};
    c.align = align;
    return c;
}

}  // namespace

platform::WindowDesc form1Layout() {
    platform::WindowDesc w;
    w.name = "Form1";
    w.caption = text::Title;
    w.clientWidth = 5295;
    w.clientHeight = 3030;
    w.backColour = colour::Teal;
    w.frame = platform::Frame::FixedSingle;
    w.menu = menu::menuBar();
    // The cells step 480 twips but are 495 wide: neighbours overlap by 15.
    for (int i = 0; i < kCellCount; ++i) {
        w.controls.push_back(label(i, "Label1(" + std::to_string(i) + ")", "",
                                   {240 + 480 * i, 240, 495, 735}, colour::CellAtRest, 36,
                                   Align::Centre));
    }
    w.controls.push_back(label(Label6, "Label6", text::PressReturn, {240, 1200, 4815, 495},
                               colour::Teal, 24, Align::Centre));
    w.controls.push_back(label(Label2, "Label2", text::TimeLeft, {240, 1800, 2415, 495},
                               colour::Cyan, 24, Align::Centre));
    w.controls.push_back(
        label(Label3, "Label3", "0", {2640, 1800, 2415, 495}, colour::Cyan, 24, Align::Right));
    w.controls.push_back(label(Label4, "Label4", text::Score, {240, 2400, 2415, 495}, colour::Cyan,
                               24, Align::Centre));
    w.controls.push_back(
        label(Label5, "Label5", "0", {2640, 2400, 2415, 495}, colour::Cyan, 24, Align::Right));
    return w;
}

}  // namespace poroten::game
