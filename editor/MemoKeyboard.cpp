// Keyboard input: navigation, selection by keys, deletion, hot keys and
// typing.  Every caret move goes through a working navigator and ends in
// the common selection update; every change of text goes through the
// editing primitive.

#include "editor/MemoKeyboard.h"

#include "editor/CodeMemo.h"
#include "editor/MemoMouse.h"
#include "editor/MemoView.h"
#include "editor/model/Characters.h"
#include "editor/model/ScopeGuards.h"
#include "editor/model/StyleCodes.h"
#include "editor/model/WordMoves.h"

#include <algorithm>

namespace {
// The control characters KeyPress acts on.
constexpr unsigned char kCopyKey = 3;         // Ctrl+C
constexpr unsigned char kCheckKey = 5;        // Ctrl+E: repaint and check the store
constexpr unsigned char kEnterKey = 13;
constexpr unsigned char kPasteKey = 22;       // Ctrl+V
constexpr unsigned char kCutKey = 24;         // Ctrl+X
constexpr unsigned char kDeleteCharacter = 127;

bool isArrow(uint16_t key) { return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN; }
// How many blanks a text starts with: a display line's indent.
int32_t leadingBlankCount(std::string_view text) {
    int32_t count = 0;
    while (count < static_cast<int32_t>(text.size()) && IsBlank(text[static_cast<size_t>(count)]))
        ++count;
    return count;
}
} // namespace

TMemoKeyboard::TMemoKeyboard(TCodeMemo& memo, TMemoView& view)
    : memo_(memo), view_(view), document_(memo.Document()), selection_(memo.Selection()),
      moving_(std::make_unique<TCodeNavigator>(&document_)) {}

TMemoKeyboard::~TMemoKeyboard() = default;

int32_t TMemoKeyboard::leadingBlanks(int32_t line) { return leadingBlankCount(document_.DisplayLineText(line)); }

// ---------------------------------------------------------------------------
// Moving the working navigator

void TMemoKeyboard::stepBack(TCodeNavigator& nav) {
    bool moved = false;
    if (nav.ParOffset() > 0) {
        nav.SetPos(nav.Pos() - charBefore(nav));
        moved = true;
        if (memo_.PassOverCodes && document_.StaticFormat()) {
            while (nav.ParOffset() > 0 && IsStyleCode(nav.CharAt()))
                nav.SetPos(nav.Pos() - 1);
            // Stopping on a code at the paragraph's start is no stop at all.
            if (nav.ParOffset() == 0 && nav.Paragraph()->Length() > 0 && IsStyleCode(nav.CharAt()))
                moved = false;
        }
    }
    if (moved || selection_.BlockMode() || nav.Pos() <= 0)
        return;
    const int32_t start = document_.ParagraphList().Start(nav.ParNumber());
    if (start < 2)
        return;
    nav.SetPos(start - 2);
    if (document_.Options().Contains(pmoDiscardTrailingSpaces)) {
        const auto offset = static_cast<int32_t>(WithoutTrailingBlanks(nav.Paragraph()->Text).size());
        nav.SetPos(document_.ParagraphList().Start(nav.ParNumber()) + offset);
    }
}

void TMemoKeyboard::stepForward(TCodeNavigator& nav) {
    const TParagraph& p = *nav.Paragraph();
    const bool atEnd = nav.ParOffset() >= p.Length();
    if (atEnd && ((document_.Options().Contains(pmoKeepColumnPos) && !document_.Options().Contains(pmoWrapCaret)) || selection_.BlockMode())) {
        selection_.SetVirtualColumns(selection_.VirtualColumns() + 1);
        return;
    }
    if (nav.Pos() >= document_.TextLength())
        return;
    selection_.SetVirtualColumns(0);
    if (document_.StaticFormat() && memo_.PassOverCodes)
        while (nav.ParOffset() < p.Length() && IsStyleCode(nav.CharAt()))
            nav.SetPos(nav.Pos() + 1);
    if (document_.Options().Contains(pmoDiscardTrailingSpaces) && !selection_.BlockMode()) {
        const int32_t from = nav.Pos();
        while (nav.ParOffset() < p.Length() && IsBlank(nav.CharAt()))
            nav.SetPos(nav.Pos() + 1);
        if (nav.ParOffset() < p.Length())
            nav.SetPos(from);
    }
    if (nav.ParOffset() >= p.Length()) {
        if (nav.ParNumber() + 1 < document_.ParagraphList().Count())
            nav.SetPos(document_.ParagraphList().Start(nav.ParNumber() + 1));
    } else {
        nav.SetPos(nav.Pos() + charAt(nav));
    }
}

