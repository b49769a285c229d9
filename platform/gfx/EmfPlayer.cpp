#include "platform/gfx/EmfPlayer.h"

#include "platform/base/Stream.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/MetafileFormat.h"
#include "platform/gfx/QtBridge.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// The header record: its type, the bounds of what it draws in the
// reference device's pixels, the frame in hundredths of a millimetre, the
// signature " EMF", the file's length, its record and handle counts, and
// the reference device's size in pixels and millimetres (and, in longer
// headers, in micrometres).
constexpr size_t kHeaderSize = 88;
constexpr uint32_t kHeaderType = 1;
constexpr uint32_t kSignature = 0x464D4520;
constexpr double kHundredthsPerInch = 2540;

// Record types.
enum : uint32_t {
    kPolyBezier = 2, kPolygon = 3, kPolyline = 4, kPolyBezierTo = 5, kPolylineTo = 6, kPolyPolyline = 7,
    kPolyPolygon = 8, kSetWindowExt = 9, kSetWindowOrg = 10, kSetViewportExt = 11, kSetViewportOrg = 12,
    kSetBrushOrg = 13, kEndOfFile = 14, kSetPixel = 15, kSetMapMode = 17, kSetBkMode = 18,
    kSetPolyFillMode = 19, kSetRop2 = 20, kSetStretchBltMode = 21, kSetTextAlign = 22, kSetTextColor = 24, kSetBkColor = 25,
    kOffsetClipRegion = 26, kMoveTo = 27, kSetMetaRegion = 28, kExcludeClipRect = 29, kIntersectClipRect = 30,
    kScaleViewportExt = 31, kScaleWindowExt = 32, kSaveDC = 33, kRestoreDC = 34, kSetWorldTransform = 35,
    kModifyWorldTransform = 36, kSelectObject = 37, kCreatePen = 38, kCreateBrush = 39, kDeleteObject = 40,
    kAngleArc = 41, kEllipse = 42, kRectangle = 43, kRoundRect = 44, kArc = 45, kChord = 46, kPie = 47,
    kLineTo = 54, kArcTo = 55, kPolyDraw = 56, kSetArcDirection = 57, kBeginPath = 59, kEndPath = 60,
    kCloseFigure = 61, kFillPath = 62, kStrokeAndFillPath = 63, kStrokePath = 64, kSelectClipPath = 67,
    kAbortPath = 68, kFillRegion = 71, kPaintRegion = 74, kExtSelectClipRegion = 75, kBitBlt = 76,
    kStretchBlt = 77, kSetDIBitsToDevice = 80, kStretchDIBits = 81, kCreateFont = 82, kExtTextOutA = 83,
    kExtTextOutW = 84, kPolyBezier16 = 85, kPolygon16 = 86, kPolyline16 = 87, kPolyBezierTo16 = 88,
    kPolylineTo16 = 89, kPolyPolyline16 = 90, kPolyPolygon16 = 91, kPolyDraw16 = 92, kCreateMonoBrush = 93,
    kCreateDibPatternBrush = 94, kExtCreatePen = 95, kSmallTextOut = 108, kAlphaBlend = 114,
    kTransparentBlt = 116, kGradientFill = 118,
};

// Mapping modes.
enum : int { kText = 1, kLoMetric, kHiMetric, kLoEnglish, kHiEnglish, kTwips, kIsotropic, kAnisotropic };
// Brush styles.
enum : uint32_t { kSolid = 0, kNullBrush = 1, kHatched = 2, kPattern = 3, kDibPattern = 5, kDibPatternPt = 6 };
// Region operations.
enum : uint32_t { kAnd = 1, kOr = 2, kXorRegion = 3, kDiff = 4, kCopy = 5 };
// Text alignment and options.
enum : uint32_t {
    kUpdateCurrent = 1, kAlignRight = 2, kAlignCentre = 6, kAlignBottom = 8, kAlignBaseline = 24,
    kOpaque = 2, kClipped = 4, kNoRect = 0x100, kSmallChars = 0x200, kPairsOfDx = 0x2000,
};
constexpr int kOpaqueMode = 2;
constexpr uint32_t kStockObject = 0x80000000;
constexpr uint32_t kGeometricPen = 0x10000;
// Text is shaped at this size and scaled to the metafile's.
constexpr int kShapingSize = 256;

// One record's bytes: every read is checked against them, and one past
// them means the file is damaged.
class TRecord {
public:
    explicit TRecord(std::string_view bytes) : bytes_(bytes) {}
    uint32_t Type() const { return LoadLittleEndian<uint32_t>(bytes_.data()); }
    size_t Size() const { return bytes_.size(); }
    template <class TNumber> TNumber At(size_t offset) const {
        check(offset, sizeof(TNumber));
        return LoadLittleEndian<TNumber>(bytes_.data() + offset);
    }
    int32_t Int(size_t offset) const { return At<int32_t>(offset); }
    uint32_t Unsigned(size_t offset) const { return At<uint32_t>(offset); }
    double Float(size_t offset) const { return double(std::bit_cast<float>(At<uint32_t>(offset))); }
    QPointF Point(size_t offset) const { return QPointF(Int(offset), Int(offset + 4)); }
    QPointF Point16(size_t offset) const { return QPointF(At<int16_t>(offset), At<int16_t>(offset + 2)); }
    // A rectangle given by its edges, both included.
    QRectF Box(size_t offset) const { return QRectF(Point(offset), Point(offset + 8)); }
    QColor Colour(size_t offset) const {
        check(offset, 4);
        const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + offset);
        return QColor(p[0], p[1], p[2]);
    }
    QTransform Transform(size_t offset) const {
        return QTransform(Float(offset), Float(offset + 4), Float(offset + 8), Float(offset + 12), Float(offset + 16),
                          Float(offset + 20));
    }
    std::string_view Bytes(size_t offset, size_t length) const {
        check(offset, length);
        return bytes_.substr(offset, length);
    }

private:
    void check(size_t offset, size_t length) const {
        if (offset > bytes_.size() || length > bytes_.size() - offset)
            InvalidMetafile();
    }
    std::string_view bytes_;
};

// What a record's values become once finite: a damaged file's values are
// kept from turning into infinities and not-a-numbers on the way.
bool finite(const QTransform& t) {
    for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()})
        if (!std::isfinite(v) || std::abs(v) > 1e12)
            return false;
    return true;
}

struct TBrushObject {
    uint32_t Style = kSolid;
    QColor Colour = Qt::white;
    unsigned Hatch = 0;
    QImage Pattern;
    // A two-colour pattern takes the text and background colours.
    bool Monochrome = false;
};

struct TPenObject {
    unsigned Style = 0;
    double Width = 0; // logical units; 0 for one device pixel
    bool Cosmetic = true;
    QColor Colour = Qt::black;
    std::vector<qreal> Dashes; // logical units, for a style of the file's own
    // What a wide pen paints with, when not its colour.
    std::optional<TBrushObject> Brush;
};

struct TFontObject {
    int Height = 0, Width = 0, Escapement = 0, Weight = 400;
    bool Italic = false, Underline = false, StrikeOut = false;
    int CharSet = 0;
    // The pitch and family: what kind of face stands in for one the
    // machine lacks.
    int PitchAndFamily = 0;
    QString Face;
};

