#include "shell/ShellList.h"

#include "platform/shellns/DragDrop.h"
#include "platform/shellns/MountTable.h"
#include "platform/ui/TickSource.h"
#include "shell/DeviceChangeHandler.h"
#include "shell/ShellConsts.h"
#include "shell/ShellControlSupport.h"
#include "shell/ShellOps.h"
#include "shell/ShellScopes.h"
#include "shell/ShellUtils.h"

#include <algorithm>

namespace {

constexpr uintptr_t kTimerId = 1;
constexpr uint32_t kDropEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

std::shared_ptr<TContextMenu> contextMenuOf(TShellFolder& folder, const std::vector<PCItemIDList>& items) {
    std::shared_ptr<TUnknown> object;
    if (items.empty() ||
        FAILED(folder.GetUIObjectOf(static_cast<unsigned>(items.size()), items.data(), TShellInterface::ContextMenu, object)))
        return nullptr;
    return std::dynamic_pointer_cast<TContextMenu>(object);
}

} // namespace

// ---------------------------------------------------------------------------
// TDataObject_shlv

TDataObject_shlv::TDataObject_shlv(TPTCustomShellList& list) {
    std::vector<PCItemIDList> items;
    TPTShellListModel& model = list.Model();
    for (int row : model.SelectedRows())
        if (model.Data(row) != nullptr)
            items.push_back(model.Data(row)->RelativePidl());
    if (!items.empty())
        SetItems(model.ListFolder(), model.ListFolderPidl(), items);
}

// ---------------------------------------------------------------------------
// TPTCustomShellList

TPTCustomShellList::TPTCustomShellList(TComponent* owner) : TPTCustomListView(owner), model_(*this) {
    SetSmallImages(GetSystemImageList(0));
    SetLargeImages(GetSystemImageList(1));
    folder_.OnChange = [this](TPersistent*) { folderChanged(); };
    TPTShellListModel& model = Model();
    model.Options = DefaultShellListOptions;
    model.OnAddItem = [this](const std::shared_ptr<TShellFolder>& folder, PCItemIDList parent, PCItemIDList relative,
                             uint32_t attributes) { return AllowAddItem(folder, parent, relative, attributes); };
    model.OnDeleteItem = [this](TListItem* item, TPTShListData* data) {
        if (OnDeleteItem)
            OnDeleteItem(this, item, data);
    };
    model.OnFillStart = [this] {
        if (OnFillStart)
            OnFillStart(this);
    };
    model.OnFillComplete = [this] {
        if (OnFillComplete)
            OnFillComplete(this);
    };
    SetSortColumn(0);
    SetSortAscending(true);
    DeviceChangeHandler().Subscribe(this, [this](TPTDeviceChangeHandler&, TMessage& message) { DeviceChanged(message); });
}

TPTCustomShellList::~TPTCustomShellList() {
    Destroying();
    DeviceChangeHandler().Unsubscribe(this);
    KillTimer(this, kTimerId);
    if (tree_ != nullptr && tree_->ShellList() == this)
        tree_->SetShellList(nullptr);
    registerDropTarget(false);
    changeThread_.reset();
    Model().SaveColumnWidths();
    // The rows go while their records' keeper is still there.
    Model().OnDeleteItem = nullptr;
    Items().Clear();
}

// --- properties ------------------------------------------------------------------------------

void TPTCustomShellList::SetFolder(const TPTShellLocator& folder) { folder_.Assign(&folder); }

void TPTCustomShellList::SetFileFilter(const std::string& filter) {
    if (Model().SetFileFilter(filter) && !IsLoading() && HasOption(ptsloAutoFill))
        FullFill();
}

