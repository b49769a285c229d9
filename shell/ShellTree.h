#pragma once
// The shell tree: a tree view of the shell namespace with one root node
// for a base folder (the desktop unless BaseFolder says otherwise) and a
// node per child folder (optionally per file) below it, filled when a node
// is first opened.  It keeps itself current (change notices of the folders
// it shows, drives arriving and leaving), drives a linked shell list so
// that the list shows the selected folder, and offers the shell's context
// menus, the default keys, renaming in place and drag and drop.
//
// The application calls SelectPath (the folder restored at start) and
// GetSelectedPath (the folder saved on close).

#include "shell/ChangeHandlerThread.h"
#include "shell/RefreshDeadline.h"
#include "shell/PTTreeView.h"
#include "shell/ShellTreeModel.h"
#include "shell/ShellContextMenus.h"
#include "shell/ShellControlSupport.h"
#include "shell/ShellLocator.h"

#include <memory>
#include <string>
#include <vector>

class TPTCustomShellList;

// The private messages of the shell controls.
enum : unsigned {
    CM_SHELLCHANGENOTICE = 0x0465, // a change thread's notice (WParam: the watch)
    CM_SHELLFIRSTFILL = 0x0467,    // the first fill once the window exists
    CM_SHELLHELDBACK = 0x0468,     // an in-place edit ended: what it held back runs
};

using TPTShAddItemEvent =
    std::function<void(TPersistent* sender, const std::shared_ptr<TShellFolder>& parentFolder, PCItemIDList parentAbsolute,
                       PCItemIDList itemRelative, uint32_t attributes, bool& allowAdd)>;
using TPTShTreeDeleteItemEvent = std::function<void(TPersistent* sender, TTreeNode* node, TPTShTreeData* data)>;
using TPTShTreeInsertItemEvent = std::function<void(TPersistent* sender, TTreeNode* node)>;
using TPTShTvCustomDrawEvent =
    std::function<void(TPersistent* sender, TPTCustomDraw& draw, TTreeNode* node, TPTShTreeData* data)>;

// A rename's own change notice: the names it touched in one folder, for a
// short while after it.  A notice that names only those is skipped; any
// other (or one whose names are not known) is not.
struct TPTRenameEcho {
    std::string Folder;
    std::vector<std::string> Names;
    uint32_t Tick = 0;
    static constexpr uint32_t Lifetime = 2000;
    void Set(std::string folder, std::vector<std::string> names);
    // True when a notice of folder naming these names is the rename's own
    // (the echo lasts its lifetime: the notices may come in parts).
    bool Swallows(const std::string& folder, bool namesKnown, const std::vector<std::string>& names);
};

class TPTCustomShellTree : public TPTCustomTreeView {
public:
    explicit TPTCustomShellTree(TComponent* owner = nullptr);
    ~TPTCustomShellTree() override;
    std::string ClassName() const override { return "TPTCustomShellTree"; }

    // --- what is shown ----------------------------------------------------------------
    TPTShellLocator& BaseFolder() { return baseFolder_; }
    // Assigned (ignored while loading); the tree fills anew.
    void SetBaseFolder(const TPTShellLocator& folder);
    TPTShellLocator& SelectedFolder() { return selectedFolder_; }
    // Selects that folder (or, while selection changes are held back,
    // hands the tree's own selected folder to the linked list).
    void SetSelectedFolder(const TPTShellLocator& folder);
    TPTCustomShellList* ShellList() const { return shellList_; }
    void SetShellList(TPTCustomShellList* list);
    TPTShellTreeOptions Options() const { return Model().Options; }
    void SetOptions(TPTShellTreeOptions options);
    bool HasOption(TPTShellTreeOption option) const { return Model().HasOption(option); }

    // The selected folder's file-system path; empty when nothing is
    // selected or the folder has none (the desktop, Computer).
    std::string GetSelectedPath();
    // Selects and opens the folder of a path (the desktop for a path that
    // does not parse); nothing while selection changes are held back.
    void SelectPath(const std::string& path);

    // --- filling and following ----------------------------------------------------------
    void Fill();
    // Brings the opened folders up to date (Fill when empty).
    void Refresh();
    void SelectPidl(PCItemIDList absolute);
    void SelectParent(int levels);
    // Runs pending timer work now (the linked list's first with syncLinked).
    void FlushPendingSync(bool syncLinked);

    // --- commands ---------------------------------------------------------------------
    void ShowNodeContextMenu(TTreeNode* node, TPoint point);
    // The verb of a node's context menu; S_FALSE for the root and nodes
    // that are not the shell's.
    HRESULT InvokeVerb(TTreeNode* node, const std::string& verb);
    // A new folder in the selected one, whose name is then edited.
    bool CreateFolder();
    void SendToTarget(TTreeNode* node, int index);
    // Drags the drag node out.
    void BeginOleDrag(bool rightButton);
    // The drop effects a node allows (copy, move, link).
    uint32_t GetNodeEffects(TTreeNode* node);

    // --- drops (called by the tree's drop target; points on the screen) --------------
    virtual HRESULT DragEnter(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint point, uint32_t& effect);
    virtual HRESULT DragOver(uint32_t keys, TPoint point, uint32_t& effect);
    virtual HRESULT DragLeave();
    virtual HRESULT Drop(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint point, uint32_t& effect);

