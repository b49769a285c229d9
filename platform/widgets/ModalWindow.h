#pragma once
// The modal window open now, whichever kind: one of Qt's own dialogs (a
// message box, a file dialog), which Qt counts as modal, or a form shown
// modally, which runs a loop of its own that Qt does not count.

class QWidget;

// The window of the modal dialog open now (Qt's innermost, else the
// program's latest modal form), or nullptr.
QWidget* ModalWindowNow();
