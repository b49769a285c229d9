// The window base's settings on real (offscreen) windows: Tab and
// Shift+Tab pressed against a model of random TabOrder assignments (with
// controls freed, and windows made anew, which Qt's own chain would put
// last, on the way), and a form's size limits reaching the window system.

#include "platform/ui/ExtControls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/TextControls.h"
#include "tests/platform/controls/ControlsTestSupport.h"
#include "tests/support/ScriptedInput.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(TabWalk, TabAndShiftTabFollowRandomTabOrdersInRealWindows) {
    TTestHost host(500, 400);
    std::vector<TWinControl*> model; // the form's children in Tab order
    TPanel* panel = new TPanel(&host.Form);
    panel->SetParent(&host.Form);
    panel->SetBounds(250, 10, 200, 200);
    model.push_back(panel);
    std::vector<TEdit*> inner;
    for (int i = 0; i < 6; ++i) {
        auto* edit = new TEdit(&host.Form);
        edit->SetName("e" + std::to_string(i));
        edit->SetParent(i < 2 ? static_cast<TWinControl*>(panel) : &host.Form);
        edit->SetBounds(10, 10 + 30 * (i % 4), 100, 24);
        (i < 2 ? inner.push_back(edit) : model.push_back(edit));
    }
    // The walk: the form's children in order, the panel's after it (the
    // panel itself is no tab stop).
    auto walk = [&] {
        std::vector<TWinControl*> stops;
        for (TWinControl* c : model)
            if (c == panel)
                stops.insert(stops.end(), inner.begin(), inner.end());
            else
                stops.push_back(c);
        return stops;
    };
    model[1]->SetFocus();
    QApplication::processEvents();
    std::mt19937 random(11);
    for (int step = 0; step < 80; ++step) {
        const size_t i = random() % model.size();
        if (random() % 3 == 0) {
            const int order = int(random() % model.size());
            TWinControl* moved = model[i];
            moved->SetTabOrder(order);
            model.erase(model.begin() + long(i));
            model.insert(model.begin() + order, moved);
        } else if (model[i] != GetFocusControl() && model[i] != panel && random() % 3 == 0) {
            if (model.size() > 3 && random() % 2) {
                delete model[i];
                model.erase(model.begin() + long(i));
            } else {
                model[i]->RecreateWnd();
            }
        }
        const std::vector<TWinControl*> stops = walk();
        const auto at = std::find(stops.begin(), stops.end(), GetFocusControl());
        ASSERT_NE(at, stops.end()) << "step " << step;
        const bool back = random() % 3 == 0;
        const long n = long(stops.size());
        const long next = ((at - stops.begin()) + (back ? -1 : 1) + n) % n;
        QTest::keyClick(TScriptedInput::FocusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                        back ? Qt::ShiftModifier : Qt::NoModifier);
        QApplication::processEvents();
        ASSERT_EQ(GetFocusControl(), stops[size_t(next)]) << "step " << step;
    }
}

// Tab runs the handler of the control it leaves, which may free the
// control Tab goes to while the window system is moving the focus there:
// the focus is then nowhere, and the next Tab starts the walk afresh.
TEST(TabWalk, AnExitHandlerThatFreesTheNextControlLeavesTheWalkWhole) {
    TTestHost host(300, 300);
    std::vector<TEdit*> edits;
    for (int i = 0; i < 6; ++i) {
        auto* edit = new TEdit(&host.Form);
        edit->SetParent(&host.Form);
        edit->SetBounds(10, 10 + 30 * i, 100, 24);
        edits.push_back(edit);
    }
    edits.front()->SetFocus();
    QApplication::processEvents();
    std::mt19937 random(3);
    auto tab = [](bool back) {
        QTest::keyClick(TScriptedInput::FocusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                        back ? Qt::ShiftModifier : Qt::NoModifier);
        QApplication::processEvents();
    };
    while (edits.size() > 2) {
        const auto at = std::find(edits.begin(), edits.end(), GetFocusControl());
        ASSERT_NE(at, edits.end());
        const bool back = random() % 2 == 0;
        TEdit* next = back ? (at == edits.begin() ? edits.back() : *(at - 1))
                           : (at + 1 == edits.end() ? edits.front() : *(at + 1));
        (*at)->OnExit = [&edits, next](TPersistent*) {
            edits.erase(std::find(edits.begin(), edits.end(), next));
            delete next;
        };
        tab(back);
        for (TEdit* edit : edits)
            edit->OnExit = nullptr;
        ASSERT_EQ(GetFocusControl(), nullptr);
        tab(back);
        ASSERT_EQ(GetFocusControl(), back ? edits.back() : edits.front());
    }
}

// A form shown without an active control focuses the first field of its
// Tab walk, whatever order the fields were made in.
TEST(TabWalk, AFormShowsWithTheFocusOnItsFirstFieldInTabOrder) {
    std::mt19937 random(5);
    for (int round = 0; round < 8; ++round) {
        TForm form;
        form.SetBounds(40, 40, 400, 300);
        auto* panel = new TPanel(&form);
        panel->SetParent(&form);
        panel->SetBounds(200, 10, 150, 150);
        std::vector<TWinControl*> model{panel}; // the form's children in Tab order
        TEdit* inPanel = nullptr;
        for (int i = 0; i < 5; ++i) {
            auto* edit = new TEdit(&form);
            edit->SetParent(i == 0 ? static_cast<TWinControl*>(panel) : &form);
            edit->SetBounds(10, 10 + 30 * i, 100, 24);
            if (i == 0)
                inPanel = edit;
            else
                model.push_back(edit);
        }
        for (int moves = 0; moves < 4; ++moves) {
            const size_t i = random() % model.size();
            const int order = int(random() % model.size());
            TWinControl* moved = model[i];
            moved->SetTabOrder(order);
            model.erase(model.begin() + long(i));
            model.insert(model.begin() + order, moved);
        }
        form.Show();
        QApplication::processEvents();
        // The panel is no tab stop: its own field stands in its place.
        EXPECT_EQ(GetFocusControl(), model.front() == panel ? inPanel : model.front()) << "round " << round;
        form.Hide();
    }
}

TEST(SizeConstraints, AFormIsSizedByTheWindowSystemWithinItsLimits) {
    TForm form;
    form.SetBounds(50, 50, 300, 200);
    form.Constraints().SetMinWidth(200);
    form.Constraints().SetMaxWidth(400);
    form.Show();
    QApplication::processEvents();
    QWidget* window = ClientWidgetOf(&form)->window();
    EXPECT_EQ(window->minimumWidth(), 200);
    EXPECT_EQ(window->maximumWidth(), 400);
    // A size the window system gives past the limits is pulled back.
    form.Constraints().SetMaxWidth(0);
    window->resize(600, 100);
    form.Constraints().SetMaxWidth(350);
    QApplication::processEvents();
    EXPECT_EQ(form.Width(), 350);
    EXPECT_EQ(window->width(), 350);
    form.Hide();
}

} // namespace
