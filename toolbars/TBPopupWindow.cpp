#include "toolbars/TBPopupWindow.h"

#include "platform/gfx/Canvas.h"
#include "platform/ui/ComponentWatch.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/TBPopupAnimation.h"
#include "toolbars/TBPopupPlacement.h"
#include "toolbars/TBScreen.h"
#include "toolbars/TBSystemSettings.h"
#include "toolbars/TBView.h"

namespace {

// The first popup since the program started is shown before its sound
// plays; later ones play it first.
bool firstPopupShown = false;
int popupCount = 0;

TRect screenRectOf(TTBView* view, const TRect& rect) {
    TPoint topLeft = view->ViewToScreen(rect.TopLeft());
    return Bounds(topLeft.X, topLeft.Y, rect.Width(), rect.Height());
}

} // namespace

// ---------------------------------------------------------------------------
// TTBPopupWindow

int TBPopupWindowCount() { return popupCount; }

TTBPopupWindow::TTBPopupWindow(TComponent* owner) : TCustomControl(owner) {
    ++popupCount;
    SetVisible(false);
    SetBounds(0, 0, 320, 240);
    ControlStyle &= ~csCaptureMouse;
    SetShowHint(true);
    SetColor(clMenu);
}

TTBPopupWindow::~TTBPopupWindow() {
    Destroying();
    StopPopupAnimation(this);
    UnregisterTBWindow(this);
    if (view_ != nullptr) {
        view_->CloseChildPopups();
        TTBView* view = view_;
        view_ = nullptr;
        delete view;
    }
    --popupCount;
}

TTBPopupWindow* TTBPopupWindow::Make(TTBView* parentView, TTBCustomItem* item, bool customizing) {
    auto* window = new TTBPopupWindow();
    window->Init(parentView, item, customizing);
    return window;
}

void TTBPopupWindow::Init(TTBView* parentView, TTBCustomItem* item, bool customizing) {
    if (parentView != nullptr)
        SetFont(parentView->GetFont());
    else
        SetFont(TBMenuFont());
    // Making the view updates the items it lists, whose handlers may free
    // the view the popup opens from.
    TComponentWatch opener(parentView);
    view_ = CreateView(parentView, item, customizing);
    TPoint border = BorderSize();
    view_->WindowOrigin = border;
    if (opener.Alive())
        view_->State |= parentView->State & (vsUseHiddenAccels | vsShowAccels);
    RegisterTBWindow(this, true);
}

TTBView* TTBPopupWindow::CreateView(TTBView* parentView, TTBCustomItem* item, bool customizing) {
    return new TTBPopupView(this, parentView, item, this, false, customizing, false);
}

void TTBPopupWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Kind = std::string(wk::Popup);
    params.Style &= ~WS_TABSTOP;
}

void TTBPopupWindow::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE: // a popup closes only when its menu does
        return;
    case WM_ERASEBKGND:
        // The canvas's origin is the window's corner, border included: the
        // background goes inside the border, as painting puts it.
        if (auto* canvas = reinterpret_cast<TCanvas*>(message.WParam)) {
            TRect inside = Rect(0, 0, Width(), Height());
            TPoint border = BorderSize();
            InflateRect(inside, -border.X, -border.Y);
            PaintBackground(*canvas, inside);
        }
        message.Result = 1;
        return;
    case WM_TIMER:
        PopupAnimationTimer(this);
        return;
    case TBM_ANIMATIONDONE:
        PostMessage(this, TBM_ANIMATIONNOTICE, 2);
        return;
    case CM_HINTSHOW: {
        // The selected item's hint, when it asks for hints in menus (or the
        // view shows every item's).
        TTBItemViewer* selected = view_ != nullptr ? view_->Selected() : nullptr;
        bool shows = selected != nullptr &&
                     (view_->ShowsHints() || (selected->Item()->EffectiveOptions() & tboShowHint));
        view_->HintFor(shows ? selected : nullptr, *reinterpret_cast<THintInfo*>(message.LParam));
        message.Result = 0;
        return;
    }
    default:
        TCustomControl::Dispatch(message);
    }
}

