#pragma once
// Drawing a metafile where only a small part of what it draws can show.
// The toolkit's raster engine walks every edge of a smoothed path from end
// to end, also where it lies far outside the clip: a damaged metafile with
// a few hundred lines millions of pixels long (one flipped bit in a point)
// takes minutes to draw.  What is drawn on this canvas goes on to the
// target canvas, but a path that reaches far past what the target can show
// is cut to the part that can: fills to their area there, outlines to
// their segments there.  What shows is the same (a dashed outline cut so
// starts its dashes afresh where it enters).

#include "platform/gfx/Canvas.h"

#include <memory>

class TClippingCanvas : public TCanvas {
public:
    // Draws onto the target's painter, below its transformation and within
    // its clip as they are now; the target is not drawn on otherwise
    // meanwhile.
    explicit TClippingCanvas(TCanvas& target);
    ~TClippingCanvas() override;

private:
    class TDevice;
    std::unique_ptr<TDevice> device_;
};
