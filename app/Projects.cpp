#include "app/Projects.h"

#include "app/ProjectFiles.h"

#include "platform/base/FileNameText.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Keys.h"
#include "platform/ui/ListView.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/UserInteraction.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBMRUList.h"

#include <utility>

namespace {

void enable(TTBCustomItem* item, bool value) {
    if (item != nullptr)
        item->SetEnabled(value);
}

} // namespace

TProjectManager::TProjectManager(TComponent* owner, TProjectControls controls)
    : controls_(std::move(controls)), openDialog_(std::make_unique<TOpenDialog>(owner)),
      saveDialog_(std::make_unique<TSaveDialog>(owner)) {
    openDialog_->SetName("projetOpenDlg");
    openDialog_->SetFilter(kProjectFilter);
    openDialog_->SetDefaultExt(kProjectExtension);
    saveDialog_->SetName("saveprojetDlg");
    saveDialog_->SetFilter(kProjectFilter);
    // A name typed without an extension becomes a project file.
    saveDialog_->SetDefaultExt(kProjectExtension);
    saveDialog_->SetOptions(saveDialog_->Options() | ofOverwritePrompt);
    setButtons(false);
    enable(controls_.RemoveButton, false);
}

TProjectManager::~TProjectManager() = default;

void TProjectManager::SetUpList(TCustomListView& list) {
    list.SetViewStyle(vsReport);
    list.SetReadOnly(true);
    list.SetHideSelection(false);
    list.SetRowSelect(true);
    TListColumns& columns = list.Columns();
    columns.BeginUpdate();
    columns.Clear();
    const struct {
        const char* Caption;
        int Width;
        TAlignment Alignment;
    } layout[] = {{"File", 150, taLeftJustify},
                  {"Modified", 75, taLeftJustify},
                  {"Size", 50, taRightJustify},
                  {"Path", 200, taLeftJustify}};
    for (const auto& entry : layout) {
        TListColumn* column = columns.Add();
        column->SetCaption(entry.Caption);
        column->SetWidth(entry.Width);
        column->SetAlignment(entry.Alignment);
    }
    columns.EndUpdate();
}

void TProjectManager::addRow(const std::string& path) {
    paths_.push_back(path);
    if (controls_.List == nullptr)
        return;
    // The row shows the name as every view of names does ("caf\xE9.html");
    // paths_ keeps its bytes.
    TListItem* row = controls_.List->Items().Add();
    row->SetCaption(DisplayTextOfName(FileNamePart(path)));
    const bool exists = RegularFileExists(path);
    row->SubItems().Add(exists ? FileDateText(path) : std::string());
    row->SubItems().Add(exists ? FileSizeText(path) : std::string());
    row->SubItems().Add(DisplayTextOfName(FolderPart(path)));
}

void TProjectManager::clearRows() {
    paths_.clear();
    if (controls_.List != nullptr)
        controls_.List->Items().Clear();
    enable(controls_.RemoveButton, false);
}

void TProjectManager::AddFileToProject(const std::string& path) { addRow(path); }

void TProjectManager::setButtons(bool projectOpen) {
    enable(controls_.AddFileButton, projectOpen);
    enable(controls_.AddFolderButton, projectOpen);
    enable(controls_.CloseButton, projectOpen);
}

void TProjectManager::setOpen(const std::string& fileName) {
    fileName_ = fileName;
    open_ = true;
    setButtons(true);
}

void TProjectManager::LoadProject(const std::string& fileName) {
    std::vector<std::string> paths = ReadProjectFile(fileName);
    fileName_ = fileName;
    clearRows();
    if (controls_.List != nullptr)
        controls_.List->Items().BeginUpdate();
    for (const std::string& path : paths)
        addRow(path);
    if (controls_.List != nullptr)
        controls_.List->Items().EndUpdate();
    setOpen(fileName);
    if (controls_.Pages != nullptr && controls_.ProjectPageIndex < controls_.Pages->PageCount())
        controls_.Pages->SetActivePageIndex(controls_.ProjectPageIndex);
}

