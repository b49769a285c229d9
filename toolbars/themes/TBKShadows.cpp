#include "toolbars/themes/TBKShadows.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "toolbars/TBSystemSettings.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The alpha of a strip as it is being filled: W x H values, parts written
// through rectangles of the strip.
class TAlphaMap {
public:
    TAlphaMap(int width, int height) : width_(width), height_(height), alpha_(static_cast<size_t>(width * height)) {}
    std::vector<uint8_t> Take() { return std::move(alpha_); }

    void FadeDown(int left, int top, int w, int h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                put(left + x, top + y, 255 - (y * 256) / h);
    }
    void FadeRight(int left, int top, int w, int h) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                put(left + x, top + y, 255 - (x * 256) / w);
    }
    enum TCorner { BottomLeft, TopRight, BottomRight };
    void Corner(TCorner corner, int left, int top, int w, int h) {
        const int z = std::max(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int dx, dy;
                switch (corner) {
                case BottomLeft:
                    dy = std::abs(y + z - h);
                    dx = std::abs(x + 1 - z);
                    break;
                case TopRight:
                    dy = std::abs(y + 1 - z);
                    dx = std::abs(x + z - w);
                    break;
                default:
                    dy = std::abs(y - (h - z));
                    dx = std::abs(x + z - w);
                    break;
                }
                int v = ((std::max(dx, dy) + dx + dy) * 128) / z;
                put(left + x, top + y, v < 255 ? 255 - v : 0);
            }
    }

private:
    void put(int x, int y, int value) {
        if (x >= 0 && x < width_ && y >= 0 && y < height_)
            alpha_[static_cast<size_t>(y * width_ + x)] = static_cast<uint8_t>(std::clamp(value, 0, 255));
    }
    int width_;
    int height_;
    std::vector<uint8_t> alpha_;
};

// Start corner, middle and end corner lengths of a strip of a length with
// corners of the given size: when the corners do not fit, each takes half.
void splitStrip(int length, int corner, uint8_t sides, int& c1, int& middle, int& c2) {
    c1 = (sides & ssStart) ? corner : 0;
    c2 = (sides & ssEnd) ? corner : 0;
    middle = length - c1 - c2;
    if (middle < 0) {
        c1 = length / 2;
        middle = 0;
        c2 = length - c1;
    }
}

// A strip pixel's alpha seen through the shadow's opacity, rounded toward
// zero: what both the layered window and the composed bitmap show.
uint32_t seenAlpha(uint8_t alpha, int opacity) {
    return alpha * static_cast<uint32_t>(std::clamp(opacity, 0, 255)) / 255u;
}

} // namespace

TShadowStrips ShadowStrips(const TRect& cutout, const TRect& popup, int size) {
    TShadowStrips strips;
    const int s = size;
    auto vert = [&](int slot, TRect bounds, uint8_t sides) { strips[static_cast<size_t>(slot - 1)] = TShadowStrip{bounds, true, sides}; };
    auto horz = [&](int slot, TRect bounds, uint8_t sides) { strips[static_cast<size_t>(slot - 1)] = TShadowStrip{bounds, false, sides}; };
    const bool hasCutout = !cutout.IsEmpty(), hasPopup = !popup.IsEmpty();
    if (!hasCutout && !hasPopup)
        return strips;
    if (hasCutout != hasPopup) {
        const TRect& r = hasPopup ? popup : cutout;
        vert(1, Rect(r.Right, r.Top + s, r.Right + s, r.Bottom), ssStart);
        horz(2, Rect(r.Left + s, r.Bottom, r.Right + s, r.Bottom + s), ssStart | ssEnd);
        return strips;
    }
    TRect p = popup, c = cutout;
    if (p.Top + 2 >= c.Bottom || p.Bottom - 2 <= c.Top) {
        // One below the other: p is the lower one.
        if (p.Top < c.Top)
            std::swap(p, c);
        if (c.Left + s < p.Left)
            horz(2, Rect(c.Left + s, c.Bottom, p.Left, c.Bottom + s), ssStart);
        horz(4, Rect(p.Left + s, p.Bottom, p.Right + s, p.Bottom + s), ssStart | ssEnd);
        vert(1, Rect(c.Right, c.Top + s, c.Right + s, c.Bottom), ssStart);
        if (p.Right < c.Right)
            horz(6, Rect(p.Right, c.Bottom, c.Right + s, c.Bottom + s), ssStart | ssEnd);
        if (c.Right + s >= p.Right)
            vert(3, Rect(p.Right, p.Top + 1, p.Right + s, p.Bottom), 0);
        else
            vert(3, Rect(p.Right, p.Top + s, p.Right + s, p.Bottom), ssStart);
        return strips;
    }
    if (p.Left + 2 < c.Right && p.Right - 2 > c.Left)
        return strips; // they overlap: no shadow makes sense
    // Side by side: p is the right one.
    if (p.Left < c.Left)
        std::swap(p, c);
    if (c.Top + s < p.Top)
        vert(1, Rect(c.Right, c.Top + s, c.Right + s, p.Top), ssStart);
    vert(3, Rect(p.Right, p.Top + s, p.Right + s, p.Bottom + s), ssStart | ssEnd);
    horz(2, Rect(c.Left + s, c.Bottom, c.Right, c.Bottom + s), ssStart);
    if (p.Bottom < c.Bottom)
        vert(5, Rect(c.Right, p.Bottom, c.Right + s, c.Bottom + s), ssStart | ssEnd);
    if (c.Bottom + s < p.Bottom)
        horz(4, Rect(p.Left + s, p.Bottom, p.Right, p.Bottom + s), ssStart);
    else
        horz(4, Rect(p.Left, p.Bottom, p.Right, p.Bottom + s), 0);
    return strips;
}

