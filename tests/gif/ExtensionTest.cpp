// Extension blocks: graphic control, comment, plain text, the loop-count
// extension and application extensions kept as raw data.

#include "GIFTestSupport.h"

#include "gif/GIFException.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Loads the blocks before a tiny image; returns the image's bytes written
// back, so that callers can compare.
Bytes roundTrip(const Bytes& extensions, TGIFImage& image, WarningLog* warnings = nullptr) {
    Bytes blocks = extensions;
    Append(blocks, TinyImage());
    if (warnings)
        warnings->Attach(image);
    LoadImage(image, GifWithBlocks(2, 2, 4, blocks));
    return SaveImage(image);
}

// The bytes of a written file between the header (with its 4-entry table)
// and the image separator: the extensions as written.
Bytes extensionsOf(const Bytes& file) {
    const size_t start = 13 + 12;
    TGIFImage image;
    LoadImage(image, file);
    // Written extensions come first; find the separator by writing them.
    TMemoryStream stream;
    image.Images().Frames(0)->Extensions().SaveToStream(stream);
    const size_t end = start + size_t(stream.Size());
    return Bytes(file.begin() + long(start), file.begin() + long(end));
}

std::string errorOf(const Bytes& extensions) {
    Bytes blocks = extensions;
    Append(blocks, TinyImage());
    TGIFImage image;
    return GIFErrorOf([&] { LoadImage(image, GifWithBlocks(2, 2, 4, blocks)); });
}

TEST(GIFExtensions, GraphicControlFields) {
    TGIFImage image;
    const Bytes gce = {'!', 0xF9, 4, 0x0D, 0x34, 0x12, 3, 0};
    const Bytes written = roundTrip(gce, image);
    TGIFSubImage* frame = image.Images().Frames(0);
    TGIFGraphicControlExtension* control = frame->GraphicControlExtension();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->Disposal(), 3);
    EXPECT_TRUE(control->Transparent());
    EXPECT_FALSE(control->UserInput());
    EXPECT_EQ(control->Delay(), 0x1234);
    EXPECT_EQ(control->TransparentColorIndex(), 3);
    EXPECT_TRUE(frame->Transparent());
    EXPECT_EQ(extensionsOf(written), gce);
    // A block that claims five bytes is read to its terminator and written
    // with the four its fields fill, so the image after it stays readable.
    TGIFImage odd;
    const Bytes written5 = roundTrip({'!', 0xF9, 5, 0x0D, 0x34, 0x12, 3, 9, 0}, odd);
    EXPECT_EQ(extensionsOf(written5), gce);
    EXPECT_TRUE(GiflibRead(written5).Ok);
    control->SetDisposal(2);
    EXPECT_EQ(control->Packed(), 0x09);
    control->SetUserInput(true);
    EXPECT_EQ(control->Packed(), 0x0B);
}

TEST(GIFExtensions, TransparentFrameFillsWithItsIndex) {
    // Data that ends after two pixels: the rest keep the transparent index.
    CodeWriter codes;
    codes.Put(4, 3);
    codes.Put(1, 3);
    codes.Put(1, 3);
    codes.Put(5, 3);
    Bytes blocks = {'!', 0xF9, 4, 0x01, 0, 0, 2, 0};
    Append(blocks, ImageBlock(0, 0, 2, 2, false, 0, 2, Subblocks(codes.Finish())));
    TGIFImage image;
    LoadImage(image, GifWithBlocks(2, 2, 4, blocks));
    TGIFSubImage* frame = image.Images().Frames(0);
    EXPECT_EQ(frame->Pixels(0, 0), 1);
    EXPECT_EQ(frame->Pixels(1, 0), 1);
    EXPECT_EQ(frame->Pixels(0, 1), 2);
    EXPECT_EQ(frame->Pixels(1, 1), 2);
}

TEST(GIFExtensions, ShortGraphicControlWarns) {
    Bytes bytes = GifWithBlocks(2, 2, 4, {'!', 0xF9, 4, 1, 0}, false);
    TGIFImage image;
    WarningLog warnings(image);
    LoadImage(image, bytes);
    EXPECT_TRUE(warnings.Has("Premature end of data"));
    ASSERT_EQ(image.Images().Count(), 1);
    EXPECT_FALSE(image.Images().Frames(0)->Transparent());
}

