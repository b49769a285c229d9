// The editing primitive: every change of the text goes through
// ReplaceRange, which checks limits, records undo, replaces the text, moves
// the navigators and hands the changed range to highlighting and
// formatting.

#include "editor/model/CodeDocument.h"
#include "editor/model/CodeNavigator.h"
#include "editor/model/EditPlan.h"
#include "editor/model/ScopeGuards.h"
#include "editor/model/StyleCodes.h"

#include "platform/base/Exceptions.h"

#include <algorithm>

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

void TCodeDocument::BeforeChange(std::string& text) {
    if (OnBeforeChange && !undo_.Replaying())
        OnBeforeChange(text);
}

void TCodeDocument::Replace(int32_t from, int32_t to, std::string_view text) {
    std::string buffer(text);
    BeforeChange(buffer);
    if (from == to && buffer.empty())
        return;
    TUndoHistory::TAction action(undo_);
    TDocumentUpdate update(*this);
    ReplaceRange(from, to, buffer, false);
    update.Finish();
}

bool TCodeDocument::planEdit(TEditPlan& plan, std::string_view text) const {
    const bool collapsed = plan.From == plan.To;
    // Offsets inside a CR LF pair never reach the store: the start snaps back
    // to its paragraph's end, the end forward to the next paragraph's start.
    plan.StartParagraph = paragraphs_.IndexOfOffset(plan.From);
    plan.StartOffset = plan.From - paragraphs_.Start(plan.StartParagraph);
    if (plan.StartOffset > paragraphs_[plan.StartParagraph].Length()) {
        plan.StartOffset = paragraphs_[plan.StartParagraph].Length();
        plan.From = paragraphs_.Start(plan.StartParagraph) + plan.StartOffset;
    }
    // A caret inside a break (nothing selected) stands at the paragraph end.
    if (collapsed)
        plan.To = plan.From;
    plan.EndParagraph = paragraphs_.IndexOfOffset(plan.To);
    plan.EndOffset = plan.To - paragraphs_.Start(plan.EndParagraph);
    if (plan.EndOffset > paragraphs_[plan.EndParagraph].Length()) {
        if (plan.EndParagraph + 1 < paragraphs_.Count()) {
            ++plan.EndParagraph;
            plan.EndOffset = 0;
        } else {
            plan.EndOffset = paragraphs_[plan.EndParagraph].Length();
        }
        plan.To = paragraphs_.Start(plan.EndParagraph) + plan.EndOffset;
    }
    const bool replay = undo_.Replaying();
    SplitIntoPieces(text, plan.Pieces);

    if (options_.Contains(pmoDiscardTrailingSpaces) && !replay) {
        const TParagraph& endPar = paragraphs_[plan.EndParagraph];
        const bool endsAtParagraphEnd = plan.EndOffset == endPar.Length();
        const std::string& first = plan.Pieces.front();
        const bool firstBlank = std::all_of(first.begin(), first.end(), IsBlank);
        if (firstBlank && (plan.Pieces.size() > 1 || endsAtParagraphEnd)) {
            // Pressing Enter after trailing blanks removes them.
            const TParagraph& startPar = paragraphs_[plan.StartParagraph];
            while (plan.StartOffset > 0 && IsBlank(startPar.Text[static_cast<size_t>(plan.StartOffset - 1)])) {
                --plan.StartOffset;
                --plan.From;
            }
        }
        for (size_t i = 0; i < plan.Pieces.size(); ++i)
            if (i + 1 < plan.Pieces.size() || endsAtParagraphEnd)
                plan.Pieces[i].resize(WithoutTrailingBlanks(plan.Pieces[i]).size());
    }
    if (plan.From == plan.To && plan.Pieces.size() == 1 && plan.Pieces.front().empty())
        return false;

    if (staticFormat_ && !internalEdit_ && !replay) {
        // The style after the inserted text stays what it was before it.
        plan.Pieces.back() += ClosingCodes(FoldStyleCodes(0, text));
    }

    int64_t inserted = 2 * static_cast<int64_t>(plan.Pieces.size() - 1);
    for (const std::string& piece : plan.Pieces)
        inserted += static_cast<int64_t>(piece.size());
    const int64_t newTextLength = static_cast<int64_t>(textLength_) - (plan.To - plan.From) + inserted;
    const int64_t firstLength = plan.StartOffset + static_cast<int64_t>(plan.Pieces.front().size());
    const int64_t tailLength = paragraphs_[plan.EndParagraph].Length() - plan.EndOffset;
    bool tooLong = newTextLength > maxTextLength_;
    if (plan.Pieces.size() == 1) {
        tooLong = tooLong || firstLength + tailLength > maxTextLength_;
    } else {
        tooLong = tooLong || firstLength > maxTextLength_ ||
                  static_cast<int64_t>(plan.Pieces.back().size()) + tailLength > maxTextLength_;
        for (const std::string& piece : plan.Pieces)
            tooLong = tooLong || static_cast<int64_t>(piece.size()) > maxTextLength_;
    }
    if (tooLong)
        throw Exception("Text too long");
    plan.Inserted = static_cast<int32_t>(inserted);
    return true;
}

