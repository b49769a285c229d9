// The preview copy in a folder that others may write to, on the real web
// engine (offscreen): a link planted under its name towards a victim's
// file, or a file of the user's own that has its name, is neither written
// nor removed by the preview page, the outside browsers' button or the
// return to the source; the copy takes a free name beside the page and is
// the one shown; and whatever the order of previews, returns, windows
// closed and the program quitting, exactly the copies made go.

#include "app/BrowserPreview.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/SettingsFile.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/MainWindowLifetime.h"

#include "editor/CodeMemo.h"
#include "platform/ui/Application.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/PageControls.h"
#include "platform/webview/ScriptCall.h"
#include "platform/webview/WebBrowser.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/webview/WebEngineTestApp.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "toolbars/TBItem.h"

#include <QTimer>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// What a folder holds: a link's target (never followed), a file's inode
// and bytes.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(folder)) {
        struct stat info {};
        ::lstat(entry.path().c_str(), &info);
        std::string text = "folder";
        if (S_ISLNK(info.st_mode))
            text = "link " + fs::read_symlink(entry.path()).string();
        else if (S_ISREG(info.st_mode))
            text = "file " + std::to_string(info.st_ino) + " " + TTestProgramFolder::ReadFileBytes(entry.path());
        entries[entry.path().filename().string()] = text;
    }
    return entries;
}

// The address the preview page shows, once it has settled.
std::string shownAddress(TEditForm* document) {
    auto* engine = ClientWidgetOf(document->WebBrowser1)->findChild<QWebEngineView*>();
    std::string address;
    WaitFor([&] {
        address = RunScriptAndWait(*engine->page(), "document.readyState == 'complete' ? location.href : ''",
                                   std::chrono::seconds(60), "")
                      .toString()
                      .toStdString();
        return !address.empty() && address != "about:blank";
    });
    return address;
}

class PreviewCopy : public ::testing::Test {
protected:
    void SetUp() override {
        frame = StartMainWindow();
        OpenSettings()->WriteString(settings::Browsers, "PathIE", "/bin/sh");
        fs::create_directories(site);
        fs::create_directories(victim);
        TTestProgramFolder::WriteFileBytes(secret, "the victim's own lines\n");
    }
    void TearDown() override { FreeMainWindow(); }
    void Pick(TEditForm* document, int page) { PickDocumentPage(document, page); }
    TEditForm* open(const std::string& name, const std::string& text) {
        TTestProgramFolder::WriteFileBytes((site / name).string(), text);
        return frame->OpenDocumentFile((site / name).string());
    }

    TTestProgramFolder program;
    TScriptedUserInteraction user;
    Tframeform* frame = nullptr;
    const fs::path site = program.Folder().Path() / "shared site";
    const fs::path victim = program.Folder().Path() / "victim";
    const std::string secret = (victim / ".profile").string();
};

} // namespace

TEST_F(PreviewCopy, APlantedLinkAndTheUsersOwnFileStayThroughPreviewsAndTheReturn) {
    for (const bool planted : {true, false}) {
        SCOPED_TRACE(planted ? "a planted link" : "the user's own file");
        const fs::path taken = site / "HTMLtmp.htm";
        fs::remove(taken);
        if (planted)
            fs::create_symlink(secret, taken);
        else
            TTestProgramFolder::WriteFileBytes(taken.string(), "<P>the user's own HTMLtmp</P>");
        TEditForm* document = open("page.html", "<P>page</P>");
        const auto before = snapshot(site);
        const auto victimBefore = snapshot(victim);
        document->Editor->SetSelText("unsaved ");
        const std::string copy = (site / "HTMLtmp-2.htm").string();

        Pick(document, 2);
        EXPECT_EQ(document->PreviewCopy().Written(), copy);
        EXPECT_EQ(TTestProgramFolder::ReadFileBytes(copy), "unsaved <P>page</P>");
        const std::string shown = shownAddress(document);
        EXPECT_NE(shown.find("/HTMLtmp-2.htm"), std::string::npos) << shown;
        Pick(document, 0);
        EXPECT_FALSE(fs::exists(copy));
        EXPECT_EQ(snapshot(site), before);

        frame->Item("ieBtn")->Click();
        ASSERT_EQ(user.Calls.back().Kind, TScriptedUserInteraction::kStartProgram);
        EXPECT_NE(user.Calls.back().Arguments.at(0).find("/HTMLtmp-2.htm"), std::string::npos);
        EXPECT_EQ(TTestProgramFolder::ReadFileBytes(copy), "unsaved <P>page</P>");
        Pick(document, 0);
        EXPECT_EQ(snapshot(site), before);
        EXPECT_EQ(snapshot(victim), victimBefore);
        delete document;
    }
    EXPECT_TRUE(user.Exceptions().empty());
}

