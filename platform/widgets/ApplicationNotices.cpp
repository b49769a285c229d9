// The application's activation as the window system reports it, passed on
// as window notices (platform/ui/WindowNotices.h).
#include "platform/ui/WindowNotices.h"
#include "platform/widgets/WidgetPeer.h"

#include <QGuiApplication>

void InstallApplicationNotices() {
    static bool installed = false;
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (installed || application == nullptr)
        return;
    installed = true;
    QObject::connect(application, &QGuiApplication::applicationStateChanged, application,
                     [](Qt::ApplicationState state) {
                         NotifyWindowNotice(state == Qt::ApplicationActive ? wnApplicationActivated
                                                                          : wnApplicationDeactivated,
                                            nullptr);
                     });
}
