#include "platform/ui/SystemSettings.h"

#include <QGuiApplication>
#include <QStyleHints>

int CaretBlinkTime() {
    if (qGuiApp == nullptr)
        return 530;
    // Qt gives the whole on-off cycle.
    return QGuiApplication::styleHints()->cursorFlashTime() / 2;
}