std::optional<int32_t> TCodeDocument::ReplaceRange(int32_t from, int32_t to, std::string_view text,
                                                   bool groupWithPrevious) {
    // ---- Plan the edit; nothing changes until every limit has been checked.
    TEditPlan plan;
    plan.From = std::clamp(std::min(from, to), 0, textLength_);
    plan.To = std::clamp(std::max(from, to), 0, textLength_);
    if (!planEdit(plan, text))
        return std::nullopt;
    const bool replay = undo_.Replaying();
    const bool record = !fields_->UndoRecordingOff;
    std::string keptBreaks;
    if (record) {
        plan.Removed = GetTextRange(plan.From, plan.To);
        if (breakSpeller_ != nullptr)
            keptBreaks = breakSpeller_->KeepBreaks(plan.StartParagraph, plan.EndParagraph);
    }

    // ---- From here on the edit happens.
    fields_->Modified = true;
    if (record) {
        const int32_t entry = undo_.Position();
        undo_.Record(plan.From, plan.To, plan.Inserted, std::move(plan.Removed), std::move(keptBreaks));
        if (groupWithPrevious)
            undo_.GroupWithPrevious(entry);
    }

    // Whether the paragraphs around the edit were clean of code pairs: only
    // then may the clean-up after it look around the edit alone.
    const bool headCleaned = paragraphs_[plan.StartParagraph].CodePairsCleaned != 0;
    const bool tailCleaned = paragraphs_[plan.EndParagraph].CodePairsCleaned != 0;
    const TSurgery surgery = replaceParagraphs(plan);
    moveNavigators(plan, surgery);
    TTextChange change;
    change.From = plan.From;
    change.Removed = plan.To - plan.From;
    change.Inserted = plan.Inserted;
    change.FirstParagraph = plan.StartParagraph;
    change.LastParagraph = plan.EndParagraph;
    change.ParagraphDelta = surgery.ParagraphDelta;
    change.LineDelta = surgery.LineDelta;
    if (replay)
        change.KeptBreaks = undo_.ReplayedBreaks();
    notify([&](TDocumentWatcher& watcher) { watcher.TextChanged(*this, change); });

    int32_t parseFrom = plan.From;
    int32_t parseTo = plan.From + plan.Inserted;
    bool skipParse = false;
    fixContextsAtEditPoint(plan, surgery, parseFrom, parseTo, skipParse);
    // A break inserted takes the records behind it to the next paragraph:
    // the edited one keeps none of them either.
    if (!skipParse)
        highlightEdit(plan, parseFrom, parseTo, surgery.RemovedContexts == 0 && plan.Pieces.size() == 1);

    int32_t caret = plan.From + plan.Inserted;
    if (staticFormat_ && !internalEdit_ && fields_->CodeCleanUp && !replay) {
        // Where the edited paragraphs may hold a code pair now: in a
        // paragraph that was clean, only where its old text meets the new.
        const int32_t last = std::min(plan.LastNewParagraph(), paragraphs_.Count() - 1);
        const auto firstPieceEnd = static_cast<int32_t>(plan.StartOffset + plan.Pieces.front().size());
        const auto lastPieceEnd = static_cast<int32_t>(plan.Pieces.back().size());
        for (int32_t index = plan.StartParagraph; index <= last && index < paragraphs_.Count(); ++index) {
            const bool first = index == plan.StartParagraph;
            const bool lastOne = index == plan.LastNewParagraph();
            TCodeSpan span{0, paragraphs_[index].Length()};
            if (first && lastOne && headCleaned && tailCleaned)
                span = {plan.StartOffset, firstPieceEnd};
            else if (first && !lastOne && headCleaned)
                span.From = plan.StartOffset;
            else if (lastOne && !first && tailCleaned)
                span.To = lastPieceEnd;
            cleanUpStyleCodes(index, span, caret);
        }
    }
    return std::clamp(caret, 0, textLength_);
}

