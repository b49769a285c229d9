// Typing through the completion lists with real key events where the focus
// is: random HTML-ish text, key by key, comes out byte for byte, and the
// lists open, select and close as a model of them says; a choice takes the
// place of the letters typed before it.

#include "app/TagAttributes.h"
#include "app/TagCompletion.h"
#include "tests/app/ToolsFixture.h"

#include "editor/CodeMemo.h"
#include "platform/ui/ListControls.h"
#include "platform/widgets/NativePeer.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

class CompletionTyping : public TToolsFixture {
protected:
    TEditForm* OpenFocused(const std::string& text) {
        TEditForm* document = Open(text);
        document->Editor->SetSelStart(static_cast<int32_t>(text.size()));
        document->Editor->SetFocus();
        Application().ProcessMessages();
        return document;
    }
    static TListBox& Tags(TEditForm* document) { return *TagCompletionOf(*document)->taglistbox; }
    static TListBox& Attributes(TEditForm* document) { return *TagCompletionOf(*document)->paramListbox; }
    static std::string Selected(TListBox& list) {
        return list.ItemIndex() < 0 ? std::string("(none)") : list.Items().Strings(list.ItemIndex());
    }
    // One character (UTF-8) typed where the focus is, as the keyboard
    // sends it.
    static void Type(const std::string& character) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        if (character.size() == 1)
            QTest::keyClick(focus, character[0]);
        else
            QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown,
                                QString::fromUtf8(character.data(), static_cast<qsizetype>(character.size())),
                                Qt::NoModifier);
        Application().ProcessMessages();
    }
    static void Press(Qt::Key key) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key);
        Application().ProcessMessages();
    }
    static std::string Prefixed(const std::vector<std::string>& names, const std::string& typed) {
        if (typed.empty())
            return "(none)";
        std::vector<std::string> sorted = names;
        std::sort(sorted.begin(), sorted.end());
        for (const std::string& name : sorted) {
            std::string start = name.substr(0, std::min(name.size(), typed.size()));
            std::string wanted = typed;
            for (char& c : wanted)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (start == wanted)
                return name;
        }
        return "(none)";
    }
};

bool isAlnum(const std::string& character) {
    return character.size() == 1 && std::isalnum(static_cast<unsigned char>(character[0])) != 0;
}

// Removes the last character (a whole UTF-8 sequence).
void dropLast(std::string& text) {
    size_t end = text.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.erase(end);
}

std::string lastLine(const std::string& text) {
    const size_t newline = text.rfind('\n');
    return newline == std::string::npos ? text : text.substr(newline + 1);
}

} // namespace

TEST_F(CompletionTyping, RandomTextTypedThroughTheListsComesOutByteForByte) {
    // Pieces of pages; a blank, a tab or a line break comes only after
    // something on its line, so the editor's indenting adds nothing.
    const std::vector<std::string> pieces = {
        "<",     "<p>",  "<P",   "</",   "<img", "<IMG", "<im",  "<i",   "<h1>", "<td", "<zz", "<a1", " src=\"a.gif\"",
        ">",     "Hello", "x",   "42",   " ",    "=",    "\"",   "&amp;", "caf\xC3\xA9", "\xC3\xBC", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "<\xE4\xB8\xAD", "<<", "/",  "-",
        "<br/>", "'",    "<!--", "?",    ";",    ".",    "<b",   "<tab"};
    std::mt19937 random(2024);
    for (int round = 0; round < 6; ++round) {
        TEditForm* document = OpenFocused("");
        std::string expected;
        // The model of the tag list: open after "<", while letters and
        // digits follow, holding what was typed since.
        bool open = false;
        std::string typed;
        auto keyed = [&](const std::string& what) {
            ASSERT_EQ(document->Editor->Text(), expected) << "round " << round << " after " << what;
            ASSERT_EQ(Tags(document).Visible(), open) << "round " << round << " after " << what;
            ASSERT_FALSE(Attributes(document).Visible());
            if (open) {
                ASSERT_EQ(Selected(Tags(document)), Prefixed(TTagCompletion::TagNames(), typed))
                    << "round " << round << " after " << what;
            }
        };
        for (int step = 0; step < 60; ++step) {
            const int action = static_cast<int>(random() % 12);
            const std::string line = lastLine(expected);
            if (action == 0 && !expected.empty() && expected.back() != '\n' && line.size() > 1 &&
                line[1] != ' ' && line[1] != '\t') {
                Press(Qt::Key_Backspace);
                dropLast(expected);
                open = false;
                keyed("backspace");
            } else if (action == 1 && !line.empty()) {
                Press(Qt::Key_Tab);
                expected += '\t';
                open = false;
                keyed("tab");
            } else if (action == 2 && !line.empty() && !open) {
                Press(Qt::Key_Return);
                expected += "\r\n";
                keyed("return");
            } else {
                const std::string& piece = pieces[random() % pieces.size()];
                for (size_t i = 0; i < piece.size();) {
                    size_t length = 1;
                    while (i + length < piece.size() && (static_cast<unsigned char>(piece[i + length]) & 0xC0) == 0x80)
                        ++length;
                    const std::string character = piece.substr(i, length);
                    i += length;
                    if (character == " " && lastLine(expected).empty())
                        continue;
                    Type(character);
                    expected += character;
                    if (character == "<") {
                        open = true;
                        typed.clear();
                    } else if (open && isAlnum(character)) {
                        typed += character;
                    } else {
                        open = false;
                    }
                    keyed(character);
                }
            }
        }
        EXPECT_EQ(document->Editor->Text(), expected);
        delete document;
    }
}

