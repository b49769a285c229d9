#pragma once
// The selection of a one-line text box (an edit box, a spin edit's
// field) between the control, which counts bytes of its UTF-8 text, and
// the line edit that shows it, which counts characters.  Both kinds of
// window follow the control's selection with ShowSelection and report
// the user's with SelectionOf, so that the field a dialog opens in shows
// its text selected and typing replaces it.

#include "platform/ui/StandardControl.h"

#include <string>

class QLineEdit;

// Selects in line the part of text (the control's text) that range
// names, or puts the cursor at its start when it is empty.
void ShowSelection(QLineEdit& line, const std::string& text, TSelRange range);
// What line has selected, in bytes of the text it holds.
TSelRange SelectionOf(const QLineEdit& line);
