#pragma once
// The peer of windows with a frame of the control's own
// (platform/ui/NonClientFrame.h, platform/ui/NonClientMouse.h), for the
// kinds that have one: as a child window or as a top-level one.

#include "platform/widgets/WidgetPeer.h"

#include <memory>

std::unique_ptr<TWindowPeer> MakeNonClientFramedPeer(TWinControl& control, const TPeerWindowStyle& style);
