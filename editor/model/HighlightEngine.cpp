// The highlighting engine: start/stop parsing paragraph by paragraph with
// the hand-on of changed contexts, keyword application, and putting
// contexts in force between two positions.

#include "editor/model/HighlightEngine.h"

#include "editor/model/CodeDocument.h"
#include "editor/model/CodeHighlighter.h"
#include "editor/model/CodeNavigator.h"
#include "editor/model/ContextEditing.h"
#include "editor/model/KeyMatcher.h"
#include "editor/model/ScopeGuards.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

namespace {

// A paragraph whose parse makes no headway for this many rounds in a row
// is left as it stands (a highlighter that opens and closes empty
// contexts at one place forever must not hang the editor).
constexpr int kRoundsWithoutProgress = 64;

}  // namespace

THighlightEngine::THighlightEngine(TCodeDocument& document)
    : document_(document), keywords_(std::make_unique<TKeywordList>()),
      startStopKeys_(std::make_unique<TStartStopKeyList>()),
      hookPosition_(std::make_unique<TCodeNavigator>(&document)),
      hookLimit_(std::make_unique<TCodeNavigator>(&document)),
      keywordStart_(std::make_unique<TCodeNavigator>(&document)),
      keywordEnd_(std::make_unique<TCodeNavigator>(&document)) {}

THighlightEngine::~THighlightEngine() { detachHighlighter(); }

void THighlightEngine::SetHighlightRange(int32_t first, int32_t last) {
    highlightFirst_ = first;
    highlightLast_ = last;
}

void THighlightEngine::textReplaced() {
    highlightFirst_ = 0;
    highlightLast_ = -1;
    validHighlight_ = -1;
}

void THighlightEngine::SetHighlighter(TCodeHighlighter* highlighter) {
    if (highlighter == highlighter_)
        return;
    if (highlighter_ != nullptr)
        highlighter_->removeDocument(&document_);
    highlighter_ = highlighter;
    if (highlighter_ != nullptr)
        highlighter_->addDocument(&document_);
    // Contexts made by another highlighter mean nothing to this one.
    ReApplyKeywords();
}

void THighlightEngine::detachHighlighter() {
    if (highlighter_ != nullptr)
        highlighter_->removeDocument(&document_);
    highlighter_ = nullptr;
}

THighlightEngine::TPlace THighlightEngine::lookUp(int32_t index) const {
    return {index, &document_.paragraphs_[index], document_.paragraphs_.Start(index)};
}

bool THighlightEngine::callHook(bool startHook, int32_t index, int32_t position, int32_t hookLimit, int32_t& limit) {
    const TPlace place = placeOf(index);
    TParagraph& p = *place.Paragraph;
    const int32_t start = place.Start;
    // The navigators go to offsets of the paragraph just looked up, without
    // looking it up again (and without the context indexes they had: parsing
    // has just changed the records).
    hookPosition_->place(index, p, start, position);
    hookLimit_->place(index, p, start, hookLimit);
    const int32_t first = startStopKeys_->Count();
    bool found = startHook ? highlighter_->StartKeyHook(*hookPosition_, *hookLimit_, first)
                           : highlighter_->StopKeyHook(*hookPosition_, *hookLimit_, first);
    if (found)
        limit = std::clamp(hookLimit_->Pos() - start, position, p.Length());
    return found;
}

bool THighlightEngine::findStop(int32_t index, int32_t position, int32_t& limit) {
    const TContextState& inForce = ContextInForce(*placeOf(index).Paragraph, position);
    const int top = TopKeyEntry(inForce);
    if (top < 0)
        return false;
    if ((top & 0x8000) != 0 && (top & 0x7FFF) < startStopKeys_->Count()) {
        TKeyMatchScope scope{document_, *startStopKeys_, document_.SeparatorSet(), 0, false};
        return MatchStopKey(scope, index, position, limit, top & 0x7FFF);
    }
    return highlighter_ != nullptr && highlighter_->StopHookMayEnd(inForce, startStopKeys_->Count()) &&
           callHook(false, index, position, limit, limit);
}

