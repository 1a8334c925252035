#include "platform/qt/qt_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QString>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <functional>
#include <system_error>
#include <vector>

#include "platform/application.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace poroten::platform::qt {

namespace {

QString toQString(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

std::filesystem::path toPath(const QString& name) {
    return std::filesystem::path(QFile::encodeName(name).toStdString());
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
void syncDirectory(const QString& directory) {
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A save killed before its rename leaves its temporary "<name>.XXXXXX"
// behind for good (as earlier versions' QSaveFile did). The six characters
// are letters or digits; nothing else beside the file is touched.
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

// A copy saving in a folder whose lock it does not hold (the program's own
// folder) may be writing a young one: only old ones are another's leftovers.
bool isOldEnough(const QFileInfo& candidate) {
    struct stat st {};
    if (::lstat(QFile::encodeName(candidate.absoluteFilePath()).constData(), &st) != 0) {
        return false;
    }
    const auto written = std::chrono::system_clock::from_time_t(st.st_mtime);
    return std::chrono::system_clock::now() - written >= kLeftoverAge;
}

void removeLeftoversOfSaves(const QFileInfo& file) {
    const QString fileName = file.fileName();
    const QDir folder = file.absoluteDir();
    const QFileInfoList candidates = folder.entryInfoList(
        {fileName + QStringLiteral(".??????")},
        QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks | QDir::CaseSensitive);
    for (const QFileInfo& candidate : candidates) {
        if (isLeftoverOfSave(candidate.fileName(), fileName) && isOldEnough(candidate)) {
            QFile::remove(candidate.absoluteFilePath());
        }
    }
}

std::string systemReason(int error) {
    return std::strerror(error);
}

std::string linkReason() {
    return "Is a symbolic link, not a file the record may be written to";
}

// Holds the folder's lock while alive, when it could be had.
class FolderLock {
public:
    FolderLock(const QString& folder, std::chrono::milliseconds patience) {
        fd_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) {
            return;
        }
        const auto until = std::chrono::steady_clock::now() + patience;
        for (;;) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
                held_ = true;
                return;
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= until) {
                return;
            }
            QThread::msleep(10);
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) {
            ::close(fd_);  // also lets go of the lock
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

// Writes all of bytes, or says why not: a short write is a failure too.
bool writeAll(int fd, std::string_view bytes, int& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        if (n == 0) {
            error = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A new name beside the target, "<name>.XXXXXX" as the leftovers' cleanup
// knows it, created only if nothing is there yet and never through a link.
int createTemporary(const QString& target, QString& name, int& error) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString candidate = target + QLatin1Char('.');
        for (int i = 0; i < 6; ++i) {
            candidate += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
        }
        const int fd = ::open(QFile::encodeName(candidate).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            name = candidate;
            return fd;
        }
        if (errno != EEXIST) {
            error = errno;
            return -1;
        }
    }
    error = EEXIST;
    return -1;
}

}  // namespace

// Below the install prefix (or anywhere under /usr, as a package puts it) the
// program's folder belongs to the system, root or not: the record goes to the
// user's data folder and nothing is left beside the program.
bool QtFiles::isInstalledCopy() const {
    std::error_code error;
    const std::filesystem::path here = std::filesystem::weakly_canonical(programDirectory(), error);
    if (error) {
        return false;
    }
    auto below = [&here](const std::filesystem::path& prefix) {
        auto [end, ignored] = std::mismatch(prefix.begin(), prefix.end(), here.begin(), here.end());
        return end == prefix.end();
    };
    std::vector<std::filesystem::path> prefixes{"/usr"};
#if defined(POROTEN_INSTALL_PREFIX)
    std::error_code ignored;
    const auto baked = std::filesystem::weakly_canonical(POROTEN_INSTALL_PREFIX, ignored);
    if (!ignored && baked.has_relative_path()) {
        prefixes.push_back(baked);
    }
#endif
    for (const auto& prefix : prefixes) {
        if (below(prefix)) {
            return true;
        }
    }
    return false;
}

bool QtFiles::isInProgramFolderOfInstalledCopy(const std::filesystem::path& file) const {
    if (!isInstalledCopy()) {
        return false;
    }
    std::error_code folderError;
    std::error_code programError;
    const auto folder = std::filesystem::weakly_canonical(file.parent_path(), folderError);
    const auto program = std::filesystem::weakly_canonical(programDirectory(), programError);
    return !folderError && !programError && folder == program;
}

std::filesystem::path QtFiles::programDirectory() const {
    return toPath(QCoreApplication::applicationDirPath());
}

std::filesystem::path QtFiles::userDataDirectory() const {
    return toPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) /
           kApplicationTitle;
}

namespace {
const char* const kInstalledReason = "An installed copy keeps its record in the user's data folder";
}  // namespace

ReadResult QtFiles::readOrCreate(const std::filesystem::path& file, std::size_t longest) {
    ReadResult result;
    if (isInProgramFolderOfInstalledCopy(file)) {
        result.error = kInstalledReason;
        return result;
    }
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
    if (info.isSymLink()) {
        result.error = linkReason();
        return result;
    }
    if (info.exists() && !info.isFile()) {
        result.error = notAFile(info);
        return result;
    }
    // Read and write: a file that cannot be written here is no place for the
    // record. O_NOFOLLOW: a link put there after the check is refused too;
    // O_NONBLOCK: a fifo put there cannot hang the start.
    const int fd = ::open(QFile::encodeName(name).constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        result.error = errno == ELOOP ? linkReason() : systemReason(errno);
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.error = notAFile(info);
        return result;
    }
    std::string content(longest, '\0');
    std::size_t got = 0;
    while (got < content.size()) {
        const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            result.error = systemReason(errno);
            ::close(fd);
            return result;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    content.resize(got);
    // Another copy saving right now owns its temporary file: clean up only
    // while no copy holds the folder.
    if (const FolderLock lock(info.absolutePath(), std::chrono::milliseconds(0)); lock.held()) {
        removeLeftoversOfSaves(info);
    }
    result.ok = true;
    result.bytes = std::move(content);
    return result;
}

WriteResult QtFiles::replace(const std::filesystem::path& file, std::string_view bytes) {
    WriteResult result;
    if (isInProgramFolderOfInstalledCopy(file)) {
        result.error = kInstalledReason;
        return result;
    }
    const QString name = toQString(file);
    const QFileInfo info(name);
    if (info.isSymLink()) {
        result.error = linkReason();
        return result;
    }
    if (info.exists() && !info.isFile()) {
        result.error = notAFile(info);
        return result;
    }
    // Written beside the target, every write and the sync checked, then
    // renamed over it: a full disk or any other failure leaves the old file
    // as it was and says why.
    const QByteArray target = QFile::encodeName(name);
    QString temporary;
    int error = 0;
    const int fd = createTemporary(name, temporary, error);
    if (fd < 0) {
        result.error = systemReason(error);
        return result;
    }
    const QByteArray temporaryName = QFile::encodeName(temporary);
    struct stat old {};
    bool ok = true;
    if (::lstat(target.constData(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0) {
        ok = false;
        error = errno;
    }
    ok = ok && writeAll(fd, bytes, error);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        error = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    // A link put in the file's place meanwhile is not replaced either.
    if (ok && ::lstat(target.constData(), &old) == 0 && S_ISLNK(old.st_mode)) {
        ok = false;
        error = ELOOP;
    }
    if (ok && ::rename(temporaryName.constData(), target.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporaryName.constData());
        result.error = error == ELOOP ? linkReason() : systemReason(error);
        return result;
    }
    syncDirectory(info.absolutePath());
    result.ok = true;
    return result;
}

// Any wait blocks here, so the section has always run when this returns.
void QtFiles::whileLocked(const std::filesystem::path& file, LockWait wait,
                          std::function<void()> critical, std::function<void()> afterwards) {
    {
        // The folder, not the file: the save renames a new file over the old
        // one, so a lock on the file's own inode would not outlast it.
        const FolderLock lock(toQString(file.parent_path()), wait.patience);
        critical();
    }
    if (afterwards) {
        afterwards();
    }
}

}  // namespace poroten::platform::qt
