// Fuzz entry point for pictures: the BMP reader, and the picture holder's
// registry of formats by file extension and by clipboard format (BMP, PNG,
// JPEG from the platform, GIF registered by the GIF support).  The first
// byte chooses:
//
// - BMP: reading ends in a bitmap or in EInvalidGraphic; a bitmap read
//   leaves the stream after the picture, and written and read again shows
//   the same pixels.
// - A file with the extension the next byte picks: loading ends in a
//   picture or in the platform's exception, and a failed load keeps the
//   picture held before; a picture loaded draws, saves under the same
//   extension and loads again at the same size.
// - Clipboard data of the format the next byte picks: as for files.

#include "fuzz/FuzzFiles.h"
#include "fuzz/FuzzApplication.h"
#include "fuzz/FuzzInput.h"
#include "gif/GIFImage.h"
#include "gif/render/GIFRegistration.h"
#include "platform/base/Exceptions.h"
#include "platform/base/Stream.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Clipboard.h"
#include "platform/gfx/Picture.h"
#include "platform/gfx/QtBridge.h"

#include <QGuiApplication>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Larger pictures are read but neither drawn nor written: that only slows
// the fuzzer down.
constexpr int64_t kLargestHandled = int64_t(1) << 20;

void Start() {
    if (!StartOffscreenApplication<QGuiApplication>())
        return;
    RegisterGIFImage();
    // Animations would start painter threads on a bitmap that lives for one
    // input; the first frame is what is checked here.
    DefaultDrawOptions &= static_cast<TGIFDrawOptions>(~(gdThreaded | gdAnimate));
}

int64_t Area(int width, int height) { return int64_t(width) * height; }

// The colours of a bitmap's pixels, whatever its pixel format.
QImage Colours(const TBitmap& bitmap) {
    return BitmapImage(bitmap).convertToFormat(QImage::Format_RGB32);
}

void FuzzBMP(TFuzzInput& input) {
    const std::string bytes = input.Rest();
    TReadOnlyMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
    TBitmap bitmap;
    try {
        bitmap.LoadFromStream(stream);
    } catch (const EInvalidGraphic&) {
        FuzzCheck(stream.Position() == 0);
        return;
    }
    FuzzCheck(stream.Position() > 0 && stream.Position() <= stream.Size());
    if (bitmap.Empty() || Area(bitmap.Width(), bitmap.Height()) > kLargestHandled)
        return;
    TMemoryStream written;
    bitmap.SaveToStream(written);
    written.SetPosition(0);
    TBitmap again;
    again.LoadFromStream(written);
    FuzzCheck(written.Position() == written.Size());
    FuzzCheck(again.Width() == bitmap.Width() && again.Height() == bitmap.Height());
    FuzzCheck(Colours(again) == Colours(bitmap));
}

// A picture held before each load: a failed load must leave it.
std::unique_ptr<TGraphic> Sentinel() {
    auto raster = std::make_unique<TRasterImage>("BMP");
    raster->Bitmap().SetSize(3, 2);
    return raster;
}

// What a picture that loaded must do: draw and be written.
void Use(TGraphic& graphic) {
    TBitmap target(40, 30);
    graphic.Draw(target.Canvas(), Rect(0, 0, 40, 30));
    graphic.Draw(target.Canvas(), Rect(5, 5, 12, 9));
}

// A picture with something to show (a GIF may have a screen and no
// frames), not too large: neither its screen nor, for a GIF, its frames,
// which may reach far beyond a small screen.
bool Handled(const TPicture& picture) {
    if (picture.Graphic()->Empty() || picture.Width() <= 0 || picture.Height() <= 0 ||
        Area(picture.Width(), picture.Height()) > kLargestHandled)
        return false;
    int64_t pixels = 0;
    if (auto* gif = dynamic_cast<const TGIFImage*>(picture.Graphic()))
        for (int i = 0; i < gif->Images().Count(); ++i)
            pixels += gif->Images().Frames(i)->DataSize();
    return pixels <= kLargestHandled;
}

void FuzzFile(TFuzzInput& input) {
    static const std::array<const char*, 12> extensions = {"bmp", "png", "jpg", "jpeg",   "gif", "BMP",
                                                            "Gif", "ico", "",    "tar.gz", "wmf", "emf"};
    const std::string extension = extensions[input.Byte() % extensions.size()];
    const std::string name = FuzzScratchFolder() + "/picture." + extension;
    WriteFuzzFile(name, input.Rest());
    TPicture picture;
    picture.SetGraphic(Sentinel());
    const TGraphic* before = picture.Graphic();
    try {
        picture.LoadFromFile(name);
    } catch (const Exception&) {
        FuzzCheck(picture.Graphic() == before);
        return;
    }
    FuzzCheck(picture.Graphic() != nullptr && picture.Graphic() != before);
    if (!Handled(picture))
        return;
    Use(*picture.Graphic());
    const std::string copy = FuzzScratchFolder() + "/again." + extension;
    picture.SaveToFile(copy);
    TPicture again;
    again.LoadFromFile(copy);
    FuzzCheck(again.Width() == picture.Width() && again.Height() == picture.Height());
}

void FuzzClipboardData(TFuzzInput& input) {
    static const unsigned gif = RegisterClipboardFormat("GIF Image");
    const std::array<unsigned, 4> formats = {gif, CF_TEXT, 0, RegisterClipboardFormat("PNG")};
    const unsigned format = formats[input.Byte() % formats.size()];
    const std::string data = input.Rest();
    TPicture picture;
    picture.SetGraphic(Sentinel());
    const TGraphic* before = picture.Graphic();
    try {
        picture.LoadFromClipboardFormat(format, data);
    } catch (const Exception&) {
        FuzzCheck(picture.Graphic() == before);
        return;
    }
    FuzzCheck(TPicture::SupportsClipboardFormat(format));
    FuzzCheck(picture.Graphic() != nullptr && picture.Graphic() != before);
    if (!Handled(picture))
        return;
    Use(*picture.Graphic());
    // A copy puts the picture on the clipboard as the graphic gives it (a
    // GIF also as its rendered bitmap); what is there loads again.
    Clipboard().AssignGraphic(*picture.Graphic());
    FuzzCheck(Clipboard().HasFormat(format));
    TPicture again;
    again.LoadFromClipboardFormat(format, Clipboard().GetFormatBytes(format));
    FuzzCheck(again.Width() == picture.Width() && again.Height() == picture.Height());
    if (Clipboard().HasFormat(CF_BITMAP)) {
        const std::string bitmapBytes = Clipboard().GetFormatBytes(CF_BITMAP);
        TReadOnlyMemoryStream stream(bitmapBytes.data(), static_cast<int64_t>(bitmapBytes.size()));
        TBitmap bitmap;
        bitmap.LoadFromStream(stream);
        FuzzCheck(bitmap.Width() == picture.Width() && bitmap.Height() == picture.Height());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Start();
    TFuzzInput input(data, size);
    RunChosenEntry(input, {FuzzBMP, FuzzFile, FuzzClipboardData});
    return 0;
}
