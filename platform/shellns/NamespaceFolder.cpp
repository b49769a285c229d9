#include "platform/shellns/NamespaceFolder.h"

#include "platform/shellns/CompareScope.h"
#include "platform/shellns/FileNames.h"
#include "platform/shellns/FileOperations.h"
#include "platform/shellns/FileTypes.h"
#include "platform/shellns/MountTable.h"
#include "platform/shellns/ShellVerbs.h"
#include "platform/shellns/SpecialFolders.h"
#include "platform/ui/UserInteraction.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kComputerParsingName = "computer:///";

// Hands out the items gathered when the enumeration was made.
class TItemEnumerator : public TEnumIDList {
public:
    explicit TItemEnumerator(std::vector<std::string> items) : items_(std::move(items)) {}
    HRESULT Next(unsigned count, PItemIDList* items, unsigned* fetched) override {
        unsigned delivered = 0;
        while (delivered < count && position_ < items_.size()) {
            PItemIDList item = IdListFromItems(items_[position_]);
            if (item == nullptr)
                break;
            items[delivered++] = item;
            ++position_;
        }
        if (fetched != nullptr)
            *fetched = delivered;
        return delivered == count ? S_OK : S_FALSE;
    }

private:
    std::vector<std::string> items_;
    size_t position_ = 0;
};

bool isHiddenName(std::string_view name) { return name.starts_with('.'); }

// The entries of a folder as items, by the enumeration flags.
HRESULT listFolder(const std::string& path, unsigned flags, std::vector<std::string>& items) {
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr)
        return HResultFromErrno(errno);
    int folderFd = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        if (isHiddenName(name) && (flags & SHCONTF_INCLUDEHIDDEN) == 0)
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info;
            isFolder = ::fstatat(folderFd, entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
        }
        if ((flags & (isFolder ? SHCONTF_FOLDERS : SHCONTF_NONFOLDERS)) == 0)
            continue;
        items.push_back(FileItem(name, isFolder));
    }
    ::closedir(folder);
    return S_OK;
}

bool hasSubfolder(const std::string& path) {
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr)
        return false;
    bool found = false;
    int folderFd = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat info;
        if (entry->d_type == DT_DIR ||
            ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) &&
             ::fstatat(folderFd, entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode))) {
            found = true;
            break;
        }
    }
    ::closedir(folder);
    return found;
}

int kindRank(TItemKind kind) {
    switch (kind) {
    case TItemKind::Home: return 0;
    case TItemKind::Computer: return 1;
    case TItemKind::Mount: return 2;
    case TItemKind::FileSystem: return 3;
    }
    return 4;
}

HRESULT result(int order) { return MAKE_SCODE_SUCCESS(order); }

struct TStatResult {
    bool ok = false;
    struct stat info {};
};
TStatResult statPath(const std::string& path) {
    TStatResult r;
    r.ok = ::stat(path.c_str(), &r.info) == 0 || ::lstat(path.c_str(), &r.info) == 0;
    return r;
}

// The statuses a compare scope on this thread remembers of the items of a
// file-system folder, or nullptr without a scope.
TShellCompareMemo::TByName<TShellCompareMemo::TStatus>* rememberedStatuses(const TItemPlace& folder) {
    TShellCompareMemo* memo = CurrentCompareMemo();
    if (memo == nullptr || folder.Kind != TItemPlace::FileSystem)
        return nullptr;
    if (memo->LastStatus == nullptr || memo->LastFolder != folder.Path) {
        memo->LastFolder = folder.Path;
        memo->LastStatus = &memo->Status[folder.Path];
    }
    return memo->LastStatus;
}

// The status of an item of a file-system folder, read once while a
// compare scope lives: sorting compares each item many times, and a
// look-up by folder and name in place allocates nothing.
TStatResult statChild(const TItemPlace& folder, const TItemPayload& item) {
    TItemPlace child;
    if (folder.Kind != TItemPlace::FileSystem)
        return PlaceOfChild(folder, item, child) && child.Kind == TItemPlace::FileSystem ? statPath(child.Path)
                                                                                          : TStatResult{};
    if (item.Kind != TItemKind::FileSystem || !IsValidFileName(item.Name))
        return {};
    TShellCompareMemo::TByName<TShellCompareMemo::TStatus>* known = rememberedStatuses(folder);
    if (known != nullptr)
        if (auto found = known->find(item.Name); found != known->end())
            return {found->second.Ok, found->second.Info};
    TStatResult r = statPath(JoinPath(folder.Path, item.Name));
    if (known != nullptr)
        known->emplace(std::string(item.Name), TShellCompareMemo::TStatus{r.ok, r.info});
    return r;
}

