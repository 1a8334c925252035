// The menu bar of the main window and its commands: starting a game, the best
// score, the About box and quitting.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "highscore/high_score_store.h"
#include "menu/menu_bar.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/texts.h"

namespace poroten::menu {

// The heading, then on the second line the name, kAfterName, the score and kAfterScore.
std::string highScoreText(std::string_view name, std::int16_t score);
// The title and version, the maker and the web address, an empty line between each.
std::string aboutText();

class MenuCommands {
public:
    // startGame runs for kNewEntry.
    MenuCommands(platform::MessageBoxes& messageBoxes, platform::Application& application,
                 highscore::Module1& store, std::function<void()> startGame);

    // Runs the command with this id; other ids are ignored.
    void onCommand(int id);

    void mnuFileNew_Click();
    void mnuFileHigh_Click();
    void mnuFileExit_Click();
    void mnuFileAbout_Click();

private:
    platform::MessageBoxes& messageBoxes_;
    platform::Application& application_;
    highscore::Module1& store_;
    std::function<void()> startGame_;
};

}  // namespace poroten::menu
