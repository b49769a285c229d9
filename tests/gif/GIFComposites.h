#pragma once
// What an animation shows, for the GIF suites and the fuzz target: the
// composite after each frame that holds pixels, and how long each distinct
// picture stays on screen, with the loop count.

#include "gif/GIFImage.h"
#include "gif/GIFRender.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

// Frames of extensions only are never shown.
inline std::vector<std::vector<uint32_t>> Composites(const TGIFImage& image) {
    TGIFCompositor compositor(image);
    std::vector<std::vector<uint32_t>> shown;
    for (int i = 0; i < image.Images().Count(); ++i) {
        if (image.Images().Frames(i)->Empty())
            continue;
        compositor.Show(i);
        shown.push_back(compositor.Pixels());
    }
    return shown;
}

// The delay each shown frame stays for, and the loop count, as a viewer
// follows them.
struct TShownTiming {
    std::vector<int> Delays;
    int Loops = -1;
};

inline TShownTiming ShownTiming(const TGIFImage& image) {
    TShownTiming timing;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& frame = *image.Images().Frames(i);
        for (int k = 0; k < frame.Extensions().Count(); ++k)
            if (auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(frame.Extensions().Extensions(k)))
                if (timing.Loops < 0 && loop->HasLoopCount)
                    timing.Loops = loop->Loops;
        if (frame.Empty())
            continue;
        const int delay = frame.GraphicControlExtension() ? frame.GraphicControlExtension()->Delay() : 0;
        timing.Delays.push_back(delay == 0 ? GIFFallbackDelay : std::max(delay, GIFDelayFloor));
    }
    return timing;
}

// Each distinct picture in turn with the time it stays: frames that add
// nothing to the picture before them add their time to it.
inline std::vector<std::pair<std::vector<uint32_t>, int>> ScreenTimes(const TGIFImage& image) {
    const auto shown = Composites(image);
    const TShownTiming timing = ShownTiming(image);
    std::vector<std::pair<std::vector<uint32_t>, int>> times;
    for (size_t k = 0; k < shown.size(); ++k) {
        if (!times.empty() && times.back().first == shown[k])
            times.back().second += timing.Delays[k];
        else
            times.emplace_back(shown[k], timing.Delays[k]);
    }
    return times;
}
