#include "toolbars/TBFloatingFrame.h"

#include "platform/gfx/TextDrawing.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/NonClientFrame.h"
#include "platform/ui/NonClientMouse.h"
#include "platform/ui/Screen.h"
#include "toolbars/TBDockableWindow.h"
#include "toolbars/TBGlyphs.h"
#include "toolbars/TBTrackButton.h"
#include "toolbars/TBView.h"

#include <algorithm>

namespace {

// The form whose window holds the form's: the MDI frame for a document.
TCustomForm& windowFormOf(TCustomForm& form) {
    TCustomForm* main = Application().MainForm();
    return form.FormStyle() == fsMDIChild && main != nullptr ? *main : form;
}

} // namespace

TTBFloatingWindowParent::TTBFloatingWindowParent(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    ControlStyle = (ControlStyle | csAcceptsControls) & ~csCaptureMouse;
    SetColor(clBtnFace);
}

TTBFloatingWindowParent::~TTBFloatingWindowParent() {
    Destroying();
    // The window it holds is not freed with it.
    if (DockableWindow != nullptr) {
        TTBCustomDockableWindow* window = DockableWindow;
        DockableWindow = nullptr;
        window->FrameDestroyed(this);
    }
}

// ---------------------------------------------------------------------------
// Geometry

int TTBFloatingWindowParent::BorderSize() const {
    return DockableWindow != nullptr ? DockableWindow->FloatingFrameBorder().X : kTBSizingFrame;
}

int TTBFloatingWindowParent::CaptionHeight() const {
    return DockableWindow == nullptr || DockableWindow->ShowCaption() ? kTBSmallCaption : 0;
}

TPoint TTBFloatingWindowParent::FrameSize() const {
    int border = BorderSize();
    return {2 * border, 2 * border + CaptionHeight()};
}

bool TTBFloatingWindowParent::ShowsCloseButton() const {
    return DockableWindow != nullptr && DockableWindow->CloseButton() && CaptionHeight() > 0;
}

TRect TTBFloatingWindowParent::CaptionRect(bool withoutCloseButton) const {
    int border = BorderSize();
    TRect r = Bounds(border, border, std::max(0, Width() - 2 * border), kTBSmallCaption - 1);
    if (withoutCloseButton && ShowsCloseButton())
        r.Right -= kTBSmallCaption;
    return r;
}

TRect TTBFloatingWindowParent::CloseButtonRect() const {
    TRect caption = CaptionRect(false);
    int side = kTBSmallCaption - 1;
    return Rect(caption.Right - side, caption.Top, caption.Right, caption.Top + side);
}

int TTBFloatingWindowParent::HitTest(TPoint p) const {
    if (CaptionHeight() > 0 && CaptionRect(false).Contains(p)) {
        if (ShowsCloseButton() && CloseButtonRect().Contains(p))
            return kHitCloseButton;
        return kHitCaption;
    }
    if (DockableWindow == nullptr || !DockableWindow->Resizable())
        return HTNOWHERE;
    const int border = BorderSize(), width = Width(), height = Height();
    if (DockableWindow->ResizeOptions & roCornerSizing) {
        const int corner = border + kTBSmallCaption - 1;
        auto vertical = [&](int side, int top, int bottom) {
            return p.Y < corner ? top : p.Y >= height - corner ? bottom : side;
        };
        auto horizontal = [&](int side, int left, int right) {
            return p.X < corner ? left : p.X >= width - corner ? right : side;
        };
        if (p.X >= 0 && p.X < border)
            return vertical(HTLEFT, HTTOPLEFT, HTBOTTOMLEFT);
        if (p.X >= width - border - 1 && p.X < width)
            return vertical(HTRIGHT, HTTOPRIGHT, HTBOTTOMRIGHT);
        if (p.Y >= 0 && p.Y < border)
            return horizontal(HTTOP, HTTOPLEFT, HTTOPRIGHT);
        if (p.Y >= height - border - 1 && p.Y < height)
            return horizontal(HTBOTTOM, HTBOTTOMLEFT, HTBOTTOMRIGHT);
        return HTNOWHERE;
    }
    if (p.Y >= 0 && p.Y < border)
        return HTTOP;
    if (p.Y >= height - border - 1 && p.Y < height)
        return HTBOTTOM;
    if (p.X >= 0 && p.X < border)
        return HTLEFT;
    if (p.X >= width - border - 1 && p.X < width)
        return HTRIGHT;
    return HTNOWHERE;
}

void TTBFloatingWindowParent::FitToWindow() {
    if (DockableWindow == nullptr)
        return;
    TPoint frame = FrameSize();
    SetBounds(Left(), Top(), DockableWindow->Width() + frame.X, DockableWindow->Height() + frame.Y);
}

void TTBFloatingWindowParent::AlignControls(TRect& rect) {
    TCustomControl::AlignControls(rect);
    if (DockableWindow != nullptr)
        DockableWindow->FollowFloatingFrame();
}

void TTBFloatingWindowParent::FrameGeometryChanged() {
    FitToWindow();
    FrameChanged(*this);
}