void TCodeDocument::highlightEdit(const TEditPlan& plan, int32_t parseFrom, int32_t parseTo, bool keptRecords) {
    if (OnParse)
        OnParse(parseFrom, parseTo);
    const int32_t startIndex = std::min(plan.StartParagraph, paragraphs_.Count() - 1);
    TParagraph& startPar = paragraphs_[startIndex];
    if (updateCount_ > 1) {
        // An outer update is pending: highlighting runs later.
        startPar.Formatted = 0;
        startPar.Parsed = 0;
        startPar.KeywordsApplied = 0;
        return;
    }
    parseFrom_->SetPos(parseFrom);
    parseTo_->SetPos(parseTo);
    if (startPar.Parsed) {
        if (parseTo_->ParNumber() != parseFrom_->ParNumber())
            parseTo_->SetPos(paragraphs_.Start(parseFrom_->ParNumber()) + parseFrom_->Paragraph()->Length());
        TRestoreOnExit<bool> around(highlighting_->aroundEdit_, plan.StartParagraph == plan.EndParagraph);
        TRestoreOnExit<bool> kept(highlighting_->editKeptRecords_, keptRecords);
        ApplyStartStopKeys(*parseFrom_, *parseTo_);
    }
    if (startPar.KeywordsApplied) {
        ApplyKeywords(*parseFrom_, *parseTo_);
        startPar.KeywordsApplied = 1;
    }
    // Keywords put records of their own where the parse compared none: a
    // keyword may reach past where parsing found the look kept.
    if (paragraphs_[startIndex].Contexts.HasKeywordRecords())
        layout_->SpoilLookHint();
}

