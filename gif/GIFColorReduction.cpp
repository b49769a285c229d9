#include "gif/GIFColorReduction.h"

#include "gif/GIFException.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <tmmintrin.h>
#include <immintrin.h>
#endif

// ---- palettes ----

TGIFPalette SystemPalette() {
    return {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
            {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
            {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
            {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
}

TGIFPalette WebPalette() {
    TGIFPalette palette;
    palette.reserve(216);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back({uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b)});
    return palette;
}

TGIFPalette HalftonePalette() {
    // The system colours at both ends (as a 256-colour display keeps them),
    // the colour cube, and a ramp of greys between the cube's greys.
    const TGIFPalette system = SystemPalette();
    TGIFPalette palette(system.begin(), system.begin() + 10);
    const TGIFPalette cube = WebPalette();
    palette.insert(palette.end(), cube.begin(), cube.end());
    for (int i = 1; palette.size() < 246; ++i) {
        const auto grey = uint8_t(i * 255 / 21);
        palette.push_back({grey, grey, grey});
    }
    palette.insert(palette.end(), system.begin() + 10, system.end());
    return palette;
}

TGIFPalette Gray4Palette() { return {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}}; }

TGIFPalette BlackWhitePalette() { return {{0, 0, 0}, {255, 255, 255}}; }

TGIFPalette Gray256Palette() {
    TGIFPalette palette(256);
    for (int i = 0; i < 256; ++i)
        palette[size_t(i)] = {uint8_t(i), uint8_t(i), uint8_t(i)};
    return palette;
}

// ---- lookups ----

namespace {

int keyOf(const TGIFColor& c) { return (c.Red >> 3) | ((c.Green >> 3) << 5) | ((c.Blue >> 3) << 10); }

} // namespace

TFastColorLookup::TFastColorLookup(const TGIFPalette& palette)
    : palette_(palette.begin(), palette.begin() + std::min<size_t>(palette.size(), GIFMaxColors)),
      indices_(32768, 0), flags_(32768 / 16, 0) {
    for (const TGIFColor& c : palette_) {
        reds_.push_back(c.Red);
        greens_.push_back(c.Green);
        blues_.push_back(c.Blue);
    }
    // Each entry claims the cell of its own key when it is still free, the
    // first entry winning.  A colour equal to that first entry maps to it
    // through the cell like any other colour of the key, so only keys that
    // also hold entries of other colours need the exact match that comes
    // first; most keys have none, and their colours never leave the table
    // read.
    for (size_t i = 0; i < palette_.size(); ++i) {
        const TGIFColor& c = palette_[i];
        const int key = keyOf(c);
        if (!(flagsOf(key) & kKnown)) {
            indices_[size_t(key)] = uint8_t(i);
            setFlags(key, kKnown);
        } else if (!(c == palette_[indices_[size_t(key)]])) {
            setFlags(key, kHasExact);
        }
    }
    // The exact matches are settled now, whatever is asked later: each such
    // key's block starts as the cell's entry, and the entries of the key
    // then write themselves over their own colours, the last first, so that
    // the first of a colour stays.
    exactBlock_.assign(32768, 0);
    for (size_t i = 0; i < palette_.size(); ++i) {
        const int key = keyOf(palette_[i]);
        if (flagsOf(key) != (kKnown | kHasExact) || indices_[size_t(key)] != i)
            continue;
        exactBlock_[size_t(key)] = uint8_t(exactCells_.size() / 512);
        exactCells_.resize(exactCells_.size() + 512, uint8_t(i));
    }
    for (size_t i = palette_.size(); i-- > 0;) {
        const TGIFColor& c = palette_[i];
        const int key = keyOf(c);
        if (flagsOf(key) == (kKnown | kHasExact))
            exactCells_[exactPlace(key, c.Red, c.Green, c.Blue)] = uint8_t(i);
    }
}

int TFastColorLookup::resolve(int key, uint8_t red, uint8_t green, uint8_t blue) {
    if (flagsOf(key) & kHasExact)
        return exactCells_[exactPlace(key, red, green, blue)];
    indices_[size_t(key)] = uint8_t(nearest(red, green, blue));
    setFlags(key, kKnown);
    return indices_[size_t(key)];
}

int TFastColorLookup::nearest(uint8_t red, uint8_t green, uint8_t blue) const {
    // The distances first, in 16-bit lanes the compiler vectorises; then
    // the first of the least (the lowest index wins ties).
    const size_t count = palette_.size();
    int16_t distance[GIFMaxColors];
    // A byte's difference is the larger less the smaller, done on 16 bytes
    // at once.
    auto difference = [](uint8_t a, uint8_t b) { return uint8_t(std::max(a, b) - std::min(a, b)); };
    for (size_t i = 0; i < count; ++i)
        distance[i] = int16_t(difference(reds_[i], red) + difference(greens_[i], green) + difference(blues_[i], blue));
    int16_t least = INT16_MAX;
    for (size_t i = 0; i < count; ++i)
        least = std::min(least, distance[i]);
    int16_t first = GIFMaxColors;
    for (size_t i = 0; i < count; ++i)
        first = std::min(first, distance[i] == least ? int16_t(i) : int16_t(GIFMaxColors));
    return first;
}

// ---- dithering ----

uint8_t TDitherEngine::Dither(uint8_t red, uint8_t green, uint8_t blue) {
    TGIFColor chosen;
    const uint8_t index = lookup_.Lookup(red, green, blue, chosen);
    column_ += direction_;
    return index;
}

void TDitherEngine::NextLine() {
    direction_ = -direction_;
    column_ = direction_ > 0 ? 0 : width_ - 1;
}

namespace {

// One weight of a kernel: the error share of the pixel `Ahead` pixels
// further in the direction of travel (negative: behind) and `Below` rows
// down.
struct TKernelWeight {
    int Ahead;
    int Below;
    int Weight;
};

// The kernels are constants, so that each engine is compiled for its own:
// the divisions by the divisor become multiplications and the walk over
// the weights is unrolled.
constexpr std::array<TKernelWeight, 4> kFloydSteinberg{{{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}};
constexpr std::array<TKernelWeight, 12> kStucki{{{1, 0, 8}, {2, 0, 4},                                        //
                                                 {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2}, //
                                                 {-2, 2, 1}, {-1, 2, 2}, {0, 2, 4}, {1, 2, 2}, {2, 2, 1}}};
constexpr std::array<TKernelWeight, 10> kSierra{{{1, 0, 5}, {2, 0, 3},                                        //
                                                 {-2, 1, 2}, {-1, 1, 4}, {0, 1, 5}, {1, 1, 4}, {2, 1, 2}, //
                                                 {-1, 2, 2}, {0, 2, 3}, {1, 2, 2}}};
constexpr std::array<TKernelWeight, 12> kJarvis{{{1, 0, 7}, {2, 0, 5},                                        //
                                                 {-2, 1, 3}, {-1, 1, 5}, {0, 1, 7}, {1, 1, 5}, {2, 1, 3}, //
                                                 {-2, 2, 1}, {-1, 2, 3}, {0, 2, 5}, {1, 2, 3}, {2, 2, 1}}};
constexpr std::array<TKernelWeight, 12> kStevensonArce{{{2, 0, 32},                                          //
                                                        {-3, 1, 12}, {-1, 1, 26}, {1, 1, 30}, {3, 1, 16}, //
                                                        {-2, 2, 12}, {0, 2, 26}, {2, 2, 12},              //
                                                        {-3, 3, 5}, {-1, 3, 12}, {1, 3, 12}, {3, 3, 5}}};
constexpr std::array<TKernelWeight, 7> kBurkes{{{1, 0, 8}, {2, 0, 4}, //
                                                {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2}}};

template <size_t N>
constexpr int rowsOf(const std::array<TKernelWeight, N>& weights) {
    int rows = 1;
    for (const TKernelWeight& w : weights)
        rows = std::max(rows, w.Below + 1);
    return rows;
}

template <size_t N>
constexpr int reachOf(const std::array<TKernelWeight, N>& weights) {
    int reach = 0;
    for (const TKernelWeight& w : weights)
        reach = std::max(reach, w.Ahead < 0 ? -w.Ahead : w.Ahead);
    return reach;
}

// Maps through the final kind's own Map when the lookup has one (the call
// is then inlined into the loops below), else through the virtual Lookup.
template <class TLookup>
uint8_t mapColor(TLookup& lookup, uint8_t red, uint8_t green, uint8_t blue, TGIFColor& chosen) {
    if constexpr (requires { lookup.Map(red, green, blue, chosen); })
        return lookup.Map(red, green, blue, chosen);
    else
        return lookup.Lookup(red, green, blue, chosen);
}

// A colour plus the error carried to it, scaled down and kept in range.
template <int Divisor>
int withError(uint8_t value, int32_t carried) {
    return std::clamp(value + (carried + Divisor / 2) / Divisor, 0, 255);
}

// Error diffusion by a kernel.  Each channel's error accumulates in 32-bit
// cells of a few rows (the current one and those below), each wider than
// the picture by the kernel's reach on both sides, so the kernel may write
// past either edge without tests.  The rows are one block, used as a ring.
template <class TLookup, int Divisor, size_t N, const std::array<TKernelWeight, N>& Weights>
class TDiffusionEngine final : public TDitherEngine {
public:
    static constexpr int kRows = rowsOf(Weights);
    static constexpr int kMargin = reachOf(Weights);

    TDiffusionEngine(int width, TLookup& lookup)
        : TDitherEngine(width, lookup), lookup_(lookup), rowCells_(size_t(width + 2 * kMargin) * 3),
          cells_(rowCells_ * kRows, 0) {
        for (int r = 0; r < kRows; ++r)
            rows_[size_t(r)] = cells_.data() + size_t(r) * rowCells_;
    }

    uint8_t Dither(uint8_t red, uint8_t green, uint8_t blue) override { return DitherPixel(red, green, blue); }

    uint8_t DitherPixel(uint8_t red, uint8_t green, uint8_t blue) {
        const int x = column_;
        const int32_t* carried = rows_[0] + size_t(kMargin + x) * 3;
        const int value[3] = {withError<Divisor>(red, carried[0]), withError<Divisor>(green, carried[1]),
                              withError<Divisor>(blue, carried[2])};
        TGIFColor chosen;
        const uint8_t index = mapColor(lookup_, uint8_t(value[0]), uint8_t(value[1]), uint8_t(value[2]), chosen);
        const int error[3] = {value[0] - chosen.Red, value[1] - chosen.Green, value[2] - chosen.Blue};
        if (error[0] != 0 || error[1] != 0 || error[2] != 0) {
            for (const TKernelWeight& w : Weights) {
                int32_t* cell = rows_[size_t(w.Below)] + ptrdiff_t(kMargin + x + w.Ahead * direction_) * 3;
                cell[0] += error[0] * w.Weight;
                cell[1] += error[1] * w.Weight;
                cell[2] += error[2] * w.Weight;
            }
        }
        column_ += direction_;
        return index;
    }

    void NextLine() override {
        // The current row, cleared, becomes the last; the others move up.
        int32_t* done = rows_.front();
        std::fill(done, done + rowCells_, 0);
        std::rotate(rows_.begin(), rows_.begin() + 1, rows_.end());
        TDitherEngine::NextLine();
    }

private:
    TLookup& lookup_;
    size_t rowCells_;
    std::vector<int32_t> cells_;
    std::array<int32_t*, kRows> rows_{}; // the current row first
};

class TNearestEngine : public TDitherEngine {
public:
    TNearestEngine(int width, TColorLookup& lookup) : TDitherEngine(width, lookup) {}
};

// The picture's rows in serpentine order, each pixel through `pixel`
// (x, the pixel's bytes) and the row's end through `rowDone`.
template <class TPixel, class TRowDone>
void walkSerpentine(const TGIFTrueColorImage& source, uint8_t* out, TPixel&& pixel, TRowDone&& rowDone) {
    for (int y = 0; y < source.Height; ++y) {
        const uint8_t* row = source.Row(y);
        uint8_t* target = out + int64_t(y) * source.Width;
        if (y % 2 == 0)
            for (int x = 0; x < source.Width; ++x)
                target[x] = pixel(x, row + int64_t(x) * source.PixelStride);
        else
            for (int x = source.Width - 1; x >= 0; --x)
                target[x] = pixel(x, row + int64_t(x) * source.PixelStride);
        rowDone(y);
    }
}

// Each pixel's index alone, rows in order; the pixel's size is known to
// the compiler, so the loop can work on many pixels at once.
template <int PixelStride, class TIndex>
void mapRows(const TGIFTrueColorImage& source, uint8_t* out, TIndex&& index) {
    const int width = source.Width; // kept apart from what the stores may alias
    for (int y = 0; y < source.Height; ++y) {
        const uint8_t* row = source.Row(y);
        uint8_t* target = out + int64_t(y) * width;
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = row + int64_t(x) * PixelStride;
            target[x] = index(p[2], p[1], p[0]);
        }
    }
}

// Without diffusion.  A lookup that remembers what it found answers by the
// order of its questions, so it is asked in the serpentine order; the
// others give each pixel the same answer in any order.
template <class TLookup>
void mapNearest(const TGIFTrueColorImage& source, TLookup& lookup, uint8_t* out) {
    TGIFColor chosen;
    if constexpr (std::is_same_v<TLookup, TFastColorLookup>) {
        // A colour asked once keeps its answer, so a pixel of the colour of
        // the one before (flat areas, most of a screenshot) takes that
        // pixel's index without asking.
        uint32_t before = UINT32_MAX;
        uint8_t index = 0;
        walkSerpentine(
            source, out,
            [&](int, const uint8_t* p) {
                const uint32_t colour = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
                if (colour != before) {
                    before = colour;
                    index = lookup.Map(p[2], p[1], p[0], chosen);
                }
                return index;
            },
            [](int) {});
    } else {
        auto index = [&](uint8_t red, uint8_t green, uint8_t blue) {
            if constexpr (requires { TLookup::Index(red, green, blue); })
                return TLookup::Index(red, green, blue);
            TGIFColor unused;
            return lookup.Map(red, green, blue, unused);
        };
        if (source.PixelStride == 3)
            mapRows<3>(source, out, index);
        else if (source.PixelStride == 4)
            mapRows<4>(source, out, index);
        else
            for (int y = 0; y < source.Height; ++y) {
                const uint8_t* p = source.Row(y);
                uint8_t* target = out + int64_t(y) * source.Width;
                for (int x = 0; x < source.Width; ++x, p += source.PixelStride)
                    target[x] = lookup.Map(p[2], p[1], p[0], chosen);
            }
    }
}

// Floyd-Steinberg in one error row per channel: a cell holds the error
// carried from the row above until its pixel takes it, and then the error
// gathered for the pixel below it.  Two running sums hold what the row
// below gets from the pixels of this row until a cell is complete, and one
// what the next pixel on this row gets.  The sums are those of the kernel,
// so the result is the same.
template <class TLookup>
void floydSteinberg(const TGIFTrueColorImage& source, TLookup& lookup, uint8_t* out) {
    constexpr int kDivisor = 16;
    // Cell x at x + 1: the cells before and after the row take what the
    // kernel gives past its ends.
    std::vector<int32_t> cells(size_t(source.Width + 2) * 3, 0);
    int32_t ahead[3] = {0, 0, 0}, belowBehind[3] = {0, 0, 0}, below[3] = {0, 0, 0};
    int direction = 1;
    walkSerpentine(
        source, out,
        [&](int x, const uint8_t* p) {
            int32_t* cell = cells.data() + size_t(x + 1) * 3;
            const int value[3] = {withError<kDivisor>(p[2], cell[0] + ahead[0]),
                                  withError<kDivisor>(p[1], cell[1] + ahead[1]),
                                  withError<kDivisor>(p[0], cell[2] + ahead[2])};
            TGIFColor chosen;
            const uint8_t index = mapColor(lookup, uint8_t(value[0]), uint8_t(value[1]), uint8_t(value[2]), chosen);
            const int error[3] = {value[0] - chosen.Red, value[1] - chosen.Green, value[2] - chosen.Blue};
            int32_t* behind = cell - direction * 3;
            for (int c = 0; c < 3; ++c) {
                behind[c] = belowBehind[c] + 3 * error[c];
                belowBehind[c] = below[c] + 5 * error[c];
                below[c] = error[c];
                ahead[c] = 7 * error[c];
            }
            return index;
        },
        [&](int y) {
            // The last pixel's cell is complete; the cell past the end
            // takes what no pixel will read.
            const int last = y % 2 == 0 ? source.Width - 1 : 0;
            int32_t* cell = cells.data() + size_t(last + 1) * 3;
            for (int c = 0; c < 3; ++c) {
                cell[c] = belowBehind[c];
                ahead[c] = belowBehind[c] = below[c] = 0;
            }
            direction = -direction;
        });
}

#if defined(__SSE2__)

// Floyd-Steinberg to black and white, as floydSteinberg does it, but
// shorter from one pixel to the next: what a pixel is given by the one
// before it depends on whether that one became black or white, so both
// outcomes are worked out in the two halves of one vector (red, green,
// blue and a spare 16-bit lane each) while that is still being decided,
// and the right half is taken after.  Every error fits 16 bits: a cell
// gathers at most 16 shares of an error of at most 255.
void floydSteinbergBlackWhite(const TGIFTrueColorImage& source, uint8_t* out) {
    const int width = source.Width;
    // Four lanes per cell (blue, green, red, spare, as pixels hold them),
    // cell x at x + 1 (as in floydSteinberg).
    std::vector<int16_t> cells(size_t(width + 2) * 4, 0);
    const __m128i bias = _mm_setr_epi16(8, 8, 8, 0, 8 - 7 * 255, 8 - 7 * 255, 8 - 7 * 255, 0);
    const __m128i weights = _mm_setr_epi16(29, 150, 77, 0, 29, 150, 77, 0);
    const __m128i fifteen = _mm_set1_epi16(15);
    const __m128i top = _mm_setr_epi16(255, 255, 255, 0, 255, 255, 255, 0);
    const __m128i half = _mm_set1_epi32(32512);
    for (int y = 0; y < source.Height; ++y) {
        const uint8_t* row = source.Row(y);
        const int64_t stride = source.PixelStride;
        const int direction = y % 2 == 0 ? 1 : -1;
        int x = direction > 0 ? 0 : width - 1;
        uint8_t* target = out + int64_t(y) * width;
        __m128i value = _mm_setzero_si128(); // the last pixel with its error, in both halves
        __m128i white = _mm_setzero_si128(); // what it became: all ones for white
        __m128i belowBehind = _mm_setzero_si128(), below = _mm_setzero_si128();
        for (int i = 0; i < width; ++i, x += direction) {
            int16_t* cell = cells.data() + size_t(x + 1) * 4;
            const __m128i carried = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(cell));
            const uint8_t* p = row + x * stride;
            const __m128i pixel = _mm_setr_epi16(p[0], p[1], p[2], 0, p[0], p[1], p[2], 0);
            // carried + 7 * (value - 255 if the last was white) + 8, in
            // both halves, divided by 16 truncating toward zero.
            // (What does not wait for the last pixel is added first.)
            const __m128i ready = _mm_add_epi16(_mm_unpacklo_epi64(carried, carried), bias);
            __m128i sum = _mm_add_epi16(_mm_slli_epi16(value, 3), _mm_sub_epi16(ready, value));
            sum = _mm_srai_epi16(_mm_add_epi16(sum, _mm_and_si128(_mm_srai_epi16(sum, 15), fifteen)), 4);
            __m128i both = _mm_add_epi16(pixel, sum);
            both = _mm_min_epi16(_mm_max_epi16(both, _mm_setzero_si128()), top);
            // Luminance of each half: 77 r + 150 g + 29 b, against half;
            // the outcome stays a mask in the vector unit, all ones for
            // white, chosen from the half the last pixel's outcome names.
            __m128i luminance = _mm_madd_epi16(both, weights);
            luminance = _mm_add_epi32(luminance, _mm_srli_epi64(luminance, 32));
            const __m128i whiter = _mm_cmpgt_epi32(luminance, half);
            value = _mm_or_si128(_mm_and_si128(white, _mm_unpackhi_epi64(both, both)),
                                 _mm_andnot_si128(white, _mm_unpacklo_epi64(both, both)));
            white = _mm_or_si128(_mm_and_si128(white, _mm_shuffle_epi32(whiter, 0xAA)),
                                 _mm_andnot_si128(white, _mm_shuffle_epi32(whiter, 0x00)));
            target[x] = uint8_t(_mm_cvtsi128_si32(white) & 1);
            const __m128i error = _mm_sub_epi16(value, _mm_and_si128(top, white));
            const __m128i twice = _mm_add_epi16(error, error);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(cell - direction * 4),
                             _mm_add_epi16(belowBehind, _mm_add_epi16(twice, error)));
            belowBehind = _mm_add_epi16(below, _mm_add_epi16(_mm_add_epi16(twice, twice), error));
            below = error;
        }
        // The last pixel's cell is complete; what the cell past the end
        // gets no pixel reads.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(cells.data() + size_t(x - direction + 1) * 4), belowBehind);
    }
}

// A row of the black-and-white walks, which read pixels four bytes at a
// time: the last of a row of three-byte pixels from a copy with room for
// its fourth (the row may end the picture's memory).
struct TBlackWhiteRow {
    TBlackWhiteRow(const TGIFTrueColorImage& source, int y, uint8_t* out)
        : Direction(y % 2 == 0 ? 1 : -1), Target(out + int64_t(y) * source.Width), row_(source.Row(y)),
          stride_(source.PixelStride), width_(source.Width) {
        last_ = row_ + int64_t(width_ - 1) * stride_;
        if (stride_ < 4)
            last_ = static_cast<const uint8_t*>(std::memcpy(lastPixel_, last_, 3));
    }
    TBlackWhiteRow(const TBlackWhiteRow&) = delete;
    TBlackWhiteRow& operator=(const TBlackWhiteRow&) = delete;

    int First() const { return Direction > 0 ? 0 : width_ - 1; }
    uint32_t Pixel(int x) const {
        uint32_t bits;
        std::memcpy(&bits, x == width_ - 1 ? last_ : row_ + x * stride_, 4);
        return bits;
    }

    const int Direction;
    uint8_t* const Target;

private:
    const uint8_t* row_;
    const uint8_t* last_;
    int64_t stride_;
    int width_;
    uint8_t lastPixel_[4] = {0, 0, 0, 0};
};

// Floyd-Steinberg to black and white with SSSE3, still as floydSteinberg
// does it.  The walk from pixel to pixel (serpentine) cannot go faster
// than its chain of dependent operations, so everything else is arranged
// to run beside that chain:
//  - each pixel's colour with error and whether it became white are
//    worked out for both outcomes of the pixel before it (as the SSE2
//    version does), the right one taken by a byte shuffle whose control
//    is that outcome, one operation on the chain;
//  - what the next row is given from this row's errors is summed as the
//    walk goes (running sums, as floydSteinberg keeps them), in both
//    guesses and with the rounding half added, off the chain; a separate
//    pass over the row after its walk cost more than the chain left idle.
//
// The arithmetic, per channel, with c the error carried from above (at
// most 9 * 255 either way), e the error of the pixel before (at most 255
// either way) and p the pixel: s = c + 8 + 7 e lies in [-4072, 4088], so
// its sign is its top four bits (15 when negative, as s >> 12 unsigned),
// and p + s / 16 truncated toward zero is (16 p + s + (s < 0 ? 15 : 0))
// shifted right by four.  The luminance test 77 r + 150 g + 29 b > 32512
// is 29 b + 150 g > 32512 - 77 r, both sides from one multiply-add when
// the spare lane holds 1.
__attribute__((always_inline, target("ssse3"))) inline void diffuseBlackWhite(const TGIFTrueColorImage& source,
                                                                                uint8_t* out) {
    const int width = source.Width;
    // Four lanes per colour (blue, green, red, spare), eight per pixel:
    // what a pixel is given from the row above, plus the rounding half, in
    // both guesses.  Column x at x + 2: the two columns either side take
    // what the sums give before the row starts and past its end.
    constexpr int kPad = 2;
    constexpr int16_t kWhiteShare = 7 * 255;
    constexpr int16_t kSpare = 16; // becomes 1 in the spare lane of each colour
    const __m128i bias = _mm_setr_epi16(8, 8, 8, kSpare, 8 - kWhiteShare, 8 - kWhiteShare, 8 - kWhiteShare, kSpare);
    std::vector<int16_t> carried(size_t(width + 2 * kPad) * 8);
    for (size_t lane = 0; lane < carried.size(); lane += 8)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(carried.data() + lane), bias);
    const __m128i weights = _mm_setr_epi16(29, 150, -77, 32512, 29, 150, -77, 32512);
    const __m128i top = _mm_set1_epi16(255);
    const __m128i eight = _mm_set1_epi8(8);
    const __m128i zero = _mm_setzero_si128();
    // The shuffles: the guess for a black pixel before is the low half,
    // for a white one the high half (eight bytes on); the outcome is
    // byte 0 of each half's first 32-bit lane.  A picked value holds the
    // same colour in both halves, and so does its error.
    const __m128i pickValue = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7);
    const __m128i pickWhite = _mm_setzero_si128();
    const __m128i widen = _mm_setr_epi8(0, -1, 1, -1, 2, -1, -1, -1, 0, -1, 1, -1, 2, -1, -1, -1);
    // What a colour less its error is, picked like the colour: black or
    // white, and the spare lane.
    const __m128i chosen = _mm_setr_epi16(0, 0, 0, 1, 255, 255, 255, 1);
    for (int y = 0; y < source.Height; ++y) {
        const TBlackWhiteRow row(source, y, out);
        const int direction = row.Direction;
        // The pixel before, none at the start: its error is zero.
        __m128i value = _mm_setr_epi16(0, 0, 0, 1, 0, 0, 0, 1);
        __m128i shift = zero; // 8 in every byte when it became white
        // The next row's sums: column x - 2 direction is complete once
        // the error of x - direction is known (3 of it, 5 of x - 2
        // direction's, 1 of x - 3 direction's).
        __m128i belowBehind = bias, below = bias;
        const auto give = [&](int column, __m128i error) {
            const __m128i twice = _mm_add_epi16(error, error);
            const __m128i thrice = _mm_add_epi16(twice, error);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(carried.data() + size_t(column + kPad) * 8),
                             _mm_add_epi16(belowBehind, thrice));
            belowBehind = _mm_add_epi16(below, _mm_add_epi16(thrice, twice));
            below = _mm_add_epi16(error, bias);
        };
        int x = row.First();
        for (int i = 0; i < width; ++i, x += direction) {
            const uint32_t bits = row.Pixel(x);
            const __m128i pixel = _mm_slli_epi16(_mm_shuffle_epi8(_mm_cvtsi32_si128(int(bits)), widen), 4);
            const __m128i ready =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(carried.data() + size_t(x + kPad) * 8));
            const __m128i scaled = _mm_add_epi16(ready, pixel);
            // s = ready + 7 e and 16 p + s, for both guesses.
            const __m128i eightTimes = _mm_slli_epi16(value, 3);
            const __m128i sum = _mm_add_epi16(_mm_sub_epi16(ready, value), eightTimes);
            const __m128i withPixel = _mm_add_epi16(_mm_sub_epi16(scaled, value), eightTimes);
            const __m128i rounded = _mm_srai_epi16(_mm_add_epi16(withPixel, _mm_srli_epi16(sum, 12)), 4);
            const __m128i both = _mm_min_epi16(_mm_max_epi16(rounded, zero), top);
            const __m128i luminance = _mm_madd_epi16(both, weights);
            const __m128i whiter = _mm_and_si128(_mm_cmpgt_epi32(luminance, _mm_srli_epi64(luminance, 32)), eight);
            const __m128i pick = _mm_add_epi8(pickValue, shift);
            give(x - 2 * direction, _mm_sub_epi16(value, _mm_shuffle_epi8(chosen, pick)));
            value = _mm_shuffle_epi8(both, pick);
            shift = _mm_shuffle_epi8(whiter, _mm_add_epi8(pickWhite, shift));
            row.Target[x] = uint8_t(_mm_cvtsi128_si32(shift) >> 3);
        }
        // The last pixel's error completes the column before it, and
        // nothing past the end completes the last column.
        give(x - 2 * direction, _mm_sub_epi16(value, _mm_shuffle_epi8(chosen, _mm_add_epi8(pickValue, shift))));
        give(x - direction, zero);
    }
}

