#include "platform/gfx/Canvas.h"

#include "platform/base/Utf8.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/QtBridge.h"

#include <QGlyphRun>
#include <QImage>
#include <QPaintDevice>
#include <QPixmap>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

QRect normalised(int x1, int y1, int x2, int y2) {
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    return QRect(x1, y1, x2 - x1, y2 - y1);
}

// A frame of the given thickness lying inside box, drawn as filled strips:
// the top and bottom across the whole width, the sides between them.
void fillFrame(QPainter& p, const QRect& box, int thickness, const QColor& color) {
    int thickX = std::min(thickness, box.width()), thickY = std::min(thickness, box.height());
    p.fillRect(QRect(box.left(), box.top(), box.width(), thickY), color);
    if (box.height() > thickY)
        p.fillRect(QRect(box.left(), box.bottom() - thickY + 1, box.width(), thickY), color);
    int middle = box.height() - 2 * thickY;
    if (middle > 0) {
        p.fillRect(QRect(box.left(), box.top() + thickY, thickX, middle), color);
        if (box.width() > thickX)
            p.fillRect(QRect(box.right() - thickX + 1, box.top() + thickY, thickX, middle), color);
    }
}

// The pixels of a slanted line by Bresenham, leaving out the end point as
// lines here always do.
std::vector<QPoint> linePoints(int x1, int y1, int x2, int y2) {
    std::vector<QPoint> points;
    int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    int x = x1, y = y1;
    points.reserve(static_cast<size_t>(std::max(dx, -dy)));
    while (x != x2 || y != y2) {
        points.emplace_back(x, y);
        int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y += sy;
        }
    }
    return points;
}

// Draws in a raster operation's mode and hands the painter back in plain
// source-over mode however the drawing ends, so that the next caller (the
// canvas or code painting straight through Qt) paints normally.
class TCompositionScope {
public:
    TCompositionScope(QPainter& painter, QPainter::CompositionMode mode) : painter_(painter) {
        painter_.setCompositionMode(mode);
    }
    ~TCompositionScope() { painter_.setCompositionMode(QPainter::CompositionMode_SourceOver); }
    TCompositionScope(const TCompositionScope&) = delete;
    TCompositionScope& operator=(const TCompositionScope&) = delete;

private:
    QPainter& painter_;
};

