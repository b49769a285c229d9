// The floating framed window: a top-level window with a frame of the
// control's own (platform/ui/NonClientMouse.h), without the window
// manager's, floating over its owner window (the WndParent of its
// CreateParams) as a tool window that asks to be shown without activation.
#include "platform/ui/NonClientMouse.h"
#include "platform/widgets/NonClientFramedPeer.h"
#include "platform/widgets/WindowKinds.h"

namespace {
const TWindowKindRegistration registration(wk::FloatingFramed, [](TWinControl& control) {
    TPeerWindowStyle style;
    style.TopLevel = true;
    style.Flags = Qt::Tool | Qt::FramelessWindowHint;
    style.ShowWithoutActivating = true;
    return MakeNonClientFramedPeer(control, style);
});
} // namespace
