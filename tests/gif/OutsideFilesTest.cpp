// Real GIF files that no one here wrote (Debian package data, read in
// place), checked against giflib as an independent reader, written back with
// both encoders and read again, cut at every length, and damaged at random
// (bytes overwritten, bits flipped, ranges dropped or repeated).

#include "GIFFrames.h"
#include "GIFTestSupport.h"

#include "gif/GIFException.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class OutsideFiles : public ::testing::Test {
protected:
    void SetUp() override {
        files_ = OutsideGifFiles();
        if (files_.empty())
            GTEST_SKIP() << "no outside GIF files installed (apache2-data, docbook-xsl, libtk8.6, qt6-base-dev, "
                            "libjs-jquery-jstree; see scripts/install-deps)";
    }
    std::vector<std::string> files_;
};

std::vector<uint32_t> colorsOf(const TGIFColorMap& table) {
    std::vector<uint32_t> colors;
    for (int i = 0; i < table.Count(); ++i)
        colors.push_back(GIFColorValue(table.Data()[i]));
    return colors;
}

std::vector<std::string> commentsOf(const TGIFSubImage& frame) {
    std::vector<std::string> comments;
    for (int i = 0; i < frame.Extensions().Count(); ++i)
        if (auto* comment = dynamic_cast<TGIFCommentExtension*>(frame.Extensions().Extensions(i)))
            for (int k = 0; k < comment->Comment().Count(); ++k)
                comments.push_back(comment->Comment().Strings(k));
    return comments;
}

int loopsOf(const TGIFSubImage& frame) {
    for (int i = 0; i < frame.Extensions().Count(); ++i)
        if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(frame.Extensions().Extensions(i)))
            return loop->Loops;
    return -1;
}

// Everything giflib reports of a file must be what our model holds.
void expectSameAsGiflib(const std::string& name, const Bytes& bytes, TGIFImage& image) {
    SCOPED_TRACE(name);
    const OracleImage oracle = GiflibRead(bytes);
    ASSERT_TRUE(oracle.Ok) << "giflib could not read it";
    EXPECT_EQ(image.Width(), oracle.Width);
    EXPECT_EQ(image.Height(), oracle.Height);
    EXPECT_EQ(colorsOf(image.GlobalColorMap()), oracle.GlobalColors);
    const auto frames = FramesWithPixels(image);
    ASSERT_EQ(frames.size(), oracle.Frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        TGIFSubImage& frame = *frames[i];
        const OracleFrame& expected = oracle.Frames[i];
        EXPECT_EQ(frame.Left(), expected.Left);
        EXPECT_EQ(frame.Top(), expected.Top);
        EXPECT_EQ(frame.Width(), expected.Width);
        EXPECT_EQ(frame.Height(), expected.Height);
        EXPECT_EQ(frame.Interlaced(), expected.Interlaced);
        EXPECT_EQ(colorsOf(frame.ColorMap()), expected.LocalColors);
        ASSERT_EQ(frame.DataSize(), int64_t(expected.Pixels.size()));
        EXPECT_TRUE(std::equal(expected.Pixels.begin(), expected.Pixels.end(), frame.Data()));
        EXPECT_EQ(frame.GraphicControlExtension() != nullptr, expected.HasControl);
        if (auto* control = frame.GraphicControlExtension()) {
            EXPECT_EQ(control->Disposal(), expected.Disposal);
            EXPECT_EQ(control->Delay(), expected.Delay);
            EXPECT_EQ(control->Transparent() ? control->TransparentColorIndex() : -1, expected.TransparentIndex);
        }
        EXPECT_EQ(commentsOf(frame), expected.Comments);
        EXPECT_EQ(loopsOf(frame), expected.Loops);
    }
    // Extensions after the last image form a frame of their own.
    std::vector<std::string> trailing;
    const int count = image.Images().Count();
    if (count > 0 && image.Images().Frames(count - 1)->Empty())
        trailing = commentsOf(*image.Images().Frames(count - 1));
    EXPECT_EQ(trailing, oracle.TrailingComments);
}

TEST_F(OutsideFiles, ReadAsGiflibReadsThem) {
    int versions87 = 0, versions89 = 0, interlaced = 0, local = 0, comments = 0, animated = 0;
    for (const auto& name : files_) {
        const Bytes bytes = ReadFileBytes(name);
        TGIFImage image;
        WarningLog warnings(image);
        ASSERT_NO_THROW(LoadImage(image, bytes)) << name;
        EXPECT_TRUE(warnings.Messages.empty()) << name << ": " << warnings.Joined();
        expectSameAsGiflib(name, bytes, image);
        (bytes[4] == '7' ? versions87 : versions89)++;
        for (auto* frame : FramesWithPixels(image)) {
            interlaced += frame->Interlaced();
            local += frame->ColorMap().Count() > 0;
        }
        for (int i = 0; i < image.Images().Count(); ++i)
            comments += !commentsOf(*image.Images().Frames(i)).empty();
        animated += FramesWithPixels(image).size() > 1;
    }
    // The set really covers what it is meant to cover.
    EXPECT_GT(versions87, 0);
    EXPECT_GT(versions89, 0);
    EXPECT_GT(interlaced, 0);
    EXPECT_GT(local, 0);
    EXPECT_GT(comments, 0);
    EXPECT_GT(animated, 0);
}

