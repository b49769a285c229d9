#include "toolbars/TBTracking.h"

TTBVerdict TTBTrackingLoop::HandleEvent(const TTBInputEvent& event) {
    switch (event.Kind) {
    case tbikMouseMove:
        Moved(event.Screen);
        break;
    case tbikKeyDown:
    case tbikKeyUp:
        if (event.Key == VK_ESCAPE)
            finished_ = true;
        else
            Key(event);
        break;
    case tbikButtonUp:
        if (event.Button == mbLeft) {
            Released(event.Screen);
            accepted_ = true;
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
