#include "gif/GIFOptimize.h"

#include "gif/GIFException.h"
#include "gif/GIFRender.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

bool restoresPicture(const TGIFSubImage& frame) { return FrameDisposal(frame) >= dmBackground; }

bool waitsForInput(const TGIFSubImage& frame) {
    return frame.GraphicControlExtension() && frame.GraphicControlExtension()->UserInput();
}

int transparentIndex(const TGIFSubImage& frame) {
    return frame.Transparent() ? frame.GraphicControlExtension()->TransparentColorIndex() : -1;
}

bool usesIndex(const TGIFSubImage& frame, int index) {
    const uint8_t* pixels = frame.Data();
    const int64_t size = frame.DataSize();
    return pixels && std::find(pixels, pixels + size, uint8_t(index)) != pixels + size;
}

TGIFGraphicControlExtension& controlOf(TGIFSubImage& frame) {
    if (!frame.GraphicControlExtension()) {
        auto* control = new TGIFGraphicControlExtension(&frame);
        frame.Extensions().Insert(0, control);
    }
    return *frame.GraphicControlExtension();
}

// The bytes a frame adds to the file, with the global table it may have
// grown.  A frame that can not be written counts as endless.
int64_t writtenSize(TGIFSubImage& frame) {
    TMemoryStream stream;
    try {
        frame.SaveToStream(stream);
        if (frame.Image())
            frame.Image()->GlobalColorMap().SaveToStream(stream);
    } catch (const GIFException&) {
        return INT64_MAX;
    }
    return stream.Size();
}

// Restore to background or previous: the frame's rectangle is part of what
// it does, so neither crop nor deltas may move or shrink what it covers.
bool mayReshape(const TGIFSubImage& frame) { return !restoresPicture(frame); }

class TOptimizer {
public:
    TOptimizer(TGIFImage& image, TGIFOptimizeOptions options) : image_(image), options_(options) {
        total_ = int64_t(image.Images().Count()) * 6;
    }

    void Run() {
        if (options_ & ooColorMap)
            optimizeTables();
        step();
        if (options_ & ooCleanup)
            dropUnusedTransparency();
        step();
        if (options_ & ooMerge)
            makeDeltas();
        step();
        if (options_ & ooCrop)
            crop();
        step();
        if (options_ & ooCleanup)
            cleanUp();
        step();
    }

private:
    TGIFImageList& frames() { return image_.Images(); }
    int count() { return frames().Count(); }
    TGIFSubImage& frame(int i) { return *frames().Frames(i); }

    void step() {
        done_ += count();
        image_.Progress(&image_, psRunning, total_ > 0 ? int(std::min<int64_t>(done_ * 100 / total_, 100)) : 100,
                        false, sProgressOptimizing);
    }

    void optimizeTables() {
        if (image_.GlobalColorMap().Count() > 0)
            image_.GlobalColorMap().Optimize();
        for (int i = 0; i < count(); ++i)
            if (frame(i).ColorMap().Count() > 0)
                frame(i).ColorMap().Optimize();
    }

    // A transparent index no pixel uses changes nothing; a disposal whose
    // rectangle the next frame covers opaquely, and which that frame does
    // not undo, changes nothing either.
    void dropUnusedTransparency() {
        for (int i = 0; i < count(); ++i) {
            TGIFSubImage& f = frame(i);
            if (f.Transparent() && !usesIndex(f, transparentIndex(f)))
                f.GraphicControlExtension()->SetTransparent(false);
        }
        for (int i = 0; i + 1 < count(); ++i) {
            TGIFSubImage& f = frame(i);
            TGIFSubImage& next = frame(i + 1);
            if (!restoresPicture(f) || f.Empty() || next.Empty() || next.Transparent() ||
                FrameDisposal(next) == dmPrevious)
                continue;
            TRect common;
            IntersectRect(common, f.BoundsRect(), next.BoundsRect());
            if (common == f.BoundsRect())
                f.GraphicControlExtension()->SetDisposal(dmNone);
        }
    }

    void makeDeltas() {
        for (int i = count() - 1; i >= 1; --i) {
            int j = i - 1;
            while (j >= 1 && FrameDisposal(frame(j)) == dmPrevious)
                --j;
            TGIFSubImage& f = frame(i);
            const TGIFSubImage& below = frame(j);
            if (restoresPicture(below) || f.Empty())
                continue;
            // Kept only when it makes the file smaller: a delta may need a
            // graphic control extension or a larger colour table.
            TGIFSubImage backup(&image_);
            backup.Assign(&f);
            TGIFGlobalColorMap& global = image_.GlobalColorMap();
            const TGIFPalette globalBefore = global.ExportPalette();
            const bool globalSorted = global.Optimized();
            const int64_t before = writtenSize(f);
            if (!MakeGIFDelta(f, below))
                continue;
            if (writtenSize(f) < before)
                continue;
            f.Assign(&backup);
            if (global.Count() != int(globalBefore.size())) {
                global.ImportPalette(globalBefore);
                global.SetOptimized(globalSorted);
            }
        }
    }

