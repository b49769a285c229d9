#pragma once
// The enhanced metafile player's parts (EmfPlayer.cpp, EmfBitmaps.cpp,
// EmfText.cpp): the record values, a record's checked reads, the device
// context and the player.  Platform code only.

#include "platform/base/Stream.h"
#include "platform/gfx/MetafileFormat.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>

#include <bit>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

namespace emf {

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
constexpr int kTransparentMode = 1;
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
inline bool finite(const QTransform& t) {
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

} // namespace emf
