#include "platform/gfx/EmfPlayer.h"
#include "platform/gfx/EmfPlayerParts.h"

#include "platform/gfx/MetafileBitmap.h"
#include "platform/gfx/MetafileRecordingQt.h"
#include "platform/gfx/MetafileShapes.h"

#include <algorithm>

namespace emf {

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
    if (inPath_) {
        path_.addPath(toDevice().map(path));
        return;
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
    if (inPath_) {
        path_.addPath(toDevice().map(path));
    } else {
        stroke(toDevice().map(path));
    }
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

} // namespace emf

bool IsEnhancedMetafile(std::string_view data) {
    using namespace emf;
    return data.size() >= kHeaderSize && LoadLittleEndian<uint32_t>(data.data()) == kHeaderType &&
           LoadLittleEndian<uint32_t>(data.data() + 40) == kSignature;
}

std::unique_ptr<TMetafileRecording> PlayEnhancedMetafile(std::string_view data) {
    using namespace emf;
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
