#include "platform/ui/DialogKeys.h"

#include "platform/ui/Control.h"

TWinControl* TopLevelParent(TControl& control) {
    TControl* top = &control;
    while (top->Parent() != nullptr)
        top = top->Parent();
    return dynamic_cast<TWinControl*>(top);
}

namespace {

// The control first, then what it holds, depth first.
template <class Skip>
bool offerRound(TControl& control, unsigned msg, WPARAM wParam, Skip skip) {
    if (skip(control))
        return false;
    if (control.Perform(msg, wParam) != 0)
        return true;
    if (auto* window = dynamic_cast<TWinControl*>(&control))
        for (int i = 0; i < window->ControlCount(); ++i)
            if (offerRound(*window->Controls(i), msg, wParam, skip))
                return true;
    return false;
}

} // namespace

bool SendDialogKey(TControl& control, uint16_t key) {
    TWinControl* top = TopLevelParent(control);
    return top != nullptr && offerRound(*top, CM_DIALOGKEY, key, [](TControl&) { return false; });
}

bool SendDialogChar(TControl& control, char32_t ch) {
    TWinControl* top = TopLevelParent(control);
    // What the user cannot see or use has no access key.
    return ch != 0 && top != nullptr && offerRound(*top, CM_DIALOGCHAR, ch, [](TControl& c) {
               return !c.Visible() || !c.Enabled();
           });
}
