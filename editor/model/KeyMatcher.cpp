#include "editor/model/KeyMatcher.h"

#include "editor/model/CodeDocument.h"
#include "editor/model/ContextEditing.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The deepest a key may open: the key stack holds 16 entries.
constexpr int kDeepestOpening = 15;
// What keyword matching sees in place of text it must not match.
constexpr char kHidden = 5;

// A key at `at` that wants a separator in front of it or behind it (a
// whole-word key) has one there, or meets the paragraph's start or end.
bool standsApart(const TByteSet& separators, std::string_view text, int32_t at, int32_t keyLength, bool before,
                 bool after) {
    if (before && at > 0 && !separators.Contains(static_cast<unsigned char>(text[static_cast<size_t>(at - 1)])))
        return false;
    const auto end = static_cast<size_t>(at + keyLength);
    return !after || end >= text.size() || separators.Contains(static_cast<unsigned char>(text[end]));
}

// Puts a record at the offset, except over a styled record without key
// stack, which parsing leaves alone and which stays in force there.
void putUnlessStyled(TParagraph& p, int32_t offset, const TContextState& record) {
    int32_t next = NextContextOffset(p, offset - 1);
    if (next == offset && IsStyledWithoutKeys(ContextInForce(p, offset)))
        return;
    PutContext(p, offset, record);
}

// The context that encloses a context of the given depth in force at the
// position: the last record before it, in this paragraph or an earlier one,
// with a lower depth; the plain context when there is none.
TContextState enclosingContext(TCodeDocument& document, int32_t index, int32_t position, int depth) {
    const TParagraph* p = document.Paragraph(index);
    // The records that begin at or before the position.
    for (int32_t i = p->ContextIndexAt(position + 1); i > 0;) {
        const TContextState& record = p->Contexts.State(--i);
        if (ContextDepthOf(record) < depth)
            return record;
    }
    TContextId checkedBase = p->BaseContext;
    if (ContextDepthOf(p->Base()) < depth)
        return p->Base();
    for (int32_t i = index - 1; i >= 0; --i) {
        const TParagraph* earlier = document.Paragraph(i);
        for (int32_t r = earlier->Contexts.Count(); r > 0;) {
            const TContextState& record = earlier->Contexts.State(--r);
            if (ContextDepthOf(record) < depth)
                return record;
        }
        // A base context already looked at answers the same again.
        if (earlier->BaseContext == checkedBase)
            continue;
        checkedBase = earlier->BaseContext;
        if (ContextDepthOf(earlier->Base()) < depth)
            return earlier->Base();
    }
    return PlainContext();
}

}  // namespace

bool FindStartKeyMatch(const TKeyMatchScope& scope, int32_t index, int32_t position, int32_t limit,
                       TStartKeyMatch& match) {
    TStartStopKeyList& list = scope.List;
    if (list.Count() == 0)
        return false;
    TParagraph& p = *scope.Document.Paragraph(index);
    const int32_t length = p.Length();
    position = std::clamp(position, 0, length);
    const int32_t lim = std::clamp(limit, position, length);
    if (position >= lim)
        return false;
    const TContextState& inForce = ContextInForce(p, position);
    const int depth = ContextDepthOf(inForce);
    if (depth >= kDeepestOpening)
        return false;
    if (depth >= 0) {
        int top = inForce.KeyStack[depth];
        // Inside a start/stop or highlighter context no key opens.
        if ((top & 0x8000) != 0 && top != 0xFFFF)
            return false;
    }
    if (!list.Prepared())
        list.Prepare(scope.Separators);
    // A key starting before the limit may reach up to the longest key past it.
    const auto windowEnd =
        static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(lim) + list.LongestStart() + 1, length));
    const char* text = p.Text.data();
    const char* upper = nullptr;
    if (list.AnyCaseInsensitive())
        upper = scope.Document.UpperCaseParagraph(&p, index, position, windowEnd - position);
    const int32_t count = list.Count();
    for (int32_t at = position; at < lim; ++at) {
        auto c = static_cast<unsigned char>(text[at]);
        auto folded = upper != nullptr ? static_cast<unsigned char>(upper[at - position]) : c;
        if (!list.MayStartWith(c, folded))
            continue;
        for (int32_t e = 0; e < count; ++e) {
            const TStartStopInfo& entry = list[e];
            const auto keyLength = static_cast<int32_t>(entry.StartKey.size());
            if (keyLength == 0 || at + keyLength > windowEnd)
                continue;
            bool sensitive = (entry.Options & kKeyCaseSensitive) != 0;
            const char* source = sensitive ? text + at : upper + (at - position);
            if (std::memcmp(source, entry.StartKey.data(), static_cast<size_t>(keyLength)) != 0 ||
                !standsApart(scope.Separators, p.Text, at, keyLength, entry.SeparatorBeforeStart,
                             entry.SeparatorAfterStart))
                continue;
            match.Offset = at;
            match.Entry = e;
            return true;
        }
    }
    return false;
}

