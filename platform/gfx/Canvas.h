#pragma once
// TCanvas: drawing on a bitmap, a window or a printer page (through QPainter
// on the platform side, platform/gfx/QtBridge.h), with the drawing model the
// program is written for: a current pen position,
// rectangles whose right and bottom edges are exclusive, pen modes and
// raster operations, text placed by alignment flags with an opaque or
// transparent background.
//
// Text is bytes, UTF-8 (the program's own text) unless a canvas is told
// that it draws the 8-bit code page (a document in it).  Each character is
// placed at the advance the text measurer gives it (one Qt draw call per
// font of an output), so widths measured by TextWidth are exactly what is
// drawn.
//
// A canvas without a device measures only: TextWidth and the metrics work,
// drawing does nothing.  The painter is begun on first use and ended by
// Release or SetDevice; the canvas keeps its own state (font, pen, brush,
// clip, origin, alignment) and re-applies it on the next begin.

#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/PenBrush.h"
#include "platform/gfx/TextMeasurer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

class TBitmap;
struct TCanvasQt;

// Raster operations of BitBlt and CopyMode (the ternary operation codes).
enum : uint32_t {
    SRCCOPY = 0x00CC0020,     // S
    SRCPAINT = 0x00EE0086,    // S or D
    SRCAND = 0x008800C6,      // S and D
    SRCINVERT = 0x00660046,   // S xor D
    SRCERASE = 0x00440328,    // S and not D
    NOTSRCCOPY = 0x00330008,  // not S
    NOTSRCERASE = 0x001100A6, // not (S or D)
    MERGECOPY = 0x00C000CA,   // S and P
    MERGEPAINT = 0x00BB0226,  // not S or D
    PATCOPY = 0x00F00021,     // P
    PATPAINT = 0x00FB0A09,    // P or not S or D
    PATINVERT = 0x005A0049,   // P xor D
    DSTINVERT = 0x00550009,   // not D
    BLACKNESS = 0x00000042,   // 0
    WHITENESS = 0x00FF0062,   // 1
};

// Text alignment flags (SetTextAlign).
enum : unsigned {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};

// Background modes (SetBkMode).
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

// ExtTextOut options.
enum : unsigned { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004 };

// DrawEdge: the edge kinds and the sides and options.
enum : unsigned {
    BDR_RAISEDOUTER = 0x0001,
    BDR_SUNKENOUTER = 0x0002,
    BDR_RAISEDINNER = 0x0004,
    BDR_SUNKENINNER = 0x0008,
    BDR_OUTER = 0x0003,
    BDR_INNER = 0x000C,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,

    BF_LEFT = 0x0001,
    BF_TOP = 0x0002,
    BF_RIGHT = 0x0004,
    BF_BOTTOM = 0x0008,
    BF_TOPLEFT = BF_TOP | BF_LEFT,
    BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_MIDDLE = 0x0800,  // fill the inside with the button face
    BF_SOFT = 0x1000,    // lighter outer highlight
    BF_ADJUST = 0x2000,  // return the rectangle left inside the edge
    BF_FLAT = 0x4000,    // a flat border of button shadow
    BF_MONO = 0x8000,    // a one-colour border of the window frame
};

// GetPixel's answer where there is no pixel.
constexpr TColor CLR_INVALID = static_cast<TColor>(0xFFFFFFFF);

// Justification of text output: extra pixels spread over the break
// characters (spaces).  Each break gets Extra div Count pixels; the
// remainder is spread by an error term that starts at remainder div 2, grows
// by the remainder at each break and gives one pixel more whenever it
// reaches Count.  The state carries from one output to the next until it is
// set again, so a line drawn in several runs is justified as a whole.
class TTextJustification {
public:
    void Set(int extra, int breakCount);
    bool Active() const { return count_ > 0; }
    // The extra pixels of the next break character.
    int NextBreak();

private:
    int count_ = 0;
    int per_ = 0;
    int remainder_ = 0;
    int error_ = 0;
};

class TCanvas {
public:
    TCanvas();
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // --- the device -------------------------------------------------------
    bool HasDevice() const;
    // Ends the painter (the device's pixels are then final); the next
    // drawing begins it again.
    void Release();
    // The device and painter, for platform code (platform/gfx/QtBridge.h).
    TCanvasQt& QtSide() const { return *qt_; }
    // Device coordinates of the canvas's (0, 0).
    TPoint Origin() const { return origin_; }
    void SetOrigin(TPoint origin);
    // The device's size, or 0 x 0.
    TSize DeviceSize() const;

    // --- drawing objects --------------------------------------------------
    TFont& Font() { return font_; }
    void SetFont(const TFont& font) { font_.Assign(&font); }
    TPen& Pen() { return pen_; }
    void SetPen(const TPen& pen) { pen_.Assign(&pen); }
    TBrush& Brush() { return brush_; }
    void SetBrush(const TBrush& brush) { brush_.Assign(&brush); }
    // The raster operation of CopyRect and Draw.
    uint32_t CopyMode = SRCCOPY;

    // --- measuring --------------------------------------------------------
    void SetMeasurer(TTextMeasurer* measurer);
    TTextMeasurer& Measurer() const;
    const TMeasuredFont& MeasuredFont();
    const TTextMetric& TextMetrics() { return MeasuredFont().Metrics(); }
    int TextWidth(std::string_view text);
    int TextHeight(std::string_view text);
    TSize TextExtent(std::string_view text);

