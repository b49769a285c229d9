#pragma once
// What the shell tree and the shell list do alike: scrolling while
// something is dragged over them, handing a wheel turn to the shell
// control under the pointer, forwarding the menu messages to the context
// menu being tracked, and keeping their window's drop target registered.

#include "shell/ShellContextMenus.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TPersistent;
class TWinControl;

using TPTShPopupHintEvent = std::function<void(TPersistent* sender, const std::string& hint)>;

// Scrolls a control one step towards an edge the point (client
// coordinates) is near: within 26 pixels of the left or right, 20 of the
// top or bottom; at most every 100 ms (lastTick keeps the time of the
// last step).
void ScrollWhileDragging(TWinControl& control, TPoint client, uint32_t& lastTick);

// A wheel turn over another shell tree or list goes to it (true); the
// caller scrolls itself otherwise.
bool WheelToOtherShellControl(TWinControl& self, TMessage& message);
// Scrolls by the wheel: the system's lines, or a page (per the wheel
// setting), on one bar.
void ScrollByWheel(TWinControl& control, TMessage& message, int bar);

// The menu messages of a tracked context menu (none: false); the help
// texts of its commands go to onHint with sender.
bool ForwardContextMenuMessage(TMessage& message, const std::shared_ptr<TContextMenu>& tracked, TPersistent* sender,
                               const TPTShPopupHintEvent& onHint);

// Registers a new drop target (on) or revokes the one held (off); nothing
// without a window.
void SetDropTargetRegistered(TWinControl& control, std::shared_ptr<TDropTarget>& held, bool on,
                             const std::function<std::shared_ptr<TDropTarget>()>& make);

// The drop target of a shell control's window: hands every call to the
// control (TDropTarget_shtv for the tree, TDropTarget_shlv for the list).
template <class TShellControl>
class TPTForwardingDropTarget : public TDropTarget {
public:
    explicit TPTForwardingDropTarget(TShellControl* control) : control_(control) {}
    HRESULT DragEnter(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint point, uint32_t& effect) override {
        return control_->DragEnter(data, keys, point, effect);
    }
    HRESULT DragOver(uint32_t keys, TPoint point, uint32_t& effect) override {
        return control_->DragOver(keys, point, effect);
    }
    HRESULT DragLeave() override { return control_->DragLeave(); }
    HRESULT Drop(const std::shared_ptr<TDataObject>& data, uint32_t keys, TPoint point, uint32_t& effect) override {
        return control_->Drop(data, keys, point, effect);
    }

private:
    TShellControl* control_;
};
