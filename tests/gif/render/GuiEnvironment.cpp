// The Qt application of the painter suite's ThreadSanitizer build, which
// runs without widgets.
#include "tests/platform/gfx/GuiTestApp.h"
