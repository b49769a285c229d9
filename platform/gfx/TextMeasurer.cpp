#include "platform/gfx/TextMeasurer.h"

#include "platform/base/TextCodec.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <cmath>

namespace {

int roundToInt(qreal value) { return static_cast<int>(std::lround(value)); }

// All 256 bytes of the code page as Unicode characters, one each.
const QString& codePageCharacters() {
    static const QString characters = [] {
        std::string bytes(256, '\0');
        for (int b = 0; b < 256; ++b)
            bytes[static_cast<size_t>(b)] = static_cast<char>(b);
        return AnsiToQString(bytes);
    }();
    return characters;
}

TTextMeasurer* replacement = nullptr;

} // namespace

void TMeasuredFont::makeDrawingFont() const {
    if (drawingReady_)
        return;
    drawingReady_ = true;
    rawFont_ = QRawFont::fromFont(font_);
    glyphs_.fill(0);
    if (!rawFont_.isValid())
        return;
    QList<quint32> glyphs = rawFont_.glyphIndexesForString(codePageCharacters());
    for (int b = 0; b < 256 && b < glyphs.size(); ++b)
        glyphs_[static_cast<size_t>(b)] = glyphs[b];
}

const QRawFont& TMeasuredFont::RawFont() const {
    makeDrawingFont();
    return rawFont_;
}

uint32_t TMeasuredFont::Glyph(unsigned char byte) const {
    makeDrawingFont();
    return glyphs_[byte];
}

int TMeasuredFont::UnderlineOffset() const {
    const QRawFont& raw = RawFont();
    int offset = raw.isValid() ? roundToInt(raw.underlinePosition()) : 0;
    return std::clamp(offset, 1, std::max(1, metrics_.Descent));
}

int TMeasuredFont::StrikeOutOffset() const {
    return -std::max(1, metrics_.Ascent / 3);
}

int TMeasuredFont::LineThickness() const {
    const QRawFont& raw = RawFont();
    return std::max(1, raw.isValid() ? roundToInt(raw.lineThickness()) : 1);
}

TMeasuredFontPtr TQtTextMeasurer::Measure(const TFont& font) {
    std::string key = font.FaceKey();
    if (auto it = cache_.find(key); it != cache_.end())
        return it->second;

    auto measured = std::make_shared<TMeasuredFont>();
    measured->font_ = font.ToQFont();
    const QRawFont& raw = measured->RawFont();
    TTextMetric& m = measured->metrics_;
    if (raw.isValid()) {
        QList<quint32> glyphs;
        glyphs.reserve(256);
        for (int b = 0; b < 256; ++b)
            glyphs.append(measured->glyphs_[static_cast<size_t>(b)]);
        QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::SeparateAdvances);
        for (int b = 0; b < 256 && b < advances.size(); ++b)
            measured->advances_[static_cast<size_t>(b)] = std::max(0, roundToInt(advances[b].x()));
        m.Ascent = roundToInt(raw.ascent());
        m.Descent = roundToInt(raw.descent());
        m.Height = m.Ascent + m.Descent;
        m.InternalLeading = std::max(0, m.Height - roundToInt(raw.pixelSize()));
        m.ExternalLeading = std::max(0, roundToInt(raw.leading()));
        m.AveCharWidth = roundToInt(raw.averageCharWidth());
        int widest = *std::max_element(measured->advances_.begin(), measured->advances_.end());
        m.MaxCharWidth = std::max(roundToInt(raw.maxCharWidth()), widest);
    } else {
        // No usable face at all: keep the text measurable rather than zero.
        int pixels = std::max(1, measured->font_.pixelSize());
        measured->advances_.fill(std::max(1, pixels / 2));
        m.Ascent = pixels - pixels / 5;
        m.Descent = pixels / 5;
        m.Height = pixels;
        m.AveCharWidth = m.MaxCharWidth = std::max(1, pixels / 2);
    }
    if (cache_.size() >= 256)
        cache_.clear();
    cache_.emplace(std::move(key), measured);
    return measured;
}

TFakeTextMeasurer::TFakeTextMeasurer(int charWidth, int height, int ascent)
    : charWidth_(charWidth), height_(height), ascent_(ascent) {
    overrides_.fill(-1);
}

void TFakeTextMeasurer::SetCharWidth(int width) {
    charWidth_ = width;
    cache_.clear();
}

void TFakeTextMeasurer::SetAdvance(unsigned char byte, int width) {
    overrides_[byte] = width;
    cache_.clear();
}

TMeasuredFontPtr TFakeTextMeasurer::Measure(const TFont& font) {
    std::string key = font.FaceKey();
    if (auto it = cache_.find(key); it != cache_.end())
        return it->second;
    auto measured = std::make_shared<TMeasuredFont>();
    int widest = 0;
    for (int b = 0; b < 256; ++b) {
        int width = overrides_[static_cast<size_t>(b)] >= 0 ? overrides_[static_cast<size_t>(b)]
                                                             : charWidth_;
        measured->advances_[static_cast<size_t>(b)] = width;
        widest = std::max(widest, width);
    }
    TTextMetric& m = measured->metrics_;
    m.Height = height_;
    m.Ascent = ascent_;
    m.Descent = height_ - ascent_;
    m.AveCharWidth = charWidth_;
    m.MaxCharWidth = widest;
    // Drawing only: a monospace face of about the right size.
    QFont drawing(QStringLiteral("Liberation Mono"));
    drawing.setKerning(false);
    drawing.setStyleStrategy(QFont::NoFontMerging);
    drawing.setPixelSize(std::max(1, height_ - 2));
    drawing.setWeight((font.Style() & fsBold) ? QFont::Bold : QFont::Normal);
    drawing.setItalic((font.Style() & fsItalic) != 0);
    measured->font_ = drawing;
    cache_.emplace(std::move(key), measured);
    return measured;
}

TTextMeasurer& DefaultTextMeasurer() {
    if (replacement != nullptr)
        return *replacement;
    static TQtTextMeasurer qtMeasurer;
    return qtMeasurer;
}

void SetDefaultTextMeasurer(TTextMeasurer* measurer) { replacement = measurer; }
