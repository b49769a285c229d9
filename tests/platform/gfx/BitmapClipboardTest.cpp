#include "platform/base/Stream.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Clipboard.h"
#include "platform/gfx/ImageList.h"
#include "tests/platform/base/BaseTestSupport.h"
#include "tests/platform/base/ChildProcess.h"
#include "tests/platform/base/TempFolder.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/support/OutsideData.h"
#include "platform/gfx/QtBridge.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QMimeData>

#include <algorithm>
#include <filesystem>
#include <random>

namespace {

TColor pixelOf(TBitmap& bitmap, int x, int y) { return bitmap.Canvas().Pixel(x, y); }

// Decodes a 24-bit bottom-up BMP by the file format's own rules.
std::vector<std::vector<TColor>> decode24(const std::string& bytes) {
    auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at]) |
                                     (static_cast<uint8_t>(bytes[at + 1]) << 8) |
                                     (static_cast<uint8_t>(bytes[at + 2]) << 16) |
                                     (static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24));
    };
    uint32_t offset = u32(10);
    int width = static_cast<int>(u32(18)), height = static_cast<int>(u32(22));
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<std::vector<TColor>> rows(static_cast<size_t>(height), std::vector<TColor>(static_cast<size_t>(width)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            size_t at = offset + static_cast<size_t>(height - 1 - y) * stride + static_cast<size_t>(x) * 3;
            rows[static_cast<size_t>(y)][static_cast<size_t>(x)] =
                RGB(static_cast<uint8_t>(bytes[at + 2]), static_cast<uint8_t>(bytes[at + 1]),
                    static_cast<uint8_t>(bytes[at]));
        }
    return rows;
}

TEST(Bitmap, LoadsBmpFilesFromOtherProgramsPixelForPixel) {
    const std::filesystem::path folder =
        OutsideDataPath("/usr/share/xml/docbook/stylesheet/docbook-xsl/slides/slidy/graphics");
    if (!std::filesystem::exists(folder / "fold.bmp"))
        GTEST_SKIP() << "docbook-xsl is not installed";
    int files = 0;
    for (const char* name : {"fold.bmp", "unfold.bmp", "nofold-dim.bmp"}) {
        auto expected = decode24(ReadFile((folder / name).string()));
        TBitmap bitmap;
        bitmap.LoadFromFile((folder / name).string());
        EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
        ASSERT_EQ(bitmap.Height(), static_cast<int>(expected.size()));
        ASSERT_EQ(bitmap.Width(), static_cast<int>(expected[0].size()));
        // ScanLine gives blue, green, red bytes of a 24-bit bitmap.
        for (int y = 0; y < bitmap.Height(); ++y) {
            const uint8_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < bitmap.Width(); ++x)
                ASSERT_EQ(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]), expected[y][x]) << name;
        }
        // Saved and loaded again, every pixel survives.
        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        stream.SetPosition(0);
        TBitmap again;
        again.LoadFromStream(stream);
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                ASSERT_EQ(pixelOf(again, x, y), expected[y][x]);
        ++files;
    }
    EXPECT_EQ(files, 3);
}

TEST(Bitmap, StreamsHoldSeveralBitmapsAndRejectWhatIsNotOne) {
    std::mt19937 random(2);
    TBitmap first(13, 5), second(4, 9);
    for (TBitmap* bitmap : {&first, &second})
        for (int y = 0; y < bitmap->Height(); ++y)
            for (int x = 0; x < bitmap->Width(); ++x)
                bitmap->Canvas().SetPixel(x, y, static_cast<TColor>(random() & 0xFFFFFF));
    TMemoryStream stream;
    first.SaveToStream(stream);
    int64_t firstEnd = stream.Position();
    second.SaveToStream(stream);
    stream.WriteBuffer("tail", 4);
    stream.SetPosition(0);
    TBitmap a, b;
    a.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), firstEnd);
    b.LoadFromStream(stream);
    EXPECT_EQ(a.Width(), 13);
    EXPECT_EQ(b.Height(), 9);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(pixelOf(a, x, y), pixelOf(first, x, y));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(pixelOf(b, x, y), pixelOf(second, x, y));

    TMemoryStream garbage;
    garbage.WriteBuffer("BMxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", 34);
    garbage.SetPosition(0);
    TBitmap c;
    EXPECT_THROW(c.LoadFromStream(garbage), EInvalidGraphic);
    TMemoryStream tooShort;
    tooShort.WriteBuffer("BM", 2);
    tooShort.SetPosition(0);
    EXPECT_THROW(c.LoadFromStream(tooShort), EInvalidGraphic);
    EXPECT_THROW(c.LoadFromFile("/nonexistent/folder/x.bmp"), EFOpenError);
}

