#include "toolbars/TBTrackButton.h"

#include "toolbars/TBTracking.h"

namespace {

class TButtonTracker : public TTBTrackingLoop {
public:
    TButtonTracker(TWinControl* capture, std::function<bool(TPoint)> over, std::function<void(bool)> setPressed)
        : capture_(capture), over_(std::move(over)), setPressed_(std::move(setPressed)) {}
    TWinControl* CaptureWindow() const override { return capture_; }
    bool Clicked() const { return clicked_; }

protected:
    void Moved(TPoint screen) override { setPressed_(over_(screen)); }
    void Released(TPoint screen) override { clicked_ = over_(screen); }

private:
    TWinControl* capture_;
    std::function<bool(TPoint)> over_;
    std::function<void(bool)> setPressed_;
    bool clicked_ = false;
};

} // namespace

bool TrackButton(TWinControl* capture, std::function<bool(TPoint screen)> over, std::function<void(bool)> setPressed) {
    setPressed(true);
    TButtonTracker tracker(capture, std::move(over), setPressed);
    try {
        TBLoopDriver().Run(tracker);
    } catch (...) {
        setPressed(false);
        throw;
    }
    setPressed(false);
    return tracker.Clicked();
}