TCodeDocument::TSurgery TCodeDocument::replaceParagraphs(const TEditPlan& plan) {
    TSurgery result;
    // The start and end paragraphs, the offsets in them, and the number of
    // breaks the inserted text holds.
    const int32_t S = plan.StartParagraph;
    const int32_t E = plan.EndParagraph;
    const int32_t s = plan.StartOffset;
    const int32_t e = plan.EndOffset;
    const auto k = static_cast<int32_t>(plan.Pieces.size()) - 1;
    const int32_t delta = plan.Delta();
    TParagraph& startPar = paragraphs_[S];
    TParagraph& endPar = paragraphs_[E];
    const int32_t ls = startPar.LineOfOffset(s);
    const int32_t le = endPar.LineOfOffset(e);
    layout_->SpoilLookHint();
    result.ContextAtStart = startPar.ContextBefore(s);
    result.ContextAtEnd = endPar.ContextBefore(e);
    result.StartLine = ls;
    result.ParagraphDelta = k - (E - S);

    if (k == 0 && S == E) {
        const std::string& piece = plan.Pieces.front();
        auto pieceLength = static_cast<int32_t>(piece.size());
        TContextList& contexts = startPar.Contexts;
        const int32_t firstRemoved = startPar.ContextIndexAt(s);
        const int32_t firstKept = startPar.ContextIndexAt(e);
        result.RemovedContexts = firstKept - firstRemoved;
        contexts.Erase(firstRemoved, firstKept);
        contexts.ShiftOffsets(firstRemoved, pieceLength - (e - s));
        startPar.Text.replace(static_cast<size_t>(s), static_cast<size_t>(e - s), piece);
        layout_->LineEdited(startPar, s, e, pieceLength);
        startPar.CodePairsCleaned = 0;

        // Lines: the lines from the one holding s to the one holding e become
        // one line; the lines behind move with the text.  Formatting redoes
        // the merged line and stops where the old lines fit again.
        TLineRecord& merged = startPar.Line(ls);
        merged.Stop = startPar.Line(le).Stop + delta;
        if (le > ls)
            startPar.FurtherLines.erase(startPar.FurtherLines.begin() + ls, startPar.FurtherLines.begin() + le);
        for (int32_t line = ls + 1; line < startPar.LineCount(); ++line) {
            TLineRecord& moved = startPar.Line(line);
            moved.Start += delta;
            moved.Stop += delta;
            moved.StretchStart += delta;
        }
        result.LineDelta = -(le - ls);
        startPar.Formatted = 0;
        startPar.FormatFromLine = std::min(startPar.FormatFromLine, ls);
        paragraphs_.ShiftFrom(S + 1, delta, result.LineDelta);
    } else {
        const std::string& lastPiece = plan.Pieces.back();
        auto lastPieceLength = static_cast<int32_t>(lastPiece.size());
        // Paragraphs joined or split (and those removed) lose their marks.
        for (int32_t i = S; i <= E; ++i)
            layout_->ForgetLineMarks(paragraphs_[i]);
        // Without a break in the inserted text the start paragraph itself takes
        // the end paragraph's tail, behind its own head.
        const int32_t prefix = k == 0 ? s : 0;
        const int32_t shiftInLast = prefix + lastPieceLength - e;
        const int32_t mergedLineStart = k == 0 ? startPar.Line(ls).Start : 0;

        TParagraphText lastText(lastPiece);
        {
            std::string scratch;
            lastText.append(endPar.Text.Piece(static_cast<size_t>(e), endPar.Text.size(), scratch));
        }

        // Records and lines behind e move to the last paragraph of the result.
        TContextList movedContexts;
        const int32_t firstMoved = endPar.ContextIndexAt(e);
        for (int32_t i = firstMoved; i < endPar.Contexts.Count(); ++i)
            movedContexts.Append({endPar.Contexts.Offset(i) + shiftInLast, endPar.Contexts.Id(i)});
        int32_t removed = S != E ? firstMoved : firstMoved - endPar.ContextIndexAt(s);
        if (S != E) {
            removed += startPar.Contexts.Count() - startPar.ContextIndexAt(s);
            for (int32_t i = S + 1; i < E; ++i)
                removed += paragraphs_[i].Contexts.Count();
        }
        result.RemovedContexts = removed;

        std::vector<TLineRecord> movedLines;
        movedLines.reserve(static_cast<size_t>(endPar.LineCount() - le));
        for (int32_t line = le; line < endPar.LineCount(); ++line) {
            TLineRecord record = endPar.Line(line);
            record.Start = line == le ? mergedLineStart : record.Start + shiftInLast;
            record.Stop += shiftInLast;
            record.StretchStart = std::max(record.StretchStart + shiftInLast, record.Start);
            movedLines.push_back(record);
        }

        int32_t oldLines = 0;
        for (int32_t i = S; i <= E; ++i)
            oldLines += paragraphs_[i].LineCount();

        // The style in force at the edit start, carried through the pieces.
        uint8_t style = 0;
        if (staticFormat_)
            style = FoldStyleCodes(startPar.StyleAt(ls, s), plan.Pieces.front());

        // The start paragraph keeps its head and takes the first piece.
        startPar.Contexts.Truncate(startPar.ContextIndexAt(s));
        startPar.Text.resize(static_cast<size_t>(s));
        startPar.CodePairsCleaned = 0;
        startPar.Formatted = 0;
        startPar.FormatFromLine = std::min(startPar.FormatFromLine, ls);
        if (k == 0) {
            startPar.Text += lastText.View();
            uint8_t lineStyle = startPar.Line(ls).Style;
            startPar.SetLineCount(ls + 1);
            startPar.Line(ls) = movedLines.front();
            startPar.Line(ls).Style = lineStyle;
            startPar.FurtherLines.insert(startPar.FurtherLines.end(), movedLines.begin() + 1, movedLines.end());
            for (int32_t i = 0; i < movedContexts.Count(); ++i)
                startPar.Contexts.Append(movedContexts.Entry(i));
        } else {
            startPar.Text += plan.Pieces.front();
            startPar.SetLineCount(ls + 1);
            startPar.Line(ls).Stop = startPar.Length();
        }

        const TContextId base = InternContext(result.ContextAtStart);
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
                paragraph->Text = plan.Pieces[static_cast<size_t>(i)];
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
        result.LineDelta = newLines - oldLines;
        paragraphs_.ShiftFrom(S + k + 1, delta, result.LineDelta);
    }

    textLength_ += delta;
    lineCount_ += result.LineDelta;

    // Changed range, in the numbering after the edit.
    firstChangedPar_ = std::min(firstChangedPar_, S);
    if (lastChangedPar_ > E)
        lastChangedPar_ += result.ParagraphDelta;
    else if (lastChangedPar_ > S)
        lastChangedPar_ = S + k;
    lastChangedPar_ = std::max(lastChangedPar_, S + k);
    firstChangedLine_ = std::min(firstChangedLine_, paragraphs_.FirstLine(S) + ls);
    highlighting_->textChangedFrom(S);
    layout_->paragraphsReplaced(S, E, S + k);

    // The cached upper-case copy follows its paragraph or goes.
    if (upperIndex_ >= S && upperIndex_ <= E)
        dropUpperCache();
    else if (upperIndex_ > E)
        upperIndex_ += result.ParagraphDelta;
    return result;
}

