// Start-up: the decision from the command line and the settings file
// (random arguments against the file system's own reading of their
// extension, and the table of "mode" and "newstandard"), then the whole
// sequence on real offscreen windows for each branch: the splash is gone
// before the message loop, a project opens in its pane, a document that
// can not be read is reported and start-up goes on, and the dialogs are
// shown over the main window with the splash already hidden.

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "app/ProjectFiles.h"
#include "app/SettingsFile.h"
#include "app/SplashForm.h"
#include "app/Startup.h"
#include "tests/app/MainWindowTestSupport.h"

#include "platform/ui/Application.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/ListView.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/Screen.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

TEST(Startup, AnArgumentIsAProjectByItsExtensionAndIsMadeAbsolute) {
    TTestProgramFolder program;
    std::mt19937 random(23);
    const char* const folders[] = {"", "sub/", "a.ond/", "../up/", "./", "x.ONDA/"};
    const char* const stems[] = {"site", "page", "notes", "my site", "PROJECT", "p.ond"};
    const char* const extensions[] = {".ond", ".OND", ".Ond", ".onda", ".html", "", ".ond.html", ".htm"};
    for (int round = 0; round < 500; ++round) {
        const bool absolute = random() % 3 == 0;
        std::string argument = std::string(absolute ? "/tmp/" : "") + folders[random() % std::size(folders)] +
                               stems[random() % std::size(stems)] + extensions[random() % std::size(extensions)];
        std::vector<std::string> arguments{argument};
        if (random() % 2)
            arguments.push_back("second.ond");
        const TStartPlan plan = PlanStartup(arguments, "/home/user/work");

        std::string extension = fs::path(argument).extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const fs::path expectedPath = (absolute ? fs::path(argument) : fs::path("/home/user/work") / argument);
        EXPECT_EQ(plan.Action, extension == ".ond" ? TStartAction::OpenProject : TStartAction::OpenDocument)
            << argument;
        EXPECT_EQ(plan.Path, expectedPath.lexically_normal().string()) << argument;
    }
}

TEST(Startup, WithoutAnArgumentTheSettingsDecide) {
    TTestProgramFolder program;
    // No settings file at all: the new-document dialog.
    EXPECT_EQ(PlanStartup({}, "/").Action, TStartAction::NewDocumentDialog);
    const struct {
        const char* Mode;
        const char* Standard;
        TStartAction Expected;
    } table[] = {
        {"1", "1", TStartAction::NewDocumentDialog}, {"2", "1", TStartAction::OpenDialog},
        {"0", "1", TStartAction::BlankDocument},     {"0", "0", TStartAction::Nothing},
        {"7", nullptr, TStartAction::Nothing},       {"-1", "1", TStartAction::BlankDocument},
        {"many", "1", TStartAction::NewDocumentDialog}, {nullptr, "1", TStartAction::NewDocumentDialog},
        {"$2", "0", TStartAction::OpenDialog},
    };
    for (const auto& row : table) {
        std::string text = "[startup]\r\n";
        if (row.Mode != nullptr)
            text += std::string("mode=") + row.Mode + "\r\n";
        if (row.Standard != nullptr)
            text += std::string("newstandard=") + row.Standard + "\r\n";
        program.WriteSettings(text);
        EXPECT_EQ(PlanStartup({}, "/").Action, row.Expected) << text;
        // An empty first argument counts as none.
        EXPECT_EQ(PlanStartup({""}, "/").Action, row.Expected) << text;
    }
}

namespace {

class StartupWindows : public ::testing::Test {
protected:
    void TearDown() override {
        stop();
        ClearQuitRequest();
    }

    // The whole start-up; afterwards the splash must be hidden, and gone
    // once the message loop has run.
    Tframeform* start(const std::vector<std::string>& arguments) {
        Tframeform* frame = StartUp(arguments, program.Folder().Path().string());
        TSplashform* splash = nullptr;
        for (int i = 0; i < Application().ComponentCount(); ++i)
            if (auto* found = dynamic_cast<TSplashform*>(Application().Components(i)))
                splash = found;
        EXPECT_NE(splash, nullptr) << "start-up shows a splash window";
        if (splash != nullptr) {
            EXPECT_FALSE(splash->Visible());
            TComponentWatch watch(splash);
            Application().ProcessMessages();
            EXPECT_FALSE(watch.Alive()) << "the splash is freed by the first pass of the message loop";
        }
        EXPECT_EQ(Application().Title(), "Korvane Ondrill 3.2");
        EXPECT_EQ(frame, frameform);
        EXPECT_EQ(frame->Caption(), "Korvane Ondrill 3.2");
        return frame;
    }
    void stop() { FreeMainWindow(); }
    int documents() { return frameform->MDIChildCount(); }

