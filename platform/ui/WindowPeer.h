#pragma once
// The window behind a TWinControl.  platform_widgets implements it with a
// QWidget and registers a factory at start-up; without a factory controls
// stay windowless, which is how model code runs in tests.  The peer turns
// Qt events into messages for the control's WndProc and mirrors the state
// the control keeps (bounds, scroll bars, caret, cursor, capture).

#include "platform/gfx/Geometry.h"

#include <functional>
#include <memory>

class TWinControl;

class TWindowPeer {
public:
    virtual ~TWindowPeer() = default;

    // The control's state changed; the peer follows it.
    virtual void BoundsChanged() = 0;
    virtual void VisibleChanged() = 0;
    virtual void EnabledChanged() = 0;
    virtual void TextChanged() = 0;
    virtual void ScrollBarChanged(int bar) = 0;
    virtual void CaretChanged() = 0;
    virtual void CaptureChanged(bool captured) = 0;
    virtual void TabStopChanged() = 0;

    // Shows a cursor shape now, while the pointer is over the window.
    virtual void ShowCursor(int cursor) = 0;
    virtual bool PointerInside() const = 0;

    // Painting: rect in client coordinates, nullptr for the whole client
    // area.  Update paints what is invalid at once.
    virtual void Invalidate(const TRect* rect) = 0;
    virtual void Update() = 0;
    // Moves the pixels of area by (dx, dy) and invalidates what is exposed.
    virtual void Scroll(int dx, int dy, const TRect& area) = 0;

    virtual void SetFocus() = 0;

    // The client area: the window without border and scroll bars.
    virtual TSize ClientSize() const = 0;
    virtual TPoint ClientToScreen(TPoint point) const = 0;
    virtual TPoint ScreenToClient(TPoint point) const = 0;

    // The QWidget behind the peer (as void* so that this layer needs no
    // Qt Widgets).
    virtual void* NativeWidget() = 0;
};

using TWindowPeerFactory = std::function<std::unique_ptr<TWindowPeer>(TWinControl& control)>;

// Installs the factory (an empty function removes it).
void SetWindowPeerFactory(TWindowPeerFactory factory);
bool HasWindowPeerFactory();
std::unique_ptr<TWindowPeer> CreateWindowPeer(TWinControl& control);
