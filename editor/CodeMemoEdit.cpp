// The editing primitive: every change of the text goes through
// SetSelTextBuf, which checks limits, records undo, replaces the text,
// moves the navigators and hands the changed range to highlighting and
// formatting.

#include "editor/CodeMemo.h"
#include "editor/EditPlan.h"
#include "editor/MemoGuards.h"
#include "editor/StyleCodes.h"

#include "platform/base/Exceptions.h"

#include <algorithm>
#include <cstdlib>

void SplitIntoPieces(std::string_view text, std::vector<std::string>& pieces) {
    pieces.assign(1, std::string());
    size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        // The characters up to the next CR or LF go in as one run.
        size_t run = i;
        while (run < n && text[run] != '\r' && text[run] != '\n')
            ++run;
        pieces.back().append(text.substr(i, run - i));
        i = run;
        if (i == n)
            break;
        char c = text[i];
        if (c == '\r') {
            // CR LF and a lone CR are one break each.
            if (i + 1 < n && text[i + 1] == '\n')
                ++i;
            pieces.emplace_back();
        } else if (c == '\n' && i + 1 < n && text[i + 1] == '\r' && !(i + 2 < n && text[i + 2] == '\n')) {
            // LF CR is a break too, unless that CR begins a CR LF: then the LF
            // is a character of its own (text copied out of the memo, where
            // breaks are CR LF, must read back the same).
            ++i;
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
}

void TCodeMemo::selectRange(int32_t from, int32_t to) {
    blockMode_ = false;
    selStart_->SetPos(from);
    selEnd_->SetPos(to);
    selLength_ = to - from;
    caretAtEnd_ = false;
}

void TCodeMemo::replaceSelectionGrouped(std::string_view text, bool withPrevious) {
    // The entry to group is the first this edit records, its own; the
    // style-code clean-up behind it may record more, grouped with it already.
    const int32_t first = undoPosition_;
    const bool recorded = !UndoRecordingOff;
    SetSelTextBuf(text);
    if (recorded && withPrevious)
        groupWithPrevious(first);
}

void TCodeMemo::groupWithPrevious(int32_t entry) {
    // Only an entry the edit really added: one merged into the entry before
    // it (typing on) has nothing to join.
    if (entry >= 1 && undoPosition_ > entry)
        undoList_[static_cast<size_t>(entry)].Grouped = true;
}

void TCodeMemo::SetSelTextBuf(std::string_view buffer) {
    std::string text(buffer);
    if (OnBeforeChange && !replaying_)
        OnBeforeChange(this, text);
    if (selLength_ == 0 && text.empty())
        return;
    TUndoAction action(*this);
    // The edit's own update level: nested edits (block deletion, code
    // clean-up, handlers that edit) do not update the display before it ends.
    TCountGuard update(updateCount_);
    auto finish = [&]() {
        if (update.Release()) {
            UpdateAfterEdit();
            ScrollInView();
        }
    };
    bool blockDeleted = false;
    if (blockMode_) {
        // The text that replaces the block undoes with its deletion, but
        // never with an unrelated edit before it when nothing was deleted.
        blockDeleted = deleteBlock();
        if (text.empty())
            return finish();
    }

    // ---- Plan the edit; nothing changes until every limit has been checked.
    TEditPlan plan;
    plan.from = std::clamp(std::min(selStart_->Pos(), selEnd_->Pos()), 0, textLength_);
    plan.to = std::clamp(std::max(selStart_->Pos(), selEnd_->Pos()), 0, textLength_);
    const bool collapsed = plan.from == plan.to;
    // Offsets inside a CR LF pair never reach the store: the start snaps back
    // to its paragraph's end, the end forward to the next paragraph's start.
    plan.S = paragraphs_.IndexOfOffset(plan.from);
    plan.s = plan.from - paragraphs_.Start(plan.S);
    if (plan.s > paragraphs_[plan.S].Length()) {
        plan.s = paragraphs_[plan.S].Length();
        plan.from = paragraphs_.Start(plan.S) + plan.s;
    }
    // A caret inside a break (nothing selected) stands at the paragraph end.
    if (collapsed)
        plan.to = plan.from;
    plan.E = paragraphs_.IndexOfOffset(plan.to);
    plan.e = plan.to - paragraphs_.Start(plan.E);
    if (plan.e > paragraphs_[plan.E].Length()) {
        if (plan.E + 1 < paragraphs_.Count()) {
            ++plan.E;
            plan.e = 0;
        } else {
            plan.e = paragraphs_[plan.E].Length();
        }
        plan.to = paragraphs_.Start(plan.E) + plan.e;
    }
    bool replay = replaying_;
    SplitIntoPieces(text, plan.pieces);

    if (options_.Contains(pmoDiscardTrailingSpaces) && !replay) {
        const TParagraph& endPar = paragraphs_[plan.E];
        bool endsAtParagraphEnd = plan.e == endPar.Length();
        const std::string& first = plan.pieces.front();
        bool firstBlank = std::all_of(first.begin(), first.end(), IsBlank);
        if (firstBlank && (plan.pieces.size() > 1 || endsAtParagraphEnd)) {
            // Pressing Enter after trailing blanks removes them.
            const TParagraph& startPar = paragraphs_[plan.S];
            while (plan.s > 0 && IsBlank(startPar.Text[static_cast<size_t>(plan.s - 1)])) {
                --plan.s;
                --plan.from;
            }
        }
        for (size_t i = 0; i < plan.pieces.size(); ++i)
            if (i + 1 < plan.pieces.size() || endsAtParagraphEnd)
                plan.pieces[i].resize(WithoutTrailingBlanks(plan.pieces[i]).size());
    }
    if (plan.from == plan.to && plan.pieces.size() == 1 && plan.pieces.front().empty())
        return finish();

    if (staticFormat_ && !internalEdit_ && !replay) {
        // The style after the inserted text stays what it was before it.
        plan.pieces.back() += ClosingCodes(FoldStyleCodes(0, text));
    }

    int64_t inserted = 2 * static_cast<int64_t>(plan.pieces.size() - 1);
    for (const std::string& piece : plan.pieces)
        inserted += static_cast<int64_t>(piece.size());
    int64_t newTextLength = static_cast<int64_t>(textLength_) - (plan.to - plan.from) + inserted;
    int64_t firstLength = plan.s + static_cast<int64_t>(plan.pieces.front().size());
    int64_t tailLength = paragraphs_[plan.E].Length() - plan.e;
    bool tooLong = newTextLength > maxTextLength_;
    if (plan.pieces.size() == 1) {
        tooLong = tooLong || firstLength + tailLength > maxTextLength_;
    } else {
        tooLong = tooLong || firstLength > maxTextLength_ ||
                  static_cast<int64_t>(plan.pieces.back().size()) + tailLength > maxTextLength_;
        for (const std::string& piece : plan.pieces)
            tooLong = tooLong || static_cast<int64_t>(piece.size()) > maxTextLength_;
    }
    if (tooLong)
        throw Exception("Text too long");
    plan.inserted = static_cast<int32_t>(inserted);
    bool record = !UndoRecordingOff;
    if (record)
        plan.removed = GetTextRange(plan.from, plan.to);

    // ---- From here on the edit happens.
    virtualColumns_ = 0;
    rememberedColumn_ = INT32_MIN;
    Modified = true;
    if (record) {
        const int32_t entry = undoPosition_;
        recordUndo(plan);
        // The text that replaces a block undoes with the block's deletion.
        if (blockDeleted)
            groupWithPrevious(entry);
    }

    TSurgeryResult result = replaceRange(plan);
    moveNavigators(plan, result);

    int32_t parseFrom = plan.from;
    int32_t parseTo = plan.from + plan.inserted;
    bool skipParse = false;
    fixContextsAtEditPoint(plan, result, parseFrom, parseTo, skipParse);

    int32_t lastNew = plan.S + static_cast<int32_t>(plan.pieces.size()) - 1;
    if (!skipParse) {
        if (OnParse)
            OnParse(this, parseFrom, parseTo);
        int32_t startIndex = std::min(plan.S, paragraphs_.Count() - 1);
        TParagraph& startPar = paragraphs_[startIndex];
        if (updateCount_ <= 1) {
            work1_->SetPos(parseFrom);
            work2_->SetPos(parseTo);
            if (startPar.Parsed) {
                if (work2_->ParNumber() != work1_->ParNumber())
                    work2_->SetPos(paragraphs_.Start(work1_->ParNumber()) + work1_->Paragraph()->Length());
                ApplyStartStopKeys(*work1_, *work2_);
            }
            if (startPar.KeywordsApplied) {
                ApplyKeywords(*work1_, *work2_);
                startPar.KeywordsApplied = 1;
            }
        } else {
            startPar.Formatted = 0;
            startPar.Parsed = 0;
            startPar.KeywordsApplied = 0;
        }
    }

    selLength_ = 0;
    blockMode_ = false;
    int32_t caret = plan.from + plan.inserted;
    if (staticFormat_ && !internalEdit_ && CodeCleanUp && !replay)
        cleanUpStyleCodes(plan.S, std::min(lastNew, paragraphs_.Count() - 1), caret);
    caret = std::clamp(caret, 0, textLength_);
    selStart_->SetPos(caret);
    selEnd_->Assign(*selStart_);
    selLength_ = 0;
    caretAtEnd_ = false;

    finish();
}

void TCodeMemo::recordUndo(const TEditPlan& plan) {
    if (!replaying_) {
        // A new edit makes the undone entries unreachable.
        eraseUndoEntries(static_cast<size_t>(undoPosition_), undoList_.size());
    }
    bool newEntry = plan.from != plan.to || undoPosition_ == 0 || replaying_ || breakGrouping_;
    if (!newEntry) {
        const TUndoEntry& last = undoList_[static_cast<size_t>(undoPosition_ - 1)];
        newEntry = !(last.Stop == plan.from && last.Start != plan.from);
    }
    breakGrouping_ = false;
    if (!newEntry) {
        // Consecutive typing becomes one entry.
        undoList_[static_cast<size_t>(undoPosition_ - 1)].Stop = plan.from + plan.inserted;
        return;
    }
    TUndoEntry entry;
    entry.Start = plan.from;
    entry.Stop = plan.from + plan.inserted;
    entry.Text = plan.removed;
    int64_t size = entry.Size();
    if (undoPosition_ < static_cast<int32_t>(undoList_.size())) {
        undoTotal_ -= undoList_[static_cast<size_t>(undoPosition_)].Size();
        undoList_[static_cast<size_t>(undoPosition_)] = std::move(entry);
    } else {
        undoList_.push_back(std::move(entry));
    }
    undoTotal_ += size;
    ++undoPosition_;
}

TCodeMemo::TSurgeryResult TCodeMemo::replaceRange(const TEditPlan& plan) {
    TSurgeryResult result;
    const int32_t S = plan.S;
    const int32_t E = plan.E;
    const int32_t s = plan.s;
    const int32_t e = plan.e;
    const auto k = static_cast<int32_t>(plan.pieces.size()) - 1;
    const int32_t delta = plan.inserted - (plan.to - plan.from);
    TParagraph& startPar = paragraphs_[S];
    TParagraph& endPar = paragraphs_[E];
    const int32_t ls = startPar.LineOfOffset(s);
    const int32_t le = endPar.LineOfOffset(e);
    result.A = startPar.ContextBefore(s);
    result.Z = endPar.ContextBefore(e);
    result.startLine = ls;
    result.paragraphDelta = k - (E - S);

    if (k == 0 && S == E) {
        const std::string& piece = plan.pieces.front();
        auto pieceLength = static_cast<int32_t>(piece.size());
        std::vector<TContextRecord>& contexts = startPar.Contexts;
        auto firstRemoved = contexts.begin() + startPar.ContextIndexAt(s);
        auto firstKept = contexts.begin() + startPar.ContextIndexAt(e);
        result.removedContexts = static_cast<int32_t>(firstKept - firstRemoved);
        auto kept = contexts.erase(firstRemoved, firstKept);
        for (; kept != contexts.end(); ++kept)
            kept->Offset += pieceLength - (e - s);
        startPar.Text.replace(static_cast<size_t>(s), static_cast<size_t>(e - s), piece);

        // Lines: the lines from the one holding s to the one holding e become
        // one line; the lines behind move with the text.  Formatting redoes
        // the merged line and stops where the old lines fit again.
        TLineRecord& merged = startPar.Line(ls);
        merged.Stop = startPar.Line(le).Stop + delta;
        if (le > ls)
            startPar.FurtherLines.erase(startPar.FurtherLines.begin() + ls, startPar.FurtherLines.begin() + le);
        for (int32_t line = ls + 1; line < startPar.LineCount(); ++line) {
            startPar.Line(line).Start += delta;
            startPar.Line(line).Stop += delta;
        }
        result.lineDelta = -(le - ls);
        startPar.Formatted = 0;
        startPar.FormatFromLine = std::min(startPar.FormatFromLine, ls);
        paragraphs_.ShiftFrom(S + 1, delta, result.lineDelta);
    } else {
        const std::string& lastPiece = plan.pieces.back();
        auto lastPieceLength = static_cast<int32_t>(lastPiece.size());
        // Without a break in the inserted text the start paragraph itself takes
        // the end paragraph's tail, behind its own head.
        const int32_t prefix = k == 0 ? s : 0;
        const int32_t shiftInLast = prefix + lastPieceLength - e;
        const int32_t mergedLineStart = k == 0 ? startPar.Line(ls).Start : 0;

        std::string lastText = lastPiece;
        lastText.append(endPar.Text, static_cast<size_t>(e), std::string::npos);

        // Records and lines behind e move to the last paragraph of the result.
        std::vector<TContextRecord> movedContexts;
        int32_t removed = 0;
        for (const TContextRecord& record : endPar.Contexts) {
            if (record.Offset >= e) {
                movedContexts.push_back(record);
                movedContexts.back().Offset += shiftInLast;
            } else if (S != E || record.Offset >= s) {
                ++removed;
            }
        }
        if (S != E) {
            for (const TContextRecord& record : startPar.Contexts)
                removed += record.Offset >= s ? 1 : 0;
            for (int32_t i = S + 1; i < E; ++i)
                removed += static_cast<int32_t>(paragraphs_[i].Contexts.size());
        }
        result.removedContexts = removed;

        std::vector<TLineRecord> movedLines;
        movedLines.reserve(static_cast<size_t>(endPar.LineCount() - le));
        for (int32_t line = le; line < endPar.LineCount(); ++line) {
            TLineRecord record = endPar.Line(line);
            record.Start = line == le ? mergedLineStart : record.Start + shiftInLast;
            record.Stop += shiftInLast;
            movedLines.push_back(record);
        }

        int32_t oldLines = 0;
        for (int32_t i = S; i <= E; ++i)
            oldLines += paragraphs_[i].LineCount();

        // The style in force at the edit start, carried through the pieces.
        uint8_t style = 0;
        if (staticFormat_)
            style = FoldStyleCodes(startPar.StyleAt(ls, s), plan.pieces.front());

        // The start paragraph keeps its head and takes the first piece.
        startPar.Contexts.erase(startPar.Contexts.begin() + startPar.ContextIndexAt(s), startPar.Contexts.end());
        startPar.Text.resize(static_cast<size_t>(s));
        startPar.Formatted = 0;
        startPar.FormatFromLine = std::min(startPar.FormatFromLine, ls);
        if (k == 0) {
            startPar.Text += lastText;
            uint8_t lineStyle = startPar.Line(ls).Style;
            startPar.SetLineCount(ls + 1);
            startPar.Line(ls) = movedLines.front();
            startPar.Line(ls).Style = lineStyle;
            startPar.FurtherLines.insert(startPar.FurtherLines.end(), movedLines.begin() + 1, movedLines.end());
            startPar.Contexts.insert(startPar.Contexts.end(), movedContexts.begin(), movedContexts.end());
        } else {
            startPar.Text += plan.pieces.front();
            startPar.SetLineCount(ls + 1);
            startPar.Line(ls).Stop = startPar.Length();
        }

        TBaseContext base = CopyBaseContext(result.A);
        std::vector<std::unique_ptr<TParagraph>> fresh;
        fresh.reserve(static_cast<size_t>(k));
        for (int32_t i = 1; i <= k; ++i) {
            auto paragraph = std::make_unique<TParagraph>();
            paragraph->Formatted = 0;
            paragraph->Parsed = 0;
            paragraph->KeywordsApplied = 0;
            paragraph->FormatFromLine = 0;
            paragraph->BaseContext = base;
            if (i < k) {
                paragraph->Text = plan.pieces[static_cast<size_t>(i)];
                paragraph->ResetToOneLine();
                paragraph->FirstLine.Style = style;
                style = FoldStyleCodes(style, paragraph->Text);
            } else {
                paragraph->Text = std::move(lastText);
                paragraph->FirstLine = movedLines.front();
                paragraph->FirstLine.Style = style;
                paragraph->FurtherLines.assign(movedLines.begin() + 1, movedLines.end());
                paragraph->Contexts = std::move(movedContexts);
            }
            fresh.push_back(std::move(paragraph));
        }

        int32_t startOfS = paragraphs_.Start(S);
        int32_t firstLineOfS = paragraphs_.FirstLine(S);
        paragraphs_.Erase(S + 1, E - S);
        paragraphs_.Insert(S + 1, fresh);
        int32_t offset = startOfS;
        int32_t line = firstLineOfS;
        int32_t newLines = 0;
        for (int32_t i = S; i <= S + k; ++i) {
            paragraphs_.SetStart(i, offset);
            paragraphs_.SetFirstLine(i, line);
            offset += paragraphs_[i].Length() + 2;
            line += paragraphs_[i].LineCount();
            newLines += paragraphs_[i].LineCount();
        }
        result.lineDelta = newLines - oldLines;
        paragraphs_.ShiftFrom(S + k + 1, delta, result.lineDelta);
    }

    textLength_ += delta;
    lineCount_ += result.lineDelta;

    // Changed range, in the numbering after the edit.
    firstChangedPar_ = std::min(firstChangedPar_, S);
    if (lastChangedPar_ > E)
        lastChangedPar_ += result.paragraphDelta;
    else if (lastChangedPar_ > S)
        lastChangedPar_ = S + k;
    lastChangedPar_ = std::max(lastChangedPar_, S + k);
    firstChangedLine_ = std::min(firstChangedLine_, paragraphs_.FirstLine(S) + ls);
    validHighlight_ = std::min(validHighlight_, S - 1);
    // Pending background formatting keeps covering the same paragraphs.
    if (formatLast_ >= formatNext_) {
        if (formatNext_ > E)
            formatNext_ += result.paragraphDelta;
        else if (formatNext_ > S)
            formatNext_ = S;
        if (formatLast_ > E)
            formatLast_ += result.paragraphDelta;
        else if (formatLast_ >= S)
            formatLast_ = S + k;
    }

    // The cached upper-case copy follows its paragraph or goes.
    if (upperIndex_ >= S && upperIndex_ <= E) {
        upperIndex_ = -1;
        upperBuffer_.clear();
    } else if (upperIndex_ > E) {
        upperIndex_ += result.paragraphDelta;
    }
    if (widestParagraph_ >= S && widestParagraph_ <= E)
        widestParagraph_ = -1;
    else if (widestParagraph_ > E)
        widestParagraph_ += result.paragraphDelta;
    return result;
}

void TCodeMemo::moveNavigators(const TEditPlan& plan, const TSurgeryResult& result) {
    const int32_t delta = plan.inserted - (plan.to - plan.from);
    const int32_t lastNew = plan.S + static_cast<int32_t>(plan.pieces.size()) - 1;
    for (TCodeNavigator* navigator : navigators_) {
        int32_t offset = navigator->offset_;
        if (offset < plan.from) {
            // Lines and contexts before the edit start keep their numbers;
            // only the paragraph record of the start paragraph changed.
            if (navigator->parIndex_ == plan.S && navigator->lineInPar_ != TCodeNavigator::kUnknown &&
                navigator->lineInPar_ > result.startLine)
                navigator->lineInPar_ = TCodeNavigator::kUnknown;
            continue;
        }
        if (offset == plan.from || offset < plan.to) {
            navigator->Invalidate();
            navigator->offset_ = navigator->EndOfInsertion ? plan.from + plan.inserted : plan.from;
            continue;
        }
        // Behind the edit: the offset moves by the length difference.
        int32_t oldPar = navigator->parIndex_;
        navigator->offset_ = offset + delta;
        if (oldPar > plan.E) {
            navigator->parIndex_ = oldPar + result.paragraphDelta;
            navigator->lines_.SetParagraph(&paragraphs_[navigator->parIndex_]);
        } else if (oldPar == plan.E) {
            const int32_t start = paragraphs_.Start(lastNew);
            navigator->place(lastNew, paragraphs_[lastNew], start, navigator->offset_ - start);
        } else {
            navigator->Invalidate();
        }
    }
}

void TCodeMemo::fixContextsAtEditPoint(const TEditPlan& plan, const TSurgeryResult& result, int32_t& parseFrom,
                                       int32_t& parseTo, bool& skipParse) {
    const TContextRecord& A = result.A;
    const TContextRecord& Z = result.Z;
    const bool aStyled = (A.Flags & TContextRecord::kStyled) != 0;
    const bool aPlainStyled = aStyled && (A.Flags & TContextRecord::kKeyStack) == 0;
    const int32_t lastNew = plan.S + static_cast<int32_t>(plan.pieces.size()) - 1;

    auto widen = [&]() {
        TParagraph& startPar = paragraphs_[plan.S];
        int32_t start = paragraphs_.Start(plan.S);
        int32_t index = startPar.ContextIndexAt(plan.s);
        if (A.Depth < 0) {
            // A styled context without key stack: re-parse from the record
            // before the edit to the record after it.
            parseFrom = index > 0 ? start + startPar.Contexts[static_cast<size_t>(index - 1)].Offset : start;
            TParagraph& lastPar = paragraphs_[lastNew];
            int32_t lastStart = paragraphs_.Start(lastNew);
            int32_t endIndex = lastPar.ContextIndexAt(parseTo - lastStart);
            parseTo = endIndex < static_cast<int32_t>(lastPar.Contexts.size())
                          ? lastStart + lastPar.Contexts[static_cast<size_t>(endIndex)].Offset
                          : textLength_;
            return;
        }
        // Inside a start/stop context: a key that the edit may have cut
        // begins at most a key length before the edit.
        int32_t from = plan.s;
        while (index > 0) {
            const TContextRecord& record = startPar.Contexts[static_cast<size_t>(index - 1)];
            if (!record.HasKeyStack() || record.Offset + std::max<int32_t>(record.StartKeyLength, 1) < from)
                break;
            from = record.Offset;
            --index;
        }
        parseFrom = start + from;
        firstChangedLine_ = std::min(firstChangedLine_, paragraphs_.FirstLine(plan.S) + startPar.LineOfOffset(from));
    };

    if (result.removedContexts > 0) {
        if (aPlainStyled) {
            TParagraph& startPar = paragraphs_[plan.S];
            TContextRecord copy = A;
            copy.Offset = plan.s;
            startPar.Contexts.insert(startPar.Contexts.begin() + startPar.ContextIndexAt(plan.s), copy);
        } else if (A.HasKeyStack()) {
            widen();
        }
        if ((Z.Flags & TContextRecord::kStyled) != 0) {
            int32_t lastStart = paragraphs_.Start(lastNew);
            TParagraph& lastPar = paragraphs_[lastNew];
            int32_t endOffset = parseTo - lastStart;
            if ((Z.Flags & TContextRecord::kKeyStack) != 0) {
                int32_t index = lastPar.ContextIndexAt(endOffset);
                if (index < static_cast<int32_t>(lastPar.Contexts.size()) &&
                    lastPar.Contexts[static_cast<size_t>(index)].Offset <= endOffset + Z.StopKeyLength)
                    parseTo = std::max(parseTo, lastStart + lastPar.Contexts[static_cast<size_t>(index)].Offset);
            } else {
                TContextRecord copy = Z;
                copy.Offset = endOffset;
                lastPar.Contexts.insert(lastPar.Contexts.begin() + lastPar.ContextIndexAt(endOffset), copy);
            }
        }
    } else if (aPlainStyled) {
        skipParse = true;
    } else if (A.HasKeyStack()) {
        widen();
    }
    parseFrom = std::clamp(parseFrom, 0, textLength_);
    parseTo = std::clamp(parseTo, parseFrom, textLength_);
}

void TCodeMemo::cleanUpStyleCodes(int32_t firstParagraph, int32_t lastParagraph, int32_t& caret) {
    TRestoreOnExit<bool> internal(internalEdit_, true);
    for (int32_t index = firstParagraph; index <= lastParagraph && index < paragraphs_.Count(); ++index) {
        int32_t i = 0;
        for (;;) {
            // From one style code to the next: the paragraph is looked up
            // again only after an edit.
            const std::string& text = paragraphs_[index].Text;
            const auto from = text.begin() + std::min<std::ptrdiff_t>(i, std::ssize(text));
            i = static_cast<int32_t>(std::find_if(from, text.end(), IsStyleCode) - text.begin());
            if (i >= std::ssize(text))
                break;
            const int32_t j = PairedCodeIndex(text, i);
            if (j < 0) {
                ++i;
                continue;
            }
            int32_t start = paragraphs_.Start(index);
            // The later code first, so that the earlier offset stays put.
            for (int32_t at : {j, i}) {
                int32_t absolute = start + at;
                selectRange(absolute, absolute + 1);
                // The removal undoes together with the edit that caused it.
                replaceSelectionGrouped({}, true);
                if (absolute < caret)
                    --caret;
            }
        }
    }
}

bool TCodeMemo::deleteBlock() {
    blockMode_ = false;
    bool recorded = false;
    int32_t first = selStart_->ParNumber();
    int32_t last = selEnd_->ParNumber();
    bool firstDeletion = true;
    for (int32_t index = first; index <= last; ++index) {
        const auto [a, b] =
            ColumnSpan(paragraphs_[index].Text, blockColumn1_, blockColumn2_, tabStops_, staticFormat_);
        if (b == a)
            continue;
        int32_t start = paragraphs_.Start(index);
        selectRange(start + a, start + b);
        // The whole block goes, and comes back, in one undo step.
        recorded = recorded || !UndoRecordingOff;
        replaceSelectionGrouped({}, !firstDeletion);
        firstDeletion = false;
    }
    return recorded;
}

void TCodeMemo::ToggleStyle(char code) {
    if (!staticFormat_ || std::abs(static_cast<int64_t>(selLength_)) >= 2147483545)
        return;
    int32_t length = selLength_ < 0 ? -selLength_ : selLength_;
    bool backward = selLength_ < 0;
    int32_t from = std::min(selStart_->Pos(), selEnd_->Pos());
    std::string text(1, code);
    text += SelText();
    text += code;
    {
        TRestoreOnExit<bool> internal(internalEdit_, true);
        SetSelTextBuf(text);
    }
    // The same characters are selected again, now between the two codes.
    if (length == 0) {
        SetSelStart(from + 1);
    } else if (backward) {
        SetSelStart(from + 1 + length);
        SetSelLength(-length);
    } else {
        SetSelStart(from + 1);
        SetSelLength(length);
    }
}
