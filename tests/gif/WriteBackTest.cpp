// Files other programs read without complaint must load, draw and be
// written back here too.  Two kinds of such files are made at random:
// frames whose pixels (and transparent index) lie beyond their colour
// table, which must be written back and show the same, and logical screens
// of no width or no height, which must show what Qt's own GIF reader (the
// oracle) shows.

#include "GIFComposites.h"
#include "GIFTestSupport.h"

#include "gif/GIFRender.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <random>

namespace {

// A graphic control extension: disposal, transparency and its index, and
// the delay in hundredths.
Bytes GraphicControl(int disposal, int transparentIndex, int delay = 10) {
    const uint8_t flags = uint8_t((disposal & 7) << 2 | (transparentIndex >= 0 ? 1 : 0));
    return {'!', 0xF9, 4, flags, uint8_t(delay & 0xFF), uint8_t(delay >> 8),
            uint8_t(transparentIndex >= 0 ? transparentIndex : 0), 0};
}

// A frame's pixels through its LZW stream of the given code size.
Bytes FrameData(const Bytes& pixels, int codeSize) { return Subblocks(Pack(ReferenceLZW(pixels, codeSize))); }

// Random frames whose pixel values and transparent index often lie beyond
// the colour table that draws them (or with no table at all).
Bytes RandomFileBeyondItsTables(std::mt19937& random) {
    static const int tableSizes[] = {0, 2, 4, 16};
    const int width = 1 + int(random() % 12), height = 1 + int(random() % 9);
    const int global = tableSizes[random() % 4];
    Bytes blocks;
    const int frames = 1 + int(random() % 3);
    for (int f = 0; f < frames; ++f) {
        const int local = random() % 3 == 0 ? tableSizes[1 + random() % 3] : 0;
        const int codeSize = 2 + int(random() % 7);
        const int highest = (1 << codeSize) - 1;
        const int fw = 1 + int(random() % width), fh = 1 + int(random() % height);
        const int left = int(random() % (width - fw + 1)), top = int(random() % (height - fh + 1));
        Bytes pixels(size_t(fw * fh));
        const int table = local > 0 ? local : global;
        for (uint8_t& pixel : pixels)
            pixel = uint8_t(random() % 2 == 0 && table > 0 ? random() % table : random() % (highest + 1));
        const int transparent = random() % 2 == 0 ? int(random() % (highest + 1)) : -1;
        Append(blocks, GraphicControl(int(random() % 4), transparent));
        Append(blocks, ImageBlock(left, top, fw, fh, random() % 4 == 0, local, codeSize, FrameData(pixels, codeSize)));
    }
    return GifWithBlocks(width, height, global, blocks);
}

// Every frame's own picture, transparency kept.
std::vector<std::vector<uint32_t>> FramePictures(TGIFImage& image) {
    std::vector<std::vector<uint32_t>> pictures;
    for (TGIFSubImage* frame : FramesWithPixels(image))
        pictures.push_back(RenderGIFFrame(*frame, true));
    return pictures;
}

// The same pictures in turn, each as long as before (times matter only
// while there is something to animate).
void ExpectSameScreenTimes(const std::vector<std::pair<std::vector<uint32_t>, int>>& before,
                           const std::vector<std::pair<std::vector<uint32_t>, int>>& after) {
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].first, before[i].first) << "picture " << i;
        if (before.size() > 1) {
            EXPECT_EQ(after[i].second, before[i].second) << "time of picture " << i;
        }
    }
}

// The comments of all frames, in file order.
std::vector<std::string> Comments(TGIFImage& image) {
    std::vector<std::string> comments;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFExtensionList& extensions = image.Images().Frames(i)->Extensions();
        for (int k = 0; k < extensions.Count(); ++k)
            if (auto* comment = dynamic_cast<const TGIFCommentExtension*>(extensions.Extensions(k)))
                for (int line = 0; line < comment->Comment().Count(); ++line)
                    comments.push_back(comment->Comment().Strings(line));
    }
    return comments;
}

QImage QtFirstFrame(const Bytes& bytes) {
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(GIFWriteBack, PixelsBeyondTheirTableAreWrittenBackAndShowTheSame) {
    std::mt19937 random(4242);
    int beyond = 0;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        const Bytes file = RandomFileBeyondItsTables(random);
        TGIFImage image;
        ASSERT_NO_THROW(LoadImage(image, file));
        for (TGIFSubImage* frame : FramesWithPixels(image)) {
            const int table = frame->ActiveColorMap().Count();
            for (int64_t i = 0; i < frame->DataSize(); ++i)
                beyond += frame->Data()[i] >= table;
        }
        const auto composites = Composites(image);
        const auto pictures = FramePictures(image);
        for (TGIFCompression compression : {gcLZW, gcRLE}) {
            image.SetCompression(compression);
            Bytes written;
            ASSERT_NO_THROW(written = SaveImage(image)) << "a file that loads must be written back";
            // Another reader takes what we wrote.
            ASSERT_TRUE(GiflibRead(written).Ok);
            TGIFImage again;
            ASSERT_NO_THROW(LoadImage(again, written));
            EXPECT_EQ(Composites(again), composites);
            EXPECT_EQ(FramePictures(again), pictures);
        }
    }
    EXPECT_GT(beyond, 1000) << "too few pixels beyond their table to test anything";
}

