#include "shell/ShellTree.h"

#include "platform/shellns/DragDrop.h"
#include "platform/shellns/FileNames.h"
#include "platform/shellns/MountTable.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/TickSource.h"
#include "shell/DeviceChangeHandler.h"
#include "shell/ShellConsts.h"
#include "shell/ShellControlSupport.h"
#include "shell/ShellItemsDataObject.h"
#include "shell/ShellList.h"
#include "shell/ShellOps.h"
#include "shell/ShellScopes.h"
#include "shell/ShellUtils.h"

#include <algorithm>
#include <utility>

namespace {

constexpr uintptr_t kTimerId = 1;
constexpr int kSelectionSync = 1;
constexpr int kRefresh = 2;
constexpr uint32_t kDropEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

void invalidateBelow(const TPTShellTreeModel& model, TTreeNode* node) {
    for (int i = 0; i < node->Count(); ++i) {
        if (TPTShTreeData* data = model.RecordOf(node->Item(i)))
            data->Invalidate();
        invalidateBelow(model, node->Item(i));
    }
}

// The row shown just above a shown node (nullptr above the first).
TTreeNode* rowAbove(TTreeNode* node) {
    TTreeNode* above = node->GetPrevSibling();
    if (above == nullptr)
        return node->Parent();
    while (above->Expanded() && above->Count() > 0)
        above = above->GetLastChild();
    return above;
}

// Folders on drives that are watched: not removable media.
bool watchableFolder(const std::string& path) {
    unsigned type = MountOfPath(path).DriveType;
    return type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_RAMDISK;
}

} // namespace

// ---------------------------------------------------------------------------
// TPTRenameEcho

void TPTRenameEcho::Set(std::string folder, std::vector<std::string> names) {
    Folder = std::move(folder);
    Names = std::move(names);
    Tick = GetTickCount();
}

bool TPTRenameEcho::Swallows(const std::string& folder, bool namesKnown, const std::vector<std::string>& names) {
    if (Folder.empty())
        return false;
    bool fresh = GetTickCount() - Tick < Lifetime;
    bool own = fresh && namesKnown && folder == Folder && !names.empty() &&
               std::all_of(names.begin(), names.end(), [&](const std::string& name) {
                   return std::find(Names.begin(), Names.end(), name) != Names.end();
               });
    if (!fresh)
        Folder.clear(); // the rename's own notices come in one or two parts, soon
    return own;
}

// ---------------------------------------------------------------------------
// TPTCustomShellTree

TPTCustomShellTree::TPTCustomShellTree(TComponent* owner) : TPTCustomTreeView(owner), model_(*this) {
    SetShowRoot(false);
    SetImages(GetSystemImageList(0));
    baseFolder_.OnChange = [this](TPersistent*) { baseFolderChanged(); };
    selectedFolder_.OnChange = [this](TPersistent*) { selectedFolderChanged(); };
    TPTShellTreeModel& model = Model();
    model.Options = DefaultShellTreeOptions;
    model.AllowAddItem = [this](const std::shared_ptr<TShellFolder>& folder, PCItemIDList parentAbsolute,
                                uint32_t attributes, PCItemIDList relative) {
        return AllowAddItem(folder, parentAbsolute, attributes, relative);
    };
    model.OnInsertItem = [this](TTreeNode* node) {
        if (OnInsertItem)
            OnInsertItem(this, node);
    };
    model.OnDeleteItem = [this](TTreeNode* node, TPTShTreeData* data) {
        if (node == dragNode_)
            dragNode_ = nullptr;
        if (node == dropHighlight_)
            dropHighlight_ = nullptr;
        if (OnDeleteItem)
            OnDeleteItem(this, node, data);
    };
    model.OnFillStart = [this] {
        if (OnFillStart)
            OnFillStart(this);
    };
    model.OnFillComplete = [this] {
        if (OnFillComplete)
            OnFillComplete(this);
    };
    model.BeforeRead = [this](const std::string& path) { watchBeforeRead(path); };
    DeviceChangeHandler().Subscribe(this, [this](TPTDeviceChangeHandler&, TMessage& message) { DeviceChanged(message); });
}

TPTCustomShellTree::~TPTCustomShellTree() {
    Destroying();
    DeviceChangeHandler().Unsubscribe(this);
    KillTimer(this, kTimerId);
    if (shellList_ != nullptr)
        shellList_->SetLinkedTree(nullptr);
    registerDropTarget(false);
    changeThread_.reset();
    // The nodes go while their records' keeper is still there.
    Model().OnDeleteItem = nullptr;
    Items().Clear();
}

// --- properties ----------------------------------------------------------------------------

void TPTCustomShellTree::SetBaseFolder(const TPTShellLocator& folder) {
    if (!IsLoading())
        baseFolder_.Assign(&folder);
}

