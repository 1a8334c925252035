#include "platform/qt/qt_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QString>
#include <system_error>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace poroten::platform::qt {

namespace {

QString toQString(const std::filesystem::path& path) {
#if defined(_WIN32)
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

std::filesystem::path toPath(const QString& name) {
#if defined(_WIN32)
    return std::filesystem::path(name.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

std::string reasonOf(std::errc code) {
    return std::make_error_code(code).message();
}

// Something other than a regular file in the file's place: reading a fifo or
// a device could block or never end, so only regular files are opened.
std::string notAFile(const QFileInfo& info) {
    if (info.isDir()) {
        return reasonOf(std::errc::is_a_directory);
    }
    return "Not a regular file";
}

// Makes the rename that replaced a file survive a power cut, not only the
// file's content. Best effort: the new content is in place either way.
void syncDirectory([[maybe_unused]] const QString& directory) {
#if defined(Q_OS_UNIX)
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

// A save killed after QSaveFile has named its temporary file (it links the
// unnamed O_TMPFILE in as "<name>.XXXXXX" just before the rename, or creates
// it under that name where O_TMPFILE is missing) leaves it behind for good.
// The six characters are letters, digits in older Qt versions; nothing else
// beside the file is touched.
bool isLeftoverOfSave(const QString& candidate, const QString& fileName) {
    constexpr int kRandomPart = 6;
    if (candidate.size() != fileName.size() + 1 + kRandomPart ||
        !candidate.startsWith(fileName + QLatin1Char('.'))) {
        return false;
    }
    for (const QChar c : QStringView(candidate).right(kRandomPart)) {
        const char16_t u = c.unicode();
        if (!((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9'))) {
            return false;
        }
    }
    return true;
}

void removeLeftoversOfSaves(const QFileInfo& file) {
    const QString fileName = file.fileName();
    const QDir folder = file.absoluteDir();
    const QFileInfoList candidates = folder.entryInfoList(
        {fileName + QStringLiteral(".??????")},
        QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks | QDir::CaseSensitive);
    for (const QFileInfo& candidate : candidates) {
        if (isLeftoverOfSave(candidate.fileName(), fileName)) {
            QFile::remove(candidate.absoluteFilePath());
        }
    }
}

}  // namespace

std::filesystem::path QtFiles::programDirectory() const {
    return toPath(QCoreApplication::applicationDirPath());
}

std::filesystem::path QtFiles::userDataDirectory() const {
    return toPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

ReadResult QtFiles::readOrCreate(const std::filesystem::path& file) {
    ReadResult result;
    if (file.has_parent_path()) {
        std::error_code error;
        std::filesystem::create_directories(file.parent_path(), error);
        if (error) {
            result.error = error.message();
            return result;
        }
    }
    const QString name = toQString(file);
    const QFileInfo info(name);
    if (info.exists() && !info.isFile()) {
        result.error = notAFile(info);
        return result;
    }
    // Read and write: a file that cannot be written here is no place for the record.
    QFile f(name);
    if (!f.open(QIODevice::ReadWrite)) {
        result.error = f.errorString().toStdString();
        return result;
    }
    const QByteArray content = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        result.error = f.errorString().toStdString();
        return result;
    }
    removeLeftoversOfSaves(info);
    result.ok = true;
    result.bytes = content.toStdString();
    return result;
}

WriteResult QtFiles::replace(const std::filesystem::path& file, std::string_view bytes) {
    WriteResult result;
    const QString name = toQString(file);
    const QFileInfo info(name);
    if (info.exists() && !info.isFile()) {
        result.error = notAFile(info);
        return result;
    }
    // QSaveFile writes a temporary file beside the target, flushes it to disk
    // and renames it over the target on commit.
    QSaveFile f(name);
    if (!f.open(QIODevice::WriteOnly)) {
        result.error = f.errorString().toStdString();
        return result;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (f.write(bytes.data(), size) != size) {
        result.error = f.errorString().toStdString();
        f.cancelWriting();
        return result;
    }
    if (!f.commit()) {
        result.error = f.errorString().toStdString();
        return result;
    }
    syncDirectory(info.absolutePath());
    result.ok = true;
    return result;
}

}  // namespace poroten::platform::qt
