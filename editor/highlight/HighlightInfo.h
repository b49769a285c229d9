#pragma once
// THighlightInfo: the look of one class of highlighted text (a font style,
// the alternative font, colours), with a callback that tells its owner of
// every change.

#include "platform/base/Component.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"

#include <cstdint>
#include <functional>

class THighlightInfo : public TPersistent {
public:
    using TChangeEvent = std::function<void(THighlightInfo* info)>;

    THighlightInfo() = default;
    // From a context record's style byte: bit 5 is the alternative font,
    // bits 0-3 the font style.
    THighlightInfo(uint8_t styleByte, TColor background, TColor foreground, TChangeEvent onChange = {});

    std::string ClassName() const override { return "THighlightInfo"; }

    bool AltFont() const { return altFont_; }
    void SetAltFont(bool value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles value);
    TColor Background() const { return background_; }
    void SetBackground(TColor value);
    TColor Foreground() const { return foreground_; }
    void SetForeground(TColor value);

    // The style byte of a context record: the font style, plus 0x20 for
    // the alternative font.
    uint8_t StyleByte() const { return static_cast<uint8_t>((style_ & 0x0F) | (altFont_ ? 0x20 : 0)); }

    // From another THighlightInfo: the four values, and one change call.
    void Assign(const TPersistent* source) override;

    TChangeEvent OnChange;

private:
    void changed();

    bool altFont_ = false;
    TFontStyles style_ = 0;
    TColor background_ = -1;
    TColor foreground_ = -1;
};
