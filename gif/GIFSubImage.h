#pragma once
// One frame of a GIF image: its image descriptor, optional local colour
// table, extension blocks and pixels (one colour index per byte, rows top
// to bottom).

#include "gif/GIFColorMap.h"
#include "gif/GIFExtensions.h"
#include "gif/GIFItem.h"
#include "gif/GIFRoutines.h"
#include "platform/gfx/Geometry.h"

#include <cstdint>
#include <memory>

// Whatever the drawing side made of a frame (its rendered bitmap and mask).
// The frame owns it and drops it whenever its look changes.
class TGIFRenderCache {
public:
    virtual ~TGIFRenderCache() = default;
};

// Largest number of pixels one frame may hold (16384 x 16384).  A GIF
// descriptor allows 65535 x 65535, which no real picture uses; a file that
// claims more is refused before anything is allocated.
inline constexpr int64_t GIFMaxFramePixels = int64_t(1) << 28;

class TGIFSubImage : public TGIFItem {
public:
    explicit TGIFSubImage(TGIFImage* image);
    // Takes the frame out of its image's frame list.
    ~TGIFSubImage() override;

    // Empties extensions, local table and pixels; the size becomes 0 x 0.
    void Clear();
    // No pixels to show: no buffer, or no width or height.
    bool Empty() const;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    // A change of width or height replaces the pixels by a zero-filled
    // buffer of the new size.  The logical screen grows to hold the frame,
    // with warnings when it had a size before.  Raises "Frame lies beyond
    // the largest logical screen" when left + width or top + height passes
    // 65535, and "Image dimensions too large" above GIFMaxFramePixels.
    void SetBounds(int left, int top, int width, int height);

    // The frame's place on the logical screen, and that place mapped onto
    // `destination` as the whole screen is stretched into it, each edge
    // rounded to the nearest pixel.
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    TRect ScaleRect(const TRect& destination) const;

    bool Interlaced() const { return (packed_ & 0x40) != 0; }
    // Frames without a local table are written with this flag as set;
    // frames with one are always written row by row.
    void SetInterlaced(bool interlaced);
    uint8_t Packed() const { return packed_; }

    // 2 when the frame needs "89a": it holds an extension or a sorted table.
    int Version() const override;

    TGIFLocalColorMap& ColorMap() { return colorMap_; }
    const TGIFLocalColorMap& ColorMap() const { return colorMap_; }
    // The local table when it has entries, else the image's global table
    // when that has entries, else the (empty) local table.
    TGIFColorMap& ActiveColorMap();
    int BitsPerPixel() const { return colorMap_.BitsPerPixel(); }
    int ColorResolution() const { return BitsPerPixel() - 1; }

    TGIFExtensionList& Extensions() { return extensions_; }
    const TGIFExtensionList& Extensions() const { return extensions_; }
    // The frame's graphic control extension (the first one made for it).
    TGIFGraphicControlExtension* GraphicControlExtension() const { return graphicControl_; }
    // Decided by the frame's graphic control extension alone.
    bool Transparent() const { return graphicControl_ && graphicControl_->Transparent(); }

    // Raises "Invalid pixel coordinates" outside the frame.
    uint8_t Pixels(int x, int y) const;
    void SetPixel(int x, int y, uint8_t value);
    // Row y; allocates the buffer when missing.  Raises "Invalid pixel
    // coordinates" outside the frame and "Image is empty" for a frame
    // without width.  Taking a row to write counts as a change of the
    // pixels (see Changed).
    uint8_t* Scanline(int y);
    // The whole buffer (nullptr when there is none) and its size in bytes.
    // A buffer always holds width x height pixels: every change of the size
    // replaces it.  Taking it to write counts as a change of the pixels.
    uint8_t* Data() {
        Changed();
        return pixels_.get();
    }
    const uint8_t* Data() const { return pixels_.get(); }
    int64_t DataSize() const { return pixels_ ? int64_t(width_) * height_ : 0; }
    // The highest pixel value plus one (0 without pixels): how many entries
    // the table the frame is written with must have.  A file may carry
    // values beyond its table, which draw black; the table is written
    // grown with black entries so that every frame that loads can be
    // written back and shows the same.
    int ColorsUsed() const;

    // Copies descriptor, pixels, local table and extensions of another
    // frame; nullptr clears.  Pictures (bitmaps, other graphics, a picture
    // holder) are imported by the drawing side (gif/render), reduced to 256
    // colours where they hold more.
    void Assign(const TPersistent* source) override;

    // Called after anything that changes how the frame looks (pixels,
    // size, colours, transparency): drops what was rendered of it and tells
    // the image.
    void Changed();
    // Counts the changes, so that what was made from the frame can tell
    // whether it is still current.
    uint64_t ChangeCount() const { return changeCount_; }
    TGIFRenderCache* RenderCache() const { return renderCache_.get(); }
    void SetRenderCache(std::unique_ptr<TGIFRenderCache> cache) { renderCache_ = std::move(cache); }

    // Extensions, then (unless empty) descriptor, local table and pixel
    // data, compressed as the image's Compression says.  An empty frame
    // with frames after it leaves its graphic controls out (see the
    // definition).
    void SaveToStream(TStream& stream) override;
    // Extensions, then the image when an image separator follows them.
    void LoadFromStream(TStream& stream) override;

    std::string ClassName() const override { return "TGIFSubImage"; }

private:
    friend class TGIFGraphicControlExtension;
    void setGraphicControlExtension(TGIFGraphicControlExtension* extension) { graphicControl_ = extension; }
    // A buffer of width x height pixels, every one set to fill.
    void allocatePixels(uint8_t fill);
    void checkCoordinates(int x, int y) const;
    // Another frame of the image comes after this one.
    bool followedByAFrame() const;
    void decodePixels(TStream& stream);
    void encodePixels(TStream& stream, int colorsUsed);
    TGIFWarningSink warningSink();

    TGIFPixels pixels_;
    TGIFLocalColorMap colorMap_;
    TGIFExtensionList extensions_;
    TGIFGraphicControlExtension* graphicControl_ = nullptr;
    uint16_t left_ = 0;
    uint16_t top_ = 0;
    uint16_t width_ = 0;
    uint16_t height_ = 0;
    uint8_t packed_ = 0;
    uint64_t changeCount_ = 0;
    std::unique_ptr<TGIFRenderCache> renderCache_;
};