void TMemoKeyboard::wordLeft(TCodeNavigator& nav) {
    selection_.SetVirtualColumns(0);
    if (nav.Pos() <= 0)
        return;
    nav.SetPos(nav.Pos() - 1);
    while (nav.Pos() > 0 && document_.IsSeparator(static_cast<unsigned char>(nav.CharAt())))
        nav.SetPos(nav.Pos() - 1);
    if (nav.CharAt() == '\n') {
        nav.SetPos(nav.Pos() - 1);
        return;
    }
    ToWordStart(nav);
}

void TMemoKeyboard::wordRight(TCodeNavigator& nav) {
    selection_.SetVirtualColumns(0);
    if (nav.Pos() >= document_.TextLength())
        return;
    if (nav.CharAt() == '\r') {
        nav.SetPos(std::min(nav.Pos() + 2, document_.TextLength()));
        return;
    }
    ToWordEnd(nav);
    OverSeparatorsInLine(nav);
}

void TMemoKeyboard::moveVertically(TCodeNavigator& nav, int32_t line, TShiftState shift) {
    nav.SetLineNumber(line);
    document_.Layout().FormatParagraphIfNeeded(nav.ParNumber());
    nav.SetLineNumber(line);
    selection_.SetVirtualColumns(0);
    if (!(shift & ssShift)) {
        selection_.ForgetLength();
        selection_.SetBlockMode(false);
    }
    const bool keep = document_.Options().Contains(pmoKeepColumnPos);
    const bool extra = document_.Options().Contains(pmoPutExtraSpaces);
    if (selection_.RememberedColumn() == TTextSelection::kNoColumn || (!document_.Layout().WordWrap() && extra && !keep))
        selection_.SetRememberedColumn(view_.CaretX());
    const int32_t column = view_.XToOffset(nav.Paragraph(), nav.ParNumber(), keep, selection_.RememberedColumn(), nav.LineInPar());
    PlaceInLine(nav, column);
    if ((selection_.BlockMode() || keep) && !((shift & ssShift) && !selection_.BlockMode())) {
        const bool atEnd = nav.ParOffset() >= nav.Paragraph()->Length();
        if (atEnd || nav.CharAt() == '\t') {
            const int32_t x = view_.NavigatorX(nav);
            selection_.SetVirtualColumns(view_.BlankColumns(x, selection_.RememberedColumn()));
        }
    }
}

// ---------------------------------------------------------------------------
// The selection after a move

void TMemoKeyboard::selectionUpdate(TCodeNavigator& nav, TShiftState shift) {
    // No key leaves the caret inside a character.
    nav.SetPos(document_.CharStartAt(nav.Pos()));
    if (shift & ssShift)
        selection_.ExtendTo(nav.Pos());
    else
        selection_.CollapseTo(nav);
    document_.UndoHistory().BreakGrouping();
    view_.ShowMovedSelection();
    view_.ScrollInView();
    memo_.Update();
}

// ---------------------------------------------------------------------------
// Key down

