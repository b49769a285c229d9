#include "gif/render/GIFImport.h"

#include "gif/GIFException.h"
#include "gif/render/GIFImageDrawer.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/Icon.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/Picture.h"

#include <cstring>
#include <vector>

namespace {

// A 32-bit copy of a bitmap, whose rows the reduction reads.
struct TTrueColorCopy {
    TBitmap Bitmap;
    TGIFTrueColorImage View;

    explicit TTrueColorCopy(const TBitmap& source) {
        Bitmap.Assign(&source);
        Bitmap.SetPixelFormat(pf32bit);
        View.Width = Bitmap.Width();
        View.Height = Bitmap.Height();
        View.PixelStride = 4;
        if (View.Height > 0) {
            View.Bits = Bitmap.ScanLine(0);
            View.RowStride = View.Height > 1 ? Bitmap.ScanLine(1) - View.Bits : int64_t(View.Width) * 4;
        }
    }
};

TColor colorAt(const TGIFTrueColorImage& view, int x, int y) {
    const uint8_t* pixel = view.Row(y) + int64_t(x) * view.PixelStride;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

// Gives the pixels the mask marks a new black entry as transparent index.
void importMask(TGIFSubImage& frame, const std::vector<bool>& mask) {
    TGIFLocalColorMap& table = frame.ColorMap();
    if (table.Count() == 0 || table.Count() >= GIFMaxColors)
        return;
    bool any = false;
    for (bool marked : mask)
        any = any || marked;
    if (!any)
        return;
    const int index = table.Add(0);
    uint8_t* pixels = frame.Data();
    for (size_t i = 0; i < mask.size(); ++i)
        if (mask[i])
            pixels[i] = uint8_t(index);
    auto* control = new TGIFGraphicControlExtension(&frame);
    frame.Extensions().Add(control);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(index);
}

void importBitmap(TGIFSubImage& frame, const TBitmap& source, const std::vector<bool>* mask) {
    frame.Clear();
    if (source.Empty())
        return;
    TGIFImage* image = frame.Image();
    struct TProgress {
        TGIFImage* Image;
        TGIFSubImage* Frame;
        bool Done = false;
        ~TProgress() {
            if (Image)
                Image->Progress(Frame, psEnding, Done ? 100 : 0, false, sProgressConverting);
        }
    } progress{image, &frame};
    if (image)
        image->Progress(&frame, psStarting, 0, false, sProgressConverting);
    const int width = source.Width();
    const int height = source.Height();
    frame.SetBounds(frame.Left(), frame.Top(), width, height);
    const TPixelFormat format = source.PixelFormat();
    if (format == pf1bit || format == pf4bit || format == pf8bit) {
        TBitmap copy;
        copy.Assign(&source);
        std::vector<TColor> palette = copy.Palette();
        TGIFPalette colors;
        for (TColor c : palette)
            colors.push_back({uint8_t(GetRValue(c)), uint8_t(GetGValue(c)), uint8_t(GetBValue(c))});
        frame.ColorMap().ImportPalette(colors);
        uint8_t* pixels = frame.Data();
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = copy.ScanLine(y);
            uint8_t* out = pixels + int64_t(y) * width;
            if (format == pf1bit)
                for (int x = 0; x < width; ++x)
                    out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
            else
                std::memcpy(out, row, size_t(width));
        }
    } else {
        TTrueColorCopy copy(source);
        const TGIFColorReduction method = image ? image->ColorReduction : DefaultColorReduction;
        if (method == gcrNone) {
            // Every colour kept: more than 256 raise "Color table overflow".
            uint8_t* pixels = frame.Data();
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const TColor c = colorAt(copy.View, x, y);
                    pixels[int64_t(y) * width + x] = uint8_t(frame.ColorMap().AddUnique(uint32_t(c)));
                }
        } else {
            const TGIFReducedImage reduced =
                ReduceColors(copy.View, method, image ? image->DitherMode : DefaultDitherMode,
                             image ? image->ReductionBits : DefaultReductionBits);
            frame.ColorMap().ImportPalette(reduced.Palette);
            std::memcpy(frame.Data(), reduced.Indices.data(), reduced.Indices.size());
        }
    }
    std::vector<bool> keyed;
    if (!mask && source.Transparent()) {
        // The bitmap's transparent colour marks its see-through pixels.
        TTrueColorCopy copy(source);
        const TColor key = ColorToRGB(source.TransparentColor()) & 0xFFFFFF;
        keyed.resize(size_t(int64_t(width) * height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                keyed[size_t(int64_t(y) * width + x)] = colorAt(copy.View, x, y) == key;
        mask = &keyed;
    }
    if (mask)
        importMask(frame, *mask);
    progress.Done = true;
}

// Draws a graphic at its own size onto a new 24-bit bitmap filled with
// `fill`.
std::unique_ptr<TBitmap> drawnOn(TGraphic& graphic, TColor fill) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(graphic.Width(), graphic.Height());
    if (!bitmap->Empty()) {
        bitmap->Canvas().FillRect(Rect(0, 0, graphic.Width(), graphic.Height()), fill);
        graphic.Draw(bitmap->Canvas(), Rect(0, 0, graphic.Width(), graphic.Height()));
        bitmap->Canvas().Release();
    }
    return bitmap;
}

// The pixels where two paintings differ: the white one combined with the
// black one by exclusive or, every pixel that is not black.  What the
// background shows through is white on one and black on the other.
std::vector<bool> differences(const TBitmap& onWhite, const TBitmap& onBlack) {
    TTrueColorCopy white(onWhite);
    TTrueColorCopy black(onBlack);
    std::vector<bool> mask(size_t(int64_t(white.View.Width) * white.View.Height));
    for (int y = 0; y < white.View.Height; ++y)
        for (int x = 0; x < white.View.Width; ++x)
            mask[size_t(int64_t(y) * white.View.Width + x)] =
                (colorAt(white.View, x, y) ^ colorAt(black.View, x, y)) != 0;
    return mask;
}

void importGraphic(TGIFSubImage& frame, TGraphic& graphic) {
    const std::unique_ptr<TBitmap> onWhite = drawnOn(graphic, clWhite);
    if (const auto* icon = dynamic_cast<const TIcon*>(&graphic)) {
        // The icon's own mask: what its AND mask leaves, not what happens to
        // look different on another background (a half-transparent pixel
        // keeps its blended colour).
        const std::vector<bool> mask = icon->Mask();
        importBitmap(frame, *onWhite, &mask);
        return;
    }
    if (dynamic_cast<const TMetafile*>(&graphic)) {
        // Whatever the metafile leaves untouched is transparent.
        const std::unique_ptr<TBitmap> onBlack = drawnOn(graphic, clBlack);
        const std::vector<bool> mask = differences(*onWhite, *onBlack);
        importBitmap(frame, *onWhite, &mask);
        return;
    }
    if (!graphic.Transparent() || onWhite->Empty()) {
        importBitmap(frame, *onWhite, nullptr);
        return;
    }
    const std::unique_ptr<TBitmap> onBlack = drawnOn(graphic, clBlack);
    const std::vector<bool> mask = differences(*onWhite, *onBlack);
    importBitmap(frame, *onWhite, &mask);
}

} // namespace

