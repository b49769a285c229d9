#include "platform/ui/HatchedOverlay.h"

#include "platform/gfx/Bitmap.h"

namespace {
const TBitmap& hatch() {
    static const TBitmap* pattern = [] {
        auto* bitmap = new TBitmap(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                bitmap->Canvas().SetPixel(x, y, (x + y) % 2 == 0 ? clBlack : clWhite);
        bitmap->Canvas().Release();
        return bitmap;
    }();
    return *pattern;
}
} // namespace

THatchedOverlay::THatchedOverlay(TComponent* owner) : TCustomControl(owner) {
    ControlStyle = 0;
    SetVisible(false);
}

void THatchedOverlay::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Kind = std::string(wk::Overlay);
}

void THatchedOverlay::Dispatch(TMessage& message) {
    if (message.Msg == WM_ERASEBKGND) {
        message.Result = 1; // the hatch covers it all
        return;
    }
    TCustomControl::Dispatch(message);
}

void THatchedOverlay::Paint() {
    // The hatch keeps its phase on the parent, wherever the window moves.
    Canvas().TileDraw(ClientRect(), hatch(), Point(Left(), Top()));
}
