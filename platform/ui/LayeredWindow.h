#pragma once
// Layered windows: top-level windows whose every pixel carries an alpha of
// its own, which the desktop blends with whatever lies beneath, as soft
// drop shadows need.  Only a desktop that composites windows, on a visual
// with an alpha channel, shows them so (LayeredWindowsNow, SystemSettings.h);
// elsewhere a control keeps to windows it paints opaque.  A layered window
// never takes the focus or activates, and the mouse passes through it.
//
// The control does not paint such a window: it hands it an image
// (UpdateLayeredWindow), which the window shows until the next one.


#include <cstdint>
#include <string_view>
#include <vector>

class TWinControl;

namespace wk {
// A top-level layered window (see above).
inline constexpr std::string_view Layered = "Layered";
} // namespace wk

// The pixels of a layered window, row by row from the top: premultiplied
// 0xAARRGGBB (no component exceeds the alpha).  A window given fewer pixels
// than Width x Height keeps the image it had.
struct TLayeredImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
};

// What a window of that kind does besides the usual.
class TLayeredPeer {
public:
    virtual ~TLayeredPeer() = default;
    // The window shows these pixels from now on.
    virtual void SetLayeredImage(const TLayeredImage& image) = 0;
};

// Gives the control's layered window (made now when it has none yet) the
// image as it stands.  Nothing happens without windows (model tests) or
// when the window is of another kind.
void UpdateLayeredWindow(TWinControl& control, const TLayeredImage& image);
