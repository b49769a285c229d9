#include "app/dialogs/ElementDialog.h"

#include "app/DesktopPages.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/HtmlColor.h"
#include "app/dialogs/DocumentPaths.h"

#include "platform/base/ProgramFolder.h"
#include "platform/shellns/FileNames.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/UserInteraction.h"

namespace {

constexpr const char* kSaveFirst = "You need to first save this document before you can assign an other file to it. "
                                   "Would you like to save it now?";

// One spelling of the help folder, which a case-sensitive file system
// needs.
constexpr const char* kHelpFolder = "help/ondrill/";

} // namespace

TElementDialog::TElementDialog(TComponent* owner) : TForm(owner) {}

void TElementDialog::Build(const TFormDescription& description, const THandlerTable& handlers) {
    BuildForm(*this, description, handlers);
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
}

// ---- Help and files --------------------------------------------------------------

void OpenDialogHelpPage(std::string_view page) { OpenHelpPage(kHelpFolder + std::string(page)); }

bool SaveDocumentFirst(TEditForm& document) {
    if (document.FileName != kUntitled)
        return true;
    if (UserInteraction().MessageDlg(kSaveFirst, mtConfirmation, mbYesNo) != mrYes)
        return false;
    document.FileSaveItemClick(&document);
    return document.FileName != kUntitled;
}

bool BrowseForFile(TOpenDialog& dialog, TCustomEdit& field, std::string* chosen,
                   const std::function<void()>& prepare) {
    TEditForm* document = ActiveDocumentWindow();
    if (document == nullptr || !SaveDocumentFirst(*document))
        return false;
    if (prepare)
        prepare();
    // Pictures and pages usually lie near the page: the dialog starts in
    // its folder unless it was told another.
    if (dialog.InitialDir().empty())
        dialog.SetInitialDir(ParentPathOf(document->FileName));
    if (!dialog.Execute())
        return false;
    field.SetText(RelativeDocumentPath(dialog.FileName(), document->FileName));
    if (chosen != nullptr)
        *chosen = dialog.FileName();
    return true;
}

// ---- Values as HTML writes them ----------------------------------------------------

std::string HtmlColor(TColor color) { return ColorToHtml(color); }

std::string HexColor(TColor color) { return ColorToHtml(color).substr(1); }

bool ChooseSwatchColor(TColorDialog& dialog, TControl& swatch) {
    dialog.SetColor(swatch.Color());
    if (!dialog.Execute())
        return false;
    swatch.SetColor(dialog.Color());
    return true;
}

std::string SpinText(const TSpinEdit& spin) { return std::to_string(spin.Value()); }

std::string AttributeUnlessDefault(std::string_view name, std::string_view value) {
    if (value == "Default")
        return {};
    std::string attribute(" ");
    attribute.append(name).append("=\"").append(value).append("\"");
    return attribute;
}

// ---- Opening ---------------------------------------------------------------------

void RunElementDialog(std::unique_ptr<TCustomForm> dialog) {
    // Freed whichever way the loop ends; its OnDestroy sees it whole.
    struct TFree {
        std::unique_ptr<TCustomForm>& Dialog;
        ~TFree() {
            if (Dialog) {
                Dialog->BeforeDestruction();
                Dialog.reset();
            }
        }
    } free{dialog};
    dialog->ShowModal();
}

TComponent* ElementDialogOwner() { return frameform; }

void EnableMainWindow() {
    if (frameform != nullptr)
        frameform->SetEnabled(true);
}
