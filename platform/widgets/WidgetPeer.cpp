#include "platform/widgets/WidgetPeer.h"

#include "platform/widgets/ShellDragDrop.h"
#include "platform/widgets/ShellMenuTracker.h"

#include "platform/base/TextCodec.h"
#include "platform/ui/Application.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Keys.h"
#include "platform/ui/PopupMenu.h"
#include "platform/ui/SystemSettings.h"
#include "platform/widgets/FocusReturn.h"
#include "platform/widgets/OnTopStacking.h"
#include "platform/widgets/LoopInputFilter.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/QtInput.h"
#include "platform/widgets/QtUserInteraction.h"
#include "platform/widgets/TabWalk.h"
#include "platform/widgets/X11Windows.h"
#include "platform/widgets/WidgetDisposal.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/base/QtBridge.h"
#include "platform/ui/QtBridge.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace {

unsigned scrollMessageOf(int bar) { return bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL; }

// The parent widget of a new window: the parent's client widget for a child
// window; for a top-level one the window of its owner (so that it stays
// above it), or none.
QWidget* parentWidgetOf(TWinControl& control, const TPeerWindowStyle& style) {
    if (!style.TopLevel)
        return ClientWidgetOf(control.Parent());
    TWinControl* owner = control.WindowParams().WndParent;
    if (owner == nullptr)
        owner = control.Parent();
    QWidget* widget = ClientWidgetOf(owner);
    return widget != nullptr ? widget->window() : nullptr;
}

} // namespace

TWinControl* ControlOfObject(const QObject* object) {
    for (; object != nullptr; object = object->parent()) {
        if (auto* peer = dynamic_cast<const TPeerWidget*>(object))
            return peer->AttachedControl();
        if (QVariant control = object->property(kControlProperty); control.isValid())
            return static_cast<TWinControl*>(control.value<void*>());
    }
    return nullptr;
}

QWidget* ClientWidgetOf(const TWinControl* control) {
    if (control == nullptr || control->Peer() == nullptr)
        return nullptr;
    return static_cast<QWidget*>(control->Peer()->NativeWidget());
}

// ---------------------------------------------------------------------------
// TWidgetPeer

TWidgetPeer::TWidgetPeer(TWinControl& control, const TPeerWindowStyle& style)
    : widget_(new TPeerWidget(control, parentWidgetOf(control, style), style)) {}

TWidgetPeer::~TWidgetPeer() {
    if (!widget_)
        return;
    widget_->Detach();
    // Forgotten first: while the widget goes, the windows it takes with it
    // close, and what they tell (the keyboard handed on, the working
    // window looked up) must not reach a widget half destroyed.
    TPeerWidget* widget = widget_;
    widget_ = nullptr;
    DisposeWidget(widget);
}

void TWidgetPeer::BoundsChanged() {
    if (widget_)
        widget_->setGeometry(ToQRect(widget_->Control().BoundsRect()));
}

void TWidgetPeer::VisibleChanged() {
    if (!widget_)
        return;
    TWidgetInUse inUse(widget_);
    widget_->setVisible(widget_->Control().Visible());
}

void TWidgetPeer::EnabledChanged() {
    if (widget_)
        widget_->setEnabled(widget_->Control().Enabled());
}

void TWidgetPeer::TextChanged() {
    if (widget_)
        widget_->setWindowTitle(ProgramTextToQString(widget_->Control().Caption()));
}

void TWidgetPeer::ScrollBarChanged(int bar) {
    if (widget_)
        widget_->SyncScrollBar(bar);
}

void TWidgetPeer::CaretChanged() {
    if (widget_)
        widget_->CaretChanged();
}

void TWidgetPeer::CaptureChanged(bool captured) {
    // While a button is held Qt sends the mouse to the pressed widget
    // anyway; an explicit grab matters only without one, and some
    // platforms (the offscreen one) have none.
    if (!widget_ || !widget_->isVisible() || QGuiApplication::platformName() == "offscreen")
        return;
    if (captured)
        widget_->viewport()->grabMouse();
    else
        widget_->viewport()->releaseMouse();
}

void TWidgetPeer::TabStopChanged() {
    if (widget_)
        widget_->setFocusPolicy(widget_->FocusPolicyNow());
}

void TWidgetPeer::RegionChanged() {
    if (widget_)
        widget_->SyncRegion();
}

