#include "menu/menu_commands.h"

#include <utility>

#include "platform/caption_number.h"

namespace poroten::menu {

std::string highScoreText(std::string_view name, std::int16_t score) {
    return std::string(kHighScoreHeading) + "\r" + std::string(name) + kAfterName +
           platform::decimalText(score) + kAfterScore;
}

std::string aboutText() {
    return std::string(kAboutHeading) + "\r\r" + kMadeBy + kMaker + "\r\r" + kAddressLabel +
           kWebAddress;
}

MenuCommands::MenuCommands(platform::MessageBoxes& messageBoxes, platform::Application& application,
                           highscore::Module1& store, std::function<void()> startGame)
    : messageBoxes_(messageBoxes),
      application_(application),
      store_(store),
      startGame_(std::move(startGame)) {}

void MenuCommands::onCommand(int id) {
    switch (id) {
        case mnuFileNew:
            mnuFileNew_Click();
            break;
        case mnuFileHigh:
            mnuFileHigh_Click();
            break;
        case mnuFileExit:
            mnuFileExit_Click();
            break;
        case mnuFileAbout:
            mnuFileAbout_Click();
            break;
        default:
            break;
    }
}

void MenuCommands::mnuFileNew_Click() {
    startGame_();
}

// The file is read again first: another copy of the program may hold a better record by now.
void MenuCommands::mnuFileHigh_Click() {
    store_.ReadAgain();
    messageBoxes_.show(kHighScoreTitle, highScoreText(store_.HighName, store_.HighScore), {});
}

// Nothing is saved here: the score file is written only when a name is entered.
void MenuCommands::mnuFileExit_Click() {
    application_.quit();
}

void MenuCommands::mnuFileAbout_Click() {
    messageBoxes_.show(kAboutTitle, aboutText(), {});
}

}  // namespace poroten::menu
