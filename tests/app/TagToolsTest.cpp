// The tag inspector and the completion lists in the running main window
// (offscreen), each edit checked as the document's exact text and as one
// undo step: quoted, single-quoted and bare values, ">" inside a value,
// names that only end like another (ALIGN in VALIGN), a tag that ends the
// text, text changed between reading and writing, the dialogs behind the
// rows' buttons, and the lists after "<" with their data file missing or
// damaged.

#include "app/TagAttributes.h"
#include "app/TagCompletion.h"
#include "app/TagInspector.h"
#include "app/TagInspectorRules.h"
#include "tests/app/FileDialogFilters.h"
#include "tests/app/ToolsFixture.h"

#include "editor/CodeMemo.h"
#include "platform/base/IniFile.h"
#include "platform/base/Strings.h"
#include "platform/gfx/Picture.h"
#include "platform/ui/Keys.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ValueListEditor.h"
#include "platform/base/QtBridge.h"
#include "platform/base/Utf8.h"
#include "platform/widgets/NativePeer.h"
#include "toolbars/TBItem.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <set>

namespace {

class TagInspectorTest : public TToolsFixture {
protected:
    // The user clicks at an offset.
    void ClickAt(TEditForm* document, int32_t offset) {
        document->Editor->SetSelStart(offset);
        document->editorClick(document->Editor);
    }
    TValueListEditor& Grid() { return *frame->TagInspector; }
    // The user presses the button of the grid's current row, which gives
    // the grid the focus first.
    void PressEditButton() {
        Grid().SetFocus();
        Grid().OnEditButtonClick(&Grid());
    }
    int RowOf(const std::string& name) {
        for (int row = 0; row < Grid().RowCount(); ++row)
            if (Grid().Keys(row) == name)
                return row;
        ADD_FAILURE() << "no row " << name;
        return 0;
    }
    // The user types a value into a row: one change per key, then keys up.
    void Type(const std::string& name, const std::string& value) {
        const int row = RowOf(name);
        Grid().SetRow(row);
        TGridCellNotice notice{1, row, &value};
        SendMessage(&Grid(), CN_NOTIFY, static_cast<WPARAM>(static_cast<intptr_t>(GN_SETEDITTEXT)),
                    reinterpret_cast<LPARAM>(&notice));
        SendMessage(&Grid(), WM_KEYUP, 'X', 0);
    }
    static std::string Caption(TEditForm* document) { return TagInspectorOf(*document)->lbltaginfo->Caption(); }
    // Undo takes the edit back in one step, to the exact text.
    static void ExpectOneUndoStep(TEditForm* document, const std::string& before) {
        ASSERT_TRUE(document->Editor->CanUndo());
        document->Editor->Undo();
        EXPECT_EQ(document->Editor->Text(), before);
    }
};



TEST_F(TagInspectorTest, QuotedAndBareValuesShowAndAnEditRewritesTheTagOnce) {
    const std::string text = "<P>x</P>\r\n<IMG SRC=\"a.gif\" WIDTH=10>\r\nend";
    TEditForm* document = Open(text);
    ClickAt(document, 15);
    EXPECT_EQ(Caption(document), "IMG");
    EXPECT_TRUE(Grid().Enabled());
    EXPECT_EQ(Grid().Strings().Count(), static_cast<int>(ListedAttributes("IMG").size()));
    EXPECT_EQ(Grid().Values("SRC"), "a.gif");
    EXPECT_EQ(Grid().Values("WIDTH"), "10");
    EXPECT_EQ(Grid().ItemProps(RowOf("SRC")).EditStyle(), esEllipsis);
    EXPECT_EQ(Grid().ItemProps(RowOf("ALIGN")).EditStyle(), esPickList);
    EXPECT_EQ(Grid().ItemProps(RowOf("ALIGN")).PickList().Text(), "Bottom\r\nMiddle\r\nTop\r\nLeft\r\nRight\r\n");

    Type("WIDTH", "20");
    EXPECT_EQ(document->Editor->Text(), "<P>x</P>\r\n<IMG SRC=\"a.gif\" WIDTH=\"20\">\r\nend");
    EXPECT_TRUE(document->Editor->Modified);
    EXPECT_EQ(document->Editor->SelStart(), 11) << "the caret just after the '<'";
    // The next key rewrites the tag as now written: still one tag.
    Type("WIDTH", "200");
    EXPECT_EQ(document->Editor->Text(), "<P>x</P>\r\n<IMG SRC=\"a.gif\" WIDTH=\"200\">\r\nend");
    document->Editor->Undo();
    ExpectOneUndoStep(document, text);
}

TEST_F(TagInspectorTest, NamesMatchWholeAndWhatNoRowCoversStays) {
    const std::string text = "<TABLE><TR><TD VALIGN=top NOWRAP>cell</TD>";
    TEditForm* document = Open(text);
    ClickAt(document, 15);
    EXPECT_EQ(Caption(document), "TD");
    EXPECT_EQ(Grid().Values("VALIGN"), "top");
    EXPECT_EQ(Grid().Values("ALIGN"), "") << "ALIGN is not found inside VALIGN";
    EXPECT_EQ(Grid().Values("NOWRAP"), "") << "a bare name has no value";
    EXPECT_EQ(document->TagTail, " NOWRAP");
    Type("VALIGN", "middle");
    EXPECT_EQ(document->Editor->Text(), "<TABLE><TR><TD VALIGN=\"middle\" NOWRAP>cell</TD>");
    // Giving the bare name a value writes it once.
    Type("NOWRAP", "nowrap");
    EXPECT_EQ(document->Editor->Text(), "<TABLE><TR><TD NOWRAP=\"nowrap\" VALIGN=\"middle\">cell</TD>");
    document->Editor->Undo();
    ExpectOneUndoStep(document, text);
}

TEST_F(TagInspectorTest, QuotesBlanksAndEightBitCharactersSurvive) {
    const std::string text = "<IMG ALT='a > b' TITLE=\"Sa\xFAl  said \"\r\nSRC=x.gif>";
    TEditForm* document = Open(text);
    ClickAt(document, 3);
    EXPECT_EQ(Grid().Values("ALT"), "a > b") << "'>' inside a single-quoted value";
    EXPECT_EQ(Grid().Values("TITLE"), "Sa\xFAl  said ");
    EXPECT_EQ(Grid().Values("SRC"), "x.gif") << "after a line break";
    Type("WIDTH", "5");
    EXPECT_EQ(document->Editor->Text(), "<IMG SRC=\"x.gif\" ALT=\"a > b\" WIDTH=\"5\" TITLE=\"Sa\xFAl said \">");
    ExpectOneUndoStep(document, text);

    // A value with both kinds of quote keeps them.
    const std::string quoted = "<P TITLE='say \"hi\"'>";
    document = Open(quoted);
    ClickAt(document, 3);
    EXPECT_EQ(Grid().Values("TITLE"), "say \"hi\"");
    Type("TITLE", "it's \"hi\"");
    EXPECT_EQ(document->Editor->Text(), "<P TITLE=\"it's &quot;hi&quot;\">");
}

TEST_F(TagInspectorTest, ATagAtTheEndOfTheTextIsFound) {
    const std::string text = "line<BR CLEAR=all>";
    TEditForm* document = Open(text);
    ClickAt(document, static_cast<int32_t>(text.size()) - 1);
    EXPECT_EQ(Caption(document), "BR");
    EXPECT_EQ(Grid().Values("CLEAR"), "all");
    Type("CLEAR", "left");
    EXPECT_EQ(document->Editor->Text(), "line<BR CLEAR=\"left\">");
    ExpectOneUndoStep(document, text);
}

TEST_F(TagInspectorTest, TextChangedSinceTheTagWasReadIsReadAgainAndNotWritten) {
    const std::string text = "<IMG SRC=a.gif WIDTH=10>";
    TEditForm* document = Open(text);
    ClickAt(document, 5);
    // The tag itself changes in the editor (typing, undo, another command).
    document->Editor->SetSelStart(21);
    document->Editor->SetSelLength(2);
    document->Editor->SetSelText("15");
    const std::string changed = "<IMG SRC=a.gif WIDTH=15>";
    ASSERT_EQ(document->Editor->Text(), changed);
    document->Editor->SetSelStart(5);
    Type("SRC", "b.gif");
    EXPECT_EQ(document->Editor->Text(), changed) << "nothing written over the changed tag";
    EXPECT_EQ(Grid().Values("WIDTH"), "15") << "read again";
    EXPECT_EQ(Grid().Values("SRC"), "a.gif");
    // Text before the tag moved it: read again, nothing written.
    document->Editor->SetSelStart(0);
    document->Editor->SetSelText("xx");
    Type("SRC", "c.gif");
    EXPECT_EQ(document->Editor->Text(), "xx" + changed);
}

TEST_F(TagInspectorTest, CommentsUnknownTagsAndClosingTagsLeaveTheGridDisabled) {
    TEditForm* document = Open("<!-- <B> a > b -->\r\n<FOO BAR=1>\r\n<B>bold</B> text");
    ClickAt(document, 12);
    EXPECT_EQ(Caption(document), "!");
    EXPECT_FALSE(Grid().Enabled());
    ClickAt(document, 24);
    EXPECT_EQ(Caption(document), "FOO");
    EXPECT_FALSE(Grid().Enabled());
    ClickAt(document, 42);
    EXPECT_EQ(Caption(document), "No corresponding tag found") << "a closing tag";
    EXPECT_FALSE(Grid().Enabled());
    EXPECT_EQ(TagInspectorOf(*document)->lbltaginfo->Tag, -1);
    // Closing the document empties the grid it filled.
    ClickAt(document, 34);
    EXPECT_TRUE(Grid().Enabled());
    delete document;
    EXPECT_FALSE(Grid().Enabled());
    EXPECT_EQ(Grid().Strings().Count(), 0);
}

TEST_F(TagInspectorTest, TheColourButtonWritesHashAndRedGreenBlue) {
    TEditForm* document = Open("<BODY BGCOLOR=white>");
    ClickAt(document, 3);
    Grid().SetRow(RowOf("BGCOLOR"));
    user.AnswerColor(RGB(0x12, 0xAB, 0x05));
    PressEditButton();
    EXPECT_EQ(document->Editor->Text(), "<BODY BGCOLOR=\"#12AB05\">");
    // Cancelled: nothing.
    user.Cancel(TScriptedUserInteraction::kColor);
    PressEditButton();
    EXPECT_EQ(document->Editor->Text(), "<BODY BGCOLOR=\"#12AB05\">");
}

// The mouse moved over a widget, delivered at once: the offscreen windows
// activate every window shown, popups too, and a turn of the event loop
// with a popup up would close it there.
void moveMouse(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// A value picked with the mouse from a row's drop-down, as the user does
// it: a click on the cell, one on its arrow, one on the value.  It is
// written as the keyboard's pick writes it, for each of the row's values.
TEST_F(TagInspectorTest, AValuePickedWithTheMouseIsWritten) {
    auto* table = qobject_cast<QTableView*>(dynamic_cast<TNativePeer*>(Grid().Peer())->Widget());
    ASSERT_NE(table, nullptr);
    const std::vector<std::string> values = AttributePickList("IMG", "ALIGN");
    for (size_t pick = 0; pick < values.size(); ++pick) {
        SCOPED_TRACE(values[pick]);
        TEditForm* document = Open("<P>x</P><IMG SRC=\"a.gif\">");
        ClickAt(document, 10);
        ASSERT_EQ(Caption(document), "IMG");
        const QModelIndex cell = table->model()->index(RowOf("ALIGN"), 1);
        table->scrollTo(cell);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, table->visualRect(cell).center());
        Application().ProcessMessages();
        auto* combo = table->viewport()->findChild<QComboBox*>();
        ASSERT_NE(combo, nullptr) << "the click opens the cell's drop-down editor";
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        option.subControls = QStyle::SC_All;
        const QRect arrow =
            combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, combo);
        QTest::mouseClick(combo, Qt::LeftButton, Qt::NoModifier, arrow.center());
        QAbstractItemView* list = combo->view();
        ASSERT_TRUE(list->isVisible()) << "the arrow opens the values";
        const QModelIndex item = list->model()->index(static_cast<int>(pick), 0);
        ASSERT_EQ(item.data().toString().toStdString(), values[pick]);
        // The hand moves down onto the value and clicks it.
        const QPoint at = list->visualRect(item).center();
        for (int y = 0; y <= at.y() + 4; y += 4)
            moveMouse(list->viewport(), QPoint(at.x(), std::min(y, at.y())));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_EQ(Grid().Values("ALIGN"), values[pick]);
        EXPECT_EQ(document->Editor->Text(), "<P>x</P><IMG SRC=\"a.gif\" ALIGN=\"" + values[pick] + "\">");
        delete document;
    }
}