struct TObject {
    enum { None, Pen, Brush, Font, Other } Kind = None;
    TPenObject PenValue;
    TBrushObject BrushValue;
    TFontObject FontValue;
};

// The device context: what SaveDC keeps and RestoreDC brings back.
struct TState {
    int MapMode = kText;
    QPointF WindowOrg, ViewportOrg;
    QSizeF WindowExt{1, 1}, ViewportExt{1, 1};
    QTransform World;
    TPenObject Pen;
    TBrushObject Brush;
    TFontObject Font;
    QColor TextColour = Qt::black, BkColour = Qt::white;
    int BkMode = kOpaqueMode;
    Qt::FillRule FillRule = Qt::OddEvenFill;
    int Rop2 = 13;
    // Stretched bitmaps are smoothed in the halftone mode alone: the others
    // repeat or drop pixels.
    bool Halftone = false;
    uint32_t TextAlign = 0;
    bool Clockwise = false;
    QPointF Current; // logical
    QPointF BrushOrg;
    // In device pixels; none for the whole surface.
    std::optional<QPainterPath> Clip, Meta;
};

// Glyph outlines of one face, made once.
struct TFace {
    QRawFont Raw;
    QFont Font;
    QHash<quint32, QPainterPath> Glyphs;
};

class TPlayer {
public:
    TPlayer(std::string_view data, QPainter& painter, QSizeF pixelsPerMm)
        : data_(data), painter_(painter), pixelsPerMmX_(pixelsPerMm.width()), pixelsPerMmY_(pixelsPerMm.height()) {}
    void Play();

private:
    void record(const TRecord& r);

    // The mapping from logical units to device pixels.
    QTransform pageTransform() const;
    QTransform toDevice() const { return state_.World * pageTransform(); }
    void setMapMode(int mode);
    void fixPage();

    void applyClip();
    void combineClip(const QPainterPath& region, uint32_t mode);
    QPainterPath regionOf(const TRecord& r, size_t offset, size_t length) const;

    QPen pen() const;
    QBrush brushOf(const TBrushObject& brush, bool& background) const;
    void fill(const QPainterPath& devicePath, const TBrushObject& brush);
    void stroke(const QPainterPath& devicePath);
    // A shape in logical units: into the path being made, else drawn.
    void shape(const QPainterPath& logical, bool filled, bool closed);
    void lineFromCurrent(const QPainterPath& logical);

    std::vector<QPointF> points(const TRecord& r, size_t offset, size_t count, bool small) const;
    void polyRecord(const TRecord& r, bool small);
    void polyPolyRecord(const TRecord& r, bool small);
    void polyDraw(const TRecord& r, bool small);
    void arcRecord(const TRecord& r);

    void createPen(const TRecord& r, bool extended);
    void createBrush(const TRecord& r);
    void createPatternBrush(const TRecord& r, bool monochrome);
    void createFont(const TRecord& r);
    void selectObject(uint32_t index);
    TObject* object(uint32_t index);

    void bitmapRecord(const TRecord& r);
    void drawBitmap(QImage image, const QRectF& source, const QTransform& place, uint32_t rop, double opacity);
    void patternBlit(const QPolygonF& area, uint32_t rop);
    void gradientFill(const TRecord& r);

    void textRecord(const TRecord& r);
    void drawText(QPointF reference, const QString& text, const std::vector<double>& dx, uint32_t options,
                  std::optional<QRectF> box);
    TFace& face(const TFontObject& font);

    std::string_view data_;
    QPainter& painter_;
    TState state_;
    std::vector<TState> saved_;
    std::vector<TObject> objects_;
    QHash<QString, TFace> faces_;
    // The reference device's pixels to the millimetre.
    double pixelsPerMmX_, pixelsPerMmY_;
    // Device pixels to a pixel of the picture at its own size.
    double devicePerOwn_ = 1;
    bool inPath_ = false;
    QPainterPath path_; // device pixels
};


// ---- mapping ----

QTransform TPlayer::pageTransform() const {
    const TState& s = state_;
    double sx = 1, sy = 1;
    switch (s.MapMode) {
    case kLoMetric: sx = pixelsPerMmX_ / 10, sy = -pixelsPerMmY_ / 10; break;
    case kHiMetric: sx = pixelsPerMmX_ / 100, sy = -pixelsPerMmY_ / 100; break;
    case kLoEnglish: sx = pixelsPerMmX_ * 0.254, sy = -pixelsPerMmY_ * 0.254; break;
    case kHiEnglish: sx = pixelsPerMmX_ * 0.0254, sy = -pixelsPerMmY_ * 0.0254; break;
    case kTwips: sx = pixelsPerMmX_ * 25.4 / 1440, sy = -pixelsPerMmY_ * 25.4 / 1440; break;
    case kIsotropic:
    case kAnisotropic:
        sx = s.ViewportExt.width() / s.WindowExt.width();
        sy = s.ViewportExt.height() / s.WindowExt.height();
        if (s.MapMode == kIsotropic) {
            // The same scale both ways: the smaller.
            const double both = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(both, sx), sy = std::copysign(both, sy);
        }
        break;
    default: break;
    }
    return QTransform(sx, 0, 0, sy, s.ViewportOrg.x() - s.WindowOrg.x() * sx, s.ViewportOrg.y() - s.WindowOrg.y() * sy);
}

void TPlayer::setMapMode(int mode) {
    if (mode < kText || mode > kAnisotropic)
        return;
    state_.MapMode = mode;
    if (mode == kIsotropic) {
        // Starts from the extents of tenths of a millimetre.
        state_.WindowExt = QSizeF(10, 10);
        state_.ViewportExt = QSizeF(pixelsPerMmX_, -pixelsPerMmY_);
    } else if (mode != kAnisotropic) {
        state_.WindowExt = state_.ViewportExt = QSizeF(1, 1);
    }
}

// ---- clipping ----

void TPlayer::applyClip() {
    std::optional<QPainterPath> clip = state_.Clip;
    if (state_.Meta)
        clip = clip ? clip->intersected(*state_.Meta) : *state_.Meta;
    if (clip)
        painter_.setClipPath(*clip);
    else
        painter_.setClipping(false);
}

void TPlayer::combineClip(const QPainterPath& region, uint32_t mode) {
    std::optional<QPainterPath>& clip = state_.Clip;
    switch (mode) {
    case kAnd: clip = clip ? clip->intersected(region) : region; break;
    case kOr:
        if (clip)
            clip = clip->united(region);
        break;
    case kXorRegion:
        if (clip)
            clip = clip->united(region).subtracted(clip->intersected(region));
        break;
    case kDiff:
        if (clip) {
            clip = clip->subtracted(region);
        } else {
            // The whole surface less the region.
            QPainterPath everything;
            everything.addRect(QRectF(-1e7, -1e7, 2e7, 2e7));
            clip = everything.subtracted(region);
        }
        break;
    case kCopy: clip = region; break;
    default: return;
    }
    applyClip();
}

// A region's rectangles (device pixels for a clip, logical units for a
// fill): a header of 32 bytes, then the rectangles.
QPainterPath TPlayer::regionOf(const TRecord& r, size_t offset, size_t length) const {
    QPainterPath region;
    if (length < 32)
        return region;
    const uint32_t count = r.Unsigned(offset + 8);
    if (count > (length - 32) / 16)
        InvalidMetafile();
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = offset + 32 + 16 * size_t(i);
        region.addRect(QRectF(r.Point(at), r.Point(at + 8)).normalized());
    }
    region.setFillRule(Qt::WindingFill);
    return region.simplified();
}