bool TMemoKeyboard::keyDownDisplayOnly(uint16_t key, TShiftState shift) {
    const int32_t top = view_.TopLine();
    const int32_t lastTop = std::max(document_.LineCount() - view_.VisibleLineCount() + 1, 0);
    const int32_t rangeEnd = std::max(document_.Layout().WidestLineWidth() - memo_.ClientWidth() + document_.Layout().RightMargin(), 0);
    switch (key) {
    case VK_PRIOR:
        view_.SetTopLine((shift & ssCtrl) ? 0 : std::max(top - view_.VisibleLineCount() + 1, 0));
        break;
    case VK_NEXT:
        view_.SetTopLine((shift & ssCtrl) ? lastTop : std::min(top + view_.VisibleLineCount() - 1, lastTop));
        break;
    case VK_END:
        memo_.SetLeftPixel(rangeEnd);
        break;
    case VK_HOME:
        memo_.SetLeftPixel(0);
        break;
    case VK_LEFT:
        memo_.SetLeftPixel(std::max(view_.LeftPixel() - view_.HScrollUnit(), 0));
        break;
    case VK_UP:
        view_.SetTopLine(std::max(top - 1, 0));
        break;
    case VK_RIGHT:
        memo_.SetLeftPixel(std::min(view_.LeftPixel() + view_.HScrollUnit(), rangeEnd));
        break;
    case VK_DOWN:
        view_.SetTopLine(std::min(top + 1, lastTop));
        break;
    default:
        return false;
    }
    memo_.Update();
    return true;
}

bool TMemoKeyboard::hotKey(uint16_t key, TShiftState shift) {
    switch (key) {
    case 'B':
        memo_.ToggleStyle(kCodeBold);
        return true;
    case 'I':
        memo_.ToggleStyle(kCodeItalic);
        return true;
    case 'U':
        memo_.ToggleStyle(kCodeUnderline);
        return true;
    case 'H':
        memo_.ToggleStyle(kCodeHighlight);
        return true;
    case 'F':
        memo_.ToggleStyle(kCodeAltFont);
        return true;
    case 'T':
        memo_.SetSelText("\t");
        return true;
    case 'P':
        memo_.SetSelText(std::string("\r\n\x10\r\n"));
        return true;
    case 'Z':
        if (shift & ssShift)
            memo_.Redo();
        else
            memo_.Undo();
        return true;
    default:
        return false;
    }
}

