// Colour reduction: the fixed palettes and their lookups, the quantizer on
// pictures of few colours, and every error-diffusion kernel on random
// pictures (against a plain reference diffusion) and on pictures one pixel
// wide or high (this suite also runs under the address sanitizer).

#include "GIFTestSupport.h"

#include "gif/GIFColorReduction.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <climits>
#include <map>
#include <memory>
#include <random>
#include <set>

namespace {

// Pixel rows of blue, green, red, 3 bytes each.
struct Picture {
    int Width, Height;
    std::vector<uint8_t> Bits;
    Picture(int width, int height) : Width(width), Height(height), Bits(size_t(width) * size_t(height) * 3) {}
    TGIFTrueColorImage View() const { return {Width, Height, Bits.data(), int64_t(Width) * 3, 3}; }
    uint8_t* At(int x, int y) { return Bits.data() + (size_t(y) * size_t(Width) + size_t(x)) * 3; }
};

Picture randomPicture(int width, int height, uint32_t seed, int colors = 0) {
    std::mt19937 random(seed);
    std::vector<std::array<uint8_t, 3>> few(static_cast<size_t>(colors));
    for (auto& c : few)
        c = {uint8_t(random()), uint8_t(random()), uint8_t(random())};
    Picture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = picture.At(x, y);
            if (colors > 0) {
                const auto& c = few[random() % few.size()];
                p[0] = c[0], p[1] = c[1], p[2] = c[2];
            } else {
                p[0] = uint8_t(random()), p[1] = uint8_t(random()), p[2] = uint8_t(random());
            }
        }
    return picture;
}

TEST(GIFColorReduction, FixedPalettesAndTheirLookups) {
    TNetscapeColorLookup cube;
    TGIFColor chosen;
    EXPECT_EQ(cube.Lookup(128, 128, 128, chosen), 86);
    EXPECT_EQ(chosen, (TGIFColor{102, 102, 102}));
    // Every cube colour maps to itself, at its place in the web palette.
    const TGIFPalette web = WebPalette();
    for (int i = 0; i < 216; ++i) {
        ASSERT_EQ(cube.Lookup(web[size_t(i)].Red, web[size_t(i)].Green, web[size_t(i)].Blue, chosen), i);
        ASSERT_EQ(chosen, web[size_t(i)]);
    }
    TMonochromeLookup mono;
    // 77 R + 150 G + 29 B: 32512 is still black, 32513 white.
    int exact[2] = {0, 0};
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int target : {32512, 32513}) {
                const int rest = target - 77 * r - 150 * g;
                if (rest < 0 || rest % 29 != 0 || rest / 29 > 255)
                    continue;
                ASSERT_EQ(mono.Lookup(uint8_t(r), uint8_t(g), uint8_t(rest / 29), chosen), target - 32512);
                ++exact[target - 32512];
            }
    EXPECT_GT(exact[0], 0);
    EXPECT_GT(exact[1], 0);
    EXPECT_EQ(SystemPalette().size(), 20u);
    EXPECT_EQ(HalftonePalette().size(), 256u);

    // The fast lookup: an exact entry wins over an earlier one that shares
    // its top bits; other colours go to the nearest entry.
    const TGIFPalette near = {{8, 8, 8}, {9, 9, 9}, {200, 0, 0}};
    TFastColorLookup fast(near);
    EXPECT_EQ(fast.Lookup(9, 9, 9, chosen), 1);
    EXPECT_EQ(fast.Lookup(8, 8, 8, chosen), 0);
    EXPECT_EQ(fast.Lookup(190, 20, 0, chosen), 2);
    std::mt19937 random(3);
    TGIFPalette palette(100);
    for (TGIFColor& c : palette)
        c = {uint8_t(random()), uint8_t(random()), uint8_t(random())};
    TFastColorLookup any(palette);
    for (const TGIFColor& c : palette) {
        any.Lookup(c.Red, c.Green, c.Blue, chosen);
        EXPECT_EQ(chosen, c);
    }
}

