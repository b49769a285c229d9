#include "toolbars/themes/TBKPopupWindow.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/ui/WindowNotices.h"
#include "platform/ui/WindowPeer.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/TBPopupAnimation.h"
#include "toolbars/TBSystemSettings.h"
#include "toolbars/TBView.h"
#include "toolbars/themes/TBKEditItem.h"
#include "toolbars/themes/TBKItems.h"
#include "toolbars/themes/TBKList.h"
#include "toolbars/themes/TBKNexus.h"
#include "toolbars/themes/TBKPaintKit.h"

namespace {

constexpr int kShadowSize = 4;
constexpr int kShadowOpacity = 64;

TRect screenRectOf(TTBView* view, const TRect& rect) {
    TPoint topLeft = view->ViewToScreen(rect.TopLeft());
    return Bounds(topLeft.X, topLeft.Y, rect.Width(), rect.Height());
}

} // namespace

TTBKPopupWindow::~TTBKPopupWindow() {
    if (effectsHandler_ != 0)
        RemoveWindowNoticeHandler(effectsHandler_);
    shadows_.reset();
}

TTBPopupWindow* TTBKPopupWindow::Make(TTBView* parentView, TTBCustomItem* item, bool customizing) {
    auto* window = new TTBKPopupWindow();
    window->Init(parentView, item, customizing);
    return window;
}

TTBPopupWindow* TTBKChevronPopupWindow::Make(TTBView* parentView, TTBCustomItem* item, bool customizing) {
    auto* window = new TTBKChevronPopupWindow();
    window->Init(parentView, item, customizing);
    return window;
}

TTBKViewType TTBKPopupWindow::ViewType() const {
    TTBCustomItem* item = View() != nullptr ? View()->ParentItem() : nullptr;
    if (item == nullptr)
        return TVT_POPUPMENU;
    if (item->Count() == 1 && dynamic_cast<TTBKCustomList*>(item->ItemAt(0)) != nullptr)
        return TVT_LISTPOPUP;
    auto* themed = dynamic_cast<TTBKCustomItem*>(item);
    if (dynamic_cast<TTBKEditItem*>(item) != nullptr || (themed != nullptr && themed->ToolBoxPopup))
        return TVT_TOOLBOXPOPUP;
    return TVT_POPUPMENU;
}

TPoint TTBKPopupWindow::BorderSize() const {
    TPoint border;
    CurrentTheme().GetViewBorder(ViewType(), border);
    return border;
}

TTBItemViewer* TTBKPopupWindow::toolbarOpener() const {
    TTBView* parent = View() != nullptr ? View()->ParentView() : nullptr;
    if (parent == nullptr)
        return nullptr;
    TTBItemViewer* opener = parent->OpenViewer();
    if (opener == nullptr)
        return nullptr;
    const bool chevron = ViewType() == TVT_CHEVRONPOPUP;
    if (!chevron && dynamic_cast<TTBKItemViewer*>(opener) == nullptr)
        return nullptr;
    return opener->IsToolbarStyle() ? opener : nullptr;
}

TTBKPopupInfo TTBKPopupWindow::PopupInfo() const {
    TTBKPopupInfo info;
    info.Window = const_cast<TTBKPopupWindow*>(this);
    info.ViewType = ViewType();
    if (TTBItemViewer* opener = toolbarOpener()) {
        TRect item = screenRectOf(opener->View(), opener->BoundsRect);
        OffsetRect(item, -Left(), -Top());
        info.ParentItemRect = item;
    }
    info.BorderSize = BorderSize();
    return info;
}

TRect TTBKPopupWindow::ShadowCutout() const {
    TTBView* parent = View() != nullptr ? View()->ParentView() : nullptr;
    if (parent == nullptr)
        return {};
    TTBItemViewer* opener = parent->OpenViewer();
    if (opener == nullptr)
        return {};
    const bool chevron = ViewType() == TVT_CHEVRONPOPUP;
    if (!chevron && dynamic_cast<TTBKItemViewer*>(opener) == nullptr)
        return {};
    if (!chevron && GetViewType(parent) == TVT_POPUPMENU)
        return {};
    return screenRectOf(parent, opener->BoundsRect);
}

void TTBKPopupWindow::makeShadows() {
    shadows_.reset();
    if (!ShadowsAllowed() || CurrentTheme().GetPopupShadowType() != 2)
        return;
    shadows_ = std::make_unique<TShadows>(ShadowCutout(), BoundsRect(), kShadowSize, kShadowOpacity,
                                          TBKDisplay().LowColor);
    shadows_->Show(this);
    // Soft strips show black where nothing composites, and plain ones look
    // poor where something does: when a compositing manager starts or
    // stops, the shown strips are made again for what the desktop is now.
    if (effectsHandler_ == 0)
        effectsHandler_ = AddWindowNoticeHandler([this](TWindowNotice notice, TWinControl*) {
            if (notice == wnDesktopEffectsChanged && shadows_ && Visible())
                makeShadows();
        });
}

void TTBKPopupWindow::CreateParams(TCreateParams& params) {
    TTBPopupWindow::CreateParams(params);
    if (ShadowsAllowed() && CurrentTheme().GetPopupShadowType() == 1 && TBSystemSettings().DropShadows())
        params.Kind = std::string(wk::ShadowedPopup);
}

void TTBKPopupWindow::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case TBKM_GETVIEWTYPE:
        message.Result = static_cast<LRESULT>(ViewType());
        return;
    case TBM_ANIMATIONNOTICE:
        if ((message.WParam == 2 || message.WParam == 3) && !(ComponentState() & csDestroying)) {
            makeShadows();
            return;
        }
        if (message.WParam == 1) {
            message.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    TTBPopupWindow::Dispatch(message);
}

void TTBKPopupWindow::BoundsChanged(const TRect& oldBounds) {
    TTBPopupWindow::BoundsChanged(oldBounds);
    if (shadows_ && Visible())
        makeShadows();
}

void TTBKPopupWindow::Paint() {
    if (PaintAnimatedPopup(this, Canvas()))
        return;
    // Through a bitmap: the glyph looks mix with the pixels below them.
    TBitmap buffer(std::max(Width(), 1), std::max(Height(), 1));
    buffer.Canvas().SetMeasurer(&Canvas().Measurer());
    PaintTo(buffer.Canvas());
    buffer.Canvas().Release();
    Canvas().Draw(0, 0, buffer);
}

void TTBKPopupWindow::PaintBorder(TCanvas& canvas, const TRect& rect) {
    TTBKPopupInfo info = PopupInfo();
    if (View() != nullptr && !(View()->WindowOrigin == info.BorderSize)) {
        // A theme selected while the popup is open has another border: the
        // view moves and the window takes its new size.
        View()->WindowOrigin = info.BorderSize;
        View()->InvalidatePositions();
    }
    TRect inside = rect;
    InflateRect(inside, -info.BorderSize.X, -info.BorderSize.Y);
    TExcludedClip clip(canvas, inside);
    CurrentTheme().PaintPopupNCArea(canvas, rect, info);
}

void TTBKPopupWindow::PaintBackground(TCanvas& canvas, const TRect& rect) {
    TTBKViewType type = ViewType();
    TColor color = CurrentTheme().GetViewColor(type);
    if (View() != nullptr)
        View()->Color = color;
    CurrentTheme().PaintBackground(canvas, rect, color, type);
}
