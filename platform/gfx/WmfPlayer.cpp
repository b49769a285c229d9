#include "platform/gfx/WmfPlayer.h"

#include "platform/base/Stream.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Graphic.h"
#include "platform/gfx/MetafileFormat.h"
#include "platform/gfx/QtBridge.h"

#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

// After every toolkit header: libwmf's headers define macros that clash
// with them.
#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/ipa.h>

namespace {

// The header that placeable metafiles start with: a key, the picture's
// frame in its logical units, and how many of those make an inch.
constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kHeaderSize = 18;
constexpr uint16_t kSetMapMode = 0x0103;
constexpr uint16_t kSetWindowOrg = 0x020B;
constexpr uint16_t kSetWindowExt = 0x020C;
constexpr int kAnisotropic = 8;
// Where the player maps the window of an anisotropic metafile: a square of
// this many of its units, whatever the window's shape.
constexpr double kAnisotropicViewport = 1024;
// Text is shaped at this size and scaled to the metafile's.
constexpr int kShapingSize = 256;

bool isPlaceable(std::string_view data) {
    return data.size() >= kPlaceableSize && LoadLittleEndian<uint32_t>(data.data()) == kPlaceableKey;
}

// The frame of a placeable metafile, in its logical units.
struct TFrame {
    int Left, Top, Width, Height, Inch;
};

TFrame frameOf(std::string_view placeable) {
    const int left = LoadLittleEndian<int16_t>(placeable.data() + 6);
    const int top = LoadLittleEndian<int16_t>(placeable.data() + 8);
    const int right = LoadLittleEndian<int16_t>(placeable.data() + 10);
    const int bottom = LoadLittleEndian<int16_t>(placeable.data() + 12);
    return {std::min(left, right), std::min(top, bottom), std::abs(right - left), std::abs(bottom - top),
            LoadLittleEndian<uint16_t>(placeable.data() + 14)};
}

// A program draws a placeable metafile into a rectangle with anisotropic
// mapping, the header's frame as the window and the rectangle as the
// viewport; the metafile's own window records then move or resize the
// window (formula editors write their drawing in units of their own and
// set the window to it, leaving the mapping to the program).  The player
// starts from a mapping of its own that ignores the window's size: these
// records, put before the metafile's own, set the mapping up as a program
// would.
std::string withFrameAsWindow(std::string_view data, const TFrame& frame) {
    std::string records;
    const auto record = [&](uint16_t function, std::initializer_list<int> words) {
        AppendLittleEndian<uint32_t>(records, uint32_t(3 + words.size()));
        AppendLittleEndian<uint16_t>(records, function);
        for (int word : words)
            AppendLittleEndian<int16_t>(records, int16_t(word));
    };
    record(kSetMapMode, {kAnisotropic});
    record(kSetWindowOrg, {frame.Top, frame.Left});
    record(kSetWindowExt, {frame.Height, frame.Width});
    constexpr size_t headers = kPlaceableSize + kHeaderSize;
    std::string result;
    result.reserve(data.size() + records.size());
    result.append(data.substr(0, headers));
    // The header's count of the file's words.
    const uint32_t words = LoadLittleEndian<uint32_t>(result.data() + kPlaceableSize + 6);
    StoreLittleEndian(result.data() + kPlaceableSize + 6, uint32_t(words + records.size() / 2));
    result.append(records).append(data.substr(headers));
    return result;
}

// ---- the drawing layer ----

QPainter& painterOf(wmfAPI* api) { return *static_cast<QPainter*>(api->device_data); }

QColor colorOf(const wmfRGB& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

QPointF pointOf(const wmfD_Coord& c) { return QPointF(c.x, c.y); }

QRectF rectOf(const wmfD_Coord& topLeft, const wmfD_Coord& bottomRight) {
    return QRectF(pointOf(topLeft), pointOf(bottomRight)).normalized();
}

QPen penOf(const wmfDC* dc) {
    const wmfPen* pen = dc->pen;
    const unsigned style = pen->lopnStyle & PS_STYLE_MASK;
    if (style == PS_NULL)
        return Qt::NoPen;
    QPen result(colorOf(pen->lopnColor));
    result.setWidthF(pen->width > 0 ? pen->width : 0); // 0: one device pixel
    switch (style) {
    case PS_DASH: result.setStyle(Qt::DashLine); break;
    case PS_DOT: result.setStyle(Qt::DotLine); break;
    case PS_DASHDOT: result.setStyle(Qt::DashDotLine); break;
    case PS_DASHDOTDOT: result.setStyle(Qt::DashDotDotLine); break;
    default: result.setStyle(Qt::SolidLine);
    }
    switch (pen->lopnStyle & PS_ENDCAP_MASK) {
    case PS_ENDCAP_SQUARE: result.setCapStyle(Qt::SquareCap); break;
    case PS_ENDCAP_FLAT: result.setCapStyle(Qt::FlatCap); break;
    default: result.setCapStyle(Qt::RoundCap);
    }
    switch (pen->lopnStyle & PS_JOIN_MASK) {
    case PS_JOIN_BEVEL: result.setJoinStyle(Qt::BevelJoin); break;
    case PS_JOIN_MITER: result.setJoinStyle(Qt::MiterJoin); break;
    default: result.setJoinStyle(Qt::RoundJoin);
    }
    return result;
}

bool fills(const wmfDC* dc) { return dc->brush->lbStyle != BS_NULL; }

// A hatched brush draws its lines over the background colour when the
// background mode is opaque; other brushes are their colour.
void fillWithBrush(QPainter& painter, const wmfDC* dc, const QPainterPath& path) {
    const wmfBrush* brush = dc->brush;
    if (brush->lbStyle == BS_NULL)
        return;
    if (brush->lbStyle != BS_HATCHED) {
        painter.fillPath(path, colorOf(brush->lbColor));
        return;
    }
    if (dc->bgmode == OPAQUE)
        painter.fillPath(path, colorOf(dc->bgcolor));
    Qt::BrushStyle hatch = Qt::HorPattern;
    switch (brush->lbHatch) {
    case HS_VERTICAL: hatch = Qt::VerPattern; break;
    case HS_FDIAGONAL: hatch = Qt::FDiagPattern; break;
    case HS_BDIAGONAL: hatch = Qt::BDiagPattern; break;
    case HS_CROSS: hatch = Qt::CrossPattern; break;
    case HS_DIAGCROSS: hatch = Qt::DiagCrossPattern; break;
    default: break;
    }
    painter.fillPath(path, QBrush(colorOf(brush->lbColor), hatch));
}

// The raster operation of the pen and brush (SetROP2): the ones that do
// not simply paint map onto the toolkit's raster operations.
void applyMix(QPainter& painter, const wmfDC* dc) {
    switch (dc->ROPmode) {
    case R2_XORPEN: painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case R2_NOT: painter.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case R2_MERGEPEN: painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case R2_MASKPEN: painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    default: painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

void drawShape(wmfAPI* api, const wmfDC* dc, const QPainterPath& path, bool fill) {
    QPainter& painter = painterOf(api);
    applyMix(painter, dc);
    if (fill && fills(dc))
        fillWithBrush(painter, dc, path);
    const QPen pen = penOf(dc);
    if (pen.style() != Qt::NoPen)
        painter.strokePath(path, pen);
}

// The arc of an ellipse between its two radials.  The player hands them
// over relative to the centre and in the order that runs clockwise on the
// screen (GDI's counter-clockwise, seen with y downwards).  The toolkit's
// angles are parametric and counter-clockwise: each radial's direction is
// scaled by the radii first.
void arcPath(const wmfDrawArc_t* arc, QPainterPath& path, bool fromCentre) {
    const QRectF box = rectOf(arc->TL, arc->BR);
    const double rx = std::max(box.width() / 2, 1e-9), ry = std::max(box.height() / 2, 1e-9);
    const auto angle = [&](const wmfD_Coord& c) { return std::atan2(c.y / ry, c.x / rx) * 180 / std::numbers::pi; };
    const double start = angle(arc->start);
    double end = angle(arc->end);
    if (end <= start)
        end += 360;
    if (fromCentre)
        path.moveTo(box.center());
    else
        path.arcMoveTo(box, -start);
    path.arcTo(box, -start, -(end - start));
}

void drawArcShape(wmfAPI* api, wmfDrawArc_t* arc, int kind) {
    QPainterPath path;
    if (kind == 0) {
        path.addEllipse(rectOf(arc->TL, arc->BR));
        drawShape(api, arc->dc, path, true);
        return;
    }
    arcPath(arc, path, kind == 2);
    if (kind != 1)
        path.closeSubpath();
    drawShape(api, arc->dc, path, kind != 1);
}

void drawEllipse(wmfAPI* api, wmfDrawArc_t* arc) { drawArcShape(api, arc, 0); }
void drawArc(wmfAPI* api, wmfDrawArc_t* arc) { drawArcShape(api, arc, 1); }
void drawPie(wmfAPI* api, wmfDrawArc_t* arc) { drawArcShape(api, arc, 2); }
void drawChord(wmfAPI* api, wmfDrawArc_t* arc) { drawArcShape(api, arc, 3); }

void drawLine(wmfAPI* api, wmfDrawLine_t* line) {
    QPainterPath path(pointOf(line->from));
    path.lineTo(pointOf(line->to));
    drawShape(api, line->dc, path, false);
}

QPainterPath polyPath(const wmfD_Coord* points, unsigned count) {
    QPainterPath path;
    for (unsigned i = 0; i < count; ++i)
        i == 0 ? path.moveTo(pointOf(points[i])) : path.lineTo(pointOf(points[i]));
    return path;
}

void polyLine(wmfAPI* api, wmfPolyLine_t* line) { drawShape(api, line->dc, polyPath(line->pt, line->count), false); }

void drawPolygon(wmfAPI* api, wmfPolyLine_t* polygon) {
    QPainterPath path = polyPath(polygon->pt, polygon->count);
    path.closeSubpath();
    path.setFillRule(polygon->dc->polyfillmode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    drawShape(api, polygon->dc, path, true);
}

void drawPolyPolygon(wmfAPI* api, wmfPolyPoly_t* polygons) {
    QPainterPath path;
    for (unsigned i = 0; i < polygons->npoly; ++i) {
        QPainterPath part = polyPath(polygons->pt[i], polygons->count[i]);
        part.closeSubpath();
        path.addPath(part);
    }
    path.setFillRule(polygons->dc->polyfillmode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    drawShape(api, polygons->dc, path, true);
}

void drawRectangle(wmfAPI* api, wmfDrawRectangle_t* rectangle) {
    QPainterPath path;
    const QRectF box = rectOf(rectangle->TL, rectangle->BR);
    if (rectangle->width > 0 && rectangle->height > 0)
        path.addRoundedRect(box, rectangle->width / 2, rectangle->height / 2);
    else
        path.addRect(box);
    drawShape(api, rectangle->dc, path, true);
}

void drawPixel(wmfAPI* api, wmfDrawPixel_t* pixel) {
    QPainter& painter = painterOf(api);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(QRectF(pointOf(pixel->pt), QSizeF(pixel->pixel_width, pixel->pixel_height)),
                     colorOf(pixel->color));
}

// PatBlt: the brush, black, white or the inverted background.
void ropDraw(wmfAPI* api, wmfROP_Draw_t* rop) {
    QPainter& painter = painterOf(api);
    const QRectF box = rectOf(rop->TL, rop->BR);
    QPainterPath path;
    path.addRect(box);
    switch (rop->ROP) {
    case 0x00000042: // BLACKNESS
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.fillRect(box, Qt::black);
        break;
    case 0x00FF0062: // WHITENESS
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.fillRect(box, Qt::white);
        break;
    case 0x00550009: // DSTINVERT
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(box, Qt::white);
        break;
    case 0x005A0049: // PATINVERT
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        fillWithBrush(painter, rop->dc, path);
        break;
    default: // PATCOPY and the rest
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        fillWithBrush(painter, rop->dc, path);
    }
}

// A bitmap of the metafile: a device-independent bitmap, read by the
// toolkit's BMP reader once a file header is put before it.
void bmpRead(wmfAPI* api, wmfBMP_Read_t* read) {
    read->bmp.data = nullptr;
    if (!read->buffer || read->length < 40)
        return;
    const auto headerSize = LoadLittleEndian<uint32_t>(read->buffer);
    const auto bits = LoadLittleEndian<uint16_t>(read->buffer + 14);
    const auto colors = LoadLittleEndian<uint32_t>(read->buffer + 32);
    const uint32_t table = bits <= 8 ? 4 * (colors ? colors : 1u << bits) : 0;
    QByteArray file;
    file.append("BM", 2);
    const uint32_t sizes[] = {uint32_t(14 + read->length), 0, uint32_t(14 + headerSize + table)};
    char bytes[12];
    StoreLittleEndian(bytes, sizes[0]);
    StoreLittleEndian(bytes + 4, sizes[1]);
    StoreLittleEndian(bytes + 8, sizes[2]);
    file.append(bytes, 12);
    file.append(reinterpret_cast<const char*>(read->buffer), qsizetype(read->length));
    auto image = std::make_unique<QImage>();
    if (!image->loadFromData(file, "BMP") || image->isNull())
        return;
    read->bmp.width = static_cast<unsigned short>(image->width());
    read->bmp.height = static_cast<unsigned short>(image->height());
    read->bmp.data = image.release();
}

void bmpFree(wmfAPI*, wmfBMP* bmp) {
    delete static_cast<QImage*>(bmp->data);
    bmp->data = nullptr;
}

void bmpDraw(wmfAPI* api, wmfBMP_Draw_t* draw) {
    const auto* image = static_cast<const QImage*>(draw->bmp.data);
    if (!image)
        return;
    QPainter& painter = painterOf(api);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QRectF target(pointOf(draw->pt),
                        QSizeF(draw->crop.w * draw->pixel_width, draw->crop.h * draw->pixel_height));
    // The crop counts rows from the bottom, as the bitmap stores them.
    const QRectF source(draw->crop.x, image->height() - draw->crop.y - draw->crop.h, draw->crop.w, draw->crop.h);
    painter.drawImage(target, *image, source);
}

// The metafile's face as the program resolves face names (a face the
// machine lacks becomes its metric twin), at the shaping size.
QFont faceOf(const wmfFont* font) {
    const QString name = AnsiToQString(font->lfFaceName ? font->lfFaceName : "");
    QFont face(QString::fromStdString(ResolveFontFamily(name.toStdString())));
    face.setPixelSize(kShapingSize);
    return face;
}

void drawText(wmfAPI* api, wmfDrawText_t* text) {
    const wmfDC* dc = text->dc;
    if (!text->str || text->font_height <= 0)
        return;
    QPainter& painter = painterOf(api);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (dc->bgmode == OPAQUE) {
        QPolygonF box;
        for (const wmfD_Coord& corner : {text->bbox.TL, text->bbox.TR, text->bbox.BR, text->bbox.BL})
            box << pointOf(corner);
        QPainterPath background;
        background.addPolygon(box);
        painter.fillPath(background, colorOf(dc->bgcolor));
    }
    QFont font = faceOf(dc->font);
    font.setWeight(dc->font->lfWeight >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic(dc->font->lfItalic != 0);
    font.setUnderline(dc->font->lfUnderline != 0);
    font.setStrikeOut(dc->font->lfStrikeOut != 0);
    QPainterPath glyphs;
    glyphs.addText(0, 0, font, AnsiToQString(text->str));
    // From the shaping size to the metafile's, about the text's start,
    // turned by the escapement (tenths of a degree, counter-clockwise),
    // then stretched across as the mapping stretches the window (the
    // height is in the player's units down; a formula editor's window of
    // 4416 x 736 units goes onto a frame of 222 x 41 pixels).
    const double across = dc->pixel_height > 0 ? dc->pixel_width / dc->pixel_height : 1;
    QTransform place;
    place.translate(text->pt.x, text->pt.y);
    place.scale(across, 1);
    place.rotate(-dc->font->lfEscapement / 10.0);
    place.scale(text->font_height * (text->font_ratio > 0 ? text->font_ratio : 1) / kShapingSize,
                text->font_height / kShapingSize);
    painter.fillPath(place.map(glyphs), colorOf(dc->textcolor));
}

// The player places text by its width: points at a size of one point.
float stringWidth(wmfAPI*, wmfFont* font, char* text) {
    QFont face = faceOf(font);
    return float(QFontMetricsF(face).horizontalAdvance(AnsiToQString(text)) / kShapingSize);
}

void mapFont(wmfAPI*, wmfFont*) {}

QPainterPath regionPath(const wmfPolyRectangle_t* region) {
    QPainterPath path;
    for (unsigned i = 0; i < region->count; ++i)
        path.addRect(rectOf(region->TL[i], region->BR[i]));
    return path.simplified();
}

void regionClip(wmfAPI* api, wmfPolyRectangle_t* region) {
    QPainter& painter = painterOf(api);
    if (region->count == 0)
        painter.setClipping(false);
    else
        painter.setClipPath(regionPath(region));
}

void regionPaint(wmfAPI* api, wmfPolyRectangle_t* region) {
    QPainter& painter = painterOf(api);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    fillWithBrush(painter, region->dc, regionPath(region));
}

void regionFrame(wmfAPI* api, wmfPolyRectangle_t* region) {
    QPainter& painter = painterOf(api);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (unsigned i = 0; i < region->count; ++i) {
        const QRectF box = rectOf(region->TL[i], region->BR[i]);
        QPainterPath frame;
        frame.addRect(box);
        frame.addRect(box.adjusted(region->width, region->height, -region->width, -region->height));
        frame.setFillRule(Qt::OddEvenFill);
        fillWithBrush(painter, region->dc, frame);
    }
}

void nothing(wmfAPI*) {}
void noFlood(wmfAPI*, wmfFlood_t*) {}
void noUserData(wmfAPI*, wmfUserData_t*) {}

// Called by wmf_lite_create: our drawing layer and font measurer, in the
// library's memory (freed with it).
void install(wmfAPI* api) {
    auto* functions = static_cast<wmfFunctionReference*>(wmf_malloc(api, sizeof(wmfFunctionReference)));
    auto* fonts = static_cast<wmfFontData*>(wmf_malloc(api, sizeof(wmfFontData)));
    if (api->err != wmf_E_None || !functions || !fonts)
        return;
    *functions = {};
    functions->device_open = nothing;
    functions->device_close = nothing;
    functions->device_begin = nothing;
    functions->device_end = nothing;
    // Flood fills read back the pixels drawn, which a recording has not.
    functions->flood_interior = noFlood;
    functions->flood_exterior = noFlood;
    functions->draw_pixel = drawPixel;
    functions->draw_pie = drawPie;
    functions->draw_chord = drawChord;
    functions->draw_arc = drawArc;
    functions->draw_ellipse = drawEllipse;
    functions->draw_line = drawLine;
    functions->poly_line = polyLine;
    functions->draw_polygon = drawPolygon;
    functions->draw_polypolygon = drawPolyPolygon;
    functions->draw_rectangle = drawRectangle;
    functions->rop_draw = ropDraw;
    functions->bmp_draw = bmpDraw;
    functions->bmp_read = bmpRead;
    functions->bmp_free = bmpFree;
    functions->draw_text = drawText;
    functions->udata_init = noUserData;
    functions->udata_copy = noUserData;
    functions->udata_set = noUserData;
    functions->udata_free = noUserData;
    functions->region_frame = regionFrame;
    functions->region_paint = regionPaint;
    functions->region_clip = regionClip;
    api->function_reference = functions;
    fonts->map = mapFont;
    fonts->stringwidth = stringWidth;
    fonts->user_data = nullptr;
    api->font_data = fonts;
}

struct TApiDeleter {
    void operator()(wmfAPI* api) const { wmf_lite_destroy(api); }
};

} // namespace

bool IsWindowsMetafile(std::string_view data) {
    if (isPlaceable(data))
        return true;
    // The standard header: type 1 (memory) or 2 (disk), 9 words long.
    return data.size() >= kHeaderSize &&
           (LoadLittleEndian<uint16_t>(data.data()) == 1 || LoadLittleEndian<uint16_t>(data.data()) == 2) &&
           LoadLittleEndian<uint16_t>(data.data() + 2) == 9;
}

// What the metafile draws, in the player's units (points), and the frame
// in those units that its own size shows.
struct TWindowsMetafileRecording::TPicture {
    QPicture Picture;
    QRectF Frame;
};

TWindowsMetafileRecording::~TWindowsMetafileRecording() = default;

void TWindowsMetafileRecording::Draw(TCanvas& canvas, const TRect& rect) const {
    QPainter* painter = canvas.QtSide().Painter();
    if (painter == nullptr)
        return;
    const QRectF& frame = picture_->Frame;
    painter->save();
    painter->translate(rect.Left, rect.Top);
    painter->scale(rect.Width() / frame.width(), rect.Height() / frame.height());
    painter->translate(-frame.left(), -frame.top());
    painter->drawPicture(0, 0, picture_->Picture);
    painter->restore();
}

TWindowsMetafileRecording::TWindowsMetafileRecording(std::string_view data) : picture_(std::make_unique<TPicture>()) {
    if (!IsWindowsMetafile(data))
        InvalidMetafile();
    wmfAPI* made = nullptr;
    wmfAPI_Options options{};
    options.function = install;
    // Quiet, and past the faults it can step over (real files have them).
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    const wmf_error_t created = wmf_lite_create(&made, flags, &options);
    const std::unique_ptr<wmfAPI, TApiDeleter> api(made);
    if (created != wmf_E_None || !api || !api->function_reference)
        InvalidMetafile();
    const bool placeable = isPlaceable(data);
    if (placeable && data.size() < kPlaceableSize + kHeaderSize)
        InvalidMetafile();
    const TFrame placed = placeable ? frameOf(data) : TFrame{};
    if (placeable && placed.Inch == 0)
        InvalidMetafile();
    // The player reads from a buffer it does not take as const.
    std::string bytes = placeable ? withFrameAsWindow(data, placed) : std::string(data);
    if (wmf_mem_open(api.get(), reinterpret_cast<unsigned char*>(bytes.data()), long(bytes.size())) != wmf_E_None)
        InvalidMetafile();
    wmfD_Rect bounds{};
    if (wmf_scan(api.get(), 0, &bounds) != wmf_E_None)
        InvalidMetafile();

    QRectF& frame = picture_->Frame;
    if (placeable) {
        frame = QRectF(0, 0, kAnisotropicViewport, kAnisotropicViewport);
        width_ = int(std::lround(placed.Width * kMetafilePixelsPerInch / placed.Inch));
        height_ = int(std::lround(placed.Height * kMetafilePixelsPerInch / placed.Inch));
    } else {
        // Nothing says how large the picture is: what it draws is all of it,
        // a logical unit to the pixel as a screen plays it unmapped (the
        // player takes such a metafile's units for its own).
        frame = QRectF(QPointF(bounds.TL.x, bounds.TL.y), QPointF(bounds.BR.x, bounds.BR.y));
        width_ = int(std::lround(frame.width()));
        height_ = int(std::lround(frame.height()));
    }
    if (width_ <= 0 || height_ <= 0 || !(frame.width() > 0) || !(frame.height() > 0))
        InvalidMetafile();

    QPainter painter(&picture_->Picture);
    painter.setRenderHint(QPainter::Antialiasing);
    api->device_data = &painter;
    const wmf_error_t played = wmf_play(api.get(), 0, &bounds);
    api->device_data = nullptr;
    painter.end();
    if (played != wmf_E_None)
        InvalidMetafile();
}
