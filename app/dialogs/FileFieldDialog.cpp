#include "app/dialogs/FileFieldDialog.h"

#include "app/dialogs/DialogLayout.h"

#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"

namespace {

const TFormDescription& description() {
    static const TFormDescription form = [] {
        TFormDescription form{.Properties = DialogProperties("Filebox", 376, 85)};
        auto& c = form.Components;
        c.push_back(DescribeRowLabel("Name:", kDialogMargin, 12));
        c.push_back(DescribeEdit("Edit1", Bounds(56, 12, 170, kFieldHeight)));
        c.push_back(DescribeRowLabel("Width:", 240, 12));
        c.push_back(DescribeSpin("SpinEdit2", Bounds(290, 12, 78, kFieldHeight), 1, 1000, 30));
        AddDialogButtons(c, 368, 52);
        return form;
    }();
    return form;
}

} // namespace

Tfileboxfrm::Tfileboxfrm(TComponent* owner) : TElementDialog(owner) {
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &Tfileboxfrm::okbtnClick);
    handlers.Add("helpbtnClick", this, &Tfileboxfrm::helpbtnClick);
    Build(description(), handlers);
    Edit1 = Find<TEdit>("Edit1");
    SpinEdit2 = Find<TSpinEdit>("SpinEdit2");
}

void Tfileboxfrm::okbtnClick(TPersistent*) {
    InsertMarkup("<INPUT TYPE=\"FILE\" NAME=\"" + Edit1->Text() + "\" SIZE=" + SpinText(*SpinEdit2) + ">");
}

void Tfileboxfrm::helpbtnClick(TPersistent*) { OpenDialogHelpPage("filebox.htm"); }
