#include "platform/base/SafeFile.h"

#include "platform/base/Exceptions.h"
#include "platform/base/KeptCopies.h"
#include "platform/base/PosixFileOps.h"
#include "platform/base/SimulatedCrash.h"
#include "platform/base/UserFolders.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
    return FolderOfPath(path) + "/" + link;
}

void makeFolders(const std::string& folder) {
    if (folder.empty() || folder == "/" || folder == ".")
        return;
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0)
        return;
    makeFolders(FolderOfPath(folder));
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
        return; // the write that follows reports the reason
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
    if (::lseek(fd, 0, SEEK_SET) == 0 && ::ftruncate(fd, 0) == 0) {
        SimulatedCrashStep();
        if (WriteAllSynced(fd, data))
            return true;
    }
    error = errno;
    return false;
}

// Keeps a copy of a file's old contents in the user's cache folder (the
// file's own folder takes no new file when this is needed), with the record
// that names the file (fd), this process and what the file will hold
// (finished).  Both are on disk, folder entries included, before this
// returns: whatever stops the rewrite that follows, a power loss too, the
// next run finds a whole copy; whatever stops the copy itself leaves only a
// copy marked incomplete, which the next start removes (KeptCopies.h).
// Raises, naming the file being saved, when no copy can be kept.
TKeptCopy putAside(const std::string& fileName, const std::string& target, int fd, std::string_view bytes,
                   const TContentsDigest& finished) {
    const std::string folder = UserCacheFolder();
    makeFolders(folder);
    TKeptCopy kept;
    kept.Page = KeptCopyPageName(target);
    kept.PageFile = IdentityOfOpenFile(fd);
    kept.Saver = CurrentProcessIdentity();
    kept.CopySum = DigestOf(bytes).Sum;
    kept.Finished = finished;
    bool done = false;
    for (int attempt = 0; attempt < 100 && !done; ++attempt) {
        kept.Copy = fitName(folder, BaseNameOfPath(target), uniqueSuffix(".orig"));
        done = KeepCopy(kept, bytes);
        if (!done && errno != EEXIST)
            break;
    }
    if (!done)
        throw EFCreateError(fileName, std::string("No copy of the old contents could be kept: ") +
                                          std::strerror(errno));
    return kept;
}

// Makes kept's record name the save that now rewrites the open file fd
// (this process, the page's name and identity, and what it will hold), on
// disk before the rewrite starts.
void recordSaveUnder(TKeptCopy& kept, const std::string& fileName, const std::string& target, int fd,
                     const TContentsDigest& finished) {
    kept.Page = KeptCopyPageName(target);
    kept.PageFile = IdentityOfOpenFile(fd);
    kept.Saver = CurrentProcessIdentity();
    kept.Finished = finished;
    if (!UpdateKeptCopyRecord(kept))
        throw EFCreateError(fileName, std::string("The record of its kept copy could not be written: ") +
                                          std::strerror(errno));
}

// The target open for a rewrite in place: a regular file (never a FIFO
// waited on), with its owner's write bit, which is honoured even for the
// superuser.
int openForRewrite(const std::string& fileName, const std::string& target) {
    struct stat info {};
    const int fd = OpenRegularFile(target, O_RDWR, &info);
    if (fd < 0)
        fail(fileName, errno);
    if ((info.st_mode & S_IWUSR) == 0) {
        ::close(fd);
        fail(fileName, EACCES);
    }
    return fd;
}

// Rewrites the target in place: for a target that exists and may be
// written, where its folder refuses new files or a new file would not be
// the same file (its other names, its owner).  The old contents are kept
// aside first; when anything goes wrong the target gets them back, so a
// failed save leaves the file as it was.  The copy is removed once it is
// no longer needed; it stays (and the error names it) only when the old
// contents could not be put back, and after a crash, for the next run to
// offer back (KeptCopies.h).  A target still cut short by an earlier save
// keeps no copy of itself: the earlier save's copy, its last whole
// contents, stands for it until this rewrite is complete.
void rewriteInPlace(const std::string& fileName, const std::string& target, std::string_view data) {
    int fd = openForRewrite(fileName, target);
    std::string original;
    if (!readAll(fd, original)) {
        int error = errno;
        ::close(fd);
        fail(fileName, error);
    }
    const TContentsDigest finished = DigestOf(data);
    TKeptCopy aside;
    bool earlier = false;
    try {
        earlier = SettleKeptCopiesOf(target, aside);
        if (earlier)
            recordSaveUnder(aside, fileName, target, fd, finished);
        else
            aside = putAside(fileName, target, fd, original, finished);
    } catch (...) {
        ::close(fd);
        throw;
    }
    int error = 0;
    if (rewriteOpenFile(fd, data, error)) {
        ::close(fd);
        SimulatedCrashStep();
        DropKeptCopy(aside);
        return;
    }
    int restoreError = 0;
    const bool restored = rewriteOpenFile(fd, original, restoreError);
    ::close(fd);
    if (!restored)
        throw EFCreateError(fileName, std::string(std::strerror(error)) + "; its " + (earlier ? "last whole" : "old") +
                                          " contents are kept in \"" + aside.Copy + "\"");
    // Put back as it was: a page cut short before stays under its record.
    if (!earlier)
        DropKeptCopy(aside);
    fail(fileName, error);
}

