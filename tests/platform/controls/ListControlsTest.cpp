// Combo boxes and list boxes: random changes of the items against a model
// that follows the selected item by identity (the windows must show the
// same rows and selection), and the events of a user's choices.

#include "platform/base/TextCodec.h"
#include "platform/ui/ListControls.h"
#include "tests/platform/controls/ControlsTestSupport.h"
#include "platform/ui/QtBridge.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>

#include <algorithm>
#include <random>

namespace {

// Items with unique names, and the name of the selected one.
struct TItemsModel {
    std::vector<std::string> Items;
    std::string Selected; // "" for none
    // A combo box's text: the selected item's, but an edit field keeps its
    // text when the items are cleared.
    std::string Text;
    bool ClearKeepsText = false;

    int Index() const {
        auto it = std::find(Items.begin(), Items.end(), Selected);
        return Selected.empty() || it == Items.end() ? -1 : static_cast<int>(it - Items.begin());
    }
};

std::vector<std::string> shownRows(QAbstractItemModel& model) {
    std::vector<std::string> rows;
    for (int i = 0; i < model.rowCount(); ++i)
        rows.push_back(QStringToAnsi(model.index(i, 0).data().toString()));
    return rows;
}

void randomStep(std::mt19937& random, TCustomListControl& control, TItemsModel& model, int& serial) {
    TStrings& items = control.Items();
    int count = static_cast<int>(model.Items.size());
    std::string name = "item" + std::to_string(serial++);
    switch (random() % 9) {
    case 0:
    case 1:
        items.Add(name);
        model.Items.push_back(name);
        break;
    case 2: {
        int at = static_cast<int>(random() % static_cast<unsigned>(count + 1));
        items.Insert(at, name);
        model.Items.insert(model.Items.begin() + at, name);
        break;
    }
    case 3:
        if (count > 0) {
            int at = static_cast<int>(random() % static_cast<unsigned>(count));
            if (model.Items[static_cast<size_t>(at)] == model.Selected)
                model.Selected.clear(), model.Text.clear();
            items.Delete(at);
            model.Items.erase(model.Items.begin() + at);
        }
        break;
    case 4:
        if (count > 0) {
            // Renaming keeps the item selected.
            int at = static_cast<int>(random() % static_cast<unsigned>(count));
            if (model.Items[static_cast<size_t>(at)] == model.Selected)
                model.Selected = model.Text = name;
            items.Put(at, name);
            model.Items[static_cast<size_t>(at)] = name;
        }
        break;
    case 5:
        if (count > 1) {
            int from = static_cast<int>(random() % static_cast<unsigned>(count));
            int to = static_cast<int>(random() % static_cast<unsigned>(count));
            items.Move(from, to);
            std::string moved = model.Items[static_cast<size_t>(from)];
            model.Items.erase(model.Items.begin() + from);
            model.Items.insert(model.Items.begin() + to, moved);
        }
        break;
    case 6: {
        int index = static_cast<int>(random() % static_cast<unsigned>(count + 2)) - 1;
        int before = model.Index();
        control.SetItemIndex(index);
        model.Selected = index >= 0 && index < count ? model.Items[static_cast<size_t>(index)] : "";
        // Selecting what is selected changes nothing (an edit field keeps
        // its text).
        if (model.Index() != before)
            model.Text = model.Selected;
        break;
    }
    case 7:
        if (random() % 4 == 0) {
            items.Clear();
            model.Items.clear();
            model.Selected.clear();
            if (!model.ClearKeepsText)
                model.Text.clear();
        }
        break;
    case 8: {
        // A batch: the window takes it all at the end.
        items.BeginUpdate();
        for (int i = 0; i < 3; ++i) {
            std::string more = name + "_" + std::to_string(i);
            items.Insert(0, more);
            model.Items.insert(model.Items.begin(), more);
        }
        items.EndUpdate();
        break;
    }
    }
}

TEST(ListControls, RandomItemChangesKeepTheSelectedItemAndTheWindowsInStep) {
    TTestHost host(500, 400);
    std::mt19937 random(21);
    for (int round = 0; round < 4; ++round) {
        TComboBox combo(&host.Form);
        combo.SetParent(&host.Form);
        combo.SetStyle(round % 2 == 0 ? csDropDownList : csDropDown);
        TListBox list(&host.Form);
        list.SetParent(&host.Form);
        list.SetTop(40);
        list.SetMultiSelect(round >= 2);
        TEventLog log;
        for (TCustomListControl* control : {static_cast<TCustomListControl*>(&combo), static_cast<TCustomListControl*>(&list)})
            control->OnClick = log.Note("click");
        combo.OnChange = log.Note("change");
        auto* box = WidgetOf<QComboBox>(combo);
        auto* view = WidgetOf<QListView>(list);
        ASSERT_NE(box, nullptr);
        ASSERT_NE(view, nullptr);
        TItemsModel comboModel, listModel;
        comboModel.ClearKeepsText = combo.Style() == csDropDown;
        int serial = 0;
        for (int step = 0; step < 120; ++step) {
            std::mt19937 same = random;
            randomStep(random, combo, comboModel, serial);
            randomStep(same, list, listModel, serial);
            for (auto [control, model, shown] :
                 {std::tuple{static_cast<TCustomListControl*>(&combo), &comboModel, box->model()},
                  std::tuple{static_cast<TCustomListControl*>(&list), &listModel, view->model()}}) {
                ASSERT_EQ(control->ItemIndex(), model->Index()) << "round " << round << " step " << step;
                ASSERT_EQ(shownRows(*shown), model->Items) << "round " << round << " step " << step;
            }
            ASSERT_EQ(box->currentIndex(), comboModel.Index());
            ASSERT_EQ(combo.Text(), comboModel.Text) << "step " << step;
            ASSERT_EQ(QStringToAnsi(box->currentText()), comboModel.Text) << "step " << step;
            QModelIndex current = view->selectionModel()->currentIndex();
            ASSERT_EQ(current.isValid() ? current.row() : -1, listModel.Index()) << "step " << step;
            if (!list.MultiSelect()) {
                ASSERT_EQ(view->selectionModel()->selectedRows().size(), listModel.Index() >= 0 ? 1 : 0);
            }
        }
        EXPECT_TRUE(log.Events.empty()) << "changes made in code run no events";
    }
}

TEST(ComboBox, ChoosingRunsClickThenChangeOrSelectAndTypingRunsChange) {
    TTestHost host;
    TComboBox combo(&host.Form);
    combo.SetParent(&host.Form);
    combo.Items().SetText("red\r\ngreen\r\nblue\r\n");
    TEventLog log;
    combo.OnClick = log.Note("click");
    combo.OnChange = log.Note("change");
    auto* box = WidgetOf<QComboBox>(combo);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(combo.ItemIndex(), 0);
    EXPECT_EQ(combo.Text(), "red");
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"click", "change"}));
    combo.OnSelect = log.Note("select");
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(combo.Text(), "green");
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"click", "select"}));
    // Typed text: one change per key; the item of exactly that text is the
    // selected one.
    QLineEdit* line = box->lineEdit();
    line->selectAll();
    QTest::keyClicks(line, "blue");
    EXPECT_EQ(combo.Text(), "blue");
    EXPECT_EQ(combo.ItemIndex(), 2);
    EXPECT_EQ(log.Take(), (std::vector<std::string>(4, "change")));
    QTest::keyClick(line, 'x');
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.Text(), "bluex");
    // Setting the text in code runs nothing.
    combo.SetText("green");
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(line->text(), "green");
    log.Take();
    // The list asks before it opens: what the handler adds is offered.
    combo.OnDropDown = [&](TPersistent*) {
        log.Events.push_back("dropdown");
        combo.Items().Add("black");
    };
    combo.OnCloseUp = log.Note("closeup");
    box->showPopup();
    EXPECT_EQ(box->view()->model()->rowCount(), 4);
    EXPECT_TRUE(combo.DroppedDown());
    box->hidePopup();
    EXPECT_FALSE(combo.DroppedDown());
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"dropdown", "closeup"}));
}