void TWidgetPeer::SetOpacity(double opacity) {
    if (!widget_ || !widget_->isWindow())
        return;
    widget_->setWindowOpacity(opacity);
    // The toolkit writes the opacity property without sending it; a fade
    // whose steps change nothing else would reach the compositing manager
    // only with its last step, when the popup repaints.
    if (xcb_connection_t* connection = X11Connection())
        xcb_flush(connection);
}

double TWidgetPeer::Opacity() const { return widget_ && widget_->isWindow() ? widget_->windowOpacity() : 1.0; }

void TWidgetPeer::BringToFront() {
    if (widget_)
        widget_->raise();
}

void TWidgetPeer::ShowCursor(int cursor) {
    if (widget_)
        widget_->viewport()->setCursor(CursorToQCursor(cursor));
}

bool TWidgetPeer::PointerInside() const { return widget_ && widget_->viewport()->underMouse(); }

void TWidgetPeer::Invalidate(const TRect* rect) {
    if (!widget_)
        return;
    widget_->InvalidateClient(rect != nullptr ? ToQRect(*rect) : widget_->viewport()->rect());
}

void TWidgetPeer::Update() {
    if (!widget_)
        return;
    TWidgetInUse inUse(widget_);
    widget_->UpdateNow();
}

void TWidgetPeer::Scroll(int dx, int dy, const TRect& area) {
    if (widget_)
        widget_->ScrollClient(dx, dy, ToQRect(area));
}

void TWidgetPeer::SetFocus(TFocusReason reason) {
    if (CanTakeFocus())
        FocusWidget(*widget_, reason);
}

bool TWidgetPeer::CanTakeFocus() const { return widget_ && !widget_->WindowStyle().NeverFocus; }

TSize TWidgetPeer::ClientSize() const {
    if (!widget_)
        return {};
    // Worked out from the frame and the bars, since a hidden scroll area
    // lays out its viewport only when it is shown.
    QRect inside = widget_->contentsRect();
    int extent = widget_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget_);
    int width = inside.width(), height = inside.height();
    if (widget_->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        width -= extent;
    if (widget_->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        height -= extent;
    return {std::max(0, width), std::max(0, height)};
}

TPoint TWidgetPeer::ClientToScreen(TPoint point) const {
    if (!widget_)
        return point;
    return FromQPoint(widget_->viewport()->mapToGlobal(ToQPoint(point)));
}

TPoint TWidgetPeer::ScreenToClient(TPoint point) const {
    if (!widget_)
        return point;
    return FromQPoint(widget_->viewport()->mapFromGlobal(ToQPoint(point)));
}

void* TWidgetPeer::NativeWidget() { return widget_ ? widget_->viewport() : nullptr; }

// ---------------------------------------------------------------------------
// TPeerWidget

TPeerWidget::TPeerWidget(TWinControl& control, QWidget* parent, const TPeerWindowStyle& style)
    : QAbstractScrollArea(parent), control_(&control), style_(style) {
    if (style.TopLevel)
        setWindowFlags(style.Flags != Qt::WindowFlags{} ? style.Flags : Qt::Window);
    // Before anything makes the native window: the visual is chosen then.
    if (style.TopLevel && style.Translucent)
        setAttribute(Qt::WA_TranslucentBackground, true);
    if (style.TopLevel && style.PopupMenuType)
        markAsPopupMenu();
    if (style.ShowWithoutActivating) {
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        // Never active, such a window (a menu, a floating toolbar) would
        // otherwise never show its hints.
        setAttribute(Qt::WA_AlwaysShowToolTips, true);
    }
    if (style.InputTransparent) {
        setAttribute(Qt::WA_TransparentForMouseEvents, true);
        viewport()->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    }
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // The control paints itself left to right whatever its parent's
    // layout direction: its scroll bars stay where its painting expects
    // them.
    setLayoutDirection(Qt::LeftToRight);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, true);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(FocusPolicyNow());
    setWindowTitle(ProgramTextToQString(control.Caption()));
    SyncFrame();
    SyncRegion();
    SyncScrollBar(SB_VERT);
    SyncScrollBar(SB_HORZ);
    setGeometry(ToQRect(control.BoundsRect()));
    setEnabled(control.Enabled());
    viewport()->setCursor(CursorToQCursor(control.Cursor()));
    verticalScrollBar()->installEventFilter(this);
    horizontalScrollBar()->installEventFilter(this);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { scrollAction(SB_VERT, action); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { scrollAction(SB_HORZ, action); });
    auto released = [this](int bar) {
        unsigned msg = scrollMessageOf(bar);
        deliver(msg, MAKEWPARAM(SB_THUMBPOSITION, static_cast<unsigned>(scrollBarOf(bar)->sliderPosition()) & 0xFFFF));
        deliver(msg, MAKEWPARAM(SB_ENDSCROLL, 0));
        if (control_ != nullptr)
            SyncScrollBar(bar);
    };
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this, [=] { released(SB_VERT); });
    connect(horizontalScrollBar(), &QScrollBar::sliderReleased, this, [=] { released(SB_HORZ); });
    caretTimer_.setSingleShot(false);
    connect(&caretTimer_, &QTimer::timeout, this, [this] { blink(); });
    if (control.Visible() && (parent != nullptr || style.TopLevel || control.Parent() == nullptr))
        setVisible(true);
    else if (!control.Visible())
        setVisible(false); // hidden for good: showing the parent later shows it not
}

