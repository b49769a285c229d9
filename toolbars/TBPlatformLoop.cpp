// The loop driver of the program: each machine runs as one of the
// platform's modal loops (a nested event loop offered every input event).

#include "platform/ui/ModalLoop.h"
#include "toolbars/TBModal.h"

namespace {

bool translate(const TLoopInput& input, TTBInputEvent& event) {
    event.Screen = input.Screen;
    event.Target = input.Target;
    if (input.IsMouse()) {
        event.Shift = KeysToShiftState(GET_KEYSTATE_WPARAM(input.WParam));
        switch (input.Msg) {
        case WM_MOUSEMOVE:
            event.Kind = tbikMouseMove;
            return true;
        case WM_MOUSEWHEEL:
            event.Kind = tbikWheel;
            event.WheelDelta = GET_WHEEL_DELTA_WPARAM(input.WParam);
            return true;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            event.Kind = tbikButtonDown;
            break;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            event.Kind = tbikDoubleClick;
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            event.Kind = tbikButtonUp;
            break;
        default:
            return false;
        }
        unsigned msg = input.Msg;
        event.Button = msg <= WM_LBUTTONDBLCLK ? mbLeft : msg <= WM_RBUTTONDBLCLK ? mbRight : mbMiddle;
        return true;
    }
    if (input.IsKey()) {
        bool down = input.Msg == WM_KEYDOWN || input.Msg == WM_SYSKEYDOWN;
        event.Kind = down ? tbikKeyDown : tbikKeyUp;
        event.Key = static_cast<uint16_t>(input.WParam);
        event.Shift = KeyDataToShiftState(input.LParam);
        event.Text = input.Characters;
        return true;
    }
    return false;
}

class TPlatformModal : public TModalLoop {
public:
    explicit TPlatformModal(TTBModalMachine& machine) : machine_(machine) { Capture = machine.CaptureWindow(); }

protected:
    void Enter() override {
        if (machine_.Finished())
            Finish(0);
    }

    TLoopVerdict Input(TLoopInput& input) override {
        // A loop of ours inside this one (an edit field's) has seen the
        // event and let it go to its window: it is not this loop's.
        if (InnermostLoop() != this)
            return lvPass;
        TTBInputEvent event;
        if (!translate(input, event))
            return lvPass;
        TTBVerdict verdict = machine_.HandleEvent(event);
        if (verdict == tbvPassAfterEnd)
            return lvPassAfterLoop;
        if (machine_.Finished())
            Finish(0);
        return verdict == tbvSwallow ? lvSwallow : lvPass;
    }

    void CaptureLost() override {
        // An inner loop of ours lends the mouse to its field.
        if (InnermostLoop() != this)
            return;
        TTBInputEvent event;
        event.Kind = tbikCaptureLost;
        machine_.HandleEvent(event);
        if (machine_.Finished())
            Finish(0);
    }

private:
    TTBModalMachine& machine_;
};

class TPlatformDriver : public TTBLoopDriver {
public:
    void Run(TTBModalMachine& machine) override {
        TPlatformModal loop(machine);
        loop.Run();
        if (loop.Ended() == leQuit && !machine.Finished()) {
            TTBInputEvent quit;
            quit.Kind = tbikQuit;
            machine.HandleEvent(quit);
        }
    }
};

TTBLoopDriver* installed = nullptr;

} // namespace

void SetTBLoopDriver(TTBLoopDriver* driver) { installed = driver; }

TTBLoopDriver& TBLoopDriver() {
    static TPlatformDriver platform;
    return installed != nullptr ? *installed : platform;
}
