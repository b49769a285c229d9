#pragma once
// The registry of window kinds on the widget side.  Each kind lives in a
// file of its own that registers its factory with a static
// TWindowKindRegistration; InstallWidgetPeers hands them all to the window
// base (RegisterWindowKind), so a new kind is a new file and nothing else.
// platform_widgets is linked whole (CMake), so that such a file is never
// left out for lack of a caller.

#include "platform/ui/WindowPeer.h"

#include <string_view>

class TWindowKindRegistration {
public:
    TWindowKindRegistration(std::string_view kind, TWindowPeerFactory factory);
};

// Registers every kind collected so far with the window base.
void InstallWindowKinds();
