// Entry point of the editor program.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>

#include "platform/widgets/WidgetPeer.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Message boxes without a caption of their own show it as well.
    QApplication::setApplicationName("Korvane Ondrill 3.2");
    // Window controls get their QWidget peers from here on.
    InstallWidgetPeers();

    QMainWindow frame;
    frame.setWindowTitle(QApplication::applicationName());
    auto* area = new QMdiArea(&frame);
    frame.setCentralWidget(area);
    frame.resize(1024, 720);
    frame.show();
    return application.exec();
}
