#pragma once
// The shell list: a list view of the items of one shell folder with their
// icons and detail columns (the folder's own, else name, size, type and
// modified), file masks, sorting by any column, live refresh when the
// folder changes, the shell's context menus, the default keys, renaming in
// place, opening items, and drag and drop.  A shell tree linked to it
// drives its folder.
//
// The application sets Folder (a path) and FileFilter, and reads
// GetSelectedData (the item's path and file name) and the list basics.

#include "shell/ChangeHandlerThread.h"
#include "shell/RefreshDeadline.h"
#include "shell/PTListView.h"
#include "shell/ShellListModel.h"
#include "shell/ShellItemsDataObject.h"
#include "shell/ShellLocator.h"
#include "shell/ShellTree.h"

#include <memory>
#include <string>


using TPTShListDeleteItemEvent = std::function<void(TPersistent* sender, TListItem* item, TPTShListData* data)>;
using TPTShDblClickOpenEvent = std::function<void(TPersistent* sender, bool& handled)>;
using TPTShLvCustomDrawEvent =
    std::function<void(TPersistent* sender, TPTCustomDraw& draw, TListItem* item, TPTShListData* data)>;

// The message shell menu handlers send for the explorer window's browser;
// no such window exists here, so it is answered with 0.
enum : unsigned { CWM_GETISHELLBROWSER = 0x0407 };

class TPTCustomShellList : public TPTCustomListView {
public:
    explicit TPTCustomShellList(TComponent* owner = nullptr);
    ~TPTCustomShellList() override;
    std::string ClassName() const override { return "TPTCustomShellList"; }

    TPTShellListModel& Model() { return model_; }
    const TPTShellListModel& Model() const { return model_; }

    TPTShellLocator& Folder() { return folder_; }
    // Assigned; the list then shows that folder.
    void SetFolder(const TPTShellLocator& folder);
    const std::string& FileFilter() const { return Model().FileFilter(); }
    // ";"-separated masks; a change refills the list.
    void SetFileFilter(const std::string& filter);
    TPTShellListOptions Options() const { return Model().Options; }
    void SetOptions(TPTShellListOptions options);
    bool HasOption(TPTShellListOption option) const { return Model().HasOption(option); }

    // The record of the selected row; nullptr when nothing is selected or
    // the row is not the shell's.
    TPTShListData* GetSelectedData();

    TPTCustomShellTree* LinkedTree() const { return tree_; }
    // Set by the tree whose ShellList this list is.
    void SetLinkedTree(TPTCustomShellTree* tree);

    // Shows the folder anew (held back while a caption is edited or a drag
    // from this list runs).
    void FullFill();
    // Brings the rows up to date with the whole folder, or, after a change
    // notice, with the entries it named.
    void RefreshList(bool afterNotice = false);
    // Runs pending timer work now.
    void FlushPending();
    // Opens the selection: a folder is entered, a link to a folder
    // followed, anything else opened by the shell (after OnDblClickOpen).
    void OpenSelection();
    void OpenItem(int item);
    // Shows a folder (through the linked tree when there is one).
    void EnterFolder(PCItemIDList absolute);
    // The folder above the shown one; nothing at the desktop.
    void GoUp();
    // A verb of the selected rows' (or, for "paste", the folder's) menu.
    HRESULT InvokeVerbOnSelection(const std::string& verb);
    void ShowItemsContextMenu(TPoint point);
    void ShowFolderContextMenu(TPoint point);

    // --- drops (called by the list's drop target; points on the screen) --------------
    virtual HRESULT DragEnter(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint point, uint32_t& effect);
    virtual HRESULT DragOver(uint32_t keys, TPoint point, uint32_t& effect);
    virtual HRESULT DragLeave();
    virtual HRESULT Drop(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint point, uint32_t& effect);
    // Drags the selected rows out.
    void BeginDrag(bool rightButton);
    // Renames a row in place (false when it may not be renamed or the list
    // has no window to edit in).
    bool EditCaption(int index) { return index >= 0 && index < Items().Count() && Items().Item(index)->EditCaption(); }
    // The effects the selected rows allow (copy, move, link).
    uint32_t SelectionEffects();

