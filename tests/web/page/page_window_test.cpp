// What the page draws of a description beyond the shared contract, read
// from the page as drawn: places, text colours, fonts, limits and the order
// Tab takes; and the main window the page already shows taken over, or
// replaced when it is not the description's.
#include <emscripten/emscripten.h>
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <stdexcept>

#include "game/layout.h"
#include "highscore/name_window.h"
#include "page_probe.h"
#include "platform/web/window_markup.h"

namespace poroten::testing {
namespace {

using namespace std::chrono_literals;

// clang-format off
// The markup put in the page as the build puts the main window's; the element
// is marked (not by an attribute, which would make it another window's) so
// that the test knows it again.
EM_JS(void, draw_in_page, (const char* markup), {
    var t = document.createElement("template");
    t.innerHTML = UTF8ToString(markup);
    t.content.firstElementChild.drawnByPage = true;
    document.getElementById("screen").appendChild(t.content);
});
EM_JS(int, drawn_by_page, (const char* name), {
    var w = pageProbe.window(UTF8ToString(name));
    return w && w.drawnByPage ? 1 : 0;
});
// clang-format on

struct NoReports : platform::WindowEvents {
    bool onKeyPress(int, char32_t) override { return false; }
    void onCommand(int) override {}
    void onCloseRequest() override {}
};

platform::ControlDesc control(int id, platform::ControlKind kind, platform::TwipRect bounds,
                              int tab) {
    platform::ControlDesc c;
    c.id = id;
    c.kind = kind;
    c.name = "C" + std::to_string(id);
    c.bounds = bounds;
    c.tabIndex = tab;
    return c;
}

const platform::ControlDesc& byId(const platform::WindowDesc& w, int id) {
    for (const auto& c : w.controls) {
        if (c.id == id) {
            return c;
        }
    }
    throw std::out_of_range("no such control");
}

std::string cssAlign(platform::Align align) {
    static const std::map<platform::Align, std::string> css = {{platform::Align::Left, "left"},
                                                               {platform::Align::Centre, "center"},
                                                               {platform::Align::Right, "right"}};
    return css.at(align);
}

// The colour the test page gives every window's text (page.css), which no
// adapter would pick: a control without a colour of its own shows it.
constexpr platform::Colour kPageColour = 0x00030201;

void expectDrawnAsDescribed(PageProbe& probe, const platform::WindowDesc& desc) {
    std::vector<int> order;
    for (const platform::ControlDesc* c : platform::web::creationOrder(desc)) {
        order.push_back(c->id);
    }
    EXPECT_EQ(probe.order(desc), order) << desc.name;
    for (const platform::ControlDesc& c : desc.controls) {
        const platform::PixelRect want = platform::toPixels(c.bounds);
        const platform::PixelRect got = probe.placeOf(desc, c);
        EXPECT_EQ((std::vector{got.left, got.top, got.width, got.height}),
                  (std::vector{want.left, want.top, want.width, want.height}))
            << c.name;
        if (c.textColour) {
            EXPECT_EQ(probe.textColour(desc, c), *c.textColour) << c.name;
        } else if (c.kind == platform::ControlKind::Label) {
            EXPECT_EQ(probe.textColour(desc, c), kPageColour) << c.name << ": the page's";
        }
        if (c.kind == platform::ControlKind::TextBox) {
            EXPECT_EQ(probe.maxLength(desc, c), c.maxLength > 0 ? c.maxLength : -1) << c.name;
        }
        if (!c.font.face.empty()) {
            EXPECT_EQ(probe.computed(desc, c, "font-family").rfind("\"" + c.font.face + "\"", 0),
                      0u)
                << c.name;
        }
        if (c.font.points) {
            EXPECT_EQ(probe.computed(desc, c, "font-size"),
                      std::to_string(c.font.points * 96 / 72) + "px")
                << c.name;
        }
        EXPECT_EQ(probe.computed(desc, c, "text-align"), cssAlign(c.align)) << c.name;
    }
}

TEST(PageWindows, PlacesColoursFontsLimitsAndTabOrderComeFromTheDescription) {
    PageProbe probe;
    NoReports reports;
    const platform::WindowDesc main = game::form1Layout();
    const platform::WindowDesc dialog = highscore::dialogLayout();
    auto mainWindow = probe.windows().createWindow(main, reports);
    auto dialogWindow = probe.windows().createWindow(dialog, reports);
    mainWindow->show();
    dialogWindow->show();
    ASSERT_TRUE(probe.runUntil([&] { return probe.isShown(dialog); }, 5s));
    expectDrawnAsDescribed(probe, main);
    expectDrawnAsDescribed(probe, dialog);
    dialogWindow.reset();
    mainWindow.reset();

    // Every kind with a colour and a label without, text the markup must
    // escape, a limit, and tab indices out of the description's order:
    // labels keep their places, the rest fill theirs in tab order.
    platform::WindowDesc d;
    d.name = "Odd";
    d.caption = "<i>&\"caption\"</i>";
    d.clientWidth = 3000;
    d.clientHeight = 2000;
    d.frame = platform::Frame::FixedDialog;
    d.controls = {control(10, platform::ControlKind::Label, {127, 360, 500, 615}, 3),
                  control(11, platform::ControlKind::TextBox, {612, 360, 500, 615}, 2),
                  control(12, platform::ControlKind::Button, {8, 7, 1022, 300}, 0),
                  control(13, platform::ControlKind::Label, {1000, 1000, 1007, 400}, 0),
                  control(14, platform::ControlKind::Button, {0, 1500, 900, 300}, 1),
                  control(15, platform::ControlKind::Button, {1000, 1500, 900, 300}, 1)};
    d.controls[0].text = "<b>&amp;\"1\"</b>";
    d.controls[0].textColour = 0x00336699;
    d.controls[0].font = {"ＭＳ ゴシック", 18};
    d.controls[0].align = platform::Align::Right;
    d.controls[1].text = "a&b";
    d.controls[1].textColour = 0x00123456;
    d.controls[1].maxLength = 8;
    d.controls[2].text = "<OK>";
    d.controls[2].textColour = 0x00FF0080;
    auto odd = probe.windows().createWindow(d, reports);
    odd->show();
    ASSERT_TRUE(probe.runUntil([&] { return probe.isShown(d); }, 5s));
    EXPECT_EQ(probe.caption(d), d.caption);
    for (int i : {0, 1, 2}) {
        EXPECT_EQ(probe.text(d, d.controls[i]), d.controls[i].text);
    }
    expectDrawnAsDescribed(probe, d);
    EXPECT_EQ(probe.order(d), (std::vector<int>{10, 12, 14, 13, 15, 11}));
}

TEST(PageWindows, TheMainWindowThePageDrewIsTakenOverAndOneFromAnotherBuildReplaced) {
    PageProbe probe;
    NoReports reports;
    const platform::WindowDesc main = game::form1Layout();
    draw_in_page(platform::web::windowMarkup(main).c_str());
    auto window = probe.windows().createWindow(main, reports);
    EXPECT_EQ(probe.count(main), 1);
    EXPECT_TRUE(drawn_by_page(main.name.c_str())) << "the very elements the page drew";
    const platform::ControlDesc& message = byId(main, game::Label6);
    window->label(message.id).setText("x");
    EXPECT_EQ(probe.text(main, message), "x") << "the program's from now on";
    window.reset();
    EXPECT_EQ(probe.count(main), 0);

    platform::WindowDesc older = main;
    older.controls.back().text += "?";
    draw_in_page(platform::web::windowMarkup(older).c_str());
    window = probe.windows().createWindow(main, reports);
    window->show();
    ASSERT_TRUE(probe.runUntil([&] { return probe.isShown(main); }, 5s));
    EXPECT_EQ(probe.count(main), 1);
    EXPECT_FALSE(drawn_by_page(main.name.c_str()));
    EXPECT_EQ(probe.text(main, main.controls.back()), main.controls.back().text);
}

}  // namespace
}  // namespace poroten::testing