    // --- lines and shapes -------------------------------------------------
    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { penPos_ = p; }
    void MoveTo(int x, int y) { penPos_ = {x, y}; }
    // A line from the pen position up to, not including, (x, y).
    void LineTo(int x, int y);
    void Polyline(std::span<const TPoint> points);
    void Polygon(std::span<const TPoint> points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& rect) { Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    // Fills with the brush, no outline.
    void FillRect(const TRect& rect);
    // Fills with one colour, leaving the brush (and so the text background
    // that follows it) as it is.
    void FillRect(const TRect& rect, TColor color);
    // A one-pixel border in the brush's colour.
    void FrameRect(const TRect& rect);
    // The dotted focus frame, drawn by inverting every other pixel, so that
    // drawing it twice removes it.
    void DrawFocusRect(const TRect& rect);
    void InvertRect(const TRect& rect);
    // A 3-D edge; with BF_ADJUST rect becomes the part inside the edge.
    bool DrawEdge(TRect& rect, unsigned edge, unsigned flags);
    // The grip that sizes a window: three lit and shaded diagonal ridges
    // in the bottom-right corner of rect (12 pixels of it).
    void DrawSizeGrip(const TRect& rect);
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // --- text -------------------------------------------------------------
    unsigned TextAlign() const { return textAlign_; }
    unsigned SetTextAlign(unsigned flags); // returns the previous flags
    int BkMode() {
        syncBackgroundWithBrush();
        return bkMode_;
    }
    int SetBkMode(int mode); // returns the previous mode
    TColor BkColor() {
        syncBackgroundWithBrush();
        return bkColor_;
    }
    TColor SetBkColor(TColor color); // returns the previous colour
    void SetTextJustification(int extra, int breakCount) { justification_.Set(extra, breakCount); }
    // The encoding of the text drawn and measured (UTF-8 by default).
    TTextEncoding TextEncoding() const { return textEncoding_; }
    TTextEncoding SetTextEncoding(TTextEncoding encoding); // returns the previous one
    // In UTF-8, a byte outside a valid sequence is drawn as its character
    // of the code page on this colour (clNone: on the text's background).
    TColor InvalidByteColor() const { return invalidByteColor_; }
    void SetInvalidByteColor(TColor color) { invalidByteColor_ = color; }
    // Draws with the current alignment, then moves the pen position to the
    // end of the text (x + width, y).
    void TextOut(int x, int y, std::string_view text);
    // Text clipped to rect; the rectangle is filled first unless the brush
    // is clear.
    void TextRect(const TRect& rect, int x, int y, std::string_view text);
    // The full text output: ETO_OPAQUE fills rect with the background
    // colour, ETO_CLIPPED clips to it; advances, when given, replace the
    // measured advance of each character.  With TA_UPDATECP in the
    // alignment, x and y are ignored and the pen position is used and moved.
    bool ExtTextOut(int x, int y, unsigned options, const TRect* rect, std::string_view text,
                    const int* advances = nullptr);

    // --- clipping (canvas coordinates) ----------------------------------
    // The bounding box of the area drawing can reach.
    TRect ClipRect() const;
    bool HasClip() const;
    void SetClipRect(const TRect& rect);
    void IntersectClipRect(const TRect& rect);
    void ExcludeClipRect(const TRect& rect);
    void RemoveClip();

    // --- bitmaps ----------------------------------------------------------
    void Draw(int x, int y, TBitmap& bitmap);
    void StretchDraw(const TRect& rect, TBitmap& bitmap);
    // Covers rect with copies of the bitmap laid side by side, the bitmap's
    // pixel origin (taken modulo its size) at rect's top-left corner.
    void TileDraw(const TRect& rect, const TBitmap& bitmap, TPoint origin);
    // Copies (stretching when the sizes differ) with CopyMode.
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
    // Combines a block of source pixels, the brush (the pattern) and this
    // canvas's pixels by a raster operation; false for an operation this
    // canvas can not do or a source without readable pixels.
    bool BitBlt(int x, int y, int width, int height, TCanvas* source, int sourceX, int sourceY,
                uint32_t rop);
    bool StretchBlt(const TRect& dest, TCanvas* source, const TRect& sourceRect, uint32_t rop);

private:
    friend struct TCanvasQt;
    bool penDraws() const;
    void drawSolidLine(int x1, int y1, int x2, int y2);

    std::unique_ptr<TCanvasQt> qt_;
    TPoint origin_;

    TFont font_;
    TPen pen_;
    TBrush brush_;
    uint64_t brushSeen_ = ~uint64_t{0};
    TTextMeasurer* measurer_ = nullptr;
    TMeasuredFontPtr measured_;
    TTextMeasurer* measuredBy_ = nullptr;
    uint64_t fontSeen_ = ~uint64_t{0};
    TFont measuredFace_;

    TPoint penPos_;
    unsigned textAlign_ = TA_LEFT | TA_TOP;
    int bkMode_ = OPAQUE;
    TColor bkColor_ = clWhite;
    TTextJustification justification_;
    TTextEncoding textEncoding_ = teUtf8;
    TColor invalidByteColor_ = clNone;
    void syncBackgroundWithBrush();
};