bool THighlightEngine::findStart(int32_t index, int32_t position, int32_t& limit) {
    TKeyMatchScope scope{document_, *startStopKeys_, document_.SeparatorSet(), 0, false};
    TStartKeyMatch match;
    const bool keyFound = document_.Fields().ApplyStartStopKeysEnabled && startStopKeys_->Count() > 0 &&
                          FindStartKeyMatch(scope, index, position, limit, match);
    // The highlighter may open something before the memo's own key: the
    // earlier start wins, so a key inside a tag does not break the tag.
    if (highlighter_ != nullptr && (!keyFound || match.Offset > position) &&
        callHook(true, index, position, keyFound ? match.Offset : limit, limit))
        return true;
    return keyFound && OpenStartKey(scope, index, match, limit);
}

namespace {

bool IsPlain(const TContextState& record) { return (record.Flags & TContextState::kStyled) == 0; }

// Where a paragraph parsed again after an edit looks as it did.  Behind
// the edit the look at an offset is that of the last record at or before
// it: the old and the new records agree from the start of the longest run
// of records they share at the end of the compared stretch (the same
// offsets, the same look), and before that run as far back as the records
// in force there agree.  Old records are the truth only behind the first
// one at or after the edit's end when the edit took records with it (the
// look just behind the edit went with them).
int32_t LookKeptFrom(const TSetAsideRecords& old, size_t oldCompared, const TContextList& parsed, int32_t firstParsed,
                     int32_t editTo, int32_t convergedAt, bool editKeptRecords) {
    auto i = static_cast<int32_t>(oldCompared);
    int32_t j = parsed.Count();
    while (i > 0 && j > firstParsed && old.Offset(i - 1) == parsed.Offset(j - 1) && old.Offset(i - 1) >= editTo &&
           (old.Id(i - 1) == parsed.Id(j - 1) || SameHighlight(old.State(i - 1), parsed.State(j - 1)))) {
        --i;
        --j;
    }
    int32_t kept = i < static_cast<int32_t>(oldCompared) ? old.Offset(i) : convergedAt;
    if (i == 0 && j == firstParsed) {
        // Before the shared run both are in the state in force where
        // parsing began.
        kept = editTo;
    } else if (i > 0 && j > firstParsed && SameHighlight(old.State(i - 1), parsed.State(j - 1))) {
        kept = std::max({editTo, old.Offset(i - 1), parsed.Offset(j - 1)});
    }
    if (!editKeptRecords) {
        const int32_t behind = old.IndexAt(editTo);
        kept = std::max(kept, behind < static_cast<int32_t>(oldCompared) ? old.Offset(behind) : convergedAt);
    }
    return std::min(kept, convergedAt);
}

} // namespace

bool THighlightEngine::mayResumeInside(const TParagraph& p, int32_t record, int32_t at) const {
    // Parsing skips styled stretches without keys: the rounds a whole parse
    // runs then depend on them.
    if (highlighter_ == nullptr || p.Contexts.MayHoldStyledWithoutKeys() || IsStyledWithoutKeys(p.Base()))
        return false;
    // Well inside the stretch: past the key that opened it, where the whole
    // parse's search for its end began.
    if (p.Contexts.Offset(record) + kParseMargin > at)
        return false;
    const TContextState& state = p.Contexts.State(record);
    // The document's own keys open nothing inside a highlighter's context,
    // and its stop keys end only its own contexts.
    const int top = TopKeyEntry(state);
    if (top < 0 || (top & 0x8000) == 0 || top == 0xFFFF || (top & 0x7FFF) < startStopKeys_->Count())
        return false;
    const int32_t lookBack = highlighter_->ResumeLookBack(state, startStopKeys_->Count());
    return lookBack >= 0 && lookBack < kParseMargin;
}

void THighlightEngine::parseParagraph(int32_t index, int32_t editFrom, int32_t editTo) {
    if (!parseParagraphFrom(index, editFrom, editTo, true))
        parseParagraphFrom(index, editFrom, editTo, false);
}

