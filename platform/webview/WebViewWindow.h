#pragma once
// The window of a web-view control (platform code only: Qt types): the
// window base's widget with the engine's view filling its client area.
// The engine's view takes the keyboard focus for the window.

#include "platform/widgets/WidgetPeer.h"

class QWidget;

class TWebViewWindow : public TWidgetPeer {
public:
    explicit TWebViewWindow(TWinControl& control);

protected:
    // Puts an engine's view into the client area, filling it.
    void Embed(QWidget* view);
};
