#pragma once
// An item view that reports what one input event did once the event is
// over: the selection and the current item change in several steps (and
// signals) for one click, and the control is to hear of the click once,
// with the state it led to.  Changes outside input (made by code) are the
// caller's to report as they come.

#include <QEvent>

#include <functional>

template <class TView>
class TInputReportingView : public TView {
public:
    using TView::TView;

    // Called after each mouse or key event the view handled.
    std::function<void()> AfterInput;
    // True while the view handles an input event.
    bool InInput() const { return depth_ > 0; }

protected:
    bool event(QEvent* event) override { return wrap(event, [&] { return TView::event(event); }); }
    bool viewportEvent(QEvent* event) override { return wrap(event, [&] { return TView::viewportEvent(event); }); }

private:
    static bool isInput(QEvent::Type type) {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return true;
        default:
            return false;
        }
    }

    template <class Handle>
    bool wrap(QEvent* event, Handle handle) {
        if (!isInput(event->type()))
            return handle();
        ++depth_;
        bool result = handle();
        --depth_;
        if (depth_ == 0 && AfterInput) {
            // A copy: the report may free the view's owner, which clears it.
            std::function<void()> after = AfterInput;
            after();
        }
        return result;
    }

    int depth_ = 0;
};
