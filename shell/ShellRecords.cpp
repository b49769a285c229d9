#include "shell/ShellRecords.h"

#include "platform/shellns/FileNames.h"
#include "platform/shellns/MountTable.h"
#include "shell/ShellOps.h"
#include "shell/ShellUtils.h"

#include <sys/stat.h>

namespace {
constexpr uint32_t kRenameQuery = 0x40000177;
constexpr uint32_t kRowAttributes = 0xF00F0037;
} // namespace

// ---------------------------------------------------------------------------
// TPTShTreeData

void TPTShTreeData::SetPidls(TPTShTreeData* parentRecord, PCItemIDList relative) {
    parent_ = parentRecord;
    relative_.reset(relative != nullptr ? CopyPidl(nullptr, relative) : nullptr);
    absolute_.reset();
    absoluteBuilt_ = false;
}

PCItemIDList TPTShTreeData::GetAbsolutePidl() {
    if (!absoluteBuilt_) {
        if (parent_ != nullptr)
            absolute_.reset(ConcatPidls(nullptr, parent_->GetAbsolutePidl(), relative_.get()));
        else
            absolute_.reset(relative_ != nullptr ? CopyPidl(nullptr, relative_.get()) : nullptr);
        absoluteBuilt_ = true;
    }
    return absolute_.get();
}

std::shared_ptr<TShellFolder> TPTShTreeData::GetParentFolder() {
    if (parent_ != nullptr)
        return parent_->GetFolder();
    TIdListPtr parentPidl, last;
    rootParentFolder_.reset();
    BindParentOf(GetAbsolutePidl(), rootParentFolder_, parentPidl, last);
    return rootParentFolder_;
}

std::shared_ptr<TShellFolder> TPTShTreeData::GetFolder() {
    if (ownFolder_)
        return ownFolder_;
    PCItemIDList absolute = GetAbsolutePidl();
    std::shared_ptr<TShellFolder> folder;
    if (IdListIsEmpty(absolute)) {
        HRESULT hr = SHGetDesktopFolder(folder);
        if (FAILED(hr))
            RaiseComError(hr);
        return folder;
    }
    if (parent_ == nullptr) {
        // The root's list is absolute: bound from the desktop.
        BindToFolder(absolute, folder);
        return folder;
    }
    std::shared_ptr<TShellFolder> parentFolder = GetParentFolder();
    if (!parentFolder || FAILED(parentFolder->BindToObject(relative_.get(), folder)))
        return nullptr;
    return folder;
}

std::string TPTShTreeData::GetPath() { return PidlToPath(GetAbsolutePidl()); }

bool TPTShTreeData::CanRename() {
    if (IdListIsEmpty(GetAbsolutePidl()) || parent_ == nullptr)
        return false;
    std::shared_ptr<TShellFolder> folder = GetParentFolder();
    if (!folder)
        return false;
    PCItemIDList item = relative_.get();
    uint32_t attributes = kRenameQuery;
    if (FAILED(folder->GetAttributesOf(1, &item, attributes)))
        return false;
    return (attributes & SFGAO_CANRENAME) != 0;
}

HRESULT TPTShTreeData::GetDropTarget(std::shared_ptr<TDropTarget>& target) {
    target.reset();
    std::shared_ptr<TUnknown> object;
    HRESULT hr;
    if (parent_ != nullptr) {
        std::shared_ptr<TShellFolder> folder = GetParentFolder();
        if (!folder)
            return E_FAIL;
        PCItemIDList item = relative_.get();
        hr = folder->GetUIObjectOf(1, &item, TShellInterface::DropTarget, object);
    } else if (IdListIsEmpty(GetAbsolutePidl())) {
        return GetDesktopDropTarget(target);
    } else {
        hr = GetUIObjectOfPidl(GetAbsolutePidl(), TShellInterface::DropTarget, object);
    }
    if (FAILED(hr))
        return hr;
    target = std::dynamic_pointer_cast<TDropTarget>(object);
    return target ? S_OK : E_NOINTERFACE;
}

void TPTShTreeData::Rename(PCItemIDList newRelative) {
    ownFolder_.reset();
    relative_.reset(CopyPidl(nullptr, newRelative));
    absolute_.reset();
    absoluteBuilt_ = false;
    GetAbsolutePidl();
}

void TPTShTreeData::Invalidate() {
    absolute_.reset();
    absoluteBuilt_ = false;
    ownFolder_.reset();
}

// ---------------------------------------------------------------------------
// TPTShListData

void TPTShListData::SetRelativePidl(PItemIDList pidl) {
    relative_.reset(pidl);
    Invalidate();
}

void TPTShListData::Invalidate() {
    absolute_.reset();
    displayName_.clear();
    hasDisplayName_ = false;
    detailsComputed_ = false;
    sortKey_.Reset();
}

PCItemIDList TPTShListData::GetAbsolutePidl() {
    if (!absolute_)
        absolute_.reset(ConcatPidls(nullptr, list_->ListFolderPidl(), relative_.get()));
    return absolute_.get();
}

std::string TPTShListData::GetPath() { return PidlToPath(GetAbsolutePidl()); }

std::string TPTShListData::GetFileName() {
    std::string path = GetPath();
    if (path.empty() || path == "/")
        return {};
    return std::string(FileNameOf(path));
}

bool TPTShListData::IsLink() {
    std::string path = GetPath();
    struct stat info;
    return !path.empty() && ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

uint32_t TPTShListData::GetAttributes() {
    std::shared_ptr<TShellFolder> folder = list_->ListFolder();
    if (!folder)
        return 0;
    uint32_t attributes = kRowAttributes;
    std::string path = GetPath();
    if (!path.empty() && !IsLongPath(path) && DriveTypeOfMountPoint(path) == DRIVE_REMOVABLE)
        attributes &= ~SFGAO_READONLY;
    PCItemIDList item = relative_.get();
    if (FAILED(folder->GetAttributesOf(1, &item, attributes)))
        return 0;
    return attributes;
}

const std::string& TPTShListData::GetDisplayName() {
    if (!hasDisplayName_) {
        TShFileInfo info;
        if (SHGetFileInfo(GetAbsolutePidl(), SHGFI_PIDL | SHGFI_DISPLAYNAME, info))
            displayName_ = info.DisplayName;
        hasDisplayName_ = true;
    }
    return displayName_;
}

std::string TPTShListData::GetColumnText(int column) {
    if (column <= 0)
        return {};
    if (std::shared_ptr<TShellDetailsProvider> provider = list_->ListDetailsProvider()) {
        TShellDetails details;
        if (FAILED(provider->GetDetailsOf(relative_.get(), static_cast<unsigned>(column), details)))
            return {};
        return details.Text;
    }
    if (!detailsComputed_) {
        TPTRowTexts texts = ItemRowTexts(GetAbsolutePidl(), GetAttributes());
        size_ = std::move(texts.Size);
        type_ = std::move(texts.Type);
        modified_ = std::move(texts.Modified);
        detailsComputed_ = true;
    }
    switch (column) {
    case 1: return size_;
    case 2: return type_;
    case 3: return modified_;
    default: return {};
    }
}
