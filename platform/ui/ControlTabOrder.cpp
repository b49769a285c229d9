// The Tab walk of the window base: each window control keeps its window
// children in Tab order (a new one last); a form's window hands Tab and
// Shift+Tab to FindNextControl, so the walk is this order whatever order
// the windows were made in.
#include "platform/ui/Control.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MDI.h"

#include <algorithm>

int TWinControl::TabOrder() const {
    const TWinControl* parent = Parent();
    if (parent == nullptr)
        return -1;
    if (IsLoading() && loadedTabOrder_ >= 0)
        return loadedTabOrder_;
    const auto& list = parent->tabList_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    // The siblings read after this one are not there yet: the order is
    // sorted out once the parent is loaded.
    if (IsLoading()) {
        loadedTabOrder_ = order;
        return;
    }
    TWinControl* parent = Parent();
    if (parent == nullptr)
        return;
    auto& list = parent->tabList_;
    const int last = static_cast<int>(list.size()) - 1;
    order = std::clamp(order, 0, last);
    const auto at = std::find(list.begin(), list.end(), this);
    if (at - list.begin() == order)
        return;
    list.erase(at);
    list.insert(list.begin() + order, this);
}

void TWinControl::fixupTabList() {
    std::vector<std::pair<int, TWinControl*>> keyed;
    bool any = false;
    for (size_t i = 0; i < tabList_.size(); ++i) {
        TWinControl* child = tabList_[i];
        any = any || child->loadedTabOrder_ >= 0;
        keyed.emplace_back(child->loadedTabOrder_ >= 0 ? child->loadedTabOrder_ : static_cast<int>(i), child);
        child->loadedTabOrder_ = -1;
    }
    if (any) {
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < keyed.size(); ++i)
            tabList_[i] = keyed[i].second;
    }
    // Read alone, into a parent that is not being read: placed now.
    if (loadedTabOrder_ >= 0 && Parent() != nullptr && !Parent()->IsLoading()) {
        const int order = loadedTabOrder_;
        loadedTabOrder_ = -1;
        SetTabOrder(order);
    }
}

namespace {

void addToWalk(const TWinControl& parent, std::vector<TWinControl*>& walk) {
    for (TWinControl* child : parent.TabList()) {
        // Another form is a walk of its own.
        if (dynamic_cast<TCustomForm*>(child) != nullptr || dynamic_cast<TMDIClient*>(child) != nullptr)
            continue;
        walk.push_back(child);
        addToWalk(*child, walk);
    }
}

} // namespace

std::vector<TWinControl*> TWinControl::TabWalk() const {
    std::vector<TWinControl*> walk;
    addToWalk(*this, walk);
    return walk;
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop) const {
    const std::vector<TWinControl*> walk = TabWalk();
    const int count = static_cast<int>(walk.size());
    if (count == 0)
        return nullptr;
    // A control outside the walk (or none) starts it at an end.
    int at = static_cast<int>(std::find(walk.begin(), walk.end(), current) - walk.begin());
    if (at == count)
        at = goForward ? -1 : count;
    for (int step = 1; step <= count; ++step) {
        const int index = ((at + (goForward ? step : -step)) % count + count) % count;
        TWinControl* candidate = walk[static_cast<size_t>(index)];
        if (candidate == current)
            break;
        if ((!checkTabStop || candidate->InTabOrder()) && candidate->CanFocus())
            return candidate;
    }
    return nullptr;
}
