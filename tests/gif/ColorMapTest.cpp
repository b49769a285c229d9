// Colour tables: adding, searching, deleting, writing padded, reading back,
// and the use counts and index mapping over the frames that draw with them.

#include "GIFTestSupport.h"

#include "gif/GIFException.h"
#include "gif/GIFRender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

uint32_t rgb(int r, int g, int b) { return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16); }

TEST(GIFColorMap, AddUpTo256ThenOverflow) {
    TGIFImage image;
    TGIFColorMap& table = image.GlobalColorMap();
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(table.Add(rgb(i, 0, 0)), i);
    EXPECT_EQ(table.Capacity(), 256);
    EXPECT_EQ(GIFErrorOf([&] { table.Add(rgb(1, 2, 3)); }), "Color table overflow");
    EXPECT_EQ(table.Count(), 256);
}

TEST(GIFColorMap, SearchOrderDependsOnOptimized) {
    TGIFImage image;
    TGIFColorMap& table = image.GlobalColorMap();
    table.Add(rgb(1, 1, 1));
    table.Add(rgb(9, 9, 9));
    table.Add(rgb(1, 1, 1));
    EXPECT_EQ(table.IndexOfColor(rgb(1, 1, 1)), 2);
    EXPECT_EQ(table.IndexOfColor(rgb(2, 2, 2)), -1);
    EXPECT_EQ(table.AddUnique(rgb(9, 9, 9)), 1);
    table.SetOptimized(true);
    EXPECT_EQ(table.IndexOfColor(rgb(1, 1, 1)), 0);
    table.Add(rgb(3, 3, 3)); // any change drops the sort flag
    EXPECT_FALSE(table.Optimized());
}

TEST(GIFColorMap, DeleteAndOutOfRangeColors) {
    TGIFImage image;
    WarningLog warnings(image);
    TGIFColorMap& table = image.GlobalColorMap();
    EXPECT_THROW(table.Colors(0), GIFException); // empty
    warnings.Messages.clear();
    table.Add(rgb(10, 20, 30));
    table.Add(rgb(40, 50, 60));
    EXPECT_EQ(table.Colors(1), rgb(40, 50, 60));
    EXPECT_EQ(table.Colors(7), rgb(10, 20, 30));
    EXPECT_EQ(table.Colors(-1), rgb(10, 20, 30));
    ASSERT_EQ(warnings.Messages.size(), 2u);
    EXPECT_EQ(warnings.Messages[0], "Invalid color index");
    EXPECT_EQ(GIFErrorOf([&] { table.Delete(2); }), "Invalid color index");
    table.Delete(0);
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(table.Colors(0), rgb(40, 50, 60));
}

TEST(GIFColorMap, WrittenPaddedToAPowerOfTwo) {
    struct Case {
        int count;
        int written;
    } cases[] = {{0, 0}, {1, 2}, {2, 2}, {3, 4}, {4, 4}, {5, 8}, {129, 256}, {256, 256}};
    for (const Case& c : cases) {
        TGIFImage image;
        TGIFColorMap& table = image.GlobalColorMap();
        for (int i = 0; i < c.count; ++i)
            table.Add(rgb(i, 255 - i, i / 2 + 1));
        TMemoryStream stream;
        table.SaveToStream(stream);
        ASSERT_EQ(stream.Size(), 3 * c.written) << c.count;
        for (int i = c.count; i < c.written; ++i)
            EXPECT_EQ(stream.Memory()[3 * i] | stream.Memory()[3 * i + 1] | stream.Memory()[3 * i + 2], 0);
        stream.SetPosition(0);
        TGIFImage other;
        other.GlobalColorMap().LoadFromStream(stream, c.written);
        for (int i = 0; i < c.count; ++i)
            EXPECT_EQ(other.GlobalColorMap().Colors(i), table.Colors(i));
    }
}

TEST(GIFColorMap, AssignAndImportRGB) {
    TGIFImage image;
    const uint8_t quads[] = {1, 2, 3, 0, 4, 5, 6, 0};
    image.GlobalColorMap().ImportRGB(quads, 2);
    EXPECT_EQ(image.GlobalColorMap().Colors(0), rgb(3, 2, 1));
    EXPECT_EQ(image.GlobalColorMap().Colors(1), rgb(6, 5, 4));
    TGIFImage other;
    other.GlobalColorMap().Assign(&image.GlobalColorMap());
    EXPECT_EQ(other.GlobalColorMap().Count(), 2);
    EXPECT_EQ(other.GlobalColorMap().Colors(1), rgb(6, 5, 4));
    TStringList notATable;
    EXPECT_THROW(other.GlobalColorMap().Assign(&notATable), EConvertError);
}

