#include "platform/widgets/WidgetDisposal.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace {

// The widgets deliveries come from, innermost last.  Weak: a widget freed
// while marked is simply no longer there.
std::vector<QPointer<QWidget>>& deliveries() {
    static std::vector<QPointer<QWidget>> widgets;
    return widgets;
}

bool within(const QObject* object, const QWidget* outer) {
    for (; object != nullptr; object = object->parent())
        if (object == outer)
            return true;
    return false;
}

} // namespace

TWidgetInUse::TWidgetInUse(QWidget* widget) { deliveries().emplace_back(widget); }

TWidgetInUse::~TWidgetInUse() { deliveries().pop_back(); }

LRESULT DeliverFromWidget(QWidget* widget, TControl& control, TMessage& message) {
    TWidgetInUse delivery(widget);
    return DeliverMessage(control, message);
}

LRESULT DeliverFromWidget(QWidget* widget, TControl& control, unsigned msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    return DeliverFromWidget(widget, control, message);
}

bool InDelivery(const QWidget* widget) {
    if (widget == nullptr)
        return false;
    for (const QPointer<QWidget>& busy : deliveries())
        if (busy && within(busy.data(), widget))
            return true;
    return false;
}

void DisposeWidget(QWidget* widget) {
    if (widget == nullptr)
        return;
    if (!InDelivery(widget)) {
        delete widget;
        return;
    }
    // As when deleted, the focus inside leaves without moving on: hiding
    // a focused widget would hand the focus to a neighbour, whose control
    // may be going too.
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && (focus == widget || within(focus, widget)))
        focus->clearFocus();
    widget->hide();
    widget->deleteLater();
}
