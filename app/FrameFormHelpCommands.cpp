// The "Help" menu: the program's help pages (files under "help" beside the
// program, opened with the desktop's program for them), the product's news
// page and the About box.

#include "app/FrameForm.h"

#include "app/AboutForm.h"

#include "platform/base/ProgramFolder.h"
#include "platform/shellns/FileNames.h"
#include "platform/ui/Application.h"
#include "platform/ui/UserInteraction.h"
#include "toolbars/TBItem.h"

#include <memory>
#include <sys/stat.h>

namespace {

// The product's news page, outside the program.
constexpr const char* kNewsPage = "https://ondrill.korvane.example/en/news.html";

// Hands a help page to the desktop.  A page missing from the program's
// folder, or one the desktop can not show, is told rather than ignored.
void openHelpPage(const std::string& relative) {
    const std::string path = ProgramFolder() + relative;
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        UserInteraction().MessageDlg("The help page " + DisplayTextOfName(path) + " could not be found.", mtError,
                                     mbOKOnly);
        return;
    }
    if (!UserInteraction().OpenDocument(path))
        UserInteraction().MessageDlg("The help page " + DisplayTextOfName(path) + " could not be opened.", mtError,
                                     mbOKOnly);
}

} // namespace

void Tframeform::bindHelpCommands() {
    BindCommand("HelpContentsItemClick", [this](TTBCustomItem* s) { HelpContentsItemClick(s); });
    BindCommand("RfrenceettutorielsHTML1Click", [this](TTBCustomItem* s) { RfrenceettutorielsHTML1Click(s); });
    BindCommand("Rfrence1Click", [this](TTBCustomItem* s) { Rfrence1Click(s); });
    BindCommand("LiensJavascript1Click", [this](TTBCustomItem* s) { LiensJavascript1Click(s); });
    BindCommand("TBKItem7Click", [this](TTBCustomItem* s) { TBKItem7Click(s); });
    BindCommand("HelpAboutItemClick", [this](TTBCustomItem* s) { HelpAboutItemClick(s); });
}

void Tframeform::HelpContentsItemClick(TPersistent*) { openHelpPage("help/ondrill/index.htm"); }

void Tframeform::RfrenceettutorielsHTML1Click(TPersistent*) { openHelpPage("help/html reference/index.html"); }

void Tframeform::Rfrence1Click(TPersistent*) { openHelpPage("help/css/css.hlp"); }

void Tframeform::LiensJavascript1Click(TPersistent*) { openHelpPage("help/ondrill/liens.htm"); }

void Tframeform::TBKItem7Click(TPersistent*) { UserInteraction().OpenURL(kNewsPage); }

void Tframeform::HelpAboutItemClick(TPersistent*) {
    // The box belongs to the application, as long as it is shown.
    std::unique_ptr<TAboutBox> box(new TAboutBox(&Application()));
    box->ShowModal();
    box->BeforeDestruction();
}