void TMemoKeyboard::KeyDown(uint16_t& key, TShiftState shift) {
    memo_.inheritedKeyDown(key, shift);
    if (key == 0 || document_.UpdateCount() > 0)
        return;
    if (memo_.Dragging()) {
        if (key == VK_CONTROL && memo_.Mouse().PointerOverDrop())
            memo_.Mouse().ShowDragCursor(true);
        return;
    }
    if (memo_.DisplayOnly) {
        if (keyDownDisplayOnly(key, shift))
            key = 0;
        return;
    }
    if ((shift & ssCtrl) && !(shift & ssAlt)) {
        // Style and caret reports after a hot key are relative to now.
        view_.RememberCaretReport();
        if (!memo_.ReadOnly && memo_.EnableHotKeys && hotKey(key, shift)) {
            key = 0;
            return;
        }
    }
    if (key >= 0x30)
        return;

    const uint16_t original = key;
    key = 0;
    TCodeNavigator& caret = selection_.CaretNavigator();
    document_.Layout().FormatParagraphIfNeeded(caret.ParNumber());
    const int32_t oldCaret = caret.Pos();
    TCodeNavigator& nav = *moving_;
    nav.Assign(caret);
    const bool alt = (shift & ssAlt) != 0;
    const bool withShift = (shift & ssShift) != 0;
    const bool ctrl = (shift & ssCtrl) != 0;

    if ((shift & (ssShift | ssAlt | ssCtrl)) == (ssShift | ssAlt) && document_.Options().Contains(pmoBlockSelection) &&
        !document_.Layout().WordWrap() && !selection_.BlockMode() && isArrow(original)) {
        const int32_t column = selection_.CaretTextColumn();
        selection_.SetBlockMode(true);
        selection_.SetBlockColumns(column, column);
    }
    auto collapse = [&](bool endBlock) {
        if (!withShift) {
            selection_.ForgetLength();
            if (endBlock)
                selection_.SetBlockMode(false);
        }
    };
    bool moved = false;
    switch (original) {
    case VK_TAB:
        if (alt) {
            key = original;
            return;
        }
        if (!memo_.ReadOnly)
            memo_.SetSelText("\t");
        return;
    case VK_HOME:
        if (alt)
            return;
        selection_.SetBlockMode(false);
        selection_.SetVirtualColumns(0);
        collapse(true);
        if (ctrl)
            nav.SetPos(0);
        else
            nav.SetColumnInLine(0);
        selection_.SetRememberedColumn(TTextSelection::kNoColumn);
        moved = true;
        break;
    case VK_END:
        if (alt)
            return;
        selection_.SetBlockMode(false);
        selection_.SetVirtualColumns(0);
        selection_.SetRememberedColumn(TTextSelection::kNoColumn);
        collapse(true);
        if (ctrl)
            nav.SetPos(document_.TextLength());
        else
            PlaceInLine(nav, INT32_MAX / 2);
        moved = true;
        break;
    case VK_PRIOR: {
        if (alt)
            return;
        const int32_t paragraph = caret.ParNumber();
        document_.Layout().FormatRange(std::max(paragraph - view_.VisibleLineCount() + 1, 0), paragraph, false);
        moveVertically(nav, std::max(caret.LineNumber() - view_.VisibleLineCount() + 1, 0), shift);
        moved = true;
        break;
    }
    case VK_NEXT: {
        if (alt)
            return;
        const int32_t paragraph = caret.ParNumber();
        document_.Layout().FormatRange(paragraph, std::min(paragraph + view_.VisibleLineCount() - 1, document_.ParagraphList().Count() - 1), false);
        moveVertically(nav, std::min(caret.LineNumber() + view_.VisibleLineCount() - 1, document_.LineCount() - 1), shift);
        moved = true;
        break;
    }
    case VK_UP: {
        if (alt && !selection_.BlockMode())
            return;
        const int32_t line = caret.LineNumber();
        if (line == 0) {
            uint16_t again = original;
            memo_.inheritedKeyDown(again, shift);
            return;
        }
        if (caret.LineInPar() == 0)
            document_.Layout().FormatParagraphIfNeeded(caret.ParNumber() - 1);
        moveVertically(nav, caret.LineNumber() - 1, shift);
        moved = true;
        break;
    }
    case VK_DOWN: {
        if (alt && !selection_.BlockMode())
            return;
        const int32_t line = caret.LineNumber();
        if (line >= document_.LineCount() - 1)
            return;
        if (caret.LineInPar() == caret.Paragraph()->LineCount() - 1 && caret.ParNumber() + 1 < document_.ParagraphList().Count())
            document_.Layout().FormatParagraphIfNeeded(caret.ParNumber() + 1);
        moveVertically(nav, caret.LineNumber() + 1, shift);
        moved = true;
        break;
    }
    case VK_LEFT:
        if (alt && !selection_.BlockMode())
            return;
        selection_.SetRememberedColumn(TTextSelection::kNoColumn);
        collapse(true);
        if (oldCaret == 0 && selection_.VirtualColumns() == 0) {
            uint16_t again = original;
            memo_.inheritedKeyDown(again, shift);
            // The caret stays, but a selection collapses onto it like after
            // any other move: the selection's ends must follow SelLength.
            moved = true;
            break;
        }
        if (ctrl) {
            wordLeft(nav);
        } else if (selection_.VirtualColumns() > 0) {
            selection_.SetVirtualColumns(selection_.VirtualColumns() - 1);
        } else {
            stepBack(nav);
        }
        moved = true;
        break;
    case VK_RIGHT:
        if (alt && !selection_.BlockMode())
            return;
        selection_.SetRememberedColumn(TTextSelection::kNoColumn);
        collapse(true);
        if (ctrl)
            wordRight(nav);
        else
            stepForward(nav);
        moved = true;
        break;
    case VK_DELETE:
        if (memo_.ReadOnly)
            return;
        deleteKey(shift);
        break;
    case VK_BACK:
        if (memo_.ReadOnly)
            return;
        backspaceKey(shift);
        break;
    case VK_INSERT:
        if (alt)
            return;
        if (withShift) {
            if (!memo_.ReadOnly)
                memo_.PasteFromClipboard();
        } else if (ctrl) {
            memo_.CopyToClipboard();
        } else if (document_.Options().Contains(pmoInsertKeyActive)) {
            memo_.SetOverwrite(!memo_.Overwrite);
            if (memo_.OnStyleChange)
                memo_.OnStyleChange(&memo_);
        }
        return;
    default:
        key = original;
        return;
    }
    if (moved) {
        selectionUpdate(nav, shift);
        return;
    }
    // After Delete and Backspace the caret stands where the deletion left it.
    selection_.KeepOnCharacters();
    document_.UndoHistory().BreakGrouping();
    view_.SelectionChanged();
    view_.ScrollInView();
    memo_.Update();
}