TEST(GIFWriteBack, AScreenWithoutWidthOrHeightShowsWhatOtherReadersShow) {
    if (!QImageReader::supportedImageFormats().contains("gif"))
        GTEST_SKIP() << "Qt has no GIF reader here (qt6-base's imageformats plugin)";
    std::mt19937 random(99);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        const int width = round % 3 == 1 ? 4 + int(random() % 8) : 0;
        const int height = round % 3 == 2 ? 4 + int(random() % 8) : 0;
        Bytes blocks;
        for (int f = 0, frames = 1 + int(random() % 3); f < frames; ++f) {
            const int fw = 1 + int(random() % 6), fh = 1 + int(random() % 5);
            const int left = int(random() % 4), top = int(random() % 4);
            Bytes pixels(size_t(fw * fh));
            for (uint8_t& pixel : pixels)
                pixel = uint8_t(random() % 16);
            Append(blocks, ImageBlock(left, top, fw, fh, false, 0, 4, FrameData(pixels, 4)));
        }
        const Bytes file = GifWithBlocks(width, height, 16, blocks);
        TGIFImage image;
        ASSERT_NO_THROW(LoadImage(image, file));
        const QImage qt = QtFirstFrame(file);
        ASSERT_FALSE(qt.isNull());
        ASSERT_EQ(image.Width(), qt.width());
        ASSERT_EQ(image.Height(), qt.height());
        TGIFCompositor compositor(image);
        compositor.Show(0);
        int64_t drawn = 0;
        for (int y = 0; y < qt.height(); ++y)
            for (int x = 0; x < qt.width(); ++x) {
                const uint32_t mine = compositor.Pixels()[size_t(y) * size_t(image.Width()) + size_t(x)];
                if (mine >> 24 == 0)
                    continue;
                ++drawn;
                ASSERT_EQ(mine & 0xFFFFFF, qt.pixel(x, y) & 0xFFFFFF) << x << "," << y;
            }
        EXPECT_GT(drawn, 0);
        // Written back, the screen has the size it is shown at.
        TGIFImage again;
        LoadImage(again, SaveImage(image));
        EXPECT_EQ(again.Width(), image.Width());
        EXPECT_EQ(again.Height(), image.Height());
    }
}

// A load that stops with an error after its first frames keeps those
// frames; a screen of no width or height is fitted to them all the same,
// so the image left draws what its saved copy shows.
TEST(GIFWriteBack, AScreenWithoutWidthIsFittedWhenTheLoadStopsWithAnError) {
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const int width = round % 2 == 1 ? 4 + int(random() % 8) : 0;
        const int height = round % 2 == 0 ? 4 + int(random() % 8) : 0;
        Bytes blocks;
        for (int f = 0, frames = 1 + int(random() % 3); f < frames; ++f) {
            const int fw = 1 + int(random() % 6), fh = 1 + int(random() % 5);
            Bytes pixels(size_t(fw * fh));
            for (uint8_t& pixel : pixels)
                pixel = uint8_t(random() % 16);
            Append(blocks, ImageBlock(int(random() % 4), int(random() % 4), fw, fh, false, 0, 4, FrameData(pixels, 4)));
        }
        // What stops the load: an extension cut short, or a frame too large.
        if (random() % 2 == 0)
            Append(blocks, Bytes{'!'});
        else
            Append(blocks, ImageBlock(0, 0, 0xFFFF, 0xFFFF, false, 0, 4, FrameData({0}, 4)));
        TGIFImage image;
        EXPECT_THROW(LoadImage(image, GifWithBlocks(width, height, 16, blocks, false)), GIFException);
        ASSERT_GT(image.Images().Count(), 0);
        ASSERT_GT(image.Width(), 0);
        ASSERT_GT(image.Height(), 0);
        TGIFImage again;
        LoadImage(again, SaveImage(image));
        EXPECT_EQ(again.Width(), image.Width());
        EXPECT_EQ(again.Height(), image.Height());
        TGIFCompositor compositor(image);
        compositor.Show(0);
        TGIFCompositor saved(again);
        saved.Show(0);
        EXPECT_EQ(compositor.Pixels(), saved.Pixels());
    }
}

