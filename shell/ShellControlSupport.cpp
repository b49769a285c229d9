#include "shell/ShellControlSupport.h"

#include "platform/shellns/DragDrop.h"
#include "platform/ui/Control.h"
#include "platform/ui/TickSource.h"
#include "shell/ShellList.h"
#include "shell/ShellOps.h"
#include "shell/ShellTree.h"
#include "shell/ShellUtils.h"

void ScrollWhileDragging(TWinControl& control, TPoint client, uint32_t& lastTick) {
    uint32_t now = GetTickCount();
    if (now - lastTick <= 100)
        return;
    if (client.X < 26)
        ScrollStep(control, SB_HORZ, SB_LINELEFT);
    else if (client.X > control.ClientWidth() - 26)
        ScrollStep(control, SB_HORZ, SB_LINERIGHT);
    if (client.Y < 20)
        ScrollStep(control, SB_VERT, SB_LINEUP);
    else if (client.Y > control.ClientHeight() - 20)
        ScrollStep(control, SB_VERT, SB_LINEDOWN);
    lastTick = now;
}

bool WheelToOtherShellControl(TWinControl& self, TMessage& message) {
    TWinControl* under = ControlAtScreen(PointFromLParam(message.LParam));
    if (under == nullptr || under == &self ||
        (dynamic_cast<TPTCustomShellTree*>(under) == nullptr && dynamic_cast<TPTCustomShellList*>(under) == nullptr))
        return false;
    message.Result = under->Perform(message.Msg, message.WParam, message.LParam);
    return true;
}

void ScrollByWheel(TWinControl& control, TMessage& message, int bar) {
    int delta = GET_WHEEL_DELTA_WPARAM(message.WParam);
    WheelScroll(control, bar, delta < 0, delta < 0 ? SB_PAGEDOWN : SB_PAGEUP);
    message.Result = 0;
}

bool ForwardContextMenuMessage(TMessage& message, const std::shared_ptr<TContextMenu>& tracked, TPersistent* sender,
                               const TPTShPopupHintEvent& onHint) {
    if (!tracked)
        return false;
    TShellMenuContext context;
    context.ContextMenu = tracked;
    context.SmallImages = GetSystemImageList(0);
    if (onHint)
        context.OnPopupHint = [sender, &onHint](const std::string& hint) { onHint(sender, hint); };
    return HandleShellMenuMessage(message, context);
}

void SetDropTargetRegistered(TWinControl& control, std::shared_ptr<TDropTarget>& held, bool on,
                             const std::function<std::shared_ptr<TDropTarget>()>& make) {
    if (on && !held && control.HandleAllocated()) {
        held = make();
        RegisterDragDrop(&control, held);
    } else if (!on && held) {
        if (control.HandleAllocated())
            RevokeDragDrop(&control);
        held.reset();
    }
}
