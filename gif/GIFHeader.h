#pragma once
// The header of a GIF stream (signature, version, logical screen descriptor
// and global colour table) and its trailer.

#include "gif/GIFColorMap.h"
#include "gif/GIFItem.h"

#include <cstdint>

class TGIFHeader : public TGIFItem {
public:
    explicit TGIFHeader(TGIFImage* image);

    TGIFGlobalColorMap& ColorMap() { return colorMap_; }
    const TGIFGlobalColorMap& ColorMap() const { return colorMap_; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int width) { width_ = static_cast<uint16_t>(width); }
    void SetHeight(int height) { height_ = static_cast<uint16_t>(height); }
    // The packed byte as read, or as rebuilt by the last save.
    uint8_t Packed() const { return packed_; }
    uint8_t BackgroundColorIndex() const { return background_; }
    void SetBackgroundColorIndex(uint8_t index) { background_ = index; }
    uint8_t AspectRatio() const { return aspectRatio_; }
    void SetAspectRatio(uint8_t ratio) { aspectRatio_ = ratio; }

    // The global table's colour at the background index (see
    // TGIFColorMap::Colors for an index outside the table).
    uint32_t BackgroundColor() { return colorMap_.Colors(background_); }
    int BitsPerPixel() const { return colorMap_.BitsPerPixel(); }
    int ColorResolution() const { return BitsPerPixel() - 1; }
    // 2 when a sorted table or an aspect ratio needs "89a".  The image's
    // version, which the header writes, is taken from its frames only.
    int Version() const override;

    // Empties the table and zeroes the descriptor.
    void Clear();
    // Rebuilds the packed byte from the table and the image, as it is
    // written.
    void Prepare();
    void Assign(const TPersistent* source) override;

    // Raises "Unsupported GIF version" for an image without frames.
    void SaveToStream(TStream& stream) override;
    // Accepts four bytes of anything before the signature; the version bytes
    // are not examined.
    void LoadFromStream(TStream& stream) override;

    std::string ClassName() const override { return "TGIFHeader"; }

private:
    TGIFGlobalColorMap colorMap_;
    uint16_t width_ = 0;
    uint16_t height_ = 0;
    uint8_t packed_ = 0;
    uint8_t background_ = 0;
    uint8_t aspectRatio_ = 0;
};

class TGIFTrailer : public TGIFItem {
public:
    using TGIFItem::TGIFItem;
    // Writes ';'.
    void SaveToStream(TStream& stream) override;
    // Warns "Invalid Image trailer" when the next byte is there and is not
    // ';'; the end of the stream is accepted silently.
    void LoadFromStream(TStream& stream) override;
    std::string ClassName() const override { return "TGIFTrailer"; }
};
