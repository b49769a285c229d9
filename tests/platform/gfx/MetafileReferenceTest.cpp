// The corpus of real metafiles against their reference drawings: every
// file that has a reference (tests/platform/gfx/data/metafile-references.txt,
// written by scripts/metafile-references) is read by name, is as large as
// its reference says, draws something where the reference does, is no
// solid box where the reference is not, and its thumbnail lies near the
// reference's.  The references come from another program's metafile
// import and from drawings a Windows machine made; where one of them is
// known not to show what the file's own system draws, the file is listed
// below with the reason and only has to draw.

#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/platform/gfx/MetafileCorpus.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

struct TReference {
    int Width = 0, Height = 0;
    TThumbnail Thumbnail{};
};

std::map<std::string, TReference> references() {
    std::map<std::string, TReference> result;
    std::ifstream in(std::string(ONDRILL_SOURCE_DIR) + "/tests/platform/gfx/data/metafile-references.txt");
    std::string name, hex;
    TReference reference;
    while (in >> name >> reference.Width >> reference.Height >> hex) {
        for (size_t i = 0; i < reference.Thumbnail.size() && 2 * i + 1 < hex.size(); ++i)
            reference.Thumbnail[i] = uint8_t(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
        result[name] = reference;
    }
    return result;
}

// References that do not show what the file's system draws.
const std::map<std::string, const char*> kReferenceFaults = {
    // The reference fills the figures these clip-art files outline with a
    // null brush (CreateBrushIndirect of BS_NULL): one box over the picture.
    {"test-007.emf", "fills with a null brush"},
    {"test-008.emf", "fills with a null brush"},
    {"test-009.emf", "fills with a null brush"},
    {"test-010.emf", "fills with a null brush"},
    {"test-012.emf", "fills with a null brush"},
    // The reference scales or places these plots otherwise than the bounds
    // their maker recorded in the header say (the background that an
    // opaque ExtTextOut lays in the background colour, black, is left out;
    // lines drawn in isotropic mapping are missing or moved).
    {"test-171.emf", "leaves out the black background and misscales"},
    {"test-173.emf", "leaves out what is drawn in isotropic mapping"},
    {"test-178.emf", "draws the picture 111 pixels higher than its recorded bounds"},
    // Drawn by the imaging library's Windows loader, which converts the file
    // without its picture size: the drawing stretched to what it draws, not
    // its header's frame at 72 pixels to the inch.
    {"drawing.wmf", "drawn to its drawing's extent, not its frame"},
};

// Files the libraries refuse where the reference draws.
const std::map<std::string, const char*> kRefused = {
    // Its region record (CreateRegion) is two bytes shorter than the
    // format's region; libwmf's player stops there.
    {"test_libuemf_ref.wmf", "a region record shorter than the format's"},
};

// How far a thumbnail may lie from the reference's (mean of 256 greys,
// 0 to 255): thin lines drawn a pixel wide (as a screen draws them) where
// the reference draws them thinner, and other faces for missing fonts,
// stay within it.
constexpr double kLargestDifference = 30;
constexpr double kLargestMedian = 4;

// Whether the reference's size is the file's: a placeable Windows
// metafile's frame, or an enhanced metafile's whose reference device has
// 96 pixels to the inch (the reference program takes the device's pixels
// for its own, where the picture is its frame at 96 to the inch).
bool sizedAlike(const std::string& bytes) {
    if (bytes.size() >= 4 && LoadLittleEndian<uint32_t>(bytes.data()) == 0x9AC6CDD7)
        return true;
    if (bytes.size() < 88 || LoadLittleEndian<uint32_t>(bytes.data()) != 1)
        return false;
    const double perInch = LoadLittleEndian<int32_t>(bytes.data() + 72) * 25.4 /
                           std::max(1, LoadLittleEndian<int32_t>(bytes.data() + 80));
    return std::abs(perInch - 96) < 2;
}

TEST(RealMetafileDrawings, AgreeWithTheirReferencesAcrossTheCorpus) {
    const std::vector<TCorpusMetafile> corpus = MetafileCorpus();
    if (corpus.empty())
        GTEST_SKIP() << "no outside metafiles (see scripts/fetch-outside-data)";
    const std::map<std::string, TReference> all = references();
    ASSERT_GT(all.size(), 200u);
    std::vector<double> differences;
    for (const TCorpusMetafile& file : corpus) {
        const auto found = all.find(file.Name);
        if (found == all.end())
            continue;
        SCOPED_TRACE(file.Name);
        const TReference& reference = found->second;
        std::ifstream in(file.Path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        TPicture picture;
        try {
            picture.LoadFromFile(file.Path);
        } catch (const EInvalidGraphic& e) {
            EXPECT_TRUE(kRefused.count(file.Name)) << e.what();
            continue;
        }
        EXPECT_FALSE(kRefused.count(file.Name)) << "read now: take it off the list";
        // As large as the reference (a Windows metafile without a placeable
        // header says nothing of its size unless it maps a window).  The
        // imaging library's drawings are not at the picture's size.
        if (sizedAlike(bytes) && file.Name.rfind("drawing.", 0) != 0) {
            EXPECT_NEAR(picture.Width(), reference.Width, 1);
            EXPECT_NEAR(picture.Height(), reference.Height, 1);
        }
        const TThumbnail ours = GreyThumbnail(DrawnOnWhite(*picture.Graphic(), reference.Width, reference.Height));
        if (InkOf(reference.Thumbnail) > 0) {
            EXPECT_GT(InkOf(ours), 0) << "draws nothing where the reference draws";
        }
        const auto [lightest, darkest] = std::minmax_element(ours.begin(), ours.end());
        const auto [referenceLightest, referenceDarkest] =
            std::minmax_element(reference.Thumbnail.begin(), reference.Thumbnail.end());
        if (*referenceDarkest - *referenceLightest > 40) {
            EXPECT_GT(*darkest - *lightest, 8) << "a solid box where the reference is not";
        }
        const double difference = ThumbnailDifference(ours, reference.Thumbnail);
        if (kReferenceFaults.count(file.Name))
            continue;
        EXPECT_LE(difference, kLargestDifference);
        differences.push_back(difference);
    }
    ASSERT_GT(differences.size(), 190u);
    std::nth_element(differences.begin(), differences.begin() + ptrdiff_t(differences.size() / 2), differences.end());
    EXPECT_LE(differences[differences.size() / 2], kLargestMedian);
}

} // namespace
