#pragma once
// The QWidget that hosts a custom-drawn TWinControl.  A scroll area: its
// viewport is the control's client area, its scroll bars mirror the state
// the control keeps, its frame follows the control's border style.  Qt
// events become messages for the control's WndProc, each delivered under
// the exception guard.  The custom-drawn, popup, overlay and frameless
// window kinds are all this widget, each with its own window style.

#include "platform/ui/Control.h"
#include "platform/ui/QtBridge.h"
#include "platform/ui/WindowPeer.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QRegion>
#include <QTimer>

class QHelpEvent;
class QScrollBar;
class QWheelEvent;
class TPeerWidget;

// How a kind's window sits among the others.
struct TPeerWindowStyle {
    // A window of its own even when the control has a parent (whose window
    // it then stays above).
    bool TopLevel = false;
    // The window flags of a top-level window (0: a plain window).
    Qt::WindowFlags Flags = {};
    // Never takes the keyboard focus, whatever the control's TabStop.
    bool NeverFocus = false;
    // Shown without becoming the active window.
    bool ShowWithoutActivating = false;
    // Mouse input passes through to what lies under the window.
    bool InputTransparent = false;
    // A top-level window the desktop takes for a popup menu (and shadows
    // as one) whatever its window flags.
    bool PopupMenuType = false;
    // A top-level window whose pixels keep the alpha they are painted
    // with: made on a visual with an alpha channel, its background clear.
    bool Translucent = false;
};

class TWidgetPeer : public TWindowPeer {
public:
    explicit TWidgetPeer(TWinControl& control, const TPeerWindowStyle& style = {});
    ~TWidgetPeer() override;

    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void TextChanged() override;
    void ScrollBarChanged(int bar) override;
    void CaretChanged() override;
    void CaptureChanged(bool captured) override;
    void TabStopChanged() override;
    void RegionChanged() override;
    void SetOpacity(double opacity) override;
    double Opacity() const override;
    void BringToFront() override;
    void ShowCursor(int cursor) override;
    bool PointerInside() const override;
    void Invalidate(const TRect* rect) override;
    void Update() override;
    void Scroll(int dx, int dy, const TRect& area) override;
    void SetFocus(TFocusReason reason) override;
    bool CanTakeFocus() const override;
    TSize ClientSize() const override;
    TPoint ClientToScreen(TPoint point) const override;
    TPoint ScreenToClient(TPoint point) const override;
    void* NativeWidget() override;

    TPeerWidget* Widget() const { return widget_; }
    // The widget is being destroyed (with a parent that goes, say).
    void WidgetGone(const TPeerWidget* widget) {
        if (widget_ == widget)
            widget_ = nullptr;
    }

private:
    QPointer<TPeerWidget> widget_;
};

// The scroll area itself; public so that tests can reach its parts.
class TPeerWidget : public QAbstractScrollArea {
public:
    TPeerWidget(TWinControl& control, QWidget* parent, const TPeerWindowStyle& style = {});
    ~TPeerWidget() override;

    // Only while attached (see Detach).
    TWinControl& Control() const { return *control_; }
    TWinControl* AttachedControl() const { return control_; }
    // The control is being freed: from now on the widget tells it nothing
    // and only waits to be deleted (at once, or once Qt is done with it).
    void Detach();
    const TPeerWindowStyle& WindowStyle() const { return style_; }
    Qt::FocusPolicy FocusPolicyNow() const;
    void SyncRegion();
    // The widget whose geometry is the control's bounds: the widget itself,
    // or the frame around it (an MDI child's subwindow).
    QWidget* FrameWidget() const { return frame_ != nullptr ? frame_.data() : const_cast<TPeerWidget*>(this); }
    void SetFrameWidget(QWidget* frame) { frame_ = frame; }
    // Tells the control where the window now is.
    void NoteBounds();
    // Set while the peer applies the control's window state, so that the
    // change is not reported back.
    bool ApplyingState = false;
    void SyncScrollBar(int bar);
    void SyncFrame();
    void CaretChanged();
    void InvalidateClient(const QRect& rect);
    void UpdateNow();
    void ScrollClient(int dx, int dy, const QRect& area);
    QRect CaretRect() const;

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // What a detached widget still lets Qt do with an event; true when eaten.
    static bool eatenWhileDetached(const QEvent* event);
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int, int) override {}
    // Tab and Shift+Tab in a form's window walk its controls in their Tab
    // order (platform/widgets/TabWalk.h).
    bool focusNextPrevChild(bool next) override;

private:
    LRESULT deliver(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The control's hint, as its CM_HINTSHOW answers.
    void showHint(QHelpEvent* event);
    QScrollBar* scrollBarOf(int bar) const;
    // The context-menu request of the keyboard (no mouse point).
    void keyboardContextMenu();
    // The caret shows: created, not hidden, and the control has the focus.
    bool caretActive() const;
    void mouseButton(QMouseEvent* event, bool down, bool doubleClick);
    // The wheel, as the control's wheel messages (nothing once detached).
    void wheel(QWheelEvent* event);
    void paintClient(QPaintEvent* event);
    // The windows this top-level window owns are told of its new native
    // window.
    void reattachOwnedWindows();
    void scrollAction(int bar, int action);
    void blink();
    // Makes the window now, typed as a popup menu for the desktop.
    void markAsPopupMenu();

    // nullptr once detached.
    TWinControl* control_;
    TPeerWindowStyle style_;
    QPointer<QWidget> frame_;
    QRegion pending_;
    QTimer caretTimer_;
    bool caretPhase_ = false;
    QRect caretDrawnAt_;
    bool syncing_ = false;
    TKeyTextJoiner keyText_;
};

// The control whose window holds a Qt object (the object itself or one of
// its parents), or nullptr.
TWinControl* ControlOfObject(const QObject* object);
// The widget that holds the children of a control's window (its parent's
// for the child kinds), or nullptr.
QWidget* ClientWidgetOf(const TWinControl* control);

// Makes every registered window kind available, and installs the Qt user
// interaction, the popup-menu presenter, the program's cursors and the
// modal loops' input filter.  Call once after the QApplication exists.
void InstallWidgetPeers();
// Passes the application's activation on as window notices
// (platform/ui/WindowNotices.h); part of InstallWidgetPeers.
void InstallApplicationNotices();
// Offers key presses to the menus before the focused control
// (platform/ui/ApplicationKeys.h); part of InstallWidgetPeers.
void InstallApplicationKeyFilter();
