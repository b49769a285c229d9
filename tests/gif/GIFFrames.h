#pragma once
// Frames for the GIF suites, the codec benchmark and the fuzz target: a new
// frame added to an image, and the frames of an image that hold pixels (a
// frame may be a lone group of extensions).

#include "gif/GIFImage.h"

#include <vector>

// A new, empty frame made for the image and added to its list, which owns
// it.
inline TGIFSubImage* AddFrame(TGIFImage& image) {
    auto* frame = new TGIFSubImage(&image);
    image.Add(frame);
    return frame;
}

inline std::vector<TGIFSubImage*> FramesWithPixels(TGIFImage& image) {
    std::vector<TGIFSubImage*> frames;
    for (int i = 0; i < image.Images().Count(); ++i)
        if (!image.Images().Frames(i)->Empty())
            frames.push_back(image.Images().Frames(i));
    return frames;
}