TEST(ComboBox, ADropDownListShowsOnlyItsItemsTextAndFindsItemsIgnoringCase) {
    TTestHost host;
    TComboBox combo(&host.Form);
    combo.SetParent(&host.Form);
    combo.Items().SetText("Alpha\r\nBeta\r\n");
    combo.SetText("free text");
    combo.SetStyle(csDropDownList);
    EXPECT_EQ(combo.Text(), "");
    combo.SetText("BETA");
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(combo.Text(), "Beta");
    EXPECT_EQ(WidgetOf<QComboBox>(combo)->lineEdit(), nullptr);
    combo.Items().Put(1, "Gamma");
    EXPECT_EQ(combo.Text(), "Gamma");
    combo.Items().Delete(1);
    EXPECT_EQ(combo.Text(), "");
}

TEST(ListBox, ClicksSelectAndRunOnClickOnceDoubleClicksRunOnDblClick) {
    TTestHost host;
    TListBox list(&host.Form);
    list.SetParent(&host.Form);
    list.SetBounds(10, 10, 150, 200);
    for (int i = 0; i < 20; ++i)
        list.Items().Add("line " + std::to_string(i));
    TEventLog log;
    list.OnClick = log.Note("click");
    list.OnDblClick = log.Note("dblclick");
    auto* view = WidgetOf<QListView>(list);
    QApplication::processEvents();
    auto centreOf = [&](int index) {
        TRect rect = list.ItemRect(index);
        return QPoint((rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2);
    };
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(3));
    EXPECT_EQ(list.ItemIndex(), 3);
    EXPECT_EQ(list.ItemAtPos(FromQPoint(centreOf(5)), true), 5);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{"click"}));
    DoubleClick(view->viewport(), centreOf(4));
    EXPECT_EQ(list.ItemIndex(), 4);
    std::vector<std::string> events = log.Take();
    EXPECT_EQ(std::count(events.begin(), events.end(), "dblclick"), 1);
    // Several with Ctrl in a multi-select list.
    list.SetMultiSelect(true);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centreOf(1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(6));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, centreOf(8));
    EXPECT_EQ(list.SelCount(), 3);
    EXPECT_TRUE(list.Selected(1) && list.Selected(6) && list.Selected(8));
    EXPECT_EQ(list.ItemIndex(), 8);
    EXPECT_EQ(log.Take().size(), 3u);
    list.SetSelected(6, false);
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 2);
    EXPECT_TRUE(log.Take().empty());
    // The first item shown follows the window, however it scrolled.
    list.SetTopIndex(3);
    EXPECT_EQ(list.TopIndex(), 3);
    view->scrollToTop();
    EXPECT_EQ(list.TopIndex(), 0);
}

} // namespace