__attribute__((target("ssse3"))) void floydSteinbergBlackWhiteSsse3(const TGIFTrueColorImage& source, uint8_t* out) {
    diffuseBlackWhite(source, out);
}

// The same with the instruction forms of AVX2 (three operands, fewer
// moves), where the processor has them.
__attribute__((target("avx2"))) void floydSteinbergBlackWhiteAvx2(const TGIFTrueColorImage& source, uint8_t* out) {
    diffuseBlackWhite(source, out);
}

// The same walk with AVX-512 (VL, BW, VNNI), shorter from one pixel to
// the next (about 15 cycles for two pixels against 18):
//  - 16 p + s is clamped to [0, 4095] by saturating arithmetic and then
//    divided by 16, three steps where a shift and two clamps took four;
//  - the luminance is one multiply-add of bytes (the low bytes of both
//    guesses, gathered by one shuffle), less the threshold, so that its
//    sign is the outcome; for the weights to fit a signed byte the fourth
//    lane holds green once more (75 + 75 = 150), worked out like the
//    first green;
//  - the state from pixel to pixel is the shuffle control itself: the
//    control of the pixel before picks the sign byte of the luminance of
//    the guess it names, and one bitwise step turns that into the next
//    control;
//  - the next row's sums take each error plus an offset whose ninefold
//    is the rounding half and white share (nine is odd, so it has an
//    inverse modulo 2^16, and the sums wrap back into range), and
//    multiply where the other versions add.
__attribute__((target("avx512vl,avx512bw,avx512vnni"))) void floydSteinbergBlackWhiteVnni(
    const TGIFTrueColorImage& source, uint8_t* out) {
    const int width = source.Width;
    constexpr int kPad = 2;
    constexpr int16_t kWhiteShare = 7 * 255;
    // Lanes: blue, green, red, green; black guess, then white guess.
    const __m128i bias = _mm_setr_epi16(8, 8, 8, 8, 8 - kWhiteShare, 8 - kWhiteShare, 8 - kWhiteShare, 8 - kWhiteShare);
    constexpr int16_t kInverseOfNine = int16_t(0x8E39); // 9 * 0x8E39 = 5 * 2^16 + 1
    const __m128i offset = _mm_mullo_epi16(bias, _mm_set1_epi16(kInverseOfNine));
    std::vector<int16_t> carried(size_t(width + 2 * kPad) * 8);
    for (size_t lane = 0; lane < carried.size(); lane += 8)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(carried.data() + lane), bias);
    const __m128i widen = _mm_setr_epi8(0, -1, 1, -1, 2, -1, 1, -1, 0, -1, 1, -1, 2, -1, 1, -1);
    // Added to 16 p: 16 p + s, kept 28672 higher, saturates where it
    // passes 4095; taken off again unsigned, it stops at zero.
    const __m128i lift = _mm_set1_epi16(28672);
    // The low bytes of each guess, twice each: the luminance of the black
    // guess in the first two 32-bit lanes, of the white one in the others.
    const __m128i gather = _mm_setr_epi8(0, 2, 4, 6, 0, 2, 4, 6, 8, 10, 12, 14, 8, 10, 12, 14);
    // 29 b + 150 g + 77 r - 32513: white where it is not below zero,
    // which its top byte tells (all ones or zero) in each 32-bit lane.
    const __m128i weights = _mm_set1_epi32(29 | 75 << 8 | 77 << 16 | 75 << 24);
    const __m128i threshold = _mm_set1_epi32(-32513);
    const __m128i topBytes = _mm_set1_epi8(3);
    const __m128i zero = _mm_setzero_si128();
    // The control: the guess the outcome of the pixel before names, black
    // the low half, white the high half (eight bytes on), in both halves.
    const __m128i pickValue = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7);
    const __m128i eight = _mm_set1_epi8(8);
    // The colour a pixel became, read by its control like its guess.
    const __m128i chosen = _mm_setr_epi16(0, 0, 0, 0, 255, 255, 255, 255);
    // Multiplied, not shifted and added: fewer operations beside the chain.
    __m128i three = _mm_set1_epi16(3), five = _mm_set1_epi16(5);
    asm("" : "+v"(three), "+v"(five));
    // Each pixel's control, whose first byte is 8 for white: stored whole
    // (a store, no work beside the chain), read after the row.
    std::vector<uint32_t> outcomes(static_cast<size_t>(width));
    for (int y = 0; y < source.Height; ++y) {
        const TBlackWhiteRow row(source, y, out);
        const int direction = row.Direction;
        __m128i value = zero, pick = pickValue; // no pixel before: no error
        __m128i belowBehind = _mm_mullo_epi16(offset, _mm_set1_epi16(6)), below = offset;
        const auto give = [&](int column, __m128i error) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(carried.data() + size_t(column + kPad) * 8),
                             _mm_add_epi16(belowBehind, _mm_mullo_epi16(error, three)));
            belowBehind = _mm_add_epi16(below, _mm_mullo_epi16(error, five));
            below = error;
        };
        int x = row.First();
        for (int i = 0; i < width; ++i, x += direction) {
            const uint32_t bits = row.Pixel(x);
            const __m128i pixel =
                _mm_add_epi16(_mm_slli_epi16(_mm_shuffle_epi8(_mm_cvtsi32_si128(int(bits)), widen), 4), lift);
            const __m128i ready =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(carried.data() + size_t(x + kPad) * 8));
            // Grouped as written, each step kept whole: the compiler would
            // put steps of the chain one after another.
            __m128i lessValue = _mm_sub_epi16(ready, value);
            asm("" : "+v"(lessValue));
            const __m128i sum = _mm_add_epi16(lessValue, _mm_slli_epi16(value, 3));
            __m128i withPixel = _mm_adds_epi16(sum, pixel);
            asm("" : "+v"(withPixel));
            const __m128i clamped = _mm_subs_epu16(_mm_adds_epi16(withPixel, _mm_srli_epi16(sum, 12)), lift);
            const __m128i both = _mm_srli_epi16(clamped, 4);
            const __m128i luminance = _mm_dpbusd_epi32(threshold, _mm_shuffle_epi8(both, gather), weights);
            // The top byte of the luminance of the guess the control
            // names, in every byte (the control with its two low bits
            // set reads it): all ones for black, zero for white.
            const __m128i black = _mm_shuffle_epi8(luminance, _mm_or_si128(pick, topBytes));
            give(x - 2 * direction, _mm_add_epi16(_mm_sub_epi16(value, _mm_shuffle_epi8(chosen, pick)), offset));
            value = _mm_shuffle_epi8(both, pick);
            pick = _mm_ternarylogic_epi32(black, pickValue, eight, 0xCE); // pickValue | (~black & eight)
            _mm_storeu_si32(outcomes.data() + x, pick);
        }
        for (int column = 0; column < width; ++column)
            row.Target[column] = uint8_t(outcomes[size_t(column)] >> 3) & 1;
        give(x - 2 * direction, _mm_add_epi16(_mm_sub_epi16(value, _mm_shuffle_epi8(chosen, pick)), offset));
        give(x - direction, offset);
    }
}

