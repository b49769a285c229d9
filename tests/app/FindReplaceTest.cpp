// Find, replace and the entity conversion on the editor, against a plain
// string model on random texts: the editor's paragraphs, navigators and
// undo list must give what searching and splicing a std::string gives.

#include "app/FindReplace.h"
#include "tests/support/ScriptedUserInteraction.h"

#include "editor/CodeMemo.h"
#include "platform/ui/CommonDialogs.h"

#include <gtest/gtest.h>

#include "platform/base/Utf8.h"

#include <optional>
#include <tuple>
#include <random>

namespace {

// The document window's word separators.
const std::string kSeparators = "\t \"#,.:;<=>";

struct TModel {
    std::string Text;
    std::string Needle;
    unsigned Options = 0;

    static char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
    bool separator(size_t at) const {
        char c = Text[at];
        return c == '\r' || c == '\n' || kSeparators.find(c) != std::string::npos;
    }
    bool matchesAt(size_t at) const {
        if (at + Needle.size() > Text.size())
            return false;
        for (size_t i = 0; i < Needle.size(); ++i) {
            char a = Text[at + i], b = Needle[i];
            if ((Options & frMatchCase) ? a != b : upper(a) != upper(b))
                return false;
        }
        if (Options & frWholeWord) {
            if (at > 0 && !separator(at - 1))
                return false;
            size_t after = at + Needle.size();
            if (after < Text.size() && !separator(after))
                return false;
        }
        return true;
    }
    // Forward: the first match starting at or after caret; backward: the
    // last one starting before it.
    std::optional<size_t> find(size_t caret) const {
        if (Options & frDown) {
            for (size_t at = caret; at < Text.size(); ++at)
                if (matchesAt(at))
                    return at;
        } else {
            for (size_t at = caret; at-- > 0;)
                if (matchesAt(at))
                    return at;
        }
        return std::nullopt;
    }
};

std::string randomText(std::mt19937& random, const std::string& alphabet, size_t length) {
    std::string text;
    while (text.size() < length) {
        if (random() % 12 == 0)
            text += "\r\n";
        else
            text += alphabet[random() % alphabet.size()];
    }
    return text;
}

int32_t low(TCodeMemo& memo) { return std::min(memo.SelStart(), memo.SelStart() + memo.SelLength()); }

void setUp(TCodeMemo& memo, const std::string& text) {
    memo.SetSeparators(kSeparators);
    memo.SetTextBuf(text);
    memo.ClearUndo();
}

} // namespace

TEST(FindReplace, SearchAndReplaceAgreeWithAStringModel) {
    std::mt19937 random(3);
    TCodeMemo memo;
    for (int round = 0; round < 3000; ++round) {
        TModel model;
        model.Text = randomText(random, "abAB <.>", random() % 80);
        model.Needle = randomText(random, "abAB", random() % 3 + 1);
        model.Options = random() % 8 & (frDown | frWholeWord | frMatchCase);
        std::string replacement = randomText(random, "abx ", random() % 5);
        // No break in a needle: searches never cross a paragraph's end.
        if (model.Needle.find('\r') != std::string::npos || replacement.find('\r') != std::string::npos)
            continue;
        setUp(memo, model.Text);
        const TSearchRequest request{model.Needle, model.Options};
        auto caret = static_cast<int32_t>(random() % (model.Text.size() + 1));
        // Never between CR and LF: the editor has no such place.
        if (caret > 0 && model.Text[static_cast<size_t>(caret) - 1] == '\r')
            --caret;
        SCOPED_TRACE(testing::Message() << "round " << round << " text \"" << model.Text << "\" needle \""
                                        << model.Needle << "\" options " << model.Options << " caret " << caret);

        switch (round % 3) {
        case 0: { // one search
            memo.SetSelStart(caret);
            std::optional<size_t> expected = model.find(static_cast<size_t>(caret));
            ASSERT_EQ(FindFromCaret(memo, request), expected.has_value());
            if (expected) {
                ASSERT_EQ(low(memo), static_cast<int32_t>(*expected));
                ASSERT_EQ(std::abs(memo.SelLength()), static_cast<int32_t>(model.Needle.size()));
            }
            break;
        }
        case 1: { // Replace, after a search that shows a match (or not)
            memo.SetSelStart(caret);
            size_t from = static_cast<size_t>(caret);
            if (random() % 2 && FindFromCaret(memo, request))
                from = static_cast<size_t>(low(memo));
            // The match shown is the one replaced; without one, the next.
            std::optional<size_t> at = model.matchesAt(from) && memo.SelLength() != 0 ? std::optional(from)
                                                                                      : model.find(from);
            ASSERT_EQ(ReplaceNext(memo, request, replacement), at.has_value());
            if (at)
                model.Text.replace(*at, model.Needle.size(), replacement);
            ASSERT_EQ(memo.Text(), model.Text);
            break;
        }
        case 2: { // Replace All from the caret on, one undo step
            const std::string original = model.Text;
            memo.SetSelStart(caret);
            size_t position = static_cast<size_t>(caret);
            int expected = 0;
            for (std::optional<size_t> at; (at = model.find(position));) {
                model.Text.replace(*at, model.Needle.size(), replacement);
                position = (model.Options & frDown) ? *at + replacement.size() : *at;
                ++expected;
            }
            ASSERT_EQ(ReplaceEveryMatch(memo, request, replacement), expected);
            ASSERT_EQ(memo.Text(), model.Text);
            ASSERT_EQ(memo.CanUndo(), expected > 0);
            if (expected > 0) {
                memo.Undo();
                ASSERT_EQ(memo.Text(), original);
                ASSERT_FALSE(memo.CanUndo());
            }
            break;
        }
        }
    }
}

