// One HTML tag as text, against oracles: random pages whose tags, comments
// and quoted values (with ">" and "<" inside) are known as they are made,
// asked for the tag at every offset, read from a string and from an
// editor's paragraphs alike; random tags parsed into rows, edited and
// written again, then read back; and the repeated replacement against its
// plain definition.

#include "app/DocumentSource.h"
#include "app/TagText.h"

#include "editor/model/CodeDocument.h"
#include "platform/base/Exceptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <set>

namespace {

struct TKnownSpan {
    int32_t Start;
    int32_t End;
    bool Counts; // an opening tag or a comment: the caret can be in it
};

class TPageMaker {
public:
    explicit TPageMaker(unsigned seed) : random_(seed) {}

    std::string Page(std::vector<TKnownSpan>& spans) {
        std::string page;
        const int pieces = 1 + pick(30);
        for (int i = 0; i < pieces; ++i) {
            const int32_t start = static_cast<int32_t>(page.size());
            switch (pick(5)) {
            case 0:
            case 1:
                page += text();
                continue;
            case 2:
                page += "</" + name() + ">";
                spans.push_back({start, static_cast<int32_t>(page.size()) - 1, false});
                continue;
            case 3:
                page += "<!--" + commentText() + "-->";
                break;
            default:
                page += openingTag();
                break;
            }
            spans.push_back({start, static_cast<int32_t>(page.size()) - 1, true});
        }
        return page;
    }

    int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    std::mt19937& Random() { return random_; }

private:
    std::string from(const std::string& alphabet, int length) {
        std::string s;
        for (int i = 0; i < length; ++i)
            s += alphabet[static_cast<size_t>(pick(static_cast<int>(alphabet.size())))];
        return s;
    }
    std::string name() { return from("abcdimgABCDIMG", 1) + from("abcdefgh12", pick(5)); }
    // Text between tags: quotes, ">" and "< " (a lone less-than) but no tag.
    std::string text() {
        std::string s = from("ab c\"'=>", pick(12));
        if (pick(3) == 0)
            s += "< ";
        if (pick(4) == 0)
            s += "\r\n";
        return s + from("xyz ", pick(4));
    }
    // Comment text; one "<" at most, for the reason told at quotedValue.
    std::string commentText() {
        std::string s = from("ab >\"'=/-", pick(15));
        if (pick(2) == 0)
            s.insert(static_cast<size_t>(pick(static_cast<int>(s.size()) + 1)), "<");
        // No "--" inside: the comment would end early.
        for (size_t i = 1; i < s.size(); ++i)
            if (s[i] == '-' && s[i - 1] == '-')
                s[i] = 'x';
        if (!s.empty() && s.back() == '-')
            s.back() = 'x';
        return s;
    }
    // A value; one "<" at most in all the values of a tag: a "<" that is
    // no tag is told from one only by reading from a known tag start, and
    // several of them in one tag can look like tags of their own.
    std::string quotedValue(char quote, bool& lessThanUsed) {
        std::string inside = from(quote == '"' ? "ab >'=|u" : "ab >\"=u", pick(10));
        if (!lessThanUsed && pick(3) == 0) {
            lessThanUsed = true;
            inside.insert(static_cast<size_t>(pick(static_cast<int>(inside.size()) + 1)), "<");
        }
        return quote + ReplaceAll(inside, "|", "\r\n") + quote;
    }
    std::string openingTag() {
        std::string tag = "<" + name();
        bool lessThanUsed = false;
        for (int a = pick(5); a > 0; --a) {
            tag += (pick(3) == 0 ? std::string("\r\n") : std::string(1 + static_cast<size_t>(pick(2)), ' ')) + name();
            if (pick(4) == 0)
                continue; // a bare attribute
            tag += from("  =", 1) == "=" ? "=" : " = ";
            switch (pick(3)) {
            case 0:
                tag += quotedValue('"', lessThanUsed);
                break;
            case 1:
                tag += quotedValue('\'', lessThanUsed);
                break;
            default:
                tag += from("abc1#%", 1) + from("abc1'\"", pick(4));
                break;
            }
        }
        return tag + from(" ", pick(2)) + ">";
    }

