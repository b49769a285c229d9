#include "platform/widgets/TextLimit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <vector>

namespace {

// The offsets of text where characters as the user sees them start, and
// its length.
std::vector<int> characterBoundaries(const QString& text) {
    std::vector<int> boundaries;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (int at = 0; at >= 0; at = static_cast<int>(finder.toNextBoundary()))
        boundaries.push_back(at);
    return boundaries;
}

} // namespace

int VisibleCharacterCount(const QString& text) { return static_cast<int>(characterBoundaries(text).size()) - 1; }

TCutRange LimitedInsertionCut(const QString& after, int start, int end, int limit) {
    const std::vector<int> boundaries = characterBoundaries(after);
    const int total = static_cast<int>(boundaries.size()) - 1;
    if (limit <= 0 || total <= limit)
        return {end, end};
    // The new part in whole characters: from the start of the character
    // its start lies in to the end of the one its end lies in.
    auto index = [&](int offset) {
        return static_cast<int>(std::upper_bound(boundaries.begin(), boundaries.end(), offset) - boundaries.begin()) - 1;
    };
    const int first = index(start);
    int last = index(end);
    if (boundaries[static_cast<size_t>(last)] < end)
        ++last;
    // Characters before the cut and after the new part stay.
    const int kept = total - last;
    const int cut = std::clamp(limit - kept, first, last);
    return {boundaries[static_cast<size_t>(cut)], boundaries[static_cast<size_t>(last)]};
}

TCutRange CutChange(const QString& before, const QString& after, int limit) {
    // The new part lies between what the old and new texts share at their
    // start and at their end.
    const int common =
        static_cast<int>(std::mismatch(before.begin(), before.end(), after.begin(), after.end()).first - before.begin());
    int tail = 0;
    while (tail < before.size() - common && tail < after.size() - common &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return LimitedInsertionCut(after, common, static_cast<int>(after.size()) - tail, limit);
}

QString TLimitedTextEdit::fitting(QString text) const {
    const int limit = limit_();
    if (limit <= 0 || text.isEmpty())
        return text;
    // Line breaks as the document holds them: one character each.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QString shown = document()->toRawText();
    shown.replace(QChar::ParagraphSeparator, u'\n');
    shown.replace(QChar::LineSeparator, u'\n');
    const QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const QString after = shown.left(start) + text + shown.mid(cursor.selectionEnd());
    const TCutRange cut = LimitedInsertionCut(after, start, start + static_cast<int>(text.size()), limit);
    return cut.First == cut.Last ? text : text.left(std::max(0, cut.First - start));
}

void TLimitedTextEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ? QStringLiteral("\n")
                                                                                          : event->text();
    // Characters only: keys that move, delete or take shortcuts type none.
    const bool types = !typed.isEmpty() && (typed == QStringLiteral("\n") || typed.at(0).isPrint()) &&
                       !(event->modifiers() & Qt::ControlModifier) && !isReadOnly();
    if (!types || fitting(typed) == typed) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    // Too long by the whole of it: the key types nothing.
    event->accept();
}

void TLimitedTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString committed = event->commitString();
    const QString fit = fitting(committed);
    if (fit == committed || isReadOnly()) {
        QTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent shortened(event->preeditString(), event->attributes());
    shortened.setCommitString(fit, event->replacementStart(), event->replacementLength());
    QTextEdit::inputMethodEvent(&shortened);
}

void TLimitedTextEdit::insertFromMimeData(const QMimeData* source) {
    if (limit_() <= 0 || source == nullptr || !source->hasText()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    insertPlainText(fitting(source->text()));
}