// The fast lookup's rule written plainly: the first entry of exactly the
// colour; else, for the colour's cell (the top five bits of each channel),
// the first entry in the cell, or the entry nearest (by the sum of the
// channels' differences, the first of the least) to the first colour
// looked up in a cell that holds none.
int cellOf(const TGIFColor& c) { return (c.Red >> 3) | ((c.Green >> 3) << 5) | ((c.Blue >> 3) << 10); }

class PlainLookup {
public:
    explicit PlainLookup(const TGIFPalette& palette) : palette_(palette) {}
    int Lookup(const TGIFColor& c) {
        for (size_t i = 0; i < palette_.size(); ++i)
            if (palette_[i] == c)
                return int(i);
        const int cell = cellOf(c);
        for (size_t i = 0; i < palette_.size(); ++i)
            if (cellOf(palette_[i]) == cell)
                return int(i);
        if (!cachedNearest_.count(cell)) {
            int least = INT_MAX;
            for (size_t i = 0; i < palette_.size(); ++i) {
                const int d = std::abs(palette_[i].Red - c.Red) + std::abs(palette_[i].Green - c.Green) +
                              std::abs(palette_[i].Blue - c.Blue);
                if (d < least)
                    least = d, cachedNearest_[cell] = int(i);
            }
        }
        return cachedNearest_[cell];
    }

private:
    const TGIFPalette& palette_;
    std::map<int, int> cachedNearest_;
};

// The fast lookup against the plain rule, on palettes with entries that
// share cells, with and without equal colours, and colours drawn mostly
// from the palette and its cells.
TEST(GIFColorReduction, FastLookupFollowsItsRule) {
    TGIFColor chosen;
    std::mt19937 random(17);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        TGIFPalette palette(1 + random() % 256);
        const int spread = round % 3 == 0 ? 256 : 24; // narrow: many entries share cells
        for (TGIFColor& c : palette) {
            c = {uint8_t(random() % spread), uint8_t(random() % spread), uint8_t(random() % spread)};
            if (random() % 4 == 0)
                c = palette[random() % palette.size()];
        }
        PlainLookup plain(palette);
        TFastColorLookup lookup(palette);
        for (int probe = 0; probe < 2000; ++probe) {
            TGIFColor c = palette[random() % palette.size()];
            if (random() % 2 == 0) // another colour of an entry's cell, or any colour
                c = random() % 2 == 0 ? TGIFColor{uint8_t((c.Red & ~7) | (random() & 7)),
                                                  uint8_t((c.Green & ~7) | (random() & 7)),
                                                  uint8_t((c.Blue & ~7) | (random() & 7))}
                                      : TGIFColor{uint8_t(random() % spread), uint8_t(random() % spread),
                                                  uint8_t(random() % spread)};
            const int expected = plain.Lookup(c);
            ASSERT_EQ(lookup.Lookup(c.Red, c.Green, c.Blue, chosen), expected)
                << int(c.Red) << "," << int(c.Green) << "," << int(c.Blue);
            ASSERT_EQ(chosen, palette[size_t(expected)]);
        }
    }
}

// A palette as people give one: a grey ramp, the web cube, a picture's own
// colours, or entries crowded into a few cells; each drawn anew, some with
// repeated entries.
TGIFPalette givenPalette(int kind, std::mt19937& random) {
    TGIFPalette palette;
    if (kind == 0) {
        const int count = 2 + int(random() % 255);
        for (int i = 0; i < count; ++i) {
            const auto grey = uint8_t(i * 255 / (count - 1));
            palette.push_back({grey, grey, grey});
        }
        if (random() % 2)
            std::reverse(palette.begin(), palette.end());
    } else if (kind == 1) {
        palette = WebPalette();
        if (random() % 2)
            std::shuffle(palette.begin(), palette.end(), random);
    } else if (kind == 2) {
        // The octree's colours of a picture whose colours lie near each other.
        Picture picture = randomPicture(40, 40, random());
        const int base = int(random() % 200), band = 8 + int(random() % 48);
        for (uint8_t& b : picture.Bits)
            b = uint8_t(base + b % band);
        palette = QuantizePalette(picture.View(), 1 << (1 + random() % 8));
    } else {
        std::vector<TGIFColor> cells(1 + random() % 8);
        for (TGIFColor& c : cells)
            c = {uint8_t(random() & ~7), uint8_t(random() & ~7), uint8_t(random() & ~7)};
        palette.resize(1 + random() % 256);
        for (TGIFColor& c : palette) {
            const TGIFColor& cell = cells[random() % cells.size()];
            c = {uint8_t(cell.Red | (random() & 7)), uint8_t(cell.Green | (random() & 7)),
                 uint8_t(cell.Blue | (random() & 7))};
        }
    }
    for (size_t i = 1; i < palette.size(); ++i)
        if (random() % 16 == 0)
            palette[i] = palette[random() % i];
    return palette;
}

