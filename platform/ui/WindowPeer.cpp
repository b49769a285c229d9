#include "platform/ui/WindowPeer.h"

namespace {
TWindowPeerFactory& factory() {
    static TWindowPeerFactory installed;
    return installed;
}
} // namespace

void SetWindowPeerFactory(TWindowPeerFactory newFactory) { factory() = std::move(newFactory); }

bool HasWindowPeerFactory() { return static_cast<bool>(factory()); }

std::unique_ptr<TWindowPeer> CreateWindowPeer(TWinControl& control) {
    if (!factory())
        return nullptr;
    return factory()(control);
}
