// Keyboard input: navigation, selection by keys, deletion, hot keys and
// typing.  Every caret move goes through a working navigator and ends in
// the common selection update; every change of text goes through the
// editing primitive.

#include "editor/CodeMemo.h"
#include "editor/MemoGuards.h"
#include "editor/StyleCodes.h"

#include <algorithm>

namespace {
bool isArrow(uint16_t key) { return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN; }
// How many blanks a text starts with: a display line's indent.
int32_t leadingBlankCount(std::string_view text) {
    int32_t count = 0;
    while (count < static_cast<int32_t>(text.size()) && IsBlank(text[static_cast<size_t>(count)]))
        ++count;
    return count;
}
} // namespace

int32_t TCodeMemo::leadingBlanks(int32_t line) { return leadingBlankCount(DisplayLineText(line)); }

void TCodeMemo::placeInLine(TCodeNavigator& navigator, int32_t column) {
    // The end of a wrapped line is the next line's start; a caret placed
    // past a wrapped line's text stays on that line, before its last
    // character.
    const TParagraph& p = *navigator.Paragraph();
    const int32_t lineInPar = navigator.LineInPar();
    const TLineRecord& line = p.Line(lineInPar);
    const int32_t length = line.Stop - line.Start;
    if (lineInPar < p.LineCount() - 1 && length > 0)
        column = std::min(column, length - 1);
    navigator.SetColumnInLine(std::max(column, 0));
}

// ---------------------------------------------------------------------------
// Moving the working navigator

void TCodeMemo::stepBack(TCodeNavigator& nav) {
    bool moved = false;
    if (nav.ParOffset() > 0) {
        nav.SetPos(nav.Pos() - 1);
        moved = true;
        if (PassOverCodes && staticFormat_) {
            while (nav.ParOffset() > 0 && IsStyleCode(nav.CharAt()))
                nav.SetPos(nav.Pos() - 1);
            // Stopping on a code at the paragraph's start is no stop at all.
            if (nav.ParOffset() == 0 && nav.Paragraph()->Length() > 0 && IsStyleCode(nav.CharAt()))
                moved = false;
        }
    }
    if (moved || blockMode_ || nav.Pos() <= 0)
        return;
    const int32_t start = paragraphs_.Start(nav.ParNumber());
    if (start < 2)
        return;
    nav.SetPos(start - 2);
    if (options_.Contains(pmoDiscardTrailingSpaces)) {
        const auto offset = static_cast<int32_t>(WithoutTrailingBlanks(nav.Paragraph()->Text).size());
        nav.SetPos(paragraphs_.Start(nav.ParNumber()) + offset);
    }
}

void TCodeMemo::stepForward(TCodeNavigator& nav) {
    const TParagraph& p = *nav.Paragraph();
    const bool atEnd = nav.ParOffset() >= p.Length();
    if (atEnd && ((options_.Contains(pmoKeepColumnPos) && !options_.Contains(pmoWrapCaret)) || blockMode_)) {
        ++virtualColumns_;
        return;
    }
    if (nav.Pos() >= textLength_)
        return;
    virtualColumns_ = 0;
    if (staticFormat_ && PassOverCodes)
        while (nav.ParOffset() < p.Length() && IsStyleCode(nav.CharAt()))
            nav.SetPos(nav.Pos() + 1);
    if (options_.Contains(pmoDiscardTrailingSpaces) && !blockMode_) {
        const int32_t from = nav.Pos();
        while (nav.ParOffset() < p.Length() && IsBlank(nav.CharAt()))
            nav.SetPos(nav.Pos() + 1);
        if (nav.ParOffset() < p.Length())
            nav.SetPos(from);
    }
    if (nav.ParOffset() >= p.Length()) {
        if (nav.ParNumber() + 1 < paragraphs_.Count())
            nav.SetPos(paragraphs_.Start(nav.ParNumber() + 1));
    } else {
        nav.SetPos(nav.Pos() + 1);
    }
}

bool TCodeMemo::isWordBoundary(char c) const {
    return IsSeparator(static_cast<unsigned char>(c)) || c == '\r' || c == '\n';
}

