#pragma once
// The keys the program's menus take before the focused control sees them.
// The window system offers every key press of the program's windows (while
// no modal loop runs) to two handlers that the menu framework installs:
// - a shortcut (a key with Ctrl or Alt, or a function key): the handler
//   runs the menu command that has it and says whether one did;
// - a menu key: Alt with a character, or Alt pressed and released alone
//   (character 0), for the menu bar of the form the key was typed in.
// A key a handler took goes no further.  The keys of an MDI frame's
// document windows (TranslateMDISysKey) come before any shortcut handler.

#include "platform/ui/Keys.h"
#include "platform/ui/Message.h"

#include <functional>

class TWinControl;

// form: the top-level window the key was typed in.
using TShortCutHandler = std::function<bool(TWinControl* form, TShortCut key)>;
using TMenuKeyHandler = std::function<bool(TWinControl* form, char32_t ch)>;

// Installs the handlers (an empty function removes one).
void SetApplicationKeyHandlers(TShortCutHandler shortCuts, TMenuKeyHandler menuKeys);

// A message as the window system takes it from its queue, before any
// handler above sees it: so far the characters typed with Alt
// (WM_SYSCHAR, the character in WParam), for the window they were typed
// in.  The watcher may consume one by turning it into WM_NULL; it then
// goes no further.
struct TQueuedMessage {
    TWinControl* Window = nullptr;
    unsigned Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
};
using TQueuedMessageWatcher = std::function<void(TQueuedMessage& message)>;
// Installs the watcher (an empty function removes it).
void SetQueuedMessageWatcher(TQueuedMessageWatcher watcher);
// What the window system calls; true when the watcher consumed it.
bool OfferQueuedMessage(TQueuedMessage& message);
// What the window system calls; false when nobody took the key.
bool OfferShortCut(TWinControl* form, TShortCut key);
bool OfferMenuKey(TWinControl* form, char32_t ch);
// Whether a key with these shift keys is offered as a shortcut.
bool IsShortCutKey(uint16_t key, TShiftState shift);
