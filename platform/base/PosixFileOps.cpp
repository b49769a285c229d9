#include "platform/base/PosixFileOps.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool WriteAllToFd(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t put = ::write(fd, data.data(), data.size());
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(put));
    }
    return true;
}

bool WriteAllSynced(int fd, std::string_view data) {
    struct stat written {};
    if (!WriteAllToFd(fd, data) || ::fsync(fd) != 0 || ::fstat(fd, &written) != 0)
        return false;
    if (written.st_size != static_cast<off_t>(data.size())) {
        errno = EIO;
        return false;
    }
    return true;
}

bool ReadWholeFd(int fd, std::string& bytes) {
    char block[65536];
    for (;;) {
        const ssize_t got = ::read(fd, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        bytes.append(block, static_cast<size_t>(got));
    }
}

bool ReadWholeFile(const std::string& name, std::string& bytes) {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    bytes.clear();
    const bool read = ReadWholeFd(fd, bytes);
    const int error = errno;
    ::close(fd);
    errno = error;
    return read;
}

bool SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
