// Windows on every toolkit: drawn from their description, changed by the game,
// shown and hidden, and reporting what the player does without acting on it.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "adapter_factories.h"
#include "game/layout.h"
#include "highscore/name_window.h"

namespace poroten::testing {
namespace {

struct Reports : platform::WindowEvents {
    std::vector<int> commands;
    int closeRequests = 0;
    std::function<void()> onEach;
    bool onKeyPress(int, char32_t) override { return false; }
    void onCommand(int id) override {
        commands.push_back(id);
        if (onEach) {
            onEach();
        }
    }
    void onCloseRequest() override {
        ++closeRequests;
        if (onEach) {
            onEach();
        }
    }
};

const platform::ControlDesc& control(const platform::WindowDesc& w, int id) {
    for (const auto& c : w.controls) {
        if (c.id == id) {
            return c;
        }
    }
    throw std::out_of_range("no such control");
}

TEST(WindowContract, ADescriptionIsDrawnAndWhatTheGameChangesShows) {
    auto probe = makeAdapterProbe();
    Reports reports;
    const platform::WindowDesc desc = game::form1Layout();
    auto window = probe->windows().createWindow(desc, reports);
    EXPECT_FALSE(probe->isShown(desc)) << "created hidden";
    window->show();
    ASSERT_TRUE(probe->runUntil([&] { return probe->isShown(desc); }, std::chrono::seconds(5)));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(probe->caption(desc), desc.caption);
    for (const auto& c : desc.controls) {
        EXPECT_EQ(probe->text(desc, c), c.text) << c.name;
        if (c.backColour) {
            EXPECT_EQ(probe->backColour(desc, c), *c.backColour) << c.name;
        }
    }

    const platform::ControlDesc& cell = control(desc, 3);
    window->label(cell.id).setText("7");
    window->label(cell.id).setBackColour(game::colour::Blue);
    EXPECT_EQ(window->label(cell.id).text(), "7");
    EXPECT_EQ(probe->text(desc, cell), "7");
    EXPECT_EQ(probe->backColour(desc, cell), game::colour::Blue);

    window->hide();
    EXPECT_TRUE(probe->runUntil([&] { return !probe->isShown(desc); }, std::chrono::seconds(5)));
    EXPECT_FALSE(window->isVisible());
}

TEST(WindowContract, TheCloseBoxMenusAndButtonsAreReportedNotActedOn) {
    auto probe = makeAdapterProbe();
    Reports reports;
    const platform::WindowDesc main = game::form1Layout();
    auto window = probe->windows().createWindow(main, reports);
    window->show();
    ASSERT_TRUE(probe->runUntil([&] { return probe->isShown(main); }, std::chrono::seconds(5)));
    probe->pressCloseBox(main);
    ASSERT_TRUE(
        probe->runUntil([&] { return reports.closeRequests == 1; }, std::chrono::seconds(5)));
    EXPECT_TRUE(probe->isShown(main)) << "the game decides, not the toolkit";
    // An item of a menu, and a command right on the menu bar.
    const platform::MenuDesc& item = main.menu.at(0).items.at(1);
    const platform::MenuDesc& command = main.menu.at(1);
    probe->choose(main, item);
    probe->choose(main, command);
    ASSERT_TRUE(
        probe->runUntil([&] { return reports.commands.size() == 2; }, std::chrono::seconds(5)));
    EXPECT_EQ(reports.commands, (std::vector<int>{item.id, command.id}));

    Reports dialogReports;
    const platform::WindowDesc dialog = highscore::dialogLayout();
    auto name = probe->windows().createWindow(dialog, dialogReports);
    name->show();
    ASSERT_TRUE(probe->runUntil([&] { return probe->isShown(dialog); }, std::chrono::seconds(5)));
    name->textBox(highscore::Dialog::Text1).setText("山田");
    EXPECT_EQ(probe->text(dialog, control(dialog, highscore::Dialog::Text1)), "山田");
    EXPECT_EQ(name->textBox(highscore::Dialog::Text1).text(), "山田");
    probe->click(dialog, control(dialog, highscore::Dialog::CancelButton));
    ASSERT_TRUE(probe->runUntil([&] { return dialogReports.commands.size() == 1; },
                                std::chrono::seconds(5)));
    EXPECT_EQ(dialogReports.commands, std::vector<int>{highscore::Dialog::CancelButton});
    EXPECT_EQ(probe->text(dialog, control(dialog, highscore::Dialog::Text1)), "山田");
}

// The game closes the name window from its OK and ends from a close box.
TEST(WindowContract, AWindowMayBeDestroyedFromItsOwnReports) {
    auto probe = makeAdapterProbe();
    Reports reports;
    const platform::WindowDesc dialog = highscore::dialogLayout();
    std::unique_ptr<platform::Window> window = probe->windows().createWindow(dialog, reports);
    reports.onEach = [&window] { window.reset(); };
    window->show();
    ASSERT_TRUE(probe->runUntil([&] { return probe->isShown(dialog); }, std::chrono::seconds(5)));
    probe->click(dialog, control(dialog, highscore::Dialog::OKButton));
    ASSERT_TRUE(probe->runUntil([&] { return !window; }, std::chrono::seconds(5)));
    EXPECT_TRUE(probe->runUntil([&] { return !probe->isShown(dialog); }, std::chrono::seconds(5)));

    window = probe->windows().createWindow(dialog, reports);
    window->show();
    ASSERT_TRUE(probe->runUntil([&] { return probe->isShown(dialog); }, std::chrono::seconds(5)));
    probe->pressCloseBox(dialog);
    ASSERT_TRUE(probe->runUntil([&] { return !window; }, std::chrono::seconds(5)));
    EXPECT_EQ(reports.closeRequests, 1);
}

}  // namespace
}  // namespace poroten::testing