void TTBPopupWindow::ShowPopup() {
    TTBView* parent = view_ != nullptr ? view_->ParentView() : nullptr;
    TTBSystemSettings& settings = TBSystemSettings();
    // Fading needs a translucent window; without one the popup slides.
    bool fade = settings.MenuFade() && settings.TranslucentWindows();
    bool animate = !(parent != nullptr && (parent->State & vsNoAnimation)) && !Visible() && view_ != nullptr &&
                   view_->Selected() == nullptr && settings.MenuAnimation() && (fade || AnimationDirection != 0);
    if (animate && Perform(TBM_ANIMATIONNOTICE, 1) == 0) {
        StartPopupAnimation(this, kPopupAnimationMilliseconds, AnimationDirection, fade);
        return;
    }
    Show();
    PostMessage(this, TBM_ANIMATIONNOTICE, 3);
}

void TTBPopupWindow::Paint() {
    if (!PaintAnimatedPopup(this, Canvas()))
        PaintTo(Canvas());
}

void TTBPopupWindow::PaintTo(TCanvas& canvas) {
    TRect whole = Rect(0, 0, Width(), Height());
    PaintBorder(canvas, whole);
    TPoint border = BorderSize();
    TRect inside = whole;
    InflateRect(inside, -border.X, -border.Y);
    PaintBackground(canvas, inside);
    if (view_ == nullptr)
        return;
    TPoint origin = canvas.Origin();
    bool hadClip = canvas.HasClip();
    TRect oldClip = canvas.ClipRect();
    canvas.IntersectClipRect(inside);
    canvas.SetOrigin({origin.X + border.X, origin.Y + border.Y});
    view_->DrawViewers(canvas);
    canvas.SetOrigin(origin);
    if (hadClip)
        canvas.SetClipRect(oldClip);
    else
        canvas.RemoveClip();
}

void TTBPopupWindow::PaintBackground(TCanvas& canvas, const TRect& rect) {
    TColor background = view_ != nullptr && view_->Color != clDefault ? view_->Color : Color();
    canvas.FillRect(rect, background);
}

