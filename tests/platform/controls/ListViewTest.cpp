// The list view: random changes of rows and selection against a model
// that follows rows by identity (the window's rows and selection checked
// too), 10,000 owner-data rows asked for only as they are painted, the
// report's header (clicks and a header painted by the control), in-place
// renaming, and clicks with their selection events.

#include "platform/base/TextCodec.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/ListView.h"
#include "tests/platform/controls/ControlsTestSupport.h"
#include "platform/base/QtBridge.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QTreeView>

#include <algorithm>
#include <random>
#include <set>

namespace {

std::string name(int serial) { return std::string("row") + std::to_string(serial); }

QAbstractItemView* viewOf(TCustomListView& list) { return WidgetOf<QAbstractItemView>(list); }

std::vector<std::string> shownRows(QAbstractItemView& view) {
    std::vector<std::string> rows;
    QAbstractItemModel& model = *view.model();
    for (int i = 0; i < model.rowCount(); ++i)
        rows.push_back(QStringToAnsi(model.index(i, 0).data().toString()));
    return rows;
}

TEST(ListView, RandomRowsAndSelectionsAgreeWithAModelAndTheWindow) {
    TTestHost host(400, 300);
    std::mt19937 random(31);
    for (TViewStyle style : {vsReport, vsList}) {
        TListView list(&host.Form);
        list.SetParent(&host.Form);
        list.SetBounds(0, 0, 380, 280);
        list.SetViewStyle(style);
        list.SetMultiSelect(true);
        list.Columns().Add()->SetCaption("Name");
        std::vector<std::string> rows;
        std::set<std::string> selected;
        int serial = 0;
        int events = 0;
        int expectedEvents = 0;
        list.OnSelectItem = [&](TPersistent*, TListItem*, bool) { ++events; };
        for (int step = 0; step < 200; ++step) {
            int count = static_cast<int>(rows.size());
            switch (random() % 7) {
            case 0:
            case 1: {
                std::string text = name(serial++);
                list.Items().Add()->SetCaption(text);
                rows.push_back(text);
                break;
            }
            case 2: {
                int at = static_cast<int>(random() % static_cast<unsigned>(count + 1));
                std::string text = name(serial++);
                list.Items().Insert(at)->SetCaption(text);
                rows.insert(rows.begin() + at, text);
                break;
            }
            case 3:
                if (count > 0) {
                    int at = static_cast<int>(random() % static_cast<unsigned>(count));
                    list.Items().Delete(at);
                    selected.erase(rows[static_cast<size_t>(at)]);
                    rows.erase(rows.begin() + at);
                }
                break;
            case 4:
                if (count > 0) {
                    int at = static_cast<int>(random() % static_cast<unsigned>(count));
                    bool on = random() % 2;
                    if (selected.count(rows[static_cast<size_t>(at)]) != static_cast<size_t>(on))
                        ++expectedEvents;
                    list.Items().Item(at)->SetSelected(on);
                    if (on)
                        selected.insert(rows[static_cast<size_t>(at)]);
                    else
                        selected.erase(rows[static_cast<size_t>(at)]);
                }
                break;
            case 5:
                // Ordered by caption, the selection goes along.
                list.CustomSort([](TListItem* a, TListItem* b) { return -AnsiCompareText(a->Caption(), b->Caption()); });
                std::sort(rows.begin(), rows.end(), [](const std::string& a, const std::string& b) {
                    return AnsiCompareText(a, b) > 0;
                });
                break;
            case 6:
                if (count > 0 && random() % 3 == 0) {
                    expectedEvents += static_cast<int>(selected.size());
                    list.ClearSelection();
                    selected.clear();
                }
                break;
            }
            std::vector<std::string> captions;
            for (int i = 0; i < list.Items().Count(); ++i)
                captions.push_back(list.Items().Item(i)->Caption());
            ASSERT_EQ(captions, rows) << "step " << step;
            ASSERT_EQ(shownRows(*viewOf(list)), rows) << "step " << step;
            ASSERT_EQ(events, expectedEvents) << "step " << step;
            std::set<std::string> shownSelected;
            for (const QModelIndex& index : viewOf(list)->selectionModel()->selectedRows())
                shownSelected.insert(rows[static_cast<size_t>(index.row())]);
            ASSERT_EQ(shownSelected, selected) << "step " << step;
            ASSERT_EQ(list.SelCount(), static_cast<int>(selected.size()));
        }
    }
}

// Large icons: each cell shows its picture over its caption, and the
// rectangles the control tells of hold what is drawn there (the picture's
// red, the caption's ink), so that a click or a rename lands where the
// user sees it.
TEST(ListView, ALargeIconCellShowsItsPictureOverItsCaptionWhereItsRectanglesSay) {
    TTestHost host(400, 300);
    TImageList large(32, 32);
    TBitmap red(32, 32);
    red.Canvas().FillRect(Rect(0, 0, 32, 32), clRed);
    large.Add(red, nullptr);
    TListView list(&host.Form);
    list.SetParent(&host.Form);
    list.SetBounds(0, 0, 380, 280);
    list.SetViewStyle(vsIcon);
    list.SetLargeImages(&large);
    for (int i = 0; i < 3; ++i) {
        TListItem* item = list.Items().Add();
        item->SetCaption("Item " + std::to_string(i));
        item->SetImageIndex(0);
    }
    QApplication::processEvents();
    auto* view = viewOf(list);
    const QImage shown = view->viewport()->grab().toImage();
    auto count = [&](const TRect& r, auto test) {
        int n = 0;
        for (int y = std::max(0, r.Top); y < std::min(shown.height(), r.Bottom); ++y)
            for (int x = std::max(0, r.Left); x < std::min(shown.width(), r.Right); ++x)
                n += test(QColor(shown.pixel(x, y))) ? 1 : 0;
        return n;
    };
    auto isRed = [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
    auto isInk = [](QColor c) { return qGray(c.rgb()) < 110 && !(c.red() > 200 && c.green() < 60); };
    for (int i = 0; i < 3; ++i) {
        TListItem* item = list.Items().Item(i);
        const TRect icon = item->DisplayRect(TListItem::drIcon);
        const TRect label = item->DisplayRect(TListItem::drLabel);
        const TRect bounds = item->DisplayRect(TListItem::drBounds);
        EXPECT_GE(count(icon, isRed), 32 * 32 * 9 / 10) << "item " << i << ": the whole picture in its rectangle";
        EXPECT_EQ(count(label, isRed), 0) << "item " << i << ": no picture in the caption's rectangle";
        EXPECT_GT(count(label, isInk), 10) << "item " << i << ": the caption in its rectangle";
        EXPECT_LE(label.Top, icon.Bottom + 8) << "item " << i << ": the caption under the picture";
        EXPECT_GE(label.Top, icon.Bottom - 1) << "item " << i;
        EXPECT_TRUE(bounds.Contains({icon.Left, icon.Top}) && bounds.Contains({label.Right - 1, label.Bottom - 1}));
        EXPECT_EQ(list.GetItemAt((icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2), item);
    }
}

TEST(ListView, TenThousandOwnerDataRowsAreAskedForOnlyAsTheyArePainted) {
    TTestHost host(400, 300);
    TListView list(&host.Form);
    list.SetParent(&host.Form);
    list.SetBounds(0, 0, 380, 280);
    list.SetViewStyle(vsReport);
    list.SetOwnerData(true);
    list.Columns().Add()->SetCaption("Name");
    list.Columns().Add()->SetCaption("Square");
    std::set<int> asked;
    list.OnData = [&](TPersistent*, TListItem* item) {
        asked.insert(item->Index());
        item->SetCaption(std::string("item ") + std::to_string(item->Index()));
        item->SubItems().Add(std::to_string(item->Index() * item->Index()));
    };
    list.Items().SetCount(10000);
    auto* view = WidgetOf<QTreeView>(list);
    ASSERT_NE(view, nullptr);
    view->viewport()->grab();
    EXPECT_GT(asked.size(), 5u);
    EXPECT_LT(asked.size(), 100u) << "only the rows on screen";
    EXPECT_EQ(asked.count(9999), 0u);
    // Invalidate repaints the rows, not only the frame: they are asked for
    // again (once what was pending has been painted).
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    asked.clear();
    list.Invalidate();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    EXPECT_GT(asked.size(), 5u);
    EXPECT_EQ(view->model()->index(1234, 1).data().toString(), "1522756");
    // A click selects the row under it; the event names the row.
    std::vector<std::pair<int, bool>> selections;
    list.OnSelectItem = [&](TPersistent*, TListItem* item, bool on) { selections.emplace_back(item->Index(), on); };
    QRect third = view->visualRect(view->model()->index(3, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(list.ItemIndex(), 3);
    EXPECT_EQ(list.GetItemAt(third.center().x(), third.center().y())->Caption(), "item 3");
    QRect fifth = view->visualRect(view->model()->index(5, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, fifth.center());
    EXPECT_EQ(selections, (std::vector<std::pair<int, bool>>{{3, true}, {3, false}, {5, true}}));
    // The count shrinks below the selection: it goes with its rows.
    list.Items().SetCount(4);
    EXPECT_EQ(list.SelCount(), 0);
    EXPECT_EQ(view->model()->rowCount(), 4);
    list.Items().Item(9 % 4)->SetSelected(true);
    EXPECT_EQ(list.ItemIndex(), 1);
}

// A list that paints its header itself: a black bar under the sorted
// column's caption.
class TSortMarkList : public TListView {
public:
    using TListView::TListView;
    int SortColumn = 0;
    bool OwnerDrawHeader() const override { return true; }
    void DrawColumnHeader(TCanvas& canvas, int column, const TRect& rect, bool pressed) override {
        TListView::DrawColumnHeader(canvas, column, rect, pressed);
        if (column == SortColumn)
            canvas.FillRect(Rect(rect.Left + 2, rect.Bottom - 4, rect.Right - 2, rect.Bottom - 2), clBlack);
    }
};

TEST(ListView, HeaderClicksReportTheirColumnAndTheControlMayPaintTheHeader) {
    TTestHost host(400, 300);
    TSortMarkList list(&host.Form);
    list.SetParent(&host.Form);
    list.SetBounds(0, 0, 380, 280);
    list.SetViewStyle(vsReport);
    for (const char* caption : {"Name", "Size", "Type"}) {
        TListColumn* column = list.Columns().Add();
        column->SetCaption(caption);
        column->SetWidth(100);
    }
    list.Columns().Items(1)->SetAlignment(taRightJustify);
    std::vector<int> clicks;
    list.OnColumnClick = [&](TPersistent*, TListColumn* column) {
        clicks.push_back(column->Index());
        list.SortColumn = column->Index();
    };
    auto* view = WidgetOf<QTreeView>(list);
    QHeaderView* header = view->header();
    EXPECT_EQ(header->sectionSize(2), 100);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(150, header->height() / 2));
    EXPECT_EQ(clicks, (std::vector<int>{1}));
    QImage shown = header->grab().toImage();
    auto markUnder = [&](int column) {
        int y = header->height() - 3;
        return QColor(shown.pixel(column * 100 + 50, y)) == QColor(Qt::black);
    };
    EXPECT_TRUE(markUnder(1));
    EXPECT_FALSE(markUnder(0));
    EXPECT_FALSE(markUnder(2));
    // A width dragged in the header reaches the column.
    header->resizeSection(0, 140);
    EXPECT_EQ(list.Columns().Items(0)->Width(), 140);
    list.SetColumnClick(false);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(300, header->height() / 2));
    EXPECT_EQ(clicks.size(), 1u);
}

TEST(ListView, RenamingInPlaceAsksFirstAndTheHandlerHasTheLastWord) {
    TTestHost host(400, 300);
    TListView list(&host.Form);
    list.SetParent(&host.Form);
    list.SetBounds(0, 0, 380, 280);
    list.SetViewStyle(vsReport);
    list.Columns().Add()->SetWidth(200);
    TListItem* item = list.Items().Add();
    item->SetCaption("before");
    TEventLog log;
    list.OnEditing = [&](TPersistent*, TListItem* i, bool&) { log.Events.push_back(std::string("editing ") + i->Caption()); };
    list.OnEdited = [&](TPersistent*, TListItem*, std::string& text) {
        log.Events.push_back(std::string("edited ") + text);
        text = AnsiUpperCase(text);
    };
    ASSERT_TRUE(item->EditCaption());
    auto* editor = viewOf(list)->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "after");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(item->Caption(), "AFTER");
    EXPECT_FALSE(list.IsEditing());
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"editing before", "edited after"}));
    list.SetReadOnly(true);
    EXPECT_FALSE(item->EditCaption());
}

} // namespace
