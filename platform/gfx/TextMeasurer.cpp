#include "platform/gfx/TextMeasurer.h"

#include "platform/base/TextCodec.h"
#include "platform/gfx/QtBridge.h"

#include "platform/base/Utf8.h"

#include <QGlyphRun>
#include <QList>
#include <QString>
#include <QTextLayout>

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

TMeasuredFont::TMeasuredFont(const TTextMetric& metrics, const std::array<int, 256>& advances, const TFont& face,
                             int characterAdvance)
    : metrics_(metrics), advances_(advances), characterAdvance_(characterAdvance), face_(face),
      qt_(std::make_unique<TMeasuredFontQt>(face)) {}

int TMeasuredFont::CharacterAdvance(char32_t character) const {
    if (character < 0x80)
        return advances_[character];
    const int byte = UnicodeToAnsiChar(character);
    if (byte >= 0)
        return advances_[static_cast<size_t>(byte)];
    if (IsIgnorableCharacter(character))
        return 0;
    if (characterAdvance_ >= 0)
        return characterAdvance_;
    return qt_->Character(character).Advance;
}

int TMeasuredFont::TextWidth(std::string_view text, TTextEncoding encoding) const {
    if (encoding != teUtf8)
        return TextWidth(text);
    int width = 0;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        char32_t character;
        size_t length = byte < 0x80 ? 1 : Utf8SequenceLength(text.substr(i), character);
        width += length <= 1 ? advances_[byte] : CharacterAdvance(character);
        i += length == 0 ? 1 : length;
    }
    return width;
}

TMeasuredFont::~TMeasuredFont() = default;

uint32_t TMeasuredFont::Glyph(unsigned char byte) const { return qt_->Glyph(byte); }

void TMeasuredFontQt::make() const {
    if (ready_)
        return;
    ready_ = true;
    font_ = ToQFont(Face);
    raw_ = QRawFont::fromFont(font_);
    glyphs_.fill(0);
    if (!raw_.isValid())
        return;
    QList<quint32> glyphs = raw_.glyphIndexesForString(codePageCharacters());
    for (int b = 0; b < 256 && b < glyphs.size(); ++b)
        glyphs_[static_cast<size_t>(b)] = glyphs[b];
}

const TMeasuredFontQt::TCharacterGlyph& TMeasuredFontQt::Character(char32_t character) const {
    make();
    const size_t page = character >> 8;
    if (page >= pages_.size())
        pages_.resize(page + 1);
    auto& glyphs = pages_[page];
    if (!glyphs) {
        glyphs = std::make_unique<std::array<TCharacterGlyph, 256>>();
        glyphs->fill(TCharacterGlyph{});
    }
    TCharacterGlyph& entry = (*glyphs)[character & 0xFF];
    if (entry.Advance < 0)
        entry = measureCharacter(character);
    return entry;
}

const QRawFont& TMeasuredFontQt::FallbackFont(int index) const {
    return index < 0 ? RawFont() : fallbacks_[static_cast<size_t>(index)];
}