#else

// Floyd-Steinberg to black and white, as floydSteinberg does it, but
// shorter from one pixel to the next: what a pixel is given by the one
// before it depends on whether that one became black or white, so both
// outcomes are worked out while that is still being decided, and the
// right one is taken after.
void floydSteinbergBlackWhite(const TGIFTrueColorImage& source, uint8_t* out) {
    constexpr int kDivisor = 16;
    constexpr int kWhiteShare = 7 * 255; // of the next pixel's error
    std::vector<int32_t> cells(size_t(source.Width + 2) * 3, 0);
    int value[3] = {0, 0, 0}; // the last pixel's colour with its error, for the next pixel
    bool white = false;       // and what it became
    int32_t belowBehind[3] = {0, 0, 0}, below[3] = {0, 0, 0};
    int direction = 1;
    walkSerpentine(
        source, out,
        [&](int x, const uint8_t* p) {
            int32_t* cell = cells.data() + size_t(x + 1) * 3;
            const uint8_t channel[3] = {p[2], p[1], p[0]};
            int ifBlack[3], ifWhite[3];
            for (int c = 0; c < 3; ++c) {
                const int32_t carried = cell[c] + 7 * value[c];
                ifBlack[c] = withError<kDivisor>(channel[c], carried);
                ifWhite[c] = withError<kDivisor>(channel[c], carried - kWhiteShare);
            }
            const bool whiteIfBlack = TMonochromeLookup::IsWhite(uint8_t(ifBlack[0]), uint8_t(ifBlack[1]), uint8_t(ifBlack[2]));
            const bool whiteIfWhite = TMonochromeLookup::IsWhite(uint8_t(ifWhite[0]), uint8_t(ifWhite[1]), uint8_t(ifWhite[2]));
            const bool becomes = white ? whiteIfWhite : whiteIfBlack;
            for (int c = 0; c < 3; ++c)
                value[c] = white ? ifWhite[c] : ifBlack[c];
            white = becomes;
            const int chosen = white ? 255 : 0;
            int32_t* behind = cell - direction * 3;
            for (int c = 0; c < 3; ++c) {
                const int error = value[c] - chosen;
                behind[c] = belowBehind[c] + 3 * error;
                belowBehind[c] = below[c] + 5 * error;
                below[c] = error;
            }
            // The next pixel is given 7 * (value - chosen): the value is
            // kept, the white share taken off there.
            return uint8_t(white);
        },
        [&](int y) {
            const int last = y % 2 == 0 ? source.Width - 1 : 0;
            int32_t* cell = cells.data() + size_t(last + 1) * 3;
            for (int c = 0; c < 3; ++c) {
                cell[c] = belowBehind[c];
                value[c] = belowBehind[c] = below[c] = 0;
            }
            white = false;
            direction = -direction;
        });
}

