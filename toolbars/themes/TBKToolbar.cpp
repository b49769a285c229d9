#include "toolbars/themes/TBKToolbar.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/ui/NonClientMouse.h"
#include "toolbars/TBDock.h"
#include "toolbars/TBDockTypes.h"
#include "toolbars/themes/TBKPaintKit.h"
#include "toolbars/themes/TBKPopupWindow.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Chevron and view

TTBItemViewerClass TTBKChevronItem::ViewerClassFor(TTBView*) { return &TTBKChevronItemViewer::Make; }

TTBPopupWindowClass TTBKChevronItem::PopupWindowClass() { return &TTBKChevronPopupWindow::Make; }

void TTBKChevronItem::PlacePopup(TTBView* parentView, TTBPopupWindow* popup, TTBPopupPositionRec& rec) {
    PlaceJoinedPopup(this, parentView, popup, rec);
}

void TTBKToolbarView::GetMargins(int orientation, TRect& margins) {
    TTBKViewType type = GetWinViewType(Toolbar());
    if (type & TVT_TOOLBARGROUP) {
        if (orientation == tbvoFloating)
            type |= TVT_FLOATING;
        else
            type &= ~static_cast<TTBKViewType>(TVT_FLOATING);
    }
    CurrentTheme().GetViewMargins(type, margins);
}

// ---------------------------------------------------------------------------
// Shared by the toolbar and the tool window

TTBKViewType DockableViewType(const TTBCustomDockableWindow& window, TTBKViewType base) {
    TTBKViewType type = base;
    if (window.Floating())
        type |= TVT_FLOATING;
    if (window.Resizable())
        type |= TVT_RESIZABLE;
    return type;
}

TTBKToolbarInfo ToolbarInfoOf(TTBCustomDockableWindow& window, bool hotAndPressedApart) {
    TTBKToolbarInfo info;
    info.Window = &window;
    info.ViewType = GetWinViewType(&window);
    TTBDock* dock = window.CurrentDock();
    if (dock != nullptr) {
        info.Vertical = dock->IsVertical();
        info.AllowDrag = dock->AllowDrag();
    }
    info.BorderStyle = window.BorderStyle() == bsSingle ? 1 : 0;
    CurrentTheme().GetViewBorder(info.ViewType, info.BorderSize);
    info.ClientWidth = window.ClientWidth();
    info.ClientHeight = window.ClientHeight();
    info.DragHandleStyle = static_cast<uint8_t>(window.DragHandleStyle());
    if (info.AllowDrag && window.CloseButtonWhenDocked()) {
        info.CloseButtonState = CB_SHOWN;
        if (window.CloseButtonPressed())
            info.CloseButtonState |= CB_PRESSED;
        if (window.CloseButtonHot() && (hotAndPressedApart || !window.CloseButtonPressed()))
            info.CloseButtonState |= CB_HOT;
    }
    return info;
}

void PaintThemedNCArea(TCanvas& canvas, TTBCustomDockableWindow& window, const TTBKToolbarInfo& info) {
    if (!window.Docked())
        return;
    TRect r = Rect(0, 0, window.Width(), window.Height());
    TRect client = r;
    InflateRect(client, -info.BorderSize.X, -info.BorderSize.Y);
    const int handle = GetDragHandleSize(info);
    if (info.Vertical)
        client.Top += handle;
    else
        client.Left += handle;
    TExcludedClip clip(canvas, client);
    CurrentTheme().PaintToolbarNCArea(canvas, r, info);
}

namespace {

TPoint themedFloatingBorder(const TTBCustomDockableWindow& window) {
    TPoint border;
    CurrentTheme().GetViewBorder(GetWinViewType(const_cast<TTBCustomDockableWindow*>(&window)) | TVT_FLOATING,
                                 border);
    return border;
}

// The theme changed: the contents are arranged with its metrics (once the
// update that began with the change ends), the frame is measured and
// painted anew.
void followThemeChange(TTBCustomDockableWindow& window) {
    window.FitToContents();
    window.EndUpdate();
    if (TTBFloatingWindowParent* frame = window.FloatingFrame()) {
        frame->FrameGeometryChanged();
        frame->RedrawParts(fpAll);
    } else {
        window.InvalidateFrame();
    }
    window.Invalidate();
}

} // namespace

// ---------------------------------------------------------------------------
// TTBKToolbar

TTBKToolbar::TTBKToolbar(TComponent* owner) : TTBCustomToolbar(owner) {
    MakeParts();
    AddThemeNotification(this);
}

TTBKToolbar::~TTBKToolbar() { RemoveThemeNotification(this); }

TTBToolbarView* TTBKToolbar::CreateView() { return new TTBKToolbarView(this, Items()); }

TTBChevronItem* TTBKToolbar::CreateChevronItem() { return new TTBKChevronItem(this); }

TTBKToolbarInfo TTBKToolbar::GetToolbarInfo() { return ToolbarInfoOf(*this, false); }

TPoint TTBKToolbar::FloatingFrameBorder() const { return themedFloatingBorder(*this); }

TTBFloatingWindowParent* TTBKToolbar::MakeFloatingFrame() { return new TTBKFloatingWindowParent(); }

void TTBKToolbar::DrawNCArea(TCanvas& canvas) { PaintThemedNCArea(canvas, *this, GetToolbarInfo()); }

