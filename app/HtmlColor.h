#pragma once
// Colours as HTML writes them.

#include "platform/gfx/Color.h"

#include <string>

// "#RRGGBB" in upper-case hexadecimal; a system colour is resolved to the
// value it has now.
std::string ColorToHtml(TColor color);
