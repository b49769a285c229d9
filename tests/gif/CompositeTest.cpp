// What an animation shows after each frame (the composites), checked
// against Qt's own GIF reader on outside files and on files made with
// giflib; and optimisation, which must leave every composite, every delay
// and the loop count as they were while the file gets no larger.

#include "GIFFrames.h"
#include "GIFTestSupport.h"

#include "gif/GIFRender.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

namespace {

std::vector<QImage> qtFrames(const Bytes& bytes) {
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    std::vector<QImage> frames;
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read())
        frames.push_back(frame.convertToFormat(QImage::Format_ARGB32));
    return frames;
}

// The composite after each frame that holds pixels (frames of extensions
// only are never shown).
std::vector<std::vector<uint32_t>> composites(const TGIFImage& image) {
    TGIFCompositor compositor(image);
    std::vector<std::vector<uint32_t>> shown;
    for (int i = 0; i < image.Images().Count(); ++i) {
        if (image.Images().Frames(i)->Empty())
            continue;
        compositor.Show(i);
        shown.push_back(compositor.Pixels());
    }
    return shown;
}

class Animations : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QImageReader::supportedImageFormats().contains("gif"))
            GTEST_SKIP() << "Qt has no GIF reader here (qt6-base's imageformats plugin)";
        samples_ = AnimatedSamples();
    }
    std::vector<std::pair<std::string, Bytes>> samples_;
};

TEST_F(Animations, CompositesEqualQtsFramesOnOpaquePixels) {
    int outside = 0;
    int64_t compared = 0;
    for (const auto& [name, bytes] : samples_) {
        SCOPED_TRACE(name);
        outside += name.front() == '/';
        TGIFImage image;
        LoadImage(image, bytes);
        const auto ours = composites(image);
        const auto qt = qtFrames(bytes);
        ASSERT_EQ(ours.size(), qt.size());
        for (size_t k = 0; k < ours.size(); ++k) {
            const int width = std::min(image.Width(), int(qt[k].width()));
            const int height = std::min(image.Height(), int(qt[k].height()));
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const uint32_t mine = ours[k][size_t(y) * size_t(image.Width()) + size_t(x)];
                    const QRgb theirs = qt[k].pixel(x, y);
                    if ((mine >> 24) == 0 || qAlpha(theirs) != 255)
                        continue;
                    ++compared;
                    ASSERT_EQ(mine & 0xFFFFFF, theirs & 0xFFFFFF) << "frame " << k << " at " << x << "," << y;
                }
        }
    }
    EXPECT_GT(outside, 2) << "the outside animations (Qt's spinner, the jstree throbbers) are missing";
    EXPECT_GT(compared, 10000);
}

// The delay each shown frame is on screen for, and the loop count, as a
// viewer follows them.
struct Timing {
    std::vector<int> Delays;
    int Loops = -1;
    bool operator==(const Timing&) const = default;
};

Timing timingOf(const TGIFImage& image) {
    Timing timing;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& frame = *image.Images().Frames(i);
        for (int k = 0; k < frame.Extensions().Count(); ++k)
            if (auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(frame.Extensions().Extensions(k)))
                if (timing.Loops < 0 && loop->HasLoopCount)
                    timing.Loops = loop->Loops;
        if (frame.Empty())
            continue;
        const int delay = frame.GraphicControlExtension() ? frame.GraphicControlExtension()->Delay() : 0;
        timing.Delays.push_back(delay == 0 ? GIFFallbackDelay : std::max(delay, GIFDelayFloor));
    }
    return timing;
}

// Shown frames that optimisation folded into the one before add their
// time to it: compare the time each distinct picture stays on screen.
std::vector<std::pair<std::vector<uint32_t>, int>> screenTimes(const TGIFImage& image) {
    const auto shown = composites(image);
    const Timing timing = timingOf(image);
    std::vector<std::pair<std::vector<uint32_t>, int>> times;
    for (size_t k = 0; k < shown.size(); ++k) {
        if (!times.empty() && times.back().first == shown[k])
            times.back().second += timing.Delays[k];
        else
            times.emplace_back(shown[k], timing.Delays[k]);
    }
    return times;
}

TEST_F(Animations, OptimisingKeepsWhatIsShownAndShrinks) {
    int64_t before = 0, after = 0;
    for (const auto& [name, bytes] : samples_) {
        SCOPED_TRACE(name);
        TGIFImage image;
        LoadImage(image, bytes);
        const Bytes original = SaveImage(image);
        const auto times = screenTimes(image);
        const int loops = timingOf(image).Loops;
        image.Optimize(ooCrop | ooMerge | ooCleanup | ooColorMap);
        const Bytes optimised = SaveImage(image);
        TGIFImage again;
        LoadImage(again, optimised);
        EXPECT_TRUE(screenTimes(again) == times);
        EXPECT_EQ(timingOf(again).Loops, loops);
        EXPECT_LE(optimised.size(), original.size());
        before += int64_t(original.size());
        after += int64_t(optimised.size());
    }
    EXPECT_LT(after, before * 95 / 100) << "optimisation saved less than 5 %";
}

} // namespace
