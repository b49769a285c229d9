#include "platform/widgets/FocusReturn.h"

#include "platform/widgets/ModalWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

class TFocusReturn : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if ((type != QEvent::WindowActivate && type != QEvent::Hide) || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (!widget->isWindow() || passesFocusOn(*widget))
            return false;
        if (type == QEvent::WindowActivate) {
            holder_ = widget;
        } else if (widget == holder_ && !event->spontaneous()) {
            // The window that had the keyboard went (Qt has already
            // forgotten that it was active): hand it to the one beneath.
            holder_ = nullptr;
            if (QWidget* beneath = windowBeneath(*widget))
                beneath->activateWindow();
        }
        return false;
    }

private:
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
    // open blocks it: then that dialog.
    static QWidget* windowBeneath(const QWidget& gone) {
        QWidget* owner = gone.parentWidget() != nullptr ? gone.parentWidget()->window() : nullptr;
        QWidget* modal = ModalWindowNow();
        if (modal != &gone && canTakeKeyboard(modal) && !ownedBy(owner, modal))
            return modal;
        return canTakeKeyboard(owner) ? owner : nullptr;
    }

    QPointer<QWidget> holder_;
};

} // namespace

void InstallFocusReturn() {
    static TFocusReturn* filter = nullptr;
    if (filter != nullptr || QCoreApplication::instance() == nullptr)
        return;
    filter = new TFocusReturn;
    QCoreApplication::instance()->installEventFilter(filter);
}
