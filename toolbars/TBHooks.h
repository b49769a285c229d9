#pragma once
// One shared set of application-wide hooks that several windows of the
// framework subscribe to (dockable windows follow the application's
// activation, moves of other windows, windows being destroyed and the
// messages taken from the queue).
//
// A client is a procedure with the hook points it wants.  Each hook kind is
// installed while at least one client needs it: its use count is the
// number of clients that ask for one of its points, so a client that
// subscribes several times, or unsubscribes, never changes another
// client's hooks.  The platform feeds the events in through
// CallHookClients; an installer, when one is set, is told when a kind is
// first needed and when it is no longer needed.

#include "platform/ui/Message.h"

#include <functional>

class TWinControl;

enum TTBHookPoint {
    hpSendActivateApp = 0,     // the application was activated or deactivated
    hpSendWindowPosChanged = 1, // a window moved or changed size
    hpPreDestroy = 2,          // a window is being destroyed
    hpGetMessage = 3,          // a message is taken from the queue
};
using TTBHookPoints = unsigned; // bits 1 << TTBHookPoint
// wParam of hpGetMessage: the message is being removed from the queue
// (lParam: the TQueuedMessage of platform/ui/ApplicationKeys.h, which a
// client may turn into WM_NULL).
constexpr WPARAM kTBMessageRemoved = 1;

enum TTBHookKind { hkCallWndProc = 0, hkCBT = 1, hkGetMessage = 2 };
constexpr int kTBHookKindCount = 3;

using TTBHookProc = void (*)(TTBHookPoint point, TWinControl* window, WPARAM wParam, LPARAM lParam);

// Adds the client or, when the procedure is there already, counts one more
// use of it (a client's later points are added to its earlier ones).
void SubscribeHooks(TTBHookProc proc, TTBHookPoints points);
// Counts one use less; the client goes at 0, and so do the hook kinds no
// other client needs.
void UnsubscribeHooks(TTBHookProc proc);

// Calls every client that asked for the point, in the order they came.
void CallHookClients(TTBHookPoint point, TWinControl* window, WPARAM wParam, LPARAM lParam);

// Whether a hook kind is installed now.
bool HookKindInstalled(TTBHookKind kind);

// Told when a hook kind must be installed (true) or may be removed (false).
using TTBHookInstaller = std::function<void(TTBHookKind kind, bool install)>;
void SetHookInstaller(TTBHookInstaller installer);

// Drops every client and removes every hook (the framework shutting down).
void RemoveAllHooks();
