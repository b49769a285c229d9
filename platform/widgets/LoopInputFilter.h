#pragma once
// The modal loops' application event filter: every mouse, wheel and key
// event of the program's widgets is turned into a TLoopInput (with the
// pointer's screen position and the program window it is for) and offered
// to the running loops before it reaches its widget.  An event the loops
// want to see after they ended (lvPassAfterLoop) is held back and posted
// again, so that it arrives after the loop has returned: a mouse or wheel
// event at the window under the pointer (not the one that held the
// loop's capture), a key where it went; the moves with its button held
// and the release of a press passed on so follow it to the same widget.
// It also installs the locator of program windows under a screen point.

// Installs the filter and the locator once (needs the QApplication).
void InstallLoopInputFilter();