void TProjectManager::SaveProject() {
    if (fileName_.empty())
        return;
    WriteProjectFile(fileName_, paths_);
}

void TProjectManager::CloseProject() {
    if (!open_)
        return;
    SaveProject();
    finishClosing();
}

void TProjectManager::finishClosing() {
    clearRows();
    if (controls_.RecentProjects != nullptr)
        controls_.RecentProjects->Add(fileName_);
    fileName_.clear();
    open_ = false;
    setButtons(false);
}

void TProjectManager::NewProject() {
    CloseProject();
    if (!saveDialog_->Execute())
        return;
    clearRows();
    setOpen(saveDialog_->FileName());
}

void TProjectManager::OpenProject() {
    CloseProject();
    if (openDialog_->Execute())
        LoadProject(openDialog_->FileName());
}

void TProjectManager::OpenRecentProject(const std::string& fileName) {
    CloseProject();
    LoadProject(fileName);
}

void TProjectManager::SaveProjectAs() {
    if (saveDialog_->Execute())
        fileName_ = saveDialog_->FileName();
}

void TProjectManager::AddFolder() {
    std::string folder;
    if (!controls_.ChooseFolder || !controls_.ChooseFolder(folder))
        return;
    folder = AddTrailingBackslash(folder);
    std::vector<std::string> found = ProjectFilesInFolder(folder);
    if (controls_.List != nullptr)
        controls_.List->Items().BeginUpdate();
    for (const std::string& path : found)
        addRow(path);
    if (controls_.List != nullptr)
        controls_.List->Items().EndUpdate();
    SaveProject();
}

void TProjectManager::AddFiles() {
    TOpenDialog* dialog = controls_.FilesDialog;
    if (dialog == nullptr)
        return;
    dialog->SetFilter(controls_.FilesFilter);
    if (!dialog->Execute())
        return;
    for (int i = 0; i < dialog->Files().Count(); ++i)
        addRow(dialog->Files().Get(i));
    SaveProject();
}

void TProjectManager::RemoveSelectedFile() {
    if (controls_.List == nullptr)
        return;
    TListItem* selected = controls_.List->Selected();
    if (selected == nullptr)
        return;
    const std::string question =
        "Do you really want to remove this file from the project ? \n\rFile: " + selected->Caption();
    if (UserInteraction().MessageDlg(question, mtConfirmation, mbYesNo) != mrYes)
        return;
    const int index = selected->Index();
    controls_.List->Items().Delete(index);
    paths_.erase(paths_.begin() + index);
    if (index > 0)
        controls_.List->SetItemIndex(index - 1);
    SelectionChanged();
    SaveProject();
}

void TProjectManager::OpenSelectedFile() {
    if (controls_.List == nullptr || !controls_.OpenDocument)
        return;
    const int index = controls_.List->ItemIndex();
    if (index < 0 || index >= static_cast<int>(paths_.size()))
        return;
    controls_.OpenDocument(paths_[static_cast<size_t>(index)]);
}

void TProjectManager::UpdateMenu() {
    enable(controls_.SaveItem, open_);
    enable(controls_.SaveAsItem, open_);
    enable(controls_.CloseItem, open_);
}

void TProjectManager::SelectionChanged() {
    enable(controls_.RemoveButton, controls_.List != nullptr && controls_.List->SelCount() > 0);
}

void TProjectManager::ListKeyUp(uint16_t key) {
    if (key == VK_DELETE)
        RemoveSelectedFile();
}

void TProjectManager::MainWindowClosing() {
    if (!open_)
        return;
    // Closing the program never stops at a project that cannot be written:
    // the user hears of it and the program goes on closing.
    try {
        SaveProject();
    } catch (...) {
        ShowCurrentException();
    }
    finishClosing();
}
