// Selecting and editing by keys and clicks, checked step by step against a
// plain model of the text, the caret and the selection's anchor: moves with
// and without Shift (characters, words, line ends, lines, pages), clicks and
// Shift+clicks, dragging the selection to move or copy it (a move undone in
// one step), typing over the selection, Enter, Backspace and Delete (also
// with Ctrl).  Also: Left at the start of the text, and going to a display
// line of a text still being formatted.
// The model follows the memo's key rules: a move without Shift first
// collapses the selection onto the caret, then moves; a move that cannot
// happen vertically leaves everything as it was.

#include "MemoWindow.h"

#include <deque>
#include <random>
#include <string>

namespace {

constexpr std::string_view kSeparators = "\t $%&,./:;<=>";

bool isSeparator(char c) { return kSeparators.find(c) != std::string_view::npos; }

// The text with CR LF breaks, the caret and the anchor as offsets, and the
// column that vertical moves keep (-1 = none yet).
struct TSelectionModel {
    std::string Text;
    int Caret = 0;
    int Anchor = 0;
    int Remembered = -1;

    int Low() const { return std::min(Caret, Anchor); }
    int High() const { return std::max(Caret, Anchor); }
    int Length() const { return static_cast<int>(Text.size()); }
    char At(int offset) const { return offset < Length() ? Text[static_cast<size_t>(offset)] : '\0'; }
    int LineStart(int offset) const {
        size_t lf = offset > 0 ? Text.rfind('\n', static_cast<size_t>(offset - 1)) : std::string::npos;
        return lf == std::string::npos ? 0 : static_cast<int>(lf) + 1;
    }
    int LineEnd(int offset) const {
        size_t cr = Text.find('\r', static_cast<size_t>(offset));
        return cr == std::string::npos ? Length() : static_cast<int>(cr);
    }
    int LineOf(int offset) const {
        return static_cast<int>(std::count(Text.begin(), Text.begin() + offset, '\n'));
    }
    int LineCount() const { return LineOf(Length()) + 1; }
    int StartOfLine(int line) const {
        int offset = 0;
        for (int i = 0; i < line; ++i)
            offset = LineEnd(offset) + 2;
        return offset;
    }

