// The main window's panels seen by the suites that also use the memo,
// whose headers can not meet the panels' in one file.
#include "platform/ui/ExtControls.h"

bool ControlVisible(TPanel* panel) { return panel->Visible(); }