bool ImportGIFFrame(TGIFSubImage& frame, const TPersistent& source) {
    if (const auto* picture = dynamic_cast<const TPicture*>(&source)) {
        if (!picture->Graphic()) {
            frame.Clear();
            return true;
        }
        return ImportGIFFrame(frame, *picture->Graphic());
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        importBitmap(frame, *bitmap, nullptr);
        return true;
    }
    if (const auto* graphic = dynamic_cast<const TGraphic*>(&source)) {
        importGraphic(frame, const_cast<TGraphic&>(*graphic));
        return true;
    }
    return false;
}

bool ExportGIFImage(TGIFImage& image, TPersistent& destination) {
    auto* bitmap = dynamic_cast<TBitmap*>(&destination);
    if (!bitmap)
        return false;
    if (image.Empty()) {
        bitmap->Assign(nullptr);
        return true;
    }
    if (auto* drawer = dynamic_cast<TGIFImageDrawer*>(image.Renderer()))
        drawer->RenderFirstFrame(*bitmap);
    return true;
}

std::unique_ptr<TBitmap> ReduceBitmapColors(const TBitmap& source, TGIFColorReduction method, TGIFDitherMode mode,
                                            int reductionBits, const TGIFPalette* customPalette) {
    auto result = std::make_unique<TBitmap>();
    if (method == gcrNone) {
        result->Assign(&source);
        result->SetPixelFormat(pf24bit);
        return result;
    }
    TTrueColorCopy copy(source);
    const TGIFReducedImage reduced = ReduceColors(copy.View, method, mode, reductionBits, customPalette);
    result->SetPixelFormat(pf8bit);
    std::vector<TColor> palette;
    for (const TGIFColor& c : reduced.Palette)
        palette.push_back(RGB(c.Red, c.Green, c.Blue));
    palette.resize(256, clBlack);
    result->SetSize(reduced.Width, reduced.Height);
    result->SetPalette(palette);
    for (int y = 0; y < reduced.Height; ++y)
        std::memcpy(result->ScanLine(y), reduced.Indices.data() + int64_t(y) * reduced.Width, size_t(reduced.Width));
    return result;
}
