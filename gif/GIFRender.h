#pragma once
// What frames look like, as 32-bit pixels: a frame's own picture, and the
// composite a viewer shows after each frame of an animation (disposal
// methods applied).  Pixels are 0xAARRGGBB; alpha 0 marks a pixel nothing
// was drawn on (transparent, or the background), 0xFF one that was.  A pure
// unit: gif/render copies the results into bitmaps.

#include "gif/GIFColorMap.h"
#include "gif/GIFExtensions.h"

#include <cstdint>
#include <vector>

class TGIFImage;
class TGIFSubImage;

inline constexpr uint32_t GIFOpaqueBlack = 0xFF000000u;

// The largest logical screen (in pixels) composites are made for: 8192 x
// 8192, 256 MB of 32-bit pixels.  A header may claim 65535 x 65535 around
// a few small frames; such a picture is drawn as its first frame only.
inline constexpr int64_t GIFMaxCompositePixels = int64_t(1) << 26;

inline uint32_t GIFPixelOf(const TGIFColor& color) {
    return 0xFF000000u | (uint32_t(color.Red) << 16) | (uint32_t(color.Green) << 8) | color.Blue;
}

// The entries of a colour table as a palette.
TGIFPalette PaletteOf(const TGIFColorMap& table);
// The colours a frame draws with: its local table, else the image's global
// table, else the 20 colours of the system palette (a GIF may legally
// carry no colour table at all).
TGIFPalette FramePalette(const TGIFSubImage& frame);

// The frame's disposal method as drawn: reserved values 4-7 count as 0.
TGIFDisposal FrameDisposal(const TGIFSubImage& frame);

// The frame's 256 possible pixel values as 32-bit pixels: the palette
// colour, black for an index beyond the palette, and (when `transparent`)
// alpha 0 for the frame's transparent index.
void FrameColorTable(const TGIFSubImage& frame, bool transparent, uint32_t table[256]);

// The frame's own picture, Width x Height pixels.  `dithered` renders it
// through the 216-colour cube with Floyd-Steinberg error diffusion, as
// for a display of 256 colours.
std::vector<uint32_t> RenderGIFFrame(const TGIFSubImage& frame, bool transparent, bool dithered = false);

// Shows the frames of an image one after the other on a logical screen,
// as a viewer does: before each frame the one before it is disposed of
// (restore to background clears its rectangle, restore to previous puts
// back what was under it), then the frame is drawn over what is there.
class TGIFCompositor {
public:
    // `transparent` false draws every frame as an opaque rectangle.
    TGIFCompositor(const TGIFImage& image, bool transparent = true, bool dithered = false);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Width x Height pixels, rows top down.
    const std::vector<uint32_t>& Pixels() const { return pixels_; }

    // Disposes of the frame shown last and draws frame `index` (frames
    // without pixels draw nothing).  Shown in order from 0 this gives what a
    // viewer shows; any order is allowed.
    void Show(int index);
    // Back to the empty screen, nothing shown.
    void Reset();
    // The frame shown last, or -1.
    int Current() const { return current_; }

private:
    void disposeCurrent();

    const TGIFImage& image_;
    bool transparent_;
    bool dithered_;
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
    int current_ = -1;
    // What lay under the current frame's rectangle, kept when it restores
    // to the previous picture.
    std::vector<uint32_t> saved_;
};