void TPeerWidget::markAsPopupMenu() {
    // The X11 window type comes from a property of the window that the
    // platform reads when it makes the native window, so the window is
    // made now (still hidden) with the property set.  The popup-menu type
    // goes first in the list; the window flags' own type follows it.
    setAttribute(Qt::WA_NativeWindow, true);
    constexpr int kPopupMenuWindowType = 0x000200;
    if (QWindow* window = windowHandle())
        window->setProperty("_q_xcb_wm_window_type", kPopupMenuWindowType);
}

Qt::FocusPolicy TPeerWidget::FocusPolicyNow() const {
    return control_->InTabOrder() && !style_.NeverFocus ? Qt::TabFocus : Qt::NoFocus;
}

void TPeerWidget::SyncRegion() {
    const std::vector<TRect>& rects = control_->WindowRegion();
    if (rects.empty()) {
        clearMask();
        return;
    }
    QRegion region;
    for (const TRect& rect : rects)
        region += ToQRect(rect);
    setMask(region);
}

TPeerWidget::~TPeerWidget() {
    if (control_ != nullptr && GetCaptureControl() != nullptr && GetCaptureControl()->Window() == control_)
        viewport()->releaseMouse();
    // QWidget's own destructor, still to come, closes this window and the
    // windows over it; whatever that sets off must find the control
    // without a widget, not this one half destroyed.
    if (control_ != nullptr)
        if (auto* peer = dynamic_cast<TWidgetPeer*>(control_->Peer()))
            peer->WidgetGone(this);
}

void TPeerWidget::Detach() {
    if (control_ == nullptr)
        return;
    control_ = nullptr;
    caretTimer_.stop();
    if (QWidget::mouseGrabber() == viewport())
        viewport()->releaseMouse();
}

bool TPeerWidget::eatenWhileDetached(const QEvent* event) {
    switch (event->type()) {
    case QEvent::Paint:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::ToolTip:
    case QEvent::ContextMenu:
    case QEvent::Close:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::WindowStateChange:
    case QEvent::WinIdChange:
        return true;
    default:
        return false;
    }
}

LRESULT TPeerWidget::deliver(unsigned msg, WPARAM wParam, LPARAM lParam) {
    if (control_ == nullptr)
        return 0;
    return DeliverFromWidget(this, *control_, msg, wParam, lParam);
}

QScrollBar* TPeerWidget::scrollBarOf(int bar) const {
    return bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
}

void TPeerWidget::keyboardContextMenu() {
    deliver(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control_), MAKELPARAM(0xFFFF, 0xFFFF));
}

bool TPeerWidget::caretActive() const {
    return control_ != nullptr && control_->Caret().Shown() && control_->Focused();
}

void TPeerWidget::SyncFrame() {
    const TCreateParams& params = control_->WindowParams();
    const int width = CustomDrawnFrameWidth(params);
    if (width == 0)
        setFrameStyle(QFrame::NoFrame);
    else if (params.ExStyle & WS_EX_CLIENTEDGE)
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    else
        setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(width);
}

