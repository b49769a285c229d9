#include "platform/base/SafeFile.h"

#include "platform/base/Exceptions.h"
#include "platform/base/UserFolders.h"

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

// ".<pid>-<count>-<random><extension>": a name ending not used before by
// this process, nor (most likely) by another.
std::string uniqueSuffix(const char* extension) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 random{std::random_device{}()};
    std::string suffix(1, '.');
    suffix += std::to_string(::getpid());
    suffix += '-';
    suffix += std::to_string(counter++);
    suffix += '-';
    suffix += std::to_string(random() % 1000000);
    suffix += extension;
    return suffix;
}

// folder/stem+suffix, the stem shortened (never inside a UTF-8 sequence) so
// that the name fits the file system's limit: a file whose own name is
// already that long still gets a temporary file or a copy.
std::string fitName(const std::string& folder, std::string stem, const std::string& suffix) {
    constexpr size_t kLongestName = NAME_MAX;
    if (stem.size() + suffix.size() > kLongestName) {
        size_t keep = kLongestName - suffix.size();
        while (keep > 0 && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80)
            --keep;
        stem.resize(keep);
    }
    return folder + "/" + stem + suffix;
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

// Reads the whole file from its start.
bool readAll(int fd, std::string& bytes) {
    bytes.clear();
    char block[65536];
    for (off_t offset = 0;;) {
        ssize_t got = ::pread(fd, block, sizeof block, offset);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        bytes.append(block, static_cast<size_t>(got));
        offset += got;
    }
}

// Makes the open file hold exactly data, and checks that it does: a write
// cut short by a full disk or a size limit is caught by the length even
// where the system reports no error.
bool rewriteOpenFile(int fd, std::string_view data, int& error) {
    struct stat written {};
    bool ok = ::lseek(fd, 0, SEEK_SET) == 0 && ::ftruncate(fd, 0) == 0 && writeAll(fd, data) &&
              ::fsync(fd) == 0 && ::fstat(fd, &written) == 0;
    if (!ok) {
        error = errno;
        return false;
    }
    if (written.st_size != static_cast<off_t>(data.size())) {
        error = EIO;
        return false;
    }
    return true;
}

// Keeps a copy of a file's old contents in the user's cache folder (the
// file's own folder takes no new file when this is needed) and returns its
// name.  Raises, naming the file being saved, when no copy can be kept.
std::string putAside(const std::string& fileName, const std::string& target, std::string_view bytes) {
    const std::string folder = UserCacheFolder();
    makeFolders(folder);
    std::string aside;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        aside = fitName(folder, baseNameOf(target), uniqueSuffix(".orig"));
        fd = ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw EFCreateError(fileName, std::string("No copy of the old contents could be kept: ") +
                                          std::strerror(errno));
    int error = 0;
    bool ok = rewriteOpenFile(fd, bytes, error);
    ::close(fd);
    if (!ok) {
        ::unlink(aside.c_str());
        throw EFCreateError(fileName, std::string("No copy of the old contents could be kept: ") +
                                          std::strerror(error));
    }
    return aside;
}

// Rewrites the target in place: only for a target that exists and may be
// written while its folder refuses new files.  The old contents are kept
// aside first; when anything goes wrong the target gets them back, so a
// failed save leaves the file as it was.  The copy is removed once it is
// no longer needed; it stays (and the error names it) only when the old
// contents could not be put back.
void rewriteInPlace(const std::string& fileName, const std::string& target, std::string_view data) {
    int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        fail(fileName, errno);
    std::string original;
    if (!readAll(fd, original)) {
        int error = errno;
        ::close(fd);
        fail(fileName, error);
    }
    std::string aside;
    try {
        aside = putAside(fileName, target, original);
    } catch (...) {
        ::close(fd);
        throw;
    }
    int error = 0;
    if (rewriteOpenFile(fd, data, error)) {
        ::close(fd);
        ::unlink(aside.c_str());
        return;
    }
    int restoreError = 0;
    const bool restored = rewriteOpenFile(fd, original, restoreError);
    ::close(fd);
    if (!restored)
        throw EFCreateError(fileName, std::string(std::strerror(error)) +
                                          "; its old contents are kept in \"" + aside + "\"");
    ::unlink(aside.c_str());
    fail(fileName, error);
}

std::string temporaryName(const std::string& target) {
    std::string hidden(1, '.');
    hidden += baseNameOf(target);
    return fitName(folderOf(target), std::move(hidden), uniqueSuffix(".tmp"));
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
