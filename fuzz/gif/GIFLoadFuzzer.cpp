// Fuzz entry point: loading a GIF from arbitrary bytes.  Loading must end
// in a GIFException or an image; an image that loads is drawn (every frame
// onto a bitmap, opaque, transparent, stretched and tiled, and the
// composite after each frame, dithered too), written with both encoders
// and read again with the same pixels and pictures, and optimised, after which every
// picture it shows must stay as it was for as long.

#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/render/GIFDraw.h"
#include "gif/render/GIFRegistration.h"
#include "tests/gif/GIFComposites.h"
#include "tests/gif/GIFFrames.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Writing what loaded exercises the encoders; huge frames would only slow
// the fuzzer down.
constexpr int64_t kLargestRewrite = int64_t(1) << 20;
constexpr int64_t kLargestDrawing = int64_t(1) << 16;

void checkRewrite(TGIFImage& image, TGIFCompression compression) {
    image.SetCompression(compression);
    // Every file that loads can be written back, pixels beyond their
    // colour table too.
    TMemoryStream written;
    image.SaveToStream(written);
    written.SetPosition(0);
    TGIFImage again;
    again.LoadFromStream(written); // what we wrote must read without error
    const auto before = FramesWithPixels(image);
    const auto after = FramesWithPixels(again);
    if (before.size() != after.size())
        __builtin_trap();
    for (size_t i = 0; i < before.size(); ++i)
        if (before[i]->DataSize() != after[i]->DataSize() ||
            std::memcmp(before[i]->Data(), after[i]->Data(), size_t(before[i]->DataSize())) != 0)
            __builtin_trap();
    // And it shows the same.
    if (int64_t(image.Width()) * image.Height() * image.Images().Count() <= kLargestRewrite &&
        Composites(image) != Composites(again))
        __builtin_trap();
}

void draw(TGIFImage& image) {
    TBitmap target(40, 30);
    for (int i = 0; i < image.Images().Count(); ++i) {
        TGIFSubImage& frame = *image.Images().Frames(i);
        DrawGIFFrame(frame, target.Canvas(), Rect(0, 0, 40, 30), true, false);
        DrawGIFFrame(frame, target.Canvas(), Rect(3, 2, 17, 9), false, true);
    }
    // Still pictures draw straight away; animations start no painter here.
    image.DrawOptions = gdTransparent | gdTile;
    image.Draw(target.Canvas(), Rect(1, 1, 39, 29));
    TGIFCompositor dithered(image, true, true);
    for (int i = 0; i < image.Images().Count(); ++i)
        dithered.Show(i);
}

void checkOptimize(TGIFImage& image) {
    const auto before = ScreenTimes(image);
    const int loops = ShownTiming(image).Loops;
    image.Optimize(ooCrop | ooMerge | ooCleanup | ooColorMap);
    // Times and the loop count matter only while there is something to
    // animate.
    const auto after = ScreenTimes(image);
    if (after.size() != before.size())
        __builtin_trap();
    for (size_t i = 0; i < after.size(); ++i)
        if (after[i].first != before[i].first || (before.size() > 1 && after[i].second != before[i].second))
            __builtin_trap();
    if (before.size() > 1 && ShownTiming(image).Loops != loops)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegisterGIFImage();
    TGIFImage image;
    TReadOnlyMemoryStream stream(data, int64_t(size));
    try {
        image.LoadFromStream(stream);
    } catch (const GIFException&) {
        return 0;
    }
    int64_t pixels = 0;
    for (TGIFSubImage* frame : FramesWithPixels(image))
        pixels += frame->DataSize();
    if (pixels == 0 || pixels > kLargestRewrite)
        return 0;
    // Drawing goes through Qt's painter, which is slow on large pictures.
    if (pixels <= kLargestDrawing && int64_t(image.Width()) * image.Height() <= kLargestDrawing)
        draw(image);
    checkRewrite(image, gcLZW);
    checkRewrite(image, gcRLE);
    if (image.Width() * int64_t(image.Height()) * image.Images().Count() <= kLargestRewrite)
        checkOptimize(image);
    return 0;
}
