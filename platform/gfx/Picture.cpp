#include "platform/gfx/Picture.h"

#include "platform/base/Filer.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/Metafile.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct TClipboardClass {
    unsigned Format;
    std::string ClassName;
    TGraphicFactory Create;
};

std::string lowerExtension(std::string_view extension) {
    if (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    std::string lower(extension);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower;
}

std::vector<TPictureFileFormat>& fileFormats() {
    static std::vector<TPictureFileFormat> formats = [] {
        auto raster = [](const char* format) {
            return [format] { return std::unique_ptr<TGraphic>(new TRasterImage(format)); };
        };
        return std::vector<TPictureFileFormat>{
            {"bmp", "Bitmaps", "TRasterImage", raster("BMP")},
            {"png", "Portable Network Graphics", "TRasterImage", raster("PNG")},
            {"jpg", "JPEG Image File", "TRasterImage", raster("JPEG")},
            {"jpeg", "JPEG Image File", "TRasterImage", raster("JPEG")},
            {"ico", "Icons", "TIcon", [] { return std::unique_ptr<TGraphic>(new TIcon); }},
            {"emf", "Enhanced Metafiles", "TMetafile", [] { return std::unique_ptr<TGraphic>(new TMetafile); }},
            {"wmf", "Metafiles", "TMetafile", [] { return std::unique_ptr<TGraphic>(new TMetafile); }},
        };
    }();
    return formats;
}

std::vector<TClipboardClass>& clipboardClasses() {
    static std::vector<TClipboardClass> classes;
    return classes;
}

// The extension of a file name, lower case, without the dot.
std::string extensionOf(const std::string& fileName) {
    const size_t slash = fileName.find_last_of('/');
    const size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return lowerExtension(std::string_view(fileName).substr(dot + 1));
}

const TPictureFileFormat* formatFor(const std::string& extension) {
    const auto& formats = fileFormats();
    // The newest registration of an extension wins.
    for (auto it = formats.rbegin(); it != formats.rend(); ++it)
        if (it->Extension == extension)
            return &*it;
    return nullptr;
}

} // namespace

// ---- TPicture ----

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::hook() {
    if (!graphic_)
        return;
    graphic_->OnChange = [this](TPersistent*) { changed(); };
    graphic_->OnProgress = [this](TPersistent* sender, TProgressStage stage, int percent, bool redraw,
                                  const std::string& message) {
        if (OnProgress)
            OnProgress(sender, stage, percent, redraw, message);
    };
}

void TPicture::changed() {
    if (OnChange)
        OnChange(this);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    hook();
    changed();
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }

int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::LoadFromFile(const std::string& fileName) {
    const std::string extension = extensionOf(fileName);
    const TPictureFileFormat* format = formatFor(extension);
    if (!format)
        throw EInvalidGraphic("Unknown picture file extension (." + extension + ")");
    std::unique_ptr<TGraphic> graphic = format->Create();
    graphic->OnProgress = OnProgress;
    graphic->LoadFromFile(fileName);
    SetGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName) {
    if (!graphic_)
        throw EInvalidGraphicOperation("Picture is empty");
    graphic_->SaveToFile(fileName);
}

bool TPicture::SupportsClipboardFormat(unsigned format) {
    const auto& classes = clipboardClasses();
    return format != 0 && std::any_of(classes.begin(), classes.end(),
                                      [format](const TClipboardClass& c) { return c.Format == format; });
}

void TPicture::LoadFromClipboardFormat(unsigned format, std::string_view data) {
    const auto& classes = clipboardClasses();
    for (auto it = classes.rbegin(); it != classes.rend(); ++it) {
        if (it->Format != format || format == 0)
            continue;
        std::unique_ptr<TGraphic> graphic = it->Create();
        graphic->LoadFromClipboardFormat(format, data);
        SetGraphic(std::move(graphic));
        return;
    }
    throw EInvalidGraphic("Unsupported clipboard format");
}

void TPicture::SaveToClipboardFormat(unsigned& format, std::string& data) {
    if (graphic_)
        graphic_->SaveToClipboardFormat(format, data);
}

std::unique_ptr<TGraphic> TPicture::CreateGraphic(const std::string& className) {
    for (const TPictureFileFormat& format : fileFormats())
        if (format.ClassName == className)
            return format.Create();
    for (const TClipboardClass& c : clipboardClasses())
        if (c.ClassName == className)
            return c.Create();
    return nullptr;
}

