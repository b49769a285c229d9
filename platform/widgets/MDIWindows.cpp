// The MDI client and MDI child windows: the client is a QMdiArea in the
// frame form; each child form's custom-drawn window sits in a subwindow of
// it.  The area's activation and a subwindow's window state follow the
// model (platform/ui/MDI.h) and report the user's changes back as
// WM_MDIACTIVATE and WM_SYSCOMMAND.  A maximised child fills the client
// without a frame or caption of its own: the frame's menu bar shows its
// buttons instead.
#include "platform/ui/MDI.h"
#include "platform/ui/QtBridge.h"
#include "platform/widgets/WidgetDisposal.h"
#include "platform/widgets/WidgetPeer.h"
#include "platform/widgets/WindowKinds.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace {

// Qt's area, without its own keys: Ctrl+Tab there flips between the two
// children used last, while the program's (TranslateMDISysKey) visits each
// in turn.  The area watches every key of the application; it lets them go
// by untouched.
class TMDIArea : public QMdiArea {
public:
    using QMdiArea::QMdiArea;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
            return QAbstractScrollArea::eventFilter(object, event);
        return QMdiArea::eventFilter(object, event);
    }
};

// The client: a plain window over a QMdiArea.
class TMDIClientPeer : public TWindowPeer {
public:
    explicit TMDIClientPeer(TWinControl& control) : control_(control) {
        area_ = new TMDIArea(ClientWidgetOf(control.Parent()));
        area_->setBackground(QBrush(ToQColor(control.Color())));
        area_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
        area_->setGeometry(ToQRect(control.BoundsRect()));
        area_->setVisible(control.Visible());
        QObject::connect(area_, &QMdiArea::subWindowActivated, area_, [this](QMdiSubWindow* window) {
            if (window == nullptr || syncing)
                return;
            if (TWinControl* child = ControlOfObject(window->widget()))
                DeliverFromWidget(area_, *child, WM_MDIACTIVATE, 0, reinterpret_cast<LPARAM>(child));
        });
    }
    ~TMDIClientPeer() override { DisposeWidget(area_); }

    QMdiArea* Area() const { return area_; }
    bool syncing = false;

    void BoundsChanged() override {
        if (area_)
            area_->setGeometry(ToQRect(control_.BoundsRect()));
        DeliverFromWidget(area_, control_, WM_SIZE, SIZE_RESTORED);
    }
    void VisibleChanged() override {
        if (area_)
            area_->setVisible(control_.Visible());
    }
    void EnabledChanged() override {
        if (area_)
            area_->setEnabled(control_.Enabled());
    }
    void TextChanged() override {}
    void ScrollBarChanged(int) override {}
    void CaretChanged() override {}
    void CaptureChanged(bool) override {}
    void TabStopChanged() override {}
    void ShowCursor(int cursor) override {
        if (area_)
            area_->viewport()->setCursor(CursorToQCursor(cursor));
    }
    bool PointerInside() const override { return area_ && area_->underMouse(); }
    void Invalidate(const TRect*) override {
        if (area_)
            area_->viewport()->update();
    }
    void Update() override {}
    void Scroll(int, int, const TRect&) override {}
    void SetFocus(TFocusReason) override {}
    bool CanTakeFocus() const override { return false; }
    TSize ClientSize() const override {
        if (!area_)
            return {};
        return {area_->viewport()->width(), area_->viewport()->height()};
    }
    TPoint ClientToScreen(TPoint point) const override {
        return area_ ? FromQPoint(area_->viewport()->mapToGlobal(ToQPoint(point))) : point;
    }
    TPoint ScreenToClient(TPoint point) const override {
        return area_ ? FromQPoint(area_->viewport()->mapFromGlobal(ToQPoint(point))) : point;
    }
    void* NativeWidget() override { return area_ ? area_->viewport() : nullptr; }

private:
    TWinControl& control_;
    QPointer<QMdiArea> area_;
};

// Watches a subwindow: its moves and resizes are the child's bounds.
class TSubWindowWatch : public QObject {
public:
    explicit TSubWindowWatch(TPeerWidget* widget) : widget_(widget) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && widget_)
            widget_->NoteBounds();
        return false;
    }

private:
    QPointer<TPeerWidget> widget_;
};

