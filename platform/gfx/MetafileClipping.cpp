#include "platform/gfx/MetafileClipping.h"

#include "platform/gfx/QtBridge.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// How far past what the target shows a path may reach, in device pixels,
// before it is cut: far enough that legible drawings are never cut, near
// enough that drawing the rest costs little.
constexpr double kReach = 4096;

// The part of the segment a-b within `box` (Liang and Barsky's way).
bool clipSegment(QPointF& a, QPointF& b, const QRectF& box) {
    const QPointF start = a, along = b - a;
    const double p[] = {-along.x(), along.x(), -along.y(), along.y()};
    const double q[] = {start.x() - box.left(), box.right() - start.x(), start.y() - box.top(),
                        box.bottom() - start.y()};
    double from = 0, to = 1;
    for (int side = 0; side < 4; ++side) {
        if (p[side] == 0) {
            if (q[side] < 0)
                return false;
            continue;
        }
        const double t = q[side] / p[side];
        if (p[side] < 0)
            from = std::max(from, t);
        else
            to = std::min(to, t);
        if (from > to)
            return false;
    }
    a = start + along * from;
    b = start + along * to;
    return true;
}

// The segments of an outline (curves made lines) within `box`, as open
// lines, in device pixels.
QPainterPath outlineWithin(const QPainterPath& devicePath, const QRectF& box) {
    QPainterPath within;
    for (const QPolygonF& line : devicePath.toSubpathPolygons()) {
        bool joined = false; // the last segment kept ends where this one starts
        for (qsizetype i = 1; i < line.size(); ++i) {
            QPointF a = line[i - 1], b = line[i];
            if (!clipSegment(a, b, box)) {
                joined = false;
                continue;
            }
            if (!joined || a != line[i - 1])
                within.moveTo(a);
            within.lineTo(b);
            joined = b == line[i];
        }
    }
    return within;
}

// The bounds of a path's control points (QPainterPath::controlPointRect),
// worked out from the shapes it would be made of without making it: every
// shape of a metafile is drawn on every repaint and almost none reaches far
// out.  None where the path's own would differ (it leaves out a coordinate
// it refuses, and may keep its starting point at the origin instead): the
// path is made and decides then.
class TControlBounds {
public:
    TControlBounds& AddPoint(const QPointF& point) {
        if (!keptByPath(point.x()) || !keptByPath(point.y())) {
            exact_ = false;
        } else if (empty_) {
            left_ = right_ = point.x();
            top_ = bottom_ = point.y();
            empty_ = false;
        } else {
            left_ = std::min(left_, point.x());
            right_ = std::max(right_, point.x());
            top_ = std::min(top_, point.y());
            bottom_ = std::max(bottom_, point.y());
        }
        return *this;
    }
    TControlBounds& AddPoints(const QPointF* points, int count) {
        for (int i = 0; i < count; ++i)
            AddPoint(points[i]);
        return *this;
    }
    // A rectangle or an ellipse within it: a path leaves out one of no
    // size, and an ellipse's curves keep to its rectangle.
    TControlBounds& AddShapeIn(const QRectF& rect) {
        if (!keptByPath(rect.x()) || !keptByPath(rect.y()) || !keptByPath(rect.width()) ||
            !keptByPath(rect.height()))
            exact_ = false;
        else if (!rect.isNull())
            AddPoint(rect.topLeft()).AddPoint(rect.bottomRight());
        return *this;
    }

    // As the path's: an empty one's is the null rectangle.
    std::optional<QRectF> Rect() const {
        if (!exact_)
            return std::nullopt;
        return empty_ ? QRectF() : QRectF(left_, top_, right_ - left_, bottom_ - top_);
    }

private:
    // The coordinates a path takes: it leaves out the others.
    static bool keptByPath(double coordinate) { return std::isfinite(coordinate) && std::abs(coordinate) < 1e128; }

    bool exact_ = true;
    bool empty_ = true;
    double left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
};

