#pragma once
// Font descriptions.  A TFont names a face, a size and a style; TextMeasurer
// turns it into measured advances and the Qt font that draws them.
//
// Height is in pixels: a negative height is the character height (the em
// size, without internal leading), a positive one the cell height (ascent
// plus descent).  Size is in points at PixelsPerInch (96 unless a printer
// canvas says otherwise); setting one recomputes the other.

#include "platform/base/Component.h"
#include "platform/gfx/Color.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TPersistent;
using TNotifyEvent = std::function<void(TPersistent* sender)>;

// Bits of TFontStyles.  They coincide with the low bits of the editor's
// style byte.
enum TFontStyle : unsigned { fsBold = 0x01, fsItalic = 0x02, fsUnderline = 0x04, fsStrikeOut = 0x08 };
using TFontStyles = unsigned;

enum TFontPitch { fpDefault, fpVariable, fpFixed };

using TFontCharset = uint8_t;
enum : TFontCharset {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    OEM_CHARSET = 255,
};

// Rounded a * b / c, halves away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);

class TFont : public TPersistent {
public:
    TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    std::string ClassName() const override { return "TFont"; }

    const std::string& Name() const { return name_; }
    void SetName(std::string name);
    int Height() const { return height_; }
    void SetHeight(int height);
    int Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }
    void SetSize(int points);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset charset);
    int PixelsPerInch() const { return pixelsPerInch_; }
    // Keeps Height; Size is read at the new resolution.
    void SetPixelsPerInch(int pixelsPerInch);

    // Called after every change (not when a setter stores the value it
    // already had).
    TNotifyEvent OnChange;

    // Counts changes, colour included; caches compare it cheaply.
    uint64_t ChangeCount() const { return changeCount_; }

    // True when both describe the same face, size and style (the colour is
    // not part of a face).
    bool SameFace(const TFont& other) const;
    // Text that identifies the face, size and style, for cache keys.
    std::string FaceKey() const;

    void Assign(const TPersistent* source) override;

protected:
    void Changed();

private:
    std::string name_;
    int height_;
    TFontStyles style_ = 0;
    TColor color_;
    TFontPitch pitch_ = fpDefault;
    TFontCharset charset_ = DEFAULT_CHARSET;
    int pixelsPerInch_ = 96;
    uint64_t changeCount_ = 0;
};

// The installed family that draws a face name.  "Arial", "Times New Roman"
// and "Courier New" (and the other classic names) map to their metric twins
// of the Liberation family; any other name is resolved by fontconfig through
// Qt's font database (an installed family resolves to itself).  Without a
// QGuiApplication other names are returned unchanged.
std::string ResolveFontFamily(std::string_view name);
