// The stream as a whole: signature and header, the block loop, the trailer,
// the version written, and the failures and warnings of each.

#include "GIFTestSupport.h"

#include "gif/GIFException.h"
#include "tests/platform/base/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string loadError(const Bytes& bytes) {
    TGIFImage image;
    return GIFErrorOf([&] { LoadImage(image, bytes); });
}

TEST(GIFStream, SignatureVariantsLoad) {
    const Bytes plain = GifWithBlocks(2, 2, 4, TinyImage());
    Bytes prefixed = {'x', 'y', 'z', 'w'};
    Append(prefixed, plain);
    Bytes lower = plain;
    lower[0] = 'g';
    lower[1] = 'i';
    lower[2] = 'f';
    Bytes version = plain;
    version[3] = '9';
    version[4] = '9';
    version[5] = 'z';
    for (const Bytes& bytes : {plain, prefixed, lower, version}) {
        TGIFImage image;
        WarningLog warnings(image);
        ASSERT_NO_THROW(LoadImage(image, bytes));
        ASSERT_EQ(image.Images().Count(), 1);
        EXPECT_EQ(image.Images().Frames(0)->Pixels(1, 0), 1);
        EXPECT_TRUE(warnings.Messages.empty()) << warnings.Joined();
    }
    Bytes bad = plain;
    bad[1] = 'X';
    EXPECT_EQ(loadError(bad), "Invalid GIF signature");
    EXPECT_EQ(loadError({'G', 'I', 'F'}), "Premature end of data");
}

TEST(GIFStream, GlobalTableSizeField) {
    for (int field = 0; field < 8; ++field) {
        TGIFImage image;
        LoadImage(image, GifWithBlocks(2, 2, 2 << field, TinyImage()));
        EXPECT_EQ(image.GlobalColorMap().Count(), 2 << field);
        EXPECT_FALSE(image.GlobalColorMap().Optimized()); // the sort flag is not taken from the file
    }
    // A table that the file does not hold entirely.
    Bytes cut = GifWithBlocks(2, 2, 256, {}, false);
    cut.resize(13 + 3 * 100);
    EXPECT_EQ(loadError(cut), "Premature end of data");
}

TEST(GIFStream, ZeroBytesBetweenBlocksAndAfterTrailer) {
    Bytes blocks = {0, 0};
    Append(blocks, TinyImage());
    blocks.insert(blocks.end(), {0, 0, 0});
    Append(blocks, TinyImage());
    Bytes bytes = GifWithBlocks(2, 2, 4, blocks);
    bytes.insert(bytes.end(), {'g', 'a', 'r', 'b', 'a', 'g', 'e'});
    TGIFImage image;
    WarningLog warnings(image);
    LoadImage(image, bytes);
    EXPECT_EQ(image.Images().Count(), 2);
    EXPECT_TRUE(warnings.Messages.empty()) << warnings.Joined();
}

TEST(GIFStream, MissingTrailerLoadsSilently) {
    TGIFImage image;
    WarningLog warnings(image);
    LoadImage(image, GifWithBlocks(2, 2, 4, TinyImage(), false));
    EXPECT_EQ(image.Images().Count(), 1);
    EXPECT_TRUE(warnings.Messages.empty()) << warnings.Joined();
}

TEST(GIFStream, UnknownBlockTypeEndsTheBlocks) {
    Bytes blocks = TinyImage();
    blocks.push_back('X');
    Append(blocks, TinyImage());
    TGIFImage image;
    WarningLog warnings(image);
    LoadImage(image, GifWithBlocks(2, 2, 4, blocks));
    EXPECT_EQ(image.Images().Count(), 1);
    ASSERT_EQ(warnings.Messages.size(), 2u) << warnings.Joined();
    EXPECT_EQ(warnings.Messages[0], "Unknown GIF block type");
    EXPECT_EQ(warnings.Messages[1], "Invalid Image trailer");
}

// Only an image separator starts an image: after a frame's extensions any
// other byte leaves the frame without pixels and is reported by the block
// reader.
TEST(GIFStream, OnlyTheSeparatorStartsAnImage) {
    Bytes blocks = {'!', 0xFE, 2, 'h', 'i', 0};
    blocks.push_back('#');
    Append(blocks, TinyImage());
    TGIFImage image;
    WarningLog warnings(image);
    LoadImage(image, GifWithBlocks(2, 2, 4, blocks));
    ASSERT_EQ(image.Images().Count(), 1);
    EXPECT_TRUE(image.Images().Frames(0)->Empty());
    EXPECT_EQ(image.Images().Frames(0)->Extensions().Count(), 1);
    EXPECT_TRUE(warnings.Has("Unknown GIF block type")) << warnings.Joined();
}

