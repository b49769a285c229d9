// Projects in the main window: the "Project" menu, the project pane's list
// and toolbar, and the operations start-up and closing call.  The project
// manager keeps the list and the file; the main window's ProjectOpen and
// ProjectFileName follow it after every command.

#include "app/FrameForm.h"

#include "app/FileFilters.h"
#include "app/ProjectFiles.h"
#include "app/Projects.h"

#include "platform/ui/CommonDialogs.h"
#include "platform/ui/ListView.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/UserInteraction.h"
#include "shell/FolderBrowseDlg.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBMRUList.h"

void Tframeform::bindProjectCommands() {
    dirDlg = new TPTFolderBrowseDlg(this);
    dirDlg->SetName("dirDlg");

    TProjectControls controls;
    controls.List = pmListView;
    controls.AddFolderButton = Item("adddir2pmBtn");
    controls.AddFileButton = Item("addFile2pmBtn");
    controls.RemoveButton = Item("rmFromPmBtn");
    controls.CloseButton = Item("closeprojectBtn");
    controls.SaveItem = Item("saveProjetItem");
    controls.SaveAsItem = Item("saveProjetAsItem");
    controls.CloseItem = Item("closeprojetItem");
    controls.Pages = toolsPgCtl;
    controls.ProjectPageIndex = 2;
    controls.RecentProjects = projectMRU;
    controls.FilesDialog = OpenDlg;
    controls.FilesFilter = GetFileFilter("editable");
    controls.ChooseFolder = [this](std::string& folder) {
        if (!dirDlg->Execute())
            return false;
        folder = dirDlg->GetSelectedPath();
        return !folder.empty();
    };
    controls.OpenDocument = [this](const std::string& path) { OpenDocumentFile(path); };
    projects_ = std::make_unique<TProjectManager>(this, std::move(controls));

    // Every command leaves the main window's project state as the manager's.
    auto bind = [this](const char* handler, void (TProjectManager::*command)()) {
        BindCommand(handler, [this, command](TTBCustomItem*) {
            try {
                (projects_.get()->*command)();
            } catch (...) {
                syncProjectState();
                throw;
            }
            syncProjectState();
        });
    };
    bind("newProjetItemClick", &TProjectManager::NewProject);
    bind("openProjetItemClick", &TProjectManager::OpenProject);
    bind("saveProjetItemClick", &TProjectManager::SaveProject);
    bind("saveProjetAsItemClick", &TProjectManager::SaveProjectAs);
    bind("closeprojetItemClick", &TProjectManager::CloseProject);
    bind("projetItemClick", &TProjectManager::UpdateMenu);
    Item("openprojectBtn")->OnClick = Item("openProjetItem")->OnClick;
    Item("openprojectBtn")->SetEnabled(true);
    Item("closeprojectBtn")->OnClick = Item("closeprojetItem")->OnClick;
    Item("adddir2pmBtn")->OnClick = [this](TTBCustomItem*) { projects_->AddFolder(); };
    Item("addFile2pmBtn")->OnClick = [this](TTBCustomItem*) { projects_->AddFiles(); };
    Item("rmFromPmBtn")->OnClick = [this](TTBCustomItem*) { projects_->RemoveSelectedFile(); };
    projectMRU->OnClick = [this](TTBMRUList*, const std::string& fileName) {
        RunGuarded([&] { projects_->OpenRecentProject(fileName); });
        syncProjectState();
    };

    pmListView->OnSelectItem = [this](TPersistent*, TListItem*, bool) { projects_->SelectionChanged(); };
    pmListView->OnKeyUp = [this](TPersistent*, uint16_t& key, TShiftState) { projects_->ListKeyUp(key); };
    pmListView->OnDblClick = [this](TPersistent*) { projects_->OpenSelectedFile(); };
    // Save, Save As... and Close wait for a project.
    projects_->UpdateMenu();
}

void Tframeform::syncProjectState() {
    ProjectOpen = projects_->ProjectOpen();
    ProjectFileName = projects_->ProjectFileName();
}

void Tframeform::AddFileToProject(const std::string& path) { projects_->AddFileToProject(path); }

void Tframeform::LoadProject(const std::string& fileName) {
    projects_->LoadProject(fileName);
    syncProjectState();
}

void Tframeform::SaveProject() { projects_->SaveProject(); }

void Tframeform::CloseProject() {
    try {
        projects_->CloseProject();
    } catch (...) {
        syncProjectState();
        throw;
    }
    syncProjectState();
}

std::string Tframeform::AddTrailingBackslash(const std::string& path) { return ::AddTrailingBackslash(path); }

std::string Tframeform::FileSizeText(const std::string& path) { return ::FileSizeText(path); }

std::string Tframeform::FileDateText(const std::string& path) { return ::FileDateText(path); }
