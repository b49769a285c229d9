#pragma once
// The timers behind SetTimer/KillTimer, as the window base needs them.

class TWinControl;

// Drops every timer of a control (it is going).
void KillAllTimers(TWinControl* control);