// Random pre-existing names of the copy's series (links to the victim's
// file or to a file of the victim's not yet there, dangling links, folders,
// the user's files), and random previews, outside previews, returns and
// windows closed on two pages of the folder: after each step the folder
// holds what it held and the copy of each window that has one, and after
// the last window goes, exactly what it held.
TEST_F(PreviewCopy, RandomPreviewsReturnsAndClosesRemoveExactlyTheCopiesMade) {
    std::mt19937 random(31);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        fs::remove_all(site);
        fs::create_directories(site);
        const char* names[] = {"HTMLtmp.htm", "HTMLtmp-2.htm", "HTMLtmp-3.htm", "HTMLtmp-4.htm"};
        for (const char* name : names) {
            const fs::path path = site / name;
            switch (random() % 6) {
            case 0: TTestProgramFolder::WriteFileBytes(path.string(), std::string("own ") + name); break;
            case 1: fs::create_symlink(secret, path); break;
            case 2: fs::create_symlink(victim / name, path); break;
            case 3: fs::create_symlink("nowhere", path); break;
            case 4: fs::create_directory(path); break;
            default: break;
            }
        }
        const std::string pages[] = {"a.html", "b.html"};
        for (const std::string& page : pages)
            TTestProgramFolder::WriteFileBytes((site / page).string(), "<P>" + page + "</P>");
        const auto before = snapshot(site);
        const auto victimBefore = snapshot(victim);
        std::map<std::string, TEditForm*> windows;
        auto check = [&] {
            std::map<std::string, std::string> expected = before;
            for (const auto& [page, document] : windows) {
                const std::string copy = document->PreviewCopy().Written();
                if (copy.empty())
                    continue;
                const std::string name = fs::path(copy).filename().string();
                EXPECT_EQ(fs::path(copy).parent_path(), site);
                EXPECT_FALSE(before.count(name)) << name << " was there before";
                EXPECT_EQ(TTestProgramFolder::ReadFileBytes(copy), "<P>" + page + "</P>");
                struct stat info {};
                ::lstat(copy.c_str(), &info);
                expected[name] = "file " + std::to_string(info.st_ino) + " <P>" + page + "</P>";
            }
            EXPECT_EQ(snapshot(site), expected);
            EXPECT_EQ(snapshot(victim), victimBefore);
        };
        for (int step = 0; step < 10; ++step) {
            const std::string& page = pages[random() % 2];
            TEditForm*& document = windows[page];
            if (document == nullptr)
                document = frame->OpenDocumentFile((site / page).string());
            switch (random() % 4) {
            case 0: Pick(document, 2); break;
            case 1: Pick(document, 0); break;
            case 2: PreviewInBrowser(*document, "PathIE", "no path"); break;
            default:
                delete document;
                windows.erase(page);
                break;
            }
            Application().ProcessMessages();
            check();
        }
        for (auto& [page, document] : windows)
            delete document;
        windows.clear();
        EXPECT_EQ(snapshot(site), before);
        EXPECT_EQ(snapshot(victim), victimBefore);
    }
    EXPECT_TRUE(user.Exceptions().empty());
}

// The program quits while the preview page shows: its copy goes with it.
TEST(PreviewCopyWhenTheProgramQuits, TheCopyIsRemoved) {
    TTestProgramFolder program;
    TScriptedUserInteraction user;
    user.OnUnscripted = [](const std::string&) {};
    const std::string page = program.File("page.html");
    TTestProgramFolder::WriteFileBytes(page, "<P>page</P>");
    TTestProgramFolder::WriteFileBytes(program.File("HTMLtmp.htm"), "the user's own");
    Application().CreateForm<Tframeform>();
    frameform->Show();
    TEditForm* document = frameform->OpenDocumentFile(page);
    std::string copy;
    QTimer::singleShot(0, [&] {
        document->PageControl1->SetActivePageIndex(2);
        document->PageControl1Change(document->PageControl1);
        copy = document->PreviewCopy().Written();
        frameform->Item("FileExitItem")->Click();
    });
    Application().Run();
    EXPECT_EQ(frameform, nullptr);
    Application().SetMainForm(nullptr);
    ClearQuitRequest();
    EXPECT_EQ(copy, program.File("HTMLtmp-2.htm"));
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(program.File("HTMLtmp.htm")), "the user's own");
}