void TPTCustomShellList::SetOptions(TPTShellListOptions options) {
    TPTShellListOptions old = Model().Options;
    Model().Options = options;
    if (IsLoading())
        return;
    auto changed = [&](TPTShellListOption option) { return ((old ^ options) & ListOption(option)) != 0; };
    if (changed(ptsloOleDrop) && HandleAllocated())
        registerDropTarget(HasOption(ptsloOleDrop));
    if (changed(ptsloDynamicRefresh) && !(ComponentState() & csDesigning)) {
        if (HasOption(ptsloDynamicRefresh))
            watchAgain();
        else if (changeThread_)
            changeThread_->ClearWatches();
    }
    if ((changed(ptsloHideFoldersWhenLinkedToTree) || changed(ptsloShowHidden)) && Model().ListFolder())
        FullFill();
}

void TPTCustomShellList::SetLinkedTree(TPTCustomShellTree* tree) {
    if (tree_ != nullptr && tree_ != tree)
        tree_->RemoveFreeNotification(this);
    tree_ = tree;
    Model().LinkedToTree = tree != nullptr;
    if (tree != nullptr)
        tree->FreeNotification(this);
}

void TPTCustomShellList::Notification(TComponent* component, TOperation operation) {
    TPTCustomListView::Notification(component, operation);
    if (operation == opRemove && component == tree_) {
        tree_ = nullptr;
        Model().LinkedToTree = false;
    }
}

TPTShListData* TPTCustomShellList::GetSelectedData() { return Model().RecordOf(Selected()); }

// --- filling ------------------------------------------------------------------------------------

void TPTCustomShellList::folderChanged() {
    ++folderChanges_;
    if (nesting_ == 0 && !IsLoading()) {
        TRaisedScope raised(nesting_);
        if (tree_ != nullptr)
            tree_->SelectPidl(folder_.GetPidl());
        FullFill();
    }
    if (OnFolderChanged)
        OnFolderChanged(this);
}

bool TPTCustomShellList::AllowAddItem(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parentAbsolute,
                                      PCItemIDList relative, uint32_t attributes) {
    bool allow = true;
    if (OnAddItem)
        OnAddItem(this, folder, parentAbsolute, relative, attributes, allow);
    return allow;
}

void TPTCustomShellList::FullFill() {
    if (dragging_ || IsEditing()) {
        refreshPending_ = true;
        fillPending_ = true;
        return;
    }
    fillPending_ = false;
    THourglassScope hourglass;
    ClearSelection();
    heldNames_.clear();
    heldNamesUnknown_ = false;
    // The folder is watched before it is read, never after: what another
    // program changes while the rows are made comes as a notice, and the
    // notice's names are looked at again once the fill is done.
    TBeforeFolderRead watch;
    if (HasOption(ptsloDynamicRefresh) && !(ComponentState() & csDesigning))
        watch = [this](const std::string&) { armWatch(); };
    if (FAILED(Model().Fill(folder_.GetPidl(), watch))) {
        // A folder that went away or cannot be read shows empty, with no
        // error box at every refresh; the folder shown before is no longer
        // watched.
        Model().Clear();
        if (changeThread_)
            changeThread_->ClearWatches();
        watched_.clear();
    }
    showSortMark();
}

void TPTCustomShellList::RefreshList(bool afterNotice) {
    if (dragging_ || IsEditing()) {
        refreshPending_ = true;
        return;
    }
    if (Model().Count() == 0 || !Model().ListFolder()) {
        FullFill();
        return;
    }
    THourglassScope hourglass;
    std::vector<std::string> names;
    bool known = afterNotice && changeThread_ && !watched_.empty() && changeThread_->TakeChangedNames(0, names) &&
                 !heldNamesUnknown_;
    names.insert(names.end(), heldNames_.begin(), heldNames_.end());
    heldNames_.clear();
    heldNamesUnknown_ = false;
    if (!known || !Model().RefreshNames(names))
        Model().Refresh();
}

void TPTCustomShellList::afterHeldBack() {
    if (refreshPending_ && !dragging_ && !IsEditing()) {
        refreshPending_ = false;
        if (fillPending_)
            FullFill();
        else
            RefreshList();
    }
}

void TPTCustomShellList::showSortMark() {
    int sort = Model().SortColumn();
    SetSortColumn(sort == 0 ? -1 : std::abs(sort) - 1);
    SetSortAscending(sort > 0);
}