    void crop() {
        for (int i = count() - 1; i >= 0; --i) {
            TGIFSubImage& f = frame(i);
            if (f.Empty() || !f.Transparent() || !mayReshape(f))
                continue;
            if (!CropGIFFrame(f))
                foldIntoPrevious(i);
        }
    }

    // A frame that draws nothing and disposes of nothing only adds its
    // delay; the frame before shows on for that long instead, unless that
    // one's own disposal would then be seen later than before.  The frame
    // before must be one that is shown: a frame without pixels between
    // them is never drawn (nor disposed of), so time given to it would be
    // lost, and the disposal that counts is that of the frame before it.
    void foldIntoPrevious(int i) {
        TGIFSubImage& f = frame(i);
        if (i == 0 || waitsForInput(f) || frame(i - 1).Empty() || restoresPicture(frame(i - 1)))
            return;
        TGIFSubImage& previous = frame(i - 1);
        // Delays as they are shown: none means the fallback, the shortest
        // is the floor.
        auto shown = [](const TGIFSubImage& of) {
            const int delay = of.GraphicControlExtension() ? of.GraphicControlExtension()->Delay() : 0;
            return delay == 0 ? GIFFallbackDelay : std::max(delay, GIFDelayFloor);
        };
        const int delay = shown(previous) + shown(f);
        if (delay > 65535)
            return; // the sum does not fit the 16-bit delay
        controlOf(previous).SetDelay(uint16_t(delay));
        // The frame's other extensions (comments, the loop count) move to
        // the next frame, so they keep their place in the file.  Its
        // graphic controls stay behind, the stray ones after the first
        // too: moved on, one would become the next frame's own and change
        // its time, disposal or transparency.
        TGIFSubImage* next = i + 1 < count() ? &frame(i + 1) : nullptr;
        if (!next) {
            next = new TGIFSubImage(&image_);
            frames().Add(next);
        }
        std::vector<TGIFExtension*> moving;
        for (int k = 0; k < f.Extensions().Count(); ++k)
            if (!dynamic_cast<TGIFGraphicControlExtension*>(f.Extensions().Extensions(k)))
                moving.push_back(f.Extensions().Extensions(k));
        for (size_t k = 0; k < moving.size(); ++k) {
            TMemoryStream copy;
            moving[k]->SaveToStream(copy);
            copy.SetPosition(0);
            TGIFExtensionList carried(next);
            carried.LoadFromStream(copy, next);
            while (carried.Count() > 0) {
                TGIFItem* item = carried.Items(0);
                carried.Remove(item);
                next->Extensions().Insert(int(k), item);
            }
        }
        frames().Delete(i);
    }

    // The loop extension viewers follow: the first that holds a loop count.
    bool isFirstLoopExtension(const TGIFExtension* extension) {
        for (int i = 0; i < count(); ++i)
            for (int k = 0; k < frame(i).Extensions().Count(); ++k)
                if (auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(frame(i).Extensions().Extensions(k)))
                    if (loop->HasLoopCount)
                        return loop == extension;
        return false;
    }

    void cleanUp() {
        const bool single = count() == 1;
        for (int i = count() - 1; i >= 0; --i) {
            TGIFSubImage& f = frame(i);
            for (int k = f.Extensions().Count() - 1; k >= 0; --k) {
                TGIFExtension* extension = f.Extensions().Extensions(k);
                const bool loop = dynamic_cast<TGIFAppExtNSLoop*>(extension) != nullptr;
                if (loop && !single && isFirstLoopExtension(extension))
                    continue;
                if (loop || dynamic_cast<TGIFCommentExtension*>(extension) ||
                    dynamic_cast<TGIFTextExtension*>(extension) ||
                    dynamic_cast<TGIFUnknownAppExtension*>(extension) ||
                    dynamic_cast<TGIFUnknownExtension*>(extension))
                    f.Extensions().Delete(k);
            }
            if (TGIFGraphicControlExtension* control = f.GraphicControlExtension()) {
                if ((control->Delay() == 0 || single) && !control->Transparent() && !control->UserInput() &&
                    (control->Disposal() < dmBackground || single))
                    f.Extensions().Delete(f.Extensions().IndexOf(control));
            }
            if (f.Empty() && f.Extensions().Count() == 0)
                frames().Delete(i);
        }
    }