TEST_F(CompletionTyping, AChoiceTakesThePlaceOfWhatWasTyped) {
    // "<p>Hello" as typed.
    TEditForm* document = OpenFocused("");
    for (const char* key : {"<", "p", ">", "H", "e", "l", "l", "o"})
        Type(key);
    EXPECT_EQ(document->Editor->Text(), "<p>Hello");
    EXPECT_FALSE(Tags(document).Visible());

    // "<im" and Return: the tag, then its attributes, where "sr" and
    // Return write the attribute in place of the letters.
    document->Editor->SetSelStart(8);
    for (const char* key : {"<", "i", "m"})
        Type(key);
    EXPECT_EQ(Selected(Tags(document)), "IMG");
    Press(Qt::Key_Return);
    EXPECT_EQ(document->Editor->Text(), "<p>Hello<IMG>");
    EXPECT_EQ(document->Editor->SelStart(), 12);
    ASSERT_TRUE(Attributes(document).Visible());
    for (const char* key : {" ", "s", "r"})
        Type(key);
    EXPECT_EQ(document->Editor->Text(), "<p>Hello<IMG sr>");
    EXPECT_EQ(Selected(Attributes(document)), "SRC");
    Press(Qt::Key_Return);
    EXPECT_EQ(document->Editor->Text(), "<p>Hello<IMG SRC=\"\">");
    EXPECT_EQ(document->Editor->SelStart(), 18) << "between the quotes";
    EXPECT_FALSE(Attributes(document).Visible());

    // "<", "i" and a double click: the first name with "I".
    document->Editor->SetSelStart(20);
    Type("<");
    Type("i");
    EXPECT_EQ(Selected(Tags(document)), "I");
    // A real double click on the selected item.
    auto* view = qobject_cast<QAbstractItemView*>(dynamic_cast<TNativePeer*>(Tags(document).Peer())->Widget());
    ASSERT_NE(view, nullptr);
    const QPoint item = view->visualRect(view->currentIndex()).center();
    // As the system sends it: a click, then the second press as a double
    // click.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, item);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, item);
    Application().ProcessMessages();
    EXPECT_EQ(document->Editor->Text(), "<p>Hello<IMG SRC=\"\"><I>");
    ASSERT_TRUE(Attributes(document).Visible());
    // A character other than a letter closes the attributes too, typed.
    Type("=");
    EXPECT_FALSE(Attributes(document).Visible());
    EXPECT_EQ(document->Editor->Text(), "<p>Hello<IMG SRC=\"\"><I=>");

    // Backspace closes the list and deletes as it does in the editor.
    document->Editor->SetSelStart(24);
    Type("<");
    Type("b");
    Press(Qt::Key_Backspace);
    EXPECT_FALSE(Tags(document).Visible());
    EXPECT_EQ(document->Editor->Text(), "<p>Hello<IMG SRC=\"\"><I=><");
    delete document;
}
