#include "platform/widgets/ModalWindow.h"

#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QWidget>

namespace {

QWidget* formWindow(const TCustomForm* form) {
    QWidget* widget = form != nullptr ? ClientWidgetOf(form) : nullptr;
    return widget != nullptr ? widget->window() : nullptr;
}

bool takesKeyboard(const QWidget* window, const QWidget* except) {
    return window != nullptr && window != except && window->isVisible() && !window->isMinimized();
}

} // namespace

QWidget* ModalWindowNow() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return formWindow(Screen().ModalForm());
}

QWidget* WorkingWindowNow(const QWidget* except) {
    for (QWidget* window : {ModalWindowNow(), formWindow(Screen().ActiveForm()), formWindow(Application().MainForm())})
        if (takesKeyboard(window, except))
            return window;
    return nullptr;
}