void TTBKToolbar::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case TBKM_GETVIEWTYPE:
        message.Result = static_cast<LRESULT>(ViewType());
        return;
    case TBKM_THEMECHANGING:
        TTBCustomDockableWindow::BeginUpdate();
        return;
    case TBKM_THEMECHANGED:
        // The items measure through the theme: its sizes and margins may
        // differ from the last one's.
        View()->InvalidatePositions();
        followThemeChange(*this);
        return;
    case WM_ERASEBKGND:
        if (!UsesDockBackground()) {
            if (auto* canvas = reinterpret_cast<TCanvas*>(message.WParam)) {
                TTBKViewType type = ViewType();
                TTBKTheme& theme = CurrentTheme();
                theme.PaintBackground(*canvas, ClientRect(), theme.GetViewColor(type), type);
            }
            message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TTBCustomToolbar::Dispatch(message);
}

void TTBKToolbar::Paint() {
    // Through a bitmap: the glyph looks mix with what lies below them.
    TBitmap buffer(std::max(ClientWidth(), 1), std::max(ClientHeight(), 1));
    TCanvas& canvas = buffer.Canvas();
    canvas.SetMeasurer(&Canvas().Measurer());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&canvas));
    View()->Color = CurrentTheme().GetViewColor(ViewType());
    View()->DrawViewers(canvas);
    canvas.Release();
    Canvas().Draw(0, 0, buffer);
}

// ---------------------------------------------------------------------------
// TTBKToolWindow

TTBKToolWindow::TTBKToolWindow(TComponent* owner) : TTBToolWindow(owner) { AddThemeNotification(this); }

TTBKToolWindow::~TTBKToolWindow() { RemoveThemeNotification(this); }

TTBKToolbarInfo TTBKToolWindow::GetToolbarInfo() { return ToolbarInfoOf(*this, true); }

TPoint TTBKToolWindow::FloatingFrameBorder() const { return themedFloatingBorder(*this); }

TTBFloatingWindowParent* TTBKToolWindow::MakeFloatingFrame() { return new TTBKFloatingWindowParent(); }

void TTBKToolWindow::DrawNCArea(TCanvas& canvas) { PaintThemedNCArea(canvas, *this, GetToolbarInfo()); }

void TTBKToolWindow::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case TBKM_GETVIEWTYPE:
        message.Result = static_cast<LRESULT>(ViewType());
        return;
    case TBKM_THEMECHANGING:
        BeginUpdate();
        return;
    case TBKM_THEMECHANGED:
        followThemeChange(*this);
        return;
    case WM_ERASEBKGND:
        // Asked for the colour of a floating tool window, painted as a
        // docked one.
        if (auto* canvas = reinterpret_cast<TCanvas*>(message.WParam)) {
            TTBKTheme& theme = CurrentTheme();
            TColor color = theme.GetViewColor(Floating() ? (TVT_TOOLWINDOW | TVT_FLOATING) : TVT_TOOLWINDOW);
            theme.PaintBackground(*canvas, ClientRect(), color, TVT_TOOLWINDOW);
        }
        message.Result = 1;
        return;
    default:
        TTBToolWindow::Dispatch(message);
    }
}

// ---------------------------------------------------------------------------
// TTBKFloatingWindowParent

TTBKWindowInfo TTBKFloatingWindowParent::WindowInfo(unsigned parts) const {
    TTBKWindowInfo info;
    info.ParentWindow = const_cast<TTBKFloatingWindowParent*>(this);
    info.Window = DockableWindow;
    info.ViewType = GetWinViewType(DockableWindow);
    const int border = BorderSize();
    info.ClientWidth = std::max(Width() - 2 * border, 0);
    info.ClientHeight = std::max(Height() - 2 * border - CaptionHeight(), 0);
    info.ShowCaption = CaptionHeight() > 0;
    info.FloatingBorderSize = {border, border};
    if (ShowsCloseButton()) {
        info.CloseButtonState = CB_SHOWN;
        if (CloseButtonPressed())
            info.CloseButtonState |= CB_PRESSED;
        else if (closeButtonHot_)
            info.CloseButtonState |= CB_HOT;
    }
    info.RedrawParts = parts;
    info.Caption = DockableWindow != nullptr ? DockableWindow->Caption() : Caption();
    info.ActiveCaption = DockableWindow == nullptr || !DockableWindow->InactiveCaption();
    return info;
}

void TTBKFloatingWindowParent::PaintFrameParts(TCanvas& canvas, unsigned parts) {
    TTBKWindowInfo info = WindowInfo(parts);
    TRect whole = Rect(0, 0, Width(), Height());
    TRect inside = whole;
    InflateRect(inside, -info.FloatingBorderSize.X, -info.FloatingBorderSize.Y);
    inside.Top += CaptionHeight();
    TExcludedClip clip(canvas, inside);
    CurrentTheme().PaintFloatingBorder(canvas, whole, info);
}

void TTBKFloatingWindowParent::setCloseButtonHot(bool hot) {
    if (hot == closeButtonHot_)
        return;
    closeButtonHot_ = hot;
    if (Visible())
        RedrawParts(fpCloseButton);
}

void TTBKFloatingWindowParent::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_NCMOUSEMOVE:
        TTBFloatingWindowParent::Dispatch(message);
        setCloseButtonHot(static_cast<int>(message.WParam) == kHitCloseButton);
        return;
    case WM_NCMOUSELEAVE:
        // A press on the close button in progress keeps its look.
        if (GetCaptureControl() != this)
            setCloseButtonHot(false);
        TTBFloatingWindowParent::Dispatch(message);
        return;
    case CM_MOUSELEAVE:
        TTBFloatingWindowParent::Dispatch(message);
        setCloseButtonHot(false);
        return;
    default:
        TTBFloatingWindowParent::Dispatch(message);
    }
}
