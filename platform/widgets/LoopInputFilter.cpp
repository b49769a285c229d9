#include "platform/widgets/LoopInputFilter.h"

#include "platform/base/Utf8.h"
#include "platform/ui/Control.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/QtBridge.h"
#include "platform/widgets/ApplicationFilter.h"
#include "platform/widgets/QtInput.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <array>

namespace {

// What identifies one input event as it travels from a widget to its
// parents (Qt offers an ignored event to each parent, through the filter
// again): the loops must see it once.
struct TEventIdentity {
    QEvent::Type Type = QEvent::None;
    quint64 Timestamp = 0;
    QPointF Global;
    int Key = 0;
    bool operator==(const TEventIdentity&) const = default;
};

bool isInputEvent(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return true;
    default:
        return false;
    }
}

// Fills input from a Qt event; false for events the loops do not see
// (unknown buttons and keys).
bool translate(QObject* receiver, QEvent* event, TLoopInput& input) {
    input.Target = ControlOfObject(receiver);
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        TKeyMessage message = KeyMessageOf(*key);
        const bool press = event->type() == QEvent::KeyPress;
        // A letter of a national keyboard has no key code: it comes as
        // key 0 with what it types (a menu's access key, say).
        const std::u32string typed = press ? KeyPressText(message.Key, message.Shift, key->text()) : std::u32string();
        if (!message.Known && typed.empty())
            return false;
        input.Msg = message.Msg;
        input.WParam = message.Known ? message.Key : 0;
        input.LParam = static_cast<LPARAM>(message.Data);
        input.Screen = FromQPoint(QCursor::pos());
        for (char32_t character : typed)
            AppendUtf8(input.Characters, character);
        return true;
    }
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        QPoint delta = wheel->angleDelta();
        unsigned keys = MouseKeysOf(*wheel, false);
        bool vertical = delta.y() != 0;
        input.Msg = vertical ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
        int amount = vertical ? delta.y() : -delta.x();
        input.WParam = MAKEWPARAM(keys, static_cast<unsigned>(amount) & 0xFFFF);
        input.Screen = FromQPoint(wheel->globalPosition().toPoint());
        break;
    }
    default: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseMove)
            input.Msg = WM_MOUSEMOVE;
        else
            input.Msg = MouseButtonMessage(mouse->button(), event->type() != QEvent::MouseButtonRelease,
                                           event->type() == QEvent::MouseButtonDblClick);
        if (input.Msg == 0)
            return false;
        input.WParam = MouseKeysOf(*mouse, false);
        input.Screen = FromQPoint(mouse->globalPosition().toPoint());
        break;
    }
    }
    TPoint client = input.Target != nullptr ? input.Target->ScreenToClient(input.Screen) : input.Screen;
    input.LParam = PointToLParam(client);
    return true;
}

TEventIdentity identityOf(QEvent* event) {
    TEventIdentity identity;
    identity.Type = event->type();
    auto* inputEvent = static_cast<QInputEvent*>(event);
    identity.Timestamp = inputEvent->timestamp();
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        identity.Key = static_cast<QKeyEvent*>(event)->key();
    else
        identity.Global = static_cast<QSinglePointEvent*>(event)->globalPosition();
    return identity;
}

// A copy of a pointer event for another widget, in that widget's
// coordinates.
QInputEvent* copyFor(QWidget* widget, QSinglePointEvent* pointer) {
    const QPointF global = pointer->globalPosition();
    const QPointF local = widget->mapFromGlobal(global);
    QInputEvent* again = nullptr;
    if (pointer->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(pointer);
        again = new QWheelEvent(local, global, wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(),
                                wheel->modifiers(), wheel->phase(), wheel->inverted(), wheel->source(),
                                wheel->pointingDevice());
    } else {
        auto* mouse = static_cast<QMouseEvent*>(pointer);
        again = new QMouseEvent(pointer->type(), local, local, global, mouse->button(), mouse->buttons(),
                                mouse->modifiers(), mouse->pointingDevice());
    }
    again->setTimestamp(pointer->timestamp());
    return again;
}

// The event a loop passes on for after it has ended, and where it goes.  A
// key goes where it went.  A pointer event goes to the widget under the
// pointer, in that widget's coordinates: Qt gave it to the widget holding
// the loop's mouse capture, which is not the one the user pointed at once
// the loop is over (a press that ends a menu's loop is meant for the
// window clicked).  Pointing at no window of the program, it goes nowhere.
QEvent* passedOn(QObject*& target, QEvent* event) {
    if (!event->isSinglePointEvent())
        return event->clone();
    auto* pointer = static_cast<QSinglePointEvent*>(event);
    QWidget* under = QApplication::widgetAt(pointer->globalPosition().toPoint());
    if (under == nullptr)
        return nullptr;
    target = under;
    return copyFor(under, pointer);
}

