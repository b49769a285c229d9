#pragma once
// Drawing a metafile where only a small part of what it draws can show.
// The toolkit's raster engine walks every edge of a smoothed path from end
// to end, also where it lies far outside the clip: a damaged metafile with
// a few hundred lines millions of pixels long (one flipped bit in a point)
// takes minutes to draw.  A painter on this device hands everything on to
// the target painter, but a path that reaches far past what the target can
// show is cut to the part that can: fills to their area there, outlines to
// their segments there.  What shows is the same (a dashed outline cut so
// starts its dashes afresh where it enters).

#include <QPaintDevice>

#include <memory>

class QPainter;
class TClippingEngine;

class TClippingDevice : public QPaintDevice {
public:
    // Paints onto `target`, below its transformation and within its clip,
    // from the state it has now.
    explicit TClippingDevice(QPainter& target);
    ~TClippingDevice() override;

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    std::unique_ptr<TClippingEngine> engine_;
    QPaintDevice* targetDevice_;
};
