// The events of the standard controls that code outside the platform has
// not needed yet, each driven through its control on a real (offscreen)
// window: the tab control's veto, a tree's refused collapse and the
// picture of its selected node, sorts ordered by OnCompare, a list view's
// insertions and its painting handed to its handlers, and the value list
// telling each change of its lines once.

#include "platform/base/Strings.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/ListView.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/TreeView.h"
#include "platform/ui/ValueListEditor.h"
#include "tests/platform/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <QTabBar>
#include <QTreeView>

#include <algorithm>
#include <random>

namespace {

// How many pixels of rect in image are close to colour.
int pixelsOf(const QImage& image, const TRect& rect, QColor colour) {
    int count = 0;
    for (int y = std::max(0, rect.Top); y < std::min(image.height(), rect.Bottom); ++y)
        for (int x = std::max(0, rect.Left); x < std::min(image.width(), rect.Right); ++x) {
            const QColor c(image.pixel(x, y));
            count += std::abs(c.red() - colour.red()) < 60 && std::abs(c.green() - colour.green()) < 60 &&
                     std::abs(c.blue() - colour.blue()) < 60;
        }
    return count;
}

// A strip of two 16 x 16 pictures: red, then blue.
void addRedAndBlue(TImageList& images) {
    TBitmap strip(32, 16);
    strip.Canvas().FillRect(Rect(0, 0, 16, 16), clRed);
    strip.Canvas().FillRect(Rect(16, 0, 32, 16), clBlue);
    images.Add(strip, nullptr);
}

// Random clicks on the tabs, the handler refusing now and then: each
// click on another tab asks once with the old tab current, and either
// changes once or leaves the old tab current in the control and on screen.
// Tabs chosen in code run neither event.
TEST(TabControlEvents, RandomClicksAndRefusalsFollowTheModel) {
    TTestHost host(420, 200);
    TTabControl tabs(&host.Form);
    tabs.SetParent(&host.Form);
    tabs.SetBounds(0, 0, 400, 150);
    tabs.Tabs().SetText("alpha\r\nbeta\r\ngamma\r\ndelta\r\n");
    QTabBar* row = WidgetOf(tabs)->findChild<QTabBar*>();
    ASSERT_NE(row, nullptr);
    std::mt19937 random(5);
    TEventLog log;
    bool refuse = false;
    tabs.OnChanging = [&](TPersistent*, bool& allow) {
        log.Events.push_back("changing " + std::to_string(tabs.TabIndex()));
        allow = !refuse;
    };
    tabs.OnChange = [&](TPersistent*) { log.Events.push_back("change " + std::to_string(tabs.TabIndex())); };
    int current = 0;
    for (int step = 0; step < 60; ++step) {
        const int target = static_cast<int>(random() % 4);
        if (random() % 5 == 0) {
            tabs.SetTabIndex(target);
            current = target;
            EXPECT_TRUE(log.Take().empty()) << "step " << step;
        } else {
            refuse = random() % 3 == 0;
            QTest::mouseClick(row, Qt::LeftButton, {}, row->tabRect(target).center());
            std::vector<std::string> expected;
            if (target != current) {
                expected.push_back("changing " + std::to_string(current));
                if (!refuse) {
                    current = target;
                    expected.push_back("change " + std::to_string(current));
                }
            }
            EXPECT_EQ(log.Take(), expected) << "step " << step;
        }
        ASSERT_EQ(tabs.TabIndex(), current) << "step " << step;
        ASSERT_EQ(row->currentIndex(), current) << "step " << step;
    }
}

struct TShownTree {
    TTestHost Host{300, 300};
    TTreeView Tree{&Host.Form};
    TShownTree() {
        Tree.SetParent(&Host.Form);
        Tree.SetBounds(0, 0, 280, 280);
    }
    QTreeView* View() { return WidgetOf<QTreeView>(Tree); }
    bool ShownOpen(TTreeNode* node) {
        QTreeView* view = View();
        const QRect rect = view->visualRect(view->indexAt(centreOf(node)));
        return !rect.isEmpty() && view->isExpanded(view->indexAt(centreOf(node)));
    }
    static QPoint centreOf(TTreeNode* node) {
        const TRect rect = node->DisplayRect(true);
        return {rect.Left + 2, (rect.Top + rect.Bottom) / 2};
    }
};

// Closing a node asks OnCollapsing first, by the keyboard as in code; a
// refusal keeps it open in the control and on screen, and runs nothing
// more.
TEST(TreeViewEvents, ARefusedCollapseKeepsTheNodeOpen) {
    TShownTree shown;
    TTreeView& tree = shown.Tree;
    TTreeNode* parent = tree.Items().Add(nullptr, "parent");
    tree.Items().AddChild(parent, "child");
    parent->Expand(false);
    TEventLog log;
    bool refuse = true;
    tree.OnCollapsing = [&](TPersistent*, TTreeNode* node, bool& allow) {
        log.Events.push_back("collapsing " + node->Text());
        allow = !refuse;
    };
    tree.OnCollapsed = [&](TPersistent*, TTreeNode* node) { log.Events.push_back("collapsed " + node->Text()); };
    tree.SetSelected(parent);
    QTreeView* view = shown.View();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"collapsing parent"}));
    EXPECT_TRUE(parent->Expanded());
    EXPECT_TRUE(shown.ShownOpen(parent)) << "the refused close is put back on screen";
    parent->Collapse(false);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"collapsing parent"}));
    EXPECT_TRUE(parent->Expanded());

    refuse = false;
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"collapsing parent", "collapsed parent"}));
    EXPECT_FALSE(parent->Expanded());
    EXPECT_FALSE(shown.ShownOpen(parent));
}

