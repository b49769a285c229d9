#pragma once
// The records the shell tree hangs on each node (TPTShTreeData) and the
// shell list on each row (TPTShListData).  A record holds the item's lists
// and works out, lazily, what the controls and the application ask of the
// item: its absolute list, its folders, its path, file name and row texts.

#include "platform/shellns/ItemIdList.h"
#include "platform/shellns/ShellFolder.h"

#include <memory>
#include <string>

class TComponent;

class TPTShTreeData {
public:
    // tree: the owning tree (not owned).
    explicit TPTShTreeData(TComponent* tree) : tree_(tree) {}
    ~TPTShTreeData() = default;
    TPTShTreeData(const TPTShTreeData&) = delete;
    TPTShTreeData& operator=(const TPTShTreeData&) = delete;

    TComponent* Tree() const { return tree_; }
    // The record of the parent node; nullptr for the root (and for a node
    // below a node of someone else's).
    TPTShTreeData* ParentRecord() const { return parent_; }
    // The item's list in its parent folder; for the root, the base
    // folder's absolute list (null for the desktop).
    PCItemIDList RelativePidl() const { return relative_.get(); }

    // parentRecord may be null; relative is copied.
    void SetPidls(TPTShTreeData* parentRecord, PCItemIDList relative);
    // The root's folder, kept by the record (the others bind on request).
    void SetOwnFolder(std::shared_ptr<TShellFolder> folder) { ownFolder_ = std::move(folder); }

    // Built on first use and kept.
    PCItemIDList GetAbsolutePidl();
    // The folder that holds the item.
    std::shared_ptr<TShellFolder> GetParentFolder();
    // The item as a folder; null when it cannot be bound.  Raises the
    // system's text when even the desktop cannot be had.
    std::shared_ptr<TShellFolder> GetFolder();
    // Empty for an item without a file-system path.
    std::string GetPath();
    // False for the desktop and the root; else the item's own answer.
    bool CanRename();
    HRESULT GetDropTarget(std::shared_ptr<TDropTarget>& target);
    // The item was renamed: it takes the new list (copied) and rebuilds
    // its absolute list at once.
    void Rename(PCItemIDList newRelative);
    // Drops what is built from the parent's lists (after a rename above).
    void Invalidate();

private:
    TComponent* tree_;
    TPTShTreeData* parent_ = nullptr;
    TIdListPtr relative_;
    TIdListPtr absolute_;
    bool absoluteBuilt_ = false;
    std::shared_ptr<TShellFolder> ownFolder_;
    std::shared_ptr<TShellFolder> rootParentFolder_;
};

// What a row's record asks of its list.
class TPTShellListContext {
public:
    virtual ~TPTShellListContext() = default;
    // The shown folder's absolute list and folder.
    virtual PCItemIDList ListFolderPidl() = 0;
    virtual std::shared_ptr<TShellFolder> ListFolder() = 0;
    // The folder's column provider, or null (the built-in columns).
    virtual std::shared_ptr<TShellDetailsProvider> ListDetailsProvider() = 0;
};

class TPTShListData {
public:
    explicit TPTShListData(TPTShellListContext* list) : list_(list) {}
    ~TPTShListData() = default;
    TPTShListData(const TPTShListData&) = delete;
    TPTShListData& operator=(const TPTShListData&) = delete;

    PCItemIDList RelativePidl() const { return relative_.get(); }
    // Takes ownership of the list and forgets what was built from the old.
    void SetRelativePidl(PItemIDList pidl);

    PCItemIDList GetAbsolutePidl();
    // The item's file-system path; empty for an item without one.
    std::string GetPath();
    // The name part of the path (after the last "/"); empty without a path
    // and for the root folder "/".
    std::string GetFileName();
    // A symbolic link (the link itself, not its target).
    bool IsLink();
    // The item's attributes in the list's folder.  The read-only state of
    // the root of a removable drive is not asked, so the drive is not
    // touched.
    uint32_t GetAttributes();
    bool IsFolder() { return (GetAttributes() & SFGAO_FOLDER) != 0; }
    bool CanRename() { return (GetAttributes() & SFGAO_CANRENAME) != 0; }
    // The display name (display text), kept after the first use.
    const std::string& GetDisplayName();
    // Column 0 is empty (the row's own caption); the others from the
    // folder's column provider, or size, type and modified.
    std::string GetColumnText(int column);
    // What sorting the row compares, read once and kept (SortKey.h).
    TShellSortKey& SortKey() { return sortKey_; }
    // Forgets what was read of the item (it may have changed).
    void Invalidate();

private:
    TPTShellListContext* list_;
    TIdListPtr relative_;
    TIdListPtr absolute_;
    std::string displayName_;
    bool hasDisplayName_ = false;
    bool detailsComputed_ = false;
    std::string size_, type_, modified_;
    TShellSortKey sortKey_;
};
