#pragma once
// The seam between the GIF model and the code that draws it.  The model
// (this library) builds and tests without graphics; drawing, animation and
// importing pictures live in gif/render, which installs itself here when
// the program registers the GIF picture format (RegisterGIFImage).  Until
// then a GIF image draws nothing and imports only other GIF frames.

#include <memory>
#include <string>
#include <string_view>

class TCanvas;
class TGIFImage;
class TGIFSubImage;
class TPersistent;
struct TRect;

// What draws and animates one image.  The image makes it on first use and
// keeps it until it is destroyed.
class TGIFImageRenderer {
public:
    virtual ~TGIFImageRenderer() = default;
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
    // Stops every animation of the image and waits until each has ended.
    virtual void StopPainters() = 0;
    // The image's pictures changed (frames, size, colours): what was
    // rendered of the whole image is stale.
    virtual void ImageChanged() = 0;
};

struct TGIFRenderSupport {
    std::unique_ptr<TGIFImageRenderer> (*CreateRenderer)(TGIFImage& image);
    // Makes the frame a copy of a picture that is not a GIF frame (a
    // bitmap, another graphic, a picture holder); false for a source it
    // does not know.
    bool (*ImportFrame)(TGIFSubImage& frame, const TPersistent& source);
    // Copies the image into a destination of another kind (a bitmap);
    // false for one it does not know.
    bool (*ExportImage)(TGIFImage& image, TPersistent& destination);

    // The clipboard.  The image's rendered bitmap in its clipboard form
    // (format and bytes).
    void (*BitmapClipboardData)(TGIFImage& image, unsigned& format, std::string& data);
    // Puts bytes of a format on the clipboard beside what goes there while
    // it is open; false when it is not open.
    bool (*SetClipboardData)(unsigned format, std::string_view data);
    // The clipboard's bytes of a format; empty when it holds none.
    std::string (*GetClipboardData)(unsigned format);
    // Makes the image a copy of clipboard data of a picture kind the model
    // does not read itself (a bitmap); false for any other format.
    bool (*LoadClipboardPicture)(TGIFImage& image, unsigned format, std::string_view data);
};

// nullptr removes it.
void SetGIFRenderSupport(const TGIFRenderSupport* support);
const TGIFRenderSupport* GIFRenderSupport();
