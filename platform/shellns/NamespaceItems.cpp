#include "platform/shellns/NamespaceItems.h"

#include "platform/shellns/FileNames.h"
#include "platform/shellns/MountTable.h"
#include "platform/shellns/SpecialFolders.h"

#include <cerrno>
#include <sys/stat.h>
#include <vector>

bool PlaceOfChild(const TItemPlace& folder, const TItemPayload& item, TItemPlace& child) {
    switch (folder.Kind) {
    case TItemPlace::Desktop:
        if (item.Kind == TItemKind::Home) {
            child = {TItemPlace::FileSystem, HomeFolderPath()};
            return true;
        }
        if (item.Kind == TItemKind::Computer) {
            child = {TItemPlace::Computer, {}};
            return true;
        }
        if (item.Kind == TItemKind::FileSystem && IsValidFileName(item.Name)) {
            child = {TItemPlace::FileSystem, JoinPath(DesktopFolderPath(), item.Name)};
            return true;
        }
        return false;
    case TItemPlace::Computer:
        if (item.Kind == TItemKind::Mount && item.Name.starts_with('/')) {
            child = {TItemPlace::FileSystem, std::string(item.Name)};
            return true;
        }
        return false;
    case TItemPlace::FileSystem:
        if (item.Kind == TItemKind::FileSystem && IsValidFileName(item.Name)) {
            child = {TItemPlace::FileSystem, JoinPath(folder.Path, item.Name)};
            return true;
        }
        return false;
    }
    return false;
}

bool PlaceOfIdList(PCItemIDList absolute, TItemPlace& place) {
    TItemPlace at;
    for (PCItemIDList item = absolute; !IdListIsEmpty(item); item = NextItem(item)) {
        TItemPayload payload;
        if (!DecodeItem(item, payload) || !PlaceOfChild(at, payload, at))
            return false;
    }
    place = std::move(at);
    return true;
}

bool NormalisePath(std::string_view path, std::string& result) {
    if (!path.starts_with('/'))
        return false;
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    result.clear();
    for (std::string_view part : parts) {
        result.push_back('/');
        result.append(part);
    }
    if (result.empty())
        result.assign(1, '/');
    return true;
}

std::string FileItem(std::string_view name, bool isFolder) {
    return MakeItem(TItemKind::FileSystem, isFolder ? itemIsFolder : 0, name);
}

HRESULT ItemsBelowFolder(std::string_view folder, std::string_view relative, std::string& items) {
    items.clear();
    std::string path(folder);
    size_t start = 0;
    while (start < relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string_view::npos)
            end = relative.size();
        std::string_view name = relative.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == ".")
            continue;
        if (!IsValidFileName(name))
            return E_INVALIDARG;
        path = JoinPath(path, name);
        struct stat info;
        if (::stat(path.c_str(), &info) != 0 && ::lstat(path.c_str(), &info) != 0)
            return HResultFromErrno(errno);
        items += FileItem(name, S_ISDIR(info.st_mode));
    }
    return S_OK;
}

HRESULT IdListOfPath(std::string_view path, PItemIDList* absolute) {
    *absolute = nullptr;
    std::string clean;
    if (!NormalisePath(path, clean))
        return E_INVALIDARG;
    struct stat info;
    if (::lstat(clean.c_str(), &info) != 0)
        return HResultFromErrno(errno);
    const TMountEntry& mount = MountOfPath(clean);
    std::string items = MakeItem(TItemKind::Computer, itemIsFolder, {}) +
                        MakeItem(TItemKind::Mount, itemIsFolder, mount.MountPoint);
    std::string below;
    std::string_view rest = std::string_view(clean).substr(mount.MountPoint == "/" ? 1 : mount.MountPoint.size());
    if (HRESULT hr = ItemsBelowFolder(mount.MountPoint, rest, below); FAILED(hr))
        return hr;
    *absolute = IdListFromItems(items + below);
    return *absolute != nullptr ? S_OK : E_OUTOFMEMORY;
}
