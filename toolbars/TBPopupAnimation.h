#pragma once
// The show animation of popup menus: a new popup slides in from the side
// of the item that opened it, or fades in.  An image of the popup is taken
// before it shows; at each step of a slide the window's visible region
// grows and the image is painted moved by what is still hidden; at each
// step of a fade the window becomes less translucent.  Steps are paced by
// a timer on the program's clock (TickSource.h), so that they follow a
// manual clock in tests.  One animation runs at a time; moving the mouse
// into the popup completes it at once.  Only a desktop that composites
// windows draws them translucent: without one a popup that would fade
// slides instead (the caller decides).

#include "platform/ui/Message.h"

#include <cstdint>

class TCanvas;
class TTBPopupWindow;

// Messages of the animation to its popup.
enum : unsigned {
    TBM_ANIMATIONSTEP = 0x955,        // a step timer fired (the timer id)
    TBM_ANIMATIONDONE = 0x956,        // the animation has ended
    TBM_ANIMATIONNOTICE = WM_USER + 0x12A, // to the popup: 1 may it animate (non-zero: no), 2 done, 3 shown at once
};

constexpr unsigned kPopupAnimationMilliseconds = 150;

// Shows the window, fading in or sliding in from the given directions
// (TBPopupPlacement.h bits); any running animation ends first.
void StartPopupAnimation(TTBPopupWindow* window, unsigned duration, uint8_t direction, bool fade = false);
// Ends the animation of that window (nullptr: any), leaving it fully shown.
void StopPopupAnimation(TTBPopupWindow* window);
bool PopupAnimating(const TTBPopupWindow* window);
// How opaque a fading window is drawn now, 0..255 (255 when it is not
// fading).
int PopupFadeAlpha(const TTBPopupWindow* window);
// A timer of the animation fired on its window.
void PopupAnimationTimer(TTBPopupWindow* window);
// Paints the animating window's image where it is now; false when the
// window is not animating.
bool PaintAnimatedPopup(TTBPopupWindow* window, TCanvas& canvas);