#endif

// The fastest black-and-white diffusion the processor runs, chosen once.
TBlackWhiteDiffusion blackWhiteDiffusion() {
    static const TBlackWhiteDiffusion chosen = BlackWhiteDiffusions().front();
    return chosen;
}

template <class TLookup, int Divisor, size_t N, const std::array<TKernelWeight, N>& Weights>
void diffuse(const TGIFTrueColorImage& source, TLookup& lookup, uint8_t* out) {
    TDiffusionEngine<TLookup, Divisor, N, Weights> engine(source.Width, lookup);
    walkSerpentine(
        source, out, [&](int, const uint8_t* p) { return engine.DitherPixel(p[2], p[1], p[0]); },
        [&](int) { engine.NextLine(); });
}

template <class TLookup>
void reduceRows(const TGIFTrueColorImage& source, TLookup& lookup, TGIFDitherMode mode, uint8_t* out) {
    switch (mode) {
    case gdmNearest:
        return mapNearest(source, lookup, out);
    case gdmFloydSteinberg:
        if constexpr (std::is_same_v<TLookup, TMonochromeLookup>)
            return blackWhiteDiffusion()(source, out);
        else
            return floydSteinberg(source, lookup, out);
    case gdmStucki:
        return diffuse<TLookup, 42, 12, kStucki>(source, lookup, out);
    case gdmSierra:
        return diffuse<TLookup, 32, 10, kSierra>(source, lookup, out);
    case gdmJaJuNi:
        return diffuse<TLookup, 48, 12, kJarvis>(source, lookup, out);
    case gdmSteveArche:
        return diffuse<TLookup, 200, 12, kStevensonArce>(source, lookup, out);
    case gdmBurkes:
        return diffuse<TLookup, 32, 7, kBurkes>(source, lookup, out);
    default:
        GIFError(sInvalidDitherMode);
    }
}

} // namespace

