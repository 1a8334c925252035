#include "menu/menu_commands.h"

#include "platform/caption_number.h"

namespace poroten::menu {

std::string highScoreText(std::string_view name, std::int16_t score) {
    return "現在の最高得点は\r" + std::string(name) + "さん　" + platform::decimalText(score) +
           "点";
}

std::string aboutText() {
    return std::string("ポロテン　　Ver 1.0\r\r制作　") + kMaker + "\r\rURL：" + kWebAddress;
}

MenuCommands::MenuCommands(platform::MessageBoxes& messageBoxes, platform::Application& application,
                           highscore::Module1& store)
    : messageBoxes_(messageBoxes), application_(application), store_(store) {}

// The file is read again first: another copy of the program may hold a better record by now.
void MenuCommands::mnuFileHigh_Click() {
    store_.ReadAgain();
    messageBoxes_.show("ハイスコア", highScoreText(store_.HighName, store_.HighScore), {});
}

// Nothing is saved here: the score file is written only when a name is entered.
void MenuCommands::mnuFileExit_Click() {
    application_.quit();
}

void MenuCommands::mnuFileAbout_Click() {
    messageBoxes_.show("バージョン情報", aboutText(), {});
}

}  // namespace poroten::menu