void TPeerWidget::SyncScrollBar(int bar) {
    QScrollBar* scrollBar = scrollBarOf(bar);
    bool visible = control_->ScrollBarVisible(bar);
    Qt::ScrollBarPolicy policy = visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    syncing_ = true;
    if (bar == SB_VERT && verticalScrollBarPolicy() != policy)
        setVerticalScrollBarPolicy(policy);
    if (bar == SB_HORZ && horizontalScrollBarPolicy() != policy)
        setHorizontalScrollBarPolicy(policy);
    TScrollInfo info = control_->GetScrollInfo(bar);
    scrollBar->setRange(info.Min, info.HighestPos());
    scrollBar->setPageStep(std::max(1, static_cast<int>(info.Page)));
    scrollBar->setSingleStep(1);
    if (!scrollBar->isSliderDown())
        scrollBar->setValue(info.Pos);
    scrollBar->setEnabled(info.NeedsScrolling());
    syncing_ = false;
}

void TPeerWidget::scrollAction(int bar, int action) {
    if (syncing_ || control_ == nullptr)
        return;
    QScrollBar* scrollBar = scrollBarOf(bar);
    int request;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: request = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: request = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: request = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: request = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: request = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: request = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: request = SB_THUMBTRACK; break;
    default: return;
    }
    int position = scrollBar->sliderPosition();
    control_->SetScrollTrackPos(bar, position);
    deliver(scrollMessageOf(bar),
            MAKEWPARAM(static_cast<unsigned>(request), static_cast<unsigned>(position) & 0xFFFF));
    // The control decides where the bar stands (unless a handler freed it).
    if (request != SB_THUMBTRACK && control_ != nullptr)
        scrollBar->setSliderPosition(control_->GetScrollPos(bar));
}

void TPeerWidget::InvalidateClient(const QRect& rect) {
    QRect area = rect & viewport()->rect();
    if (area.isEmpty())
        return;
    pending_ += area;
    viewport()->update(area);
}

void TPeerWidget::UpdateNow() {
    if (pending_.isEmpty() || !isVisible())
        return;
    QRegion region = pending_;
    viewport()->repaint(region);
}

void TPeerWidget::ScrollClient(int dx, int dy, const QRect& area) {
    QRect caret = caretDrawnAt_;
    viewport()->scroll(dx, dy, area);
    // The caret's pixels moved with the rest: paint both places anew.
    if (!caret.isEmpty()) {
        viewport()->update(caret);
        viewport()->update(caret.translated(dx, dy));
    }
}

QRect TPeerWidget::CaretRect() const {
    if (control_ == nullptr)
        return {};
    const TCaretState& caret = control_->Caret();
    return QRect(caret.Pos.X, caret.Pos.Y, caret.Width, caret.Height);
}

void TPeerWidget::CaretChanged() {
    if (!caretDrawnAt_.isEmpty())
        viewport()->update(caretDrawnAt_);
    bool active = caretActive();
    caretPhase_ = active;
    if (active) {
        viewport()->update(CaretRect());
        int blinkTime = CaretBlinkTime();
        if (blinkTime > 0)
            caretTimer_.start(blinkTime);
    } else {
        caretTimer_.stop();
    }
}

void TPeerWidget::blink() {
    if (!caretActive()) {
        caretTimer_.stop();
        caretPhase_ = false;
    } else {
        caretPhase_ = !caretPhase_;
    }
    viewport()->update(CaretRect());
    if (!caretDrawnAt_.isEmpty())
        viewport()->update(caretDrawnAt_);
}

void TPeerWidget::paintClient(QPaintEvent* event) {
    TRect rect = FromQRect(event->rect());
    pending_ -= event->region();
    control_->WindowCanvas().QtSide().SetDevice(viewport());
    control_->PeerPaintBegin(rect);
    deliver(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&control_->WindowCanvas()));
    deliver(WM_PAINT);
    // A handler that freed the control ended the painting with its canvas.
    if (control_ == nullptr)
        return;
    control_->PeerPaintEnd();
    caretDrawnAt_ = QRect();
    if (caretPhase_ && caretActive()) {
        QRect caret = CaretRect();
        if (event->region().intersects(caret)) {
            // The caret inverts what is under it, so it shows on any colour.
            QPainter painter(viewport());
            painter.setCompositionMode(QPainter::RasterOp_NotDestination);
            painter.fillRect(caret, Qt::white);
            caretDrawnAt_ = caret;
        }
    }
}