std::vector<TBlackWhiteDiffusion> BlackWhiteDiffusions() {
#if defined(__SSE2__)
    std::vector<TBlackWhiteDiffusion> variants;
    if (__builtin_cpu_supports("avx512vnni") && __builtin_cpu_supports("avx512vl") &&
        __builtin_cpu_supports("avx512bw"))
        variants.push_back(floydSteinbergBlackWhiteVnni);
    if (__builtin_cpu_supports("avx2"))
        variants.push_back(floydSteinbergBlackWhiteAvx2);
    if (__builtin_cpu_supports("ssse3"))
        variants.push_back(floydSteinbergBlackWhiteSsse3);
    variants.push_back(floydSteinbergBlackWhite);
    return variants;
#else
    return {floydSteinbergBlackWhite};
#endif
}

std::unique_ptr<TDitherEngine> TDitherEngine::Create(TGIFDitherMode mode, int width, TColorLookup& lookup) {
    if (mode == gdmNearest)
        return std::make_unique<TNearestEngine>(width, lookup);
    switch (mode) {
    case gdmFloydSteinberg:
        return std::make_unique<TDiffusionEngine<TColorLookup, 16, 4, kFloydSteinberg>>(width, lookup);
    case gdmStucki:
        return std::make_unique<TDiffusionEngine<TColorLookup, 42, 12, kStucki>>(width, lookup);
    case gdmSierra:
        return std::make_unique<TDiffusionEngine<TColorLookup, 32, 10, kSierra>>(width, lookup);
    case gdmJaJuNi:
        return std::make_unique<TDiffusionEngine<TColorLookup, 48, 12, kJarvis>>(width, lookup);
    case gdmSteveArche:
        return std::make_unique<TDiffusionEngine<TColorLookup, 200, 12, kStevensonArce>>(width, lookup);
    case gdmBurkes:
        return std::make_unique<TDiffusionEngine<TColorLookup, 32, 7, kBurkes>>(width, lookup);
    default:
        GIFError(sInvalidDitherMode);
    }
}

