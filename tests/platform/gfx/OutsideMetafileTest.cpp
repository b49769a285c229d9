// Real metafiles, which scripts/fetch-outside-data unpacks from the source
// packages of the two metafile libraries: the Windows metafiles of libwmf's
// examples and the enhanced metafiles of libemf2svg's tests (from many
// programs) load through the picture holder by file name, as the image
// dialog loads them, as large as their header's frame says, and draw
// something in time; libemf2svg's damaged files, and cut and bit-flipped
// copies of every file, are refused with the picture's message or read,
// never crash (the sanitizer build watches) and never hang.  The files
// are shared out among a few cases that run side by side.

#include "platform/base/Stream.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/Picture.h"
#include "platform/gfx/QtBridge.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/support/OutsideData.h"


#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

namespace {

constexpr int kShards = 6;
constexpr auto kTimeBound = std::chrono::seconds(3);

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(OutsideDataPath(folder), error))
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

const std::vector<std::string>& goodFiles() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> all = filesIn("/src/libwmf/examples");
        for (const std::string& file : filesIn("/src/libemf2svg/emf"))
            all.push_back(file);
        return all;
    }();
    return files;
}

std::vector<std::string> shard(const std::vector<std::string>& files, int index) {
    std::vector<std::string> part;
    for (size_t i = size_t(index); i < files.size(); i += kShards)
        part.push_back(files[i]);
    return part;
}

std::string bytesOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool enhanced(const std::string& bytes) {
    return bytes.size() >= 88 && LoadLittleEndian<uint32_t>(bytes.data()) == 1 &&
           LoadLittleEndian<uint32_t>(bytes.data() + 40) == 0x464D4520;
}

// The size the header's frame gives in pixels, 96 to the inch: a placeable
// Windows metafile's in its units to the inch, an enhanced metafile's in
// hundredths of a millimetre; none for a Windows metafile without one.
std::optional<std::pair<double, double>> frameOf(const std::string& bytes) {
    const auto at = [&](size_t offset) { return LoadLittleEndian<int32_t>(bytes.data() + offset); };
    if (enhanced(bytes))
        return std::pair{(at(32) - at(24)) * 96 / 2540.0, (at(36) - at(28)) * 96 / 2540.0};
    if (LoadLittleEndian<uint32_t>(bytes.data()) != 0x9AC6CDD7)
        return std::nullopt;
    const auto word = [&](size_t offset) { return LoadLittleEndian<int16_t>(bytes.data() + offset); };
    const double inch = LoadLittleEndian<uint16_t>(bytes.data() + 14);
    return std::pair{std::abs(word(10) - word(6)) * 96 / inch, std::abs(word(12) - word(8)) * 96 / inch};
}

// What the file may draw nothing for: an enhanced metafile whose header
// says it draws nothing (empty bounds), or whose drawing is all in EMF+
// records (in comments), which libemf2svg 1.1.0 draws only some of.
bool mayDrawNothing(const std::string& bytes) {
    if (!enhanced(bytes))
        return false;
    if (LoadLittleEndian<int32_t>(bytes.data() + 16) < LoadLittleEndian<int32_t>(bytes.data() + 8))
        return true;
    constexpr uint32_t kHeader = 1, kEnd = 14, kComment = 70;
    for (size_t at = LoadLittleEndian<uint32_t>(bytes.data() + 4); at + 8 <= bytes.size();) {
        const uint32_t type = LoadLittleEndian<uint32_t>(bytes.data() + at);
        const uint32_t size = LoadLittleEndian<uint32_t>(bytes.data() + at + 4);
        if (type != kHeader && type != kEnd && type != kComment)
            return false;
        if (size < 8)
            break;
        at += size;
    }
    return true;
}

// Drawn no larger than a thumbnail, on white and on black: something is
// drawn where either differs from its background.
bool drawsSomething(TGraphic& graphic) {
    const double scale = std::min(1.0, 160.0 / std::max(graphic.Width(), graphic.Height()));
    const int width = std::max(1, int(graphic.Width() * scale)), height = std::max(1, int(graphic.Height() * scale));
    for (TColor background : {clWhite, clBlack}) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(pf32bit);
        bitmap.SetSize(width, height);
        bitmap.Canvas().FillRect(Rect(0, 0, width, height), background);
        graphic.Draw(bitmap.Canvas(), Rect(0, 0, width, height));
        bitmap.Canvas().Release();
        const uint32_t expected = background == clWhite ? 0xFFFFFF : 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((reinterpret_cast<const uint32_t*>(bitmap.ScanLine(y))[x] & 0xFFFFFF) != expected)
                    return true;
    }
    return false;
}

