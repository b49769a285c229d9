#include "platform/gfx/Clipboard.h"

#include "platform/base/HexDigits.h"
#include "platform/base/TextCodec.h"
#include "platform/base/TextLines.h"
#include "platform/base/QtBridge.h"
#include "platform/gfx/Graphic.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <map>
#include <memory>
#include <vector>

namespace {

struct FormatRegistry {
    std::vector<std::string> names; // index = id - 0xC000
    std::map<std::string, unsigned> ids; // by lower-case name
};

FormatRegistry& registry() {
    static FormatRegistry formats;
    return formats;
}

constexpr unsigned kFirstRegisteredFormat = 0xC000;

} // namespace

unsigned RegisterClipboardFormat(std::string_view name) {
    if (name.empty())
        return 0;
    FormatRegistry& formats = registry();
    std::string key = LowerCase(name);
    if (auto it = formats.ids.find(key); it != formats.ids.end())
        return it->second;
    unsigned id = kFirstRegisteredFormat + static_cast<unsigned>(formats.names.size());
    formats.names.emplace_back(name);
    formats.ids.emplace(key, id);
    return id;
}

std::string ClipboardFormatName(unsigned format) {
    const FormatRegistry& formats = registry();
    if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= formats.names.size())
        return {};
    return formats.names[format - kFirstRegisteredFormat];
}

std::string ClipboardFormatMimeType(unsigned format) {
    if (format == CF_TEXT)
        return "text/plain";
    if (format == CF_BITMAP)
        return "image/bmp";
    std::string name = ClipboardFormatName(format);
    if (name.empty())
        return {};
    // Letters, digits and a few marks stay; everything else is %XX, so the
    // type is a valid MIME token and the same for every instance.
    std::string mime = "application/x-ondrill-";
    for (unsigned char c : LowerCase(name)) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_' ||
            c == '+') {
            mime.push_back(static_cast<char>(c));
        } else {
            mime.push_back('%');
            AppendHexByte(mime, c);
        }
    }
    return mime;
}

std::string ToClipboardLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        result.push_back(text[i]);
    }
    return result;
}

std::string FromClipboardLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    ForEachLine(text, [&](std::string_view line, std::string_view lineBreak) {
        result += line;
        if (!lineBreak.empty())
            result += "\r\n";
    });
    return result;
}

namespace {

// A bitmap's clipboard bytes: a BMP file, of palette pixels as they are and
// of any others as 24-bit pixels (as TBitmap writes them).
std::string bitmapBytes(const QImage& image) {
    if (image.isNull())
        return {};
    const bool palette = image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
                         image.format() == QImage::Format_MonoLSB;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!(palette ? image : image.convertToFormat(QImage::Format_RGB32)).save(&buffer, "BMP"))
        return {};
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

} // namespace

// A clipboard content being built, and where reading takes it from.
struct TClipboardContent {
    std::unique_ptr<QMimeData> Data = std::make_unique<QMimeData>();

    // What is read: the content being built, else the system clipboard's.
    static const QMimeData* Source(const TClipboard& clipboard) {
        if (clipboard.pending_)
            return clipboard.pending_->Data.get();
        if (qGuiApp == nullptr)
            return nullptr;
        return QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    }
    static QMimeData* Target(TClipboard& clipboard) {
        if (!clipboard.pending_)
            clipboard.pending_ = std::make_unique<TClipboardContent>();
        return clipboard.pending_->Data.get();
    }
};

TClipboard::TClipboard() = default;

TClipboard::~TClipboard() = default;

void TClipboard::Open() { ++openCount_; }

void TClipboard::Close() {
    if (openCount_ == 0)
        return;
    if (--openCount_ == 0)
        publish();
}

void TClipboard::publish() {
    if (!pending_ || qGuiApp == nullptr) {
        pending_.reset();
        return;
    }
    std::unique_ptr<TClipboardContent> content = std::move(pending_);
    QGuiApplication::clipboard()->setMimeData(content->Data.release(), QClipboard::Clipboard);
}

void TClipboard::Clear() {
    Open();
    pending_ = std::make_unique<TClipboardContent>();
    Close();
}

bool TClipboard::HasFormat(unsigned format) const {
    const QMimeData* data = TClipboardContent::Source(*this);
    if (data == nullptr)
        return false;
    if (format == CF_TEXT)
        return data->hasText();
    if (format == CF_BITMAP)
        return data->hasImage();
    std::string mime = ClipboardFormatMimeType(format);
    return !mime.empty() && data->hasFormat(QString::fromStdString(mime));
}

std::string TClipboard::AsText(TTextEncoding encoding) const {
    const QMimeData* data = TClipboardContent::Source(*this);
    if (data == nullptr || !data->hasText())
        return {};
    return FromClipboardLineBreaks(QStringToBytes(data->text(), encoding));
}

void TClipboard::SetAsText(std::string_view text, TTextEncoding encoding) {
    Open();
    TClipboardContent::Target(*this)->setText(BytesToQString(ToClipboardLineBreaks(text), encoding));
    Close();
}

std::string TClipboard::GetFormatBytes(unsigned format) const {
    if (format == CF_TEXT)
        return AsText();
    const QMimeData* data = TClipboardContent::Source(*this);
    if (format == CF_BITMAP)
        return data != nullptr && data->hasImage() ? bitmapBytes(qvariant_cast<QImage>(data->imageData())) : std::string();
    std::string mime = ClipboardFormatMimeType(format);
    if (data == nullptr || mime.empty())
        return {};
    QByteArray bytes = data->data(QString::fromStdString(mime));
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void TClipboard::SetFormatBytes(unsigned format, std::string_view bytes) {
    if (format == CF_TEXT) {
        SetAsText(bytes);
        return;
    }
    if (format == CF_BITMAP) {
        // Bytes that are no BMP file put nothing there.
        const QImage image = QImage::fromData(
            QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())), "BMP");
        if (image.isNull())
            return;
        Open();
        TClipboardContent::Target(*this)->setImageData(image);
        Close();
        return;
    }
    std::string mime = ClipboardFormatMimeType(format);
    if (mime.empty())
        return;
    Open();
    TClipboardContent::Target(*this)->setData(QString::fromStdString(mime),
                      QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    Close();
}

void TClipboard::AssignGraphic(TGraphic& graphic) {
    Open();
    pending_ = std::make_unique<TClipboardContent>();
    try {
        unsigned format = 0;
        std::string data;
        graphic.SaveToClipboardFormat(format, data);
        if (format != 0)
            SetFormatBytes(format, data);
    } catch (...) {
        pending_.reset();
        Close();
        throw;
    }
    Close();
}

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}
