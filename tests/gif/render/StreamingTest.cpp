// GIF pictures streamed with a form: an image control whose picture is an
// animated GIF is written with WriteComponent and read back into another
// form, as it is or, with OptimizeWhenStreaming, optimised with every
// option first.

#include "GIFTestSupport.h"

#include "gif/GIFRender.h"
#include "gif/render/GIFRegistration.h"
#include "platform/base/ComponentStream.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/StandardControls.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class TPictureForm : public TWinControl {
public:
    explicit TPictureForm(TComponent* owner = nullptr) : TWinControl(owner) {}
    std::string ClassName() const override { return "TPictureForm"; }
};

TImage* addImage(TPictureForm& form) {
    auto* image = new TImage(&form);
    image->SetName("Image1");
    image->SetParent(&form);
    return image;
}

// What the animation shows after each of its frames.
std::vector<std::vector<uint32_t>> shownFrames(const TGIFImage& image) {
    std::vector<std::vector<uint32_t>> shown;
    TGIFCompositor compositor(image);
    for (int i = 0; i < image.Images().Count(); ++i) {
        compositor.Show(i);
        shown.push_back(compositor.Pixels());
    }
    return shown;
}

class GIFStreaming : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterGIFImage();
        RegisterStandardControlClasses();
    }
    void TearDown() override { OptimizeWhenStreaming = false; }

    // Writes a form holding the animation (into `written`) and reads it
    // into another one; returns the GIF read.
    Bytes roundTrip(const Bytes& animation, std::unique_ptr<TPictureForm>& copy, Bytes* written = nullptr) {
        TPictureForm form;
        auto gif = std::make_unique<TGIFImage>();
        LoadImage(*gif, animation);
        addImage(form)->Picture().SetGraphic(std::move(gif));
        TMemoryStream stream;
        WriteComponent(stream, form);
        if (written)
            *written = Bytes(stream.Memory(), stream.Memory() + stream.Size());
        stream.SetPosition(0);
        copy = std::make_unique<TPictureForm>();
        ReadComponent(stream, *copy);
        auto* image = dynamic_cast<TImage*>(copy->FindComponent("Image1"));
        if (!image)
            return {};
        auto* read = dynamic_cast<TGIFImage*>(image->Picture().Graphic());
        return read ? SaveImage(*read) : Bytes{};
    }
};

TEST_F(GIFStreaming, AnAnimatedPictureComesBackAsItWasWritten) {
    for (uint32_t seed : {2u, 5u, 9u}) {
        SCOPED_TRACE(seed);
        const Bytes animation = RandomAnimation(seed, {1, 2, 1, 3});
        TGIFImage original;
        LoadImage(original, animation);
        std::unique_ptr<TPictureForm> copy;
        const Bytes read = roundTrip(animation, copy);
        ASSERT_FALSE(read.empty()) << "the picture was streamed";
        EXPECT_EQ(read, SaveImage(original));
        auto* image = dynamic_cast<TImage*>(copy->FindComponent("Image1"));
        EXPECT_EQ(image->Picture().Width(), original.Width());
    }
}

TEST_F(GIFStreaming, OptimizeWhenStreamingOptimisesWithEveryOption) {
    // Frames that repeat parts of the ones before and carry comments: the
    // optimiser has something to take away.
    for (uint32_t seed : {2u, 5u, 9u}) {
        SCOPED_TRACE(seed);
        const Bytes animation = RandomAnimation(seed, {1, 1, 1, 1});
        TGIFImage expected;
        LoadImage(expected, animation);
        expected.Optimize(ooCrop | ooMerge | ooCleanup | ooColorMap | ooReduceColors, gcrNone);
        const Bytes optimised = SaveImage(expected);

        OptimizeWhenStreaming = true;
        std::unique_ptr<TPictureForm> copy;
        Bytes written;
        const Bytes read = roundTrip(animation, copy, &written);
        OptimizeWhenStreaming = false;
        ASSERT_FALSE(read.empty());
        EXPECT_NE(std::search(written.begin(), written.end(), optimised.begin(), optimised.end()), written.end())
            << "the form holds the optimised file";
        // Read back, it is that file (whose sorted-table flag a reader
        // does not keep).
        TGIFImage reloaded;
        LoadImage(reloaded, optimised);
        EXPECT_EQ(read, SaveImage(reloaded));
        TGIFImage original;
        LoadImage(original, animation);
        EXPECT_NE(read, SaveImage(original)) << "optimising changed what was written";
        // The animation shows the same after every frame.
        TGIFImage back;
        LoadImage(back, read);
        const auto shownBack = shownFrames(back), shownOriginal = shownFrames(original);
        ASSERT_EQ(shownBack.size(), shownOriginal.size());
        for (size_t frame = 0; frame < shownBack.size(); ++frame)
            EXPECT_EQ(shownBack[frame], shownOriginal[frame]) << "frame " << frame;
    }
}

} // namespace
