// The main window's menu bar: what it offers and the ids its commands report.
#pragma once

#include <vector>

#include "platform/window_desc.h"

namespace poroten::menu {

enum MenuId : int {
    mnuFile = 200,
    mnuFileNew = 201,
    mnuFileHigh = 202,
    mnuFileExit = 203,
    mnuFileAbout = 204,
};

// The file menu with its three commands, and the About command beside it.
std::vector<platform::MenuDesc> menuBar();

// What an entry does, in English, for the game's description (--help); the
// game itself shows only the entries' texts.
const char* englishName(int id);

}  // namespace poroten::menu