void TPTCustomShellTree::SetSelectedFolder(const TPTShellLocator& folder) {
    if (!IsLoading() && nesting_ <= 0)
        selectedFolder_.Assign(&folder);
    else if (shellList_ != nullptr)
        shellList_->SetFolder(selectedFolder_);
}

void TPTCustomShellTree::SetShellList(TPTCustomShellList* list) {
    if (list == shellList_)
        return;
    if (shellList_ != nullptr) {
        shellList_->SetLinkedTree(nullptr);
        shellList_->RemoveFreeNotification(this);
    }
    shellList_ = list;
    if (list != nullptr) {
        list->SetLinkedTree(this);
        list->FreeNotification(this);
        list->SetFolder(selectedFolder_);
    }
}

void TPTCustomShellTree::Notification(TComponent* component, TOperation operation) {
    TPTCustomTreeView::Notification(component, operation);
    if (operation == opRemove && component == shellList_)
        shellList_ = nullptr;
}

void TPTCustomShellTree::SetOptions(TPTShellTreeOptions options) {
    TPTShellTreeOptions old = Model().Options;
    Model().Options = options;
    if (!HandleAllocated())
        return;
    auto changed = [&](TPTShellTreeOption option) { return ((old ^ options) & TreeOption(option)) != 0; };
    if (changed(ptstoOleDrop))
        registerDropTarget(HasOption(ptstoOleDrop));
    if (changed(ptstoDynamicRefresh) && !(ComponentState() & csDesigning)) {
        if (HasOption(ptstoDynamicRefresh))
            watchAgain();
        else if (changeThread_)
            changeThread_->ClearWatches();
    }
}

std::string TPTCustomShellTree::GetSelectedPath() {
    TPTShTreeData* record = Model().RecordOf(Selected());
    return record != nullptr ? record->GetPath() : std::string();
}

void TPTCustomShellTree::SelectPath(const std::string& path) {
    if (nesting_ <= 0)
        selectedFolder_.SetPath(path);
}

// --- filling -------------------------------------------------------------------------------

bool TPTCustomShellTree::AllowAddItem(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parentAbsolute,
                                      uint32_t attributes, PCItemIDList relative) {
    bool allow = true;
    if (OnAddItem)
        OnAddItem(this, folder, parentAbsolute, relative, attributes, allow);
    return allow;
}

void TPTCustomShellTree::FillChildren(const std::shared_ptr<TShellFolder>& folder, TTreeNode* parent) {
    if (parent == nullptr)
        Model().FillRoot(baseFolder_.GetPidl());
    else
        Model().FillChildren(folder, parent);
}

void TPTCustomShellTree::Fill() {
    if (busy_ || IsEditing()) {
        refreshPending_ = true;
        fillPending_ = true;
        return;
    }
    fillPending_ = false;
    THourglassScope hourglass;
    {
        TRaisedScope raised(nesting_);
        SetSelected(nullptr);
        Items().Clear();
    }
    // Each folder the fill reads is watched just before it is read (the
    // model tells watchBeforeRead); afterwards the watch is narrowed to the
    // folders shown.
    if (watching() && !changeThread_)
        changeThread_ = std::make_unique<TChangeHandlerThread>(this, CM_SHELLCHANGENOTICE);
    FillChildren(nullptr, nullptr);
    clickFlag_ = -1;
    if (selectedFolder_.GetPidl() == nullptr)
        SetSelected(Model().Root());
    else
        SelectPidl(selectedFolder_.GetPidl());
    FlushPendingSync(false);
    rewatch();
}

void TPTCustomShellTree::Refresh() {
    if (busy_ || IsEditing()) {
        refreshPending_ = true;
        return;
    }
    if (Model().Empty()) {
        Fill();
        return;
    }
    THourglassScope hourglass;
    if (OnFillStart)
        OnFillStart(this);
    TTreeNode* remembered = Selected();
    // The rows on screen stay where they are: the user may be about to
    // click or drag one of them.  Delete forgets the ones that go.
    rowsOnScreen_ = RowsOnScreen();
    {
        TRaisedScope raised(nesting_);
        SetSelected(nullptr);
        Model().RefreshNode(Model().Root(), remembered);
    }
    clickFlag_ = -1;
    SetSelected(remembered);
    keepRowsOnScreen(std::exchange(rowsOnScreen_, {}));
    rewatch();
    if (OnFillComplete)
        OnFillComplete(this);
}

std::vector<TTreeNode*> TPTCustomShellTree::RowsOnScreen() const {
    std::vector<TTreeNode*> rows;
    for (TTreeNode* node = TopItem(); node != nullptr; node = node->GetNextVisible()) {
        const TRect shown = node->DisplayRect(false);
        if (shown.Bottom <= shown.Top || shown.Top >= ClientHeight())
            break;
        rows.push_back(node);
    }
    return rows;
}

