#include "platform/widgets/LineEditSelection.h"

#include "platform/base/QtBridge.h"

#include <QLineEdit>

void ShowSelection(QLineEdit& line, const std::string& text, TSelRange range) {
    const int start = QtPositionOfProgramText(text, range.Start);
    if (range.Length > 0)
        line.setSelection(start, QtPositionOfProgramText(text, range.Start + range.Length) - start);
    else
        line.setCursorPosition(start);
}

TSelRange SelectionOf(const QLineEdit& line) {
    const QString text = line.text();
    TSelRange range;
    if (line.hasSelectedText()) {
        range.Start = ProgramTextOffsetOfQt(text, line.selectionStart());
        range.Length = ProgramTextOffsetOfQt(text, line.selectionEnd()) - range.Start;
    } else {
        range.Start = ProgramTextOffsetOfQt(text, line.cursorPosition());
    }
    return range;
}

void TLineEditPeer::followLine(QLineEdit* line) {
    line_ = line;
    connect(line, &QLineEdit::selectionChanged, [this] { selectionMoved(); });
    connect(line, &QLineEdit::cursorPositionChanged, [this] { selectionMoved(); });
}

void TLineEditPeer::selectionMoved() {
    if (!line_)
        return;
    TSelRange range = SelectionOf(*line_);
    notify(CN_COMMAND, EN_SELCHANGE, reinterpret_cast<LPARAM>(&range));
}