    virtual bool AllowAddItem(const std::shared_ptr<TShellFolder>& folder, PCItemIDList parentAbsolute,
                              PCItemIDList relative, uint32_t attributes);
    virtual void DeviceChanged(TMessage& message);

    // State tests look at.
    bool Dragging() const { return dragging_; }
    bool RefreshPending() const { return refreshPending_; }
    bool TimerPending() const { return timerPending_; }
    TChangeHandlerThread* ChangeThread() const { return changeThread_.get(); }

    TPTShAddItemEvent OnAddItem;
    TPTShListDeleteItemEvent OnDeleteItem;
    TPTShPopupHintEvent OnPopupHint;
    TPTShDblClickOpenEvent OnDblClickOpen;
    TPTShLvCustomDrawEvent OnCustomDrawSh;   // item stages
    TPTShLvCustomDrawEvent OnCustomDrawShEx; // every stage
    TNotifyEvent OnFillStart;
    TNotifyEvent OnFillComplete;
    TNotifyEvent OnFolderChanged;

    void Loaded() override;

    // The hooks of the list view.
    bool CanEdit(TListItem* item) override;
    void Edit(TListItem* item, std::string& text) override;
    void EditEnded() override;
    void Delete(TListItem* item) override;
    void ColClick(TListColumn* column) override;
    void GetImageIndex(TListItem* item) override;
    std::string DisplayText(int index, int column) override;
    bool WantsItemDraw() const override { return OnCustomDrawSh || OnCustomDrawShEx; }

protected:
    // The drag of controls onto controls keeps its name beside the drops above.
    using TControl::DragOver;
    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* component, TOperation operation) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    // The list handles this key itself (its default commands).
    bool ownsKey(TShortCut key) const;
    void DblClick() override;

    void ItemContextMenu(TListItem* item, TPoint point) override;
    void RightClicked(TPoint point) override;
    void ItemDragStart(bool rightButton) override;
    void CustomDrawItem(TPTCustomDraw& draw, int item) override;

private:
    void showSortMark();
    void setDropHighlight(int index);
    void folderChanged();
    void armWatch();
    void watchAgain();
    void changeNotice(int slot);
    void timerFired();
    void registerDropTarget(bool on);
    void refreshAfterVerb();
    void afterHeldBack();
    void trackMenu(TShellFolder& folder, const std::vector<PCItemIDList>& items, TPoint point, bool rows);
    std::vector<PCItemIDList> selectedItems();
    // The default command of the items' menu (open, for files).
    void invokeDefaultCommand(const std::vector<PCItemIDList>& items);
    std::shared_ptr<TDropTarget> folderDropTarget();
    std::shared_ptr<TDropTarget> dropTargetAt(TPoint screen, int& item, bool forDrop, uint32_t& effect, bool& none);
    void mouseWheel(TMessage& message);

    TPTShellListModel model_;
    TPTShellLocator folder_;
    TPTCustomShellTree* tree_ = nullptr;
    TListItem* dropHighlight_ = nullptr;
    int nesting_ = 0;
    unsigned folderChanges_ = 0; // the folder set, counted
    bool dragging_ = false;
    bool dragRight_ = false;
    bool refreshPending_ = false;
    bool fillPending_ = false; // what is held back is a fill (the folder changed)
    bool timerPending_ = false;
    TRefreshDeadline refreshDeadline_;
    TPTRenameEcho renameEcho_;
    // Names taken from the change thread before the refresh that uses them.
    std::vector<std::string> heldNames_;
    bool heldNamesUnknown_ = false;
    std::unique_ptr<TChangeHandlerThread> changeThread_;
    std::string watched_;
    std::shared_ptr<TDropTarget> dropTarget_;
    std::shared_ptr<TContextMenu> trackedMenu_;
    std::shared_ptr<TDataObject> incoming_;
    uint32_t incomingKeys_ = 0;
    uint32_t lastScrollTick_ = 0;
};

class TPTShellList : public TPTCustomShellList {
public:
    using TPTCustomShellList::TPTCustomShellList;
    std::string ClassName() const override { return "TPTShellList"; }
};

// The selected rows of a list, dragged or sent.
class TDataObject_shlv : public TPTShellItemsDataObject {
public:
    explicit TDataObject_shlv(TPTCustomShellList& list);
};

using TDropTarget_shlv = TPTForwardingDropTarget<TPTCustomShellList>;
