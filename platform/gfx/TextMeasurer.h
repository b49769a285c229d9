#pragma once
// Measuring 8-bit text.  A measured font holds the advance of each of the
// 256 bytes of the code page, so the width of a byte string is one table
// look-up per byte, and the font metrics.  Advances are whole pixels and
// kerning plays no part: TCanvas places every character at exactly these
// advances, so a caret computed from widths lands where the character is
// painted.

#include "platform/gfx/Font.h"

#include <QFont>
#include <QRawFont>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

// The metrics of a measured font, in pixels.
struct TTextMetric {
    int Height = 0; // Ascent + Descent
    int Ascent = 0;
    int Descent = 0;
    int InternalLeading = 0; // Height less the em size
    int ExternalLeading = 0; // the face's recommended gap between lines
    int AveCharWidth = 0;
    int MaxCharWidth = 0;
    int Overhang = 0; // always 0: synthesised styles add no width here
};

class TMeasuredFont {
public:
    const TTextMetric& Metrics() const { return metrics_; }
    int Advance(unsigned char byte) const { return advances_[byte]; }
    const std::array<int, 256>& Advances() const { return advances_; }
    int TextWidth(std::string_view text) const {
        int width = 0;
        for (char c : text)
            width += advances_[static_cast<unsigned char>(c)];
        return width;
    }

    // What draws the characters: the Qt font, its raw font and the glyph of
    // each byte.  For a fake measured font these are made on first use.
    const QFont& Font() const { return font_; }
    const QRawFont& RawFont() const;
    uint32_t Glyph(unsigned char byte) const;
    // Underline and strike-out as the face places them (pixels from the
    // baseline, downward positive) and their thickness.
    int UnderlineOffset() const;
    int StrikeOutOffset() const;
    int LineThickness() const;

private:
    friend class TQtTextMeasurer;
    friend class TFakeTextMeasurer;
    void makeDrawingFont() const;

    TTextMetric metrics_;
    std::array<int, 256> advances_{};
    QFont font_;
    mutable bool drawingReady_ = false;
    mutable QRawFont rawFont_;
    mutable std::array<uint32_t, 256> glyphs_{};
};

using TMeasuredFontPtr = std::shared_ptr<const TMeasuredFont>;

class TTextMeasurer {
public:
    virtual ~TTextMeasurer() = default;
    // The measured form of a font; repeated calls for the same face are
    // cheap.
    virtual TMeasuredFontPtr Measure(const TFont& font) = 0;
};

// Measures with the installed fonts through Qt (a QGuiApplication must
// exist).  Measured fonts are cached by face.
class TQtTextMeasurer : public TTextMeasurer {
public:
    TMeasuredFontPtr Measure(const TFont& font) override;
    int CachedFontCount() const { return static_cast<int>(cache_.size()); }

private:
    std::map<std::string, TMeasuredFontPtr> cache_;
};

// Fixed pitch without fonts: every byte is charWidth wide (unless given its
// own advance), every face has the same metrics and no leading.  For layout
// tests that must not depend on the installed fonts.  Drawing with it uses a
// monospace face placed at these advances.
class TFakeTextMeasurer : public TTextMeasurer {
public:
    explicit TFakeTextMeasurer(int charWidth = 8, int height = 16, int ascent = 13);
    TMeasuredFontPtr Measure(const TFont& font) override;

    // Changing a width affects fonts measured afterwards.
    void SetCharWidth(int width);
    void SetAdvance(unsigned char byte, int width);

private:
    int charWidth_;
    int height_;
    int ascent_;
    std::array<int, 256> overrides_;
    std::map<std::string, TMeasuredFontPtr> cache_;
};

// The measurer used by canvases that were given none: a TQtTextMeasurer
// unless a test has put another in its place.  SetDefaultTextMeasurer does
// not take ownership; nullptr restores the Qt measurer.
TTextMeasurer& DefaultTextMeasurer();
void SetDefaultTextMeasurer(TTextMeasurer* measurer);