    // A move: without Shift the selection collapses onto the new caret.
    void MoveTo(int offset, bool shift) {
        Caret = offset;
        if (!shift)
            Anchor = offset;
    }
    void Left(bool shift, bool ctrl) {
        Remembered = -1;
        int offset = Caret;
        if (ctrl)
            offset = WordLeft(offset);
        else if (offset > LineStart(offset))
            --offset;
        else if (offset > 0)
            offset -= 2;
        MoveTo(offset, shift);
    }
    void Right(bool shift, bool ctrl) {
        Remembered = -1;
        int offset = Caret;
        if (ctrl)
            offset = WordRight(offset);
        else if (offset < LineEnd(offset))
            ++offset;
        else if (offset < Length())
            offset += 2;
        MoveTo(offset, shift);
    }
    // Back over separators; from a paragraph's start to the previous
    // paragraph's end; otherwise to the first character of the word.
    int WordLeft(int offset) const {
        if (offset <= 0)
            return offset;
        --offset;
        while (offset > 0 && isSeparator(At(offset)))
            --offset;
        if (At(offset) == '\n')
            return offset - 1;
        while (offset > 0) {
            --offset;
            char c = At(offset);
            if (isSeparator(c) || c == '\r' || c == '\n')
                return offset + 1;
        }
        return 0;
    }
    // From a paragraph's end to the next one's start; otherwise over the
    // word and then over the separators after it.
    int WordRight(int offset) const {
        if (offset >= Length())
            return offset;
        if (At(offset) == '\r')
            return offset + 2;
        while (offset < Length() && !isSeparator(At(offset)) && At(offset) != '\r')
            ++offset;
        while (offset < Length() && isSeparator(At(offset)))
            ++offset;
        return offset;
    }
    void Home(bool shift) {
        Remembered = -1;
        MoveTo(LineStart(Caret), shift);
    }
    void End(bool shift) {
        Remembered = -1;
        MoveTo(LineEnd(Caret), shift);
    }
    void Vertical(int delta, bool shift) {
        int target = LineOf(Caret) + delta;
        if (target < 0 || target >= LineCount())
            return; // nothing moves, the selection stays
        if (Remembered < 0)
            Remembered = Caret - LineStart(Caret);
        int start = StartOfLine(target);
        MoveTo(start + std::min(Remembered, LineEnd(start) - start), shift);
    }
    // A press on the selected text starts a drag; released where it was
    // pressed, it only places the caret there, Shift or not.
    // Page Up and Down always move (to the first or last line at the
    // edges), so they always collapse a selection made without Shift.
    void Page(int delta, bool shift) {
        int target = std::clamp(LineOf(Caret) + delta, 0, LineCount() - 1);
        if (Remembered < 0)
            Remembered = Caret - LineStart(Caret);
        int start = StartOfLine(target);
        MoveTo(start + std::min(Remembered, LineEnd(start) - start), shift);
    }
    // Ctrl+Backspace: back to the start of the word before the caret,
    // within the paragraph.
    void DeleteWordBack() {
        Remembered = -1;
        if (Caret != Anchor)
            return Replace(Low(), High(), "");
        int start = LineStart(Caret);
        if (Caret == start)
            return;
        int q = Caret - 1;
        while (q > start && isSeparator(At(q)))
            --q;
        while (q > start && !isSeparator(At(q - 1)))
            --q;
        Replace(q, Caret, "");
    }
    // Ctrl+Delete: a selection within one line grows to the line's end.
    // Placing that selection forgets the remembered column.
    void DeleteToLineEnd() {
        if (LineOf(Low()) == LineOf(High())) {
            Remembered = -1;
            return Replace(Low(), LineEnd(High()), "");
        }
        Replace(Low(), High(), "");
    }
    int Position(int line, int column) const {
        int start = StartOfLine(line);
        return start + std::min(column, LineEnd(start) - start);
    }
    // A press on the selected text starts a drag; released where it was
    // pressed, it only places the caret there, Shift or not.
    void Click(int line, int column, bool shift) {
        Remembered = -1;
        int target = Position(line, column);
        bool overSelection = target >= Low() && target < High();
        MoveTo(target, shift && !overSelection);
    }
    // The selection dragged to a position: moved (or copied) there unless
    // dropped on itself, and selected again with the caret after it.
    void Drop(int target, bool copy) {
        Remembered = -1;
        if (target >= Low() && target < High()) {
            MoveTo(target, false);
            return;
        }
        const std::string moved = Text.substr(static_cast<size_t>(Low()), static_cast<size_t>(High() - Low()));
        if (!copy) {
            if (target >= High())
                target -= High() - Low();
            Text.erase(static_cast<size_t>(Low()), moved.size());
        }
        Text.insert(static_cast<size_t>(target), moved);
        Anchor = target;
        Caret = target + static_cast<int>(moved.size());
    }
    // An edit forgets the remembered column; an empty edit is no edit.
    void Replace(int from, int to, const std::string& text) {
        if (from == to && text.empty())
            return;
        Text.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), text);
        Caret = Anchor = from + static_cast<int>(text.size());
        Remembered = -1;
    }
    void Type(const std::string& text) { Replace(Low(), High(), text); }
    // Backspace forgets the remembered column even when it deletes nothing.
    void Backspace() {
        Remembered = -1;
        if (Caret != Anchor)
            return Replace(Low(), High(), "");
        if (Caret == 0)
            return;
        Replace(Caret - (Caret == LineStart(Caret) ? 2 : 1), Caret, "");
    }
    void Delete() {
        if (Caret != Anchor)
            return Replace(Low(), High(), "");
        if (Caret == Length())
            return;
        Replace(Caret, Caret + (Caret == LineEnd(Caret) ? 2 : 1), "");
    }
};

// The model's state on one line: breaks shown as "|".
std::string Describe(const TSelectionModel& model) {
    std::string text;
    for (char c : model.Text)
        if (c != '\n')
            text += c == '\r' ? '|' : c;
    return "[" + text + "] caret " + std::to_string(model.Caret) + " anchor " + std::to_string(model.Anchor);
}

class MemoSelectionModel : public MemoWindow {};

} // namespace