void TTBFloatingWindowParent::OwnerChanged() { RecreateWnd(); }

void TTBFloatingWindowParent::ActivateHost() {
    activateHostNow();
    BringFrameToTop();
    // Not over a field of the frame's that the press has focused since (an
    // edit item being edited): the keyboard stays with it.
    if (HandleAllocated())
        PostMessage(this, TBM_ACTIVATEHOST, kUnlessKeyboardInside);
}

void TTBFloatingWindowParent::BringFrameToTop() {
    if (Visible() && !underModalForm())
        BringToFront();
}

bool TTBFloatingWindowParent::underModalForm() const {
    const TCustomForm* modal = Screen().ModalForm();
    return modal != nullptr && modal != ParentForm;
}

void TTBFloatingWindowParent::activateHostNow() {
    TTBCustomDockableWindow* window = DockableWindow;
    if (window == nullptr || !window->ActivateParent || window->FloatingMode() != fmOnTopOfParentForm)
        return;
    auto* host = dynamic_cast<TCustomForm*>(ParentForm);
    if (host == nullptr || !host->Showing())
        return;
    // A document window's frame form is the active one, the document the
    // active child.
    TCustomForm* form = &windowFormOf(*host);
    // A modal dialog keeps the activation, and stays above the form.
    if (!form->Enabled() || !form->Showing() || underModalForm())
        return;
    // Whatever the form's own record says: the window system hands the
    // activation to the frame on a press only after the press has been
    // handled (and a window manager does so as it likes), so the form
    // still counts itself active here.  Asking for it again puts the
    // request behind the window system's, which it then outlasts.
    form->Show();
    if (host != form && form->ActiveMDIChild() != host)
        host->Show();
}

bool TTBFloatingWindowParent::keyboardInside() const {
    const TWinControl* focus = GetFocusControl();
    return focus != nullptr && focus->IsWithin(*this);
}

TWinControl* TTBFloatingWindowParent::ownerWindow() const {
    bool onTopOfForm = DockableWindow == nullptr || DockableWindow->FloatingMode() == fmOnTopOfParentForm;
    return onTopOfForm ? ParentForm : nullptr;
}

void TTBFloatingWindowParent::CreateWnd() {
    TWinControl* owner = ownerWindow();
    madeAboveOwner_ = owner == nullptr || owner->HandleAllocated();
    TCustomControl::CreateWnd();
}

void TTBFloatingWindowParent::KeepAboveOwner() {
    TWinControl* owner = ownerWindow();
    if (HandleAllocated() && !madeAboveOwner_ && owner != nullptr && owner->HandleAllocated())
        RecreateWnd();
}

void TTBFloatingWindowParent::RedrawParts(unsigned) {
    if (Visible())
        FrameChanged(*this);
}

int TTBFloatingWindowParent::ClientWidth() const {
    return HandleAllocated() ? TCustomControl::ClientWidth() : std::max(0, Width() - FrameSize().X);
}

int TTBFloatingWindowParent::ClientHeight() const {
    return HandleAllocated() ? TCustomControl::ClientHeight() : std::max(0, Height() - FrameSize().Y);
}

TPoint TTBFloatingWindowParent::ClientToScreen(TPoint point) const {
    if (HandleAllocated())
        return TCustomControl::ClientToScreen(point);
    int border = BorderSize();
    return TCustomControl::ClientToScreen({point.X + border, point.Y + border + CaptionHeight()});
}

TPoint TTBFloatingWindowParent::ScreenToWindow(TPoint screen) const {
    TPoint client = ScreenToClient(screen);
    return {client.X + BorderSize(), client.Y + BorderSize() + CaptionHeight()};
}

void TTBFloatingWindowParent::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Kind = std::string(wk::FloatingFramed);
    params.WndParent = ownerWindow();
}

// ---------------------------------------------------------------------------
// Painting