// Reduction to a given palette, without diffusion, against the plain rule
// asked in the reduction's serpentine order.  The pictures hold every
// colour of each cell where entries of different colours meet, every
// entry's own colour and a few of its cell, colours from anywhere, and
// runs of one colour, in random order: one entry answered wrongly shows.
TEST(GIFColorReduction, GivenPaletteReductionFollowsThePlainRule) {
    std::mt19937 random(43);
    for (int round = 0; round < 32; ++round) {
        SCOPED_TRACE(round);
        const TGIFPalette palette = givenPalette(round % 4, random);
        std::vector<TGIFColor> colors;
        std::set<int> shared;
        for (const TGIFColor& c : palette) {
            for (const TGIFColor& other : palette)
                if (cellOf(other) == cellOf(c) && !(other == c))
                    shared.insert(cellOf(c));
            colors.push_back(c);
            for (int mate = 0; mate < 3; ++mate)
                colors.push_back({uint8_t((c.Red & ~7) | (random() & 7)), uint8_t((c.Green & ~7) | (random() & 7)),
                                  uint8_t((c.Blue & ~7) | (random() & 7))});
        }
        for (int cell : shared)
            for (int low = 0; low < 512; ++low)
                colors.push_back({uint8_t((cell & 31) << 3 | (low & 7)),
                                  uint8_t((cell >> 5 & 31) << 3 | (low >> 3 & 7)),
                                  uint8_t((cell >> 10) << 3 | (low >> 6))});
        for (int i = 0; i < 1000; ++i)
            colors.push_back({uint8_t(random()), uint8_t(random()), uint8_t(random())});
        std::shuffle(colors.begin(), colors.end(), random);
        std::vector<TGIFColor> pixels;
        for (const TGIFColor& c : colors)
            pixels.insert(pixels.end(), random() % 3 == 0 ? 1 + random() % 9 : 1, c); // runs of one colour
        const int width = 1 + int(random() % 97);
        Picture picture(width, int((pixels.size() + size_t(width) - 1) / size_t(width)));
        for (size_t i = 0; i < size_t(width) * size_t(picture.Height); ++i) {
            const TGIFColor& c = pixels[std::min(i, pixels.size() - 1)];
            uint8_t* p = picture.Bits.data() + i * 3;
            p[0] = c.Blue, p[1] = c.Green, p[2] = c.Red;
        }
        const TGIFReducedImage reduced = ReduceColors(picture.View(), gcrCustomPalette, gdmNearest, 8, &palette);
        PlainLookup plain(palette);
        for (int y = 0; y < picture.Height; ++y)
            for (int i = 0; i < width; ++i) {
                const int x = y % 2 == 0 ? i : width - 1 - i;
                const uint8_t* p = picture.At(x, y);
                ASSERT_EQ(reduced.Indices[size_t(y) * size_t(width) + size_t(x)], plain.Lookup({p[2], p[1], p[0]}))
                    << x << "," << y << ": " << int(p[2]) << "," << int(p[1]) << "," << int(p[0]);
            }
    }
}

