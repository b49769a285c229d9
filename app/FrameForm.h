#pragma once
// Tframeform: the main window, an MDI frame whose children are the
// document windows.  It holds the menus and command toolbars, the tab
// strip over the documents, the status bar, the HTML highlighter that every
// document shares and the recent-files lists; it reads the view and editing
// options when it is made and writes them back when it goes.

#include "platform/ui/Forms.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TEditForm;
class THtmlHighlighter;
class TMDITab;
class TPanel;
class TStatusBar;
class TTBCustomItem;
class TTBMRUList;

class Tframeform : public TForm {
public:
    explicit Tframeform(TComponent* owner);
    ~Tframeform() override;
    std::string ClassName() const override { return "Tframeform"; }

    // ---- Components ----
    TStatusBar* StatusBar1 = nullptr;
    TPanel* NavPanel = nullptr;
    TMDITab* MDINav = nullptr;
    THtmlHighlighter* htmlcoder = nullptr;
    TTBMRUList* mrulist = nullptr;
    TTBMRUList* projectMRU = nullptr;

    // ---- State ----
    bool ProjectOpen = false;
    std::string ProjectFileName;

    // ---- Operations others call ----
    // "#RRGGBB" of a colour (system colours resolved).
    static std::string ColorToHtml(int color);
    // The file-dialog filter of a kind of file.
    static std::string GetFileFilter(const std::string& kind);
    // Opens a file in a new document window and selects its tab.  A file
    // that can not be read leaves no window behind; the error is raised.
    TEditForm* OpenDocumentFile(const std::string& fileName);
    // The shared highlighter's two colour sets (from the settings file).
    void readdefaulthtml();
    void readcustomizedhtml();
    // The active document window, or nullptr.
    TEditForm* ActiveDocument() const;

    // ---- Items of the menus and toolbars, by component name ----
    TTBCustomItem* Item(const std::string& name) const;
    // Enables (or disables) items; an item whose command is not there yet
    // stays disabled.
    void EnableItems(const std::vector<std::string>& names, bool enabled);
    bool ItemEnabled(const std::string& name) const;
    bool OptionChecked(const std::string& name) const;
    // The tag inspector follows the document's page.
    void SetTagInspectorEnabled(bool enabled);

    // ---- Handlers ----
    void FormCreate(TPersistent* sender);
    void FormDestroy(TPersistent* sender);
    void FormClose(TPersistent* sender, TCloseAction& action);
    void FormCloseQuery(TPersistent* sender, bool& canClose);
    void ApplicationHint(TPersistent* sender);

private:
    void buildItems();
    // Writes the options back; the first refused write is reported and
    // ends the writing.
    void saveSettings();

    std::map<std::string, TTBCustomItem*> items_;
    // The item trees of the menu bar and the toolbars, by bar name.
    std::map<std::string, TTBCustomItem*> bars_;
    // What the explorer showed at start, written back while there is no
    // explorer to ask.
    std::string lastPath_;
};

// The main window, set while it exists.
extern Tframeform* frameform;
