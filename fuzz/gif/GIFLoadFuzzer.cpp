// Fuzz entry point: loading a GIF from arbitrary bytes.  Loading must end
// in a GIFException or an image; an image that loads is written with both
// encoders and read again, and its frames must come back with the same
// pixels.

#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "tests/gif/GIFFrames.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Writing what loaded exercises the encoders; huge frames would only slow
// the fuzzer down.
constexpr int64_t kLargestRewrite = int64_t(1) << 20;

void checkRewrite(TGIFImage& image, TGIFCompression compression) {
    image.SetCompression(compression);
    TMemoryStream written;
    try {
        image.SaveToStream(written);
    } catch (const GIFException&) {
        return; // pixels beyond their colour table cannot be written
    }
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
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
    checkRewrite(image, gcLZW);
    checkRewrite(image, gcRLE);
    return 0;
}
