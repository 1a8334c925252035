// What the page is told to draw: the window in pixels by the shared rounding,
// its controls in the order the page makes them, the same in the markup the
// build writes as in the JSON the program sends.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "highscore/name_window.h"
#include "platform/web/window_json.h"
#include "platform/web/window_markup.h"
#include "platform/window_rules.h"

namespace poroten::platform::web {
namespace {

ControlDesc control(int id, ControlKind kind, TwipRect bounds, int tabIndex) {
    ControlDesc c;
    c.id = id;
    c.kind = kind;
    c.name = "C" + std::to_string(id);
    c.bounds = bounds;
    c.tabIndex = tabIndex;
    return c;
}

// The controls' ids and bounds as the JSON lists them.
struct Listed {
    std::vector<int> ids;
    std::vector<std::string> bounds;
};

Listed listed(const std::string& json) {
    Listed out;
    const std::string controls = json.substr(json.find("\"controls\":["));
    const std::regex entry(R"(\{"id":(-?\d+),.*?"bounds":\[([-\d,]+)\])");
    for (auto it = std::sregex_iterator(controls.begin(), controls.end(), entry);
         it != std::sregex_iterator(); ++it) {
        out.ids.push_back(std::stoi((*it)[1]));
        out.bounds.push_back((*it)[2]);
    }
    return out;
}

std::string boundsOf(const PixelRect& p) {
    return std::to_string(p.left) + "," + std::to_string(p.top) + "," + std::to_string(p.width) +
           "," + std::to_string(p.height);
}

TEST(WindowJson, OverlappingCellsArriveInPixelsRoundedByTheirEdges) {
    // Off the 15-twip grid, so rounding each size instead would lose the overlap.
    WindowDesc d;
    d.clientWidth = 1300;
    d.clientHeight = 1000;
    d.position = TwipPoint{2760, 3757};
    d.controls = {control(0, ControlKind::Label, {127, 360, 500, 615}, 0),
                  control(1, ControlKind::Label, {612, 360, 500, 615}, 0)};
    const std::string json = windowJson(d);
    const Listed got = listed(json);
    ASSERT_EQ(got.ids, (std::vector<int>{0, 1}));
    EXPECT_EQ(got.bounds[0], boundsOf(toPixels(d.controls[0].bounds)));
    EXPECT_EQ(got.bounds[1], boundsOf(toPixels(d.controls[1].bounds)));
    // 8.47 to 41.8 and 40.8 to 74.1: one pixel of overlap, as in twips.
    EXPECT_EQ(got.bounds[0], "8,24,34,41");
    EXPECT_EQ(got.bounds[1], "41,24,33,41");
    EXPECT_NE(json.find("\"width\":87,\"height\":67,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"left\":184,\"top\":250,"), std::string::npos) << json;
}

TEST(WindowJson, FocusableControlsComeInTabOrderAndLabelsKeepTheirPlaces) {
    WindowDesc d;
    d.controls = {control(10, ControlKind::Label, {}, 3),  control(11, ControlKind::TextBox, {}, 2),
                  control(12, ControlKind::Button, {}, 0), control(13, ControlKind::Label, {}, 0),
                  control(14, ControlKind::Button, {}, 1), control(15, ControlKind::Button, {}, 1)};
    d.menu = {{99, "&File", {{98, "&New", {}}}}};
    EXPECT_EQ(listed(windowJson(d)).ids, (std::vector<int>{10, 12, 14, 13, 15, 11}));

    // The name window: its label above the box, then the box, OK and Cancel.
    const WindowDesc name = highscore::dialogLayout();
    const std::string json = windowJson(name);
    EXPECT_EQ(listed(json).ids,
              (std::vector<int>{highscore::Dialog::Label1, highscore::Dialog::Text1,
                                highscore::Dialog::OKButton, highscore::Dialog::CancelButton}));
    EXPECT_EQ(listed(json).bounds[1], "8,32,161,25");
    EXPECT_NE(json.find("\"width\":177,\"height\":97,"), std::string::npos) << json;
}

TEST(WindowJson, TheBuildsMarkupHasTheProgramsControlsInTheSameOrderAndPlaces) {
    // The page's main window is drawn from the markup and then taken over
    // element by element from the JSON: a control out of step would be redrawn.
    WindowDesc d;
    d.name = "W";
    d.clientWidth = 5295;
    d.clientHeight = 3037;
    d.controls = {control(4, ControlKind::Label, {127, 360, 500, 615}, 2),
                  control(5, ControlKind::TextBox, {612, 360, 500, 615}, 1),
                  control(6, ControlKind::Label, {8, 7, 22, 23}, 0),
                  control(7, ControlKind::Button, {1000, 1000, 1007, 400}, 0)};
    const Listed fromJson = listed(windowJson(d));

    std::vector<int> fromMarkup;
    const std::string markup = windowMarkup(d);
    const std::regex id(R"re(data-id="(\d+)")re");
    for (auto it = std::sregex_iterator(markup.begin(), markup.end(), id);
         it != std::sregex_iterator(); ++it) {
        fromMarkup.push_back(std::stoi((*it)[1]));
    }
    EXPECT_EQ(fromMarkup, fromJson.ids);
    EXPECT_EQ(fromJson.ids, (std::vector<int>{4, 7, 6, 5}));

    std::vector<std::string> placed;
    const std::string style = windowStyle(d);
    const std::regex rule(
        R"(left: (-?\d+)px; top: (-?\d+)px; width: (-?\d+)px; height: (-?\d+)px;)");
    for (auto it = std::sregex_iterator(style.begin(), style.end(), rule);
         it != std::sregex_iterator(); ++it) {
        placed.push_back((*it)[1].str() + "," + (*it)[2].str() + "," + (*it)[3].str() + "," +
                         (*it)[4].str());
    }
    EXPECT_EQ(placed, fromJson.bounds);
    EXPECT_NE(style.find("width: 353px; height: 202px;"), std::string::npos) << style;
}

}  // namespace
}  // namespace poroten::platform::web
