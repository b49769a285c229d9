// The frameless top-level window: no frame or caption of the window
// manager (the control draws its own), a tool window floating over its
// owner window (the WndParent of its CreateParams).  It asks to be shown
// without activation, which window managers may or may not honour; unlike
// a popup it can take the keyboard focus.
#include "platform/widgets/WidgetPeer.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

namespace {
const TWindowKindRegistration registration(wk::Frameless, [](TWinControl& control) {
    TPeerWindowStyle style;
    style.TopLevel = true;
    style.Flags = Qt::Tool | Qt::FramelessWindowHint;
    style.ShowWithoutActivating = true;
    return std::make_unique<TWidgetPeer>(control, style);
});
} // namespace
