// Keyboard input through QTest on the offscreen window: navigation at the
// edges of paragraphs and of the text, word moves, deletion beside style
// codes, indentation, overwrite mode, hot keys, the read-only and
// display-only modes, and a randomised check of typing and moving against
// a plain line-and-column model.

#include "MemoWindow.h"

#include "platform/gfx/Clipboard.h"

#include <random>
#include <vector>

class MemoKeys : public MemoWindow {
protected:
    int32_t Caret() const { return memo->SelStart(); }
};

TEST_F(MemoKeys, ArrowsCrossParagraphBreaks) {
    Load("ab\r\ncd");
    memo->SetSelStart(2);
    Key(Qt::Key_Right);
    EXPECT_EQ(Caret(), 4) << "from a paragraph's end to the next one's start";
    Key(Qt::Key_Left);
    EXPECT_EQ(Caret(), 2) << "back over the break";
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(Caret(), 6);
    Key(Qt::Key_Right);
    EXPECT_EQ(Caret(), 6) << "nothing beyond the end";
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(Caret(), 0);
}

TEST_F(MemoKeys, KeysThatCannotMoveReachOnKeyDownTwice) {
    Load("ab\r\ncd");
    std::vector<uint16_t> seen;
    memo->OnKeyDown = [&](TPersistent*, uint16_t& key, TShiftState) { seen.push_back(key); };
    memo->SetSelStart(0);
    Key(Qt::Key_Left);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), VK_LEFT), 2);
    Key(Qt::Key_Up);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), VK_UP), 2);
    EXPECT_EQ(Caret(), 0);
    Key(Qt::Key_Down);
    EXPECT_EQ(Caret(), 4);
    Key(Qt::Key_Down);
    EXPECT_EQ(Caret(), 4) << "Down on the last line stays";
}

TEST_F(MemoKeys, RightAtAParagraphEndAddsAVirtualColumnWhenKeepingTheColumn) {
    Load("ab\r\ncd");
    TCodeMemoOptions options = memo->Options();
    memo->SetOptions(options.Include(pmoKeepColumnPos).Exclude(pmoWrapCaret));
    memo->SetSelStart(2);
    Key(Qt::Key_Right);
    EXPECT_EQ(Caret(), 2);
    EXPECT_EQ(memo->VirtualColumns(), 1);
    EXPECT_EQ(memo->SelCol(), 3);
    EXPECT_EQ(memo->CaretX(), memo->LeftMargin() + 3 * kCharWidth);
    Key(Qt::Key_Left);
    EXPECT_EQ(memo->VirtualColumns(), 0);
    EXPECT_EQ(Caret(), 2);
}

TEST_F(MemoKeys, WordMovesAcrossParagraphs) {
    Load("one two\r\nthree, four");
    memo->SetSelStart(9);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(Caret(), 7) << "from a paragraph's start to the previous one's end";
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(Caret(), 4);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Caret(), 7) << "to the end of the word, stopping at the break";
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Caret(), 9) << "over the break";
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Caret(), 16) << "over the word and the separators after it";
}

TEST_F(MemoKeys, LeftAndRightNeverStopBetweenStyleCodes) {
    Load(std::string("ab\x02\x01" "cd"));
    memo->SetSelStart(2);
    Key(Qt::Key_Right);
    EXPECT_EQ(Caret(), 5) << "over both codes and c";
    Key(Qt::Key_Left);
    EXPECT_EQ(Caret(), 4) << "before c, after the codes";
    Key(Qt::Key_Left);
    EXPECT_EQ(Caret(), 1) << "over both codes and b";
}

TEST_F(MemoKeys, DeleteAndBackspaceTakeTheCodesBesideTheCaret) {
    Load(std::string("ab\x02" "cd\x02" "ef"));
    memo->SetSelStart(2);
    Key(Qt::Key_Delete);
    EXPECT_EQ(memo->ParagraphText(0), std::string("abd\x02" "ef"));
    memo->SetSelStart(4);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(memo->ParagraphText(0), std::string("abef"));
}