// Fonts held as the toolkit holds those it has matched while it runs: a
// library that tears the font configuration down under it ends the
// program here, as it would end the editor.
class TFontsHeld {
public:
    TFontsHeld() {
        FcPattern* any = FcPatternCreate();
        FcConfigSubstitute(nullptr, any, FcMatchPattern);
        FcDefaultSubstitute(any);
        FcResult result;
        fonts_ = FcFontSort(nullptr, any, FcFalse, nullptr, &result);
        FcPatternDestroy(any);
    }
    ~TFontsHeld() {
        if (fonts_)
            FcFontSetDestroy(fonts_);
    }
    TFontsHeld(const TFontsHeld&) = delete;
    TFontsHeld& operator=(const TFontsHeld&) = delete;

private:
    FcFontSet* fonts_;
};

class RealMetafiles : public testing::TestWithParam<int> {};

TEST_P(RealMetafiles, LoadByNameAtTheirFramesSizeAndDrawInTime) {
    if (goodFiles().empty())
        GTEST_SKIP() << "no outside metafiles (see scripts/fetch-outside-data)";
    const TFontsHeld fonts;
    for (const std::string& file : shard(goodFiles(), GetParam())) {
        SCOPED_TRACE(file);
        const std::string bytes = bytesOf(file);
        // How long the loading and drawing take is measured by
        // platform_metafile_bench, not here.
        TPicture picture;
        picture.LoadFromFile(file);
        auto* metafile = dynamic_cast<TMetafile*>(picture.Graphic());
        ASSERT_NE(metafile, nullptr);
        EXPECT_EQ(metafile->Enhanced(), enhanced(bytes));
        ASSERT_GT(picture.Width(), 0);
        ASSERT_GT(picture.Height(), 0);
        if (const auto frame = frameOf(bytes)) {
            EXPECT_NEAR(picture.Width(), frame->first, 1);
            EXPECT_NEAR(picture.Height(), frame->second, 1);
        }
        if (!mayDrawNothing(bytes)) {
            EXPECT_TRUE(drawsSomething(*metafile));
        }
    }
}

// Loaded from memory: either refused with the one message, the metafile
// left empty, or read, sized and drawn; in time either way.
void expectRefusedOrRead(const std::string& bytes) {
    const auto start = std::chrono::steady_clock::now();
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    stream.SetPosition(0);
    TMetafile metafile;
    try {
        metafile.LoadFromStream(stream);
        EXPECT_GT(metafile.Width(), 0);
        EXPECT_GT(metafile.Height(), 0);
        drawsSomething(metafile);
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Metafile is not valid");
        EXPECT_TRUE(metafile.Empty());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, kTimeBound);
}

TEST_P(RealMetafiles, DamagedOnesAreRefusedOrReadAndNeverCrash) {
    const std::vector<std::string> damaged = filesIn("/src/libemf2svg/emf-corrupted");
    if (goodFiles().empty() || damaged.empty())
        GTEST_SKIP() << "no outside metafiles (see scripts/fetch-outside-data)";
    const TFontsHeld fonts;
    for (const std::string& file : shard(damaged, GetParam())) {
        SCOPED_TRACE(file);
        // Through the picture holder, as the image dialog loads them.
        const auto start = std::chrono::steady_clock::now();
        TPicture picture;
        try {
            picture.LoadFromFile(file);
            EXPECT_GT(picture.Width(), 0);
            EXPECT_GT(picture.Height(), 0);
            drawsSomething(*picture.Graphic());
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "Metafile is not valid");
            EXPECT_EQ(picture.Graphic(), nullptr);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, kTimeBound);
    }
    // Cut short or with a few bits flipped, each file twice.
    std::mt19937 random(uint32_t(1000 + GetParam()));
    for (const std::string& file : shard(goodFiles(), GetParam())) {
        SCOPED_TRACE(file);
        const std::string bytes = bytesOf(file);
        std::string cut = bytes.substr(0, random() % bytes.size());
        expectRefusedOrRead(cut);
        std::string flipped = bytes;
        for (int flips = 1 + int(random() % 4); flips > 0; --flips)
            flipped[random() % flipped.size()] ^= char(1 << random() % 8);
        expectRefusedOrRead(flipped);
    }
}

INSTANTIATE_TEST_SUITE_P(Shard, RealMetafiles, testing::Range(0, kShards));

} // namespace
