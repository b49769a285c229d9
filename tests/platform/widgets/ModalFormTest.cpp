// Modal forms on real (offscreen) windows, answered by scripted key presses:
// default and cancel buttons against a model of the focus and of refused
// closes, nested modal forms ended by a quit request, a form freed while
// modal, errors inside the loop, and input to other forms while one is
// modal.

#include "platform/ui/Application.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/TextControls.h"
#include "tests/platform/ui/RecordingControls.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/support/ScriptedInput.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <chrono>
#include <random>
#include <stdexcept>

namespace {

class ModalForms : public ::testing::Test {
protected:
    // A modal loop that fails to end fails its test in seconds, its loops
    // ended by a quit request, instead of holding the suite until CTest
    // kills it without a word.
    void SetUp() override {
        watchdog_.setSingleShot(true);
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            ADD_FAILURE() << "a modal loop was still running after " << kLongestTest.count() << " s";
            RequestQuit();
        });
        watchdog_.start(kLongestTest);
    }
    void TearDown() override {
        watchdog_.stop();
        ClearQuitRequest();
        QApplication::processEvents();
        ReleaseCapture();
    }

private:
    static constexpr std::chrono::seconds kLongestTest{20};
    QTimer watchdog_;
};

// A dialog: an edit, then OK (default, mrOk) and Cancel (cancel, mrCancel),
// in that tab order.
struct TDialog {
    TForm form;
    TEdit* edit;
    TButton* ok;
    TButton* cancel;
    int refusalsLeft = 0;
    int queries = 0;

    TDialog() {
        form.SetCaption("Dialog");
        form.SetBorderStyle(bsDialog);
        form.SetBounds(200, 150, 300, 120);
        edit = new TEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(10, 10, 200, 24);
        ok = new TButton(&form);
        ok->SetParent(&form);
        ok->SetCaption("OK");
        ok->SetBounds(10, 60, 75, 25);
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        cancel = new TButton(&form);
        cancel->SetParent(&form);
        cancel->SetCaption("Cancel");
        cancel->SetBounds(100, 60, 75, 25);
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        form.SetActiveControl(edit);
        form.OnCloseQuery = [this](TPersistent*, bool& canClose) {
            ++queries;
            if (refusalsLeft > 0) {
                --refusalsLeft;
                canClose = false;
            }
        };
    }
};

// Random answers to the dialog: Tab moves the focus along edit, OK,
// Cancel; Return presses the focused button, or the default one from the
// edit; Escape presses Cancel.  The form refuses the first few closes.
// The model says which press ends the loop and with what result.
TEST_F(ModalForms, DefaultAndCancelButtonsAnswerScriptedKeysAsTheModelSays) {
    std::mt19937 random(7);
    for (int round = 0; round < 12; ++round) {
        TDialog dialog;
        dialog.refusalsLeft = static_cast<int>(random() % 3);
        int refusals = dialog.refusalsLeft;
        TScriptedInput script;
        script.Type("ab");
        // The model: where the focus is, and the result of the first press
        // that closes.
        int focus = 0; // 0 edit, 1 OK, 2 Cancel
        int expected = 0;
        int pressesToClose = refusals + 1;
        int expectedQueries = 0;
        for (int step = 0; step < 40 && expected == 0; ++step) {
            int choice = static_cast<int>(random() % 4);
            if (choice == 0) {
                script.Key(Qt::Key_Tab);
                focus = (focus + 1) % 3;
            } else {
                bool escape = choice == 3;
                script.Key(escape ? Qt::Key_Escape : Qt::Key_Return);
                int result = escape || focus == 2 ? mrCancel : mrOk;
                ++expectedQueries;
                if (--pressesToClose == 0)
                    expected = result;
            }
        }
        if (expected == 0) {
            script.Key(Qt::Key_Escape);
            expected = mrCancel;
            ++expectedQueries;
        }
        script.Start();
        int result = dialog.form.ShowModal();
        EXPECT_EQ(result, expected) << "round " << round;
        EXPECT_EQ(dialog.queries, expectedQueries) << "round " << round;
        EXPECT_TRUE(script.Done()) << "the loop ended with the last key, round " << round;
        EXPECT_FALSE(dialog.form.Visible());
        EXPECT_EQ(dialog.edit->Text(), "ab");
        QApplication::processEvents();
    }
}

