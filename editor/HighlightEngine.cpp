// The highlighting engine: which context is in force at every character.
//
// Contexts come from the memo's own start/stop keys and from its
// highlighter's hooks; keywords are applied on top during line breaking.
// A paragraph is always parsed whole, from the context in force at its
// start (its base context), so that its records depend only on that base
// and its text: a re-parse after an edit gives exactly what a full
// highlight gives.  When the context at a paragraph's end changes, the
// change is handed on to the next paragraph, which is parsed later (by the
// background pass, formatting or painting); the hand-on stops at the first
// paragraph whose base context is unchanged.

#include "editor/CodeHighlighter.h"
#include "editor/CodeMemo.h"
#include "editor/ContextEditing.h"
#include "editor/KeyMatcher.h"

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

void TCodeMemo::SetHighlighter(TCodeHighlighter* highlighter) {
    if (highlighter == highlighter_)
        return;
    if (highlighter_ != nullptr)
        highlighter_->removeMemo(this);
    highlighter_ = highlighter;
    if (highlighter_ != nullptr)
        highlighter_->addMemo(this);
    // Contexts made by another highlighter mean nothing to this one.
    ReApplyKeywords();
}

void TCodeMemo::detachHighlighter() {
    if (highlighter_ != nullptr)
        highlighter_->removeMemo(this);
    highlighter_ = nullptr;
}

void TCodeMemo::scheduleParagraph(int32_t index) {
    if (index < 0 || index >= paragraphs_.Count())
        return;
    if (formatLast_ >= formatNext_) {
        formatNext_ = std::min(formatNext_, index);
        formatLast_ = std::max(formatLast_, index);
    } else {
        formatNext_ = index;
        formatLast_ = index;
    }
}

bool TCodeMemo::callHook(bool startHook, int32_t index, int32_t position, int32_t hookLimit, int32_t& limit) {
    TParagraph& p = paragraphs_[index];
    const int32_t start = paragraphs_.Start(index);
    // The navigators go to offsets of the paragraph just looked up, without
    // looking it up again (and without the context indexes they had: parsing
    // has just changed the records).
    parse1_->place(index, p, start, position);
    parse2_->place(index, p, start, hookLimit);
    const int32_t first = startStopKeys_->Count();
    bool found = startHook ? highlighter_->StartKeyHook(*parse1_, *parse2_, first)
                           : highlighter_->StopKeyHook(*parse1_, *parse2_, first);
    if (found)
        limit = std::clamp(parse2_->Pos() - start, position, p.Length());
    return found;
}

bool TCodeMemo::findStop(int32_t index, int32_t position, int32_t& limit) {
    int top = TopKeyEntry(ContextInForce(paragraphs_[index], position));
    if (top < 0)
        return false;
    if ((top & 0x8000) != 0 && (top & 0x7FFF) < startStopKeys_->Count()) {
        TKeyMatchScope scope{*this, *startStopKeys_, separators_, 0, false};
        return MatchStopKey(scope, index, position, limit, top & 0x7FFF);
    }
    return highlighter_ != nullptr && callHook(false, index, position, limit, limit);
}

bool TCodeMemo::findStart(int32_t index, int32_t position, int32_t& limit) {
    TKeyMatchScope scope{*this, *startStopKeys_, separators_, 0, false};
    TStartKeyMatch match;
    const bool keyFound = ApplyStartStopKeysEnabled && FindStartKeyMatch(scope, index, position, limit, match);
    // The highlighter may open something before the memo's own key: the
    // earlier start wins, so a key inside a tag does not break the tag.
    if (highlighter_ != nullptr && (!keyFound || match.Offset > position) &&
        callHook(true, index, position, keyFound ? match.Offset : limit, limit))
        return true;
    return keyFound && OpenStartKey(scope, index, match, limit);
}

void TCodeMemo::parseParagraph(int32_t index) {
    TParagraph& p = paragraphs_[index];
    const bool keys = ApplyStartStopKeysEnabled && startStopKeys_->Count() > 0;
    const bool keywords = ApplyKeyWordsEnabled && keywords_->Count() > 0;
    if (!keys && highlighter_ == nullptr && (!keywords || p.Contexts.empty())) {
        // Nothing to find and nothing to rebuild: records put in force from
        // outside stay as they are.
        p.Parsed = 1;
        return;
    }
    // Everything but styled stretches without keys is rebuilt now.
    std::vector<TContextRecord> before = p.Contexts;
    std::erase_if(p.Contexts, [](const TContextRecord& record) { return !IsStyledWithoutKeys(record); });
    if (keys && !startStopKeys_->Prepared())
        startStopKeys_->Prepare(separators_);

    const int32_t end = p.Length();
    int32_t scan = 0;
    int32_t lastScan = -1;
    int idleRounds = 0;
    while (true) {
        // Styled stretches without keys keep their look: parsing skips them.
        while (scan < end && IsStyledWithoutKeys(ContextInForce(p, scan))) {
            int32_t next = NextContextOffset(p, scan);
            scan = next < 0 || next > end ? end : next;
        }
        int32_t limit = end;
        for (int32_t next = NextContextOffset(p, scan); next >= 0 && next < end; next = NextContextOffset(p, next)) {
            if (IsStyledWithoutKeys(ContextInForce(p, next))) {
                limit = next;
                break;
            }
        }
        findStop(index, scan, limit);
        bool started = findStart(index, scan, limit);
        scan = std::max(limit, scan);
        if (scan >= end && !started)
            break;
        if (scan > lastScan) {
            lastScan = scan;
            idleRounds = 0;
        } else if (++idleRounds > kRoundsWithoutProgress) {
            break;
        }
    }
    p.Parsed = 1;
    // The keywords went with the other records: line breaking applies them
    // again, over the whole paragraph, since a context that barred them may
    // have gone anywhere in it.
    p.KeywordsApplied = 0;
    // Fonts may change from the first record that changed on; the lines
    // after the edit are laid out again to the paragraph's end (the records
    // an edit removed are gone already, so the comparison cannot tell
    // whether the look behind it changed).
    size_t same = 0;
    while (same < before.size() && same < p.Contexts.size() && before[same].Offset == p.Contexts[same].Offset &&
           SameHighlight(before[same], p.Contexts[same]))
        ++same;
    int32_t changedAt = INT32_MAX;
    if (same < before.size())
        changedAt = before[same].Offset;
    if (same < p.Contexts.size())
        changedAt = std::min(changedAt, p.Contexts[same].Offset);
    if (changedAt != INT32_MAX)
        p.FormatFromLine = std::min(p.FormatFromLine, p.LineOfOffset(changedAt));
    p.RelayoutToEnd = 1;
    if (p.Formatted) {
        p.Formatted = 0;
        scheduleParagraph(index);
    }
}