class TClippingEngine : public QPaintEngine {
public:
    explicit TClippingEngine(QPainter& target)
        : QPaintEngine(AllFeatures), target_(target), base_(target.transform()),
          hasOuterClip_(target.hasClipping()), opacity_(target.opacity()) {
        shown_ = QRectF(0, 0, target.device()->width(), target.device()->height());
        if (hasOuterClip_) {
            outerClip_ = base_.map(target.clipPath());
            shown_ &= outerClip_.boundingRect();
        }
    }

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& state) override;

    void drawPath(const QPainterPath& path) override {
        if (!cut(path, true))
            target_.drawPath(path);
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        const Qt::FillRule rule = mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill;
        if (mayReachFarOut(TControlBounds().AddPoints(points, count))) {
            QPainterPath path;
            path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
            if (mode != PolylineMode)
                path.closeSubpath();
            path.setFillRule(rule);
            if (cut(path, mode != PolylineMode))
                return;
        }
        if (mode == PolylineMode)
            target_.drawPolyline(points, count);
        else if (mode == ConvexMode)
            target_.drawConvexPolygon(points, count);
        else
            target_.drawPolygon(points, count, rule);
    }

    // The shapes go on as they came, so that the target draws each as it
    // would have, but for those that reach far out.
    void drawLines(const QLineF* lines, int count) override {
        TControlBounds bounds;
        for (int i = 0; i < count; ++i)
            bounds.AddPoint(lines[i].p1()).AddPoint(lines[i].p2());
        if (mayReachFarOut(bounds)) {
            QPainterPath path;
            for (int i = 0; i < count; ++i) {
                path.moveTo(lines[i].p1());
                path.lineTo(lines[i].p2());
            }
            if (cut(path, false))
                return;
        }
        target_.drawLines(lines, count);
    }
    void drawRects(const QRectF* rects, int count) override {
        TControlBounds bounds;
        for (int i = 0; i < count; ++i)
            bounds.AddShapeIn(rects[i]);
        if (mayReachFarOut(bounds)) {
            QPainterPath path;
            for (int i = 0; i < count; ++i)
                path.addRect(rects[i]);
            if (cut(path, true))
                return;
        }
        target_.drawRects(rects, count);
    }
    void drawEllipse(const QRectF& rect) override {
        if (mayReachFarOut(TControlBounds().AddShapeIn(rect))) {
            QPainterPath path;
            path.addEllipse(rect);
            if (cut(path, true))
                return;
        }
        target_.drawEllipse(rect);
    }
    void drawPoints(const QPointF* points, int count) override {
        target_.drawPoints(points, count);
    }

    void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override {
        target_.drawPixmap(rect, pixmap, source);
    }
    void drawImage(const QRectF& rect, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override {
        target_.drawImage(rect, image, source, flags);
    }
    void drawTiledPixmap(const QRectF& rect, const QPixmap& pixmap, const QPointF& offset) override {
        target_.drawTiledPixmap(rect, pixmap, offset);
    }
    void drawTextItem(const QPointF& at, const QTextItem& text) override { target_.drawTextItem(at, text); }

private:
    // Whether what is drawn within these bounds lies near enough what shows
    // to draw as it is.
    bool withinReach(const QRectF& bounds) const;
    // Whether a shape may reach far out: the path that cut() wants is made
    // only for such shapes.
    bool mayReachFarOut(const TControlBounds& bounds) const {
        const std::optional<QRectF> rect = bounds.Rect();
        return !rect || !withinReach(*rect);
    }
    // Draws the part of a path reaching far past what shows that can show,
    // in device pixels; false for a path near enough to draw as it is.
    bool cut(const QPainterPath& path, bool fill);
    // Back to the clip the target had.
    void resetClip();
    void clip(Qt::ClipOperation operation, const QPainterPath& path);

    QPainter& target_;
    const QTransform base_;
    const bool hasOuterClip_;
    const double opacity_;
    QPainterPath outerClip_; // in device pixels
    QRectF shown_;           // in device pixels
};

void TClippingEngine::updateState(const QPaintEngineState& state) {
    // In the order the toolkit's own recording takes them, so that a clip
    // is in the transformation set with it.
    const DirtyFlags flags = state.state();
    if (flags & DirtyPen)
        target_.setPen(state.pen());
    if (flags & DirtyBrush)
        target_.setBrush(state.brush());
    if (flags & DirtyBrushOrigin)
        target_.setBrushOrigin(state.brushOrigin());
    if (flags & DirtyFont)
        target_.setFont(state.font());
    if (flags & DirtyBackground)
        target_.setBackground(state.backgroundBrush());
    if (flags & DirtyBackgroundMode)
        target_.setBackgroundMode(state.backgroundMode());
    if (flags & DirtyTransform)
        target_.setTransform(state.transform() * base_);
    if (flags & DirtyClipEnabled && !state.isClipEnabled())
        resetClip();
    if (flags & DirtyClipRegion) {
        QPainterPath path;
        path.addRegion(state.clipRegion());
        clip(state.clipOperation(), path);
    }
    if (flags & DirtyClipPath)
        clip(state.clipOperation(), state.clipPath());
    if (flags & DirtyHints) {
        target_.setRenderHints(target_.renderHints(), false);
        target_.setRenderHints(state.renderHints(), true);
    }
    if (flags & DirtyCompositionMode)
        target_.setCompositionMode(state.compositionMode());
    if (flags & DirtyOpacity)
        target_.setOpacity(opacity_ * state.opacity());
}