std::string temporaryName(const std::string& target) {
    std::string hidden(1, '.');
    hidden += BaseNameOfPath(target);
    return fitName(FolderOfPath(target), std::move(hidden), uniqueSuffix(".tmp"));
}

// Where a name's ending ".<pid>-<count>-<random>.tmp" starts (npos when it
// does not end so), and the pid in it.
size_t temporaryEnding(std::string_view name, long& pid) {
    constexpr std::string_view kExtension = ".tmp";
    if (name.size() < kExtension.size() || name.substr(name.size() - kExtension.size()) != kExtension)
        return std::string_view::npos;
    // Three runs of digits, after a dot, a '-' and a '-'.
    size_t end = name.size() - kExtension.size();
    for (int field = 0; field < 3; ++field) {
        size_t start = end;
        while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9')
            --start;
        if (start == end || end - start > 18 || start == 0 || name[start - 1] != (field < 2 ? '-' : '.'))
            return std::string_view::npos;
        if (field == 2)
            pid = std::stol(std::string(name.substr(start, end - start)));
        end = start - 1;
    }
    return pid > 0 ? end : std::string_view::npos;
}

std::string joined(const std::string& folder, const std::string& name) {
    std::string path = folder;
    path += '/';
    path += name;
    return path;
}

// Removes the temporary files that saves of the target by processes no
// longer running left beside it (a crash or a kill between the temporary
// file's creation and its rename).  Only names made by temporaryName for
// this target are taken, and only regular files of this user's.
void removeLeftoverTemporaries(const std::string& target) {
    const std::string folder = FolderOfPath(target);
    std::string hidden(1, '.');
    hidden += BaseNameOfPath(target);
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return;
    const int folderFd = ::dirfd(listing);
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        long pid = 0;
        const size_t ending = temporaryEnding(name, pid);
        // Only the name temporaryName gives this target with that ending.
        if (ending == std::string::npos || pid == static_cast<long>(::getpid()) ||
            fitName(folder, hidden, name.substr(ending)) != joined(folder, name))
            continue;
        struct stat info {};
        if (::fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::geteuid())
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        ::unlinkat(folderFd, name.c_str(), 0);
    }
    ::closedir(listing);
}

} // namespace

void WriteFileReplacing(const std::string& fileName, std::string_view data, bool createFolders) {
    const std::string target = resolveTarget(fileName);
    if (createFolders)
        makeFolders(FolderOfPath(target));

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
    removeLeftoverTemporaries(target);

    // A new file put in place by a rename would part a file from its other
    // names, which would keep the old contents.
    if (exists && existing.st_nlink > 1)
        return rewriteInPlace(fileName, target, data);

    // Create the temporary file with O_EXCL under a fresh name, never
    // readable by more users than the file it replaces; 0666 lets the
    // umask decide the permissions of a new file.
    const mode_t createMode = exists ? (existing.st_mode & 0777) : 0666;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = temporaryName(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        int error = errno;
        if (exists && (error == EACCES || error == EPERM || error == EROFS))
            return rewriteInPlace(fileName, target, data);
        fail(fileName, error);
    }

    if (exists) {
        // The old file's owner and group first (a change of owner drops the
        // set-id bits), then its exact permissions, all before any of the
        // new contents is written.  An owner or group that can not be kept
        // leaves the rewrite in place, which keeps them.
        struct stat made {};
        if (::fstat(fd, &made) != 0 ||
            ((made.st_uid != existing.st_uid || made.st_gid != existing.st_gid) &&
             ::fchown(fd, existing.st_uid, existing.st_gid) != 0)) {
            ::close(fd);
            ::unlink(temporary.c_str());
            return rewriteInPlace(fileName, target, data);
        }
        if (::fchmod(fd, existing.st_mode & 07777) != 0) {
            int error = errno;
            ::close(fd);
            ::unlink(temporary.c_str());
            fail(fileName, error);
        }
    }

    bool ok = WriteAllToFd(fd, data) && ::fsync(fd) == 0;
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
    // The rename reaches the disk with the folder.
    SyncFolder(FolderOfPath(target));
}

void RewriteUnderKeptCopy(const std::string& fileName, TKeptCopy& kept, std::string_view data,
                          const TContentsDigest& digest) {
    const std::string target = resolveTarget(fileName);
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 && errno == ENOENT) {
        // A page that is gone holds nothing to keep: it is made anew, whole
        // or not at all.
        WriteFileReplacing(fileName, data);
        DropKeptCopy(kept);
        return;
    }
    const int fd = openForRewrite(fileName, target);
    try {
        recordSaveUnder(kept, fileName, target, fd, digest);
    } catch (...) {
        ::close(fd);
        throw;
    }
    int error = 0;
    const bool done = rewriteOpenFile(fd, data, error);
    ::close(fd);
    if (!done)
        fail(fileName, error);
    SimulatedCrashStep();
    DropKeptCopy(kept);
}