bool OpenStartKey(const TKeyMatchScope& scope, int32_t index, const TStartKeyMatch& match, int32_t& limit) {
    TParagraph& p = *scope.Document.Paragraph(index);
    const TStartStopInfo& entry = scope.List[match.Entry];
    const int32_t at = match.Offset;
    const auto keyLength = static_cast<int32_t>(entry.StartKey.size());
    // The new context nests in the one in force at the key, which may begin
    // right there (the record that restored it after a stop key): take it
    // before the records under the key go.
    TContextState record = ContextInForce(p, at);
    if (ContextDepthOf(record) + 1 >= TContextState::kStackSize)
        return false;
    PushKeyEntry(p, at, record, static_cast<uint16_t>(0x8000 | ((scope.FirstIdentifier + match.Entry) & 0x7FFF)));
    RemoveContexts(p, at, at + keyLength);
    SetContextLook(record, entry.Style, entry.Background, entry.Foreground, entry.ContextNumber, entry.Tag);
    record.StartKeyLength = static_cast<uint8_t>(keyLength + (entry.SeparatorAfterStart ? 1 : 0));
    record.StopKeyLength = static_cast<uint8_t>(entry.StopLength);
    PutContext(p, at, record);
    limit = at + keyLength;
    return true;
}

bool MatchStartKey(const TKeyMatchScope& scope, int32_t index, int32_t position, int32_t& limit) {
    TStartKeyMatch match;
    return FindStartKeyMatch(scope, index, position, limit, match) && OpenStartKey(scope, index, match, limit);
}

