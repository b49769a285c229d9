// The main window's file commands: new documents (blank or from a
// template), opening files from the open dialog, the recent-files list and
// the file explorer, and quitting.

#include "app/FrameForm.h"

#include "app/EditForm.h"
#include "app/FileFilters.h"
#include "app/NewDocumentDialog.h"

#include "platform/ui/Application.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/UserInteraction.h"
#include "shell/ShellList.h"
#include "shell/ShellRecords.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBMRUList.h"

void Tframeform::bindFileCommands() {
    BindCommand("newbuttonClick", [this](TTBCustomItem* s) { newbuttonClick(s); });
    BindCommand("newsitemClick", [this](TTBCustomItem* s) { newsitemClick(s); });
    BindCommand("FileNewItemClick", [this](TTBCustomItem* s) { FileNewItemClick(s); });
    BindCommand("openbuttonClick", [this](TTBCustomItem* s) { openbuttonClick(s); });
    BindCommand("FileExitItemClick", [this](TTBCustomItem* s) { FileExitItemClick(s); });
    mrulist->OnClick = [this](TTBMRUList* s, const std::string& fileName) { mrulistClick(s, fileName); };
    shList->OnDblClickOpen = [this](TPersistent* s, bool& handled) { shListDblClickOpen(s, handled); };
}

void Tframeform::newbuttonClick(TPersistent* sender) { newsitemClick(sender); }

void Tframeform::newsitemClick(TPersistent*) {
    AddDocument(new TEditForm(&Application()));
}

void Tframeform::FileNewItemClick(TPersistent*) { ShowNewDocumentDialog(*this); }

void Tframeform::openbuttonClick(TPersistent* sender) { FileOpenItemClick(sender); }

void Tframeform::FileOpenItemClick(TPersistent*) {
    OpenDlg->SetFilter(GetFileFilter("editable"));
    if (!OpenDlg->Execute())
        return;
    // Each file in its own window, in the dialog's order; the last ends
    // active.  A file that can not be read ends the command with its error.
    for (int i = 0; i < OpenDlg->Files().Count(); ++i)
        OpenDocumentFile(OpenDlg->Files().Get(i));
}

void Tframeform::mrulistClick(TPersistent*, const std::string& fileName) {
    // The list tells of a file that is gone itself; a file that can not be
    // read is reported here and leaves no window.
    RunGuarded([&] { OpenDocumentFile(fileName); });
}

void Tframeform::shListDblClickOpen(TPersistent*, bool& handled) {
    // The explorer's files open in the editor, never with another program.
    handled = true;
    TPTShListData* data = shList->GetSelectedData();
    if (data == nullptr)
        return;
    const std::string path = data->GetPath();
    if (path.empty())
        return;
    RunGuarded([&] { OpenDocumentFile(path); });
}

void Tframeform::FileExitItemClick(TPersistent*) { Close(); }
