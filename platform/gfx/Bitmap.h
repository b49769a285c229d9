#pragma once
// TBitmap: an image in memory with a canvas to draw on it, read and written
// as BMP.  Its pixels are a QImage, reached by platform code through
// platform/gfx/QtBridge.h.
//
// The pixel format decides the QImage format and so the layout of ScanLine:
// pf1bit one bit per pixel, pf4bit and pf8bit one palette index byte per
// pixel (4-bit images are held a byte per pixel), pf15bit/pf16bit two bytes,
// pf24bit three bytes in blue, green, red order, pf32bit and pfDevice four
// bytes blue, green, red, unused.  Drawing on a palette or one-bit bitmap
// through its Canvas turns it into pfDevice first.

#include "platform/base/Component.h"
#include "platform/base/Exceptions.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Graphic.h" // EInvalidGraphic

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;
struct TBitmapPixels;


enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TPersistent {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    std::string ClassName() const override { return "TBitmap"; }

    int Width() const;
    int Height() const;
    bool Empty() const { return Width() == 0 || Height() == 0; }
    // Resizing keeps the pixels that still fit; new pixels are white.
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    void SetSize(int width, int height);

    TCanvas& Canvas();

    TPixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TPixelFormat format);
    // The palette of a pf1bit/pf4bit/pf8bit bitmap.
    std::vector<TColor> Palette() const;
    void SetPalette(const std::vector<TColor>& colors);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);
    // tmAuto: the colour of the bottom-left pixel; tmFixed: the colour set.
    TColor TransparentColor() const;
    // Setting a colour switches to tmFixed.
    void SetTransparentColor(TColor color);

    // Raises EFOpenError/EFCreateError for files, EInvalidGraphic ("Bitmap
    // image is not valid") for data that is not a BMP.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    // Reads one BMP from the stream's position (as long as its header says)
    // and leaves the position after it.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);

    void Assign(const TPersistent* source) override;

    // The first byte of a row (0 = top).  Raises EInvalidGraphic("Scan line
    // index out of range") outside the image.
    uint8_t* ScanLine(int row);

    // Called after size, format, contents (loading, assigning, new pixels) or
    // transparency changed; drawing through the canvas does not call it.
    TNotifyEvent OnChange;

private:
    friend struct TBitmapAccess;
    void changed();
    void releaseCanvas();
    void makePaintable();

    std::unique_ptr<TBitmapPixels> pixels_; // a QImage (Bitmap.cpp)
    TCanvas canvas_;
    TPixelFormat pixelFormat_ = pfDevice;
    bool transparent_ = false;
    TTransparentMode transparentMode_ = tmAuto;
    TColor transparentColor_ = clDefault;
};
