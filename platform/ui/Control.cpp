#include "platform/ui/Control.h"

#include "platform/base/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/DialogKeys.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/QtBridge.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/TimerService.h"
#include "platform/ui/UserInteraction.h"
#include "platform/ui/WindowNotices.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <algorithm>

// A message may be posted from another thread (an animation's timing
// thread).  The event queue's lock orders the poster's writes before the
// receiver's reads, but that lock lies in Qt, which the thread checker of
// the sanitizer build does not see; there the hand-over is stated to it.
#if defined(__SANITIZE_THREAD__)
#define ONDRILL_THREAD_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ONDRILL_THREAD_CHECKED 1
#endif
#endif
#ifdef ONDRILL_THREAD_CHECKED
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace {

TControl* captureControl = nullptr;
TWinControl* focusControl = nullptr;
TWinControl* caretOwner = nullptr;

const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

#ifdef ONDRILL_THREAD_CHECKED
void handedOver(void* event) {
    __tsan_release(event);
}
void takenOver(void* event) {
    __tsan_acquire(event);
}
#else
void handedOver(void*) {}
void takenOver(void*) {}
#endif

class TPostedMessageEvent : public QEvent {
public:
    explicit TPostedMessageEvent(const TMessage& message)
        : QEvent(kPostedMessageEvent), Message(message) {}
    // Qt frees a delivered or dropped event in the receiving thread.
    ~TPostedMessageEvent() override { takenOver(this); }
    TMessage Message;
};

} // namespace

// Receives the posted messages of one window control.  It goes with the
// control, and Qt drops the events still queued for it.
class TMessageReceiver : public QObject {
public:
    explicit TMessageReceiver(TWinControl* control) : Control(control) {}
    bool event(QEvent* event) override {
        takenOver(event); // before anything of the event is read
        if (event->type() != kPostedMessageEvent)
            return QObject::event(event);
        if (Control != nullptr) {
            TMessage message = static_cast<TPostedMessageEvent*>(event)->Message;
            ++Depth;
            DeliverMessage(*Control, message);
            --Depth;
        }
        return true;
    }
    TWinControl* Control;
    int Depth = 0;
};

QObject* MessageReceiverOf(const TWinControl& control) { return control.MessageReceiver(); }

namespace {

bool isMouseMessage(unsigned msg) {
    return (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST);
}

} // namespace

// ---------------------------------------------------------------------------
// Shift states

TShiftState KeysToShiftState(unsigned keys) {
    TShiftState shift = 0;
    if (keys & MK_SHIFT)
        shift |= ssShift;
    if (keys & MK_CONTROL)
        shift |= ssCtrl;
    if (keys & MK_LBUTTON)
        shift |= ssLeft;
    if (keys & MK_RBUTTON)
        shift |= ssRight;
    if (keys & MK_MBUTTON)
        shift |= ssMiddle;
    return shift | (CurrentShiftState() & ssAlt);
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState shift = CurrentShiftState() & (ssShift | ssCtrl);
    if (static_cast<uint32_t>(keyData) & KF_ALTDOWN_BIT)
        shift |= ssAlt;
    return shift;
}

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* owner)
    : TComponent(owner), font_(std::make_unique<TFont>()), constraints_(std::make_unique<TSizeConstraints>()) {
    font_->OnChange = [this](TPersistent*) { FontChanged(); };
    constraints_->OnChange = [this] { ConstraintsChanged(); };
}

TControl::~TControl() {
    Destroying();
    if (captureControl == this)
        captureControl = nullptr;
    // A modal loop that held the capture through this control loses it.
    NoteControlFreed(this);
    if (parent_ != nullptr)
        SetParent(nullptr);
    // The floating tool window the control was dragged into goes with it.
    if (TWinControl* host = floatHost_) {
        floatHost_ = nullptr;
        delete host;
    }
}

bool TControl::IsWithin(const TControl& ancestor) const {
    for (const TControl* c = this; c != nullptr; c = c->Parent())
        if (c == &ancestor)
            return true;
    return false;
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_)
        return;
    if (parent != nullptr && parent->IsWithin(*this))
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_ != nullptr) {
        TWinControl* old = parent_;
        old->removeControl(this);
        old->InvalidateRect(nullptr);
    }
    if (parent != nullptr) {
        parent->insertControl(this);
        if (parentFont_)
            Perform(CM_PARENTFONTCHANGED);
        if (parentColor_)
            Perform(CM_PARENTCOLORCHANGED);
        if (parentBiDiMode_)
            Perform(CM_PARENTBIDIMODECHANGED);
        noteAnchorPlace();
        Invalidate();
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = constraints_->ClampWidth(std::max(0, width));
    height = constraints_->ClampHeight(std::max(0, height));
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    TRect old = BoundsRect();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    // Bounds given from outside are the anchors' new starting place.
    if (!anchoring_)
        noteAnchorPlace();
    BoundsChanged(old);
    if (parent_ != nullptr && align_ != alNone)
        parent_->Realign();
}

