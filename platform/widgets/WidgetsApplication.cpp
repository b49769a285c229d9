// The window system behind the application object: a QApplication with the
// widget peers installed.  Registered at start-up, so that a program that
// links platform_widgets gets real windows from TApplication::Initialize.
#include "platform/ui/Application.h"
#include "platform/widgets/WidgetPeer.h"

#include "platform/gfx/QtBridge.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

namespace {

class TWidgetsBackend : public TApplicationBackend {
public:
    void Start(int& argc, char** argv) override {
        new QApplication(argc, argv);
        InstallWidgetPeers();
    }
    // As if the pointer had rested there: the window's tool-tip event.
    void ActivateHint(TPoint screen) override {
        QPoint global = ToQPoint(screen);
        QWidget* under = QApplication::widgetAt(global);
        if (under == nullptr || ControlOfObject(under) == nullptr) {
            QToolTip::hideText();
            return;
        }
        QHelpEvent event(QEvent::ToolTip, under->mapFromGlobal(global), global);
        QApplication::sendEvent(under, &event);
    }
    void CancelHint() override { QToolTip::hideText(); }
};

[[maybe_unused]] const bool registered = [] {
    static TWidgetsBackend backend;
    SetApplicationBackend(&backend);
    return true;
}();

} // namespace
