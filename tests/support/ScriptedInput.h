#pragma once
// Scripted user input for tests with real (offscreen) windows: key presses
// and clicks played one per turn of the event loop, so that a step that
// opens a modal form is answered by the steps after it, from inside that
// form's loop.  Keys go to the window of the control that has the focus
// (as the program sees it), clicks to a control's window at a client point.
// Header-only; the test program links platform_widgets and Qt Test.

#include "platform/ui/Control.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>

class TScriptedInput {
public:
    // A step; the script goes on with the next one in the next turn.
    TScriptedInput& Then(std::function<void()> step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    TScriptedInput& Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return Then([key, modifiers] { QTest::keyClick(FocusWidget(), key, modifiers); });
    }
    TScriptedInput& Type(const std::string& text) {
        return Then([text] { QTest::keyClicks(FocusWidget(), QString::fromLatin1(text.c_str())); });
    }
    // The control's window is looked up when the step runs (it may not
    // exist before); the control must live until then.
    TScriptedInput& Click(TWinControl& control, TPoint at) {
        TWinControl* target = &control;
        return Then([target, at] {
            if (QWidget* widget = ClientWidgetOf(target))
                QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(at.X, at.Y));
        });
    }

    // Plays the steps from the event loop (the next modal loop to run, or
    // the test's own processing).
    void Start() { QTimer::singleShot(0, qApp, [this] { next(); }); }
    bool Done() const { return steps_.empty(); }
    size_t Left() const { return steps_.size(); }

    // The widget keys go to: the window of the focused control, else the
    // widget Qt has focused, else the active window.
    static QWidget* FocusWidget() {
        if (TWinControl* control = GetFocusControl())
            if (QWidget* client = ClientWidgetOf(control))
                return client->parentWidget() != nullptr && dynamic_cast<TPeerWidget*>(client->parentWidget())
                           ? client->parentWidget()
                           : client;
        if (QApplication::focusWidget() != nullptr)
            return QApplication::focusWidget();
        return QApplication::activeWindow();
    }

private:
    void next() {
        if (steps_.empty())
            return;
        std::function<void()> step = std::move(steps_.front());
        steps_.pop_front();
        // The next step is queued first: this one may start a modal loop
        // that only returns after the steps behind it.
        if (!steps_.empty())
            Start();
        step();
    }

    std::deque<std::function<void()>> steps_;
};
