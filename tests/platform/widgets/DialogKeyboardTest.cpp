// Where the keyboard goes as dialogs close, on real (offscreen) windows
// driven by key events into the widget Qt has focused: random chains of
// dialogs, each opened from the one before (a modal form over the main
// form, the colour dialog and message boxes over either), give the
// keyboard back to the one beneath as each closes; the find and replace
// dialogs open with their last text selected, so that typing replaces it.

#include "platform/ui/ButtonControls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/TextControls.h"
#include "platform/widgets/QtUserInteraction.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <memory>
#include <random>

namespace {

// A form with an edit box and a Cancel button that Escape presses.
struct TFieldForm {
    TForm form;
    TEdit* edit = new TEdit(&form);

    explicit TFieldForm(TComponent* owner) : form(owner) {
        edit->SetParent(&form);
        auto* cancel = new TButton(&form);
        cancel->SetParent(&form);
        cancel->SetBounds(0, 40, 75, 25);
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        form.SetActiveControl(edit);
    }
};

enum TKind { kForm, kColorDialog, kMessageBox };
struct TLevel {
    TKind Kind;
    QWidget* Window = nullptr;
    TFieldForm* Form = nullptr;
};

// The keyboard is in level's window: Qt has it active, and a key typed
// into the focused widget reaches its form's edit box.
void expectKeyboardIn(const TLevel& level, const std::string& trace) {
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), level.Window) << trace;
    if (level.Form == nullptr || QApplication::focusWidget() == nullptr)
        return;
    const std::string before = level.Form->edit->Text();
    QTest::keyClicks(QApplication::focusWidget(), "k");
    EXPECT_EQ(level.Form->edit->Text(), before + "k") << trace;
}

// Opens levels[at] modally over the one before; from inside it opens the
// next, then sees the keyboard back and closes it with Escape (by hand
// when the keyboard is lost, so that the test goes on).
void open(std::vector<TLevel>& levels, size_t at, const std::string& trace) {
    TLevel& level = levels[at];
    std::unique_ptr<TFieldForm> form;
    QTimer::singleShot(0, qApp, [&] {
        QApplication::processEvents();
        level.Window = form ? ClientWidgetOf(&form->form)->window() : QApplication::activeModalWidget();
        if (at + 1 < levels.size()) {
            open(levels, at + 1, trace);
            expectKeyboardIn(level, trace + ", back at " + std::to_string(at));
        }
        if (QWidget* focus = QApplication::focusWidget(); focus != nullptr && focus->window() == level.Window)
            return QTest::keyClick(focus, Qt::Key_Escape);
        ADD_FAILURE() << trace << ": no keyboard to close " << at;
        form ? form->form.SetModalResult(mrCancel) : qobject_cast<QDialog*>(level.Window)->reject();
    });
    TColor color = clRed;
    if (level.Kind == kForm) {
        form = std::make_unique<TFieldForm>(&levels[at - 1].Form->form);
        level.Form = form.get();
        form->form.ShowModal();
    } else if (level.Kind == kColorDialog) {
        QtUserInteraction().ChooseColor(color);
    } else {
        QtUserInteraction().MessageDlg("Go on?", mtConfirmation, mbOKCancel);
    }
    level.Form = nullptr;
}

} // namespace

TEST(DialogKeyboard, ClosingADialogGivesTheKeyboardToTheOneBeneath) {
    std::mt19937 random(11);
    for (int round = 0; round < 8; ++round) {
        TFieldForm main(nullptr);
        main.form.Show();
        QApplication::processEvents();
        std::vector<TLevel> levels{{kForm, ClientWidgetOf(&main.form)->window(), &main}};
        std::string trace = "round " + std::to_string(round) + ":";
        for (int i = 0, depth = 1 + static_cast<int>(random() % 4); i < depth; ++i) {
            levels.push_back({static_cast<TKind>(i == 0 ? random() % 3 : 1 + random() % 2)});
            trace += " " + std::to_string(levels.back().Kind);
        }
        open(levels, 1, trace);
        expectKeyboardIn(levels[0], trace + ", back at the main form");
    }
}

// A window of the main form's that held the keyboard while a modal form
// is open closes: the keyboard goes to the modal form, not to the main
// form it blocks.
TEST(DialogKeyboard, AWindowClosingUnderAModalFormGivesItTheKeyboard) {
    TFieldForm main(nullptr);
    main.form.Show();
    QApplication::processEvents();
    TFieldForm modal(&main.form);
    QTimer::singleShot(0, qApp, [&] {
        QApplication::processEvents();
        QWidget window(ClientWidgetOf(&main.form)->window(), Qt::Window);
        window.show();
        window.activateWindow();
        QApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), &window);
        window.hide();
        expectKeyboardIn({kForm, ClientWidgetOf(&modal.form)->window(), &modal}, "the modal form");
        modal.form.SetModalResult(mrCancel);
    });
    modal.form.ShowModal();
}

TEST(DialogKeyboard, TheFindDialogsOpenWithTheirTextSelected) {
    TFieldForm main(nullptr);
    main.form.Show();
    for (bool replace : {false, true}) {
        std::vector<std::string> searched;
        auto handler = [&](const TFindRequest& request) { searched.push_back(request.FindText); };
        replace ? QtUserInteraction().ShowReplaceDialog({"EMBED", "with"}, handler)
                : QtUserInteraction().ShowFindDialog({"EMBED", "with"}, handler);
        QApplication::processEvents();
        ASSERT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr) << replace;
        QTest::keyClicks(QApplication::focusWidget(), "q");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(searched, std::vector<std::string>{"q"}) << replace;
        QtUserInteraction().CloseFindDialogs();
    }
}
