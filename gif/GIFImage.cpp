#include "gif/GIFImage.h"

#include "gif/GIFException.h"
#include "gif/GIFOptimize.h"
#include "gif/GIFRender.h"
#include "gif/GIFRenderSupport.h"
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

int percentOf(int64_t part, int64_t whole) { return whole > 0 ? int(part * 100 / whole) : 100; }

// Reports the start and the end of a long operation; the end reports 0 %
// when an exception passes.
class TProgressScope {
public:
    TProgressScope(TGIFImage& image, const char* message) : image_(image), message_(message) {
        image_.Progress(&image_, psStarting, 0, false, message_);
    }
    void Done() { done_ = true; }
    ~TProgressScope() { image_.Progress(&image_, psEnding, done_ ? 100 : 0, true, message_); }

private:
    TGIFImage& image_;
    const char* message_;
    bool done_ = false;
};

const TGIFRenderSupport* installedSupport = nullptr;

} // namespace

void SetGIFRenderSupport(const TGIFRenderSupport* support) { installedSupport = support; }
const TGIFRenderSupport* GIFRenderSupport() { return installedSupport; }

// ---- TGIFImageList ----

void TGIFImageList::LoadFromStream(TStream& stream, TPersistent* parent) {
    auto* image = dynamic_cast<TGIFImage*>(parent);
    const int64_t size = stream.Size();
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
        if (image)
            image->Progress(image, psRunning, percentOf(stream.Position(), size), false, sProgressLoading);
    }
}

// ---- TGIFImage ----

TGIFImage::TGIFImage() : header_(this), images_(this) {}

TGIFImage::~TGIFImage() {
    StopPainters();
    renderer_.reset();
    images_.Clear();
}

TGIFImageRenderer* TGIFImage::Renderer() {
    if (!renderer_) {
        const TGIFRenderSupport* support = GIFRenderSupport();
        if (support && support->CreateRenderer)
            renderer_ = support->CreateRenderer(*this);
    }
    return renderer_.get();
}

void TGIFImage::StopPainters() {
    if (renderer_)
        renderer_->StopPainters();
}

void TGIFImage::frameChanged(TGIFSubImage*) {
    if (renderer_)
        renderer_->ImageChanged();
}

void TGIFImage::Changed(TPersistent* sender) {
    if (renderer_)
        renderer_->ImageChanged();
    TGraphic::Changed(sender);
}

void TGIFImage::SetWidth(int width) {
    for (int i = 0; i < images_.Count(); ++i) {
        const TGIFSubImage* frame = images_.Frames(i);
        if (frame->Left() + frame->Width() > width)
            GIFError(sScreenWidthTooSmall);
    }
    checkScreenSize(width);
    if (width == header_.Width())
        return;
    header_.SetWidth(width);
    Changed(this);
}

