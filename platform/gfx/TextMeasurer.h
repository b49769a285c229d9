#pragma once
// Measuring text.  A measured font holds the advance of each of the 256
// bytes of the code page, so the width of 8-bit text is one table look-up
// per byte, and the font metrics.  The characters of UTF-8 text beyond the
// code page are measured once each, in the face or, when the face lacks
// them, in the font the system falls back to.  Advances are whole pixels
// and kerning plays no part: TCanvas places every character at exactly
// these advances, so a caret computed from widths lands where the
// character is painted.

#include "platform/base/TextCodec.h"
#include "platform/gfx/Font.h"

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

struct TMeasuredFontQt; // the face that draws (platform/gfx/QtBridge.h)

class TMeasuredFont {
public:
    // A font measured by a measurer: its metrics and the advance of each
    // byte, drawn with face (whose own widths do not matter: each character
    // is placed at these advances).  characterAdvance, when not negative,
    // is the advance of every character beyond the code page (a measurer of
    // fixed pitch); otherwise they are measured in the face.
    TMeasuredFont(const TTextMetric& metrics, const std::array<int, 256>& advances, const TFont& face,
                  int characterAdvance = -1);
    ~TMeasuredFont();
    TMeasuredFont(const TMeasuredFont&) = delete;
    TMeasuredFont& operator=(const TMeasuredFont&) = delete;

    const TTextMetric& Metrics() const { return metrics_; }
    int Advance(unsigned char byte) const { return advances_[byte]; }
    const std::array<int, 256>& Advances() const { return advances_; }
    int TextWidth(std::string_view text) const {
        int width = 0;
        for (char c : text)
            width += advances_[static_cast<unsigned char>(c)];
        return width;
    }
    // The advance of a character of UTF-8 text: ASCII and the characters
    // of the code page from the table, the others as measured.
    int CharacterAdvance(char32_t character) const;
    // Text in either encoding; in UTF-8 a byte outside a valid sequence is
    // its character of the code page.
    int TextWidth(std::string_view text, TTextEncoding encoding) const;

    // The face that draws the characters.
    const TFont& DrawingFace() const { return face_; }
    // The glyph that draws a byte in the drawing face (0 when it has none).
    uint32_t Glyph(unsigned char byte) const;
    // Underline and strike-out as the face places them (pixels from the
    // baseline, downward positive) and their thickness.
    int UnderlineOffset() const;
    int StrikeOutOffset() const;
    int LineThickness() const;

    // The drawing side, for platform code.
    TMeasuredFontQt& QtSide() const { return *qt_; }

private:
    TTextMetric metrics_;
    std::array<int, 256> advances_{};
    int characterAdvance_ = -1;
    TFont face_;
    std::unique_ptr<TMeasuredFontQt> qt_;
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

// The measurer used by canvases that were given none: a TQtTextMeasurer
// unless a test has put another in its place.  SetDefaultTextMeasurer does
// not take ownership; nullptr restores the Qt measurer.
TTextMeasurer& DefaultTextMeasurer();
void SetDefaultTextMeasurer(TTextMeasurer* measurer);