TMeasuredFontQt::TCharacterGlyph TMeasuredFontQt::measureCharacter(char32_t character) const {
    TCharacterGlyph entry;
    entry.Advance = 0;
    const QString text = QString::fromUcs4(&character, 1);
    auto advanceIn = [](const QRawFont& raw, quint32 glyph) {
        QList<QPointF> advances = raw.advancesForGlyphIndexes(QList<quint32>{glyph}, QRawFont::SeparateAdvances);
        return advances.isEmpty() ? 0 : std::max(0, roundToInt(advances[0].x()));
    };
    if (raw_.isValid()) {
        QList<quint32> glyphs = raw_.glyphIndexesForString(text);
        if (glyphs.size() == 1 && glyphs[0] != 0) {
            entry.Glyph = glyphs[0];
            entry.Advance = advanceIn(raw_, entry.Glyph);
            return entry;
        }
    }
    // The face lacks it: the font the system falls back to, as a text
    // layout finds it once merging fonts is allowed (the face itself is
    // resolved without).
    QFont merging(font_);
    merging.setStyleStrategy(QFont::PreferMatch);
    QTextLayout layout(text, merging);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.isEmpty() || runs[0].glyphIndexes().isEmpty() || !runs[0].rawFont().isValid()) {
        // Nothing draws it: the face's missing glyph, as wide as a '?'.
        entry.Advance = raw_.isValid() ? advanceIn(raw_, glyphs_['?']) : 0;
        return entry;
    }
    const QRawFont raw = runs[0].rawFont();
    entry.Glyph = runs[0].glyphIndexes()[0];
    entry.Advance = advanceIn(raw, entry.Glyph);
    auto known = std::find(fallbacks_.begin(), fallbacks_.end(), raw);
    if (known == fallbacks_.end()) {
        fallbacks_.push_back(raw);
        known = fallbacks_.end() - 1;
    }
    entry.Font = static_cast<int16_t>(known - fallbacks_.begin());
    return entry;
}

const QFont& TMeasuredFontQt::Font() const {
    make();
    return font_;
}

const QRawFont& TMeasuredFontQt::RawFont() const {
    make();
    return raw_;
}

uint32_t TMeasuredFontQt::Glyph(unsigned char byte) const {
    make();
    return glyphs_[byte];
}

int TMeasuredFont::UnderlineOffset() const {
    const QRawFont& raw = qt_->RawFont();
    int offset = raw.isValid() ? roundToInt(raw.underlinePosition()) : 0;
    return std::clamp(offset, 1, std::max(1, metrics_.Descent));
}

int TMeasuredFont::StrikeOutOffset() const {
    return -std::max(1, metrics_.Ascent / 3);
}

int TMeasuredFont::LineThickness() const {
    const QRawFont& raw = qt_->RawFont();
    return std::max(1, raw.isValid() ? roundToInt(raw.lineThickness()) : 1);
}

TMeasuredFontPtr TQtTextMeasurer::Measure(const TFont& font) {
    std::string key = font.FaceKey();
    if (auto it = cache_.find(key); it != cache_.end())
        return it->second;

    TMeasuredFontQt face(font);
    const QRawFont& raw = face.RawFont();
    TTextMetric m;
    std::array<int, 256> advances{};
    if (raw.isValid()) {
        QList<quint32> glyphs;
        glyphs.reserve(256);
        for (int b = 0; b < 256; ++b)
            glyphs.append(face.Glyph(static_cast<unsigned char>(b)));
        QList<QPointF> widths = raw.advancesForGlyphIndexes(glyphs, QRawFont::SeparateAdvances);
        for (int b = 0; b < 256 && b < widths.size(); ++b)
            advances[static_cast<size_t>(b)] = std::max(0, roundToInt(widths[b].x()));
        m.Ascent = roundToInt(raw.ascent());
        m.Descent = roundToInt(raw.descent());
        m.Height = m.Ascent + m.Descent;
        m.InternalLeading = std::max(0, m.Height - roundToInt(raw.pixelSize()));
        m.ExternalLeading = std::max(0, roundToInt(raw.leading()));
        m.AveCharWidth = roundToInt(raw.averageCharWidth());
        int widest = *std::max_element(advances.begin(), advances.end());
        m.MaxCharWidth = std::max(roundToInt(raw.maxCharWidth()), widest);
    } else {
        // No usable face at all: keep the text measurable rather than zero.
        int pixels = std::max(1, face.Font().pixelSize());
        advances.fill(std::max(1, pixels / 2));
        m.Ascent = pixels - pixels / 5;
        m.Descent = pixels / 5;
        m.Height = pixels;
        m.AveCharWidth = m.MaxCharWidth = std::max(1, pixels / 2);
    }
    auto measured = std::make_shared<TMeasuredFont>(m, advances, font);
    if (cache_.size() >= 256)
        cache_.clear();
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
