#include "platform/ui/NonClientFrame.h"

#include "platform/ui/Control.h"

TRect NonClientClientRect(TWinControl& control) {
    TRect rect = Rect(0, 0, control.Width(), control.Height());
    control.Perform(WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void FrameChanged(TWinControl& control) {
    if (auto* peer = dynamic_cast<TNonClientFramePeer*>(control.Peer()))
        peer->FrameChanged();
}
