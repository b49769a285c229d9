// The popup window: top-level, without caption, never focused and never
// activated.  It is a tool-tip window, the only type that stays inactive on
// X11 and on the offscreen platform alike; it floats above the others.  The
// shadowed popup is one the desktop takes for a popup menu.
#include "platform/widgets/WidgetPeer.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

namespace {
TPeerWindowStyle popupStyle() {
    TPeerWindowStyle style;
    style.TopLevel = true;
    style.Flags = Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    style.NeverFocus = true;
    style.ShowWithoutActivating = true;
    return style;
}

const TWindowKindRegistration registration(wk::Popup, [](TWinControl& control) {
    return std::make_unique<TWidgetPeer>(control, popupStyle());
});

// The same window, typed as a popup menu for the desktop, whose compositing
// manager then shadows it as it shadows its own menus.
const TWindowKindRegistration shadowed(wk::ShadowedPopup, [](TWinControl& control) {
    TPeerWindowStyle style = popupStyle();
    style.PopupMenuType = true;
    return std::make_unique<TWidgetPeer>(control, style);
});
} // namespace