// ---- pens, brushes, shapes ----

QPen TPlayer::pen() const {
    const TPenObject& p = state_.Pen;
    const double scale = std::sqrt(std::abs(toDevice().determinant()));
    // A pen thinner than a pixel of the picture at its own size is a pixel
    // wide at any size (0), as a screen draws it at least a pixel wide.
    const double wide = p.Cosmetic ? 0 : p.Width * scale;
    const double width = wide < devicePerOwn_ ? 0 : wide;
    QPen result = MetafilePen(p.Style, p.Colour, width);
    if (p.Brush && result.style() != Qt::NoPen) {
        bool background = false;
        result.setBrush(brushOf(*p.Brush, background));
    }
    if (!p.Dashes.empty() && result.style() != Qt::NoPen) {
        QList<qreal> dashes;
        for (qreal d : p.Dashes)
            dashes.push_back(std::max(width > 0 ? d * scale / width : d, 0.1));
        if (dashes.size() % 2)
            dashes.push_back(dashes.back());
        result.setDashPattern(dashes);
    }
    return result;
}

QBrush TPlayer::brushOf(const TBrushObject& brush, bool& background) const {
    background = false;
    // Patterns lie in pixels of the picture at its own size, from the
    // brush origin, as a screen draws them.
    const QTransform place = QTransform::fromTranslate(state_.BrushOrg.x(), state_.BrushOrg.y()).scale(devicePerOwn_,
                                                                                                      devicePerOwn_);
    switch (brush.Style) {
    case kNullBrush: return Qt::NoBrush;
    case kHatched: {
        // Beyond the six hatches: solid in the brush's, the text's or the
        // background colour.
        if (brush.Hatch >= 6 && brush.Hatch < 12)
            return brush.Hatch < 8 ? brush.Colour : brush.Hatch < 10 ? state_.TextColour : state_.BkColour;
        background = state_.BkMode == kOpaqueMode;
        QBrush hatch(brush.Colour, MetafileHatch(brush.Hatch));
        hatch.setTransform(place);
        return hatch;
    }
    case kPattern:
    case kDibPattern:
    case kDibPatternPt: {
        if (brush.Pattern.isNull())
            return brush.Colour;
        QImage tile = brush.Pattern;
        if (brush.Monochrome && tile.colorCount() == 2) {
            // The bits that are 0 take the text colour, those that are 1
            // the background colour.
            tile.setColor(0, state_.TextColour.rgb());
            tile.setColor(1, state_.BkColour.rgb());
        }
        QBrush tiles(tile);
        tiles.setTransform(place);
        return tiles;
    }
    default: return brush.Colour;
    }
}

void TPlayer::fill(const QPainterPath& devicePath, const TBrushObject& brush) {
    bool background = false;
    const QBrush b = brushOf(brush, background);
    if (b.style() == Qt::NoBrush || !MetafileMixDraws(state_.Rop2))
        return;
    painter_.setCompositionMode(MetafileMix(state_.Rop2));
    if (background)
        painter_.fillPath(devicePath, state_.BkColour);
    painter_.fillPath(devicePath, b);
}

void TPlayer::stroke(const QPainterPath& devicePath) {
    const QPen p = pen();
    if (p.style() == Qt::NoPen || !MetafileMixDraws(state_.Rop2))
        return;
    painter_.setCompositionMode(MetafileMix(state_.Rop2));
    painter_.strokePath(devicePath, p);
}

void TPlayer::shape(const QPainterPath& logical, bool filled, bool closed) {
    QPainterPath device = toDevice().map(logical);
    if (inPath_) {
        path_.addPath(device);
        if (closed)
            path_.closeSubpath();
        return;
    }
    device.setFillRule(state_.FillRule);
    if (filled)
        fill(device, state_.Brush);
    stroke(device);
}

// Lines and curves from the current position (LineTo, PolylineTo, ...):
// within a path they continue its figure.
void TPlayer::lineFromCurrent(const QPainterPath& logical) {
    const QTransform device = toDevice();
    if (inPath_) {
        if (path_.elementCount() == 0)
            path_.moveTo(device.map(state_.Current));
        for (int i = 1; i < logical.elementCount(); ++i) {
            const QPainterPath::Element& e = logical.elementAt(i);
            if (e.type == QPainterPath::CurveToElement) {
                path_.cubicTo(device.map(QPointF(e)), device.map(QPointF(logical.elementAt(i + 1))),
                              device.map(QPointF(logical.elementAt(i + 2))));
                i += 2;
            } else if (e.type == QPainterPath::LineToElement) {
                path_.lineTo(device.map(QPointF(e)));
            }
        }
    } else {
        stroke(device.map(logical));
    }
    if (logical.elementCount() > 0)
        state_.Current = logical.currentPosition();
}

std::vector<QPointF> TPlayer::points(const TRecord& r, size_t offset, size_t count, bool small) const {
    const size_t each = small ? 4 : 8;
    if (count > (r.Size() - std::min(offset, r.Size())) / each)
        InvalidMetafile();
    std::vector<QPointF> result;
    result.reserve(count);
    for (size_t i = 0; i < count; ++i)
        result.push_back(small ? r.Point16(offset + each * i) : r.Point(offset + each * i));
    return result;
}

// Polygon, Polyline, PolyBezier and their "To" and 16-bit kinds: the
// bounds, a count and the points.
void TPlayer::polyRecord(const TRecord& r, bool small) {
    const uint32_t type = r.Type();
    const uint32_t count = r.Unsigned(24);
    const std::vector<QPointF> p = points(r, 28, count, small);
    const auto is = [&](uint32_t a, uint32_t b) { return type == a || type == b; };
    QPainterPath path;
    if (is(kPolylineTo, kPolylineTo16) || is(kPolyBezierTo, kPolyBezierTo16)) {
        path.moveTo(state_.Current);
        if (is(kPolylineTo, kPolylineTo16)) {
            for (const QPointF& q : p)
                path.lineTo(q);
        } else {
            for (size_t i = 0; i + 2 < p.size(); i += 3)
                path.cubicTo(p[i], p[i + 1], p[i + 2]);
        }
        lineFromCurrent(path);
        return;
    }
    if (p.empty())
        return;
    path.moveTo(p[0]);
    if (is(kPolyBezier, kPolyBezier16)) {
        for (size_t i = 1; i + 2 < p.size(); i += 3)
            path.cubicTo(p[i], p[i + 1], p[i + 2]);
    } else {
        for (size_t i = 1; i < p.size(); ++i)
            path.lineTo(p[i]);
    }
    const bool polygon = is(kPolygon, kPolygon16);
    if (polygon)
        path.closeSubpath();
    shape(path, polygon, polygon);
}

// PolyPolygon and PolyPolyline: the bounds, the figures' count, the points'
// count, each figure's count, then the points.
void TPlayer::polyPolyRecord(const TRecord& r, bool small) {
    const uint32_t figures = r.Unsigned(24);
    const uint32_t total = r.Unsigned(28);
    if (figures > r.Size() / 4)
        InvalidMetafile();
    const std::vector<QPointF> p = points(r, 32 + 4 * size_t(figures), total, small);
    const bool polygon = r.Type() == kPolyPolygon || r.Type() == kPolyPolygon16;
    QPainterPath path;
    size_t at = 0;
    for (uint32_t f = 0; f < figures; ++f) {
        const uint32_t count = r.Unsigned(32 + 4 * size_t(f));
        if (count > p.size() - at)
            InvalidMetafile();
        for (uint32_t i = 0; i < count; ++i)
            i == 0 ? path.moveTo(p[at + i]) : path.lineTo(p[at + i]);
        if (polygon && count > 0)
            path.closeSubpath();
        at += count;
    }
    shape(path, polygon, false);
}

