#include "platform/shellns/FileOperations.h"

#include "platform/shellns/FileNames.h"
#include "platform/shellns/SpecialFolders.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path pathOf(std::string_view bytes) { return fs::path(std::string(bytes)); }

HRESULT fromErrorCode(const std::error_code& error) {
    return error ? HResultFromErrno(error.value() != 0 ? error.value() : EIO) : S_OK;
}

HRESULT lastError() { return HResultFromErrno(errno != 0 ? errno : EIO); }

bool sameDevice(std::string_view a, std::string_view b) {
    struct stat first, second;
    if (::lstat(std::string(a).c_str(), &first) != 0 || ::stat(std::string(b).c_str(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev;
}

// Copies source to target (which must not exist): files with their
// permission bits, links as links, folders recursively.
HRESULT copyTree(const fs::path& source, const fs::path& target) {
    std::error_code error;
    fs::file_status status = fs::symlink_status(source, error);
    if (error)
        return fromErrorCode(error);
    if (fs::is_symlink(status)) {
        fs::copy_symlink(source, target, error);
        return fromErrorCode(error);
    }
    if (fs::is_directory(status)) {
        if (!fs::create_directory(target, source, error))
            return error ? fromErrorCode(error) : HResultFromErrno(EEXIST);
        for (const fs::directory_entry& entry : fs::directory_iterator(source, error)) {
            HRESULT hr = copyTree(entry.path(), target / entry.path().filename());
            if (FAILED(hr))
                return hr;
        }
        return fromErrorCode(error);
    }
    if (!fs::copy_file(source, target, fs::copy_options::none, error))
        return error ? fromErrorCode(error) : HResultFromErrno(EEXIST);
    return S_OK;
}

// Whether source may go into folder: a folder cannot hold itself (the copy
// would never end, the move would cut the tree off), the source must be
// there and the folder must be one.
HRESULT checkTransfer(std::string_view source, std::string_view folder) {
    if (PathIsWithin(folder, source))
        return HResultFromErrno(EINVAL);
    if (!PathExists(source))
        return HResultFromErrno(ENOENT);
    if (!IsFolderPath(folder))
        return HResultFromErrno(ENOTDIR);
    return S_OK;
}

} // namespace

bool PathExists(std::string_view path) {
    struct stat info;
    return ::lstat(std::string(path).c_str(), &info) == 0;
}

bool IsFolderPath(std::string_view path) {
    struct stat info;
    return ::stat(std::string(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string FreeNameIn(std::string_view folder, std::string_view name, bool isFolder) {
    if (!PathExists(JoinPath(folder, name)))
        return std::string(name);
    std::string_view stem = name, extension;
    size_t dot = name.rfind('.');
    if (!isFolder && dot != std::string_view::npos && dot > 0) {
        stem = name.substr(0, dot);
        extension = name.substr(dot);
    }
    for (int n = 2;; ++n) {
        std::string candidate = std::string(stem) + " (" + std::to_string(n) + ")" + std::string(extension);
        if (!PathExists(JoinPath(folder, candidate)))
            return candidate;
    }
}

HRESULT RenameNoReplace(std::string_view folder, std::string_view oldName, std::string_view newName) {
    if (!IsValidFileName(newName) || !IsValidFileName(oldName))
        return HResultFromErrno(EINVAL);
    if (oldName == newName)
        return S_OK;
    std::string from = JoinPath(folder, oldName), to = JoinPath(folder, newName);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return S_OK;
    if (errno != EINVAL && errno != ENOSYS)
        return lastError();
    // A file system without the no-replace rename: refuse a taken name
    // ourselves.
    if (PathExists(to))
        return HResultFromErrno(EEXIST);
    return ::rename(from.c_str(), to.c_str()) == 0 ? S_OK : lastError();
}

HRESULT CopyIntoFolder(std::string_view source, std::string_view folder, std::string* resultPath) {
    if (HRESULT hr = checkTransfer(source, folder); FAILED(hr))
        return hr;
    std::string target = JoinPath(folder, FreeNameIn(folder, FileNameOf(source), IsFolderPath(source)));
    HRESULT hr = copyTree(pathOf(source), pathOf(target));
    if (FAILED(hr)) {
        std::error_code ignored;
        fs::remove_all(pathOf(target), ignored); // leave no half copy behind
        return hr;
    }
    if (resultPath != nullptr)
        *resultPath = target;
    return S_OK;
}

HRESULT MoveIntoFolder(std::string_view source, std::string_view folder, std::string* resultPath) {
    if (HRESULT hr = checkTransfer(source, folder); FAILED(hr))
        return hr;
    if (ParentPathOf(source) == ParentPathOf(JoinPath(folder, "x"))) {
        if (resultPath != nullptr)
            *resultPath = std::string(source);
        return S_OK;
    }
    std::string target = JoinPath(folder, FreeNameIn(folder, FileNameOf(source), IsFolderPath(source)));
    if (sameDevice(source, folder)) {
        std::string from(source);
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0 ||
            ((errno == EINVAL || errno == ENOSYS) && !PathExists(target) &&
             ::rename(from.c_str(), target.c_str()) == 0)) {
            if (resultPath != nullptr)
                *resultPath = target;
            return S_OK;
        }
        if (errno != EXDEV)
            return lastError();
    }
    HRESULT hr = copyTree(pathOf(source), pathOf(target));
    if (FAILED(hr)) {
        std::error_code ignored;
        fs::remove_all(pathOf(target), ignored);
        return hr;
    }
    if (resultPath != nullptr)
        *resultPath = target;
    return DeletePermanently(source);
}

HRESULT LinkIntoFolder(std::string_view source, std::string_view folder, std::string* resultPath) {
    if (!PathExists(source))
        return HResultFromErrno(ENOENT);
    std::string name(FileNameOf(source));
    if (ParentPathOf(source) == ParentPathOf(JoinPath(folder, "x")))
        name = "Link to " + name;
    std::string target = JoinPath(folder, FreeNameIn(folder, name, false));
    if (::symlink(std::string(source).c_str(), target.c_str()) != 0)
        return lastError();
    if (resultPath != nullptr)
        *resultPath = target;
    return S_OK;
}

HRESULT DeletePermanently(std::string_view path) {
    std::error_code error;
    if (!PathExists(path))
        return HResultFromErrno(ENOENT);
    fs::remove_all(pathOf(path), error);
    return fromErrorCode(error);
}

namespace {

// The trash folder for an item: the home trash when the item is on the
// home trash's volume, else the volume's own "$topdir/.Trash-$uid".
std::string trashFolderFor(const std::string& source, const struct stat& item) {
    std::string home = JoinPath(DataHomePath(), "Trash");
    std::error_code ignored;
    fs::create_directories(pathOf(JoinPath(home, "files")), ignored);
    fs::create_directories(pathOf(JoinPath(home, "info")), ignored);
    struct stat trash;
    if (::stat(home.c_str(), &trash) == 0 && trash.st_dev == item.st_dev)
        return home;
    std::string top = ParentPathOf(source);
    for (std::string up = top; !up.empty() && up != "/"; up = ParentPathOf(up)) {
        struct stat info;
        if (::stat(up.c_str(), &info) != 0 || info.st_dev != item.st_dev)
            break;
        top = up;
    }
    std::string volume = JoinPath(top, ".Trash-" + std::to_string(::getuid()));
    fs::create_directories(pathOf(JoinPath(volume, "files")), ignored);
    fs::create_directories(pathOf(JoinPath(volume, "info")), ignored);
    return volume;
}

std::string deletionDate() {
    char text[32];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The freedesktop trash done here, for names Qt cannot hold (bytes that
// are not UTF-8): the record is made first, under a name no other item
// has, then the item is renamed into the trash.
HRESULT trashByHand(const std::string& source, const struct stat& item, std::string& where) {
    std::string trash = trashFolderFor(source, item);
    std::string name(FileNameOf(source));
    for (int n = 1;; ++n) {
        std::string candidate = n == 1 ? name : name + "." + std::to_string(n);
        std::string info = JoinPath(JoinPath(trash, "info"), candidate + ".trashinfo");
        int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return lastError();
        }
        std::string record = "[Trash Info]\nPath=" + FileUriOfPath(source).substr(7) +
                             "\nDeletionDate=" + deletionDate() + "\n";
        bool written = ::write(fd, record.data(), record.size()) == static_cast<ssize_t>(record.size());
        ::close(fd);
        where = JoinPath(JoinPath(trash, "files"), candidate);
        if (!written || PathExists(where) || ::rename(source.c_str(), where.c_str()) != 0) {
            HRESULT hr = written ? lastError() : HResultFromErrno(EIO);
            ::unlink(info.c_str());
            return hr;
        }
        return S_OK;
    }
}

} // namespace

HRESULT MoveToTrash(std::string_view path, std::string* trashedPath) {
    struct stat before;
    std::string source(path);
    if (::lstat(source.c_str(), &before) != 0)
        return lastError();
    std::string where;
    if (IsValidUtf8(source)) {
        QString inTrash;
        QFile::moveToTrash(QString::fromUtf8(source.data(), static_cast<qsizetype>(source.size())), &inTrash);
        QByteArray trashed = inTrash.toUtf8();
        where.assign(trashed.constData(), static_cast<size_t>(trashed.size()));
    } else if (HRESULT hr = trashByHand(source, before, where); FAILED(hr)) {
        return hr;
    }
    // Trust what is on disk, not the answer: the item must have left its
    // place and be in a trash folder of its own volume, with its record.
    struct stat after;
    if (where.empty() || ::lstat(where.c_str(), &after) != 0 || PathExists(source))
        return PathExists(source) ? HResultFromErrno(EACCES) : HResultFromErrno(EIO);
    std::string filesFolder = ParentPathOf(where);
    std::string trashFolder = ParentPathOf(filesFolder);
    std::string info = JoinPath(JoinPath(trashFolder, "info"), std::string(FileNameOf(where)) + ".trashinfo");
    if (FileNameOf(filesFolder) != "files" || !PathExists(info) || after.st_dev != before.st_dev)
        return HResultFromErrno(EXDEV);
    if (trashedPath != nullptr)
        *trashedPath = where;
    return S_OK;
}

HRESULT MakeFolder(std::string_view path) {
    return ::mkdir(std::string(path).c_str(), 0777) == 0 ? S_OK : lastError();
}
