#include "app/QuickCodeDialog.h"

#include "app/DocumentTools.h"
#include "app/EditForm.h"
#include "app/QuickCodes.h"

#include "platform/ui/ButtonControls.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/UserInteraction.h"

namespace {

const TFormDescription& description() {
    static const TFormDescription form{
        .Properties = {{"Caption", std::string("Ondrill Quick Code")}},
        .Components = {
            {.Name = "Label1", .ClassName = "TLabel", .Bounds = Bounds(8, 8, 40, 13),
             .Properties = {{"Caption", std::string("Name:")}}},
            {.Name = "codeNameEdit", .ClassName = "TEdit", .Bounds = Bounds(8, 24, 297, 21)},
            {.Name = "Label2", .ClassName = "TLabel", .Bounds = Bounds(8, 52, 60, 13),
             .Properties = {{"Caption", std::string("Description:")}}},
            {.Name = "codeDescriptionMemo", .ClassName = "TMemo", .Bounds = Bounds(8, 68, 297, 97),
             .Properties = {{"ScrollBars", std::string("ssVertical")}}},
            {.Name = "okbtn", .ClassName = "TButton", .Bounds = Bounds(150, 174, 75, 25),
             .Properties = {{"Caption", std::string("Create")}, {"Default", true}},
             .Events = {{"OnClick", "okbtnClick"}}},
            {.Name = "cancelbtn", .ClassName = "TButton", .Bounds = Bounds(230, 174, 75, 25),
             .Properties = {{"Caption", std::string("Cancel")}, {"Cancel", true},
                            {"ModalResult", std::string("mrCancel")}}},
        }};
    return form;
}

template <class T> T* named(TComponent& owner, const char* name) {
    return dynamic_cast<T*>(owner.FindComponent(name));
}

} // namespace

ToqcFrm::ToqcFrm(TComponent* owner, TEditForm& document) : TForm(owner), document_(document) {
    SetBorderStyle(bsDialog);
    SetPosition(poOwnerFormCenter);
    SetBounds(0, 0, 313, 207);
    THandlerTable handlers;
    handlers.Add("okbtnClick", this, &ToqcFrm::okbtnClick);
    BuildForm(*this, description(), handlers);
    codeNameEdit = named<TEdit>(*this, "codeNameEdit");
    codeDescriptionMemo = named<TMemo>(*this, "codeDescriptionMemo");
    okbtn = named<TButton>(*this, "okbtn");
    cancelbtn = named<TButton>(*this, "cancelbtn");
    SetActiveControl(codeNameEdit);
}

void ToqcFrm::okbtnClick(TPersistent*) {
    try {
        CreateQuickCode(codeNameEdit->Text(), SelectedText(document_),
                        WithCrLfBreaks(codeDescriptionMemo->Text()));
    } catch (...) {
        // The user may correct the name, or try again once the folder can
        // be written: the dialog stays with what was typed.
        ShowCurrentException();
        if (codeNameEdit->CanFocus())
            codeNameEdit->SetFocus();
        return;
    }
    SetModalResult(mrOk);
}

void RunQuickCodeDialog(TEditForm& document) {
    ToqcFrm dialog(&document, document);
    dialog.ShowModal();
}