// PolyDraw: points, then a byte for each saying how it joins the figure.
void TPlayer::polyDraw(const TRecord& r, bool small) {
    const uint32_t count = r.Unsigned(24);
    const std::vector<QPointF> p = points(r, 28, count, small);
    const std::string_view kinds = r.Bytes(28 + (small ? 4 : 8) * size_t(count), count);
    QPainterPath path;
    path.moveTo(state_.Current);
    for (size_t i = 0; i < p.size(); ++i) {
        const int kind = uint8_t(kinds[i]);
        if ((kind & 6) == 6) { // move
            path.moveTo(p[i]);
        } else if ((kind & 6) == 4 && i + 2 < p.size()) { // curve
            path.cubicTo(p[i], p[i + 1], p[i + 2]);
            i += 2;
        } else {
            path.lineTo(p[i]);
        }
        if (kind & 1)
            path.closeSubpath();
    }
    shape(path, false, false);
    state_.Current = path.currentPosition();
}

// Arc, Chord, Pie and ArcTo: the box, then the points whose directions
// from the centre start and end the arc.
void TPlayer::arcRecord(const TRecord& r) {
    const QRectF box = r.Box(8).normalized();
    const QPointF start = r.Point(24), end = r.Point(32);
    // The arc direction holds on the screen: a mapping that mirrors turns
    // it in logical units.
    const bool clockwise = state_.Clockwise != (toDevice().determinant() < 0);
    QPainterPath path;
    switch (r.Type()) {
    case kArcTo:
        path.moveTo(state_.Current);
        AddMetafileArc(path, box, start, end, clockwise, false, true);
        lineFromCurrent(path);
        return;
    case kPie:
        AddMetafileArc(path, box, start, end, clockwise, true);
        path.closeSubpath();
        shape(path, true, true);
        return;
    case kChord:
        AddMetafileArc(path, box, start, end, clockwise, false);
        path.closeSubpath();
        shape(path, true, true);
        return;
    default: AddMetafileArc(path, box, start, end, clockwise, false); shape(path, false, false);
    }
}

// ---- objects ----

TObject* TPlayer::object(uint32_t index) {
    return index > 0 && index < objects_.size() ? &objects_[index] : nullptr;
}

void TPlayer::createPen(const TRecord& r, bool extended) {
    TObject* o = object(r.Unsigned(8));
    if (!o)
        return;
    TPenObject pen;
    if (extended) {
        // The pen's own bitmap (offsets and lengths), then the pen: style,
        // width, brush style, colour, hatch, and the style's dashes.
        pen.Style = r.Unsigned(28);
        pen.Cosmetic = (pen.Style & kGeometricPen) == 0;
        pen.Width = pen.Cosmetic ? 0 : r.Unsigned(32);
        pen.Colour = r.Colour(40);
        const uint32_t brushStyle = r.Unsigned(36);
        if (brushStyle == kNullBrush)
            pen.Style = (pen.Style & ~0xFu) | 5;
        else if (brushStyle == kHatched)
            pen.Brush = TBrushObject{kHatched, pen.Colour, r.Unsigned(44), {}, false};
        else if (brushStyle == kDibPattern || brushStyle == kDibPatternPt)
            pen.Brush = TBrushObject{kDibPatternPt, pen.Colour, 0,
                                     MetafileBitmapImage(r.Bytes(r.Unsigned(12), r.Unsigned(16)),
                                                         r.Bytes(r.Unsigned(20), r.Unsigned(24))),
                                     false};
        const uint32_t entries = r.Unsigned(48);
        if (entries > (r.Size() - 52) / 4)
            InvalidMetafile();
        if ((pen.Style & 0xF) == 7) { // the file's own dashes
            for (uint32_t i = 0; i < entries; ++i)
                pen.Dashes.push_back(r.Unsigned(52 + 4 * size_t(i)));
            pen.Style &= ~0xFu;
        }
    } else {
        pen.Style = r.Unsigned(12);
        pen.Width = r.Int(16);
        pen.Cosmetic = pen.Width <= 0;
        pen.Colour = r.Colour(24);
    }
    o->Kind = TObject::Pen;
    o->PenValue = pen;
}

void TPlayer::createBrush(const TRecord& r) {
    TObject* o = object(r.Unsigned(8));
    if (!o)
        return;
    o->Kind = TObject::Brush;
    o->BrushValue = TBrushObject{r.Unsigned(12), r.Colour(16), r.Unsigned(20), {}, false};
}

// A brush of a bitmap: its header's and bits' offsets and lengths.
void TPlayer::createPatternBrush(const TRecord& r, bool monochrome) {
    TObject* o = object(r.Unsigned(8));
    if (!o)
        return;
    const QImage image = MetafileBitmapImage(r.Bytes(r.Unsigned(16), r.Unsigned(20)), r.Bytes(r.Unsigned(24), r.Unsigned(28)));
    o->Kind = TObject::Brush;
    o->BrushValue = TBrushObject{kDibPatternPt, Qt::black, 0, image, monochrome || image.depth() == 1};
    if (image.isNull())
        o->BrushValue.Colour = Qt::gray;
}

void TPlayer::createFont(const TRecord& r) {
    TObject* o = object(r.Unsigned(8));
    if (!o)
        return;
    TFontObject font;
    font.Height = r.Int(12);
    font.Width = r.Int(16);
    font.Escapement = r.Int(20);
    font.Weight = r.Int(28);
    font.Italic = r.At<uint8_t>(32) != 0;
    font.Underline = r.At<uint8_t>(33) != 0;
    font.StrikeOut = r.At<uint8_t>(34) != 0;
    font.CharSet = r.At<uint8_t>(35);
    font.PitchAndFamily = r.At<uint8_t>(39);
    for (size_t i = 0; i < 32; ++i) {
        const auto c = r.At<uint16_t>(40 + 2 * i);
        if (c == 0)
            break;
        font.Face.push_back(QChar(c));
    }
    o->Kind = TObject::Font;
    o->FontValue = font;
}

void TPlayer::selectObject(uint32_t index) {
    if (index & kStockObject) {
        TBrushObject brush;
        switch (index & ~kStockObject) {
        case 0: brush.Colour = Qt::white; break;
        case 1: brush.Colour = QColor(0xC0, 0xC0, 0xC0); break;
        case 2: brush.Colour = QColor(0x80, 0x80, 0x80); break;
        case 3: brush.Colour = QColor(0x40, 0x40, 0x40); break;
        case 4: brush.Colour = Qt::black; break;
        case 5: brush.Style = kNullBrush; break;
        case 18: brush.Colour = Qt::white; break;
        case 6: state_.Pen = TPenObject{0, 0, true, Qt::white, {}, {}}; return;
        case 7:
        case 19: state_.Pen = TPenObject{}; return;
        case 8: state_.Pen = TPenObject{5, 0, true, Qt::black, {}, {}}; return;
        case 10:
        case 11:
        case 12:
        case 13:
        case 14:
        case 16:
        case 17: state_.Font = TFontObject{}; return;
        default: return;
        }
        state_.Brush = brush;
        return;
    }
    const TObject* o = object(index);
    if (!o)
        return;
    switch (o->Kind) {
    case TObject::Pen: state_.Pen = o->PenValue; break;
    case TObject::Brush: state_.Brush = o->BrushValue; break;
    case TObject::Font: state_.Font = o->FontValue; break;
    default: break;
    }
}