void TControl::BoundsChanged(const TRect& oldBounds) {
    if (parent_ != nullptr && visible_) {
        parent_->InvalidateRect(&oldBounds);
        TRect now = BoundsRect();
        parent_->InvalidateRect(&now);
    }
}

TPoint TControl::ClientToScreen(TPoint point) const {
    if (parent_ != nullptr)
        return parent_->ClientToScreen({point.X + left_, point.Y + top_});
    return {point.X + left_, point.Y + top_};
}

TPoint TControl::ScreenToClient(TPoint point) const {
    TPoint origin = ClientToScreen({0, 0});
    return {point.X - origin.X, point.Y - origin.Y};
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) {
        // Showing what is already visible still shows a top-level window
        // that has not been made yet.
        if (visible)
            Perform(CM_SHOWINGCHANGED);
        return;
    }
    visible_ = visible;
    TComponentWatch self(this);
    Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
    if (self.Alive() && parent_ != nullptr && align_ != alNone)
        parent_->Realign();
}

bool TControl::Showing() const {
    for (const TControl* c = this; c != nullptr; c = c->parent_)
        if (!c->visible_)
            return false;
    return true;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_)
        return;
    color_ = color;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
    if (value == parentColor_)
        return;
    parentColor_ = value;
    if (value && parent_ != nullptr)
        Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool value) {
    if (value == parentFont_)
        return;
    parentFont_ = value;
    if (value && parent_ != nullptr)
        Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged() {
    parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetCursor(int cursor) {
    if (cursor == cursor_)
        return;
    cursor_ = cursor;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetPopupMenu(TCustomPopupMenu* menu) {
    if (menu == popupMenu_)
        return;
    if (popupMenu_ != nullptr)
        popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (menu != nullptr)
        menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == popupMenu_)
        popupMenu_ = nullptr;
}

LRESULT TControl::Perform(unsigned msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& message) { Dispatch(message); }

void TControl::DefaultHandler(TMessage& message) { message.Result = 0; }

void TControl::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_MOUSEMOVE: {
        TPoint p = PointFromLParam(message.LParam);
        if (!(ControlStyle & csNoStdEvents))
            MouseMove(KeysToShiftState(static_cast<unsigned>(message.WParam)), p.X, p.Y);
        message.Result = 0;
        return;
    }
    case WM_LBUTTONDOWN:
        return handleMouseButton(message, mbLeft, true, false);
    case WM_LBUTTONDBLCLK:
        return handleMouseButton(message, mbLeft, true, true);
    case WM_LBUTTONUP:
        return handleMouseButton(message, mbLeft, false, false);
    case WM_RBUTTONDOWN:
        return handleMouseButton(message, mbRight, true, false);
    case WM_RBUTTONDBLCLK:
        return handleMouseButton(message, mbRight, true, true);
    case WM_RBUTTONUP:
        return handleMouseButton(message, mbRight, false, false);
    case WM_MBUTTONDOWN:
        return handleMouseButton(message, mbMiddle, true, false);
    case WM_MBUTTONDBLCLK:
        return handleMouseButton(message, mbMiddle, true, true);
    case WM_MBUTTONUP:
        return handleMouseButton(message, mbMiddle, false, false);
    case WM_CONTEXTMENU:
        return handleContextMenu(message);
    case CM_MOUSEENTER:
        // The application's hint is that of the control under the pointer.
        Application().SetHint(GetLongHint(Hint()));
        if (OnMouseEnter)
            OnMouseEnter(this);
        return;
    case CM_MOUSELEAVE:
        Application().SetHint(parent_ != nullptr ? GetLongHint(parent_->Hint()) : std::string());
        if (OnMouseLeave)
            OnMouseLeave(this);
        return;
    case CM_PARENTFONTCHANGED:
        if (parentFont_ && parent_ != nullptr) {
            font_->Assign(&parent_->Font());
            parentFont_ = true; // Assign's notice cleared it
        }
        return;
    case CM_PARENTCOLORCHANGED:
        if (parentColor_ && parent_ != nullptr) {
            SetColor(parent_->Color());
            parentColor_ = true;
        }
        return;
    case CM_PARENTBIDIMODECHANGED:
        if (parentBiDiMode_ && parent_ != nullptr) {
            SetBiDiMode(parent_->BiDiMode());
            parentBiDiMode_ = true;
        }
        return;
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
        Invalidate();
        return;
    case CM_VISIBLECHANGED:
        if (parent_ != nullptr) {
            TRect bounds = BoundsRect();
            parent_->InvalidateRect(&bounds);
        }
        return;
    default:
        DefaultHandler(message);
    }
}