// ---- octree quantizer ----

namespace {

class TColorQuantizer {
public:
    explicit TColorQuantizer(int maxColors) : maxColors_(maxColors) {
        nodes_.push_back({});
        reducible_.fill(-1);
        // The root is reducible too: with fewer colours allowed than it
        // has children, it is what is merged last.
        reducible_[0] = 0;
    }

    void AddColor(uint8_t red, uint8_t green, uint8_t blue) {
        // A leaf no deeper than four levels is reached by every colour that
        // shares the top four bits of each channel, until the tree changes.
        const int key = (red >> 4) | ((green >> 4) << 4) | ((blue >> 4) << 8);
        TShortcut& shortcut = shortcuts_[size_t(key)];
        if (shortcut.Generation == generation_) {
            addTo(nodes_[size_t(shortcut.Leaf)], red, green, blue);
            return;
        }
        // Deeper leaves: the colour of the pixel before, in runs such as the
        // flat areas of screenshots, goes to the leaf it went to while the
        // tree stays as it was (adding to a leaf changes no node).
        const uint32_t color = uint32_t(red) | (uint32_t(green) << 8) | (uint32_t(blue) << 16);
        if (color == last_.Color && last_.Generation == generation_) {
            addTo(nodes_[size_t(last_.Leaf)], red, green, blue);
            return;
        }
        const uint32_t generation = generation_;
        int node = 0;
        for (int level = 0;; ++level) {
            Node& n = nodes_[size_t(node)];
            if (n.IsLeaf) {
                addTo(n, red, green, blue);
                if (generation == generation_) {
                    last_ = {color, node, generation_};
                    if (level <= 4)
                        shortcut = {node, generation_};
                }
                break;
            }
            const int bit = 7 - level;
            const int child = (((red >> bit) & 1) << 2) | (((green >> bit) & 1) << 1) | ((blue >> bit) & 1);
            if (n.Children[size_t(child)] < 0) {
                const int made = newNode(level + 1);
                nodes_[size_t(node)].Children[size_t(child)] = made;
            }
            node = nodes_[size_t(node)].Children[size_t(child)];
        }
        while (leafCount_ > maxColors_)
            reduceTree();
    }

