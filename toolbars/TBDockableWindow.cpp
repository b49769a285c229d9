#include "toolbars/TBDockableWindow.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Filer.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/NonClientFrame.h"
#include "platform/ui/NonClientMouse.h"
#include "toolbars/TBDock.h"
#include "toolbars/TBFloatingFrame.h"
#include "toolbars/TBGlyphs.h"
#include "toolbars/TBHookFeed.h"
#include "toolbars/TBHooks.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/TBScreen.h"
#include "toolbars/TBSystemSettings.h"
#include "toolbars/TBTrackButton.h"

#include <algorithm>

namespace {

std::vector<TTBCustomDockableWindow*>& floatingList() {
    static std::vector<TTBCustomDockableWindow*> list;
    return list;
}

// Floating frames follow the application's activation and the forms they
// float over.
void floatingHook(TTBHookPoint point, TWinControl* window, WPARAM, LPARAM) {
    for (TTBCustomDockableWindow* floating : std::vector<TTBCustomDockableWindow*>(floatingList())) {
        if (point == hpSendWindowPosChanged) {
            TTBFloatingWindowParent* frame = floating->FloatingFrame();
            TWinControl* host = frame != nullptr ? frame->ParentForm : nullptr;
            bool follows = floating->FloatingMode() == fmOnTopOfParentForm && host != nullptr;
            bool related = false;
            for (TWinControl* w = host; follows && w != nullptr && !related; w = w->Parent())
                related = w == window;
            if (!related)
                continue;
        } else if (point != hpSendActivateApp) {
            continue;
        }
        floating->UpdateFloatingVisibility();
    }
}

constexpr TTBHookPoints kFloatingHookPoints = (1u << hpSendActivateApp) | (1u << hpSendWindowPosChanged);

} // namespace

// ---------------------------------------------------------------------------
// Construction

TTBCustomDockableWindow::TTBCustomDockableWindow(TComponent* owner) : TCustomControl(owner) {
    ControlStyle = (ControlStyle | csAcceptsControls | csClickEvents | csDoubleClicks) & ~(csCaptureMouse | csOpaque);
    RegisterTBWindow(this, false);
    EnsureTBHookFeed();
    SubscribeHooks(&floatingHook, kFloatingHookPoints);
}

TTBCustomDockableWindow::~TTBCustomDockableWindow() {
    Destroying();
    UnsubscribeHooks(&floatingHook);
    UnregisterTBWindow(this);
    std::erase(floatingList(), this);
    if (floatingFrame_ != nullptr) {
        TTBFloatingWindowParent* frame = floatingFrame_;
        floatingFrame_ = nullptr;
        if (Parent() == frame)
            TCustomControl::SetParent(nullptr);
        frame->DockableWindow = nullptr;
        delete frame;
    }
    retiredFrames_.clear();
}

// ---------------------------------------------------------------------------
// Properties

void TTBCustomDockableWindow::SetAutoResize(bool value) {
    if (value == autoResize_)
        return;
    autoResize_ = value;
    if (value)
        FitToContents();
}

void TTBCustomDockableWindow::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_)
        return;
    borderStyle_ = value;
    InvalidateFrame();
}

void TTBCustomDockableWindow::SetCloseButton(bool value) {
    if (value == closeButton_)
        return;
    closeButton_ = value;
    if (floatingFrame_ != nullptr)
        floatingFrame_->RedrawParts(fpCaption | fpCloseButton);
}

void TTBCustomDockableWindow::SetCloseButtonWhenDocked(bool value) {
    if (value == closeButtonWhenDocked_)
        return;
    closeButtonWhenDocked_ = value;
    arrangeIfDocked();
}

void TTBCustomDockableWindow::SetDragHandleStyle(TTBDragHandleStyle value) {
    if (value == dragHandleStyle_)
        return;
    dragHandleStyle_ = value;
    arrangeIfDocked();
}

void TTBCustomDockableWindow::arrangeIfDocked() {
    if (!Docked())
        return;
    FrameChanged(*this);
    currentDock_->LayoutBars();
    InvalidateFrame();
}

void TTBCustomDockableWindow::SetCurrentDock(TTBDock* value) {
    if (IsLoading()) {
        SetParent(value);
        return;
    }
    if (value != nullptr)
        SetParent(value);
    else
        SetParent(HostFormOf(this));
}