void TPTCustomShellList::ColClick(TListColumn* column) {
    TPTCustomListView::ColClick(column);
    Model().ColumnClicked(column->Index());
    showSortMark();
}

void TPTCustomShellList::Delete(TListItem* item) {
    if (item == dropHighlight_)
        dropHighlight_ = nullptr;
    TPTCustomListView::Delete(item);
    Model().ItemDeleting(item);
}

void TPTCustomShellList::GetImageIndex(TListItem* item) {
    TPTCustomListView::GetImageIndex(item);
    if (item->ImageIndex() < 1)
        Model().RowImage(item->Index());
}

std::string TPTCustomShellList::DisplayText(int index, int column) {
    TListItem* item = Items().Item(index);
    if (Model().RecordOf(item) == nullptr)
        return TPTCustomListView::DisplayText(index, column);
    // A detail text set by the program wins over the item's own.
    if (column > 0 && column - 1 < item->SubItems().Count() && !item->SubItems().Strings(column - 1).empty())
        return item->SubItems().Strings(column - 1);
    return Model().RowText(index, column);
}

// --- watching --------------------------------------------------------------------------------------

void TPTCustomShellList::armWatch() {
    KillTimer(this, kTimerId);
    timerPending_ = false;
    if (!changeThread_)
        changeThread_ = std::make_unique<TChangeHandlerThread>(this, CM_SHELLCHANGENOTICE);
    else
        changeThread_->ClearWatches();
    watched_ = Model().FolderPath();
    int slot = -1;
    if (watched_.empty() ||
        !changeThread_->AddWatch(watched_, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, slot, false))
        watched_.clear();
}

void TPTCustomShellList::watchAgain() {
    // Rows shown while nothing watched the folder may be out of date: the
    // watch comes first, then the rows are compared with the folder.
    if (!Model().ListFolder())
        return;
    armWatch();
    RefreshList();
}

void TPTCustomShellList::changeNotice(int slot) {
    // The names are taken at once and kept for the refresh.
    std::vector<std::string> names;
    bool known = changeThread_ && changeThread_->TakeChangedNames(slot, names);
    if (known && names.empty())
        return; // a refresh since took them: nothing is left to do
    if (renameEcho_.Swallows(watched_, known, names)) {
        // Only the renamed entry: checked at once (it costs that entry
        // alone), so that nothing another program did to it is lost.
        Model().RefreshNames(names);
        return;
    }
    heldNamesUnknown_ = heldNamesUnknown_ || !known;
    heldNames_.insert(heldNames_.end(), names.begin(), names.end());
    if (dragging_) {
        refreshPending_ = true; // a drag from the list: refreshed when it ends
        return;
    }
    if (!timerPending_)
        refreshDeadline_.Clear();
    KillTimer(this, kTimerId);
    timerPending_ = true;
    SetTimer(this, kTimerId, refreshDeadline_.Notice(GetTickCount64(), Focused() ? 400 : 2000));
}

void TPTCustomShellList::timerFired() {
    KillTimer(this, kTimerId);
    timerPending_ = false;
    refreshDeadline_.Clear();
    const unsigned folderChanges = folderChanges_;
    if (tree_ != nullptr) {
        TRaisedScope raised(nesting_);
        tree_->FlushPendingSync(false);
    }
    // The tree's selection, followed just now, may have moved the list to
    // another folder: its rows are those of the folder now shown.
    if (folderChanges_ != folderChanges)
        FullFill();
    else
        RefreshList(true);
}

void TPTCustomShellList::FlushPending() {
    if (timerPending_)
        timerFired();
}

void TPTCustomShellList::DeviceChanged(TMessage& message) {
    if (message.WParam != DBT_DEVICEARRIVAL && message.WParam != DBT_DEVICEREMOVECOMPLETE)
        return;
    if (PidlToCsidl(folder_.GetPidl()) == CSIDL_DRIVES)
        FullFill();
}

