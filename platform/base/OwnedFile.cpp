#include "platform/base/OwnedFile.h"

#include "platform/base/Exceptions.h"
#include "platform/base/PosixFileOps.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Enough names for any folder a person keeps; past that, something is
// filling the folder on purpose.
constexpr int kMostAttempts = 1000;

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// A new file only: the last part of the path is never followed, and a name
// already taken, by a link too, gives EEXIST.
int createExclusively(const std::string& path, mode_t mode) {
    int fd;
    do
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// The identity kept of a file made.  An inode number freed is soon given
// to the next new file, so more is kept: the generation the file system
// gives each new inode (where it tells it) and the time of the last change
// (which no one can set, though it is only as fine as the clock tick).
TOwnedFile::TIdentity identityOf(int fd, const struct stat& info) {
    return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino), FileGeneration(fd),
            static_cast<int64_t>(info.st_ctim.tv_sec), static_cast<int64_t>(info.st_ctim.tv_nsec)};
}

// Removes path when it still is the file of that identity.  Only a plain
// file is opened (to read its generation), without following a link, and
// unlink never follows one either.
void removeIfSame(const std::string& path, const TOwnedFile::TIdentity& identity) {
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) ||
        static_cast<uint64_t>(named.st_ino) != identity.Inode)
        return;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info {};
    const bool same = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && identityOf(fd, info) == identity;
    ::close(fd);
    if (same)
        ::unlink(path.c_str());
}

// Gives the new file fd its mode (when one is given) and its data, flushed
// to disk when it is to replace another file, closes it and checks every
// step; on failure the file is removed again and the reason raised.
// Returns the file's identity once written.
TOwnedFile::TIdentity fill(int fd, const std::string& path, std::string_view data, const mode_t* mode, bool flush) {
    struct stat made {};
    const bool ok = (mode == nullptr || ::fchmod(fd, *mode) == 0) && WriteAllToFd(fd, data) &&
                    (!flush || ::fsync(fd) == 0) && ::fstat(fd, &made) == 0;
    const int reason = errno;
    if (!ok)
        ::fstat(fd, &made);
    const TOwnedFile::TIdentity identity = identityOf(fd, made);
    const bool closed = ::close(fd) == 0;
    if (ok && closed)
        return identity;
    removeIfSame(path, identity);
    throw EFCreateError(path, std::strerror(ok ? errno : reason));
}

} // namespace

std::string OwnedFileCandidate(const std::string& name, int attempt) {
    if (attempt <= 1)
        return name;
    const size_t dot = name.find_last_of('.');
    const bool extension = dot != std::string::npos && dot > 0;
    const std::string stem = extension ? name.substr(0, dot) : name;
    return stem + "-" + std::to_string(attempt) + (extension ? name.substr(dot) : std::string());
}

void TOwnedFile::Create(const std::string& folder, const std::string& name, std::string_view data, unsigned mode) {
    Remove();
    for (int attempt = 1; attempt <= kMostAttempts; ++attempt) {
        const std::string path = joined(folder, OwnedFileCandidate(name, attempt));
        const int fd = createExclusively(path, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            throw EFCreateError(path, std::strerror(errno));
        }
        // The owner keeps reading it: the removal checks the file it opens.
        const mode_t bits = static_cast<mode_t>((mode & 0777) | 0400);
        identity_ = fill(fd, path, data, &bits, false);
        path_ = path;
        return;
    }
    throw EFCreateError(joined(folder, name), "Every free name beside it is taken");
}

void TOwnedFile::Remove() {
    if (path_.empty())
        return;
    removeIfSame(path_, identity_);
    path_.clear();
}

void CheckNotALink(const std::string& fileName) {
    struct stat info {};
    if (::lstat(fileName.c_str(), &info) != 0)
        return;
    if (S_ISLNK(info.st_mode))
        throw EFCreateError(fileName, "It is a symbolic link, and the program does not write through it: "
                                      "remove the link or choose another folder");
    if (!S_ISREG(info.st_mode))
        throw EFCreateError(fileName, "Something other than a plain file has that name");
}

TPlannedFile ExaminePlannedFile(const std::string& fileName, std::string_view data) {
    CheckNotALink(fileName);
    // Read without waiting and checked again through the descriptor: the
    // name may have become a pipe or a link since it was looked at.  A
    // longer file differs without being read.
    std::string bytes;
    if (ReadWholeFile(fileName, bytes, data.size()))
        return bytes == data ? pfSame : pfDifferent;
    if (errno == ENOENT)
        return pfFree;
    if (errno == EFBIG)
        return pfDifferent;
    const int error = errno;
    CheckNotALink(fileName);
    throw EFOpenError(fileName, std::strerror(error));
}

void WriteFileNotThroughLink(const std::string& fileName, std::string_view data) {
    CheckNotALink(fileName);
    struct stat old {};
    const bool existed = ::lstat(fileName.c_str(), &old) == 0;
    static std::atomic<unsigned> counter{0};
    const std::string folder = FolderOfPath(fileName);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < kMostAttempts && fd < 0; ++attempt) {
        temporary = folder + "/." + BaseNameOfPath(fileName) + "." + std::to_string(::getpid()) + "-" +
                    std::to_string(counter++) + ".tmp";
        // A new name takes the bits the user's umask gives new files.
        fd = createExclusively(temporary, 0666);
        if (fd < 0 && errno != EEXIST)
            throw EFCreateError(fileName, std::strerror(errno));
    }
    if (fd < 0)
        throw EFCreateError(fileName, "Every free name beside it is taken");
    const mode_t bits = static_cast<mode_t>(old.st_mode & 07777);
    fill(fd, temporary, data, existed ? &bits : nullptr, true);
    // rename replaces the name itself: a link put there after the check
    // above is replaced, never followed.
    if (::rename(temporary.c_str(), fileName.c_str()) != 0) {
        const int reason = errno;
        ::unlink(temporary.c_str());
        throw EFCreateError(fileName, std::strerror(reason));
    }
}