void TTBCustomDockableWindow::SetDefaultDock(TTBDock* value) {
    if (value == defaultDock_)
        return;
    if (defaultDock_ != nullptr && defaultDock_ != currentDock_ && defaultDock_ != lastDock_)
        defaultDock_->RemoveFreeNotification(this);
    defaultDock_ = value;
    if (value != nullptr)
        value->FreeNotification(this);
}

void TTBCustomDockableWindow::SetDockPos(int value) {
    dockPos_ = value;
    if (Docked())
        currentDock_->LayoutBars();
}

void TTBCustomDockableWindow::SetDockRow(int value) {
    dockRow_ = value;
    if (Docked())
        currentDock_->LayoutBars();
}

void TTBCustomDockableWindow::SetFloatingMode(TTBFloatingMode value) {
    if (value == floatingMode_)
        return;
    floatingMode_ = value;
    if (floatingFrame_ != nullptr)
        floatingFrame_->OwnerChanged();
    UpdateFloatingVisibility();
}

void TTBCustomDockableWindow::SetFullSize(bool value) {
    if (value == fullSize_)
        return;
    fullSize_ = value;
    if (Docked())
        currentDock_->LayoutBars();
}

void TTBCustomDockableWindow::SetHideWhenInactive(bool value) {
    if (value == hideWhenInactive_)
        return;
    hideWhenInactive_ = value;
    UpdateFloatingVisibility();
}

void TTBCustomDockableWindow::SetLastDock(TTBDock* value) {
    if (useLastDock_ && currentDock_ != nullptr)
        value = currentDock_;
    if (value == lastDock_)
        return;
    if (lastDock_ != nullptr && lastDock_ != Parent())
        lastDock_->AddRemoveBar(false, this);
    lastDock_ = value;
    if (value != nullptr) {
        useLastDock_ = true;
        value->FreeNotification(this);
        value->AddRemoveBar(true, this);
    }
}

void TTBCustomDockableWindow::SetResizable(bool value) {
    if (value == resizable_)
        return;
    resizable_ = value;
    if (floatingFrame_ != nullptr)
        floatingFrame_->FrameGeometryChanged();
}

void TTBCustomDockableWindow::SetShowCaption(bool value) {
    if (value == showCaption_)
        return;
    showCaption_ = value;
    if (floatingFrame_ != nullptr) {
        floatingFrame_->FrameGeometryChanged();
        FitToContents();
    }
}

void TTBCustomDockableWindow::SetUseLastDock(bool value) {
    if (value == useLastDock_)
        return;
    useLastDock_ = value;
    SetLastDock(value ? currentDock_ : nullptr);
}

void TTBCustomDockableWindow::AddDockForm(TWinControl* form) {
    if (form == nullptr || std::find(dockForms_.begin(), dockForms_.end(), form) != dockForms_.end())
        return;
    dockForms_.push_back(form);
    form->FreeNotification(this);
}

void TTBCustomDockableWindow::RemoveDockForm(TWinControl* form) { std::erase(dockForms_, form); }

void TTBCustomDockableWindow::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == defaultDock_)
        defaultDock_ = nullptr;
    if (component == lastDock_)
        lastDock_ = nullptr;
    if (component == currentDock_) {
        currentDock_ = nullptr;
        dockType_ = dtNotDocked;
    }
    std::erase(dockForms_, component);
    if (floatingFrame_ != nullptr && component == floatingFrame_->ParentForm) {
        // The form the frame floats over is gone: the window leaves the
        // frame, which goes too.
        if (Parent() == floatingFrame_) {
            floating_ = false;
            TCustomControl::SetParent(nullptr);
            updateFloatingList();
        }
        retireFrame();
    }
}

// ---------------------------------------------------------------------------
// Geometry

int TTBCustomDockableWindow::DragHandleSize() const {
    if (closeButtonWhenDocked_)
        return 14;
    switch (dragHandleStyle_) {
    case dhDouble:
        return 9;
    case dhNone:
        return 0;
    default:
        return 6;
    }
}