void TPTCustomShellList::refreshAfterVerb() {
    // Remote folders tell nothing of their changes: refreshed by hand.
    std::string path = Model().FolderPath();
    if (!path.empty() && MountOfPath(path).DriveType == DRIVE_REMOTE)
        RefreshList();
}

// --- windows ---------------------------------------------------------------------------------------

void TPTCustomShellList::Loaded() {
    TPTCustomListView::Loaded();
    if (HasOption(ptsloAutoFill) && Model().Count() == 0 && HandleAllocated())
        PostMessage(this, CM_SHELLFIRSTFILL);
}

void TPTCustomShellList::registerDropTarget(bool on) {
    SetDropTargetRegistered(*this, dropTarget_, on, [this] { return std::make_shared<TDropTarget_shlv>(this); });
}

void TPTCustomShellList::CreateWnd() {
    TPTCustomListView::CreateWnd();
    if (!(ComponentState() & csDesigning) && HasOption(ptsloOleDrop))
        registerDropTarget(true);
    if (HasOption(ptsloAutoFill) && Model().Count() == 0 && !IsLoading())
        PostMessage(this, CM_SHELLFIRSTFILL);
    // A window made again (its host floated or docked) keeps its rows but
    // lost its watch with the old window.  A watch armed by a fill before
    // the first window goes on as it is, with the changes it has seen.
    if (!(ComponentState() & csDesigning) && HasOption(ptsloDynamicRefresh) && !changeThread_)
        watchAgain();
}

void TPTCustomShellList::DestroyWnd() {
    Model().SaveColumnWidths();
    changeThread_.reset();
    watched_.clear();
    registerDropTarget(false);
    TPTCustomListView::DestroyWnd();
}

// --- messages ----------------------------------------------------------------------------------------

void TPTCustomShellList::WndProc(TMessage& message) {
    if (!ForwardContextMenuMessage(message, trackedMenu_, this, OnPopupHint))
        TPTCustomListView::WndProc(message);
}

void TPTCustomShellList::Dispatch(TMessage& message) {
    switch (message.Msg) {
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
        if (Model().Count() == 0)
            FullFill();
        message.Result = 0;
        return;
    case CM_SHELLHELDBACK:
        afterHeldBack();
        message.Result = 0;
        return;
    case CWM_GETISHELLBROWSER:
        message.Result = 0;
        return;
    case WM_GETDLGCODE:
        // Enter opens a selected folder rather than pressing the dialog's
        // default button.
        TPTCustomListView::Dispatch(message);
        if (message.WParam == VK_RETURN && GetSelectedData() != nullptr && GetSelectedData()->IsFolder())
            message.Result |= DLGC_WANTALLKEYS;
        return;
    case CM_WANTSPECIALKEY:
        // Its commands' keys stay with the list, before the menus see them.
        message.Result = ownsKey(static_cast<TShortCut>(message.WParam)) ? 1 : 0;
        return;
    case WM_MOUSEWHEEL:
        mouseWheel(message);
        return;
    }
    TPTCustomListView::Dispatch(message);
}

void TPTCustomShellList::RightClicked(TPoint point) {
    if (IndexAt(point.X, point.Y) < 0 && HasOption(ptsloFolderContextMenu) && HasOption(ptsloContextMenus)) {
        // Empty space: the folder's own menu.
        ClearSelection();
        ShowFolderContextMenu(point);
        menuShown_ = true;
        return;
    }
    TPTCustomListView::RightClicked(point);
}

void TPTCustomShellList::mouseWheel(TMessage& message) {
    if (!WheelToOtherShellControl(*this, message))
        ScrollByWheel(*this, message, ViewStyle() == vsList ? SB_HORZ : SB_VERT);
}

// --- keys and opening ----------------------------------------------------------------------------------

bool TPTCustomShellList::ownsKey(TShortCut key) const {
    return HasOption(ptsloDefaultKeyHandling) && !(ComponentState() & csDesigning) && !IsEditing() && DefaultKeyCommandOf(key) >= 0;
}