void TCodeMemo::handOn(int32_t index) {
    if (index + 1 >= paragraphs_.Count())
        return;
    TParagraph& p = paragraphs_[index];
    TParagraph& next = paragraphs_[index + 1];
    const TContextRecord& end = EndContext(p);
    if (SameHighlight(end, *next.BaseContext))
        return;
    // Paragraphs without records of their own share one base context.
    next.BaseContext = p.Contexts.empty() ? p.BaseContext : CopyBaseContext(end);
    next.Parsed = 0;
    next.KeywordsApplied = 0;
    next.Formatted = 0;
    next.FormatFromLine = 0;
    // With another start context every line of it may look different.
    next.RelayoutToEnd = 1;
    validHighlight_ = std::min(validHighlight_, index);
    scheduleParagraph(index + 1);
}

void TCodeMemo::ParseStartStopKeys(TCodeNavigator& from, TCodeNavigator& to) {
    int32_t first = from.ParNumber();
    int32_t last = to.ParNumber();
    if (last < first)
        std::swap(first, last);
    for (int32_t index = first; index <= last; ++index) {
        parseParagraph(index);
        handOn(index);
    }
    to.SetPos(paragraphs_.Start(last) + paragraphs_[last].Length());
    // Records changed: cached context indexes after the range start are stale.
    InvalidateNavigators(paragraphs_.Start(first) - 1, last);
}

void TCodeMemo::ApplyStartStopKeys(TCodeNavigator& from, TCodeNavigator& to) { ParseStartStopKeys(from, to); }

void TCodeMemo::ParseUpTo(int32_t index) {
    index = std::min(index, paragraphs_.Count() - 1);
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
        if (!paragraphs_[i].Parsed) {
            if (!from) {
                from.emplace(this);
                to.emplace(this);
            }
            // Placed on the paragraph just looked up, without looking it
            // up again.
            TParagraph& p = paragraphs_[i];
            const int32_t start = paragraphs_.Start(i);
            from->place(i, p, start, 0);
            to->place(i, p, start, p.Length());
            ApplyStartStopKeys(*from, *to);
            // An override that parses nothing must not be asked again and
            // again for the same paragraph.
            paragraphs_[i].Parsed = 1;
        }
        validHighlight_ = i;
    }
}

void TCodeMemo::ApplyKeywords(TCodeNavigator& from, TCodeNavigator& to) { ApplyKeywordsBetween(from, to); }

void TCodeMemo::ApplyKeywordsBetween(TCodeNavigator& from, TCodeNavigator& to) {
    const int32_t low = std::min(from.Pos(), to.Pos());
    const int32_t high = std::max(from.Pos(), to.Pos());
    if (highlighter_ != nullptr)
        highlighter_->KeywordHook(from, to, keywords_->Count());
    if (ApplyKeyWordsEnabled && keywords_->Count() > 0) {
        TKeywordScope scope{*this, *keywords_, separators_, 0, true, {}};
        ApplyKeywordList(scope, low, high);
    }
}

void TCodeMemo::ApplyContextBetween(int32_t from, int32_t to, const TContextRecord& context) {
    context1_->SetPos(from);
    context2_->SetPos(to);
    ApplyContext(*context1_, *context2_, false, true, context);
}

bool TCodeMemo::FindStartKey(TCodeNavigator& position, TCodeNavigator& limit) {
    return findKeyBetween(false, position, limit);
}

bool TCodeMemo::FindStopKey(TCodeNavigator& position, TCodeNavigator& limit) {
    return findKeyBetween(true, position, limit);
}

bool TCodeMemo::findKeyBetween(bool stopKey, TCodeNavigator& position, TCodeNavigator& limit) {
    const int32_t index = position.ParNumber();
    const int32_t start = paragraphs_.Start(index);
    const int32_t length = paragraphs_[index].Length();
    int32_t offset = std::min(position.ParOffset(), length);
    int32_t end = limit.ParNumber() == index ? std::min(limit.ParOffset(), length) : length;
    bool found = stopKey ? findStop(index, offset, end) : findStart(index, offset, end);
    if (found) {
        limit.SetPos(start + end);
        InvalidateNavigators(start + offset - 1, index);
    }
    return found;
}
