#include "app/FrameForm.h"

#include "app/ApplicationClasses.h"

#include "app/EditForm.h"
#include "app/FileFilters.h"
#include "app/HtmlColor.h"
#include "app/InterruptedSaves.h"
#include "app/MDITab.h"
#include "app/MainStatusBar.h"
#include "app/MainWindowItems.h"
#include "app/Projects.h"
#include "app/SettingsFile.h"
#include "app/SyntaxColors.h"
#include "app/ToolCommands.h"
#include "app/dialogs/ElementCommands.h"

#include "editor/highlight/HtmlHighlighter.h"
#include "platform/ui/Application.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MDI.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/UserInteraction.h"
#include "toolbars/TBBarPositions.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBMRUList.h"
#include "toolbars/themes/TBKEditItem.h"
#include "toolbars/themes/TBKTheme.h"

Tframeform* frameform = nullptr;

namespace {

// Where the toolbar layout is kept, under the current user.
constexpr const char* kToolbarsKey = "Software\\Prelune2k2\\Toolbars";

struct TPanelLayout {
    int Width;
    TStatusPanelBevel Bevel;
    TAlignment Alignment;
};
constexpr TPanelLayout kPanels[] = {
    {90, pbLowered, taCenter}, {140, pbLowered, taCenter}, {10, pbNone, taCenter}, {60, pbLowered, taCenter},
    // The hint takes what the others leave (TMainStatusBar).
    {10, pbNone, taCenter},    {70, pbLowered, taCenter},  {10, pbNone, taCenter}, {kMinimumHintWidth, pbLowered, taLeftJustify},
    // The active document's encoding.
    {10, pbNone, taCenter},    {100, pbLowered, taCenter},
};

} // namespace

Tframeform::Tframeform(TComponent* owner) : TForm(owner) {
    RegisterApplicationClasses();
    frameform = this;
    SetFormStyle(fsMDIForm);
    SetPosition(poDefault);
    SetWindowState(wsMaximized);
    SetBounds(0, 0, 1024, 720);

    // The status bar comes before the docks: where two controls stand as
    // near the bottom edge (the status bar shown again, an empty dock), the
    // one made first takes the edge, so the status bar stays the window's
    // bottom edge with the bottom dock above it.
    auto* statusBar = new TMainStatusBar(this, kHintPanel);
    StatusBar1 = statusBar;
    StatusBar1->SetName("StatusBar1");
    StatusBar1->SetAlign(alBottom);
    for (const TPanelLayout& layout : kPanels) {
        TStatusPanel* panel = StatusBar1->Panels().Add();
        panel->SetWidth(layout.Width);
        panel->SetBevel(layout.Bevel);
        panel->SetAlignment(layout.Alignment);
    }
    StatusBar1->SetParent(this);
    statusBar->FitHintPanel();

    // The docks come next: the tab strip's panel lies under the top one.
    buildDocks();
    htmlcoder = new THtmlHighlighter(this);
    htmlcoder->SetName("htmlcoder");
    SetInitialHtmlStyles(*htmlcoder);

    NavPanel = new TPanel(this);
    NavPanel->SetName("NavPanel");
    NavPanel->SetAlign(alTop);
    NavPanel->SetHeight(24);
    NavPanel->SetBevelOuter(bvNone);
    NavPanel->SetParent(this);
    MDINav = new TMDITab(this);
    MDINav->SetName("MDINav");
    MDINav->SetAlign(alTop);
    MDINav->SetParent(NavPanel);

    mrulist = new TTBKMRUList(this);
    mrulist->SetName("mrulist");
    mrulist->SetMaxItems(10);
    mrulist->Prefix = "mru";
    projectMRU = new TTBKMRUList(this);
    projectMRU->SetName("projectMRU");
    projectMRU->SetMaxItems(10);
    projectMRU->Prefix = "project";
    projectMRU->AddFullPath = false;

    buildBars();
    buildToolWindow();
    bindCommands();
    BindElementDialogCommands(*this);

    OnDestroy = [this](TPersistent* s) { FormDestroy(s); };
    OnClose = [this](TPersistent* s, TCloseAction& action) { FormClose(s, action); };
    OnCloseQuery = [this](TPersistent* s, bool& canClose) { FormCloseQuery(s, canClose); };
    FormCreate(this);
    BindToolCommands(*this);
}

Tframeform::~Tframeform() {
    // FormDestroy needs the window whole: it runs before the members go,
    // once, however the window is freed (the application's end has run it
    // already).
    BeforeDestruction();
    if (frameform == this)
        frameform = nullptr;
}

// ---- Items ------------------------------------------------------------------------

TTBCustomItem* Tframeform::Item(const std::string& name) const {
    auto found = items_.find(name);
    return found == items_.end() ? nullptr : found->second;
}

void Tframeform::EnableItems(const std::vector<std::string>& names, bool enabled) {
    for (const std::string& name : names)
        if (TTBCustomItem* item = Item(name))
            item->SetEnabled(enabled && (item->OnClick || item->Count() > 0));
}

void Tframeform::BindCommand(const std::string& handlerName, std::function<void(TTBCustomItem*)> command) {
    for (const TMainBar& bar : MainWindowBars()) {
        std::function<void(const std::vector<TMainItem>&)> bind = [&](const std::vector<TMainItem>& entries) {
            for (const TMainItem& entry : entries) {
                bind(entry.Items);
                TTBCustomItem* item = entry.Handler == handlerName ? Item(entry.Name) : nullptr;
                if (item == nullptr)
                    continue;
                item->OnClick = command;
                if (!(entry.Flags & miNeedsDocument))
                    item->SetEnabled(true);
            }
        };
        bind(bar.Items);
    }
    // The document commands follow the active document again.
    if (TEditForm* document = ActiveDocument())
        document->FormActivate(document);
}