void TControl::handleMouseButton(TMessage& message, TMouseButton button, bool down, bool doubleClick) {
    TPoint p = PointFromLParam(message.LParam);
    TShiftState shift = KeysToShiftState(static_cast<unsigned>(message.WParam));
    message.Result = 0;
    // A click or double click handler may free the control.
    TComponentWatch self(this);
    if (down) {
        if (doubleClick)
            shift |= ssDouble;
        if (button == mbLeft) {
            if (ControlStyle & csCaptureMouse)
                SetMouseCapture(true);
            if (ControlStyle & csClickEvents) {
                if (doubleClick)
                    DblClick();
                else
                    ControlState |= csClicked;
            }
        }
        if (self.Alive() && !(ControlStyle & csNoStdEvents))
            MouseDown(button, shift, p.X, p.Y);
        // A press stays a click until the pointer moves the drag threshold.
        if (self.Alive() && button == mbLeft && !doubleClick && dragMode_ == dmAutomatic)
            BeginDrag(false);
        return;
    }
    if (button == mbLeft) {
        if (ControlStyle & csCaptureMouse)
            SetMouseCapture(false);
        if (ControlState & csClicked) {
            ControlState &= ~csClicked;
            if (ClientRect().Contains(p))
                Click();
        }
    }
    if (self.Alive() && !(ControlStyle & csNoStdEvents))
        MouseUp(button, shift, p.X, p.Y);
}

void TControl::handleContextMenu(TMessage& message) {
    TPoint screen = PointFromLParam(message.LParam);
    bool fromKeyboard = screen.X == -1 && screen.Y == -1;
    TPoint client = fromKeyboard ? TPoint{-1, -1} : ScreenToClient(screen);
    bool handled = false;
    DoContextPopup(client, handled);
    if (handled) {
        message.Result = 1;
        return;
    }
    if (popupMenu_ != nullptr) {
        if (fromKeyboard)
            screen = ClientToScreen({Width() / 2, Height() / 2});
        popupMenu_->PopupComponent = this;
        popupMenu_->Popup(screen);
        message.Result = 1;
        return;
    }
    // Not taken here: the parent may offer its menu.
    message.Result = parent_ != nullptr ? parent_->Perform(WM_CONTEXTMENU, message.WParam, message.LParam) : 0;
}

void TControl::DoContextPopup(TPoint mousePos, bool& handled) {
    if (OnContextPopup)
        OnContextPopup(this, mousePos, handled);
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

TWinControl* TControl::Window() const { return parent_; }

void TControl::Invalidate() {
    if (parent_ != nullptr && visible_) {
        TRect bounds = BoundsRect();
        parent_->InvalidateRect(&bounds);
    }
}

void TControl::Update() {
    if (parent_ != nullptr)
        parent_->Update();
}

bool TControl::MouseCapture() const { return captureControl == this; }

void TControl::SetMouseCapture(bool capture) {
    if (capture)
        SetCaptureControl(this);
    else if (captureControl == this)
        ReleaseCapture();
}

// ---------------------------------------------------------------------------
// Capture and focus

TControl* GetCaptureControl() { return captureControl; }

void SetCaptureControl(TControl* control) {
    if (control == captureControl)
        return;
    TControl* previous = captureControl;
    TWinControl* previousWindow = previous != nullptr ? previous->Window() : nullptr;
    TWinControl* window = control != nullptr ? control->Window() : nullptr;
    captureControl = control;
    if (previousWindow != nullptr && previousWindow != window && previousWindow->Peer() != nullptr)
        previousWindow->Peer()->CaptureChanged(false);
    if (window != nullptr && window->Peer() != nullptr)
        window->Peer()->CaptureChanged(true);
    if (previous != nullptr)
        previous->Perform(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(control));
    NoteCaptureChanged(previous, control);
}

void ReleaseCapture() { SetCaptureControl(nullptr); }

TWinControl* GetFocusControl() { return focusControl; }

// ---------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* owner)
    : TControl(owner), receiver_(std::make_unique<TMessageReceiver>(this)) {}

TWinControl::~TWinControl() {
    Destroying();
    if (Parent() == nullptr)
        NotifyWindowNotice(wnWindowDestroying, this);
    KillAllTimers(this);
    if (caretOwner == this)
        caretOwner = nullptr;
    if (focusControl == this)
        focusControl = nullptr;
    // Children go with their parent; each takes itself out of our list.  A
    // child being freed already (it freed this parent as it went) goes on
    // without it.
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        if (child->BeingFreed())
            removeControl(child);
        else
            delete child;
    }
    DestroyHandle();
    TMessageReceiver* receiver = receiver_.get();
    receiver->Control = nullptr;
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::removePostedEvents(receiver);
    if (receiver->Depth > 0) {
        // Freed from inside one of its own posted messages: the receiver is
        // still on the stack and goes later.
        receiver_.release();
        receiver->deleteLater();
    }
}

