#pragma once
// What the standard-control suites share: a shown top-level window to put
// controls on, the Qt widget of a control's window, and a log of events.

#include "platform/ui/ExtControls.h"
#include "platform/widgets/NativePeer.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <string>
#include <vector>

// A top-level panel, shown, that the controls of a test sit on.
struct TTestHost {
    TPanel Form;
    TTestHost(int width = 400, int height = 300) {
        Form.SetName("form");
        Form.SetBounds(40, 40, width, height);
        Form.Show();
        QApplication::processEvents();
    }
};

// The Qt widget of a standard control's window.
template <class TWidget = QWidget>
TWidget* WidgetOf(TWinControl& control) {
    auto* peer = dynamic_cast<TNativePeer*>(control.Peer());
    return peer != nullptr ? qobject_cast<TWidget*>(peer->Widget()) : nullptr;
}

// A double click as Qt delivers one: press, release, double click,
// release (sent at once, whatever the platform's timing).
inline void DoubleClick(QWidget* widget, QPoint at) {
    QPointF global = widget->mapToGlobal(QPointF(at));
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

// The events of controls, in the order they ran.
struct TEventLog {
    std::vector<std::string> Events;
    TNotifyEvent Note(std::string name) {
        return [this, name](TPersistent*) { Events.push_back(name); };
    }
    std::vector<std::string> Take() {
        std::vector<std::string> events = std::move(Events);
        Events.clear();
        return events;
    }
};