Qt::BrushStyle hatchStyle(TBrushStyle style) {
    switch (style) {
    case bsHorizontal:
        return Qt::HorPattern;
    case bsVertical:
        return Qt::VerPattern;
    case bsFDiagonal:
        return Qt::FDiagPattern;
    case bsBDiagonal:
        return Qt::BDiagPattern;
    case bsCross:
        return Qt::CrossPattern;
    case bsDiagCross:
        return Qt::DiagCrossPattern;
    default:
        return Qt::SolidPattern;
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Justification

void TTextJustification::Set(int extra, int breakCount) {
    if (breakCount <= 0 || extra == 0) {
        count_ = per_ = remainder_ = error_ = 0;
        return;
    }
    count_ = breakCount;
    per_ = extra / breakCount;
    remainder_ = extra % breakCount;
    error_ = remainder_ / 2;
}

int TTextJustification::NextBreak() {
    if (count_ <= 0)
        return 0;
    int extra = per_;
    error_ += remainder_;
    if (remainder_ >= 0 && error_ >= count_) {
        ++extra;
        error_ -= count_;
    } else if (remainder_ < 0 && error_ <= -count_) {
        --extra;
        error_ += count_;
    }
    return extra;
}

// ---------------------------------------------------------------------------
// Device and state

TCanvas::TCanvas() : qt_(std::make_unique<TCanvasQt>(*this)) {}

TCanvas::~TCanvas() { Release(); }

bool TCanvas::HasDevice() const { return qt_->device_ != nullptr; }

bool TCanvas::HasClip() const { return qt_->clip_.has_value(); }

void TCanvas::Release() { qt_->end(); }

void TCanvasQt::SetDevice(QPaintDevice* device) {
    end();
    device_ = device;
}

void TCanvasQt::end() {
    if (painter_) {
        if (painter_->isActive())
            painter_->end();
        painter_.reset();
    }
}

TSize TCanvas::DeviceSize() const {
    QPaintDevice* device = qt_->device_;
    if (device == nullptr)
        return {};
    return {device->width(), device->height()};
}

void TCanvasQt::begin() {
    if (painter_ || device_ == nullptr)
        return;
    if (device_->width() <= 0 || device_->height() <= 0)
        return;
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(device_))
        return;
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->setTransform(QTransform::fromTranslate(canvas_.origin_.X, canvas_.origin_.Y));
    painter_ = std::move(painter);
    applyClip();
}

QPainter* TCanvasQt::Painter() {
    begin();
    return painter_.get();
}

void TCanvas::SetOrigin(TPoint origin) {
    origin_ = origin;
    if (qt_->painter_) {
        qt_->painter_->setTransform(QTransform::fromTranslate(origin_.X, origin_.Y));
        qt_->applyClip();
    }
}

QImage* TCanvasQt::DeviceImage() const {
    if (device_ != nullptr && device_->devType() == QInternal::Image)
        return static_cast<QImage*>(device_);
    return nullptr;
}

void TCanvasQt::applyClip() {
    if (!painter_)
        return;
    if (clip_)
        painter_->setClipRegion(clip_->translated(-canvas_.origin_.X, -canvas_.origin_.Y));
    else
        painter_->setClipping(false);
}

// ---------------------------------------------------------------------------
// Clipping

TRect TCanvas::ClipRect() const {
    QRect area = qt_->device_ != nullptr ? QRect(0, 0, qt_->device_->width(), qt_->device_->height()) : QRect();
    if (qt_->clip_)
        area = qt_->device_ != nullptr ? qt_->clip_->boundingRect() & area : qt_->clip_->boundingRect();
    if (area.isEmpty())
        return {};
    return FromQRect(area.translated(-origin_.X, -origin_.Y));
}

void TCanvas::SetClipRect(const TRect& rect) {
    qt_->clip_ = QRegion(ToQRect(rect).translated(origin_.X, origin_.Y));
    qt_->applyClip();
}

void TCanvas::IntersectClipRect(const TRect& rect) {
    QRegion area(ToQRect(rect).translated(origin_.X, origin_.Y));
    if (qt_->clip_)
        qt_->clip_ = *qt_->clip_ & area;
    else
        qt_->clip_ = area;
    qt_->applyClip();
}

void TCanvas::ExcludeClipRect(const TRect& rect) {
    QRegion base = qt_->clip_ ? *qt_->clip_
                         : QRegion(0, 0, qt_->device_ != nullptr ? qt_->device_->width() : 0,
                                   qt_->device_ != nullptr ? qt_->device_->height() : 0);
    qt_->clip_ = base - QRegion(ToQRect(rect).translated(origin_.X, origin_.Y));
    qt_->applyClip();
}

void TCanvasQt::SetClipRegion(const QRegion& region) {
    clip_ = region.translated(canvas_.origin_.X, canvas_.origin_.Y);
    applyClip();
}

void TCanvas::RemoveClip() {
    qt_->clip_.reset();
    qt_->applyClip();
}

// ---------------------------------------------------------------------------
// Measuring

void TCanvas::SetMeasurer(TTextMeasurer* measurer) {
    measurer_ = measurer;
    measured_.reset();
}

TTextMeasurer& TCanvas::Measurer() const {
    return measurer_ != nullptr ? *measurer_ : DefaultTextMeasurer();
}

const TMeasuredFont& TCanvas::MeasuredFont() {
    TTextMeasurer& measurer = Measurer();
    if (measured_ && measuredBy_ == &measurer && fontSeen_ == font_.ChangeCount())
        return *measured_;
    // A change of colour alone keeps the measured face.
    if (!measured_ || measuredBy_ != &measurer || !measuredFace_.SameFace(font_)) {
        measured_ = measurer.Measure(font_);
        measuredBy_ = &measurer;
        measuredFace_.Assign(&font_);
    }
    fontSeen_ = font_.ChangeCount();
    return *measured_;
}

int TCanvas::TextWidth(std::string_view text) { return MeasuredFont().TextWidth(text, textEncoding_); }

TTextEncoding TCanvas::SetTextEncoding(TTextEncoding encoding) {
    const TTextEncoding previous = textEncoding_;
    textEncoding_ = encoding;
    return previous;
}

int TCanvas::TextHeight(std::string_view) { return MeasuredFont().Metrics().Height; }

TSize TCanvas::TextExtent(std::string_view text) {
    const TMeasuredFont& font = MeasuredFont();
    return {font.TextWidth(text, textEncoding_), font.Metrics().Height};
}

// ---------------------------------------------------------------------------
// Pens and brushes

bool TCanvas::penDraws() const { return pen_.Style() != psClear && pen_.Mode() != pmNop; }

QPainter::CompositionMode TCanvasQt::penComposition() const {
    switch (canvas_.pen_.Mode()) {
    case pmBlack:
        return QPainter::RasterOp_ClearDestination;
    case pmWhite:
        return QPainter::RasterOp_SetDestination;
    case pmNot:
        return QPainter::RasterOp_NotDestination;
    case pmNotCopy:
        return QPainter::RasterOp_NotSource;
    case pmMergePenNot:
        return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot:
        return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen:
        return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen:
        return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge:
        return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask:
        return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor:
        return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
        return QPainter::RasterOp_NotSourceXorDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

QPen TCanvasQt::pen() const {
    const TPen& pen_ = canvas_.pen_;
    if (!canvas_.penDraws())
        return QPen(Qt::NoPen);
    QPen pen(ToQColor(pen_.Color()));
    pen.setWidth(pen_.Width() <= 1 ? 0 : pen_.Width());
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (pen_.Style()) {
    case psDash:
        pen.setStyle(Qt::DashLine);
        break;
    case psDot:
        pen.setStyle(Qt::DotLine);
        break;
    case psDashDot:
        pen.setStyle(Qt::DashDotLine);
        break;
    case psDashDotDot:
        pen.setStyle(Qt::DashDotDotLine);
        break;
    default:
        pen.setStyle(Qt::SolidLine);
        break;
    }
    return pen;
}

QBrush TCanvasQt::brush() const {
    const TBrush& brush_ = canvas_.brush_;
    if (TBitmap* pattern = brush_.Bitmap(); pattern != nullptr && !pattern->Empty())
        return QBrush(BitmapImage(*pattern).convertToFormat(QImage::Format_RGB32));
    if (brush_.Style() == bsClear)
        return QBrush(Qt::NoBrush);
    return QBrush(ToQColor(brush_.Color()), hatchStyle(brush_.Style()));
}

// ---------------------------------------------------------------------------
// Lines and shapes

void TCanvas::drawSolidLine(int x1, int y1, int x2, int y2) {
    QPainter* p = qt_->Painter();
    if (p == nullptr || (x1 == x2 && y1 == y2))
        return;
    QColor color = ToQColor(pen_.Color());
    TCompositionScope mode(*p, qt_->penComposition());
    if (y1 == y2) {
        int from = x2 > x1 ? x1 : x2 + 1;
        p->fillRect(QRect(from, y1, std::abs(x2 - x1), 1), color);
    } else if (x1 == x2) {
        int from = y2 > y1 ? y1 : y2 + 1;
        p->fillRect(QRect(x1, from, 1, std::abs(y2 - y1)), color);
    } else {
        std::vector<QPoint> points = linePoints(x1, y1, x2, y2);
        QPen pen(color);
        pen.setWidth(0);
        p->setPen(pen);
        p->drawPoints(points.data(), static_cast<int>(points.size()));
    }
}

void TCanvas::LineTo(int x, int y) {
    TPoint from = penPos_;
    penPos_ = {x, y};
    if (!penDraws())
        return;
    if (pen_.Width() <= 1 && (pen_.Style() == psSolid || pen_.Style() == psInsideFrame)) {
        drawSolidLine(from.X, from.Y, x, y);
        return;
    }
    QPainter* p = qt_->Painter();
    if (p == nullptr)
        return;
    TCompositionScope mode(*p, qt_->penComposition());
    p->setPen(qt_->pen());
    p->drawLine(from.X, from.Y, x, y);
}

void TCanvas::Polyline(std::span<const TPoint> points) {
    if (points.empty())
        return;
    TPoint saved = penPos_;
    penPos_ = points.front();
    for (size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].X, points[i].Y);
    penPos_ = saved;
}

void TCanvas::Polygon(std::span<const TPoint> points) {
    QPainter* p = qt_->Painter();
    if (p == nullptr || points.size() < 2)
        return;
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const TPoint& point : points)
        polygon.append(QPoint(point.X, point.Y));
    TCompositionScope mode(*p, qt_->penComposition());
    p->setPen(qt_->pen());
    p->setBrush(qt_->brush());
    p->setBrushOrigin(-origin_.X, -origin_.Y);
    p->drawPolygon(polygon, Qt::OddEvenFill);
    p->setBrush(Qt::NoBrush);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    QPainter* p = qt_->Painter();
    if (p == nullptr)
        return;
    QRect box = normalised(x1, y1, x2, y2);
    if (box.isEmpty())
        return;
    TCompositionScope mode(*p, qt_->penComposition());
    p->setBrushOrigin(-origin_.X, -origin_.Y);
    QBrush brush = qt_->brush();
    if (!penDraws()) {
        // Without an outline the filled area is one pixel smaller.
        if (brush.style() != Qt::NoBrush)
            p->fillRect(box.adjusted(0, 0, -1, -1), brush);
        return;
    }
    int w = std::max(1, pen_.Width());
    QRect inside = box.adjusted(w, w, -w, -w);
    if (brush.style() != Qt::NoBrush && !inside.isEmpty())
        p->fillRect(inside, brush);
    if (pen_.Style() == psSolid || pen_.Style() == psInsideFrame || w > 1) {
        fillFrame(*p, box, w, ToQColor(pen_.Color()));
    } else {
        p->setPen(qt_->pen());
        p->setBrush(Qt::NoBrush);
        p->drawRect(box.adjusted(0, 0, -1, -1));
    }
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    QPainter* p = qt_->Painter();
    if (p == nullptr)
        return;
    QRect box = normalised(x1, y1, x2, y2);
    if (box.width() < 1 || box.height() < 1)
        return;
    TCompositionScope mode(*p, qt_->penComposition());
    p->setPen(qt_->pen());
    p->setBrush(qt_->brush());
    p->setBrushOrigin(-origin_.X, -origin_.Y);
    p->drawEllipse(box.adjusted(0, 0, -1, -1));
    p->setBrush(Qt::NoBrush);
}

void TCanvas::FillRect(const TRect& rect) {
    QPainter* p = qt_->Painter();
    if (p == nullptr || rect.IsEmpty())
        return;
    QBrush brush = qt_->brush();
    if (brush.style() == Qt::NoBrush)
        return;
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setBrushOrigin(-origin_.X, -origin_.Y);
    p->fillRect(ToQRect(rect), brush);
}

void TCanvas::FillRect(const TRect& rect, TColor color) {
    QPainter* p = qt_->Painter();
    if (p == nullptr || rect.IsEmpty())
        return;
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->fillRect(ToQRect(rect), ToQColor(color));
}

void TCanvas::FrameRect(const TRect& rect) {
    QPainter* p = qt_->Painter();
    if (p == nullptr || rect.IsEmpty())
        return;
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    fillFrame(*p, ToQRect(rect), 1, ToQColor(brush_.Color()));
}

void TCanvas::DrawFocusRect(const TRect& rect) {
    QPainter* p = qt_->Painter();
    if (p == nullptr || rect.IsEmpty())
        return;
    // Every pixel of the frame whose device x + y is even is inverted; the
    // pattern is fixed to the device so that overlapping frames agree.
    std::vector<QPoint> points;
    auto take = [&](int x, int y) {
        if (((x + origin_.X + y + origin_.Y) & 1) == 0)
            points.emplace_back(x, y);
    };
    for (int x = rect.Left; x < rect.Right; ++x) {
        take(x, rect.Top);
        if (rect.Bottom - 1 > rect.Top)
            take(x, rect.Bottom - 1);
    }
    for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
        take(rect.Left, y);
        if (rect.Right - 1 > rect.Left)
            take(rect.Right - 1, y);
    }
    QPen pen(Qt::white);
    pen.setWidth(0);
    p->setPen(pen);
    TCompositionScope mode(*p, QPainter::RasterOp_NotDestination);
    p->drawPoints(points.data(), static_cast<int>(points.size()));
}

