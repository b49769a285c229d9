#pragma once
// What the metafile readers (WmfPlayer, EmfConversion, TMetafile) share: the
// screen resolution a metafile's physical frame is measured in, and the
// error either raises for data it cannot read.

#include "platform/gfx/Graphic.h"

// A metafile's frame, given in inches or hundredths of a millimetre, is
// shown at the resolution desktop programs draw at.
constexpr double kMetafilePixelsPerInch = 96;

[[noreturn]] inline void InvalidMetafile() { throw EInvalidGraphic("Metafile is not valid"); }
