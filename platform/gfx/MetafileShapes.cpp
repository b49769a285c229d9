// The pens, hatches, raster operations and arcs of the two metafile
// players (declared in QtBridge.h).
#include "platform/gfx/QtBridge.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The pen and brush values of both formats.
enum : unsigned {
    kStyleMask = 0x0F,
    kDash = 1,
    kDot = 2,
    kDashDot = 3,
    kDashDotDot = 4,
    kNull = 5,
    kEndCapMask = 0x0F00,
    kEndCapSquare = 0x0100,
    kEndCapFlat = 0x0200,
    kJoinMask = 0xF000,
    kJoinBevel = 0x1000,
    kJoinMiter = 0x2000,
};
enum : int { kBlack = 1, kNot = 6, kXor = 7, kMask = 9, kNop = 11, kMerge = 15, kWhite = 16 };
enum : unsigned { kVertical = 1, kForwardDiagonal = 2, kBackwardDiagonal = 3, kCross = 4, kDiagonalCross = 5 };

} // namespace

QPen MetafilePen(unsigned style, const QColor& color, double width) {
    if ((style & kStyleMask) == kNull)
        return Qt::NoPen;
    QPen pen(color);
    pen.setWidthF(width > 0 ? width : 0);
    switch (style & kStyleMask) {
    case kDash: pen.setStyle(Qt::DashLine); break;
    case kDot: pen.setStyle(Qt::DotLine); break;
    case kDashDot: pen.setStyle(Qt::DashDotLine); break;
    case kDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    default: pen.setStyle(Qt::SolidLine);
    }
    switch (style & kEndCapMask) {
    case kEndCapSquare: pen.setCapStyle(Qt::SquareCap); break;
    case kEndCapFlat: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(Qt::RoundCap);
    }
    switch (style & kJoinMask) {
    case kJoinBevel: pen.setJoinStyle(Qt::BevelJoin); break;
    case kJoinMiter: pen.setJoinStyle(Qt::MiterJoin); break;
    default: pen.setJoinStyle(Qt::RoundJoin);
    }
    return pen;
}

Qt::BrushStyle MetafileHatch(unsigned hatch) {
    switch (hatch) {
    case kVertical: return Qt::VerPattern;
    case kForwardDiagonal: return Qt::FDiagPattern;
    case kBackwardDiagonal: return Qt::BDiagPattern;
    case kCross: return Qt::CrossPattern;
    case kDiagonalCross: return Qt::DiagCrossPattern;
    default: return Qt::HorPattern;
    }
}

QPainter::CompositionMode MetafileMix(int rop2) {
    switch (rop2) {
    case kXor: return QPainter::RasterOp_SourceXorDestination;
    case kNot: return QPainter::RasterOp_NotDestination;
    case kMerge: return QPainter::RasterOp_SourceOrDestination;
    case kMask: return QPainter::RasterOp_SourceAndDestination;
    case kBlack: return QPainter::RasterOp_ClearDestination;
    case kWhite: return QPainter::RasterOp_SetDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

bool MetafileMixDraws(int rop2) { return rop2 != kNop; }

// The toolkit's angles are parametric and counter-clockwise: each radial's
// direction is scaled by the radii first.
void AddMetafileArc(QPainterPath& path, const QRectF& box, QPointF start, QPointF end, bool clockwise,
                    bool fromCentre, bool join) {
    const QRectF shape = box.normalized();
    const QPointF centre = shape.center();
    const double rx = std::max(shape.width() / 2, 1e-9), ry = std::max(shape.height() / 2, 1e-9);
    // Counter-clockwise on the screen, in degrees.
    const auto angle = [&](QPointF p) {
        return -std::atan2((p.y() - centre.y()) / ry, (p.x() - centre.x()) / rx) * 180 / std::numbers::pi;
    };
    const double from = angle(start);
    double sweep = angle(end) - from;
    if (clockwise) {
        if (sweep >= 0)
            sweep -= 360;
    } else if (sweep <= 0) {
        sweep += 360;
    }
    if (fromCentre) {
        path.moveTo(centre);
    } else {
        QPainterPath arcStart;
        arcStart.arcMoveTo(shape, from);
        if (join && path.elementCount() > 0)
            path.lineTo(arcStart.currentPosition());
        else
            path.moveTo(arcStart.currentPosition());
    }
    path.arcTo(shape, from, sweep);
}