TEST_F(ModalForms, AShowingFormCanNotBeMadeModalAndAFreedOneEndsItsLoop) {
    TDialog shown;
    shown.form.Show();
    EXPECT_THROW(shown.form.ShowModal(), EInvalidOperation);
    shown.form.Hide();

    // While modal, a second ShowModal of the same form is refused.
    TDialog dialog;
    bool refused = false;
    TScriptedInput script;
    script.Then([&] {
              try {
                  dialog.form.ShowModal();
              } catch (const EInvalidOperation&) {
                  refused = true;
              }
          })
        .Key(Qt::Key_Return);
    script.Start();
    EXPECT_EQ(dialog.form.ShowModal(), mrOk);
    EXPECT_TRUE(refused);

    // Freed while modal: the loop ends, ShowModal answers mrCancel and
    // touches nothing of the freed form.
    auto* doomed = new TDialog;
    TScriptedInput freeing;
    freeing.Then([&] { delete doomed; });
    freeing.Start();
    EXPECT_EQ(doomed->form.ShowModal(), mrCancel);
    EXPECT_EQ(InnermostLoop(), nullptr);

    // Freed by the OK button's own click handler: the button's modal
    // result has no form to go to and is dropped.
    auto* selfFreeing = new TDialog;
    selfFreeing->ok->OnClick = [&](TPersistent*) { delete selfFreeing; };
    TScriptedInput pressing;
    pressing.Key(Qt::Key_Return);
    pressing.Start();
    EXPECT_EQ(selfFreeing->form.ShowModal(), mrCancel);
    EXPECT_TRUE(pressing.Done());
}

TEST_F(ModalForms, NestedModalFormsEndInOrderOnAQuitRequest) {
    TDialog outer, inner;
    std::vector<std::string> returned;
    outer.ok->SetModalResult(0);
    outer.ok->OnClick = [&](TPersistent*) {
        returned.push_back(inner.form.ShowModal() == mrCancel ? "inner cancelled" : "inner answered");
        // The quit is still standing: another modal form ends at once.
        TDialog late;
        returned.push_back(late.form.ShowModal() == mrCancel ? "late cancelled" : "late answered");
    };
    TScriptedInput script;
    script.Key(Qt::Key_Tab).Key(Qt::Key_Return).Then([&] {
        EXPECT_TRUE(inner.form.Modal());
        EXPECT_EQ(RunningLoopCount(), 2);
        Application().Terminate();
    });
    script.Start();
    int result = outer.form.ShowModal();
    returned.push_back(result == mrCancel ? "outer cancelled" : "outer answered");
    EXPECT_EQ(returned, (std::vector<std::string>{"inner cancelled", "late cancelled", "outer cancelled"}));
    EXPECT_FALSE(outer.form.Visible());
    EXPECT_FALSE(inner.form.Visible());
    EXPECT_TRUE(Application().Terminated());
}

TEST_F(ModalForms, AnErrorInAHandlerIsShownOnceAndTheFormStaysModal) {
    TScriptedUserInteraction ui;
    TDialog dialog;
    int failures = 1;
    dialog.form.OnCloseQuery = [&](TPersistent*, bool&) {
        if (failures-- > 0)
            throw std::runtime_error("cannot decide");
    };
    TScriptedInput script;
    script.Key(Qt::Key_Return).Then([&] {
        EXPECT_TRUE(dialog.form.Modal()) << "still modal after the error";
        EXPECT_EQ(dialog.form.ModalResult(), 0);
    });
    script.Key(Qt::Key_Return);
    script.Start();
    EXPECT_EQ(dialog.form.ShowModal(), mrOk);
    EXPECT_EQ(ui.Exceptions(), (std::vector<std::string>{"cannot decide"}));
}