void TCodeMemo::toWordStart(TCodeNavigator& nav) {
    while (nav.Pos() > 0) {
        nav.SetPos(nav.Pos() - 1);
        if (isWordBoundary(nav.CharAt())) {
            nav.SetPos(nav.Pos() + 1);
            break;
        }
    }
}

void TCodeMemo::toWordEnd(TCodeNavigator& nav) {
    while (nav.Pos() < textLength_ && !isWordBoundary(nav.CharAt()))
        nav.SetPos(nav.Pos() + 1);
}

void TCodeMemo::overSeparatorsInLine(TCodeNavigator& nav) {
    while (nav.Pos() < textLength_ && nav.CharAt() != '\r' && nav.CharAt() != '\n' &&
           IsSeparator(static_cast<unsigned char>(nav.CharAt())))
        nav.SetPos(nav.Pos() + 1);
}

void TCodeMemo::wordLeft(TCodeNavigator& nav) {
    virtualColumns_ = 0;
    if (nav.Pos() <= 0)
        return;
    nav.SetPos(nav.Pos() - 1);
    while (nav.Pos() > 0 && IsSeparator(static_cast<unsigned char>(nav.CharAt())))
        nav.SetPos(nav.Pos() - 1);
    if (nav.CharAt() == '\n') {
        nav.SetPos(nav.Pos() - 1);
        return;
    }
    toWordStart(nav);
}

void TCodeMemo::wordRight(TCodeNavigator& nav) {
    virtualColumns_ = 0;
    if (nav.Pos() >= textLength_)
        return;
    if (nav.CharAt() == '\r') {
        nav.SetPos(std::min(nav.Pos() + 2, textLength_));
        return;
    }
    toWordEnd(nav);
    overSeparatorsInLine(nav);
}

void TCodeMemo::moveVertically(TCodeNavigator& nav, int32_t line, TShiftState shift) {
    nav.SetLineNumber(line);
    formatUpTo(nav.ParNumber());
    nav.SetLineNumber(line);
    virtualColumns_ = 0;
    if (!(shift & ssShift)) {
        selLength_ = 0;
        blockMode_ = false;
    }
    const bool keep = options_.Contains(pmoKeepColumnPos);
    const bool extra = options_.Contains(pmoPutExtraSpaces);
    if (rememberedColumn_ == INT32_MIN || (!wordWrap_ && extra && !keep))
        rememberedColumn_ = caretX_;
    const int32_t column = XToOffset(nav.Paragraph(), nav.ParNumber(), keep, rememberedColumn_, nav.LineInPar());
    placeInLine(nav, column);
    if ((blockMode_ || keep) && !((shift & ssShift) && !blockMode_)) {
        const bool atEnd = nav.ParOffset() >= nav.Paragraph()->Length();
        if (atEnd || nav.CharAt() == '\t') {
            const int32_t x = NavigatorX(nav);
            virtualColumns_ = blankColumns(x, rememberedColumn_);
        }
    }
}

// ---------------------------------------------------------------------------
// The selection after a move

void TCodeMemo::extendSelectionTo(int32_t offset) {
    const int32_t caret = SelStart();
    int64_t length = int64_t{selLength_} + caret - offset;
    length = std::clamp<int64_t>(length, -textLength_, textLength_);
    selLength_ = static_cast<int32_t>(length);
    if (selLength_ >= 0) {
        selStart_->SetPos(offset);
        selEnd_->SetPos(offset + selLength_);
        caretAtEnd_ = false;
    } else {
        selStart_->SetPos(offset + selLength_);
        selEnd_->SetPos(offset);
        caretAtEnd_ = true;
    }
}

void TCodeMemo::collapseSelectionTo(const TCodeNavigator& navigator) {
    selLength_ = 0;
    selStart_->Assign(navigator);
    selEnd_->Assign(navigator);
    caretAtEnd_ = false;
}

