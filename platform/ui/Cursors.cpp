#include "platform/ui/Cursors.h"

#include "platform/base/TextCodec.h"
#include "platform/ui/QtBridge.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <map>
#include <vector>

namespace {

struct NamedCursors {
    std::vector<QCursor> cursors; // number n is cursors[n - 1]
    std::map<std::string, int> numbers;
};

NamedCursors& named() {
    static NamedCursors table;
    return table;
}

int screenCursor = crDefault;

// An arrow of the classic shape, pointing up-left, or mirrored to point
// right; black outline, white inside.
QPixmap arrowPixmap(bool pointRight, bool plus) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QPolygon arrow({QPoint(0, 0), QPoint(0, 15), QPoint(4, 11), QPoint(7, 18), QPoint(9, 17),
                    QPoint(6, 10), QPoint(11, 10)});
    if (pointRight)
        for (QPoint& p : arrow)
            p.setX(16 - p.x());
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawPolygon(arrow);
    if (plus) {
        // A small box with a plus below-right of the tip.
        painter.drawRect(12, 18, 10, 10);
        painter.drawLine(14, 23, 20, 23);
        painter.drawLine(17, 20, 17, 26);
    }
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace

int RegisterNamedCursor(std::string_view name, const QCursor& cursor) {
    NamedCursors& table = named();
    std::string key = UpperCase(name);
    if (auto it = table.numbers.find(key); it != table.numbers.end()) {
        table.cursors[static_cast<size_t>(it->second - 1)] = cursor;
        return it->second;
    }
    table.cursors.push_back(cursor);
    int number = static_cast<int>(table.cursors.size());
    table.numbers.emplace(key, number);
    return number;
}

int NamedCursor(std::string_view name) {
    const NamedCursors& table = named();
    auto it = table.numbers.find(UpperCase(name));
    return it == table.numbers.end() ? crDefault : it->second;
}

void RegisterProgramCursors() {
    if (qGuiApp == nullptr || NamedCursor("PMRIGHTARROW") != crDefault)
        return;
    RegisterNamedCursor("PMRIGHTARROW", QCursor(arrowPixmap(true, false), 16, 0));
    RegisterNamedCursor("DRAGCOPY", QCursor(arrowPixmap(false, true), 0, 0));
}

QCursor CursorToQCursor(int cursor) {
    if (cursor > 0) {
        const NamedCursors& table = named();
        if (static_cast<size_t>(cursor) <= table.cursors.size())
            return table.cursors[static_cast<size_t>(cursor - 1)];
        return QCursor(Qt::ArrowCursor);
    }
    switch (cursor) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass:
    case crSQLWait: return QCursor(Qt::WaitCursor);
    case crDrag:
    case crMultiDrag: return QCursor(Qt::DragMoveCursor);
    case crNoDrop:
    case crNo: return QCursor(Qt::ForbiddenCursor);
    case crHSplit: return QCursor(Qt::SplitHCursor);
    case crVSplit: return QCursor(Qt::SplitVCursor);
    case crAppStart: return QCursor(Qt::BusyCursor);
    case crHelp: return QCursor(Qt::WhatsThisCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

int ScreenCursor() { return screenCursor; }

void SetScreenCursor(int cursor) {
    if (cursor == screenCursor)
        return;
    if (qGuiApp != nullptr) {
        if (screenCursor != crDefault)
            QGuiApplication::restoreOverrideCursor();
        if (cursor != crDefault)
            QGuiApplication::setOverrideCursor(CursorToQCursor(cursor));
    }
    screenCursor = cursor;
}

TPoint GetCursorPos() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return {};
    return FromQPoint(QCursor::pos());
}

void SetCursorPos(TPoint screen) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
        QCursor::setPos(ToQPoint(screen));
}