void TPTCustomShellList::KeyDown(uint16_t& key, TShiftState shift) {
    TPTCustomListView::KeyDown(key, shift);
    if (key == 0 || !ownsKey(ShortCut(key, shift)))
        return;
    const int command = DefaultKeyCommandOf(ShortCut(key, shift));
    key = 0;
    switch (command) {
    case dkSelectAll:
        if (MultiSelect())
            SelectAll();
        break;
    case dkRefresh: FullFill(); break;
    case dkCopy: InvokeVerbOnSelection("copy"); break;
    case dkCut: InvokeVerbOnSelection("cut"); break;
    case dkPaste:
        InvokeVerbOnSelection("paste");
        RefreshList();
        break;
    case dkRename: EditCaption(FocusedIndex()); break;
    case dkDelete:
        InvokeVerbOnSelection("delete");
        RefreshList();
        break;
    default: break;
    }
}

void TPTCustomShellList::KeyPress(char& key) {
    TPTCustomListView::KeyPress(key);
    if (IsEditing())
        return;
    if (key == '\r') {
        key = 0;
        OpenSelection();
    } else if (key == '\b') {
        key = 0;
        GoUp();
    }
}

void TPTCustomShellList::EnterFolder(PCItemIDList absolute) {
    if (HasOption(ptsloDontChangeFolder))
        return;
    if (tree_ != nullptr)
        tree_->SelectPidl(absolute);
    else
        folder_.SetPidl(absolute);
}

void TPTCustomShellList::GoUp() {
    PCItemIDList folder = folder_.GetPidl();
    int count = IdListItemCount(folder);
    if (count == 0)
        return;
    TIdListPtr parent(IdListCloneFirst(folder, count - 1));
    EnterFolder(parent.get());
}

void TPTCustomShellList::DblClick() {
    TPTCustomListView::DblClick();
    OpenSelection();
}

void TPTCustomShellList::OpenSelection() {
    FlushPending();
    if (SelCount() < 2) {
        OpenItem(ItemIndex());
        return;
    }
    bool handled = false;
    if (OnDblClickOpen)
        OnDblClickOpen(this, handled);
    if (handled || !Model().ListFolder())
        return;
    invokeDefaultCommand(selectedItems());
}

void TPTCustomShellList::invokeDefaultCommand(const std::vector<PCItemIDList>& items) {
    HMENU menu;
    std::shared_ptr<TContextMenu> contextMenu;
    if (items.empty() || !Model().ListFolder() ||
        FAILED(BuildContextMenu(this, *Model().ListFolder(), static_cast<unsigned>(items.size()), items.data(), menu,
                                contextMenu, CMF_DEFAULTONLY)) ||
        !menu)
        return;
    int command = menu->DefaultItem();
    if (command >= static_cast<int>(ShellCommandFirst))
        InvokeContextCommand(this, *contextMenu, static_cast<unsigned>(command) - ShellCommandFirst);
}

void TPTCustomShellList::OpenItem(int item) {
    if (item < 0 || item >= Model().Count())
        return;
    TPTShListData* data = Model().Data(item);
    if (data == nullptr) {
        bool handled = false;
        if (OnDblClickOpen)
            OnDblClickOpen(this, handled);
        return;
    }
    TIdListPtr absolute;
    {
        THourglassScope hourglass;
        if (data->IsFolder()) {
            absolute.reset(CopyPidl(nullptr, data->GetAbsolutePidl()));
        } else if (data->IsLink()) {
            TLinkData link;
            if (SUCCEEDED(ResolveShellLink(data->GetPath(), link, false)) && link.TargetFound &&
                S_ISDIR(link.TargetInfo.st_mode)) {
                PItemIDList target = nullptr;
                if (SUCCEEDED(PathToPidl(link.TargetPath, target)))
                    absolute.reset(target);
            }
        }
    }
    if (absolute) {
        EnterFolder(absolute.get());
        return;
    }
    bool handled = false;
    if (OnDblClickOpen)
        OnDblClickOpen(this, handled);
    if (handled || !Model().ListFolder())
        return;
    invokeDefaultCommand({data->RelativePidl()});
}