// The use counts see exactly the frames drawing with the table, and a
// mapping rewrites their pixels and transparent index, leaving pixel values
// beyond the table alone.  Checked against counting by hand over random
// frames.
TEST(GIFColorMap, HistogramAndMappingModel) {
    std::mt19937 random(3);
    for (int round = 0; round < 50; ++round) {
        TGIFImage image;
        const int globalCount = 2 + int(random() % 20);
        for (int i = 0; i < globalCount; ++i)
            image.GlobalColorMap().Add(rgb(i, i, i));
        std::vector<int64_t> expected(size_t(globalCount), 0);
        std::vector<Bytes> before;
        std::vector<bool> usesGlobal;
        for (int f = 0; f < 3; ++f) {
            TGIFSubImage* frame = AddFrame(image);
            frame->SetBounds(0, 0, 1 + int(random() % 9), 1 + int(random() % 9));
            const bool local = random() % 3 == 0;
            if (local)
                for (int i = 0; i < 4; ++i)
                    frame->ColorMap().Add(rgb(0, i, 0));
            for (int64_t p = 0; p < frame->DataSize(); ++p) {
                frame->Data()[p] = uint8_t(random() % (globalCount + 3));
                if (!local && frame->Data()[p] < globalCount)
                    ++expected[frame->Data()[p]];
            }
            auto* control = new TGIFGraphicControlExtension(frame);
            frame->Extensions().Add(control);
            control->SetTransparent(true);
            control->SetTransparentColorIndex(1);
            before.emplace_back(frame->Data(), frame->Data() + frame->DataSize());
            usesGlobal.push_back(!local);
        }
        EXPECT_EQ(image.GlobalColorMap().BuildHistogram(), expected);
        std::vector<uint8_t> map(static_cast<size_t>(globalCount));
        for (int i = 0; i < globalCount; ++i)
            map[size_t(i)] = uint8_t(globalCount - 1 - i);
        image.GlobalColorMap().MapImages(map);
        for (int f = 0; f < 3; ++f) {
            TGIFSubImage* frame = image.Images().Frames(f);
            for (int64_t p = 0; p < frame->DataSize(); ++p) {
                const uint8_t old = before[size_t(f)][size_t(p)];
                const uint8_t want = (usesGlobal[size_t(f)] && old < globalCount) ? map[old] : old;
                ASSERT_EQ(frame->Data()[p], want);
            }
            EXPECT_EQ(frame->GraphicControlExtension()->TransparentColorIndex(),
                      usesGlobal[size_t(f)] ? map[1] : 1);
        }
    }
}

// Sorting a table by use: the entries come most used first, those nobody
// uses (the logical screen's background colour counts as a use) go from
// the end, and every frame, the background colour and each transparent
// pixel look as they did.  Random images, global and local tables.
TEST(GIFColorMap, OptimizeSortsByUseAndKeepsEveryColourShown) {
    std::mt19937 random(8);
    int dropped = 0, backgroundOnly = 0;
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        TGIFImage image;
        const int globalCount = 2 + int(random() % 40);
        for (int i = 0; i < globalCount; ++i)
            image.GlobalColorMap().Add(rgb(int(random() % 4) * 60, i, int(random() % 256)));
        const int background = int(random() % uint32_t(globalCount + 2));
        image.Header().SetBackgroundColorIndex(uint8_t(background));
        std::vector<bool> used(size_t(globalCount), false);
        for (int f = 0, frames = 1 + int(random() % 3); f < frames; ++f) {
            TGIFSubImage* frame = AddFrame(image);
            frame->SetBounds(0, 0, 1 + int(random() % 9), 1 + int(random() % 9));
            const int local = random() % 3 == 0 ? 2 + int(random() % 20) : 0;
            for (int i = 0; i < local; ++i)
                frame->ColorMap().Add(rgb(0, i, int(random() % 256)));
            const int range = (local ? local : globalCount) / 2 + 1; // leaves entries unused
            for (int64_t p = 0; p < frame->DataSize(); ++p) {
                frame->Data()[p] = uint8_t(random() % 16 == 0 ? random() % 256 : random() % uint32_t(range));
                if (!local && frame->Data()[p] < globalCount)
                    used[frame->Data()[p]] = true;
            }
            if (random() % 2 == 0) {
                auto* control = new TGIFGraphicControlExtension(frame);
                frame->Extensions().Add(control);
                control->SetTransparent(true);
                control->SetTransparentColorIndex(frame->Data()[0]);
            }
        }
        backgroundOnly += background < globalCount && !used[size_t(background)];
        std::vector<std::vector<uint32_t>> before;
        for (int f = 0; f < image.Images().Count(); ++f)
            before.push_back(RenderGIFFrame(*image.Images().Frames(f), true));
        const bool backgroundInTable = background < globalCount;
        const uint32_t backgroundColor = backgroundInTable ? image.Header().BackgroundColor() : 0;
        const int countBefore = image.GlobalColorMap().Count();

        image.Optimize(ooColorMap);
        TGIFGlobalColorMap& global = image.GlobalColorMap();
        EXPECT_TRUE(global.Optimized());
        dropped += global.Count() < countBefore;
        for (int f = 0; f < image.Images().Count(); ++f)
            ASSERT_EQ(RenderGIFFrame(*image.Images().Frames(f), true), before[size_t(f)]) << "frame " << f;
        if (backgroundInTable) {
            ASSERT_LT(image.Header().BackgroundColorIndex(), global.Count());
            EXPECT_EQ(image.Header().BackgroundColor(), backgroundColor);
        } else {
            EXPECT_EQ(image.Header().BackgroundColorIndex(), background);
        }
        // Most used first.
        std::vector<int64_t> counts = global.BuildHistogram();
        if (image.Header().BackgroundColorIndex() < counts.size())
            ++counts[image.Header().BackgroundColorIndex()];
        EXPECT_TRUE(std::is_sorted(counts.rbegin(), counts.rend())) << "use counts in falling order";
        if (counts.front() > 0) {
            EXPECT_GT(counts.back(), 0) << "an entry nobody uses is left at the end";
        }
    }
    EXPECT_GT(dropped, 100);
    EXPECT_GT(backgroundOnly, 20) << "too few backgrounds only the screen uses to test anything";
}

} // namespace
