#include "platform/win32/win32_application.h"

#include <windows.h>

#include "platform/win32/wide_text.h"
#include "platform/texts.h"

namespace poroten::platform::win32 {

Win32Application::Win32Application(Win32WindowFactory& windows) : windows_(windows) {
    windows_.onSessionEnd([this](HWND window, bool ends) {
        if (!ends) {
            sessionEnding_ = false;  // called off: a later one is reported again
            return;
        }
        if (sessionEnding_ || !ending_) {
            return;
        }
        sessionEnding_ = true;
        const auto report = ending_;  // the game may replace it meanwhile
        // Should the save outlast Windows' patience, its log-off screen says
        // why this program holds it up. The game may close the window meanwhile.
        const bool said = ShutdownBlockReasonCreate(window, toWide(kSavingBeforeEnding).c_str());
        report(Ending::ForGood);
        if (said && IsWindow(window)) {
            ShutdownBlockReasonDestroy(window);
        }
    });
}

Win32Application::~Win32Application() {
    windows_.onSessionEnd({});
}

void Win32Application::quit() {
    windows_.destroyAll();
    PostQuitMessage(0);
}

// No IsDialogMessage: on the main window it would take Enter and the digits
// for dialog navigation, and the name window moves its focus by itself.
int Win32Application::run() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return 1;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace poroten::platform::win32
