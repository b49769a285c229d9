#pragma once
// One HTML tag of a page as text: where the tag around an offset begins
// and ends, its name and attributes, and the tag written again from edited
// attribute values.  The page is read through a source that hands out its
// bytes by offset, and every search stops within kMaxTagLength bytes, so
// the work is bounded by the tag and not by the page it lies in.
//
// Tokens follow HTML's rules: a value is quoted with double or single
// quotes or bare (up to a blank); a quote opens a value only after "=";
// the tag ends at the first ">" outside a quoted value, and a "<" outside
// one means the text was no tag; a comment ("<!--") ends at "-->".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The bytes of a text by offset; offsets count every line break as CR LF.
class TTextSource {
public:
    virtual ~TTextSource() = default;
    virtual int32_t Length() const = 0;
    // The byte at an offset within 0 .. Length() - 1.
    virtual char At(int32_t offset) = 0;
};

class TStringSource : public TTextSource {
public:
    explicit TStringSource(std::string_view text) : text_(text) {}
    int32_t Length() const override { return static_cast<int32_t>(text_.size()); }
    char At(int32_t offset) override { return text_[static_cast<size_t>(offset)]; }

private:
    std::string_view text_;
};

// No tag is searched for farther than this from where the search starts.
inline constexpr int32_t kMaxTagLength = 65536;

// A tag's place: the offsets of its "<" and of the ">" that ends it.
struct TTagSpan {
    int32_t Start = -1;
    int32_t End = -1;
    bool Found() const { return Start >= 0; }
    int32_t Length() const { return End - Start + 1; }
};

// The ">" that ends the tag whose "<" is at start, or -1 when there is
// none within kMaxTagLength (a "<" outside quotes comes first, or the text
// or a quoted value does not end), or when a blank follows the "<".
int32_t TagEndFrom(TTextSource& text, int32_t start);

// The opening tag (or comment) that holds the caret: its "<" lies before
// the caret and its ">" at or after it.  Closing tags ("</...") are not
// returned, nor is a "<" whose tag does not end.  A "<" inside a quoted
// value or a comment is told from a tag by reading on from the tag start
// before it; where one value or comment holds several, they may read as
// tags of their own (as commented-out markup does).
TTagSpan FindTagAt(TTextSource& text, int32_t caret);

// The bytes from..to - 1.
std::string TextOfSpan(TTextSource& text, int32_t from, int32_t to);

// Replaces every occurrence of oldText by newText, searching again from
// the start after each replacement (so "aab" with "ab" -> "b" gives "b").
// Raises EConvertError "Cannot perform a cyclic replace." when newText
// holds oldText; an empty oldText returns the text unchanged.
std::string ReplaceAll(std::string text, std::string_view oldText, std::string_view newText);

// ASCII upper case, the rule tag and attribute names follow.
std::string UpperCaseName(std::string_view name);
// Blanks are the space, tab, CR and LF.
bool IsTagBlank(char c);

// One attribute as it stands in a tag.
struct TTagToken {
    std::string Name;     // as written
    std::string Value;    // without its quotes
    bool HasValue = false; // written with "="
    std::string Raw;      // the token's text as written
};

struct TParsedTag {
    // As written: up to the first blank or "/" ("!" for "<!" forms).
    std::string Name;
    std::vector<TTagToken> Tokens;
    bool Comment = false;
};

// Splits the text between "<" and ">" into the name and the attribute
// tokens (line breaks count as blanks).
TParsedTag ParseTagText(std::string_view text);

// One row of the inspector: an attribute, its value now, and what the tag
// held when it was read.
struct TAttributeRow {
    std::string Name;           // upper case
    std::string Value;
    bool WasPresent = false;    // the tag held it with a value
    std::string ValueRead;
};

// A tag split into the rows of the attributes listed for it and what no
// row covers.
struct TTagRows {
    std::vector<TAttributeRow> Rows;
    // The tokens no row covers, as written, in their order.
    std::vector<TTagToken> Tail;
    // The tail as text: the tokens separated by one blank.
    std::string TailText() const;
};

// The rows of a tag for the attributes listed for it, in the list's order:
// each takes the value of the first token of that name (ignoring case)
// that has one; a name listed twice makes one row.
TTagRows RowsOfTag(const TParsedTag& tag, const std::vector<std::string>& attributes);

// The tag written from its rows: "<" and the upper-case name, then each
// row with a value as NAME="value" (a row the user emptied is left out;
// one that was empty in the tag stays empty), runs of blanks in values
// made one, then the tail without the tokens that a row with a value now
// stands for, then ">".  A value holding a double quote is written in
// single quotes, or with &quot; when it holds both kinds.
std::string BuildTag(const std::string& name, const std::vector<TAttributeRow>& rows,
                     const std::vector<TTagToken>& tail);
