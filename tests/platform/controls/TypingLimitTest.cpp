// MaxLength of edit boxes, combo boxes and memos: what the user types or
// pastes is held to the limit in characters as the user sees them (an
// accented letter, in one code point or two, an emoji with its skin tone,
// a flag, each one), cut only between such characters, so that the text
// stays whole UTF-8.  Random texts of such characters against a model
// that counts them.

#include "platform/base/Utf8.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/QtBridge.h"
#include "platform/widgets/TextLimit.h"
#include "tests/platform/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTextEdit>

#include <random>
#include <string>
#include <vector>

namespace {

// Characters as the user sees them, each one whatever stands beside it:
// those a text holds, and those the user adds to it.  The two share no
// UTF-16 unit where they meet, so that what is new in a change is plain
// to see.
const char* const kShown[] = {"a", "Z", " ", "\xC3\xA9" /* é in one code point */, "\xE4\xB8\xAD" /* CJK */};
const char* const kTyped[] = {"x",
                              "e\xCC\x81",                        // é as e and an accent
                              "\xF0\x9D\x92\x9C",                 // a letter in two UTF-16 units
                              "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", // an emoji with its skin tone
                              "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7"}; // a flag

using TCharacters = std::vector<std::string>;

template <size_t N>
TCharacters randomCharacters(std::mt19937& random, const char* const (&from)[N], int count) {
    TCharacters characters;
    for (int i = 0; i < count; ++i)
        characters.push_back(from[random() % N]);
    return characters;
}

std::string joined(const TCharacters& characters, size_t from = 0, size_t to = std::string::npos) {
    std::string text;
    for (size_t i = from; i < std::min(to, characters.size()); ++i)
        text += characters[i];
    return text;
}

// One change of the user's: the characters [From, To) of a text replaced
// by new ones; and what the model keeps of it under a limit: as many of
// the new ones as fit beside the others (all without a limit).
struct TChange {
    TCharacters Before;
    size_t From = 0;
    size_t To = 0;
    TCharacters Typed;

