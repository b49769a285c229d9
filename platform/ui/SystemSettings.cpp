#include "platform/ui/SystemSettings.h"

#include <QGuiApplication>
#include <QStyleHints>

int DoubleClickTime() {
    if (qGuiApp == nullptr)
        return 500;
    return QGuiApplication::styleHints()->mouseDoubleClickInterval();
}

int CaretBlinkTime() {
    if (qGuiApp == nullptr)
        return 530;
    // Qt gives the whole on-off cycle.
    return QGuiApplication::styleHints()->cursorFlashTime() / 2;
}

int WheelScrollLines() {
    if (qGuiApp == nullptr)
        return 3;
    return QGuiApplication::styleHints()->wheelScrollLines();
}

int DragThreshold() {
    if (qGuiApp == nullptr)
        return 4;
    return QGuiApplication::styleHints()->startDragDistance();
}
