// GIF images through the platform's picture holder: made by file
// extension and by clipboard format, drawn into an offscreen widget whose
// grabbed pixels must show the first frame, and pictures of other kinds
// imported into frames.

#include "GIFFrames.h"
#include "GIFTestSupport.h"

#include "gif/GIFRender.h"
#include "gif/render/GIFDraw.h"
#include "gif/render/GIFImageDrawer.h"
#include "gif/render/GIFImport.h"
#include "gif/render/GIFRegistration.h"
#include "platform/gfx/Clipboard.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/Picture.h"
#include "tests/platform/gfx/TestMetafiles.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <QWidget>

#include <fstream>
#include <random>

namespace {

class GIFPictures : public ::testing::Test {
protected:
    void SetUp() override { RegisterGIFImage(); }
    std::string write(const std::string& name, const Bytes& bytes) {
        const std::string path = folder_.File(name);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
        return path;
    }
    TTempFolder folder_;
};

TEST_F(GIFPictures, LoadByExtensionAndClipboardFormat) {
    const Bytes bytes = RandomAnimation(7, {1, 2, 0});
    const OracleImage oracle = GiflibRead(bytes);
    TPicture picture;
    picture.LoadFromFile(write("moving.GIF", bytes));
    auto* gif = dynamic_cast<TGIFImage*>(picture.Graphic());
    ASSERT_NE(gif, nullptr);
    EXPECT_EQ(picture.Width(), oracle.Width);
    EXPECT_EQ(picture.Height(), oracle.Height);
    EXPECT_EQ(FramesWithPixels(*gif).size(), oracle.Frames.size());

    // Qt's own GIF reader is never asked, not even for a renamed file.
    EXPECT_THROW(picture.LoadFromFile(write("renamed.png", bytes)), EInvalidGraphic);
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { picture.LoadFromFile(write("x.xyz", bytes)); }),
              "Unknown picture file extension (.xyz)");
    EXPECT_EQ(picture.Graphic(), gif) << "a failed load keeps the picture";
    // A broken GIF is an invalid graphic like any other, with the GIF text.
    Bytes broken = bytes;
    broken[1] = 'X';
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { picture.LoadFromFile(write("broken.gif", broken)); }),
              "Invalid GIF signature");
    EXPECT_EQ(picture.Graphic(), gif);
    EXPECT_NE(TPicture::GraphicFilter().find("|GIF Image (*.gif)|*.gif"), std::string::npos);

    ASSERT_EQ(ClipboardFormatName(CF_GIF), "GIF Image");
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_GIF));
    Clipboard().AssignGraphic(*picture.Graphic());
    TPicture pasted;
    pasted.LoadFromClipboardFormat(CF_GIF, Clipboard().GetFormatBytes(CF_GIF));
    auto* copy = dynamic_cast<TGIFImage*>(pasted.Graphic());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(SaveImage(*copy), SaveImage(*gif));
    EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { pasted.LoadFromClipboardFormat(CF_TEXT, "text"); }),
              "Unsupported clipboard format");
    EXPECT_EQ(GIFErrorOf([&] { copy->LoadFromClipboardFormat(CF_TEXT, "text"); }), "Unsupported clipboard format");
}

// A windowed control that paints its picture over its client area.
class TPictureView : public TCustomControl {
public:
    TPicture Picture;
    TPictureView() {
        Picture.OnChange = [this](TPersistent*) { Invalidate(); };
    }
    void Paint() override {
        Canvas().FillRect(ClientRect(), clWhite);
        if (Picture.Graphic())
            Picture.Graphic()->Draw(Canvas(), ClientRect());
    }
};

