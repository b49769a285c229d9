#pragma once
// The open project of the main window: its list of files in the project
// pane, its file, and the commands of the "Project" menu and of the pane's
// toolbar.  At most one project is open.  The list is written to the
// project file after every change of it, when the project closes and when
// the main window closes; no question is asked before saving or closing.
//
// Each row keeps the path it was added with, so that saving writes back
// exactly what was read, also for a file that no longer exists.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TComponent;
class TCustomListView;
class TListItem;
class TOpenDialog;
class TPageControl;
class TSaveDialog;
class TTBCustomItem;
class TTBMRUList;

// The parts of the main window the project commands work on.  Items that
// are missing are left alone.
struct TProjectControls {
    TCustomListView* List = nullptr;          // pmListView
    TTBCustomItem* AddFolderButton = nullptr; // adddir2pmBtn
    TTBCustomItem* AddFileButton = nullptr;   // addFile2pmBtn
    TTBCustomItem* RemoveButton = nullptr;    // rmFromPmBtn
    TTBCustomItem* CloseButton = nullptr;     // closeprojectBtn
    // The "Project" menu's Save, Save As... and Close.
    TTBCustomItem* SaveItem = nullptr;
    TTBCustomItem* SaveAsItem = nullptr;
    TTBCustomItem* CloseItem = nullptr;
    // The tool window's pages; the project page is shown on loading.
    TPageControl* Pages = nullptr;
    int ProjectPageIndex = 2;
    // The recently used projects.
    TTBMRUList* RecentProjects = nullptr;
    // The main window's open dialog for documents (several files).
    TOpenDialog* FilesDialog = nullptr;
    // The filter of FilesDialog when files are added.
    std::string FilesFilter;
    // Asks for a folder; false when cancelled.
    std::function<bool(std::string& folder)> ChooseFolder;
    // Opens a document in a new window (the main window's opening steps).
    std::function<void(const std::string& path)> OpenDocument;
};

class TProjectManager {
public:
    // owner owns the project dialogs (the main window).
    TProjectManager(TComponent* owner, TProjectControls controls);
    ~TProjectManager();
    TProjectManager(const TProjectManager&) = delete;
    TProjectManager& operator=(const TProjectManager&) = delete;

    // Sets the list up: report view, the four columns, read-only captions.
    static void SetUpList(TCustomListView& list);

    bool ProjectOpen() const { return open_; }
    const std::string& ProjectFileName() const { return fileName_; }
    // The path of each row, in order.
    const std::vector<std::string>& Paths() const { return paths_; }
    TOpenDialog& OpenDialog() const { return *openDialog_; }
    TSaveDialog& SaveDialog() const { return *saveDialog_; }

    // Appends a row for a path (no test for duplicates).
    void AddFileToProject(const std::string& path);
    // Makes fileName the open project and lists its files.
    void LoadProject(const std::string& fileName);
    // Writes the list to the project file.
    void SaveProject();
    // Saves and closes the open project, if any, and puts its file at the
    // top of the recent projects.
    void CloseProject();

    // The commands.
    void NewProject();
    void OpenProject();
    void OpenRecentProject(const std::string& fileName);
    void SaveProjectAs();
    void AddFolder();
    void AddFiles();
    // Asks, then removes the selected row and selects the one above it.
    void RemoveSelectedFile();
    void OpenSelectedFile();
    // The "Project" menu opens: Save, Save As... and Close follow ProjectOpen.
    void UpdateMenu();
    // The list's selection changed: the remove button follows it.
    void SelectionChanged();
    // A key released in the list: Delete removes the selected row.
    void ListKeyUp(uint16_t key);
    // The main window is closing: the open project is saved and closed.
    void MainWindowClosing();

private:
    void addRow(const std::string& path);
    void clearRows();
    void setButtons(bool projectOpen);
    void setOpen(const std::string& fileName);
    void finishClosing();

    TProjectControls controls_;
    std::unique_ptr<TOpenDialog> openDialog_;
    std::unique_ptr<TSaveDialog> saveDialog_;
    bool open_ = false;
    std::string fileName_;
    std::vector<std::string> paths_;
};
