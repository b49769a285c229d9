// The value-list editor: random changes of rows against a list of
// name/value lines whose properties go with them, and a session as the
// tag inspector has it (no title row, values only, a pick list, an
// ellipsis button, typing with key events) driven on its window.

#include "platform/base/TextCodec.h"
#include "platform/ui/ValueListEditor.h"
#include "tests/platform/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

#include <random>

namespace {

// The editor open over a cell (closed ones may still wait to be freed).
QWidget* editorAt(QTableView& view, int row) {
    QWidget* widget = view.viewport()->childAt(view.visualRect(view.model()->index(row, 1)).center());
    while (widget != nullptr && widget->parentWidget() != view.viewport())
        widget = widget->parentWidget();
    return widget;
}

struct TLine {
    std::string Key, Value, Mark; // Mark: what the line's pick list holds ("" without properties)
};

TEST(ValueList, RandomRowChangesKeepNamesValuesAndPropertiesTogether) {
    std::mt19937 random(41);
    for (bool titles : {false, true}) {
        TValueListEditor grid;
        grid.SetDisplayOptions(titles ? doColumnTitles | doKeyColFixed : doKeyColFixed);
        const int fixed = titles ? 1 : 0;
        std::vector<TLine> lines;
        int serial = 0;
        for (int step = 0; step < 300; ++step) {
            int count = static_cast<int>(lines.size());
            std::string text = std::to_string(serial++);
            switch (random() % 6) {
            case 0: {
                // A name in a row, or in the empty row below the lines.
                int line = static_cast<int>(random() % static_cast<unsigned>(count + (count == 0 ? 1 : 0)));
                grid.SetCells(0, line + fixed, std::string("k") + text);
                if (line == count)
                    lines.push_back({std::string("k") + text, "", ""});
                else
                    lines[static_cast<size_t>(line)].Key = std::string("k") + text;
                break;
            }
            case 1:
                if (count > 0) {
                    int line = static_cast<int>(random() % static_cast<unsigned>(count));
                    grid.SetCells(1, line + fixed, std::string("v") + text);
                    lines[static_cast<size_t>(line)].Value = std::string("v") + text;
                }
                break;
            case 2: {
                int row = grid.InsertRow(std::string("n") + text, std::string("w") + text, true);
                EXPECT_EQ(row, count + fixed);
                lines.push_back({std::string("n") + text, std::string("w") + text, ""});
                break;
            }
            case 3:
                if (count > 0) {
                    int line = static_cast<int>(random() % static_cast<unsigned>(count));
                    grid.DeleteRow(line + fixed);
                    lines.erase(lines.begin() + line);
                }
                break;
            case 4:
                if (count > 0) {
                    int line = static_cast<int>(random() % static_cast<unsigned>(count));
                    TItemProp& prop = grid.ItemProps(line + fixed);
                    prop.SetEditStyle(esPickList);
                    prop.PickList().SetText(std::string("p") + text);
                    lines[static_cast<size_t>(line)].Mark = std::string("p") + text;
                }
                break;
            case 5:
                if (count > 1) {
                    // Lines moved in the list take their properties along.
                    int a = static_cast<int>(random() % static_cast<unsigned>(count));
                    int b = static_cast<int>(random() % static_cast<unsigned>(count));
                    grid.Strings().Exchange(a, b);
                    std::swap(lines[static_cast<size_t>(a)], lines[static_cast<size_t>(b)]);
                }
                break;
            }
            ASSERT_EQ(grid.RowCount(), fixed + std::max<int>(1, static_cast<int>(lines.size())));
            for (size_t i = 0; i < lines.size(); ++i) {
                int row = static_cast<int>(i) + fixed;
                ASSERT_EQ(grid.Keys(row), lines[i].Key) << "step " << step;
                ASSERT_EQ(grid.Cells(1, row), lines[i].Value) << "step " << step;
                if (!lines[i].Mark.empty()) {
                    ASSERT_EQ(grid.ItemProps(row).PickList().Strings(0), lines[i].Mark) << "step " << step;
                }
            }
            if (lines.empty()) {
                ASSERT_EQ(grid.Cells(0, fixed), "");
            }
        }
    }
}

TEST(ValueList, ASessionOfTheTagInspectorOnTheWindow) {
    TTestHost host(300, 300);
    TValueListEditor grid(&host.Form);
    grid.SetParent(&host.Form);
    grid.SetBounds(0, 0, 280, 280);
    grid.SetDisplayOptions(doAutoColResize | doKeyColFixed);
    grid.SetColWidths(0, 100);
    for (const char* key : {"SRC", "ALIGN", "STYLE"})
        grid.InsertRow(key, "", true);
    grid.Strings().Delete(0); // the row made for the empty grid
    grid.Strings().Insert(0, "SRC=a.gif");
    TItemProp& align = grid.ItemProps(1);
    align.SetEditStyle(esPickList);
    align.PickList().SetText("Top\r\nMiddle\r\n");
    grid.ItemProps(2).SetEditStyle(esEllipsis);
    TEventLog log;
    grid.OnSelectCell = [&](TPersistent*, int col, int, bool& canSelect) {
        canSelect = col == 1;
        if (!canSelect)
            log.Events.push_back("refused");
    };
    grid.OnSetEditText = [&](TPersistent*, int, int row, const std::string& value) {
        log.Events.push_back(std::string("edit ") + std::to_string(row) + std::string(" ") + value);
    };
    grid.OnGetPickList = [&](TPersistent*, const std::string& key, TStrings& values) {
        log.Events.push_back(std::string("picklist ") + key);
        values.Add("Bottom");
    };
    grid.OnEditButtonClick = [&](TPersistent*) {
        log.Events.push_back("ellipsis");
        grid.SetCells(1, grid.Row(), "color: red");
    };
    grid.OnValidate = [&](TPersistent*, int, int row, const std::string& key, const std::string& value) {
        log.Events.push_back(std::string("validate ") + key + std::string(" ") + value);
        (void)row;
    };
    int keyUps = 0;
    grid.OnKeyUp = [&](TPersistent*, uint16_t&, TShiftState) { ++keyUps; };
    auto* view = WidgetOf<QTableView>(grid);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model()->rowCount(), 3);
    EXPECT_EQ(view->model()->index(0, 1).data().toString(), "a.gif");
    // The names cannot be chosen.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(0, 0)).center());
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"refused"}));
    // Typing a value: one edit per key, the cell holds it, keys are heard.
    grid.SetRow(0);
    auto* line = qobject_cast<QLineEdit*>(editorAt(*view, 0));
    ASSERT_NE(line, nullptr) << "the value's editor is always open";
    line->selectAll();
    QTest::keyClicks(line, "b.gif");
    EXPECT_EQ(grid.Cells(1, 0), "b.gif");
    EXPECT_EQ(log.Take().size(), 5u);
    EXPECT_EQ(keyUps, 5);
    QTest::keyClick(line, Qt::Key_Return);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"validate SRC b.gif"}));
    // The pick list is asked for as it opens; choosing an entry sets the
    // value and is a finished edit, validated at once (nothing more when
    // the row is left).
    grid.SetRow(1);
    auto* combo = qobject_cast<QComboBox*>(editorAt(*view, 1));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"picklist ALIGN"}));
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    EXPECT_EQ(grid.Cells(1, 1), "Bottom");
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"edit 1 Bottom", "validate ALIGN Bottom"}));
    // The ellipsis button's handler sets the value; the open editor shows it.
    grid.SetRow(2);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{}));
    QWidget* ellipsis = editorAt(*view, 2);
    ASSERT_NE(ellipsis, nullptr);
    auto* button = ellipsis->findChild<QToolButton*>();
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"ellipsis"}));
    EXPECT_EQ(grid.Cells(1, 2), "color: red");
    auto* ellipsisLine = button->parentWidget()->findChild<QLineEdit*>();
    EXPECT_EQ(ellipsisLine->text(), "color: red");
    EXPECT_EQ(grid.Strings().Text(), "SRC=b.gif\r\nALIGN=Bottom\r\nSTYLE=color: red\r\n");
}