TEST_F(GIFPictures, DrawnIntoAWidgetTheGrabShowsTheFirstFrame) {
    const auto samples = AnimatedSamples();
    ASSERT_FALSE(samples.empty());
    const auto& [name, bytes] = samples.front();
    SCOPED_TRACE(name);
    auto view = std::make_unique<TPictureView>();
    view->Picture.LoadFromFile(write("first.gif", bytes));
    auto& gif = dynamic_cast<TGIFImage&>(*view->Picture.Graphic());
    ASSERT_GT(gif.Images().Count(), 1);
    ASSERT_TRUE(gif.DrawOptions & gdThreaded);
    view->SetBounds(0, 0, gif.Width(), gif.Height());
    view->Show();
    auto* widget = static_cast<TWidgetPeer*>(view->Peer())->Widget();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    const QImage shot = widget->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The clock stands still for the painter unless it is moved; at the
    // real speed the first frame shows for at least a tenth of a second.
    TGIFCompositor first(gif);
    first.Show(0);
    int opaque = 0;
    for (int y = 0; y < gif.Height(); ++y)
        for (int x = 0; x < gif.Width(); ++x) {
            const uint32_t pixel = first.Pixels()[size_t(y) * size_t(gif.Width()) + size_t(x)];
            const QRgb shown = shot.pixel(x, y) & 0xFFFFFF;
            if (pixel >> 24) {
                ++opaque;
                ASSERT_EQ(shown, pixel & 0xFFFFFF) << x << "," << y;
            } else {
                ASSERT_EQ(shown, 0xFFFFFFu) << "the white below shows through at " << x << "," << y;
            }
        }
    EXPECT_GT(opaque, 0);
    auto* drawer = dynamic_cast<TGIFImageDrawer*>(gif.Renderer());
    ASSERT_NE(drawer, nullptr);
    EXPECT_NE(drawer->DrawPainter(), nullptr) << "an animation runs";
    view.reset(); // its picture and the painter go with it
}

// A logical screen of no width (or height) draws as other readers show
// it: as far as the first frame reaches, through the picture holder, still
// or animated.
TEST_F(GIFPictures, AScreenWithoutWidthDrawsItsFirstFrame) {
    const Bytes one = ImageBlock(1, 0, 2, 2, false, 0, 2, TinyImageData());
    const Bytes two = ImageBlock(0, 0, 1, 1, false, 0, 2, Subblocks(Pack(ReferenceLZW({3}, 2))));
    Bytes animated = one;
    Append(animated, two);
    for (const Bytes& frames : {one, animated}) {
        for (auto [width, height] : {std::pair{0, 0}, std::pair{0, 2}, std::pair{3, 0}}) {
            TPicture picture;
            picture.LoadFromFile(write("flat.gif", GifWithBlocks(width, height, 4, frames)));
            ASSERT_EQ(picture.Width(), 3);
            ASSERT_EQ(picture.Height(), 2);
            auto& gif = dynamic_cast<TGIFImage&>(*picture.Graphic());
            gif.DrawOptions = gif.DrawOptions & ~gdThreaded;
            TBitmap target(5, 4);
            target.Canvas().FillRect(Rect(0, 0, 5, 4), clWhite);
            ASSERT_NO_THROW(gif.Draw(target.Canvas(), Rect(0, 0, 3, 2)));
            // Frame pixels 0 1 / 1 0 at x = 1 over the table's colours
            // (index i is i*3, i*5, i*7); nothing outside the picture.
            const TGIFColorMap& table = gif.GlobalColorMap();
            for (int y = 0; y < 2; ++y)
                for (int x = 1; x < 3; ++x) {
                    const TGIFColor color = table.Data()[(x - 1 + y) % 2];
                    EXPECT_EQ(target.Canvas().Pixel(x, y), RGB(color.Red, color.Green, color.Blue)) << x << "," << y;
                }
            EXPECT_EQ(target.Canvas().Pixel(4, 3), clWhite);
        }
    }
}

// A still picture whose frame reaches past the logical screen draws only
// what lies on the screen, at scale 1 and stretched, as the composite
// shows it; nothing around the rectangle it is drawn into is touched.
TEST_F(GIFPictures, AFramePastTheScreensEdgeIsCutThere) {
    std::mt19937 random(5);
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        const int width = 4 + int(random() % 16), height = 4 + int(random() % 16);
        const int left = int(random() % width), top = int(random() % height);
        const int fw = 1 + int(random() % 24), fh = 1 + int(random() % 24);
        Bytes pixels(size_t(fw * fh));
        for (uint8_t& pixel : pixels)
            pixel = uint8_t(1 + random() % 15);
        TPicture picture;
        picture.LoadFromFile(write("edge.gif", GifWithBlocks(width, height, 16,
                                                             ImageBlock(left, top, fw, fh, false, 0, 4,
                                                                        Subblocks(Pack(ReferenceLZW(pixels, 4)))))));
        auto& gif = dynamic_cast<TGIFImage&>(*picture.Graphic());
        ASSERT_EQ(gif.Width(), width);
        TGIFCompositor composite(gif);
        composite.Show(0);
        const int scale = 1 + round % 2, margin = 30;
        const TRect rect = Bounds(margin, margin, width * scale, height * scale);
        TBitmap target(width * scale + 2 * margin, height * scale + 2 * margin);
        target.Canvas().FillRect(Rect(0, 0, target.Width(), target.Height()), clWhite);
        gif.Draw(target.Canvas(), rect);
        for (int y = 0; y < target.Height(); ++y)
            for (int x = 0; x < target.Width(); ++x) {
                TColor expected = clWhite;
                if (x >= rect.Left && x < rect.Right && y >= rect.Top && y < rect.Bottom) {
                    const uint32_t pixel = composite.Pixels()[size_t((y - rect.Top) / scale) * size_t(width) +
                                                              size_t((x - rect.Left) / scale)];
                    if (pixel >> 24)
                        expected = RGB(int(pixel >> 16) & 0xFF, int(pixel >> 8) & 0xFF, int(pixel) & 0xFF);
                }
                ASSERT_EQ(target.Canvas().Pixel(x, y), expected) << x << "," << y;
            }
    }
}