bool THighlightEngine::parseParagraphFrom(int32_t index, int32_t editFrom, int32_t editTo, bool mayResume) {
    TParagraph& p = document_.paragraphs_[index];
    // The hooks are asked about this paragraph again and again.
    TRestoreOnExit<TPlace> parsing(parsing_, {index, &p, document_.paragraphs_.Start(index)});
    const bool keys = document_.Fields().ApplyStartStopKeysEnabled && startStopKeys_->Count() > 0;
    const bool keywords = document_.Fields().ApplyKeyWordsEnabled && keywords_->Count() > 0;
    if (!keys && highlighter_ == nullptr && (!keywords || p.Contexts.Empty())) {
        // Nothing to find and nothing to rebuild: records put in force from
        // outside stay as they are.
        p.Parsed = 1;
        return true;
    }
    if (keys && !startStopKeys_->Prepared())
        startStopKeys_->Prepare(document_.SeparatorSet());

    // Where parsing starts.  After an edit of a parsed paragraph: at a
    // plain record well before the edit, where parsing the whole paragraph
    // passes in the same state (no key or token reaches back over the
    // margin, and no later step looks at the records before it); otherwise
    // at the paragraph's start, where everything but styled stretches
    // without keys is rebuilt.
    // Keywords rewrite the records parsing wrote (they replace what lies
    // under them): a paragraph with keywords in force is parsed whole.
    // Inside a long script or comment the plain record before it may lie
    // far back, and the search for its end reaches far ahead: where the
    // highlighter allows it, parsing takes the stretch up the margin before
    // the edit, and its first round looks for the stretch's end only up to
    // the margin behind the edit (resumeWindow).  Not found there, the
    // stretch goes on where the old records say it went on.
    bool afterEdit = editFrom >= 0 && !p.Contexts.HasKeywordRecords();
    int32_t firstParsed = 0;
    int32_t scan = 0;
    bool resumed = false;
    if (afterEdit) {
        const int32_t before = editFrom - kParseMargin;
        int32_t i = p.ContextIndexAt(before + 1) - 1;
        if (mayResume && i >= 0 && mayResumeInside(p, i, before)) {
            resumed = true;
            firstParsed = i + 1;
            scan = before;
        } else {
            while (i >= 0 && !IsPlain(p.Contexts.State(i)))
                --i;
            if (i >= 0) {
                firstParsed = i + 1;
                scan = p.Contexts.Offset(i);
            }
        }
    }
    const int32_t restart = scan;
    using TEntry = TContextList::TEntry;
    // The old records from the restart on are set aside whole (parsing
    // writes its own in their place); the styled ones without keys stay in
    // force meanwhile.
    TSetAsideRecords old(p.Contexts, firstParsed);
    const auto oldCount = static_cast<size_t>(old.Count());
    if (firstParsed == 0)
        // Parsed whole, it gets about as many records as it had, or one
        // every few bytes; the room left over goes back at the end.
        p.Contexts.Reserve(oldCount > 0 ? static_cast<int32_t>(oldCount) : std::min(p.Length() / 4 + 4, 1024),
                           p.Length());
    const bool oldStyledWithoutKeys = old.MayHoldStyledWithoutKeys();
    if (oldStyledWithoutKeys)
        for (int32_t i = 0; i < old.Count(); ++i)
            if (IsStyledWithoutKeys(old.State(i)))
                p.Contexts.Append(old.Entry(i));

    // The old parse's state as the scan moves on: whether the last record
    // parsing wrote (not a keyword's) at or before the scan was plain.  It
    // is known only from a record behind the edit: the edit removed the
    // records it replaced, so the state at its end is lost with them.
    size_t oldNext = 0;
    bool oldKnown = false;
    bool oldPlain = false;
    int32_t convergedAt = -1;
    const int32_t end = p.Length();
    int32_t lastScan = -1;
    int idleRounds = 0;
    // The old records must have the stretch go on past the window (the
    // edit took none of them, and none lies before the window's end).
    const int32_t windowEnd = editTo + kParseMargin;
    const bool windowed =
        resumed && editKeptRecords_ && (oldCount == 0 || old.Offset(0) > windowEnd) && windowEnd < end;
    bool resumedRound = resumed;
    while (true) {
        // Styled stretches without keys keep their look: parsing skips them
        // (a paragraph without such records has none).
        int32_t limit = end;
        if (p.Contexts.MayHoldStyledWithoutKeys() || IsStyledWithoutKeys(p.Base())) {
            while (scan < end && IsStyledWithoutKeys(ContextInForce(p, scan))) {
                int32_t next = NextContextOffset(p, scan);
                scan = next < 0 || next > end ? end : next;
            }
            for (int32_t next = NextContextOffset(p, scan); next >= 0 && next < end; next = NextContextOffset(p, next)) {
                if (IsStyledWithoutKeys(ContextInForce(p, next))) {
                    limit = next;
                    break;
                }
            }
        }
        if (resumedRound && windowed)
            limit = windowEnd;
        const bool stopped = findStop(index, scan, limit);
        bool started = findStart(index, scan, limit);
        if (resumedRound) {
            resumedRound = false;
            if (!stopped && !started) {
                if (windowed) {
                    // The stretch reaches past the window as it did before:
                    // from there on the old records stand.
                    convergedAt = windowEnd;
                    break;
                }
                if (oldCount > 0 || !editKeptRecords_) {
                    // The stretch now runs to the end where it may have
                    // ended before (behind the edit or in what it took):
                    // what finding that end did to the records before it is
                    // undone only by parsing from its start.
                    old.PutBackFrom(0);
                    return false;
                }
            }
        }
        scan = std::max(limit, scan);
        if (scan >= end && !started)
            break;
        if (afterEdit && scan >= editTo + kParseMargin) {
            // Past the edit, both parses plain at the same place: from here
            // on this one would write what the old one wrote.
            for (; oldNext < oldCount && old.Offset(static_cast<int32_t>(oldNext)) <= scan; ++oldNext) {
                const TEntry record = old.Entry(static_cast<int32_t>(oldNext));
                if (record.Offset >= editTo && !IsStyledWithoutKeys(ContextState(record.Id))) {
                    oldKnown = true;
                    oldPlain = IsPlain(ContextState(record.Id));
                }
            }
            if (oldKnown && oldPlain && IsPlain(ContextInForce(p, scan))) {
                convergedAt = scan;
                break;
            }
        }
        if (scan > lastScan) {
            lastScan = scan;
            idleRounds = 0;
        } else if (++idleRounds > kRoundsWithoutProgress) {
            break;
        }
    }
    // What changed, for the layout and the watchers: from the first record
    // that differs on.
    // (The old records up to the convergence point: those with an offset
    // not beyond it.)
    const size_t oldCompared = convergedAt < 0 ? oldCount : static_cast<size_t>(old.IndexAt(convergedAt + 1));
    const auto newCompared = static_cast<size_t>(p.Contexts.Count() - firstParsed);
    // (And, for the marks along the line, the first record that is not the
    // very same state at the same offset.)
    size_t same = 0;
    size_t identical = SIZE_MAX;
    while (same < oldCompared && same < newCompared) {
        const TEntry was = old.Entry(static_cast<int32_t>(same));
        const TEntry parsed = p.Contexts.Entry(firstParsed + static_cast<int32_t>(same));
        if (identical == SIZE_MAX && (was.Offset != parsed.Offset || was.Id != parsed.Id))
            identical = same;
        if (was.Offset != parsed.Offset ||
            (was.Id != parsed.Id && !SameHighlight(ContextState(was.Id), ContextState(parsed.Id))))
            break;
        ++same;
    }
    auto firstDifferenceAt = [&](size_t index) {
        int32_t at = INT32_MAX;
        if (index < oldCompared)
            at = old.Offset(static_cast<int32_t>(index));
        if (index < newCompared)
            at = std::min(at, p.Contexts.Offset(firstParsed + static_cast<int32_t>(index)));
        return at;
    };
    int32_t changedAt = firstDifferenceAt(same);
    const int32_t restyledFrom = firstDifferenceAt(std::min(identical, same));
    if (afterEdit && aroundEdit_ && convergedAt >= 0)
        document_.layout_->NoteLookKeptFrom(index, LookKeptFrom(old, oldCompared, p.Contexts, firstParsed, editTo, convergedAt, editKeptRecords_));
    if (convergedAt >= 0) {
        // The old records from there on stay (keywords' among them).
        const auto keepFrom = static_cast<int32_t>(oldCompared);
        if (!oldStyledWithoutKeys &&
            (p.Contexts.Empty() || keepFrom >= old.Count() || p.Contexts.LastOffset() < old.Offset(keepFrom))) {
            // Every record parsing wrote lies before them: they follow as
            // they are.
            old.PutBackFrom(keepFrom);
        } else {
            TContextList merged;
            int32_t keep = keepFrom;
            for (int32_t i = 0; i < p.Contexts.Count(); ++i) {
                const TEntry entry = p.Contexts.Entry(i);
                for (; keep < old.Count() && old.Offset(keep) < entry.Offset; ++keep)
                    if (!IsStyledWithoutKeys(old.State(keep)))
                        merged.Append(old.Entry(keep));
                merged.Append(entry);
            }
            for (; keep < old.Count(); ++keep)
                if (!IsStyledWithoutKeys(old.State(keep)))
                    merged.Append(old.Entry(keep));
            old.Drop();
            p.Contexts = std::move(merged);
        }
    }
    // Without convergence the old records are all replaced.
    old.Drop();
    // A paragraph parsed whole gives back its spare room; one parsed again
    // around an edit keeps room for the next.
    if (afterEdit)
        p.Contexts.ShrinkIfLoose();
    else
        p.Contexts.ShrinkToFit();
    p.Parsed = 1;
    if (convergedAt >= 0) {
        // The keywords of the parsed stretch went with its records: applied
        // again there (or, when they wait for line breaking, over the whole
        // paragraph then).
        if (p.KeywordsApplied) {
            const int32_t start = document_.paragraphs_.Start(index);
            TCodeNavigator from(&document_);
            TCodeNavigator to(&document_);
            from.SetPos(start + restart);
            to.SetPos(start + convergedAt);
            document_.ApplyKeywords(from, to);
        }
    } else {
        // The keywords went with the other records: line breaking applies
        // them again, over the whole paragraph, since a context that barred
        // them may have gone anywhere in it.
        p.KeywordsApplied = 0;
    }
    if (afterEdit)
        changedAt = std::min(changedAt, editFrom);
    if (changedAt != INT32_MAX) {
        p.FormatFromLine = std::min(p.FormatFromLine, p.LineOfOffset(changedAt));
        // Formatting lays the changed stretch out again (from the line of
        // changedAt through the parse's end, set just below).
        const TStyleChange change{index, index, changedAt, convergedAt >= 0 ? convergedAt : INT32_MAX, true};
        document_.notify([&](TDocumentWatcher& watcher) { watcher.StylesChanged(document_, change); });
    }
    // The marks along the line walk again from the first record that is
    // not the one that stood there (the edit told them of its own ends).
    if (restyledFrom != INT32_MAX)
        document_.layout_->LineRestyled(p, restyledFrom, convergedAt >= 0 ? convergedAt : p.Length());
    // Fonts may change from the first record that changed on; the lines
    // are laid out again at least as far as parsing went (the records an
    // edit removed are gone already, so the comparison cannot tell whether
    // the look behind the edit changed).
    p.RelayoutThrough = std::max(p.RelayoutThrough, convergedAt >= 0 ? convergedAt : kMaxTextLength);
    if (p.Formatted) {
        p.Formatted = 0;
        document_.layout_->ScheduleParagraph(index);
    }
    return true;
}

