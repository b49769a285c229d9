// A plain watcher on a memo's document sees every change the memo makes.
// The memo is driven at random as a user drives it (typing, editing and
// moving keys, hot keys, the clipboard, column blocks, dragging the
// selection, undo and redo) and through its string views; the watcher keeps
// a copy of the text and checks, at each reported change, that everything
// outside the reported range is as it was, and that no change of the text
// goes unreported.

#include "MemoWindow.h"

#include <random>

namespace {

// The number of paragraph breaks (CR LF) in the first `length` characters:
// the paragraph that the offset `length` lies in.
int32_t BreaksIn(const std::string& text, size_t length) {
    int32_t breaks = 0;
    for (size_t i = 0; i + 2 <= length && i + 1 < text.size(); ++i)
        breaks += text[i] == '\r' && text[i + 1] == '\n' ? 1 : 0;
    return breaks;
}

class TShadowWatcher : public TDocumentWatcher {
public:
    explicit TShadowWatcher(TCodeDocument& document) : document_(document), shadow_(document.Text()) {
        document_.AddWatcher(this);
    }
    ~TShadowWatcher() override { document_.RemoveWatcher(this); }

    void TextChanged(TCodeDocument& document, const TTextChange& change) override {
        const std::string now = document.Text();
        ++Changes;
        const auto from = static_cast<size_t>(change.From);
        ASSERT_LE(from + static_cast<size_t>(change.Removed), shadow_.size());
        ASSERT_EQ(shadow_.size() - static_cast<size_t>(change.Removed) + static_cast<size_t>(change.Inserted),
                  now.size());
        EXPECT_EQ(shadow_.substr(0, from), now.substr(0, from)) << "before the change";
        EXPECT_EQ(shadow_.substr(from + static_cast<size_t>(change.Removed)),
                  now.substr(from + static_cast<size_t>(change.Inserted)))
            << "after the change";
        EXPECT_EQ(change.FirstParagraph, BreaksIn(shadow_, from));
        EXPECT_EQ(change.LastParagraph, BreaksIn(shadow_, from + static_cast<size_t>(change.Removed)));
        EXPECT_EQ(change.ParagraphDelta, BreaksIn(now, now.size()) - BreaksIn(shadow_, shadow_.size()));
        shadow_ = now;
    }
    void TextReplaced(TCodeDocument& document) override {
        ++Changes;
        shadow_ = document.Text();
    }

    const std::string& Shadow() const { return shadow_; }
    int Changes = 0;

private:
    TCodeDocument& document_;
    std::string shadow_;
};

class MemoWatcher : public MemoWindow {
protected:
    LPARAM At(int column, int line) { return PointToLParam({8 + column * kCharWidth, line * kLineHeight + 4}); }

    // One thing a user (or the program) does to the memo.
    void Act(std::mt19937& random) {
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        static const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,        Qt::Key_Down,
                                       Qt::Key_Home, Qt::Key_End,   Qt::Key_Backspace, Qt::Key_Delete,
                                       Qt::Key_Return, Qt::Key_Tab};
        static const char* const typed[] = {"ab", "x", " ", "tag<b>"};
        static const char* const texts[] = {"ab", "x", " ", "\r\n", "a\r\nb", "\x02", "tag<b>", "\t"};
        switch (pick(12)) {
        case 0:
        case 1:
            Key(keys[pick(10)], pick(3) == 0 ? Qt::ShiftModifier : Qt::NoModifier);
            break;
        case 2:
            Type(QString::fromLatin1(typed[pick(4)]));
            break;
        case 3:
            Key(pick(2) ? Qt::Key_Z : Qt::Key_B, Qt::ControlModifier | (pick(2) ? Qt::ShiftModifier : Qt::NoModifier));
            break;
        case 4:
            Key(pick(2) ? Qt::Key_X : Qt::Key_V, Qt::ControlModifier);
            break;
        case 5:
            // A column block cut and pasted elsewhere.
            Key(Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
            Key(Qt::Key_Right, Qt::AltModifier | Qt::ShiftModifier);
            Key(Qt::Key_X, Qt::ControlModifier);
            Key(Qt::Key_End);
            Key(Qt::Key_V, Qt::ControlModifier);
            break;
        case 6: {
            // The selection dragged elsewhere (moved, or copied with Ctrl).
            const int32_t line = pick(3);
            Select(*memo, memo->ParagraphStart(0), std::min(memo->TextLength(), 3));
            memo->Perform(WM_MOUSEMOVE, 0, At(1, 0));
            memo->Perform(WM_LBUTTONDOWN, MK_LBUTTON, At(1, 0));
            const unsigned copy = pick(2) ? unsigned{MK_CONTROL} : 0u;
            memo->Perform(WM_MOUSEMOVE, MK_LBUTTON | copy, At(2 + pick(6), line));
            memo->Perform(WM_LBUTTONUP, copy, At(2 + pick(6), line));
            break;
        }
        case 7:
            memo->SetSelStart(pick(memo->TextLength() + 1));
            memo->SetSelLength(pick(7) - 3);
            memo->SetSelText(texts[pick(8)]);
            break;
        case 8:
            if (memo->ParagraphCount() > 1)
                memo->Paragraphs().Delete(pick(memo->ParagraphCount() - 1));
            memo->Paragraphs().Put(pick(memo->ParagraphCount() + 1), "put");
            memo->Lines().Insert(pick(memo->LineCount()), "line");
            memo->Lines().Add("added");
            break;
        case 9:
            memo->Undo();
            break;
        case 10:
            memo->Redo();
            break;
        default:
            memo->SetSelStart(pick(memo->TextLength() + 1));
            break;
        }
    }
};

}  // namespace

TEST_F(MemoWatcher, APlainWatcherSeesEveryChangeWithItsRange) {
    memo->SetOptions(memo->Options().Include(pmoBlockSelection));
    memo->SetWordWrap(false);
    memo->SetUndoMaxSpace(1 << 20);
    Load("first line\r\nsecond line here\r\n\tthird\r\nfourth\r\nfifth line");
    TShadowWatcher watcher(memo->Document());
    std::mt19937 random(20);
    for (int step = 0; step < 600; ++step) {
        const std::string before = memo->Text();
        const int changes = watcher.Changes;
        Act(random);
        if (::testing::Test::HasFailure())
            FAIL() << "step " << step;
        if (memo->Text() != before) {
            ASSERT_GT(watcher.Changes, changes) << "an unreported change at step " << step;
        }
        ASSERT_EQ(watcher.Shadow(), memo->Text()) << "step " << step;
        if (memo->TextLength() > 3000)
            Load("a fresh\r\ntext");
    }
    EXPECT_GT(watcher.Changes, 300);
}
