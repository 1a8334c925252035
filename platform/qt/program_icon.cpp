#include "platform/qt/program_icon.h"

namespace poroten::platform::qt {

// Only the 32-pixel image: every size given here is sent to the X server with
// each window at start-up, and the desktop takes larger ones from the
// installed icon theme.
QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/poroten/poroten-32.png"), QSize(32, 32));
    return icon;
}

}  // namespace poroten::platform::qt
