#pragma once
// Notices about the program's top-level windows and the application as a
// whole, for code that follows other windows than its own (a floating
// toolbar hides with the form it floats over and while the application is
// inactive): a top-level window was shown or hidden, minimised or
// restored, or is being freed, the application became active or
// inactive, and the desktop's effects changed.  The window base sends
// the window notices; the window system (platform_widgets) sends the
// others.

#include <functional>

class TWinControl;

enum TWindowNotice {
    wnWindowShown,            // a top-level window became visible
    wnWindowHidden,           // a top-level window was hidden
    wnWindowDestroying,       // a top-level window is being freed
    wnWindowStateChanged,     // a top-level form was minimised, maximised or restored
    wnApplicationActivated,   // one of the program's windows became active (window: nullptr)
    wnApplicationDeactivated, // none of them is active any more (window: nullptr)
    wnDesktopEffectsChanged,  // a compositing manager started or stopped, or the desktop's
                              // settings changed (window: nullptr; SystemSettings.h)
};

using TWindowNoticeHandler = std::function<void(TWindowNotice notice, TWinControl* window)>;

// Adds a handler; the number removes it again.
int AddWindowNoticeHandler(TWindowNoticeHandler handler);
void RemoveWindowNoticeHandler(int id);
// Tells every handler, in the order they were added (a handler may add or
// remove handlers meanwhile).  The application's activation is recorded
// before any handler hears of it.
void NotifyWindowNotice(TWindowNotice notice, TWinControl* window);
// Whether the program is active as the last application notice said; true
// before the window system has said anything (TApplication::Active).
bool ApplicationActiveNoticed();
