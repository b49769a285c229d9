// The window with a frame of the control's own (platform/ui/NonClientFrame.h):
// the custom-drawn window whose viewport, the client area, sits inside
// margins the control names, and whose margins the control paints.
#include "platform/ui/Control.h"
#include "platform/ui/NonClientFrame.h"
#include "platform/widgets/WidgetPeer.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

#include <QEvent>
#include <QMargins>

namespace {

// The scroll area's viewport margins are for its subclasses to set; the
// peer widget is a scroll area made elsewhere, so they are reached through
// a pointer to the member.
struct TMarginAccess : QAbstractScrollArea {
    using QAbstractScrollArea::setViewportMargins;
};
void setViewportMargins(QAbstractScrollArea& area, const QMargins& margins) {
    void (QAbstractScrollArea::*set)(const QMargins&) = &TMarginAccess::setViewportMargins;
    (area.*set)(margins);
}

// Paints the frame whenever the window (not its viewport) paints.
class TFramePainter : public QObject {
public:
    TFramePainter(TWinControl& control, TPeerWidget* widget) : QObject(widget), control_(control), widget_(widget) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::Paint) {
            TDeviceCanvas canvas(widget_);
            canvas.ExcludeClipRect(FromQRect(widget_->viewport()->geometry()));
            TMessage message{WM_NCPAINT, reinterpret_cast<WPARAM>(&canvas), 0, 0};
            DeliverMessage(control_, message);
            canvas.Release();
        }
        return false;
    }

private:
    TWinControl& control_;
    TPeerWidget* widget_;
};

class TNonClientFramedPeer : public TWidgetPeer, public TNonClientFramePeer {
public:
    explicit TNonClientFramedPeer(TWinControl& control) : TWidgetPeer(control), control_(control) {
        Widget()->installEventFilter(new TFramePainter(control, Widget()));
        applyMargins();
    }
    void FrameChanged() override {
        applyMargins();
        if (Widget() != nullptr)
            Widget()->update();
    }
    void BoundsChanged() override {
        TWidgetPeer::BoundsChanged();
        applyMargins();
    }
    TSize ClientSize() const override {
        TSize size = TWidgetPeer::ClientSize();
        return {std::max(0, size.cx - margins_.left() - margins_.right()),
                std::max(0, size.cy - margins_.top() - margins_.bottom())};
    }

private:
    void applyMargins() {
        if (Widget() == nullptr)
            return;
        TRect client = NonClientClientRect(control_);
        QMargins margins(client.Left, client.Top, control_.Width() - client.Right, control_.Height() - client.Bottom);
        if (margins == margins_)
            return;
        margins_ = margins;
        setViewportMargins(*Widget(), margins);
    }

    TWinControl& control_;
    QMargins margins_;
};

const TWindowKindRegistration registration(wk::NonClientFramed, [](TWinControl& control) {
    return std::make_unique<TNonClientFramedPeer>(control);
});

} // namespace