void TPeerWidget::mouseButton(QMouseEvent* event, bool down, bool doubleClick) {
    unsigned keys = MouseKeysOf(*event);
    unsigned msg = MouseButtonMessage(event->button(), down, doubleClick);
    if (msg == 0)
        return;
    if (doubleClick && !(control_->ControlStyle & csDoubleClicks))
        msg -= 1; // a second press instead
    QPoint position = event->position().toPoint();
    deliver(msg, keys, PointToLParam(FromQPoint(position)));
    if (msg == WM_RBUTTONUP && control_ != nullptr) {
        QPoint global = event->globalPosition().toPoint();
        deliver(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control_), PointToLParam(FromQPoint(global)));
    }
}

void TPeerWidget::showHint(QHelpEvent* event) {
    // The control may name another text and a smaller rectangle (the item
    // under the pointer), or refuse.
    THintInfo info;
    info.CursorPos = FromQPoint(event->pos());
    info.CursorRect = control_->ClientRect();
    info.HintStr = GetShortHint(control_->Hint());
    bool refused = !control_->ShowHint() || deliver(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
    if (refused || control_ == nullptr || info.HintStr.empty() || !info.CursorRect.Contains(info.CursorPos))
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), ProgramTextToQString(info.HintStr), viewport(), ToQRect(info.CursorRect));
}

void TPeerWidget::wheel(QWheelEvent* event) {
    unsigned keys = MouseKeysOf(*event);
    QPoint delta = event->angleDelta();
    LPARAM where = PointToLParam(FromQPoint(event->globalPosition().toPoint()));
    if (delta.y() != 0)
        deliver(WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<unsigned>(delta.y()) & 0xFFFF), where);
    if (delta.x() != 0)
        deliver(WM_MOUSEHWHEEL, MAKEWPARAM(keys, static_cast<unsigned>(-delta.x()) & 0xFFFF), where);
    event->accept();
}

