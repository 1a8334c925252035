#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "app/description.h"
#include "game/game_window.h"
#include "highscore/high_score_store.h"
#include "platform/application.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_platform.h"
#include "poroten_version.h"

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Without a display Qt would abort with a message about plugins; say plainly
// what is missing instead.
bool displayMissing() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM");
#else
    return false;
#endif
}

// --help and --version answer on the terminal, before Qt looks for a display.
// Returns the exit code when one of them was asked for, -1 otherwise.
int answerCommandLine(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("poroten " POROTEN_VERSION "\n", stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(poroten::app::helpText().c_str(), stdout);
            return 0;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const int code = answerCommandLine(argc, argv); code >= 0) {
        return std::fflush(stdout) == 0 ? code : 1;
    }
    if (displayMissing()) {
        std::fputs(
            "poroten: this game needs a graphical display (X11 or Wayland), and none was found.\n"
            "poroten: このゲームを遊ぶにはグラフィカルな画面（X11 または Wayland）が必要ですが、"
            "見つかりませんでした。\n",
            stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(poroten::platform::kApplicationTitle));
    QApplication::setWindowIcon(poroten::platform::qt::programIcon());
    // The game ends the program itself, also while its main window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    try {
        poroten::platform::qt::QtPlatform platform;
        poroten::highscore::Module1 store(platform.files(), platform.codec(),
                                          platform.messageBoxes());
        poroten::game::Form1 form(platform.services(), store);
        return QApplication::exec();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "poroten: %s\n", e.what());
        return 1;
    }
}
