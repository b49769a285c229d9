#include "platform/shellns/FileOperations.h"

#include "platform/shellns/FileNames.h"
#include "platform/shellns/NameFitting.h"

#include <cerrno>
#include <cstdio>
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
    std::string_view stem, extension;
    SplitExtension(name, isFolder, stem, extension);
    size_t limit = NameLengthLimit(folder);
    std::string first = FitName(stem, "", extension, limit);
    if (!PathExists(JoinPath(folder, first)))
        return first;
    for (int n = 2;; ++n) {
        std::string candidate = FitName(stem, " (" + std::to_string(n) + ")", extension, limit);
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

HRESULT MakeFolder(std::string_view path) {
    return ::mkdir(std::string(path).c_str(), 0777) == 0 ? S_OK : lastError();
}