TEST(GIFColorReduction, QuantizerKeepsFewColoursExactly) {
    for (int colors : {1, 2, 17, 255, 256}) {
        SCOPED_TRACE(colors);
        const Picture picture = randomPicture(37, 29, uint32_t(colors), colors);
        const TGIFReducedImage reduced = ReduceColors(picture.View(), gcrQuantize, gdmFloydSteinberg, 8);
        ASSERT_EQ(reduced.Palette.size(), 256u);
        for (int y = 0; y < picture.Height; ++y)
            for (int x = 0; x < picture.Width; ++x) {
                const uint8_t* p = const_cast<Picture&>(picture).At(x, y);
                ASSERT_EQ(reduced.Palette[reduced.Indices[size_t(y) * 37 + size_t(x)]], (TGIFColor{p[2], p[1], p[0]}));
            }
    }
    // More colours than room: a palette of exactly 2^bits entries.
    const Picture photo = randomPicture(64, 64, 9);
    const TGIFReducedImage sixteen = ReduceColors(photo.View(), gcrQuantize, gdmNearest, 4);
    EXPECT_EQ(sixteen.Palette.size(), 16u);
    EXPECT_LT(*std::max_element(sixteen.Indices.begin(), sixteen.Indices.end()), 16);
    const TGIFReducedImage windows = ReduceColors(photo.View(), gcrQuantizeWindows, gdmNearest, 8);
    ASSERT_EQ(windows.Palette.size(), 256u);
    EXPECT_EQ(windows.Palette[0], SystemPalette()[0]);
    EXPECT_EQ(windows.Palette[255], SystemPalette()[19]);
}

// The diffusion as described, written plainly: a full error array per
// channel, the kernel mirrored on right-to-left rows.
std::vector<uint8_t> referenceDither(const Picture& picture, const TGIFPalette& palette,
                                     const std::vector<std::array<int, 3>>& kernel, int divisor) {
    const int w = picture.Width, h = picture.Height;
    std::vector<std::array<int64_t, 3>> error(size_t(w) * size_t(h), {0, 0, 0});
    std::vector<uint8_t> out(size_t(w) * size_t(h));
    TFastColorLookup lookup(palette);
    for (int y = 0; y < h; ++y) {
        const int direction = y % 2 == 0 ? 1 : -1;
        for (int i = 0; i < w; ++i) {
            const int x = direction > 0 ? i : w - 1 - i;
            const uint8_t* p = picture.Bits.data() + (size_t(y) * size_t(w) + size_t(x)) * 3;
            const int in[3] = {p[2], p[1], p[0]};
            int value[3];
            for (int c = 0; c < 3; ++c)
                value[c] = std::clamp(in[c] + int((error[size_t(y) * size_t(w) + size_t(x)][size_t(c)] + divisor / 2) / divisor), 0, 255);
            TGIFColor chosen;
            out[size_t(y) * size_t(w) + size_t(x)] = lookup.Lookup(uint8_t(value[0]), uint8_t(value[1]), uint8_t(value[2]), chosen);
            const int e[3] = {value[0] - chosen.Red, value[1] - chosen.Green, value[2] - chosen.Blue};
            for (const auto& [ahead, below, weight] : kernel) {
                const int tx = x + ahead * direction, ty = y + below;
                if (tx < 0 || tx >= w || ty >= h)
                    continue;
                for (int c = 0; c < 3; ++c)
                    error[size_t(ty) * size_t(w) + size_t(tx)][size_t(c)] += e[c] * weight;
            }
        }
    }
    return out;
}