// ---------------------------------------------------------------------------
// Deletion

void TMemoKeyboard::deleteKey(TShiftState shift) {
    int32_t rememberedX = INT32_MIN;
    {
        TRestoreOnExit<bool> suppress(view_.SuppressPaint(), true);
        if (selection_.SelLength() == 0 && document_.Options().Contains(pmoKeepColumnPos))
            rememberedX = view_.CaretX();
        if ((shift & ssShift) && (selection_.SelLength() != 0 || selection_.BlockMode())) {
            view_.SuppressPaint() = false;
            memo_.CutToClipboard();
            return;
        }
        TCodeNavigator& caret = selection_.CaretNavigator();
        if (shift & ssShift) {
            // Shift+Delete without a selection deletes the character before the caret.
            memo_.SetSelLength(caret.ParOffset() == 0 ? -2 : -charBefore(caret));
        } else if (shift & ssCtrl) {
            if (selection_.StartNavigator().LineNumber() == selection_.EndNavigator().LineNumber()) {
                TCodeNavigator& end = *moving_;
                end.Assign(selection_.EndNavigator());
                PlaceInLine(end, INT32_MAX / 2);
                // The last line of a paragraph ends at the paragraph's end.
                if (end.LineInPar() == end.Paragraph()->LineCount() - 1)
                    end.SetPos(document_.ParagraphList().Start(end.ParNumber()) + end.Paragraph()->Length());
                const int32_t from = selection_.StartNavigator().Pos();
                memo_.SetSelStart(from);
                memo_.SetSelLength(end.Pos() - from);
            }
        } else if (selection_.SelLength() == 0 && !selection_.BlockMode()) {
            TCodeNavigator& end = *moving_;
            end.Assign(caret);
            if (document_.StaticFormat() && memo_.PassOverCodes)
                while (end.ParOffset() < end.Paragraph()->Length() && IsStyleCode(end.CharAt()))
                    end.SetPos(end.Pos() + 1);
            if (end.ParOffset() >= end.Paragraph()->Length())
                end.SetPos(end.Pos() + 2);
            else
                end.SetPos(end.Pos() + charAt(end));
            memo_.SetSelLength(std::min(end.Pos(), document_.TextLength()) - caret.Pos());
        }
    }
    memo_.ClearSelection();
    if (document_.Options().Contains(pmoKeepColumnPos) && rememberedX != INT32_MIN) {
        view_.CaretUpdate();
        if (rememberedX > view_.CaretX()) {
            selection_.SetVirtualColumns(view_.BlankColumns(view_.CaretX(), rememberedX));
            view_.CaretUpdate();
        }
    }
}

