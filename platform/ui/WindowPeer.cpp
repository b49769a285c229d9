#include "platform/ui/WindowPeer.h"

#include "platform/base/Exceptions.h"
#include "platform/ui/Control.h"

#include <map>

namespace {

std::map<std::string, TWindowPeerFactory, std::less<>>& kinds() {
    static std::map<std::string, TWindowPeerFactory, std::less<>> registered;
    return registered;
}

TControlLocator& locator() {
    static TControlLocator installed;
    return installed;
}

} // namespace

void RegisterWindowKind(std::string_view kind, TWindowPeerFactory factory) {
    if (factory)
        kinds()[std::string(kind)] = std::move(factory);
    else if (auto found = kinds().find(kind); found != kinds().end())
        kinds().erase(found);
}

void UnregisterWindowKinds() { kinds().clear(); }

bool HasWindowKind(std::string_view kind) { return kinds().find(kind) != kinds().end(); }

bool HasWindowPeerFactory() { return !kinds().empty(); }

std::unique_ptr<TWindowPeer> CreateWindowPeer(TWinControl& control) {
    if (kinds().empty())
        return nullptr;
    const std::string& kind = control.WindowParams().Kind;
    auto found = kinds().find(kind);
    if (found == kinds().end())
        throw EInvalidOperation("No window of the kind \"" + kind + "\" is registered");
    return found->second(control);
}

void SetControlLocator(TControlLocator value) { locator() = std::move(value); }

TWinControl* ControlAtScreen(TPoint screen) { return locator() ? locator()(screen) : nullptr; }
