#pragma once
// TTBCustomToolbar: the dockable window that shows an item tree as a
// toolbar or as the main menu bar.  It owns its root item (Items), a view
// that lays out and paints the items in its client area, and a chevron
// item whose popup lists the items that do not fit.  It opens menus from
// the mouse and the keyboard through the menu loop (TBMenuLoop.h), runs
// the keyboard shortcuts of its items for its form, hosts ordinary
// controls through control items, and tells its dock how long it wants to
// be, wrapping or shrinking behind the chevron as the dock allows.

#include "toolbars/TBDockableWindow.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/TBView.h"

#include <functional>
#include <memory>
#include <vector>

class TImageList;
class TTBCustomToolbar;

// The chevron of a toolbar: its popup lists the toolbar's hidden items.
class TTBChevronItem : public TTBCustomItem {
public:
    explicit TTBChevronItem(TTBCustomToolbar* toolbar);
    std::string ClassName() const override { return "TTBChevronItem"; }
    TTBCustomToolbar* Toolbar() const { return toolbar_; }
    TTBView* ChevronSourceView() override;
    TTBItemViewerClass ViewerClassFor(TTBView* view) override;

private:
    TTBCustomToolbar* toolbar_;
};

// The chevron's button: two small arrows pointing along the toolbar.
class TTBChevronItemViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item);
    TTBItemViewerClass ViewerClass() const override { return &Make; }
    void Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
               bool useDisabledShadow) override;
};

// The view of a toolbar's items.
class TTBToolbarView : public TTBView {
public:
    TTBToolbarView(TTBCustomToolbar* toolbar, TTBCustomItem* items);
    std::string ClassName() const override { return "TTBToolbarView"; }
    TTBCustomToolbar* Toolbar() const { return toolbar_; }
    void ResizeWindow(int width, int height) override;
    void LayoutAndRepaint(TSize& newSize) override;
    TFont GetFont() override;
    TTBCustomItem* GetChevronItem() override;
    TTBCustomItem* GetTrailingGroupItem() override { return TrailingGroupItem; }
    TTBCustomItem* GetLeadingItem() override { return LeadingItem; }
    void InvalidatePositions() override;

    // Set by the MDI handler: items shown at the start and the end.
    TTBCustomItem* TrailingGroupItem = nullptr;
    TTBCustomItem* LeadingItem = nullptr;

private:
    TTBCustomToolbar* toolbar_;
};

// Asked first for each shortcut; set handled to stop the search.
using TTBShortCutEvent = std::function<void(TTBCustomToolbar* sender, TShortCut key, bool& handled)>;

class TTBCustomToolbar : public TTBCustomDockableWindow {
public:
    explicit TTBCustomToolbar(TComponent* owner = nullptr);
    ~TTBCustomToolbar() override;
    std::string ClassName() const override { return "TTBCustomToolbar"; }

    // --- published ---------------------------------------------------------------------
    TTBRootItem* Items() const { return items_.get(); }
    TImageList* Images() const { return items_->SubMenuImages(); }
    void SetImages(TImageList* value) { items_->SetSubMenuImages(value); }
    TTBCustomItem* LinkSubitems() const { return items_->LinkSubitems(); }
    void SetLinkSubitems(TTBCustomItem* value) { items_->SetLinkSubitems(value); }
    TTBItemOptions Options() const { return items_->Options(); }
    void SetOptions(TTBItemOptions value) { items_->SetOptions(value); }
    bool MenuBar() const { return menuBar_; }
    void SetMenuBar(bool value);
    bool ProcessShortCuts() const { return processShortCuts_; }
    void SetProcessShortCuts(bool value);
    TTBShrinkMode ShrinkMode() const { return shrinkMode_; }
    void SetShrinkMode(TTBShrinkMode value);
    bool SystemFont() const { return systemFont_; }
    void SetSystemFont(bool value);
    // Whether the items follow their actions whenever the program is idle.
    bool UpdateActions = true;
    // Asks every item of the toolbar to update from its action (while
    // UpdateActions is set); the program's idle time does so for a toolbar
    // that is showing.
    void InitiateAction();
    TTBShortCutEvent OnShortCut;

    // --- parts ---------------------------------------------------------------------------
    TTBToolbarView* View() const { return view_.get(); }
    TTBChevronItem* ChevronItem() const { return chevron_.get(); }
    // The width a floating toolbar wraps at (0: no wrapping).
    int FloatingRightX() const { return floatingRightX_; }
    void SetFloatingRightX(int value);
    // Lines of the last measured layout.
    int LastLines() const { return lastLines_; }
    // A layout of the view is running (the toolbar then neither re-arranges
    // nor resizes itself).
    bool LayingOut() const { return layoutsInProgress_ > 0; }
    // The client size the view last asked for.
    TSize SizeAsked() const { return sizeAsked_; }

