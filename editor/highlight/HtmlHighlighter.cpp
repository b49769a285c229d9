#include "editor/highlight/HtmlHighlighter.h"

#include "editor/model/CodeDocument.h"
#include "editor/model/CodeNavigator.h"
#include "editor/model/ContextEditing.h"
#include "editor/model/StyleCodes.h"
#include "editor/model/UpperCase.h"
#include "editor/highlight/HookStretch.h"
#include "editor/highlight/HtmlElements.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <typeinfo>

namespace {

bool isEntityCharacter(char c) {
    return c == '#' || c == '&' || c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
           (c >= 'A' && c <= 'Z');
}

// The deepest key-stack entry; an HTML context is never pushed beyond it.
constexpr int kDeepest = TContextState::kStackSize - 1;

// A paragraph's text as the hooks read it: byte after byte through a
// reader, searches and copies through the text (which never moves its
// bytes for them).
struct TScanText {
    const TParagraphText& Whole;
    TParagraphText::TReader Bytes;
    explicit TScanText(const TParagraphText& text) : Whole(text), Bytes(text) {}
    char operator[](size_t index) const { return Bytes[index]; }
    size_t size() const { return Whole.size(); }
    // Whether the bytes from pos on begin with key.
    bool At(size_t pos, std::string_view key) const {
        if (pos + key.size() > size())
            return false;
        for (size_t i = 0; i < key.size(); ++i)
            if (Bytes[pos + i] != key[i])
                return false;
        return true;
    }
    size_t find(char c, size_t pos) const { return Whole.find(c, pos); }
};

// One paragraph of one document, as the hooks see it.
struct TScan {
    TCodeDocument& Document;
    int32_t Index;
    TParagraph& Paragraph;
    int32_t Start;  // absolute offset of the paragraph
    // Read where it stands: parsing around an edit passes the gap.
    TScanText Text;
    // The stretch a hook examines, in the paragraph: from the position to
    // the limit, or to the paragraph's end when the limit lies beyond it.
    int32_t At;
    int32_t End;
    int32_t Length() const { return static_cast<int32_t>(Text.size()); }
};

// The paragraph at a hook's position; none when the position has no document.
std::optional<TScan> scanAt(TCodeNavigator& position, TCodeNavigator& limit) {
    const THookStretch stretch = HookStretchOf(position, limit);
    if (stretch.Document == nullptr)
        return std::nullopt;
    TParagraph& paragraph = *stretch.Paragraph;
    return TScan{*stretch.Document, stretch.Index, paragraph, stretch.Start, TScanText(paragraph.Text), stretch.Position,
                 stretch.Limit};
}

// What makes the state WriteHtmlContext writes: the state in force, how
// it is nested and how it looks.  A page's markup comes back to a few dozen
// states again and again, so the state made of each is remembered instead
// of being built and looked up in the state table anew.  The parts are
// packed into three words, hashed and compared whole (every record the
// highlighter writes asks here).
struct TMadeState {
    uint64_t Words[3] = {};
    bool operator==(const TMadeState&) const = default;

