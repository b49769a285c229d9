#include "shell/ShellUtils.h"

#include "platform/gfx/ImageList.h"
#include "platform/shellns/FileNames.h"
#include "platform/shellns/FileTypes.h"
#include "platform/shellns/MountTable.h"
#include "platform/shellns/NamespaceItems.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace {

int driveRevalidationSuppressed = 0;

std::shared_ptr<TShellFolder> desktop() {
    std::shared_ptr<TShellFolder> folder;
    SHGetDesktopFolder(folder);
    return folder;
}

// The signed 16-bit code of a comparison's result.
int comparisonCode(HRESULT hr) { return static_cast<int16_t>(HRESULT_CODE(hr)); }

} // namespace

size_t PidlSize(PCItemIDList pidl) { return IdListSize(pidl); }

PItemIDList CopyPidl(TMalloc* malloc, PCItemIDList pidl) { return IdListClone(pidl, malloc); }

PItemIDList ConcatPidls(TMalloc* malloc, PCItemIDList first, PCItemIDList second) {
    return IdListCombine(first, second, malloc);
}

int ComparePidls(PCItemIDList first, PCItemIDList second) {
    // Null and empty both name the desktop.
    bool firstEmpty = IdListIsEmpty(first), secondEmpty = IdListIsEmpty(second);
    if (firstEmpty || secondEmpty)
        return firstEmpty == secondEmpty ? 0 : firstEmpty ? -1 : 1;
    std::shared_ptr<TShellFolder> folder = desktop();
    if (!folder)
        return ComparePidlsFailed;
    HRESULT hr = folder->CompareIDs(0, first, second);
    return SUCCEEDED(hr) ? comparisonCode(hr) : ComparePidlsFailed;
}

int ComparePidlBytes(PCItemIDList first, PCItemIDList second) {
    size_t size1 = PidlSize(first), size2 = PidlSize(second);
    size_t common = std::min(size1, size2);
    const uint8_t* a = IdListBytes(first);
    const uint8_t* b = IdListBytes(second);
    for (size_t i = 0; i < common; ++i)
        if (a[i] != b[i])
            return static_cast<int>(a[i]) - static_cast<int>(b[i]);
    return static_cast<int>(size1) - static_cast<int>(size2);
}

HRESULT BindToFolder(PCItemIDList pidl, std::shared_ptr<TShellFolder>& folder) {
    return BindToFolderOf(pidl, folder);
}

HRESULT PathToPidl(std::string_view path, PItemIDList& pidl) {
    pidl = nullptr;
    try {
        return SHParseDisplayName(path, &pidl);
    } catch (...) {
        return E_FAIL;
    }
}

std::string PidlToPath(PCItemIDList pidl) {
    std::string path;
    SHGetPathFromIDList(pidl, path);
    return path;
}

HRESULT SpecialFolderLocation(int csidl, PItemIDList& pidl) { return SHGetSpecialFolderLocation(csidl & 0x7F, &pidl); }

std::string SpecialFolderPath(int csidl) {
    PItemIDList pidl = nullptr;
    if (FAILED(SpecialFolderLocation(csidl, pidl)))
        return {};
    TIdListPtr owned(pidl);
    return PidlToPath(pidl);
}

int PidlToCsidl(PCItemIDList pidl) {
    for (int csidl = 0; csidl < 28; ++csidl) {
        PItemIDList location = nullptr;
        if (FAILED(SpecialFolderLocation(csidl, location)))
            continue;
        TIdListPtr owned(location);
        if (ComparePidls(location, pidl) == 0)
            return csidl;
    }
    return 28;
}

void GetDisplayName(const std::shared_ptr<TShellFolder>& folder, PCItemIDList pidl, int kind, std::string& name) {
    name.clear();
    std::shared_ptr<TShellFolder> target = folder ? folder : desktop();
    unsigned flags = kind == dnInFolder ? SHGDN_INFOLDER : kind == dnForParsing ? SHGDN_FORPARSING : SHGDN_NORMAL;
    if (!target || FAILED(target->GetDisplayNameOf(pidl, flags, name)))
        name.clear();
}

