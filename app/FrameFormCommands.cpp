// The main window's commands reach its menus and toolbars here: the common
// dialogs they share are made, and each group of commands binds its
// handlers to the items that carry their names.  The document commands,
// which only pass the click on to the active document window, are bound
// from the table below.

#include "app/FrameForm.h"

#include "app/EditForm.h"
#include "app/MainWindowItems.h"

#include "platform/ui/CommonDialogs.h"
#include "toolbars/TBItem.h"

#include <utility>

namespace {

using TDocumentCommand = void (TEditForm::*)(TPersistent*);

// The main window's handler and the document window's operation it runs.
const std::pair<const char*, TDocumentCommand> kDocumentCommands[] = {
    {"savebuttonClick", &TEditForm::FileSaveItemClick},
    {"Sauvegardersous1Click", &TEditForm::FileSaveAsitemClick},
    {"saveallbuttonClick", &TEditForm::Sauvegardertout1Click},
    {"closebuttonClick", &TEditForm::Fermer1Click},
    {"closeallbuttonClick", &TEditForm::Fermertout1Click},
    {"Configurerlimprimante2Click", &TEditForm::Configurerlimprimante1Click},
    {"Imprimer1Click", &TEditForm::FilePrintSetupItemClick},
    {"undobuttonClick", &TEditForm::EditUndoItemClick},
    {"Annuler1Click", &TEditForm::EditUndoItemClick},
    {"redobuttonClick", &TEditForm::redoitemClick},
    {"cutbuttonClick", &TEditForm::EditCutItemClick},
    {"copybuttonClick", &TEditForm::EditCopyItemClick},
    {"pastebuttonClick", &TEditForm::EditPasteItemClick},
    {"Supprimer2Click", &TEditForm::Supprimer1Click},
    {"Slectionnertout2Click", &TEditForm::Slectionnertout1Click},
    {"findbuttonClick", &TEditForm::Rechercher1Click},
    {"findnbuttonClick", &TEditForm::Rpter1Click},
    {"Remplacer2Click", &TEditForm::Remplacer1Click},
    {"Remplacerlescaractresspciaux1Click", &TEditForm::rephtmlcaracitemClick},
};

} // namespace

void Tframeform::bindCommands() {
    OpenDlg = new TOpenDialog(this);
    OpenDlg->SetName("OpenDlg");
    OpenDlg->SetOptions(ofHideReadOnly | ofAllowMultiSelect | ofPathMustExist | ofFileMustExist | ofEnableSizing);
    ColorDialog1 = new TColorDialog(this);
    ColorDialog1->SetName("ColorDialog1");

    bindFileCommands();
    bindDocumentCommands();
    bindTagCommands();
    bindViewCommands();
    bindHelpCommands();
    bindProjectCommands();
    BindCommand("ieBtnClick", [this](TTBCustomItem* s) { ieBtnClick(s); });
    BindCommand("NetscapeBtnClick", [this](TTBCustomItem* s) { NetscapeBtnClick(s); });

    // A document window that closes switches the commands off and empties
    // the status bar, but one closed behind it (Close All closes them all
    // before the first is freed) is activated once more on the way out and
    // shows its state again: with no document left, nothing that needs one
    // stays enabled and the status bar tells of no document.
    documentsWatch_ = MDIClient()->Subscribe([this](TMDINotice notice, TCustomForm* child) {
        followDocumentKeys();
        if (notice == mdiActivated && child == nullptr && MDIChildCount() == 0) {
            EnableItems(DocumentCommandItems(), false);
            EnableItems(SelectionAndUndoItems(), false);
            ClearDocumentStatus();
        }
    });
}

void Tframeform::bindDocumentCommands() {
    for (const auto& [handler, command] : kDocumentCommands)
        BindCommand(handler, [this, command = command](TTBCustomItem* sender) {
            // A shortcut may still reach a command after the last document
            // closed: there is nothing to act on then.
            if (TEditForm* document = ActiveDocument())
                (document->*command)(sender);
        });
}
