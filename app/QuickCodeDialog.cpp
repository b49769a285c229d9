#include "app/QuickCodeDialog.h"

#include "app/DocumentTools.h"
#include "app/EditForm.h"
#include "app/QuickCodes.h"

#include "platform/base/FileNameText.h"
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

namespace {

// Whether the files of a quick code already there may be replaced: asked
// when they hold something else; No says what was not written.
bool mayReplace(const std::string& name, const std::vector<std::string>& files) {
    if (files.empty())
        return true;
    std::string names;
    for (const std::string& file : files)
        names += "\r\n" + DisplayTextOfName(file);
    // (Built piece by piece: GCC warns falsely of an overlap otherwise.)
    std::string shown = "\"";
    shown += DisplayTextOfName(name);
    shown += '"';
    if (UserInteraction().MessageDlg("A quick code named " + shown + " exists already, with other text in" + names +
                                         "\r\n\r\nReplace it?",
                                     mtConfirmation, mbYesNo) == mrYes)
        return true;
    UserInteraction().MessageDlg("The quick code " + shown + " was not written: the one you have is kept.",
                                 mtInformation, mbOKOnly);
    return false;
}

} // namespace

void ToqcFrm::okbtnClick(TPersistent*) {
    const std::string name = codeNameEdit->Text();
    const std::string code = SelectedText(document_);
    const std::string description = WithCrLfBreaks(codeDescriptionMemo->Text());
    bool written = false;
    try {
        written = mayReplace(name, QuickCodeFilesReplaced(name, code, description));
        if (written)
            CreateQuickCode(name, code, description);
    } catch (...) {
        written = false;
        ShowCurrentException();
    }
    if (!written) {
        // The user may correct the name, or try again once the folder can
        // be written: the dialog stays with what was typed.
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