TEST(Bitmap, AStreamDeliveringAFewBytesAtATimeLoadsTheSame) {
    std::mt19937 random(6);
    TBitmap original(13, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x)
            original.Canvas().SetPixel(x, y, static_cast<TColor>(random() & 0xFFFFFF));
    TMemoryStream saved;
    original.SaveToStream(saved);
    const std::string bytes = saved.DataString();
    for (int64_t piece : {1, 3, 64}) {
        TTrickleStream stream(bytes, piece);
        TBitmap loaded;
        ASSERT_NO_THROW(loaded.LoadFromStream(stream)) << piece;
        EXPECT_EQ(stream.Position(), static_cast<int64_t>(bytes.size()));
        ASSERT_EQ(loaded.Width(), 13);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(pixelOf(loaded, x, y), pixelOf(original, x, y)) << piece;
    }
}

// Whatever stops a load, the stream stays where the picture was to start,
// so that a caller can read it as something else: random cuts and damage
// of a real BMP, behind a prefix.
TEST(Bitmap, ARefusedStreamIsLeftWhereThePictureStarts) {
    std::mt19937 random(77);
    TBitmap original(6, 4);
    TMemoryStream saved;
    original.SaveToStream(saved);
    const std::string bytes = saved.DataString();
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        std::string damaged = bytes.substr(0, random() % (bytes.size() + 1));
        for (int hits = static_cast<int>(random() % 4); hits > 0 && !damaged.empty(); --hits)
            damaged[random() % std::min<size_t>(damaged.size(), 60)] = static_cast<char>(random());
        const std::string prefix(random() % 5, 'p');
        TMemoryStream stream;
        stream.WriteBuffer((prefix + damaged).data(), static_cast<int64_t>(prefix.size() + damaged.size()));
        stream.SetPosition(static_cast<int64_t>(prefix.size()));
        TBitmap loaded;
        try {
            loaded.LoadFromStream(stream);
        } catch (const EInvalidGraphic&) {
            ++refused;
            EXPECT_EQ(stream.Position(), static_cast<int64_t>(prefix.size())) << "round " << round;
        }
    }
    EXPECT_GT(refused, 100);
}

// Saving a picture over a file replaces it only once the whole picture is
// written: a save cut short by a file-size limit (in a child process) and
// one refused because the file is read-only leave the old file, and a save
// that succeeds reads back pixel for pixel.
TEST(Bitmap, SavingOverAFileReplacesItWholeOrNotAtAll) {
    TTempFolder temp;
    const std::string target = temp.File("picture.bmp");
    WriteFile(target, "the old picture");
    TBitmap picture(200, 100);
    std::mt19937 random(9);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            picture.Canvas().SetPixel(x, y, static_cast<TColor>(random() & 0xFFFFFF));

    TChildOutcome cut = RunInChild({30000, false, temp.File("cache")}, [&](std::string& report) {
        try {
            picture.SaveToFile(target);
            return 0;
        } catch (const EStreamError& error) {
            report = error.Message();
            return 1;
        }
    });
    EXPECT_EQ(cut.ExitCode, 1) << cut.Output;
    EXPECT_TRUE(ReadFile(target) == "the old picture") << "now " << ReadFile(target).size() << " bytes";

    std::filesystem::permissions(target, std::filesystem::perms::owner_read);
    EXPECT_THROW(picture.SaveToFile(target), EFCreateError);
    EXPECT_TRUE(ReadFile(target) == "the old picture");

    std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    picture.SaveToFile(target);
    TBitmap loaded;
    loaded.LoadFromFile(target);
    ASSERT_EQ(loaded.Width(), 200);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(pixelOf(loaded, x, y), pixelOf(picture, x, y));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1);
}

