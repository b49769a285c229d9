// The enhanced metafile player's bitmaps: blits with and without a
// bitmap, alpha blending, transparent colours and gradient fills.

#include "platform/gfx/EmfPlayerParts.h"

#include "platform/gfx/MetafileBitmap.h"
#include "platform/gfx/MetafileShapes.h"

#include <QLinearGradient>

namespace emf {

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

} // namespace emf
