#include "menu/menu_bar.h"

namespace poroten::menu {

std::vector<platform::MenuDesc> menuBar() {
    return {
        {mnuFile,
         "ファイル(&F)",
         {{mnuFileNew, "始める(&N)", {}},
          {mnuFileHigh, "ハイスコア(&H)", {}},
          {mnuFileExit, "終了(&X)", {}}}},
        {mnuFileAbout, "バージョン情報(&A)", {}},
    };
}

}  // namespace poroten::menu