void TPTCustomShellTree::keepRowsOnScreen(const std::vector<TTreeNode*>& rows) {
    // The first row still there (the top one unless it went) keeps its
    // place on screen: the row that many rows above it comes to the top.
    for (size_t place = 0; place < rows.size(); ++place) {
        TTreeNode* top = rows[place];
        if (top == nullptr)
            continue;
        for (size_t above = place; above > 0 && top != nullptr; --above)
            top = rowAbove(top);
        SetTopItem(top);
        return;
    }
}

bool TPTCustomShellTree::CanExpand(TTreeNode* node) {
    if (expansionLock_ != 0)
        return false;
    if (!TPTCustomTreeView::CanExpand(node))
        return false;
    if (Model().RecordOf(node) != nullptr && node->Count() == 0 && node->HasChildren()) {
        THourglassScope hourglass;
        Model().PopulateNode(node);
    }
    return true;
}

void TPTCustomShellTree::Expand(TTreeNode* node) {
    TPTCustomTreeView::Expand(node);
    rewatch();
}

void TPTCustomShellTree::Collapse(TTreeNode* node) {
    TPTCustomTreeView::Collapse(node);
    rewatch();
}

void TPTCustomShellTree::rewatch() {
    // The folders shown are watched: opened folders from now on.
    if (changeThread_ && watching())
        watchFolders();
}

void TPTCustomShellTree::Delete(TTreeNode* node) {
    std::replace(rowsOnScreen_.begin(), rowsOnScreen_.end(), node, static_cast<TTreeNode*>(nullptr));
    if (node == dragNode_)
        dragNode_ = nullptr;
    if (node == dropHighlight_)
        dropHighlight_ = nullptr;
    TPTCustomTreeView::Delete(node);
    Model().NodeDeleting(node);
}

void TPTCustomShellTree::GetImageIndex(TTreeNode* node) {
    Model().ImageIndexOf(node);
    TPTCustomTreeView::GetImageIndex(node);
}

void TPTCustomShellTree::GetSelectedIndex(TTreeNode* node) {
    Model().SelectedIndexOf(node);
    TPTCustomTreeView::GetSelectedIndex(node);
}

// --- selection -------------------------------------------------------------------------------

void TPTCustomShellTree::SelectPidl(PCItemIDList absolute) {
    if (nesting_ > 0)
        return;
    clickFlag_ = -1;
    bool beep = false;
    bool expandLast = shellList_ != nullptr && shellList_->HasOption(ptsloHideFoldersWhenLinkedToTree);
    TTreeNode* node = Model().FindPidl(baseFolder_.GetPidl(), absolute, expandLast, beep);
    if (node == nullptr)
        return;
    if (node == Selected())
        syncSelection(node); // the folder asked for may differ from where the tree stopped
    SetSelected(node);
    node->MakeVisible();
}

void TPTCustomShellTree::SelectParent(int levels) {
    TTreeNode* node = Selected();
    if (node == nullptr || node->Parent() == nullptr)
        return;
    for (; levels > 0 && node->Parent() != nullptr; --levels)
        node = node->Parent();
    clickFlag_ = -1;
    SetSelected(node);
    node->MakeVisible();
}

void TPTCustomShellTree::syncSelection(TTreeNode* node) {
    TPTShTreeData* record = Model().RecordOf(node);
    if (record == nullptr)
        return;
    TRaisedScope raised(nesting_);
    selectedFolder_.SetPidl(record->GetAbsolutePidl());
    if (shellList_ != nullptr && node == Selected() && !shellList_->IsLoading())
        shellList_->Folder().SetPidl(record->GetAbsolutePidl());
}

void TPTCustomShellTree::Change(TTreeNode* node) {
    TPTShTreeData* record = Model().RecordOf(node);
    if (IsLoading() || nesting_ > 0) {
        if (record != nullptr) {
            TRaisedScope raised(nesting_);
            selectedFolder_.SetPidl(record->GetAbsolutePidl());
        }
        return;
    }
    TPTCustomTreeView::Change(node);
    if (record == nullptr)
        return;
    rewatch();
    if (pressing_ && shellList_ != nullptr) {
        // Chosen by a press that may yet become a drag: the list follows
        // when the button comes up without one.
        heldSync_ = true;
        return;
    }
    if (clickFlag_ == 0 && shellList_ != nullptr) {
        // Keyboard travel: the list follows once the keys rest.
        startTimer(kSelectionSync, 500);
        return;
    }
    syncSelection(node);
    clickFlag_ = 0;
}

