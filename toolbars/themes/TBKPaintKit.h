#pragma once
// Drawing steps the two themes share: fills and frames that skip clNone,
// lines and polygons in one colour, captions by the DrawText flags and the
// classic caption buttons.

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"
#include "toolbars/TBGlyphs.h"

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
// A caption in color with a clear background (rotated: reading downward).
void DrawCaptionIn(TCanvas& canvas, const TRect& rect, const std::string& caption, unsigned format, bool rotated,
                   TColor color);
// A caption button of the classic look: raised (sunken when pushed), its
// face in the button colour and the glyph of kind (0 close, 1 minimise,
// 2 maximise, 3 restore) in the button text colour.
void DrawCaptionButton(TCanvas& canvas, const TRect& rect, int kind, bool pushed);
// The 16 x 16 window-button glyph of kind painted in color, centred in rect.
void PaintWindowGlyph(TCanvas& canvas, const TRect& rect, int kind, TColor color);

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
