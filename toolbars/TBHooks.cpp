#include "toolbars/TBHooks.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

struct TClient {
    TTBHookProc Proc;
    int UseCount;
    TTBHookPoints Points;
};

std::vector<TClient>& clients() {
    static std::vector<TClient> list;
    return list;
}

std::array<int, kTBHookKindCount> kindUsers{};
TTBHookInstaller installer;

TTBHookKind kindOf(int point) {
    switch (point) {
    case hpSendActivateApp:
    case hpSendWindowPosChanged:
        return hkCallWndProc;
    case hpPreDestroy:
        return hkCBT;
    default:
        return hkGetMessage;
    }
}

// The hook kinds the points need, as bits 1 << kind.
unsigned kindsOf(TTBHookPoints points) {
    unsigned kinds = 0;
    for (int point = 0; point < 4; ++point)
        if (points & (1u << point))
            kinds |= 1u << kindOf(point);
    return kinds;
}

void addUsers(unsigned kinds, int delta) {
    for (int kind = 0; kind < kTBHookKindCount; ++kind) {
        if (!(kinds & (1u << kind)))
            continue;
        int before = kindUsers[kind];
        kindUsers[kind] = std::max(0, before + delta);
        bool wasOn = before > 0, isOn = kindUsers[kind] > 0;
        if (wasOn != isOn && installer)
            installer(static_cast<TTBHookKind>(kind), isOn);
    }
}

} // namespace

void SubscribeHooks(TTBHookProc proc, TTBHookPoints points) {
    auto& list = clients();
    auto it = std::find_if(list.begin(), list.end(), [&](const TClient& c) { return c.Proc == proc; });
    if (it == list.end()) {
        list.push_back({proc, 1, points});
        addUsers(kindsOf(points), +1);
        return;
    }
    ++it->UseCount;
    // Only kinds the client did not use yet gain a user.
    unsigned newKinds = kindsOf(points | it->Points) & ~kindsOf(it->Points);
    it->Points |= points;
    addUsers(newKinds, +1);
}

void UnsubscribeHooks(TTBHookProc proc) {
    auto& list = clients();
    auto it = std::find_if(list.begin(), list.end(), [&](const TClient& c) { return c.Proc == proc; });
    if (it == list.end())
        return;
    if (--it->UseCount > 0)
        return;
    unsigned kinds = kindsOf(it->Points);
    list.erase(it);
    addUsers(kinds, -1);
}

void CallHookClients(TTBHookPoint point, TWinControl* window, WPARAM wParam, LPARAM lParam) {
    if (kindUsers[kindOf(point)] == 0)
        return;
    // A client may unsubscribe (itself or another) while it is called: work
    // on a copy and skip those that have gone.
    std::vector<TClient> snapshot = clients();
    for (const TClient& client : snapshot) {
        if (!(client.Points & (1u << point)))
            continue;
        auto& list = clients();
        bool stillThere = std::any_of(list.begin(), list.end(),
                                      [&](const TClient& c) { return c.Proc == client.Proc; });
        if (stillThere)
            client.Proc(point, window, wParam, lParam);
    }
}

bool HookKindInstalled(TTBHookKind kind) { return kindUsers[kind] > 0; }

void SetHookInstaller(TTBHookInstaller value) { installer = std::move(value); }

void RemoveAllHooks() {
    clients().clear();
    addUsers((1u << kTBHookKindCount) - 1, -1000000);
}