// The type name of an item, remembered while a compare scope lives (the
// view stays valid as long as the scope; without one it is the holder's).
std::string_view typeNameForCompare(std::string_view name, bool isFolder, std::string& holder) {
    TShellCompareMemo* memo = CurrentCompareMemo();
    if (memo == nullptr) {
        holder = TypeNameOf(name, isFolder);
        return holder;
    }
    thread_local std::string key;
    key.assign(name);
    if (isFolder)
        key += '/';
    auto found = memo->Types.find(std::string_view(key));
    if (found == memo->Types.end())
        found = memo->Types.emplace(key, TypeNameOf(name, isFolder)).first;
    return found->second;
}

// Fills what a key lacks for sorting by column an item at a place.
void fillSortKey(const TItemPlace& place, const TItemPayload& item, int column, TShellSortKey& key) {
    if (!key.Decoded) {
        key.Name = item.Name;
        key.Rank = kindRank(item.Kind);
        key.Folder = (item.Flags & itemIsFolder) != 0;
        // Columns other than the name compare items of file-system folders
        // (and the desktop's) by what the file system says of them.
        key.HasColumns = item.Kind == TItemKind::FileSystem && place.Kind != TItemPlace::Computer &&
                         IsValidFileName(item.Name);
        key.Decoded = true;
    }
    if (key.Holds(column))
        return;
    if (column == 2) {
        std::string holder;
        key.Type = typeNameForCompare(item.Name, key.Folder, holder);
        key.TypeRead = true;
    } else {
        TStatResult status = statChild(place, item);
        key.StatusOk = status.ok;
        key.Size = static_cast<long long>(status.info.st_size);
        key.Modified = status.info.st_mtim;
        key.StatusRead = true;
    }
}

std::string displayOfPlaceItem(const TItemPayload& item) {
    switch (item.Kind) {
    case TItemKind::Home: return "Home";
    case TItemKind::Computer: return "Computer";
    case TItemKind::Mount: return DisplayTextOfName(item.Name);
    case TItemKind::FileSystem: return DisplayTextOfName(item.Name);
    }
    return {};
}

} // namespace

TNamespaceFolder::TNamespaceFolder(TItemPlace place, PCItemIDList absolute)
    : place_(std::move(place)), absolute_(IdListClone(absolute)) {}

std::string TNamespaceFolder::FileSystemPath() const {
    return place_.Kind == TItemPlace::FileSystem ? place_.Path : std::string();
}

bool TNamespaceFolder::PlaceOf(PCItemIDList item, TItemPlace& place) const {
    TItemPlace at = place_;
    for (PCItemIDList i = item; !IdListIsEmpty(i); i = NextItem(i)) {
        TItemPayload payload;
        if (!DecodeItem(i, payload) || !PlaceOfChild(at, payload, at))
            return false;
    }
    place = std::move(at);
    return true;
}

HRESULT TNamespaceFolder::ParseDisplayName(std::string_view name, unsigned* eaten, PItemIDList* item,
                                           uint32_t* attributes) {
    if (item == nullptr)
        return E_POINTER;
    *item = nullptr;
    HRESULT hr = E_INVALIDARG;
    std::string path;
    if (name.starts_with("file:") && PathOfFileUri(name, path))
        name = path;
    if (place_.Kind == TItemPlace::Desktop && (name == kComputerParsingName || name == "computer:")) {
        *item = IdListFromItems(MakeItem(TItemKind::Computer, itemIsFolder, {}));
        hr = *item != nullptr ? S_OK : E_OUTOFMEMORY;
    } else if (name.starts_with('/')) {
        PItemIDList absolute = nullptr;
        hr = IdListOfPath(name, &absolute);
        if (SUCCEEDED(hr)) {
            // Relative to this folder: the desktop takes it whole, Computer
            // without its own item; other folders only below themselves.
            TIdListPtr owned(absolute);
            if (place_.Kind == TItemPlace::Desktop) {
                *item = owned.release();
            } else if (place_.Kind == TItemPlace::Computer) {
                *item = IdListClone(NextItem(owned.get()));
            } else {
                std::string clean;
                NormalisePath(name, clean);
                if (!PathIsWithin(clean, place_.Path))
                    return E_INVALIDARG;
                std::string items;
                hr = ItemsBelowFolder(place_.Path, std::string_view(clean).substr(std::min(clean.size(), place_.Path.size())), items);
                if (SUCCEEDED(hr))
                    *item = IdListFromItems(items);
            }
            if (SUCCEEDED(hr) && *item == nullptr)
                hr = E_OUTOFMEMORY;
        }
    } else if (place_.Kind != TItemPlace::Computer) {
        std::string folder = place_.Kind == TItemPlace::Desktop ? DesktopFolderPath() : place_.Path;
        std::string items;
        hr = name.empty() ? E_INVALIDARG : ItemsBelowFolder(folder, name, items);
        if (SUCCEEDED(hr)) {
            *item = IdListFromItems(items);
            if (*item == nullptr)
                hr = E_OUTOFMEMORY;
        }
    }
    if (SUCCEEDED(hr)) {
        if (eaten != nullptr)
            *eaten = static_cast<unsigned>(name.size());
        if (attributes != nullptr && *attributes != 0) {
            PCItemIDList last = IdListLastItem(*item);
            TIdListPtr parentItems(IdListCloneFirst(*item, IdListItemCount(*item) - 1));
            TItemPlace parentPlace;
            TItemPayload payload;
            if (PlaceOf(parentItems.get(), parentPlace) && DecodeItem(last, payload))
                *attributes = AttributesOfPlace(parentPlace, payload, *attributes);
            else
                *attributes = 0;
        }
    }
    return hr;
}