TSize TTBCustomDockableWindow::DockedFrameSizeFor(const TTBDock* dock) const {
    if (dock == nullptr)
        return {0, 0};
    TSize size{4, 4};
    if (dock->AllowDrag()) {
        if (dock->IsVertical())
            size.cy += DragHandleSize();
        else
            size.cx += DragHandleSize();
    }
    return size;
}

TPoint TTBCustomDockableWindow::FloatingFrameBorder() const {
    int border = resizable_ ? kTBSizingFrame : kTBFixedFrame;
    return {border, border};
}

TPoint TTBCustomDockableWindow::ClientOrigin() const {
    if (!Docked())
        return {0, 0};
    int handle = currentDock_->AllowDrag() ? DragHandleSize() : 0;
    return currentDock_->IsVertical() ? TPoint{2, 2 + handle} : TPoint{2 + handle, 2};
}

int TTBCustomDockableWindow::ClientWidth() const {
    if (HandleAllocated())
        return TCustomControl::ClientWidth();
    return std::max(0, Width() - DockedFrameSize().cx);
}

int TTBCustomDockableWindow::ClientHeight() const {
    if (HandleAllocated())
        return TCustomControl::ClientHeight();
    return std::max(0, Height() - DockedFrameSize().cy);
}

TPoint TTBCustomDockableWindow::ClientToScreen(TPoint point) const {
    if (HandleAllocated())
        return TCustomControl::ClientToScreen(point);
    TPoint origin = ClientOrigin();
    return TCustomControl::ClientToScreen({point.X + origin.X, point.Y + origin.Y});
}

TPoint TTBCustomDockableWindow::ScreenToWindow(TPoint screen) const {
    TPoint client = ScreenToClient(screen);
    TPoint origin = ClientOrigin();
    return {client.X + origin.X, client.Y + origin.Y};
}

TRect TTBCustomDockableWindow::DockedCloseButtonRect() const {
    if (!Docked() || !closeButtonWhenDocked_ || !currentDock_->AllowDrag())
        return {};
    int side = DragHandleSize() - 3;
    if (currentDock_->IsVertical())
        return Bounds(ClientWidth() + 2 - side, 3, side, side);
    return Bounds(3, 2, side, side);
}

void TTBCustomDockableWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Kind = std::string(wk::NonClientFramed);
}

bool TTBCustomDockableWindow::CanDrag() const {
    return (Docked() && currentDock_->AllowDrag()) || floating_;
}

void TTBCustomDockableWindow::PointOnChildControl(TPoint point, bool& result) {
    for (int i = 0; i < ControlCount() && !result; ++i) {
        TControl* child = Controls(i);
        if (child->Visible() && child->BoundsRect().Contains(point) && !IsTransparentChild(child))
            result = true;
    }
}

// ---------------------------------------------------------------------------
// Arranging and sizing

void TTBCustomDockableWindow::BeginUpdate() { ++updateCount_; }

void TTBCustomDockableWindow::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && arrangePending_) {
        arrangePending_ = false;
        FitToContents();
    }
}

void TTBCustomDockableWindow::FitToContents() {
    bool ownerLoading = Owner() != nullptr && Owner()->IsLoading();
    if (updateCount_ > 0 || IsLoading() || ownerLoading || Parent() == nullptr) {
        arrangePending_ = true;
        return;
    }
    arrangePending_ = false;
    TSize size = ArrangeContents(true, dockType_, currentDock_, floating_);
    if (SizesItself())
        ResizeToClientSize(size.cx, size.cy);
}

void TTBCustomDockableWindow::ResizeToClientSize(int clientWidth, int clientHeight) {
    if (Docked()) {
        currentDock_->LayoutBars();
        return;
    }
    TSize frame = DockedFrameSize();
    ++boundsGuard_;
    SetBounds(Left(), Top(), clientWidth + frame.cx, clientHeight + frame.cy);
    --boundsGuard_;
}

void TTBCustomDockableWindow::SetBounds(int left, int top, int width, int height) {
    // Bounds being read keep their place until Loaded has seen them.
    if (floating_ && floatingFrame_ != nullptr && Parent() == floatingFrame_ && !IsLoading()) {
        left = 0;
        top = 0;
    }
    bool moved = left != Left() || top != Top();
    bool sized = width != Width() || height != Height();
    TCustomControl::SetBounds(left, top, width, height);
    if (sized && floating_ && floatingFrame_ != nullptr && Parent() == floatingFrame_)
        floatingFrame_->FitToWindow();
    if (sized && boundsGuard_ == 0)
        OuterSizeChanged(Width(), Height());
    if (sized && Docked() && boundsGuard_ == 0)
        currentDock_->LayoutBars();
    if (moved)
        fireMove();
    if (sized && OnResize)
        OnResize(this);
}