void TPicture::Assign(const TPersistent* source) {
    if (source == this)
        return;
    if (!source) {
        SetGraphic(nullptr);
        return;
    }
    const TGraphic* graphic = nullptr;
    if (const auto* picture = dynamic_cast<const TPicture*>(source))
        graphic = picture->Graphic();
    else if (!(graphic = dynamic_cast<const TGraphic*>(source)))
        return TPersistent::Assign(source);
    if (!graphic) {
        SetGraphic(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> copy;
    if (const auto* raster = dynamic_cast<const TRasterImage*>(graphic))
        copy = std::make_unique<TRasterImage>(raster->Format());
    else
        copy = CreateGraphic(graphic->ClassName());
    if (!copy)
        copy = std::make_unique<TRasterImage>();
    copy->Assign(graphic);
    SetGraphic(std::move(copy));
}

namespace {

void writeShortString(TStream& stream, const std::string& text) {
    const auto length = uint8_t(std::min<size_t>(text.size(), 255));
    stream.WriteByte(length);
    stream.WriteBuffer(text.data(), length);
}

std::string readShortString(TStream& stream) {
    uint8_t length = 0;
    if (stream.ReadAvailable(&length, 1) != 1)
        throw EReadError("Unexpected end of picture data");
    std::string text(length, '\0');
    if (stream.ReadAvailable(text.data(), length) != length)
        throw EReadError("Unexpected end of picture data");
    return text;
}

} // namespace

void TPicture::DefineProperties(TFiler& filer) {
    filer.DefineBinaryProperty(
        "Data",
        [this](TStream& stream) {
            const std::string className = readShortString(stream);
            std::unique_ptr<TGraphic> graphic = CreateGraphic(className);
            if (!graphic)
                throw EReadError("Unknown picture class " + className);
            graphic->ReadData(stream);
            SetGraphic(std::move(graphic));
        },
        [this](TStream& stream) {
            writeShortString(stream, graphic_->ClassName());
            graphic_->WriteData(stream);
        },
        graphic_ != nullptr && !graphic_->Empty());
}

void TPicture::RegisterFileFormat(std::string_view extension, std::string_view description,
                                  const std::string& className, TGraphicFactory create) {
    fileFormats().push_back({lowerExtension(extension), std::string(description), className, std::move(create)});
}

void TPicture::RegisterClipboardFormat(unsigned format, const std::string& className, TGraphicFactory create) {
    clipboardClasses().push_back({format, className, std::move(create)});
}

void TPicture::UnregisterGraphicClass(const std::string& className) {
    auto& formats = fileFormats();
    formats.erase(std::remove_if(formats.begin(), formats.end(),
                                 [&](const TPictureFileFormat& f) { return f.ClassName == className; }),
                  formats.end());
    auto& classes = clipboardClasses();
    classes.erase(std::remove_if(classes.begin(), classes.end(),
                                 [&](const TClipboardClass& c) { return c.ClassName == className; }),
                  classes.end());
}

std::vector<TPictureFileFormat> TPicture::FileFormats() { return fileFormats(); }

std::string TPicture::GraphicFilter() {
    std::string all;
    std::string each;
    for (const TPictureFileFormat& format : fileFormats()) {
        const std::string mask = "*." + format.Extension;
        all += (all.empty() ? "" : ";") + mask;
        each += "|" + format.Description + " (" + mask + ")|" + mask;
    }
    return "All (" + all + ")|" + all + each;
}

// ---- TRasterImage ----

namespace {

// A colour no pixel of the image has, to stand for its transparent pixels:
// the first one missing from a list of unlikely colours (an image has at
// most width x height colours, so one is always missing).
uint32_t unusedColor(const QImage& image) {
    std::vector<bool> seen(size_t(1) << 24);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) >= 128)
                seen[row[x] & 0xFFFFFF] = true;
    }
    for (uint32_t candidate = 0xFF00FF;; candidate = (candidate * 2654435761u + 1) & 0xFFFFFF)
        if (!seen[candidate])
            return candidate;
}

// Whether any pixel has less than half opacity (draws transparent).
bool hasSeeThroughPixels(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) < 128)
                return true;
    }
    return false;
}

} // namespace

TRasterImage::TRasterImage(std::string format) : format_(std::move(format)), bitmap_(std::make_unique<TBitmap>()) {
    bitmap_->SetPixelFormat(pf32bit);
}

TRasterImage::~TRasterImage() = default;

void TRasterImage::Draw(TCanvas& canvas, const TRect& rect) {
    if (!Empty())
        canvas.StretchDraw(rect, *bitmap_);
}

int TRasterImage::Width() const { return bitmap_->Width(); }

int TRasterImage::Height() const { return bitmap_->Height(); }

void TRasterImage::SetWidth(int width) {
    bitmap_->SetWidth(width);
    Changed(this);
}

