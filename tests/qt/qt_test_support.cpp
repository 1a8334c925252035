#include "qt_test_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTest>

namespace poroten::testing {

QWidget* visibleWindow(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

void runDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

bool activate(QWidget* window) {
    if (!window) {
        return false;
    }
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

std::filesystem::path TemporaryFiles::programDirectory() const {
    return std::filesystem::path(QFile::encodeName(dir_.filePath("program")).toStdString());
}

std::filesystem::path TemporaryFiles::userDataDirectory() const {
    return std::filesystem::path(QFile::encodeName(dir_.filePath("user")).toStdString());
}

}  // namespace poroten::testing