void TTBCustomDockableWindow::fireMove() {
    if (OnMove && !IsLoading() && dockChangeCount_ == 0)
        OnMove(this);
}

void TTBCustomDockableWindow::KeepOnScreen(bool onlyIfFullyOffscreen) {
    if (!floating_ || floatingFrame_ == nullptr)
        return;
    TRect r = floatingFrame_->BoundsRect();
    TRect area = MonitorAreaOfRect(r, true);
    if (onlyIfFullyOffscreen && RectsIntersect(area, r))
        return;
    int dx = 0, dy = 0;
    if (r.Right > area.Right)
        dx = area.Right - r.Right;
    if (r.Bottom > area.Bottom)
        dy = area.Bottom - r.Bottom;
    if (r.Left + dx < area.Left)
        dx = area.Left - r.Left;
    if (r.Top + dy < area.Top)
        dy = area.Top - r.Top;
    if (dx != 0 || dy != 0)
        PlaceFloatingFrame({r.Left + dx, r.Top + dy});
}

void TTBCustomDockableWindow::PlaceFloatingFrame(TPoint screen) {
    FloatLeft = screen.X;
    FloatTop = screen.Y;
    if (floating_ && floatingFrame_ != nullptr)
        floatingFrame_->SetBounds(screen.X, screen.Y, floatingFrame_->Width(), floatingFrame_->Height());
}

// ---------------------------------------------------------------------------
// The dock/float switch

TWinControl* TTBCustomDockableWindow::HostFormOf(const TControl* control) {
    TWinControl* parent = control != nullptr ? control->Parent() : nullptr;
    for (TWinControl* w = parent; w != nullptr; w = w->Parent()) {
        if (auto* frame = dynamic_cast<TTBFloatingWindowParent*>(w)) {
            if (frame->ParentForm != nullptr)
                return frame->ParentForm;
            break;
        }
        // The nearest form (an MDI child is a form inside its frame); a
        // top-level window serves where there is none.
        if (dynamic_cast<TCustomForm*>(w) != nullptr || w->Parent() == nullptr)
            return w;
    }
    throw EInvalidOperation(
        FormatMessageText("Control '%s' has no parent window", control != nullptr ? control->Name().c_str() : ""));
}

void TTBCustomDockableWindow::FireDockChangingHidden(bool floating, TTBDock* dockingTo) {
    if (!IsDestroying() && OnDockChangingHidden)
        OnDockChangingHidden(this, floating, dockingTo);
}

