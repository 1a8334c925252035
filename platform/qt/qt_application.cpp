#include "platform/qt/qt_application.h"

#include <QApplication>
#include <QMetaObject>
#include <QWidget>

namespace poroten::platform::qt {

void QtApplication::quit() {
    // Hiding, not closing: a close would come back to the game as a close
    // request, and the game answers those by quitting.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->hide();
    }
    // Queued, so the event being handled finishes first, and a quit asked for
    // before the event loop runs is not lost.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
}

}  // namespace poroten::platform::qt