    TGIFPalette Colors() const {
        TGIFPalette colors;
        collect(0, colors);
        return colors;
    }

private:
    struct Node;
    static void addTo(Node& leaf, uint8_t red, uint8_t green, uint8_t blue) {
        ++leaf.PixelCount;
        leaf.Red += red;
        leaf.Green += green;
        leaf.Blue += blue;
    }

    struct Node {
        bool IsLeaf = false;
        int Next = -1; // the next node of the same level's reducible list, or of the free nodes
        int64_t PixelCount = 0;
        int64_t Red = 0, Green = 0, Blue = 0;
        std::array<int, 8> Children{-1, -1, -1, -1, -1, -1, -1, -1};
    };

    int newNode(int level) {
        ++generation_;
        Node node;
        if (level == kDepth) {
            node.IsLeaf = true;
            ++leafCount_;
        } else {
            node.Next = reducible_[size_t(level)];
        }
        // Nodes freed by merging are used again, so the pool stays as small
        // as the tree and its nodes near one another in memory.
        int index = free_;
        if (index >= 0) {
            free_ = nodes_[size_t(index)].Next;
            nodes_[size_t(index)] = node;
        } else {
            index = int(nodes_.size());
            nodes_.push_back(node);
        }
        if (level < kDepth)
            reducible_[size_t(level)] = index;
        return index;
    }

