#include "platform/widgets/NativePeer.h"

#include "platform/base/TextCodec.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/QtBridge.h"
#include "platform/ui/Application.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/Keys.h"
#include "platform/ui/UserInteraction.h"
#include "platform/widgets/NativeConversions.h"
#include "platform/widgets/QtInput.h"
#include "platform/widgets/TabWalk.h"
#include "platform/widgets/WidgetDisposal.h"
#include "platform/widgets/WidgetPeer.h"
#include "platform/ui/QtBridge.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QStyle>
#include <QToolTip>

namespace {

// Whether a control has a visible windowless child (painted by the
// control's window, not a window of its own).
bool hasWindowlessChild(const TWinControl& control) {
    for (int i = 0; i < control.ControlCount(); ++i)
        if (TControl* child = control.Controls(i); child->Visible() && dynamic_cast<TWinControl*>(child) == nullptr)
            return true;
    return false;
}

} // namespace

// Turns the input of a standard control's widget (and of its watched
// parts) into messages for the control.
class TNativeInputFilter : public QObject {
public:
    explicit TNativeInputFilter(TNativePeer& peer) : peer_(&peer) {}

    bool eventFilter(QObject* watched, QEvent* event) override;
    // The peer is gone: events still under way are eaten.
    void Detach() { peer_ = nullptr; }

private:
    bool dispatch(QObject* watched, QEvent* event);
    TWinControl& control() const { return peer_->Control(); }
    LRESULT deliver(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0) {
        TMessage message{msg, wParam, lParam, 0};
        deliver(message);
        return message.Result;
    }
    void deliver(TMessage& message) {
        if (peer_ != nullptr)
            peer_->deliver(message);
    }
    bool gone() const { return peer_ == nullptr; }
    // A point of a part in the control's client coordinates.
    TPoint clientPoint(QObject* watched, QPointF local) const;
    bool mouseButton(QObject* watched, QMouseEvent* event, bool down, bool doubleClick);
    bool key(QObject* watched, QKeyEvent* event);
    bool focusIn();
    bool focusOut();
    bool contextMenu(QContextMenuEvent* event);
    bool toolTip(QHelpEvent* event);
    bool paint(QObject* watched, QPaintEvent* event);

    TNativePeer* peer_;
    // A key event sent again with changed characters passes unfiltered.
    bool resending_ = false;
    TKeyTextJoiner keyText_;
};

TPoint TNativeInputFilter::clientPoint(QObject* watched, QPointF local) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    QWidget* client = peer_->clientWidget();
    if (widget == nullptr || client == nullptr)
        return FromQPoint(local.toPoint());
    return FromQPoint(client->mapFromGlobal(widget->mapToGlobal(local.toPoint())));
}

bool TNativeInputFilter::mouseButton(QObject* watched, QMouseEvent* event, bool down, bool doubleClick) {
    unsigned msg = MouseButtonMessage(event->button(), down, doubleClick);
    if (msg == 0)
        return false;
    if (doubleClick && !(control().ControlStyle & csDoubleClicks))
        msg -= 1;
    deliver(msg, MouseKeysOf(*event), PointToLParam(clientPoint(watched, event->position())));
    return false;
}