void TTBCustomDockableWindow::SetParent(TWinControl* parent) {
    TWinControl* oldParent = Parent();
    auto* oldDock = dynamic_cast<TTBDock*>(oldParent);
    auto* newDock = dynamic_cast<TTBDock*>(parent);
    bool newFloating = dynamic_cast<TTBFloatingWindowParent*>(parent) != nullptr;
    if (parent == oldParent) {
        currentDock_ = newDock;
        floating_ = newFloating;
        updateFloatingList();
        return;
    }
    bool destroying = IsDestroying();
    if (!destroying && parent != nullptr) {
        if (OnDockChanging)
            OnDockChanging(this, newFloating, newDock);
        if (OnRecreating)
            OnRecreating(this);
    }
    ++dockChangeCount_;
    if (oldDock != nullptr)
        oldDock->SuspendLayout();
    if (newDock != nullptr)
        newDock->SuspendLayout();
    ++boundsGuard_;
    // Whatever happens, the docks lay out again and the counts come down.
    struct TUnwind {
        TTBCustomDockableWindow* W;
        TTBDock* OldDock;
        TTBDock* NewDock;
        void Run() {
            if (W == nullptr)
                return;
            TTBCustomDockableWindow* w = W;
            W = nullptr;
            --w->boundsGuard_;
            if (NewDock != nullptr)
                NewDock->ResumeLayout();
            if (OldDock != nullptr)
                OldDock->ResumeLayout();
            --w->dockChangeCount_;
        }
        ~TUnwind() { Run(); }
    } unwind{this, oldDock, newDock};
    if (parent != nullptr)
        FireDockChangingHidden(newFloating, newDock);
    BeginUpdate();
    shrunkLength_ = 0;

    if (oldDock != nullptr) {
        if (!useLastDock_)
            oldDock->AddRemoveBar(false, this);
        oldDock->UpdateBarVisibility(this, true);
    }
    bool wasFloating = dynamic_cast<TTBFloatingWindowParent*>(oldParent) != nullptr;
    currentDock_ = newDock;
    floating_ = newFloating;
    if (newDock != nullptr)
        newDock->FreeNotification(this);
    try {
        TCustomControl::SetParent(parent);
    } catch (...) {
        currentDock_ = dynamic_cast<TTBDock*>(Parent());
        floating_ = dynamic_cast<TTBFloatingWindowParent*>(Parent()) != nullptr;
        EndUpdate();
        throw;
    }
    FrameChanged(*this);
    PlacedRow = -1;
    if (wasFloating && !SmoothDragging && floatingFrame_ != nullptr && floatingFrame_ != parent)
        retireFrame();
    if (newDock != nullptr) {
        if (useLastDock_) {
            SetLastDock(newDock);
            newDock->UpdateBarVisibility(this, false);
        } else {
            newDock->AddRemoveBar(true, this);
        }
    }
    updateFloatingList();
    if (floating_ && floatingFrame_ != nullptr)
        floatingFrame_->SetBounds(FloatLeft, FloatTop, floatingFrame_->Width(), floatingFrame_->Height());
    dockType_ = floating_ ? dtFloating : newDock != nullptr ? newDock->DockType() : dtNotDocked;
    FitToContents();
    EndUpdate();
    unwind.Run();
    if (parent != nullptr)
        fireMove();
    UpdateFloatingVisibility();
    if (!destroying && parent != nullptr) {
        if (OnRecreated)
            OnRecreated(this);
        if (OnDockChanged)
            OnDockChanged(this);
    }
}

void TTBCustomDockableWindow::retireFrame() {
    if (floatingFrame_ == nullptr)
        return;
    TTBFloatingWindowParent* frame = floatingFrame_;
    floatingFrame_ = nullptr;
    frame->DockableWindow = nullptr;
    frame->Hide();
    // The frame may be handling a message of its own (a double click on
    // its caption docks the window): it goes once that is over.
    retiredFrames_.emplace_back(frame);
    PostMessage(this, TBM_FREEFRAMES);
}

void TTBCustomDockableWindow::DropLeftFrame() {
    if (floatingFrame_ != nullptr && Parent() != floatingFrame_)
        retireFrame();
}

void TTBCustomDockableWindow::FrameDestroyed(TTBFloatingWindowParent* frame) {
    if (frame != floatingFrame_)
        return;
    floatingFrame_ = nullptr;
    if (Parent() == frame) {
        floating_ = false;
        TCustomControl::SetParent(nullptr);
        updateFloatingList();
    }
}

void TTBCustomDockableWindow::updateFloatingList() {
    auto& list = floatingList();
    bool listed = std::find(list.begin(), list.end(), this) != list.end();
    if (floating_ && !listed)
        list.push_back(this);
    else if (!floating_ && listed)
        std::erase(list, this);
}

const std::vector<TTBCustomDockableWindow*>& TTBCustomDockableWindow::FloatingWindows() { return floatingList(); }

TTBFloatingWindowParent* TTBCustomDockableWindow::MakeFloatingFrame() { return new TTBFloatingWindowParent(); }

void TTBCustomDockableWindow::SetFloating(bool value) { makeFloating(value); }

