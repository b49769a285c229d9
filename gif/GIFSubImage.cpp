#include "gif/GIFSubImage.h"

#include "gif/GIFEncoders.h"
#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GIFRenderSupport.h"
#include "gif/GIFRoutines.h"
#include "gif/LZWDecoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

void checkBounds(int64_t left, int64_t top, int64_t width, int64_t height) {
    if (left < 0 || top < 0 || width < 0 || height < 0 || left + width > GIFMaxWord ||
        top + height > GIFMaxWord)
        GIFError(sFrameOutsideScreen);
    if (width * height > GIFMaxFramePixels)
        GIFError(sFrameTooLarge);
}

} // namespace

TGIFSubImage::TGIFSubImage(TGIFImage* image) : TGIFItem(image), colorMap_(this), extensions_(this) {}

TGIFSubImage::~TGIFSubImage() {
    if (Image())
        Image()->Images().Remove(this);
    Clear();
}

void TGIFSubImage::Clear() {
    extensions_.Clear();
    colorMap_.Clear();
    pixels_.reset();
    height_ = 0;
    width_ = 0;
    graphicControl_ = nullptr;
    Changed();
}

void TGIFSubImage::Changed() {
    ++changeCount_;
    renderCache_.reset();
    if (Image())
        Image()->frameChanged(this);
}

TRect TGIFSubImage::ScaleRect(const TRect& destination) const {
    const int64_t screenWidth = Image() && Image()->Width() > 0 ? Image()->Width() : 1;
    const int64_t screenHeight = Image() && Image()->Height() > 0 ? Image()->Height() : 1;
    // Each edge at the nearest pixel to its share of the destination, so
    // that a frame lands where it shows in the whole picture stretched
    // there (cutting the share down would shift it up to a pixel left).
    auto share = [](int64_t at, int64_t size, int64_t whole) {
        const int64_t scaled = at * size;
        return (scaled >= 0 ? scaled + whole / 2 : scaled - whole / 2) / whole;
    };
    auto across = [&](int64_t at) { return int(destination.Left + share(at, destination.Width(), screenWidth)); };
    auto down = [&](int64_t at) { return int(destination.Top + share(at, destination.Height(), screenHeight)); };
    return {across(left_), down(top_), across(left_ + width_), down(top_ + height_)};
}

TGIFWarningSink TGIFSubImage::warningSink() {
    return [this](const char* message) { Warning(this, GIFWarningSeverity, message); };
}

bool TGIFSubImage::Empty() const { return DataSize() == 0; }

void TGIFSubImage::allocatePixels(uint8_t fill) {
    pixels_.reset(); // the old block goes before the new one comes
    pixels_ = AllocateGIFPixels(int64_t(width_) * height_, fill);
}

void TGIFSubImage::SetBounds(int left, int top, int width, int height) {
    checkBounds(left, top, width, height);
    const bool resized = width != width_ || height != height_;
    left_ = uint16_t(left);
    top_ = uint16_t(top);
    width_ = uint16_t(width);
    height_ = uint16_t(height);
    if (resized)
        allocatePixels(0);
    Changed();
    TGIFImage* image = Image();
    if (!image)
        return;
    bool exceeded = false;
    if (image->Width() < left + width) {
        if (image->Width() > 0) {
            Warning(this, GIFWarningSeverity, sScreenWidthTooSmall);
            exceeded = true;
        }
        image->Header().SetWidth(left + width);
    }
    if (image->Height() < top + height) {
        if (image->Height() > 0) {
            Warning(this, GIFWarningSeverity, sScreenHeightTooSmall);
            exceeded = true;
        }
        image->Header().SetHeight(top + height);
    }
    if (exceeded)
        Warning(this, GIFWarningSeverity, sExceedsScreen);
}

void TGIFSubImage::SetInterlaced(bool interlaced) {
    packed_ = interlaced ? uint8_t(packed_ | 0x40) : uint8_t(packed_ & ~0x40);
}

