#include "toolbars/TBModal.h"

namespace {

TTBLoopDriver* installed = nullptr;

// Without a window system to take events from, a loop can only end.
class TEndingDriver : public TTBLoopDriver {
public:
    void Run(TTBModalMachine& machine) override {
        TTBInputEvent quit;
        quit.Kind = tbikQuit;
        machine.HandleEvent(quit);
    }
};

} // namespace

void SetTBLoopDriver(TTBLoopDriver* driver) { installed = driver; }

TTBLoopDriver& TBLoopDriver() {
    static TEndingDriver ending;
    return installed != nullptr ? *installed : ending;
}
