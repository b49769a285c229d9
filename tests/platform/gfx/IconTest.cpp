// Icons: random icons of every depth through our writer and back through our
// reader and through Qt's icon reader as a second opinion, real icons that
// Debian ships read as Qt reads them, damaged files, and the pixels an icon
// draws over a background.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/IconFile.h"
#include "platform/gfx/Picture.h"
#include "tests/platform/base/BaseTestSupport.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/support/OutsideData.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

TIconImage randomImage(std::mt19937& random, int bits, bool png) {
    TIconImage image;
    const bool large = png && random() % 3 == 0;
    image.Width = large ? 256 + int(random() % 50) : 1 + int(random() % 70);
    image.Height = large ? 256 : 1 + int(random() % 70);
    image.BitCount = png ? 32 : bits;
    image.Png = png;
    image.HasAlpha = png || bits == 32;
    std::vector<uint32_t> palette;
    for (int i = 0; bits <= 8 && i < (1 << bits); ++i)
        palette.push_back(uint32_t(random()) & 0xFFFFFF);
    for (int i = 0; i < image.Width * image.Height; ++i) {
        uint32_t rgb = uint32_t(random()) & 0xFFFFFF;
        if (bits <= 8)
            rgb = palette[random() % palette.size()];
        else if (bits == 16) // what five bits a colour widen to
            rgb = (rgb & 0xF8F8F8) | (rgb >> 5 & 0x070707);
        // The first pixel is seen, or the alpha channel would read as none.
        const uint32_t alpha =
            image.HasAlpha ? (i > 0 && random() % 4 == 0 ? 0 : 1 + uint32_t(random() % 255)) : 0xFF;
        image.Pixels.push_back(alpha << 24 | rgb);
        image.Mask.push_back(png ? alpha == 0 : random() % 4 == 0);
    }
    return image;
}

std::vector<TIconImage> randomIcon(std::mt19937& random) {
    std::vector<TIconImage> images(1 + random() % 4);
    for (TIconImage& image : images) {
        const int kind = int(random() % 7);
        image = randomImage(random, std::array{1, 4, 8, 16, 24, 32, 32}[kind], kind == 6);
    }
    return images;
}

void expectSameImages(const std::vector<TIconImage>& read, const std::vector<TIconImage>& written) {
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        EXPECT_EQ(read[i].Width, written[i].Width);
        EXPECT_EQ(read[i].Height, written[i].Height);
        EXPECT_EQ(read[i].BitCount, written[i].BitCount);
        EXPECT_EQ(read[i].Png, written[i].Png || written[i].Width > 256);
        EXPECT_EQ(read[i].HasAlpha, written[i].HasAlpha);
        EXPECT_EQ(read[i].Pixels, written[i].Pixels);
        EXPECT_EQ(read[i].Mask, written[i].Mask);
    }
}

// Qt's icon reader on the same bytes: every image, the pixels it shows
// where the mask leaves the colour, nothing where the mask is set.  Qt
// reads no 16-bit image and ignores the mask of a 24-bit one, which is
// why our own reader is used; those parts it can not judge.
void expectQtReadsTheSame(const std::string& bytes, const std::vector<TIconImage>& images) {
    QByteArray data = QByteArray::fromStdString(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    ASSERT_EQ(reader.imageCount(), int(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        const TIconImage& ours = images[i];
        SCOPED_TRACE("image " + std::to_string(i) + ", " + std::to_string(ours.BitCount) + " bits" +
                     (ours.Png ? ", PNG" : ""));
        if (ours.BitCount == 16)
            continue;
        ASSERT_TRUE(reader.jumpToImage(int(i)));
        // Compared premultiplied: Qt's reader keeps an alpha image so.
        const QImage qt = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(qt.width(), ours.Width);
        ASSERT_EQ(qt.height(), ours.Height);
        for (int y = 0; y < ours.Height; ++y)
            for (int x = 0; x < ours.Width; ++x) {
                const size_t at = size_t(y) * ours.Width + x;
                const QRgb seen = qt.pixel(x, y);
                if (ours.HasAlpha) {
                    ASSERT_EQ(seen, qPremultiply(ours.Pixels[at])) << x << "," << y;
                } else if (!ours.Mask[at]) {
                    ASSERT_EQ(seen, ours.Pixels[at] | 0xFF000000u) << x << "," << y;
                } else if (ours.BitCount <= 8) {
                    ASSERT_EQ(qAlpha(seen), 0) << x << "," << y;
                }
            }
    }
}

std::vector<std::string> outsideIcons() {
    std::vector<std::string> files;
    std::error_code error;
    const std::string folder = OutsideDataPath("/usr/share/nsis/Contrib/Graphics/Icons");
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().extension() == ".ico")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(IconFile, RandomIconsComeBackFromOurReaderAndReadTheSameInQts) {
    std::mt19937 random(2024);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::vector<TIconImage> images = randomIcon(random);
        const std::string bytes = WriteIconFile(images);
        expectSameImages(ReadIconFile(bytes), images);
        expectQtReadsTheSame(bytes, images);
    }
    // A palette image with more colours than its depth holds takes more bits.
    TIconImage many = randomImage(random, 24, false);
    many.BitCount = 4;
    EXPECT_GT(ReadIconFile(WriteIconFile({many}))[0].BitCount, 4);
    EXPECT_EQ(ReadIconFile(WriteIconFile({many}))[0].Pixels, many.Pixels);
}

TEST(IconFile, RealIconsReadAsQtReadsThemAndWriteBackTheSame) {
    const std::vector<std::string> files = outsideIcons();
    if (files.empty())
        GTEST_SKIP() << "no outside icons (nsis-common; see scripts/fetch-outside-data)";
    int images = 0, depths = 0;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const std::string bytes = fileBytes(file);
        const std::vector<TIconImage> read = ReadIconFile(bytes);
        expectQtReadsTheSame(bytes, read);
        expectSameImages(ReadIconFile(WriteIconFile(read)), read);
        images += int(read.size());
        for (const TIconImage& image : read)
            depths |= image.Png ? 1 << 6 : 1 << (image.BitCount / 8);
    }
    EXPECT_GT(images, 100);
    EXPECT_EQ(depths, 1 << 0 | 1 << 1 | 1 << 4 | 1 << 6) << "4, 8 and 32 bits, and PNG images";

    // Through the picture holder: the largest image, the most colours.
    TPicture picture;
    picture.LoadFromFile(OutsideDataPath("/usr/share/nsis/Contrib/Graphics/Icons/modern-install-full.ico"));
    auto* icon = dynamic_cast<TIcon*>(picture.Graphic());
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(picture.Width(), 48);
    EXPECT_EQ(icon->Images()[size_t(icon->ShownIndex())].BitCount, 32);
    EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { icon->SetWidth(16); }), "Cannot change the size of an icon");
}

