// The program's text (UTF-8) through the standard controls that are Qt
// widgets (edit box, memo, combo and list box, value grid, button, check
// box, group box, tab control, tree and list view): what the program puts
// in shows as its characters, and what the user edits comes back with
// every byte the program put in, also bytes outside any valid sequence;
// typed characters reach the key handlers as one byte and go in as UTF-8;
// a character the face lacks is drawn from the fallback font.

#include "platform/base/QtBridge.h"
#include "platform/base/Utf8.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/ListView.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/TreeView.h"
#include "platform/ui/ValueListEditor.h"
#include "tests/platform/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeView>

#include <random>

namespace {

// Random text of one line: ASCII, characters of two, three and four bytes,
// one of the escapes' own range, and bytes outside any valid sequence.
std::string randomLine(std::mt19937& random) {
    static const char* const kPieces[] = {"a", "B", " ", "=", "\xC3\xA9", "\xE2\x82\xAC", "\xE4\xB8\xAD",
                                          "\xF0\x9F\x98\x80", "\xEF\x9E\x80", "\xE9", "\xFF", "\xE4\xB8", "\x80"};
    std::string text = "t"; // never empty
    for (size_t i = 0, n = random() % 8; i < n; ++i)
        text += kPieces[random() % std::size(kPieces)];
    return text;
}

// A control on the host's form at a place of its own.
void place(TControl& control, TTestHost& host, int left, int top, int width, int height) {
    control.SetParent(&host.Form);
    control.SetBounds(left, top, width, height);
}

void typeAtEnd(QLineEdit* line, const QString& character) {
    line->end(false);
    QTest::sendKeyEvent(QTest::Press, line, Qt::Key_unknown, character, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, line, Qt::Key_unknown, character, Qt::NoModifier);
}

// The editor open over a value's cell.
QWidget* editorAt(QTableView& view, int row) {
    QWidget* widget = view.viewport()->childAt(view.visualRect(view.model()->index(row, 1)).center());
    while (widget != nullptr && widget->parentWidget() != view.viewport())
        widget = widget->parentWidget();
    return widget;
}

const QString kEAcute = QString::fromUtf8("\xC3\xA9");
constexpr const char* kEAcuteBytes = "\xC3\xA9";

TEST(ProgramTextControls, RandomTextShowsAsItsCharactersAndSurvivesTheUsersEditsInEveryControl) {
    TTestHost host(600, 500);
    std::mt19937 random(88);
    TEdit edit(&host.Form);
    place(edit, host, 0, 0, 121, 21);
    TMemo memo(&host.Form);
    place(memo, host, 0, 30, 200, 80);
    TComboBox combo(&host.Form);
    place(combo, host, 0, 120, 200, 24);
    TListBox list(&host.Form);
    place(list, host, 0, 150, 200, 80);
    TValueListEditor grid(&host.Form);
    place(grid, host, 210, 0, 300, 200);
    grid.SetDisplayOptions(doKeyColFixed);
    TButton button(&host.Form);
    place(button, host, 210, 210, 100, 24);
    TCheckBox check(&host.Form);
    place(check, host, 210, 240, 100, 24);
    TGroupBox group(&host.Form);
    place(group, host, 320, 210, 100, 60);
    TTabControl tabs(&host.Form);
    place(tabs, host, 0, 240, 200, 60);
    TTreeView tree(&host.Form);
    place(tree, host, 0, 310, 200, 80);
    TListView rows(&host.Form);
    place(rows, host, 210, 310, 200, 80);
    rows.SetViewStyle(vsReport);
    rows.Columns().Add()->SetCaption("Name");
    QApplication::processEvents();

    auto* line = WidgetOf<QLineEdit>(edit);
    auto* memoEdit = WidgetOf<QTextEdit>(memo);
    auto* box = WidgetOf<QComboBox>(combo);
    auto* listView = WidgetOf<QListView>(list);
    auto* table = WidgetOf<QTableView>(grid);
    ASSERT_TRUE(line && memoEdit && box && listView && table);
    for (int round = 0; round < 25; ++round) {
        const std::string text = randomLine(random);
        const QString shown = ProgramTextToQString(text);
        SCOPED_TRACE("round " + std::to_string(round));

        // The edit box: shown, then typed on at the end.
        edit.SetText(text);
        ASSERT_EQ(line->text(), shown);
        typeAtEnd(line, kEAcute);
        ASSERT_EQ(edit.Text(), text + kEAcuteBytes);
        ASSERT_EQ(edit.SelStart(), static_cast<int>(text.size()) + 2);

        // The memo, over two lines.
        const std::string two = text + "\r\n" + randomLine(random);
        memo.SetText(two);
        ASSERT_EQ(memoEdit->toPlainText(), ProgramTextToQString(two).replace("\r\n", "\n"));
        memoEdit->moveCursor(QTextCursor::End);
        QTest::keyClick(memoEdit, 'k');
        ASSERT_EQ(memo.Text(), two + "k");
        ASSERT_EQ(memo.SelStart(), static_cast<int>(two.size()) + 1);
        // A selection set in bytes covers the same characters in the window.
        memo.SetSelStart(static_cast<int>(text.size()) + 2);
        memo.SetSelLength(static_cast<int>(two.size() - text.size()) - 2);
        ASSERT_EQ(QStringToProgramText(memoEdit->textCursor().selectedText()), two.substr(text.size() + 2));

        // The combo box: its items and its edit field.
        combo.Items().Clear();
        combo.Items().Add(text);
        combo.Items().Add("other");
        combo.SetItemIndex(0);
        ASSERT_EQ(box->itemText(0), shown);
        ASSERT_EQ(box->currentText(), shown);
        typeAtEnd(box->lineEdit(), QString("z"));
        ASSERT_EQ(combo.Text(), text + "z");

        // The list box's items.
        list.Items().Clear();
        list.Items().Add(text);
        ASSERT_EQ(listView->model()->index(0, 0).data().toString(), shown);

        // The value grid: shown, then edited in its editor.
        grid.Strings().Clear();
        grid.InsertRow("KEY", text, true);
        QApplication::processEvents();
        ASSERT_EQ(table->model()->index(0, 1).data().toString(), shown);
        grid.SetRow(grid.FixedRows());
        table->edit(table->model()->index(0, 1));
        auto* cellEditor = qobject_cast<QLineEdit*>(editorAt(*table, 0));
        ASSERT_NE(cellEditor, nullptr);
        ASSERT_EQ(cellEditor->text(), shown);
        typeAtEnd(cellEditor, kEAcute);
        ASSERT_EQ(grid.Cells(1, grid.FixedRows()), text + kEAcuteBytes);
        QTest::keyClick(cellEditor, Qt::Key_Return);
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // Captions, tabs, tree nodes and list rows.
        const std::string caption = text + " \xE4\xB8\xAD";
        button.SetCaption(caption);
        check.SetCaption(caption);
        group.SetCaption(caption);
        ASSERT_EQ(WidgetOf<QPushButton>(button)->text(), ProgramTextToQString(caption));
        ASSERT_EQ(WidgetOf<QCheckBox>(check)->text(), ProgramTextToQString(caption));
        ASSERT_EQ(WidgetOf<QGroupBox>(group)->title(), ProgramTextToQString(caption));
        tabs.Tabs().Clear();
        tabs.Tabs().Add(text);
        QApplication::processEvents();
        auto* tabRow = WidgetOf(tabs)->findChild<QTabBar*>();
        ASSERT_NE(tabRow, nullptr);
        ASSERT_EQ(tabRow->tabText(0), shown);
        tree.Items().Clear();
        tree.Items().Add(nullptr, text);
        ASSERT_EQ(WidgetOf<QTreeView>(tree)->model()->index(0, 0).data().toString(), shown);
        rows.Items().Clear();
        rows.Items().Add()->SetCaption(text);
        ASSERT_EQ(WidgetOf<QAbstractItemView>(rows)->model()->index(0, 0).data().toString(), shown);
    }
}

TEST(ProgramTextControls, TypedCharactersGoInAsUtf8AndKeyHandlersSeeOneByte) {
    TTestHost host;
    TEdit edit(&host.Form);
    edit.SetParent(&host.Form);
    auto* line = WidgetOf<QLineEdit>(edit);
    std::vector<int> seen;
    edit.OnKeyPress = [&](TPersistent*, char& key) { seen.push_back(static_cast<unsigned char>(key)); };
    for (const char* typed : {"\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xE2\x82\xAC"})
        typeAtEnd(line, QString::fromUtf8(typed));
    EXPECT_EQ(edit.Text(), "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\xE2\x82\xAC");
    // The code page's byte, or '?' where it has none.
    EXPECT_EQ(seen, (std::vector<int>{0xE9, '?', '?', 0x80}));

    // A handler that changes a key: its new byte's character goes in.
    edit.SetText("");
    edit.OnKeyPress = [](TPersistent*, char& key) {
        if (static_cast<unsigned char>(key) == 0xE9)
            key = static_cast<char>(0xC9);
        else if (key == '?')
            key = 0;
    };
    typeAtEnd(line, kEAcute);
    typeAtEnd(line, QString::fromUtf8("\xE4\xB8\xAD"));
    typeAtEnd(line, QString("x"));
    EXPECT_EQ(edit.Text(), "\xC3\x89x") << "E acute in capitals; the refused character is gone";
}

// Pixel probe: a character the control's face lacks is drawn from the
// font the system falls back to, not as the face's empty box (which an
// unassigned code point shows).
TEST(ProgramTextControls, CharactersTheFaceLacksAreDrawnFromTheFallbackFont) {
    TTestHost host;
    TEdit edit(&host.Form);
    edit.SetParent(&host.Form);
    edit.SetBounds(10, 10, 120, 24);
    edit.Font().SetName("Arial");
    auto* line = WidgetOf<QLineEdit>(edit);
    auto pixels = [&](const char* text) {
        edit.SetText(text);
        return line->grab().toImage();
    };
    const QImage box = pixels("\xCD\xB8"); // U+0378, assigned to nothing
    EXPECT_NE(pixels("\xE4\xB8\xAD"), box) << "CJK";
    EXPECT_NE(pixels("\xC3\xA9"), box);
    EXPECT_NE(pixels("\xCD\xB8"), pixels("")) << "the box itself is drawn";
}

} // namespace

