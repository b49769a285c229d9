#pragma once
// The modal window open now, whichever kind: one of Qt's own dialogs (a
// message box, a file dialog), which Qt counts as modal, or a form shown
// modally, which runs a loop of its own that Qt does not count.  And the
// window of the program's that the user works in: the one a dialog belongs
// to, and the one the keyboard comes home to.

class QWidget;

// The window of the modal dialog open now (Qt's innermost, else the
// program's latest modal form), or nullptr.
QWidget* ModalWindowNow();

// The window the user works in now, as the program knows it, other than
// `except`: the modal dialog open, else the active form's window (the main
// window, for a document), else the main form's.  Never none while one of
// them shows, whatever the window system has said of the activation so
// far (after a window has closed, the next one has not been told yet).
QWidget* WorkingWindowNow(const QWidget* except = nullptr);
