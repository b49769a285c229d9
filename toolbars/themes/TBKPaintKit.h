#pragma once
// Drawing steps the two themes share: fills and frames that skip clNone,
// lines and polygons in one colour, captions by the DrawText flags, the
// classic caption buttons, and the small monochrome glyph patterns.

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

class TCanvas;

// Fills rect with color; false (nothing drawn) for clNone.
bool FillIn(TCanvas& canvas, const TRect& rect, TColor color);
// A one-pixel frame in color (nothing for clNone); with shrink rect moves in
// by one pixel on every side afterwards, drawn or not.
void FrameIn(TCanvas& canvas, TRect& rect, TColor color, bool shrink);
// A line from (x1, y1) up to, not including, (x2, y2).
void LineIn(TCanvas& canvas, int x1, int y1, int x2, int y2, TColor color);
void PolylineIn(TCanvas& canvas, std::initializer_list<TPoint> points, TColor color);
void PolygonIn(TCanvas& canvas, std::initializer_list<TPoint> points, TColor color);
// The 8 x 8 checkerboard of two colours.
void FillDithered(TCanvas& canvas, const TRect& rect, TColor a, TColor b);
// A caption in color with a clear background (rotated: reading downward).
void DrawCaptionIn(TCanvas& canvas, const TRect& rect, const std::string& caption, unsigned format, bool rotated,
                   TColor color);
// A caption button of the classic look: raised (sunken when pushed), its
// face in the button colour and the glyph of kind (0 close, 1 minimise,
// 2 maximise, 3 restore) in the button text colour.
void DrawCaptionButton(TCanvas& canvas, const TRect& rect, int kind, bool pushed);
// The 16 x 16 window-button glyph of kind painted in color, centred in rect.
void PaintWindowGlyph(TCanvas& canvas, const TRect& rect, int kind, TColor color);

// Monochrome patterns, a byte per row, bit 7 leftmost.
inline constexpr std::array<uint8_t, 5> kChevronHorizontal = {0xCC, 0x66, 0x33, 0x66, 0xCC};
inline constexpr std::array<uint8_t, 8> kChevronVertical = {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};
inline constexpr std::array<uint8_t, 8> kCloseCross = {0, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0, 0};
inline constexpr std::array<uint8_t, 6> kPanelCloseCross = {0xC6, 0x6C, 0x38, 0x38, 0x6C, 0xC6};
inline constexpr std::array<uint8_t, 7> kToolbarCloseCross = {0xC3, 0x66, 0x3C, 0x18, 0x3C, 0x66, 0xC3};

class TFont;
// The font of small (tool-window) captions.
TFont SmallCaptionFont();
// A caption of a tool window or panel: the small-caption font, one line,
// vertically centred, cut with an ellipsis, access-key markers hidden.
void DrawSmallCaption(TCanvas& canvas, const TRect& rect, const std::string& caption, TColor color);

// Keeps drawing out of a rectangle (a frame painter leaving the client area
// alone) until it goes out of scope, which puts the clip back.
class TExcludedClip {
public:
    TExcludedClip(TCanvas& canvas, const TRect& excluded);
    ~TExcludedClip();
    TExcludedClip(const TExcludedClip&) = delete;
    TExcludedClip& operator=(const TExcludedClip&) = delete;

private:
    TCanvas& canvas_;
    bool hadClip_;
    TRect oldClip_;
};
