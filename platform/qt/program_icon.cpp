#include "platform/qt/program_icon.h"

namespace poroten::platform::qt {

QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/poroten/poroten-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/poroten/poroten-256.png"), QSize(256, 256));
    return icon;
}

}  // namespace poroten::platform::qt