void TMemoKeyboard::backspaceKey(TShiftState shift) {
    selection_.SetRememberedColumn(TTextSelection::kNoColumn);
    TCodeNavigator& caret = selection_.CaretNavigator();
    {
        TRestoreOnExit<bool> suppress(view_.SuppressPaint(), true);
        if (selection_.SelLength() != 0 || selection_.BlockMode()) {
            // The selection goes.
        } else if (shift & ssCtrl) {
            const TParagraph& p = *caret.Paragraph();
            const int32_t offset = std::min(caret.ParOffset(), p.Length());
            if (offset > 0) {
                int32_t q = offset - 1;
                while (q > 0 && document_.IsSeparator(static_cast<unsigned char>(p.Text[static_cast<size_t>(q)])))
                    --q;
                while (q > 0 && !document_.IsSeparator(static_cast<unsigned char>(p.Text[static_cast<size_t>(q - 1)])))
                    --q;
                memo_.SetSelLength(q - offset);
            }
        } else if (caret.ParOffset() == 0 && selection_.VirtualColumns() == 0) {
            memo_.SetSelLength(-2);
        } else {
            bool done = false;
            if (document_.Options().Contains(pmoBackIndent)) {
                const int32_t column = memo_.SelCol();
                const int32_t line = caret.LineNumber();
                if (column > 0 && column == leadingBlanks(line)) {
                    int32_t target = 0;
                    for (int32_t i = line - 1; i >= 0; --i) {
                        int32_t blanks = leadingBlanks(i);
                        if (blanks < column) {
                            target = blanks;
                            break;
                        }
                    }
                    memo_.SetSelLength(target - column);
                    done = true;
                }
            }
            if (!done) {
                if (selection_.VirtualColumns() > 0) {
                    selection_.SetVirtualColumns(selection_.VirtualColumns() - 1);
                    view_.CaretUpdate();
                    return;
                }
                memo_.SetSelLength(-charBefore(caret));
                if (document_.StaticFormat() && memo_.PassOverCodes) {
                    // The codes before the character go with it.
                    while (selection_.SelLength() != 0 && selection_.StartNavigator().Pos() > 0 && IsStyleCode(selection_.StartNavigator().CharAt())) {
                        const int32_t before = selection_.SelLength();
                        memo_.SetSelLength(selection_.SelLength() - (selection_.StartNavigator().ParOffset() == 0 ? 2 : 1));
                        if (selection_.SelLength() == before)
                            break;
                    }
                }
            }
        }
    }
    if (selection_.SelLength() == 0 && !selection_.BlockMode())
        return;
    const int32_t before = selection_.StartNavigator().ColumnInLine();
    memo_.ClearSelection();
    if (document_.Options().Contains(pmoKeepColumnPos)) {
        const int32_t after = selection_.CaretNavigator().ColumnInLine();
        selection_.SetVirtualColumns(std::max(before - after, 0));
        view_.CaretUpdate();
    }
}

// ---------------------------------------------------------------------------
// Key press and key up

void TMemoKeyboard::TypeCharacter(char32_t character) {
    // In the code page a character it lacks is written as a numeric
    // character reference, which the page shows as that character.
    std::string text;
    if (document_.IsUtf8())
        AppendUtf8(text, character);
    else
        Utf8ToAnsi([&] {
            std::string utf8;
            AppendUtf8(utf8, character);
            return utf8;
        }(), text);
    // The key handlers see the character's byte of the code page, or '?'.
    char key = KeyCharOf(character);
    TRestoreOnExit<std::string> typed(typed_, text);
    TRestoreOnExit<char> typedKey(typedKey_, key);
    memo_.KeyPress(key);
}

int32_t TMemoKeyboard::charAt(TCodeNavigator& nav) const {
    return CharLength(nav.Paragraph()->Text, nav.ParOffset(), document_.IsUtf8());
}

int32_t TMemoKeyboard::charBefore(TCodeNavigator& nav) const {
    const int32_t offset = nav.ParOffset();
    return offset - PreviousChar(nav.Paragraph()->Text, offset, document_.IsUtf8());
}