// The window shows the lines and nothing more: without lines, as the tag
// inspector is where the caret stands in no tag, it shows no row at all
// (no lines, no shaded current cell), whatever was shown before, and one
// editor stands over the current row while there is one; the grid itself
// still counts its one empty row.  Names that may be typed keep an empty
// row to type the first one in.
TEST(ValueList, TheWindowShowsOneRowPerLineAndNoneWithoutLines) {
    TTestHost host(300, 300);
    TValueListEditor grid(&host.Form);
    grid.SetParent(&host.Form);
    grid.SetBounds(0, 0, 280, 280);
    grid.SetDisplayOptions(doAutoColResize | doKeyColFixed);
    auto* view = WidgetOf<QTableView>(grid);
    ASSERT_NE(view, nullptr);
    std::mt19937 random(5);
    int serial = 0;
    for (int step = 0; step < 40; ++step) {
        switch (random() % 3) {
        case 0:
            grid.InsertRow("n" + std::to_string(serial), "v" + std::to_string(serial), random() % 2 == 0);
            ++serial;
            break;
        case 1:
            if (grid.Strings().Count() > 0)
                grid.DeleteRow(static_cast<int>(random() % static_cast<unsigned>(grid.Strings().Count())));
            break;
        default:
            grid.Strings().Clear();
            break;
        }
        QApplication::processEvents();
        ASSERT_EQ(view->model()->rowCount(), grid.Strings().Count()) << "step " << step;
        ASSERT_EQ(grid.RowCount(), std::max(1, grid.Strings().Count()));
        // The value's editor is always open, once, over a row that exists.
        int editors = 0;
        for (QWidget* child : view->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            editors += child->isVisible() ? 1 : 0;
        ASSERT_EQ(editors, grid.Strings().Count() > 0 ? 1 : 0) << "step " << step;
        if (grid.Strings().Count() == 0) {
            // Nothing drawn: every pixel of the viewport is its background.
            const QImage shot = view->viewport()->grab().toImage();
            const QRgb background = shot.pixel(shot.width() - 1, shot.height() - 1);
            int other = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    other += shot.pixel(x, y) != background ? 1 : 0;
            ASSERT_EQ(other, 0) << "step " << step;
        }
    }
    grid.Strings().Clear();
    grid.SetDisplayOptions(doAutoColResize);
    QApplication::processEvents();
    EXPECT_EQ(view->model()->rowCount(), 1) << "a row to type the first name in";
    grid.SetCells(0, 0, "TITLE");
    QApplication::processEvents();
    EXPECT_EQ(view->model()->rowCount(), 1);
    EXPECT_EQ(grid.Strings().Text(), "TITLE=\r\n");
}

// The tag inspector's grid is refilled while the user types elsewhere:
// the program's moves open no editor without goAlwaysShowEditor, and lines
// replaced while an editor is open all show.
TEST(ValueList, LinesReplacedByTheProgramShowAndOpenNoEditor) {
    TTestHost host(300, 300);
    TValueListEditor grid(&host.Form);
    grid.SetParent(&host.Form);
    grid.SetBounds(0, 0, 280, 280);
    grid.SetDisplayOptions(doKeyColFixed);
    grid.SetOptions(grid.Options() & ~goAlwaysShowEditor);
    grid.InsertRow("SRC", "a.gif", true);
    QApplication::processEvents();
    auto* view = WidgetOf<QTableView>(grid);
    ASSERT_NE(view, nullptr);
    view->edit(view->model()->index(0, 1));
    ASSERT_NE(editorAt(*view, 0), nullptr) << "the user's edit";
    grid.Strings().BeginUpdate();
    grid.Strings().Clear();
    for (const char* line : {"WIDTH=1", "HEIGHT=2", "BORDER=3"})
        grid.Strings().Add(line);
    grid.Strings().EndUpdate();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(view->verticalHeader()->count(), 3);
    EXPECT_EQ(view->model()->index(2, 1).data().toString(), "3");
    grid.SetRow(2);
    QApplication::processEvents();
    EXPECT_EQ(editorAt(*view, 2), nullptr);
    EXPECT_EQ(editorAt(*view, 0), nullptr);
}

} // namespace
