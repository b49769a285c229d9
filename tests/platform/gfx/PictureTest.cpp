// The picture holder and its registry of formats: random pictures through
// every file format the platform brings, what a bad file or an unknown
// extension does to the picture held, and classes registered, replaced and
// dropped by file extension and clipboard format (as the GIF support does).

#include "platform/base/Filer.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Picture.h"
#include "tests/platform/base/BaseTestSupport.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/gfx/GuiTestApp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

// The 32-bit pixel at x, y as 0x00RRGGBB.
uint32_t rgbAt(TBitmap& bitmap, int x, int y) {
    return reinterpret_cast<const uint32_t*>(bitmap.ScanLine(y))[x] & 0xFFFFFF;
}

// A colour value (0x00BBGGRR) as a pixel (0x00RRGGBB).
uint32_t rgbOf(TColor color) {
    const uint32_t c = static_cast<uint32_t>(ColorToRGB(color));
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

TRasterImage& rasterOf(TPicture& picture) {
    auto* raster = dynamic_cast<TRasterImage*>(picture.Graphic());
    EXPECT_NE(raster, nullptr);
    return *raster;
}

// A raster picture of random size: random pixels, or a smooth gradient
// (what a lossy format keeps close), some pixels see-through when asked.
std::unique_ptr<TRasterImage> randomPicture(std::mt19937& random, const char* format, bool smooth,
                                            bool seeThrough) {
    auto picture = std::make_unique<TRasterImage>(format);
    // A lossy format keeps a smooth picture close only where it has room
    // for its blocks.
    const int least = smooth ? 16 : 1;
    const int width = least + static_cast<int>(random() % 60), height = least + static_cast<int>(random() % 40);
    TBitmap& pixels = picture->Bitmap();
    pixels.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t rgb = smooth ? (uint32_t(x * 255 / width) << 16) | (uint32_t(y * 255 / height) << 8) | 0x80
                                  : static_cast<uint32_t>(random()) & 0xFFFFFF;
            if (rgb == 0x00FF00)
                rgb = 0x00FE00;
            reinterpret_cast<uint32_t*>(pixels.ScanLine(y))[x] = 0xFF000000u | rgb;
        }
    if (seeThrough) {
        // Pure green marks the see-through pixels.
        for (int i = 0; i < width * height / 5; ++i)
            reinterpret_cast<uint32_t*>(pixels.ScanLine(static_cast<int>(random() % height)))[random() % width] =
                0xFF00FF00u;
        pixels.SetTransparentColor(clLime);
        pixels.SetTransparent(true);
    }
    return picture;
}

TEST(Picture, RandomPicturesRoundTripThroughEveryPlatformFormat) {
    TTempFolder folder;
    std::mt19937 random(314);
    struct TCase {
        const char* Extension;
        const char* Format;
        bool Lossy;
        bool SeeThrough;
    };
    const TCase cases[] = {{"bmp", "BMP", false, false}, {"PNG", "PNG", false, true}, {"png", "PNG", false, false},
                           {"jpg", "JPEG", true, false}, {"jpeg", "JPEG", true, false}};
    for (int round = 0; round < 20; ++round) {
        const TCase& c = cases[round % std::size(cases)];
        SCOPED_TRACE(std::string("round ") + std::to_string(round) + " ." + c.Extension);
        TPicture original;
        original.SetGraphic(randomPicture(random, c.Format, c.Lossy, c.SeeThrough));
        const std::string file = folder.File("picture" + std::to_string(round) + "." + c.Extension);
        original.SaveToFile(file);

        TPicture loaded;
        loaded.LoadFromFile(file);
        TRasterImage& back = rasterOf(loaded);
        EXPECT_EQ(back.Format(), c.Format);
        ASSERT_EQ(loaded.Width(), original.Width());
        ASSERT_EQ(loaded.Height(), original.Height());
        EXPECT_EQ(back.Transparent(), c.SeeThrough);
        TBitmap& was = rasterOf(original).Bitmap();
        TBitmap& now = back.Bitmap();
        long error = 0;
        for (int y = 0; y < loaded.Height(); ++y)
            for (int x = 0; x < loaded.Width(); ++x) {
                const uint32_t a = rgbAt(was, x, y), b = rgbAt(now, x, y);
                if (c.SeeThrough && a == 0x00FF00) {
                    ASSERT_TRUE(now.Transparent() && b == rgbOf(now.TransparentColor())) << x << "," << y;
                    continue;
                }
                if (!c.Lossy) {
                    ASSERT_EQ(b, a) << x << "," << y;
                    continue;
                }
                for (int shift : {0, 8, 16})
                    error += std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF));
            }
        if (c.Lossy) {
            EXPECT_LT(error / (3L * loaded.Width() * loaded.Height()), 12) << "mean error per channel";
        }
    }
}

