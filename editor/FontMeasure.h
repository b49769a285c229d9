#pragma once
// The measure line breaking uses on screen and on a printer: the memo's
// font and alternative font, measured through the platform's text measurer
// in each style that style codes and highlighting select.

#include "editor/CodeMemo.h"

#include "platform/gfx/Font.h"
#include "platform/gfx/TextMeasurer.h"

#include <array>
#include <cstdint>

class TFontMeasure : public TCodeMeasure {
public:
    // The fonts are read, not copied: a change of either is seen at the next
    // measurement.
    TFontMeasure(TTextMeasurer& measurer, const TFont& font, const TFont& altFont);

    const int32_t* AdvanceTable(uint8_t style) const override;
    int32_t CharacterAdvance(uint8_t style, char32_t codePoint) const override;
    uint64_t Revision() const override { return (font_.ChangeCount() << 32) ^ altFont_.ChangeCount(); }
    // The measured font of a style (bold, italic, underline, strike-out and
    // the alternative-font bit).
    const TMeasuredFont& MeasuredFont(uint8_t style) const;

private:
    // Fonts measured before the font or the alternative font changed are
    // dropped (asked before every measurement: the check stays inline).
    void dropStaleFonts() const {
        if (font_.ChangeCount() != fontChanges_ || altFont_.ChangeCount() != altFontChanges_)
            dropFonts();
    }
    void dropFonts() const;

    TTextMeasurer& measurer_;
    const TFont& font_;
    const TFont& altFont_;
    mutable uint64_t fontChanges_ = 0;
    mutable uint64_t altFontChanges_ = 0;
    mutable std::array<TMeasuredFontPtr, 32> fonts_;
    // Advances of characters beyond ASCII by style and code point: UTF-8
    // text asks for the same few characters again and again, and the font
    // finds one that is no character of the code page by a search.
    struct TKnownAdvance {
        uint32_t Key = UINT32_MAX;  // code point and style; none yet
        int32_t Advance = 0;
    };
    mutable std::array<TKnownAdvance, 256> knownAdvances_;
};