TEST(FindReplace, EntityConversionAgreesWithACharacterMapAndUndoesInOneStep) {
    std::string alphabet = "a <>";
    for (int byte = 0xA0; byte <= 0xFF; ++byte)
        alphabet += static_cast<char>(byte);
    std::string entity[256];
    for (const TEntityPair& pair : SpecialCharacterEntities()) {
        EXPECT_TRUE(entity[pair.Character].empty()) << "twice in the table: " << int(pair.Character);
        entity[pair.Character] = pair.Entity;
    }
    std::mt19937 random(5);
    TCodeMemo memo;
    // The same characters in both encodings: a UTF-8 document holds the
    // UTF-8 of the code page's text, and its entities are the same.
    for (TTextEncoding encoding : {teAnsi, teUtf8}) {
        memo.SetEncoding(encoding);
        auto inDocument = [&](const std::string& codePage) {
            return encoding == teUtf8 ? AnsiToUtf8(codePage) : codePage;
        };
        for (int round = 0; round < 200; ++round) {
            const std::string codePage =
                randomText(random, round % 10 == 0 ? "a <>\xF7\xD7\xFE\xFF" : alphabet, random() % 300);
            const std::string text = inDocument(codePage);
            setUp(memo, text);
            std::string expected;
            int count = 0;
            for (char c : codePage) {
                const std::string& e = entity[static_cast<unsigned char>(c)];
                expected += e.empty() ? std::string(1, c) : e;
                count += e.empty() ? 0 : 1;
            }
            ASSERT_EQ(ConvertSpecialCharacters(memo), count);
            ASSERT_EQ(memo.Text(), inDocument(expected));
            // A text without a character of the table is not touched at all.
            ASSERT_EQ(memo.CanUndo(), count > 0);
            if (count > 0) {
                memo.Undo();
                ASSERT_EQ(memo.Text(), text);
            }
        }
    }
}

TEST(FindReplace, TheDialogsTextIsSearchedInTheDocumentsEncoding) {
    TScriptedUserInteraction user;
    TCodeMemo memo;
    TDocumentSearch search(nullptr, memo);
    // "é" typed in the dialog (the program's UTF-8) finds the accented
    // letter as each document writes it.
    for (auto [encoding, page, at] : {std::tuple{teUtf8, std::string("x caf\xC3\xA9 y"), 6},
                                      std::tuple{teAnsi, std::string("x caf\xE9 y"), 6}}) {
        memo.SetEncoding(encoding);
        setUp(memo, page);
        memo.SetSelStart(0);
        search.FindDialog().SetFindText("caf\xC3\xA9");
        search.FindDialog().SetOptions(frDown);
        search.FindNext();
        EXPECT_EQ(low(memo), 2);
        EXPECT_EQ(memo.SelStart(), at + (encoding == teUtf8 ? 1 : 0)) << "the match ends after the letter";
        // What the dialog is given back is the program's text.
        search.ShowFind();
        EXPECT_EQ(search.FindDialog().FindText(), "caf\xC3\xA9");
        // Replacing writes the dialog's text in the document's encoding.
        search.ReplaceDialog().SetFindText("caf\xC3\xA9");
        search.ReplaceDialog().SetReplaceText("\xC3\xA9t\xC3\xA9");
        search.ReplaceDialog().SetOptions(frDown | frReplaceAll);
        memo.SetSelStart(0);
        user.AnswerMessage(mrOk);
        search.ReplaceDialogReplace();
        EXPECT_EQ(memo.Text(), encoding == teUtf8 ? "x \xC3\xA9t\xC3\xA9 y" : "x \xE9t\xE9 y");
    }
    // Without case, UTF-8 folds ASCII letters only: the code page's rule
    // would fold the second byte of "\xC5\x9A" into that of "\xC5\x8A", two
    // letters that have nothing to do with each other.
    memo.SetEncoding(teUtf8);
    memo.SetUpperCaseType(pmuAnsi);
    setUp(memo, "\xC5\x9A a");
    memo.SetSelStart(0);
    EXPECT_FALSE(FindFromCaret(memo, {"\xC5\x8A", frDown}));
    EXPECT_TRUE(FindFromCaret(memo, {"A", frDown}));
    EXPECT_EQ(low(memo), 3);
    memo.SetEncoding(teAnsi);
    memo.SetSelStart(0);
    EXPECT_TRUE(FindFromCaret(memo, {"\xC5\x8A", frDown})) << "the code page folds its own letters";
}

