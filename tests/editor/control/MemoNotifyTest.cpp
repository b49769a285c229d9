// Attached components and the memo's notices, the clipboard messages on
// memos that may not be changed, and column blocks through the clipboard.

#include "MemoWindow.h"

#include "platform/gfx/Clipboard.h"

#include <algorithm>
#include <vector>

namespace {

// Sees every message the memo passes on.
class TListener : public TComponent {
public:
    explicit TListener(TCodeMemo& memo) : memo_(memo) { memo.AttachComponent(this); }
    std::vector<unsigned> Seen;
    std::vector<std::string> ContextTexts;
    int Count(unsigned msg) const { return static_cast<int>(std::count(Seen.begin(), Seen.end(), msg)); }

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (component != &memo_ || operation != kMemoMessage)
            return;
        const TMessage& message = memo_.CurrentMessage();
        Seen.push_back(message.Msg);
        if (message.Msg == WM_CODEMEMO_CONTEXTCLICK || message.Msg == WM_CODEMEMO_CONTEXTRIGHTCLICK)
            ContextTexts.push_back(*reinterpret_cast<const std::string*>(message.LParam));
    }

private:
    TCodeMemo& memo_;
};

// Records what reaches the memo's own window procedure.
class TRecordingMemo : public TCodeMemo {
public:
    std::vector<unsigned> Seen;
    int Count(unsigned msg) const { return static_cast<int>(std::count(Seen.begin(), Seen.end(), msg)); }

protected:
    void WndProc(TMessage& message) override {
        Seen.push_back(message.Msg);
        TCodeMemo::WndProc(message);
    }
};

} // namespace

class MemoNotify : public MemoWindow {};

TEST_F(MemoNotify, AnAttachedComponentSeesEveryMessageAndEachEdit) {
    Load("abc");
    TListener listener(*memo);
    Type("xy");
    EXPECT_EQ(listener.Count(WM_KEYDOWN), 2);
    EXPECT_EQ(listener.Count(WM_CHAR), 2);
    EXPECT_EQ(listener.Count(WM_KEYUP), 2);
    EXPECT_EQ(listener.Count(CM_TEXTCHANGED), 2) << "one text-changed notice per edit";
    EXPECT_EQ(listener.Count(WM_CODEMEMO_CARETMOVED), 2);
    // The notice follows the key that made the edit.
    auto firstChar = std::find(listener.Seen.begin(), listener.Seen.end(), WM_CHAR);
    auto firstChange = std::find(listener.Seen.begin(), listener.Seen.end(), CM_TEXTCHANGED);
    EXPECT_LT(firstChar - listener.Seen.begin(), firstChange - listener.Seen.begin());
    memo->SetTopLine(0);
    const int scrolled = listener.Count(WM_CODEMEMO_SCROLLED);
    Load(std::string(200, '\n'));
    memo->SetTopLine(20);
    EXPECT_EQ(listener.Count(WM_CODEMEMO_SCROLLED), scrolled + 1);
    memo->DetachComponent(&listener);
    Type("z");
    EXPECT_EQ(listener.Count(WM_CHAR), 2) << "detached: nothing more";
}

TEST_F(MemoNotify, WithoutAttachedComponentsThereAreNoChangeOrScrollNotices) {
    TRecordingMemo recording;
    LoadText(recording, std::string(100, '\n'));
    recording.SetSelText("x");
    recording.SetTopLine(10);
    EXPECT_EQ(recording.Count(CM_TEXTCHANGED), 0);
    EXPECT_EQ(recording.Count(WM_CODEMEMO_SCROLLED), 0);
    TListener listener(recording);
    recording.SetSelText("y");
    recording.SetTopLine(11);
    EXPECT_EQ(recording.Count(CM_TEXTCHANGED), 1);
    EXPECT_EQ(recording.Count(WM_CODEMEMO_SCROLLED), 1);
}

TEST_F(MemoNotify, AFreedComponentIsDroppedFromTheList) {
    auto listener = std::make_unique<TListener>(*memo);
    EXPECT_EQ(memo->AttachedCount(), 1);
    listener.reset();
    EXPECT_EQ(memo->AttachedCount(), 0);
    Type("a"); // passes the message on to nobody, and does not crash
    EXPECT_EQ(memo->Text(), "a");
}

