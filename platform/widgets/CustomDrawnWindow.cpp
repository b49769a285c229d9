// The custom-drawn window: a child window (a plain top-level one when the
// control has no parent) whose client area the control paints.
#include "platform/widgets/WidgetPeer.h"
#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

namespace {
const TWindowKindRegistration registration(wk::CustomDrawn, [](TWinControl& control) {
    return std::make_unique<TWidgetPeer>(control);
});
} // namespace