// Only the frame's own (first) graphic control extension decides its
// transparency: a second one neither turns it on or off, nor does freeing
// the second one.
TEST(GIFExtensions, SecondGraphicControlDoesNotToggleTheFirst) {
    TGIFImage image;
    roundTrip({'!', 0xF9, 4, 0x01, 0, 0, 2, 0, '!', 0xF9, 4, 0x00, 0, 0, 0, 0}, image);
    TGIFSubImage* frame = image.Images().Frames(0);
    ASSERT_EQ(frame->Extensions().Count(), 2);
    auto* first = frame->GraphicControlExtension();
    EXPECT_EQ(first, frame->Extensions().Extensions(0));
    EXPECT_TRUE(frame->Transparent());
    delete frame->Extensions().Extensions(1);
    EXPECT_TRUE(frame->Transparent());
    EXPECT_EQ(frame->Extensions().Count(), 1);

    TGIFImage other;
    roundTrip({'!', 0xF9, 4, 0x00, 0, 0, 0, 0, '!', 0xF9, 4, 0x01, 0, 0, 2, 0}, other);
    EXPECT_FALSE(other.Images().Frames(0)->Transparent());
    // Freeing the frame's own extension makes the frame opaque.
    TGIFImage third;
    roundTrip({'!', 0xF9, 4, 0x01, 0, 0, 2, 0}, third);
    delete third.Images().Frames(0)->GraphicControlExtension();
    EXPECT_FALSE(third.Images().Frames(0)->Transparent());
    EXPECT_EQ(third.Images().Frames(0)->GraphicControlExtension(), nullptr);
}

TEST(GIFExtensions, TransparentIndexOutsideTheTableIsRefused) {
    TGIFImage image;
    WarningLog warnings;
    roundTrip({}, image, &warnings);
    TGIFSubImage* frame = image.Images().Frames(0);
    auto* control = new TGIFGraphicControlExtension(frame);
    frame->Extensions().Add(control);
    control->SetTransparentColorIndex(3);
    EXPECT_EQ(control->TransparentColorIndex(), 3);
    control->SetTransparentColorIndex(4);
    EXPECT_EQ(control->TransparentColorIndex(), 0);
    EXPECT_TRUE(warnings.Has("Invalid color index"));

    // Without any colour table the index must still fit a table: 300 is
    // not taken as 44.
    TGIFImage bare;
    WarningLog bareWarnings(bare);
    TGIFSubImage* lone = AddFrame(bare);
    auto* free = new TGIFGraphicControlExtension(lone);
    lone->Extensions().Add(free);
    free->SetTransparentColorIndex(255);
    EXPECT_EQ(free->TransparentColorIndex(), 255);
    EXPECT_TRUE(bareWarnings.Messages.empty());
    for (int index : {256, 300, -1}) {
        free->SetTransparentColorIndex(255);
        free->SetTransparentColorIndex(index);
        EXPECT_EQ(free->TransparentColorIndex(), 0) << index;
    }
    EXPECT_EQ(bareWarnings.Messages.size(), 3u);
}

// Comments and plain text keep every byte and the original subblock sizes.
TEST(GIFExtensions, TextsKeepTheirBytes) {
    const Bytes comment = {'!', 0xFE, 3, 'a', 0, 'b', 5, 0, 0, 'x', 0, 0, 0};
    Bytes text = {'!', 0x01, 12, 1, 0, 2, 0, 30, 0, 40, 0, 8, 9, 1, 0};
    text.insert(text.end(), {4, 'T', 'e', 'x', 't', 0});
    Bytes both = comment;
    Append(both, text);
    TGIFImage image;
    const Bytes written = roundTrip(both, image);
    EXPECT_EQ(extensionsOf(written), both);
    auto* c = dynamic_cast<TGIFCommentExtension*>(image.Images().Frames(0)->Extensions().Extensions(0));
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->Comment().Count(), 2);
    EXPECT_EQ(c->Comment().Strings(0), std::string("a\0b", 3));
    auto* t = dynamic_cast<TGIFTextExtension*>(image.Images().Frames(0)->Extensions().Extensions(1));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Left, 1);
    EXPECT_EQ(t->GridWidth, 30);
    EXPECT_EQ(t->CharHeight, 9);
    EXPECT_EQ(t->Text().Strings(0), "Text");
}

TEST(GIFExtensions, LongCommentWrittenInPieces) {
    TGIFImage image;
    roundTrip({}, image);
    TGIFSubImage* frame = image.Images().Frames(0);
    auto* comment = new TGIFCommentExtension(frame);
    frame->Extensions().Add(comment);
    comment->Comment().Add(std::string(300, 'c'));
    TGIFImage again;
    LoadImage(again, SaveImage(image));
    auto* back = dynamic_cast<TGIFCommentExtension*>(again.Images().Frames(0)->Extensions().Extensions(0));
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->Comment().Count(), 2);
    EXPECT_EQ(back->Comment().Strings(0).size(), 255u);
    EXPECT_EQ(back->Comment().Strings(1).size(), 45u);
}

