#include "platform/widgets/FocusReturn.h"

#include "platform/widgets/ApplicationFilter.h"
#include "platform/widgets/ModalWindow.h"

#include <QApplication>
#include <QAbstractSpinBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

class TFocusReturn : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress)
            appearing_ = nullptr;
        if ((type != QEvent::WindowActivate && type != QEvent::Show && type != QEvent::Hide &&
             type != QEvent::WinIdChange) ||
            !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        // A window the window system maps or unmaps (restored, minimised)
        // is its business.
        if (!widget->isWindow() || passesFocusOn(*widget) || (type != QEvent::WindowActivate && event->spontaneous()))
            return false;
        if (type == QEvent::WindowActivate) {
            holder_ = widget;
        } else if (type == QEvent::WinIdChange) {
            // A window that needs another kind of surface is made anew
            // while it shows (a web view appearing in it): the new one,
            // which the window system has not activated, takes the
            // keyboard the old one had or was about to have.
            if (widget->isVisible() && (widget == holder_ || widget == coming_ || QApplication::activeWindow() == widget))
                QMetaObject::invokeMethod(
                    widget,
                    [widget, appearing = widget == appearing_] {
                        widget->activateWindow();
                        // The text of the field it appeared with was
                        // selected, so that typing replaces it; the old
                        // window took the selection with it.
                        if (appearing)
                            if (QLineEdit* field = lineEditOf(widget->focusWidget()))
                                field->selectAll();
                    },
                    Qt::QueuedConnection);
        } else if (type == QEvent::Show) {
            // A window shown takes the keyboard; one that had it and was
            // made anew (hidden and shown again) takes it back, which the
            // window system does not do for a new window.
            if (widget == gone_)
                widget->activateWindow();
            gone_ = nullptr;
            coming_ = widget;
            appearing_ = widget;
        } else if (widget == holder_ || widget == coming_) {
            // The window that had the keyboard, or was about to have it,
            // went (Qt has already forgotten that it was active): hand it
            // to the one beneath, which may itself go before the window
            // system has told it (a dialog closing, then its owner).
            holder_ = nullptr;
            gone_ = widget;
            coming_ = windowBeneath(*widget);
            if (coming_ != nullptr)
                coming_->activateWindow();
        }
        return false;
    }

private:
    static QLineEdit* lineEditOf(QWidget* focus) {
        if (auto* line = qobject_cast<QLineEdit*>(focus))
            return line;
        return qobject_cast<QAbstractSpinBox*>(focus) != nullptr ? focus->findChild<QLineEdit*>() : nullptr;
    }

    // Menus, tool tips and the like never hold the keyboard as a window
    // does, and leave it where it is.
    static bool passesFocusOn(const QWidget& window) {
        const Qt::WindowType kind = window.windowType();
        return kind == Qt::Popup || kind == Qt::ToolTip || kind == Qt::SplashScreen ||
               window.testAttribute(Qt::WA_ShowWithoutActivating);
    }

    static bool canTakeKeyboard(const QWidget* window) {
        return window != nullptr && window->isVisible() && !window->isMinimized() && !passesFocusOn(*window);
    }

    // Whether window was shown over ancestor (or is it).
    static bool ownedBy(const QWidget* window, const QWidget* ancestor) {
        for (; window != nullptr; window = window->parentWidget())
            if (window == ancestor)
                return true;
        return false;
    }

    // The owner the window was shown over, unless a modal dialog still
    // open blocks it: then that dialog.  Without an owner, the window the
    // user works in.
    static QWidget* windowBeneath(const QWidget& gone) {
        QWidget* owner = gone.parentWidget() != nullptr ? gone.parentWidget()->window() : nullptr;
        QWidget* modal = ModalWindowNow();
        if (modal != &gone && canTakeKeyboard(modal) && !ownedBy(owner, modal))
            return modal;
        if (canTakeKeyboard(owner))
            return owner;
        QWidget* working = WorkingWindowNow(&gone);
        return canTakeKeyboard(working) ? working : nullptr;
    }

    QPointer<QWidget> holder_;
    // The window asked to take the keyboard, which the window system may
    // not have activated yet.
    QPointer<QWidget> coming_;
    // The window that had the keyboard and was hidden last.
    QPointer<QWidget> gone_;
    // The window shown last, until the user types or clicks.
    QPointer<QWidget> appearing_;
};

} // namespace

void InstallFocusReturn() {
    InstallApplicationFilter<TFocusReturn>();
}