void TCodeMemo::selectionMoved() {
    SelectionChanged();
    // The first update placed the caret; a column block's far column
    // follows it.
    if (blockMode_) {
        blockColumn2_ = caretColumn();
        SelectionChanged();
    }
}

void TCodeMemo::selectionUpdate(TCodeNavigator& nav, TShiftState shift) {
    if (shift & ssShift)
        extendSelectionTo(nav.Pos());
    else
        collapseSelectionTo(nav);
    breakGrouping_ = true;
    selectionMoved();
    ScrollInView();
    Update();
}

// ---------------------------------------------------------------------------
// Key down

bool TCodeMemo::keyDownDisplayOnly(uint16_t key, TShiftState shift) {
    const int32_t top = TopLine();
    const int32_t lastTop = std::max(lineCount_ - visibleLines_ + 1, 0);
    const int32_t rangeEnd = std::max(widestWidth_ - ClientWidth() + rightMargin_, 0);
    switch (key) {
    case VK_PRIOR:
        SetTopLine((shift & ssCtrl) ? 0 : std::max(top - visibleLines_ + 1, 0));
        break;
    case VK_NEXT:
        SetTopLine((shift & ssCtrl) ? lastTop : std::min(top + visibleLines_ - 1, lastTop));
        break;
    case VK_END:
        SetLeftPixel(rangeEnd);
        break;
    case VK_HOME:
        SetLeftPixel(0);
        break;
    case VK_LEFT:
        SetLeftPixel(std::max(leftPixel_ - hUnit_, 0));
        break;
    case VK_UP:
        SetTopLine(std::max(top - 1, 0));
        break;
    case VK_RIGHT:
        SetLeftPixel(std::min(leftPixel_ + hUnit_, rangeEnd));
        break;
    case VK_DOWN:
        SetTopLine(std::min(top + 1, lastTop));
        break;
    default:
        return false;
    }
    Update();
    return true;
}

bool TCodeMemo::hotKey(uint16_t key, TShiftState shift) {
    switch (key) {
    case 'B':
        ToggleStyle(kCodeBold);
        return true;
    case 'I':
        ToggleStyle(kCodeItalic);
        return true;
    case 'U':
        ToggleStyle(kCodeUnderline);
        return true;
    case 'H':
        ToggleStyle(kCodeHighlight);
        return true;
    case 'F':
        ToggleStyle(kCodeAltFont);
        return true;
    case 'T':
        SetSelText("\t");
        return true;
    case 'P':
        SetSelText(std::string("\r\n\x10\r\n"));
        return true;
    case 'Z':
        if (shift & ssShift)
            Redo();
        else
            Undo();
        return true;
    default:
        return false;
    }
}

