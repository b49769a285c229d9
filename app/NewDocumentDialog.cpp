#include "app/NewDocumentDialog.h"

#include "app/ApplicationClasses.h"
#include "app/FrameForm.h"

#include "platform/base/ProgramFolder.h"
#include "platform/ui/Application.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/UserInteraction.h"
#include "shell/ShellList.h"
#include "shell/ShellRecords.h"

#include <memory>

namespace {

constexpr int kWidth = 440;
constexpr int kHeight = 330;

} // namespace

Tnewfrm::Tnewfrm(TComponent* owner) : TForm(owner) {
    RegisterApplicationClasses();
    SetName("newfrm");
    SetCaption("New document");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetBounds(0, 0, kWidth, kHeight);

    shList = new TPTShellList(this);
    shList->SetName("shList");
    shList->SetParent(this);
    shList->SetBounds(8, 8, ClientWidth() - 16, ClientHeight() - 56);
    shList->SetOptions(ListOption(ptsloAutoFill) | ListOption(ptsloNonFilesystemAncestors) |
                       ListOption(ptsloDesignInteractive) | ListOption(ptsloShowHidden));
    shList->SetReadOnly(true);
    shList->SetAutoArrange(true);
    shList->OnDblClickOpen = [this](TPersistent* s, bool& handled) { shListDblClickOpen(s, handled); };

    okbtn = new TButton(this);
    okbtn->SetName("okbtn");
    okbtn->SetParent(this);
    okbtn->SetCaption("Ok");
    okbtn->SetDefault(true);
    okbtn->SetBounds(ClientWidth() - 176, ClientHeight() - 38, 80, 28);
    // OK closes the dialog itself: with a folder chosen it stays open.
    okbtn->OnClick = [this](TPersistent* s) { okbtnClick(s); };

    cancelbtn = new TButton(this);
    cancelbtn->SetName("cancelbtn");
    cancelbtn->SetParent(this);
    cancelbtn->SetCaption("Cancel");
    cancelbtn->SetCancel(true);
    cancelbtn->SetModalResult(mrCancel);
    cancelbtn->SetBounds(ClientWidth() - 88, ClientHeight() - 38, 80, 28);

    SetActiveControl(shList);
    FormCreate(this);
}

void Tnewfrm::FormCreate(TPersistent*) { shList->Folder().SetPath(TemplatesFolder()); }

bool Tnewfrm::openSelected() {
    TPTShListData* data = shList->GetSelectedData();
    if (data == nullptr)
        return false;
    const std::string path = data->GetPath();
    // A folder is no template: a double click enters it instead.
    if (data->IsFolder())
        return false;
    RunGuarded([&] { OpenTemplate(*frameform, path); });
    return true;
}

void Tnewfrm::okbtnClick(TPersistent*) {
    TPTShListData* data = shList->GetSelectedData();
    if (data != nullptr && data->IsFolder())
        return;
    openSelected();
    SetModalResult(mrOk);
}

void Tnewfrm::shListDblClickOpen(TPersistent*, bool& handled) {
    // The list opens nothing itself: the template becomes a document here.
    handled = true;
    if (openSelected())
        SetModalResult(mrOk);
}

void ShowNewDocumentDialog(Tframeform& frame) {
    std::unique_ptr<Tnewfrm> dialog(new Tnewfrm(&frame));
    dialog->ShowModal();
    dialog->BeforeDestruction();
}
