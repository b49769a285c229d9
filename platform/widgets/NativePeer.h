#pragma once
// The window of a standard control: one of Qt's own widgets (a line edit,
// a push button, a list view ...) that shows the control's state and tells
// the control what the user did, only through messages.
//
// The base keeps what every such window shares with the window base:
// bounds, visibility, enabled state, font and colours, focus, cursor and
// the hint as a tool tip, and it forwards the widget's input (mouse
// buttons and moves, keys and characters, the context menu) to the
// control as the window messages a custom-drawn window would send, so
// that OnMouseDown, OnKeyDown, OnKeyPress and popup menus work alike.  A
// key handler that takes a key (sets it to 0) keeps it from the widget; a
// character handler may change the character typed.  Return and Escape
// that the control does not want go to the form as dialog keys (default
// and cancel buttons).
//
// Each kind derives from it, makes its widget with ParentWidgetFor as the
// parent, and follows the control's aspects in changed().  While the peer
// itself changes the widget (Sync scope), the widget's signals are not
// reported back.

#include "platform/ui/StandardControl.h"
#include "platform/ui/WindowPeer.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class QObject;
class TNativeInputFilter;

class TNativePeer : public TWindowPeer, public TControlPeer {
public:
    TNativePeer(TWinControl& control, QWidget* widget);
    ~TNativePeer() override;

    // The widget a child window of control goes into (its parent's
    // container), or nullptr for a top-level one.
    static QWidget* ParentWidgetFor(TWinControl& control);

    // --- TWindowPeer -----------------------------------------------------
    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void TextChanged() override;
    void ScrollBarChanged(int) override {}
    void CaretChanged() override {}
    void CaptureChanged(bool) override {}
    void TabStopChanged() override;
    void LayoutDirectionChanged() override;
    void BringToFront() override;
    void ShowCursor(int cursor) override;
    bool PointerInside() const override;
    void Invalidate(const TRect* rect) override;
    void Update() override;
    void Scroll(int, int, const TRect&) override {}
    void SetFocus(TFocusReason reason) override;
    TSize ClientSize() const override;
    TPoint ClientToScreen(TPoint point) const override;
    TPoint ScreenToClient(TPoint point) const override;
    void* NativeWidget() override;

    // --- TControlPeer ----------------------------------------------------
    void ControlChanged(TPeerAspect aspect, int index) final;

    QWidget* Widget() const { return widget_; }
    TWinControl& Control() const { return control_; }

protected:
    // An aspect of the control changed (appearance is applied already).
    virtual void changed(TPeerAspect aspect, int index) {}
    // The caption or text changed.
    virtual void textChanged() {}
    // Font and colours onto the widget; kinds that paint parts of their
    // own (item views) extend it.
    virtual void applyAppearance();

    // Hands a notice to the control, under the exception guard; returns
    // its Result.  Nothing is sent while the peer is syncing or the
    // control is going.  A handler may free the control, and so this
    // peer: code that goes on after a notice checks Alive first.
    LRESULT notify(unsigned msg, WPARAM wParam, LPARAM lParam = 0);
    // A question to the control (a pick list to fill): asked even while
    // the peer itself changes the widget, which may be what raised it.
    LRESULT ask(unsigned msg, WPARAM wParam, LPARAM lParam = 0);
    // Whether the peer still lives (taken before a notice, asked after).
    std::weak_ptr<int> Alive() const { return alive_; }
    // Connects a signal of the widget or one of its parts to the peer;
    // the connection ends with the peer.
    template <class Sender, class Signal, class Slot>
    void connect(Sender* sender, Signal signal, Slot slot) {
        connections_.push_back(QObject::connect(sender, signal, widget_.data(), slot));
    }
    // The widget's input of part (an inner editor, a view's viewport) is
    // forwarded too.
    void watch(QObject* part);
    // The widget whose coordinates are the control's client coordinates
    // (the viewport of a scroll area); the widget by default.
    void setClientWidget(QWidget* client) { client_ = client; }
    QWidget* clientWidget() const { return client_ ? client_.data() : widget_.data(); }
    // The widget that holds the control's children.
    void setContainer(QWidget* container) { container_ = container; }
    // Made last by every kind's constructor: bounds, state and appearance
    // of the control onto the widget, then shows it.
    void start();

    // While it lives, the widget's signals are the peer's own doing.
    class TSync {
    public:
        explicit TSync(TNativePeer& peer) : peer_(peer), was_(peer.syncing_) { peer_.syncing_ = true; }
        ~TSync() { peer_.syncing_ = was_; }

    private:
        TNativePeer& peer_;
        bool was_;
    };
    bool syncing() const { return syncing_; }

private:
    friend class TNativeInputFilter;
    void noteBounds();
    // Paints the windowless children of the control that meet area (of the
    // client widget) over what the widget painted.
    void paintWindowlessChildren(const QRect& area);
    // Delivers a message, marked as coming from the widget: a widget whose
    // control is freed by one of its own notices goes later, once Qt is
    // done with it.
    void deliver(TMessage& message);

    TWinControl& control_;
    QPointer<QWidget> widget_;
    QPointer<QWidget> client_;
    QPointer<QWidget> container_;
    TNativeInputFilter* filter_ = nullptr;
    bool syncing_ = false;
    bool paletteSet_ = false;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    std::vector<QMetaObject::Connection> connections_;
};

// The property that names a widget's control, so that input filters find
// the control of any part of a standard control's window.
inline constexpr const char* kControlProperty = "ondrillControl";
