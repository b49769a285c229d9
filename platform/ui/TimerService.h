#pragma once
// The timers behind SetTimer/KillTimer, shared by the tick sources.

#include <cstdint>
#include <optional>

class TWinControl;

void KillAllTimers(TWinControl* control);
// The earliest due time of all timers, if any.
std::optional<uint64_t> NextTimerDue();
// Delivers WM_TIMER to every timer due at the current tick, once each.
void FireDueTimers();
// Re-plans the real-clock driver (after timers or the clock changed).
void RescheduleTimers();
// Moves every timer to be due one interval from now (after a change of
// clock, whose time has another origin).
void RebaseTimers();
