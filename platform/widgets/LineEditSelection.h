#pragma once
// The selection of a one-line text box (an edit box, a spin edit's
// field) between the control, which counts bytes of its UTF-8 text, and
// the line edit that shows it, which counts characters.  Both kinds of
// window follow the control's selection with ShowSelection and report
// the user's (TLineEditPeer), so that the field a dialog opens in shows
// its text selected and typing replaces it.

#include "platform/ui/StandardControl.h"
#include "platform/widgets/NativePeer.h"

#include <QLineEdit>
#include <QPointer>

#include <string>

// Selects in line the part of text (the control's text) that range
// names, or puts the cursor at its start when it is empty.
void ShowSelection(QLineEdit& line, const std::string& text, TSelRange range);
// What line has selected, in bytes of the text it holds.
TSelRange SelectionOf(const QLineEdit& line);

// The window of a control with a one-line text box: it reports each move
// of the box's cursor or selection to the control (EN_SELCHANGE, in
// bytes of its text).
class TLineEditPeer : public TNativePeer {
protected:
    TLineEditPeer(TWinControl& control, QWidget* widget) : TNativePeer(control, widget) {}

    // The line edit the control's text shows in (the widget, or a part of
    // it); its cursor and selection are followed from now on.
    void followLine(QLineEdit* line);
    // nullptr once the widget has gone.
    QLineEdit* line() const { return line_; }
    // Tells the control where the box's cursor and selection now are.
    void selectionMoved();

private:
    QPointer<QLineEdit> line_;
};
