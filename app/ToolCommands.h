#pragma once
// The tools of the main window: the tag inspector's grid and its dialogs,
// the quick-code page, and the "Preferences" command.  The main window
// calls this once, after its panes are made.

class Tframeform;

void BindToolCommands(Tframeform& frame);