void TPTCustomShellTree::startTimer(int job, unsigned interval) {
    // One timer serves both jobs, and a job asked for keeps the one
    // already waiting: a key would otherwise cancel the refresh a change
    // notice asked for, or a notice the list's following of a key.
    KillTimer(this, kTimerId);
    pendingJob_ |= job;
    SetTimer(this, kTimerId, interval);
}

void TPTCustomShellTree::timerFired() {
    KillTimer(this, kTimerId);
    const int jobs = std::exchange(pendingJob_, 0); // what the jobs ask for meanwhile waits anew
    if ((jobs & kSelectionSync) != 0)
        syncSelection(Selected());
    if ((jobs & kRefresh) != 0) {
        refreshDeadline_.Clear();
        Refresh();
    }
}

void TPTCustomShellTree::FlushPendingSync(bool syncLinked) {
    if (syncLinked && shellList_ != nullptr)
        shellList_->FlushPending();
    if (pendingJob_ != 0)
        timerFired();
}

void TPTCustomShellTree::baseFolderChanged() {
    if (IsLoading())
        return;
    selectedFolder_.Clear();
    if (HasOption(ptstoAutoFill)) {
        clickFlag_ = -1;
        Fill();
    }
}

void TPTCustomShellTree::selectedFolderChanged() {
    if (!Model().Empty())
        SelectPidl(selectedFolder_.GetPidl());
}

// --- change watching -----------------------------------------------------------------------

bool TPTCustomShellTree::watching() const {
    return HasOption(ptstoDynamicRefresh) && !(ComponentState() & csDesigning);
}

uint32_t TPTCustomShellTree::watchFilter() const {
    return FILE_NOTIFY_CHANGE_DIR_NAME | (HasOption(ptstoIncludeNonFolders) ? FILE_NOTIFY_CHANGE_FILE_NAME : 0u);
}

void TPTCustomShellTree::watchBeforeRead(const std::string& path) {
    // A folder read while the tree watches is watched before it is read:
    // what changes during the read comes as a notice afterwards, and the
    // refresh it brings looks again.  Only a watch already running takes
    // folders in (a fill starts one); without a window there is none, and
    // a window made again watches and looks at everything anew.
    if (changeThread_ && watching() && !path.empty() && watchableFolder(path))
        changeThread_->AddToFolders(path, watchFilter(), watchSlot_);
}

void TPTCustomShellTree::watchAgain() {
    // Nodes shown while nothing watched their folders may be out of date:
    // the watch comes first, then the nodes are compared with the folders.
    if (Model().Empty())
        return;
    watchFolders();
    Refresh();
}

void TPTCustomShellTree::watchFolders() {
    // Every folder shown is watched (a shown folder without children gets
    // its first one from another program), and so is every folder a
    // refresh looks at (opened ones, even when closed again): all in one
    // slot of the change thread, however many there are.  The set is
    // replaced in place, so no folder is unwatched for a moment.
    if (!changeThread_)
        changeThread_ = std::make_unique<TChangeHandlerThread>(this, CM_SHELLCHANGENOTICE);
    const uint32_t filter = watchFilter();
    std::vector<std::string> folders;
    auto add = [&](TTreeNode* node) {
        TPTShTreeData* record = Model().RecordOf(node);
        if (record == nullptr)
            return;
        std::string path = record->GetPath();
        if (!path.empty() && watchableFolder(path))
            folders.push_back(std::move(path));
    };
    if (Selected() != nullptr)
        add(Selected());
    for (TTreeNode* node : Model().Nodes(true))
        if (node != Selected() && (node->IsVisible() || node->Count() > 0))
            add(node);
    changeThread_->WatchFolders(folders, filter, watchSlot_);
}

std::vector<std::string> TPTCustomShellTree::WatchedFolders() const {
    return changeThread_ ? changeThread_->WatchedFolders(watchSlot_) : std::vector<std::string>();
}

void TPTCustomShellTree::changeNotice(int slot) {
    std::vector<std::string> paths;
    bool known = changeThread_ && changeThread_->TakeChangedPaths(slot, paths);
    if (known && paths.empty())
        return; // a notice whose changes a refresh has seen already
    // A rename's own notice names entries of its one folder.
    std::string folder = paths.empty() ? std::string() : ParentPathOf(paths.front());
    std::vector<std::string> names;
    for (const std::string& path : paths) {
        if (ParentPathOf(path) != folder)
            folder.clear();
        names.emplace_back(FileNameOf(path));
    }
    if (renameEcho_.Swallows(folder, known && !folder.empty(), names))
        return;
    if (busy_) {
        // A menu or a drag is open: one refresh once it closes.
        refreshPending_ = true;
        return;
    }
    if ((pendingJob_ & kRefresh) == 0)
        refreshDeadline_.Clear();
    startTimer(kRefresh, refreshDeadline_.Notice(GetTickCount64(), Focused() ? 400 : 2000));
}