void TTBFloatingWindowParent::PaintFrameParts(TCanvas& canvas, unsigned parts) {
    const TRect whole = Rect(0, 0, Width(), Height());
    const bool active = DockableWindow == nullptr || !DockableWindow->InactiveCaption();
    const TColor captionColor = active ? clActiveCaption : clInactiveCaption;
    if (parts & fpBorder) {
        TRect r = whole;
        canvas.DrawEdge(r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        canvas.FillRect(r, clBtnFace);
    }
    if (CaptionHeight() == 0)
        return;
    const TRect full = CaptionRect(false);
    if (parts & fpCaption) {
        TRect caption = CaptionRect(true);
        canvas.FillRect(caption, captionColor);
        TFont font = TBMenuFont();
        font.SetStyle(font.Style() | fsBold);
        canvas.SetFont(font);
        canvas.Font().SetColor(active ? clCaptionText : clInactiveCaptionText);
        canvas.SetBkMode(TRANSPARENT);
        TRect text = caption;
        InflateRect(text, -2, 0);
        DrawTextLine(canvas, Caption(), text, {.Align = thLeft, .VCenter = true, .EndEllipsis = true, .NoPrefix = true});
        canvas.FillRect(Rect(full.Left, full.Bottom, full.Right, full.Bottom + 1), clBtnFace);
    }
    if (ShowsCloseButton() && (parts & (fpCaption | fpCloseButton))) {
        TRect square = CloseButtonRect();
        TRect button = Rect(square.Left + 2, square.Top + 2, square.Right - 2, square.Bottom - 2);
        if (parts & fpCaption) {
            canvas.FillRect(Rect(square.Left, square.Top, square.Right, button.Top), captionColor);
            canvas.FillRect(Rect(square.Left, button.Bottom, square.Right, square.Bottom), captionColor);
            canvas.FillRect(Rect(square.Left, button.Top, button.Left, button.Bottom), captionColor);
            canvas.FillRect(Rect(button.Right, button.Top, square.Right, button.Bottom), captionColor);
        }
        TRect face = button;
        canvas.DrawEdge(face, closeButtonPressed_ ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
        int x = face.Left + (face.Width() - 8) / 2 + (closeButtonPressed_ ? 1 : 0);
        int y = face.Top + (face.Height() - 8) / 2 + (closeButtonPressed_ ? 1 : 0);
        PaintGlyphPattern(canvas, x, y, 8, kCloseCross, clBtnText);
    }
}

// ---------------------------------------------------------------------------
// Messages

void TTBFloatingWindowParent::setCloseButtonPressed(bool pressed) {
    if (pressed == closeButtonPressed_)
        return;
    closeButtonPressed_ = pressed;
    RedrawParts(fpCloseButton);
}

bool TTBFloatingWindowParent::trackCloseButton() {
    return TrackButton(
        this, [this](TPoint screen) { return CloseButtonRect().Contains(ScreenToWindow(screen)); },
        [this](bool pressed) { setCloseButtonPressed(pressed); });
}

void TTBFloatingWindowParent::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_NCCALCSIZE: {
        auto* rect = reinterpret_cast<TRect*>(message.LParam);
        int border = BorderSize();
        rect->Left += border;
        rect->Top += border + CaptionHeight();
        rect->Right = std::max(rect->Left, rect->Right - border);
        rect->Bottom = std::max(rect->Top, rect->Bottom - border);
        message.Result = 0;
        return;
    }
    case WM_NCPAINT:
        if (auto* canvas = reinterpret_cast<TCanvas*>(message.WParam))
            PaintFrameParts(*canvas, fpAll);
        return;
    case WM_NCHITTEST:
        message.Result = HitTest(ScreenToWindow(PointFromLParam(message.LParam)));
        return;
    case WM_NCLBUTTONDOWN: {
        int hit = static_cast<int>(message.WParam);
        TTBCustomDockableWindow* window = DockableWindow;
        if (window == nullptr)
            return;
        ActivateHost();
        if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
            if (window->Resizable())
                window->TrackResizeFrom(hit - HTLEFT, PointFromLParam(message.LParam));
        } else if (hit == kHitCloseButton) {
            if (trackCloseButton() && DockableWindow == window)
                window->CloseWindow();
        } else if (hit == kHitCaption) {
            TPoint client = window->ScreenToClient(PointFromLParam(message.LParam));
            window->TrackDrag(client.X, client.Y);
        }
        return;
    }
    case WM_ACTIVATE:
        // The window system may hand the frame the activation after a
        // press has been handled (a window manager gives it as it sees
        // the press): it goes back to the form, unless a control inside
        // the frame took the keyboard with it.
        if (LOWORD(message.WParam) != WA_INACTIVE && HandleAllocated())
            PostMessage(this, TBM_ACTIVATEHOST, kUnlessKeyboardInside);
        break;
    case TBM_ACTIVATEHOST:
        if (message.WParam == kUnlessKeyboardInside && keyboardInside())
            return;
        activateHostNow();
        BringFrameToTop();
        return;
    case WM_NCLBUTTONDBLCLK:
        if (static_cast<int>(message.WParam) == kHitCaption && DockableWindow != nullptr)
            DockableWindow->DoubleClickToggle();
        return;
    case WM_NCRBUTTONUP:
        if (DockableWindow != nullptr)
            DockableWindow->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(DockableWindow), message.LParam);
        return;
    case WM_CLOSE: {
        // The frame never closes by itself: the form it floats over does
        // (the MDI frame, for a document window).
        message.Result = 1;
        TWinControl* host = ParentForm;
        if (auto* form = dynamic_cast<TCustomForm*>(host))
            host = &windowFormOf(*form);
        if (host != nullptr)
            host->Perform(WM_CLOSE);
        return;
    }
    case CM_DIALOGKEY:
        if (message.WParam == VK_ESCAPE && KeyDataToShiftState(message.LParam) == 0 && ParentForm != nullptr &&
            ParentForm->CanFocus()) {
            ParentForm->SetFocus();
            // The form counts itself active all along (the frame is no
            // form): its window must take the keyboard from the frame's.
            if (auto* form = dynamic_cast<TCustomForm*>(ParentForm))
                windowFormOf(*form).Show();
            message.Result = 1;
            return;
        }
        break;
    case CM_TEXTCHANGED:
        TCustomControl::Dispatch(message);
        RedrawParts(fpCaption);
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(message);
}
