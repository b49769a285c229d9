#include "toolbars/TBTrackButton.h"

#include "toolbars/TBModal.h"

namespace {

class TButtonTracker : public TTBModalMachine {
public:
    TButtonTracker(TWinControl* capture, std::function<bool(TPoint)> over, std::function<void(bool)> setPressed)
        : capture_(capture), over_(std::move(over)), setPressed_(std::move(setPressed)) {}
    TTBVerdict HandleEvent(const TTBInputEvent& event) override {
        switch (event.Kind) {
        case tbikMouseMove:
            setPressed_(over_(event.Screen));
            break;
        case tbikButtonUp:
            if (event.Button == mbLeft) {
                clicked_ = over_(event.Screen);
                finished_ = true;
            }
            break;
        case tbikButtonDown:
        case tbikDoubleClick:
            if (event.Button == mbLeft)
                finished_ = true;
            break;
        case tbikCaptureLost:
        case tbikQuit:
            finished_ = true;
            break;
        default:
            break;
        }
        return tbvSwallow;
    }
    bool Finished() const override { return finished_; }
    TWinControl* CaptureWindow() const override { return capture_; }
    bool Clicked() const { return clicked_; }

private:
    TWinControl* capture_;
    std::function<bool(TPoint)> over_;
    std::function<void(bool)> setPressed_;
    bool finished_ = false;
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