TEST(GIFColorReduction, EveryKernelDiffusesAsDescribed) {
    struct Kernel {
        TGIFDitherMode Mode;
        int Divisor;
        std::vector<std::array<int, 3>> Weights; // ahead, below, weight
    };
    const Kernel kernels[] = {
        {gdmFloydSteinberg, 16, {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}},
        {gdmStucki, 42, {{1, 0, 8}, {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2},
                         {-2, 2, 1}, {-1, 2, 2}, {0, 2, 4}, {1, 2, 2}, {2, 2, 1}}},
        {gdmSierra, 32, {{1, 0, 5}, {2, 0, 3}, {-2, 1, 2}, {-1, 1, 4}, {0, 1, 5}, {1, 1, 4}, {2, 1, 2},
                         {-1, 2, 2}, {0, 2, 3}, {1, 2, 2}}},
        {gdmJaJuNi, 48, {{1, 0, 7}, {2, 0, 5}, {-2, 1, 3}, {-1, 1, 5}, {0, 1, 7}, {1, 1, 5}, {2, 1, 3},
                         {-2, 2, 1}, {-1, 2, 3}, {0, 2, 5}, {1, 2, 3}, {2, 2, 1}}},
        {gdmSteveArche, 200, {{2, 0, 32}, {-3, 1, 12}, {-1, 1, 26}, {1, 1, 30}, {3, 1, 16}, {-2, 2, 12},
                              {0, 2, 26}, {2, 2, 12}, {-3, 3, 5}, {-1, 3, 12}, {1, 3, 12}, {3, 3, 5}}},
        {gdmBurkes, 32, {{1, 0, 8}, {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2}}},
    };
    const TGIFPalette palette = Gray4Palette();
    for (const Kernel& kernel : kernels) {
        SCOPED_TRACE(int(kernel.Mode));
        for (auto [w, h] : {std::pair{33, 21}, std::pair{1, 40}, std::pair{40, 1}, std::pair{1, 1}, std::pair{2, 3}}) {
            const Picture picture = randomPicture(w, h, uint32_t(w * 100 + h));
            const TGIFReducedImage reduced = ReduceColors(picture.View(), gcrGray4, kernel.Mode, 8);
            ASSERT_EQ(reduced.Indices, referenceDither(picture, palette, kernel.Weights, kernel.Divisor))
                << w << " x " << h;
        }
    }
    // Diffusion keeps the mean: a flat mid grey dithered to black and white
    // comes out half white.
    Picture grey(64, 64);
    std::fill(grey.Bits.begin(), grey.Bits.end(), uint8_t(128));
    const TGIFReducedImage halftone = ReduceColors(grey.View(), gcrBlackWhite, gdmFloydSteinberg, 8);
    const auto whites = std::count(halftone.Indices.begin(), halftone.Indices.end(), 1);
    EXPECT_NEAR(double(whites) / double(halftone.Indices.size()), 128.0 / 255.0, 0.02);
}

// The octree as described, written plainly: nodes on the heap, a walk
// from the root for every pixel, the deepest reducible node merged
// whenever there are too many leaves.
TGIFPalette referenceQuantize(const Picture& picture, int maxColors) {
    struct Node {
        bool Leaf = false;
        int64_t Count = 0, Red = 0, Green = 0, Blue = 0;
        std::array<std::unique_ptr<Node>, 8> Children;
    };
    Node root;
    std::array<std::vector<Node*>, 8> reducible; // the front is the back of each vector
    reducible[0].push_back(&root);
    int leaves = 0;
    for (size_t i = 0; i < picture.Bits.size(); i += 3) {
        const int r = picture.Bits[i + 2], g = picture.Bits[i + 1], b = picture.Bits[i];
        Node* node = &root;
        for (int level = 0; !node->Leaf; ++level) {
            const int bit = 7 - level;
            const int child = ((r >> bit) & 1) * 4 + ((g >> bit) & 1) * 2 + ((b >> bit) & 1);
            if (!node->Children[size_t(child)]) {
                node->Children[size_t(child)] = std::make_unique<Node>();
                Node* made = node->Children[size_t(child)].get();
                if (level + 1 == 8) {
                    made->Leaf = true;
                    ++leaves;
                } else {
                    reducible[size_t(level + 1)].push_back(made);
                }
            }
            node = node->Children[size_t(child)].get();
        }
        ++node->Count, node->Red += r, node->Green += g, node->Blue += b;
        while (leaves > maxColors) {
            int level = 7;
            while (level > 0 && reducible[size_t(level)].empty())
                --level;
            Node* merged = reducible[size_t(level)].back();
            reducible[size_t(level)].pop_back();
            int children = 0;
            for (auto& child : merged->Children)
                if (child) {
                    merged->Count += child->Count, merged->Red += child->Red;
                    merged->Green += child->Green, merged->Blue += child->Blue;
                    child.reset();
                    ++children;
                }
            merged->Leaf = true;
            leaves += 1 - children;
        }
    }
    TGIFPalette colors;
    std::function<void(const Node&)> collect = [&](const Node& node) {
        if (node.Leaf) {
            colors.push_back(node.Count == 0 ? TGIFColor{}
                                             : TGIFColor{uint8_t(node.Red / node.Count), uint8_t(node.Green / node.Count),
                                                         uint8_t(node.Blue / node.Count)});
            return;
        }
        for (const auto& child : node.Children)
            if (child)
                collect(*child);
    };
    collect(root);
    return colors;
}

