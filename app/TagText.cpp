#include "app/TagText.h"

#include "platform/base/Exceptions.h"

#include <algorithm>
#include <set>

namespace {

// How many "<" that open no tag of their own (they stand in a quoted
// value, or in text) the search walks back over.
constexpr int kStrayOpenings = 8;

// The last "<" at an offset from..lower (downwards), or -1.
int32_t previousOpening(TTextSource& text, int32_t from, int32_t lower) {
    for (int32_t i = from; i >= lower; --i)
        if (text.At(i) == '<')
            return i;
    return -1;
}

// The first "<" at an offset from..before - 1, or -1.
int32_t nextOpening(TTextSource& text, int32_t from, int32_t before) {
    for (int32_t i = from; i < before; ++i)
        if (text.At(i) == '<')
            return i;
    return -1;
}

int32_t limitFrom(const TTextSource& text, int32_t start) {
    return static_cast<int32_t>(std::min<int64_t>(text.Length(), int64_t{start} + kMaxTagLength));
}

// A comment's end: the ">" of the first "-->" after "<!--".
int32_t commentEnd(TTextSource& text, int32_t p, int32_t limit) {
    int dashes = 0;
    for (; p < limit; ++p) {
        const char c = text.At(p);
        if (c == '>' && dashes >= 2)
            return p;
        dashes = c == '-' ? dashes + 1 : 0;
    }
    return -1;
}

bool startsComment(std::string_view text) { return text.substr(0, 3) == "!--"; }

std::string collapseBlanks(std::string_view value) {
    std::string result;
    result.reserve(value.size());
    for (char c : value)
        if (c != ' ' || result.empty() || result.back() != ' ')
            result += c;
    return result;
}

std::string quoted(const std::string& value) {
    char quote = '"';
    std::string inside = value;
    if (value.find('"') != std::string::npos) {
        if (value.find('\'') == std::string::npos)
            quote = '\'';
        else
            inside = ReplaceAll(value, "\"", "&quot;");
    }
    std::string result(1, quote);
    result += inside;
    result += quote;
    return result;
}

} // namespace

