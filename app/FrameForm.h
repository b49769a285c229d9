#pragma once
// Tframeform: the main window, an MDI frame whose children are the
// document windows.  It holds the menus and command toolbars, the tab
// strip over the documents, the status bar, the HTML highlighter that every
// document shares and the recent-files lists; it reads the view and editing
// options when it is made and writes them back when it goes.

#include "platform/ui/Forms.h"
#include "platform/ui/MDI.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TColorDialog;
class TEditForm;
class THtmlHighlighter;
class TImageList;
class TListView;
class TMDITab;
class TMemo;
class TOpenDialog;
class TPageControl;
class TPanel;
class TProjectManager;
class TPTFolderBrowseDlg;
class TPTShellList;
class TPTShellTree;
class TStatusBar;
class TTBCustomItem;
class TTBCustomToolbar;
class TTBDock;
class TTBKMDIHandler;
class TTBKToolWindow;
class TTBMRUList;
class TValueListEditor;

// The status bar's panels that show the active document's typing mode, the
// application's hint and the document's encoding.
inline constexpr int kInsertPanel = 5;
inline constexpr int kHintPanel = 7;
inline constexpr int kEncodingPanel = 9;

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
    TTBDock* maindock = nullptr;
    TTBDock* leftDock = nullptr;
    TTBDock* rightDock = nullptr;
    TTBDock* bottomDock = nullptr;
    TTBKToolWindow* ToolsToolWindow = nullptr;
    TPageControl* toolsPgCtl = nullptr;
    TValueListEditor* TagInspector = nullptr;
    TPTShellTree* shTree = nullptr;
    TPTShellList* shList = nullptr;
    TListView* pmListView = nullptr;
    TPTShellList* oqcList = nullptr;
    TMemo* oqcMemo = nullptr;
    // The project pane's toolbar and the folder dialog of its "Add a folder".
    TTBCustomToolbar* pmToolBar = nullptr;
    TPTFolderBrowseDlg* dirDlg = nullptr;
    // The dialogs the commands share with the element dialogs.
    TOpenDialog* OpenDlg = nullptr;
    TColorDialog* ColorDialog1 = nullptr;
    // The menu bar and the command toolbars, by component name.
    TTBCustomToolbar* Bar(const std::string& name) const;

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
    // A copy kept from a save of it cut short is offered back first; a file
    // another copy of the program is still saving opens only when the user
    // agrees (nullptr when not).
    TEditForm* OpenDocumentFile(const std::string& fileName);
    // Gives a new document window its tab (which activates it) and the
    // main window's commands their state for it.
    void AddDocument(TEditForm* document);
    // Frees a document window that could not be made whole (its file or
    // template unreadable): the status bar shows the active document's
    // state again, or nothing without one.
    void DiscardDocument(TEditForm* document);
    // Empties the status bar's document panels.
    void ClearDocumentStatus();
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
    // Binds a command to every item the item tables give that handler
    // name; items that need no document are enabled at once, the others
    // with the document commands.
    void BindCommand(const std::string& handlerName, std::function<void(TTBCustomItem* sender)> command);
    bool ItemEnabled(const std::string& name) const;
    bool OptionChecked(const std::string& name) const;
    // The tag inspector follows the document's page.
    void SetTagInspectorEnabled(bool enabled);

    // ---- Projects (FrameFormProjectCommands.cpp) ----
    void AddFileToProject(const std::string& path);
    void LoadProject(const std::string& fileName);
    void SaveProject();
    void CloseProject();
    static std::string AddTrailingBackslash(const std::string& path);
    static std::string FileSizeText(const std::string& path);
    static std::string FileDateText(const std::string& path);
    TProjectManager& Projects() const { return *projects_; }

    // ---- Commands: file (FrameFormFileCommands.cpp) ----
    void newbuttonClick(TPersistent* sender);
    void newsitemClick(TPersistent* sender);
    void FileNewItemClick(TPersistent* sender);
    void openbuttonClick(TPersistent* sender);
    void FileOpenItemClick(TPersistent* sender);
    void mrulistClick(TPersistent* sender, const std::string& fileName);
    void shListDblClickOpen(TPersistent* sender, bool& handled);
    void FileExitItemClick(TPersistent* sender);
    // ---- Commands: view and options (FrameFormViewCommands.cpp) ----
    void Insertion1Click(TPersistent* sender);
    void affichageclick(TPersistent* sender);
    void Barresdoutils1Click(TPersistent* sender);
    // The items of "View" > "Toolbar": shows the bar when the item is
    // unchecked, hides it when checked.
    void ToggleToolbar(TTBCustomItem* item, const std::string& barName);
    void exploreritemClick(TPersistent* sender);
    void margeItemClick(TPersistent* sender);
    void margeNumItemClick(TPersistent* sender);
    void wordwrapitemClick(TPersistent* sender);
    void autoindentitemClick(TPersistent* sender);
    void backindentitemClick(TPersistent* sender);
    void codeitemClick(TPersistent* sender);
    // ---- Commands: help (FrameFormHelpCommands.cpp) ----
    void HelpContentsItemClick(TPersistent* sender);
    void RfrenceettutorielsHTML1Click(TPersistent* sender);
    void Rfrence1Click(TPersistent* sender);
    void LiensJavascript1Click(TPersistent* sender);
    void TBKItem7Click(TPersistent* sender);
    void HelpAboutItemClick(TPersistent* sender);
    // ---- Commands: preview in the browsers of the settings (BrowserPreview.cpp) ----
    void ieBtnClick(TPersistent* sender);
    void NetscapeBtnClick(TPersistent* sender);

    // ---- Handlers ----
    void FormCreate(TPersistent* sender);
    void FormDestroy(TPersistent* sender);
    void FormClose(TPersistent* sender, TCloseAction& action);
    void FormCloseQuery(TPersistent* sender, bool& canClose);
    void ApplicationHint(TPersistent* sender);

private:
    // FrameFormBars.cpp
    void buildDocks();
    void buildBars();
    // A key of a menu item that a document window takes while one is in
    // front (closing it, bringing the next) is not the item's then: the
    // item shows it, and the menus look it up, only while none is.
    void followDocumentKeys();
    void buildToolWindow();
    void restoreExplorer(const std::string& lastPath);
    std::string explorerPath();
    void buildProjectPane(TWinControl* page);
    // FrameFormCommands.cpp and the files of each group of commands.
    void bindCommands();
    void bindFileCommands();
    void bindDocumentCommands();
    void bindTagCommands();
    void bindViewCommands();
    void bindHelpCommands();
    void bindProjectCommands();
    // Copies the project's state into ProjectOpen and ProjectFileName.
    void syncProjectState();
    // Writes the options back; the first refused write is reported and
    // ends the writing.
    void saveSettings();

    std::map<std::string, TTBCustomItem*> items_;
    // The items whose key a document window takes, with that key.
    std::vector<std::pair<TTBCustomItem*, TShortCut>> documentKeyItems_;
    std::map<std::string, TTBCustomToolbar*> bars_;
    TImageList* icons_ = nullptr;
    TTBKMDIHandler* mdiHandler_ = nullptr;
    std::unique_ptr<TProjectManager> projects_;
    // Switches the document commands off when the last document goes.
    TMDISubscription documentsWatch_;
};

// The main window, set while it exists.
extern Tframeform* frameform;
