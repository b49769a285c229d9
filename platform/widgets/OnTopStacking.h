#pragma once
// Windows that stay on top (a form of style fsStayOnTop, such as Special
// Characters) stay above the program's other windows when the program
// raises one of those (a form activated, a floating frame brought up) or
// shows a new one.  A window manager keeps them in a layer of their own;
// without one the window system stacks windows only as they are raised,
// and the hint does nothing.  With one, raising them again asks for what
// it does anyway.

// Installs the application's event filter once (needs the QApplication).
void InstallOnTopStacking();
