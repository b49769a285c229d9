// The document window's find, replace, conversion and printing commands,
// which the main window's Edit and File menus pass on to the active
// document.  The find and replace dialogs and the printer-setup dialog
// belong to the window: they are made on first use, in a component the
// window owns, and go with it.

#include "app/EditForm.h"

#include "app/DocumentPrinting.h"
#include "app/FindReplace.h"
#include "app/FrameForm.h"

#include "editor/CodeMemo.h"
#include "platform/shellns/FileNames.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Printers.h"
#include "toolbars/TBItem.h"

#include <filesystem>

namespace {

// The window's search and print dialogs.
class TDocumentDialogs : public TComponent {
public:
    TDocumentDialogs(TEditForm& window)
        : TComponent(&window), search(this, *window.Editor), printerSetup(new TPrinterSetupDialog(this)) {
        SetName("DocumentDialogs");
        printerSetup->SetName("PrinterSetupDialog1");
        search.OnTakeFocus = [&window] {
            if (window.Editor->CanFocus())
                window.Editor->SetFocus();
        };
        search.OnSearched = [] {
            if (frameform != nullptr && frameform->ActiveDocument() != nullptr)
                if (TTBCustomItem* again = frameform->Item("Rpterrecherche1"))
                    again->SetEnabled(true);
        };
    }
    std::string ClassName() const override { return "TDocumentDialogs"; }

    TDocumentSearch search;
    TPrinterSetupDialog* printerSetup;
};

TDocumentDialogs& dialogsOf(TEditForm& window) {
    if (auto* dialogs = dynamic_cast<TDocumentDialogs*>(window.FindComponent("DocumentDialogs")))
        return *dialogs;
    return *new TDocumentDialogs(window);
}

} // namespace

void TEditForm::Rechercher1Click(TPersistent*) { dialogsOf(*this).search.ShowFind(); }

void TEditForm::Rpter1Click(TPersistent*) { dialogsOf(*this).search.SearchAgain(); }

void TEditForm::Remplacer1Click(TPersistent*) { dialogsOf(*this).search.ShowReplace(); }

void TEditForm::rephtmlcaracitemClick(TPersistent*) { dialogsOf(*this).search.ConvertCharacters(); }

void TEditForm::Configurerlimprimante1Click(TPersistent*) { SetUpPrinter(*dialogsOf(*this).printerSetup, Printer()); }

void TEditForm::FilePrintSetupItemClick(TPersistent*) {
    // The header is the name as the program shows it; without a printer
    // the pages may go to a PDF file beside the document.
    const std::string pdf = std::filesystem::path(FileName).replace_extension(".pdf").string();
    PrintDocumentOrToFile(*Editor, DisplayTextOfName(FileName), Printer(), pdf);
}
