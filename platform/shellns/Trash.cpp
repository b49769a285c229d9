#include "platform/shellns/Trash.h"

#include "platform/shellns/FileNames.h"
#include "platform/shellns/NameFitting.h"
#include "platform/shellns/SpecialFolders.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kInfoExtension = ".trashinfo";
// Names tried in one trash before giving up; only a trash holding that
// many items of one name reaches it.
constexpr int kMostCandidates = 100000;

HRESULT lastError() { return HResultFromErrno(errno != 0 ? errno : EIO); }

bool isFolderOnDevice(const std::string& path, dev_t device) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_dev == device;
}

// Makes folder (its parent must exist) for the owner alone, or accepts
// the folder already there.
bool makeOwnFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0700) == 0)
        return true;
    struct stat info;
    return errno == EEXIST && ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A trash folder with its "files" and "info" made, on the given device.
bool usableTrash(const std::string& trash, dev_t device) {
    return makeOwnFolder(trash) && makeOwnFolder(JoinPath(trash, "files")) &&
           makeOwnFolder(JoinPath(trash, "info")) && isFolderOnDevice(JoinPath(trash, "files"), device) &&
           isFolderOnDevice(JoinPath(trash, "info"), device) && ::access(JoinPath(trash, "files").c_str(), W_OK) == 0 &&
           ::access(JoinPath(trash, "info").c_str(), W_OK) == 0;
}

// The top folder of the volume that holds path: the last folder upwards
// still on the item's device.
std::string volumeTopOf(const std::string& path, dev_t device) {
    std::string top = ParentPathOf(path);
    for (std::string up = ParentPathOf(top); ; up = ParentPathOf(up)) {
        struct stat info;
        if (::stat(up.c_str(), &info) != 0 || info.st_dev != device)
            break;
        top = up;
        if (up == "/")
            break;
    }
    return top;
}

// The device of path or, while it does not exist yet, of the nearest
// folder above it that does; false when none can be read.
bool deviceOfPlace(std::string path, dev_t& device) {
    struct stat info;
    while (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT || path == "/" || path.empty())
            return false;
        path = ParentPathOf(path);
    }
    device = info.st_dev;
    return true;
}

// Makes folder and the folders missing above it, each for the owner
// alone, or accepts the folders already there.
bool makeOwnFolders(const std::string& folder) {
    struct stat info;
    if (::stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    if (errno != ENOENT)
        return false;
    const std::string parent = ParentPathOf(folder);
    return !parent.empty() && parent != folder && makeOwnFolders(parent) && makeOwnFolder(folder);
}

// The trash for an item on device, empty when there is none to use.
std::string trashFolderFor(const std::string& source, dev_t device) {
    // The home trash serves its volume even before the data folder that
    // holds it exists: a fresh account has no data folder yet, and its
    // files must not end up in a trash at the top of the disk, which is
    // meant for volumes the home does not lie on.
    std::string dataHome = DataHomePath();
    struct stat info;
    dev_t homeDevice;
    if (deviceOfPlace(dataHome, homeDevice) && homeDevice == device) {
        std::string home = JoinPath(dataHome, "Trash");
        return makeOwnFolders(dataHome) && usableTrash(home, device) ? home : std::string();
    }
    std::string top = volumeTopOf(source, device);
    std::string uid = std::to_string(::getuid());
    // An administrator's shared trash counts only when it is a real,
    // sticky folder (a link there could send files anywhere).
    std::string shared = JoinPath(top, ".Trash");
    if (::lstat(shared.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0 &&
        usableTrash(JoinPath(shared, uid), device))
        return JoinPath(shared, uid);
    std::string own = JoinPath(top, ".Trash-" + uid);
    return usableTrash(own, device) ? own : std::string();
}

std::string deletionDate() {
    char text[32];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// A rename that never replaces; on a file system without the no-replace
// rename a taken name is refused here.
bool renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    struct stat info;
    if (::lstat(to.c_str(), &info) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

std::string TrashInfoRecord(std::string_view path, std::string_view date) {
    // The file address's path part: every byte outside the unreserved set
    // (a line break, "%", a space, bytes that are not UTF-8) is escaped.
    return "[Trash Info]\nPath=" + FileUriOfPath(path).substr(7) + "\nDeletionDate=" + std::string(date) + "\n";
}

HRESULT MoveToTrash(std::string_view path, std::string* trashedPath) {
    std::string source(path);
    struct stat item;
    if (::lstat(source.c_str(), &item) != 0)
        return lastError();
    std::string trash = trashFolderFor(source, item.st_dev);
    if (trash.empty())
        return E_NOTRASH;
    std::string files = JoinPath(trash, "files"), infos = JoinPath(trash, "info");
    // The item's name in the trash must fit in "files", and with the
    // record's extension in "info".
    size_t limit = std::min(NameLengthLimit(files), NameLengthLimit(infos) - kInfoExtension.size());
    std::string_view stem, extension;
    SplitExtension(FileNameOf(source), S_ISDIR(item.st_mode), stem, extension);
    std::string record = TrashInfoRecord(source, deletionDate());
    for (int n = 1; n <= kMostCandidates; ++n) {
        std::string suffix;
        if (n > 1)
            suffix.append(".").append(std::to_string(n));
        std::string candidate = FitName(stem, suffix, extension, limit);
        std::string info = JoinPath(infos, candidate + std::string(kInfoExtension));
        // The record claims the name first: whoever creates it owns it.
        int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return lastError();
        }
        bool written = writeAll(fd, record);
        written = ::close(fd) == 0 && written;
        std::string where = JoinPath(files, candidate);
        if (!written) {
            ::unlink(info.c_str());
            return HResultFromErrno(EIO);
        }
        // A file left in "files" without its record keeps its name.
        if (!renameNoReplace(source, where)) {
            int error = errno;
            ::unlink(info.c_str());
            if (error == EEXIST)
                continue;
            if (error == EXDEV)
                return E_NOTRASH;
            return HResultFromErrno(error != 0 ? error : EIO);
        }
        if (trashedPath != nullptr)
            *trashedPath = where;
        return S_OK;
    }
    return HResultFromErrno(EEXIST);
}