// Bitmaps of every kind become frames: palette bitmaps as they are,
// true-colour ones through the image's colour reduction, and a bitmap's
// transparent colour or a PNG's see-through pixels as the frame's
// transparent index.
TEST_F(GIFPictures, PicturesOfOtherKindsBecomeFrames) {
    std::mt19937 random(5);
    TBitmap photo(23, 17);
    photo.SetPixelFormat(pf24bit);
    for (int y = 0; y < photo.Height(); ++y) {
        uint8_t* row = photo.ScanLine(y);
        for (int x = 0; x < photo.Width() * 3; ++x)
            row[x] = uint8_t(random());
    }
    TGIFImage image;
    const int index = image.Add(&photo); // 391 colours: reduced to the web cube first
    TGIFSubImage& frame = *image.Images().Frames(index);
    ASSERT_EQ(frame.Width(), 23);
    TNetscapeColorLookup cube;
    for (int y = 0; y < photo.Height(); ++y)
        for (int x = 0; x < photo.Width(); ++x) {
            const uint8_t* pixel = photo.ScanLine(y) + x * 3;
            TGIFColor expected;
            cube.Lookup(pixel[2], pixel[1], pixel[0], expected);
            ASSERT_EQ(frame.ColorMap().Colors(frame.Pixels(x, y)), GIFColorValue(expected));
        }
    image.ColorReduction = gcrNone;
    EXPECT_EQ(GIFErrorOf([&] { image.Add(&photo); }), "Color table overflow");

    // A palette bitmap keeps its indices and colours; its transparent
    // colour marks a new black entry.
    TBitmap indexed(5, 4);
    indexed.SetPixelFormat(pf8bit);
    std::vector<TColor> palette = {clRed, clLime, clBlue, clYellow};
    indexed.SetPalette(palette);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            indexed.ScanLine(y)[x] = uint8_t((x + y) % 4);
    indexed.SetTransparentColor(clBlue);
    indexed.SetTransparent(true);
    TGIFSubImage& keyed = *image.Images().Frames(image.Add(&indexed));
    ASSERT_TRUE(keyed.Transparent());
    const int clear = keyed.GraphicControlExtension()->TransparentColorIndex();
    EXPECT_EQ(keyed.ColorMap().Colors(clear), 0u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const int source = (x + y) % 4;
            EXPECT_EQ(keyed.Pixels(x, y), source == 2 ? clear : source);
        }
    // The mask follows the frame's transparency and pixels.
    EXPECT_TRUE(GIFFrameHasMask(keyed));
    ASSERT_TRUE(GIFFrameBitmap(keyed, true)->Transparent());
    keyed.GraphicControlExtension()->SetTransparent(false);
    EXPECT_FALSE(GIFFrameHasMask(keyed));
    keyed.GraphicControlExtension()->SetTransparent(true);
    for (int y = 0; y < 4; ++y)
        std::fill_n(keyed.Scanline(y), 5, uint8_t(0));
    EXPECT_FALSE(GIFFrameHasMask(keyed)) << "no pixel left of the transparent index";

    // A PNG with a see-through hole, through the picture holder.
    QImage png(6, 6, QImage::Format_ARGB32);
    png.fill(qRgba(10, 200, 30, 255));
    png.setPixel(2, 3, qRgba(0, 0, 0, 0));
    const std::string path = folder_.File("hole.png");
    ASSERT_TRUE(png.save(QString::fromStdString(path), "PNG"));
    TPicture picture;
    picture.LoadFromFile(path);
    TGIFImage fromPng;
    fromPng.Assign(&picture);
    TGIFSubImage& holed = *fromPng.Images().Frames(0);
    ASSERT_TRUE(holed.Transparent());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(holed.Pixels(x, y) == holed.GraphicControlExtension()->TransparentColorIndex(), x == 2 && y == 3);

    // And back: a bitmap assigned from a GIF image holds its first frame.
    TBitmap back;
    back.Assign(&fromPng);
    ASSERT_EQ(back.Width(), 6);
    EXPECT_EQ(back.Canvas().Pixel(0, 0), RGB(0, 153, 0)) << "the green of the web cube";
}

