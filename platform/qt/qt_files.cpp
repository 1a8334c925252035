#include "platform/qt/qt_files.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QString>

#include "platform/application.h"

namespace poroten::platform::qt {

namespace {

std::filesystem::path toPath(const QString& name) {
    return std::filesystem::path(QFile::encodeName(name).toStdString());
}

}  // namespace

std::filesystem::path QtFiles::programDirectory() const {
    return toPath(QCoreApplication::applicationDirPath());
}

std::filesystem::path QtFiles::userDataDirectory() const {
    return toPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) /
           kApplicationTitle;
}

}  // namespace poroten::platform::qt
