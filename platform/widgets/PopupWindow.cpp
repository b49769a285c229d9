// The popup window: top-level, without caption, never focused and never
// activated.  It is a tool-tip window, the only type that stays inactive on
// X11 and on the offscreen platform alike; it floats above the others.
#include "platform/widgets/WidgetPeer.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

namespace {
const TWindowKindRegistration registration(wk::Popup, [](TWinControl& control) {
    TPeerWindowStyle style;
    style.TopLevel = true;
    style.Flags = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    style.NeverFocus = true;
    style.ShowWithoutActivating = true;
    return std::make_unique<TWidgetPeer>(control, style);
});
} // namespace
