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
constexpr uint16_t kEndOfFile = 0x0000;
constexpr int kIsotropic = 7;
constexpr int kAnisotropic = 8;
// The largest of the records put before a placeable file's own, in words.
constexpr uint32_t kLargestInserted = 5;
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

// What the drawing layer draws on: the recording's painter, and where a
// pattern brush's bitmap lies (a bitmap pixel to a pixel of the picture at
// its own size, from the frame's corner).
struct TDevice {
    QPainter* Painter;
    QTransform PatternPlace;
};

TDevice& deviceOf(wmfAPI* api) { return *static_cast<TDevice*>(api->device_data); }

QPainter& painterOf(wmfAPI* api) { return *deviceOf(api).Painter; }

QColor colorOf(const wmfRGB& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

QPointF pointOf(const wmfD_Coord& c) { return QPointF(c.x, c.y); }

QRectF rectOf(const wmfD_Coord& topLeft, const wmfD_Coord& bottomRight) {
    return QRectF(pointOf(topLeft), pointOf(bottomRight)).normalized();
}

QPen penOf(const wmfDC* dc) {
    // 0: one device pixel.
    return MetafilePen(dc->pen->lopnStyle, colorOf(dc->pen->lopnColor), dc->pen->width);
}

bool fills(const wmfDC* dc) { return dc->brush->lbStyle != BS_NULL; }

// A hatched brush draws its lines over the background colour when the
// background mode is opaque; a pattern brush repeats its bitmap; other
// brushes are their colour.
void fillWithBrush(wmfAPI* api, const wmfDC* dc, const QPainterPath& path) {
    QPainter& painter = painterOf(api);
    const wmfBrush* brush = dc->brush;
    if (brush->lbStyle == BS_NULL)
        return;
    const bool pattern = brush->lbStyle == BS_PATTERN || brush->lbStyle == BS_DIBPATTERN ||
                         brush->lbStyle == BS_DIBPATTERNPT || brush->lbStyle == BS_PATTERN8X8 ||
                         brush->lbStyle == BS_DIBPATTERN8X8;
    if (pattern && brush->bmp.data) {
        QBrush tiles(*static_cast<const QImage*>(brush->bmp.data));
        tiles.setTransform(deviceOf(api).PatternPlace);
        painter.fillPath(path, tiles);
        return;
    }
    if (brush->lbStyle != BS_HATCHED) {
        painter.fillPath(path, colorOf(brush->lbColor));
        return;
    }
    if (dc->bgmode == OPAQUE)
        painter.fillPath(path, colorOf(dc->bgcolor));
    painter.fillPath(path, QBrush(colorOf(brush->lbColor), MetafileHatch(brush->lbHatch)));
}

void drawShape(wmfAPI* api, const wmfDC* dc, const QPainterPath& path, bool fill) {
    QPainter& painter = painterOf(api);
    if (!MetafileMixDraws(dc->ROPmode))
        return;
    painter.setCompositionMode(MetafileMix(dc->ROPmode));
    if (fill && fills(dc))
        fillWithBrush(api, dc, path);
    const QPen pen = penOf(dc);
    if (pen.style() != Qt::NoPen)
        painter.strokePath(path, pen);
}

// The arc of an ellipse between its two radials.  The player hands them
// over relative to the centre and in the order that runs clockwise on the
// screen (GDI's counter-clockwise, seen with y downwards).
void arcPath(const wmfDrawArc_t* arc, QPainterPath& path, bool fromCentre) {
    const QRectF box = rectOf(arc->TL, arc->BR);
    AddMetafileArc(path, box, box.center() + pointOf(arc->start), box.center() + pointOf(arc->end), true, fromCentre);
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
        fillWithBrush(api, rop->dc, path);
        break;
    default: // PATCOPY and the rest
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        fillWithBrush(api, rop->dc, path);
    }
}

// A bitmap of the metafile: a device-independent bitmap, its bits right
// after its header and colour table.
void bmpRead(wmfAPI* api, wmfBMP_Read_t* read) {
    read->bmp.data = nullptr;
    if (!read->buffer || read->length <= 0)
        return;
    const std::string_view bitmap(reinterpret_cast<const char*>(read->buffer), size_t(read->length));
    const size_t info = MetafileBitmapInfoLength(bitmap);
    if (info == 0 || info > bitmap.size())
        return;
    auto image = std::make_unique<QImage>(MetafileBitmapImage(bitmap.substr(0, info), bitmap.substr(info)));
    if (image->isNull() || image->width() > 0xFFFF || image->height() > 0xFFFF)
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
    fillWithBrush(api, region->dc, regionPath(region));
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
        fillWithBrush(api, region->dc, frame);
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
    const size_t start = isPlaceable(data) ? kPlaceableSize : 0;
    // The standard header: type 1 (memory) or 2 (disk), 9 words long.
    return data.size() >= start + kHeaderSize &&
           (LoadLittleEndian<uint16_t>(data.data() + start) == 1 ||
            LoadLittleEndian<uint16_t>(data.data() + start) == 2) &&
           LoadLittleEndian<uint16_t>(data.data() + start + 2) == 9;
}