    TMadeState() = default;
    TMadeState(TContextId in, const THighlightInfo& style, int32_t number, uint16_t entry, uint8_t startKeyLength,
               uint8_t stopKeyLength, bool push)
        : Words{uint64_t{in} | uint64_t{entry} << 32 | uint64_t{style.StyleByte()} << 48 |
                    uint64_t{startKeyLength} << 56,
                uint64_t{static_cast<uint32_t>(style.Background())} |
                    uint64_t{static_cast<uint32_t>(style.Foreground())} << 32,
                uint64_t{static_cast<uint32_t>(number)} | uint64_t{stopKeyLength} << 32 | uint64_t{push} << 40} {}
};

struct TMadeStates {
    static constexpr size_t kSlots = 1024;
    struct TSlot {
        TMadeState Key;
        TContextId Made = 0;
        // The key-stack depth of the state in force (the key holds its
        // number): a state found here is written without reading that one.
        int8_t DepthIn = 0;
        bool Used = false;
    };
    TSlot Slots[kSlots];
    static size_t SlotOf(const TMadeState& key) {
        const uint64_t hash = key.Words[0] * 0x9E3779B97F4A7C15ull ^ key.Words[1] * 0xC2B2AE3D27D4EB4Full ^
                              key.Words[2] * 0x165667B19E3779F9ull;
        return static_cast<size_t>(hash >> 54);
    }
};

TMadeStates madeStates;

// Writes one HTML context at an offset, built from the record in force
// there: pushed one level deeper (or when the stack is empty), or in place
// of the top entry.
// The record is built from the one in force at `from` (by default the
// offset itself).
void WriteHtmlContext(TScan& scan, const THighlightInfo& style, int32_t offset, bool push, int32_t startKeyLength,
                      int32_t stopKeyLength, int32_t identifier, int32_t number, int32_t from = -1) {
    const TContextId in = ContextIdInForce(scan.Paragraph, from >= 0 ? from : offset);
    const auto entry = static_cast<uint16_t>(0x8000 | (identifier & 0x7FFF));
    const auto startLength = static_cast<uint8_t>(std::clamp(startKeyLength, 0, 255));
    const auto stopLength = static_cast<uint8_t>(std::clamp(stopKeyLength, 0, 255));
    // (Whether it is pushed follows from push and the state in force.)
    const TMadeState key(in, style, number, entry, startLength, stopLength, push);
    TMadeStates::TSlot& slot = madeStates.Slots[TMadeStates::SlotOf(key)];
    if (!slot.Used || !(slot.Key == key)) {
        TContextState record = ContextState(in);
        const int depth = ContextDepthOf(record);
        if ((push || depth < 0) && depth < kDeepest) {
            record.Depth = static_cast<int8_t>(depth + 1);
            record.KeyStack[depth + 1] = entry;
        } else {
            record.KeyStack[depth] = entry;  // in place of the top entry (also on a full stack)
        }
        SetContextLook(record, style.StyleByte(), style.Background(), style.Foreground(), number, 0);
        record.StartKeyLength = startLength;
        record.StopKeyLength = stopLength;
        slot = {key, InternContext(record), static_cast<int8_t>(depth), true};
    }
    // Nested in a context on the key stack: the record before the offset
    // no longer ends at a stop key there.
    const int depth = slot.DepthIn;
    if (push && depth >= 0 && depth < kDeepest)
        if (const int32_t before = RecordBefore(scan.Paragraph, offset); before >= 0)
            SetStopKeyLength(scan.Paragraph, before, 0);
    PutContext(scan.Paragraph, offset, slot.Made);
}

void endContext(TScan& scan, int32_t offset) { PutContext(scan.Paragraph, offset, PlainContextId()); }

// The first "<" or "&" of text[from, to), or -1: a byte test on words of
// eight bytes at a time over long stretches of prose.
int32_t FirstTagOrEntity(std::string_view text, int32_t from, int32_t to) {
    const char* bytes = text.data();
    int32_t i = from;
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    for (; i + 8 <= to; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        const uint64_t lt = word ^ (kOnes * '<');
        const uint64_t amp = word ^ (kOnes * '&');
        // A zero byte in either: the classic test, exact for the first one.
        if ((((lt - kOnes) & ~lt) | ((amp - kOnes) & ~amp)) & kHighs)
            break;
    }
    for (; i < to; ++i)
        if (bytes[i] == '<' || bytes[i] == '&')
            return i;
    return -1;
}

// The same in a paragraph's text, piece by piece around its gap.
int32_t FirstTagOrEntity(const TScanText& text, int32_t from, int32_t to) {
    const TParagraphText::TPieces pieces = text.Whole.Pieces(static_cast<size_t>(from), static_cast<size_t>(to));
    const int32_t first = FirstTagOrEntity(pieces.First, 0, static_cast<int32_t>(pieces.First.size()));
    if (first >= 0)
        return from + first;
    const int32_t second = FirstTagOrEntity(pieces.Second, 0, static_cast<int32_t>(pieces.Second.size()));
    return second >= 0 ? static_cast<int32_t>(pieces.SecondAt) + second : -1;
}

// The first occurrence of a key between two offsets of the text (the key
// must lie inside them), or -1.
int32_t findIn(std::string_view text, std::string_view key, int32_t from, int32_t to) {
    if (to - from < static_cast<int32_t>(key.size()))
        return -1;
    size_t at = text.substr(0, static_cast<size_t>(to)).find(key, static_cast<size_t>(from));
    return at == std::string_view::npos ? -1 : static_cast<int32_t>(at);
}
int32_t findIn(const TScanText& text, std::string_view key, int32_t from, int32_t to) {
    const size_t at = text.Whole.Find(key, static_cast<size_t>(std::max(from, 0)), static_cast<size_t>(std::max(to, 0)));
    return at == TParagraphText::npos ? -1 : static_cast<int32_t>(at);
}

// The first occurrence of an upper-case key, in any letter case by the
// document's folding rule, between two offsets (the key inside them), or
// -1.  Its first two bytes are no letters: under the built-in rules only
// they fold to themselves, so the text is searched where it lies for them
// and only the rest of each candidate is folded; the search ends at the
// first match, however long the paragraph behind it.  A routine of the
// application's may fold anything to anything: then the stretch is folded
// whole, as it must be.
int32_t findFolded(TCodeDocument& document, TParagraph& paragraph, int32_t index, const TScanText& text,
                   std::string_view key, int32_t from, int32_t to) {
    const auto keyLength = static_cast<int32_t>(key.size());
    if (to - from < keyLength)
        return -1;
    const TpmUpperCase rule = document.FoldingRule();
    if (rule == pmuUserDefined) {
        const char* upper = document.UpperCaseParagraph(&paragraph, index, from, to - from);
        const int32_t found = findIn(std::string_view(upper, static_cast<size_t>(to - from)), key, 0, to - from);
        return found < 0 ? -1 : from + found;
    }
    const std::string_view head = key.substr(0, 2);
    for (int32_t at = from;;) {
        const int32_t candidate = findIn(text, head, at, to);
        if (candidate < 0 || candidate + keyLength > to)
            return -1;
        char rest[16];
        const auto restLength = std::min<int32_t>(keyLength - 2, static_cast<int32_t>(sizeof rest));
        for (int32_t i = 0; i < restLength; ++i)
            rest[i] = text[static_cast<size_t>(candidate + 2 + i)];
        UpperCaseBuffer(rule, rest, restLength);
        if (std::string_view(rest, static_cast<size_t>(restLength)) == key.substr(2))
            return candidate;
        at = candidate + 1;
    }
}

}  // namespace