std::vector<PCItemIDList> TPTCustomShellList::selectedItems() {
    std::vector<PCItemIDList> items;
    for (int row : Model().SelectedRows())
        if (Model().Data(row) != nullptr)
            items.push_back(Model().Data(row)->RelativePidl());
    return items;
}

HRESULT TPTCustomShellList::InvokeVerbOnSelection(const std::string& verb) {
    std::shared_ptr<TContextMenu> menu;
    if (verb == "paste") {
        std::shared_ptr<TUnknown> object;
        if (SUCCEEDED(GetUIObjectOfPidl(folder_.GetPidl(), TShellInterface::ContextMenu, object)))
            menu = std::dynamic_pointer_cast<TContextMenu>(object);
    } else if (Model().ListFolder()) {
        menu = contextMenuOf(*Model().ListFolder(), selectedItems());
    }
    if (!menu)
        return S_FALSE;
    HRESULT hr = InvokeContextCommand(this, *menu, verb);
    refreshAfterVerb();
    return hr;
}

// --- context menus -------------------------------------------------------------------------------------

void TPTCustomShellList::ItemContextMenu(TListItem* item, TPoint point) {
    TCustomPopupMenu* menu = PopupMenu();
    if (OnItemContextMenu)
        OnItemContextMenu(this, item, point, menu);
    menuShown_ = true;
    if (HasOption(ptsloContextMenus) && !(ComponentState() & csDesigning) && !dragging_ && item != nullptr) {
        ShowItemsContextMenu(point);
        return;
    }
    PopupControlMenu(*this, menu, point);
}

void TPTCustomShellList::trackMenu(TShellFolder& folder, const std::vector<PCItemIDList>& items, TPoint point,
                                   bool rows) {
    unsigned flags = CMF_EXPLORE;
    int focused = FocusedIndex();
    if (rows && !ReadOnly() && focused >= 0 && Model().Data(focused) != nullptr && !Model().Data(focused)->GetPath().empty())
        flags |= CMF_CANRENAME;
    HMENU menu;
    std::shared_ptr<TContextMenu> contextMenu;
    if (FAILED(BuildContextMenu(this, folder, static_cast<unsigned>(items.size()), items.data(), menu, contextMenu,
                                flags)) ||
        !menu)
        return;
    trackedMenu_ = contextMenu;
    unsigned command = TrackPopupMenu(*menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, ClientToScreen(point), this);
    trackedMenu_.reset();
    if (command == ShellCommandFirst + 18 && rows) {
        EditCaption(focused);
    } else if (command >= ShellCommandFirst) {
        InvokeContextCommand(this, *contextMenu, command - ShellCommandFirst);
        refreshAfterVerb();
    } else if (command >= 1 && rows) {
        TStringList& entries = SendToList();
        int index = static_cast<int>(command) - 1;
        if (index < entries.Count())
            SendToDrop(entries.Strings(index), std::make_shared<TDataObject_shlv>(*this));
    }
}

void TPTCustomShellList::ShowItemsContextMenu(TPoint point) {
    std::vector<PCItemIDList> items = selectedItems();
    if (!items.empty() && Model().ListFolder())
        trackMenu(*Model().ListFolder(), items, point, true);
}

void TPTCustomShellList::ShowFolderContextMenu(TPoint point) {
    std::shared_ptr<TShellFolder> parent;
    TIdListPtr parentPidl, last;
    if (IdListIsEmpty(folder_.GetPidl()) || FAILED(BindParentOf(folder_.GetPidl(), parent, parentPidl, last)))
        return;
    trackMenu(*parent, {last.get()}, point, false);
}

// --- renaming ----------------------------------------------------------------------------------------

bool TPTCustomShellList::CanEdit(TListItem* item) {
    if (ComponentState() & csDesigning)
        return false;
    TPTShListData* data = Model().RecordOf(item);
    if (data != nullptr && !data->CanRename())
        return false;
    return TPTCustomListView::CanEdit(item);
}

