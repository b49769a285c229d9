#pragma once
// The limit on the length of what the user types or pastes into an edit
// box, a combo box's field (CharacterLimit.h) or a memo (their MaxLength):
// counted in characters as the user sees them (a letter with its accents,
// an emoji with its modifiers, a flag: each one), so that a limit never
// cuts a character in half and never counts the halves of the UTF-16 text
// Qt keeps.  Text set by the program is not limited.

#include <QString>
#include <QTextEdit>

#include <functional>


// The limit of a one-line field: its MaxLength, or 32767 characters
// without one (the limit edit boxes have by themselves).
inline int typingLimit(int maxLength) { return maxLength > 0 ? maxLength : 32767; }

// The number of characters of text as the user sees them.
int VisibleCharacterCount(const QString& text);

// The user's change put new text at [start, end) of `after`: the part of
// it to take out, [First, Last), so that `after` holds at most limit
// characters; the new part's end is cut between characters as the user
// sees them (Last lies at or past end, First at or past the start of the
// character start is in).  Empty (First == Last) when all of it fits, or
// limit is 0 (no limit).
struct TCutRange {
    int First = 0;
    int Last = 0;
};
TCutRange LimitedInsertionCut(const QString& after, int start, int end, int limit);
// The same for a change of before into after: the new part is what lies
// between the start and the end they share.
TCutRange CutChange(const QString& before, const QString& after, int limit);

// A plain-text editor that holds what the user types, pastes or drops to
// limit() characters (0: no limit), a line break one: of what would make
// it too long, the end is left out before it goes in, so that the change
// stays one undo step.
class TLimitedTextEdit : public QTextEdit {
public:
    TLimitedTextEdit(QWidget* parent, std::function<int()> limit) : QTextEdit(parent), limit_(std::move(limit)) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // What fits of text put in place of the selection.
    QString fitting(QString text) const;

    std::function<int()> limit_;
};