THtmlHighlighter::THtmlHighlighter(TComponent* owner) : TCustomExtHighlighter(owner) {
    auto changed = [this](THighlightInfo*) { styleChanged(); };
    bracket_ = THighlightInfo(fsBold, -1, clBlue, changed);
    defaultText_ = THighlightInfo(0, -1, clWindowText, changed);
    htmlKeyword_ = THighlightInfo(fsBold, -1, clNavy, changed);
    htmlTag_ = THighlightInfo(fsItalic, -1, clGreen, changed);
    htmlComment_ = THighlightInfo(fsItalic, -1, clOlive, changed);
    htmlAttribute_ = THighlightInfo(0, -1, clGreen, changed);
    htmlAttributeValue_ = THighlightInfo(0, -1, clGray, changed);
    scriptTag_ = THighlightInfo(fsBold, clWindow, clPurple, changed);
    scriptContent_ = THighlightInfo(0x20, -1, clWindowText, changed);
    specialChars_ = THighlightInfo(0, -1, clFuchsia, changed);
    unknownTag_ = THighlightInfo(0, -1, clRed, changed);
}

void THtmlHighlighter::styleChanged() {
    // At run time the callers re-highlight when they need to; a designer
    // sees every change at once.
    if ((ComponentState() & csDesigning) != 0 && !IsLoading())
        ReApplyToDocuments();
}

void THtmlHighlighter::Loaded() {
    TCodeHighlighter::Loaded();
    ReApplyToDocuments();
}

