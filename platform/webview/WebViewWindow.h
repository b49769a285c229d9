#pragma once
// The window of a web-view control (platform code only: Qt types): the
// window base's widget with the engine's view filling its client area.
// The engine's view takes the keyboard focus for the window, and the
// control hears of the focus coming and going as any control does
// (WM_SETFOCUS, WM_KILLFOCUS), also when the user clicks into the page.

#include "platform/widgets/WidgetPeer.h"

class QWidget;

class TWebViewWindow : public TWidgetPeer {
public:
    explicit TWebViewWindow(TWinControl& control);

protected:
    // Puts an engine's view into the client area, filling it.
    void Embed(QWidget* view);

private:
    // A window holding the engine's view needs a window system's window of
    // another kind (an OpenGL surface, for the textures the engine draws
    // into), and Qt makes the top-level window anew the first time such a
    // view appears in it, hiding and showing again every window it owns (a
    // question waiting for its answer too).  Asked now, when the view's
    // window is made: a top-level window not yet made is made of that kind
    // at once, one already made is made anew now, while nothing waits,
    // rather than when the first page loads.
    void prepareTopLevelSurface();
};
