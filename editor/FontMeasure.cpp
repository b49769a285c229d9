#include "editor/FontMeasure.h"

#include "editor/CodeMemoTypes.h"

TFontMeasure::TFontMeasure(TTextMeasurer& measurer, const TFont& font, const TFont& altFont)
    : measurer_(measurer), font_(font), altFont_(altFont), fontChanges_(font.ChangeCount()),
      altFontChanges_(altFont.ChangeCount()) {}

void TFontMeasure::dropFonts() const {
    fonts_ = {};
    knownAdvances_ = {};
    fontChanges_ = font_.ChangeCount();
    altFontChanges_ = altFont_.ChangeCount();
}

const TMeasuredFont& TFontMeasure::MeasuredFont(uint8_t style) const {
    dropStaleFonts();
    bool alternative = (style & kStyleAltFont) != 0;
    unsigned fontStyle = style & (fsBold | fsItalic | fsUnderline | fsStrikeOut);
    unsigned slot = fontStyle | (alternative ? 0x10u : 0u);
    TMeasuredFontPtr& measured = fonts_[slot];
    if (!measured) {
        TFont font(alternative ? altFont_ : font_);
        font.SetStyle(fontStyle);
        measured = measurer_.Measure(font);
    }
    return *measured;
}

int32_t TFontMeasure::CharacterAdvance(uint8_t style, char32_t codePoint) const {
    dropStaleFonts();
    const uint32_t key = static_cast<uint32_t>(codePoint) << 8 | style;
    TKnownAdvance& known = knownAdvances_[(key * 2654435761u) >> 24];
    if (known.Key != key)
        known = {key, MeasuredFont(style).CharacterAdvance(codePoint)};
    return known.Advance;
}

const int32_t* TFontMeasure::AdvanceTable(uint8_t style) const {
    static_assert(sizeof(int) == sizeof(int32_t), "advance tables are 32-bit");
    return MeasuredFont(style).Advances().data();
}