void TClippingEngine::resetClip() {
    const QTransform transform = target_.transform();
    target_.resetTransform();
    if (hasOuterClip_)
        target_.setClipPath(outerClip_);
    else
        target_.setClipping(false);
    target_.setTransform(transform);
}

// A clip replacing the one before stays within the target's own.
void TClippingEngine::clip(Qt::ClipOperation operation, const QPainterPath& path) {
    if (operation == Qt::NoClip || operation == Qt::ReplaceClip)
        resetClip();
    if (operation != Qt::NoClip)
        target_.setClipPath(path, hasOuterClip_ || operation == Qt::IntersectClip ? Qt::IntersectClip
                                                                                  : Qt::ReplaceClip);
}

bool TClippingEngine::withinReach(const QRectF& bounds) const {
    const QRectF reach = shown_.adjusted(-kReach, -kReach, kReach, kReach);
    return reach.contains(target_.transform().mapRect(bounds));
}

bool TClippingEngine::cut(const QPainterPath& path, bool fill) {
    if (withinReach(path.controlPointRect()))
        return false;
    const QTransform transform = target_.transform();
    const QPen pen = target_.pen();
    const QBrush brush = target_.brush();
    const double penWidth = pen.style() == Qt::NoPen ? 0
                            : pen.isCosmetic()       ? std::max(pen.widthF(), 1.0)
                                                     : pen.widthF() * std::sqrt(std::abs(transform.determinant()));
    // Far enough out that no cut end, join or smoothing shows.
    const double margin = penWidth * std::max(4.0, pen.miterLimit()) + 2;
    const QRectF box = shown_.adjusted(-margin, -margin, margin, margin);
    const QPainterPath devicePath = transform.map(path);
    target_.save();
    target_.resetTransform();
    if (fill && brush.style() != Qt::NoBrush) {
        QBrush deviceBrush = brush;
        deviceBrush.setTransform(brush.transform() * transform);
        QPainterPath area;
        area.addRect(box);
        target_.fillPath(devicePath.intersected(area), deviceBrush);
    }
    if (pen.style() != Qt::NoPen) {
        QPen devicePen = pen;
        devicePen.setWidthF(penWidth);
        QBrush penBrush = pen.brush();
        penBrush.setTransform(penBrush.transform() * transform);
        devicePen.setBrush(penBrush);
        target_.strokePath(outlineWithin(devicePath, box), devicePen);
    }
    target_.restore();
    return true;
}

} // namespace

// The paint device the canvas paints on: its engine hands on to the
// target painter; its measures are the target device's.
class TClippingCanvas::TDevice : public QPaintDevice {
public:
    explicit TDevice(QPainter& target) : engine_(target), target_(*target.device()) {}

    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth: return target_.width();
        case PdmHeight: return target_.height();
        case PdmWidthMM: return target_.widthMM();
        case PdmHeightMM: return target_.heightMM();
        case PdmNumColors: return target_.colorCount();
        case PdmDepth: return target_.depth();
        case PdmDpiX: return target_.logicalDpiX();
        case PdmDpiY: return target_.logicalDpiY();
        case PdmPhysicalDpiX: return target_.physicalDpiX();
        case PdmPhysicalDpiY: return target_.physicalDpiY();
        case PdmDevicePixelRatio: return int(target_.devicePixelRatio());
        case PdmDevicePixelRatioScaled: return int(target_.devicePixelRatio() * devicePixelRatioFScale());
        }
        return QPaintDevice::metric(metric);
    }

private:
    mutable TClippingEngine engine_;
    const QPaintDevice& target_;
};

TClippingCanvas::TClippingCanvas(TCanvas& target)
    : device_(std::make_unique<TDevice>(*target.QtSide().Painter())) {
    QtSide().SetDevice(device_.get());
}

// The painter ends before its device goes.
TClippingCanvas::~TClippingCanvas() { Release(); }