class TLoopInputFilter : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        // The filter sees every event of the program, some of them sent to
        // objects of the web engine whose type the sanitizers can not
        // check: the receiver is asked only while a loop runs or a press
        // handed on is being followed, and only about an input event.
        const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
        if (key && event->spontaneous())
            noteTyped(identityOf(event));
        if (!isInputEvent(event->type()) || (InnermostLoop() == nullptr && !following()))
            return false;
        if (!receiver->isWidgetType())
            return false;
        if (followPassedPress(event))
            return true;
        if (InnermostLoop() == nullptr)
            return false;
        // A dialog or menu of Qt's own runs its own modal loop: leave its
        // input alone.
        if (QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr)
            return false;
        TEventIdentity identity = identityOf(event);
        if (identity.Timestamp != 0 && identity == last_)
            return lastSwallowed_;
        // The web engine hands a key its page did not take back to the
        // view's parent later, as an event of its own with the time the
        // key was typed.  A loop begun since (the menu the next key opened,
        // while a page loads) had it before it began: the Alt of an Alt+F
        // would close the menu Alt+F opened.
        if (key && !event->spontaneous() && identity.Timestamp != 0 && wasTyped(identity))
            return true;
        last_ = identity;
        lastSwallowed_ = false;
        TLoopInput input;
        if (!translate(receiver, event, input))
            return false;
        TLoopVerdict verdict = DeliverLoopInput(input);
        if (verdict == lvPass)
            return false;
        lastSwallowed_ = true;
        if (verdict == lvPassAfterLoop) {
            // Posted: it arrives once control is back in the outer loop.
            last_ = TEventIdentity{};
            QObject* target = receiver;
            // Its copy is no key handed back.
            if (key)
                forgetTyped(identity);
            if (QEvent* again = passedOn(target, event)) {
                QCoreApplication::postEvent(target, again);
                if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
                    follow_ = {qobject_cast<QWidget*>(target), static_cast<QMouseEvent*>(event)->button()};
            }
        }
        return true;
    }

private:
    // The rest of a click whose press was passed on: Qt sends the moves
    // with the button held and the release to the widget it gave the press
    // to (the one holding the loop's capture), not to the window the press
    // was passed on to.  That window would keep the mouse captured for a
    // release that never comes, and every later click, in a dialog too,
    // would reach it instead.  They are posted after the press, so they
    // arrive after it, in order.
    struct TFollowedPress {
        QPointer<QWidget> Target;
        Qt::MouseButton Button = Qt::NoButton;
    };

    bool following() const { return follow_.Button != Qt::NoButton; }

    bool followPassedPress(QEvent* event) {
        if (follow_.Button == Qt::NoButton || !event->spontaneous())
            return false;
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) {
            if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
                follow_ = {};
            return false;
        }
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (type == QEvent::MouseMove ? !(mouse->buttons() & follow_.Button) : mouse->button() != follow_.Button)
            return false;
        QWidget* target = follow_.Target;
        if (type == QEvent::MouseButtonRelease)
            follow_ = {};
        if (target == nullptr)
            return false;
        QCoreApplication::postEvent(target, copyFor(target, mouse));
        return true;
    }

    void noteTyped(const TEventIdentity& identity) {
        if (identity.Timestamp == 0 || wasTyped(identity))
            return;
        typed_[nextTyped_] = identity;
        nextTyped_ = (nextTyped_ + 1) % typed_.size();
    }
    bool wasTyped(const TEventIdentity& identity) const {
        return std::find(typed_.begin(), typed_.end(), identity) != typed_.end();
    }
    void forgetTyped(const TEventIdentity& identity) {
        std::replace(typed_.begin(), typed_.end(), identity, TEventIdentity{});
    }

    TEventIdentity last_;
    bool lastSwallowed_ = false;
    // The keys typed last, as the window system gave them.
    std::array<TEventIdentity, 16> typed_{};
    size_t nextTyped_ = 0;
    TFollowedPress follow_;
};

TWinControl* controlAtScreen(TPoint screen) {
    return ControlOfObject(QApplication::widgetAt(ToQPoint(screen)));
}

} // namespace

void InstallLoopInputFilter() {
    if (InstallApplicationFilter<TLoopInputFilter>())
        SetControlLocator(controlAtScreen);
}