// Answers the text dialog once it shows: new text and OK, or Cancel.
void AnswerTextDialog(std::function<void(TtxtInsFrm&)> answer) {
    QTimer::singleShot(0, [answer] {
        for (int i = 0; i < Screen().FormCount(); ++i)
            if (auto* dialog = dynamic_cast<TtxtInsFrm*>(Screen().Forms(i)))
                answer(*dialog);
    });
}

TEST_F(TagInspectorTest, TheTextDialogWritesOnOkAndCancelChangesNothing) {
    const std::string text = "<P STYLE=\"color: red\">";
    TEditForm* document = Open(text);
    ClickAt(document, 3);
    Grid().SetRow(RowOf("STYLE"));
    AnswerTextDialog([](TtxtInsFrm& dialog) {
        EXPECT_EQ(dialog.txtEdit->Text(), "color: red");
        dialog.txtEdit->SetTextBuf("color: blue");
        dialog.SetModalResult(mrCancel);
    });
    PressEditButton();
    EXPECT_EQ(document->Editor->Text(), text);
    EXPECT_FALSE(document->Editor->Modified);
    EXPECT_EQ(Grid().Values("STYLE"), "color: red");

    AnswerTextDialog([](TtxtInsFrm& dialog) {
        dialog.txtEdit->SetTextBuf("color: blue");
        dialog.okbtnClick(&dialog);
        dialog.SetModalResult(mrOk);
    });
    PressEditButton();
    EXPECT_EQ(document->Editor->Text(), "<P STYLE=\"color: blue\">");
    ExpectOneUndoStep(document, text);
}

