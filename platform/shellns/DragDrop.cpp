#include "platform/shellns/DragDrop.h"

namespace {
TDragDropService& service() {
    static TDragDropService instance;
    return instance;
}
} // namespace

void SetDragDropService(TDragDropService value) { service() = std::move(value); }

HRESULT DoDragDrop(const std::shared_ptr<TDataObject>& data, const std::shared_ptr<TDropSource>& source,
                   uint32_t allowedEffects, uint32_t& effect) {
    effect = DROPEFFECT_NONE;
    if (!service().DoDragDrop || !data)
        return E_FAIL;
    return service().DoDragDrop(data, source, allowedEffects, effect);
}

HRESULT RegisterDragDrop(TWinControl* control, std::shared_ptr<TDropTarget> target) {
    if (!service().Register || control == nullptr || !target)
        return E_FAIL;
    return service().Register(control, std::move(target));
}

HRESULT RevokeDragDrop(TWinControl* control) {
    if (!service().Revoke || control == nullptr)
        return E_FAIL;
    return service().Revoke(control);
}
