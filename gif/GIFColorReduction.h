#pragma once
// Colour reduction: a true-colour picture becomes palette indices (at most
// 256 colours) by a palette chosen or built by a reduction method, a colour
// lookup, and optionally error diffusion with one of six kernels.  A pure
// unit over pixel rows; gif/render applies it to bitmaps.

#include "gif/GIFColorMap.h"

#include <cstdint>
#include <memory>
#include <vector>

enum TGIFColorReduction : uint8_t {
    gcrNone = 0,            // no reduction: the picture stays true-colour
    gcrSystemColors = 1,    // the 20 colours of the system palette
    gcrHalftone = 2,        // a 256-colour halftone palette
    gcrGray4 = 3,           // 4 greys
    gcrBlackWhite = 4,      // black and white
    gcrGray256 = 5,         // 256 greys
    gcrWebPalette = 6,      // the 216-colour cube
    gcrQuantize = 7,        // an octree quantizer's 2^bits colours
    gcrQuantizeWindows = 8, // 236 quantized colours between the 20 system colours
    gcrCustomPalette = 9,   // a palette the caller gives
};

enum TGIFDitherMode : uint8_t {
    gdmNearest = 0, // the nearest palette colour, no diffusion
    gdmFloydSteinberg = 1,
    gdmStucki = 2,
    gdmSierra = 3,
    gdmJaJuNi = 4, // Jarvis, Judice and Ninke
    gdmSteveArche = 5, // Stevenson and Arce
    gdmBurkes = 6,
};

// Palettes.
TGIFPalette SystemPalette(); // the 20 static colours of the classic system palette
TGIFPalette HalftonePalette();
TGIFPalette Gray4Palette();
TGIFPalette BlackWhitePalette();
TGIFPalette Gray256Palette();
TGIFPalette WebPalette(); // entry r*36 + g*6 + b = (51r, 51g, 51b)

// True-colour pixel rows to read: each pixel holds blue, green and red at
// its first three bytes (the layout of 24- and 32-bit bitmaps).
struct TGIFTrueColorImage {
    int Width = 0;
    int Height = 0;
    const uint8_t* Bits = nullptr;
    int64_t RowStride = 0;
    int PixelStride = 3;
    const uint8_t* Row(int y) const { return Bits + y * RowStride; }
};

// Maps a colour to a palette index and the palette colour chosen.  Each
// kind below is final and does its work in Map, which the reduction's row
// loops call directly; Lookup is the same for callers holding any kind.
class TColorLookup {
public:
    virtual ~TColorLookup() = default;
    // Number of palette entries the lookup answers with.
    virtual int Colors() const = 0;
    virtual uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& chosen) = 0;
};

// Any palette: an exact entry wins; otherwise the nearest entry by the sum
// of the channel differences (the lowest index on ties), remembered for
// all colours that share the top five bits of each channel.
class TFastColorLookup final : public TColorLookup {
public:
    explicit TFastColorLookup(const TGIFPalette& palette);
    int Colors() const override { return int(palette_.size()); }
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& chosen) override {
        return Map(red, green, blue, chosen);
    }

    uint8_t Map(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& chosen) {
        const int key = (red >> 3) | ((green >> 3) << 5) | ((blue >> 3) << 10);
        int index = indices_[size_t(key)];
        // Most colours find a known cell of a key no entry has exactly;
        // the flags are only tested, so the index is used while they load.
        if (((flags_[size_t(key >> 4)] >> ((key & 15) * 2)) & 3) != kKnown)
            index = resolve(key, red, green, blue);
        chosen = palette_[size_t(index)];
        return uint8_t(index);
    }

private:
    // Per 15-bit key: the index the key maps to, and two flags (two bits
    // of a word that holds sixteen keys): whether the index is known yet,
    // and whether entries of other colours than the cell's own entry share
    // the key, so that a colour must be matched against them exactly.  The
    // tables are kept small for the nearest cache.
    static constexpr uint32_t kKnown = 1;
    static constexpr uint32_t kHasExact = 2;
    uint32_t flagsOf(int key) const { return (flags_[size_t(key >> 4)] >> ((key & 15) * 2)) & 3; }
    void setFlags(int key, uint32_t flags) { flags_[size_t(key >> 4)] |= flags << ((key & 15) * 2); }
    // The exact entry of the colour, else the cell's index, found first
    // when it is not known yet.  Kept out of Map, so that Map stays small
    // enough to be inlined into the row loops.
    int resolve(int key, uint8_t red, uint8_t green, uint8_t blue);
    int nearest(uint8_t red, uint8_t green, uint8_t blue) const;
    // The colour's answer in its key's block.
    size_t exactPlace(int key, uint8_t red, uint8_t green, uint8_t blue) const {
        return size_t(exactBlock_[size_t(key)]) * 512 + size_t((red & 7) | (green & 7) << 3 | (blue & 7) << 6);
    }

    TGIFPalette palette_;
    std::vector<uint8_t> reds_, greens_, blues_; // the palette by channel, for the nearest search
    std::vector<uint8_t> indices_;           // by 15-bit key
    std::vector<uint32_t> flags_;            // by 15-bit key, 16 keys a word
    // A key whose entries differ in colour has a block of 512 answers, one
    // for each colour of its cell (by the low three bits of each channel):
    // the first entry of exactly that colour, else the cell's own entry.
    // A grey ramp has 32 such keys, each of 8 entries; a colour of them is
    // answered by two table reads instead of a search.
    std::vector<uint8_t> exactBlock_;        // by 15-bit key: its block in exactCells_ (at most 128)
    std::vector<uint8_t> exactCells_;        // 512 indices a block
};