HRESULT TNamespaceFolder::EnumObjects(unsigned flags, std::shared_ptr<TEnumIDList>& result) {
    result.reset();
    std::vector<std::string> items;
    switch (place_.Kind) {
    case TItemPlace::Desktop:
        if ((flags & SHCONTF_FOLDERS) != 0) {
            items.push_back(MakeItem(TItemKind::Home, itemIsFolder, {}));
            items.push_back(MakeItem(TItemKind::Computer, itemIsFolder, {}));
        }
        if (IsFolderPath(DesktopFolderPath()))
            listFolder(DesktopFolderPath(), flags, items);
        break;
    case TItemPlace::Computer:
        if ((flags & SHCONTF_FOLDERS) != 0)
            for (const TMountEntry& mount : CurrentMounts())
                items.push_back(MakeItem(TItemKind::Mount, itemIsFolder, mount.MountPoint));
        break;
    case TItemPlace::FileSystem:
        if (HRESULT hr = listFolder(place_.Path, flags, items); FAILED(hr))
            return hr;
        break;
    }
    result = std::make_shared<TItemEnumerator>(std::move(items));
    return S_OK;
}

HRESULT TNamespaceFolder::BindToObject(PCItemIDList item, std::shared_ptr<TShellFolder>& result) {
    result.reset();
    if (IdListIsEmpty(item))
        return E_INVALIDARG;
    TItemPlace place;
    if (!PlaceOf(item, place))
        return E_INVALIDARG;
    if (place.Kind == TItemPlace::FileSystem) {
        struct stat info;
        if (::stat(place.Path.c_str(), &info) != 0)
            return HResultFromErrno(errno);
        if (!S_ISDIR(info.st_mode))
            return HResultFromErrno(ENOTDIR);
    }
    TIdListPtr absolute(IdListCombine(absolute_.get(), item));
    if (!absolute)
        return E_OUTOFMEMORY;
    result = std::make_shared<TNamespaceFolder>(std::move(place), absolute.get());
    return S_OK;
}

HRESULT TNamespaceFolder::CompareIDs(intptr_t column, PCItemIDList first, PCItemIDList second) {
    if (first == nullptr || second == nullptr)
        return E_INVALIDARG;
    // The folder of the level compared: this one, then the items' own
    // while both lists name the same item.
    const TItemPlace* place = &place_;
    TItemPlace below;
    PCItemIDList a = first, b = second;
    int sortColumn = static_cast<int>(column & 0xFFFF);
    while (true) {
        bool aEnd = IdListIsEmpty(a), bEnd = IdListIsEmpty(b);
        if (aEnd || bEnd)
            return result(aEnd == bEnd ? 0 : aEnd ? -1 : 1);
        TItemPayload itemA, itemB;
        if (!DecodeItem(a, itemA) || !DecodeItem(b, itemB))
            return E_INVALIDARG;
        TShellSortKey keyA, keyB;
        fillSortKey(*place, itemA, sortColumn, keyA);
        fillSortKey(*place, itemB, sortColumn, keyB);
        if (int order = CompareSortKeys(sortColumn, keyA, keyB); order != 0)
            return result(order);
        // The same item: go on with the levels below it, in its folder.
        a = NextItem(a);
        b = NextItem(b);
        sortColumn = 0;
        if (IdListIsEmpty(a) && IdListIsEmpty(b))
            return result(0);
        TItemPlace placeA, placeB;
        if (!PlaceOfChild(*place, itemA, placeA) || !PlaceOfChild(*place, itemB, placeB))
            return result(IdListIsEmpty(a) == IdListIsEmpty(b) ? 0 : IdListIsEmpty(a) ? -1 : 1);
        below = std::move(placeA);
        place = &below;
    }
}