TEST(GIFStream, ExtensionsAfterTheLastImageFormAFrameOfTheirOwn) {
    Bytes blocks = TinyImage();
    blocks.insert(blocks.end(), {'!', 0xFE, 3, 'e', 'n', 'd', 0});
    TGIFImage image;
    LoadImage(image, GifWithBlocks(2, 2, 4, blocks));
    ASSERT_EQ(image.Images().Count(), 2);
    EXPECT_TRUE(image.Images().Frames(1)->Empty());
    const Bytes written = SaveImage(image);
    TGIFImage again;
    LoadImage(again, written);
    ASSERT_EQ(again.Images().Count(), 2);
    auto* comment = dynamic_cast<TGIFCommentExtension*>(again.Images().Frames(1)->Extensions().Extensions(0));
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->Comment().Strings(0), "end");
}

TEST(GIFStream, FailureInTheSecondFrameKeepsTheFirstAndRewinds) {
    Bytes blocks = TinyImage();
    blocks.insert(blocks.end(), {'!', 0x01, 12, 1, 2}); // a plain-text block cut short
    Bytes bytes = {'p', 'a', 'd', '!'};
    Append(bytes, GifWithBlocks(2, 2, 4, blocks));
    TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
    stream.SetPosition(4);
    TGIFImage image;
    EXPECT_EQ(GIFErrorOf([&] { image.LoadFromStream(stream); }), "Premature end of data");
    EXPECT_EQ(stream.Position(), 4);
    EXPECT_EQ(image.Images().Count(), 1);
}

// Every block reads the same whether the stream delivers its bytes at once
// or a few at a time.
TEST(GIFStream, ShortReadsLoadTheSame) {
    Bytes blocks = {'!', 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 4, 0, 0};
    blocks.insert(blocks.end(), {'!', 0xF9, 4, 0x05, 7, 0, 2, 0, '!', 0xFE, 3, 'a', 'b', 'c', 0});
    Bytes pixels(40 * 9);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 7 / 5 % 4);
    Append(blocks, ImageBlock(0, 0, 40, 9, true, 4, 2, Subblocks(Pack(ReferenceLZW(pixels, 2)), {1, 2, 3, 40})));
    const Bytes bytes = GifWithBlocks(40, 9, 4, blocks);
    TGIFImage whole;
    LoadImage(whole, bytes);
    ASSERT_NE(dynamic_cast<TGIFAppExtNSLoop*>(whole.Images().Frames(0)->Extensions().Extensions(0)), nullptr);
    const Bytes expected = SaveImage(whole);
    const std::string text(bytes.begin(), bytes.end());
    for (int64_t piece : {1, 2, 3}) {
        TTrickleStream stream(text, piece);
        TGIFImage image;
        WarningLog warnings(image);
        image.LoadFromStream(stream);
        EXPECT_TRUE(warnings.Messages.empty()) << piece << ": " << warnings.Joined();
        TGIFSubImage* frame = image.Images().Frames(0);
        auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(frame->Extensions().Extensions(0));
        ASSERT_NE(loop, nullptr) << piece;
        EXPECT_EQ(loop->Loops, 4);
        EXPECT_EQ(frame->GraphicControlExtension()->Delay(), 7);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), frame->Data())) << piece;
        EXPECT_EQ(SaveImage(image), expected) << piece;
    }
}

TEST(GIFStream, SavingWithoutFramesIsRefused) {
    TGIFImage image;
    image.SetWidth(10);
    EXPECT_EQ(GIFErrorOf([&] { SaveImage(image); }), "Unsupported GIF version");
}

TEST(GIFStream, VersionWrittenFollowsTheFrames) {
    TGIFImage image;
    image.GlobalColorMap().Add(0);
    image.GlobalColorMap().Add(0xFFFFFF);
    image.GlobalColorMap().SetOptimized(true); // sorted global table alone: still 87a
    image.Header().SetAspectRatio(49);
    TGIFSubImage* frame = AddFrame(image);
    frame->SetBounds(0, 0, 3, 3);
    EXPECT_EQ(image.Version(), 1);
    Bytes written = SaveImage(image);
    EXPECT_EQ(std::string(written.begin(), written.begin() + 6), "GIF87a");
    EXPECT_EQ(written[10] & 0x08, 0x08); // the sort flag is still written
    frame->Extensions().Add(new TGIFCommentExtension(frame));
    EXPECT_EQ(image.Version(), 2);
    written = SaveImage(image);
    EXPECT_EQ(std::string(written.begin(), written.begin() + 6), "GIF89a");
}