TEST(GIFColorReduction, QuantizerBuildsTheOctreeAsDescribed) {
    std::mt19937 random(8);
    for (int round = 0; round < 40; ++round) {
        const int width = 1 + int(random() % 90), height = 1 + int(random() % 60);
        Picture picture = randomPicture(width, height, random(), round % 4 == 0 ? 1 + int(random() % 600) : 0);
        if (round % 5 == 4) {
            // A screenshot: runs of one colour, of a few hundred colours
            // close together (deep leaves), which come back after others
            // have changed the tree.
            const int base[3] = {int(random() % 192), int(random() % 192), int(random() % 192)};
            std::vector<std::array<uint8_t, 3>> colors(1 + random() % 400);
            for (auto& c : colors)
                c = {uint8_t(base[0] + int(random() % 64)), uint8_t(base[1] + int(random() % 64)),
                     uint8_t(base[2] + int(random() % 64))};
            for (size_t i = 0; i < picture.Bits.size(); i += 3) {
                const size_t run = std::min(picture.Bits.size() - i, size_t(3) * (1 + random() % 12));
                const auto& c = colors[random() % colors.size()];
                for (size_t j = 0; j < run; ++j)
                    picture.Bits[i + j] = c[j % 3];
                i += run - 3;
            }
        } else if (round % 4 == 1) {
            // Colours close together: leaves deep in the tree, where
            // colours that share their top bits part.
            const int base[3] = {int(random() % 224), int(random() % 224), int(random() % 224)};
            for (size_t i = 0; i < picture.Bits.size(); ++i)
                picture.Bits[i] = uint8_t(base[i % 3] + int(random() % 32));
        } else if (round % 4 == 2)
            // Smooth ramps with grain: long runs through the same leaves.
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    uint8_t* p = picture.At(x, y);
                    const int grain = int(random() % 7) - 3;
                    p[0] = uint8_t(std::clamp(x * 255 / width + grain, 0, 255));
                    p[1] = uint8_t(std::clamp(y * 255 / height - grain, 0, 255));
                    p[2] = uint8_t(std::clamp(128 + grain * 5, 0, 255));
                }
        for (int maxColors : {1, 2, 7, 64, 236, 256}) {
            SCOPED_TRACE(testing::Message() << "round " << round << " max " << maxColors);
            ASSERT_EQ(QuantizePalette(picture.View(), maxColors), referenceQuantize(picture, maxColors));
        }
    }
}

// The picture as the engine interface walks it, one virtual call per
// pixel: what the reduction's own row loops must give exactly.
std::vector<uint8_t> perPixelReduction(const Picture& picture, TColorLookup& lookup, TGIFDitherMode mode) {
    std::vector<uint8_t> out(size_t(picture.Width) * size_t(picture.Height));
    const std::unique_ptr<TDitherEngine> engine = TDitherEngine::Create(mode, picture.Width, lookup);
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = engine->Column(); x >= 0 && x < picture.Width; x = engine->Column()) {
            const uint8_t* p = picture.Bits.data() + (size_t(y) * size_t(picture.Width) + size_t(x)) * 3;
            out[size_t(y) * size_t(picture.Width) + size_t(x)] = engine->Dither(p[2], p[1], p[0]);
        }
        engine->NextLine();
    }
    return out;
}

