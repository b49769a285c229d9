#include "gif/render/GIFRegistration.h"

#include "gif/GIFImage.h"
#include "gif/GIFRenderSupport.h"
#include "gif/render/GIFClipboard.h"
#include "gif/render/GIFImageDrawer.h"
#include "gif/render/GIFImport.h"
#include "platform/gfx/Clipboard.h"
#include "platform/gfx/Picture.h"

namespace {

std::unique_ptr<TGIFImageRenderer> createDrawer(TGIFImage& image) { return std::make_unique<TGIFImageDrawer>(image); }

std::unique_ptr<TGraphic> createImage() { return std::make_unique<TGIFImage>(); }

const TGIFRenderSupport kSupport{&createDrawer,           &ImportGIFFrame,        &ExportGIFImage,
                                  &GIFBitmapClipboardData, &SetGIFClipboardData,   &GetGIFClipboardData,
                                  &LoadGIFClipboardPicture};

bool registered = false;

} // namespace

void RegisterGIFImage() {
    if (registered)
        return;
    registered = true;
    SetGIFRenderSupport(&kSupport);
    CF_GIF = RegisterClipboardFormat("GIF Image");
    TPicture::RegisterFileFormat("gif", "GIF Image", "TGIFImage", &createImage);
    TPicture::RegisterClipboardFormat(CF_GIF, "TGIFImage", &createImage);
}

void UnregisterGIFImage() {
    if (!registered)
        return;
    registered = false;
    TPicture::UnregisterGraphicClass("TGIFImage");
    SetGIFRenderSupport(nullptr);
}