bool TNativeInputFilter::key(QObject* watched, QKeyEvent* event) {
    TKeyMessage message = KeyMessageOf(*event);
    SetModifierKeys(message.Shift);
    if (event->type() == QEvent::KeyRelease) {
        if (!message.Known)
            return false;
        SetKeyDown(message.Key, false);
        return deliver(message.Msg, message.Key, static_cast<LPARAM>(message.Data)) == 0;
    }
    if (message.Known) {
        SetKeyDown(message.Key, true);
        TMessage down{message.Msg, message.Key, static_cast<LPARAM>(message.Data), 0};
        deliver(down);
        if (gone() || down.Result == 0)
            return true; // a handler took the key (or freed the control)
        bool dialogKey = message.Key == VK_RETURN || message.Key == VK_ESCAPE;
        if (dialogKey && !(control().Perform(WM_GETDLGCODE, message.Key) & DLGC_WANTALLKEYS)) {
            bool taken = false;
            // A handler that raised has had the key: it goes no further.
            if (!RunGuarded([&] { taken = SendDialogKey(control(), message.Key); }))
                taken = true;
            if (taken || gone())
                return true;
        }
    }
    const QString text = keyText_.Join(event->text());
    // Half a character held back, or joined to its other half: the widget
    // gets whole characters only.
    const bool joined = text != event->text();
    const std::u32string characters = KeyPressText(message.Key, message.Shift, text);
    if (characters.empty())
        return joined;
    bool systemChar = (message.Shift & ssAlt) && !(message.Shift & ssCtrl);
    // Each character reaches the key handlers as one byte (typed with Alt,
    // as a whole character); one they leave as it was goes in as typed, one
    // they change goes in as the code page's character of the new byte.
    QString typed;
    bool changed = false;
    for (char32_t character : characters) {
        if (systemChar) {
            // Typed with Alt: whole, for the access keys; one a handler
            // took goes no further.
            TMessage sysChar{WM_SYSCHAR, character, 1, 0};
            deliver(sysChar);
            if (gone())
                return true;
            if (sysChar.Result == 0)
                changed = true;
            else
                typed.append(QString::fromUcs4(&character, 1));
            continue;
        }
        const char key = KeyCharOf(character);
        TMessage charMessage{WM_CHAR, static_cast<unsigned char>(key), 1, 0};
        {
            TCharacterBeingTyped typing(character);
            deliver(charMessage);
        }
        if (gone())
            return true;
        const auto now = static_cast<char>(charMessage.WParam & 0xFF);
        if (charMessage.Result == 0) {
            changed = true;
        } else if (now != key) {
            changed = true;
            typed.append(QChar(AnsiCharToUnicode(static_cast<unsigned char>(now))));
        } else {
            typed.append(QString::fromUcs4(&character, 1));
        }
    }
    if (!changed && !joined)
        return false;
    // The handlers took or changed characters: the widget gets what is left.
    if (!typed.isEmpty()) {
        QKeyEvent replaced(QEvent::KeyPress, 0, event->modifiers(), typed);
        resending_ = true;
        QCoreApplication::sendEvent(watched, &replaced);
        resending_ = false;
    }
    return true;
}

bool TNativeInputFilter::focusIn() {
    if (GetFocusControl() != &control()) {
        TWinControl* previous = GetFocusControl();
        if (previous != nullptr && previous->Peer() == nullptr)
            previous->Perform(WM_KILLFOCUS, reinterpret_cast<WPARAM>(&control()));
        deliver(WM_SETFOCUS, reinterpret_cast<WPARAM>(previous));
    }
    return false;
}

bool TNativeInputFilter::focusOut() {
    // Focus moving between the parts of one window stays with the control.
    QWidget* now = QApplication::focusWidget();
    QWidget* widget = peer_->Widget();
    if (now != nullptr && widget != nullptr && (now == widget || widget->isAncestorOf(now)))
        return false;
    if (GetFocusControl() == &control() && !(control().ControlState & csDestroyingHandle))
        deliver(WM_KILLFOCUS, 0);
    return false;
}

bool TNativeInputFilter::contextMenu(QContextMenuEvent* event) {
    LPARAM where = event->reason() == QContextMenuEvent::Keyboard
                       ? MAKELPARAM(0xFFFF, 0xFFFF)
                       : PointToLParam(FromQPoint(event->globalPos()));
    // Taken by a popup menu of the control (or a parent): the widget's own
    // menu does not show as well.
    return deliver(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(&control()), where) != 0;
}

bool TNativeInputFilter::toolTip(QHelpEvent* event) {
    // The short part of a hint, before a "|", is the tool tip.
    std::string hint = GetShortHint(control().Hint());
    if (control().ShowHint() && !hint.empty())
        QToolTip::showText(event->globalPos(), ProgramTextToQString(hint), peer_->Widget());
    else
        QToolTip::hideText();
    return true;
}

bool TNativeInputFilter::paint(QObject* watched, QPaintEvent* event) {
    // Only windows that hold controls: another kind's client (a list's
    // viewport) paints through filters of its own that this would skip.
    if (watched != peer_->clientWidget() || !(control().ControlStyle & csAcceptsControls) ||
        !hasWindowlessChild(control()))
        return false;
    // The widget paints its own face first (a group box its frame and
    // title); the windowless children (labels, bevels, images) go over it,
    // as a custom-drawn window paints them over its face.
    static_cast<QObject*>(watched)->event(event);
    if (!gone())
        peer_->paintWindowlessChildren(event->rect());
    return true;
}

bool TNativeInputFilter::eventFilter(QObject* watched, QEvent* event) {
    if (gone())
        return event->type() != QEvent::DeferredDelete && event->spontaneous();
    if (resending_ || control().IsDestroying())
        return false;
    bool eaten = dispatch(watched, event);
    // A handler freed the control: Qt has nothing left to give the event.
    return eaten || gone();
}

