#include "platform/widgets/ModalWindow.h"

#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QWidget>

QWidget* ModalWindowNow() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    QWidget* form = ClientWidgetOf(Screen().ModalForm());
    return form != nullptr ? form->window() : nullptr;
}