HRESULT TNamespaceFolder::GetSortKey(intptr_t column, PCItemIDList item, TShellSortKey& key) {
    int sortColumn = static_cast<int>(column & 0xFFFF);
    if (key.Holds(sortColumn))
        return S_OK;
    TItemPayload payload;
    if (IdListIsEmpty(item) || !IdListIsEmpty(NextItem(item)) || !DecodeItem(item, payload))
        return E_INVALIDARG;
    fillSortKey(place_, payload, sortColumn, key);
    return S_OK;
}

uint32_t AttributesOfPlace(const TItemPlace& place, const TItemPayload& item, uint32_t asked) {
    TItemPlace child;
    if (!PlaceOfChild(place, item, child))
        return 0;
    uint32_t attributes = 0;
    if (child.Kind == TItemPlace::Computer) {
        attributes = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
        return attributes & asked;
    }
    struct stat info, linkInfo;
    bool exists = ::stat(child.Path.c_str(), &info) == 0;
    bool linkExists = ::lstat(child.Path.c_str(), &linkInfo) == 0;
    // What was read is remembered for sorting while a compare scope lives
    // (a list keeps the statuses its filling read).
    if (item.Kind == TItemKind::FileSystem && IsValidFileName(item.Name))
        if (auto* known = rememberedStatuses(place))
            known->insert_or_assign(std::string(item.Name),
                                    TShellCompareMemo::TStatus{exists || linkExists, exists ? info : linkInfo});
    if (!exists && !linkExists)
        return 0;
    bool isFolder = exists && S_ISDIR(info.st_mode);
    attributes |= SFGAO_FILESYSTEM;
    if (isFolder)
        attributes |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_DROPTARGET;
    else
        attributes |= SFGAO_STREAM;
    if (linkExists && S_ISLNK(linkInfo.st_mode))
        attributes |= SFGAO_LINK;
    attributes |= SFGAO_CANCOPY | SFGAO_CANLINK;
    if (item.Kind == TItemKind::FileSystem) {
        // Moving, renaming and deleting change the folder that holds it.
        std::string parent = ParentPathOf(child.Path);
        if (::access(parent.c_str(), W_OK) == 0)
            attributes |= SFGAO_CANMOVE | SFGAO_CANRENAME | SFGAO_CANDELETE;
        if (isHiddenName(item.Name))
            attributes |= SFGAO_HIDDEN;
    }
    if (item.Kind == TItemKind::Mount && DriveTypeOfMountPoint(child.Path) == DRIVE_REMOVABLE)
        attributes |= SFGAO_REMOVABLE;
    if ((asked & SFGAO_READONLY) != 0 && ::access(child.Path.c_str(), W_OK) != 0)
        attributes |= SFGAO_READONLY;
    if ((asked & SFGAO_HASSUBFOLDER) != 0 && isFolder && hasSubfolder(child.Path))
        attributes |= SFGAO_HASSUBFOLDER;
    return attributes & asked;
}

HRESULT TNamespaceFolder::GetAttributesOf(unsigned count, const PCItemIDList* items, uint32_t& attributes) {
    if (count == 0) {
        // The folder itself: the desktop and Computer are folders above
        // the file system; others are folders of it.
        uint32_t own = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
        if (place_.Kind == TItemPlace::FileSystem)
            own |= SFGAO_FILESYSTEM | SFGAO_DROPTARGET;
        attributes &= own;
        return S_OK;
    }
    if (items == nullptr)
        return E_POINTER;
    uint32_t common = attributes;
    for (unsigned i = 0; i < count; ++i) {
        TIdListPtr parentItems(IdListCloneFirst(items[i], IdListItemCount(items[i]) - 1));
        TItemPlace parent;
        TItemPayload payload;
        if (!PlaceOf(parentItems.get(), parent) || !DecodeItem(IdListLastItem(items[i]), payload))
            return E_INVALIDARG;
        common &= AttributesOfPlace(parent, payload, attributes);
    }
    attributes = common;
    return S_OK;
}

