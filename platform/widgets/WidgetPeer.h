#pragma once
// The QWidget that hosts a TWinControl.  A scroll area: its viewport is the
// control's client area, its scroll bars mirror the state the control
// keeps, its frame follows the control's border style.  Qt events become
// messages for the control's WndProc, each delivered under the exception
// guard.

#include "platform/ui/Control.h"
#include "platform/ui/WindowPeer.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QRegion>
#include <QTimer>

class QScrollBar;
class TPeerWidget;

class TWidgetPeer : public TWindowPeer {
public:
    explicit TWidgetPeer(TWinControl& control);
    ~TWidgetPeer() override;

    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void TextChanged() override;
    void ScrollBarChanged(int bar) override;
    void CaretChanged() override;
    void CaptureChanged(bool captured) override;
    void TabStopChanged() override;
    void ShowCursor(int cursor) override;
    bool PointerInside() const override;
    void Invalidate(const TRect* rect) override;
    void Update() override;
    void Scroll(int dx, int dy, const TRect& area) override;
    void SetFocus() override;
    TSize ClientSize() const override;
    TPoint ClientToScreen(TPoint point) const override;
    TPoint ScreenToClient(TPoint point) const override;
    void* NativeWidget() override;

    TPeerWidget* Widget() const { return widget_; }

private:
    QPointer<TPeerWidget> widget_;
};

// The scroll area itself; public so that tests can reach its parts.
class TPeerWidget : public QAbstractScrollArea {
public:
    explicit TPeerWidget(TWinControl& control, QWidget* parent);
    ~TPeerWidget() override;

    TWinControl& Control() const { return control_; }
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
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int, int) override {}

private:
    LRESULT deliver(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
    QScrollBar* scrollBarOf(int bar) const;
    // The context-menu request of the keyboard (no mouse point).
    void keyboardContextMenu();
    // The caret shows: created, not hidden, and the control has the focus.
    bool caretActive() const;
    void mouseButton(QMouseEvent* event, bool down, bool doubleClick);
    void paintClient(QPaintEvent* event);
    void scrollAction(int bar, int action);
    void blink();
    void noteBounds();

    TWinControl& control_;
    QRegion pending_;
    QTimer caretTimer_;
    bool caretPhase_ = false;
    QRect caretDrawnAt_;
    bool syncing_ = false;
};

// Registers the widget peer factory, the Qt user interaction and the
// program's cursors.  Call once after the QApplication exists.
void InstallWidgetPeers();