int TGIFSubImage::Version() const { return (colorMap_.Optimized() || extensions_.Count() > 0) ? 2 : 1; }

TGIFColorMap& TGIFSubImage::ActiveColorMap() {
    if (colorMap_.Count() > 0)
        return colorMap_;
    if (Image() && Image()->GlobalColorMap().Count() > 0)
        return Image()->GlobalColorMap();
    return colorMap_;
}

void TGIFSubImage::checkCoordinates(int x, int y) const {
    if (x < 0 || x >= width_ || y < 0 || y >= height_)
        GIFError(sInvalidPixel);
}

uint8_t TGIFSubImage::Pixels(int x, int y) const {
    checkCoordinates(x, y);
    // A frame whose buffer was never made reads as the zeros it would be
    // made with.
    return pixels_ ? pixels_.get()[int64_t(y) * width_ + x] : 0;
}

void TGIFSubImage::SetPixel(int x, int y, uint8_t value) {
    checkCoordinates(x, y);
    Scanline(y)[x] = value;
}

uint8_t* TGIFSubImage::Scanline(int y) {
    if (y < 0 || y >= height_)
        GIFError(sInvalidPixel);
    if (!pixels_)
        allocatePixels(0);
    if (!pixels_)
        GIFError(sImageEmpty);
    Changed();
    return pixels_.get() + int64_t(y) * width_;
}

void TGIFSubImage::Assign(const TPersistent* source) {
    if (source == this)
        return;
    if (!source) {
        Clear();
        return;
    }
    const auto* other = dynamic_cast<const TGIFSubImage*>(source);
    if (!other) {
        const TGIFRenderSupport* support = GIFRenderSupport();
        if (!support || !support->ImportFrame(*this, *source))
            TGIFItem::Assign(source);
        return;
    }
    Clear();
    left_ = other->left_;
    top_ = other->top_;
    width_ = other->width_;
    height_ = other->height_;
    packed_ = other->packed_;
    if (other->pixels_) {
        allocatePixels(0);
        std::memcpy(pixels_.get(), other->pixels_.get(), size_t(DataSize()));
    }
    colorMap_.Assign(&other->colorMap_);
    // Extensions are copied through their own stream form, which every
    // kind reads back exactly.
    TMemoryStream copy;
    const_cast<TGIFExtensionList&>(other->extensions_).SaveToStream(copy);
    copy.SetPosition(0);
    extensions_.LoadFromStream(copy, this);
    Changed();
}

int TGIFSubImage::ColorsUsed() const {
    const int64_t size = DataSize();
    if (size == 0)
        return 0;
    const uint8_t* pixels = pixels_.get();
    uint8_t highest = 0;
    for (int64_t i = 0; i < size && highest != 0xFF; ++i)
        highest = std::max(highest, pixels[i]);
    return highest + 1;
}

bool TGIFSubImage::followedByAFrame() const {
    const TGIFImage* image = Image();
    if (!image)
        return false;
    const int index = image->Images().IndexOf(this);
    return index >= 0 && index + 1 < image->Images().Count();
}

void TGIFSubImage::SaveToStream(TStream& stream) {
    if (Empty() && followedByAFrame()) {
        // Without an image of its own, the frame's extensions come before
        // the next frame's image, and a reader takes the first graphic
        // control there as that frame's own (its transparency, delay and
        // disposal).  This frame is never drawn, so its graphic controls
        // say nothing and are left out; the other extensions keep their
        // place.
        for (int i = 0; i < extensions_.Count(); ++i)
            if (!dynamic_cast<TGIFGraphicControlExtension*>(extensions_.Extensions(i)))
                extensions_.Extensions(i)->SaveToStream(stream);
        return;
    }
    extensions_.SaveToStream(stream);
    if (Empty())
        return;
    const int used = ColorsUsed();
    if (colorMap_.Count() > 0) {
        // Frames with a local table are written row by row.
        packed_ = uint8_t(0x80 | (colorMap_.Optimized() ? 0x20 : 0) | ((colorMap_.BitsPerPixelFor(used) - 1) & 7));
    } else {
        packed_ &= 0x58;
    }
    uint8_t descriptor[10] = {bsImageSeparator};
    StoreLittleEndian<uint16_t>(descriptor + 1, left_);
    StoreLittleEndian<uint16_t>(descriptor + 3, top_);
    StoreLittleEndian<uint16_t>(descriptor + 5, width_);
    StoreLittleEndian<uint16_t>(descriptor + 7, height_);
    descriptor[9] = packed_;
    stream.WriteBuffer(descriptor, 10);
    if (packed_ & 0x80)
        colorMap_.SaveToStream(stream, used);
    encodePixels(stream, used);
}