TEST_F(MemoSelectionModel, KeysAndClicksAgreeWithAPlainModel) {
    memo->SetWordWrap(false);
    // Thirty lines of words, so that vertical moves and clicks scroll.
    TSelectionModel model;
    for (int line = 0; line < 30; ++line)
        model.Text += (line ? "\r\n" : "") + std::string("ab cd.ef  gh,ij").substr(0, static_cast<size_t>(line % 16));
    Load(model.Text);
    std::mt19937 random(20240611);
    auto modifiers = [&](bool shift, bool ctrl) {
        Qt::KeyboardModifiers m = Qt::NoModifier;
        if (shift)
            m |= Qt::ShiftModifier;
        if (ctrl)
            m |= Qt::ControlModifier;
        return m;
    };
    auto mods = [](bool shift, bool ctrl) {
        return std::string(shift ? " with Shift" : "") + (ctrl ? " with Ctrl" : "");
    };
    // The last steps with the state before each, for a failure's message.
    std::deque<std::string> history;
    auto recent = [&]() {
        std::string text;
        for (const std::string& entry : history)
            text += entry + "\n";
        return text;
    };
    for (int step = 0; step < 1500; ++step) {
        const int action = static_cast<int>(random() % 100);
        const bool shift = random() % 4 == 0;
        const bool ctrl = random() % 4 == 0;
        std::string what;
        const std::string before = Describe(model);
        if (action < 30) {
            char c = "abc de,f.  XY"[random() % 13];
            Type(QString(QChar(c)));
            model.Type(std::string(1, c));
            what = std::string("type '") + c + "'";
        } else if (action < 42) {
            Key(Qt::Key_Left, modifiers(shift, ctrl)), model.Left(shift, ctrl), what = "left" + mods(shift, ctrl);
        } else if (action < 54) {
            Key(Qt::Key_Right, modifiers(shift, ctrl)), model.Right(shift, ctrl), what = "right" + mods(shift, ctrl);
        } else if (action < 59) {
            Key(Qt::Key_Up, modifiers(shift, false)), model.Vertical(-1, shift), what = "up" + mods(shift, false);
        } else if (action < 66) {
            Key(Qt::Key_Down, modifiers(shift, false)), model.Vertical(1, shift), what = "down" + mods(shift, false);
        } else if (action < 70) {
            Key(Qt::Key_Home, modifiers(shift, false)), model.Home(shift), what = "home" + mods(shift, false);
        } else if (action < 74) {
            Key(Qt::Key_End, modifiers(shift, false)), model.End(shift), what = "end" + mods(shift, false);
        } else if (action < 80) {
            Key(Qt::Key_Return), model.Type("\r\n"), what = "enter";
        } else if (action < 85) {
            if (ctrl)
                Key(Qt::Key_Backspace, Qt::ControlModifier), model.DeleteWordBack(), what = "backspace with Ctrl";
            else
                Key(Qt::Key_Backspace), model.Backspace(), what = "backspace";
        } else if (action < 89) {
            if (ctrl)
                Key(Qt::Key_Delete, Qt::ControlModifier), model.DeleteToLineEnd(), what = "delete with Ctrl";
            else
                Key(Qt::Key_Delete), model.Delete(), what = "delete";
        } else if (action < 91) {
            const bool up = random() % 2 == 0;
            const int page = memo->VisibleLineCount() - 1;
            Key(up ? Qt::Key_PageUp : Qt::Key_PageDown, modifiers(shift, false));
            model.Page(up ? -page : page, shift);
            what = (up ? "page up" : "page down") + mods(shift, false);
        } else if (action < 95 && model.Caret != model.Anchor) {
            // The selection dragged by its first character (when in view) to
            // a point in view, moved or with Ctrl copied; a move is undone in
            // one step.
            const int top = memo->TopLine();
            const int left = memo->LeftPixel();
            const int low = model.Low();
            const int fromRow = model.LineOf(low) - top;
            const int fromX = 8 + (low - model.LineStart(low)) * kCharWidth - left + kCharWidth / 4;
            const int rows = std::min(memo->VisibleLineCount() - 1, model.LineCount() - top);
            if (fromRow < 0 || fromRow >= rows || fromX < 8 || fromX >= kWidth)
                continue;
            const int row = static_cast<int>(random() % static_cast<unsigned>(rows));
            const int column = (left + kCharWidth - 1) / kCharWidth + static_cast<int>(random() % 12);
            const QPoint from(fromX, fromRow * kLineHeight + kLineHeight / 2);
            const QPoint to = CharPoint(column, row) - QPoint(kCharWidth / 2 + left, 0);
            const WPARAM keys = ctrl ? WPARAM{MK_CONTROL} : WPARAM{0};
            const std::string textBefore = model.Text;
            memo->Perform(WM_MOUSEMOVE, 0, PointToLParam({from.x(), from.y()}));
            memo->Perform(WM_LBUTTONDOWN, keys | MK_LBUTTON, PointToLParam({from.x(), from.y()}));
            memo->Perform(WM_MOUSEMOVE, keys | MK_LBUTTON, PointToLParam({to.x(), to.y()}));
            memo->Perform(WM_LBUTTONUP, keys, PointToLParam({to.x(), to.y()}));
            model.Drop(model.Position(top + row, column), ctrl);
            what = std::string(ctrl ? "copy" : "move") + " by dragging to line " + std::to_string(top + row) +
                   " column " + std::to_string(column);
            if (!ctrl && model.Text != textBefore && random() % 2 == 0) {
                ASSERT_EQ(memo->Text(), model.Text) << recent() << before << " then " << what;
                Key(Qt::Key_Z, Qt::ControlModifier);
                what += " and undone";
                ASSERT_EQ(memo->Text(), textBefore) << recent() << before << " then " << what;
                // Where undo leaves the selection is the undo list's business.
                model.Text = textBefore;
                model.Caret = memo->SelStart();
                model.Anchor = model.Caret + memo->SelLength();
                model.Remembered = -1;
            }
        } else {
            // A click (or Shift+click) on a line in view, possibly right of its end.
            const int top = memo->TopLine();
            const int rows = std::min(memo->VisibleLineCount() - 1, model.LineCount() - top);
            const int row = static_cast<int>(random() % static_cast<unsigned>(std::max(rows, 1)));
            // The view may be scrolled sideways to keep the caret in view.
            const int left = memo->LeftPixel();
            const int column = (left + kCharWidth - 1) / kCharWidth + static_cast<int>(random() % 12);
            const QPoint at = CharPoint(column, row) - QPoint(kCharWidth / 2 + left, 0);
            const LPARAM where = PointToLParam({at.x(), at.y()});
            const WPARAM keys = shift ? WPARAM{MK_SHIFT} : WPARAM{0};
            memo->Perform(WM_LBUTTONDOWN, keys | MK_LBUTTON, where);
            memo->Perform(WM_LBUTTONUP, keys, where);
            model.Click(top + row, column, shift);
            what = "click line " + std::to_string(top + row) + " column " + std::to_string(column) + mods(shift, false);
        }
        history.push_back(before + " then " + what);
        if (history.size() > 8)
            history.pop_front();
        ASSERT_EQ(memo->Text(), model.Text) << recent() << "step " << step;
        ASSERT_EQ(memo->SelStart(), model.Caret) << recent() << "step " << step;
        ASSERT_EQ(memo->SelLength(), model.Anchor - model.Caret) << recent() << "step " << step;
        ASSERT_EQ(memo->SelText(), model.Text.substr(static_cast<size_t>(model.Low()),
                                                     static_cast<size_t>(model.High() - model.Low())))
            << recent() << "step " << step;
    }
    memo->CheckConsistency();
}