TEST_F(TagInspectorTest, AFileIsWrittenRelativeToTheDocument) {
    const std::string page = program.File("site/page.html");
    std::filesystem::create_directories(program.File("site/img"));
    TTestProgramFolder::WriteFileBytes(page, "<IMG SRC=\"\">");
    TEditForm* document = frame->OpenDocumentFile(page);
    ClickAt(document, 3);
    Grid().SetRow(RowOf("SRC"));
    user.AnswerFiles({program.File("site/img/logo.gif")});
    PressEditButton();
    EXPECT_EQ(document->Editor->Text(), "<IMG SRC=\"img/logo.gif\">");
    // The picture dialog opens on an entry that shows every kind of
    // picture the program reads.
    const TFileDialogRequest& request = user.Calls.back().FileRequest;
    for (const TPictureFileFormat& format : TPicture::FileFormats())
        EXPECT_TRUE(FilterEntryTakes(request.Filter, request.FilterIndex, "logo." + format.Extension))
            << format.Extension << " in " << request.Filter;
}

// Values cross between the document and the grid (the program's UTF-8)
// in the document's encoding: shown as characters, written back byte for
// byte, typed values in the page's encoding (a reference where the code
// page lacks the character), against a model over random values.
TEST_F(TagInspectorTest, ValuesShowAsCharactersAndGoBackInTheDocumentsEncoding) {
    static const char* const kDocumentPieces[] = {"v", "-", "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xE9", "\xFF"};
    static const char* const kTyped[] = {"t", "\xC3\xA9", "\xE4\xB8\xAD", "\xE2\x82\xAC", "\xC5\x93"};
    auto* table = qobject_cast<QTableView*>(dynamic_cast<TNativePeer*>(Grid().Peer())->Widget());
    ASSERT_NE(table, nullptr);
    std::mt19937 random(12);
    for (int round = 0; round < 16; ++round) {
        const TTextEncoding encoding = round % 2 == 0 ? teAnsi : teUtf8;
        SCOPED_TRACE("round " + std::to_string(round) + " " + TextEncodingName(encoding));
        std::string value;
        for (size_t i = 0, n = 1 + random() % 6; i < n; ++i)
            value += encoding == teAnsi ? std::string(1, static_cast<char>(0x80 + random() % 0x80))
                                        : std::string(kDocumentPieces[random() % std::size(kDocumentPieces)]);
        const std::string text = "<IMG ALT=\"" + value + "\" WIDTH=\"1\">";
        TEditForm* document = Open(text);
        document->Editor->SetEncoding(encoding);
        ClickAt(document, 3);
        const std::string shown = DocumentTextToProgram(value, encoding);
        ASSERT_EQ(Grid().Values("ALT"), shown);
        ASSERT_EQ(table->model()->index(RowOf("ALT"), 1).data().toString(), ProgramTextToQString(shown));
        // Another value edited: this one's bytes are written back as read.
        Type("WIDTH", "2");
        ASSERT_NE(document->Editor->Text().find("ALT=\"" + value + "\""), std::string::npos) << document->Editor->Text();
        // A typed value goes in in the document's encoding.
        std::string typed;
        for (size_t i = 0, n = 1 + random() % 4; i < n; ++i)
            typed += kTyped[random() % std::size(kTyped)];
        Type("ALT", typed);
        ASSERT_NE(document->Editor->Text().find("ALT=\"" + ProgramTextToDocument(typed, encoding) + "\""),
                  std::string::npos)
            << document->Editor->Text();
        delete document;
    }
    EXPECT_EQ(ProgramTextToDocument("\xE4\xB8\xAD", teAnsi), "&#20013;");
}

