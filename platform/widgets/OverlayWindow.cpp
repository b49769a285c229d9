// The overlay: a window that shows what the control paints but lets every
// mouse event through to what lies beneath, as a drag outline needs.  With
// a parent it is a child window over its siblings; without one a top-level
// tool-tip window (never focused, never activated).  Its shape usually comes
// from a window region (the frame of the outline).
#include "platform/ui/Control.h"
#include "platform/widgets/WidgetPeer.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

namespace {
const TWindowKindRegistration registration(wk::Overlay, [](TWinControl& control) {
    TPeerWindowStyle style;
    style.TopLevel = control.Parent() == nullptr;
    style.Flags = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                  Qt::WindowTransparentForInput;
    style.NeverFocus = true;
    style.ShowWithoutActivating = true;
    style.InputTransparent = true;
    auto peer = std::make_unique<TWidgetPeer>(control, style);
    if (!style.TopLevel)
        peer->Widget()->raise(); // over its siblings
    return peer;
});
} // namespace