TEST(GIFStream, HeaderPackedByteMatchesTheTableWritten) {
    // A global table of 4 colours beside a local one of 256: the header's
    // size field describes the 4 entries actually written.
    TGIFImage image;
    for (int i = 0; i < 4; ++i)
        image.GlobalColorMap().Add(uint32_t(i));
    TGIFSubImage* frame = AddFrame(image);
    frame->SetBounds(0, 0, 2, 2);
    for (int i = 0; i < 256; ++i)
        frame->ColorMap().Add(uint32_t(i * 65793));
    const Bytes written = SaveImage(image);
    EXPECT_EQ(written[10] & 0x87, 0x81);
    EXPECT_EQ(written[10] & 0x70, 0x70); // colour resolution of the deepest table
    TGIFImage again;
    LoadImage(again, written);
    EXPECT_EQ(again.GlobalColorMap().Count(), 4);
    EXPECT_EQ(again.Images().Frames(0)->ColorMap().Count(), 256);
}

TEST(GIFStream, ScreenSizeSettersGuardTheFrames) {
    TGIFImage image;
    TGIFSubImage* frame = AddFrame(image);
    frame->SetBounds(5, 6, 10, 20);
    EXPECT_EQ(image.Width(), 15);
    EXPECT_EQ(image.Height(), 26);
    EXPECT_EQ(GIFErrorOf([&] { image.SetWidth(14); }),
              "Image width too small for contained frames");
    EXPECT_EQ(GIFErrorOf([&] { image.SetHeight(25); }),
              "Image height too small for contained frames");
    image.SetWidth(100);
    image.SetHeight(26);
    EXPECT_EQ(image.Width(), 100);
    // The screen's sides are 16-bit: a size beyond them is refused, not
    // stored as some other size.
    image.SetWidth(65535);
    EXPECT_EQ(image.Width(), 65535);
    for (int size : {65536, 70000, -1}) {
        EXPECT_EQ(GIFErrorOf([&] { image.SetWidth(size); }),
                  size < 0 ? "Image width too small for contained frames"
                           : "Invalid image dimensions")
            << size;
        EXPECT_EQ(GIFErrorOf([&] { image.SetHeight(size); }),
                  size < 0 ? "Image height too small for contained frames"
                           : "Invalid image dimensions")
            << size;
    }
    EXPECT_EQ(image.Width(), 65535);
    EXPECT_EQ(image.Height(), 26);
    TGIFImage empty;
    EXPECT_THROW(empty.SetWidth(-1), GIFException);
    EXPECT_THROW(empty.SetHeight(65536), GIFException);
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.Height(), 0);
}

TEST(GIFStream, NewImagesTakeTheDefaultCompression) {
    EXPECT_EQ(TGIFImage().Compression(), gcLZW);
    DefaultCompression = gcRLE;
    TGIFImage image;
    DefaultCompression = gcLZW;
    EXPECT_EQ(image.Compression(), gcRLE);
    EXPECT_EQ(TGIFImage().Compression(), gcLZW);
}

TEST(GIFStream, AddTakesOnlyItsOwnFrames) {
    TGIFImage image, other;
    TGIFSubImage foreign(&other);
    TStringList list;
    EXPECT_THROW(image.Add(&foreign), GIFException);
    EXPECT_EQ(GIFErrorOf([&] { image.Add(&list); }), "Object type not supported for operation");
    auto* frame = new TGIFSubImage(&image);
    EXPECT_EQ(image.Add(frame), 0);
    EXPECT_EQ(image.Add(frame), 0); // not twice
    EXPECT_EQ(image.Images().Count(), 1);
    delete frame; // a frame freed directly leaves its image's list
    EXPECT_EQ(image.Images().Count(), 0);
}

TEST(GIFStream, FilesRoundTrip) {
    TTempFolder folder;
    const std::string name = folder.File("tiny.gif");
    TGIFImage image;
    LoadImage(image, GifWithBlocks(2, 2, 4, TinyImage()));
    image.SaveToFile(name);
    TGIFImage again;
    again.LoadFromFile(name);
    EXPECT_EQ(again.Images().Frames(0)->Pixels(0, 1), 1);
    // A single block object writes and reads itself through a file too.
    const std::string frameName = folder.File("frame.bin");
    again.Images().Frames(0)->SaveToFile(frameName);
    TGIFSubImage frame(&again);
    frame.LoadFromFile(frameName);
    EXPECT_EQ(frame.Pixels(0, 1), 1);
    EXPECT_EQ(frame.Pixels(1, 1), 0);
    std::filesystem::remove(name);
    EXPECT_THROW(again.LoadFromFile(name), EFOpenError);
}

