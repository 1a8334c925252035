// The Windows program: the Win32 platform under the game.
#include <windows.h>

#include "game/game_window.h"
#include "highscore/high_score_store.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    poroten::platform::win32::Win32Platform platform;
    poroten::highscore::Module1 store(platform.files(), platform.codec(), platform.messageBoxes());
    poroten::game::Form1 form(platform.services(), store);
    return platform.application().run();
}