void TPTCustomShellList::Edit(TListItem* item, std::string& text) {
    TPTCustomListView::Edit(item, text);
    TPTShListData* data = Model().RecordOf(item);
    std::shared_ptr<TShellFolder> folder = Model().ListFolder();
    if (data != nullptr && folder) {
        THourglassScope hourglass;
        std::string oldName = data->GetFileName();
        PItemIDList renamed = nullptr;
        if (SUCCEEDED(folder->SetNameOf(data->RelativePidl(), text, SHGDN_INFOLDER, &renamed)) && renamed != nullptr) {
            Model().RenameRow(item->Index(), renamed);
            renameEcho_.Set(watched_, {oldName, data->GetFileName()});
        }
    }
    // A refresh held back meanwhile runs once the edit has ended (EditEnded):
    // the view still sets the row's caption after this.
}

void TPTCustomShellList::EditEnded() {
    TPTCustomListView::EditEnded();
    // However the edit ended (Escape, the focus gone elsewhere, a name
    // refused or left as it was, the row gone), a refresh held back
    // meanwhile runs; from the message loop, since the edit may end inside
    // a change of the rows.
    if (refreshPending_)
        PostMessage(this, CM_SHELLHELDBACK);
}

// --- dragging out -------------------------------------------------------------------------------------

void TPTCustomShellList::ItemDragStart(bool rightButton) {
    if (HasOption(ptsloOleDrag))
        BeginDrag(rightButton);
}

uint32_t TPTCustomShellList::SelectionEffects() {
    std::vector<PCItemIDList> items = selectedItems();
    uint32_t attributes = kDropEffects;
    if (items.empty() || !Model().ListFolder() ||
        FAILED(Model().ListFolder()->GetAttributesOf(static_cast<unsigned>(items.size()), items.data(), attributes)))
        return 0;
    return attributes & kDropEffects;
}

void TPTCustomShellList::BeginDrag(bool rightButton) {
    auto data = std::make_shared<TDataObject_shlv>(*this);
    if (!data->HasItems())
        return;
    dragging_ = true;
    dragRight_ = rightButton;
    auto source = std::make_shared<TDropSource_shlvtv>(rightButton ? 1 : 0);
    uint32_t effect = 0;
    HRESULT hr = DoDragDrop(data, source, SelectionEffects(), effect);
    dragging_ = false;
    if (hr == DRAGDROP_S_DROP)
        refreshPending_ = true;
    if (refreshPending_) {
        afterHeldBack();
        Model().Sort();
    }
}

// --- drops ---------------------------------------------------------------------------------------------

std::shared_ptr<TDropTarget> TPTCustomShellList::folderDropTarget() {
    std::shared_ptr<TDropTarget> target;
    if (IdListIsEmpty(folder_.GetPidl())) {
        GetDesktopDropTarget(target);
        return target;
    }
    std::shared_ptr<TUnknown> object;
    if (SUCCEEDED(GetUIObjectOfPidl(folder_.GetPidl(), TShellInterface::DropTarget, object)))
        target = std::dynamic_pointer_cast<TDropTarget>(object);
    return target;
}

std::shared_ptr<TDropTarget> TPTCustomShellList::dropTargetAt(TPoint screen, int& item, bool forDrop, uint32_t& effect,
                                                             bool& none) {
    none = false;
    TPoint client = ScreenToClient(screen);
    item = IndexAt(client.X, client.Y);
    TPTShListData* data = item >= 0 ? Model().Data(item) : nullptr;
    if (data != nullptr && Model().ListFolder()) {
        PCItemIDList relative = data->RelativePidl();
        std::shared_ptr<TUnknown> object;
        if (SUCCEEDED(Model().ListFolder()->GetUIObjectOf(1, &relative, TShellInterface::DropTarget, object)))
            if (auto target = std::dynamic_pointer_cast<TDropTarget>(object))
                return target;
        item = -1; // an item that takes nothing: the folder takes it
        return folderDropTarget();
    }
    item = -1;
    if (dragging_) {
        // Dragged within this list onto empty space: nothing with the left
        // button; with the right one, everything but a move.
        if (!dragRight_) {
            none = true;
            effect = DROPEFFECT_NONE;
            return nullptr;
        }
        if (!forDrop) {
            none = true;
            effect = DROPEFFECT_COPY;
            return nullptr;
        }
        effect &= ~uint32_t{DROPEFFECT_MOVE};
    }
    return folderDropTarget();
}