void TCodeDocument::moveNavigators(const TEditPlan& plan, const TSurgery& surgery) {
    const int32_t delta = plan.Delta();
    const int32_t lastNew = plan.LastNewParagraph();
    for (TCodeNavigator* navigator : navigators_) {
        int32_t offset = navigator->offset_;
        if (offset < plan.From) {
            // Lines and contexts before the edit start keep their numbers;
            // only the paragraph record of the start paragraph changed.
            if (navigator->parIndex_ == plan.StartParagraph && navigator->lineInPar_ != TCodeNavigator::kUnknown &&
                navigator->lineInPar_ > surgery.StartLine)
                navigator->lineInPar_ = TCodeNavigator::kUnknown;
            continue;
        }
        if (offset == plan.From || offset < plan.To) {
            navigator->Invalidate();
            navigator->offset_ = navigator->EndOfInsertion ? plan.From + plan.Inserted : plan.From;
            continue;
        }
        // Behind the edit: the offset moves by the length difference.
        int32_t oldPar = navigator->parIndex_;
        navigator->offset_ = offset + delta;
        if (oldPar > plan.EndParagraph) {
            navigator->parIndex_ = oldPar + surgery.ParagraphDelta;
            navigator->lines_.SetParagraph(&paragraphs_[navigator->parIndex_]);
        } else if (oldPar == plan.EndParagraph) {
            const int32_t start = paragraphs_.Start(lastNew);
            navigator->place(lastNew, paragraphs_[lastNew], start, navigator->offset_ - start);
        } else {
            navigator->Invalidate();
        }
    }
}