HRESULT TNamespaceFolder::GetUIObjectOf(unsigned count, const PCItemIDList* items, TShellInterface kind,
                                        std::shared_ptr<TUnknown>& result) {
    result.reset();
    if (count == 0 || items == nullptr)
        return E_INVALIDARG;
    std::vector<TItemPlace> places;
    for (unsigned i = 0; i < count; ++i) {
        TItemPlace place;
        if (!PlaceOf(items[i], place))
            return E_INVALIDARG;
        places.push_back(std::move(place));
    }
    switch (kind) {
    case TShellInterface::ContextMenu: {
        std::vector<TIdListPtr> absolutes;
        for (unsigned i = 0; i < count; ++i)
            absolutes.emplace_back(IdListCombine(absolute_.get(), items[i]));
        result = MakeItemContextMenu(std::move(places), std::move(absolutes));
        return S_OK;
    }
    case TShellInterface::DropTarget:
        if (count != 1)
            return E_INVALIDARG;
        result = MakeItemDropTarget(places.front());
        return result ? S_OK : E_NOINTERFACE;
    case TShellInterface::DetailsProvider:
        break;
    }
    return E_NOINTERFACE;
}

HRESULT TNamespaceFolder::GetDisplayNameOf(PCItemIDList item, unsigned flags, std::string& name) {
    name.clear();
    bool parsing = (flags & SHGDN_FORPARSING) != 0;
    if (IdListIsEmpty(item)) {
        switch (place_.Kind) {
        case TItemPlace::Desktop: name = parsing ? std::string() : std::string("Desktop"); return S_OK;
        case TItemPlace::Computer: name = parsing ? std::string(kComputerParsingName) : std::string("Computer"); return S_OK;
        case TItemPlace::FileSystem:
            name = parsing ? place_.Path : DisplayTextOfName(FileNameOf(place_.Path).empty() ? place_.Path : FileNameOf(place_.Path));
            return S_OK;
        }
    }
    TItemPlace place;
    TItemPayload last;
    if (!PlaceOf(item, place) || !DecodeItem(IdListLastItem(item), last))
        return E_INVALIDARG;
    if (parsing) {
        if (place.Kind == TItemPlace::Computer)
            name = kComputerParsingName;
        else if ((flags & SHGDN_INFOLDER) != 0 && last.Kind == TItemKind::FileSystem)
            name = std::string(last.Name);
        else
            name = place.Path;
        return S_OK;
    }
    name = displayOfPlaceItem(last);
    return S_OK;
}

HRESULT TNamespaceFolder::SetNameOf(PCItemIDList item, std::string_view name, unsigned flags,
                                    PItemIDList* newItem) {
    if (newItem != nullptr)
        *newItem = nullptr;
    TItemPayload payload;
    if (IdListItemCount(item) != 1 || !DecodeItem(item, payload) || payload.Kind != TItemKind::FileSystem)
        return E_INVALIDARG;
    TItemPlace place;
    if (!PlaceOf(item, place))
        return E_INVALIDARG;
    std::string newName = (flags & SHGDN_FORPARSING) != 0 ? std::string(name) : NameOfDisplayText(name);
    std::string folder = ParentPathOf(place.Path);
    HRESULT hr = IsValidFileName(newName) ? RenameNoReplace(folder, payload.Name, newName) : HResultFromErrno(EINVAL);
    if (FAILED(hr)) {
        UserInteraction().MessageDlg("Unable to rename '" + DisplayTextOfName(payload.Name) + "' to '" +
                                         DisplayTextOfName(newName) + "'.\n\n" + SystemErrorText(hr),
                                     mtError, mbOKOnly);
        return hr;
    }
    if (newItem != nullptr) {
        *newItem = IdListFromItems(FileItem(newName, (payload.Flags & itemIsFolder) != 0));
        if (*newItem == nullptr)
            return E_OUTOFMEMORY;
    }
    return S_OK;
}

// --- entry points ----------------------------------------------------------------

HRESULT SHGetDesktopFolder(std::shared_ptr<TShellFolder>& result) {
    result = std::make_shared<TNamespaceFolder>(TItemPlace{TItemPlace::Desktop, {}}, nullptr);
    return S_OK;
}