// Streamed as a form streams it ("Data"): the class and the picture in
// its own format, which a picture read back keeps.
TEST(Picture, PicturesStreamWithTheirFormat) {
    std::mt19937 random(27);
    for (const char* format : {"BMP", "PNG", "JPEG"}) {
        SCOPED_TRACE(format);
        TPicture original;
        original.SetGraphic(randomPicture(random, format, std::string(format) == "JPEG", false));
        TMemoryStream stream;
        WritePersistentProperties(stream, original);
        stream.SetPosition(0);
        TPicture read;
        ReadPersistentProperties(stream, read);
        TRasterImage& back = rasterOf(read);
        EXPECT_EQ(back.Format(), format);
        ASSERT_EQ(read.Width(), original.Width());
        ASSERT_EQ(read.Height(), original.Height());
        if (std::string(format) == "JPEG")
            continue;
        for (int y = 0; y < read.Height(); ++y)
            for (int x = 0; x < read.Width(); ++x)
                ASSERT_EQ(rgbAt(back.Bitmap(), x, y), rgbAt(rasterOf(original).Bitmap(), x, y)) << x << "," << y;
    }
    // An empty holder writes nothing; a class nobody registered is refused.
    TPicture empty;
    TMemoryStream nothing;
    WritePersistentProperties(nothing, empty);
    TPicture holder;
    auto blockWith = [](const std::string& className) {
        TMemoryStream block;
        block.WriteByte(uint8_t(className.size()));
        block.WriteBuffer(className.data(), int64_t(className.size()));
        TMemoryStream stream;
        TWriter writer(stream);
        stream.WriteBuffer("ODP1", 4);
        writer.WritePropName("Data");
        writer.WriteBinary(block.Memory(), block.Size());
        stream.WriteByte(0);
        stream.SetPosition(0);
        return std::string(stream.DataView());
    };
    for (const std::string& className : {std::string("TNoSuchGraphic"), std::string("TRasterImage")}) {
        const std::string bytes = blockWith(className);
        TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
        EXPECT_THROW(ReadPersistentProperties(stream, holder), EReadError) << className;
    }
    EXPECT_EQ(holder.Graphic(), nullptr);
}

TEST(Picture, ABadFileOrAnUnknownExtensionLeavesThePictureHeld) {
    TTempFolder folder;
    std::mt19937 random(5);
    TPicture held;
    held.SetGraphic(randomPicture(random, "PNG", false, false));
    const std::string png = folder.File("real.png");
    held.SaveToFile(png);
    const int width = held.Width();
    TGraphic* before = held.Graphic();
    int changes = 0;
    held.OnChange = [&](TPersistent*) { ++changes; };

    // A PNG under another format's name is read only as that format.
    WriteFile(folder.File("renamed.bmp"), ReadFile(png));
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { held.LoadFromFile(folder.File("renamed.bmp")); }),
              "BMP image is not valid");
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { held.LoadFromFile(folder.File("picture.xyz")); }),
              "Unknown picture file extension (.xyz)");
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { held.LoadFromFile(folder.File("no extension")); }),
              "Unknown picture file extension (.)");
    EXPECT_THROW(held.LoadFromFile(folder.File("missing.png")), EFOpenError);
    EXPECT_EQ(held.Graphic(), before);
    EXPECT_EQ(held.Width(), width);
    EXPECT_EQ(changes, 0);

    TPicture empty;
    EXPECT_THROW(empty.SaveToFile(folder.File("empty.png")), EInvalidGraphicOperation);
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { empty.LoadFromClipboardFormat(0xC123, "x"); }),
              "Unsupported clipboard format");

    // A copy is a picture of its own, of the same format.
    TPicture copy;
    copy.Assign(&held);
    EXPECT_NE(copy.Graphic(), held.Graphic());
    EXPECT_EQ(rasterOf(copy).Format(), "PNG");
    EXPECT_EQ(rgbAt(rasterOf(copy).Bitmap(), 0, 0), rgbAt(rasterOf(held).Bitmap(), 0, 0));
}

