#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace poroten::platform::posix {

namespace {

namespace fs = std::filesystem;

const char* const kInstalledReason = "An installed copy keeps its record in the user's data folder";

std::string systemReason(int error) {
    return std::strerror(error);
}

std::string linkReason() {
    return "Is a symbolic link, not a file the record may be written to";
}

// Something other than a regular file in the file's place: reading a fifo or
// a device could block or never end, so only regular files are opened.
std::string notAFile(mode_t mode) {
    if (S_ISDIR(mode)) {
        return std::make_error_code(std::errc::is_a_directory).message();
    }
    return "Not a regular file";
}

// Why the file's place cannot take the record: a link, or something other than
// a regular file; empty when it holds a regular file or nothing yet.
std::string placeRefused(const fs::path& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0) {
        return {};
    }
    if (S_ISLNK(st.st_mode)) {
        return linkReason();
    }
    return S_ISREG(st.st_mode) ? std::string() : notAFile(st.st_mode);
}

// The folder that holds the file, as the file's own name reaches it.
fs::path folderOf(const fs::path& file) {
    std::error_code ignored;
    return fs::absolute(file, ignored).parent_path();
}

// Makes the rename that replaced a file survive a power cut, not only the
// file's content. Best effort: the new content is in place either way.
void syncDirectory(const fs::path& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A save killed before its rename leaves its temporary "<name>.XXXXXX"
// behind for good (as earlier versions' QSaveFile did). The six characters
// are letters or digits; nothing else beside the file is touched.
bool isLeftoverOfSave(const std::string& candidate, const std::string& fileName) {
    constexpr std::size_t kRandomPart = 6;
    if (candidate.size() != fileName.size() + 1 + kRandomPart ||
        candidate.compare(0, fileName.size(), fileName) != 0 || candidate[fileName.size()] != '.') {
        return false;
    }
    return std::all_of(candidate.end() - kRandomPart, candidate.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

// A copy saving in a folder whose lock it does not hold (the program's own
// folder) may be writing a young one: only old ones are another's leftovers.
bool isOldEnough(const struct stat& candidate) {
    const auto written = std::chrono::system_clock::from_time_t(candidate.st_mtime);
    return std::chrono::system_clock::now() - written >= kLeftoverAge;
}

// Neither links nor folders: whatever they lead to is not a save's own.
void removeLeftoversOfSaves(const fs::path& file) {
    const fs::path folder = folderOf(file);
    const std::string fileName = file.filename().native();
    std::vector<fs::path> leftovers;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        struct stat st {};
        if (isLeftoverOfSave(it->path().filename().native(), fileName) &&
            ::lstat(it->path().c_str(), &st) == 0 && !S_ISLNK(st.st_mode) &&
            !S_ISDIR(st.st_mode) && isOldEnough(st)) {
            leftovers.push_back(it->path());
        }
    }
    for (const fs::path& leftover : leftovers) {
        ::unlink(leftover.c_str());
    }
}

// Holds the folder's lock while alive, when it could be had.
class FolderLock {
public:
    FolderLock(const fs::path& folder, std::chrono::milliseconds patience) {
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
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
int createTemporary(const fs::path& target, fs::path& name, int& error) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = target.native() + '.';
        for (int i = 0; i < 6; ++i) {
            candidate += kLetters[pick(random)];
        }
        const int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            name = std::move(candidate);
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

PosixFiles::PosixFiles()
#if defined(POROTEN_INSTALL_PREFIX)
    : installPrefix_(POROTEN_INSTALL_PREFIX)
#endif
{
}

PosixFiles::PosixFiles(std::filesystem::path installPrefix)
    : installPrefix_(std::move(installPrefix)) {}

// Below the install prefix (or anywhere under /usr, as a package puts it) the
// program's folder belongs to the system, root or not: the record goes to the
// user's data folder and nothing is left beside the program.
bool PosixFiles::isInstalledCopy() const {
    std::error_code error;
    const fs::path here = fs::weakly_canonical(programDirectory(), error);
    if (error) {
        return false;
    }
    auto below = [&here](const fs::path& prefix) {
        auto [end, ignored] = std::mismatch(prefix.begin(), prefix.end(), here.begin(), here.end());
        return end == prefix.end();
    };
    std::vector<fs::path> prefixes{"/usr"};
    if (!installPrefix_.empty()) {
        std::error_code ignored;
        const auto prefix = fs::weakly_canonical(installPrefix_, ignored);
        if (!ignored && prefix.has_relative_path()) {
            prefixes.push_back(prefix);
        }
    }
    return std::any_of(prefixes.begin(), prefixes.end(), below);
}

bool PosixFiles::isInProgramFolderOfInstalledCopy(const fs::path& file) const {
    if (!isInstalledCopy()) {
        return false;
    }
    std::error_code folderError;
    std::error_code programError;
    const auto folder = fs::weakly_canonical(file.parent_path(), folderError);
    const auto program = fs::weakly_canonical(programDirectory(), programError);
    return !folderError && !programError && folder == program;
}

ReadResult PosixFiles::readOrCreate(const fs::path& file, std::size_t longest) {
    ReadResult result;
    if (isInProgramFolderOfInstalledCopy(file)) {
        result.error = kInstalledReason;
        return result;
    }
    if (file.has_parent_path()) {
        std::error_code error;
        fs::create_directories(file.parent_path(), error);
        if (error) {
            result.error = error.message();
            return result;
        }
    }
    if (std::string refused = placeRefused(file); !refused.empty()) {
        result.error = std::move(refused);
        return result;
    }
    // Read and write: a file that cannot be written here is no place for the
    // record. O_NOFOLLOW: a link put there after the check is refused too;
    // O_NONBLOCK: a fifo put there cannot hang the start.
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        result.error = errno == ELOOP ? linkReason() : systemReason(errno);
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.error = notAFile(0);
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
    if (const FolderLock lock(folderOf(file), std::chrono::milliseconds(0)); lock.held()) {
        removeLeftoversOfSaves(file);
    }
    result.ok = true;
    result.bytes = std::move(content);
    return result;
}

WriteResult PosixFiles::replace(const fs::path& file, std::string_view bytes) {
    WriteResult result;
    if (isInProgramFolderOfInstalledCopy(file)) {
        result.error = kInstalledReason;
        return result;
    }
    if (std::string refused = placeRefused(file); !refused.empty()) {
        result.error = std::move(refused);
        return result;
    }
    // Written beside the target, every write and the sync checked, then
    // renamed over it: a full disk or any other failure leaves the old file
    // as it was and says why.
    fs::path temporary;
    int error = 0;
    const int fd = createTemporary(file, temporary, error);
    if (fd < 0) {
        result.error = systemReason(error);
        return result;
    }
    bool ok = true;
    struct stat old {};
    if (::lstat(file.c_str(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0) {
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
    if (ok && ::lstat(file.c_str(), &old) == 0 && S_ISLNK(old.st_mode)) {
        ok = false;
        error = ELOOP;
    }
    if (ok && ::rename(temporary.c_str(), file.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        result.error = error == ELOOP ? linkReason() : systemReason(error);
        return result;
    }
    syncDirectory(folderOf(file));
    result.ok = true;
    return result;
}

// Any wait blocks here, so the section has always run when this returns.
void PosixFiles::whileLocked(const fs::path& file, LockWait wait, std::function<void()> critical,
                             std::function<void()> afterwards) {
    {
        // The folder, not the file: the save renames a new file over the old
        // one, so a lock on the file's own inode would not outlast it.
        const FolderLock lock(file.parent_path(), wait.patience);
        critical();
    }
    if (afterwards) {
        afterwards();
    }
}

}  // namespace poroten::platform::posix
