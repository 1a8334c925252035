#include "menu/menu_bar.h"

#include "platform/texts.h"

namespace poroten::menu {

std::vector<platform::MenuDesc> menuBar() {
    return {
        {mnuFile,
         kFileEntry,
         {{mnuFileNew, kNewEntry, {}},
          {mnuFileHigh, kHighEntry, {}},
          {mnuFileExit, kExitEntry, {}}}},
        {mnuFileAbout, kAboutEntry, {}},
    };
}

}  // namespace poroten::menu