TTBCustomToolbar* Tframeform::Bar(const std::string& name) const {
    auto found = bars_.find(name);
    return found == bars_.end() ? nullptr : found->second;
}

bool Tframeform::ItemEnabled(const std::string& name) const {
    TTBCustomItem* item = Item(name);
    return item != nullptr && item->Enabled();
}

bool Tframeform::OptionChecked(const std::string& name) const {
    TTBCustomItem* item = Item(name);
    return item != nullptr && item->Checked();
}

// ---- Creation and destruction -------------------------------------------------------

void Tframeform::FormCreate(TPersistent*) {
    auto settings = OpenSettings();
    const bool wordWrap = settings->ReadBool(settings::Editor, "wordwrap", false);
    const bool statusBar = settings->ReadBool(settings::Display, "statusbar", true);
    const bool tabStrip = settings->ReadBool(settings::Display, "mdibar", true);
    const bool autoIndent = settings->ReadBool(settings::Editor, "autoindent", true);
    const bool backIndent = settings->ReadBool(settings::Editor, "backindent", true);
    Item("codeitem")->SetChecked(settings->ReadBool(settings::Editor, "completion", true));
    restoreExplorer(settings->ReadString(settings::Explorer, "lastpath", ""));
    mrulist->LoadFromIni(*settings, settings::RecentFiles);
    projectMRU->LoadFromIni(*settings, settings::RecentProjects);
    StatusBar1->SetVisible(statusBar);
    NavPanel->SetVisible(tabStrip);
    Item("wordwrapitem")->SetChecked(wordWrap);
    Item("autoindentitem")->SetChecked(autoIndent);
    Item("backindentitem")->SetChecked(backIndent);
    LoadBarPositionsFromRegistry(this, HKEY_CURRENT_USER, kToolbarsKey);
    Application().OnHint = [this](TPersistent* s) { ApplicationHint(s); };
    SetCaption(Application().Title());
    SelectTheme("OfficeXP");
    ProjectOpen = false;
    ProjectFileName.clear();
}

void Tframeform::saveSettings() {
    auto settings = OpenSettings();
    settings->WriteBool(settings::Display, "statusbar", StatusBar1->Visible());
    settings->WriteBool(settings::Display, "mdibar", NavPanel->Visible());
    settings->WriteBool(settings::Editor, "wordwrap", OptionChecked("wordwrapitem"));
    settings->WriteBool(settings::Editor, "autoindent", OptionChecked("autoindentitem"));
    settings->WriteBool(settings::Editor, "backindent", OptionChecked("backindentitem"));
    settings->WriteBool(settings::Editor, "completion", OptionChecked("codeitem"));
    settings->WriteString(settings::Explorer, "lastpath", explorerPath());
    mrulist->SaveToIni(*settings, settings::RecentFiles);
    projectMRU->SaveToIni(*settings, settings::RecentProjects);
}

void Tframeform::FormDestroy(TPersistent*) {
    // The document windows go first, while the main window they report to
    // stands whole: their names reach the recent files written below.
    while (MDIChildCount() > 0) {
        TCustomForm* document = MDIChildren(MDIChildCount() - 1);
        document->BeforeDestruction();
        delete document;
    }
    // Each store that can not be written is told once, and the other is
    // still written; the program still closes.
    RunGuarded([&] { SaveBarPositionsToRegistry(this, HKEY_CURRENT_USER, kToolbarsKey); });
    RunGuarded([&] { saveSettings(); });
    if (Application().OnHint)
        Application().OnHint = nullptr;
}

void Tframeform::FormCloseQuery(TPersistent*, bool& canClose) {
    // The documents have all agreed to close: the open project is saved
    // and closed (a project that can not be written is reported, and the
    // program still closes).
    if (ProjectOpen) {
        projects_->MainWindowClosing();
        syncProjectState();
    }
    canClose = true;
}

void Tframeform::FormClose(TPersistent*, TCloseAction& action) { action = caFree; }

void Tframeform::ApplicationHint(TPersistent*) {
    StatusBar1->Panels().Items(kHintPanel)->SetText(Application().Hint());
}

// ---- Documents ---------------------------------------------------------------------------

TEditForm* Tframeform::ActiveDocument() const { return dynamic_cast<TEditForm*>(ActiveMDIChild()); }

TEditForm* Tframeform::OpenDocumentFile(const std::string& fileName) {
    // Every way a page opens comes here: its old contents kept from a save
    // cut short are offered back before it is read, so a cut page never
    // opens as if whole.
    if (!OfferInterruptedSaves(fileName))
        return nullptr;
    auto* document = new TEditForm(&Application());
    try {
        document->LoadFile(fileName);
    } catch (...) {
        // No window stays behind bound to a file it could not read.
        DiscardDocument(document);
        throw;
    }
    AddDocument(document);
    return document;
}

void Tframeform::DiscardDocument(TEditForm* document) {
    delete document;
    TEditForm* active = ActiveDocument();
    if (active == nullptr) {
        ClearDocumentStatus();
        return;
    }
    active->ShowStatus();
}

void Tframeform::ClearDocumentStatus() {
    for (int panel : {0, 1, 3, kInsertPanel, kEncodingPanel})
        StatusBar1->Panels().Items(panel)->SetText("");
}

// ---- Colours ------------------------------------------------------------------------------

std::string Tframeform::ColorToHtml(int color) { return ::ColorToHtml(color); }

std::string Tframeform::GetFileFilter(const std::string& kind) { return ::GetFileFilter(kind); }

void Tframeform::readdefaulthtml() { ReadDefaultHtml(*htmlcoder, *OpenSettings()); }

void Tframeform::readcustomizedhtml() { ReadCustomizedHtml(*htmlcoder, *OpenSettings()); }
