#include "platform/widgets/TabWalk.h"

#include "platform/widgets/NativePeer.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QWidget>

namespace {

// The widget that takes the focus for a control's window (the one whose
// focus policy follows TabStop); nullptr for kinds of window made
// elsewhere.
QWidget* focusWidgetOf(TWinControl& control) {
    TWindowPeer* peer = control.Peer();
    if (auto* widget = dynamic_cast<TWidgetPeer*>(peer))
        return widget->Widget();
    if (auto* native = dynamic_cast<TNativePeer*>(peer))
        return native->Widget();
    return nullptr;
}

} // namespace

bool FocusNextInTabWalk(TWinControl& root, bool forward) {
    QWidget* focused = QApplication::focusWidget();
    TWinControl* current = focused != nullptr ? ControlOfObject(focused) : nullptr;
    if (current == nullptr)
        current = GetFocusControl();
    TWinControl* next = root.FindNextControl(current, forward);
    if (next == nullptr)
        return false;
    // The reason tells an edit box to select its text, as Tab does.
    if (QWidget* widget = focusWidgetOf(*next))
        widget->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    else
        next->SetFocus();
    return true;
}
