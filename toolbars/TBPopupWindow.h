#pragma once
// TTBPopupWindow: the top-level window of a submenu, a drop-down or a
// context menu.  It owns one TTBPopupView for the children of the item
// that opened it, draws a 3-pixel border around the view and never takes
// the focus.  The item that opens it places it (TBPopupPlacement.h) on the
// monitor of its opener.

#include "platform/ui/Control.h"
#include "toolbars/TBItem.h"

#include <memory>

class TTBView;

// Number of popup windows alive.
int TBPopupWindowCount();

class TTBPopupWindow : public TCustomControl {
public:
    // A hidden window; Init makes its view.
    explicit TTBPopupWindow(TComponent* owner = nullptr);
    ~TTBPopupWindow() override;
    std::string ClassName() const override { return "TTBPopupWindow"; }

    // The framework's popup window class.
    static TTBPopupWindow* Make(TTBView* parentView, TTBCustomItem* item, bool customizing);
    // Makes the view (through CreateView), takes the parent view's font and
    // access-key state.
    void Init(TTBView* parentView, TTBCustomItem* item, bool customizing);

    TTBView* View() const { return view_; }
    // The directions the popup came from (TBPopupPlacement.h), for its show
    // animation.
    uint8_t AnimationDirection = 0;

    // The border around the view on each side (horizontal, vertical).
    virtual TPoint BorderSize() const { return {3, 3}; }

    void CreateParams(TCreateParams& params) override;

    // Shows the window, sliding in when the desktop animates menus and the
    // popup was not opened from the keyboard nor right after another one.
    void ShowPopup();
    // Paints the whole window (border and items) on a canvas.
    void PaintTo(TCanvas& canvas);

protected:
    // Makes the view; window classes with views of their own override it.
    virtual TTBView* CreateView(TTBView* parentView, TTBCustomItem* item, bool customizing);
    void Dispatch(TMessage& message) override;
    void Paint() override;
    // Paints the border (the whole window is rect).
    virtual void PaintBorder(TCanvas& canvas, const TRect& rect);
    // Fills the area inside the border behind the items.
    virtual void PaintBackground(TCanvas& canvas, const TRect& rect);

private:
    TTBView* view_ = nullptr;
};