HRESULT BindToFolderOf(PCItemIDList absolute, std::shared_ptr<TShellFolder>& result) {
    std::shared_ptr<TShellFolder> desktop;
    SHGetDesktopFolder(desktop);
    if (IdListIsEmpty(absolute)) {
        result = desktop;
        return S_OK;
    }
    return desktop->BindToObject(absolute, result);
}

bool SHGetPathFromIDList(PCItemIDList absolute, std::string& path) {
    path.clear();
    TItemPlace place;
    if (!PlaceOfIdList(absolute, place) || place.Kind != TItemPlace::FileSystem)
        return false;
    path = place.Path;
    return true;
}

HRESULT SHParseDisplayName(std::string_view name, PItemIDList* absolute) {
    std::shared_ptr<TShellFolder> desktop;
    SHGetDesktopFolder(desktop);
    return desktop->ParseDisplayName(name, nullptr, absolute, nullptr);
}

HRESULT SHGetSpecialFolderLocation(int csidl, PItemIDList* absolute) {
    *absolute = nullptr;
    switch (csidl) {
    case CSIDL_DESKTOP: *absolute = IdListFromItems({}); break;
    case CSIDL_PERSONAL: *absolute = IdListFromItems(MakeItem(TItemKind::Home, itemIsFolder, {})); break;
    case CSIDL_DRIVES: *absolute = IdListFromItems(MakeItem(TItemKind::Computer, itemIsFolder, {})); break;
    case CSIDL_SENDTO: return IdListOfPath(SendToFolderPath(), absolute);
    case CSIDL_DESKTOPDIRECTORY: return IdListOfPath(DesktopFolderPath(), absolute);
    default: return E_INVALIDARG;
    }
    return *absolute != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT SHBindToParent(PCItemIDList absolute, std::shared_ptr<TShellFolder>& parent, PCItemIDList* last) {
    parent.reset();
    if (IdListIsEmpty(absolute))
        return E_INVALIDARG;
    TIdListPtr parentList(IdListCloneFirst(absolute, IdListItemCount(absolute) - 1));
    if (!parentList)
        return E_OUTOFMEMORY;
    HRESULT hr = BindToFolderOf(parentList.get(), parent);
    if (SUCCEEDED(hr) && last != nullptr)
        *last = IdListLastItem(absolute);
    return hr;
}

bool SHGetFileInfo(PCItemIDList absolute, unsigned flags, TShFileInfo& info) {
    info = {};
    TItemPlace place;
    if (!PlaceOfIdList(absolute, place))
        return false;
    TItemPayload last;
    bool hasItem = DecodeItem(IdListLastItem(absolute), last);
    bool isFolder = place.Kind != TItemPlace::FileSystem || IsFolderPath(place.Path);
    if (place.Kind == TItemPlace::FileSystem && !PathExists(place.Path))
        return false;
    if ((flags & SHGFI_DISPLAYNAME) != 0)
        info.DisplayName = !hasItem ? std::string("Desktop") : displayOfPlaceItem(last);
    if ((flags & SHGFI_TYPENAME) != 0)
        info.TypeName = place.Kind != TItemPlace::FileSystem ? std::string("System Folder")
                                                       : TypeNameOf(FileNameOf(place.Path), isFolder);
    if ((flags & SHGFI_ATTRIBUTES) != 0 && hasItem) {
        TIdListPtr parentList(IdListCloneFirst(absolute, IdListItemCount(absolute) - 1));
        TItemPlace parent;
        if (PlaceOfIdList(parentList.get(), parent))
            info.Attributes = AttributesOfPlace(parent, last, 0xFFFFFFFFu);
    }
    if ((flags & (SHGFI_SYSICONINDEX | SHGFI_ICON)) != 0) {
        bool open = (flags & SHGFI_OPENICON) != 0;
        if (!hasItem)
            info.IconIndex = StandardIconIndex(TStandardIcon::Desktop);
        else if (last.Kind == TItemKind::Home)
            info.IconIndex = StandardIconIndex(TStandardIcon::Home);
        else if (last.Kind == TItemKind::Computer)
            info.IconIndex = StandardIconIndex(TStandardIcon::Computer);
        else if (last.Kind == TItemKind::Mount) {
            unsigned type = DriveTypeOfMountPoint(place.Path);
            info.IconIndex = StandardIconIndex(type == DRIVE_REMOTE      ? TStandardIcon::RemoteDrive
                                               : type == DRIVE_REMOVABLE ? TStandardIcon::RemovableDrive
                                                                         : TStandardIcon::Drive);
        } else
            info.IconIndex = IconIndexOf(last.Name, isFolder, open);
    }
    return true;
}
