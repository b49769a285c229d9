#pragma once
// Where the keyboard goes when the window that had it closes.  A window
// manager gives it to the window underneath; without one the window
// system leaves it nowhere (on the root window), and keys typed then are
// lost until the user clicks a window.  The program does it itself: when
// a top-level window that held the keyboard hides (a form's modal loop
// ending, one of Qt's dialogs, a message box), the window it was shown
// over takes the keyboard back: its owner, or else the modal dialog still
// open.  With a window manager the request is the one it would carry out
// anyway.

// Installs the application's event filter once (needs the QApplication).
void InstallFocusReturn();