Bytes application(const std::string& identifier, const Bytes& data) {
    Bytes out = {'!', 0xFF, 11};
    for (char c : identifier)
        out.push_back(uint8_t(c));
    Append(out, data);
    return out;
}

TEST(GIFExtensions, LoopExtension) {
    TGIFImage image;
    const Bytes loop = application("NETSCAPE2.0", {3, 1, 0, 0, 0});
    const Bytes written = roundTrip(loop, image);
    auto* ext = dynamic_cast<TGIFAppExtNSLoop*>(image.Images().Frames(0)->Extensions().Extensions(0));
    ASSERT_NE(ext, nullptr);
    EXPECT_EQ(ext->Loops, 0);
    EXPECT_EQ(extensionsOf(written), loop);

    TGIFImage anim;
    const Bytes animexts = application("ANIMEXTS1.0", {3, 1, 7, 0, 5, 2, 0x10, 0x20, 0, 0, 0});
    const Bytes animWritten = roundTrip(animexts, anim);
    auto* a = dynamic_cast<TGIFAppExtNSLoop*>(anim.Images().Frames(0)->Extensions().Extensions(0));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Loops, 7);
    EXPECT_EQ(a->BufferSize, 0x2010u);
    EXPECT_EQ(a->Identifier(), "ANIMEXTS");
    EXPECT_EQ(extensionsOf(animWritten), animexts);

    EXPECT_EQ(errorOf(application("NETSCAPE2.0", {2, 1, 5, 0})), "Invalid GIF data");
    EXPECT_EQ(errorOf(application("NETSCAPE2.0", {4, 2, 1, 2, 3, 0})), "Invalid GIF data");
    // Without a loop-count subblock the file plays once, and stays so.
    TGIFImage once;
    const Bytes bufferOnly = application("NETSCAPE2.0", {5, 2, 1, 0, 0, 0, 0});
    EXPECT_EQ(extensionsOf(roundTrip(bufferOnly, once)), bufferOnly);
    EXPECT_FALSE(dynamic_cast<TGIFAppExtNSLoop*>(once.Images().Frames(0)->Extensions().Extensions(0))->HasLoopCount);
    const Bytes cutShort = GifWithBlocks(2, 2, 4, application("NETSCAPE2.0", {3, 1, 5}), false);
    TGIFImage cut;
    EXPECT_EQ(GIFErrorOf([&] { LoadImage(cut, cutShort); }), "Premature end of data");
}

TEST(GIFExtensions, UnknownApplicationWrittenBackByteForByte) {
    TGIFImage image;
    Bytes data = {4, 1, 0, 2, 3, 1, 9, 255};
    data.insert(data.end(), 255, 'q');
    data.push_back(0);
    const Bytes blocks = application("XMP DataXMP", data);
    const Bytes written = roundTrip(blocks, image);
    auto* raw = dynamic_cast<TGIFUnknownAppExtension*>(image.Images().Frames(0)->Extensions().Extensions(0));
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->Identifier(), "XMP Data");
    EXPECT_EQ(raw->Authentication(), "XMP");
    EXPECT_EQ(extensionsOf(written), blocks);
}

