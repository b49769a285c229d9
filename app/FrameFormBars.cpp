// The main window's docks, menu bar, command toolbars and tool window, on
// the themed toolbar framework; the items come from the item tables.

#include "app/FrameForm.h"

#include "app/FileFilters.h"
#include "app/MainWindowItems.h"
#include "app/Projects.h"
#include "app/ToolbarIcons.h"

#include "platform/base/ProgramFolder.h"
#include "platform/gfx/ImageList.h"
#include "platform/gfx/TextDrawing.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/Keys.h"
#include "platform/ui/ListView.h"
#include "platform/ui/MDI.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/ValueListEditor.h"
#include "shell/PTSplitter.h"
#include "shell/ShellList.h"
#include "shell/ShellTree.h"
#include "toolbars/TBDock.h"
#include "toolbars/themes/TBKEditItem.h"
#include "toolbars/themes/TBKItems.h"
#include "toolbars/themes/TBKMDIHandler.h"
#include "toolbars/themes/TBKToolbar.h"

#include <functional>
#include <set>

namespace {

// Rows of the top dock: the menu bar alone, then the toolbars three or
// four to a row.
int rowOf(const std::string& bar) {
    if (bar == "menubar")
        return 0;
    if (bar == "mainToolbar" || bar == "fontToolbar" || bar == "formatToolbar")
        return 1;
    if (bar == "documentToolbar" || bar == "tableToolbar" || bar == "framesToolbar" || bar == "linkToolbar")
        return 2;
    return 3;
}

template <class T> T* named(T* component, const std::string& name) {
    component->SetName(name);
    return component;
}

} // namespace

void Tframeform::buildDocks() {
    auto dock = [this](const char* name, TTBDockPosition position) {
        auto* made = named(new TTBDock(this), name);
        made->SetPosition(position);
        made->SetParent(this);
        return made;
    };
    maindock = dock("maindock", dpTop);
    bottomDock = dock("bottomDock", dpBottom);
    leftDock = dock("leftDock", dpLeft);
    rightDock = dock("rightDock", dpRight);
}

void Tframeform::buildBars() {
    icons_ = named(new TImageList(this), "ToolbarImages");
    DrawToolbarIcons(*icons_);

    // The menus look a key up from the top, depth first, and stop at the
    // first item that holds it, enabled or not: a later item with the same
    // key would never run by it, so it neither holds nor shows it.
    std::set<TShortCut> keysGiven;
    std::function<void(TTBCustomItem*, const std::vector<TMainItem>&, bool)> add =
        [&](TTBCustomItem* parent, const std::vector<TMainItem>& entries, bool onToolbar) {
            for (const TMainItem& entry : entries) {
                TTBCustomItem* item = nullptr;
                if (entry.Flags & miSeparator) {
                    item = new TTBKSeparatorItem(this);
                } else if (entry.Flags & miRecentList) {
                    auto* list = new TTBKMRUListItem(this);
                    list->SetMRUList(entry.Name == "mruitemlist" ? mrulist : projectMRU);
                    item = list;
                } else {
                    item = entry.Flags & miSubmenu ? static_cast<TTBCustomItem*>(new TTBKSubmenuItem(this))
                                                   : new TTBKItem(this);
                    item->SetCaption(entry.Caption);
                    // An item without a hint of its own shows its caption, without
                    // the access-key marks.
                    item->Hint = entry.Hint.empty() ? StripAccessKeys(entry.Caption) : entry.Hint;
                    if (const TShortCut key = TextToShortCut(entry.ShortCut);
                        key != 0 && keysGiven.insert(key).second) {
                        item->ShortCut = key;
                        if (IsMDISysKey(key))
                            documentKeyItems_.emplace_back(item, key);
                    }
                    if (onToolbar)
                        item->SetImageIndex(ToolbarIconIndex(entry.Name));
                    // What needs a document waits for one; a command whose
                    // handler is not here yet stays disabled.
                    item->SetEnabled(!(entry.Flags & miNeedsDocument) && (entry.Flags & miSubmenu));
                }
                if (!entry.Name.empty()) {
                    item->SetName(entry.Name);
                    items_[entry.Name] = item;
                }
                parent->Add(item);
                add(item, entry.Items, false);
            }
        };

    int position = 0;
    int row = -1;
    for (const TMainBar& bar : MainWindowBars()) {
        auto* toolbar = named(new TTBKToolbar(this), bar.Name);
        toolbar->SetCaption(bar.Caption);
        toolbar->SetShowHint(true); // the buttons' hints show as tool tips
        const int barRow = rowOf(bar.Name);
        if (barRow != row) {
            row = barRow;
            position = 0;
        }
        toolbar->SetDockRow(barRow);
        toolbar->SetDockPos(position);
        position += 1;
        if (bar.Name == "menubar") {
            toolbar->SetMenuBar(true);
            toolbar->SetCloseButton(false);
        } else {
            toolbar->SetImages(icons_);
        }
        toolbar->SetCurrentDock(maindock);
        add(toolbar->Items(), bar.Items, bar.Name != "menubar");
        bars_[bar.Name] = toolbar;
    }

    mdiHandler_ = named(new TTBKMDIHandler(this), "TBKMDIHandler1");
    mdiHandler_->SetToolbar(bars_["menubar"]);
}

void Tframeform::followDocumentKeys() {
    const bool documentInFront = MDIClient() != nullptr && MDIClient()->ActiveChild() != nullptr;
    for (const auto& [item, key] : documentKeyItems_)
        item->ShortCut = documentInFront ? 0 : key;
}