    std::mt19937 random_;
};

std::optional<TKnownSpan> expectedAt(const std::vector<TKnownSpan>& spans, int32_t caret) {
    for (const TKnownSpan& span : spans)
        if (span.Counts && span.Start < caret && caret <= span.End)
            return span;
    return std::nullopt;
}

TEST(TagText, TheTagAtEveryOffsetOfRandomPagesIsTheOneThatHoldsIt) {
    for (unsigned seed = 1; seed <= 2000; ++seed) {
        TPageMaker maker(seed);
        std::vector<TKnownSpan> spans;
        const std::string page = maker.Page(spans);
        TStringSource source(page);
        for (int32_t caret = 0; caret <= static_cast<int32_t>(page.size()); ++caret) {
            const TTagSpan found = FindTagAt(source, caret);
            const std::optional<TKnownSpan> expected = expectedAt(spans, caret);
            ASSERT_EQ(found.Found(), expected.has_value()) << "seed " << seed << " caret " << caret << "\n" << page;
            if (expected) {
                ASSERT_EQ(found.Start, expected->Start) << "seed " << seed << " caret " << caret << "\n" << page;
                ASSERT_EQ(found.End, expected->End) << "seed " << seed << " caret " << caret << "\n" << page;
            }
        }
    }
}

TEST(TagText, AnEditorsParagraphsReadAsTheirWholeText) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        TPageMaker maker(1000 + seed);
        std::vector<TKnownSpan> spans;
        std::string page;
        for (int i = 0; i < 4; ++i)
            page += maker.Page(spans) + "\r\n";
        TCodeDocument document;
        document.SetTextBuf(page);
        ASSERT_EQ(document.Text(), page);
        TDocumentSource paragraphs(document);
        TStringSource whole(page);
        // Offsets in any order: the source's remembered paragraph moves.
        for (int i = 0; i < 400; ++i) {
            const int32_t offset = maker.pick(static_cast<int>(page.size()));
            ASSERT_EQ(paragraphs.At(offset), page[static_cast<size_t>(offset)]) << offset;
            const TTagSpan a = FindTagAt(paragraphs, offset);
            const TTagSpan b = FindTagAt(whole, offset);
            ASSERT_EQ(a.Start, b.Start) << offset;
            ASSERT_EQ(a.End, b.End) << offset;
        }
    }
}

TEST(TagText, TheSearchIsBoundedAndATagEndingTheTextIsFound) {
    // A tag that is the very end of the text.
    TStringSource last("text <IMG SRC=a.gif>");
    EXPECT_EQ(FindTagAt(last, 19).Start, 5);
    EXPECT_EQ(FindTagAt(last, 19).End, 19);
    EXPECT_FALSE(FindTagAt(last, 20).Found()) << "after the '>'";
    // Far from any "<" the search gives up instead of reading the page.
    std::string page = "<P>" + std::string(3 * kMaxTagLength, 'x');
    TStringSource far(page);
    EXPECT_FALSE(FindTagAt(far, static_cast<int32_t>(page.size())).Found());
    // A tag that never ends is no tag.
    std::string open = "<IMG SRC=\"" + std::string(2 * kMaxTagLength, 'x') + "\">";
    TStringSource unended(open);
    EXPECT_EQ(TagEndFrom(unended, 0), -1);
}

// ---------------------------------------------------------------------------

struct TWritten {
    std::string Name;  // as written
    std::optional<std::string> Value;
};

std::string collapsed(std::string value) {
    std::string result;
    for (char c : value)
        if (c != ' ' || result.empty() || result.back() != ' ')
            result += c;
    return result;
}