void THighlightEngine::handOn(int32_t index) {
    if (index + 1 >= document_.paragraphs_.Count())
        return;
    TParagraph& p = document_.paragraphs_[index];
    TParagraph& next = document_.paragraphs_[index + 1];
    const TContextId end = EndContextId(p);
    if (end == next.BaseContext || SameHighlight(ContextState(end), next.Base()))
        return;
    next.BaseContext = end;
    document_.layout_->ForgetLineMarks(next);
    next.Parsed = 0;
    next.KeywordsApplied = 0;
    next.Formatted = 0;
    next.FormatFromLine = 0;
    // With another start context every line of it may look different.
    next.RelayoutThrough = kMaxTextLength;
    validHighlight_ = std::min(validHighlight_, index);
    document_.layout_->ScheduleParagraph(index + 1);
}

void THighlightEngine::ParseStartStopKeys(TCodeNavigator& from, TCodeNavigator& to) {
    int32_t first = from.ParNumber();
    int32_t last = to.ParNumber();
    if (last < first)
        std::swap(first, last);
    // An edit within one paragraph re-parses around it; anything else
    // parses the paragraphs whole.
    const bool around = aroundEdit_ && first == last &&
                        (from.ParOffset() > 0 || to.ParOffset() < document_.paragraphs_[first].Length());
    for (int32_t index = first; index <= last; ++index) {
        if (around)
            parseParagraph(index, std::min(from.ParOffset(), to.ParOffset()), std::max(from.ParOffset(), to.ParOffset()));
        else
            parseParagraph(index, -1, -1);
        handOn(index);
    }
    to.SetPos(document_.paragraphs_.Start(last) + document_.paragraphs_[last].Length());
    // Records changed: cached context indexes after the range start are stale.
    document_.InvalidateNavigators(document_.paragraphs_.Start(first) - 1, last);
}

