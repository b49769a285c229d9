#pragma once
// Tab and Shift+Tab in a form's window: the focus moves from the control
// that has it to the next one of the form's Tab walk
// (TWinControl::FindNextControl), so the keys follow each control's
// TabOrder rather than the order the windows were made in.

class TWinControl;

// Moves the focus on from the control holding it (through the widget
// Qt has focused) within root; false when no control of root can take it.
bool FocusNextInTabWalk(TWinControl& root, bool forward);
