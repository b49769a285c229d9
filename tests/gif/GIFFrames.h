#pragma once
// The frames of an image that hold pixels, for the GIF suites and the fuzz
// target (a frame may be a lone group of extensions).

#include "gif/GIFImage.h"

#include <vector>

inline std::vector<TGIFSubImage*> FramesWithPixels(TGIFImage& image) {
    std::vector<TGIFSubImage*> frames;
    for (int i = 0; i < image.Images().Count(); ++i)
        if (!image.Images().Frames(i)->Empty())
            frames.push_back(image.Images().Frames(i));
    return frames;
}