bool TNativeInputFilter::dispatch(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return mouseButton(watched, static_cast<QMouseEvent*>(event), true, false);
    case QEvent::MouseButtonDblClick:
        return mouseButton(watched, static_cast<QMouseEvent*>(event), true, true);
    case QEvent::MouseButtonRelease:
        return mouseButton(watched, static_cast<QMouseEvent*>(event), false, false);
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        deliver(WM_MOUSEMOVE, MouseKeysOf(*mouse), PointToLParam(clientPoint(watched, mouse->position())));
        deliver(WM_SETCURSOR, reinterpret_cast<WPARAM>(&control()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return false;
    }
    case QEvent::Enter:
        if (watched == peer_->Widget())
            deliver(CM_MOUSEENTER);
        return false;
    case QEvent::Leave:
        if (watched == peer_->Widget())
            deliver(CM_MOUSELEAVE);
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return key(watched, static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn:
        return focusIn();
    case QEvent::FocusOut:
        return focusOut();
    case QEvent::ContextMenu:
        return contextMenu(static_cast<QContextMenuEvent*>(event));
    case QEvent::ToolTip:
        return toolTip(static_cast<QHelpEvent*>(event));
    case QEvent::Paint:
        return paint(watched, static_cast<QPaintEvent*>(event));
    case QEvent::Resize:
    case QEvent::Move:
        if (watched == peer_->Widget())
            peer_->noteBounds();
        return false;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// TNativePeer

QWidget* TNativePeer::ParentWidgetFor(TWinControl& control) { return ClientWidgetOf(control.Parent()); }

TNativePeer::TNativePeer(TWinControl& control, QWidget* widget) : control_(control), widget_(widget) {
    filter_ = new TNativeInputFilter(*this);
    widget->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(&control)));
    watch(widget);
}

TNativePeer::~TNativePeer() {
    alive_.reset();
    syncing_ = true;
    for (const QMetaObject::Connection& connection : connections_)
        QObject::disconnect(connection);
    filter_->Detach();
    if (InDelivery(widget_)) {
        // Qt is still inside one of the widget's events or signals: it goes
        // once that is over, out of sight meanwhile.  It no longer leads to
        // the freed control (the rest of a key press still reaches it), and
        // an item view no longer reads the control's items (hiding it lays
        // them out again).
        for (QObject* part : widget_->findChildren<QObject*>())
            part->setProperty(kControlProperty, QVariant());
        widget_->setProperty(kControlProperty, QVariant());
        if (auto* view = qobject_cast<QAbstractItemView*>(widget_.data()))
            view->setModel(nullptr);
        DisposeWidget(widget_);
        filter_->deleteLater();
        return;
    }
    // The widget goes with its children (the children's windows went
    // first, with their controls).
    delete widget_.data();
    delete filter_;
}

void TNativePeer::deliver(TMessage& message) { DeliverFromWidget(widget_, control_, message); }

void TNativePeer::paintWindowlessChildren(const QRect& area) {
    QWidget* client = clientWidget();
    if (client == nullptr)
        return;
    control_.WindowCanvas().QtSide().SetDevice(client);
    control_.PeerPaintBegin(FromQRect(area));
    TMessage message{WM_PAINT, 0, 0, 0};
    deliver(message);
    control_.PeerPaintEnd();
}

void TNativePeer::watch(QObject* part) {
    part->installEventFilter(filter_);
    // A control that holds others (a group box, a tab control's area)
    // follows the pointer, so that the windowless controls inside see it
    // come and go, and a click on it is its alone, once: what its widget
    // leaves unused goes neither to another part nor to the window
    // behind, which would take the mouse from a windowless child pressed.
    if (auto* widget = qobject_cast<QWidget*>(part); widget != nullptr && (control_.ControlStyle & csAcceptsControls)) {
        widget->setMouseTracking(true);
        widget->setAttribute(Qt::WA_NoMousePropagation, true);
    }
    part->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(&control_)));
}

void TNativePeer::start() {
    TSync sync(*this);
    widget_->setGeometry(ToQRect(control_.BoundsRect()));
    widget_->setEnabled(control_.Enabled());
    TabStopChanged();
    LayoutDirectionChanged();
    applyAppearance();
    textChanged();
    // A hidden control is hidden for good: showing its parent later, when
    // it was made under a hidden one, shows it not.
    widget_->setVisible(control_.Visible());
}

LRESULT TNativePeer::notify(unsigned msg, WPARAM wParam, LPARAM lParam) {
    if (syncing_ || control_.IsDestroying() || (control_.ControlState & csDestroyingHandle))
        return 0;
    TMessage message{msg, wParam, lParam, 0};
    deliver(message);
    return message.Result;
}