void TCodeMemo::KeyDown(uint16_t& key, TShiftState shift) {
    TCustomControl::KeyDown(key, shift);
    if (key == 0 || updateCount_ > 0)
        return;
    if (dragging_) {
        if (key == VK_CONTROL && pointerOverDrop())
            showDragCursor(true);
        return;
    }
    if (DisplayOnly) {
        if (keyDownDisplayOnly(key, shift))
            key = 0;
        return;
    }
    if ((shift & ssCtrl) && !(shift & ssAlt)) {
        // Style and caret reports after a hot key are relative to now.
        TCodeNavigator& caret = CaretNavigator();
        lastCaretStyle_ = caret.StyleAt();
        lastCaretOffset_ = caret.Pos();
        caretStyleKnown_ = true;
        if (!ReadOnly && EnableHotKeys && hotKey(key, shift)) {
            key = 0;
            return;
        }
    }
    if (key >= 0x30)
        return;

    const uint16_t original = key;
    key = 0;
    TCodeNavigator& caret = CaretNavigator();
    formatUpTo(caret.ParNumber());
    const int32_t oldCaret = caret.Pos();
    TCodeNavigator& nav = *keyNav_;
    nav.Assign(caret);
    const bool alt = (shift & ssAlt) != 0;
    const bool withShift = (shift & ssShift) != 0;
    const bool ctrl = (shift & ssCtrl) != 0;

    if ((shift & (ssShift | ssAlt | ssCtrl)) == (ssShift | ssAlt) && options_.Contains(pmoBlockSelection) &&
        !wordWrap_ && !blockMode_ && isArrow(original)) {
        const int32_t column = caretTextColumn();
        blockMode_ = true;
        blockColumn1_ = blockColumn2_ = column;
    }
    auto collapse = [&](bool endBlock) {
        if (!withShift) {
            selLength_ = 0;
            if (endBlock)
                blockMode_ = false;
        }
    };
    bool moved = false;
    switch (original) {
    case VK_TAB:
        if (alt) {
            key = original;
            return;
        }
        if (!ReadOnly)
            SetSelText("\t");
        return;
    case VK_HOME:
        if (alt)
            return;
        blockMode_ = false;
        virtualColumns_ = 0;
        collapse(true);
        if (ctrl)
            nav.SetPos(0);
        else
            nav.SetColumnInLine(0);
        rememberedColumn_ = INT32_MIN;
        moved = true;
        break;
    case VK_END:
        if (alt)
            return;
        blockMode_ = false;
        virtualColumns_ = 0;
        rememberedColumn_ = INT32_MIN;
        collapse(true);
        if (ctrl)
            nav.SetPos(textLength_);
        else
            placeInLine(nav, INT32_MAX / 2);
        moved = true;
        break;
    case VK_PRIOR: {
        if (alt)
            return;
        const int32_t paragraph = caret.ParNumber();
        FormatRange(std::max(paragraph - visibleLines_ + 1, 0), paragraph, false);
        moveVertically(nav, std::max(caret.LineNumber() - visibleLines_ + 1, 0), shift);
        moved = true;
        break;
    }
    case VK_NEXT: {
        if (alt)
            return;
        const int32_t paragraph = caret.ParNumber();
        FormatRange(paragraph, std::min(paragraph + visibleLines_ - 1, paragraphs_.Count() - 1), false);
        moveVertically(nav, std::min(caret.LineNumber() + visibleLines_ - 1, lineCount_ - 1), shift);
        moved = true;
        break;
    }
    case VK_UP: {
        if (alt && !blockMode_)
            return;
        const int32_t line = caret.LineNumber();
        if (line == 0) {
            uint16_t again = original;
            TCustomControl::KeyDown(again, shift);
            return;
        }
        if (caret.LineInPar() == 0)
            formatUpTo(caret.ParNumber() - 1);
        moveVertically(nav, caret.LineNumber() - 1, shift);
        moved = true;
        break;
    }
    case VK_DOWN: {
        if (alt && !blockMode_)
            return;
        const int32_t line = caret.LineNumber();
        if (line >= lineCount_ - 1)
            return;
        if (caret.LineInPar() == caret.Paragraph()->LineCount() - 1 && caret.ParNumber() + 1 < paragraphs_.Count())
            formatUpTo(caret.ParNumber() + 1);
        moveVertically(nav, caret.LineNumber() + 1, shift);
        moved = true;
        break;
    }
    case VK_LEFT:
        if (alt && !blockMode_)
            return;
        rememberedColumn_ = INT32_MIN;
        collapse(true);
        if (oldCaret == 0 && virtualColumns_ == 0) {
            uint16_t again = original;
            TCustomControl::KeyDown(again, shift);
            // The caret stays, but a selection collapses onto it like after
            // any other move: the selection's ends must follow SelLength.
            moved = true;
            break;
        }
        if (ctrl) {
            wordLeft(nav);
        } else if (virtualColumns_ > 0) {
            --virtualColumns_;
        } else {
            stepBack(nav);
        }
        moved = true;
        break;
    case VK_RIGHT:
        if (alt && !blockMode_)
            return;
        rememberedColumn_ = INT32_MIN;
        collapse(true);
        if (ctrl)
            wordRight(nav);
        else
            stepForward(nav);
        moved = true;
        break;
    case VK_DELETE:
        if (ReadOnly)
            return;
        deleteKey(shift);
        break;
    case VK_BACK:
        if (ReadOnly)
            return;
        backspaceKey(shift);
        break;
    case VK_INSERT:
        if (alt)
            return;
        if (withShift) {
            if (!ReadOnly)
                PasteFromClipboard();
        } else if (ctrl) {
            CopyToClipboard();
        } else if (options_.Contains(pmoInsertKeyActive)) {
            SetOverwrite(!Overwrite);
            if (OnStyleChange)
                OnStyleChange(this);
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
    breakGrouping_ = true;
    SelectionChanged();
    ScrollInView();
    Update();
}

// ---------------------------------------------------------------------------
// Deletion

void TCodeMemo::deleteKey(TShiftState shift) {
    int32_t rememberedX = INT32_MIN;
    {
        TRestoreOnExit<bool> suppress(paintSuppressed_, true);
        if (selLength_ == 0 && options_.Contains(pmoKeepColumnPos))
            rememberedX = caretX_;
        if ((shift & ssShift) && (selLength_ != 0 || blockMode_)) {
            paintSuppressed_ = false;
            CutToClipboard();
            return;
        }
        TCodeNavigator& caret = CaretNavigator();
        if (shift & ssShift) {
            // Shift+Delete without a selection deletes the character before the caret.
            SetSelLength(caret.ParOffset() == 0 ? -2 : -1);
        } else if (shift & ssCtrl) {
            if (selStart_->LineNumber() == selEnd_->LineNumber()) {
                TCodeNavigator& end = *keyNav_;
                end.Assign(*selEnd_);
                placeInLine(end, INT32_MAX / 2);
                // The last line of a paragraph ends at the paragraph's end.
                if (end.LineInPar() == end.Paragraph()->LineCount() - 1)
                    end.SetPos(paragraphs_.Start(end.ParNumber()) + end.Paragraph()->Length());
                const int32_t from = selStart_->Pos();
                SetSelStart(from);
                SetSelLength(end.Pos() - from);
            }
        } else if (selLength_ == 0 && !blockMode_) {
            TCodeNavigator& end = *keyNav_;
            end.Assign(caret);
            if (staticFormat_ && PassOverCodes)
                while (end.ParOffset() < end.Paragraph()->Length() && IsStyleCode(end.CharAt()))
                    end.SetPos(end.Pos() + 1);
            if (end.ParOffset() >= end.Paragraph()->Length())
                end.SetPos(end.Pos() + 2);
            else
                end.SetPos(end.Pos() + 1);
            SetSelLength(std::min(end.Pos(), textLength_) - caret.Pos());
        }
    }
    ClearSelection();
    if (options_.Contains(pmoKeepColumnPos) && rememberedX != INT32_MIN) {
        CaretUpdate();
        if (rememberedX > caretX_) {
            virtualColumns_ = blankColumns(caretX_, rememberedX);
            CaretUpdate();
        }
    }
}

void TCodeMemo::backspaceKey(TShiftState shift) {
    rememberedColumn_ = INT32_MIN;
    TCodeNavigator& caret = CaretNavigator();
    {
        TRestoreOnExit<bool> suppress(paintSuppressed_, true);
        if (selLength_ != 0 || blockMode_) {
            // The selection goes.
        } else if (shift & ssCtrl) {
            const TParagraph& p = *caret.Paragraph();
            const int32_t offset = std::min(caret.ParOffset(), p.Length());
            if (offset > 0) {
                int32_t q = offset - 1;
                while (q > 0 && IsSeparator(static_cast<unsigned char>(p.Text[static_cast<size_t>(q)])))
                    --q;
                while (q > 0 && !IsSeparator(static_cast<unsigned char>(p.Text[static_cast<size_t>(q - 1)])))
                    --q;
                SetSelLength(q - offset);
            }
        } else if (caret.ParOffset() == 0 && virtualColumns_ == 0) {
            SetSelLength(-2);
        } else {
            bool done = false;
            if (options_.Contains(pmoBackIndent)) {
                const int32_t column = SelCol();
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
                    SetSelLength(target - column);
                    done = true;
                }
            }
            if (!done) {
                if (virtualColumns_ > 0) {
                    --virtualColumns_;
                    CaretUpdate();
                    return;
                }
                SetSelLength(-1);
                if (staticFormat_ && PassOverCodes) {
                    // The codes before the character go with it.
                    while (selLength_ != 0 && selStart_->Pos() > 0 && IsStyleCode(selStart_->CharAt())) {
                        const int32_t before = selLength_;
                        SetSelLength(selLength_ - (selStart_->ParOffset() == 0 ? 2 : 1));
                        if (selLength_ == before)
                            break;
                    }
                }
            }
        }
    }
    if (selLength_ == 0 && !blockMode_)
        return;
    const int32_t before = selStart_->ColumnInLine();
    ClearSelection();
    if (options_.Contains(pmoKeepColumnPos)) {
        const int32_t after = CaretNavigator().ColumnInLine();
        virtualColumns_ = std::max(before - after, 0);
        CaretUpdate();
    }
}

// ---------------------------------------------------------------------------
// Key press and key up

void TCodeMemo::enterKey() {
    if (Overwrite && selLength_ == 0) {
        const int32_t line = SelLine();
        if (line < lineCount_ - 1) {
            SetSelLine(line + 1);
            ScrollInView();
        } else {
            SetSelStart(textLength_);
            SetSelText("\r\n");
        }
        return;
    }
    if (selLength_ != 0 || !options_.Contains(pmoAutoIndent)) {
        SetSelText("\r\n");
        return;
    }
    TCodeNavigator& caret = CaretNavigator();
    std::string model;
    for (int32_t line = caret.LineNumber(); line >= 0; --line) {
        model = DisplayLineText(line);
        if (!model.empty())
            break;
    }
    const int32_t indent = std::min(leadingBlankCount(model), SelCol());
    if (options_.Contains(pmoDiscardTrailingSpaces) && caret.ParOffset() >= caret.Paragraph()->Length()) {
        SetSelText("\r\n");
        int32_t columns = 0;
        for (int32_t i = 0; i < indent; ++i)
            columns += model[static_cast<size_t>(i)] == '\t' ? tabStops_ : 1;
        virtualColumns_ = columns;
        CaretUpdate();
        ScrollInView();
        return;
    }
    SetSelText("\r\n" + model.substr(0, static_cast<size_t>(std::max(indent, 0))));
}

void TCodeMemo::KeyPress(char& key) {
    TCustomControl::KeyPress(key);
    if (key == 0 || updateCount_ > 0 || dragging_)
        return;
    const auto c = static_cast<unsigned char>(key);
    if ((ReadOnly && c != 3) || DisplayOnly)
        return;
    if (c > 30 && c != 127) {
        TCodeNavigator& caret = CaretNavigator();
        const bool atParagraphEnd = caret.ParOffset() >= caret.Paragraph()->Length();
        if (c == ' ' && selLength_ == 0 && options_.Contains(pmoDiscardTrailingSpaces) &&
            options_.Contains(pmoKeepColumnPos) && atParagraphEnd) {
            ++virtualColumns_;
            CaretUpdate();
            ScrollInView();
        } else {
            if (Overwrite && selLength_ == 0 && !atParagraphEnd)
                SetSelLength(1);
            SetSelText(std::string(1, key));
        }
    } else {
        switch (c) {
        case 3:
            CopyToClipboard();
            break;
        case 5:
            Invalidate();
            Update();
            CheckConsistency();
            break;
        case 13:
            enterKey();
            break;
        case 22:
            PasteFromClipboard();
            break;
        case 24:
            CutToClipboard();
            break;
        default:
            break;
        }
    }
    // While a key repeats, the window keeps up with it.
    if (keyReleased_)
        keyReleased_ = false;
    else
        Update();
}

void TCodeMemo::KeyUp(uint16_t& key, TShiftState shift) {
    keyReleased_ = true;
    const uint16_t original = key;
    TCustomControl::KeyUp(key, shift);
    if (dragging_ && original == VK_CONTROL && pointerOverDrop())
        showDragCursor(false);
}