// The dialogs' side: pre-filling, the messages, an empty search text and
// the question before the conversion.
TEST(FindReplace, DialogsPrefillSearchAndReport) {
    TScriptedUserInteraction user;
    TCodeMemo memo;
    setUp(memo, "<TITLE>page</TITLE>\r\nlink link link " + std::string(70, 'x'));
    TDocumentSearch search(nullptr, memo);
    int focus = 0, searched = 0;
    search.OnTakeFocus = [&] { ++focus; };
    search.OnSearched = [&] { ++searched; };

    // The word at the caret, with the editor's separators around TITLE.
    memo.SetSelStart(3);
    search.ShowFind();
    EXPECT_EQ(search.FindDialog().FindText(), "TITLE");
    // A selection of 70 characters keeps the text the dialog had.
    memo.SetSelStart(37);
    memo.SetSelLength(70);
    search.ShowFind();
    EXPECT_EQ(search.FindDialog().FindText(), "TITLE");
    memo.SetSelStart(21);
    memo.SetSelLength(4);
    search.ShowReplace();
    EXPECT_EQ(search.ReplaceDialog().FindText(), "link");

    // Replace All with three matches, then its message.
    search.ReplaceDialog().SetReplaceText("LINK");
    search.ReplaceDialog().SetOptions(frDown | frMatchCase | frReplaceAll);
    user.AnswerMessage(mrOk);
    search.ReplaceDialogReplace();
    EXPECT_EQ(memo.Text().substr(21, 15), "LINK LINK LINK ");
    EXPECT_EQ(user.Calls.back().Text, "String \"link\" not found or end of replacement.");

    // A search that fails says so; one with no text does nothing.
    search.FindDialog().SetFindText("absent");
    user.AnswerMessage(mrOk);
    search.SearchAgain();
    EXPECT_EQ(user.Calls.back().Text, "String \"absent\" not found.");
    const size_t calls = user.Calls.size();
    search.FindDialog().SetFindText("");
    search.FindNext();
    EXPECT_EQ(user.Calls.size(), calls);
    EXPECT_EQ(searched, 1);
    EXPECT_EQ(focus, 2);

    // The conversion asks first; No changes nothing.
    setUp(memo, "caf\xE9");
    user.AnswerMessage(mrNo);
    search.ConvertCharacters();
    EXPECT_EQ(user.Calls.back().Text, "Would you like to convert special characters to their HTML tag equivalent ?");
    EXPECT_EQ(memo.Text(), "caf\xE9");
    user.AnswerMessage(mrYes);
    search.ConvertCharacters();
    EXPECT_EQ(memo.Text(), "caf&eacute;");
}

// Larger than the document window's undo space (64 KB): Replace All and the
// conversion still come back with one Undo and go again with one Redo,
// both ways; a memo that keeps no undo keeps none.
TEST(FindReplace, StepsLargerThanTheUndoSpaceStillUndoInOne) {
    std::mt19937 random(17);
    TCodeMemo memo;
    memo.SetUndoMaxSpace(65536);
    std::string text;
    while (text.size() < 300000)
        text += random() % 3 ? "word \xE9t\xE9 " : "<P>\r\n";
    for (unsigned direction : {static_cast<unsigned>(frDown), 0u}) {
        setUp(memo, text);
        memo.SetUndoMaxSpace(65536);
        memo.SetSelStart(direction ? 0 : static_cast<int32_t>(text.size()));
        const int count = ReplaceEveryMatch(memo, {"word", direction | frMatchCase}, "term");
        EXPECT_GT(count, 20000);
        const std::string replaced = memo.Text();
        memo.Undo();
        EXPECT_EQ(memo.Text(), text);
        memo.Redo();
        EXPECT_EQ(memo.Text(), replaced);
        memo.Undo();
        EXPECT_EQ(ConvertSpecialCharacters(memo), static_cast<int>(std::count(text.begin(), text.end(), '\xE9')));
        memo.Undo();
        EXPECT_EQ(memo.Text(), text);
    }
    setUp(memo, text);
    memo.SetUndoMaxSpace(0);
    ReplaceEveryMatch(memo, {"word", frDown | frMatchCase}, "term");
    EXPECT_FALSE(memo.CanUndo());
}

// A step of a few hundred thousand replacements undoes and redoes without
// exhausting the stack (an undo that recursed once per entry did).
TEST(FindReplace, AReplaceAllOfManyMatchesUndoesAndRedoes) {
    TCodeMemo memo;
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += i % 40 == 39 ? "ab\r\n" : "ab ";
    setUp(memo, text);
    memo.SetSelStart(0);
    EXPECT_EQ(ReplaceEveryMatch(memo, {"ab", frDown | frMatchCase}, "xyz"), 200000);
    const std::string replaced = memo.Text();
    memo.Undo();
    EXPECT_EQ(memo.Text(), text);
    memo.Redo();
    EXPECT_EQ(memo.Text(), replaced);
}