void TPTCustomShellTree::DeviceChanged(TMessage& message) {
    if (message.WParam != DBT_DEVICEARRIVAL && message.WParam != DBT_DEVICEREMOVECOMPLETE)
        return;
    RevalidateDrives();
    SuppressDriveRevalidation();
    try {
        Refresh();
    } catch (...) {
        AllowDriveRevalidation();
        throw;
    }
    AllowDriveRevalidation();
}

// --- windows --------------------------------------------------------------------------------

void TPTCustomShellTree::Loaded() {
    if (IsLoading() && HasOption(ptstoAutoFill)) {
        // Filled while still loading: selection changes stay quiet.
        if (Model().Empty())
            Fill();
        if (shellList_ != nullptr)
            shellList_->SetFolder(selectedFolder_);
    }
    TRaisedScope locked(expansionLock_);
    TPTCustomTreeView::Loaded();
}

void TPTCustomShellTree::registerDropTarget(bool on) {
    SetDropTargetRegistered(*this, dropTarget_, on, [this] { return std::make_shared<TDropTarget_shtv>(this); });
}

void TPTCustomShellTree::CreateWnd() {
    TPTCustomTreeView::CreateWnd();
    bool designing = (ComponentState() & csDesigning) != 0;
    if (!designing && HasOption(ptstoOleDrop))
        registerDropTarget(true);
    if (!IsLoading()) {
        if (HasOption(ptstoAutoFill) && Model().Empty())
            PostMessage(this, CM_SHELLFIRSTFILL);
        if (shellList_ != nullptr)
            shellList_->SetFolder(selectedFolder_);
    }
    // A window made again (its host floated or docked) keeps its nodes but
    // lost its watch with the old window.  A watch started by a fill
    // before the first window goes on as it is, with the changes it has
    // seen.
    if (watching() && !changeThread_)
        watchAgain();
}


void TPTCustomShellTree::DestroyWnd() {
    {
        TRaisedScope raised(nesting_);
        registerDropTarget(false);
        changeThread_.reset();
    }
    TPTCustomTreeView::DestroyWnd();
}

// --- messages -----------------------------------------------------------------------------------

void TPTCustomShellTree::WndProc(TMessage& message) {
    if (!ForwardContextMenuMessage(message, trackedMenu_, this, OnPopupHint))
        TPTCustomTreeView::WndProc(message);
}

void TPTCustomShellTree::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
        clickFlag_ = -1; // the selection change a click makes syncs at once
        pressing_ = true;
        heldSync_ = false;
        break;
    case WM_LBUTTONUP:
        TPTCustomTreeView::Dispatch(message);
        pressEnded();
        return;
    case WM_KEYDOWN:
        if (pressing_)
            pressEnded(); // a release that never came here
        clickFlag_ = 0;   // keyboard travel syncs when the keys rest
        break;
    case WM_MOUSEMOVE:
        if (pressing_ && !(message.WParam & MK_LBUTTON))
            pressEnded();
        break;
    case WM_TIMER:
        if (message.WParam == kTimerId) {
            timerFired();
            message.Result = 0;
            return;
        }
        break;
    case CM_SHELLCHANGENOTICE:
        changeNotice(static_cast<int>(message.WParam));
        message.Result = 0;
        return;
    case CM_SHELLFIRSTFILL:
        if (Model().Empty())
            Fill();
        message.Result = 0;
        return;
    case CM_SHELLHELDBACK:
        afterBusy();
        message.Result = 0;
        return;
    case CM_WANTSPECIALKEY:
        // Its commands' keys stay with the tree, before the menus see them.
        message.Result = ownsKey(static_cast<TShortCut>(message.WParam)) ? 1 : 0;
        return;
    case WM_MOUSEWHEEL:
        mouseWheel(message);
        return;
    }
    TPTCustomTreeView::Dispatch(message);
}

void TPTCustomShellTree::mouseWheel(TMessage& message) {
    if (!WheelToOtherShellControl(*this, message))
        ScrollByWheel(*this, message, SB_VERT);
}

// --- keys ----------------------------------------------------------------------------------------

bool TPTCustomShellTree::ownsKey(TShortCut key) const {
    return HasOption(ptstoDefaultKeyHandling) && !(ComponentState() & csDesigning) && !IsEditing() && DefaultKeyCommandOf(key) >= 0;
}