bool MatchStopKey(const TKeyMatchScope& scope, int32_t index, int32_t position, int32_t& limit, int32_t e) {
    TStartStopKeyList& list = scope.List;
    if (e < 0 || e >= list.Count())
        return false;
    if (!list.Prepared())
        list.Prepare(scope.Separators);
    TParagraph& p = *scope.Document.Paragraph(index);
    const int32_t length = p.Length();
    position = std::clamp(position, 0, length);
    const int32_t lim = std::clamp(limit, position, length);
    const TStartStopInfo& entry = list[e];
    const TContextState current = ContextInForce(p, position);
    const int depth = ContextDepthOf(current);
    if (depth < 0)
        return false;
    const char* text = p.Text.data();

    int32_t found = -1;
    int32_t keyLength = 0;
    if (scope.Extended && entry.EndMode == kEndAtSeparator) {
        // The context ends at the first separator (or the paragraph end).
        for (int32_t at = position; at < lim; ++at)
            if (scope.Separators.Contains(static_cast<unsigned char>(text[at]))) {
                found = at;
                break;
            }
    } else if (!entry.StopKey.empty()) {
        keyLength = static_cast<int32_t>(entry.StopKey.size());
        const int32_t before = keyLength + (entry.SeparatorBeforeStop ? 1 : 0);
        int32_t windowStart = std::max(position - before, 0);
        // Never inside the key that opened the context: when two keys are
        // the same characters, the start key must not end its own context.
        if (const int32_t own = RecordBefore(p, position + 1); own >= 0)
            windowStart =
                std::max(windowStart, std::min(p.Contexts.Offset(own) + p.Contexts.State(own).StartKeyLength, length));
        const int32_t after = keyLength + (entry.SeparatorAfterStop ? 1 : 0);
        int64_t windowEnd = static_cast<int64_t>(lim) + after;
        const bool clipped = windowEnd >= length;
        if (clipped)
            windowEnd = length;
        bool sensitive = (entry.Options & kKeyCaseSensitive) != 0;
        const char* haystack = text;
        int32_t base = 0;
        if (!sensitive && windowEnd > windowStart) {
            haystack = scope.Document.UpperCaseParagraph(&p, index, windowStart, static_cast<int32_t>(windowEnd) - windowStart);
            base = windowStart;
        }
        // With a separator required after the key (and not at the paragraph
        // end), the window's last character only serves that test.
        const int64_t lastEnd = entry.SeparatorAfterStop && !clipped ? windowEnd - 1 : windowEnd;
        std::string_view view(haystack, static_cast<size_t>(std::max<int64_t>(windowEnd - base, 0)));
        size_t from = static_cast<size_t>(windowStart - base);
        while (true) {
            size_t hit = view.find(entry.StopKey, from);
            if (hit == std::string_view::npos)
                break;
            auto at = static_cast<int32_t>(hit) + base;
            if (at + keyLength > lastEnd)
                break;
            if (standsApart(scope.Separators, p.Text, at, keyLength, entry.SeparatorBeforeStop,
                            entry.SeparatorAfterStop)) {
                found = at;
                break;
            }
            from = hit + 1;
        }
    }
    if (found < 0) {
        if ((entry.EndsAtParagraphEnd || (scope.Extended && entry.EndMode == kEndAtSeparator)) && lim == length) {
            found = length;
            keyLength = 0;
        } else {
            return false;
        }
    }

    if (keyLength > 0) {
        RemoveContexts(p, found, found + keyLength);
        if (const int32_t before = RecordBefore(p, found); before >= 0)
            SetStopKeyLength(p, before, static_cast<uint8_t>(keyLength + (entry.SeparatorBeforeStop ? 1 : 0)));
    }
    limit = found + keyLength;

    // A linked entry follows on at the same depth; otherwise the context
    // that was in force before this one is restored.
    int32_t follow = -1;
    for (int32_t j = e + 1; j < list.Count(); ++j) {
        const TStartStopInfo& candidate = list[j];
        if (candidate.Link != e)
            continue;
        if (scope.Extended && (candidate.EndMode != entry.EndMode || candidate.Level != entry.Level))
            continue;
        follow = j;
        break;
    }
    if (follow >= 0) {
        const TStartStopInfo& next = list[follow];
        TContextState record = current;
        record.KeyStack[depth] = static_cast<uint16_t>(0x8000 | ((scope.FirstIdentifier + follow) & 0x7FFF));
        SetContextLook(record, next.Style, next.Background, next.Foreground, next.ContextNumber, next.Tag);
        record.StartKeyLength = 0;
        record.StopKeyLength = static_cast<uint8_t>(next.StopLength);
        putUnlessStyled(p, limit, record);
    } else {
        TContextState record = enclosingContext(scope.Document, index, position, depth);
        record.StartKeyLength = 0;
        putUnlessStyled(p, limit, record);
    }
    return true;
}