// An icon becomes a frame with its AND mask as the transparent area: a
// graphic control extension whose transparent index is an added black
// entry, on exactly the masked pixels (an inverting one too); a half
// transparent pixel the mask leaves keeps its colour blended on white.  A
// metafile drawn on white and on black gives its untouched pixels that
// index.
TEST_F(GIFPictures, IconsAndMetafilesBecomeFramesWithTheirOwnMasks) {
    std::mt19937 random(12);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TIconImage image;
        image.Width = 4 + int(random() % 30), image.Height = 4 + int(random() % 30);
        image.BitCount = 32;
        image.HasAlpha = round % 2 == 1;
        const uint32_t colors[] = {0xFFC01020, 0xFF20C040, 0xFF3040E0, 0x80FF0000, 0xFF000000, 0xFF00FFFF};
        for (int i = 0; i < image.Width * image.Height; ++i) {
            uint32_t color = colors[random() % (image.HasAlpha ? 4 : 3)];
            const bool masked = random() % 3 == 0;
            if (masked)
                color = image.HasAlpha ? 0 : colors[4 + random() % 2]; // a hole, or an inverting pixel
            image.Pixels.push_back(color);
            image.Mask.push_back(masked);
        }
        auto icon = std::make_unique<TIcon>();
        icon->SetImages({image});
        TPicture picture;
        picture.SetGraphic(std::move(icon));
        TGIFImage gif;
        gif.ColorReduction = gcrNone;
        gif.Assign(&picture);
        TGIFSubImage& frame = *gif.Images().Frames(0);
        ASSERT_TRUE(frame.Transparent());
        ASSERT_NE(frame.GraphicControlExtension(), nullptr);
        const int clear = frame.GraphicControlExtension()->TransparentColorIndex();
        EXPECT_EQ(clear, frame.ColorMap().Count() - 1) << "the entry added last";
        EXPECT_EQ(frame.ColorMap().Colors(clear), 0u) << "black";
        for (int y = 0; y < image.Height; ++y)
            for (int x = 0; x < image.Width; ++x) {
                const size_t at = size_t(y) * image.Width + x;
                ASSERT_EQ(frame.Pixels(x, y) == clear, bool(image.Mask[at])) << x << "," << y;
                if (image.Mask[at])
                    continue;
                const uint32_t pixel = image.Pixels[at];
                const int alpha = int(pixel >> 24);
                const uint32_t shown = frame.ColorMap().Colors(frame.Pixels(x, y));
                for (int shift : {0, 8, 16}) {
                    const int expected = (int(pixel >> shift & 0xFF) * alpha + 255 * (255 - alpha) + 127) / 255;
                    ASSERT_NEAR(int(shown >> (16 - shift) & 0xFF), expected, 1) << x << "," << y;
                }
            }
    }

    const std::vector<TTestShape> shapes = RandomShapes(random, 70, 50, 3);
    for (const std::string& bytes : {WindowsMetafileOf(70, 50, shapes), EnhancedMetafileOf(70, 50, shapes)}) {
        TMetafile metafile;
        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
        stream.SetPosition(0);
        metafile.LoadFromStream(stream);
        TGIFImage gif;
        gif.ColorReduction = gcrNone;
        gif.Assign(&metafile);
        TGIFSubImage& frame = *gif.Images().Frames(0);
        ASSERT_TRUE(frame.Transparent());
        const int clear = frame.GraphicControlExtension()->TransparentColorIndex();
        EXPECT_EQ(frame.ColorMap().Colors(clear), 0u);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 70; ++x) {
                const int64_t expected = ExpectedAt(shapes, x, y);
                if (expected == -2)
                    continue;
                if (expected == -1) {
                    ASSERT_EQ(frame.Pixels(x, y), clear) << x << "," << y;
                } else {
                    const uint32_t rgb = uint32_t(expected);
                    const uint32_t bgr = (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16);
                    ASSERT_EQ(frame.ColorMap().Colors(frame.Pixels(x, y)), bgr) << x << "," << y;
                }
            }
    }
}

} // namespace
