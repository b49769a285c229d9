#pragma once
// The main window's element commands: the handler names its menu items and
// toolbar buttons carry, each with the dialog it opens.

#include <vector>

class Tframeform;

struct TElementCommand {
    // The main window's click handler, as its item tables name it.
    const char* Handler;
    // Opens the dialog over the active document; does nothing while no
    // document window is active.
    void (*Run)();
};

// Every element command, in the order of the main window's Insert menu.
const std::vector<TElementCommand>& ElementDialogCommands();
// Binds each command to the main window's items with its handler name.
void BindElementDialogCommands(Tframeform& frame);