TEST(IconFile, DamagedFilesAreRefusedOrReadWithinTheirBytes) {
    std::mt19937 random(77);
    const std::string bytes = WriteIconFile(randomIcon(random));
    for (size_t length = 0; length < bytes.size(); length += 1 + length / 40) {
        try {
            ReadIconFile(bytes.substr(0, length));
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "Icon image is not valid");
        }
    }
    for (int round = 0; round < 300; ++round) {
        std::string damaged = bytes;
        for (int i = 0; i < 1 + int(random() % 4); ++i)
            damaged[random() % std::min<size_t>(damaged.size(), 120)] = char(random());
        try {
            for (const TIconImage& image : ReadIconFile(damaged))
                ASSERT_EQ(image.Pixels.size(), size_t(image.Width) * image.Height);
        } catch (const EInvalidGraphic&) {
        }
    }
    EXPECT_EQ(MessageOf<EInvalidGraphic>([] { ReadIconFile("GIF89a"); }), "Icon image is not valid");
}

// Drawn over a background: the colour where the mask is clear, the
// background where it is set under black, the background inverted where it
// is set under another colour; an alpha image blends.
TEST(Icon, DrawsItsMaskOverTheBackground) {
    std::mt19937 random(9);
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TIconImage image = randomImage(random, round % 2 ? 8 : 24, false);
        for (size_t i = 0; i < image.Pixels.size(); i += 3)
            if (image.Mask[i])
                image.Pixels[i] = 0xFF000000u; // a plain hole, beside the inverting pixels
        TIcon icon;
        icon.SetImages({image});
        TBitmap bitmap;
        bitmap.SetPixelFormat(pf32bit);
        bitmap.SetSize(image.Width, image.Height);
        const uint32_t background = uint32_t(random()) & 0xFFFFFF;
        for (int y = 0; y < image.Height; ++y)
            std::fill_n(reinterpret_cast<uint32_t*>(bitmap.ScanLine(y)), image.Width, 0xFF000000u | background);
        icon.Draw(bitmap.Canvas(), Rect(0, 0, image.Width, image.Height));
        bitmap.Canvas().Release();
        for (int y = 0; y < image.Height; ++y)
            for (int x = 0; x < image.Width; ++x) {
                const size_t at = size_t(y) * image.Width + x;
                const uint32_t rgb = image.Pixels[at] & 0xFFFFFF;
                const uint32_t expected = !image.Mask[at] ? rgb : background ^ rgb;
                ASSERT_EQ(reinterpret_cast<const uint32_t*>(bitmap.ScanLine(y))[x] & 0xFFFFFF, expected)
                    << x << "," << y;
            }
    }
    TIconImage half = randomImage(random, 32, false);
    std::fill(half.Pixels.begin(), half.Pixels.end(), 0x80FF0000u);
    TIcon icon;
    icon.SetImages({half});
    TBitmap white(half.Width, half.Height);
    icon.Draw(white.Canvas(), Rect(0, 0, half.Width, half.Height));
    const TColor blended = white.Canvas().Pixel(0, 0);
    EXPECT_EQ(GetRValue(blended), 255);
    EXPECT_NEAR(GetGValue(blended), 127, 2) << "half red over white";
}

TEST(Icon, SavedThroughThePictureHolderAndLoadedBack) {
    std::mt19937 random(31);
    TTempFolder folder;
    const std::vector<TIconImage> images = randomIcon(random);
    TPicture picture;
    auto icon = std::make_unique<TIcon>();
    icon->SetImages(images);
    picture.SetGraphic(std::move(icon));
    picture.SaveToFile(folder.File("saved.ICO"));
    TPicture loaded;
    loaded.LoadFromFile(folder.File("saved.ICO"));
    ASSERT_NE(dynamic_cast<TIcon*>(loaded.Graphic()), nullptr);
    expectSameImages(dynamic_cast<TIcon*>(loaded.Graphic())->Images(), images);
    TPicture copy;
    copy.Assign(&loaded);
    EXPECT_EQ(copy.Width(), loaded.Width());
    EXPECT_NE(TPicture::GraphicFilter().find("|Icons (*.ico)|*.ico"), std::string::npos);
}

} // namespace