TEST_F(TagInspectorTest, TheTextDialogEditsAValueOfACodePagePageAsItsCharacters) {
    TEditForm* document = Open("<P STYLE=\"font: caf\xE9\">");
    document->Editor->SetEncoding(teAnsi);
    ClickAt(document, 3);
    Grid().SetRow(RowOf("STYLE"));
    AnswerTextDialog([](TtxtInsFrm& dialog) {
        EXPECT_EQ(dialog.txtEdit->Text(), "font: caf\xC3\xA9");
        dialog.txtEdit->SetTextBuf("font: \xC3\xA9\xE4\xB8\xAD");
        dialog.okbtnClick(&dialog);
        dialog.SetModalResult(mrOk);
    });
    PressEditButton();
    EXPECT_EQ(document->Editor->Text(), "<P STYLE=\"font: \xE9&#20013;\">");
}

// ---------------------------------------------------------------------------

class CompletionTest : public TagInspectorTest {
protected:
    TListBox& Tags(TEditForm* document) { return *TagCompletionOf(*document)->taglistbox; }
    TListBox& Attributes(TEditForm* document) { return *TagCompletionOf(*document)->paramListbox; }
    void Key(TWinControl* control, char key) { SendMessage(control, WM_CHAR, static_cast<unsigned char>(key), 0); }
    void Choose(TListBox& list, const std::string& item) {
        list.SetItemIndex(list.Items().IndexOf(item));
        ASSERT_GE(list.ItemIndex(), 0) << item;
        Key(&list, '\r');
    }
};