void TGIFImage::SetHeight(int height) {
    for (int i = 0; i < images_.Count(); ++i) {
        const TGIFSubImage* frame = images_.Frames(i);
        if (frame->Top() + frame->Height() > height)
            GIFError(sScreenHeightTooSmall);
    }
    checkScreenSize(height);
    if (height == header_.Height())
        return;
    header_.SetHeight(height);
    Changed(this);
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

int TGIFImage::GlobalColorsUsed() const {
    int used = 0;
    for (int i = 0; i < images_.Count(); ++i)
        if (const TGIFSubImage* frame = images_.Frames(i); frame->ColorMap().Count() == 0)
            used = std::max(used, frame->ColorsUsed());
    return used;
}

bool TGIFImage::IsDithered() const {
    if (!(DrawOptions & gdDither))
        return false;
    return (DrawOptions & gdDitherOnPalette) ? DitherOnThisDisplay : true;
}

TGIFPalette TGIFImage::Palette() const {
    if (IsDithered())
        return WebPalette();
    if (GlobalColorMap().Count() > 0)
        return PaletteOf(GlobalColorMap());
    if (images_.Count() > 0)
        return FramePalette(*images_.Frames(0));
    return SystemPalette();
}

void TGIFImage::Warning(TPersistent* sender, int severity, const std::string& message) {
    if (OnWarning)
        OnWarning(sender, severity, message);
}

int TGIFImage::Add(TPersistent* source) {
    if (auto* frame = dynamic_cast<TGIFSubImage*>(source)) {
        if (frame->Image() != this)
            GIFError(sUnsupportedObject);
        int index = images_.IndexOf(frame);
        if (index < 0)
            index = images_.Add(frame);
        Changed(this);
        return index;
    }
    // Any other picture the drawing side can import (a bitmap, a graphic).
    const TGIFRenderSupport* support = GIFRenderSupport();
    auto frame = std::make_unique<TGIFSubImage>(this);
    if (!source || !support || !support->ImportFrame || !support->ImportFrame(*frame, *source))
        GIFError(sUnsupportedObject);
    const int index = images_.Add(frame.release());
    Changed(this);
    return index;
}

void TGIFImage::Clear() {
    StopPainters();
    images_.Clear();
    header_.Clear();
    header_.Prepare();
    if (renderer_)
        renderer_->ImageChanged();
}

void TGIFImage::copyFrom(const TGIFImage& source) {
    TProgressScope progress(*this, sProgressCopying);
    header_.Assign(&source.header_);
    ThreadPriority = source.ThreadPriority;
    BackgroundColor = source.BackgroundColor;
    DrawOptions = source.DrawOptions;
    ColorReduction = source.ColorReduction;
    DitherMode = source.DitherMode;
    const int count = source.images_.Count();
    for (int i = 0; i < count; ++i) {
        auto frame = std::make_unique<TGIFSubImage>(this);
        frame->Assign(source.images_.Frames(i));
        images_.Add(frame.release());
        Progress(this, psRunning, percentOf(i + 1, count), false, sProgressCopying);
    }
    progress.Done();
}

void TGIFImage::Assign(const TPersistent* source) {
    if (source == this)
        return;
    if (!source) {
        Clear();
        Changed(this);
        return;
    }
    if (const auto* other = dynamic_cast<const TGIFImage*>(source)) {
        Clear();
        copyFrom(*other);
        Changed(this);
        return;
    }
    const TGIFRenderSupport* support = GIFRenderSupport();
    if (!dynamic_cast<const TGIFSubImage*>(source) && (!support || !support->ImportFrame)) {
        TGraphic::Assign(source); // the source's own AssignTo, or "Cannot assign"
        return;
    }
    Clear();
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(source);
    images_.Add(frame.release());
    Changed(this);
}

void TGIFImage::AssignTo(TPersistent* destination) const {
    const TGIFRenderSupport* support = GIFRenderSupport();
    if (support && support->ExportImage && support->ExportImage(const_cast<TGIFImage&>(*this), *destination))
        return;
    TGraphic::AssignTo(destination);
}

void TGIFImage::Draw(TCanvas& canvas, const TRect& rect) {
    if (TGIFImageRenderer* renderer = Renderer())
        renderer->Draw(canvas, rect);
}

void TGIFImage::chargeLoadedPixels(int64_t pixels) {
    if (!loading_)
        return;
    loadedPixels_ += pixels;
    if (loadedPixels_ > GIFMaxImagePixels)
        GIFError(sFrameTooLarge);
}

void TGIFImage::LoadFromStream(TStream& stream) {
    TProgressScope progress(*this, sProgressLoading);
    Clear();
    const int64_t start = stream.Position();
    loading_ = true;
    loadedPixels_ = 0;
    try {
        header_.LoadFromStream(stream);
        images_.LoadFromStream(stream, this);
        fitEmptyScreen();
        // A stream that ends where the trailer belongs is taken as it is.
        TGIFTrailer trailer(this);
        trailer.LoadFromStream(stream);
    } catch (...) {
        // The frames read before the error stay: they are shown as a
        // whole load shows them.
        fitEmptyScreen();
        loading_ = false;
        stream.SetPosition(start);
        Changed(this);
        throw;
    }
    loading_ = false;
    progress.Done();
    Changed(this);
}

void TGIFImage::fitEmptyScreen() {
    // A logical screen of no width or no height would show nothing; other
    // readers show the first frame, on a screen that reaches as far as it
    // does in the missing direction.
    if (header_.Width() > 0 && header_.Height() > 0)
        return;
    for (int i = 0; i < images_.Count(); ++i) {
        const TGIFSubImage* frame = images_.Frames(i);
        if (frame->Width() == 0 || frame->Height() == 0)
            continue;
        if (header_.Width() == 0)
            header_.SetWidth(frame->Left() + frame->Width());
        if (header_.Height() == 0)
            header_.SetHeight(frame->Top() + frame->Height());
        return;
    }
}

void TGIFImage::SaveToStream(TStream& stream) {
    TProgressScope progress(*this, sProgressSaving);
    header_.SaveToStream(stream);
    const int count = images_.Count();
    for (int i = 0; i < count; ++i) {
        images_.Frames(i)->SaveToStream(stream);
        Progress(this, psRunning, percentOf(i + 1, count), false, sProgressSaving);
    }
    TGIFTrailer trailer(this);
    trailer.SaveToStream(stream);
    progress.Done();
}

void TGIFImage::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(stream);
}

void TGIFImage::SaveToFile(const std::string& fileName) {
    SaveGIFFile(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

void TGIFImage::SaveToClipboardFormat(unsigned& format, std::string& data) {
    if (Empty())
        return;
    const TGIFRenderSupport* support = GIFRenderSupport();
    if (CF_GIF == 0 || !support || !support->BitmapClipboardData || !support->SetClipboardData)
        GIFError(sClipboardFailed);
    // Programs that read no GIF take the picture as a bitmap.
    support->BitmapClipboardData(*this, format, data);
    TMemoryStream stream;
    SaveToStream(stream);
    if (!support->SetClipboardData(CF_GIF, stream.DataView()))
        GIFError(sClipboardFailed);
}

void TGIFImage::LoadFromClipboardFormat(unsigned format, std::string_view data) {
    const TGIFRenderSupport* support = GIFRenderSupport();
    std::string held;
    if (data.empty() && format != 0 && support && support->GetClipboardData) {
        held = support->GetClipboardData(format);
        data = held;
    }
    if (format != 0 && format == CF_GIF && !data.empty()) {
        TReadOnlyMemoryStream stream(data.data(), int64_t(data.size()));
        LoadFromStream(stream);
        return;
    }
    if (!data.empty() && support && support->LoadClipboardPicture && support->LoadClipboardPicture(*this, format, data))
        return;
    GIFError(sUnsupportedClipboardFormat);
}

void TGIFImage::WriteData(TStream& stream) {
    if (OptimizeWhenStreaming)
        Optimize(ooCrop | ooMerge | ooCleanup | ooColorMap | ooReduceColors, gcrNone);
    TGraphic::WriteData(stream);
}

void TGIFImage::Optimize(TGIFOptimizeOptions options, TGIFColorReduction method) {
    OptimizeGIFImage(*this, options, method);
}