void TTBCustomDockableWindow::makeFloating(bool value) {
    if (value == floating_)
        return;
    TWinControl* host = HostFormOf(this);
    if (!value) {
        SetParent(host);
        return;
    }
    if (floatingFrame_ == nullptr || floatingFrame_->ParentForm != host) {
        retireFrame();
        TTBFloatingWindowParent* frame = MakeFloatingFrame();
        frame->ParentForm = host;
        frame->DockableWindow = this;
        frame->SetName(FormatMessageText("NBFloatingWindowParent_%.8x",
                                         static_cast<unsigned>(reinterpret_cast<uintptr_t>(frame))));
        frame->SetCaption(Caption());
        host->FreeNotification(this);
        floatingFrame_ = frame;
        TPoint border = frame->FrameSize();
        frame->SetBounds(FloatLeft, FloatTop, ClientWidth() + border.X, ClientHeight() + border.Y);
    }
    SetParent(floatingFrame_);
    SetBounds(0, 0, Width(), Height());
}

void TTBCustomDockableWindow::DoubleClickToggle() {
    if (!Docked()) {
        if (lastDock_ != nullptr) {
            SetParent(lastDock_);
        } else if (defaultDock_ != nullptr) {
            dockRow_ = 0;
            dockPos_ = -8;
            SetParent(defaultDock_);
        }
        return;
    }
    if (DockMode == dmCanFloat) {
        SetFloating(true);
        KeepOnScreen(true);
    }
}

void TTBCustomDockableWindow::CloseWindow() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    if (!canClose)
        return;
    Hide();
    if (OnClose)
        OnClose(this);
}

void TTBCustomDockableWindow::Loaded() {
    const TPoint read{Left(), Top()};
    TCustomControl::Loaded();
    if (floating_ && floatingFrame_ != nullptr && Parent() == floatingFrame_) {
        // A designed form places the window on the host form's client area;
        // a form saved while the program ran holds the frame's own bounds.
        TWinControl* host = floatingFrame_->ParentForm;
        bool convert = !savedAtRunTime_ && !(ComponentState() & csDesigning) && host != nullptr;
        if (convert)
            PlaceFloatingFrame(host->ClientToScreen(read));
        SetBounds(0, 0, Width(), Height());
        if (convert)
            KeepOnScreen(false);
    }
    FinishLoading();
    FitToContents();
}

void TTBCustomDockableWindow::DefineProperties(TFiler& filer) {
    TCustomControl::DefineProperties(filer);
    filer.DefineProperty(
        "SavedAtRunTime", [this](TReader& reader) { savedAtRunTime_ = reader.ReadBoolean(); },
        [](TWriter& writer) { writer.WriteBoolean(true); }, !(ComponentState() & csDesigning));
}

// ---------------------------------------------------------------------------
// Floating visibility

bool TTBCustomDockableWindow::ShouldShowFloating() const {
    if (!floating_ || floatingFrame_ == nullptr || !Visible() || dockChangeCount_ > 0)
        return false;
    if (floatingMode_ == fmOnTopOfParentForm) {
        // The form must be on the screen: visible, and with its window
        // made where windows are made at all.
        TWinControl* host = floatingFrame_->ParentForm;
        if (host == nullptr || !host->Showing() || (HasWindowPeerFactory() && !host->HandleAllocated()))
            return false;
        // Nor minimised, nor the frame of an MDI child host.
        auto* form = dynamic_cast<TCustomForm*>(host);
        if (form != nullptr && form->WindowState() == wsMinimized)
            return false;
        TCustomForm* main = Application().MainForm();
        if (form != nullptr && form->FormStyle() == fsMDIChild && main != nullptr && main->WindowState() == wsMinimized)
            return false;
    }
    if (hideWhenInactive_ && !Application().Active())
        return false;
    return true;
}

void TTBCustomDockableWindow::UpdateFloatingVisibility() {
    if (floatingFrame_ == nullptr)
        return;
    bool show = ShouldShowFloating();
    floatingFrame_->ShouldShow = show;
    bool inactive = !hideWhenInactive_ && !Application().Active();
    if (inactive != inactiveCaption_) {
        inactiveCaption_ = inactive;
        floatingFrame_->RedrawParts(fpCaption);
    }
    if (show)
        floatingFrame_->KeepAboveOwner();
    if (floatingFrame_->Visible() != show)
        floatingFrame_->SetVisible(show);
    // A shown frame stays above its form, which the activation or a show
    // may have raised over it where no window manager keeps it below.
    if (show)
        floatingFrame_->BringFrameToTop();
}

// ---------------------------------------------------------------------------
// The docked frame

void TTBCustomDockableWindow::InvalidateFrame() { FrameChanged(*this); }