void THighlightEngine::ParseUpTo(int32_t index) {
    index = std::min(index, document_.paragraphs_.Count() - 1);
    if (index <= validHighlight_)
        return;
    const int32_t first = validHighlight_ + 1;
    // Each paragraph is parsed whole through the virtual operation, as an
    // edit's paragraph is, so that a memo that overrides it sees every
    // parse.  The two ends are navigators of their own: the caller may be
    // using the working ones.
    std::optional<TCodeNavigator> from;
    std::optional<TCodeNavigator> to;
    for (int32_t i = first; i <= index; ++i) {
        if (!document_.paragraphs_[i].Parsed) {
            if (!from) {
                from.emplace(&document_);
                to.emplace(&document_);
            }
            parseWhole(i, *from, *to);
        }
        validHighlight_ = i;
    }
}

void THighlightEngine::parseWhole(int32_t index, TCodeNavigator& from, TCodeNavigator& to) {
    // Placed on the paragraph just looked up, without looking it up again.
    TParagraph& p = document_.paragraphs_[index];
    const int32_t start = document_.paragraphs_.Start(index);
    from.place(index, p, start, 0);
    to.place(index, p, start, p.Length());
    document_.ApplyStartStopKeys(from, to);
    // An override that parses nothing must not be asked again and again
    // for the same paragraph.
    document_.paragraphs_[index].Parsed = 1;
}