void ApplyKeywordList(const TKeywordScope& scope, int32_t from, int32_t to) {
    const TKeywordList& list = scope.List;
    const int count = list.Count();
    if (count == 0)
        return;
    TCodeDocument& document = scope.Document;
    if (from > to)
        std::swap(from, to);
    const TParagraphsList& paragraphs = document.ParagraphList();
    const int32_t first = paragraphs.IndexOfOffset(from);
    const int32_t last = paragraphs.IndexOfOffset(to);
    const int32_t longest = list.LongestLength();

    struct TOccurrence {
        int32_t Start;
        int32_t End;
        int Keyword;
    };
    std::vector<TOccurrence> occurrences;
    std::string plain;
    std::string folded;
    // Hides a stretch of the window (offsets in it) from the keywords still
    // to be searched: a byte that is no keyword's, in both copies.
    auto hide = [&](int32_t from, int32_t to) {
        std::fill(plain.begin() + from, plain.begin() + to, kHidden);
        if (!folded.empty())
            std::fill(folded.begin() + from, folded.begin() + to, kHidden);
    };

    for (int32_t index = first; index <= last; ++index) {
        TParagraph& p = paragraphs[index];
        const int32_t start = paragraphs.Start(index);
        const int32_t length = p.Length();
        const int32_t a = index == first ? std::clamp(from - start, 0, length) : 0;
        const int32_t b = index == last ? std::clamp(to - start, 0, length) : length;
        const int32_t windowStart = std::max(a - longest - 1, 0);
        const int32_t windowEnd = std::min(b + longest, length);
        if (windowEnd <= windowStart)
            continue;
        const int32_t size = windowEnd - windowStart;
        plain.assign(p.Text, static_cast<size_t>(windowStart), static_cast<size_t>(size));
        if (list.AnyCaseInsensitive())
            folded.assign(document.UpperCaseParagraph(&p, index, windowStart, size), static_cast<size_t>(size));
        else
            folded.clear();

        if (scope.MaskBarred) {
            // No keyword matches under a context that bars keywords.
            int32_t masked = 0;
            int32_t at = windowStart;
            while (at < windowEnd) {
                const TContextState& inForce = ContextInForce(p, at);
                int32_t next = NextContextOffset(p, at);
                int32_t stretchEnd = next < 0 ? windowEnd : std::min(next, windowEnd);
                if (ContextNumberOf(inForce) != 0) {
                    hide(at - windowStart, stretchEnd - windowStart);
                    masked += stretchEnd - at;
                }
                at = stretchEnd;
            }
            if (masked == size)
                continue;
        }

        occurrences.clear();
        for (int k = 0; k < count; ++k) {
            const TKeywordAttributes* attributes = list.Attributes(k);
            if (attributes == nullptr || attributes->ContextNumber == 0)
                continue;
            const std::string& key = list.FoldedKey(k);
            const auto keyLength = static_cast<int32_t>(key.size());
            if (keyLength == 0)
                continue;
            const bool sensitive = (attributes->Options & kKeyCaseSensitive) != 0;
            const bool whole = (attributes->Options & kKeyWholeWord) != 0;
            std::string& haystack = sensitive || folded.empty() ? plain : folded;
            const int32_t searchFrom = std::max(a - keyLength, windowStart) - windowStart;
            const int32_t searchTo = std::min(b + keyLength, windowEnd) - windowStart;
            size_t hit = haystack.find(key, static_cast<size_t>(searchFrom));
            while (hit != std::string::npos && static_cast<int32_t>(hit) + keyLength <= searchTo) {
                auto at = static_cast<int32_t>(hit);
                bool ok = true;
                if (whole) {
                    // A match never begins at the window's first character
                    // unless that begins the paragraph, but it may end at
                    // the window's last: the character behind it is then
                    // read from the paragraph.
                    if (at > 0 && !scope.Separators.Contains(static_cast<unsigned char>(plain[static_cast<size_t>(at - 1)])))
                        ok = false;
                    const int32_t after = at + keyLength;
                    if (after < size) {
                        if (!scope.Separators.Contains(static_cast<unsigned char>(plain[static_cast<size_t>(after)])))
                            ok = false;
                    } else if (windowEnd < length &&
                               !scope.Separators.Contains(static_cast<unsigned char>(p.Text[static_cast<size_t>(windowEnd)]))) {
                        ok = false;
                    }
                }
                if (!ok) {
                    hit = haystack.find(key, hit + 1);
                    continue;
                }
                // Later keywords never overlap this one.
                hide(at, at + keyLength);
                occurrences.push_back({windowStart + at, windowStart + at + keyLength, k});
                hit = haystack.find(key, hit + static_cast<size_t>(keyLength));
            }
        }
        std::sort(occurrences.begin(), occurrences.end(),
                  [](const TOccurrence& x, const TOccurrence& y) { return x.Start < y.Start; });
        for (const TOccurrence& occurrence : occurrences) {
            TParagraph& current = *document.Paragraph(index);
            const TContextState& inForce = ContextInForce(current, occurrence.Start);
            const int depth = ContextDepthOf(inForce);
            if (depth >= kDeepestOpening)
                continue;
            if (scope.Filter && !scope.Filter(occurrence.Keyword, index, occurrence.Start, occurrence.End, inForce))
                continue;
            const TKeywordAttributes& attributes = *list.Attributes(occurrence.Keyword);
            TContextState record = inForce;
            PushKeyEntry(current, occurrence.Start, record,
                         static_cast<uint16_t>((scope.FirstIdentifier + occurrence.Keyword) & 0x7FFF));
            SetContextLook(record, attributes.Style, attributes.Background, attributes.Foreground,
                           attributes.ContextNumber, attributes.Tag);
            const int32_t keyLength = std::min(occurrence.End - occurrence.Start, 255);
            record.StartKeyLength = static_cast<uint8_t>(keyLength);
            record.StopKeyLength = static_cast<uint8_t>(keyLength);
            document.Highlighting().ApplyContextBetween(start + occurrence.Start, start + occurrence.End, record);
        }
    }
}
