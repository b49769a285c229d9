#pragma once
// The window behind a TWinControl.  A control names the kind of window it
// needs in CreateParams (TCreateParams::Kind); platform_widgets registers one
// factory per kind, each in a file of its own, and hands them to the window
// base when InstallWidgetPeers runs.  Without factories controls stay
// windowless, which is how model code runs in tests.  The peer turns Qt
// events into messages for the control's WndProc and mirrors the state the
// control keeps (bounds, scroll bars, caret, cursor, capture); it tells the
// control of anything only through messages.

#include "platform/gfx/Geometry.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TWinControl;

// The kinds of window the platform knows.  The standard controls add kinds
// of their own the same way.
namespace wk {
// A child (or, without a parent, a plain top-level) window whose client
// area the control paints itself, with optional border and scroll bars.
inline constexpr std::string_view CustomDrawn = "CustomDrawn";
// A top-level window without caption that never takes the focus or
// activates: menus, drop-downs, hints.
inline constexpr std::string_view Popup = "Popup";
// A popup that the desktop takes for a popup menu, and so casts its own
// drop shadow under when it composites windows (a desktop that does not
// draws none).
inline constexpr std::string_view ShadowedPopup = "ShadowedPopup";
// A window that lets all input through to what lies under it: drag
// outlines.  A child overlay with a parent, a top-level one without.
inline constexpr std::string_view Overlay = "Overlay";
// A top-level window without the window manager's frame, that floats over
// its owner without activating: floating toolbar frames.
inline constexpr std::string_view Frameless = "Frameless";
// A form: a top-level window with the window manager's frame as its border
// style says (platform/ui/Forms.h).
inline constexpr std::string_view Form = "Form";
// The client area of an MDI frame form, where the MDI children live.
inline constexpr std::string_view MDIClient = "MDIClient";
// An MDI child form: a window inside its frame's MDI client.
inline constexpr std::string_view MDIChild = "MDIChild";
} // namespace wk

// What moves the keyboard focus to a window.
enum class TFocusReason { Other, TabForward, TabBack };

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
    // The control's BiDiMode changed: a standard control mirrors its
    // layout for a right-to-left mode.
    virtual void LayoutDirectionChanged() {}
    // The window region (TWinControl::SetWindowRegion) changed.
    virtual void RegionChanged() {}
    // How opaque a top-level window is drawn, 0 (not at all) to 1 (fully);
    // the desktop shows it only where it composites windows.
    virtual void SetOpacity(double opacity) {}
    virtual double Opacity() const { return 1.0; }
    // Brings a top-level window to the front of the others (and a child to
    // the front of its siblings).
    virtual void BringToFront() {}
    // A form's window state (normal, minimised, maximised) changed.
    virtual void WindowStateChanged() {}
    // The bounds a top-level window has when neither minimised nor
    // maximised (an empty rectangle when the window does not know them).
    virtual TRect NormalBounds() const { return {}; }
    // Makes a top-level window the active one (an MDI child the active
    // child of its frame).
    virtual void Activate() {}
    // The control is being freed: its window leaves the windows it is
    // arranged with (an MDI child's leaves the client area) at once, hidden,
    // so that nothing rearranging them shows or sizes it again.  The window
    // itself, with its children, goes later with the peer.
    virtual void Withdraw() {}

    // Shows a cursor shape now, while the pointer is over the window.
    virtual void ShowCursor(int cursor) = 0;
    virtual bool PointerInside() const = 0;

    // Painting: rect in client coordinates, nullptr for the whole client
    // area.  Update paints what is invalid at once.
    virtual void Invalidate(const TRect* rect) = 0;
    virtual void Update() = 0;
    // Moves the pixels of area by (dx, dy) and invalidates what is exposed.
    virtual void Scroll(int dx, int dy, const TRect& area) = 0;

    // Why the focus moves: Tab and Shift+Tab tell an edit box to select
    // its text, which other moves leave as it is.
    virtual void SetFocus(TFocusReason reason) = 0;
    // False for windows that never take the keyboard focus (popups).
    virtual bool CanTakeFocus() const { return true; }

    // The client area: the window without border and scroll bars.
    virtual TSize ClientSize() const = 0;
    virtual TPoint ClientToScreen(TPoint point) const = 0;
    virtual TPoint ScreenToClient(TPoint point) const = 0;

    // The QWidget that holds the window's children (as void* so that this
    // layer needs no Qt Widgets).
    virtual void* NativeWidget() = 0;
};

using TWindowPeerFactory = std::function<std::unique_ptr<TWindowPeer>(TWinControl& control)>;

// Makes kind available (replacing an earlier factory of that name); an
// empty function removes it.
void RegisterWindowKind(std::string_view kind, TWindowPeerFactory factory);
// Removes every kind: controls stay windowless again.
void UnregisterWindowKinds();
bool HasWindowKind(std::string_view kind);
// True when any kind is registered: windows are made at all.
bool HasWindowPeerFactory();
// The window for a control, of the kind its CreateParams named.  Raises
// EInvalidOperation when windows are made but that kind is unknown (a
// programming error: the kind's file was not linked).
std::unique_ptr<TWindowPeer> CreateWindowPeer(TWinControl& control);

// The program window under a screen point, or nullptr: the window system
// answers (installed by platform_widgets).
using TControlLocator = std::function<TWinControl*(TPoint screen)>;
void SetControlLocator(TControlLocator locator);
TWinControl* ControlAtScreen(TPoint screen);
