#include "gif/render/GIFClipboard.h"

#include "gif/GIFImage.h"
#include "gif/render/GIFImport.h"
#include "platform/base/Stream.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Clipboard.h"

void GIFBitmapClipboardData(TGIFImage& image, unsigned& format, std::string& data) {
    if (image.Empty())
        return;
    TBitmap bitmap;
    ExportGIFImage(image, bitmap);
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    format = CF_BITMAP;
    data.assign(stream.DataView());
}

bool SetGIFClipboardData(unsigned format, std::string_view data) {
    TClipboard& clipboard = Clipboard();
    if (!clipboard.IsOpen())
        return false;
    clipboard.SetFormatBytes(format, data);
    return true;
}

std::string GetGIFClipboardData(unsigned format) { return Clipboard().GetFormatBytes(format); }

bool LoadGIFClipboardPicture(TGIFImage& image, unsigned format, std::string_view data) {
    if (format != CF_BITMAP)
        return false;
    TBitmap bitmap;
    TReadOnlyMemoryStream stream(data.data(), int64_t(data.size()));
    bitmap.LoadFromStream(stream);
    image.Assign(&bitmap);
    return true;
}
