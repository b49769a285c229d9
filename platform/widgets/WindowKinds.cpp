#include "platform/widgets/WindowKinds.h"
#include "platform/ui/QtBridge.h"

#include <string>
#include <utility>
#include <vector>

namespace {
// Filled during static initialisation, in whatever order the files come.
std::vector<std::pair<std::string, TWindowPeerFactory>>& collected() {
    static std::vector<std::pair<std::string, TWindowPeerFactory>> kinds;
    return kinds;
}
} // namespace

TWindowKindRegistration::TWindowKindRegistration(std::string_view kind, TWindowPeerFactory factory) {
    collected().emplace_back(std::string(kind), std::move(factory));
}

void InstallWindowKinds() {
    for (const auto& [kind, factory] : collected())
        RegisterWindowKind(kind, factory);
}