TEST_F(CompletionTest, LessThanThenATagThenAnAttributeLeavesTheCaretBetweenTheQuotes) {
    TEditForm* document = Open("<P>");
    document->Editor->SetSelStart(3);
    Key(document->Editor, '<');
    EXPECT_EQ(document->Editor->Text(), "<P><");
    ASSERT_TRUE(Tags(document).Visible());
    EXPECT_EQ(Tags(document).Items().Count(), 91);
    Choose(Tags(document), "IMG");
    EXPECT_FALSE(Tags(document).Visible());
    EXPECT_EQ(document->Editor->Text(), "<P><IMG>");
    ASSERT_TRUE(Attributes(document).Visible());
    // The tag's attributes, sorted.
    std::vector<std::string> listed = ListedAttributes("IMG");
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> shown;
    for (int i = 0; i < Attributes(document).Items().Count(); ++i)
        shown.push_back(Attributes(document).Items().Strings(i));
    EXPECT_EQ(shown, listed);
    Choose(Attributes(document), "SRC");
    EXPECT_FALSE(Attributes(document).Visible());
    EXPECT_EQ(document->Editor->Text(), "<P><IMG SRC=\"\">");
    EXPECT_EQ(document->Editor->SelStart(), 13) << "between the quotes";
}

TEST_F(CompletionTest, SlashTypesAClosingTagAndEscapeOrTheOptionShowNothing) {
    TEditForm* document = Open("");
    Key(document->Editor, '<');
    Key(&Tags(document), '/');
    EXPECT_EQ(document->Editor->Text(), "</");
    EXPECT_FALSE(Tags(document).Visible());
    EXPECT_FALSE(Attributes(document).Visible());
    Key(document->Editor, '<');
    Key(&Tags(document), 27);
    EXPECT_FALSE(Tags(document).Visible());
    EXPECT_EQ(document->Editor->Text(), "</<");

    frame->Item("codeitem")->SetChecked(false);
    Key(document->Editor, '<');
    EXPECT_EQ(document->Editor->Text(), "</<<");
    EXPECT_FALSE(Tags(document).Visible());
}