void TPTCustomShellTree::KeyDown(uint16_t& key, TShiftState shift) {
    TPTCustomTreeView::KeyDown(key, shift);
    if (key == 0 || !ownsKey(ShortCut(key, shift)))
        return;
    const int command = DefaultKeyCommandOf(ShortCut(key, shift));
    key = 0;
    TTreeNode* node = Selected();
    switch (command) {
    case dkRename:
        if (node != nullptr)
            EditLabel(node);
        break;
    case dkRefresh: Refresh(); break;
    case dkCut: InvokeVerb(node, "cut"); break;
    case dkCopy: InvokeVerb(node, "copy"); break;
    case dkPaste:
        InvokeVerb(node, "paste");
        Refresh();
        break;
    case dkDelete:
        InvokeVerb(node, "delete");
        Refresh();
        break;
    default: break; // select all means nothing in a tree
    }
}

// --- context menus and verbs --------------------------------------------------------------------------

void TPTCustomShellTree::NodeContextMenu(TTreeNode* node, TPoint point) {
    TCustomPopupMenu* menu = PopupMenu();
    if (OnNodeContextMenu)
        OnNodeContextMenu(this, node, point, menu);
    if (node != nullptr && HasOption(ptstoContextMenus) && !(ComponentState() & csDesigning)) {
        ShowNodeContextMenu(node, point);
        return;
    }
    PopupControlMenu(*this, menu, point);
}

void TPTCustomShellTree::ShowNodeContextMenu(TTreeNode* node, TPoint point) {
    if (node == nullptr || Model().RecordOf(node) == nullptr || IdListIsEmpty(Model().RecordOf(node)->GetAbsolutePidl()))
        return;
    TPTShTreeData* data = Model().RecordOf(node);
    std::shared_ptr<TShellFolder> folder = data->GetParentFolder();
    if (!folder)
        return;
    // The root's item in the folder above the base.
    TIdListPtr parentPidl, rootItem;
    PCItemIDList item = data->RelativePidl();
    if (data->ParentRecord() == nullptr) {
        std::shared_ptr<TShellFolder> parentFolder;
        if (FAILED(BindParentOf(data->GetAbsolutePidl(), parentFolder, parentPidl, rootItem)))
            return;
        item = rootItem.get();
    }
    unsigned flags = CMF_EXPLORE | (ReadOnly() ? 0u : unsigned{CMF_CANRENAME});
    HMENU menu;
    std::shared_ptr<TContextMenu> contextMenu;
    busy_ = true;
    struct TDone {
        TPTCustomShellTree& tree;
        ~TDone() {
            tree.busy_ = false;
            tree.trackedMenu_.reset();
        }
    } done{*this};
    if (FAILED(BuildContextMenu(this, *folder, 1, &item, menu, contextMenu, flags)) || !menu)
        return;
    trackedMenu_ = contextMenu;
    unsigned command = TrackPopupMenu(*menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, ClientToScreen(point), this);
    trackedMenu_.reset();
    if (command >= 1 && command < ShellCommandFirst) {
        SendToTarget(node, static_cast<int>(command) - 1);
    } else if (command == ShellCommandFirst + 18) {
        busy_ = false;
        EditLabel(node);
    } else if (command >= ShellCommandFirst) {
        InvokeContextCommand(this, *contextMenu, command - ShellCommandFirst);
        refreshPending_ = true;
    }
    busy_ = false;
    afterBusy();
}

void TPTCustomShellTree::afterBusy() {
    if (refreshPending_ && !busy_) {
        refreshPending_ = false;
        if (fillPending_)
            Fill();
        else
            Refresh();
    }
}

HRESULT TPTCustomShellTree::InvokeVerb(TTreeNode* node, const std::string& verb) {
    if (node == nullptr || Model().RecordOf(node) == nullptr || node->Parent() == nullptr)
        return S_FALSE;
    std::shared_ptr<TShellFolder> folder = Model().RecordOf(node)->GetParentFolder();
    if (!folder)
        RaiseComError(E_FAIL);
    PCItemIDList item = Model().RecordOf(node)->RelativePidl();
    std::shared_ptr<TUnknown> object;
    HRESULT hr = folder->GetUIObjectOf(1, &item, TShellInterface::ContextMenu, object);
    auto contextMenu = std::dynamic_pointer_cast<TContextMenu>(object);
    if (FAILED(hr) || !contextMenu)
        RaiseComError(FAILED(hr) ? hr : E_NOINTERFACE);
    hr = InvokeContextCommand(this, *contextMenu, verb);
    Refresh();
    return hr;
}

void TPTCustomShellTree::SendToTarget(TTreeNode* node, int index) {
    TStringList& entries = SendToList();
    if (index < 0 || index >= entries.Count())
        return;
    SendToDrop(entries.Strings(index), std::make_shared<TDataObject_shtv>(Model().RecordOf(node)));
}

