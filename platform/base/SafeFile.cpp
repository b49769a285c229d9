#include "platform/base/SafeFile.h"

#include "platform/base/Exceptions.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file that a write to path really changes: a symbolic link is followed
// so that the link itself survives the rename.
std::string resolveTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    // A dangling link: write where it points, relative to the link's folder.
    std::string link(PATH_MAX, '\0');
    ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n <= 0)
        return path;
    link.resize(static_cast<size_t>(n));
    if (link[0] == '/')
        return link;
    return folderOf(path) + "/" + link;
}

void makeFolders(const std::string& folder) {
    if (folder.empty() || folder == "/" || folder == ".")
        return;
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0)
        return;
    makeFolders(folderOf(folder));
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
        return; // the write that follows reports the reason
}

bool writeAll(int fd, std::string_view data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t put = ::write(fd, p, left);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += put;
        left -= static_cast<size_t>(put);
    }
    return true;
}

[[noreturn]] void fail(const std::string& fileName, int error) {
    throw EFCreateError(fileName, std::strerror(error));
}

// Rewrites the target in place: only for a target that exists and may be
// written while its folder refuses new files.
void rewriteInPlace(const std::string& fileName, const std::string& target, std::string_view data) {
    int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail(fileName, errno);
    bool ok = ::ftruncate(fd, 0) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    int error = errno;
    ::close(fd);
    if (!ok)
        fail(fileName, error);
}

std::string temporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 random{std::random_device{}()};
    return folderOf(target) + "/." + baseNameOf(target) + "." + std::to_string(::getpid()) + "-" +
           std::to_string(counter++) + "-" + std::to_string(random() % 1000000) + ".tmp";
}

} // namespace

void WriteFileReplacing(const std::string& fileName, std::string_view data, bool createFolders) {
    const std::string target = resolveTarget(fileName);
    if (createFolders)
        makeFolders(folderOf(target));

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            fail(fileName, EISDIR);
        if (!S_ISREG(existing.st_mode))
            fail(fileName, EINVAL);
        // A file without its owner's write bit is read-only, also for the
        // superuser, who would otherwise replace it silently.
        if ((existing.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0)
            fail(fileName, EACCES);
    } else if (errno != ENOENT) {
        fail(fileName, errno);
    }

    // Create the temporary file with O_EXCL under a fresh name; 0666 lets the
    // umask decide the permissions of a new file.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = temporaryName(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        int error = errno;
        if (exists && (error == EACCES || error == EPERM || error == EROFS))
            return rewriteInPlace(fileName, target, data);
        fail(fileName, error);
    }

    bool ok = writeAll(fd, data);
    if (ok && exists) {
        // Keep the old file's permissions and, where we may, its owner.
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
        if (ok && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()))
            (void)::fchown(fd, existing.st_uid, existing.st_gid);
    }
    ok = ok && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        fail(fileName, error);
    }
}