// A child: the form's window in a subwindow of the client's area.
class TMDIChildPeer : public TWidgetPeer {
public:
    TMDIChildPeer(TWinControl& control, TMDIClientPeer* client) : TWidgetPeer(control), client_(client) {
        QMdiArea* area = client->Area();
        window_ = area->addSubWindow(Widget());
        window_->setAttribute(Qt::WA_DeleteOnClose, false);
        window_->setWindowTitle(ProgramTextToQString(control.Caption()));
        Widget()->SetFrameWidget(window_);
        auto* watch = new TSubWindowWatch(Widget());
        watch->setParent(window_); // goes with the subwindow
        window_->installEventFilter(watch);
        window_->setGeometry(ToQRect(control.BoundsRect()));
        QObject::connect(window_, &QMdiSubWindow::windowStateChanged, window_,
                         [this](Qt::WindowStates before, Qt::WindowStates now) { reportState(before, now); });
        WindowStateChanged();
        window_->setVisible(control.Visible());
    }
    ~TMDIChildPeer() override { DisposeWidget(window_); }

    void BoundsChanged() override {
        if (window_ && !window_->isMaximized())
            window_->setGeometry(ToQRect(Widget()->Control().BoundsRect()));
    }
    void VisibleChanged() override {
        if (window_)
            window_->setVisible(Widget()->Control().Visible());
    }
    void TextChanged() override {
        if (window_)
            window_->setWindowTitle(ProgramTextToQString(Widget()->Control().Caption()));
    }
    void BringToFront() override {
        if (window_)
            window_->raise();
    }
    // Out of the area without telling the model, which is taking the child
    // out itself and decides which child is active next.
    void Withdraw() override {
        if (!window_ || !client_->Area())
            return;
        client_->syncing = true;
        window_->hide();
        client_->Area()->removeSubWindow(window_);
        client_->syncing = false;
    }
    void Activate() override {
        if (!window_ || !client_->Area())
            return;
        client_->syncing = true;
        client_->Area()->setActiveSubWindow(window_);
        client_->syncing = false;
    }
    void WindowStateChanged() override {
        auto* form = dynamic_cast<TCustomForm*>(&Widget()->Control());
        if (form == nullptr || !window_)
            return;
        applying_ = true;
        Qt::WindowFlags flags = window_->windowFlags();
        switch (form->WindowState()) {
        case wsMaximized:
            // Maximised, the child has no frame or caption of its own.
            window_->setWindowFlags(flags | Qt::FramelessWindowHint);
            window_->showMaximized();
            break;
        case wsMinimized:
            window_->setWindowFlags(flags & ~Qt::FramelessWindowHint);
            window_->showMinimized();
            break;
        default:
            window_->setWindowFlags(flags & ~Qt::FramelessWindowHint);
            window_->showNormal();
            break;
        }
        window_->setVisible(form->Visible());
        applying_ = false;
    }

private:
    // Only minimising, maximising and restoring are reported, not the
    // subwindow's activation, which the area reports itself.
    void reportState(Qt::WindowStates before, Qt::WindowStates state) {
        const Qt::WindowStates sized = Qt::WindowMinimized | Qt::WindowMaximized;
        if (applying_ || !window_ || ((before ^ state) & sized) == 0)
            return;
        unsigned command = state & Qt::WindowMinimized   ? SC_MINIMIZE
                           : state & Qt::WindowMaximized ? SC_MAXIMIZE
                                                         : SC_RESTORE;
        DeliverFromWidget(window_, Widget()->Control(), WM_SYSCOMMAND, command);
    }

    TMDIClientPeer* client_;
    QPointer<QMdiSubWindow> window_;
    bool applying_ = false;
};

const TWindowKindRegistration clientRegistration(wk::MDIClient, [](TWinControl& control) {
    return std::make_unique<TMDIClientPeer>(control);
});

const TWindowKindRegistration childRegistration(wk::MDIChild, [](TWinControl& control) -> std::unique_ptr<TWindowPeer> {
    TWinControl* client = control.WindowParams().WndParent;
    if (client == nullptr)
        return nullptr;
    client->HandleNeeded();
    auto* clientPeer = dynamic_cast<TMDIClientPeer*>(client->Peer());
    if (clientPeer == nullptr || clientPeer->Area() == nullptr)
        return nullptr;
    return std::make_unique<TMDIChildPeer>(control, clientPeer);
});

} // namespace