void TCanvas::InvertRect(const TRect& rect) {
    QPainter* p = qt_->Painter();
    if (p == nullptr || rect.IsEmpty())
        return;
    TCompositionScope mode(*p, QPainter::RasterOp_NotDestination);
    p->fillRect(ToQRect(rect), Qt::white);
}

void TCanvas::DrawSizeGrip(const TRect& rect) {
    TColor old = Pen().Color();
    for (int d = 4; d <= 12; d += 4)
        for (int i = 0; i < 2; ++i) {
            Pen().SetColor(i == 0 ? clBtnHighlight : clBtnShadow);
            MoveTo(rect.Right - d + i, rect.Bottom);
            LineTo(rect.Right, rect.Bottom - d + i);
        }
    Pen().SetColor(old);
}

bool TCanvas::DrawEdge(TRect& rect, unsigned edge, unsigned flags) {
    QPainter* p = qt_->Painter();
    TRect r = rect;
    bool soft = (flags & BF_SOFT) != 0;
    bool flat = (flags & (BF_FLAT | BF_MONO)) != 0;
    auto layer = [&](TColor topLeft, TColor bottomRight) {
        if (p != nullptr && !r.IsEmpty()) {
            QColor lt = ToQColor(topLeft), rb = ToQColor(bottomRight);
            p->setCompositionMode(QPainter::CompositionMode_SourceOver);
            if (flags & BF_LEFT)
                p->fillRect(QRect(r.Left, r.Top, 1, std::max(0, r.Height() - 1)), lt);
            if (flags & BF_TOP)
                p->fillRect(QRect(r.Left, r.Top, std::max(0, r.Width() - 1), 1), lt);
            if (flags & BF_RIGHT)
                p->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), rb);
            if (flags & BF_BOTTOM)
                p->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), rb);
        }
        if (flags & BF_LEFT)
            ++r.Left;
        if (flags & BF_TOP)
            ++r.Top;
        if (flags & BF_RIGHT)
            --r.Right;
        if (flags & BF_BOTTOM)
            --r.Bottom;
    };
    if (flat) {
        bool mono = (flags & BF_MONO) != 0;
        if (edge & BDR_OUTER) {
            TColor outer = mono ? clWindowFrame : clBtnShadow;
            layer(outer, outer);
        }
        if (edge & BDR_INNER) {
            TColor inner = mono ? clWindow : clBtnFace;
            layer(inner, inner);
        }
    } else {
        if (edge & BDR_RAISEDOUTER)
            layer(soft ? clBtnHighlight : cl3DLight, cl3DDkShadow);
        else if (edge & BDR_SUNKENOUTER)
            layer(soft ? cl3DDkShadow : clBtnShadow, clBtnHighlight);
        if (edge & BDR_RAISEDINNER)
            layer(soft ? cl3DLight : clBtnHighlight, clBtnShadow);
        else if (edge & BDR_SUNKENINNER)
            layer(soft ? clBtnShadow : cl3DDkShadow, cl3DLight);
    }
    if ((flags & BF_MIDDLE) && p != nullptr && !r.IsEmpty()) {
        TColor face = (flags & BF_MONO) ? clWindow : clBtnFace;
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->fillRect(ToQRect(r), ToQColor(face));
    }
    if (flags & BF_ADJUST)
        rect = r;
    return true;
}

