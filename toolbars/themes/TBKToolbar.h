#pragma once
// The themed dockable windows: TTBKToolbar (toolbars and the menu bar),
// TTBKToolWindow, and the floating frame both live in when they float,
// TTBKFloatingWindowParent.  Their docked frames, backgrounds, floating
// frames and border sizes come from the current theme, and they follow
// theme changes (they are on the theme's notification list).

#include "toolbars/TBFloatingFrame.h"
#include "toolbars/TBToolWindow.h"
#include "toolbars/TBToolbar.h"
#include "toolbars/themes/TBKItems.h"
#include "toolbars/themes/TBKTheme.h"

// The chevron of a themed toolbar.
class TTBKChevronItem : public TTBChevronItem {
public:
    explicit TTBKChevronItem(TTBCustomToolbar* toolbar) : TTBChevronItem(toolbar) {}
    std::string ClassName() const override { return "TTBKChevronItem"; }
    TTBItemViewerClass ViewerClassFor(TTBView* view) override;
    TTBPopupWindowClass PopupWindowClass() override;
    void PlacePopup(TTBView* parentView, TTBPopupWindow* popup, TTBPopupPositionRec& rec) override;
};

class TTBKToolbarView : public TTBToolbarView {
public:
    using TTBToolbarView::TTBToolbarView;
    std::string ClassName() const override { return "TTBKToolbarView"; }
    // The theme's margins for the toolbar's view type (floating or not as
    // the orientation says).
    void GetMargins(int orientation, TRect& margins) override;
};

// What the themed windows share: their frame's description for the theme.
TTBKToolbarInfo ToolbarInfoOf(TTBCustomDockableWindow& window, bool hotAndPressedApart);
// The view type of a dockable window: base, plus floating and resizable.
TTBKViewType DockableViewType(const TTBCustomDockableWindow& window, TTBKViewType base);
// The docked frame painted by the theme (nothing unless docked).
void PaintThemedNCArea(TCanvas& canvas, TTBCustomDockableWindow& window, const TTBKToolbarInfo& info);

class TTBKToolbar : public TTBCustomToolbar {
public:
    explicit TTBKToolbar(TComponent* owner = nullptr);
    ~TTBKToolbar() override;
    std::string ClassName() const override { return "TTBKToolbar"; }

    TTBKViewType ViewType() const { return DockableViewType(*this, MenuBar() ? TVT_MENUBAR : TVT_TOOLBAR); }
    virtual TTBKToolbarInfo GetToolbarInfo();
    // The dock's background shows through (the theme paints none).
    virtual bool UsesDockBackground() { return CurrentTheme().GetBooleanMetric(TMB_PAINTDOCKBACKGROUND); }
    TPoint FloatingFrameBorder() const override;
    TTBFloatingWindowParent* MakeFloatingFrame() override;
    void DrawNCArea(TCanvas& canvas) override;

protected:
    TTBToolbarView* CreateView() override;
    TTBChevronItem* CreateChevronItem() override;
    void Dispatch(TMessage& message) override;
    void Paint() override;
};

class TTBKToolWindow : public TTBToolWindow {
public:
    explicit TTBKToolWindow(TComponent* owner = nullptr);
    ~TTBKToolWindow() override;
    std::string ClassName() const override { return "TTBKToolWindow"; }

    TTBKViewType ViewType() const { return DockableViewType(*this, TVT_TOOLWINDOW); }
    virtual TTBKToolbarInfo GetToolbarInfo();
    TPoint FloatingFrameBorder() const override;
    TTBFloatingWindowParent* MakeFloatingFrame() override;
    void DrawNCArea(TCanvas& canvas) override;

protected:
    void Dispatch(TMessage& message) override;
};

class TTBKFloatingWindowParent : public TTBFloatingWindowParent {
public:
    using TTBFloatingWindowParent::TTBFloatingWindowParent;
    std::string ClassName() const override { return "TTBKFloatingWindowParent"; }
    bool CloseButtonHot() const { return closeButtonHot_; }
    // What the theme paints the frame from.
    TTBKWindowInfo WindowInfo(unsigned parts) const;
    void PaintFrameParts(TCanvas& canvas, unsigned parts) override;

protected:
    void Dispatch(TMessage& message) override;

private:
    void setCloseButtonHot(bool hot);
    bool closeButtonHot_ = false;
};