void THighlightEngine::ParseAhead(int32_t index) {
    if (document_.paragraphs_[index].Parsed)
        return;
    TCodeNavigator from(&document_);
    TCodeNavigator to(&document_);
    parseWhole(index, from, to);
}

void THighlightEngine::ApplyKeywordsBetween(TCodeNavigator& from, TCodeNavigator& to) {
    const int32_t low = std::min(from.Pos(), to.Pos());
    const int32_t high = std::max(from.Pos(), to.Pos());
    if (highlighter_ != nullptr)
        highlighter_->KeywordHook(from, to, keywords_->Count());
    if (document_.Fields().ApplyKeyWordsEnabled && keywords_->Count() > 0) {
        TKeywordScope scope{document_, *keywords_, document_.SeparatorSet(), 0, true, {}};
        ApplyKeywordList(scope, low, high);
    }
}

void THighlightEngine::ApplyContextBetween(int32_t from, int32_t to, const TContextState& context) {
    keywordStart_->SetPos(from);
    keywordEnd_->SetPos(to);
    document_.ApplyContext(*keywordStart_, *keywordEnd_, false, true, context);
}

bool THighlightEngine::FindStartKey(TCodeNavigator& position, TCodeNavigator& limit) {
    return findKeyBetween(false, position, limit);
}

