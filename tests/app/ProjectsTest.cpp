// Projects: the project file's keys, the size texts, adding a folder, and
// a random walk of the project commands checked against a plain list of
// paths after every step (file contents, rows, selection, recent list).

#include "app/ProjectFiles.h"
#include "app/Projects.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ScriptedUserInteraction.h"

#include "platform/base/IniFile.h"
#include "platform/ui/CommonDialogs.h"
#include "platform/ui/Keys.h"
#include "platform/ui/ListView.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBMRUList.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <filesystem>
#include <random>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

struct TProjectWindow {
    TProjectWindow() {
        TProjectManager::SetUpList(list);
        recent.AddFullPath = false;
        recent.SetMaxItems(10);
        filesDialog.SetOptions(filesDialog.Options() | ofAllowMultiSelect);
        TProjectControls controls;
        controls.List = &list;
        controls.AddFolderButton = &addFolder;
        controls.AddFileButton = &addFile;
        controls.RemoveButton = &remove;
        controls.CloseButton = &close;
        controls.RecentProjects = &recent;
        controls.FilesDialog = &filesDialog;
        controls.FilesFilter = "Web files|*.html";
        controls.ChooseFolder = [this](std::string& folder) {
            if (nextFolder.empty())
                return false;
            folder = nextFolder;
            return true;
        };
        controls.OpenDocument = [this](const std::string& path) { opened.push_back(path); };
        manager = std::make_unique<TProjectManager>(nullptr, controls);
    }

    std::vector<std::string> rowTexts(int column) {
        std::vector<std::string> texts;
        for (int i = 0; i < list.Items().Count(); ++i) {
            TListItem* row = list.Items().Item(i);
            texts.push_back(column == 0 ? row->Caption() : row->SubItems().Get(column - 1));
        }
        return texts;
    }

    TListView list;
    TTBCustomItem addFolder, addFile, remove, close;
    TTBMRUList recent;
    TOpenDialog filesDialog;
    std::string nextFolder;
    std::vector<std::string> opened;
    std::unique_ptr<TProjectManager> manager;
};

void writeBytes(const std::string& path, size_t size) { TTestProgramFolder::WriteFileBytes(path, std::string(size, 'x')); }

} // namespace

TEST(ProjectFiles, ReadUpToTheFirstMissingKeyAndRewriteOnlyTheirSection) {
    TTestProgramFolder program;
    const std::string project = program.File("site.ond");
    TTestProgramFolder::WriteFileBytes(project, "[Other]\nkeep=1\n[Fichiers]\n1=/a/x.html\n2=/b/y.htm\n4=/c/z.css\n");
    std::vector<std::string> paths = ReadProjectFile(project);
    EXPECT_EQ(paths, (std::vector<std::string>{"/a/x.html", "/b/y.htm"}));

    WriteProjectFile(project, paths);
    TIniFile ini(project);
    EXPECT_EQ(ini.ReadString("Fichiers", "2", "-"), "/b/y.htm");
    EXPECT_FALSE(ini.ValueExists("Fichiers", "4"));
    EXPECT_EQ(ini.ReadString("Other", "keep", ""), "1");

    // "#" under key 1 is an empty project; so is a file that is not there.
    TTestProgramFolder::WriteFileBytes(project, "[Fichiers]\n1=#\n2=/b/y.htm\n");
    EXPECT_TRUE(ReadProjectFile(project).empty());
    EXPECT_TRUE(ReadProjectFile(program.File("missing.ond")).empty());
}

TEST(ProjectFiles, SizesAreBytesThenKilobytesRoundedHalfToEven) {
    TTestProgramFolder program;
    const std::pair<size_t, const char*> sizes[] = {
        {0, "0 bytes"}, {1023, "1023 bytes"}, {1024, "1 kilobytes"}, {1536, "2 kilobytes"}, {2560, "2 kilobytes"}};
    for (const auto& [size, text] : sizes) {
        const std::string file = program.File("f" + std::to_string(size));
        writeBytes(file, size);
        EXPECT_EQ(FileSizeText(file), text);
    }
    EXPECT_EQ(FileSizeText(program.File("none")), "?");
    EXPECT_EQ(FileDateText(program.File("none")), "?");

    // Beyond 32 bits (a sparse file costs no space).
    const std::string big = program.File("big");
    writeBytes(big, 0);
    fs::resize_file(big, (uint64_t{5} << 30) + 512);
    EXPECT_EQ(FileSizeText(big), "5242880 kilobytes");

    // Any size, against the floating-point unit's own round-half-even.
    ASSERT_EQ(std::fegetround(), FE_TONEAREST);
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        uint64_t bytes = random() >> (random() % 64);
        if (bytes < 1024)
            continue;
        auto expected = static_cast<uint64_t>(std::nearbyintl(static_cast<long double>(bytes) / 1024.0L));
        ASSERT_EQ(ProjectSizeText(bytes), std::to_string(expected) + " kilobytes") << bytes;
    }
}