    static TChange Random(std::mt19937& random, const TCharacters& before) {
        TChange change;
        change.Before = before;
        change.From = random() % (before.size() + 1);
        change.To = change.From + (random() % 3 == 0 ? random() % (before.size() - change.From + 1) : 0);
        change.Typed = randomCharacters(random, kTyped, 1 + static_cast<int>(random() % 6));
        return change;
    }
    TCharacters Result(int limit) const {
        const size_t others = From + (Before.size() - To);
        size_t kept = Typed.size();
        if (limit > 0)
            kept = others >= static_cast<size_t>(limit) ? 0 : std::min(kept, static_cast<size_t>(limit) - others);
        TCharacters result(Before.begin(), Before.begin() + static_cast<std::ptrdiff_t>(From));
        result.insert(result.end(), Typed.begin(), Typed.begin() + static_cast<std::ptrdiff_t>(kept));
        result.insert(result.end(), Before.begin() + static_cast<std::ptrdiff_t>(To), Before.end());
        return result;
    }
    std::string After() const { return joined(Before, 0, From) + joined(Typed) + joined(Before, To); }
};

TEST(TypingLimit, TheNewPartIsCutToTheLimitBetweenWholeCharacters) {
    std::mt19937 random(31);
    for (int round = 0; round < 2000; ++round) {
        const TChange change =
            TChange::Random(random, randomCharacters(random, kShown, static_cast<int>(random() % 12)));
        const int limit = static_cast<int>(random() % 14);
        const QString before = ProgramTextToQString(joined(change.Before));
        const QString after = ProgramTextToQString(change.After());
        ASSERT_EQ(VisibleCharacterCount(after),
                  static_cast<int>(change.From + change.Typed.size() + change.Before.size() - change.To));
        QString kept = after;
        const TCutRange cut = CutChange(before, after, limit);
        kept.remove(cut.First, cut.Last - cut.First);
        ASSERT_EQ(QStringToProgramText(kept), joined(change.Result(limit))) << "round " << round << " limit " << limit;
    }
}

// An edit box and a combo box's field: random typing and pasting, over a
// selection at times, against the model; the control's text stays whole
// UTF-8.
TEST(TypingLimit, EditAndComboFieldsHoldWhatTheUserTypesToMaxLength) {
    TTestHost host;
    TEdit edit(&host.Form);
    edit.SetParent(&host.Form);
    TComboBox combo(&host.Form);
    combo.SetParent(&host.Form);
    combo.SetTop(40);
    std::mt19937 random(37);
    for (int round = 0; round < 400; ++round) {
        const bool inCombo = round % 2 == 1;
        QLineEdit* line = inCombo ? WidgetOf<QComboBox>(combo)->lineEdit() : WidgetOf<QLineEdit>(edit);
        ASSERT_NE(line, nullptr);
        const int limit = 1 + static_cast<int>(random() % 10);
        // The program's text may be longer than the limit.
        const TCharacters start = randomCharacters(random, kShown, static_cast<int>(random() % (limit + 3)));
        if (inCombo) {
            combo.SetMaxLength(limit);
            combo.SetText(joined(start));
        } else {
            edit.SetMaxLength(limit);
            edit.SetText(joined(start));
        }
        const TChange change = TChange::Random(random, start);
        const int from = static_cast<int>(ProgramTextToQString(joined(start, 0, change.From)).size());
        const int to = static_cast<int>(ProgramTextToQString(joined(start, 0, change.To)).size());
        line->setSelection(from, to - from);
        line->insert(ProgramTextToQString(joined(change.Typed)));
        const std::string text = inCombo ? combo.Text() : edit.Text();
        ASSERT_TRUE(IsValidUtf8(text)) << "round " << round;
        ASSERT_EQ(text, joined(change.Result(limit))) << "round " << round << " limit " << limit;
    }
}

// A memo honours MaxLength too, its line breaks one character each: what
// is pasted is cut to fit and undoes in one step; keys stop typing at the
// limit.
TEST(TypingLimit, AMemoHoldsWhatTheUserPastesAndTypesToMaxLength) {
    TTestHost host;
    TMemo memo(&host.Form);
    memo.SetParent(&host.Form);
    auto* editor = WidgetOf<QTextEdit>(memo);
    ASSERT_NE(editor, nullptr);
    auto withBreaks = [](const std::string& text) {
        std::string control;
        for (char c : text)
            control += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return control;
    };
    std::mt19937 random(41);
    for (int round = 0; round < 200; ++round) {
        const int limit = 1 + static_cast<int>(random() % 12);
        memo.SetMaxLength(limit);
        const TCharacters start = randomCharacters(random, kShown, static_cast<int>(random() % limit));
        memo.SetText(joined(start));
        TChange change = TChange::Random(random, start);
        if (random() % 3 == 0)
            change.Typed.insert(change.Typed.begin() + static_cast<std::ptrdiff_t>(random() % change.Typed.size()), "\n");
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(static_cast<int>(ProgramTextToQString(joined(start, 0, change.From)).size()));
        cursor.setPosition(static_cast<int>(ProgramTextToQString(joined(start, 0, change.To)).size()),
                           QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
        QApplication::clipboard()->setText(ProgramTextToQString(joined(change.Typed)));
        editor->paste();
        ASSERT_EQ(memo.Text(), withBreaks(joined(change.Result(limit)))) << "round " << round << " limit " << limit;
        // The change, cut part and all, undoes at once.
        editor->undo();
        ASSERT_EQ(memo.Text(), withBreaks(joined(start))) << "round " << round;
    }
    memo.SetMaxLength(5);
    memo.SetText("ab");
    editor->moveCursor(QTextCursor::End);
    for (Qt::Key key : {Qt::Key_C, Qt::Key_Return, Qt::Key_D, Qt::Key_E, Qt::Key_F})
        QTest::keyClick(editor, key);
    EXPECT_EQ(memo.Text(), "abc\r\nd");
}

} // namespace