// ---- bitmaps ----

// Draws the source part of the image where `place` puts its pixels (the
// image's pixels to device pixels), mixed as the raster operation says.
void TPlayer::drawBitmap(QImage image, const QRectF& source, const QTransform& place, uint32_t rop, double opacity) {
    if (image.isNull() || !finite(place))
        return;
    painter_.save();
    painter_.setTransform(place, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, state_.Halftone);
    switch (rop) {
    case 0x008800C6: painter_.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break; // SRCAND
    case 0x00EE0086: painter_.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;  // SRCPAINT
    case 0x00660046: painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break; // SRCINVERT
    case 0x00330008: // NOTSRCCOPY
        image = image.convertToFormat(QImage::Format_RGB32);
        image.invertPixels();
        painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    default: painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    painter_.setOpacity(opacity);
    painter_.drawImage(source, image, source);
    painter_.restore();
}

// A blit without a bitmap: the brush, black, white or the inverted
// surface over the area.
void TPlayer::patternBlit(const QPolygonF& area, uint32_t rop) {
    QPainterPath path;
    path.addPolygon(area);
    path.closeSubpath();
    switch (rop) {
    case 0x00000042: painter_.setCompositionMode(QPainter::CompositionMode_SourceOver); painter_.fillPath(path, Qt::black); break;
    case 0x00FF0062: painter_.setCompositionMode(QPainter::CompositionMode_SourceOver); painter_.fillPath(path, Qt::white); break;
    case 0x00550009:
        painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter_.fillPath(path, Qt::white);
        break;
    case 0x00AA0029: break; // the surface as it is
    default: {
        const int rop2 = state_.Rop2;
        state_.Rop2 = rop == 0x005A0049 ? 7 : 13; // PATINVERT: exclusive or
        fill(path, state_.Brush);
        state_.Rop2 = rop2;
    }
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// BitBlt, StretchBlt, StretchDIBits, SetDIBitsToDevice, AlphaBlend and
// TransparentBlt: where the picture goes in logical units, which part of
// it, and its header and bits by offset and length.
void TPlayer::bitmapRecord(const TRecord& r) {
    const uint32_t type = r.Type();
    QPointF dest, destSize, src, srcSize;
    uint32_t rop = 0x00CC0020, infoAt = 0, infoLength = 0, bitsAt = 0, bitsLength = 0;
    double opacity = 1;
    bool alpha = false, fromBottom = false;
    std::optional<QColor> transparent;
    switch (type) {
    case kStretchDIBits:
        dest = r.Point(24), src = r.Point(32), srcSize = r.Point(40);
        infoAt = r.Unsigned(48), infoLength = r.Unsigned(52), bitsAt = r.Unsigned(56), bitsLength = r.Unsigned(60);
        rop = r.Unsigned(68), destSize = r.Point(72);
        fromBottom = true;
        break;
    case kSetDIBitsToDevice:
        dest = r.Point(24), src = r.Point(32), srcSize = r.Point(40), destSize = srcSize;
        infoAt = r.Unsigned(48), infoLength = r.Unsigned(52), bitsAt = r.Unsigned(56), bitsLength = r.Unsigned(60);
        fromBottom = true;
        break;
    default: {
        // BitBlt and the rest: the destination, its size, the raster
        // operation (or blending), the source's corner and transform,
        // background, colour use, header and bits, and the source's size.
        dest = r.Point(24), destSize = r.Point(32), src = r.Point(44);
        const uint32_t op = r.Unsigned(40);
        infoAt = r.Unsigned(84), infoLength = r.Unsigned(88), bitsAt = r.Unsigned(92), bitsLength = r.Unsigned(96);
        srcSize = type == kBitBlt ? destSize : r.Point(100);
        if (type == kAlphaBlend) {
            opacity = ((op >> 16) & 0xFF) / 255.0;
            alpha = ((op >> 24) & 1) != 0;
        } else if (type == kTransparentBlt) {
            transparent = QColor(op & 0xFF, (op >> 8) & 0xFF, (op >> 16) & 0xFF);
        } else {
            rop = op;
        }
    }
    }
    const QTransform device = toDevice();
    if (infoLength == 0) {
        patternBlit(device.map(QPolygonF(QRectF(dest, QSizeF(destSize.x(), destSize.y())))), rop);
        return;
    }
    QImage image = MetafileBitmapImage(r.Bytes(infoAt, infoLength), r.Bytes(bitsAt, bitsLength), alpha);
    if (image.isNull() || srcSize.x() == 0 || srcSize.y() == 0)
        return;
    if (transparent) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = transparent->rgb();
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] | 0xFF000000) == key)
                    line[x] = 0;
        }
    }
    // A device-independent bitmap counts its source rows from the bottom.
    QRectF source(src.x(), src.y(), srcSize.x(), srcSize.y());
    if (fromBottom)
        source.moveTop(image.height() - src.y() - srcSize.y());
    source = source.normalized();
    const double sx = destSize.x() / srcSize.x(), sy = destSize.y() / srcSize.y();
    QTransform place(sx, 0, 0, sy, dest.x() - source.left() * sx, dest.y() - source.top() * sy);
    if (type == kSetDIBitsToDevice) {
        // Drawn a device pixel to a bitmap pixel from the mapped corner.
        const QPointF corner = device.map(dest);
        place = QTransform::fromTranslate(corner.x() - source.left(), corner.y() - source.top());
    } else {
        place *= device;
    }
    drawBitmap(image, source, place, rop, opacity);
}

// GradientFill: the vertices (position and 16-bit colours), then the
// rectangles (two vertex numbers) or triangles (three).
void TPlayer::gradientFill(const TRecord& r) {
    const uint32_t vertices = r.Unsigned(24), shapes = r.Unsigned(28), mode = r.Unsigned(32);
    if (vertices > r.Size() / 16)
        InvalidMetafile();
    const auto point = [&](uint32_t i) { return r.Point(36 + 16 * size_t(i)); };
    const auto colour = [&](uint32_t i) {
        const size_t at = 36 + 16 * size_t(i) + 8;
        return QColor(r.At<uint16_t>(at) >> 8, r.At<uint16_t>(at + 2) >> 8, r.At<uint16_t>(at + 4) >> 8);
    };
    const size_t shapesAt = 36 + 16 * size_t(vertices);
    const QTransform device = toDevice();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (uint32_t s = 0; s < shapes; ++s) {
        if (mode == 2) {
            const uint32_t a = r.Unsigned(shapesAt + 12 * s), b = r.Unsigned(shapesAt + 12 * s + 4),
                           c = r.Unsigned(shapesAt + 12 * s + 8);
            if (a >= vertices || b >= vertices || c >= vertices)
                InvalidMetafile();
            // A triangle in the mean of its corners' colours.
            const QColor ca = colour(a), cb = colour(b), cc = colour(c);
            QPainterPath path;
            path.addPolygon(device.map(QPolygonF({point(a), point(b), point(c)})));
            painter_.fillPath(path, QColor((ca.red() + cb.red() + cc.red()) / 3, (ca.green() + cb.green() + cc.green()) / 3,
                                           (ca.blue() + cb.blue() + cc.blue()) / 3));
        } else {
            const uint32_t a = r.Unsigned(shapesAt + 8 * s), b = r.Unsigned(shapesAt + 8 * s + 4);
            if (a >= vertices || b >= vertices)
                InvalidMetafile();
            const QRectF box = QRectF(point(a), point(b));
            QLinearGradient ramp(box.topLeft(), mode == 1 ? box.bottomLeft() : box.topRight());
            ramp.setColorAt(0, colour(a));
            ramp.setColorAt(1, colour(b));
            painter_.save();
            painter_.setTransform(device, false);
            painter_.fillRect(box.normalized(), ramp);
            painter_.restore();
        }
    }
}