void TTBCustomDockableWindow::setCloseButtonHot(bool hot) {
    if (hot == closeButtonHot_)
        return;
    closeButtonHot_ = hot;
    InvalidateFrame();
}

void TTBCustomDockableWindow::handleNCHitTest(TMessage& message) {
    if (!Docked()) {
        message.Result = HTNOWHERE;
        return;
    }
    TPoint p = ScreenToWindow(PointFromLParam(message.LParam));
    if (closeButtonWhenDocked_ && currentDock_->AllowDrag() && DockedCloseButtonRect().Contains(p))
        message.Result = kHitCloseButton;
    else
        message.Result = kHitDragArea;
}

bool TTBCustomDockableWindow::trackCloseButton() {
    return TrackButton(
        this, [this](TPoint screen) { return DockedCloseButtonRect().Contains(ScreenToWindow(screen)); },
        [this](bool pressed) {
            if (pressed != closeButtonPressed_) {
                closeButtonPressed_ = pressed;
                InvalidateFrame();
            }
        });
}

void TTBCustomDockableWindow::handleNCButtonDown(TMessage& message) {
    int hit = static_cast<int>(message.WParam);
    if (hit == kHitDragArea && CanDrag()) {
        TPoint client = ScreenToClient(PointFromLParam(message.LParam));
        TrackDrag(client.X, client.Y);
    } else if (hit == kHitCloseButton) {
        if (trackCloseButton())
            CloseWindow();
    }
}

void TTBCustomDockableWindow::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (floating_ && floatingFrame_ != nullptr && Parent() == floatingFrame_)
        floatingFrame_->ActivateHost();
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !CanDrag())
        return;
    if (shift & ssDouble) {
        DoubleClickToggle();
        return;
    }
    // A press that lies outside the window came here only because the
    // window held the mouse (a menu loop ending on a press elsewhere hands
    // that press on afterwards): it belongs to another window and must not
    // move this one.
    if (!ClientRect().Contains({x, y}))
        return;
    bool onChild = false;
    PointOnChildControl({x, y}, onChild);
    if (onChild)
        return;
    TrackDrag(x, y);
    // The press has been used: no click follows it.
    Perform(WM_LBUTTONUP, 0, PointToLParam({-1, -1}));
}

void TTBCustomDockableWindow::MouseMove(TShiftState shift, int x, int y) {
    setCloseButtonHot(false);
    TCustomControl::MouseMove(shift, x, y);
}

