#pragma once
// Drop shadows under popups: up to six strips along the bottom and right
// edges of a popup and, where the popup hangs from a toolbar button, of the
// button, so that button and popup cast one shadow.  The geometry and the
// alpha of each strip are pure functions (ShadowStrips, FillShadowAlpha);
// TShadows shows the strips as windows behind the popup.
//
// Per-pixel translucent windows need a compositing window system, which the
// platform does not offer: the windows are solid strips of the button
// shadow colour at half the size, as on a display with few colours.
// BlendShadowStrip composites the soft strip into a bitmap, which is what
// the strip looks like where translucency exists (and what tests probe).

#include "platform/gfx/Geometry.h"
#include "platform/ui/Control.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class TBitmap;

// Sides of a strip with a rounded fade: 1 its start (top or left), 2 its end.
enum : uint8_t { ssStart = 1, ssEnd = 2 };

struct TShadowStrip {
    TRect Bounds;          // screen
    bool Vertical = false; // along a right edge (else along a bottom edge)
    uint8_t Sides = 0;
    friend bool operator==(const TShadowStrip&, const TShadowStrip&) = default;
};
using TShadowStrips = std::array<std::optional<TShadowStrip>, 6>;

// The strips for a popup and the item it hangs from (cutout; empty when
// none), size pixels wide.
TShadowStrips ShadowStrips(const TRect& cutout, const TRect& popup, int size);
// The alpha of every pixel of a strip, row by row (width x height values);
// nothing is written for an empty strip.
std::vector<uint8_t> FillShadowAlpha(const TShadowStrip& strip);
// Darkens the bitmap's pixels under the strip (origin: the screen point of
// the bitmap's top-left pixel) as a black shadow of that alpha and opacity.
void BlendShadowStrip(TBitmap& target, TPoint origin, const TShadowStrip& strip, int opacity);
// Whether windows can be per-pixel translucent here (never on this platform).
bool LayeredWindowsAvailable();

// One strip as a window: it never takes the focus and the mouse passes
// through it.
class TShadow : public TCustomControl {
public:
    TShadow(const TShadowStrip& strip, bool plain, int opacity);
    ~TShadow() override;
    std::string ClassName() const override { return "TShadow"; }
    const TShadowStrip& Strip() const { return strip_; }
    bool Plain() const { return plain_; }
    void CreateParams(TCreateParams& params) override;

protected:
    void Paint() override;

private:
    TShadowStrip strip_;
    bool plain_;
};

class TShadows {
public:
    // lowColor: the strips are plain and half as wide.
    TShadows(const TRect& cutout, const TRect& popup, int size, int opacity, bool lowColor);
    ~TShadows();
    TShadows(const TShadows&) = delete;
    TShadows& operator=(const TShadows&) = delete;

    // Shows every strip directly behind the window.
    void Show(TWinControl* window);
    const std::array<std::unique_ptr<TShadow>, 6>& Strips() const { return strips_; }
    int Opacity() const { return opacity_; }

private:
    std::array<std::unique_ptr<TShadow>, 6> strips_;
    int opacity_;
};
