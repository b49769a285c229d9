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
};
