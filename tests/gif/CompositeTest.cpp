// What an animation shows after each frame (the composites), checked
// against Qt's own GIF reader on outside files and on files made with
// giflib; and optimisation, which must leave every composite, every delay
// and the loop count as they were while the file gets no larger.

#include "GIFComposites.h"
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
        const auto ours = Composites(image);
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

TEST_F(Animations, OptimisingKeepsWhatIsShownAndShrinks) {
    int64_t before = 0, after = 0;
    for (const auto& [name, bytes] : samples_) {
        SCOPED_TRACE(name);
        TGIFImage image;
        LoadImage(image, bytes);
        const Bytes original = SaveImage(image);
        const auto times = ScreenTimes(image);
        const int loops = ShownTiming(image).Loops;
        image.Optimize(ooCrop | ooMerge | ooCleanup | ooColorMap);
        const Bytes optimised = SaveImage(image);
        TGIFImage again;
        LoadImage(again, optimised);
        EXPECT_TRUE(ScreenTimes(again) == times);
        EXPECT_EQ(ShownTiming(again).Loops, loops);
        EXPECT_LE(optimised.size(), original.size());
        before += int64_t(original.size());
        after += int64_t(optimised.size());
    }
    EXPECT_LT(after, before * 95 / 100) << "optimisation saved less than 5 %";
}

} // namespace
