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

TEST_F(MemoUtf8, CharactersThatDrawNothingTakeNoRoomAndKeepTheirBytes) {
    // The oracle: the same text without them.  A byte-order mark at the
    // page's start, zero-width spaces and joiners, direction marks, a word
    // joiner, a variation selector and a tag character, each between two
    // letters, at random.
    const std::vector<std::string> invisible = {"\xEF\xBB\xBF", "\xE2\x80\x8B", "\xE2\x80\x8C", "\xE2\x80\x8D",
                                                "\xE2\x80\x8E", "\xE2\x80\x8F", "\xE2\x81\xA0", "\xE2\x80\xAA",
                                                "\xEF\xB8\x8F", "\xF3\xA0\x80\x81"};
    std::mt19937 random(2110);
    for (int round = 0; round < 6; ++round) {
        std::string visible;
        std::string page = round == 0 ? invisible[0] : "";
        for (int i = 0; i < 12; ++i) {
            const std::string letter(1, static_cast<char>('a' + random() % 26));
            visible += letter;
            page += letter;
            if (random() % 2 == 0)
                page += invisible[random() % invisible.size()];
        }
        LoadUtf8(visible);
        const QImage expected = Paint();
        LoadUtf8(page);
        EXPECT_EQ(Paint(), expected) << "round " << round;
        EXPECT_EQ(memo->Text(), page) << "the bytes stay";
        memo->SetSelStart(static_cast<int32_t>(page.size()));
        EXPECT_EQ(memo->CaretX(), memo->LeftMargin() + 12 * kCharWidth) << "round " << round;
    }
    // They take no room when lines are broken either: a wrapped line holds
    // as many letters with them as without.
    memo->SetWordWrap(true);
    std::string wrapped;
    std::string plain;
    for (int i = 0; i < 40; ++i) {
        wrapped += "ab\xE2\x80\x8B\xE2\x80\x8D ";
        plain += "ab ";
    }
    LoadUtf8(plain);
    const int32_t plainLines = memo->LineCount();
    ASSERT_GT(plainLines, 1);
    LoadUtf8(wrapped);
    EXPECT_EQ(memo->LineCount(), plainLines);
}

namespace {

// A line split into its characters, as the model sees them: a valid
// sequence is one, any other byte one of its own.
std::vector<std::string> Characters(std::string_view line) {
    std::vector<std::string> characters;
    for (size_t at = 0; at < line.size();) {
        const size_t length = Utf8CharLength(line, at);
        characters.emplace_back(line.substr(at, length));
        at += length;
    }
    return characters;
}

std::string Join(const std::vector<std::string>& characters, size_t from, size_t to) {
    std::string joined;
    for (size_t i = from; i < std::min(to, characters.size()); ++i)
        joined += characters[i];
    return joined;
}

} // namespace

// Column blocks over UTF-8 lines: a column is a character, so a block
// copied holds whole characters and a block pasted goes in between them,
// never inside one.  Random pages, blocks and pastes against a model of
// each line's characters.
TEST_F(MemoUtf8, ColumnBlocksCopyAndPasteWholeCharacters) {
    std::mt19937 random(2112);
    for (int round = 0; round < 30; ++round) {
        std::vector<std::string> lines;
        for (int i = 0, n = 2 + static_cast<int>(random() % 4); i < n; ++i) {
            std::string line = randomPage(random, static_cast<int>(random() % 8));
            // One paragraph per line: no breaks, tabs or style codes inside.
            std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
            lines.push_back(line);
        }
        std::string page;
        for (size_t i = 0; i < lines.size(); ++i)
            page += (i > 0 ? "\r\n" : "") + lines[i];
        LoadUtf8(page);
        const int column1 = static_cast<int>(random() % 6);
        const int column2 = column1 + static_cast<int>(random() % 5);
        const int last = static_cast<int>(random() % lines.size());
        memo->SetSelStart(0);
        memo->SetSelLength(memo->ParagraphStart(last));
        memo->SetBlock(column1, column2);
        std::string expected;
        for (int i = 0; i <= last; ++i)
            expected += Join(Characters(lines[static_cast<size_t>(i)]), static_cast<size_t>(column1),
                             static_cast<size_t>(column2)) +
                        "\r\n";
        ASSERT_EQ(memo->BlockText(), expected) << "round " << round;

        // A block of random pieces pasted at a column of the first line.
        memo->SetSelLength(0);
        const int first = static_cast<int>(random() % lines.size());
        const int column = static_cast<int>(random() % 7);
        memo->SetSelStart(memo->ParagraphStart(first));
        std::vector<std::string> block;
        std::string blockText;
        for (int i = 0, n = 1 + static_cast<int>(random() % 3); i < n; ++i) {
            block.push_back(i % 2 == 0 ? "\xE4\xB8\xAD" "x" : "\xC3\xA9");
            blockText += block.back() + "\r\n";
        }
        memo->Selection().PasteBlock(blockText, column);
        for (size_t i = 0; i < block.size(); ++i) {
            const size_t index = static_cast<size_t>(first) + i;
            if (index >= lines.size())
                lines.emplace_back();
            const std::vector<std::string> characters = Characters(lines[index]);
            const size_t at = std::min(static_cast<size_t>(column), characters.size());
            lines[index] = Join(characters, 0, at) + std::string(static_cast<size_t>(column) - at, ' ') + block[i] +
                           Join(characters, at, characters.size());
        }
        std::string model;
        for (size_t i = 0; i < lines.size(); ++i)
            model += (i > 0 ? "\r\n" : "") + lines[i];
        ASSERT_EQ(memo->Text(), model) << "round " << round << ", pasted at column " << column;
    }
}

// Typed text reaches a UTF-8 page as whole characters: a character beyond
// the BMP in two key presses (one UTF-16 half each, as an input method may
// send it) goes in once both came; a key byte (a code-page character, as a
// key handler or WM_CHAR gives it) goes in as that character's UTF-8.
TEST_F(MemoUtf8, CharactersTypedInPiecesGoInWhole) {
    std::mt19937 random(2113);
    static const char32_t kTyped[] = {U'a', 0xE9, 0x4E2D, 0x1F600, 0x1D11E, 0x20AC};
    LoadUtf8("");
    std::string model;
    for (int step = 0; step < 80; ++step) {
        if (random() % 4 == 0) {
            const auto byte = static_cast<unsigned char>(0xA0 + random() % 0x60);
            memo->Perform(WM_CHAR, byte, 1);
            AppendUtf8(model, AnsiCharToUnicode(byte));
        } else {
            const char32_t c = kTyped[random() % std::size(kTyped)];
            const QString text = QString::fromStdU32String(std::u32string(1, c));
            if (text.size() == 2 && random() % 2 == 0) {
                TypeText(text.left(1));
                TypeText(text.right(1));
            } else {
                TypeText(text);
            }
            AppendUtf8(model, c);
        }
        ASSERT_EQ(memo->Text(), model) << "step " << step;
    }
    EXPECT_TRUE(IsValidUtf8(memo->Text()));
}
