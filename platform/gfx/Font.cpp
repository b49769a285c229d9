#include "platform/gfx/Font.h"

#include "platform/base/TextCodec.h"
#include "platform/gfx/QtBridge.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <cmath>
#include <map>

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    long long product = static_cast<long long>(a) * b;
    long long half = (c > 0 ? c : -c) / 2;
    bool negative = (product < 0) != (c < 0);
    long long magnitude = (product < 0 ? -product : product) + half;
    long long quotient = magnitude / (c > 0 ? c : -c);
    return static_cast<int>(negative ? -quotient : quotient);
}

TFont::TFont() : name_("MS Sans Serif"), height_(-11), color_(clWindowText) {}

TFont::TFont(const TFont& other)
    : TPersistent(), name_(other.name_), height_(other.height_), style_(other.style_),
      color_(other.color_), pitch_(other.pitch_), charset_(other.charset_),
      pixelsPerInch_(other.pixelsPerInch_) {}

TFont& TFont::operator=(const TFont& other) {
    if (this != &other)
        Assign(&other);
    return *this;
}

void TFont::Changed() {
    ++changeCount_;
    if (OnChange)
        OnChange(this);
}

void TFont::SetName(std::string name) {
    if (name.empty() || name == name_)
        return;
    name_ = std::move(name);
    Changed();
}

void TFont::SetHeight(int height) {
    if (height == height_)
        return;
    height_ = height;
    Changed();
}

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetStyle(TFontStyles style) {
    style &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
    if (style == style_)
        return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch == pitch_)
        return;
    pitch_ = pitch;
    Changed();
}

void TFont::SetCharset(TFontCharset charset) {
    if (charset == charset_)
        return;
    charset_ = charset;
    Changed();
}

void TFont::SetPixelsPerInch(int pixelsPerInch) {
    if (pixelsPerInch <= 0 || pixelsPerInch == pixelsPerInch_)
        return;
    pixelsPerInch_ = pixelsPerInch;
    Changed();
}

bool TFont::SameFace(const TFont& other) const {
    return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ &&
           pitch_ == other.pitch_ && charset_ == other.charset_;
}

std::string TFont::FaceKey() const {
    return name_ + '\x1F' + std::to_string(height_) + '\x1F' + std::to_string(style_) + '\x1F' +
           std::to_string(static_cast<int>(pitch_)) + '\x1F' + std::to_string(charset_);
}

void TFont::Assign(const TPersistent* source) {
    if (auto* font = dynamic_cast<const TFont*>(source)) {
        if (font == this)
            return;
        bool differs = !SameFace(*font) || color_ != font->color_ ||
                       pixelsPerInch_ != font->pixelsPerInch_;
        name_ = font->name_;
        height_ = font->height_;
        style_ = font->style_;
        color_ = font->color_;
        pitch_ = font->pitch_;
        charset_ = font->charset_;
        pixelsPerInch_ = font->pixelsPerInch_;
        if (differs)
            Changed();
        return;
    }
    TPersistent::Assign(source);
}

QFont ToQFont(const TFont& face) {
    QFont font(QString::fromStdString(ResolveFontFamily(face.Name())));
    font.setKerning(false);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferMatch | QFont::NoFontMerging));
    font.setWeight((face.Style() & fsBold) ? QFont::Bold : QFont::Normal);
    font.setItalic((face.Style() & fsItalic) != 0);
    font.setUnderline((face.Style() & fsUnderline) != 0);
    font.setStrikeOut((face.Style() & fsStrikeOut) != 0);
    if (face.Pitch() == fpFixed) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::Monospace, font.styleStrategy());
    }
    int pixels = face.Height() < 0 ? -face.Height() : face.Height();
    if (pixels == 0)
        pixels = 11;
    if (face.Height() > 0 && qGuiApp != nullptr) {
        // A cell height: find the em size whose ascent plus descent fills it.
        QFont probe(font);
        probe.setPixelSize(100);
        QFontMetricsF metrics(probe);
        qreal cell = metrics.ascent() + metrics.descent();
        if (cell > 0)
            pixels = std::max(1, static_cast<int>(std::lround(face.Height() * 100.0 / cell)));
    }
    font.setPixelSize(pixels);
    return font;
}

std::string ResolveFontFamily(std::string_view name) {
    static const std::map<std::string, std::string> kMetricTwins = {
        {"ARIAL", "Liberation Sans"},
        {"HELVETICA", "Liberation Sans"},
        {"MS SANS SERIF", "Liberation Sans"},
        {"TIMES NEW ROMAN", "Liberation Serif"},
        {"TIMES", "Liberation Serif"},
        {"MS SERIF", "Liberation Serif"},
        {"COURIER NEW", "Liberation Mono"},
        {"COURIER", "Liberation Mono"},
    };
    std::string key = UpperCase(name);
    if (auto it = kMetricTwins.find(key); it != kMetricTwins.end())
        return it->second;
    if (name.empty())
        return "Liberation Sans";
    if (qGuiApp == nullptr)
        return std::string(name);
    static std::map<std::string, std::string> resolved;
    if (auto it = resolved.find(key); it != resolved.end())
        return it->second;
    QFont probe(QString::fromStdString(std::string(name)));
    std::string family = QFontInfo(probe).family().toStdString();
    if (family.empty())
        family = std::string(name);
    resolved.emplace(key, family);
    return family;
}