TEST_F(ModalForms, InputForOtherFormsIsSwallowedWhileOneIsModal) {
    TForm other;
    other.SetBounds(600, 100, 200, 150);
    auto* target = new TRecordingWindow(&other);
    target->SetParent(&other);
    target->SetBounds(0, 0, 200, 150);
    other.Show();
    QApplication::processEvents();
    TDialog dialog;
    TScriptedInput script;
    script.Click(*target, {20, 20}).Then([&] { EXPECT_TRUE(target->Inputs.empty()) << "swallowed"; });
    script.Click(*dialog.cancel, {10, 10});
    script.Start();
    EXPECT_EQ(dialog.form.ShowModal(), mrCancel);
    QTest::mouseClick(ClientWidgetOf(target), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_FALSE(target->Inputs.empty()) << "after the loop the form takes input again";
    EXPECT_EQ(target->Inputs.front().What, "mousedown");
    ReleaseCapture();
}

// The window system may offer minimise and maximise on every window, as
// some window managers do whatever a window asks for.  A form whose
// border has no such button (a dialog, a tool window) keeps its state and
// its window is put back; a modal dialog stays modal and shown.  Forms
// with the buttons follow the user.
TEST_F(ModalForms, OnlyAFormWithTheButtonsIsMinimisedOrMaximisedByTheWindowSystem) {
    const TBorderStyle styles[] = {bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin};
    std::mt19937 random(3);
    for (TBorderStyle style : styles) {
        TForm form;
        form.SetBorderStyle(style);
        form.SetBounds(100, 100, 240, 160);
        form.Show();
        QApplication::processEvents();
        const bool buttons = style == bsSingle || style == bsSizeable;
        for (int step = 0; step < 6; ++step) {
            const Qt::WindowState asked = random() % 2 == 0 ? Qt::WindowMinimized : Qt::WindowMaximized;
            ClientWidgetOf(&form)->window()->setWindowState(asked);
            QApplication::processEvents();
            const TWindowState expected =
                !buttons ? wsNormal : asked == Qt::WindowMinimized ? wsMinimized : wsMaximized;
            ASSERT_EQ(form.WindowState(), expected) << "style " << style << " step " << step;
            const Qt::WindowStates shown = ClientWidgetOf(&form)->window()->windowState();
            ASSERT_EQ(shown.testFlag(asked), buttons) << "style " << style << " step " << step;
            if (buttons)
                form.SetWindowState(wsNormal);
        }
    }
    TDialog dialog;
    TScriptedInput script;
    script.Then([&] { ClientWidgetOf(&dialog.form)->window()->setWindowState(Qt::WindowMinimized); })
        .Then([&] {
            EXPECT_TRUE(dialog.form.Modal());
            EXPECT_EQ(dialog.form.WindowState(), wsNormal);
            EXPECT_FALSE(ClientWidgetOf(&dialog.form)->window()->isMinimized());
        })
        .Key(Qt::Key_Escape);
    script.Start();
    EXPECT_EQ(dialog.form.ShowModal(), mrCancel);
    EXPECT_TRUE(script.Done());
}

// A maximised form the window system minimises comes back maximised when
// the window system restores it, as the user left it.
TEST_F(ModalForms, AMaximisedFormMinimisedByTheWindowSystemComesBackMaximised) {
    TForm form;
    form.SetBorderStyle(bsSizeable);
    form.SetBounds(100, 100, 240, 160);
    form.Show();
    form.SetWindowState(wsMaximized);
    QApplication::processEvents();
    QWidget* window = ClientWidgetOf(&form)->window();
    ASSERT_TRUE(window->isMaximized());
    // What the window system reports: minimised, still maximised beneath.
    window->setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
    QApplication::processEvents();
    EXPECT_EQ(form.WindowState(), wsMinimized);
    EXPECT_TRUE(window->windowState().testFlag(Qt::WindowMaximized)) << "the window keeps what it returns to";
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    QApplication::processEvents();
    EXPECT_EQ(form.WindowState(), wsMaximized);
    EXPECT_TRUE(window->isMaximized());
    // Restored by the program, it is normal again.
    form.SetWindowState(wsMinimized);
    form.SetWindowState(wsNormal);
    QApplication::processEvents();
    EXPECT_EQ(window->windowState(), Qt::WindowNoState);
}

} // namespace