void TTBCustomDockableWindow::DrawNCArea(TCanvas& canvas) {
    if (!Docked())
        return;
    TTBDock* dock = currentDock_;
    TRect r = Rect(0, 0, Width(), Height());
    TColor color = Color();
    if (borderStyle_ == bsSingle) {
        TRect edge = r;
        canvas.DrawEdge(edge, BDR_RAISEDINNER, BF_RECT);
    } else {
        FrameInColor(canvas, r, color);
    }
    InflateRect(r, -1, -1);
    bool background = dock->BackgroundInUse() && dock->BackgroundOnToolbars();
    if (background)
        dock->PaintBackgroundFor(canvas, r, {Left(), Top()});
    else
        FrameInColor(canvas, r, color);
    if (!dock->AllowDrag())
        return;
    const bool vertical = dock->IsVertical();
    const int handle = DragHandleSize();
    const int length = (vertical ? ClientWidth() : ClientHeight()) + 2;
    if (!background)
        canvas.FillRect(vertical ? Rect(2, 2, length, handle + 2) : Rect(2, 2, handle + 2, length), color);
    if (dragHandleStyle_ != dhNone) {
        bool single = dragHandleStyle_ == dhSingle;
        int offset = 2 + (closeButtonWhenDocked_ ? (single ? 5 : 3) : (single ? 1 : 2));
        int start = 2, end = length;
        if (single) {
            ++start;
            --end;
        }
        if (closeButtonWhenDocked_) {
            if (vertical)
                end -= handle - 2;
            else
                start = handle;
        }
        for (int grip = 0; grip < (single ? 1 : 2); ++grip) {
            int cross = offset + grip * 3;
            TRect bar = vertical ? Rect(start, cross, end, cross + 3) : Rect(cross, start, cross + 3, end);
            if (bar.IsEmpty())
                continue;
            TRect edge = bar;
            canvas.DrawEdge(edge, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
            TPoint corner = vertical ? TPoint{bar.Right - 1, bar.Top} : TPoint{bar.Left, bar.Bottom - 1};
            canvas.FillRect(Bounds(corner.X, corner.Y, 1, 1), clBtnHighlight);
        }
    }
    if (closeButtonWhenDocked_) {
        TRect button = DockedCloseButtonRect();
        TRect edge = button;
        if (closeButtonPressed_)
            canvas.DrawEdge(edge, BDR_SUNKENOUTER, BF_RECT);
        else if (closeButtonHot_)
            canvas.DrawEdge(edge, BDR_RAISEDINNER, BF_RECT);
        InflateRect(button, -2, -2);
        if (closeButtonPressed_)
            OffsetRect(button, 1, 1);
        PaintGlyphPattern(canvas, button.Left, button.Top, 8, kCloseCross, clBtnText);
    }
}

// ---------------------------------------------------------------------------
// Messages

void TTBCustomDockableWindow::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_NCCALCSIZE: {
        auto* rect = reinterpret_cast<TRect*>(message.LParam);
        TPoint origin = ClientOrigin();
        TSize frame = DockedFrameSize();
        rect->Left += origin.X;
        rect->Top += origin.Y;
        rect->Right = std::max(rect->Left, rect->Right - (frame.cx - origin.X));
        rect->Bottom = std::max(rect->Top, rect->Bottom - (frame.cy - origin.Y));
        message.Result = 0;
        return;
    }
    case WM_NCPAINT:
        if (auto* canvas = reinterpret_cast<TCanvas*>(message.WParam))
            DrawNCArea(*canvas);
        return;
    case WM_NCHITTEST:
        handleNCHitTest(message);
        return;
    case WM_NCLBUTTONDOWN:
        handleNCButtonDown(message);
        return;
    case WM_NCLBUTTONDBLCLK:
        if (static_cast<int>(message.WParam) == kHitDragArea)
            DoubleClickToggle();
        return;
    case WM_NCRBUTTONUP:
        Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(this), message.LParam);
        return;
    case WM_NCMOUSEMOVE:
        setCloseButtonHot(static_cast<int>(message.WParam) == kHitCloseButton);
        return;
    case WM_NCMOUSELEAVE:
    case CM_MOUSELEAVE:
        setCloseButtonHot(false);
        break;
    case WM_SETCURSOR:
        if (LOWORD(static_cast<uintptr_t>(message.LParam)) == kHitDragArea && Docked() &&
            currentDock_->AllowDrag() && DragHandleSize() > 0) {
            TPoint p = ScreenToWindow(TBCursorPos());
            int along = currentDock_->IsVertical() ? p.Y : p.X;
            if (along < DragHandleSize() + 2) {
                ShowCursorShape(crSizeAll);
                message.Result = 1;
                return;
            }
        }
        break;
    case WM_ERASEBKGND:
        if (Docked() && currentDock_->BackgroundInUse() && currentDock_->BackgroundOnToolbars()) {
            if (auto* canvas = reinterpret_cast<TCanvas*>(message.WParam)) {
                TPoint origin = ClientOrigin();
                currentDock_->PaintBackgroundFor(*canvas, ClientRect(), {Left() + origin.X, Top() + origin.Y});
            }
            message.Result = 1;
            return;
        }
        break;
    case TBM_FREEFRAMES:
        retiredFrames_.clear();
        return;
    case CM_VISIBLECHANGED:
        TCustomControl::Dispatch(message);
        if (Docked())
            currentDock_->UpdateBarVisibility(this, false);
        UpdateFloatingVisibility();
        if (OnVisibleChanged)
            OnVisibleChanged(this);
        return;
    case CM_TEXTCHANGED:
        TCustomControl::Dispatch(message);
        if (floatingFrame_ != nullptr)
            floatingFrame_->SetCaption(Caption());
        return;
    case CM_COLORCHANGED:
        TCustomControl::Dispatch(message);
        InvalidateFrame();
        if (floatingFrame_ != nullptr)
            floatingFrame_->RedrawParts(fpBorder | fpCaption | fpCloseButton);
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(message);
}
