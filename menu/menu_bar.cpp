#include "menu/menu_bar.h"

#include "platform/texts.h"

namespace poroten::menu {

std::vector<platform::MenuDesc> menuBar() {
    return {
        {mnuFile,
         "mnuFile",
         kFileEntry,
         {{mnuFileNew, "mnuFileNew", kNewEntry, {}},
          {mnuFileHigh, "mnuFileHigh", kHighEntry, {}},
          {mnuFileExit, "mnuFileExit", kExitEntry, {}}}},
        {mnuFileAbout, "mnuFileAbout", kAboutEntry, {}},
    };
}

const char* englishName(int id) {
    switch (id) {
        case mnuFile:
            return "the File menu";
        case mnuFileNew:
            return "start";
        case mnuFileHigh:
            return "best score";
        case mnuFileExit:
            return "quit";
        case mnuFileAbout:
            return "about";
    }
    return "";
}

}  // namespace poroten::menu