TEST(GIFColorReduction, RowLoopsGiveWhatTheEngineGivesPixelByPixel) {
    std::mt19937 random(21);
    for (int round = 0; round < 60; ++round) {
        const int width = round % 7 == 0 ? 1 : 1 + int(random() % 70);
        const int height = round % 11 == 0 ? 1 : 1 + int(random() % 40);
        // Photographs, few-colour pictures and smooth ramps (whose errors
        // pile up against the clamps).
        Picture picture = randomPicture(width, height, random(), round % 3 == 1 ? 1 + int(random() % 300) : 0);
        if (round % 3 == 2)
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    uint8_t* p = picture.At(x, y);
                    p[0] = uint8_t(x * 255 / width), p[1] = uint8_t(y * 255 / height), p[2] = uint8_t(p[2] / 8 + 120);
                }
        const auto mode = TGIFDitherMode(random() % 7);
        TGIFPalette custom(1 + random() % 256);
        for (TGIFColor& c : custom)
            c = {uint8_t(random()), uint8_t(random()), uint8_t(random())};
        const TGIFColorReduction methods[] = {gcrBlackWhite, gcrGray256, gcrWebPalette, gcrGray4,
                                              gcrCustomPalette, gcrQuantize, gcrQuantizeWindows};
        for (TGIFColorReduction method : methods) {
            SCOPED_TRACE(testing::Message() << "method " << int(method) << " mode " << int(mode) << " " << width
                                            << " x " << height);
            const TGIFReducedImage reduced = ReduceColors(picture.View(), method, mode, 5, &custom);
            std::unique_ptr<TColorLookup> lookup;
            if (method == gcrBlackWhite)
                lookup = std::make_unique<TMonochromeLookup>();
            else if (method == gcrGray256)
                lookup = std::make_unique<TGrayScaleLookup>();
            else if (method == gcrWebPalette)
                lookup = std::make_unique<TNetscapeColorLookup>();
            else if (method == gcrQuantize)
                lookup = std::make_unique<TFastColorLookup>(QuantizePalette(picture.View(), 32));
            else
                lookup = std::make_unique<TFastColorLookup>(reduced.Palette);
            ASSERT_EQ(reduced.Indices, perPixelReduction(picture, *lookup, mode));
        }
    }
}

