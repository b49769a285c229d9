// The window system behind the application object: a QApplication with the
// widget peers installed.  Registered at start-up, so that a program that
// links platform_widgets gets real windows from TApplication::Initialize.
#include "platform/ui/Application.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>

namespace {

class TWidgetsBackend : public TApplicationBackend {
public:
    void Start(int& argc, char** argv) override {
        new QApplication(argc, argv);
        InstallWidgetPeers();
    }
};

[[maybe_unused]] const bool registered = [] {
    static TWidgetsBackend backend;
    SetApplicationBackend(&backend);
    return true;
}();

} // namespace
