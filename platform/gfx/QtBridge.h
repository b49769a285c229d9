#pragma once
// The graphics values as Qt's and back, and the Qt side of the canvas,
// bitmaps, image lists and measured fonts, for platform code only: code
// above platform/ never includes a QtBridge.h (nor any Qt header).

#include "platform/base/QtBridge.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/ImageList.h"
#include "platform/gfx/MetafileRecording.h"
#include "platform/gfx/TextMeasurer.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPicture>
#include <QPoint>
#include <QRawFont>
#include <QRect>
#include <QRegion>

#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// --- geometry ---------------------------------------------------------------------
inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }
inline TRect FromQRect(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
inline QPoint ToQPoint(TPoint p) { return QPoint(p.X, p.Y); }
inline TPoint FromQPoint(const QPoint& p) { return {p.x(), p.y()}; }

// --- colours ----------------------------------------------------------------------
// The Qt colour for a TColor: system colours resolved, the top byte of a
// plain colour ignored, clNone fully transparent, clDefault black.
QColor ToQColor(TColor color);
// The TColor of a Qt colour (alpha ignored).
TColor FromQColor(const QColor& color);
// The same two ways for pixels and colour tables: an opaque QRgb with the
// system colours resolved and the top byte of a plain colour ignored, and
// the TColor of a QRgb (alpha ignored).
QRgb ToQRgb(TColor color);
TColor FromQRgb(QRgb rgb);

// --- fonts ------------------------------------------------------------------------
// The Qt font: the face resolved as ResolveFontFamily says, kerning off, the
// pixel size from Height.  A positive (cell) height needs the face's
// metrics, so this needs a QGuiApplication.
QFont ToQFont(const TFont& font);

// What draws a measured font's characters: the Qt font, its raw font and
// the glyph of each byte, made on first use.
struct TMeasuredFontQt {
    explicit TMeasuredFontQt(const TFont& face) : Face(face) {}
    const QFont& Font() const;
    const QRawFont& RawFont() const;
    uint32_t Glyph(unsigned char byte) const;
    // A character beyond the code page: its glyph in the face, or in a
    // fallback font (Font >= 0) when the face lacks it; measured once.
    struct TCharacterGlyph {
        int16_t Font = -1;
        uint32_t Glyph = 0;
        int Advance = -1;
    };
    const TCharacterGlyph& Character(char32_t character) const;
    // The raw font of a TCharacterGlyph's Font (the face's for -1).
    const QRawFont& FallbackFont(int index) const;

private:
    void make() const;
    TCharacterGlyph measureCharacter(char32_t character) const;
    TFont Face;
    mutable bool ready_ = false;
    mutable QFont font_;
    mutable QRawFont raw_;
    mutable std::array<uint32_t, 256> glyphs_{};
    // Pages of 256 characters, made as characters are first measured.
    mutable std::vector<std::unique_ptr<std::array<TCharacterGlyph, 256>>> pages_;
    mutable std::vector<QRawFont> fallbacks_;
};

// --- the canvas -------------------------------------------------------------------
// The device a canvas draws on, its painter (begun on demand) and its clip
// (device coordinates).
struct TCanvasQt {
    explicit TCanvasQt(TCanvas& canvas) : canvas_(canvas) {}

    // Ends the current painter and draws on device from now on.
    void SetDevice(QPaintDevice* device);
    QPaintDevice* Device() const { return device_; }
    // The active painter, begun on demand; nullptr without a device.
    QPainter* Painter();
    // Clips to a region in canvas coordinates.
    void SetClipRegion(const QRegion& region);
    // The pixels of a part of the canvas (canvas coordinates), or a null
    // image when the device has none to read.
    QImage Snapshot(const TRect& rect);
    // The image behind the device, when it is one (direct pixel access).
    QImage* DeviceImage() const;

private:
    friend class TCanvas;
    void begin();
    void end();
    void applyClip();
    QPen pen() const;
    QBrush brush() const;
    QPainter::CompositionMode penComposition() const;
    bool blit(const QRect& dest, const QImage& source, uint32_t rop);

    TCanvas& canvas_;
    QPaintDevice* device_ = nullptr;
    std::unique_ptr<QPainter> painter_;
    std::optional<QRegion> clip_;
};

// A canvas made on a Qt paint device (an image, a pixmap, a widget).
class TDeviceCanvas : public TCanvas {
public:
    explicit TDeviceCanvas(QPaintDevice* device) { QtSide().SetDevice(device); }
};

// --- bitmaps and image lists ----------------------------------------------------
// A bitmap's pixels.  A view: copy it to keep it past further drawing.
const QImage& BitmapImage(const TBitmap& bitmap);
// Replaces a bitmap's pixels; the pixel format follows the image's format.
void SetBitmapImage(TBitmap& bitmap, const QImage& image);
// The pixels with every pixel of the transparent colour fully transparent.
QImage MaskedBitmapImage(const TBitmap& bitmap);
// The QImage format that holds a pixel format.
QImage::Format ImageFormatOf(TPixelFormat format);
// Image index of a list with its transparency (ARGB32), or a null image.
QImage ImageListImage(const TImageList& list, int index);

// --- metafiles --------------------------------------------------------------------
// What the two metafile players (WmfPlayer.cpp, EmfPlayer.cpp) share.

// A recording: the drawing, and the part of its units that the picture's
// own size shows.
struct TMetafileRecording::TQt {
    QPicture Picture;
    QRectF Frame;
};

// The picture of a device-independent bitmap's header with its colour
// table or masks (`info`) and its pixel bits, read by the toolkit's BMP
// reader once a file header is put before them (JPEG and PNG bits by
// their own readers); a null image for what it cannot read.  With
// `alpha`, a 32-bit picture keeps its fourth bytes as its alpha,
// premultiplied as alpha blending takes them.
QImage MetafileBitmapImage(std::string_view info, std::string_view bits, bool alpha = false);
// The length of the header and colour table or masks at the start of a
// bitmap that holds its bits right after them; 0 where the header is
// damaged.
size_t MetafileBitmapInfoLength(std::string_view bitmap);

// A pen of the given style bits (style, end caps, joins), colour and
// width; a width of 0 or less is one pixel wide at any scale.
QPen MetafilePen(unsigned style, const QColor& color, double width);
// The pattern of a hatched brush of the given hatch style.
Qt::BrushStyle MetafileHatch(unsigned hatch);
// How the pen and brush mix with what is there (the raster operation that
// SetROP2 sets); whether they draw at all is MetafileMixDraws.
QPainter::CompositionMode MetafileMix(int rop2);
bool MetafileMixDraws(int rop2);
// The arc of the ellipse in `box` between the directions of two points
// seen from its centre, clockwise or counter-clockwise as seen on the
// screen (y downwards), added to `path`: from the centre (a pie), else
// from the arc's start (joined to the path's end where `join`).
void AddMetafileArc(QPainterPath& path, const QRectF& box, QPointF start, QPointF end, bool clockwise,
                    bool fromCentre, bool join = false);