TEST(TagText, RandomTagsReadIntoRowsAndWrittenBackKeepEveryValue) {
    const std::vector<std::string> pool = {"SRC", "ALT", "WIDTH", "ALIGN", "VALIGN", "NOWRAP", "TITLE", "X-DATA"};
    std::mt19937 random(77);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto value = [&]() {
        std::string v;
        for (int i = pick(7); i > 0; --i)
            v += "ab ú<>'\"="[static_cast<size_t>(pick(9))];
        return v;
    };
    auto anyCase = [&](std::string s) {
        for (char& c : s)
            if (pick(2) == 0 && c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> listed;
        for (const std::string& name : pool)
            if (pick(3) != 0)
                listed.push_back(name);
        std::shuffle(listed.begin(), listed.end(), random);
        // Write a tag: names in any case, values quoted either way or bare.
        // Names once each: a second one would stand in for a dropped first.
        std::vector<std::string> names = pool;
        std::shuffle(names.begin(), names.end(), random);
        std::vector<TWritten> written;
        std::string text = anyCase("IMG");
        for (int a = pick(6); a > 0; --a) {
            TWritten attribute{anyCase(names[static_cast<size_t>(a)]), std::nullopt};
            text += std::string(1 + static_cast<size_t>(pick(2)), ' ') + attribute.Name;
            if (pick(5) != 0) {
                std::string v = value();
                text += pick(2) ? "=" : " = ";
                if (v.find('"') == std::string::npos) {
                    text += '"' + v + '"';
                } else if (v.find('\'') == std::string::npos) {
                    text += '\'' + v + '\'';
                } else {
                    // Bare: no blank, quote, "<" or ">" (it would end the tag).
                    v.erase(std::remove_if(v.begin(), v.end(),
                                           [](char c) { return c == ' ' || c == '"' || c == '\'' || c == '>' || c == '<'; }),
                            v.end());
                    if (v.empty())
                        v = "x";
                    text += v;
                }
                attribute.Value = v;
            }
            written.push_back(attribute);
        }
        const TTagRows rows = RowsOfTag(ParseTagText(text), listed);
        ASSERT_EQ(rows.Rows.size(), listed.size());
        // Each row holds the first value written under its name.
        std::vector<bool> covered(written.size(), false);
        for (size_t r = 0; r < listed.size(); ++r) {
            std::optional<std::string> first;
            for (size_t w = 0; w < written.size() && !first; ++w)
                if (!covered[w] && written[w].Value && UpperCaseName(written[w].Name) == listed[r]) {
                    covered[w] = true;
                    first = written[w].Value;
                }
            ASSERT_EQ(rows.Rows[r].WasPresent, first.has_value()) << text;
            ASSERT_EQ(rows.Rows[r].Value, first.value_or("")) << text;
        }
        ASSERT_EQ(rows.Tail.size(), static_cast<size_t>(std::count(covered.begin(), covered.end(), false))) << text;

        // Edit some rows, write the tag, read it back.
        TTagRows edited = rows;
        for (TAttributeRow& row : edited.Rows)
            if (pick(3) == 0)
                row.Value = pick(3) == 0 ? std::string() : value();
        const std::string tag = BuildTag("img", edited.Rows, edited.Tail);
        TStringSource source(tag);
        ASSERT_EQ(TagEndFrom(source, 0), static_cast<int32_t>(tag.size()) - 1) << "one whole tag: " << tag;
        ASSERT_EQ(tag.rfind("<IMG", 0), 0u) << tag;
        const TTagRows again = RowsOfTag(ParseTagText(tag.substr(1, tag.size() - 2)), listed);
        std::set<std::string> valued;
        for (size_t r = 0; r < listed.size(); ++r) {
            const TAttributeRow& row = edited.Rows[r];
            const bool keptEmpty = row.Value.empty() && row.WasPresent && row.ValueRead.empty();
            std::string expected = collapsed(row.Value);
            if (expected.find('"') != std::string::npos && expected.find('\'') != std::string::npos)
                expected = ReplaceAll(expected, "\"", "&quot;");
            ASSERT_EQ(again.Rows[r].WasPresent, !row.Value.empty() || keptEmpty) << tag;
            ASSERT_EQ(again.Rows[r].Value, expected) << tag;
            if (!row.Value.empty() && !row.WasPresent)
                valued.insert(row.Name);
        }
        // What no row covers stays, in its order, but for bare names now
        // written with a value.
        std::vector<std::string> tail;
        for (const TTagToken& token : edited.Tail)
            if (token.HasValue || valued.count(UpperCaseName(token.Name)) == 0)
                tail.push_back(token.Raw);
        std::vector<std::string> tailAgain;
        for (const TTagToken& token : again.Tail)
            tailAgain.push_back(token.Raw);
        ASSERT_EQ(tailAgain, tail) << tag;
    }
}

TEST(TagText, RepeatedReplacementMatchesItsPlainDefinition) {
    std::mt19937 random(5);
    auto word = [&](int most) {
        std::string s;
        for (int i = static_cast<int>(random() % static_cast<unsigned>(most + 1)); i > 0; --i)
            s += "ab"[random() % 2];
        return s;
    };
    for (int i = 0; i < 5000; ++i) {
        const std::string text = word(12);
        const std::string oldText = word(3);
        const std::string newText = word(2);
        if (oldText.empty() || newText.find(oldText) != std::string::npos) {
            if (!oldText.empty()) {
                EXPECT_THROW(ReplaceAll(text, oldText, newText), EConvertError);
            }
            continue;
        }
        // From the start again after each replacement.
        std::string plain = text;
        for (size_t at = plain.find(oldText); at != std::string::npos; at = plain.find(oldText))
            plain.replace(at, oldText.size(), newText);
        ASSERT_EQ(ReplaceAll(text, oldText, newText), plain) << text << " " << oldText << " " << newText;
    }
    try {
        ReplaceAll("aa", "a", "aa");
        FAIL();
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), "Cannot perform a cyclic replace.");
    }
}

} // namespace