    TGIFImage& image_;
    TGIFOptimizeOptions options_;
    int64_t total_ = 0;
    int64_t done_ = 0;
};

} // namespace

bool CropGIFFrame(TGIFSubImage& frame) {
    if (frame.Empty() || !frame.Transparent())
        return false;
    const uint8_t t = uint8_t(transparentIndex(frame));
    const int width = frame.Width();
    const int height = frame.Height();
    // Pixels beyond the logical screen are never shown: the frame is cut
    // to the part on it, so that it never grows the screen.
    int shownWidth = width, shownHeight = height;
    if (const TGIFImage* image = frame.Image()) {
        shownWidth = std::clamp(image->Width() - frame.Left(), 0, width);
        shownHeight = std::clamp(image->Height() - frame.Top(), 0, height);
    }
    const uint8_t* pixels = static_cast<const TGIFSubImage&>(frame).Data();
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < shownHeight; ++y) {
        const uint8_t* row = pixels + int64_t(y) * width;
        for (int x = 0; x < shownWidth; ++x) {
            if (row[x] == t)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return false;
    if (left == 0 && top == 0 && right == width - 1 && bottom == height - 1)
        return true;
    const int newWidth = right - left + 1;
    const int newHeight = bottom - top + 1;
    std::vector<uint8_t> kept(size_t(newWidth) * size_t(newHeight));
    for (int y = 0; y < newHeight; ++y)
        std::memcpy(kept.data() + size_t(y) * size_t(newWidth), pixels + int64_t(top + y) * width + left,
                    size_t(newWidth));
    frame.SetBounds(frame.Left() + left, frame.Top() + top, newWidth, newHeight);
    std::memcpy(frame.Data(), kept.data(), kept.size());
    return true;
}

bool MakeGIFDelta(TGIFSubImage& frame, const TGIFSubImage& previous) {
    if (frame.Empty() || previous.Empty())
        return false;
    TRect overlap;
    if (!IntersectRect(overlap, frame.BoundsRect(), previous.BoundsRect()))
        return false;
    uint32_t own[256], below[256];
    FrameColorTable(frame, false, own);
    FrameColorTable(previous, true, below);
    const int t = transparentIndex(frame);
    const uint8_t* pixels = static_cast<const TGIFSubImage&>(frame).Data();
    const uint8_t* under = previous.Data();
    // The pixels that repeat what is below them.
    std::vector<int64_t> same;
    for (int y = overlap.Top; y < overlap.Bottom; ++y)
        for (int x = overlap.Left; x < overlap.Right; ++x) {
            const int64_t at = int64_t(y - frame.Top()) * frame.Width() + (x - frame.Left());
            const uint32_t shown = below[under[int64_t(y - previous.Top()) * previous.Width() + (x - previous.Left())]];
            if (pixels[at] != t && (shown >> 24) != 0 && own[pixels[at]] == shown)
                same.push_back(at);
        }
    if (same.empty())
        return false;
    int index = t;
    if (index < 0) {
        TGIFColorMap& table = frame.ColorMap().Count() > 0 ? static_cast<TGIFColorMap&>(frame.ColorMap())
                                                            : frame.ActiveColorMap();
        if (table.Count() == 0)
            return false;
        bool used[256] = {};
        for (int64_t i = 0; i < frame.DataSize(); ++i)
            used[pixels[i]] = true;
        for (int i = 0; i < table.Count() && index < 0; ++i)
            if (!used[i])
                index = i;
        if (index < 0) {
            if (table.Count() >= GIFMaxColors || used[table.Count()])
                return false;
            index = table.Add(0);
        }
    }
    uint8_t* writable = frame.Data();
    for (int64_t at : same)
        writable[at] = uint8_t(index);
    // A frame that is transparent already keeps its index as it is, even
    // one beyond its table (which setting it again would refuse).
    if (t < 0) {
        TGIFGraphicControlExtension& control = controlOf(frame);
        control.SetTransparent(true);
        control.SetTransparentColorIndex(index);
    }
    return true;
}

void OptimizeGIFImage(TGIFImage& image, TGIFOptimizeOptions options, TGIFColorReduction method) {
    if (image.Empty())
        return;
    image.StopPainters();
    image.Progress(&image, psStarting, 0, false, sProgressOptimizing);
    bool done = false;
    try {
        TOptimizer(image, options).Run();
        if ((options & ooReduceColors) && !(options & ooCleanup) && method >= gcrCustomPalette)
            GIFError(sInvalidReductionMethod);
        done = true;
    } catch (...) {
        image.Progress(&image, psEnding, 0, true, sProgressOptimizing);
        image.Changed(&image);
        throw;
    }
    image.Progress(&image, psEnding, done ? 100 : 0, true, sProgressOptimizing);
    image.Changed(&image);
}