    TTestProgramFolder program;
    TScriptedUserInteraction user;
};

} // namespace

TEST_F(StartupWindows, AProjectArgumentOpensInItsPane) {
    const std::string page = program.File("page.html");
    TTestProgramFolder::WriteFileBytes(page, "<P>");
    WriteProjectFile(program.File("Site.OND"), {page, program.File("gone.html")});
    Tframeform* frame = start({"Site.OND", "ignored.html"});
    EXPECT_TRUE(frame->ProjectOpen);
    EXPECT_EQ(frame->ProjectFileName, program.File("Site.OND"));
    EXPECT_EQ(frame->pmListView->Items().Count(), 2);
    EXPECT_EQ(frame->toolsPgCtl->ActivePageIndex(), 2);
    EXPECT_EQ(documents(), 0);
}

TEST_F(StartupWindows, ADocumentThatCanNotBeReadIsReportedAndStartUpGoesOn) {
    start({"missing.html"});
    EXPECT_EQ(documents(), 0);
    ASSERT_EQ(user.Exceptions().size(), 1u);
    EXPECT_NE(user.Exceptions()[0].find(program.File("missing.html")), std::string::npos) << user.Exceptions()[0];
    stop();

    // A relative argument that can be read opens, named by its full path.
    TTestProgramFolder::WriteFileBytes(program.File("page.html"), "<HTML></HTML>");
    start({"page.html"});
    ASSERT_EQ(documents(), 1);
    EXPECT_EQ(frameform->ActiveDocument()->FileName, program.File("page.html"));
    EXPECT_EQ(frameform->MDINav->FormCount(), 1);
}

TEST_F(StartupWindows, TheSettingsChooseABlankPageTheMainWindowAloneOrTheOpenDialog) {
    program.WriteSettings("[startup]\r\nmode=0\r\nnewstandard=1\r\n");
    start({});
    ASSERT_EQ(documents(), 1);
    EXPECT_EQ(frameform->ActiveDocument()->FileName, "Untitled");
    EXPECT_EQ(frameform->MDINav->FormCount(), 1);
    EXPECT_FALSE(frameform->ItemEnabled("saveBtn"));
    stop();

    program.WriteSettings("[startup]\r\nmode=0\r\nnewstandard=0\r\n");
    start({});
    EXPECT_EQ(documents(), 0);
    stop();

    program.WriteSettings("[startup]\r\nmode=2\r\n");
    user.Cancel(TScriptedUserInteraction::kOpenFile);
    start({});
    EXPECT_EQ(documents(), 0);
    stop();

    TTestProgramFolder::WriteFileBytes(program.File("a.html"), "a");
    TTestProgramFolder::WriteFileBytes(program.File("b.html"), "b");
    user.AnswerFiles({program.File("a.html"), program.File("b.html")});
    start({});
    EXPECT_EQ(documents(), 2);
    EXPECT_EQ(frameform->ActiveDocument()->FileName, program.File("b.html"));
}

TEST_F(StartupWindows, TheNewDocumentDialogComesOverTheMainWindowWithTheSplashHidden) {
    // No settings file: mode 1.
    std::string shown;
    bool splashVisible = true, mainVisible = false;
    // Watches until the dialog runs (start-up runs the event loop before).
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        TCustomForm* dialog = nullptr;
        for (int i = 0; i < Screen().FormCount(); ++i) {
            TCustomForm* form = Screen().Forms(i);
            if (form->Modal())
                dialog = form;
            if (dynamic_cast<TSplashform*>(form))
                splashVisible = form->Visible();
        }
        if (dialog == nullptr)
            return;
        shown = dialog->Caption();
        mainVisible = frameform != nullptr && frameform->Visible();
        dialog->SetModalResult(mrCancel);
        watch.stop();
    });
    watch.start(5);
    start({});
    EXPECT_EQ(shown, "New document");
    EXPECT_FALSE(splashVisible);
    EXPECT_TRUE(mainVisible);
    EXPECT_EQ(documents(), 0);
}
