#include "toolbars/TBDeferredClick.h"

#include "platform/ui/Control.h"
#include "platform/ui/UserInteraction.h"
#include "toolbars/TBItem.h"

#include <map>
#include <memory>

namespace {

std::map<uintptr_t, TTBCustomItem*>& pending() {
    static std::map<uintptr_t, TTBCustomItem*> clicks;
    return clicks;
}
uintptr_t lastToken = 0;

class TDeferredClickWindow : public TWinControl {
public:
    std::string ClassName() const override { return "TTBDeferredClickWindow"; }

protected:
    void Dispatch(TMessage& message) override {
        if (message.Msg != TBM_DEFERREDCLICK) {
            TWinControl::Dispatch(message);
            return;
        }
        auto it = pending().find(message.WParam);
        if (it == pending().end())
            return;
        TTBCustomItem* item = it->second;
        pending().erase(it);
        item->Click();
    }
};

std::unique_ptr<TDeferredClickWindow>& window() {
    static std::unique_ptr<TDeferredClickWindow> instance;
    return instance;
}

} // namespace

void PostItemClick(TTBCustomItem* item) {
    if (item == nullptr)
        return;
    if (!window())
        window() = std::make_unique<TDeferredClickWindow>();
    uintptr_t token = ++lastToken;
    pending()[token] = item;
    if (!PostMessage(window().get(), TBM_DEFERREDCLICK, token, 0)) {
        pending().erase(token);
        RunGuarded([&] { item->Click(); });
    }
}

int PendingItemClicks() { return static_cast<int>(pending().size()); }

void ForgetDeferredClicks(TTBCustomItem* item) {
    auto& clicks = pending();
    for (auto it = clicks.begin(); it != clicks.end();)
        it = it->second == item ? clicks.erase(it) : std::next(it);
}

void ReleaseDeferredClickWindow() {
    pending().clear();
    window().reset();
}