    virtual bool AllowAddItem(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parentAbsolute,
                              uint32_t attributes, PCItemIDList relative);
    virtual void DeviceChanged(TMessage& message);
    virtual void FillChildren(const std::shared_ptr<TShellFolder>& folder, TTreeNode* parent);

    TPTShellTreeModel& Model() { return model_; }
    const TPTShellTreeModel& Model() const { return model_; }
    // Renames a node in place (false when it may not be renamed or the
    // tree has no window to edit in).
    bool EditLabel(TTreeNode* node) { return node != nullptr && node->EditText(); }

    // State tests look at.
    bool Busy() const { return busy_; }
    bool RefreshPending() const { return refreshPending_; }
    // What the timer will do, bits: 1 selection sync, 2 refresh.
    int PendingJob() const { return pendingJob_; }
    TChangeHandlerThread* ChangeThread() const { return changeThread_.get(); }
    // The folders watched for changes by other programs: every folder the
    // tree shows, and every folder a refresh looks at.
    std::vector<std::string> WatchedFolders() const;
    // The nodes shown on screen, top to bottom (none without a window).
    std::vector<TTreeNode*> RowsOnScreen() const;

    TPTShAddItemEvent OnAddItem;
    TPTShTreeDeleteItemEvent OnDeleteItem;
    TPTShTreeInsertItemEvent OnInsertItem;
    TPTShPopupHintEvent OnPopupHint;
    TPTShTvCustomDrawEvent OnCustomDrawSh;   // item stages
    TPTShTvCustomDrawEvent OnCustomDrawShEx; // every stage
    TNotifyEvent OnFillStart;
    TNotifyEvent OnFillComplete;

    void Loaded() override;

protected:
    // The drag of controls onto controls keeps its name beside the drops above.
    using TControl::DragOver;
    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* component, TOperation operation) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    // The tree handles this key itself (its default commands).
    bool ownsKey(TShortCut key) const;

public:
    void Change(TTreeNode* node) override;
    bool CanExpand(TTreeNode* node) override;
    void Expand(TTreeNode* node) override;
    void Collapse(TTreeNode* node) override;
    bool CanEdit(TTreeNode* node) override;
    void Edit(TTreeNode* node, std::string& text) override;
    void EditEnded() override;
    void Delete(TTreeNode* node) override;
    void GetImageIndex(TTreeNode* node) override;
    void GetSelectedIndex(TTreeNode* node) override;
    bool WantsItemDraw() const override { return OnCustomDrawSh || OnCustomDrawShEx; }

protected:
    void NodeContextMenu(TTreeNode* node, TPoint point) override;
    void NodeDragStart(TTreeNode* node, bool rightButton) override;
    void CustomDrawItem(TPTCustomDraw& draw, TTreeNode* node) override;

private:
    friend class TPTCustomShellList;
    void baseFolderChanged();
    void selectedFolderChanged();
    void syncSelection(TTreeNode* node);
    // A left press ended without a drag (the list follows its choice), or
    // became a drag (the choice is taken back).
    void pressEnded();
    void pressBecameDrag();
    void startTimer(int job, unsigned interval);
    void timerFired();
    void changeNotice(int slot);
    void watchFolders();
    bool watching() const;
    uint32_t watchFilter() const;
    void watchBeforeRead(const std::string& path);
    void watchAgain();
    void registerDropTarget(bool on);
    void afterBusy();
    void mouseWheel(TMessage& message);
    void rewatch();
    // Scrolls so that the first of rows still in the tree (rows hold
    // nullptr for nodes that went) is again where it was among them.
    void keepRowsOnScreen(const std::vector<TTreeNode*>& rows);
    void setDropHighlight(TTreeNode* node);
    std::shared_ptr<TDropTarget> dropTargetAt(TPoint screen, TTreeNode*& node);

    TPTShellTreeModel model_;
    TPTShellLocator baseFolder_;
    TPTShellLocator selectedFolder_;
    TPTCustomShellList* shellList_ = nullptr;
    int nesting_ = 0;
    int clickFlag_ = 0; // -1: the next selection change syncs at once
    // A left press is down; the selection it made waits for its end.
    bool pressing_ = false;
    bool heldSync_ = false;
    bool busy_ = false;
    bool refreshPending_ = false;
    bool fillPending_ = false; // what is held back is a fill (the base folder changed)
    int expansionLock_ = 0;
    int pendingJob_ = 0;
    TRefreshDeadline refreshDeadline_;
    TPTRenameEcho renameEcho_;
    std::unique_ptr<TChangeHandlerThread> changeThread_;
    int watchSlot_ = -1; // the change thread's slot serving every watched folder
    // The rows on screen while a refresh runs; a node that goes is nullptr.
    std::vector<TTreeNode*> rowsOnScreen_;
    std::shared_ptr<TDropTarget> dropTarget_;
    std::shared_ptr<TContextMenu> trackedMenu_;
    // Dragging out and in.
    TTreeNode* dragNode_ = nullptr;
    TTreeNode* dropHighlight_ = nullptr;
    std::shared_ptr<TDataObject> incoming_;
    uint32_t incomingKeys_ = 0;
    uint32_t lastScrollTick_ = 0;
};

class TPTShellTree : public TPTCustomShellTree {
public:
    using TPTCustomShellTree::TPTCustomShellTree;
    std::string ClassName() const override { return "TPTShellTree"; }
};

using TDropTarget_shtv = TPTForwardingDropTarget<TPTCustomShellTree>;