TEST(ProjectFiles, AFolderAddsItsWebFilesOnly) {
    TTestProgramFolder program;
    const std::string folder = AddTrailingBackslash(program.File("site"));
    fs::create_directories(folder + "old.htm");
    fs::create_directories(folder + "deeper");
    for (const char* name : {"index.HTML", "style.css", "data.json", "notes.txt", "README", "deeper/page.html"})
        writeBytes(folder + name, 10);
    EXPECT_EQ(ProjectFilesInFolder(folder),
              (std::vector<std::string>{folder + "data.json", folder + "index.HTML", folder + "style.css"}));
    EXPECT_EQ(AddTrailingBackslash(""), "/");
    EXPECT_EQ(AddTrailingBackslash("/x/"), "/x/");
    EXPECT_EQ(FileNamePart("/x/y.html"), "y.html");
    EXPECT_EQ(FolderPart("/x/y.html"), "/x/");
}

TEST(Projects, RowsShowTheFilesAndAMissingOneKeepsItsPath) {
    TTestProgramFolder program;
    TScriptedUserInteraction user;
    TProjectWindow window;
    const std::string present = program.File("pag\xE9.html");
    writeBytes(present, 1536);
    // Names that are not UTF-8 show as every view of names shows them.
    const std::string missing = program.File("gone\xFF/old.html");
    const std::string project = program.File("site.ond");
    WriteProjectFile(project, {present, missing});

    window.manager->LoadProject(project);
    EXPECT_TRUE(window.manager->ProjectOpen());
    EXPECT_TRUE(window.addFile.Enabled() && window.addFolder.Enabled() && window.close.Enabled());
    EXPECT_EQ(window.rowTexts(0), (std::vector<std::string>{"pag\\xE9.html", "old.html"}));
    EXPECT_EQ(window.rowTexts(1), (std::vector<std::string>{FileDateText(present), ""}));
    EXPECT_EQ(window.rowTexts(2), (std::vector<std::string>{"2 kilobytes", ""}));
    EXPECT_EQ(window.rowTexts(3), (std::vector<std::string>{FolderPart(present), program.File("gone\\xFF/")}));

    window.list.SetItemIndex(1);
    window.manager->OpenSelectedFile();
    EXPECT_EQ(window.opened, std::vector<std::string>{missing});

    window.manager->CloseProject();
    EXPECT_EQ(ReadProjectFile(project), (std::vector<std::string>{present, missing}));
    EXPECT_FALSE(window.manager->ProjectOpen());
    EXPECT_FALSE(window.addFile.Enabled() || window.addFolder.Enabled() || window.close.Enabled());
    EXPECT_EQ(window.list.Items().Count(), 0);
}

TEST(Projects, ANewProjectComesIntoBeingAtItsFirstSaveAndSaveAsMovesIt) {
    TTestProgramFolder program;
    TScriptedUserInteraction user;
    TProjectWindow window;
    const std::string first = program.File("first.ond");
    const std::string second = program.File("second.ond");
    user.AnswerSaveFile(first);
    window.manager->NewProject();
    EXPECT_EQ(user.Calls.back().FileRequest.DefaultExt, "ond");
    EXPECT_TRUE(window.manager->ProjectOpen());
    EXPECT_FALSE(fs::exists(first));

    user.AnswerFiles({program.File("a.html")});
    window.manager->AddFiles();
    EXPECT_EQ(ReadProjectFile(first), std::vector<std::string>{program.File("a.html")});

    user.AnswerSaveFile(second);
    window.manager->SaveProjectAs();
    user.AnswerFiles({program.File("b.html")});
    window.manager->AddFiles();
    window.manager->CloseProject();
    EXPECT_EQ(ReadProjectFile(first), std::vector<std::string>{program.File("a.html")});
    EXPECT_EQ(ReadProjectFile(second), (std::vector<std::string>{program.File("a.html"), program.File("b.html")}));

    // Cancelling the dialog of a new project leaves none open.
    window.manager->LoadProject(first);
    user.Cancel(TScriptedUserInteraction::kSaveFile);
    window.manager->NewProject();
    EXPECT_FALSE(window.manager->ProjectOpen());
    EXPECT_EQ(window.recent.Items().Get(0), first);
    EXPECT_EQ(window.recent.Items().Count(), 2);
}