int GetShellIconIndex(PCItemIDList pidl, unsigned flags) {
    try {
        TShFileInfo info;
        return SHGetFileInfo(pidl, flags | SHGFI_PIDL | SHGFI_SYSICONINDEX, info) ? info.IconIndex : 0;
    } catch (...) {
        return 0;
    }
}

TImageList* GetSystemImageList(int size) {
    // Both overlays are put in once, before the lists are first handed
    // out: the items' overlay 0 marks a shared item, 1 a link.
    static const bool overlays = [] {
        for (bool large : {false, true}) {
            SystemImageList(large).Overlay(OverlayImageIndex(1), 0);
            SystemImageList(large).Overlay(OverlayImageIndex(2), 1);
        }
        return true;
    }();
    (void)overlays;
    return &SystemImageList(size == 1);
}

std::string AppendCharIfMissing(const std::string& s, char ch) {
    if (s.empty() || s.back() == ch)
        return s;
    return s + ch;
}

HRESULT ResolveShellLink(std::string_view fileName, TLinkData& link, bool wantPidl) {
    std::string path(fileName);
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0)
        return HResultFromErrno(errno);
    if (!S_ISLNK(info.st_mode))
        return E_INVALIDARG;
    std::string target(PATH_MAX, '\0');
    ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0)
        return HResultFromErrno(errno);
    target.resize(static_cast<size_t>(length));
    if (!target.starts_with('/'))
        target = JoinPath(ParentPathOf(path), target);
    std::string clean;
    NormalisePath(target, clean);
    link.TargetPath = clean;
    link.TargetFound = ::stat(clean.c_str(), &link.TargetInfo) == 0;
    link.Description.clear();
    link.Arguments.clear();
    link.IconLocation.clear();
    link.IconIndex = 0;
    link.WorkingDirectory = link.TargetFound && S_ISDIR(link.TargetInfo.st_mode) ? clean : ParentPathOf(clean);
    link.ShowCommand = 1;
    link.HotKey = 0;
    link.FieldsRead = 0x3F;
    link.TargetPidl.reset();
    if (wantPidl) {
        PItemIDList pidl = nullptr;
        HRESULT hr = PathToPidl(clean, pidl);
        if (FAILED(hr))
            return hr;
        link.TargetPidl.reset(pidl);
    }
    return S_OK;
}

void RevalidateDrives() {
    if (driveRevalidationSuppressed == 0)
        RevalidateMounts();
}

void SuppressDriveRevalidation() { ++driveRevalidationSuppressed; }

void AllowDriveRevalidation() {
    if (driveRevalidationSuppressed > 0)
        --driveRevalidationSuppressed;
}

std::string FormatStrPos(std::string_view format, const std::vector<std::string>& args) {
    if (format.empty())
        return {};
    if (args.size() > 50)
        throw Exception("FormatStrPos: Too many substitution strings");
    std::string result;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            result.push_back(format[i]);
            continue;
        }
        char next = format[i + 1];
        if (next == '%') {
            result.push_back('%');
            ++i;
        } else if (next >= '1' && next <= '9') {
            size_t number = static_cast<size_t>(next - '0');
            size_t digits = 1;
            if (i + 2 < format.size() && format[i + 2] >= '0' && format[i + 2] <= '9') {
                number = number * 10 + static_cast<size_t>(format[i + 2] - '0');
                digits = 2;
            }
            if (number <= args.size())
                result += args[number - 1];
            i += digits;
        } else {
            result.push_back('%');
        }
    }
    return result;
}

void NextMbcsChar(size_t& index, std::string_view s, std::string& out) {
    if (index >= s.size())
        return;
    size_t length = 1;
    auto lead = static_cast<uint8_t>(s[index]);
    size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
    if (expected > 1 && index + expected <= s.size() && IsValidUtf8(s.substr(index, expected)))
        length = expected;
    out.append(s.substr(index, length));
    index += length;
}