// Floyd-Steinberg to black and white written plainly: each channel's
// error in a full array, the pixel white when its luminance
// 77 R + 150 G + 29 B (of the colour with its error) is above 32512.
std::vector<uint8_t> referenceBlackWhite(const TGIFTrueColorImage& picture) {
    const int w = picture.Width, h = picture.Height;
    std::vector<std::array<int, 3>> error(size_t(w) * size_t(h), {0, 0, 0});
    std::vector<uint8_t> out(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const int direction = y % 2 == 0 ? 1 : -1;
        for (int i = 0; i < w; ++i) {
            const int x = direction > 0 ? i : w - 1 - i;
            const uint8_t* p = picture.Row(y) + int64_t(x) * picture.PixelStride;
            const int in[3] = {p[2], p[1], p[0]};
            const std::array<int, 3>& carried = error[size_t(y) * size_t(w) + size_t(x)];
            int value[3];
            for (int c = 0; c < 3; ++c)
                value[c] = std::clamp(in[c] + (carried[size_t(c)] + 8) / 16, 0, 255);
            const bool white = 77 * value[0] + 150 * value[1] + 29 * value[2] > 32512;
            out[size_t(y) * size_t(w) + size_t(x)] = white ? 1 : 0;
            for (const auto& [ahead, below, weight] : {std::array{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}) {
                const int tx = x + ahead * direction, ty = y + below;
                if (tx < 0 || tx >= w || ty >= h)
                    continue;
                for (int c = 0; c < 3; ++c)
                    error[size_t(ty) * size_t(w) + size_t(tx)][size_t(c)] += (value[c] - (white ? 255 : 0)) * weight;
            }
        }
    }
    return out;
}

TEST(GIFColorReduction, BlackAndWhiteDiffusionIsThePlainOne) {
    std::mt19937 random(1612);
    for (int round = 0; round < 120; ++round) {
        const int width = round == 0 ? 1030 : round % 9 == 0 ? 1 : 1 + int(random() % 90);
        const int height = round % 13 == 0 ? 1 : 1 + int(random() % 30);
        // Pixels of three, four or five bytes, rows with and without room
        // after them; the buffer ends where the last pixel does.
        const int pixelStride = 3 + int(random() % 3);
        const int64_t rowStride = int64_t(width) * pixelStride + (round % 2 == 0 ? 0 : int64_t(random() % 7));
        std::vector<uint8_t> bits(size_t(rowStride * (height - 1) + int64_t(width) * pixelStride));
        const int kind = round % 4;
        const uint8_t grey = uint8_t(random());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* p = bits.data() + y * rowStride + int64_t(x) * pixelStride;
                for (int c = 0; c < pixelStride; ++c) {
                    const auto noise = uint8_t(random());
                    // Photographs; the darkest and brightest channels only
                    // (errors against both clamps); smooth ramps; flat grey
                    // with the least grain (long runs near the threshold).
                    p[c] = kind == 0   ? noise
                           : kind == 1 ? uint8_t(noise & 1 ? 255 : 0)
                           : kind == 2 ? uint8_t((x * 255 / width + y * 7 + c * 40) & 255)
                                       : uint8_t(std::clamp(grey + int(noise % 3) - 1, 0, 255));
                }
            }
        const TGIFTrueColorImage picture{width, height, bits.data(), rowStride, pixelStride};
        SCOPED_TRACE(testing::Message() << "round " << round << ": " << width << " x " << height << ", "
                                        << pixelStride << " bytes a pixel");
        const TGIFReducedImage reduced = ReduceColors(picture, gcrBlackWhite, gdmFloydSteinberg, 8);
        ASSERT_EQ(reduced.Palette, BlackWhitePalette());
        const std::vector<uint8_t> expected = referenceBlackWhite(picture);
        ASSERT_EQ(reduced.Indices, expected);
        // Every variant the processor runs, not only the one chosen.
        const std::vector<TBlackWhiteDiffusion> variants = BlackWhiteDiffusions();
        for (size_t variant = 0; variant < variants.size(); ++variant) {
            std::vector<uint8_t> indices(expected.size(), 2);
            variants[variant](picture, indices.data());
            ASSERT_EQ(indices, expected) << "variant " << variant << " of " << variants.size();
        }
    }
}

TEST(GIFColorReduction, RefusesWhatItCannotDo) {
    const Picture picture = randomPicture(4, 4, 1);
    EXPECT_EQ(GIFErrorOf([&] { ReduceColors(picture.View(), TGIFColorReduction(10), gdmNearest, 8); }),
              "Invalid reduction method");
    EXPECT_EQ(GIFErrorOf([&] { ReduceColors(picture.View(), gcrNone, gdmNearest, 8); }), "Invalid reduction method");
    EXPECT_EQ(GIFErrorOf([&] { ReduceColors(picture.View(), gcrWebPalette, TGIFDitherMode(7), 8); }),
              "Invalid dither mode");
    const TGIFPalette empty;
    EXPECT_EQ(GIFErrorOf([&] { ReduceColors(picture.View(), gcrCustomPalette, gdmNearest, 8, &empty); }),
              "Palette is empty");
    EXPECT_EQ(GIFErrorOf([&] { ReduceColors(picture.View(), gcrQuantize, gdmNearest, 9); }),
              "Invalid number of reduction bits");
    Picture before = picture;
    ReduceColors(picture.View(), gcrGray256, gdmStucki, 8);
    EXPECT_EQ(before.Bits, picture.Bits) << "the source is only read";
}

} // namespace
