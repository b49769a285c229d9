#pragma once
// Tab and Shift+Tab in a form's window: the focus moves from the control
// that has it to the next one of the form's Tab walk
// (TWinControl::FindNextControl), so the keys follow each control's
// TabOrder rather than the order the windows were made in.

#include "platform/ui/WindowPeer.h"

class QWidget;
class TWinControl;

// Moves the focus on from the control holding it (through the widget
// Qt has focused) within root; false when no control of root can take it.
bool FocusNextInTabWalk(TWinControl& root, bool forward);

// Gives widget (a control's window) the keyboard focus, for reason.  The
// move runs the handlers of the control that loses the focus and of the
// one that gains it, and either may free widget's control: its widget is
// marked as in Qt's hands meanwhile, so that it goes only once Qt is done.
void FocusWidget(QWidget& widget, TFocusReason reason);
