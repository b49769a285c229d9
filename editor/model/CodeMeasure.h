#pragma once
// The measuring interface layout breaks lines through: the advance of every
// byte in each style.  The memo's fonts measured on the screen, a printer's
// canvas and the tests' fixed-pitch measures all provide one.

#include <cstdint>

class TCodeMeasure {
public:
    virtual ~TCodeMeasure() = default;
    // The 256 advances in pixels of the font that a style set selects
    // (bold, italic, underline, strike-out and the alternative font bits).
    virtual const int32_t* AdvanceTable(uint8_t style) const = 0;
    int32_t CharWidth(uint8_t style, unsigned char byte) const { return AdvanceTable(style)[byte]; }
};