TColor TCanvas::Pixel(int x, int y) {
    QPaintDevice* device_ = qt_->Device();
    if (device_ == nullptr)
        return CLR_INVALID;
    int dx = x + origin_.X, dy = y + origin_.Y;
    if (dx < 0 || dy < 0 || dx >= device_->width() || dy >= device_->height())
        return CLR_INVALID;
    if (const QImage* image = qt_->DeviceImage())
        return FromQRgb(image->pixel(dx, dy));
    if (device_->devType() == QInternal::Pixmap) {
        QImage one = static_cast<QPixmap*>(device_)->copy(dx, dy, 1, 1).toImage();
        return FromQRgb(one.pixel(0, 0));
    }
    return CLR_INVALID;
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    QPainter* p = qt_->Painter();
    if (p == nullptr)
        return;
    TCompositionScope mode(*p, QPainter::CompositionMode_Source);
    p->fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

// ---------------------------------------------------------------------------
// Text

unsigned TCanvas::SetTextAlign(unsigned flags) {
    unsigned previous = textAlign_;
    textAlign_ = flags;
    return previous;
}

void TCanvas::syncBackgroundWithBrush() {
    // The background of text follows the brush whenever the brush changes:
    // a solid brush gives an opaque background of its colour, a clear one a
    // transparent background.  SetBkMode and SetBkColor override it until
    // the brush changes again.
    if (brushSeen_ == brush_.ChangeCount())
        return;
    brushSeen_ = brush_.ChangeCount();
    bkColor_ = brush_.Color();
    bkMode_ = brush_.Style() == bsClear ? TRANSPARENT : OPAQUE;
}

int TCanvas::SetBkMode(int mode) {
    syncBackgroundWithBrush();
    int previous = bkMode_;
    bkMode_ = mode;
    return previous;
}

TColor TCanvas::SetBkColor(TColor color) {
    syncBackgroundWithBrush();
    TColor previous = bkColor_;
    bkColor_ = color;
    return previous;
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    ExtTextOut(x, y, 0, nullptr, text);
    if (!(textAlign_ & TA_UPDATECP))
        penPos_ = {x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
    unsigned options = ETO_CLIPPED;
    if (brush_.Style() != bsClear)
        options |= ETO_OPAQUE;
    ExtTextOut(x, y, options, &rect, text);
}

bool TCanvas::ExtTextOut(int x, int y, unsigned options, const TRect* rect, std::string_view text,
                         const int* advances) {
    syncBackgroundWithBrush();
    const TMeasuredFont& font = MeasuredFont();
    const TTextMetric& metrics = font.Metrics();
    if (textAlign_ & TA_UPDATECP) {
        x = penPos_.X;
        y = penPos_.Y;
    }

    // The characters: where each starts in the text, its x and advance,
    // and the glyph that draws it.
    struct TPlaced {
        uint32_t Glyph;
        int X;
        int Advance;
        int16_t Font;    // -1: the face; else a fallback of its measured font
        bool Invalid;    // a byte outside a valid UTF-8 sequence
        bool Blank;
    };
    thread_local std::vector<TPlaced> placed;
    placed.clear();
    placed.reserve(text.size());
    const bool utf8 = textEncoding_ == teUtf8;
    int width = 0;
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        TPlaced character{0, width, 0, -1, false, byte == ' '};
        size_t length = 1;
        if (utf8 && byte >= 0x80) {
            char32_t codePoint;
            length = Utf8SequenceLength(text.substr(i), codePoint);
            if (length <= 1) {
                length = 1;
                character.Invalid = true;
            } else if (IsIgnorableCharacter(codePoint)) {
                // No glyph (a font's would be a box) and no room.
                character.Blank = true;
                byte = 0;
            } else if (UnicodeToAnsiChar(codePoint) >= 0) {
                byte = static_cast<unsigned char>(UnicodeToAnsiChar(codePoint));
            } else {
                const TMeasuredFontQt::TCharacterGlyph& glyph = font.QtSide().Character(codePoint);
                character.Glyph = glyph.Glyph;
                character.Font = glyph.Font;
                character.Advance = font.CharacterAdvance(codePoint);
                byte = 0;
            }
        }
        if (byte != 0 || length == 1) {
            character.Glyph = font.Glyph(byte);
            character.Advance = font.Advance(byte);
        }
        if (advances != nullptr)
            character.Advance = advances[i];
        else if (byte == ' ' && justification_.Active())
            character.Advance += justification_.NextBreak();
        width += character.Advance;
        placed.push_back(character);
        i += length;
    }

    unsigned horizontal = textAlign_ & TA_CENTER;
    int left = horizontal == TA_RIGHT ? x - width : horizontal == TA_CENTER ? x - width / 2 : x;
    unsigned vertical = textAlign_ & TA_BASELINE;
    int baseline = vertical == TA_BASELINE ? y
                   : vertical == TA_BOTTOM ? y - metrics.Descent
                                           : y + metrics.Ascent;
    if (textAlign_ & TA_UPDATECP) {
        if (horizontal == TA_RIGHT)
            penPos_.X = left;
        else if (horizontal != TA_CENTER)
            penPos_.X = left + width;
    }

    QPainter* p = qt_->Painter();
    if (p == nullptr)
        return true;
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    QColor background = ToQColor(bkColor_);
    if ((options & ETO_OPAQUE) && rect != nullptr)
        p->fillRect(ToQRect(*rect), background);
    else if (bkMode_ == OPAQUE && width > 0)
        p->fillRect(QRect(left, baseline - metrics.Ascent, width, metrics.Height), background);

    bool clipped = (options & ETO_CLIPPED) && rect != nullptr;
    if (clipped) {
        p->save();
        p->setClipRect(ToQRect(*rect), qt_->clip_ ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    if (invalidByteColor_ != clNone && utf8) {
        const QColor mark = ToQColor(invalidByteColor_);
        for (const TPlaced& character : placed)
            if (character.Invalid)
                p->fillRect(QRect(left + character.X, baseline - metrics.Ascent, character.Advance, metrics.Height),
                            mark);
    }
    QColor ink = ToQColor(font_.Color());
    const QRawFont& raw = font.QtSide().RawFont();
    if (raw.isValid() && !placed.empty()) {
        // One glyph run per font: the face's first, then each fallback's.
        for (int16_t face = -1;; ++face) {
            QList<quint32> glyphs;
            QList<QPointF> positions;
            bool more = false;
            for (const TPlaced& character : placed) {
                if (character.Blank)
                    continue; // nothing to draw
                if (character.Font > face)
                    more = true;
                if (character.Font != face)
                    continue;
                glyphs.append(character.Glyph);
                positions.append(QPointF(character.X, 0));
            }
            if (!glyphs.isEmpty()) {
                QGlyphRun run;
                run.setRawFont(font.QtSide().FallbackFont(face));
                run.setGlyphIndexes(glyphs);
                run.setPositions(positions);
                p->setPen(ink);
                p->drawGlyphRun(QPointF(left, baseline), run);
            }
            if (!more)
                break;
        }
    }
    TFontStyles style = font_.Style();
    if ((style & (fsUnderline | fsStrikeOut)) && width > 0) {
        int thickness = font.LineThickness();
        if (style & fsUnderline)
            p->fillRect(QRect(left, baseline + font.UnderlineOffset(), width, thickness), ink);
        if (style & fsStrikeOut)
            p->fillRect(QRect(left, baseline + font.StrikeOutOffset(), width, thickness), ink);
    }
    if (clipped)
        p->restore();
    return true;
}

// ---------------------------------------------------------------------------
// Bitmaps and raster operations

QImage TCanvasQt::Snapshot(const TRect& rect) {
    if (device_ == nullptr || rect.IsEmpty())
        return QImage();
    QRect area = ToQRect(rect).translated(canvas_.origin_.X, canvas_.origin_.Y);
    if (const QImage* image = DeviceImage())
        return image->copy(area).convertToFormat(QImage::Format_RGB32);
    if (device_->devType() == QInternal::Pixmap)
        return static_cast<QPixmap*>(device_)->copy(area).toImage().convertToFormat(
            QImage::Format_RGB32);
    return QImage();
}

bool TCanvasQt::blit(const QRect& dest, const QImage& sourceImage, uint32_t rop) {
    const TPoint origin_ = canvas_.origin_;
    QPainter* p = Painter();
    if (p == nullptr)
        return false;
    auto draw = [&](QPainter::CompositionMode mode, const QImage& image) {
        TCompositionScope scope(*p, mode);
        p->drawImage(dest, image);
        return true;
    };
    auto fill = [&](QPainter::CompositionMode mode, const QBrush& brush) {
        TCompositionScope scope(*p, mode);
        p->setBrushOrigin(-origin_.X, -origin_.Y);
        p->fillRect(dest, brush);
        return true;
    };
    // The pattern combined into a copy of the source, aligned to the device.
    auto withPattern = [&](QImage image, QPainter::CompositionMode mode) {
        QPainter tp(&image);
        tp.setCompositionMode(mode);
        tp.setBrushOrigin(-(dest.x() + origin_.X), -(dest.y() + origin_.Y));
        tp.fillRect(image.rect(), brush());
        tp.end();
        return image;
    };
    QBrush pattern = brush();
    if (pattern.style() == Qt::NoBrush)
        pattern = QBrush(Qt::black);
    switch (rop) {
    case PATCOPY:
        return fill(QPainter::CompositionMode_Source, pattern);
    case PATINVERT:
        return fill(QPainter::RasterOp_SourceXorDestination, pattern);
    case DSTINVERT:
        return fill(QPainter::RasterOp_NotDestination, QBrush(Qt::white));
    case BLACKNESS:
        return fill(QPainter::CompositionMode_Source, QBrush(Qt::black));
    case WHITENESS:
        return fill(QPainter::CompositionMode_Source, QBrush(Qt::white));
    default:
        break;
    }
    if (sourceImage.isNull())
        return false;
    QImage source = sourceImage.format() == QImage::Format_RGB32
                        ? sourceImage
                        : sourceImage.convertToFormat(QImage::Format_RGB32);
    if (source.size() != dest.size())
        source = source.scaled(dest.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    switch (rop) {
    case SRCCOPY:
        return draw(QPainter::CompositionMode_Source, source);
    case SRCPAINT:
        return draw(QPainter::RasterOp_SourceOrDestination, source);
    case SRCAND:
        return draw(QPainter::RasterOp_SourceAndDestination, source);
    case SRCINVERT:
        return draw(QPainter::RasterOp_SourceXorDestination, source);
    case SRCERASE:
        return draw(QPainter::RasterOp_SourceAndNotDestination, source);
    case NOTSRCCOPY:
        return draw(QPainter::RasterOp_NotSource, source);
    case NOTSRCERASE:
        return draw(QPainter::RasterOp_NotSourceAndNotDestination, source);
    case MERGEPAINT:
        return draw(QPainter::RasterOp_NotSourceOrDestination, source);
    case MERGECOPY:
        return draw(QPainter::CompositionMode_Source,
                    withPattern(source, QPainter::RasterOp_SourceAndDestination));
    case PATPAINT: {
        QImage inverted = source.copy();
        inverted.invertPixels(QImage::InvertRgb);
        return draw(QPainter::RasterOp_SourceOrDestination,
                    withPattern(inverted, QPainter::RasterOp_SourceOrDestination));
    }
    default:
        return false;
    }
}

bool TCanvas::BitBlt(int x, int y, int width, int height, TCanvas* source, int sourceX,
                     int sourceY, uint32_t rop) {
    if (width <= 0 || height <= 0)
        return true;
    QImage pixels;
    if (source != nullptr)
        pixels = source->qt_->Snapshot(Bounds(sourceX, sourceY, width, height));
    return qt_->blit(QRect(x, y, width, height), pixels, rop);
}

bool TCanvas::StretchBlt(const TRect& dest, TCanvas* source, const TRect& sourceRect,
                         uint32_t rop) {
    if (dest.IsEmpty())
        return true;
    QImage pixels;
    if (source != nullptr)
        pixels = source->qt_->Snapshot(sourceRect);
    return qt_->blit(ToQRect(dest), pixels, rop);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
    StretchBlt(dest, &source, sourceRect, CopyMode);
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
    StretchDraw(Bounds(x, y, bitmap.Width(), bitmap.Height()), bitmap);
}

void TCanvas::TileDraw(const TRect& rect, const TBitmap& bitmap, TPoint origin) {
    if (bitmap.Empty() || rect.IsEmpty())
        return;
    QPainter* p = qt_->Painter();
    if (p == nullptr)
        return;
    auto wrap = [](int at, int size) { return (at % size + size) % size; };
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawTiledPixmap(ToQRect(rect), QPixmap::fromImage(BitmapImage(bitmap)),
                       QPoint(wrap(origin.X, bitmap.Width()), wrap(origin.Y, bitmap.Height())));
}

void TCanvas::StretchDraw(const TRect& rect, TBitmap& bitmap) {
    if (bitmap.Empty() || rect.IsEmpty())
        return;
    if (bitmap.Transparent()) {
        QPainter* p = qt_->Painter();
        if (p == nullptr)
            return;
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->drawImage(ToQRect(rect), MaskedBitmapImage(bitmap));
        return;
    }
    QImage image = BitmapImage(bitmap);
    qt_->blit(ToQRect(rect), image, CopyMode);
}
