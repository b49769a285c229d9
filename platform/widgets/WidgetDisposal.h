#pragma once
// A handler may free its control (or the form around it) from any message
// a window hands it, while Qt is still inside the event that sent it: the
// window's widget, its parents and the window it lies in are then still in
// Qt's hands (event propagation, a window painting all its children, the
// activation of a window), and deleting any of them at once leaves Qt
// reading freed memory.  Deliveries from a widget are therefore marked for
// the time they take, and a widget freed meanwhile is hidden at once and
// deleted once Qt is done with it.

#include "platform/ui/Control.h"

class QWidget;

// Marks widget as in Qt's hands while it lives: a delivery from it, or a
// call into Qt on it that sends events (focus, showing, repainting), from
// which handlers may run.
class TWidgetInUse {
public:
    explicit TWidgetInUse(QWidget* widget);
    ~TWidgetInUse();
    TWidgetInUse(const TWidgetInUse&) = delete;
    TWidgetInUse& operator=(const TWidgetInUse&) = delete;
};

// Hands a message to control for widget, marked as above.
LRESULT DeliverFromWidget(QWidget* widget, TControl& control, TMessage& message);
LRESULT DeliverFromWidget(QWidget* widget, TControl& control, unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);

// Whether widget, or a widget inside it (its children, the windows it
// owns), is in Qt's hands.
bool InDelivery(const QWidget* widget);

// Deletes widget at once; or, while it or a widget inside it is in Qt's
// hands, hides it now and deletes it when Qt is back in its event loop.
void DisposeWidget(QWidget* widget);