TControl* TWinControl::Controls(int index) const {
    if (index < 0 || index >= ControlCount())
        throw EListError();
    return controls_[static_cast<size_t>(index)];
}

void TWinControl::insertControl(TControl* control) {
    controls_.push_back(control);
    control->setParentField(this);
    auto* child = dynamic_cast<TWinControl*>(control);
    if (child != nullptr) {
        // A new window control comes last in the Tab walk.
        tabList_.push_back(child);
        if (child->parentCtl3D_)
            child->Perform(CM_PARENTCTL3DCHANGED);
    }
    if (child != nullptr && peer_ != nullptr)
        child->HandleNeeded();
    if (control->Align() != alNone)
        Realign();
}

void TWinControl::removeControl(TControl* control) {
    if (auto* child = dynamic_cast<TWinControl*>(control); child != nullptr)
        child->DestroyHandle();
    // By address: a window control being freed is a TControl by now.
    tabList_.erase(std::remove_if(tabList_.begin(), tabList_.end(),
                                  [control](const TWinControl* c) { return static_cast<const TControl*>(c) == control; }),
                   tabList_.end());
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    control->setParentField(nullptr);
    if (mouseControl_ == control)
        mouseControl_ = nullptr;
    if (control->Align() != alNone && !IsDestroying())
        Realign();
}

TControl* TWinControl::ControlAtPos(TPoint point) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* control = *it;
        if (dynamic_cast<TWinControl*>(control) != nullptr)
            continue;
        if (control->Visible() && control->Enabled() && control->BoundsRect().Contains(point))
            return control;
    }
    return nullptr;
}

int CustomDrawnFrameWidth(const TCreateParams& params) {
    if (params.ExStyle & WS_EX_CLIENTEDGE)
        return 2;
    return (params.Style & WS_BORDER) ? 1 : 0;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params = TCreateParams{};
    params.Style = tabStop_ ? unsigned{WS_TABSTOP} : 0u;
}

void TWinControl::HandleNeeded() {
    if (peer_ != nullptr || !HasWindowPeerFactory() || (ControlState & csDestroyingHandle) ||
        IsDestroying())
        return;
    if (Parent() != nullptr) {
        Parent()->HandleNeeded();
        if (!Parent()->HandleAllocated())
            return;
    }
    CreateWnd();
    // A window has its own client area (a frame takes room): the aligned
    // controls take their places in it.
    Realign();
    createChildHandles();
}

void TWinControl::createChildHandles() {
    if (peer_ == nullptr)
        return;
    for (TControl* control : std::vector<TControl*>(controls_))
        if (auto* child = dynamic_cast<TWinControl*>(control))
            child->HandleNeeded();
}

void TWinControl::CreateWnd() {
    CreateParams(params_);
    peer_ = CreateWindowPeer(*this);
}

void TWinControl::DestroyWnd() {
    for (TControl* control : std::vector<TControl*>(controls_))
        if (auto* child = dynamic_cast<TWinControl*>(control))
            child->DestroyHandle();
    peer_.reset();
}

void TWinControl::DestroyHandle() {
    if (peer_ == nullptr)
        return;
    ControlState |= csDestroyingHandle;
    DestroyWnd();
    peer_.reset();
    ControlState &= ~csDestroyingHandle;
}

void TWinControl::SetWindowRegion(std::vector<TRect> region) {
    region_ = std::move(region);
    if (peer_ != nullptr)
        peer_->RegionChanged();
}

void TWinControl::BringToFront() {
    if (TWinControl* parent = Parent()) {
        // Last in the list is painted last and found first under the mouse.
        parent->controls_.erase(std::remove(parent->controls_.begin(), parent->controls_.end(), this),
                                parent->controls_.end());
        parent->controls_.push_back(this);
    }
    if (peer_ != nullptr)
        peer_->BringToFront();
}

void TWinControl::RecreateWnd() {
    if (peer_ == nullptr)
        return;
    DestroyHandle();
    HandleNeeded();
}

int TWinControl::frameWithoutWindow() const {
    TCreateParams params;
    const_cast<TWinControl*>(this)->CreateParams(params);
    // Only the windows the program draws frame their client area by the
    // styles; the others are framed by their kind.
    if (params.Kind != wk::CustomDrawn && params.Kind != wk::Form)
        return 0;
    return CustomDrawnFrameWidth(params);
}