void TGIFSubImage::encodePixels(TStream& stream, int colorsUsed) {
    // The table as written covers every pixel value (the header grows the
    // global table for the frames that draw with it); so does the code
    // size of a frame without any table.
    const TGIFColorMap& table = ActiveColorMap();
    const int tableBits = table.Count() == 0 ? (Image() ? Image()->BitsPerPixel() : 0) : table.BitsPerPixel();
    const int bits = std::max(tableBits, ColorsToBits(colorsUsed));
    const int colors = 1 << bits;
    const TGIFCompression compression = Image() ? Image()->Compression() : gcLZW;
    EncodeGIFPixels(compression, stream, bits, colors, pixels_.get(), Interlaced(), height_, width_);
}

void TGIFSubImage::decodePixels(TStream& stream) {
    const uint8_t fill = Transparent() ? graphicControl_->TransparentColorIndex() : 0;
    allocatePixels(fill);
    const TGIFWarningSink warn = warningSink();
    uint8_t codeSize = 0;
    if (!TryReadGIFByte(stream, codeSize)) {
        // The descriptor promised pixels that are not there.
        warn(sOutOfData);
        return;
    }
    std::vector<uint8_t> data;
    ReadDataSubblocks(stream, data, warn);
    const int64_t total = DataSize();
    if (total == 0) {
        DecodeLZW(codeSize, data, {}, warn);
        return;
    }
    if (!Interlaced()) {
        DecodeLZW(codeSize, data, std::span<uint8_t>(pixels_.get(), size_t(total)), warn);
        return;
    }
    // Rows come in the order of the four passes: decoded into one run
    // first, then put in their places.
    const TGIFPixels linear = AllocateGIFPixels(total, 0);
    const int64_t decoded = DecodeLZW(codeSize, data, std::span<uint8_t>(linear.get(), size_t(total)), warn);
    PlaceInterlacedRows(linear.get(), decoded, pixels_.get(), width_, height_);
}

void TGIFSubImage::LoadFromStream(TStream& stream) {
    Clear();
    extensions_.LoadFromStream(stream, this);
    uint8_t next = 0;
    if (!TryReadGIFByte(stream, next))
        return;
    stream.Seek(-1, TSeekOrigin::soCurrent);
    if (next != bsImageSeparator)
        return; // a frame of extensions only
    uint8_t descriptor[10];
    ReadCheck(stream, descriptor, 10);
    left_ = LoadLittleEndian<uint16_t>(descriptor + 1);
    top_ = LoadLittleEndian<uint16_t>(descriptor + 3);
    width_ = LoadLittleEndian<uint16_t>(descriptor + 5);
    height_ = LoadLittleEndian<uint16_t>(descriptor + 7);
    packed_ = descriptor[9];
    if ((width_ == 0 || height_ == 0) && Image()) {
        height_ = uint16_t(Image()->Height());
        width_ = uint16_t(Image()->Width());
        Warning(this, GIFWarningSeverity, sExceedsScreen);
    }
    checkBounds(left_, top_, width_, height_);
    if (Image())
        Image()->chargeLoadedPixels(int64_t(width_) * height_);
    if (packed_ & 0x80)
        colorMap_.LoadFromStream(stream, 2 << (packed_ & 7));
    decodePixels(stream);
    Changed();
}