// A first subblock of another size than 11 is kept as it stands: 10 bytes,
// none, or more than 11.
TEST(GIFExtensions, UnusualApplicationBlockSizesKeptRaw) {
    const Bytes cases[] = {
        {'!', 0xFF, 10, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', '1', '2', 2, 7, 7, 0},
        {'!', 0xFF, 0},
        {'!', 0xFF, 9, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', '1', 0},
        {'!', 0xFF, 13, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 'x', 'y', 3, 1, 2, 0, 0},
    };
    for (const Bytes& ext : cases) {
        TGIFImage image;
        WarningLog warnings;
        const Bytes written = roundTrip(ext, image, &warnings);
        EXPECT_TRUE(warnings.Messages.empty()) << warnings.Joined();
        auto* raw = dynamic_cast<TGIFUnknownAppExtension*>(image.Images().Frames(0)->Extensions().Extensions(0));
        ASSERT_NE(raw, nullptr);
        EXPECT_EQ(raw->BlockSize(), ext[2]);
        EXPECT_EQ(extensionsOf(written), ext);
    }
    // An identifier that the data cuts short.
    Bytes cut = GifWithBlocks(2, 2, 4, {'!', 0xFF, 11, 'N', 'E', 'T'}, false);
    TGIFImage image;
    EXPECT_EQ(GIFErrorOf([&] { LoadImage(image, cut); }), "Premature end of data");
}

TEST(GIFExtensions, ReadingErrors) {
    EXPECT_EQ(errorOf({'!', 0x01, 12, 1, 2}), "Premature end of data");
    TGIFImage image;
    TGIFSubImage frame(&image);
    TGIFCommentExtension comment(&frame);
    const uint8_t wrongLabel[] = {'!', 0xF9, 0};
    TReadOnlyMemoryStream stream(wrongLabel, 3);
    EXPECT_EQ(GIFErrorOf([&] { comment.LoadFromStream(stream); }),
              "Internal error: Extension Instance does not match Extension Label");
    const uint8_t wrongIntroducer[] = {'?', 0xFE, 0};
    TReadOnlyMemoryStream other(wrongIntroducer, 3);
    EXPECT_EQ(GIFErrorOf([&] { comment.LoadFromStream(other); }), "Invalid extension introducer");
}

TEST(GIFExtensions, ClassLookupKeepsThePosition) {
    const uint8_t data[] = {0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
    TReadOnlyMemoryStream stream(data, sizeof data);
    EXPECT_EQ(TGIFExtension::FindExtension(stream), &TGIFAppExtNSLoop::Class);
    EXPECT_EQ(stream.Position(), 0);
    const uint8_t other[] = {0xFF, 11, 'S', 'O', 'M', 'E', 'T', 'H', 'I', 'N', 'G', 'x', 'y', 0};
    TReadOnlyMemoryStream stream2(other, sizeof other);
    EXPECT_EQ(TGIFExtension::FindExtension(stream2), &TGIFUnknownAppExtension::Class);
    const uint8_t none[] = {0x33};
    TReadOnlyMemoryStream stream3(none, 1);
    EXPECT_EQ(TGIFExtension::FindExtension(stream3), nullptr);
}

// Zero padding between a frame's extensions and its image keeps them
// together.
TEST(GIFExtensions, PaddingInsideAFrame) {
    Bytes blocks = {'!', 0xF9, 4, 0x01, 0, 0, 1, 0, 0, 0};
    Append(blocks, TinyImage());
    TGIFImage image;
    WarningLog warnings(image);
    LoadImage(image, GifWithBlocks(2, 2, 4, blocks));
    ASSERT_EQ(image.Images().Count(), 1);
    EXPECT_TRUE(image.Images().Frames(0)->Transparent());
    EXPECT_TRUE(warnings.Messages.empty()) << warnings.Joined();
}

// Random sequences of every extension kind survive a write and a read with
// their bytes unchanged.
TEST(GIFExtensions, RandomExtensionSequencesRoundTrip) {
    std::mt19937 random(11);
    auto randomBlocks = [&](Bytes& out) {
        const int count = int(random() % 4);
        for (int i = 0; i < count; ++i) {
            const int size = 1 + int(random() % 255);
            out.push_back(uint8_t(size));
            for (int j = 0; j < size; ++j)
                out.push_back(uint8_t(random()));
        }
        out.push_back(0);
    };
    for (int round = 0; round < 200; ++round) {
        Bytes blocks;
        const int count = int(random() % 6);
        for (int i = 0; i < count; ++i) {
            switch (random() % 5) {
            case 0:
                blocks.insert(blocks.end(), {'!', 0xF9, 4, uint8_t(random() & 0x1F), uint8_t(random()),
                                             uint8_t(random()), uint8_t(random() % 4), 0});
                break;
            case 1:
                blocks.insert(blocks.end(), {'!', 0xFE});
                randomBlocks(blocks);
                break;
            case 2: {
                blocks.insert(blocks.end(), {'!', 0x01, 12});
                for (int j = 0; j < 12; ++j)
                    blocks.push_back(uint8_t(random()));
                randomBlocks(blocks);
                break;
            }
            case 3: {
                const int size = int(random() % 20);
                blocks.insert(blocks.end(), {'!', 0xFF, uint8_t(size)});
                for (int j = 0; j < size; ++j)
                    blocks.push_back(uint8_t('A' + random() % 26));
                if (size != 0)
                    randomBlocks(blocks);
                break;
            }
            case 4: // a label nobody registered: kept raw
                blocks.insert(blocks.end(), {'!', uint8_t(0x02 + random() % 0xF0)});
                randomBlocks(blocks);
                break;
            }
        }
        TGIFImage image;
        const Bytes written = roundTrip(blocks, image);
        ASSERT_EQ(extensionsOf(written), blocks) << "round " << round;
    }
}

} // namespace