// ---- text ----

TFace& TPlayer::face(const TFontObject& font) {
    const QString key = font.Face + QChar(font.Weight >= 600 ? 'b' : 'n') + QChar(font.Italic ? 'i' : 'r') +
                        QChar(font.PitchAndFamily);
    auto it = faces_.find(key);
    if (it != faces_.end())
        return *it;
    TFace made;
    made.Font = QFont(QString::fromStdString(ResolveFontFamily(font.Face.toStdString())));
    // A face the machine lacks falls back to one of its kind: serif
    // (roman), fixed pitch (modern or fixed), else sans serif, as the
    // system's own default face is.
    const int family = font.PitchAndFamily >> 4;
    made.Font.setStyleHint(family == 1                                  ? QFont::Serif
                           : family == 3 || (font.PitchAndFamily & 3) == 1 ? QFont::Monospace
                           : family == 4                                ? QFont::Cursive
                                                                        : QFont::SansSerif);
    made.Font.setPixelSize(kShapingSize);
    made.Font.setWeight(font.Weight >= 600 ? QFont::Bold : QFont::Normal);
    made.Font.setItalic(font.Italic);
    made.Font.setKerning(false);
    made.Raw = QRawFont::fromFont(made.Font);
    return *faces_.insert(key, std::move(made));
}

// Text at a reference point in logical units, its characters at the
// advances given (logical units), else at the face's own.
void TPlayer::drawText(QPointF reference, const QString& text, const std::vector<double>& dx, uint32_t options,
                       std::optional<QRectF> box) {
    const TFontObject& font = state_.Font;
    TFace& shaped = face(font);
    const QTransform device = toDevice();
    if (state_.TextAlign & kUpdateCurrent)
        reference = state_.Current;

    // Opaque box and clip, in logical units.
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (box && (options & kOpaque)) {
        QPainterPath back;
        back.addRect(box->normalized());
        painter_.fillPath(device.map(back), state_.BkColour);
    }
    if (text.isEmpty())
        return;

    const QFontMetricsF metrics(shaped.Font);
    // The height is the em's, or (positive) the character cell's.
    double em = font.Height < 0 ? -font.Height : font.Height > 0 ? font.Height * kShapingSize / metrics.height() : 12;
    const double scale = em / kShapingSize;
    double across = 1;
    if (font.Width > 0 && metrics.averageCharWidth() > 0)
        across = font.Width / (metrics.averageCharWidth() * scale);

    // The characters' outlines and their offsets along the line.
    QPainterPath glyphs;
    double advance = 0;
    const QList<quint32> indexes = shaped.Raw.isValid() ? shaped.Raw.glyphIndexesForString(text) : QList<quint32>();
    const bool rawWhole = indexes.size() == text.size() &&
                          std::none_of(indexes.begin(), indexes.end(), [](quint32 g) { return g == 0; });
    QList<QPointF> natural;
    if (rawWhole)
        natural = shaped.Raw.advancesForGlyphIndexes(indexes);
    for (qsizetype i = 0; i < text.size(); ++i) {
        QPainterPath glyph;
        if (rawWhole) {
            auto cached = shaped.Glyphs.find(indexes[i]);
            if (cached == shaped.Glyphs.end())
                cached = shaped.Glyphs.insert(indexes[i], shaped.Raw.pathForGlyph(indexes[i]));
            glyph = *cached;
        } else {
            glyph.addText(0, 0, shaped.Font, QString(text[i]));
        }
        glyphs.addPath(QTransform::fromTranslate(advance, 0).scale(scale * across, scale).map(glyph));
        const double own = (rawWhole ? natural[i].x() : metrics.horizontalAdvance(text[i])) * scale * across;
        advance += size_t(i) < dx.size() ? dx[size_t(i)] : own;
    }
    const double ascent = metrics.ascent() * scale, descent = metrics.descent() * scale;
    if (font.Underline || font.StrikeOut) {
        const double thickness = std::max(metrics.lineWidth() * scale, 1e-3);
        if (font.Underline)
            glyphs.addRect(0, metrics.underlinePos() * scale, advance, thickness);
        if (font.StrikeOut)
            glyphs.addRect(0, -metrics.strikeOutPos() * scale, advance, thickness);
    }

    // Aligned about the reference point.
    const uint32_t align = state_.TextAlign;
    double x = 0, y = 0;
    if ((align & kAlignCentre) == kAlignCentre)
        x = -advance / 2;
    else if (align & kAlignRight)
        x = -advance;
    if ((align & kAlignBaseline) == kAlignBaseline)
        y = 0;
    else if (align & kAlignBottom)
        y = -descent;
    else
        y = ascent;
    // Upright whatever way the mapping's axes run, turned by the
    // escapement (tenths of a degree, counter-clockwise on the screen) and
    // by the world transform.
    const QTransform page = pageTransform();
    const QTransform upright = QTransform::fromScale(std::abs(page.m11()), std::abs(page.m22()));
    QTransform linear = state_.World * upright;
    linear.setMatrix(linear.m11(), linear.m12(), 0, linear.m21(), linear.m22(), 0, 0, 0, 1);
    const QPointF origin = device.map(reference);
    const QTransform place = QTransform::fromTranslate(x, y) * QTransform().rotate(-font.Escapement / 10.0) * linear *
                             QTransform::fromTranslate(origin.x(), origin.y());
    if (!finite(place))
        return;
    if (state_.BkMode == kOpaqueMode && !(box && (options & kOpaque))) {
        QPainterPath back;
        back.addRect(QRectF(0, -ascent, advance, ascent + descent));
        painter_.fillPath(place.map(back), state_.BkColour);
    }
    painter_.save();
    if (box && (options & kClipped)) {
        QPainterPath clip;
        clip.addRect(box->normalized());
        painter_.setClipPath(device.map(clip), Qt::IntersectClip);
    }
    painter_.fillPath(place.map(glyphs), state_.TextColour);
    painter_.restore();
    if (align & kUpdateCurrent) {
        const QTransform back = device.inverted();
        state_.Current = back.map(place.map(QPointF(advance, -y)));
    }
}