TEST_F(MemoKeys, ShiftDeleteWithoutASelectionDeletesTheCharacterBeforeTheCaret) {
    Load("abc");
    memo->SetSelStart(2);
    Key(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(memo->Text(), "ac");
    EXPECT_EQ(Caret(), 1);
}

TEST_F(MemoKeys, CtrlDeleteDeletesToTheEndOfTheLine) {
    Load("abc def\r\nnext");
    memo->SetSelStart(2);
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(memo->Text(), "ab\r\nnext");
}

TEST_F(MemoKeys, BackspaceJoinsParagraphsAndCtrlBackspaceDeletesAWord) {
    Load("one two\r\nthree");
    memo->SetSelStart(9);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(memo->Text(), "one twothree");
    memo->SetSelStart(7);
    Key(Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(memo->Text(), "one three");
}

TEST_F(MemoKeys, EnterWithAutoIndentCopiesTheIndentation) {
    TCodeMemoOptions options = memo->Options();
    memo->SetOptions(options.Include(pmoAutoIndent));
    Load("\t\tcode");
    memo->SetSelStart(6);
    Key(Qt::Key_Return);
    EXPECT_EQ(memo->Text(), "\t\tcode\r\n\t\t");
    EXPECT_EQ(Caret(), 10);
    // The caret column limits the indentation.
    memo->SetSelStart(1);
    Key(Qt::Key_Return);
    EXPECT_EQ(memo->ParagraphText(0), "\t");
    EXPECT_EQ(memo->ParagraphText(1), "\t\tcode");
}

TEST_F(MemoKeys, EnterAfterTrailingBlanksDiscardsThem) {
    TCodeMemoOptions options = memo->Options();
    memo->SetOptions(options.Include(pmoAutoIndent).Include(pmoDiscardTrailingSpaces).Include(pmoPutExtraSpaces));
    Load("  x");
    memo->SetSelStart(3);
    Key(Qt::Key_Return);
    EXPECT_EQ(memo->Text(), "  x\r\n");
    EXPECT_EQ(memo->VirtualColumns(), 2) << "the indentation is virtual until something is typed";
    Type("y");
    EXPECT_EQ(memo->Text(), "  x\r\n  y");
}

TEST_F(MemoKeys, BackspaceWithBackIndentRemovesOneLevel) {
    TCodeMemoOptions options = memo->Options();
    memo->SetOptions(options.Include(pmoBackIndent));
    Load("    a\r\n        b\r\n        ");
    memo->SetSelStart(memo->TextLength());
    Key(Qt::Key_Backspace);
    EXPECT_EQ(memo->ParagraphText(2), "    ");
    Key(Qt::Key_Backspace);
    EXPECT_EQ(memo->ParagraphText(2), "") << "no line above has less than 4";
}

TEST_F(MemoKeys, OverwriteReplacesAndInsertToggles) {
    Load("abcd");
    memo->SetSelStart(1);
    Key(Qt::Key_Insert);
    EXPECT_TRUE(memo->Overwrite);
    Type("XY");
    EXPECT_EQ(memo->Text(), "aXYd");
    memo->SetSelStart(4);
    Type("Z");
    EXPECT_EQ(memo->Text(), "aXYdZ") << "at the end it appends";
    // The wide caret covers the character under it.
    memo->SetSelStart(1);
    EXPECT_EQ(memo->Caret().Width, kCharWidth);
    Key(Qt::Key_Insert);
    EXPECT_FALSE(memo->Overwrite);
    EXPECT_EQ(memo->Caret().Width, 1);
}

TEST_F(MemoKeys, TypingIsOneUndoStepUntilTheCaretIsMoved) {
    Load("");
    Type("abc");
    ASSERT_EQ(memo->Text(), "abc");
    Key(Qt::Key_Left);
    Type("X");
    EXPECT_EQ(memo->Text(), "abXc");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(memo->Text(), "abc");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(memo->Text(), "");
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(memo->Text(), "abc");
}

TEST_F(MemoKeys, HotKeysToggleStyles) {
    Load("word");
    Select(*memo, 0, 4);
    Key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(memo->Text(), std::string("\x02" "word\x02"));
    EXPECT_EQ(memo->SelLength(), 4);
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(memo->Text(), std::string("\x02\t\x02"));
}

TEST_F(MemoKeys, ReadOnlyTakesCopyButNoChange) {
    Load("abc");
    memo->ReadOnly = true;
    Select(*memo, 0, 2);
    Type("x");
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo->Text(), "abc");
    Clipboard().SetAsText("nothing");
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard().AsText(), "ab");
}

TEST_F(MemoKeys, DisplayOnlyArrowsScrollTheViewNotTheCaret) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Load(text);
    memo->SetDisplayOnly(true);
    EXPECT_FALSE(memo->Caret().Created) << "no caret";
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(memo->TopLine(), 2);
    EXPECT_EQ(Caret(), 0);
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(memo->TopLine(), memo->LineCount() - memo->VisibleLineCount() + 1);
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(memo->TopLine(), 0);
    Type("x");
    EXPECT_EQ(memo->Text(), text);
    EXPECT_EQ(memo->Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0) << "Tab moves the focus on";
}

TEST_F(MemoKeys, ShiftExtendsAndAnotherMoveCollapses) {
    Load("abc\r\ndef");
    memo->SetSelStart(1);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(memo->SelText(), "bc");
    EXPECT_EQ(memo->SelLength(), -2) << "the caret is the far end";
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(memo->SelText(), "bc\r\ndef");
    Key(Qt::Key_Left);
    EXPECT_EQ(memo->SelLength(), 0);
    EXPECT_EQ(Caret(), 7);
}

TEST_F(MemoKeys, UpAndDownKeepTheColumnOverShortLines) {
    Load("abcdef\r\nab\r\nabcdef");
    memo->SetSelStart(5);
    Key(Qt::Key_Down);
    EXPECT_EQ(Caret(), 10) << "end of the short line";
    Key(Qt::Key_Down);
    EXPECT_EQ(Caret(), 17) << "the column comes back";
}

