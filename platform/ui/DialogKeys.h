#pragma once
// The keys a form hands round its controls: Return and Escape that the
// focused control does not want (the default and cancel buttons), and a
// character typed with Alt (the access keys of labels and buttons).

#include <cstdint>

class TControl;
class TWinControl;

// The top-level parent of a control (itself when it has none).
TWinControl* TopLevelParent(TControl& control);

// Sends CM_DIALOGKEY (WParam the key: Return, Escape) to the top-level
// parent of control, then to every control inside it, until one takes it
// (Result not 0).  Standard controls do so with the Return and Escape keys
// they do not want themselves, which is how default and cancel buttons
// hear them.  Returns whether a control took the key.
bool SendDialogKey(TControl& control, uint16_t key);

// Sends CM_DIALOGCHAR (WParam the character, a code point) the same way,
// to the shown and enabled controls only: a label gives the focus to its
// FocusControl, a button presses itself, a menu or toolbar opens its item,
// each when the character is its caption's access key (IsAccessKey).  A
// character typed with Alt (WM_SYSCHAR) that the focused control leaves
// goes round so.  Returns whether a control took it.
bool SendDialogChar(TControl& control, char32_t ch);
