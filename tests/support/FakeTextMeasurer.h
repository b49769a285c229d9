#pragma once
// A text measurer of fixed pitch that needs no fonts: every byte is
// charWidth wide (unless given its own advance), every face has the same
// metrics and no leading.  For layout tests that must not depend on the
// installed fonts; drawing with it uses a monospace face placed at these
// advances.

#include "platform/gfx/TextMeasurer.h"

#include <array>
#include <map>
#include <string>

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
