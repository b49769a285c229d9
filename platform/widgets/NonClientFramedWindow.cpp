// The window with a frame of the control's own (platform/ui/NonClientFrame.h):
// the custom-drawn window whose viewport, the client area, sits inside
// margins the control names, and whose margins the control paints and
// hit-tests (platform/ui/NonClientMouse.h).
#include "platform/widgets/NonClientFramedPeer.h"

#include "platform/ui/Control.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/NonClientFrame.h"
#include "platform/ui/NonClientMouse.h"
#include "platform/widgets/QtInput.h"
#include "platform/widgets/WidgetDisposal.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

#include <QEvent>
#include <QMargins>
#include <QMouseEvent>
#include <QPointer>

#include <memory>

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

class TNonClientFramedPeer;

// Paints the frame whenever the window (not its viewport) paints, and
// turns the mouse over the frame into non-client messages.
class TFrameFilter : public QObject {
public:
    TFrameFilter(TNonClientFramedPeer& peer, TPeerWidget* widget)
        : QObject(widget), peer_(peer), widget_(widget), viewport_(widget->viewport()) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TNonClientFramedPeer& peer_;
    TPeerWidget* widget_;
    // Compared only: events still come while the widget is being freed.
    const QObject* viewport_;
};

class TNonClientFramedPeer : public TWidgetPeer, public TNonClientFramePeer {
public:
    TNonClientFramedPeer(TWinControl& control, const TPeerWindowStyle& style)
        : TWidgetPeer(control, style), control_(control) {
        filter_ = new TFrameFilter(*this, Widget());
        Widget()->installEventFilter(filter_);
        Widget()->viewport()->installEventFilter(filter_);
        Widget()->setMouseTracking(true);
        applyMargins();
    }
    // The widget outlives this part of the peer (the base destructor frees
    // it, and it still has events to send then): its filter, which calls
    // back into this part, goes first.
    ~TNonClientFramedPeer() override { delete filter_.data(); }
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
    void ShowCursor(int cursor) override {
        if (!inFrame_) {
            TWidgetPeer::ShowCursor(cursor);
            return;
        }
        cursorShown_ = true;
        if (Widget() != nullptr)
            Widget()->setCursor(CursorToQCursor(cursor));
    }

    // --- the frame's mouse ---------------------------------------------------------
    // A handler may free the control, and this peer with it: code that goes
    // on after a message checks the token first.
    LRESULT Deliver(unsigned msg, WPARAM wParam, LPARAM lParam) {
        return DeliverFromWidget(Widget(), control_, msg, wParam, lParam);
    }
    int HitTest(TPoint screen) { return static_cast<int>(Deliver(WM_NCHITTEST, 0, PointToLParam(screen))); }
    void FrameMouse(QMouseEvent* event) {
        TPoint screen = FromQPoint(event->globalPosition().toPoint());
        LPARAM where = PointToLParam(screen);
        std::weak_ptr<int> alive = alive_;
        int hit = HitTest(screen);
        if (alive.expired())
            return;
        switch (event->type()) {
        case QEvent::MouseMove:
            inFrame_ = true;
            Deliver(WM_NCMOUSEMOVE, static_cast<WPARAM>(hit), where);
            if (!alive.expired())
                showFrameCursor(hit);
            return;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
            if (event->button() == Qt::LeftButton)
                Deliver(doubleClick ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), where);
            else if (event->button() == Qt::RightButton)
                Deliver(WM_NCRBUTTONDOWN, static_cast<WPARAM>(hit), where);
            return;
        }
        case QEvent::MouseButtonRelease:
            if (event->button() == Qt::LeftButton)
                Deliver(WM_NCLBUTTONUP, static_cast<WPARAM>(hit), where);
            else if (event->button() == Qt::RightButton)
                Deliver(WM_NCRBUTTONUP, static_cast<WPARAM>(hit), where);
            return;
        default:
            return;
        }
    }
    void LeftFrame() {
        if (!inFrame_)
            return;
        inFrame_ = false;
        Deliver(WM_NCMOUSELEAVE, 0, 0);
    }
    // The pointer is over the frame (not the client area).
    bool PointOnFrame(QPoint local) const {
        return Widget() != nullptr && !Widget()->viewport()->geometry().contains(local);
    }

private:
    void showFrameCursor(int hit) {
        cursorShown_ = false;
        std::weak_ptr<int> alive = alive_;
        Deliver(WM_SETCURSOR, reinterpret_cast<WPARAM>(&control_), MAKELPARAM(static_cast<unsigned>(hit), WM_MOUSEMOVE));
        if (!alive.expired() && !cursorShown_ && Widget() != nullptr)
            Widget()->setCursor(CursorToQCursor(SizingCursorOfHitCode(hit)));
    }

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
    QPointer<TFrameFilter> filter_;
    QMargins margins_;
    bool inFrame_ = false;
    bool cursorShown_ = false;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

bool TFrameFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_) {
        if (event->type() == QEvent::Enter)
            peer_.LeftFrame();
        return false;
    }
    if (watched != widget_)
        return false;
    switch (event->type()) {
    case QEvent::Paint: {
        TDeviceCanvas canvas(widget_);
        canvas.ExcludeClipRect(FromQRect(widget_->viewport()->geometry()));
        DeliverFromWidget(widget_, widget_->Control(), WM_NCPAINT, reinterpret_cast<WPARAM>(&canvas));
        canvas.Release();
        return false;
    }
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // Presses made in the client area come here only when a child let
        // them through; the frame takes its own.
        if (event->type() != QEvent::MouseButtonRelease && event->type() != QEvent::MouseMove &&
            !peer_.PointOnFrame(mouse->position().toPoint()))
            return false;
        peer_.FrameMouse(mouse);
        return true;
    }
    case QEvent::Leave:
        peer_.LeftFrame();
        return false;
    default:
        return false;
    }
}

const TWindowKindRegistration registration(wk::NonClientFramed, [](TWinControl& control) {
    return MakeNonClientFramedPeer(control, TPeerWindowStyle{});
});

} // namespace

std::unique_ptr<TWindowPeer> MakeNonClientFramedPeer(TWinControl& control, const TPeerWindowStyle& style) {
    return std::make_unique<TNonClientFramedPeer>(control, style);
}