bool THtmlHighlighter::StartKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t first) {
    std::optional<TScan> scanned = scanAt(position, limit);
    if (!scanned)
        return false;
    TScan& scan = *scanned;
    auto& [document, index, paragraph, start, text, at, end] = scan;
    const int32_t length = scan.Length();

    const TContextState& inForce = ContextInForce(paragraph, at);
    if (ContextDepthOf(inForce) >= kDeepest)
        return false;
    const int32_t number = ContextNumberOf(inForce);

    if (number == 0) {
        // Plain text: a tag, a comment or an entity begins at the next "<" or "&".
        const int32_t found = FirstTagOrEntity(text, at, end);
        if (found >= 0) {
            if (text[static_cast<size_t>(found)] == '&') {
                WriteHtmlContext(scan, specialChars_, found, true, 1, 1, first + kEntity, 10);
                limit.SetPosIn(paragraph, start, found + 1);
            } else if (text.At(static_cast<size_t>(found), "<!--")) {
                WriteHtmlContext(scan, htmlComment_, found, true, 3, 4, first + kComment, 3);
                limit.SetPosIn(paragraph, start, found + 4);
            } else {
                WriteHtmlContext(scan, bracket_, found, true, 1, 1, first, 4);
                limit.SetPosIn(paragraph, start, found + 1);
            }
            return true;
        }
    } else if (number == 4) {
        // Just after a "<": a server block or an element name.
        const char c = at < length ? text[static_cast<size_t>(at)] : '\0';
        if (at < length && (c == '%' || c == '?')) {
            bool percent = c == '%';
            WriteHtmlContext(scan, scriptContent_, at, false, 1, 2, first + (percent ? kPercentBlock : kQuestionBlock),
                         percent ? 2 : 11);
            limit.SetPosIn(paragraph, start, at + 1);
            return true;
        }
        // Tag text is separated by blanks, tabs included: a tab after an
        // element name must not make the name unknown.
        int32_t nameEnd = at;
        while (nameEnd < end && !IsBlank(text[static_cast<size_t>(nameEnd)]) && text[static_cast<size_t>(nameEnd)] != '>')
            ++nameEnd;
        const int32_t nameLength = nameEnd - at;
        int element = -1;
        bool closing = false;
        if (xmlSyntax_) {
            element = 1;
        } else if (nameLength > 0 && nameLength <= kLongestHtmlElementName + 1) {
            // (A longer name, with or without the "/" of a closing tag, is
            // no element's.)  Folded as the document folds text.
            char upper[kLongestHtmlElementName + 1];
            for (int32_t i = 0; i < nameLength; ++i)
                upper[i] = text[static_cast<size_t>(at + i)];
            UpperCaseBuffer(document.FoldingRule(), upper, nameLength);
            closing = upper[0] == '/';
            int skip = closing ? 1 : 0;
            element = FindHtmlElement(upper + skip, nameLength - skip, closing);
        }
        RemoveContexts(paragraph, at, nameEnd);
        if (element >= 0) {
            WriteHtmlContext(scan, htmlKeyword_, at, false, nameLength, nameLength, first + element, 5);
            bool attributes = HtmlElement(element).Attributes && !closing;
            WriteHtmlContext(scan, attributes ? htmlTag_ : unknownTag_, nameEnd, false, 0, 0, first + element,
                         attributes ? 1 : 6);
        } else {
            WriteHtmlContext(scan, unknownTag_, at, false, nameLength, 0, first + kUnknownName, 6);
        }
        limit.SetPosIn(paragraph, start, nameEnd);
        return true;
    } else if (number == 1) {
        // Inside a tag that takes attributes: the next "name=value".
        const size_t found = text.find('=', static_cast<size_t>(at));
        const int32_t equals = found < static_cast<size_t>(std::max(end, 0)) ? static_cast<int32_t>(found) : -1;
        if (equals >= 0) {
            // The name runs back over blanks and then over the word before
            // them, but never back before the position being scanned.
            int32_t nameStart = equals;
            while (nameStart > at && IsBlank(text[static_cast<size_t>(nameStart - 1)]))
                --nameStart;
            while (nameStart > at && !IsBlank(text[static_cast<size_t>(nameStart - 1)]))
                --nameStart;
            const TContextState tag = inForce;
            const int32_t span = equals + 1 - nameStart;
            WriteHtmlContext(scan, htmlAttribute_, nameStart, false, span, span, first, 8);

            int32_t valueStart = equals + 1;
            int32_t valueEnd = valueStart;
            while (valueEnd < length && IsBlank(text[static_cast<size_t>(valueEnd)]))
                ++valueEnd;
            const char quote = valueEnd < length ? text[static_cast<size_t>(valueEnd)] : '\0';
            if (valueEnd < length && (quote == '"' || quote == '\'')) {
                size_t close = text.find(quote, static_cast<size_t>(valueEnd) + 1);
                valueEnd = close == std::string_view::npos ? length : static_cast<int32_t>(close) + 1;
            } else {
                while (valueEnd < length && !IsBlank(text[static_cast<size_t>(valueEnd)]) &&
                       text[static_cast<size_t>(valueEnd)] != '>')
                    ++valueEnd;
            }
            RemoveContexts(paragraph, valueStart, valueEnd);
            const int32_t valueSpan = valueEnd - valueStart;
            WriteHtmlContext(scan, htmlAttributeValue_, valueStart, false, valueSpan, valueSpan, first, 9);
            // The tag goes on after the value.
            PutContext(paragraph, valueEnd, tag);
            limit.SetPosIn(paragraph, start, valueEnd);
            return true;
        }
    }
    // Nothing of HTML's own: the highlighter's lists and its SubHighlighter.
    return TCustomExtHighlighter::StartKeyHook(position, limit, first + kOwnIdentifiers);
}