TEST_F(MemoNotify, AContextClickReachesAttachedComponentsWithItsText) {
    Load("see <this> one");
    TContextRecord context;
    context.Offset = 4;
    context.Flags = TContextRecord::kStyled;
    context.ContextNumber = 3;
    TContextRecord after;
    after.Offset = 10;
    memo->Paragraph(0)->Contexts = {context, after};
    TListener listener(*memo);
    QPoint inside(8 + 6 * kCharWidth + 2, 5);
    Click(inside);
    ASSERT_EQ(listener.Count(WM_CODEMEMO_CONTEXTCLICK), 1);
    EXPECT_EQ(listener.ContextTexts.back(), "<this>");
    Click(inside, Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(listener.Count(WM_CODEMEMO_CONTEXTRIGHTCLICK), 1);
    Click(QPoint(8 + 1 * kCharWidth + 2, 5));
    EXPECT_EQ(listener.Count(WM_CODEMEMO_CONTEXTCLICK), 1) << "outside the context";
}

TEST_F(MemoNotify, ChangingMessagesDoNothingOnAMemoThatMayNotChange) {
    for (int mode = 0; mode < 2; ++mode) {
        Load("abc");
        memo->SetSelStart(3);
        memo->SetSelText("d");
        Select(*memo, 0, 2);
        memo->ReadOnly = mode == 0;
        memo->SetDisplayOnly(mode == 1);
        Clipboard().SetAsText("pasted");
        memo->Perform(WM_CUT);
        memo->Perform(WM_PASTE);
        memo->Perform(WM_UNDO);
        EXPECT_EQ(memo->Text(), "abcd") << mode;
        memo->Perform(WM_COPY);
        EXPECT_EQ(Clipboard().AsText(), "ab") << mode;
        memo->ReadOnly = false;
        memo->SetDisplayOnly(false);
    }
    Select(*memo, 0, 2);
    memo->Perform(WM_CUT);
    EXPECT_EQ(memo->Text(), "cd");
    memo->Perform(WM_UNDO);
    EXPECT_EQ(memo->Text(), "abcd");
}

TEST_F(MemoNotify, AColumnBlockCopiedAndPastedByKeys) {
    memo->SetWordWrap(false);
    TCodeMemoOptions options = memo->Options();
    memo->SetOptions(options.Include(pmoBlockSelection));
    Load("0123456789\r\nabcdefghij\r\nx");
    memo->SetSelStart(2);
    const Qt::KeyboardModifiers block = Qt::ShiftModifier | Qt::AltModifier;
    Key(Qt::Key_Right, block);
    Key(Qt::Key_Right, block);
    Key(Qt::Key_Right, block);
    Key(Qt::Key_Down, block);
    ASSERT_TRUE(memo->BlockMode());
    EXPECT_EQ(memo->SelText(), "234\r\ncde\r\n");
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(Clipboard().HasFormat(TCodeMemo::BlockClipboardFormat()));
    // Pasted at a column beyond a short line's end: the line is padded.
    memo->SetSelStart(memo->TextLength());
    TCodeMemoOptions keep = memo->Options();
    memo->SetOptions(keep.Include(pmoKeepColumnPos).Exclude(pmoWrapCaret));
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    ASSERT_EQ(memo->VirtualColumns(), 2);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo->ParagraphText(2), "x  234");
    EXPECT_EQ(memo->ParagraphText(3), "   cde") << "a paragraph is added for the second line";
    memo->Undo();
    EXPECT_EQ(memo->Text(), "0123456789\r\nabcdefghij\r\nx") << "the paste comes back in one step";
}

TEST_F(MemoNotify, LoadingFromAFormClearsUndoAndPutsStreamedKeysToWork) {
    Load("say <!-- hello --> there");
    memo->SetSelText("x");
    ASSERT_TRUE(memo->CanUndo());
    memo->Loaded();
    EXPECT_FALSE(memo->CanUndo());
    // With a start/stop key the text is coloured by it.
    memo->StartStopKeys().AddStartStopKey("<!--", "-->", false, clRed, -1, 0, 9, 0, 0);
    memo->Loaded();
    memo->FormatPending();
    const TParagraph& p = *memo->Paragraph(0);
    bool coloured = false;
    for (const TContextRecord& context : p.Contexts.Records())
        coloured |= context.ContextNumber == 9;
    EXPECT_TRUE(coloured);
}