void Tframeform::buildToolWindow() {
    ToolsToolWindow = named(new TTBKToolWindow(this), "ToolsToolWindow");
    ToolsToolWindow->SetCaption("Tools");
    ToolsToolWindow->SetClientAreaWidth(240);
    ToolsToolWindow->SetClientAreaHeight(420);
    ToolsToolWindow->SetCurrentDock(rightDock);
    // Docked at a side, the pane runs the dock's whole length.
    ToolsToolWindow->SetFullSize(true);

    toolsPgCtl = named(new TPageControl(this), "toolsPgCtl");
    toolsPgCtl->SetAlign(alClient);
    toolsPgCtl->SetTabPosition(tpBottom);
    toolsPgCtl->SetParent(ToolsToolWindow);
    // Each tab is a picture whose hint names the page: four captions would
    // not fit side by side in the window's width.
    auto* pictures = named(new TImageList(this), "toolsImages");
    DrawToolPageIcons(*pictures);
    toolsPgCtl->SetImages(pictures);
    auto page = [this](const char* name, const char* hint) {
        auto* sheet = named(new TTabSheet(this), name);
        sheet->SetHint(hint);
        sheet->SetImageIndex(toolsPgCtl->PageCount());
        sheet->SetPageControl(toolsPgCtl);
        return sheet;
    };

    // The tag inspector: disabled until a tag is loaded.
    TTabSheet* inspector = page("inspectorPage", "Code Inspector");
    TagInspector = named(new TValueListEditor(this), "TagInspector");
    TagInspector->SetAlign(alClient);
    TagInspector->SetEnabled(false);
    TagInspector->SetParent(inspector);

    // The file explorer: the folder tree over the folder's files, in the
    // two framed panes of the shell's splitter.
    TTabSheet* explorer = page("explorerPage", "File Explorer");
    auto* split = named(new TPTSplitter(this), "shSplitter");
    split->SetStyle(ptstHorizontal);
    split->SetSplitterWidth(2);
    split->SetAlign(alClient);
    split->SetParent(explorer);
    for (int index = 0; index < 2; ++index) {
        auto* pane = new TPTPane(this);
        pane->Index = index;
        pane->SetParent(split);
    }
    split->Loaded(); // binds the panes and names them after the splitter
    split->SetPosition(124);
    shTree = named(new TPTShellTree(this), "shTree");
    shTree->SetAlign(alClient);
    shTree->SetParent(split->Pane(0));
    shList = named(new TPTShellList(this), "shList");
    shList->SetAlign(alClient);
    shList->SetParent(split->Pane(1));
    shTree->SetShellList(shList);

    // The project manager: its files with their dates, sizes and folders.
    buildProjectPane(page("pmTabsheet", "Project Manager"));

    // The quick codes: the snippets of the "oqc" folder and the one chosen.
    TTabSheet* quickCodes = page("quickCodePage", "Ondrill Quick Codes");
    oqcList = named(new TPTShellList(this), "oqcList");
    oqcList->SetAlign(alClient);
    oqcList->SetParent(quickCodes);
    // The code at the bottom, the splitter right above it.
    oqcMemo = named(new TMemo(this), "oqcMemo");
    oqcMemo->SetAlign(alBottom);
    oqcMemo->SetHeight(120);
    oqcMemo->SetParent(quickCodes);
    auto* split2 = named(new TSplitter(this), "Splitter2");
    split2->SetAlign(alBottom);
    split2->SetHeight(3);
    split2->SetParent(quickCodes);

    toolsPgCtl->SetActivePageIndex(0);
}

void Tframeform::buildProjectPane(TWinControl* page) {
    // The pane's own small toolbar, docked above the list.
    auto* dock = named(new TTBDock(this), "pmDock");
    dock->SetPosition(dpTop);
    dock->SetAllowDrag(false);
    dock->SetParent(page);
    auto* bar = named(new TTBKToolbar(this), "pmToolBar");
    bar->SetCaption("Project");
    bar->SetCloseButton(false);
    bar->SetCurrentDock(dock);
    pmToolBar = bar;
    const struct {
        const char* Name;
        const char* Caption;
        const char* Hint;
    } buttons[] = {{"adddir2pmBtn", "+Folder", "Add a folder"},
                   {"addFile2pmBtn", "+File", "Add a file"},
                   {"rmFromPmBtn", "Remove", "Remove a file"},
                   {"", "-", ""},
                   {"openprojectBtn", "Open", "Open a project"},
                   {"closeprojectBtn", "Close", "Close a project"}};
    for (const auto& button : buttons) {
        if (*button.Name == 0) {
            bar->Items()->Add(new TTBKSeparatorItem(this));
            continue;
        }
        auto* item = named(new TTBKItem(this), button.Name);
        item->SetCaption(button.Caption);
        item->Hint = button.Hint;
        item->SetEnabled(false);
        items_[button.Name] = item;
        bar->Items()->Add(item);
    }

    pmListView = named(new TListView(this), "pmListView");
    pmListView->SetAlign(alClient);
    TProjectManager::SetUpList(*pmListView);
    pmListView->SetParent(page);
}

void Tframeform::SetTagInspectorEnabled(bool enabled) {
    if (TagInspector != nullptr)
        TagInspector->SetEnabled(enabled);
}

void Tframeform::restoreExplorer(const std::string& lastPath) {
    shTree->SelectPath(lastPath);
    oqcList->Folder().SetPath(ProgramFolder() + "oqc");
    shList->SetFileFilter(GetFileFilter("shList"));
}

std::string Tframeform::explorerPath() { return shTree->GetSelectedPath(); }
