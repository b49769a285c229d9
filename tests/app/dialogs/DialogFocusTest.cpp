// Every element dialog as it opens: the focus is in its first field in tab
// order (inside the shown page of a page control, not on the tabs), an
// edit box's text is selected whole, so that typing replaces it, and no
// two sibling controls overlap as their windows stand on the screen.

#include "tests/app/dialogs/DialogTestSupport.h"

#include "app/dialogs/ElementCommands.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/TextControls.h"
#include "platform/widgets/WidgetPeer.h"

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

class DialogFocus : public TDialogTest {};

} // namespace

TEST_F(DialogFocus, EveryDialogOpensInItsFirstFieldWithItsTextSelected) {
    NewDocument();
    std::set<std::string> seen;
    int edits = 0;
    for (const TElementCommand& command : ElementDialogCommands())
        RunCommand(command.Handler, [&](TCustomForm& dialog) {
            Application().ProcessMessages();
            if (!seen.insert(dialog.ClassName()).second) {
                dialog.Close();
                return;
            }
            TWinControl* first = firstField(dialog);
            EXPECT_NE(first, nullptr) << dialog.ClassName();
            EXPECT_EQ(nameOf(GetFocusControl()), nameOf(first)) << dialog.ClassName();
            auto* edit = dynamic_cast<TCustomEdit*>(first);
            if (edit != nullptr && dynamic_cast<TCustomMemo*>(first) == nullptr) {
                ++edits;
                EXPECT_EQ(edit->SelStart(), 0) << dialog.ClassName();
                EXPECT_EQ(edit->SelLength(), static_cast<int>(edit->Text().size()))
                    << dialog.ClassName() << " " << edit->Name() << " \"" << edit->Text() << "\"";
            }
            checkNoOverlap(dialog, dialog.ClassName());
            dialog.Close();
        });
    EXPECT_EQ(seen.size(), 34u);
    EXPECT_GT(edits, 20) << "most dialogs open in an edit box";
}