    void reduceTree() {
        int level = kDepth - 1;
        while (level > 0 && reducible_[size_t(level)] < 0)
            --level;
        const int index = reducible_[size_t(level)];
        if (index < 0)
            return;
        reducible_[size_t(level)] = nodes_[size_t(index)].Next;
        ++generation_;
        Node& node = nodes_[size_t(index)];
        int children = 0;
        for (int& child : node.Children) {
            if (child < 0)
                continue;
            Node& c = nodes_[size_t(child)];
            node.PixelCount += c.PixelCount;
            node.Red += c.Red;
            node.Green += c.Green;
            node.Blue += c.Blue;
            // The merged children are leaves, in no reducible list.
            c.Next = free_;
            free_ = child;
            child = -1;
            ++children;
        }
        node.IsLeaf = true;
        leafCount_ += 1 - children;
    }

    void collect(int index, TGIFPalette& colors) const {
        const Node& node = nodes_[size_t(index)];
        if (node.IsLeaf) {
            if (node.PixelCount == 0)
                colors.push_back({0, 0, 0});
            else
                colors.push_back({uint8_t(node.Red / node.PixelCount), uint8_t(node.Green / node.PixelCount),
                                  uint8_t(node.Blue / node.PixelCount)});
            return;
        }
        for (int child : node.Children)
            if (child >= 0)
                collect(child, colors);
    }

    static constexpr int kDepth = 8;
    int maxColors_;
    int leafCount_ = 0;
    std::vector<Node> nodes_;
    int free_ = -1; // the first node free for use again
    // Leaves by 12-bit colour key (a table that stays in the nearest
    // cache), each valid while the tree is of the generation it was found
    // in; every node made or merged starts a new one.
    struct TShortcut {
        int Leaf = 0;
        uint32_t Generation = 0;
    };
    std::vector<TShortcut> shortcuts_ = std::vector<TShortcut>(4096);
    // The last colour added through the tree and its leaf, valid in the
    // same way.
    struct TLastColor {
        uint32_t Color = 0;
        int Leaf = 0;
        uint32_t Generation = 0;
    } last_;
    uint32_t generation_ = 1;
    std::array<int, kDepth> reducible_{};
};

} // namespace

TGIFPalette QuantizePalette(const TGIFTrueColorImage& image, int maxColors) {
    TColorQuantizer quantizer(std::clamp(maxColors, 1, GIFMaxColors));
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* pixel = image.Row(y);
        for (int x = 0; x < image.Width; ++x, pixel += image.PixelStride)
            quantizer.AddColor(pixel[2], pixel[1], pixel[0]);
    }
    return quantizer.Colors();
}

// ---- reduction ----

TGIFPalette ReductionPalette(TGIFColorReduction method) {
    switch (method) {
    case gcrSystemColors:
        return SystemPalette();
    case gcrHalftone:
        return HalftonePalette();
    case gcrGray4:
        return Gray4Palette();
    case gcrBlackWhite:
        return BlackWhitePalette();
    case gcrGray256:
        return Gray256Palette();
    case gcrWebPalette:
        return WebPalette();
    default:
        return {};
    }
}

TGIFReducedImage ReduceColors(const TGIFTrueColorImage& source, TGIFColorReduction method, TGIFDitherMode mode,
                              int reductionBits, const TGIFPalette* customPalette) {
    if (method == gcrNone || method > gcrCustomPalette)
        GIFError(sInvalidReductionMethod);
    if (mode > gdmBurkes)
        GIFError(sInvalidDitherMode);
    TGIFReducedImage result;
    result.Width = source.Width;
    result.Height = source.Height;
    // Palettes of any colours are searched through a fast lookup; the fixed
    // ones of black and white, greys and the cube are computed.
    std::unique_ptr<TFastColorLookup> fast;
    switch (method) {
    case gcrBlackWhite:
    case gcrGray256:
    case gcrWebPalette:
        result.Palette = ReductionPalette(method);
        break;
    case gcrQuantize: {
        if (reductionBits < 1 || reductionBits > 8)
            GIFError(sInvalidReductionBits);
        const int maxColors = 1 << reductionBits;
        result.Palette = QuantizePalette(source, maxColors);
        fast = std::make_unique<TFastColorLookup>(result.Palette);
        result.Palette.resize(size_t(maxColors)); // unused entries are black
        break;
    }
    case gcrQuantizeWindows: {
        const TGIFPalette system = SystemPalette();
        TGIFPalette quantized = QuantizePalette(source, 236);
        quantized.resize(236);
        result.Palette.assign(system.begin(), system.begin() + 10);
        result.Palette.insert(result.Palette.end(), quantized.begin(), quantized.end());
        result.Palette.insert(result.Palette.end(), system.begin() + 10, system.end());
        fast = std::make_unique<TFastColorLookup>(result.Palette);
        break;
    }
    case gcrCustomPalette:
        if (!customPalette || customPalette->empty())
            GIFError(sEmptyPalette);
        result.Palette.assign(customPalette->begin(),
                              customPalette->begin() + std::min<size_t>(customPalette->size(), GIFMaxColors));
        fast = std::make_unique<TFastColorLookup>(result.Palette);
        break;
    default:
        result.Palette = ReductionPalette(method);
        fast = std::make_unique<TFastColorLookup>(result.Palette);
        break;
    }
    if (source.Width <= 0 || source.Height <= 0)
        return result;
    result.Indices.resize(size_t(int64_t(source.Width) * source.Height));
    uint8_t* out = result.Indices.data();
    switch (method) {
    case gcrBlackWhite: {
        TMonochromeLookup lookup;
        reduceRows(source, lookup, mode, out);
        break;
    }
    case gcrGray256: {
        TGrayScaleLookup lookup;
        reduceRows(source, lookup, mode, out);
        break;
    }
    case gcrWebPalette: {
        TNetscapeColorLookup lookup;
        reduceRows(source, lookup, mode, out);
        break;
    }
    default:
        reduceRows(source, *fast, mode, out);
        break;
    }
    return result;
}