// ExtTextOutA, ExtTextOutW: the bounds, the graphics mode and scales, then
// the reference point, the count, the text's offset, the options, the
// clip box (unless the options say there is none) and the advances'
// offset.  SmallTextOut: the point, the count, the options, graphics mode
// and scales, the box unless none, then the text.
void TPlayer::textRecord(const TRecord& r) {
    QPointF reference;
    uint32_t count = 0, options = 0;
    size_t textAt = 0, dxAt = 0;
    bool wide = true;
    std::optional<QRectF> box;
    if (r.Type() == kSmallTextOut) {
        reference = r.Point(8);
        count = r.Unsigned(16);
        options = r.Unsigned(20);
        size_t at = 36;
        if (!(options & kNoRect)) {
            box = r.Box(at);
            at += 16;
        }
        textAt = at;
        wide = !(options & kSmallChars);
    } else {
        reference = r.Point(36);
        count = r.Unsigned(44);
        textAt = r.Unsigned(48);
        options = r.Unsigned(52);
        if (!(options & kNoRect))
            box = r.Box(56);
        dxAt = r.Unsigned(options & kNoRect ? 56 : 72);
        wide = r.Type() == kExtTextOutW;
    }
    if (count > r.Size())
        InvalidMetafile();
    QString text;
    if (wide) {
        const std::string_view bytes = r.Bytes(textAt, 2 * size_t(count));
        text.resize(qsizetype(count));
        for (uint32_t i = 0; i < count; ++i)
            text[i] = QChar(LoadLittleEndian<uint16_t>(bytes.data() + 2 * i));
    } else {
        text = AnsiToQString(r.Bytes(textAt, count));
        if (text.size() != qsizetype(count))
            text = QString::fromLatin1(r.Bytes(textAt, count).data(), qsizetype(count));
    }
    std::vector<double> dx;
    if (dxAt != 0 && count > 0) {
        const size_t each = options & kPairsOfDx ? 8 : 4;
        if (dxAt <= r.Size() && size_t(count) <= (r.Size() - dxAt) / each) {
            for (uint32_t i = 0; i < count; ++i)
                dx.push_back(r.Int(dxAt + each * i));
        }
    }
    drawText(reference, text, dx, options, box);
}

// ---- records ----

void TPlayer::record(const TRecord& r) {
    TState& s = state_;
    switch (r.Type()) {
    case kSetWindowExt:
    case kSetViewportExt: {
        const QPointF e = r.Point(8);
        if ((s.MapMode == kIsotropic || s.MapMode == kAnisotropic) && e.x() != 0 && e.y() != 0)
            (r.Type() == kSetWindowExt ? s.WindowExt : s.ViewportExt) = QSizeF(e.x(), e.y());
        break;
    }
    case kSetWindowOrg: s.WindowOrg = r.Point(8); break;
    case kSetViewportOrg: s.ViewportOrg = r.Point(8); break;
    case kScaleViewportExt:
    case kScaleWindowExt: {
        if (s.MapMode != kIsotropic && s.MapMode != kAnisotropic)
            break;
        const int xNum = r.Int(8), xDenom = r.Int(12), yNum = r.Int(16), yDenom = r.Int(20);
        if (xNum == 0 || xDenom == 0 || yNum == 0 || yDenom == 0)
            break;
        QSizeF& e = r.Type() == kScaleWindowExt ? s.WindowExt : s.ViewportExt;
        e = QSizeF(e.width() * xNum / xDenom, e.height() * yNum / yDenom);
        break;
    }
    case kSetBrushOrg: s.BrushOrg = r.Point(8); break;
    case kSetMapMode: setMapMode(r.Int(8)); break;
    case kSetBkMode: s.BkMode = r.Int(8); break;
    case kSetPolyFillMode: s.FillRule = r.Int(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
    case kSetRop2: s.Rop2 = r.Int(8); break;
    case kSetStretchBltMode: s.Halftone = r.Int(8) == 4; break;
    case kSetTextAlign: s.TextAlign = r.Unsigned(8); break;
    case kSetTextColor: s.TextColour = r.Colour(8); break;
    case kSetBkColor: s.BkColour = r.Colour(8); break;
    case kSetArcDirection: s.Clockwise = r.Int(8) == 2; break;
    case kMoveTo:
        s.Current = r.Point(8);
        if (inPath_)
            path_.moveTo(toDevice().map(s.Current));
        break;
    case kSetPixel: {
        const QPointF at = toDevice().map(r.Point(8));
        painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter_.fillRect(QRectF(at, QSizeF(1, 1)), r.Colour(16));
        break;
    }
    case kSaveDC:
        if (saved_.size() < 4096)
            saved_.push_back(s);
        break;
    case kRestoreDC: {
        const int which = r.Int(8);
        const size_t keep = which < 0 ? (size_t(-int64_t(which)) <= saved_.size() ? saved_.size() + size_t(which) : SIZE_MAX)
                                      : (which > 0 && size_t(which) <= saved_.size() ? size_t(which) - 1 : SIZE_MAX);
        if (keep == SIZE_MAX)
            break;
        s = saved_[keep];
        saved_.resize(keep);
        applyClip();
        break;
    }
    case kSetWorldTransform: {
        const QTransform t = r.Transform(8);
        if (finite(t))
            s.World = t;
        break;
    }
    case kModifyWorldTransform: {
        const QTransform t = r.Transform(8);
        QTransform result = s.World;
        switch (r.Unsigned(32)) {
        case 1: result = QTransform(); break;
        case 2: result = t * s.World; break;
        case 3: result = s.World * t; break;
        case 4: result = t; break;
        default: break;
        }
        if (finite(result))
            s.World = result;
        break;
    }
    case kSelectObject: selectObject(r.Unsigned(8)); break;
    case kDeleteObject:
        if (TObject* o = object(r.Unsigned(8)))
            *o = TObject{};
        break;
    case kCreatePen: createPen(r, false); break;
    case kExtCreatePen: createPen(r, true); break;
    case kCreateBrush: createBrush(r); break;
    case kCreateMonoBrush: createPatternBrush(r, true); break;
    case kCreateDibPatternBrush: createPatternBrush(r, false); break;
    case kCreateFont: createFont(r); break;
    case kOffsetClipRegion:
        if (s.Clip) {
            const QPointF by = toDevice().map(r.Point(8)) - toDevice().map(QPointF());
            s.Clip = s.Clip->translated(by);
            applyClip();
        }
        break;
    case kSetMetaRegion:
        if (s.Clip)
            s.Meta = s.Meta ? s.Meta->intersected(*s.Clip) : *s.Clip;
        s.Clip.reset();
        applyClip();
        break;
    case kExcludeClipRect:
    case kIntersectClipRect: {
        QPainterPath box;
        box.addRect(r.Box(8).normalized());
        combineClip(toDevice().map(box), r.Type() == kExcludeClipRect ? kDiff : kAnd);
        break;
    }
    case kExtSelectClipRegion: {
        const uint32_t length = r.Unsigned(8), mode = r.Unsigned(12);
        if (length == 0 && mode == kCopy) {
            s.Clip.reset();
            applyClip();
        } else if (length > 0) {
            r.Bytes(16, length);
            combineClip(regionOf(r, 16, length), mode);
        }
        break;
    }
    case kFillRegion:
    case kPaintRegion: {
        const uint32_t length = r.Unsigned(24);
        const size_t at = r.Type() == kFillRegion ? 32 : 28;
        r.Bytes(at, length);
        TBrushObject brush = s.Brush;
        if (r.Type() == kFillRegion) {
            const uint32_t index = r.Unsigned(28);
            const TObject* o = object(index);
            if (o && o->Kind == TObject::Brush)
                brush = o->BrushValue;
        }
        fill(toDevice().map(regionOf(r, at, length)), brush);
        break;
    }
    case kEllipse: {
        QPainterPath path;
        path.addEllipse(r.Box(8).normalized());
        shape(path, true, true);
        break;
    }
    case kRectangle: {
        QPainterPath path;
        path.addRect(r.Box(8).normalized());
        shape(path, true, true);
        break;
    }
    case kRoundRect: {
        QPainterPath path;
        const QPointF corner = r.Point(24);
        path.addRoundedRect(r.Box(8).normalized(), std::abs(corner.x()) / 2, std::abs(corner.y()) / 2);
        shape(path, true, true);
        break;
    }
    case kArc:
    case kChord:
    case kPie:
    case kArcTo: arcRecord(r); break;
    case kAngleArc: {
        const QPointF centre = r.Point(8);
        const double radius = r.Unsigned(16), start = r.Float(20), sweep = r.Float(24);
        if (!std::isfinite(start) || !std::isfinite(sweep))
            break;
        // Counter-clockwise on the screen, in logical units seen with y
        // downwards.
        const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        QPainterPath path;
        path.moveTo(s.Current);
        QPainterPath arcStart;
        arcStart.arcMoveTo(box, start);
        path.lineTo(arcStart.currentPosition());
        path.arcTo(box, start, std::clamp(sweep, -3600.0, 3600.0));
        lineFromCurrent(path);
        break;
    }
    case kLineTo: {
        QPainterPath path(s.Current);
        path.lineTo(r.Point(8));
        lineFromCurrent(path);
        break;
    }
    case kPolyBezier:
    case kPolygon:
    case kPolyline:
    case kPolyBezierTo:
    case kPolylineTo: polyRecord(r, false); break;
    case kPolyBezier16:
    case kPolygon16:
    case kPolyline16:
    case kPolyBezierTo16:
    case kPolylineTo16: polyRecord(r, true); break;
    case kPolyPolyline:
    case kPolyPolygon: polyPolyRecord(r, false); break;
    case kPolyPolyline16:
    case kPolyPolygon16: polyPolyRecord(r, true); break;
    case kPolyDraw: polyDraw(r, false); break;
    case kPolyDraw16: polyDraw(r, true); break;
    case kBeginPath:
        inPath_ = true;
        path_ = QPainterPath();
        break;
    case kEndPath: inPath_ = false; break;
    case kAbortPath:
        inPath_ = false;
        path_ = QPainterPath();
        break;
    case kCloseFigure:
        if (inPath_)
            path_.closeSubpath();
        break;
    case kFillPath:
    case kStrokeAndFillPath:
    case kStrokePath: {
        QPainterPath made = path_;
        made.setFillRule(s.FillRule);
        if (r.Type() != kStrokePath)
            fill(made, s.Brush);
        if (r.Type() != kFillPath)
            stroke(made);
        path_ = QPainterPath();
        break;
    }
    case kSelectClipPath: {
        QPainterPath made = path_;
        made.setFillRule(s.FillRule);
        combineClip(made, r.Unsigned(8));
        path_ = QPainterPath();
        break;
    }
    case kBitBlt:
    case kStretchBlt:
    case kStretchDIBits:
    case kSetDIBitsToDevice:
    case kAlphaBlend:
    case kTransparentBlt: bitmapRecord(r); break;
    case kGradientFill: gradientFill(r); break;
    case kExtTextOutA:
    case kExtTextOutW:
    case kSmallTextOut: textRecord(r); break;
    default: break; // comments (EMF+ among them), palettes, colour management
    }
}

void TPlayer::Play() {
    const TRecord header(data_.substr(0, LoadLittleEndian<uint32_t>(data_.data() + 4)));
    objects_.resize(size_t(header.At<uint16_t>(56)) + 1);
    devicePerOwn_ = pixelsPerMmX_ * 25.4 / kMetafilePixelsPerInch;
    painter_.setRenderHint(QPainter::Antialiasing);
    for (size_t at = header.Size(); at + 8 <= data_.size();) {
        const auto size = LoadLittleEndian<uint32_t>(data_.data() + at + 4);
        const TRecord r(data_.substr(at, size));
        if (r.Type() == kEndOfFile)
            break;
        record(r);
        at += size;
    }
}

} // namespace