// The selected node shows the picture OnGetSelectedIndex gives it, the
// others the one OnGetImageIndex gives them; the selection moving moves
// the picture.
TEST(TreeViewEvents, TheSelectedNodeShowsThePictureItsOwnHandlerGives) {
    TShownTree shown;
    TTreeView& tree = shown.Tree;
    TImageList images(16, 16);
    addRedAndBlue(images);
    tree.SetImages(&images);
    std::vector<TTreeNode*> nodes;
    for (const char* name : {"one", "two", "three"})
        nodes.push_back(tree.Items().Add(nullptr, name));
    std::vector<std::string> askedSelected;
    tree.OnGetImageIndex = [&](TPersistent*, TTreeNode* node) { node->SetImageIndex(0); };
    tree.OnGetSelectedIndex = [&](TPersistent*, TTreeNode* node) {
        askedSelected.push_back(node->Text());
        node->SetSelectedIndex(1);
    };
    for (TTreeNode* selected : {nodes[1], nodes[2]}) {
        tree.SetSelected(selected);
        askedSelected.clear();
        const QImage image = shown.View()->viewport()->grab().toImage();
        EXPECT_FALSE(askedSelected.empty());
        EXPECT_TRUE(std::all_of(askedSelected.begin(), askedSelected.end(),
                                [&](const std::string& text) { return text == selected->Text(); }))
            << "asked only for the selected node";
        for (TTreeNode* node : nodes) {
            const TRect row = node->DisplayRect(false);
            const TRect picture{0, row.Top, row.Left + 40, row.Bottom};
            const bool isSelected = node == selected;
            EXPECT_EQ(pixelsOf(image, picture, Qt::blue) > 40, isSelected) << node->Text();
            EXPECT_EQ(pixelsOf(image, picture, Qt::red) > 40, !isSelected) << node->Text();
        }
    }
}

// A tree whose handler paints it whole shows only what the handler
// painted, on every paint.
TEST(TreeViewEvents, AHandlerMayPaintTheWholeTreeItself) {
    TShownTree shown;
    for (const char* name : {"one", "two"})
        shown.Tree.Items().Add(nullptr, name);
    int asked = 0;
    shown.Tree.OnCustomDraw = [&](TPersistent*, const TRect& rect, bool& defaultDraw) {
        ++asked;
        shown.Tree.Canvas().FillRect(rect, asked == 1 ? clYellow : clLime);
        defaultDraw = false;
    };
    for (QColor expected : {QColor(Qt::yellow), QColor(Qt::green)}) {
        const QImage image = shown.View()->viewport()->grab().toImage();
        EXPECT_EQ(pixelsOf(image, {0, 0, image.width(), image.height()}, expected), image.width() * image.height());
    }
    EXPECT_EQ(asked, 2);
}

