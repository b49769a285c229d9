// A UTF-8 document in the memo: a randomised check of keys, clicks,
// typing, deletion, paste, undo and redo over pages of Latin, CJK, emoji
// and stray bytes against a byte model; typed characters in either
// encoding; pixel probes of what the view draws.

#include "MemoWindow.h"

#include "platform/base/Utf8.h"
#include "platform/gfx/Clipboard.h"

#include <QKeyEvent>

#include <random>
#include <vector>

namespace {

// Pieces pages are made of: ASCII words and blanks, accented letters,
// CJK, a 4-byte emoji, and bytes outside any valid sequence (a lone
// lead byte, a stray continuation byte, a truncated sequence).
const std::vector<std::string> kPieces = {
    "a", "bc", " ", "<p>", "\xC3\xA9", "\xC5\x93", "\xE4\xB8\xAD", "\xE6\x96\x87", "\xF0\x9F\x98\x80",
    "\xE9", "\x80", "\xE4\xB8", "\xE2\x82\xAC", "\r\n",
};

std::string randomPage(std::mt19937& random, int pieces) {
    std::string page;
    for (int i = 0; i < pieces; ++i)
        page += kPieces[random() % kPieces.size()];
    return page;
}

// True when offset is not inside a character of the memo's UTF-8 text.
bool OnCharacter(TCodeMemo& memo, int32_t offset) {
    const TCodeDocument& document = memo.Document();
    const int32_t index = document.ParagraphList().IndexOfOffset(offset);
    const int32_t inParagraph = offset - document.ParagraphList().Start(index);
    const std::string_view text = document.ParagraphList()[index].Text;
    return inParagraph > static_cast<int32_t>(text.size()) || IsUtf8CharBoundary(text, static_cast<size_t>(inParagraph));
}

} // namespace

class MemoUtf8 : public MemoWindow {
protected:
    void LoadUtf8(std::string_view text) {
        memo->SetEncoding(teUtf8);
        Load(text);
    }
    // A key press that types text, as the window system sends it.
    void TypeText(const QString& text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(Widget(), &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
        QApplication::sendEvent(Widget(), &release);
    }
    int32_t Low() const { return std::min(memo->SelStart(), memo->SelStart() + memo->SelLength()); }
    int32_t High() const { return std::max(memo->SelStart(), memo->SelStart() + memo->SelLength()); }
};

TEST_F(MemoUtf8, KeysClicksAndEditsKeepTheCaretOnCharactersAndTheBytesAsTheModelSays) {
    std::mt19937 random(2101);
    const std::vector<QString> typed = {"a", " ", QString::fromUtf8("\xC3\xA9"), QString::fromUtf8("\xE4\xB8\xAD"),
                                        QString::fromUtf8("\xF0\x9F\x98\x80")};
    const std::vector<Qt::Key> moves = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,  Qt::Key_Down,
                                        Qt::Key_Home, Qt::Key_End,   Qt::Key_Left, Qt::Key_Right};
    for (int round = 0; round < 4; ++round) {
        memo->SetWordWrap(round % 2 == 0);
        const std::string original = randomPage(random, 60);
        LoadUtf8(original);
        memo->ClearUndo();
        std::string model = original;
        for (int step = 0; step < 160; ++step) {
            const int action = static_cast<int>(random() % 100);
            const int32_t low = Low();
            const int32_t high = High();
            std::string what;
            if (action < 30) {
                const Qt::KeyboardModifiers modifiers = (random() % 3 == 0 ? Qt::ShiftModifier : Qt::NoModifier) |
                                                        (random() % 4 == 0 ? Qt::ControlModifier : Qt::NoModifier);
                Key(moves[random() % moves.size()], modifiers);
                what = "move";
            } else if (action < 38) {
                const QPoint at(static_cast<int>(random() % kWidth), static_cast<int>(random() % kHeight));
                if (random() % 4 == 0)
                    QTest::mouseDClick(Client(), Qt::LeftButton, Qt::NoModifier, at);
                else
                    Click(at, random() % 3 == 0 ? Qt::ShiftModifier : Qt::NoModifier);
                what = "click";
            } else if (action < 60) {
                const QString text = typed[random() % typed.size()];
                TypeText(text);
                const QByteArray bytes = text.toUtf8();
                model.replace(static_cast<size_t>(low), static_cast<size_t>(high - low), bytes.constData(),
                              static_cast<size_t>(bytes.size()));
                what = "type";
            } else if (action < 70) {
                Key(Qt::Key_Backspace);
                if (high > low) {
                    model.erase(static_cast<size_t>(low), static_cast<size_t>(high - low));
                } else if (low > 0) {
                    const bool atBreak = low >= 2 && model.compare(static_cast<size_t>(low - 2), 2, "\r\n") == 0;
                    // A character back in this paragraph, else the break.
                    const size_t start = model.rfind("\r\n", static_cast<size_t>(low - 1));
                    const size_t paragraph = start == std::string::npos ? 0 : start + 2;
                    const std::string_view text(model.data() + paragraph, static_cast<size_t>(low) - paragraph);
                    const size_t from = atBreak && text.empty() ? static_cast<size_t>(low - 2)
                                                                : paragraph + Utf8PreviousChar(text, text.size());
                    model.erase(from, static_cast<size_t>(low) - from);
                }
                what = "backspace";
            } else if (action < 78) {
                Key(Qt::Key_Delete);
                if (high > low) {
                    model.erase(static_cast<size_t>(low), static_cast<size_t>(high - low));
                } else if (static_cast<size_t>(low) < model.size()) {
                    const size_t end = model.find("\r\n", static_cast<size_t>(low));
                    const std::string_view rest(model.data() + low,
                                                (end == std::string::npos ? model.size() : end) - static_cast<size_t>(low));
                    model.erase(static_cast<size_t>(low), rest.empty() ? 2 : Utf8CharLength(rest, 0));
                }
                what = "delete";
            } else if (action < 86) {
                const std::string pasted = randomPage(random, 3);
                Clipboard().SetAsText(pasted, teUtf8);
                Key(Qt::Key_V, Qt::ControlModifier);
                // Stray bytes reach the clipboard as their code-page
                // characters and come back as those characters' UTF-8.
                const std::string back = Clipboard().AsText(teUtf8);
                model.replace(static_cast<size_t>(low), static_cast<size_t>(high - low), back);
                what = "paste";
            } else {
                // Undo, checked against the state before it by redoing.
                const std::string before = memo->Text();
                Key(Qt::Key_Z, Qt::ControlModifier);
                ASSERT_TRUE(OnCharacter(*memo, memo->SelStart())) << "undo, step " << step;
                Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
                ASSERT_EQ(memo->Text(), before) << "redo after undo, step " << step;
                what = "undo and redo";
            }
            ASSERT_EQ(memo->Text(), model) << what << ", step " << step << ", round " << round;
            ASSERT_TRUE(OnCharacter(*memo, memo->SelStart())) << what << ", step " << step;
            ASSERT_TRUE(OnCharacter(*memo, memo->SelStart() + memo->SelLength())) << what << ", step " << step;
        }
        memo->CheckConsistency();
        while (memo->CanUndo())
            memo->Undo();
        EXPECT_EQ(memo->Text(), original) << "undone to the start, round " << round;
    }
}

