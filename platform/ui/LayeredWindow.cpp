#include "platform/ui/LayeredWindow.h"

#include "platform/ui/Control.h"

#include <algorithm>

uint32_t ScalePremultiplied(uint32_t pixel, int constantAlpha) {
    const uint32_t scale = static_cast<uint32_t>(std::clamp(constantAlpha, 0, 255));
    uint32_t scaled = 0;
    for (int shift = 0; shift < 32; shift += 8)
        scaled |= (((pixel >> shift) & 0xFFu) * scale / 255u) << shift;
    return scaled;
}

void UpdateLayeredWindow(TWinControl& control, const TLayeredImage& image, int constantAlpha) {
    control.HandleNeeded();
    auto* peer = dynamic_cast<TLayeredPeer*>(control.Peer());
    if (peer == nullptr)
        return;
    if (constantAlpha >= 255) {
        peer->SetLayeredImage(image);
        return;
    }
    TLayeredImage seen = image;
    for (uint32_t& pixel : seen.Pixels)
        pixel = ScalePremultiplied(pixel, constantAlpha);
    peer->SetLayeredImage(seen);
}