std::vector<uint8_t> FillShadowAlpha(const TShadowStrip& strip) {
    const int w = strip.Bounds.Width(), h = strip.Bounds.Height();
    if (w <= 0 || h <= 0)
        return {};
    TAlphaMap map(w, h);
    int c1, m, c2;
    if (!strip.Vertical) {
        splitStrip(w, h, strip.Sides, c1, m, c2);
        if (c1 > 0)
            map.Corner(TAlphaMap::BottomLeft, 0, 0, c1, h);
        if (m > 0)
            map.FadeDown(c1, 0, m, h);
        if (c2 > 0)
            map.Corner(TAlphaMap::BottomRight, c1 + m, 0, c2, h);
    } else {
        splitStrip(h, w, strip.Sides, c1, m, c2);
        if (c1 > 0)
            map.Corner(TAlphaMap::TopRight, 0, 0, w, c1);
        if (m > 0)
            map.FadeRight(0, c1, w, m);
        if (c2 > 0)
            map.Corner(TAlphaMap::BottomRight, 0, c1 + m, w, c2);
    }
    return map.Take();
}

void BlendShadowStrip(TBitmap& target, TPoint origin, const TShadowStrip& strip, int opacity) {
    std::vector<uint8_t> alpha = FillShadowAlpha(strip);
    if (alpha.empty())
        return;
    const int w = strip.Bounds.Width(), h = strip.Bounds.Height();
    for (int y = 0; y < h; ++y) {
        int ty = strip.Bounds.Top + y - origin.Y;
        if (ty < 0 || ty >= target.Height())
            continue;
        auto* pixels = reinterpret_cast<uint32_t*>(target.ScanLine(ty));
        for (int x = 0; x < w; ++x) {
            int tx = strip.Bounds.Left + x - origin.X;
            if (tx < 0 || tx >= target.Width())
                continue;
            // A black source of alpha a x opacity over the pixel, as the
            // desktop blends a layered strip.
            uint32_t a = seenAlpha(alpha[static_cast<size_t>(y * w + x)], opacity);
            uint32_t keep = 255 - a, p = pixels[tx];
            uint32_t r = ((p >> 16) & 0xFF) * keep / 255, g = ((p >> 8) & 0xFF) * keep / 255, b = (p & 0xFF) * keep / 255;
            pixels[tx] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
}

TLayeredImage ShadowImage(const TShadowStrip& strip, int opacity) {
    TLayeredImage image;
    image.Width = std::max(strip.Bounds.Width(), 0);
    image.Height = std::max(strip.Bounds.Height(), 0);
    std::vector<uint8_t> alpha = FillShadowAlpha(strip);
    image.Pixels.reserve(alpha.size());
    // Black premultiplied by its alpha is the alpha alone.
    for (uint8_t a : alpha)
        image.Pixels.push_back(seenAlpha(a, opacity) << 24);
    return image;
}

bool LayeredWindowsAvailable() { return TBSystemSettings().LayeredWindows(); }

// ---------------------------------------------------------------------------
// TShadow and TShadows

TShadow::TShadow(const TShadowStrip& strip, bool plain, int opacity)
    : TCustomControl(nullptr), strip_(strip), plain_(plain), opacity_(opacity) {
    SetVisible(false);
    ControlStyle &= ~csCaptureMouse;
    SetColor(clBtnShadow);
    SetBounds(strip.Bounds.Left, strip.Bounds.Top, strip.Bounds.Width(), strip.Bounds.Height());
}

TShadow::~TShadow() { Destroying(); }

void TShadow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Kind = std::string(plain_ ? wk::Overlay : wk::Layered);
    params.Style &= ~WS_TABSTOP;
}

void TShadow::Render() {
    if (!plain_)
        UpdateLayeredWindow(*this, ShadowImage(strip_, opacity_));
}

// Only a plain strip paints: a layered one shows its image.
void TShadow::Paint() { Canvas().FillRect(ClientRect(), clBtnShadow); }

TShadows::TShadows(const TRect& cutout, const TRect& popup, int size, int opacity, bool lowColor)
    : opacity_(opacity) {
    const bool plain = lowColor || !LayeredWindowsAvailable();
    if (plain)
        size /= 2;
    TShadowStrips strips = ShadowStrips(cutout, popup, size);
    for (size_t i = 0; i < strips.size(); ++i)
        if (strips[i] && !strips[i]->Bounds.IsEmpty()) {
            strips_[i] = std::make_unique<TShadow>(*strips[i], plain, opacity);
            strips_[i]->Render();
        }
}

TShadows::~TShadows() {
    for (size_t i = strips_.size(); i-- > 0;)
        strips_[i].reset();
}

void TShadows::Show(TWinControl* window) {
    for (auto& strip : strips_)
        if (strip)
            strip->Show();
    if (window != nullptr)
        window->BringToFront();
}