void TCodeDocument::fixContextsAtEditPoint(const TEditPlan& plan, const TSurgery& surgery, int32_t& parseFrom,
                                           int32_t& parseTo, bool& skipParse) {
    // The contexts in force at the start and at the old end of the edit.
    const TContextState& A = surgery.ContextAtStart;
    const TContextState& Z = surgery.ContextAtEnd;
    const bool aStyled = (A.Flags & TContextState::kStyled) != 0;
    const bool aPlainStyled = aStyled && (A.Flags & TContextState::kKeyStack) == 0;
    const int32_t lastNew = plan.LastNewParagraph();

    auto widen = [&]() {
        TParagraph& startPar = paragraphs_[plan.StartParagraph];
        int32_t start = paragraphs_.Start(plan.StartParagraph);
        int32_t index = startPar.ContextIndexAt(plan.StartOffset);
        if (A.Depth < 0) {
            // A styled context without key stack: re-parse from the record
            // before the edit to the record after it.
            parseFrom = index > 0 ? start + startPar.Contexts.Offset(index - 1) : start;
            TParagraph& lastPar = paragraphs_[lastNew];
            int32_t lastStart = paragraphs_.Start(lastNew);
            int32_t endIndex = lastPar.ContextIndexAt(parseTo - lastStart);
            parseTo = endIndex < lastPar.Contexts.Count() ? lastStart + lastPar.Contexts.Offset(endIndex) : textLength_;
            return;
        }
        // Inside a start/stop context: a key that the edit may have cut
        // begins at most a key length before the edit.
        int32_t from = plan.StartOffset;
        while (index > 0) {
            const TContextState& record = startPar.Contexts.State(index - 1);
            const int32_t offset = startPar.Contexts.Offset(index - 1);
            if (!record.HasKeyStack() || offset + std::max<int32_t>(record.StartKeyLength, 1) < from)
                break;
            from = offset;
            --index;
        }
        parseFrom = start + from;
        firstChangedLine_ = std::min(firstChangedLine_, paragraphs_.FirstLine(plan.StartParagraph) + startPar.LineOfOffset(from));
    };

    if (surgery.RemovedContexts > 0) {
        if (aPlainStyled) {
            TParagraph& startPar = paragraphs_[plan.StartParagraph];
            startPar.Contexts.Insert(startPar.ContextIndexAt(plan.StartOffset), {plan.StartOffset, InternContext(A)});
            layout_->LineRestyled(startPar, plan.StartOffset, plan.StartOffset);
        } else if (A.HasKeyStack()) {
            widen();
        }
        if ((Z.Flags & TContextState::kStyled) != 0) {
            int32_t lastStart = paragraphs_.Start(lastNew);
            TParagraph& lastPar = paragraphs_[lastNew];
            int32_t endOffset = parseTo - lastStart;
            if ((Z.Flags & TContextState::kKeyStack) != 0) {
                int32_t index = lastPar.ContextIndexAt(endOffset);
                if (index < lastPar.Contexts.Count() && lastPar.Contexts.Offset(index) <= endOffset + Z.StopKeyLength)
                    parseTo = std::max(parseTo, lastStart + lastPar.Contexts.Offset(index));
            } else {
                lastPar.Contexts.Insert(lastPar.ContextIndexAt(endOffset), {endOffset, InternContext(Z)});
                layout_->LineRestyled(lastPar, endOffset, endOffset);
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

void TCodeDocument::cleanUpStyleCodes(int32_t index, TCodeSpan span, int32_t& caret) {
    TInternalEdit internal(*this);
    {
        // A pair can only form within one run of codes: the runs that touch
        // the span are looked at whole.
        const TParagraphText& text = paragraphs_[index].Text;
        span.From = std::clamp(span.From, 0, static_cast<int32_t>(text.size()));
        span.To = std::clamp(span.To, span.From, static_cast<int32_t>(text.size()));
        while (span.From > 0 && IsStyleCode(text[static_cast<size_t>(span.From - 1)]))
            --span.From;
        while (span.To < std::ssize(text) && IsStyleCode(text[static_cast<size_t>(span.To)]))
            ++span.To;
    }
    int32_t i = span.From;
    // A before-change hook that puts text in place of a removal leaves the
    // rest of the paragraph to look at, as it was before.
    bool hooked = false;
    for (;;) {
        // From one style code to the next: the paragraph is looked up again
        // only after an edit.
        // (Read where the text stands: the edit's gap lies in the span.)
        const TParagraphText& text = paragraphs_[index].Text;
        const int32_t limit = hooked ? static_cast<int32_t>(text.size()) : std::min(span.To, static_cast<int32_t>(text.size()));
        const int32_t from = std::clamp(i, 0, limit);
        std::string scratch;
        const std::string_view within = text.Piece(static_cast<size_t>(from), static_cast<size_t>(limit), scratch);
        i = from + static_cast<int32_t>(std::min(FindStyleCode(within, 0), within.size()));
        if (i >= limit)
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
            // The removal undoes together with the edit that caused it.
            std::string text;
            BeforeChange(text);
            hooked = hooked || !text.empty();
            TUndoHistory::TAction action(undo_);
            TDocumentUpdate level(*this);
            const int32_t entry = undo_.Position();
            const bool recorded = !fields_->UndoRecordingOff;
            ReplaceRange(absolute, absolute + 1, text, false);
            if (recorded)
                undo_.GroupWithPrevious(entry);
            level.Finish();
            if (absolute < caret)
                --caret;
        }
        span.To -= 2;
        if (index >= paragraphs_.Count())
            return;
    }
    paragraphs_[index].CodePairsCleaned = hooked ? 0 : 1;
}