bool IsEnhancedMetafile(std::string_view data) {
    return data.size() >= kHeaderSize && LoadLittleEndian<uint32_t>(data.data()) == kHeaderType &&
           LoadLittleEndian<uint32_t>(data.data() + 40) == kSignature;
}

std::unique_ptr<TMetafileRecording> PlayEnhancedMetafile(std::string_view data) {
    if (!IsEnhancedMetafile(data))
        InvalidMetafile();
    // Every record's size against the bytes the data holds, before any is
    // played: at least its type and size, whole words, within the data.
    size_t at = 0;
    while (at + 8 <= data.size()) {
        const auto type = LoadLittleEndian<uint32_t>(data.data() + at);
        const auto size = LoadLittleEndian<uint32_t>(data.data() + at + 4);
        if (size < 8 || size % 4 != 0 || size > data.size() - at || (at == 0 && size < kHeaderSize))
            InvalidMetafile();
        at += size;
        if (type == kEndOfFile)
            break;
    }

    const TRecord header(data.substr(0, LoadLittleEndian<uint32_t>(data.data() + 4)));
    const QRectF frame(header.Point(24), header.Point(32));
    auto recording = std::make_unique<TMetafileRecording>();
    const int width = int(std::lround(frame.width() * kMetafilePixelsPerInch / kHundredthsPerInch));
    const int height = int(std::lround(frame.height() * kMetafilePixelsPerInch / kHundredthsPerInch));
    if (width <= 0 || height <= 0)
        InvalidMetafile();
    recording->SetSize(width, height);

    // The reference device's pixels to the millimetre, which the records
    // draw in: from micrometres where the header is long enough to give
    // them (and not the description there instead), more exact than whole
    // millimetres.
    const double devicePixelsX = header.Int(72), devicePixelsY = header.Int(76);
    double mmX = header.Int(80), mmY = header.Int(84);
    const bool described = header.Unsigned(60) > 0 && header.Unsigned(64) < 108;
    if (header.Size() >= 108 && !described) {
        const double umX = header.Int(100) / 1000.0, umY = header.Int(104) / 1000.0;
        if (std::abs(umX - mmX) < 1 && std::abs(umY - mmY) < 1 && umX > 0 && umY > 0)
            mmX = umX, mmY = umY;
    }
    QSizeF pixelsPerMm(kMetafilePixelsPerInch / 25.4, kMetafilePixelsPerInch / 25.4);
    if (devicePixelsX > 0 && devicePixelsY > 0 && mmX > 0 && mmY > 0)
        pixelsPerMm = QSizeF(devicePixelsX / mmX, devicePixelsY / mmY);
    recording->QtSide().Frame = QRectF(frame.left() * pixelsPerMm.width() / 100, frame.top() * pixelsPerMm.height() / 100,
                                       frame.width() * pixelsPerMm.width() / 100, frame.height() * pixelsPerMm.height() / 100);

    QPainter painter(&recording->QtSide().Picture);
    TPlayer player(data, painter, pixelsPerMm);
    player.Play();
    painter.end();
    return recording;
}