TEST(Bitmap, PaletteFormatsRoundTripTheirIndexes) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf8bit);
    bitmap.SetSize(7, 3);
    std::vector<TColor> palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back(RGB(i, 255 - i, (i * 7) & 0xFF));
    bitmap.SetPalette(palette);
    for (int y = 0; y < 3; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < 7; ++x)
            row[x] = static_cast<uint8_t>(y * 80 + x * 11);
    }
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(loaded.PixelFormat(), pf8bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            int index = y * 80 + x * 11;
            EXPECT_EQ(loaded.Palette()[loaded.ScanLine(y)[x]], palette[static_cast<size_t>(index)]);
        }
    // Drawing on a palette bitmap makes it a device bitmap with the same look.
    TColor before = palette[static_cast<size_t>(2 * 80 + 3 * 11)];
    loaded.Canvas();
    EXPECT_EQ(loaded.PixelFormat(), pfDevice);
    EXPECT_EQ(pixelOf(loaded, 3, 2), before);

    // A one-bit image of the other bit order is a palette bitmap as well: its
    // colours can be changed and it is saved with them, as one bit a pixel.
    QImage lsbFirst(9, 2, QImage::Format_MonoLSB);
    lsbFirst.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    lsbFirst.fill(0);
    lsbFirst.setPixel(4, 1, 1);
    TBitmap oneBit;
    SetBitmapImage(oneBit, lsbFirst);
    EXPECT_EQ(oneBit.PixelFormat(), pf1bit);
    oneBit.SetPalette({clLime, clNavy});
    TMemoryStream oneBitStream;
    oneBit.SaveToStream(oneBitStream);
    oneBitStream.SetPosition(0);
    TBitmap oneBitLoaded;
    oneBitLoaded.LoadFromStream(oneBitStream);
    EXPECT_EQ(oneBitLoaded.PixelFormat(), pf1bit);
    EXPECT_EQ(pixelOf(oneBitLoaded, 4, 1), clNavy);
    EXPECT_EQ(pixelOf(oneBitLoaded, 3, 1), clLime);
}

TEST(Bitmap, ResizingKeepsPixelsAndTransparentDrawingSkipsTheKeyColour) {
    TBitmap bitmap(4, 4);
    bitmap.Canvas().Brush().SetColor(clRed);
    bitmap.Canvas().FillRect(Rect(0, 0, 4, 4));
    bitmap.Canvas().SetPixel(1, 1, clBlue);
    bitmap.SetSize(6, 5);
    EXPECT_EQ(pixelOf(bitmap, 1, 1), clBlue);
    EXPECT_EQ(pixelOf(bitmap, 3, 3), clRed);
    EXPECT_EQ(pixelOf(bitmap, 5, 4), clWhite);

    TBitmap sprite(3, 3);
    sprite.Canvas().Brush().SetColor(clLime);
    sprite.Canvas().FillRect(Rect(0, 0, 3, 3));
    sprite.Canvas().SetPixel(1, 1, clBlack);
    sprite.SetTransparent(true);
    EXPECT_EQ(sprite.TransparentColor(), clLime) << "the bottom-left pixel decides";
    TBitmap target(5, 5);
    target.Canvas().Brush().SetColor(clYellow);
    target.Canvas().FillRect(Rect(0, 0, 5, 5));
    target.Canvas().Draw(1, 1, sprite);
    EXPECT_EQ(pixelOf(target, 2, 2), clBlack);
    EXPECT_EQ(pixelOf(target, 1, 1), clYellow);
    sprite.SetTransparent(false);
    target.Canvas().Draw(1, 1, sprite);
    EXPECT_EQ(pixelOf(target, 1, 1), clLime);

    TBitmap copy;
    copy.Assign(&target);
    target.Canvas().SetPixel(0, 0, clNavy);
    EXPECT_EQ(pixelOf(copy, 0, 0), clYellow) << "an assigned copy does not follow later drawing";
    EXPECT_THROW(copy.ScanLine(5), EInvalidGraphic);
}