bool TPeerWidget::eventFilter(QObject* watched, QEvent* event) {
    // A scroll bar would take the wheel itself, scroll by pixels and pass
    // that on as a thumb drag: the control scrolls by its own rule
    // wherever the pointer is on it, the bars included.
    if (event->type() == QEvent::Wheel && (watched == verticalScrollBar() || watched == horizontalScrollBar())) {
        wheel(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

bool TPeerWidget::viewportEvent(QEvent* event) {
    if (control_ == nullptr)
        return eatenWhileDetached(event) || QAbstractScrollArea::viewportEvent(event);
    switch (event->type()) {
    case QEvent::Paint:
        paintClient(static_cast<QPaintEvent*>(event));
        return true;
    case QEvent::MouseButtonPress:
        mouseButton(static_cast<QMouseEvent*>(event), true, false);
        return true;
    case QEvent::MouseButtonDblClick:
        mouseButton(static_cast<QMouseEvent*>(event), true, true);
        return true;
    case QEvent::MouseButtonRelease:
        mouseButton(static_cast<QMouseEvent*>(event), false, false);
        return true;
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        deliver(WM_MOUSEMOVE, MouseKeysOf(*mouse), PointToLParam(FromQPoint(mouse->position().toPoint())));
        deliver(WM_SETCURSOR, reinterpret_cast<WPARAM>(control_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return true;
    }
    case QEvent::Wheel:
        wheel(static_cast<QWheelEvent*>(event));
        return true;
    case QEvent::Enter:
        deliver(CM_MOUSEENTER);
        return true;
    case QEvent::Leave:
        deliver(CM_MOUSELEAVE);
        return true;
    case QEvent::Resize:
        deliver(WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(static_cast<unsigned>(viewport()->width()), static_cast<unsigned>(viewport()->height())));
        return true;
    case QEvent::ToolTip:
        showHint(static_cast<QHelpEvent*>(event));
        return true;
    case QEvent::ContextMenu:
        // Mouse-made menus come from the button release; this one is the
        // keyboard's.
        if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard)
            keyboardContextMenu();
        return true;
    default:
        return QAbstractScrollArea::viewportEvent(event);
    }
}

void TPeerWidget::reattachOwnedWindows() {
    QWindow* handle = windowHandle();
    if (handle == nullptr)
        return;
    for (QWidget* owned : QApplication::topLevelWidgets()) {
        QWindow* window = owned->windowHandle();
        if (owned == this || owned->parentWidget() == nullptr || owned->parentWidget()->window() != this ||
            window == nullptr || window->transientParent() == handle)
            continue;
        window->setTransientParent(handle);
        if (!owned->isVisible())
            continue;
        // The window system reads the owner when a window shows.  On X it
        // is told the new one while the window stays, and the window is put
        // back above the new one: hiding a window that waits for an answer
        // (a modal dialog) would end it unanswered.
        if (SetX11WindowOwner(owned, this) || owned->isModal() || owned->windowModality() != Qt::NonModal) {
            owned->raise();
            continue;
        }
        const QRect bounds = owned->geometry();
        owned->hide();
        owned->setGeometry(bounds);
        owned->show();
    }
}

bool TPeerWidget::event(QEvent* event) {
    if (control_ == nullptr) {
        if (!eatenWhileDetached(event))
            return QAbstractScrollArea::event(event);
        event->accept();
        return true;
    }
    switch (event->type()) {
    case QEvent::Resize: {
        // The scroll area keeps its own resizes from resizeEvent (which
        // hears the viewport's): a window the user sizes reports here,
        // once the viewport (the client area) has its new size.
        bool handled = QAbstractScrollArea::event(event);
        if (control_ == nullptr)
            return handled;
        // In a frame (an MDI child's subwindow) the bounds are the frame's,
        // told when it moved; the frame lays this window out after that, so
        // the children are placed again in the client area it now has.
        if (frame_ == nullptr)
            NoteBounds();
        else
            control_->Realign();
        return handled;
    }
    case QEvent::Close:
        // The control decides (a form runs its close protocol); a control
        // that does not answer lets the window close.
        if (deliver(WM_CLOSE) != 0) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::WinIdChange:
        // The window system made the window anew (a web view inside asked
        // for another kind of surface): once it shows again, the windows
        // it owns are put back above it.
        if (isWindow())
            QMetaObject::invokeMethod(this, [this] { reattachOwnedWindows(); }, Qt::QueuedConnection);
        break;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (isWindow())
            deliver(WM_ACTIVATE, event->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE);
        break;
    case QEvent::WindowStateChange: {
        // Only minimising, maximising and restoring are the form's business.
        const Qt::WindowStates sized = Qt::WindowMinimized | Qt::WindowMaximized;
        Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        if (isWindow() && !ApplyingState && ((before ^ windowState()) & sized) != 0) {
            Qt::WindowStates state = windowState();
            deliver(WM_SYSCOMMAND, state & Qt::WindowMinimized   ? SC_MINIMIZE
                                   : state & Qt::WindowMaximized ? SC_MAXIMIZE
                                                                 : SC_RESTORE);
        }
        break;
    }
    default:
        break;
    }
    if (control_ == nullptr) {
        // A handler freed the control: Qt has nothing left to do with the
        // event but let it go.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            // A control that wants Tab gets it; otherwise it moves the focus.
            LRESULT code = deliver(WM_GETDLGCODE, VK_TAB, 0);
            if (control_ == nullptr)
                return true;
            if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) {
                keyPressEvent(key);
                return true;
            }
        }
    }
    return QAbstractScrollArea::event(event);
}

void TPeerWidget::keyPressEvent(QKeyEvent* event) {
    if (control_ == nullptr)
        return;
    TKeyMessage message = KeyMessageOf(*event);
    SetModifierKeys(message.Shift);
    // Return and Escape that the control does not want are the form's
    // dialog keys (its default and cancel buttons); a control that takes
    // characters keeps Return.
    if ((message.Key == VK_RETURN || message.Key == VK_ESCAPE) && (message.Shift & (ssCtrl | ssAlt)) == 0) {
        LRESULT code = deliver(WM_GETDLGCODE, message.Key, 0);
        if (control_ == nullptr)
            return;
        bool wanted = (code & DLGC_WANTALLKEYS) || (message.Key == VK_RETURN && (code & DLGC_WANTCHARS));
        bool taken = false;
        // A handler that raised has had the key: it goes no further.
        if (!wanted && !RunGuarded([&] { taken = SendDialogKey(*control_, message.Key); }))
            taken = true;
        if (taken || control_ == nullptr) {
            event->accept();
            return;
        }
    }
    if (message.Known) {
        SetKeyDown(message.Key, true);
        deliver(message.Msg, message.Key, static_cast<LPARAM>(message.Data));
    }
    // A handler that freed the control ends the key's messages (deliver
    // sends nothing then).
    const std::u32string characters = KeyPressText(message.Key, message.Shift, keyText_.Join(event->text()));
    bool systemChar = (message.Shift & ssAlt) && !(message.Shift & ssCtrl);
    // A character beyond ASCII reaches a control that takes code points
    // (a UTF-8 document) whole; any other gets its byte of the code page.
    bool unicode = false;
    if (!systemChar && std::any_of(characters.begin(), characters.end(), [](char32_t c) { return c >= 0x80; }))
        unicode = deliver(WM_UNICHAR, UNICODE_NOCHAR, 0) != 0;
    for (char32_t c : characters) {
        if (systemChar) {
            deliver(WM_SYSCHAR, c, 1);
            continue;
        }
        if (unicode && c >= 0x80) {
            deliver(WM_UNICHAR, c, 0);
            continue;
        }
        const int byte = c < 0x80 ? static_cast<int>(c) : UnicodeToAnsiChar(c);
        if (byte >= 0)
            deliver(WM_CHAR, static_cast<unsigned char>(byte), 1);
    }
    event->accept();
}

void TPeerWidget::keyReleaseEvent(QKeyEvent* event) {
    if (control_ == nullptr)
        return;
    TKeyMessage message = KeyMessageOf(*event);
    SetModifierKeys(message.Shift);
    if (!message.Known)
        return;
    SetKeyDown(message.Key, false);
    deliver(message.Msg, message.Key, static_cast<LPARAM>(message.Data));
    event->accept();
}

void TPeerWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (control_ == nullptr)
        return;
    if (GetFocusControl() != control_) {
        TWinControl* previous = GetFocusControl();
        if (previous != nullptr && previous->Peer() == nullptr)
            previous->Perform(WM_KILLFOCUS, reinterpret_cast<WPARAM>(control_));
        deliver(WM_SETFOCUS, reinterpret_cast<WPARAM>(GetFocusControl()));
    }
    CaretChanged();
}

void TPeerWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (control_ == nullptr)
        return;
    if (GetFocusControl() == control_ && !(control_->ControlState & csDestroyingHandle))
        deliver(WM_KILLFOCUS, 0);
    CaretChanged();
}

void TPeerWidget::NoteBounds() {
    if (control_ == nullptr)
        return;
    QRect g = FrameWidget()->geometry();
    control_->PeerBoundsChanged(FromQRect(g));
}

void TPeerWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (frame_ == nullptr)
        NoteBounds();
}

void TPeerWidget::moveEvent(QMoveEvent* event) {
    QAbstractScrollArea::moveEvent(event);
    if (frame_ == nullptr)
        NoteBounds();
}

bool TPeerWidget::focusNextPrevChild(bool next) {
    // The walk belongs to the window: a form's own, or an MDI child's in
    // its frame; a window inside passes the key up to it.
    const bool walksTab = isWindow() || (parentWidget() != nullptr && parentWidget()->windowType() == Qt::SubWindow);
    if (control_ != nullptr && walksTab && FocusNextInTabWalk(*control_, next))
        return true;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void TPeerWidget::contextMenuEvent(QContextMenuEvent* event) {
    if (control_ != nullptr && event->reason() == QContextMenuEvent::Keyboard)
        keyboardContextMenu();
    event->accept();
}

// ---------------------------------------------------------------------------

namespace {

// Shows a plain popup menu as a Qt menu and answers with the item chosen.
TMenuItem* showPopupMenu(TPopupMenu& menu, TPoint screen) {
    QMenu qmenu;
    std::vector<std::pair<QAction*, TMenuItem*>> actions;
    for (int i = 0; i < menu.Count(); ++i) {
        TMenuItem* item = menu.Items(i);
        if (!item->Visible)
            continue;
        if (item->IsSeparator()) {
            qmenu.addSeparator();
            continue;
        }
        QAction* action = qmenu.addAction(ProgramTextToQString(item->Caption));
        action->setEnabled(item->Enabled);
        if (item->Checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        actions.emplace_back(action, item);
    }
    QAction* chosen = qmenu.exec(ToQPoint(screen));
    for (auto& [action, item] : actions)
        if (action == chosen)
            return item;
    return nullptr;
}

} // namespace

void InstallWidgetPeers() {
    InstallWindowKinds();
    InstallLoopInputFilter();
    SetPopupMenuPresenter(showPopupMenu);
    InstallShellMenuTracker();
    InstallShellDragDrop();
    SetUserInteraction(&QtUserInteraction());
    RegisterProgramCursors();
    InstallApplicationNotices();
    InstallApplicationKeyFilter();
    InstallFocusReturn();
    InstallOnTopStacking();
    // No window shows the toolkit's own logo for want of the program's icon.
    Application().ShowIcon();
}