// MaxLength counts characters, whatever their length in bytes or UTF-16
// units, and no character is ever cut: random typing (characters beyond
// the BMP sometimes in two presses, one half each, as an input method may
// send them) and pastes against a model of code points.
TEST(ProgramTextControls, MaxLengthCountsCharactersAndNothingTypedOrPastedIsCut) {
    TTestHost host;
    TEdit edit(&host.Form);
    edit.SetParent(&host.Form);
    auto* line = WidgetOf<QLineEdit>(edit);
    static const char32_t kCharacters[] = {U'a', U'Z', U' ', 0xE9, 0x20AC, 0x4E2D, 0x1F600, 0x1F4A9, 0x10348};
    auto utf8 = [](const std::u32string& text) {
        std::string bytes;
        for (char32_t c : text)
            AppendUtf8(bytes, c);
        return bytes;
    };
    auto randomCharacters = [&](std::mt19937& random, size_t most) {
        std::u32string text;
        for (size_t i = 0, n = 1 + random() % most; i < n; ++i)
            text += kCharacters[random() % std::size(kCharacters)];
        return text;
    };
    std::mt19937 random(2111);
    for (int round = 0; round < 12; ++round) {
        const int limit = 1 + static_cast<int>(random() % 6);
        edit.SetMaxLength(limit);
        edit.SetText("");
        std::u32string model;
        SCOPED_TRACE("limit " + std::to_string(limit));
        for (int step = 0; step < 14; ++step) {
            const size_t room = static_cast<size_t>(limit) - std::min(model.size(), static_cast<size_t>(limit));
            line->end(false);
            if (random() % 3 == 0) {
                // A paste goes in as far as it fits.
                const std::u32string pasted = randomCharacters(random, 5);
                line->insert(QString::fromStdU32String(pasted));
                model += pasted.substr(0, room);
            } else {
                const char32_t c = kCharacters[random() % std::size(kCharacters)];
                const QString typed = QString::fromStdU32String(std::u32string(1, c));
                if (typed.size() == 2 && random() % 2 == 0) {
                    typeAtEnd(line, typed.left(1));
                    typeAtEnd(line, typed.right(1));
                } else {
                    typeAtEnd(line, typed);
                }
                if (room > 0)
                    model += c;
            }
            ASSERT_EQ(edit.Text(), utf8(model)) << "step " << step;
        }
        EXPECT_EQ(model.size(), static_cast<size_t>(limit)) << "filled up to the limit";
    }
    // The program's own text is kept whole, however long; typing into it
    // adds nothing, deleting works.
    edit.SetMaxLength(2);
    edit.SetText("\xF0\x9F\x98\x80\xC3\xA9\xE4\xB8\xAD");
    typeAtEnd(line, QString("x"));
    EXPECT_EQ(edit.Text(), "\xF0\x9F\x98\x80\xC3\xA9\xE4\xB8\xAD");
    line->end(false);
    QTest::keyClick(line, Qt::Key_Backspace);
    EXPECT_EQ(edit.Text(), "\xF0\x9F\x98\x80\xC3\xA9");
}
