// The dialogs' layout as the user sees it: every dialog opened by its
// command, and each of its controls checked against its parent and its
// neighbours.  Labels show their whole text, nothing reaches past its
// parent's edge, and no two controls of one parent overlap (the three
// list-type boxes that take turns in one place aside).

#include "tests/app/dialogs/DialogTestSupport.h"

#include "app/dialogs/ElementCommands.h"
#include "platform/ui/Forms.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/TextControls.h"

#include <set>

namespace {

std::string describe(const TControl& control) {
    return control.Name().empty() ? "label \"" + control.Caption() + "\"" : control.Name();
}

void checkChildren(TWinControl& parent, const std::string& dialog) {
    std::vector<TControl*> shown;
    for (int i = 0; i < parent.ControlCount(); ++i)
        if (TControl* control = parent.Controls(i); control->Visible())
            shown.push_back(control);
    const TRect area = parent.ClientRect();
    for (TControl* control : shown) {
        const TRect bounds = control->BoundsRect();
        EXPECT_TRUE(bounds.Left >= 0 && bounds.Top >= 0 && bounds.Right <= area.Right && bounds.Bottom <= area.Bottom)
            << dialog << ": " << describe(*control) << " reaches past " << (parent.Name().empty() ? "the form" : parent.Name());
        if (auto* label = dynamic_cast<TLabel*>(control)) {
            TCanvas& canvas = label->Canvas();
            canvas.SetFont(label->Font());
            if (label->WordWrap())
                EXPECT_GE(label->Height(), static_cast<int>(label->TextLines(label->Width()).size()) *
                                               canvas.TextHeight("Ag"))
                    << dialog << ": " << describe(*label);
            else
                EXPECT_GE(label->Width(), canvas.TextWidth(label->DisplayText())) << dialog << ": " << describe(*label);
            EXPECT_GT(label->Width(), 0) << dialog << ": " << describe(*label);
        }
        if (auto* box = dynamic_cast<TWinControl*>(control))
            checkChildren(*box, dialog);
    }
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j) {
            const TRect a = shown[i]->BoundsRect(), b = shown[j]->BoundsRect();
            const bool overlap = a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
            EXPECT_FALSE(overlap) << dialog << ": " << describe(*shown[i]) << " and " << describe(*shown[j]);
        }
}

class DialogLayout : public TDialogTest {};

TEST_F(DialogLayout, LabelsShowTheirWholeTextAndNoControlOverlapsAnotherOrLeavesItsParent) {
    NewDocument();
    std::set<std::string> seen;
    for (const TElementCommand& command : ElementDialogCommands())
        RunCommand(command.Handler, [&](TCustomForm& dialog) {
            if (seen.insert(dialog.ClassName()).second)
                checkChildren(dialog, dialog.ClassName());
            dialog.Close();
        });
    EXPECT_EQ(seen.size(), 34u);
}

TEST_F(DialogLayout, TheHiddenPagesAndTheWizardsSecondPageAreLaidOutAsWell) {
    NewDocument();
    std::set<std::string> seen;
    for (const TElementCommand& command : ElementDialogCommands())
        RunCommand(command.Handler, [&](TCustomForm& dialog) {
            auto* pages = dynamic_cast<TPageControl*>(dialog.FindComponent("PageControl1"));
            if (pages != nullptr && seen.insert(dialog.ClassName()).second)
                for (int i = 1; i < pages->PageCount(); ++i) {
                    pages->SetActivePageIndex(i);
                    checkChildren(*pages->Pages(i), dialog.ClassName() + " page " + std::to_string(i + 1));
                }
            dialog.Close();
        });
    EXPECT_EQ(seen.size(), 4u);
    // The wizard's second page covers the first.
    ASSERT_TRUE(RunCommand("Assistant1Click", [&](TCustomForm& dialog) {
        checkChildren(dialog, "Tpagewizfrm");
        Press(dialog, "Button2");
        checkChildren(*dynamic_cast<TWinControl*>(dialog.FindComponent("Panel2")), "Tpagewizfrm page 2");
        dialog.Close();
    }));
}

} // namespace
