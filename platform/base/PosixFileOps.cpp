#include "platform/base/PosixFileOps.h"

#include "platform/base/SimulatedCrash.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

bool WriteAllToFd(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t put = ::write(fd, data.data(), BytesBeforeSimulatedCrash(data.size()));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        CountBytesWritten(static_cast<size_t>(put));
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

int OpenRegularFile(const std::string& name, int flags, struct stat* info) {
    // Without O_NONBLOCK the open of a FIFO would wait for a writer, for good.
    const int fd = ::open(name.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat own {};
    if (info == nullptr)
        info = &own;
    const bool seen = ::fstat(fd, info) == 0;
    if (!seen || !S_ISREG(info->st_mode)) {
        const int error = seen ? EINVAL : errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    // Reads and writes of a regular file wait for the disk as usual.
    const int status = ::fcntl(fd, F_GETFL);
    if (status != -1)
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
    return fd;
}

bool ReadWholeFile(const std::string& name, std::string& bytes, size_t longest) {
    struct stat info {};
    const int fd = OpenRegularFile(name, O_RDONLY | O_NOFOLLOW, &info);
    if (fd < 0)
        return false;
    bytes.clear();
    bool read = true;
    // A file of the kernel's (under /proc) tells no size; others are not
    // read at all when longer than the caller takes.
    if (static_cast<uint64_t>(info.st_size) > longest) {
        read = false;
        errno = EFBIG;
    } else {
        read = ReadWholeFd(fd, bytes);
        if (read && bytes.size() > longest) {
            read = false;
            errno = EFBIG;
        }
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return read;
}

uint64_t FileGeneration(int fd) {
    unsigned int generation = 0;
    return ::ioctl(fd, FS_IOC_GETVERSION, &generation) == 0 ? generation : 0;
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