// A picture class of a test's own, as another library would register one:
// its file is its name and a size.
class TNamedGraphic : public TGraphic {
public:
    explicit TNamedGraphic(std::string name) : name_(std::move(name)) {}
    std::string ClassName() const override { return name_; }
    void Draw(TCanvas&, const TRect&) override {}
    int Width() const override { return width_; }
    int Height() const override { return 1; }
    void SetWidth(int width) override { width_ = width; }
    void SetHeight(int) override {}
    bool Empty() const override { return width_ == 0; }
    void LoadFromStream(TStream& stream) override {
        const std::string bytes = ReadAll(stream);
        if (bytes.rfind(name_, 0) != 0)
            throw EInvalidGraphic(name_ + " image is not valid");
        width_ = std::atoi(bytes.c_str() + name_.size());
    }
    void SaveToStream(TStream& stream) override {
        const std::string bytes = name_ + std::to_string(width_);
        stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    }
    void LoadFromClipboardFormat(unsigned, std::string_view data) override { width_ = static_cast<int>(data.size()); }
    void Assign(const TPersistent* source) override {
        if (const auto* other = dynamic_cast<const TNamedGraphic*>(source)) {
            width_ = other->width_;
            return;
        }
        TGraphic::Assign(source);
    }

private:
    static std::string ReadAll(TStream& stream) {
        std::string bytes(static_cast<size_t>(stream.Size() - stream.Position()), '\0');
        stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        return bytes;
    }
    std::string name_;
    int width_ = 0;
};

TEST(Picture, ClassesRegisteredByExtensionAndClipboardFormatAreMadeUntilDropped) {
    TTempFolder folder;
    const auto make = [](const char* name) {
        return [name] { return std::unique_ptr<TGraphic>(new TNamedGraphic(name)); };
    };
    TPicture::RegisterFileFormat(".TST", "Test Picture", "TFirst", make("TFirst"));
    TPicture::RegisterClipboardFormat(0xC0DE, "TFirst", make("TFirst"));
    EXPECT_NE(TPicture::GraphicFilter().find("|Test Picture (*.tst)|*.tst"), std::string::npos);
    EXPECT_EQ(TPicture::GraphicFilter().rfind("All (*.bmp;*.png;*.jpg;*.jpeg", 0), 0u) << "the platform's own first";

    WriteFile(folder.File("a.Tst"), "TFirst42");
    TPicture picture;
    picture.LoadFromFile(folder.File("a.Tst"));
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Graphic()->ClassName(), "TFirst");
    EXPECT_EQ(picture.Width(), 42);
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(0xC0DE));
    picture.LoadFromClipboardFormat(0xC0DE, "seven b");
    EXPECT_EQ(picture.Width(), 7);

    // The newer registration of an extension wins; a copy is made of the
    // graphic's own class.
    TPicture::RegisterFileFormat("tst", "Test Picture", "TSecond", make("TSecond"));
    WriteFile(folder.File("b.tst"), "TSecond9");
    picture.LoadFromFile(folder.File("b.tst"));
    EXPECT_EQ(picture.Graphic()->ClassName(), "TSecond");
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { picture.LoadFromFile(folder.File("a.Tst")); }),
              "TSecond image is not valid");
    TPicture copy;
    copy.Assign(&picture);
    EXPECT_EQ(copy.Graphic()->ClassName(), "TSecond");
    EXPECT_EQ(copy.Width(), 9);

    TPicture::UnregisterGraphicClass("TSecond");
    picture.LoadFromFile(folder.File("a.Tst"));
    EXPECT_EQ(picture.Graphic()->ClassName(), "TFirst");
    TPicture::UnregisterGraphicClass("TFirst");
    EXPECT_FALSE(TPicture::SupportsClipboardFormat(0xC0DE));
    EXPECT_THROW(picture.LoadFromFile(folder.File("a.Tst")), EInvalidGraphic);
    EXPECT_EQ(TPicture::GraphicFilter().find("tst"), std::string::npos);
}

} // namespace
