#pragma once
// Drag and drop of shell data between windows and programs.  DoDragDrop
// runs a drag of a data object (offered to other programs as the MIME
// types of ShellClipboard.h) until it is dropped or cancelled; a window
// registered with a drop target gets DragEnter, DragOver, DragLeave and
// Drop for data dragged over it, from this program or another.
//
// The widget layer installs the service; without it no drag starts and no
// window takes drops.

#include "platform/shellns/ShellFolder.h"

#include <functional>
#include <memory>

class TWinControl;

// DRAGDROP_S_DROP with the effect done, DRAGDROP_S_CANCEL with none, or
// E_FAIL when drags cannot run here.
HRESULT DoDragDrop(const std::shared_ptr<TDataObject>& data, const std::shared_ptr<TDropSource>& source,
                   uint32_t allowedEffects, uint32_t& effect);
// The control's window must exist.  A second registration replaces the
// first.
HRESULT RegisterDragDrop(TWinControl* control, std::shared_ptr<TDropTarget> target);
HRESULT RevokeDragDrop(TWinControl* control);

struct TDragDropService {
    std::function<HRESULT(const std::shared_ptr<TDataObject>&, const std::shared_ptr<TDropSource>&, uint32_t,
                          uint32_t&)>
        DoDragDrop;
    std::function<HRESULT(TWinControl*, std::shared_ptr<TDropTarget>)> Register;
    std::function<HRESULT(TWinControl*)> Revoke;
};
void SetDragDropService(TDragDropService service);
