#include "toolbars/themes/TBKPaintKit.h"

#include "platform/gfx/Canvas.h"
#include "toolbars/TBDrawText.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/TBSystemSettings.h"
#include "toolbars/themes/TBKGlyphs.h"

#include <vector>

namespace {

// 16 x 16 window-button glyphs, one 16-bit word per row, bit 15 leftmost.
using TWindowGlyph = std::array<uint16_t, 16>;
constexpr TWindowGlyph kWindowClose = {0, 0, 0, 0, 0x0C30, 0x0660, 0x03C0, 0x0180,
                                      0x03C0, 0x0660, 0x0C30, 0, 0, 0, 0, 0};
constexpr TWindowGlyph kWindowMaximise = {0, 0, 0, 0x1FF8, 0x1FF8, 0x1008, 0x1008, 0x1008,
                                         0x1008, 0x1008, 0x1008, 0x1FF8, 0, 0, 0, 0};
constexpr TWindowGlyph kWindowMinimise = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0FC0, 0x0FC0, 0, 0, 0, 0};
constexpr TWindowGlyph kWindowRestore = {0, 0, 0, 0x07F0, 0x07F0, 0x0410, 0x1FD0, 0x1FD0,
                                        0x1050, 0x1070, 0x1040, 0x1FC0, 0, 0, 0, 0};

} // namespace

bool FillIn(TCanvas& canvas, const TRect& rect, TColor color) {
    if (color == clNone)
        return false;
    canvas.FillRect(rect, color);
    return true;
}

void FrameIn(TCanvas& canvas, TRect& rect, TColor color, bool shrink) {
    if (color != clNone)
        FrameInColor(canvas, rect, color);
    if (shrink)
        InflateRect(rect, -1, -1);
}

void LineIn(TCanvas& canvas, int x1, int y1, int x2, int y2, TColor color) {
    TTBGlyphColors ink(canvas, color);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

void PolylineIn(TCanvas& canvas, std::initializer_list<TPoint> points, TColor color) {
    TTBGlyphColors ink(canvas, color);
    std::vector<TPoint> list(points);
    canvas.Polyline(list);
}

void PolygonIn(TCanvas& canvas, std::initializer_list<TPoint> points, TColor color) {
    TTBGlyphColors ink(canvas, color);
    std::vector<TPoint> list(points);
    canvas.Polygon(list);
}

void DrawCaptionIn(TCanvas& canvas, const TRect& rect, const std::string& caption, unsigned format, bool rotated,
                   TColor color) {
    TColor old = canvas.Font().Color();
    canvas.Font().SetColor(color);
    int oldMode = canvas.SetBkMode(TRANSPARENT);
    TRect r = rect;
    if (rotated)
        TBDrawRotatedText(canvas, caption, r, format);
    else
        TBDrawText(canvas, caption, r, format);
    canvas.SetBkMode(oldMode);
    canvas.Font().SetColor(old);
}

void DrawCaptionButton(TCanvas& canvas, const TRect& rect, int kind, bool pushed) {
    TRect r = rect;
    canvas.DrawEdge(r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    if (pushed)
        OffsetRect(r, 1, 1);
    PaintWindowGlyph(canvas, r, kind, clBtnText);
}

void PaintWindowGlyph(TCanvas& canvas, const TRect& rect, int kind, TColor color) {
    const TWindowGlyph* glyph = kind == 0 ? &kWindowClose
                                : kind == 1 ? &kWindowMinimise
                                : kind == 2 ? &kWindowMaximise
                                            : &kWindowRestore;
    int x = rect.Left + (rect.Width() - 16) / 2, y = rect.Top + (rect.Height() - 16) / 2;
    PaintMask(canvas, x, y, 16, 16, [glyph](int column, int line) { return ((*glyph)[line] >> (15 - column)) & 1; },
              color);
}

TFont SmallCaptionFont() {
    TFont font = TBSystemSettings().MenuFont();
    font.SetStyle(font.Style() | fsBold);
    return font;
}

void DrawSmallCaption(TCanvas& canvas, const TRect& rect, const std::string& caption, TColor color) {
    TFont old;
    old.Assign(&canvas.Font());
    canvas.SetFont(SmallCaptionFont());
    DrawCaptionIn(canvas, rect, caption, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, false, color);
    canvas.SetFont(old);
}

TExcludedClip::TExcludedClip(TCanvas& canvas, const TRect& excluded)
    : canvas_(canvas), hadClip_(canvas.HasClip()), oldClip_(canvas.ClipRect()) {
    canvas.ExcludeClipRect(excluded);
}

TExcludedClip::~TExcludedClip() {
    if (hadClip_)
        canvas_.SetClipRect(oldClip_);
    else
        canvas_.RemoveClip();
}