TEST_F(MemoKeys, PageDownMovesAWindowFull) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "x\r\n";
    Load(text);
    memo->SetSelStart(0);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(memo->SelLine(), memo->VisibleLineCount() - 1);
    EXPECT_GT(memo->TopLine(), 0) << "the caret was scrolled into view";
    Key(Qt::Key_PageUp);
    EXPECT_EQ(memo->SelLine(), 0);
    EXPECT_EQ(memo->TopLine(), 0);
}

// A plain model of a text without wrapping, tabs or codes: paragraphs and a
// caret (paragraph, column) with a remembered column for vertical moves.
struct TTextModel {
    std::vector<std::string> Lines{""};
    int Line = 0;
    int Column = 0;
    int Remembered = -1;

    int Offset() const {
        int offset = 0;
        for (int i = 0; i < Line; ++i)
            offset += static_cast<int>(Lines[static_cast<size_t>(i)].size()) + 2;
        return offset + Column;
    }
    std::string Text() const {
        std::string text;
        for (size_t i = 0; i < Lines.size(); ++i)
            text += (i ? "\r\n" : "") + Lines[i];
        return text;
    }
    int Length(int line) const { return static_cast<int>(Lines[static_cast<size_t>(line)].size()); }
    void Left() {
        Remembered = -1;
        if (Column > 0)
            --Column;
        else if (Line > 0)
            --Line, Column = Length(Line);
    }
    void Right() {
        Remembered = -1;
        if (Column < Length(Line))
            ++Column;
        else if (Line + 1 < static_cast<int>(Lines.size()))
            ++Line, Column = 0;
    }
    void Vertical(int delta) {
        int target = Line + delta;
        if (target < 0 || target >= static_cast<int>(Lines.size()))
            return;
        if (Remembered < 0)
            Remembered = Column;
        Line = target;
        Column = std::min(Remembered, Length(Line));
    }
    void Type(char c) {
        Lines[static_cast<size_t>(Line)].insert(static_cast<size_t>(Column), 1, c);
        ++Column;
        Remembered = -1;
    }
    void Enter() {
        std::string tail = Lines[static_cast<size_t>(Line)].substr(static_cast<size_t>(Column));
        Lines[static_cast<size_t>(Line)].resize(static_cast<size_t>(Column));
        Lines.insert(Lines.begin() + Line + 1, tail);
        ++Line;
        Column = 0;
        Remembered = -1;
    }
    void Backspace() {
        Remembered = -1;
        if (Column > 0) {
            Lines[static_cast<size_t>(Line)].erase(static_cast<size_t>(Column - 1), 1);
            --Column;
        } else if (Line > 0) {
            Column = Length(Line - 1);
            Lines[static_cast<size_t>(Line - 1)] += Lines[static_cast<size_t>(Line)];
            Lines.erase(Lines.begin() + Line);
            --Line;
        }
    }
    void Delete() {
        if (Column < Length(Line))
            Lines[static_cast<size_t>(Line)].erase(static_cast<size_t>(Column), 1);
        else if (Line + 1 < static_cast<int>(Lines.size())) {
            Lines[static_cast<size_t>(Line)] += Lines[static_cast<size_t>(Line + 1)];
            Lines.erase(Lines.begin() + Line + 1);
        }
    }
};

TEST_F(MemoKeys, TypingAndMovingAgreeWithAPlainModel) {
    memo->SetWordWrap(false);
    Load("");
    TTextModel model;
    std::mt19937 random(4242);
    for (int step = 0; step < 400; ++step) {
        int action = static_cast<int>(random() % 100);
        std::string what;
        if (action < 35) {
            char c = "abcdefghij  XYZ"[random() % 15];
            Type(QString(QChar(c)));
            model.Type(c);
            what = std::string("type ") + c;
        } else if (action < 45) {
            Key(Qt::Key_Left), model.Left(), what = "left";
        } else if (action < 55) {
            Key(Qt::Key_Right), model.Right(), what = "right";
        } else if (action < 63) {
            Key(Qt::Key_Up), model.Vertical(-1), what = "up";
        } else if (action < 71) {
            Key(Qt::Key_Down), model.Vertical(1), what = "down";
        } else if (action < 77) {
            Key(Qt::Key_Return), model.Enter(), what = "enter";
        } else if (action < 85) {
            Key(Qt::Key_Backspace), model.Backspace(), what = "backspace";
        } else if (action < 91) {
            Key(Qt::Key_Delete), model.Delete(), what = "delete";
        } else if (action < 95) {
            Key(Qt::Key_Home), model.Column = 0, model.Remembered = -1, what = "home";
        } else {
            Key(Qt::Key_End), model.Column = model.Length(model.Line), model.Remembered = -1, what = "end";
        }
        ASSERT_EQ(memo->Text(), model.Text()) << "step " << step << " " << what;
        ASSERT_EQ(Caret(), model.Offset()) << "step " << step << " " << what;
    }
    memo->CheckConsistency();
}
