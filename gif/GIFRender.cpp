#include "gif/GIFRender.h"

#include "gif/GIFColorReduction.h"
#include "gif/GIFImage.h"
#include "gif/GIFSubImage.h"

#include <algorithm>
#include <cstring>

TGIFPalette PaletteOf(const TGIFColorMap& table) { return TGIFPalette(table.Data(), table.Data() + table.Count()); }

TGIFPalette FramePalette(const TGIFSubImage& frame) {
    if (frame.ColorMap().Count() > 0)
        return PaletteOf(frame.ColorMap());
    if (frame.Image() && frame.Image()->GlobalColorMap().Count() > 0)
        return PaletteOf(frame.Image()->GlobalColorMap());
    return SystemPalette();
}

TGIFDisposal FrameDisposal(const TGIFSubImage& frame) {
    const TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
    const int disposal = control ? control->Disposal() : 0;
    return disposal <= dmPrevious ? TGIFDisposal(disposal) : dmNone;
}

void FrameColorTable(const TGIFSubImage& frame, bool transparent, uint32_t table[256]) {
    const TGIFPalette palette = FramePalette(frame);
    for (int i = 0; i < 256; ++i)
        table[i] = i < int(palette.size()) ? GIFPixelOf(palette[size_t(i)]) : GIFOpaqueBlack;
    if (transparent && frame.Transparent())
        table[frame.GraphicControlExtension()->TransparentColorIndex()] = 0;
}

std::vector<uint32_t> RenderGIFFrame(const TGIFSubImage& frame, bool transparent, bool dithered) {
    const int64_t size = frame.DataSize();
    std::vector<uint32_t> out(size_t(size), 0);
    const uint8_t* pixels = frame.Data();
    if (!pixels)
        return out;
    uint32_t table[256];
    FrameColorTable(frame, transparent, table);
    if (!dithered) {
        for (int64_t i = 0; i < size; ++i)
            out[size_t(i)] = table[pixels[i]];
        return out;
    }
    // Through the colour cube, the engine walking each row its own way;
    // transparent pixels are left alone and take no error.
    TNetscapeColorLookup cube;
    const std::unique_ptr<TDitherEngine> engine = TDitherEngine::Create(gdmFloydSteinberg, frame.Width(), cube);
    const TGIFPalette web = WebPalette();
    for (int y = 0; y < frame.Height(); ++y) {
        const uint8_t* row = pixels + int64_t(y) * frame.Width();
        uint32_t* target = out.data() + int64_t(y) * frame.Width();
        for (int x = engine->Column(); x >= 0 && x < frame.Width(); x = engine->Column()) {
            const uint32_t color = table[row[x]];
            if ((color >> 24) == 0) {
                engine->SkipPixel();
                continue;
            }
            target[x] = GIFPixelOf(web[engine->Dither(uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color))]);
        }
        engine->NextLine();
    }
    return out;
}

// ---- TGIFCompositor ----

TGIFCompositor::TGIFCompositor(const TGIFImage& image, bool transparent, bool dithered)
    : image_(image), transparent_(transparent), dithered_(dithered), width_(image.Width()), height_(image.Height()),
      pixels_(size_t(int64_t(width_) * height_), 0) {}

void TGIFCompositor::Reset() {
    std::fill(pixels_.begin(), pixels_.end(), 0);
    current_ = -1;
    saved_.clear();
}

namespace {

// The part of the frame's rectangle on the screen.
struct TClip {
    int Left, Top, Right, Bottom;
    bool Empty() const { return Right <= Left || Bottom <= Top; }
};

TClip clipOf(const TGIFSubImage& frame, int width, int height) {
    return {std::min(frame.Left(), width), std::min(frame.Top(), height),
            std::min(frame.Left() + frame.Width(), width), std::min(frame.Top() + frame.Height(), height)};
}

} // namespace

void TGIFCompositor::disposeCurrent() {
    if (current_ < 0 || current_ >= image_.Images().Count())
        return;
    const TGIFSubImage& frame = *image_.Images().Frames(current_);
    const TClip clip = clipOf(frame, width_, height_);
    if (clip.Empty())
        return;
    const size_t span = size_t(clip.Right - clip.Left);
    switch (FrameDisposal(frame)) {
    case dmBackground:
        for (int y = clip.Top; y < clip.Bottom; ++y)
            std::fill_n(pixels_.begin() + int64_t(y) * width_ + clip.Left, span, 0u);
        break;
    case dmPrevious:
        if (saved_.size() == span * size_t(clip.Bottom - clip.Top))
            for (int y = clip.Top; y < clip.Bottom; ++y)
                std::memcpy(pixels_.data() + int64_t(y) * width_ + clip.Left,
                            saved_.data() + size_t(y - clip.Top) * span, span * sizeof(uint32_t));
        break;
    default:
        break;
    }
}

void TGIFCompositor::Show(int index) {
    disposeCurrent();
    saved_.clear();
    current_ = index;
    if (index < 0 || index >= image_.Images().Count())
        return;
    const TGIFSubImage& frame = *image_.Images().Frames(index);
    const TClip clip = clipOf(frame, width_, height_);
    if (clip.Empty() || frame.Empty())
        return;
    const size_t span = size_t(clip.Right - clip.Left);
    if (FrameDisposal(frame) == dmPrevious) {
        saved_.resize(span * size_t(clip.Bottom - clip.Top));
        for (int y = clip.Top; y < clip.Bottom; ++y)
            std::memcpy(saved_.data() + size_t(y - clip.Top) * span, pixels_.data() + int64_t(y) * width_ + clip.Left,
                        span * sizeof(uint32_t));
    }
    if (dithered_) {
        const std::vector<uint32_t> picture = RenderGIFFrame(frame, transparent_, true);
        for (int y = clip.Top; y < clip.Bottom; ++y) {
            const uint32_t* from = picture.data() + int64_t(y - frame.Top()) * frame.Width();
            uint32_t* to = pixels_.data() + int64_t(y) * width_;
            for (int x = clip.Left; x < clip.Right; ++x)
                if (const uint32_t color = from[x - frame.Left()]; color >> 24)
                    to[x] = color;
        }
        return;
    }
    uint32_t table[256];
    FrameColorTable(frame, transparent_, table);
    const uint8_t* pixels = frame.Data();
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        const uint8_t* from = pixels + int64_t(y - frame.Top()) * frame.Width() - frame.Left();
        uint32_t* to = pixels_.data() + int64_t(y) * width_;
        for (int x = clip.Left; x < clip.Right; ++x)
            if (const uint32_t color = table[from[x]]; color >> 24)
                to[x] = color;
    }
}