// A save that fails leaves the file that was there untouched.
TEST(GIFStream, FailedSaveKeepsTheOldFile) {
    TTempFolder folder;
    const std::string name = folder.File("kept.gif");
    TGIFImage image;
    LoadImage(image, GifWithBlocks(2, 2, 4, TinyImage()));
    image.SaveToFile(name);
    const Bytes before = ReadFileBytes(name);
    ASSERT_FALSE(before.empty());

    TGIFImage empty;
    EXPECT_THROW(empty.SaveToFile(name), GIFException); // no frames
    EXPECT_EQ(ReadFileBytes(name), before);

    // A save that fails midway, after the first frame was written.
    image.Images().Frames(0)->SetPixel(1, 1, 3);
    image.OnProgress = [](TPersistent*, TProgressStage stage, int, bool, const std::string&) {
        if (stage == psRunning)
            GIFError("Stopped while saving");
    };
    EXPECT_THROW(image.SaveToFile(name), GIFException);
    EXPECT_EQ(ReadFileBytes(name), before);

    // A good save still replaces it.
    image.OnProgress = nullptr;
    image.SaveToFile(name);
    TGIFImage again;
    again.LoadFromFile(name);
    EXPECT_EQ(again.Images().Frames(0)->Pixels(1, 1), 3);
}

} // namespace

namespace {

// Loading, saving and copying report their progress from start to end;
// a copy takes the other image's frames and drawing settings but keeps its
// own handlers; a new screen size is a change.
TEST(GIFImageNotices, ProgressCopiesAndChanges) {
    const Bytes bytes = RandomAnimation(3, {0, 1, 2, 3});
    std::vector<std::string> progress;
    auto record = [&](TPersistent*, TProgressStage stage, int percent, bool, const std::string& message) {
        progress.push_back(message + " " + std::to_string(int(stage)) + " " + std::to_string(percent));
    };
    TGIFImage image;
    image.OnProgress = record;
    LoadImage(image, bytes);
    ASSERT_GE(progress.size(), 3u);
    EXPECT_EQ(progress.front(), "Loading... 0 0");
    EXPECT_EQ(progress.back(), "Loading... 2 100");
    progress.clear();
    SaveImage(image);
    EXPECT_EQ(progress.size(), size_t(image.Images().Count()) + 2);
    EXPECT_EQ(progress[1], "Saving... 1 25");
    EXPECT_EQ(progress.back(), "Saving... 2 100");
    progress.clear();
    Bytes cut(bytes.begin(), bytes.begin() + 11);
    EXPECT_THROW(LoadImage(image, cut), GIFException);
    EXPECT_EQ(progress.back(), "Loading... 2 0");

    LoadImage(image, bytes);
    image.DrawOptions = gdTile;
    image.BackgroundColor = 0x123456;
    image.SetAnimationSpeed(50);
    TGIFImage copy;
    int changes = 0;
    std::vector<std::string> copying;
    copy.OnChange = [&](TPersistent*) { ++changes; };
    copy.OnProgress = [&](TPersistent*, TProgressStage, int, bool, const std::string& message) { copying.push_back(message); };
    copy.Assign(&image);
    EXPECT_EQ(SaveImage(copy), SaveImage(image));
    EXPECT_EQ(copy.DrawOptions, gdTile);
    EXPECT_EQ(copy.BackgroundColor, 0x123456);
    EXPECT_EQ(copy.AnimationSpeed(), 100) << "the speed stays the copy's own";
    EXPECT_TRUE(copy.OnProgress && copy.OnChange) << "the copy keeps its handlers";
    // Its warnings still reach its own handler, and the source's stay with
    // the source.
    WarningLog sourceWarnings(image), copyWarnings(copy);
    copy.Assign(&image);
    copy.GlobalColorMap().Colors(copy.GlobalColorMap().Count());
    EXPECT_EQ(copyWarnings.Messages, std::vector<std::string>{"Invalid color index"});
    EXPECT_TRUE(sourceWarnings.Messages.empty());
    EXPECT_EQ(copying.front(), "Copying...");
    EXPECT_GE(changes, 1);
    changes = 0;
    copy.SetWidth(copy.Width());
    EXPECT_EQ(changes, 0);
    copy.SetWidth(copy.Width() + 1);
    EXPECT_EQ(changes, 1);
    copy.SetHeight(copy.Height());
    EXPECT_EQ(changes, 1);
    copy.SetHeight(copy.Height() + 1);
    EXPECT_EQ(changes, 2);
}

} // namespace