    // Batches changes of the items: the view lays out once at the end.
    void BeginUpdate();
    void EndUpdate();
    // Opens or runs the item of an access key (accelOnly: no first
    // letters); ch 0 selects the first item (Alt pressed alone).  True
    // when it acted.
    bool KeyboardOpen(char32_t ch, bool accelOnly);
    // Makes a control item for a control and puts it into Items at index.
    TTBControlItem* CreateControlItem(TControl* control, int index);
    // A size a floating toolbar can take (frame included) and the wrap
    // width that gives it (0: none).
    struct TFloatingSize {
        TSize Size;
        int RightX = 0;
        friend bool operator==(const TFloatingSize&, const TFloatingSize&) = default;
    };
    // The sizes at which the number of lines changes, widest first.
    std::vector<TFloatingSize> GetFloatingSizes();
    // The view's orientation and limits for the current dock.
    void UpdateViewLimits();

    // --- the dockable window's hooks -----------------------------------------------------
    TSize ArrangeContents(bool canMove, TTBDockType previousDockType, TTBDock* dockingTo, bool toFloating) override;
    TSize ContentClientSize() override;
    void PointOnChildControl(TPoint point, bool& result) override;
    void ShrinkLimit(int& length) override;
    TTBShrinkMode ActiveShrinkMode() override { return shrinkMode_; }
    bool WantsMenuEvents() const override { return menuBar_; }
    void SizingStarted(int edge) override;
    void SizingFinished() override;
    void ProposeSizingRect(TRect& rect, const TRect& startRect) override;
    void BeforeSizeApplied() override;
    void ReadExtraPositionValues(const TTBPositionReader& reader) override;
    void WriteExtraPositionValues(const TTBPositionWriter& writer) override;
    void Loaded() override;

    // The toolbars that take part in shortcut processing, in the order
    // they registered.
    static const std::vector<TTBCustomToolbar*>& ShortCutToolbars();

protected:
    // The classes of the view and the chevron: a descendant that has its
    // own calls MakeParts in its constructor.
    virtual TTBToolbarView* CreateView();
    virtual TTBChevronItem* CreateChevronItem();
    void MakeParts();
    void Dispatch(TMessage& message) override;
    // Tab skips the controls hidden behind the chevron, and those inside
    // them.
    bool TabOrderIncludes(const TWinControl& child) const override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void Paint() override;
    // Controls on a toolbar are placed by its view through their control
    // items, never aligned; a new size that moves the view's wrap width
    // (a bar as long as its dock, one sized by hand) lays the items out
    // again instead.
    void AlignControls(TRect&) override;

private:
    friend class TTBToolbarView;
    struct TFloatingResize;
    void updateRegistration();
    void adoptChildControls();
    void rearrange();
    // Orientation, wrap and chevron limits for a dock (or floating).
    void limitsFor(TTBDock* dock, bool floating, int& orientation, int& wrapOffset, int& chevronOffset);
    bool handleSysCommand(TMessage& message);

    std::unique_ptr<TTBRootItem> items_;
    std::unique_ptr<TTBChevronItem> chevron_;
    std::unique_ptr<TTBToolbarView> view_;
    bool menuBar_ = false;
    bool processShortCuts_ = false;
    TTBShrinkMode shrinkMode_ = tbsmChevron;
    bool systemFont_ = true;
    int floatingRightX_ = 0;
    int actionIdleHandler_ = 0;
    int lastLines_ = 1;
    int layoutsInProgress_ = 0;
    int arranging_ = 0;
    TSize sizeAsked_;
    bool trackingFromMouse_ = false;
    std::unique_ptr<TFloatingResize> floatingResize_;
};

// The concrete toolbar forms place.
class TTBToolbar : public TTBCustomToolbar {
public:
    explicit TTBToolbar(TComponent* owner = nullptr) : TTBCustomToolbar(owner) {}
    std::string ClassName() const override { return "TTBToolbar"; }
};

// --- the application's keys --------------------------------------------------------------
// What the application calls with the keys its forms do not take
// themselves.
//
// A shortcut of the active form's toolbars, else of the main form's: each
// toolbar that processes shortcuts, of that form, in the order they
// registered, asks OnShortCut, then runs the enabled item with that
// shortcut.  True when one took it.
bool ToolbarsProcessShortCut(TWinControl* activeForm, TWinControl* mainForm, TShortCut key);
// The shortcuts of one form's toolbars.
bool ToolbarsProcessFormShortCut(TWinControl* form, TShortCut key);
// A system command (Alt and access keys: SC_KEYMENU with the character, a
// code point, in lParam) for the menu bars of a form: each shown, enabled dock or menu bar
// inside it gets WM_SYSCOMMAND until one takes it.
bool ToolbarsSysCommand(TWinControl* form, WPARAM wParam, LPARAM lParam);