TEST(Projects, AProjectThatCannotBeWrittenIsReportedAndStillClosesWithTheProgram) {
    TTestProgramFolder program;
    TScriptedUserInteraction user;
    TProjectWindow window;
    const std::string project = program.File("locked/site.ond");
    window.manager->LoadProject(project);
    window.manager->AddFileToProject("/x/y.html");
    EXPECT_THROW(window.manager->CloseProject(), EIniFileException);
    EXPECT_TRUE(window.manager->ProjectOpen());

    window.manager->MainWindowClosing();
    EXPECT_FALSE(window.manager->ProjectOpen());
    ASSERT_EQ(user.Exceptions().size(), 1u);
    EXPECT_EQ(user.Exceptions()[0], "Unable to write to " + project);
}

// Random commands on one project; after each, the file, the rows, the
// selection and the remove button agree with a plain list of paths.
TEST(Projects, RandomCommandsKeepFileRowsAndSelectionInStep) {
    TTestProgramFolder program;
    TScriptedUserInteraction user;
    TProjectWindow window;
    std::mt19937 random(11);
    std::vector<std::string> folders;
    for (int f = 0; f < 3; ++f) {
        std::string folder = AddTrailingBackslash(program.File("folder" + std::to_string(f)));
        fs::create_directories(folder);
        for (int i = 0; i < 4; ++i)
            writeBytes(folder + "p" + std::to_string(i) + (i % 2 ? ".htm" : ".txt"), static_cast<size_t>(random() % 3000));
        folders.push_back(folder);
    }
    const std::string project = program.File("walk.ond");
    window.manager->LoadProject(project);
    std::vector<std::string> model;
    int expectedSelection = -1;

    for (int step = 0; step < 300; ++step) {
        switch (random() % 5) {
        case 0: {
            std::vector<std::string> chosen;
            for (unsigned n = random() % 3 + 1; n > 0; --n)
                chosen.push_back(program.File("doc" + std::to_string(random() % 6) + ".html"));
            user.AnswerFiles(chosen);
            window.manager->AddFiles();
            model.insert(model.end(), chosen.begin(), chosen.end());
            expectedSelection = window.list.ItemIndex();
            break;
        }
        case 1: {
            const std::string& folder = folders[random() % folders.size()];
            window.nextFolder = folder.substr(0, folder.size() - 1);
            window.manager->AddFolder();
            for (int i = 1; i < 4; i += 2)
                model.push_back(folder + "p" + std::to_string(i) + ".htm");
            expectedSelection = window.list.ItemIndex();
            break;
        }
        case 2:
        case 3: {
            if (model.empty())
                break;
            int row = static_cast<int>(random() % model.size());
            window.list.SetItemIndex(row);
            window.manager->SelectionChanged();
            ASSERT_TRUE(window.remove.Enabled());
            bool yes = random() % 4 != 0;
            user.AnswerMessage(yes ? mrYes : mrNo);
            uint16_t key = VK_DELETE;
            if (step % 2)
                window.manager->ListKeyUp(key);
            else
                window.manager->RemoveSelectedFile();
            EXPECT_EQ(user.Calls.back().Text, "Do you really want to remove this file from the project ? \n\rFile: " +
                                                  FileNamePart(model[static_cast<size_t>(row)]));
            if (yes) {
                model.erase(model.begin() + row);
                expectedSelection = row - 1;
            } else {
                expectedSelection = row;
            }
            break;
        }
        case 4:
            window.manager->CloseProject();
            window.manager->LoadProject(project);
            expectedSelection = -1;
            break;
        }
        if (!model.empty() || fs::exists(project)) {
            ASSERT_EQ(ReadProjectFile(project), model) << "step " << step;
        }
        ASSERT_EQ(window.manager->Paths(), model);
        std::vector<std::string> names;
        for (const std::string& path : model)
            names.push_back(FileNamePart(path));
        ASSERT_EQ(window.rowTexts(0), names);
        ASSERT_EQ(window.list.ItemIndex(), expectedSelection) << "step " << step;
        window.manager->SelectionChanged();
        ASSERT_EQ(window.remove.Enabled(), expectedSelection >= 0);
    }
    // The project was closed many times and is listed once.
    EXPECT_EQ(window.recent.Items().Count(), 1);
}