void TMemoKeyboard::enterKey() {
    if (memo_.Overwrite && selection_.SelLength() == 0) {
        const int32_t line = memo_.SelLine();
        if (line < document_.LineCount() - 1) {
            memo_.SetSelLine(line + 1);
            view_.ScrollInView();
        } else {
            memo_.SetSelStart(document_.TextLength());
            memo_.SetSelText("\r\n");
        }
        return;
    }
    if (selection_.SelLength() != 0 || !document_.Options().Contains(pmoAutoIndent)) {
        memo_.SetSelText("\r\n");
        return;
    }
    TCodeNavigator& caret = selection_.CaretNavigator();
    std::string model;
    for (int32_t line = caret.LineNumber(); line >= 0; --line) {
        model = document_.DisplayLineText(line);
        if (!model.empty())
            break;
    }
    const int32_t indent = std::min(leadingBlankCount(model), memo_.SelCol());
    if (document_.Options().Contains(pmoDiscardTrailingSpaces) && caret.ParOffset() >= caret.Paragraph()->Length()) {
        memo_.SetSelText("\r\n");
        int32_t columns = 0;
        for (int32_t i = 0; i < indent; ++i)
            columns += model[static_cast<size_t>(i)] == '\t' ? document_.Layout().TabStops() : 1;
        selection_.SetVirtualColumns(columns);
        view_.CaretUpdate();
        view_.ScrollInView();
        return;
    }
    memo_.SetSelText("\r\n" + model.substr(0, static_cast<size_t>(std::max(indent, 0))));
}

void TMemoKeyboard::KeyPress(char& key) {
    memo_.inheritedKeyPress(key);
    if (key == 0 || document_.UpdateCount() > 0 || memo_.Dragging())
        return;
    const auto c = static_cast<unsigned char>(key);
    if ((memo_.ReadOnly && c != kCopyKey) || memo_.DisplayOnly)
        return;
    if (c > 30 && c != kDeleteCharacter) {
        TCodeNavigator& caret = selection_.CaretNavigator();
        const bool atParagraphEnd = caret.ParOffset() >= caret.Paragraph()->Length();
        if (c == ' ' && selection_.SelLength() == 0 && document_.Options().Contains(pmoDiscardTrailingSpaces) &&
            document_.Options().Contains(pmoKeepColumnPos) && atParagraphEnd) {
            selection_.SetVirtualColumns(selection_.VirtualColumns() + 1);
            view_.CaretUpdate();
            view_.ScrollInView();
        } else {
            if (memo_.Overwrite && selection_.SelLength() == 0 && !atParagraphEnd)
                memo_.SetSelLength(charAt(caret));
            // A character typed as several bytes goes in whole, unless a
            // handler put another key in its place.  A key byte is a
            // character of the code page, written in the document's
            // encoding: alone in a UTF-8 page it would be a broken sequence.
            memo_.SetSelText(!typed_.empty() && key == typedKey_
                                 ? typed_
                                 : ProgramTextToDocument(DocumentTextToProgram(std::string(1, key), teAnsi),
                                                         document_.Encoding()));
        }
    } else {
        switch (c) {
        case kCopyKey:
            memo_.CopyToClipboard();
            break;
        case kCheckKey:
            memo_.Invalidate();
            memo_.Update();
            memo_.CheckConsistency();
            break;
        case kEnterKey:
            enterKey();
            break;
        case kPasteKey:
            memo_.PasteFromClipboard();
            break;
        case kCutKey:
            memo_.CutToClipboard();
            break;
        default:
            break;
        }
    }
    selection_.KeepOnCharacters();
    // While a key repeats, the window keeps up with it.
    if (keyReleased_)
        keyReleased_ = false;
    else
        memo_.Update();
}

void TMemoKeyboard::KeyUp(uint16_t& key, TShiftState shift) {
    keyReleased_ = true;
    const uint16_t original = key;
    memo_.inheritedKeyUp(key, shift);
    if (memo_.Dragging() && original == VK_CONTROL && memo_.Mouse().PointerOverDrop())
        memo_.Mouse().ShowDragCursor(false);
}
