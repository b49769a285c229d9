#include "platform/widgets/TabWalk.h"

#include "platform/ui/Control.h"
#include "platform/widgets/WidgetDisposal.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QWidget>

bool FocusNextInTabWalk(TWinControl& root, bool forward) {
    QWidget* focused = QApplication::focusWidget();
    TWinControl* current = focused != nullptr ? ControlOfObject(focused) : nullptr;
    if (current == nullptr)
        current = GetFocusControl();
    TWinControl* next = root.FindNextControl(current, forward);
    if (next == nullptr)
        return false;
    next->SetFocus(forward ? TFocusReason::TabForward : TFocusReason::TabBack);
    return true;
}

void FocusWidget(QWidget& widget, TFocusReason reason) {
    TWidgetInUse inUse(&widget);
    switch (reason) {
    case TFocusReason::TabForward:
        widget.setFocus(Qt::TabFocusReason);
        break;
    case TFocusReason::TabBack:
        widget.setFocus(Qt::BacktabFocusReason);
        break;
    case TFocusReason::Other:
        widget.setFocus(Qt::OtherFocusReason);
        break;
    }
}