int TWinControl::ClientWidth() const {
    return peer_ != nullptr ? peer_->ClientSize().cx : std::max(0, Width() - 2 * frameWithoutWindow());
}

int TWinControl::ClientHeight() const {
    return peer_ != nullptr ? peer_->ClientSize().cy : std::max(0, Height() - 2 * frameWithoutWindow());
}

TPoint TWinControl::ClientToScreen(TPoint point) const {
    if (peer_ != nullptr)
        return peer_->ClientToScreen(point);
    return TControl::ClientToScreen(point);
}

TPoint TWinControl::ScreenToClient(TPoint point) const {
    if (peer_ != nullptr)
        return peer_->ScreenToClient(point);
    return TControl::ScreenToClient(point);
}

void TWinControl::BoundsChanged(const TRect& oldBounds) {
    if (peer_ != nullptr)
        peer_->BoundsChanged();
    else
        TControl::BoundsChanged(oldBounds);
    if (oldBounds.Width() != Width() || oldBounds.Height() != Height())
        Realign();
}

void TWinControl::PeerBoundsChanged(const TRect& bounds) {
    bool resized = bounds.Width() != width_ || bounds.Height() != height_;
    bool moved = resized || bounds.Left != left_ || bounds.Top != top_;
    left_ = bounds.Left;
    top_ = bounds.Top;
    width_ = bounds.Width();
    height_ = bounds.Height();
    // The window system's size (the user's drag) stays within the limits
    // too: a window that went past them is put back.
    const int width = Constraints().ClampWidth(width_);
    const int height = Constraints().ClampHeight(height_);
    if (width != width_ || height != height_) {
        SetBounds(left_, top_, width, height);
        return;
    }
    if (moved && !anchoring_)
        noteAnchorPlace();
    if (resized)
        Realign();
}

// --- focus ------------------------------------------------------------------

bool TWinControl::Focused() const { return focusControl == this; }

