#pragma once
// TTBKPopupWindow: a popup menu window painted by the current theme: its
// border (the theme's frame, joined to the toolbar button it drops from),
// its background and, when the theme asks for them, the shadow strips
// behind it.  TTBKChevronPopupWindow is the popup of a toolbar's chevron.

#include "toolbars/TBPopupWindow.h"
#include "toolbars/themes/TBKShadows.h"
#include "toolbars/themes/TBKTheme.h"

#include <memory>

class TTBKPopupWindow : public TTBPopupWindow {
public:
    explicit TTBKPopupWindow(TComponent* owner = nullptr) : TTBPopupWindow(owner) {}
    ~TTBKPopupWindow() override;
    std::string ClassName() const override { return "TTBKPopupWindow"; }
    static TTBPopupWindow* Make(TTBView* parentView, TTBCustomItem* item, bool customizing);

    // 0x2008 chevron, 0x2002 a lone list, 0x2004 an edit item's or a tool
    // box's popup, else 0x2001.
    virtual TTBKViewType ViewType() const;
    // Every popup but a list's casts a shadow.
    virtual bool ShadowsAllowed() const { return ViewType() != TVT_LISTPOPUP; }
    TPoint BorderSize() const override;
    // What the theme paints the frame from.
    TTBKPopupInfo PopupInfo() const;
    // The shadow strips while they are shown, else nullptr.
    TShadows* Shadows() const { return shadows_.get(); }
    // The screen rectangle the shadow leaves out: the toolbar button (or
    // chevron) the popup drops from; empty for any other opener.
    TRect ShadowCutout() const;

protected:
    // A theme whose popups cast the desktop's own shadow (shadow type 1)
    // asks for a window the desktop shadows, where it draws shadows.
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void Paint() override;
    void PaintBorder(TCanvas& canvas, const TRect& rect) override;
    void PaintBackground(TCanvas& canvas, const TRect& rect) override;
    void BoundsChanged(const TRect& oldBounds) override;

private:
    // The opener's viewer when it is a toolbar-style themed viewer (or the
    // chevron of a chevron popup), else nullptr.
    TTBItemViewer* toolbarOpener() const;
    void makeShadows();

    std::unique_ptr<TShadows> shadows_;
    int effectsHandler_ = 0; // the window notice handler that remakes the shadows
};

class TTBKChevronPopupWindow : public TTBKPopupWindow {
public:
    using TTBKPopupWindow::TTBKPopupWindow;
    std::string ClassName() const override { return "TTBKChevronPopupWindow"; }
    static TTBPopupWindow* Make(TTBView* parentView, TTBCustomItem* item, bool customizing);
    TTBKViewType ViewType() const override { return TVT_CHEVRONPOPUP; }
};