TWindowsMetafileRecords ReadWindowsMetafileRecords(std::string_view data) {
    if (!IsWindowsMetafile(data))
        InvalidMetafile();
    TWindowsMetafileRecords records;
    size_t at = (isPlaceable(data) ? kPlaceableSize : 0) + kHeaderSize;
    // Past the last record, fewer bytes than a record's size and function
    // are padding.
    while (data.size() - at >= 6) {
        const auto words = LoadLittleEndian<uint32_t>(data.data() + at);
        const auto function = LoadLittleEndian<uint16_t>(data.data() + at + 4);
        if (words < 3 || words > (data.size() - at) / 2)
            InvalidMetafile();
        records.Largest = std::max(records.Largest, words);
        const auto word = [&](size_t index) { return LoadLittleEndian<int16_t>(data.data() + at + 6 + 2 * index); };
        if (function == kEndOfFile)
            break;
        if (function == kSetMapMode && words >= 4 && records.MapMode == 0)
            records.MapMode = word(0);
        else if (function == kSetWindowExt && words >= 5 && records.WindowWidth == 0 && records.WindowHeight == 0)
            records.WindowWidth = std::abs(int(word(1))), records.WindowHeight = std::abs(int(word(0)));
        at += size_t(words) * 2;
    }
    return records;
}

std::unique_ptr<TMetafileRecording> PlayWindowsMetafile(std::string_view data) {
    const TWindowsMetafileRecords records = ReadWindowsMetafileRecords(data);
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
    const TFrame placed = placeable ? frameOf(data) : TFrame{};
    if (placeable && placed.Inch == 0)
        InvalidMetafile();
    // The player reads from a buffer it does not take as const.
    std::string bytes = placeable ? withFrameAsWindow(data, placed) : std::string(data);
    // The player makes a buffer as large as the header's largest record at
    // once: the largest the records hold, not what the header claims (a
    // 608-byte file claimed 3.8 GB).
    StoreLittleEndian(bytes.data() + (placeable ? kPlaceableSize : 0) + 12,
                      std::max(records.Largest, uint32_t(kLargestInserted)));
    if (wmf_mem_open(api.get(), reinterpret_cast<unsigned char*>(bytes.data()), long(bytes.size())) != wmf_E_None)
        InvalidMetafile();
    wmfD_Rect bounds{};
    if (wmf_scan(api.get(), 0, &bounds) != wmf_E_None)
        InvalidMetafile();

    auto recording = std::make_unique<TMetafileRecording>();
    QRectF& frame = recording->QtSide().Frame;
    int width = 0, height = 0;
    if (placeable) {
        frame = QRectF(0, 0, kAnisotropicViewport, kAnisotropicViewport);
        width = int(std::lround(placed.Width * kMetafilePixelsPerInch / placed.Inch));
        height = int(std::lround(placed.Height * kMetafilePixelsPerInch / placed.Inch));
    } else if ((records.MapMode == kIsotropic || records.MapMode == kAnisotropic) && records.WindowWidth > 0 &&
               records.WindowHeight > 0) {
        // A window the mapping scales: the picture is that window, a logical
        // unit to the pixel, as a program that plays the file at the
        // window's size draws it (what lies outside does not show).  The
        // player maps such a window onto its square.
        frame = QRectF(0, 0, kAnisotropicViewport, kAnisotropicViewport);
        width = records.WindowWidth;
        height = records.WindowHeight;
    } else {
        // Nothing says how large the picture is: what it draws is all of it,
        // a logical unit to the pixel as a screen plays it unmapped (the
        // player takes such a metafile's units for its own).
        frame = QRectF(QPointF(bounds.TL.x, bounds.TL.y), QPointF(bounds.BR.x, bounds.BR.y));
        width = int(std::lround(frame.width()));
        height = int(std::lround(frame.height()));
    }
    if (width <= 0 || height <= 0 || !(frame.width() > 0) || !(frame.height() > 0))
        InvalidMetafile();
    recording->SetSize(width, height);

    QPainter painter(&recording->QtSide().Picture);
    painter.setRenderHint(QPainter::Antialiasing);
    TDevice device{&painter, QTransform::fromTranslate(frame.left(), frame.top())
                                 .scale(frame.width() / width, frame.height() / height)};
    api->device_data = &device;
    const wmf_error_t played = wmf_play(api.get(), 0, &bounds);
    api->device_data = nullptr;
    painter.end();
    if (played != wmf_E_None)
        InvalidMetafile();
    return recording;
}
