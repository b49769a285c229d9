// The "Help" menu: the program's help pages, the product's news page and
// the About box.

#include "app/FrameForm.h"

#include "app/AboutForm.h"
#include "app/DesktopPages.h"

#include "platform/ui/Application.h"
#include "toolbars/TBItem.h"

#include <memory>

namespace {

// The product's news page, outside the program.
constexpr const char* kNewsPage = "https://ondrill.korvane.example/en/news.html";

} // namespace

void Tframeform::bindHelpCommands() {
    BindCommand("HelpContentsItemClick", [this](TTBCustomItem* s) { HelpContentsItemClick(s); });
    BindCommand("RfrenceettutorielsHTML1Click", [this](TTBCustomItem* s) { RfrenceettutorielsHTML1Click(s); });
    BindCommand("Rfrence1Click", [this](TTBCustomItem* s) { Rfrence1Click(s); });
    BindCommand("LiensJavascript1Click", [this](TTBCustomItem* s) { LiensJavascript1Click(s); });
    BindCommand("TBKItem7Click", [this](TTBCustomItem* s) { TBKItem7Click(s); });
    BindCommand("HelpAboutItemClick", [this](TTBCustomItem* s) { HelpAboutItemClick(s); });
}

void Tframeform::HelpContentsItemClick(TPersistent*) { OpenHelpPage("help/ondrill/index.htm"); }

void Tframeform::RfrenceettutorielsHTML1Click(TPersistent*) { OpenHelpPage("help/html reference/index.html"); }

void Tframeform::Rfrence1Click(TPersistent*) { OpenHelpPage("help/css/css.hlp"); }

void Tframeform::LiensJavascript1Click(TPersistent*) { OpenHelpPage("help/ondrill/liens.htm"); }

void Tframeform::TBKItem7Click(TPersistent*) { OpenWebAddress(kNewsPage); }

void Tframeform::HelpAboutItemClick(TPersistent*) {
    // The box belongs to the application, as long as it is shown.
    std::unique_ptr<TAboutBox> box(new TAboutBox(&Application()));
    box->ShowModal();
    box->BeforeDestruction();
}