LRESULT TNativePeer::ask(unsigned msg, WPARAM wParam, LPARAM lParam) {
    if (control_.IsDestroying() || (control_.ControlState & csDestroyingHandle))
        return 0;
    TMessage message{msg, wParam, lParam, 0};
    deliver(message);
    return message.Result;
}

void TNativePeer::noteBounds() {
    if (widget_ && !syncing_)
        control_.PeerBoundsChanged(FromQRect(widget_->geometry()));
}

void TNativePeer::BoundsChanged() {
    if (!widget_)
        return;
    TSync sync(*this);
    widget_->setGeometry(ToQRect(control_.BoundsRect()));
}

void TNativePeer::VisibleChanged() {
    if (!widget_)
        return;
    TWidgetInUse inUse(widget_);
    widget_->setVisible(control_.Visible());
}

void TNativePeer::EnabledChanged() {
    if (widget_)
        widget_->setEnabled(control_.Enabled());
}

void TNativePeer::TextChanged() {
    if (!widget_)
        return;
    TSync sync(*this);
    textChanged();
}

void TNativePeer::TabStopChanged() {
    if (widget_)
        widget_->setFocusPolicy(control_.InTabOrder() ? Qt::StrongFocus : Qt::ClickFocus);
}

void TNativePeer::LayoutDirectionChanged() {
    // A right-to-left mode mirrors the widget (the toolkit's layout
    // direction); the others keep its left-to-right layout.
    if (widget_)
        widget_->setLayoutDirection(control_.BiDiMode() == bdRightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
}

void TNativePeer::BringToFront() {
    if (widget_)
        widget_->raise();
}

void TNativePeer::ShowCursor(int cursor) {
    if (!widget_)
        return;
    if (cursor == crDefault)
        clientWidget()->unsetCursor();
    else
        clientWidget()->setCursor(QCursorOf(cursor));
}

bool TNativePeer::PointerInside() const { return widget_ && widget_->underMouse(); }

void TNativePeer::Invalidate(const TRect* rect) {
    if (!widget_)
        return;
    if (rect != nullptr) {
        clientWidget()->update(ToQRect(*rect));
        return;
    }
    // The whole window: a scroll area (an item view, a memo) paints only
    // its frame and bars itself; its contents are its viewport's.
    widget_->update();
    if (clientWidget() != widget_)
        clientWidget()->update();
    auto* area = qobject_cast<QAbstractScrollArea*>(widget_.data());
    if (area != nullptr && area->viewport() != clientWidget())
        area->viewport()->update();
}

void TNativePeer::Update() {
    if (!widget_ || !widget_->isVisible())
        return;
    TWidgetInUse inUse(widget_);
    widget_->repaint();
}

void TNativePeer::SetFocus(TFocusReason reason) {
    if (widget_)
        FocusWidget(*widget_, reason);
}

TSize TNativePeer::ClientSize() const {
    if (!widget_)
        return {};
    QWidget* client = clientWidget();
    return {client->width(), client->height()};
}

TPoint TNativePeer::ClientToScreen(TPoint point) const {
    if (!widget_)
        return point;
    return FromQPoint(clientWidget()->mapToGlobal(ToQPoint(point)));
}

TPoint TNativePeer::ScreenToClient(TPoint point) const {
    if (!widget_)
        return point;
    return FromQPoint(clientWidget()->mapFromGlobal(ToQPoint(point)));
}

void* TNativePeer::NativeWidget() { return container_ ? container_.data() : widget_.data(); }

void TNativePeer::ControlChanged(TPeerAspect aspect, int index) {
    if (!widget_)
        return;
    TSync sync(*this);
    if (aspect == paAppearance)
        applyAppearance();
    changed(aspect, index);
}

void TNativePeer::applyAppearance() {
    widget_->setFont(QFontOf(control_.Font()));
    // A system colour is the style's own (the window's look on this
    // desktop); a colour the program chose is set in the enabled looks, the
    // disabled look staying the style's.  Setting a palette costs a
    // restyle, so only chosen colours are set.
    TColor back = control_.Color();
    TColor text = control_.Font().Color();
    bool ownBack = back >= 0, ownText = text >= 0;
    if (!ownBack && !ownText && !paletteSet_)
        return;
    QPalette palette = widget_->style()->standardPalette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        if (ownBack)
            for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button})
                palette.setColor(group, role, QColorOf(back));
        if (ownText)
            for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
                palette.setColor(group, role, QColorOf(text));
    }
    widget_->setPalette(palette);
    paletteSet_ = true;
}