// --- TPTIdListArray ------------------------------------------------------------------

int TPTIdListArray::Count() const { return IdListItemCount(pidl_); }

PCItemIDList TPTIdListArray::Item(int index) {
    int count = Count();
    if (pidl_ == nullptr || index < 0 || (count > 0 && index >= count))
        throw Exception(FormatMessageText("TPTIdListArray - index %d out of range", index));
    scratch_.reset(IdListCloneItem(pidl_, index));
    return scratch_.get();
}

PCItemIDList TPTIdListArray::Ancestor(int levels) {
    int count = Count();
    if (pidl_ == nullptr || levels < 0 || levels > count) {
        scratch_.reset();
        return nullptr;
    }
    scratch_.reset(IdListCloneFirst(pidl_, count - levels));
    return scratch_.get();
}

// --- TPTPidlList ---------------------------------------------------------------------

TPTPidlList::~TPTPidlList() { Clear(); }

void TPTPidlList::SetCapacity(int capacity) {
    if (capacity > Count())
        entries_.reserve(static_cast<size_t>(capacity));
}

PItemIDList TPTPidlList::Pidls(int index) const {
    if (index < 0 || index >= Count())
        throw EListError();
    return entries_[static_cast<size_t>(index)].Pidl;
}

void* TPTPidlList::Objects(int index) const {
    if (index < 0 || index >= Count())
        throw EListError();
    return entries_[static_cast<size_t>(index)].Object;
}

int TPTPidlList::compare(PCItemIDList a, PCItemIDList b) const {
    if (Folder) {
        HRESULT hr = Folder->CompareIDs(0, a, b);
        if (SUCCEEDED(hr))
            return comparisonCode(hr);
    }
    return ComparePidlBytes(a, b);
}

void TPTPidlList::SetSorted(bool sorted) {
    if (sorted && !sorted_)
        std::stable_sort(entries_.begin(), entries_.end(),
                         [&](const TEntry& a, const TEntry& b) { return compare(a.Pidl, b.Pidl) < 0; });
    sorted_ = sorted;
}

bool TPTPidlList::Find(PCItemIDList pidl, int& index) const {
    bool found = false;
    int low = 0, high = Count() - 1;
    while (low <= high) {
        int middle = (low + high) / 2;
        int order = compare(entries_[static_cast<size_t>(middle)].Pidl, pidl);
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (order == 0) {
                found = true;
                if (Duplicates != dupAccept)
                    low = middle;
            }
        }
    }
    index = low;
    return found;
}

int TPTPidlList::IndexOf(PCItemIDList pidl) const {
    if (sorted_) {
        int index;
        return Find(pidl, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (compare(entries_[static_cast<size_t>(i)].Pidl, pidl) == 0)
            return i;
    return -1;
}

int TPTPidlList::AddObject(PItemIDList pidl, void* object) {
    int index = Count();
    if (sorted_) {
        if (Find(pidl, index)) {
            if (Duplicates == dupIgnore)
                return index;
            if (Duplicates == dupError)
                throw Exception("TPTPidlList: Duplicate PIDL");
        }
    }
    entries_.insert(entries_.begin() + index, TEntry{pidl, object});
    return index;
}

void TPTPidlList::Delete(int index) {
    if (index < 0 || index >= Count())
        throw EListError();
    if (Malloc != nullptr && entries_[static_cast<size_t>(index)].Pidl != nullptr)
        Malloc->Free(entries_[static_cast<size_t>(index)].Pidl);
    entries_.erase(entries_.begin() + index);
}

void TPTPidlList::Clear() {
    if (Malloc != nullptr)
        for (TEntry& entry : entries_)
            if (entry.Pidl != nullptr)
                Malloc->Free(entry.Pidl);
    entries_.clear();
}