void TRasterImage::SetHeight(int height) {
    bitmap_->SetHeight(height);
    Changed(this);
}

bool TRasterImage::Empty() const { return bitmap_->Empty(); }

void TRasterImage::LoadFromStream(TStream& stream) {
    const int64_t start = stream.Position();
    const int64_t size = std::max<int64_t>(0, stream.Size() - start);
    QByteArray data(qsizetype(size), '\0');
    stream.ReadAvailable(data.data(), size);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    // Only the format the extension names: a file of another format (a GIF
    // renamed) is refused rather than read by whichever codec claims it.
    QImageReader reader(&buffer, QByteArray::fromStdString(format_));
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull()) {
        stream.SetPosition(start);
        throw EInvalidGraphic(format_ + " image is not valid");
    }
    stream.SetPosition(start + buffer.pos());
    image = image.convertToFormat(QImage::Format_ARGB32);
    // See-through only when some pixel is: every image is ARGB32 by now, and
    // an opaque photo or bitmap is no transparent picture.
    const bool seeThrough = hasSeeThroughPixels(image);
    const uint32_t key = seeThrough ? unusedColor(image) : 0;
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* to = reinterpret_cast<uint32_t*>(bitmap->ScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            to[x] = 0xFF000000u | (seeThrough && qAlpha(from[x]) < 128 ? key : (from[x] & 0xFFFFFF));
    }
    if (seeThrough) {
        bitmap->SetTransparentColor(RGB(int(key >> 16) & 0xFF, int(key >> 8) & 0xFF, int(key) & 0xFF));
        bitmap->SetTransparent(true);
    }
    bitmap_ = std::move(bitmap);
    TGraphic::SetTransparent(seeThrough);
    Changed(this);
}

void TRasterImage::SaveToStream(TStream& stream) {
    if (Empty())
        throw EInvalidGraphicOperation("Picture is empty");
    QImage image(bitmap_->Width(), bitmap_->Height(), QImage::Format_ARGB32);
    const bool seeThrough = bitmap_->Transparent();
    const TColor key = bitmap_->TransparentColor();
    const uint32_t keyRgb = (uint32_t(GetRValue(key)) << 16) | (uint32_t(GetGValue(key)) << 8) | uint32_t(GetBValue(key));
    for (int y = 0; y < image.height(); ++y) {
        const auto* from = reinterpret_cast<const uint32_t*>(bitmap_->ScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            to[x] = seeThrough && (from[x] & 0xFFFFFF) == keyRgb ? 0 : (from[x] | 0xFF000000u);
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, QByteArray::fromStdString(format_));
    if (!writer.write(format_ == "PNG" ? image : image.convertToFormat(QImage::Format_RGB32)))
        throw EInvalidGraphic(format_ + " image is not valid");
    stream.WriteBuffer(data.constData(), data.size());
}

void TRasterImage::ReadData(TStream& stream) {
    std::string format = readShortString(stream);
    // Only the platform's own formats: no other codec is asked.
    if (format != "BMP" && format != "PNG" && format != "JPEG")
        throw EReadError("Unknown picture format " + format);
    format_ = std::move(format);
    LoadFromStream(stream);
}

void TRasterImage::WriteData(TStream& stream) {
    writeShortString(stream, format_);
    SaveToStream(stream);
}

void TRasterImage::Assign(const TPersistent* source) {
    if (source == this)
        return;
    if (const auto* raster = dynamic_cast<const TRasterImage*>(source)) {
        bitmap_->Assign(raster->bitmap_.get());
        bitmap_->SetPixelFormat(pf32bit);
        TGraphic::SetTransparent(raster->Transparent());
        Changed(this);
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
        bitmap_->Assign(bitmap);
        bitmap_->SetPixelFormat(pf32bit);
        TGraphic::SetTransparent(bitmap->Transparent());
        Changed(this);
        return;
    }
    if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) {
        // Any other picture is drawn onto the bitmap.
        auto& other = const_cast<TGraphic&>(*graphic);
        bitmap_ = std::make_unique<TBitmap>();
        bitmap_->SetPixelFormat(pf32bit);
        bitmap_->SetSize(other.Width(), other.Height());
        if (!bitmap_->Empty())
            other.Draw(bitmap_->Canvas(), Rect(0, 0, other.Width(), other.Height()));
        bitmap_->Canvas().Release();
        Changed(this);
        return;
    }
    TGraphic::Assign(source);
}

void TRasterImage::AssignTo(TPersistent* destination) const {
    if (auto* bitmap = dynamic_cast<TBitmap*>(destination)) {
        bitmap->Assign(bitmap_.get());
        return;
    }
    TGraphic::AssignTo(destination);
}