TEST_F(CompletionTest, AMissingOrDamagedDataFileShowsNoAttributesAndKeepsTheTag) {
    const std::string data = program.File("data/ondrill.dat");
    for (const std::string& damage : {std::string(), std::string("[IMG]\r\nNombre=abc\r\nAttribut1=SRC\r\n"),
                                      std::string("[IMG]\r\nNombre=-4\r\n"), std::string("\x00\xFF[IMG\x01", 7)}) {
        std::filesystem::remove(data);
        if (!damage.empty())
            TTestProgramFolder::WriteFileBytes(data, damage);
        TEditForm* document = Open("");
        Key(document->Editor, '<');
        Choose(Tags(document), "IMG");
        EXPECT_EQ(document->Editor->Text(), "<IMG>");
        EXPECT_FALSE(Attributes(document).Visible());
        EXPECT_EQ(Attributes(document).Items().Count(), 0);
        delete document;
    }
    // A count far beyond the names lists the names and empty places, up to
    // a bound, and does not run on.
    TTestProgramFolder::WriteFileBytes(data, "[IMG]\r\nNombre=2147483647\r\nAttribut1=SRC\r\n");
    const std::vector<std::string> listed = ListedAttributes("img");
    ASSERT_EQ(listed.size(), static_cast<size_t>(kMaxListedAttributes));
    EXPECT_EQ(listed[0], "SRC");
    EXPECT_EQ(listed[1], "");
}

// The shipped data: every tag of the list has its attributes, counted
// right, in upper case, once each; a row offered as a pick list has
// values to pick (FACE excepted, whose list is empty on purpose).
TEST_F(CompletionTest, TheShippedDataListsEveryTagsAttributesOnce) {
    auto file = std::make_unique<TIniFile>(TagAttributeFileName());
    for (const std::string& tag : TTagCompletion::TagNames()) {
        const std::vector<std::string> listed = ListedAttributes(tag);
        ASSERT_FALSE(listed.empty()) << tag;
        TStringList keys;
        file->ReadSection(tag, keys);
        EXPECT_EQ(keys.Count(), static_cast<int>(listed.size()) + 1) << tag << ": Nombre and the names";
        std::set<std::string> seen;
        for (const std::string& attribute : listed) {
            EXPECT_FALSE(attribute.empty()) << tag;
            EXPECT_EQ(attribute, UpperCaseName(attribute)) << tag;
            EXPECT_TRUE(seen.insert(attribute).second) << tag << " " << attribute;
            if (AttributeEditStyle(tag, attribute) == esPickList && attribute != "FACE") {
                EXPECT_NE(AttributePickList(tag, attribute), std::vector<std::string>{""}) << tag << " " << attribute;
            }
        }
    }
}

} // namespace