// The caret at the start of the text cannot move left, but the selection
// still collapses onto it, so that the next character is inserted there
// and the selected text stays.
TEST_F(MemoSelectionModel, LeftAtTheStartCollapsesTheSelectionAndKeepsTheText) {
    Load("hello world");
    memo->SetSelStart(0);
    memo->SetSelLength(5);
    Key(Qt::Key_Left);
    EXPECT_EQ(memo->SelLength(), 0);
    EXPECT_EQ(memo->SelText(), "");
    EXPECT_EQ(memo->SelStartNavigator().Pos(), 0);
    EXPECT_EQ(memo->SelEndNavigator().Pos(), 0);
    Type("X");
    EXPECT_EQ(memo->Text(), "Xhello world");
    // The same with Ctrl, and with the selection made backwards by Shift+Home.
    memo->SetSelStart(6);
    Key(Qt::Key_Home, Qt::ShiftModifier);
    ASSERT_EQ(memo->SelLength(), 6);
    Key(Qt::Key_Left, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(memo->Text(), "hello world");
}

// Going to a display line formats the paragraphs up to it, not the whole
// text: the rest waits for the background pass, and the line found is the
// one a full formatting gives.
TEST_F(MemoSelectionModel, GoingToALineFormatsOnlyUpToIt) {
    memo->SetUpdateMode(umBackground);
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "abcd abcd abcd abcd abcd abcd abcd abcd abcd abcd abcd abcd\r\n";
    LoadText(*memo, text); // formatting waits for the event loop
    ASSERT_TRUE(memo->BackgroundPending());
    memo->SetSelLine(21);
    EXPECT_EQ(memo->SelLine(), 21);
    const int32_t caret = memo->SelStart();
    EXPECT_TRUE(memo->BackgroundPending()) << "the paragraphs far below wait";
    EXPECT_FALSE(memo->Paragraph(memo->ParagraphCount() - 1)->Formatted);
    memo->FormatPending();
    EXPECT_EQ(memo->SelStart(), caret);
    EXPECT_EQ(memo->SelLine(), 21);
    EXPECT_GT(memo->LineCount(), memo->ParagraphCount()) << "the paragraphs wrap";
    memo->SetSelLine(21);
    EXPECT_EQ(memo->SelStart(), caret);
    memo->CheckConsistency();
}
