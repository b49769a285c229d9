// The special-characters window: every one of its 67 entries chosen as the
// combo box reports a choice and its entity checked against what Qt's HTML
// reader makes of it, a third of them inserted at the caret; typed
// characters, a tag edited by hand, no document to insert into, and
// windows that go when they are closed.

#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/app/dialogs/EditorProbe.h"

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/dialogs/SpecialCharacters.h"
#include "platform/base/QtBridge.h"
#include "platform/base/Utf8.h"
#include "platform/ui/Application.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/TextControls.h"

#include <QTextDocument>

#include <random>
#include <set>

namespace {

class SpecialCharacters : public TDialogTest {
protected:
    // Opens a window by a command; nullptr when none was made.
    TCaracfrm* Open(const std::string& handler = "specCaracBtnClick") {
        TCaracfrm* window = nullptr;
        RunCommand(handler, [&](TCustomForm& form) { window = dynamic_cast<TCaracfrm*>(&form); });
        return window;
    }
    // The combo box reports a choice, as its window does.
    static void Choose(TCaracfrm& window, int index) {
        window.ComboBox1->Perform(CN_COMMAND, CBN_SELCHANGE, index);
    }
    static void Type(TCaracfrm& window, const std::string& text) {
        window.ComboBox1->Perform(CN_COMMAND, CBN_EDITCHANGE, reinterpret_cast<LPARAM>(&text));
    }
};

// What a browser shows for an entity.
QString parsed(const std::string& entity) {
    QTextDocument document;
    document.setHtml(QString::fromLatin1(entity.c_str()));
    // Raw: the plain text would show a non-breaking blank as a blank.
    return document.toRawText();
}

TEST_F(SpecialCharacters, EveryEntryGivesTheEntityAParserTurnsBackIntoItsCharacter) {
    TEditForm* document = NewDocument();
    SetEditorText(*document, "", 0, 0);
    TCaracfrm* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->Visible());
    EXPECT_FALSE(window->Modal());
    EXPECT_EQ(window->FormStyle(), fsStayOnTop);
    EXPECT_EQ(window->Caption(), "Special Characters");
    EXPECT_EQ(window->ComboBox1->Text(), "<");
    EXPECT_EQ(window->Edit2->Text(), "<");
    EXPECT_EQ(window->Edit1->Text(), "&lt;");

    // The list: the markup characters, two signs, the Latin-1 letters
    // from U+00C0 to U+00FD but the two signs among them, and the blank,
    // each one character of UTF-8.
    std::set<char32_t> expected = {'<', '>', '&', '"', 0xAE, 0xA9, ' '};
    for (char32_t code = 0xC0; code <= 0xFD; ++code)
        if (code != 0xD7 && code != 0xF7)
            expected.insert(code);
    ASSERT_EQ(window->ComboBox1->Items().Count(), 67);
    std::set<char32_t> listed;
    std::set<std::string> entities;
    std::string inserted;
    std::mt19937 random(5);
    for (int i = 0; i < 67; ++i) {
        const std::string item = window->ComboBox1->Items().Strings(i);
        char32_t code = 0;
        ASSERT_EQ(Utf8SequenceLength(item, code), item.size()) << "entry " << i + 1;
        listed.insert(code);
        Choose(*window, i);
        EXPECT_EQ(window->Edit2->Text(), item);
        const std::string entity = window->Edit1->Text();
        entities.insert(entity);
        // The blank is the one character whose entity is another: the
        // blank that does not break.
        const QString character = item == " " ? QString(QChar(0xA0)) : QString::fromUtf8(item);
        EXPECT_EQ(parsed(entity), character) << entity << " for entry " << i + 1;
        if (random() % 3 == 0) {
            Press(*window, "BitBtn1");
            inserted += entity;
        }
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(entities.size(), 67u) << "each entry has its own entity";
    EXPECT_EQ(EditorText(*document), inserted);
    EXPECT_TRUE(window->Visible()) << "inserting leaves the window open";
    // Three pairs stand against the code order, each entity with its own
    // character.
    for (const auto& [first, second] :
         {std::pair{"\xC3\x9A", "\xC3\x99"}, {"\xC3\xA1", "\xC3\xA0"}, {"\xC3\xB3", "\xC3\xB2"}}) {
        const int a = window->ComboBox1->Items().IndexOf(first);
        const int b = window->ComboBox1->Items().IndexOf(second);
        EXPECT_EQ(b, a + 1);
    }
    Choose(*window, 65);
    EXPECT_EQ(window->Edit1->Text(), "&yacute;");
}

TEST_F(SpecialCharacters, TypedCharactersAndAHandEditedTagGoInAsTheUserLeftThem) {
    TEditForm* document = NewDocument();
    SetEditorText(*document, "ab", 1, 0);
    TCaracfrm* window = Open("caracbuttonClick");
    ASSERT_NE(window, nullptr);
    Type(*window, "\xC3\xA9");
    EXPECT_EQ(window->Edit2->Text(), "\xC3\xA9");
    EXPECT_EQ(window->Edit1->Text(), "&eacute;");
    // A character that is no entry: the preview follows, the tag stays.
    Type(*window, "\xC3\xBF");
    EXPECT_EQ(window->Edit2->Text(), "\xC3\xBF");
    EXPECT_EQ(window->Edit1->Text(), "&eacute;");
    // Case counts: "\xC3\x89" is another entry than "\xC3\xA9".
    Type(*window, "\xC3\x89");
    EXPECT_EQ(window->Edit1->Text(), "&Eacute;");
    SetControl(*window, "Edit1", "&#8364;");
    Press(*window, "BitBtn1");
    EXPECT_EQ(EditorText(*document), "a&#8364;b");
    // A selection is replaced.
    SetEditorText(*document, "xyz", 1, 1);
    Press(*window, "BitBtn1");
    EXPECT_EQ(EditorText(*document), "x&#8364;z");
    EditorUndo(*document);
    EXPECT_EQ(EditorText(*document), "xyz");
}

TEST_F(SpecialCharacters, NothingIsInsertedWithoutADocumentAndClosedWindowsGo) {
    EXPECT_FALSE(RunCommand("specCaracBtnClick", [](TCustomForm&) {})) << "no document, no window";
    TEditForm* document = NewDocument();
    TCaracfrm* first = Open();
    TCaracfrm* second = Open("caracbuttonClick");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second) << "each command opens a further window";
    EXPECT_EQ(first->Owner(), frame);
    TComponentWatch firstWatch(first), secondWatch(second);
    Press(*first, "Button1");
    Application().ProcessMessages();
    EXPECT_FALSE(firstWatch.Alive()) << "a closed window is freed";
    // The window outlives the document; Insert then writes nowhere.
    delete document;
    Application().ProcessMessages();
    ASSERT_TRUE(secondWatch.Alive());
    Press(*second, "BitBtn1");
    EXPECT_TRUE(secondWatch.Alive());
    TEditForm* next = NewDocument();
    SetEditorText(*next, "", 0, 0);
    Press(*second, "BitBtn1");
    EXPECT_EQ(EditorText(*next), "&lt;") << "the next document takes it";
    second->Close();
    Application().ProcessMessages();
    EXPECT_FALSE(secondWatch.Alive());
}

} // namespace
