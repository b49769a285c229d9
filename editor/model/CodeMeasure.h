#pragma once
// The measuring interface layout breaks lines through: the advance of every
// byte in each style, and of the characters of UTF-8 text beyond ASCII.
// The memo's fonts measured on the screen, a printer's canvas and the
// tests' fixed-pitch measures all provide one.

#include "platform/base/TextCodec.h"

#include <cstdint>

class TCodeMeasure {
public:
    virtual ~TCodeMeasure() = default;
    // The 256 advances in pixels of the font that a style set selects
    // (bold, italic, underline, strike-out and the alternative font bits).
    virtual const int32_t* AdvanceTable(uint8_t style) const = 0;
    // The advance of a character from U+0080 on in UTF-8 text.  By default
    // that of its byte of the code page, or of '?' when the code page lacks
    // it: right for measures of fixed pitch.
    virtual int32_t CharacterAdvance(uint8_t style, char32_t codePoint) const {
        const int byte = UnicodeToAnsiChar(codePoint);
        return AdvanceTable(style)[byte >= 0 ? byte : '?'];
    }
    int32_t CharWidth(uint8_t style, unsigned char byte) const { return AdvanceTable(style)[byte]; }
    // Changes whenever the advances the measure gives change (its fonts
    // were changed); what was measured with another revision is stale.
    virtual uint64_t Revision() const { return 0; }
};
