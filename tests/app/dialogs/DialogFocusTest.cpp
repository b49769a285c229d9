// Every element dialog as it opens: the focus is in its first field in tab
// order (inside the shown page of a page control, not on the tabs), an
// edit box's or spin edit's text is selected whole in the window the
// keyboard reaches, so that typing replaces it, and no two sibling
// controls overlap as their windows stand on the screen.  The test types
// into that field with real key events and presses Return: the HTML the
// dialog writes is the HTML it writes when the program sets the field to
// what was typed, which a field that kept its old text (typing appended
// to it) does not give.

#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/app/dialogs/DialogTestFiles.h"
#include "tests/app/dialogs/EditorProbe.h"

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/dialogs/ElementCommands.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"
#include "platform/widgets/WidgetPeer.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <set>
#include <string>
#include <vector>

namespace {

// The shown windows of a parent in tab order, which is the order they
// were made in.
std::vector<TWinControl*> inTabOrder(TWinControl& parent) {
    std::vector<TWinControl*> children;
    for (int i = 0; i < parent.ControlCount(); ++i)
        if (auto* child = dynamic_cast<TWinControl*>(parent.Controls(i)); child != nullptr && child->Visible())
            children.push_back(child);
    return children;
}

// The first field a user would type into: in tab order, a container's own
// fields before the container itself.
TWinControl* firstField(TWinControl& parent) {
    for (TWinControl* child : inTabOrder(parent)) {
        if (!child->Enabled())
            continue;
        if (TWinControl* inner = firstField(*child))
            return inner;
        if (child->InTabOrder() && child->CanFocus())
            return child;
    }
    return nullptr;
}

std::string nameOf(const TControl* control) { return control == nullptr ? "nothing" : control->Name(); }

// The sibling windows of each parent, as laid out on the screen.
void checkNoOverlap(TWinControl& parent, const std::string& dialog) {
    std::vector<TWinControl*> shown = inTabOrder(parent);
    for (size_t i = 0; i < shown.size(); ++i) {
        checkNoOverlap(*shown[i], dialog);
        QWidget* a = static_cast<QWidget*>(shown[i]->Peer() != nullptr ? shown[i]->Peer()->NativeWidget() : nullptr);
        for (size_t j = i + 1; j < shown.size() && a != nullptr; ++j) {
            QWidget* b = static_cast<QWidget*>(shown[j]->Peer() != nullptr ? shown[j]->Peer()->NativeWidget() : nullptr);
            if (b == nullptr || a->parentWidget() != b->parentWidget())
                continue;
            EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                << dialog << ": " << nameOf(shown[i]) << " " << a->geometry().y() << "+" << a->geometry().height()
                << " and " << nameOf(shown[j]) << " " << b->geometry().y() << "+" << b->geometry().height();
        }
    }
}

// What to type into a field: a text of its own, or a number within a
// spin edit's bounds other than the one it shows.
std::string toType(const TCustomEdit& edit) {
    auto* spin = dynamic_cast<const TSpinEdit*>(&edit);
    int value = spin != nullptr ? spin->CheckValue(37) : 0;
    return spin == nullptr ? "Qz7359" : std::to_string(value != spin->Value() ? value : spin->CheckValue(36));
}

class DialogFocus : public TDialogTest {
protected:
    // The document's text after command, driven by drive, wrote into it;
    // the menu builder's OK button closes its form itself.
    std::string written(const TElementCommand& command, const std::function<void(TCustomForm&)>& drive) {
        SetEditorText(*frame->ActiveDocument(), "");
        RunCommand(command.Handler, [&](TCustomForm& dialog) {
            drive(dialog);
            if (dialog.Modal() && dialog.ModalResult() == 0)
                dialog.FindComponent("okbtn") != nullptr ? Press(dialog, "okbtn") : PressOk(dialog);
        });
        return EditorText(*frame->ActiveDocument());
    }
};

} // namespace

TEST_F(DialogFocus, EveryDialogOpensInItsFirstFieldWithItsTextSelected) {
    // Saved, with the shipped scripts: the menu builder writes its own
    // beside the page.
    CopyMenuScripts(program);
    SavedDocument("focus/page.htm");
    std::set<std::string> seen;
    int edits = 0;
    for (const TElementCommand& command : ElementDialogCommands()) {
        std::string dialogName, fieldName, typed;
        const std::string byKeys = written(command, [&](TCustomForm& dialog) {
            Application().ProcessMessages();
            if (!seen.insert(dialog.ClassName()).second)
                return dialog.Close();
            dialogName = dialog.ClassName();
            TWinControl* first = firstField(dialog);
            EXPECT_NE(first, nullptr) << dialogName;
            EXPECT_EQ(nameOf(GetFocusControl()), nameOf(first)) << dialogName;
            checkNoOverlap(dialog, dialogName);
            auto* edit = dynamic_cast<TCustomEdit*>(first);
            if (edit == nullptr || dynamic_cast<TCustomMemo*>(first) != nullptr)
                return dialog.Close();
            ++edits;
            EXPECT_EQ(edit->SelStart(), 0) << dialogName;
            EXPECT_EQ(edit->SelLength(), static_cast<int>(edit->Text().size()))
                << dialogName << " " << edit->Name() << " \"" << edit->Text() << "\"";
            // The keyboard is in the field's window (a spin box takes the
            // keys for its line edit), its whole text selected there too.
            QWidget* focus = QApplication::focusWidget();
            auto* line = qobject_cast<QLineEdit*>(focus);
            if (line == nullptr && focus != nullptr)
                line = focus->findChild<QLineEdit*>();
            if (line == nullptr || (focus != ClientWidgetOf(first) && !ClientWidgetOf(first)->isAncestorOf(focus))) {
                ADD_FAILURE() << dialogName << ": the keyboard is not in " << edit->Name();
                return dialog.Close();
            }
            EXPECT_EQ(line->selectedText(), line->text()) << dialogName << " " << edit->Name();
            fieldName = edit->Name();
            typed = toType(*edit);
            QTest::keyClicks(focus, QString::fromStdString(typed));
            EXPECT_EQ(edit->Text(), typed) << dialogName;
            EXPECT_EQ(edit->SelStart(), static_cast<int>(typed.size())) << dialogName;
            QTest::keyClick(focus, Qt::Key_Return);
        });
        if (typed.empty())
            continue;
        const std::string bySetting =
            written(command, [&](TCustomForm& dialog) { SetControl(dialog, fieldName, typed); });
        EXPECT_TRUE(byKeys == bySetting) << dialogName << " " << fieldName << " typed " << typed << ": "
                                         << byKeys.size() << " bytes written, " << bySetting.size() << " expected";
    }
    EXPECT_EQ(seen.size(), 34u);
    EXPECT_GT(edits, 20) << "most dialogs open in an edit box";
}
