#include "gif/GIFImage.h"

#include "gif/GIFException.h"
#include "gif/GIFRoutines.h"

#include <algorithm>
#include <memory>

namespace {

// The logical screen's sides are 16-bit fields: a value beyond them would
// be stored cut down to some other size.
void checkScreenSize(int size) {
    if (size < 0 || size > GIFMaxWord)
        GIFError(sInvalidDimensions);
}
} // namespace

// ---- TGIFImageList ----

void TGIFImageList::LoadFromStream(TStream& stream, TPersistent* parent) {
    auto* image = dynamic_cast<TGIFImage*>(parent);
    uint8_t next = 0;
    while (TryReadGIFBlockByte(stream, next)) {
        stream.Seek(-1, TSeekOrigin::soCurrent);
        if (next == bsTrailer)
            return;
        if (next != bsExtensionIntroducer && next != bsImageSeparator) {
            Warning(GIFWarningSeverity, sUnknownBlockType);
            return;
        }
        std::unique_ptr<TGIFSubImage> frame(new TGIFSubImage(image));
        frame->LoadFromStream(stream);
        Add(frame.release());
    }
}

// ---- TGIFImage ----

TGIFImage::TGIFImage() : header_(this), images_(this) {}

TGIFImage::~TGIFImage() { images_.Clear(); }

void TGIFImage::SetWidth(int width) {
    for (int i = 0; i < images_.Count(); ++i) {
        const TGIFSubImage* frame = images_.Frames(i);
        if (frame->Left() + frame->Width() > width)
            GIFError(sScreenWidthTooSmall);
    }
    checkScreenSize(width);
    header_.SetWidth(width);
}

void TGIFImage::SetHeight(int height) {
    for (int i = 0; i < images_.Count(); ++i) {
        const TGIFSubImage* frame = images_.Frames(i);
        if (frame->Top() + frame->Height() > height)
            GIFError(sScreenHeightTooSmall);
    }
    checkScreenSize(height);
    header_.SetHeight(height);
}

int TGIFImage::Version() const {
    int version = 0;
    for (int i = 0; i < images_.Count(); ++i)
        version = std::max(version, images_.Frames(i)->Version());
    return version;
}

int TGIFImage::ColorResolution() const {
    int resolution = header_.ColorResolution();
    for (int i = 0; i < images_.Count(); ++i)
        resolution = std::max(resolution, images_.Frames(i)->ColorResolution());
    return resolution;
}

int TGIFImage::BitsPerPixel() const {
    int bits = header_.BitsPerPixel();
    for (int i = 0; i < images_.Count(); ++i)
        bits = std::max(bits, images_.Frames(i)->BitsPerPixel());
    return bits;
}

void TGIFImage::Warning(TPersistent* sender, int severity, const std::string& message) {
    if (OnWarning)
        OnWarning(sender, severity, message);
}

int TGIFImage::Add(TPersistent* source) {
    auto* frame = dynamic_cast<TGIFSubImage*>(source);
    if (!frame || frame->Image() != this)
        GIFError(sUnsupportedObject);
    const int index = images_.IndexOf(frame);
    return index >= 0 ? index : images_.Add(frame);
}

void TGIFImage::Clear() {
    images_.Clear();
    header_.Clear();
    header_.Prepare();
}

void TGIFImage::chargeLoadedPixels(int64_t pixels) {
    if (!loading_)
        return;
    loadedPixels_ += pixels;
    if (loadedPixels_ > GIFMaxImagePixels)
        GIFError(sFrameTooLarge);
}

void TGIFImage::LoadFromStream(TStream& stream) {
    Clear();
    const int64_t start = stream.Position();
    loading_ = true;
    loadedPixels_ = 0;
    try {
        header_.LoadFromStream(stream);
        images_.LoadFromStream(stream, this);
        uint8_t next = 0;
        if (TryReadGIFByte(stream, next)) {
            stream.Seek(-1, TSeekOrigin::soCurrent);
            TGIFTrailer trailer(this);
            trailer.LoadFromStream(stream);
        } else {
            // A stream that stops where the trailer belongs was most likely
            // cut short: whatever came after is lost.
            Warning(this, GIFWarningSeverity, sOutOfData);
        }
    } catch (...) {
        loading_ = false;
        stream.SetPosition(start);
        throw;
    }
    loading_ = false;
}

void TGIFImage::SaveToStream(TStream& stream) {
    header_.SaveToStream(stream);
    images_.SaveToStream(stream);
    TGIFTrailer trailer(this);
    trailer.SaveToStream(stream);
}

void TGIFImage::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(stream);
}

void TGIFImage::SaveToFile(const std::string& fileName) {
    SaveGIFFile(fileName, [this](TStream& stream) { SaveToStream(stream); });
}
