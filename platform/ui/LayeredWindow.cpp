#include "platform/ui/LayeredWindow.h"

#include "platform/ui/Control.h"

void UpdateLayeredWindow(TWinControl& control, const TLayeredImage& image) {
    control.HandleNeeded();
    if (auto* peer = dynamic_cast<TLayeredPeer*>(control.Peer()))
        peer->SetLayeredImage(image);
}