bool TWinControl::CanFocus() const {
    if (peer_ != nullptr && !peer_->CanTakeFocus())
        return false;
    for (const TControl* c = this; c != nullptr; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

void TWinControl::SetFocus() { SetFocus(TFocusReason::Other); }

void TWinControl::SetFocus(TFocusReason reason) {
    if (!CanFocus())
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    // The focus moving runs handlers (of this control and of the one that
    // had the focus), which may free this control or its form.
    TComponentWatch<TWinControl> self(this);
    if (peer_ != nullptr)
        peer_->SetFocus(reason);
    if (!self.Alive() || focusControl == this)
        return;
    // The window system has not (yet) moved the focus: tell both sides, as
    // it would.
    TWinControl* previous = focusControl;
    if (previous != nullptr)
        previous->Perform(WM_KILLFOCUS, reinterpret_cast<WPARAM>(this));
    if (self.Alive())
        Perform(WM_SETFOCUS, reinterpret_cast<WPARAM>(previous));
}

void TWinControl::SetTabStop(bool value) {
    if (value == tabStop_)
        return;
    tabStop_ = value;
    if (peer_ != nullptr)
        peer_->TabStopChanged();
}

bool TWinControl::InTabOrder() const {
    if (!tabStop_ || !IsGroupTabStop())
        return false;
    const TWinControl* child = this;
    for (const TWinControl* parent = Parent(); parent != nullptr; child = parent, parent = parent->Parent())
        if (!parent->TabOrderIncludes(*child))
            return false;
    return true;
}

void TWinControl::TabOrderChanged() {
    if (peer_ != nullptr)
        peer_->TabStopChanged();
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* child = dynamic_cast<TWinControl*>(Controls(i)))
            child->TabOrderChanged();
}

void TWinControl::DoEnter() {
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

void TWinControl::KeyDown(uint16_t& key, TShiftState shift) {
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(uint16_t& key, TShiftState shift) {
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TWinControl::notifyControls(unsigned msg) {
    for (TControl* control : std::vector<TControl*>(controls_))
        control->Perform(msg);
}

// --- messages -----------------------------------------------------------------

void TWinControl::WndProc(TMessage& message) {
    if (isMouseMessage(message.Msg) && forwardToChildControl(message))
        return;
    TControl::WndProc(message);
}

bool TWinControl::forwardToChildControl(TMessage& message) {
    TPoint point = PointFromLParam(message.LParam);
    TControl* target = nullptr;
    TControl* capture = GetCaptureControl();
    if (capture != nullptr && capture != this) {
        if (capture->Parent() == this && dynamic_cast<TWinControl*>(capture) == nullptr)
            target = capture;
    } else if (capture == nullptr) {
        target = ControlAtPos(point);
    }
    if (message.Msg == WM_MOUSEMOVE && capture == nullptr && target != mouseControl_) {
        TControl* left = mouseControl_;
        mouseControl_ = target;
        if (left != nullptr)
            left->Perform(CM_MOUSELEAVE);
        if (target != nullptr)
            target->Perform(CM_MOUSEENTER);
    }
    if (target == nullptr)
        return false;
    TPoint local{point.X - target->Left(), point.Y - target->Top()};
    message.Result = target->Perform(message.Msg, message.WParam, PointToLParam(local));
    return true;
}

void TWinControl::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_SETFOCUS: {
        focusControl = this;
        // The form (the top-level parent) keeps its focused control.
        TWinControl* top = this;
        while (top->Parent() != nullptr)
            top = top->Parent();
        if (top != this)
            top->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
        DoEnter();
        message.Result = 0;
        return;
    }
    case WM_KILLFOCUS:
        if (focusControl == this)
            focusControl = nullptr;
        DoExit();
        message.Result = 0;
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        // A handler may change the key or take it (0), or free the control.
        auto key = static_cast<uint16_t>(message.WParam);
        TShiftState shift = KeyDataToShiftState(message.LParam);
        TComponentWatch self(this);
        if (message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN)
            KeyDown(key, shift);
        else
            KeyUp(key, shift);
        if (key == 0 || !self.Alive()) {
            message.Result = 0;
            return;
        }
        message.WParam = key;
        DefaultHandler(message);
        return;
    }
    case WM_CHAR: {
        char key = static_cast<char>(message.WParam & 0xFF);
        TComponentWatch self(this);
        KeyPress(key);
        if (key == 0 || !self.Alive()) {
            message.Result = 0;
            return;
        }
        message.WParam = static_cast<unsigned char>(key);
        DefaultHandler(message);
        return;
    }
    case WM_SYSCHAR:
        // A character typed with Alt that this control leaves: the access
        // key of a control on its form.
        if (SendDialogChar(*this, static_cast<char32_t>(message.WParam))) {
            message.Result = 0;
            return;
        }
        DefaultHandler(message);
        return;
    case WM_PAINT: {
        TPaintStruct paint;
        TCanvas* canvas = message.WParam != 0 ? reinterpret_cast<TCanvas*>(message.WParam) : BeginPaint(paint);
        if (canvas != nullptr)
            PaintControls(*canvas, message.WParam != 0 ? canvas->ClipRect() : paint.rcPaint);
        if (message.WParam == 0)
            EndPaint(paint);
        message.Result = 0;
        return;
    }
    case CM_FONTCHANGED:
        Invalidate();
        notifyControls(CM_PARENTFONTCHANGED);
        return;
    case CM_COLORCHANGED:
        Invalidate();
        notifyControls(CM_PARENTCOLORCHANGED);
        return;
    case CM_CTL3DCHANGED:
        Invalidate();
        notifyControls(CM_PARENTCTL3DCHANGED);
        return;
    case CM_PARENTCTL3DCHANGED:
        if (parentCtl3D_ && Parent() != nullptr) {
            SetCtl3D(Parent()->Ctl3D());
            parentCtl3D_ = true;
        }
        return;
    case CM_BIDIMODECHANGED:
        if (peer_ != nullptr)
            peer_->LayoutDirectionChanged();
        Invalidate();
        notifyControls(CM_PARENTBIDIMODECHANGED);
        return;
    case WM_GETMINMAXINFO: {
        // A sizeable window is dragged within the control's limits.
        auto* info = reinterpret_cast<TMinMaxInfo*>(message.LParam);
        if (info != nullptr) {
            info->MinTrackSize.cx = std::max(info->MinTrackSize.cx, Constraints().MinWidth());
            info->MinTrackSize.cy = std::max(info->MinTrackSize.cy, Constraints().MinHeight());
            if (Constraints().MaxWidth() > 0)
                info->MaxTrackSize.cx = Constraints().MaxWidth();
            if (Constraints().MaxHeight() > 0)
                info->MaxTrackSize.cy = Constraints().MaxHeight();
        }
        message.Result = 0;
        return;
    }
    case CM_ENABLEDCHANGED:
        if (peer_ != nullptr)
            peer_->EnabledChanged();
        Invalidate();
        return;
    case CM_SHOWINGCHANGED:
    case CM_VISIBLECHANGED:
        if (Visible() && Parent() == nullptr)
            HandleNeeded();
        if (peer_ != nullptr) {
            // Showing a window runs handlers (its activation, its painting)
            // that may free the control.
            TComponentWatch self(this);
            peer_->VisibleChanged();
            if (!self.Alive())
                return;
        }
        if (Parent() == nullptr && (message.Msg == CM_VISIBLECHANGED || Visible()))
            NotifyWindowNotice(Visible() ? wnWindowShown : wnWindowHidden, this);
        return;
    case CM_CURSORCHANGED:
        if (peer_ != nullptr && peer_->PointerInside())
            Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(this), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return;
    case CM_TEXTCHANGED:
        if (peer_ != nullptr)
            peer_->TextChanged();
        return;
    case CM_MOUSELEAVE:
        if (mouseControl_ != nullptr) {
            TControl* left = mouseControl_;
            mouseControl_ = nullptr;
            left->Perform(CM_MOUSELEAVE);
        }
        TControl::Dispatch(message);
        return;
    default:
        TControl::Dispatch(message);
    }
}

void TWinControl::DefaultHandler(TMessage& message) {
    switch (message.Msg) {
    case WM_ERASEBKGND:
        if (auto* canvas = reinterpret_cast<TCanvas*>(message.WParam)) {
            canvas->Brush().SetColor(Color());
            canvas->Brush().SetStyle(bsSolid);
            canvas->FillRect(canvas->ClipRect());
        }
        message.Result = 1;
        return;
    case WM_SETCURSOR:
        if (LOWORD(static_cast<uintptr_t>(message.LParam)) == HTCLIENT) {
            TControl* under = mouseControl_ != nullptr ? mouseControl_ : this;
            ShowCursorShape(under->Cursor() != crDefault ? under->Cursor() : Cursor());
            message.Result = 1;
            return;
        }
        message.Result = 0;
        return;
    default:
        TControl::DefaultHandler(message);
    }
}

void TWinControl::ShowCursorShape(int cursor) {
    if (peer_ != nullptr)
        peer_->ShowCursor(cursor);
}

// --- scroll bars --------------------------------------------------------------

int TScrollInfo::HighestPos() const {
    long long highest = static_cast<long long>(Max) - std::max<long long>(static_cast<long long>(Page) - 1, 0);
    return static_cast<int>(std::max<long long>(highest, Min));
}

int TWinControl::SetScrollInfo(int which, const TScrollInfo& info, unsigned mask, bool redraw) {
    ScrollBar& b = bar(which);
    if (mask & SIF_RANGE) {
        b.Info.Min = info.Min;
        b.Info.Max = info.Max;
    }
    if (mask & SIF_PAGE)
        b.Info.Page = info.Page;
    if (mask & SIF_POS)
        b.Info.Pos = info.Pos;
    b.DisableNoScroll = (mask & SIF_DISABLENOSCROLL) != 0;
    long long span = b.Info.Span();
    if (span > 0 && b.Info.Page > span)
        b.Info.Page = static_cast<unsigned>(span);
    b.Info.Pos = std::clamp(b.Info.Pos, b.Info.Min, b.Info.HighestPos());
    b.Info.TrackPos = b.Info.Pos;
    if (peer_ != nullptr && (redraw || (mask & ~SIF_POS) != 0))
        peer_->ScrollBarChanged(which);
    return b.Info.Pos;
}

TScrollInfo TWinControl::GetScrollInfo(int which) const { return bar(which).Info; }

int TWinControl::SetScrollPos(int which, int pos, bool redraw) {
    int previous = bar(which).Info.Pos;
    TScrollInfo info;
    info.Pos = pos;
    SetScrollInfo(which, info, SIF_POS | (bar(which).DisableNoScroll ? unsigned{SIF_DISABLENOSCROLL} : 0u), redraw);
    return previous;
}

int TWinControl::GetScrollPos(int which) const { return bar(which).Info.Pos; }

bool TWinControl::ScrollBarVisible(int which) const {
    TCreateParams params;
    const_cast<TWinControl*>(this)->CreateParams(params);
    unsigned style = which == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    if (!(params.Style & style))
        return false;
    const ScrollBar& b = bar(which);
    return b.DisableNoScroll || b.Info.NeedsScrolling();
}

void TWinControl::SetScrollTrackPos(int which, int pos) { bar(which).Info.TrackPos = pos; }

// --- caret ----------------------------------------------------------------------

void TWinControl::CreateCaret(int width, int height) {
    if (caretOwner != nullptr && caretOwner != this)
        caretOwner->DestroyCaret();
    caretOwner = this;
    caret_.Created = true;
    caret_.Width = std::max(1, width);
    caret_.Height = std::max(1, height);
    caret_.HideCount = 1;
    if (peer_ != nullptr)
        peer_->CaretChanged();
}

void TWinControl::DestroyCaret() {
    if (!caret_.Created)
        return;
    TPoint pos = caret_.Pos;
    caret_ = TCaretState{};
    caret_.Pos = pos;
    if (caretOwner == this)
        caretOwner = nullptr;
    if (peer_ != nullptr)
        peer_->CaretChanged();
}

void TWinControl::SetCaretPos(int x, int y) {
    if (caret_.Pos == TPoint{x, y})
        return;
    caret_.Pos = {x, y};
    if (peer_ != nullptr && caret_.Created)
        peer_->CaretChanged();
}

void TWinControl::ShowCaret() {
    if (!caret_.Created || caret_.HideCount <= 0)
        return;
    --caret_.HideCount;
    if (peer_ != nullptr)
        peer_->CaretChanged();
}

void TWinControl::HideCaret() {
    if (!caret_.Created)
        return;
    ++caret_.HideCount;
    if (peer_ != nullptr)
        peer_->CaretChanged();
}

// --- painting -------------------------------------------------------------------

void TWinControl::Invalidate() {
    if (peer_ != nullptr)
        peer_->Invalidate(nullptr);
}

void TWinControl::Update() {
    if (peer_ != nullptr)
        peer_->Update();
}

void TWinControl::InvalidateRect(const TRect* rect) {
    if (peer_ != nullptr)
        peer_->Invalidate(rect);
}

void TWinControl::ScrollWindow(int dx, int dy, const TRect* scroll, const TRect* clip) {
    if (peer_ == nullptr || (dx == 0 && dy == 0))
        return;
    TRect area = scroll != nullptr ? *scroll : ClientRect();
    if (clip != nullptr && !IntersectRect(area, area, *clip))
        return;
    peer_->Scroll(dx, dy, area);
}

TCanvas* TWinControl::BeginPaint(TPaintStruct& paint) {
    if (!painting_) {
        paint = TPaintStruct{};
        return nullptr;
    }
    paint.Canvas = &windowCanvas_;
    paint.rcPaint = paintRect_;
    return paint.Canvas;
}

void TWinControl::PeerPaintBegin(const TRect& rect) {
    windowCanvas_.SetOrigin({0, 0});
    windowCanvas_.RemoveClip();
    paintRect_ = rect;
    painting_ = true;
}

void TWinControl::PeerPaintEnd() {
    painting_ = false;
    windowCanvas_.QtSide().SetDevice(nullptr);
}

void TWinControl::PaintControls(TCanvas& canvas, const TRect& rect) {
    QPaintDevice* device = canvas.QtSide().Device();
    if (device == nullptr)
        return;
    TPoint origin = canvas.Origin();
    bool released = false;
    for (TControl* control : std::vector<TControl*>(controls_)) {
        auto* graphic = dynamic_cast<TGraphicControl*>(control);
        if (graphic == nullptr || !graphic->Visible())
            continue;
        TRect bounds = graphic->BoundsRect();
        TRect area;
        if (!IntersectRect(area, bounds, rect))
            continue;
        if (!released) {
            // One painter at a time may draw on a window.
            canvas.Release();
            released = true;
        }
        TCanvas& child = graphic->Canvas();
        child.QtSide().SetDevice(device);
        child.SetOrigin({origin.X + bounds.Left, origin.Y + bounds.Top});
        OffsetRect(area, -bounds.Left, -bounds.Top);
        child.SetClipRect(area);
        graphic->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&child));
        child.RemoveClip();
        child.QtSide().SetDevice(nullptr);
    }
}

