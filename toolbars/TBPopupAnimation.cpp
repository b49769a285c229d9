#include "toolbars/TBPopupAnimation.h"

#include "platform/gfx/Bitmap.h"
#include "platform/ui/TickSource.h"
#include "platform/ui/WindowPeer.h"
#include "toolbars/TBPopupPlacement.h"
#include "toolbars/TBPopupWindow.h"
#include "toolbars/TBScreen.h"

#include <algorithm>
#include <memory>

namespace {

constexpr uintptr_t kStepTimer = 0x955;
constexpr unsigned kStepInterval = 10;

struct TAnimation {
    TTBPopupWindow* Window = nullptr;
    unsigned Duration = 0;
    uint8_t Direction = 0;
    bool Fade = false;
    int Step = 0; // 0..255
    uint64_t Start = 0;
    TPoint Cursor;
    std::unique_ptr<TBitmap> Image;
};

TAnimation& current() {
    static TAnimation animation;
    return animation;
}

// The image's offset at the current step: what is still hidden.
TPoint offsetOf(const TAnimation& a) {
    int width = a.Image->Width(), height = a.Image->Height();
    int dx = 0, dy = 0;
    if (a.Direction & tbadSlideDown)
        dy = MulDiv(height, a.Step, 255) - height;
    else if (a.Direction & tbadSlideUp)
        dy = height - MulDiv(height, a.Step, 255);
    if (a.Direction & tbadSlideRight)
        dx = MulDiv(width, a.Step, 255) - width;
    else if (a.Direction & tbadSlideLeft)
        dx = width - MulDiv(width, a.Step, 255);
    return {dx, dy};
}

void setOpacity(TTBPopupWindow* window, int alpha) {
    if (TWindowPeer* peer = window->Peer())
        peer->SetOpacity(alpha / 255.0);
}

void applyStep(TAnimation& a) {
    if (a.Fade) {
        setOpacity(a.Window, a.Step);
        return;
    }
    TPoint offset = offsetOf(a);
    int width = a.Image->Width(), height = a.Image->Height();
    TRect visible = Rect(std::max(0, offset.X), std::max(0, offset.Y), std::min(width, width + offset.X),
                         std::min(height, height + offset.Y));
    // An empty region would show the whole window: keep one line.
    if (visible.IsEmpty())
        visible = (a.Direction & (tbadSlideDown | tbadSlideUp)) != 0
                      ? Rect(0, a.Direction & tbadSlideDown ? 0 : height - 1, width,
                             a.Direction & tbadSlideDown ? 1 : height)
                      : Rect(a.Direction & tbadSlideRight ? 0 : width - 1, 0, a.Direction & tbadSlideRight ? 1 : width,
                             height);
    a.Window->SetWindowRegion({visible});
    a.Window->Invalidate();
}

} // namespace

void StartPopupAnimation(TTBPopupWindow* window, unsigned duration, uint8_t direction, bool fade) {
    StopPopupAnimation(nullptr);
    TAnimation& a = current();
    a.Window = window;
    a.Duration = std::max(1u, duration);
    a.Direction = direction;
    a.Fade = fade;
    // A fade starts faint but visible; a slide from nothing.
    a.Step = fade ? 32 : 0;
    a.Start = GetTickCount64();
    a.Cursor = TBCursorPos();
    a.Image = std::make_unique<TBitmap>(window->Width(), window->Height());
    window->PaintTo(a.Image->Canvas());
    a.Image->Canvas().Release();
    // The window is made (hidden) before the first step, so that it shows
    // faint or clipped from the start, not whole until the next step.
    window->HandleNeeded();
    applyStep(a);
    window->Show();
    SetTimer(window, kStepTimer, kStepInterval);
}

void StopPopupAnimation(TTBPopupWindow* window) {
    TAnimation& a = current();
    if (a.Window == nullptr || (window != nullptr && a.Window != window))
        return;
    TTBPopupWindow* animated = a.Window;
    a.Window = nullptr;
    a.Image.reset();
    KillTimer(animated, kStepTimer);
    if (a.Fade)
        setOpacity(animated, 255);
    a.Fade = false;
    animated->SetWindowRegion({});
    animated->Invalidate();
    PostMessage(animated, TBM_ANIMATIONDONE);
}

bool PopupAnimating(const TTBPopupWindow* window) { return window != nullptr && current().Window == window; }

int PopupFadeAlpha(const TTBPopupWindow* window) {
    const TAnimation& a = current();
    return window != nullptr && a.Window == window && a.Fade ? a.Step : 255;
}

void PopupAnimationTimer(TTBPopupWindow* window) {
    TAnimation& a = current();
    if (a.Window != window) {
        KillTimer(window, kStepTimer);
        return;
    }
    uint64_t elapsed = GetTickCount64() - a.Start;
    int raw = MulDiv(255, static_cast<int>(std::min<uint64_t>(elapsed, 1u << 20)), static_cast<int>(a.Duration));
    int target = raw & ~15;
    // Done, or the user is in the popup already.
    TPoint cursor = TBCursorPos();
    bool cursorArrived = cursor != a.Cursor && TBWindowScreenRect(window).Contains(cursor);
    a.Cursor = cursor;
    if (target >= 255 || elapsed >= a.Duration || cursorArrived) {
        StopPopupAnimation(window);
        return;
    }
    if (target > a.Step) {
        a.Step = target;
        applyStep(a);
    }
}

bool PaintAnimatedPopup(TTBPopupWindow* window, TCanvas& canvas) {
    TAnimation& a = current();
    if (a.Window != window || !a.Image)
        return false;
    TPoint offset = a.Fade ? TPoint{0, 0} : offsetOf(a);
    canvas.Draw(offset.X, offset.Y, *a.Image);
    return true;
}