// Sorting without a function of the caller's goes through OnCompare:
// random numbers come out in numeric order (where their texts would sort
// otherwise), stable among equals, in the control and in its window.
TEST(ItemViewEvents, SortsFollowOnCompareInTheControlAndTheWindow) {
    std::mt19937 random(11);
    auto numberOf = [](const std::string& text) { return std::stoi(text.substr(0, text.find('#'))); };
    for (int round = 0; round < 4; ++round) {
        std::vector<std::string> texts;
        for (int i = 0; i < 40; ++i)
            texts.push_back(std::to_string(random() % 300) + "#" + std::to_string(i));
        std::vector<std::string> expected = texts;
        std::stable_sort(expected.begin(), expected.end(),
                         [&](const std::string& a, const std::string& b) { return numberOf(a) < numberOf(b); });
        int compared = 0;

        TShownTree shown;
        shown.Tree.OnCompare = [&](TPersistent*, TTreeNode* a, TTreeNode* b, int& compare) {
            ++compared;
            compare = numberOf(a->Text()) - numberOf(b->Text());
        };
        for (const std::string& text : texts)
            shown.Tree.Items().Add(nullptr, text);
        shown.Tree.AlphaSort();
        std::vector<std::string> inTree, inTreeWindow;
        for (TTreeNode* node = shown.Tree.Items().GetFirstNode(); node != nullptr; node = node->GetNextSibling())
            inTree.push_back(node->Text());
        QAbstractItemModel& treeModel = *shown.View()->model();
        for (int row = 0; row < treeModel.rowCount(); ++row)
            inTreeWindow.push_back(treeModel.index(row, 0).data().toString().toStdString());
        EXPECT_GT(compared, 0);
        EXPECT_EQ(inTree, expected) << "round " << round;
        EXPECT_EQ(inTreeWindow, expected) << "round " << round;

        TTestHost host;
        TListView list(&host.Form);
        list.SetParent(&host.Form);
        list.SetBounds(0, 0, 300, 250);
        list.SetViewStyle(vsReport);
        list.Columns().Add()->SetWidth(200);
        compared = 0;
        list.OnCompare = [&](TPersistent*, TListItem* a, TListItem* b, int, int& compare) {
            ++compared;
            compare = numberOf(a->Caption()) - numberOf(b->Caption());
        };
        for (const std::string& text : texts)
            list.Items().Add()->SetCaption(text);
        list.AlphaSort();
        std::vector<std::string> inList, inListWindow;
        for (int i = 0; i < list.Items().Count(); ++i)
            inList.push_back(list.Items().Item(i)->Caption());
        QAbstractItemModel& listModel = *WidgetOf<QTreeView>(list)->model();
        for (int row = 0; row < listModel.rowCount(); ++row)
            inListWindow.push_back(listModel.index(row, 0).data().toString().toStdString());
        EXPECT_GT(compared, 0);
        EXPECT_EQ(inList, expected) << "round " << round;
        EXPECT_EQ(inListWindow, expected) << "round " << round;
    }
}

// Every row made runs OnInsert once, with the row in its place; every row
// that goes runs OnDeletion once, while it still stands.  Checked against
// a list of the rows' serials on random insertions, deletions and clears.
TEST(ListViewEvents, EachRowMadeOrRemovedIsToldOnce) {
    std::vector<std::string> told; // outlives the list, which tells of its last rows as it goes
    TTestHost host;
    TListView list(&host.Form);
    list.SetParent(&host.Form);
    list.SetBounds(0, 0, 300, 250);
    list.SetViewStyle(vsReport);
    list.Columns().Add();
    std::mt19937 random(23);
    std::vector<int> rows; // the serials, in order
    int serial = 0;
    list.OnInsert = [&](TPersistent*, TListItem* item) {
        told.push_back("insert at " + std::to_string(item->Index()));
    };
    list.OnDeletion = [&](TPersistent*, TListItem* item) {
        told.push_back("delete " + item->Caption() + " at " + std::to_string(item->Index()));
    };
    for (int step = 0; step < 200; ++step) {
        std::vector<std::string> expected;
        const unsigned choice = random() % 10;
        if (choice < 5 || rows.empty()) {
            const bool append = random() % 2 == 0;
            const int at = append ? static_cast<int>(rows.size())
                                  : static_cast<int>(random() % (rows.size() + 1));
            TListItem* item = append ? list.Items().Add() : list.Items().Insert(at);
            item->SetCaption("r" + std::to_string(serial));
            rows.insert(rows.begin() + at, serial++);
            expected.push_back("insert at " + std::to_string(at));
        } else if (choice < 9) {
            const int at = static_cast<int>(random() % rows.size());
            expected.push_back("delete r" + std::to_string(rows[static_cast<size_t>(at)]) + " at " + std::to_string(at));
            list.Items().Delete(at);
            rows.erase(rows.begin() + at);
        } else {
            for (size_t i = 0; i < rows.size(); ++i)
                expected.push_back("delete r" + std::to_string(rows[i]) + " at " + std::to_string(i));
            list.Items().Clear();
            rows.clear();
        }
        ASSERT_EQ(told, expected) << "step " << step;
        told.clear();
        ASSERT_EQ(list.Items().Count(), static_cast<int>(rows.size()));
    }
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(list.Items().Item(static_cast<int>(i))->Caption(), "r" + std::to_string(rows[i]));
}

