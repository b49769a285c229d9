#pragma once
// Windows that draw a frame of their own around their client area (framed
// groups, group boxes).  The frame is the window's non-client area: child
// windows are laid out inside the client area, never over the frame.
//
// The window asks its control for the client area with WM_NCCALCSIZE and
// has it paint the frame with WM_NCPAINT:
// - WM_NCCALCSIZE: LParam points to a TRect holding the whole window
//   (0, 0, width, height); the control narrows it to the client area.
// - WM_NCPAINT: WParam is a TCanvas* over the whole window, the client area
//   clipped out; the control paints its frame on it.
// Without a window the control answers ClientWidth/ClientHeight itself from
// the same rule (NonClientClientRect).

#include "platform/gfx/Geometry.h"

#include <string_view>

class TWinControl;

enum : unsigned { WM_NCCALCSIZE = 0x0083, WM_NCPAINT = 0x0085 };

namespace wk {
// A child window (a plain top-level one without a parent) with a frame the
// control paints, as described above.
inline constexpr std::string_view NonClientFramed = "NonClientFramed";
} // namespace wk

// What a window of that kind does besides the usual.
class TNonClientFramePeer {
public:
    virtual ~TNonClientFramePeer() = default;
    // Asks the control for its client area again and repaints the frame.
    virtual void FrameChanged() = 0;
};

// The client area a control's WM_NCCALCSIZE gives for a window of its size.
TRect NonClientClientRect(TWinControl& control);
// The frame of a control's window changed (its style, caption or font):
// the window lays out its client area anew.  Nothing without a window.
void FrameChanged(TWinControl& control);