void TTBPopupWindow::PaintBorder(TCanvas& canvas, const TRect& rect) {
    TRect r = rect;
    if (TBSystemSettings().FlatMenus()) {
        FrameInColor(canvas, r, clBtnShadow);
        InflateRect(r, -1, -1);
        FrameInColor(canvas, r, Color());
        InflateRect(r, -1, -1);
        FrameInColor(canvas, r, Color());
        return;
    }
    canvas.DrawEdge(r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FrameInColor(canvas, r, clBtnFace);
}

// ---------------------------------------------------------------------------
// Opening an item's popup

TTBPopupWindowClass TTBCustomItem::PopupWindowClass() { return &TTBPopupWindow::Make; }

TTBPopupWindow* TTBCustomItem::OpenPopupWindow(TTBView* parentView, TTBItemViewer* parentViewer,
                                               bool positionAsSubmenu, bool selectFirstItem, bool customizing,
                                               TPoint position, int alignment) {
    // The handlers run before the popup shows (its items' OnPopup and
    // click, the updates of the items it lists, the first one's selection)
    // may free this item, the view it opens from or the viewer: the popup
    // then does not open.
    TComponentWatch self(this);
    TComponentWatch opener(parentView);
    TComponentWatch openerViewer(parentViewer);
    auto gone = [&] {
        return !self.Alive() || (parentView != nullptr && !opener.Alive()) ||
               (parentViewer != nullptr && !openerViewer.Alive());
    };
    if (LinkSubitems() != nullptr && LinkSubitems() != this)
        LinkSubitems()->BeforePopup(this, true);
    if (!gone())
        BeforePopup(this, false);
    if (gone())
        return nullptr;

    TTBView* chevronParent = ChevronSourceView();
    TComponentWatch chevronSource(chevronParent);
    TTBCustomItem* shown = chevronParent != nullptr ? chevronParent->ParentItem() : this;
    std::unique_ptr<TTBPopupWindow> popup(PopupWindowClass()(parentView, shown, customizing));
    if (gone() || (chevronParent != nullptr && !chevronSource.Alive()))
        return nullptr;
    TTBView* view = popup->View();
    if (chevronParent != nullptr) {
        view->SetChevronParentView(chevronParent);
        view->SetIsToolbar(true);
        view->State |= chevronParent->State & vsAlwaysShowHints;
        popup->SetColor(clBtnFace);
        // The view lists its viewers again now that it knows which ones the
        // toolbar hides.
        view->RebuildViewers();
    }
    if (selectFirstItem && !gone())
        view->Select(view->FirstSelectable());
    if (gone())
        return nullptr;
    view->ValidatePositions();

    TTBPopupPositionRec rec;
    rec.PositionAsSubmenu = positionAsSubmenu;
    rec.Alignment = alignment;
    rec.Opposite = parentView != nullptr && (parentView->State & vsOppositePopup);
    rec.NCSize = popup->BorderSize();
    rec.Width = popup->Width();
    rec.Height = popup->Height();
    if (parentView != nullptr && parentViewer != nullptr) {
        rec.ParentItemRect = screenRectOf(parentView, parentViewer->BoundsRect);
        rec.MonitorRect = !parentView->MonitorRect.IsEmpty() ? parentView->MonitorRect
                                                             : MonitorAreaOfRect(rec.ParentItemRect, true);
        const TRect& item = rec.ParentItemRect;
        if (positionAsSubmenu) {
            rec.X = item.Right - rec.NCSize.X;
            rec.Y = item.Top - rec.NCSize.Y;
        } else if (chevronParent != nullptr && parentView->Orientation != tbvoVertical) {
            rec.X = item.Right - rec.Width;
            rec.Y = item.Bottom;
        } else if (parentView->Orientation == tbvoVertical) {
            rec.X = item.Left - rec.Width;
            rec.Y = item.Top;
        } else {
            rec.X = TBSystemSettings().MenuDropAlignmentRight() ? item.Right - rec.Width : item.Left;
            rec.Y = item.Bottom;
        }
    } else {
        rec.ParentItemRect = Rect(position.X, position.Y, position.X, position.Y);
        rec.X = position.X;
        rec.Y = position.Y;
        if (alignment == 1)
            rec.X -= rec.Width;
        else if (alignment == 2)
            rec.X -= rec.Width / 2;
        rec.MonitorRect = MonitorAreaOfPoint(position, true);
    }
    view->MonitorRect = rec.MonitorRect;
    PlacePopup(parentView, popup.get(), rec);
    popup->AnimationDirection = rec.AnimateDirection;
    popup->SetBounds(rec.X, rec.Y, rec.Width, rec.Height);

    TTBPopupWindow* window = popup.release();
    if (parentView != nullptr) {
        parentView->SetOpenViewer(parentViewer, window);
        if (parentView->IsToolbar())
            parentView->RepaintViewer(parentViewer);
    }
    view->State |= vsDrawInOrder;
    TTBSystemSettings& settings = TBSystemSettings();
    if (!settings.SoundAssigned("MenuPopup")) {
        window->ShowPopup();
    } else if (!firstPopupShown) {
        window->ShowPopup();
        window->Update();
        settings.PlaySound("MenuPopup");
    } else {
        settings.PlaySound("MenuPopup");
        window->ShowPopup();
    }
    firstPopupShown = true;
    return window;
}

void TTBCustomItem::PlacePopup(TTBView* parentView, TTBPopupWindow* popup, TTBPopupPositionRec& rec) {
    TTBPlacementOpener opener;
    if (parentView != nullptr) {
        opener.Exists = true;
        opener.Vertical = parentView->Orientation == tbvoVertical;
        for (int i = 0; i < parentView->ViewerCount(); ++i) {
            TTBItemViewer* viewer = parentView->Viewers(i);
            if (viewer->Show)
                opener.ViewerRects.push_back(screenRectOf(parentView, viewer->BoundsRect));
        }
    }
    if (PlacePopupRect(rec, opener))
        popup->View()->State |= vsOppositePopup;
}