// The 216-colour cube (WebPalette).
class TNetscapeColorLookup final : public TColorLookup {
public:
    int Colors() const override { return 216; }
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& chosen) override {
        return Map(red, green, blue, chosen);
    }
    uint8_t Map(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& chosen) const {
        const int r = level(red), g = level(green), b = level(blue);
        chosen = {uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b)};
        return Index(red, green, blue);
    }
    // The cube's step of a channel value: (value + 3) / 51, as the high
    // half of a 16-bit product, which vector units have.
    static int level(uint8_t value) { return uint16_t(uint32_t(uint16_t(value + 3)) * 1286u >> 16); }
    static uint8_t Index(uint8_t red, uint8_t green, uint8_t blue) {
        return uint8_t(uint16_t(level(red) * 36 + level(green) * 6 + level(blue)));
    }
};

// 256 greys by luminance.
class TGrayScaleLookup final : public TColorLookup {
public:
    int Colors() const override { return 256; }
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& chosen) override {
        return Map(red, green, blue, chosen);
    }
    uint8_t Map(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& chosen) const {
        const auto grey = uint8_t((red * 77 + green * 150 + blue * 29) >> 8);
        chosen = {grey, grey, grey};
        return grey;
    }
};

// Black below half luminance, else white.
class TMonochromeLookup final : public TColorLookup {
public:
    int Colors() const override { return 2; }
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& chosen) override {
        return Map(red, green, blue, chosen);
    }
    uint8_t Map(uint8_t red, uint8_t green, uint8_t blue, TGIFColor& chosen) const {
        const uint8_t white = IsWhite(red, green, blue);
        const auto level = uint8_t(-white);
        chosen = {level, level, level};
        return white;
    }
    static bool IsWhite(uint8_t red, uint8_t green, uint8_t blue) { return red * 77 + green * 150 + blue * 29 >= 32513; }
};

// Walks the rows of a picture in serpentine order (left to right, then
// right to left) and maps each pixel through the lookup, spreading the
// error of the mapping over the pixels ahead and below when it diffuses.
class TDitherEngine {
public:
    // Raises "Invalid dither mode" for a mode outside the enumeration.
    static std::unique_ptr<TDitherEngine> Create(TGIFDitherMode mode, int width, TColorLookup& lookup);
    virtual ~TDitherEngine() = default;

    // +1 on rows walked left to right, -1 on the others.
    int Direction() const { return direction_; }
    // The pixel the next Dither or SkipPixel is for.
    int Column() const { return column_; }
    // The index for the colour of the current pixel; moves on one pixel.
    virtual uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue);
    // Leaves the current pixel alone (no error is taken from or given to
    // it) and moves on one pixel.
    void SkipPixel() { column_ += direction_; }
    // Starts the next row, walked the other way.
    virtual void NextLine();

protected:
    TDitherEngine(int width, TColorLookup& lookup) : width_(width), lookup_(lookup) {}
    int width_;
    int direction_ = 1;
    int column_ = 0;
    TColorLookup& lookup_;
};

// Builds a palette of at most `maxColors` colours (1..256) that represents
// the picture, by an octree of depth 8: every colour of the picture is a
// leaf until there are too many, when the deepest nodes merge their
// children.  A picture of no more colours than that keeps them exactly.
TGIFPalette QuantizePalette(const TGIFTrueColorImage& image, int maxColors);

// The result of a reduction: one palette index per pixel, rows top down.
struct TGIFReducedImage {
    int Width = 0;
    int Height = 0;
    TGIFPalette Palette;
    std::vector<uint8_t> Indices;
};

// Reduces the picture by the method with the dither mode.  `reductionBits`
// (1..8) sizes the palette of gcrQuantize; `customPalette` is the palette
// of gcrCustomPalette.  Raises GIFException "Invalid reduction method" for
// gcrNone or a method outside the enumeration, "Invalid dither mode",
// "Invalid number of reduction bits", and "Palette is empty" for a custom
// palette without colours.  The source is only read.
TGIFReducedImage ReduceColors(const TGIFTrueColorImage& source, TGIFColorReduction method,
                              TGIFDitherMode mode, int reductionBits, const TGIFPalette* customPalette = nullptr);

// A Floyd-Steinberg diffusion to black and white: writes one index (0
// black, 1 white) per pixel.
using TBlackWhiteDiffusion = void (*)(const TGIFTrueColorImage& source, uint8_t* out);

// The black-and-white diffusions this processor runs, fastest first; each
// writes the same indices, and ReduceColors uses the first.  (Listed so
// that every one of them can be checked, not only the one chosen here.)
std::vector<TBlackWhiteDiffusion> BlackWhiteDiffusions();

// The palette a method reduces to (empty for gcrNone; gcrQuantize and
// gcrQuantizeWindows are built from the picture by ReduceColors).
TGIFPalette ReductionPalette(TGIFColorReduction method);
