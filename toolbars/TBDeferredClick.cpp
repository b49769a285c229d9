#include "toolbars/TBDeferredClick.h"

#include "platform/ui/ComponentWatch.h"
#include "platform/ui/Control.h"
#include "platform/ui/UserInteraction.h"
#include "toolbars/TBItem.h"

#include <algorithm>
#include <map>
#include <memory>

namespace {

std::map<uintptr_t, TComponentWatch<TTBCustomItem>>& pending() {
    static std::map<uintptr_t, TComponentWatch<TTBCustomItem>> clicks;
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
        TTBCustomItem* item = it->second.Get();
        pending().erase(it);
        if (item != nullptr)
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
    pending().try_emplace(token, item);
    if (!PostMessage(window().get(), TBM_DEFERREDCLICK, token, 0)) {
        pending().erase(token);
        RunGuarded([&] { item->Click(); });
    }
}

int PendingItemClicks() {
    return static_cast<int>(
        std::count_if(pending().begin(), pending().end(), [](const auto& click) { return click.second.Alive(); }));
}

void ReleaseDeferredClickWindow() {
    pending().clear();
    window().reset();
}