TEST(Bitmap, TilesCoverARectangleFromAnyPixelOfTheTile) {
    // A 3 x 2 tile whose pixels all differ.
    TBitmap tile(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            tile.Canvas().SetPixel(x, y, RGB(80 * x, 100 * y, 50));
    TBitmap target(12, 9);
    target.Canvas().FillRect(Rect(0, 0, 12, 9), clWhite);
    // The origin (-2, 5) is the tile's pixel (1, 1).
    target.Canvas().TileDraw(Rect(2, 1, 10, 8), tile, {-2, 5});
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 2 && x < 10 && y >= 1 && y < 8;
            const TColor expected = inside ? RGB(80 * ((x - 1) % 3), 100 * (y % 2), 50) : clWhite;
            ASSERT_EQ(pixelOf(target, x, y), expected) << x << "," << y;
        }
}

TEST(ImageList, MaskedStripsDrawOnlyTheirShape) {
    TBitmap strip(30, 10);
    strip.Canvas().Brush().SetColor(clWhite);
    strip.Canvas().FillRect(Rect(0, 0, 30, 10));
    for (int i = 0; i < 3; ++i) {
        strip.Canvas().Brush().SetColor(i == 1 ? clRed : clBlue);
        strip.Canvas().FillRect(Rect(i * 10 + 2, 2, i * 10 + 2 + 3 + i, 8));
    }
    TImageList images(10, 10);
    EXPECT_EQ(images.AddMasked(strip, clWhite), 0);
    EXPECT_EQ(images.Count(), 3);

    TBitmap target(20, 20);
    target.Canvas().Brush().SetColor(clGreen);
    target.Canvas().FillRect(Rect(0, 0, 20, 20));
    images.Draw(target.Canvas(), 5, 5, 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            bool shape = x >= 7 && x < 11 && y >= 7 && y < 13;
            ASSERT_EQ(pixelOf(target, x, y), shape ? clRed : clGreen) << x << "," << y;
        }
    // Disabled: the shape in shadow, its highlight one pixel down and right.
    images.Draw(target.Canvas(), 0, 0, 2, false);
    EXPECT_EQ(pixelOf(target, 2, 2), ColorToRGB(clBtnShadow));
    EXPECT_EQ(pixelOf(target, 6, 8), ColorToRGB(clBtnHighlight)); // right of the shadow's bottom-right
    EXPECT_EQ(pixelOf(target, 0, 0), clGreen);
    // Out of range draws nothing; deleting out of range raises.
    images.Draw(target.Canvas(), 0, 0, 7);
    EXPECT_THROW(images.Delete(3), EInvalidOperation);
    images.Delete(0);
    EXPECT_EQ(images.Count(), 2);
    TBitmap single;
    images.GetBitmap(0, single, clFuchsia);
    EXPECT_EQ(pixelOf(single, 0, 0), clFuchsia);
    EXPECT_EQ(pixelOf(single, 3, 3), clRed);
}

std::string lineBreakOracle(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\r\n";
            ++i;
        } else if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

TEST(Clipboard, TextComesBackWithCrLfBreaksWhateverTheBreaksWere) {
    std::mt19937 random(8);
    const char alphabet[] = {'a', '\r', '\n', 'b', '\xE9', ' '};
    for (int round = 0; round < 300; ++round) {
        std::string text(random() % 24, ' ');
        for (char& c : text)
            c = alphabet[random() % sizeof alphabet];
        std::string written = ToClipboardLineBreaks(text);
        // Each CR LF pair loses its CR; nothing else changes.
        size_t pairs = 0;
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
            ++pairs;
        EXPECT_EQ(written.size(), text.size() - pairs);
        EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), std::count(text.begin(), text.end(), '\n'));
        EXPECT_EQ(FromClipboardLineBreaks(written), lineBreakOracle(written));
        EXPECT_EQ(FromClipboardLineBreaks(text), lineBreakOracle(text));
    }
    Clipboard().SetAsText("one\r\ntwo\r\n\xE9t\xE9\x80");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "one\ntwo\n\xC3\xA9t\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(Clipboard().AsText(), "one\r\ntwo\r\n\xE9t\xE9\x80");
    QGuiApplication::clipboard()->setText(QString::fromUtf8("mac\runix\nwin\r\n\xE4\xB8\xAD"));
    EXPECT_EQ(Clipboard().AsText(), "mac\r\nunix\r\nwin\r\n?");
    EXPECT_TRUE(Clipboard().HasFormat(CF_TEXT));
}

