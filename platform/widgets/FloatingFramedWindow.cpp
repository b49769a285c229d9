// The floating framed window: a top-level window with a frame of the
// control's own (platform/ui/NonClientMouse.h), without the window
// manager's, floating over its owner window (the WndParent of its
// CreateParams) as a tool window that asks to be shown without activation.
#include "platform/ui/NonClientMouse.h"
#include "platform/widgets/ModalWindow.h"
#include "platform/widgets/NonClientFramedPeer.h"
#include "platform/widgets/WindowKinds.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

// How the window stands to its owner and to the keyboard.
//
// It stays above its owner.  A window manager stacks a tool window over
// the window it belongs to; without one, the window system stacks windows
// only as the program raises them, and showing or activating the owner
// raises it over the window.  So whenever the owner is raised, the window
// is raised again once that is done (the owner may be raised twice in one
// go: shown, then activated).  While a modal dialog is open it is left
// where it is: the dialog stands over the owner, and raising the window
// would put it over the dialog (the start-up "New document" dialog, say);
// once the dialog closes the owner is activated, and so raised, again.
//
// It does not take the keyboard from its owner on a press: the window
// system is told that it takes no focus, so neither it (which would hand
// the window the activation once the press has been handled) nor a window
// manager (which does so as it sees the press) activates it.  Only when a
// control inside it is given the focus (a field clicked, or focused by the
// program) does it take the keyboard, until it is no longer active.
class TFloatingWindowKeeper : public QObject {
public:
    explicit TFloatingWindowKeeper(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
        if (QWidget* owner = window->parentWidget()) {
            owner_ = owner->window();
            owner_->installEventFilter(this);
        }
        followFocus();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == owner_ && event->type() == QEvent::ZOrderChange)
            raiseOnceOwnerIsUp();
        if (watched == window_) {
            if (event->type() == QEvent::WinIdChange || event->type() == QEvent::Show)
                followFocus();
            else if (event->type() == QEvent::WindowDeactivate)
                setTakesFocus(false);
        }
        return false;
    }

private:
    void raiseOnceOwnerIsUp() {
        if (raisePending_)
            return;
        raisePending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                raisePending_ = false;
                if (window_ && window_->isVisible() && ModalWindowNow() == nullptr)
                    window_->raise();
            },
            Qt::QueuedConnection);
    }

    // The focus inside the window is reported by its native window, which
    // exists only once the widget has been made on the screen.
    void followFocus() {
        QWindow* handle = window_ ? window_->windowHandle() : nullptr;
        if (handle == nullptr || handle == followed_)
            return;
        followed_ = handle;
        connect(handle, &QWindow::focusObjectChanged, this, [this](QObject* object) {
            auto* widget = qobject_cast<QWidget*>(object);
            auto* area = qobject_cast<QAbstractScrollArea*>(window_.data());
            const bool control = widget != nullptr && widget != window_ && (area == nullptr || widget != area->viewport());
            if (!control) {
                // The control that took the keyboard has gone or given up
                // the focus (an edit item's field, its editing ended): the
                // keyboard goes back to the owner, as it came.
                if (window_->isActiveWindow() && owner_ != nullptr && owner_->isVisible()) {
                    setTakesFocus(false);
                    owner_->activateWindow();
                }
                return;
            }
            if (window_->isActiveWindow())
                return;
            setTakesFocus(true);
            window_->activateWindow();
        });
    }

    void setTakesFocus(bool takes) {
        QWindow* handle = window_ ? window_->windowHandle() : nullptr;
        if (handle != nullptr)
            handle->setFlag(Qt::WindowDoesNotAcceptFocus, !takes);
    }

    QPointer<QWidget> window_;
    QPointer<QWidget> owner_;
    QPointer<QWindow> followed_;
    bool raisePending_ = false;
};

const TWindowKindRegistration registration(wk::FloatingFramed, [](TWinControl& control) {
    TPeerWindowStyle style;
    style.TopLevel = true;
    style.Flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    style.ShowWithoutActivating = true;
    std::unique_ptr<TWindowPeer> peer = MakeNonClientFramedPeer(control, style);
    new TFloatingWindowKeeper(static_cast<QWidget*>(peer->NativeWidget())->window());
    return peer;
});
} // namespace