bool THighlightEngine::FindStopKey(TCodeNavigator& position, TCodeNavigator& limit) {
    return findKeyBetween(true, position, limit);
}

bool THighlightEngine::findKeyBetween(bool stopKey, TCodeNavigator& position, TCodeNavigator& limit) {
    const int32_t index = position.ParNumber();
    const int32_t start = document_.paragraphs_.Start(index);
    const int32_t length = document_.paragraphs_[index].Length();
    int32_t offset = std::min(position.ParOffset(), length);
    int32_t end = limit.ParNumber() == index ? std::min(limit.ParOffset(), length) : length;
    bool found = stopKey ? findStop(index, offset, end) : findStart(index, offset, end);
    if (found) {
        limit.SetPos(start + end);
        document_.InvalidateNavigators(start + offset - 1, index);
    }
    return found;
}

void THighlightEngine::PutContextBetween(TCodeNavigator& first, TCodeNavigator& second, bool recordChange,
                                         bool opening, const TContextState& context) {
    TParagraphsList& paragraphs_ = document_.paragraphs_;
    TCodeNavigator& low = first.Pos() <= second.Pos() ? first : second;
    TCodeNavigator& high = first.Pos() <= second.Pos() ? second : first;
    int32_t lowPar = low.ParNumber();
    int32_t highPar = high.ParNumber();
    int32_t lowOffset = low.ParOffset();
    int32_t highOffset = high.ParOffset();
    if (recordChange)
        document_.recordChangedRange(lowPar, highPar, low.LineNumber());
    // The text after the range keeps the context it had.
    const TContextId restore = InternContext(paragraphs_[highPar].ContextBefore(highOffset + 1));
    for (int32_t index = lowPar; index <= highPar; ++index) {
        TParagraph& p = paragraphs_[index];
        int32_t from = index == lowPar ? lowOffset : 0;
        int32_t to = index == highPar ? highOffset : p.Length() + 2;
        RemoveContexts(p, from, to);
        p.Formatted = 0;
        if (index > lowPar) {
            p.BaseContext = InternContext(context);
            document_.layout_->ForgetLineMarks(p);
        } else {
            document_.layout_->LineRestyled(p, from, index == highPar ? highOffset : p.Length());
        }
    }
    TContextState record = context;
    if (opening)
        record.Flags |= TContextState::kStyled;
    if (opening || (context.Flags & TContextState::kStyled) != 0) {
        TParagraph& p = paragraphs_[lowPar];
        p.Contexts.Insert(p.ContextIndexAt(lowOffset), {lowOffset, InternContext(record)});
    }
    if (high.Pos() < document_.TextLength()) {
        TParagraph& p = paragraphs_[highPar];
        int32_t at = p.ContextIndexAt(highOffset);
        if (at >= p.Contexts.Count() || p.Contexts.Offset(at) != highOffset)
            p.Contexts.Insert(at, {highOffset, restore});
    }
    document_.InvalidateNavigators(low.Pos() - 1, highPar);
    low.InvalidateLineAndContext();
    high.InvalidateLineAndContext();
    const TStyleChange change{lowPar, highPar, lowOffset, highOffset, false};
    document_.notify([&](TDocumentWatcher& watcher) { watcher.StylesChanged(document_, change); });
}

void THighlightEngine::ReApplyKeywords() {
    TParagraphsList& paragraphs_ = document_.paragraphs_;
    const TContextId shared = paragraphs_[0].BaseContext;
    for (int32_t i = 0; i < paragraphs_.Count(); ++i) {
        TParagraph& p = paragraphs_[i];
        p.Formatted = 0;
        p.Parsed = 0;
        p.KeywordsApplied = 0;
        p.Contexts.Clear();
        p.BaseContext = shared;
    }
    for (TCodeNavigator* navigator : document_.Navigators())
        navigator->InvalidateLineAndContext();
    validHighlight_ = -1;
    SetHighlightRange(0, paragraphs_.Count() - 1);
    document_.Layout().ReformatAll();
}
