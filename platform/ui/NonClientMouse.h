#pragma once
// The mouse over the frame of a window with a frame of its own
// (NonClientFrame.h): the frame is hit-tested by the control, and presses,
// moves and releases on it reach the control as non-client messages.
//
// - WM_NCHITTEST: LParam is the screen point; the control answers in
//   Result with a hit code (HTNOWHERE, the sizing codes below, or codes of
//   its own above HTBOTTOMRIGHT).
// - WM_NCMOUSEMOVE, WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_NCLBUTTONDBLCLK,
//   WM_NCRBUTTONDOWN, WM_NCRBUTTONUP: WParam is the hit code of the point,
//   LParam the screen point (clamped to 16 bits).
// - WM_NCMOUSELEAVE: the pointer left the frame (into the client area or
//   out of the window).
// - WM_SETCURSOR with the hit code in the low word of LParam: the control
//   may show a cursor (TWinControl::ShowCursorShape), which then shows
//   over the frame; the sizing codes show the sizing cursors when it does
//   not.
// - A top-level window of the kind wk::FloatingFramed has such a frame and
//   floats over its owner (the WndParent of its CreateParams) without the
//   window manager's frame.

#include <string_view>

enum : unsigned {
    WM_NCMOUSEMOVE = 0x00A0,
    WM_NCLBUTTONDOWN = 0x00A1,
    WM_NCLBUTTONUP = 0x00A2,
    WM_NCLBUTTONDBLCLK = 0x00A3,
    WM_NCRBUTTONDOWN = 0x00A4,
    WM_NCRBUTTONUP = 0x00A5,
    WM_NCMOUSELEAVE = 0x02A2,
};

// Hit codes of the sizing borders.
enum : int {
    HTCAPTION = 2,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
};

namespace wk {
// A top-level window with a frame of the control's own, floating over its
// owner: floating toolbar frames.
inline constexpr std::string_view FloatingFramed = "FloatingFramed";
} // namespace wk

// The cursor the sizing codes show (crDefault for other codes).
int SizingCursorOfHitCode(int hitCode);