HRESULT TPTCustomShellList::DragEnter(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint point,
                                      uint32_t& effect) {
    lastScrollTick_ = GetTickCount();
    incoming_ = data;
    incomingKeys_ = keys;
    int item = -1;
    bool none = false;
    HRESULT hr = S_OK;
    std::shared_ptr<TDropTarget> target = dropTargetAt(point, item, false, effect, none);
    setDropHighlight(-1);
    if (target) {
        hr = target->DragEnter(data, keys, point, effect);
        target->DragLeave();
        if (effect != DROPEFFECT_NONE && item >= 0)
            setDropHighlight(item);
    } else if (!none) {
        effect = DROPEFFECT_NONE;
    }
    return hr;
}

HRESULT TPTCustomShellList::DragOver(uint32_t keys, TPoint point, uint32_t& effect) {
    int item = -1;
    bool none = false;
    HRESULT hr = S_OK;
    std::shared_ptr<TDropTarget> target = dropTargetAt(point, item, false, effect, none);
    if (none) {
        setDropHighlight(-1);
        return S_OK; // no probe, no scrolling
    }
    int highlight = -1;
    if (target) {
        target->DragEnter(incoming_, keys, point, effect);
        hr = target->DragOver(keys, point, effect);
        target->DragLeave();
        if (effect != DROPEFFECT_NONE)
            highlight = item;
    } else {
        effect = DROPEFFECT_NONE;
    }
    setDropHighlight(highlight);
    ScrollWhileDragging(*this, ScreenToClient(point), lastScrollTick_);
    effect |= DROPEFFECT_SCROLL;
    return hr;
}

HRESULT TPTCustomShellList::DragLeave() {
    incoming_.reset();
    setDropHighlight(-1);
    return S_OK;
}

HRESULT TPTCustomShellList::Drop(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint point,
                                 uint32_t& effect) {
    int item = -1;
    bool none = false;
    HRESULT hr = S_OK;
    std::shared_ptr<TDropTarget> target = dropTargetAt(point, item, true, effect, none);
    if (target) {
        keys |= incomingKeys_ & (MK_LBUTTON | MK_RBUTTON);
        uint32_t allowed = effect;
        target->DragEnter(data, keys, point, effect);
        target->DragOver(keys, point, effect);
        effect = allowed & GetDropEffects(*data);
        hr = target->Drop(data, keys, point, effect);
        refreshAfterVerb();
    } else {
        effect = DROPEFFECT_NONE;
    }
    incoming_.reset();
    setDropHighlight(-1);
    return hr;
}

// --- drawing -----------------------------------------------------------------------------------------------

void TPTCustomShellList::setDropHighlight(int index) {
    TListItem* item = index >= 0 && index < Items().Count() ? Items().Item(index) : nullptr;
    if (item == dropHighlight_)
        return;
    if (dropHighlight_ != nullptr)
        dropHighlight_->SetDropTarget(false);
    dropHighlight_ = item;
    if (item != nullptr)
        item->SetDropTarget(true);
}

void TPTCustomShellList::CustomDrawItem(TPTCustomDraw& draw, int item) {
    TListItem* row = item >= 0 && item < Items().Count() ? Items().Item(item) : nullptr;
    TPTShListData* data = Model().RecordOf(row);
    if (OnCustomDrawShEx)
        OnCustomDrawShEx(this, draw, row, data);
    if (draw.Stage() == cdsItemPrePaint && OnCustomDrawSh)
        OnCustomDrawSh(this, draw, row, data);
}
