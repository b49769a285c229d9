#include "platform/ui/StandardControl.h"

TStandardControl::TStandardControl(TComponent* owner) : TWinControl(owner) {
    // The window holds the mouse while a button is down itself.
    ControlStyle &= ~csCaptureMouse;
}

void TStandardControl::PeerChanged(TPeerAspect aspect, int index) {
    if (auto* peer = dynamic_cast<TControlPeer*>(Peer()))
        peer->ControlChanged(aspect, index);
}

void TStandardControl::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
        TWinControl::Dispatch(message);
        PeerChanged(paAppearance);
        return;
    default:
        TWinControl::Dispatch(message);
    }
}

void TStandardControl::DefaultHandler(TMessage& message) {
    switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
        message.Result = 1;
        return;
    default:
        TWinControl::DefaultHandler(message);
    }
}