TEST(Clipboard, RegisteredFormatsCarryBytesBesideTheText) {
    unsigned block = RegisterClipboardFormat("Ondrill Column Block");
    EXPECT_GE(block, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("ONDRILL column BLOCK"), block);
    unsigned other = RegisterClipboardFormat("Something Else");
    EXPECT_NE(other, block);
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);
    EXPECT_EQ(ClipboardFormatName(block), "Ondrill Column Block");
    EXPECT_EQ(ClipboardFormatMimeType(block), "application/x-ondrill-ondrill%20column%20block");

    std::string bytes("ab\0c\r\n\xFF\x80", 8);
    Clipboard().Open();
    Clipboard().SetAsText("ab\r\nc");
    Clipboard().SetFormatBytes(block, bytes);
    Clipboard().Close();
    EXPECT_TRUE(Clipboard().HasFormat(block));
    EXPECT_FALSE(Clipboard().HasFormat(other));
    EXPECT_EQ(Clipboard().GetFormatBytes(block), bytes);
    EXPECT_EQ(Clipboard().AsText(), "ab\r\nc");
    // Another program sees the format under its MIME type.
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(data->hasFormat("application/x-ondrill-ondrill%20column%20block"));
    // A later plain copy replaces the whole content.
    Clipboard().SetAsText("plain");
    EXPECT_FALSE(Clipboard().HasFormat(block));
    EXPECT_EQ(Clipboard().GetFormatBytes(block), "");
    Clipboard().Clear();
    EXPECT_FALSE(Clipboard().HasFormat(CF_TEXT));
}

// A bitmap crosses as BMP bytes and lies on the system clipboard as an
// image, beside other formats of the same copy.
TEST(Clipboard, BitmapsGoThereAsImages) {
    std::mt19937 random(44);
    const unsigned block = RegisterClipboardFormat("Ondrill Picture Block");
    for (int round = 0; round < 5; ++round) {
        TBitmap bitmap(1 + int(random() % 30), 1 + int(random() % 20));
        bitmap.SetPixelFormat(round % 2 ? pf24bit : pf32bit);
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                bitmap.Canvas().SetPixel(x, y, RGB(uint8_t(random()), uint8_t(random()), uint8_t(random())));
        TMemoryStream stream;
        bitmap.SaveToStream(stream);
        Clipboard().Open();
        Clipboard().SetFormatBytes(block, "beside");
        Clipboard().SetFormatBytes(CF_BITMAP, stream.DataView());
        Clipboard().Close();
        ASSERT_TRUE(Clipboard().HasFormat(CF_BITMAP));
        EXPECT_EQ(Clipboard().GetFormatBytes(block), "beside");
        const QImage image = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.width(), bitmap.Width());
        const std::string bytes = Clipboard().GetFormatBytes(CF_BITMAP);
        TBitmap back;
        TReadOnlyMemoryStream in(bytes.data(), int64_t(bytes.size()));
        back.LoadFromStream(in);
        ASSERT_EQ(back.Width(), bitmap.Width());
        ASSERT_EQ(back.Height(), bitmap.Height());
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) {
                ASSERT_EQ(pixelOf(back, x, y), pixelOf(bitmap, x, y)) << x << "," << y;
                ASSERT_EQ(FromQRgb(image.pixel(x, y)), pixelOf(bitmap, x, y)) << x << "," << y;
            }
    }
    // An image another program put there reads as a bitmap; bytes that are
    // no bitmap put nothing there.
    QImage other(3, 2, QImage::Format_RGB32);
    other.fill(qRgb(10, 20, 30));
    QGuiApplication::clipboard()->setImage(other);
    EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP));
    EXPECT_FALSE(Clipboard().GetFormatBytes(CF_BITMAP).empty());
    Clipboard().SetAsText("text");
    Clipboard().SetFormatBytes(CF_BITMAP, "not a bitmap");
    EXPECT_FALSE(Clipboard().HasFormat(CF_BITMAP));
    EXPECT_EQ(Clipboard().GetFormatBytes(CF_BITMAP), "");
}

} // namespace