// A report list hands its painting to its handlers: a cell's handler
// paints that cell alone (the others keep the default look), and the
// whole-control handler may paint everything itself.
TEST(ListViewEvents, CustomDrawPaintsTheCellsAndTheViewItsHandlersChose) {
    TTestHost host(420, 300);
    TListView list(&host.Form);
    list.SetParent(&host.Form);
    list.SetBounds(0, 0, 400, 250);
    list.SetViewStyle(vsReport);
    for (int column = 0; column < 3; ++column)
        list.Columns().Add()->SetWidth(120);
    for (int row = 0; row < 5; ++row) {
        TListItem* item = list.Items().Add();
        item->SetCaption("item" + std::to_string(row));
        item->SubItems().Add("sub" + std::to_string(row));
        item->SubItems().Add("more" + std::to_string(row));
    }
    const int paintedRow = 2, paintedSubItem = 2;
    std::vector<std::pair<int, int>> cellsAsked;
    list.OnCustomDrawSubItem = [&](TPersistent*, TListItem* item, int subItem, TCustomDrawState, bool& defaultDraw) {
        cellsAsked.emplace_back(item->Index(), subItem);
        if (item->Index() == paintedRow && subItem == paintedSubItem) {
            TCanvas& canvas = list.Canvas();
            canvas.Brush().SetColor(clLime);
            canvas.FillRect(canvas.ClipRect(), clLime);
            defaultDraw = false;
        }
    };
    auto* view = WidgetOf<QTreeView>(list);
    QImage image = view->viewport()->grab().toImage();
    EXPECT_FALSE(cellsAsked.empty());
    auto cellRect = [&](int row, int column) {
        const QRect r = view->visualRect(view->model()->index(row, column));
        return TRect{r.left() + 2, r.top() + 1, r.right() - 1, r.bottom()};
    };
    const TRect painted = cellRect(paintedRow, paintedSubItem);
    EXPECT_GT(pixelsOf(image, painted, Qt::green), (painted.Width() * painted.Height()) * 9 / 10);
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 3; ++column) {
            if (row != paintedRow || column != paintedSubItem) {
                EXPECT_EQ(pixelsOf(image, cellRect(row, column), Qt::green), 0) << row << "," << column;
            }
        }

    // The whole control painted by its handler: nothing of the default
    // look is left.
    list.OnCustomDrawSubItem = nullptr;
    int wholeAsked = 0;
    list.OnCustomDraw = [&](TPersistent*, const TRect& rect, bool& defaultDraw) {
        ++wholeAsked;
        list.Canvas().FillRect(rect, clYellow);
        defaultDraw = false;
    };
    list.Invalidate();
    image = view->viewport()->grab().toImage();
    EXPECT_GT(wholeAsked, 0);
    const TRect all{0, 0, image.width(), image.height()};
    EXPECT_EQ(pixelsOf(image, all, Qt::yellow), image.width() * image.height());
}

// Each change of the lines, made in code or typed by the user, is told
// once, after the grid holds it.
TEST(ValueListEvents, EachChangeOfTheLinesIsToldOnceAfterItHappened) {
    TTestHost host;
    TValueListEditor grid(&host.Form);
    grid.SetParent(&host.Form);
    grid.SetBounds(0, 0, 300, 250);
    std::vector<std::string> seen;
    grid.OnStringsChange = [&](TPersistent*) { seen.push_back(grid.Strings().Text()); };
    std::mt19937 random(31);
    std::vector<std::pair<std::string, std::string>> lines;
    auto text = [&] {
        std::string all;
        for (const auto& [key, value] : lines)
            all += key + "=" + value + "\r\n";
        return all;
    };
    for (int step = 0; step < 120; ++step) {
        const std::string word = "w" + std::to_string(step);
        const unsigned choice = random() % 5;
        if (choice == 0 || lines.empty()) {
            grid.InsertRow("k" + word, word, true);
            lines.emplace_back("k" + word, word);
        } else if (choice == 1) {
            const size_t line = random() % lines.size();
            grid.SetValues(lines[line].first, word);
            lines[line].second = word;
        } else if (choice == 2) {
            const size_t line = random() % lines.size();
            grid.DeleteRow(static_cast<int>(line) + grid.FixedRows());
            lines.erase(lines.begin() + static_cast<long>(line));
        } else if (choice == 3) {
            const size_t line = random() % lines.size();
            grid.SetCells(1, static_cast<int>(line) + grid.FixedRows(), word);
            lines[line].second = word;
        } else {
            TStringList replacement;
            lines.clear();
            for (int i = 0; i < 1 + static_cast<int>(random() % 4); ++i) {
                lines.emplace_back("n" + std::to_string(i), word);
                replacement.Add("n" + std::to_string(i) + "=" + word);
            }
            grid.SetStrings(replacement);
        }
        ASSERT_EQ(seen, std::vector<std::string>{text()}) << "step " << step;
        seen.clear();
    }
    seen.clear();
    // The lines emptied: one notice, and the grid keeps its one empty row.
    while (!lines.empty()) {
        grid.DeleteRow(grid.FixedRows());
        lines.erase(lines.begin());
        ASSERT_EQ(seen, std::vector<std::string>{text()});
        seen.clear();
    }
    EXPECT_EQ(grid.RowCount(), grid.FixedRows() + 1);
}

} // namespace