bool TPTCustomShellTree::CreateFolder() {
    std::string path = GetSelectedPath();
    std::string name;
    if (path.empty() || !CreateNewFolder(path, name))
        return false;
    renameEcho_.Set(path, {name});
    Refresh();
    TTreeNode* node = Selected();
    if (node == nullptr)
        return true;
    Model().Expand(node);
    for (int i = 0; i < node->Count(); ++i)
        if (Model().RecordOf(node->Item(i)) != nullptr && FileNameOf(Model().RecordOf(node->Item(i))->GetPath()) == name) {
            EditLabel(node->Item(i));
            break;
        }
    return true;
}

// --- renaming -----------------------------------------------------------------------------------------

bool TPTCustomShellTree::CanEdit(TTreeNode* node) {
    if (ComponentState() & csDesigning)
        return false;
    if (Model().RecordOf(node) != nullptr && !Model().RecordOf(node)->CanRename())
        return false;
    return TPTCustomTreeView::CanEdit(node);
}

void TPTCustomShellTree::Edit(TTreeNode* node, std::string& text) {
    TPTShTreeData* data = Model().RecordOf(node);
    if (data == nullptr) {
        TPTCustomTreeView::Edit(node, text);
        return;
    }
    if (OnEdited)
        OnEdited(this, node, text);
    THourglassScope hourglass;
    bool renamed = false;
    {
        TRaisedScope raised(nesting_);
        std::shared_ptr<TShellFolder> folder = data->GetParentFolder();
        std::string oldPath = data->GetPath();
        PItemIDList newItem = nullptr;
        if (folder && SUCCEEDED(folder->SetNameOf(data->RelativePidl(), text, SHGDN_INFOLDER, &newItem)) &&
            newItem != nullptr) {
            TIdListPtr owned(newItem);
            invalidateBelow(Model(), node);
            data->Rename(newItem);
            std::string newPath = data->GetPath();
            renameEcho_.Set(ParentPathOf(newPath), {std::string(FileNameOf(oldPath)), std::string(FileNameOf(newPath))});
            renamed = true;
            if (node == Selected()) {
                selectedFolder_.SetPidl(data->GetAbsolutePidl());
                if (shellList_ != nullptr)
                    shellList_->Folder().SetPidl(data->GetAbsolutePidl());
            }
        }
    }
    if (!renamed)
        text = node->Text(); // a refused name leaves the label as it was
    // A refresh asked for while the label was edited runs once the edit has
    // ended (EditEnded): the view still sets the node's text after this.
}

void TPTCustomShellTree::EditEnded() {
    TPTCustomTreeView::EditEnded();
    // However the edit ended (Escape, the focus gone elsewhere, a name
    // refused or left as it was, the node gone), a refresh held back
    // meanwhile runs; from the message loop, since the edit may end inside
    // a change of the nodes.
    if (refreshPending_)
        PostMessage(this, CM_SHELLHELDBACK);
}

// --- dragging out --------------------------------------------------------------------------------------

void TPTCustomShellTree::setDropHighlight(TTreeNode* node) {
    if (node == dropHighlight_)
        return;
    if (dropHighlight_ != nullptr)
        dropHighlight_->SetDropTarget(false);
    dropHighlight_ = node;
    if (node != nullptr)
        node->SetDropTarget(true);
}

void TPTCustomShellTree::pressEnded() {
    pressing_ = false;
    if (!heldSync_)
        return;
    heldSync_ = false;
    clickFlag_ = 0;
    syncSelection(Selected());
}

void TPTCustomShellTree::pressBecameDrag() {
    pressing_ = false;
    if (!heldSync_)
        return;
    heldSync_ = false;
    // The folder the list shows stays the tree's selection: the press
    // chose nothing, and the dragged folder may go into that one.  The
    // rows stay where they are although that folder may be off screen:
    // the drag is aimed at them.
    bool beep = false;
    TTreeNode* shown = Model().FindPidl(baseFolder_.GetPidl(), selectedFolder_.GetPidl(), false, beep);
    if (shown != nullptr && shown != Selected()) {
        const std::vector<TTreeNode*> rows = RowsOnScreen();
        TRaisedScope raised(nesting_);
        SetSelected(shown);
        keepRowsOnScreen(rows);
    }
}

void TPTCustomShellTree::NodeDragStart(TTreeNode* node, bool rightButton) {
    pressBecameDrag();
    if (!HasOption(ptstoOleDrag) || node == nullptr)
        return;
    dragNode_ = node;
    setDropHighlight(node);
    if (Model().RecordOf(node) != nullptr && node->Parent() != nullptr)
        BeginOleDrag(rightButton);
    dragNode_ = nullptr;
    setDropHighlight(nullptr);
}