bool IsTagBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string UpperCaseName(std::string_view name) {
    std::string result(name);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

int32_t TagEndFrom(TTextSource& text, int32_t start) {
    const int32_t limit = limitFrom(text, start);
    int32_t p = start + 1;
    // "< " is text ("a < b"), not the start of a tag.
    if (p >= limit || IsTagBlank(text.At(p)))
        return -1;
    if (p + 2 < limit && text.At(p) == '!' && text.At(p + 1) == '-' && text.At(p + 2) == '-')
        return commentEnd(text, p + 3, limit);
    // A quote opens a value only after "=" (blanks may stand between).
    bool afterEquals = false;
    for (; p < limit; ++p) {
        const char c = text.At(p);
        if (c == '>')
            return p;
        if (c == '<')
            return -1;
        if (c == '=') {
            afterEquals = true;
        } else if ((c == '"' || c == '\'') && afterEquals) {
            ++p;
            while (p < limit && text.At(p) != c)
                ++p;
            if (p >= limit)
                return -1;
            afterEquals = false;
        } else if (!IsTagBlank(c)) {
            afterEquals = false;
        }
    }
    return -1;
}

TTagSpan FindTagAt(TTextSource& text, int32_t caret) {
    caret = std::clamp(caret, 0, text.Length());
    const int32_t lower = std::max(0, caret - kMaxTagLength);
    int32_t start = previousOpening(text, caret - 1, lower);
    if (start < 0)
        return {};
    // The "<" found may stand in a quoted value of an earlier tag: walk back
    // while the tags before it do not end (they may be quoted too) or end
    // beyond it.  A tag that ends before it makes the walk's last "<" a
    // place outside every tag.
    int stray = 0;
    for (int32_t k = previousOpening(text, start - 1, lower); k >= 0 && stray < kStrayOpenings;
         k = previousOpening(text, k - 1, lower)) {
        const int32_t kEnd = TagEndFrom(text, k);
        if (kEnd < 0) {
            ++stray;
            continue;
        }
        if (kEnd < start)
            break;
        start = k;
    }
    // From there, tag by tag up to the caret: a "<" read inside a quoted
    // value may have seemed to end beyond the tag that holds the caret.
    for (int32_t at = start; at >= 0 && at < caret;) {
        const int32_t end = TagEndFrom(text, at);
        if (end >= caret) {
            if (at + 1 < text.Length() && text.At(at + 1) == '/')
                return {};
            return {at, end};
        }
        at = nextOpening(text, end < 0 ? at + 1 : end + 1, caret);
    }
    return {};
}

std::string TextOfSpan(TTextSource& text, int32_t from, int32_t to) {
    from = std::clamp(from, 0, text.Length());
    to = std::clamp(to, from, text.Length());
    std::string result;
    result.reserve(static_cast<size_t>(to - from));
    for (int32_t i = from; i < to; ++i)
        result += text.At(i);
    return result;
}

std::string ReplaceAll(std::string text, std::string_view oldText, std::string_view newText) {
    if (oldText.empty())
        return text;
    if (newText.find(oldText) != std::string_view::npos)
        throw EConvertError("Cannot perform a cyclic replace.");
    // Text before an occurrence holds none, so a new one can only start
    // where the replacement could complete one.
    size_t from = 0;
    for (size_t at = text.find(oldText); at != std::string::npos; at = text.find(oldText, from)) {
        text.replace(at, oldText.size(), newText);
        from = at >= oldText.size() - 1 ? at - (oldText.size() - 1) : 0;
    }
    return text;
}

TParsedTag ParseTagText(std::string_view text) {
    TParsedTag tag;
    if (!text.empty() && text[0] == '!') {
        tag.Name.assign(1, '!');
        tag.Comment = startsComment(text);
        return tag;
    }
    size_t p = 0;
    while (p < text.size() && !IsTagBlank(text[p]) && text[p] != '/')
        ++p;
    tag.Name = std::string(text.substr(0, p));
    auto skipBlanks = [&](size_t at) {
        while (at < text.size() && IsTagBlank(text[at]))
            ++at;
        return at;
    };
    while ((p = skipBlanks(p)) < text.size()) {
        const size_t first = p;
        TTagToken token;
        while (p < text.size() && !IsTagBlank(text[p]) && text[p] != '=')
            ++p;
        if (p == first) {
            // A stray "=": the token runs to the next blank.
            while (p < text.size() && !IsTagBlank(text[p]))
                ++p;
        } else {
            token.Name = std::string(text.substr(first, p - first));
            const size_t equals = skipBlanks(p);
            if (equals < text.size() && text[equals] == '=') {
                token.HasValue = true;
                p = skipBlanks(equals + 1);
                if (p < text.size() && (text[p] == '"' || text[p] == '\'')) {
                    const size_t close = text.find(text[p], p + 1);
                    const size_t stop = close == std::string_view::npos ? text.size() : close;
                    token.Value = std::string(text.substr(p + 1, stop - p - 1));
                    p = close == std::string_view::npos ? text.size() : close + 1;
                } else {
                    const size_t valueStart = p;
                    while (p < text.size() && !IsTagBlank(text[p]))
                        ++p;
                    token.Value = std::string(text.substr(valueStart, p - valueStart));
                }
            }
        }
        token.Raw = std::string(text.substr(first, p - first));
        tag.Tokens.push_back(std::move(token));
    }
    return tag;
}

std::string TTagRows::TailText() const {
    std::string text;
    for (const TTagToken& token : Tail) {
        if (!text.empty())
            text += ' ';
        text += token.Raw;
    }
    return text;
}

TTagRows RowsOfTag(const TParsedTag& tag, const std::vector<std::string>& attributes) {
    TTagRows result;
    std::vector<bool> covered(tag.Tokens.size(), false);
    std::set<std::string> named;
    for (const std::string& listed : attributes) {
        if (listed.empty())
            continue;
        TAttributeRow row;
        row.Name = UpperCaseName(listed);
        if (!named.insert(row.Name).second)
            continue;
        for (size_t i = 0; i < tag.Tokens.size(); ++i) {
            const TTagToken& token = tag.Tokens[i];
            if (!covered[i] && token.HasValue && UpperCaseName(token.Name) == row.Name) {
                covered[i] = true;
                row.WasPresent = true;
                row.Value = token.Value;
                row.ValueRead = token.Value;
                break;
            }
        }
        result.Rows.push_back(std::move(row));
    }
    for (size_t i = 0; i < tag.Tokens.size(); ++i)
        if (!covered[i])
            result.Tail.push_back(tag.Tokens[i]);
    return result;
}

std::string BuildTag(const std::string& name, const std::vector<TAttributeRow>& rows,
                     const std::vector<TTagToken>& tail) {
    std::string tag(1, '<');
    tag += UpperCaseName(name);
    std::set<std::string> newlyWritten;
    for (const TAttributeRow& row : rows) {
        const bool keptEmpty = row.Value.empty() && row.WasPresent && row.ValueRead.empty();
        if (row.Value.empty() && !keptEmpty)
            continue;
        tag += ' ' + row.Name + '=' + quoted(collapseBlanks(row.Value));
        if (!row.WasPresent)
            newlyWritten.insert(row.Name);
    }
    for (const TTagToken& token : tail) {
        // A bare attribute that its row now writes with a value goes.
        if (!token.HasValue && newlyWritten.count(UpperCaseName(token.Name)) != 0)
            continue;
        tag += ' ' + token.Raw;
    }
    return tag + '>';
}