TEST_F(MemoUtf8, TypedCharactersAreWrittenInTheDocumentsEncoding) {
    LoadUtf8("ab");
    memo->SetSelStart(1);
    TypeText(QString::fromUtf8("\xC3\xA9"));
    TypeText(QString::fromUtf8("\xE4\xB8\xAD"));
    EXPECT_EQ(memo->Text(), "a\xC3\xA9\xE4\xB8\xAD" "b");
    EXPECT_EQ(memo->SelStart(), 6);

    memo->SetEncoding(teAnsi);
    EXPECT_EQ(memo->Text(), "a\xC3\xA9\xE4\xB8\xAD" "b") << "switching changes no byte";
    Load("ab");
    memo->SetSelStart(1);
    TypeText(QString::fromUtf8("\xC3\xA9"));
    TypeText(QString::fromUtf8("\xE4\xB8\xAD"));
    EXPECT_EQ(memo->Text(), "a\xE9&#20013;b") << "a character the code page lacks is a reference";

    // A handler that puts another key in place of the typed one is obeyed.
    LoadUtf8("");
    memo->OnKeyPress = [](TPersistent*, char& key) {
        if (key == '?')
            key = '_';
    };
    TypeText(QString::fromUtf8("\xE4\xB8\xAD"));
    EXPECT_EQ(memo->Text(), "_");
}

TEST_F(MemoUtf8, CopyGivesUtf8TextAndColumnsCountCharacters) {
    LoadUtf8("x\xE4\xB8\xAD\xC3\xA9y");
    memo->SetSelStart(1);
    memo->SetSelLength(5);
    memo->CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(teUtf8), "\xE4\xB8\xAD\xC3\xA9");
    memo->SetSelStart(6);
    Key(Qt::Key_Left);
    EXPECT_EQ(memo->SelStart(), 4) << "over the two bytes of the accented letter";
    Key(Qt::Key_Left);
    EXPECT_EQ(memo->SelStart(), 1) << "over the three bytes of the ideogram";
    // Each character is one cell of the fixed pitch.
    memo->SetSelStart(6);
    EXPECT_EQ(memo->CaretX(), memo->LeftMargin() + 3 * kCharWidth);
    EXPECT_EQ(memo->SelCol(), 6) << "bytes";
    EXPECT_EQ(memo->SelCharacterColumn(), 3) << "characters";
}

TEST_F(MemoUtf8, TheViewDrawsUtf8CharactersAsTheCodePageDrawsTheSameWord) {
    // The oracle: "caf\xE9" in the code page.
    Load("caf\xE9 ok");
    const QImage ansi = Paint();
    LoadUtf8("caf\xC3\xA9 ok");
    const QImage utf8 = Paint();
    EXPECT_EQ(utf8, ansi);
    // A line of CJK puts ink into each character's cell, none after them.
    LoadUtf8("\xE4\xB8\xAD\xE6\x96\x87");
    const QImage cjk = Paint();
    auto inkIn = [&](int left, int right) {
        int ink = 0;
        for (int y = 0; y < kLineHeight; ++y)
            for (int x = left; x < right; ++x)
                ink += (cjk.pixel(x, y) & 0xFFFFFF) != 0xFFFFFFu;
        return ink;
    };
    const int left = memo->LeftMargin();
    EXPECT_GT(inkIn(left, left + kCharWidth), 0);
    EXPECT_GT(inkIn(left + kCharWidth, left + 2 * kCharWidth), 0);
    // The ideograms' glyphs are wider than the fake measurer's cells: ink
    // may spill into the next cell, never beyond it.
    EXPECT_EQ(inkIn(left + 3 * kCharWidth, kWidth), 0);
    // A stray byte stands on the mark colour.
    memo->InvalidByteColor = clRed;
    LoadUtf8("a\xE9");
    const QImage marked = Paint();
    EXPECT_GT(CountReddish(marked, QRect(left + kCharWidth, 0, kCharWidth, kLineHeight - 1)), kCharWidth * 4);
    EXPECT_EQ(CountReddish(marked, QRect(left, 0, kCharWidth, kLineHeight - 1)), 0);
}
