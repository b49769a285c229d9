#pragma once
// Drop shadows under popups: up to six strips along the bottom and right
// edges of a popup and, where the popup hangs from a toolbar button, of the
// button, so that button and popup cast one shadow.  The geometry and the
// alpha of each strip are pure functions (ShadowStrips, FillShadowAlpha);
// TShadows shows the strips as windows behind the popup.
//
// Where the desktop composites windows on a visual with an alpha channel
// (LayeredWindowsAvailable) each strip is a layered window: black, its
// alpha fading away from the popup, seen through the shadow's opacity, so
// that the desktop darkens what lies beneath.  Elsewhere (plain X, a
// display with few colours) the strips are solid in the button shadow
// colour, at half the size.  BlendShadowStrip composites a soft strip into
// a bitmap as the desktop does.

#include "platform/gfx/Geometry.h"
#include "platform/ui/Control.h"
#include "platform/ui/LayeredWindow.h"

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
// The layered window's image of a strip: black with the strip's alpha seen
// through the opacity (0..255).
TLayeredImage ShadowImage(const TShadowStrip& strip, int opacity);
// Whether windows can be translucent pixel by pixel here: the desktop
// settings' answer (a compositing manager runs and the screen has a visual
// with an alpha channel).
bool LayeredWindowsAvailable();

// One strip as a window: it never takes the focus and the mouse passes
// through it.  A plain strip is an overlay painted in the button shadow
// colour; any other a layered window.
class TShadow : public TCustomControl {
public:
    TShadow(const TShadowStrip& strip, bool plain, int opacity);
    ~TShadow() override;
    std::string ClassName() const override { return "TShadow"; }
    const TShadowStrip& Strip() const { return strip_; }
    bool Plain() const { return plain_; }
    void CreateParams(TCreateParams& params) override;
    // Gives a layered strip its image; a plain one shows its colour.
    void Render();

protected:
    void Paint() override;

private:
    TShadowStrip strip_;
    bool plain_;
    int opacity_;
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
