#include "gif/GIFHeader.h"

#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "gif/GIFRoutines.h"
#include "platform/base/TextCodec.h"

#include <string_view>

namespace {

// The signature is taken in either case, as some writers store "gif".
bool isSignature(const uint8_t* bytes) {
    return SameText(std::string_view(reinterpret_cast<const char*>(bytes), 3), "GIF");
}

} // namespace

TGIFHeader::TGIFHeader(TGIFImage* image) : TGIFItem(image), colorMap_(image) {}

int TGIFHeader::Version() const { return (colorMap_.Optimized() || aspectRatio_ != 0) ? 2 : 1; }

void TGIFHeader::Clear() {
    colorMap_.Clear();
    width_ = height_ = 0;
    packed_ = background_ = aspectRatio_ = 0;
}

void TGIFHeader::Prepare() {
    uint8_t packed = 0;
    const bool hasTable = colorMap_.Count() > 0;
    if (hasTable) {
        packed |= 0x80;
        if (colorMap_.Optimized())
            packed |= 0x08;
    }
    const int resolution = Image() ? Image()->ColorResolution() : ColorResolution();
    packed |= static_cast<uint8_t>((resolution << 4) & 0x70);
    // The global table is written large enough for every pixel value of
    // the frames that draw with it.
    const int bits = hasTable ? colorMap_.BitsPerPixelFor(Image() ? Image()->GlobalColorsUsed() : 0)
                              : (Image() ? Image()->BitsPerPixel() : 0);
    packed |= static_cast<uint8_t>((bits - 1) & 7);
    packed_ = packed;
}

void TGIFHeader::Assign(const TPersistent* source) {
    if (source == this)
        return;
    if (const auto* other = dynamic_cast<const TGIFHeader*>(source)) {
        colorMap_.Assign(&other->colorMap_);
        width_ = other->width_;
        height_ = other->height_;
        packed_ = other->packed_;
        background_ = other->background_;
        aspectRatio_ = other->aspectRatio_;
        return;
    }
    if (const auto* table = dynamic_cast<const TGIFColorMap*>(source)) {
        Clear();
        colorMap_.Assign(table);
        return;
    }
    TGIFItem::Assign(source);
}

void TGIFHeader::SaveToStream(TStream& stream) {
    const int version = Image() ? Image()->Version() : 0;
    if (version == 0)
        GIFError(sUnsupportedVersion);
    stream.WriteBuffer(version == 1 ? "GIF87a" : "GIF89a", 6);
    Prepare();
    uint8_t descriptor[7] = {0, 0, 0, 0, packed_, background_, aspectRatio_};
    StoreLittleEndian<uint16_t>(descriptor, width_);
    StoreLittleEndian<uint16_t>(descriptor + 2, height_);
    stream.WriteBuffer(descriptor, 7);
    if (packed_ & 0x80)
        colorMap_.SaveToStream(stream, 2 << (packed_ & 7));
}

void TGIFHeader::LoadFromStream(TStream& stream) {
    const int64_t start = stream.Position();
    uint8_t signature[6];
    ReadCheck(stream, signature, 6);
    if (!isSignature(signature)) {
        // Some files carry a few bytes of their own before the signature.
        stream.SetPosition(start + 4);
        ReadCheck(stream, signature, 6);
        if (!isSignature(signature))
            GIFError(sBadSignature);
    }
    uint8_t descriptor[7];
    ReadCheck(stream, descriptor, 7);
    width_ = LoadLittleEndian<uint16_t>(descriptor);
    height_ = LoadLittleEndian<uint16_t>(descriptor + 2);
    packed_ = descriptor[4];
    background_ = descriptor[5];
    aspectRatio_ = descriptor[6];
    if (packed_ & 0x80) {
        // 2 << (0..7) is always within 2..256.
        colorMap_.LoadFromStream(stream, 2 << (packed_ & 7));
    } else {
        colorMap_.Clear();
    }
}

void TGIFTrailer::SaveToStream(TStream& stream) { stream.WriteByte(bsTrailer); }

void TGIFTrailer::LoadFromStream(TStream& stream) {
    uint8_t value = 0;
    if (TryReadGIFByte(stream, value) && value != bsTrailer)
        Warning(this, GIFWarningSeverity, sBadTrailer);
}