// A frame without pixels (a descriptor of no width or height read on a
// screen of none, or extensions alone) is never drawn; written back, its
// extensions come before the next frame's image, and its graphic control
// must not become that frame's own.  Random animations with such frames
// between their others show the same pictures for the same times once
// written and read again.
TEST(GIFWriteBack, FramesWithoutPixelsLendNothingToTheNext) {
    std::mt19937 random(1618);
    int lent = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        TGIFImage image;
        LoadImage(image, RandomAnimation(seed, {0, 1, 2, 3, 1}));
        for (int k = 0, empties = 1 + int(random() % 3); k < empties; ++k) {
            auto* empty = new TGIFSubImage(&image);
            image.Images().Insert(int(random() % uint32_t(image.Images().Count())), empty);
            auto* control = new TGIFGraphicControlExtension(empty);
            empty->Extensions().Add(control);
            control->SetDisposal(uint8_t(random() % 4));
            control->SetDelay(uint16_t(random() % 50));
            control->SetTransparent(random() % 2 == 0);
            control->SetTransparentColorIndex(int(random() % 2));
            if (random() % 2 == 0) {
                auto* comment = new TGIFCommentExtension(empty);
                empty->Extensions().Add(comment);
                comment->Comment().Add("between");
            }
        }
        for (int i = 0; i + 1 < image.Images().Count(); ++i)
            lent += image.Images().Frames(i)->Empty() && !image.Images().Frames(i + 1)->Empty();
        const auto composites = Composites(image);
        const TShownTiming timing = ShownTiming(image);
        TGIFImage again;
        LoadImage(again, SaveImage(image));
        EXPECT_EQ(Composites(again), composites);
        EXPECT_EQ(ShownTiming(again).Delays, timing.Delays);
        EXPECT_EQ(ShownTiming(again).Loops, timing.Loops);
    }
    EXPECT_GT(lent, 40);
}

// Optimising such files keeps every picture and how long it shows: a
// delta frame keeps its transparent index even where that lies beyond the
// table.
TEST(GIFWriteBack, OptimisingFilesBeyondTheirTablesKeepsWhatIsShown) {
    std::mt19937 random(5150);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        TGIFImage image;
        ASSERT_NO_THROW(LoadImage(image, RandomFileBeyondItsTables(random)));
        const auto before = ScreenTimes(image);
        image.Optimize(ooCrop | ooMerge | ooCleanup | ooColorMap);
        ExpectSameScreenTimes(before, ScreenTimes(image));
    }
}

// A frame that draws nothing folds into the one shown before it.  Frames
// may carry more than one graphic control (only the first counts), loop
// extensions and comments, may restore what they covered, and a frame
// without pixels may stand between; folding must leave every picture's
// time, every later frame's disposal and transparency as they were, the
// loop count, and the comments in order.
TEST(GIFWriteBack, FoldingFramesThatDrawNothingKeepsEveryTime) {
    std::mt19937 random(2718);
    const Bytes loop = {'!', 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
    int folded = 0;
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        const int width = 2 + int(random() % 6), height = 2 + int(random() % 6);
        Bytes blocks;
        const int frames = 2 + int(random() % 4);
        for (int f = 0; f < frames; ++f) {
            if (random() % 3 == 0)
                Append(blocks, loop);
            if (random() % 3 == 0)
                Append(blocks, {'!', 0xFE, 2, 'c', uint8_t('0' + f), 0});
            // The first control is the frame's own; the others are strays.
            const int transparent = random() % 4 == 0 ? -1 : int(random() % 4);
            const int controls = transparent >= 0 ? 1 + int(random() % 2) : int(random() % 3);
            for (int c = 0; c < controls; ++c)
                Append(blocks, GraphicControl(int(random() % 2),
                                              c == 0 ? transparent : random() % 3 == 0 ? -1 : int(random() % 4),
                                              int(random() % 40)));
            const int fw = 1 + int(random() % width), fh = 1 + int(random() % height);
            Bytes pixels(size_t(fw * fh));
            const bool blank = transparent >= 0 && random() % 2 == 0;
            for (uint8_t& pixel : pixels)
                pixel = uint8_t(blank ? transparent : int(random() % 4));
            Append(blocks, ImageBlock(int(random() % (width - fw + 1)), int(random() % (height - fh + 1)), fw, fh,
                                      false, 0, 2, FrameData(pixels, 2)));
        }
        TGIFImage image;
        ASSERT_NO_THROW(LoadImage(image, GifWithBlocks(width, height, 4, blocks)));
        // Frames a file may also hold: one without pixels (a descriptor of
        // no height on a screen of none), and frames that restore the
        // background or what was below them.
        if (random() % 3 == 0)
            image.Images().Insert(1 + int(random() % uint32_t(image.Images().Count() - 1)), new TGIFSubImage(&image));
        for (int i = 0; i < image.Images().Count(); ++i)
            if (TGIFGraphicControlExtension* control = image.Images().Frames(i)->GraphicControlExtension())
                if (random() % 4 == 0)
                    control->SetDisposal(uint8_t(dmBackground + random() % 2));
        const auto before = ScreenTimes(image);
        const int loops = ShownTiming(image).Loops;
        const std::vector<std::string> comments = Comments(image);
        const int count = image.Images().Count();
        image.Optimize(ooCrop);
        folded += image.Images().Count() < count;
        ExpectSameScreenTimes(before, ScreenTimes(image));
        EXPECT_EQ(ShownTiming(image).Loops, loops);
        EXPECT_EQ(Comments(image), comments) << "comments keep their order";
    }
    EXPECT_GT(folded, 40) << "too few frames folded to test anything";
}