uint32_t TPTCustomShellTree::GetNodeEffects(TTreeNode* node) {
    if (node == nullptr || Model().RecordOf(node) == nullptr)
        return kDropEffects;
    std::shared_ptr<TShellFolder> folder = Model().RecordOf(node)->GetParentFolder();
    PCItemIDList item = Model().RecordOf(node)->RelativePidl();
    TIdListPtr parentPidl, rootItem;
    if (Model().RecordOf(node)->ParentRecord() == nullptr) {
        if (FAILED(BindParentOf(Model().RecordOf(node)->GetAbsolutePidl(), folder, parentPidl, rootItem)))
            return kDropEffects;
        item = rootItem.get();
    }
    uint32_t attributes = kDropEffects;
    if (!folder || FAILED(folder->GetAttributesOf(1, &item, attributes)))
        return kDropEffects;
    return attributes & kDropEffects;
}

void TPTCustomShellTree::BeginOleDrag(bool rightButton) {
    if (dragNode_ == nullptr)
        return;
    busy_ = true;
    auto data = std::make_shared<TDataObject_shtv>(Model().RecordOf(dragNode_));
    auto source = std::make_shared<TDropSource_shlvtv>(rightButton ? 1 : 0);
    uint32_t effect = 0;
    HRESULT hr = DoDragDrop(data, source, GetNodeEffects(dragNode_), effect);
    if (hr == DRAGDROP_S_DROP)
        refreshPending_ = true;
    busy_ = false;
    afterBusy();
}

// --- drops -------------------------------------------------------------------------------------------

std::shared_ptr<TDropTarget> TPTCustomShellTree::dropTargetAt(TPoint screen, TTreeNode*& node) {
    TPoint client = ScreenToClient(screen);
    node = GetNodeAt(client.X, client.Y);
    if (node == nullptr || Model().RecordOf(node) == nullptr || node->Parent() == nullptr) {
        node = nullptr;
        return nullptr;
    }
    std::shared_ptr<TDropTarget> target;
    if (FAILED(Model().RecordOf(node)->GetDropTarget(target)))
        target.reset();
    return target;
}

HRESULT TPTCustomShellTree::DragEnter(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint point,
                                      uint32_t& effect) {
    lastScrollTick_ = GetTickCount();
    incoming_ = data;
    incomingKeys_ = keys;
    TTreeNode* node = nullptr;
    std::shared_ptr<TDropTarget> target = dropTargetAt(point, node);
    setDropHighlight(node);
    if (target) {
        target->DragEnter(data, keys, point, effect);
        target->DragLeave();
    } else {
        effect = DROPEFFECT_NONE;
    }
    return S_OK;
}

HRESULT TPTCustomShellTree::DragOver(uint32_t keys, TPoint point, uint32_t& effect) {
    HRESULT hr = S_OK;
    TTreeNode* node = nullptr;
    std::shared_ptr<TDropTarget> target = dropTargetAt(point, node);
    if (target) {
        setDropHighlight(node);
        target->DragEnter(incoming_, keys, point, effect);
        hr = target->DragOver(keys, point, effect);
        target->DragLeave();
    } else {
        effect = DROPEFFECT_NONE;
        setDropHighlight(dragNode_);
    }
    ScrollWhileDragging(*this, ScreenToClient(point), lastScrollTick_);
    effect |= DROPEFFECT_SCROLL;
    return hr;
}

HRESULT TPTCustomShellTree::DragLeave() {
    incoming_.reset();
    setDropHighlight(nullptr);
    return S_OK;
}

HRESULT TPTCustomShellTree::Drop(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint point,
                                 uint32_t& effect) {
    HRESULT hr = S_OK;
    TTreeNode* node = nullptr;
    std::shared_ptr<TDropTarget> target = dropTargetAt(point, node);
    if (target) {
        // The buttons are up by now: the folder hears which one dragged.
        keys |= incomingKeys_ & (MK_LBUTTON | MK_RBUTTON);
        target->DragEnter(data, keys, point, effect);
        target->DragOver(keys, point, effect);
        effect &= GetDropEffects(*data);
        hr = target->Drop(data, keys, point, effect);
        Refresh();
    } else {
        effect = DROPEFFECT_NONE;
    }
    setDropHighlight(nullptr);
    incoming_.reset();
    return hr;
}

// --- drawing -------------------------------------------------------------------------------------------

void TPTCustomShellTree::CustomDrawItem(TPTCustomDraw& draw, TTreeNode* node) {
    TPTShTreeData* data = Model().RecordOf(node);
    if (OnCustomDrawShEx)
        OnCustomDrawShEx(this, draw, node, data);
    if (draw.Stage() == cdsItemPrePaint && OnCustomDrawSh)
        OnCustomDrawSh(this, draw, node, data);
}