// ---------------------------------------------------------------------------
// TCustomControl and TGraphicControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::Dispatch(TMessage& message) {
    if (message.Msg != WM_PAINT || message.WParam != 0) {
        TWinControl::Dispatch(message);
        return;
    }
    TPaintStruct paint;
    if (TCanvas* canvas = BeginPaint(paint)) {
        Paint();
        PaintControls(*canvas, paint.rcPaint);
    }
    EndPaint(paint);
    message.Result = 0;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

void TGraphicControl::Dispatch(TMessage& message) {
    if (message.Msg == WM_PAINT) {
        if (canvas_.HasDevice())
            Paint();
        message.Result = 0;
        return;
    }
    TControl::Dispatch(message);
}

// ---------------------------------------------------------------------------
// Posting

bool PostMessage(TWinControl* target, unsigned msg, WPARAM wParam, LPARAM lParam) {
    if (target == nullptr || target->MessageReceiver() == nullptr)
        return false;
    auto* event = new TPostedMessageEvent(TMessage{msg, wParam, lParam, 0});
    handedOver(event);
    QCoreApplication::postEvent(target->MessageReceiver(), event);
    return true;
}

LRESULT SendMessage(TControl* target, unsigned msg, WPARAM wParam, LPARAM lParam) {
    return target != nullptr ? target->Perform(msg, wParam, lParam) : 0;
}

LRESULT DeliverMessage(TControl& target, TMessage& message) {
    RunGuarded([&] { target.WndProc(message); });
    return message.Result;
}

void ProcessMessages() {
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}