int32_t THtmlHighlighter::ResumeLookBack(const TContextState& state, int32_t first) const {
    // A class derived from this one may look elsewhere with hooks of its
    // own; and keys of the highlighter's own may open inside any context.
    if (typeid(*this) != typeid(THtmlHighlighter) || !OpensNothing())
        return -1;
    const int top = TopKeyEntry(state);
    if (top < 0 || (top & 0x8000) == 0 || top == 0xFFFF)
        return -1;
    const int32_t identifier = (top & 0x7FFF) - first;
    if (identifier < 0 || identifier >= kOwnIdentifiers)
        return -1;
    // How far StopKeyHook looks back for each of them.
    switch (ContextNumberOf(state)) {
    case 2:
    case 11:
        return identifier == 0 ? 10 : 2;
    case 3:
        return 3;
    default:
        return -1;
    }
}

bool THtmlHighlighter::StopHookMayEnd(const TContextState& state, int32_t first) const {
    // The contexts StopKeyHook looks for an end of.
    switch (ContextNumberOf(state)) {
    case 1:
    case 2:
    case 3:
    case 6:
    case 10:
    case 11:
        return true;
    default:
        break;
    }
    const int top = TopKeyEntry(state);
    const int32_t identifier = (top & 0x7FFF) - first;
    if (top < 0 || (top & 0x8000) == 0 || identifier < 0 || identifier >= kOwnIdentifiers)
        return true;
    // A class derived from this one may end contexts with a stop hook of
    // its own.
    return typeid(*this) != typeid(THtmlHighlighter);
}

bool THtmlHighlighter::StopKeyHook(TCodeNavigator& position, TCodeNavigator& limit, int32_t first) {
    std::optional<TScan> scanned = scanAt(position, limit);
    if (!scanned)
        return false;
    TScan& scan = *scanned;
    auto& [document, index, paragraph, start, text, at, end] = scan;
    const int32_t length = scan.Length();

    const TContextState& inForce = ContextInForce(paragraph, at);
    const int top = TopKeyEntry(inForce);
    if (top < 0 || (top & 0x8000) == 0)
        return false;
    const int32_t identifier = top & 0x7FFF;
    if (identifier - first >= kOwnIdentifiers)
        return TCustomExtHighlighter::StopKeyHook(position, limit, first + kOwnIdentifiers);

    switch (ContextNumberOf(inForce)) {
    case 1:
    case 6: {
        int32_t close = findIn(text, ">", at, end);
        if (close < 0)
            return false;
        WriteHtmlContext(scan, bracket_, close, false, 1, 2, first, 7);
        // After a SCRIPT start tag comes script content.
        // Built on the bracket: a content context left there by an earlier
        // round must not be pushed on twice.
        if (identifier == first)
            WriteHtmlContext(scan, scriptContent_, close + 1, true, 0, 10, first, 2, close);
        else
            endContext(scan, close + 1);
        limit.SetPosIn(paragraph, start, close + 1);
        return true;
    }
    case 2:
    case 11: {
        if (identifier == first) {
            // Script content ends at "</SCRIPT>" in any letter case.
            int32_t from = std::max(at - 10, 0);
            int32_t to = std::min(end + 10, length);
            if (to - from < 9)
                return false;
            const int32_t found = findFolded(document, paragraph, index, text, "</SCRIPT>", from, to);
            if (found < 0)
                return false;
            WriteHtmlContext(scan, bracket_, found, true, 9, 10, first, 7);
            endContext(scan, found + 9);
            limit.SetPosIn(paragraph, start, found + 9);
            return true;
        }
        const char* key = identifier == first + kQuestionBlock ? "?>" : "%>";
        int32_t found = findIn(text, key, std::max(at - 2, 0), std::min(end + 2, length));
        if (found < 0)
            return false;
        // The "%" or "?" keeps the block's colour.
        WriteHtmlContext(scan, bracket_, found + 1, false, 1, 2, first, 7);
        endContext(scan, found + 2);
        limit.SetPosIn(paragraph, start, found + 2);
        return true;
    }
    case 3: {
        int32_t found = findIn(text, "-->", std::max(at - 3, 0), std::min(end + 3, length));
        if (found < 0)
            return false;
        RemoveContexts(paragraph, at, found + 3);
        endContext(scan, found + 3);
        limit.SetPosIn(paragraph, start, found + 3);
        return true;
    }
    case 10: {
        if (at > 0 && text[static_cast<size_t>(at - 1)] == ';') {
            endContext(scan, at);
            limit.SetPosIn(paragraph, start, at);
            return true;
        }
        int32_t i = at;
        while (i < end && isEntityCharacter(text[static_cast<size_t>(i)]))
            ++i;
        if (i >= end && end < length)
            return false;  // the entity may go on past the limit
        if (i < length && text[static_cast<size_t>(i)] == ';')
            ++i;
        endContext(scan, i);
        limit.SetPosIn(paragraph, start, i);
        return true;
    }
    default:
        return false;
    }
}
