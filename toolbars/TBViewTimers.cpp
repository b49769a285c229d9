// The view timers: one id space for all views, delivered to a hidden
// window and handed to the menu loop that runs (outside a loop they do
// nothing and stop).

#include "platform/ui/Control.h"
#include "toolbars/TBMenuLoop.h"
#include "toolbars/TBView.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

std::vector<TTBView*>& timerSlots() {
    static std::vector<TTBView*> views;
    return views;
}

class TViewTimerWindow : public TWinControl {
public:
    std::string ClassName() const override { return "TTBViewTimerWindow"; }

protected:
    void Dispatch(TMessage& message) override {
        if (message.Msg != WM_TIMER) {
            TWinControl::Dispatch(message);
            return;
        }
        uintptr_t id = message.WParam;
        if (TTBMenuLoop* loop = TTBMenuLoop::Active())
            loop->ViewTimer(id);
        else
            StopViewTimer(id);
    }
};

std::unique_ptr<TViewTimerWindow>& timerWindow() {
    static std::unique_ptr<TViewTimerWindow> window;
    return window;
}

} // namespace

uintptr_t StartViewTimer(TTBView* view, unsigned interval) {
    if (!timerWindow())
        timerWindow() = std::make_unique<TViewTimerWindow>();
    auto& list = timerSlots();
    auto free = std::find(list.begin(), list.end(), nullptr);
    if (free == list.end())
        free = list.insert(list.end(), view);
    else
        *free = view;
    uintptr_t id = static_cast<uintptr_t>(free - list.begin()) + 1;
    SetTimer(timerWindow().get(), id, interval);
    return id;
}

void StopViewTimer(uintptr_t& id) {
    if (id == 0)
        return;
    uintptr_t stopped = id;
    id = 0;
    auto& list = timerSlots();
    if (stopped > list.size())
        return;
    list[stopped - 1] = nullptr;
    if (timerWindow())
        KillTimer(timerWindow().get(), stopped);
    while (!list.empty() && list.back() == nullptr)
        list.pop_back();
}

TTBView* ViewOfTimer(uintptr_t id) {
    auto& list = timerSlots();
    if (id == 0 || id > list.size())
        return nullptr;
    return list[id - 1];
}