TEST_F(OutsideFiles, WrittenBackReadTheSameByGiflibWithBothEncoders) {
    for (TGIFCompression compression : {gcLZW, gcRLE}) {
        for (const auto& name : files_) {
            TGIFImage image;
            LoadImage(image, ReadFileBytes(name));
            image.SetCompression(compression);
            Bytes written;
            try {
                written = SaveImage(image);
            } catch (const GIFException& error) {
                // Only a file whose pixels use entries beyond its table may
                // refuse to be written.
                EXPECT_EQ(error.Message(), sColorNotInTable) << name;
                continue;
            }
            TGIFImage again;
            WarningLog warnings(again);
            LoadImage(again, written);
            EXPECT_TRUE(warnings.Messages.empty()) << name << ": " << warnings.Joined();
            // Frames with a local table lose their interlacing on writing;
            // the pixels are what must survive.
            const OracleImage oracle = GiflibRead(written);
            ASSERT_TRUE(oracle.Ok) << name;
            const auto frames = FramesWithPixels(image);
            ASSERT_EQ(frames.size(), oracle.Frames.size()) << name;
            for (size_t i = 0; i < frames.size(); ++i) {
                ASSERT_EQ(frames[i]->DataSize(), int64_t(oracle.Frames[i].Pixels.size())) << name;
                EXPECT_TRUE(std::equal(oracle.Frames[i].Pixels.begin(), oracle.Frames[i].Pixels.end(),
                                       frames[i]->Data()))
                    << name << " frame " << i << " compression " << int(compression);
            }
            expectSameAsGiflib(name + " (rewritten)", written, again);
        }
    }
}

// Every prefix of every file loads with an exception, with warnings, or
// silently with whole blocks of the file (a file may end without its
// trailer, so a cut between two blocks is not noticed), and never out of
// bounds (this suite also runs under the address and undefined-behaviour
// sanitizers).
TEST_F(OutsideFiles, EveryTruncatedPrefixIsNoticed) {
    for (const auto& name : files_) {
        const Bytes bytes = ReadFileBytes(name);
        // What the whole file holds.  A prefix may end just after the
        // trailer (bytes beyond it are ignored) and then holds it all too.
        TGIFImage whole;
        LoadImage(whole, bytes);
        for (size_t length = 0; length < bytes.size(); ++length) {
            TGIFImage image;
            WarningLog warnings(image);
            bool raised = false;
            try {
                TReadOnlyMemoryStream stream(bytes.data(), int64_t(length));
                image.LoadFromStream(stream);
            } catch (const GIFException&) {
                raised = true;
            }
            if (raised || !warnings.Messages.empty())
                continue;
            // Silent only when what was read is whole: the first frames of
            // the file, exactly.
            ASSERT_LE(image.Images().Count(), whole.Images().Count()) << name << " cut at " << length;
            for (int i = 0; i < image.Images().Count(); ++i) {
                TGIFSubImage* a = image.Images().Frames(i);
                TGIFSubImage* b = whole.Images().Frames(i);
                // A cut after a frame's extensions leaves them as a last
                // frame of extensions only, as a file may legally end.
                if (a->Empty() && i == image.Images().Count() - 1)
                    break;
                ASSERT_EQ(a->DataSize(), b->DataSize()) << name << " cut at " << length;
                ASSERT_TRUE(std::equal(a->Data(), a->Data() + a->DataSize(), b->Data()))
                    << name << " cut at " << length;
            }
        }
    }
}

// Random damage: overwritten bytes, dropped and repeated ranges.  Each
// load ends in an exception or completes; what completes can be written
// and read again.
TEST_F(OutsideFiles, CorruptedCopiesLoadSafely) {
    std::mt19937 random(20240601);
    int raised = 0, warned = 0;
    for (const auto& name : files_) {
        const Bytes original = ReadFileBytes(name);
        for (int round = 0; round < 40; ++round) {
            Bytes bytes = original;
            const int damage = 1 + int(random() % 6);
            for (int d = 0; d < damage && !bytes.empty(); ++d) {
                const size_t at = random() % bytes.size();
                switch (random() % 4) {
                case 0: bytes[at] = uint8_t(random()); break;
                case 1: bytes[at] ^= uint8_t(1u << (random() % 8)); break;
                case 2: bytes.erase(bytes.begin() + long(at), bytes.begin() + long(std::min(bytes.size(), at + 1 + random() % 16))); break;
                case 3: {
                    const size_t n = std::min<size_t>(bytes.size() - at, 1 + random() % 32);
                    Bytes copy(bytes.begin() + long(at), bytes.begin() + long(at + n));
                    bytes.insert(bytes.begin() + long(random() % bytes.size()), copy.begin(), copy.end());
                    break;
                }
                }
            }
            TGIFImage image;
            WarningLog warnings(image);
            try {
                LoadImage(image, bytes);
            } catch (const GIFException&) {
                ++raised;
                continue;
            }
            warned += !warnings.Messages.empty();
            // Damage to a size field can make frames of millions of
            // pixels; writing those again would only measure the encoder.
            int64_t pixels = 0;
            for (int i = 0; i < image.Images().Count(); ++i)
                pixels += image.Images().Frames(i)->DataSize();
            if (image.Empty() || pixels > (int64_t(1) << 20))
                continue;
            try {
                const Bytes written = SaveImage(image);
                TGIFImage again;
                LoadImage(again, written);
                EXPECT_EQ(again.Images().Count(), image.Images().Count()) << name;
            } catch (const GIFException& error) {
                EXPECT_EQ(error.Message(), sColorNotInTable) << name;
            }
        }
    }
    EXPECT_GT(raised, 0);
    EXPECT_GT(warned, 0);
}

} // namespace
