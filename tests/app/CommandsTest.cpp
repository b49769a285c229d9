// The main window's commands as a user meets them, on real offscreen
// windows.  The preview for an outside browser: the browser program asked
// of the user-interaction seam (which records it and starts nothing) with
// the preview file's encoded address as its one argument, an untitled page
// saved first, missing or unstartable browsers reported.  The view and
// option commands across several documents, shortcut keys typed into the
// editor, printing from the menu, reopening from the recent list, quitting
// with a project that can not be written, help pages handed to the
// desktop (and a failure told), Save As naming the window and its tab,
// keys reaching the document just made or picked, the source's context
// menu, save questions, the status bar following the document in front,
// and a file that can not be opened leaving the status bar alone.

#include "app/BrowserPreview.h"
#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "app/NewDocumentDialog.h"
#include "app/ProjectFiles.h"
#include "app/SettingsFile.h"
#include "tests/app/MainWindowTestSupport.h"

#include "editor/CodeGutter.h"
#include "editor/CodeMemo.h"
#include "platform/base/Exceptions.h"
#include "platform/shellns/FileNames.h"
#include "platform/ui/Application.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/Printers.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/ui/ScriptedPopupMenus.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBMRUList.h"
#include "toolbars/TBToolbar.h"
#include "toolbars/themes/TBKToolbar.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class Commands : public TTellingMainWindowTest {
protected:
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& call : user.Calls)
            if (call.Kind == TScriptedUserInteraction::kMessage)
                texts.push_back(call.Text);
        return texts;
    }

};

} // namespace

TEST_F(Commands, BrowsersGetTheEncodedAddressOfTheCurrentTextAsTheirOneArgument) {
    // A browser program on the PATH, and a file that is not a program.
    fs::create_directories(program.File("bin"));
    TTestProgramFolder::WriteFileBytes(program.File("bin/webview"), "#!/bin/sh\n");
    fs::permissions(program.File("bin/webview"), fs::perms::owner_all);
    TTestProgramFolder::WriteFileBytes(program.File("bin/notes"), "text");
    const char* path = std::getenv("PATH");
    const std::string savedPath = path != nullptr ? path : "";
    setenv("PATH", ("/nowhere::" + program.File("bin")).c_str(), 1);
    EXPECT_EQ(FindBrowserProgram("webview"), program.File("bin/webview"));
    EXPECT_EQ(FindBrowserProgram("notes"), "");
    EXPECT_EQ(FindBrowserProgram(program.File("bin/notes")), "");
    EXPECT_EQ(FindBrowserProgram(program.File("bin/none")), "");
    EXPECT_EQ(FindBrowserProgram(program.File("bin/webview")), program.File("bin/webview"));

    // A page in a folder whose name holds a blank, a "#", a "%" and an accent.
    const std::string folder = "my site #1 100% \xC3\xA9t\xC3\xA9";
    fs::create_directories(program.File(folder));
    TEditForm* document = open(folder + "/page.html", "<P>saved</P>");
    document->Editor->SetSelText("unsaved ");
    OpenSettings()->WriteString(settings::Browsers, "PathIE", "webview");
    click("ieBtn");
    setenv("PATH", savedPath.c_str(), 1);
    ASSERT_FALSE(user.Calls.empty());
    const auto& started = user.Calls.back();
    ASSERT_EQ(started.Kind, TScriptedUserInteraction::kStartProgram);
    EXPECT_EQ(started.Text, program.File("bin/webview"));
    ASSERT_EQ(started.Arguments.size(), 1u);
    const std::string address = started.Arguments[0];
    EXPECT_EQ(address.rfind("file:///", 0), 0u) << address;
    EXPECT_EQ(address.find_first_of(" #\xC3"), std::string::npos) << address;
    std::string back;
    ASSERT_TRUE(PathOfFileUri(address, back)) << address;
    EXPECT_EQ(back, program.File(folder + "/HTMLtmp.htm"));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(back), "unsaved <P>saved</P>");
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(program.File(folder + "/page.html")), "<P>saved</P>");

    // No path for the other browser: its own message; the copy is written.
    fs::remove(back);
    click("netscapeBtn");
    EXPECT_EQ(messages().back(), "You need to set the Netscape's path in the options");
    EXPECT_TRUE(fs::exists(back));

    // A path that names nothing is reported, and nothing is started.
    OpenSettings()->WriteString(settings::Browsers, "PathNetscape", program.File("bin/gone"));
    const size_t calls = user.Calls.size();
    click("netscapeBtn");
    EXPECT_EQ(user.Calls.size(), calls + 1);
    EXPECT_NE(messages().back().find("bin/gone was not found"), std::string::npos) << messages().back();

    // A browser that does not start is reported too.
    user.DesktopSucceeds = false;
    OpenSettings()->WriteString(settings::Browsers, "PathNetscape", program.File("bin/webview"));
    click("netscapeBtn");
    EXPECT_NE(messages().back().find("could not be started"), std::string::npos) << messages().back();
}

TEST_F(Commands, AnUntitledDocumentIsSavedBeforeItsPreview) {
    OpenSettings()->WriteString(settings::Browsers, "PathIE", "/bin/sh");
    click("Nouveaustandard1");
    // No: nothing written, nothing started.
    user.AnswerMessage(mrNo);
    click("ieBtn");
    // Yes, then the Save As dialog cancelled: nothing either.
    user.AnswerMessage(mrYes);
    user.Cancel(TScriptedUserInteraction::kSaveFile);
    click("ieBtn");
    for (const auto& call : user.Calls)
        EXPECT_NE(call.Kind, TScriptedUserInteraction::kStartProgram);
    EXPECT_FALSE(fs::exists(program.File("HTMLtmp.htm")));
    // Yes and saved: the saved page is previewed.
    user.AnswerMessage(mrYes);
    user.AnswerSaveFile(program.File("new.html"));
    click("ieBtn");
    EXPECT_EQ(frame->ActiveDocument()->FileName, program.File("new.html"));
    EXPECT_EQ(user.Calls.back().Kind, TScriptedUserInteraction::kStartProgram);
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(program.File("HTMLtmp.htm")),
              TTestProgramFolder::ReadFileBytes(program.File("new.html")));
}

TEST_F(Commands, ViewAndOptionCommandsReachEveryDocument) {
    TEditForm* a = open("a.html", "a");
    TEditForm* b = open("b.html", "b");
    a->Editor->SetWordWrap(true);
    // The active document (b, not wrapped) decides; then both agree.
    click("wordwrapitem");
    EXPECT_TRUE(a->Editor->WordWrap() && b->Editor->WordWrap());
    EXPECT_TRUE(frame->OptionChecked("wordwrapitem"));
    click("wordwrapitem");
    EXPECT_FALSE(a->Editor->WordWrap() || b->Editor->WordWrap());

    click("autoindentitem");
    EXPECT_FALSE(a->Editor->Options().Contains(pmoAutoIndent) || b->Editor->Options().Contains(pmoAutoIndent));
    EXPECT_FALSE(frame->OptionChecked("autoindentitem"));
    click("backindentitem");
    EXPECT_FALSE(a->Editor->Options().Contains(pmoBackIndent) || b->Editor->Options().Contains(pmoBackIndent));

    // Margin with its mark: every gutter goes, and the menu reads the
    // setting again.
    click("Affichage1");
    EXPECT_TRUE(frame->OptionChecked("margeItem"));
    click("margeItem");
    EXPECT_FALSE(a->EditorGutter->Visible() || b->EditorGutter->Visible());
    click("Affichage1");
    EXPECT_FALSE(frame->OptionChecked("margeItem"));
    EXPECT_FALSE(OpenSettings()->ReadBool(settings::Editor, "gutter", true));
    click("margeNumItem");
    EXPECT_FALSE(a->EditorGutter->LineNumbers() || b->EditorGutter->LineNumbers());
    // A document opened now takes the settings.
    TEditForm* c = open("c.html", "c");
    EXPECT_FALSE(c->EditorGutter->Visible());

    // Toolbars: the marks follow the bars each time the menu opens.
    click("Barresdoutils1");
    EXPECT_TRUE(frame->OptionChecked("Polices1"));
    click("Polices1");
    EXPECT_FALSE(frame->Bar("fontToolbar")->Visible());
    click("Barresdoutils1");
    EXPECT_FALSE(frame->OptionChecked("Polices1"));
    click("Polices1");
    EXPECT_TRUE(frame->Bar("fontToolbar")->Visible());
    click("Barresdoutils1");
    click("Multimdia2");
    EXPECT_FALSE(frame->Bar("imgToolbar")->Visible());

    click("Affichage1");
    click("exploreritem");
    EXPECT_FALSE(frame->ToolsToolWindow->Visible());
    click("Affichage1");
    EXPECT_FALSE(frame->OptionChecked("exploreritem"));

    // The Insert menu follows the document commands.
    c->enablefilebtns();
    click("Insertion1");
    EXPECT_FALSE(frame->ItemEnabled("Police1"));
    c->enablebtns();
    click("Insertion1");
    EXPECT_TRUE(frame->ItemEnabled("Police1"));
}

TEST_F(Commands, ShortcutKeysTypedInTheEditorRunTheirCommands) {
    TEditForm* document = open("keys.html", "word");
    QWidget* editor = ClientWidgetOf(document->Editor);
    ASSERT_NE(editor, nullptr);
    document->Editor->SetFocus();
    document->Editor->SelectAll();
    QTest::keyClick(editor, Qt::Key_G, Qt::ControlModifier | Qt::AltModifier);
    Application().ProcessMessages();
    EXPECT_EQ(document->Editor->Text(), "<B>word</B>");
    EXPECT_TRUE(frame->ItemEnabled("copyBtn")) << "the wrapped word stays selected";
    QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
    Application().ProcessMessages();
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(program.File("keys.html")), "<B>word</B>");
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    Application().ProcessMessages();
    EXPECT_EQ(document->Editor->Text(), "word");
    EXPECT_TRUE(frame->ItemEnabled("saveBtn"));
}

TEST_F(Commands, PrintFromTheMenuWritesPagesWithTheNameAndKeepsTheSelection) {
    std::string text;
    for (int i = 0; i < 150; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    TEditForm* document = open("long.html", text);
    document->Editor->SetSelStart(30);
    document->Editor->SetSelLength(12);
    Printer().SetOutputFileName(program.File("out.pdf"));
    click("Imprimer1");
    Printer().SetOutputFileName({});
    EXPECT_EQ(document->Editor->SelStart(), 30);
    EXPECT_EQ(document->Editor->SelLength(), 12);
    ASSERT_TRUE(fs::exists(program.File("out.pdf")));
    // Every page starts with the document's name: its path, or where that
    // is too long for the paper (a long temporary folder), the path with
    // the middle of its folders left out.
    const std::string path = program.File("long.html");
    std::string pages;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        ::popen(("pdftotext -layout '" + program.File("out.pdf") + "' -").c_str(), "r"), ::pclose);
    ASSERT_TRUE(pipe);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        pages.append(buffer, n);
    int count = 0;
    for (size_t at = 0; at < pages.size(); ++count) {
        size_t end = pages.find('\f', at);
        std::string page = pages.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (page.find_first_not_of(" \r\n") == std::string::npos)
            break;
        std::istringstream rows(page);
        std::string header;
        while (std::getline(rows, header) && header.find_first_not_of(' ') == std::string::npos) {
        }
        header.erase(0, header.find_first_not_of(' '));
        header.erase(header.find_last_not_of(" \r") + 1);
        const size_t dots = header.find("...");
        if (header != path) {
            ASSERT_NE(dots, std::string::npos) << "page " << count << ": " << header;
            EXPECT_TRUE(path.starts_with(header.substr(0, dots)) && path.ends_with(header.substr(dots + 3)) &&
                        header.ends_with("/long.html"))
                << "page " << count << ": " << header;
        }
        at = end == std::string::npos ? pages.size() : end + 1;
    }
    EXPECT_GE(count, 2);
    EXPECT_NE(pages.find("line 149"), std::string::npos);

    // Without a printer, the setup's "print to file" choice takes the pages.
    TPrinterSetup toFile;
    toFile.OutputFileName = program.File("chosen.pdf");
    user.AnswerPrinterSetup(toFile);
    click("Configurerlimprimante2");
    click("Imprimer1");
    EXPECT_GT(fs::file_size(program.File("chosen.pdf")), 1000u);
    EXPECT_TRUE(user.Exceptions().empty());
    Printer().SetSetup({});
}

TEST_F(Commands, TheRecentListReopensDocuments) {
    TEditForm* document = open("again.html", "again");
    frame->Item("Fermer2")->Click();
    Application().ProcessMessages();
    (void)document;
    ASSERT_EQ(frame->MDIChildCount(), 0);
    ASSERT_GE(frame->mrulist->Items().Count(), 1);
    EXPECT_EQ(frame->mrulist->Items().Get(0), program.File("again.html"));
    // The first entry of the "Reopen" menu.
    TTBCustomItem* entry = frame->mrulist->Container()->ItemAt(0);
    entry->Click();
    Application().ProcessMessages();
    ASSERT_EQ(frame->MDIChildCount(), 1);
    EXPECT_EQ(frame->ActiveDocument()->FileName, program.File("again.html"));

    // An entry that can not be read as a page (a folder) is reported and
    // opens nothing.
    fs::create_directories(program.File("folder.html"));
    frame->mrulist->Add(program.File("folder.html"));
    frame->mrulist->Container()->ItemAt(0)->Click();
    Application().ProcessMessages();
    EXPECT_EQ(frame->MDIChildCount(), 1);
    EXPECT_EQ(user.Exceptions().size(), 1u);
}

TEST_F(Commands, QuittingWithAProjectThatCanNotBeWrittenIsReportedAndStillQuits) {
    frame->LoadProject(program.File("nowhere/site.ond"));
    frame->AddFileToProject(program.File("page.html"));
    click("FileExitItem");
    EXPECT_TRUE(Application().Terminated());
    ASSERT_EQ(user.Exceptions().size(), 1u);
    EXPECT_EQ(user.Exceptions()[0], "Unable to write to " + program.File("nowhere/site.ond"));
    EXPECT_FALSE(frame->ProjectOpen);
    // The project closed into the recent list all the same.
    EXPECT_EQ(frame->projectMRU->Items().Get(0), program.File("nowhere/site.ond"));
}

// Quit asks each document first: one whose question is cancelled keeps
// the program, its documents and its project as they were (the project is
// neither saved nor closed); answered No, the program closes and saves the
// project on its way.
TEST_F(Commands, QuitCancelledByADocumentKeepsTheProjectOpenAndUnwritten) {
    const std::string project = program.File("site.ond");
    frame->LoadProject(project);
    frame->AddFileToProject(program.File("listed.html"));
    TEditForm* first = open("first.html", "<P>first</P>");
    TEditForm* second = open("second.html", "<P>second</P>");
    first->Editor->SetSelText("changed ");
    second->Editor->SetSelText("changed ");
    // The last made is asked first: it agrees, the other cancels.
    user.AnswerMessage(mrNo);
    user.AnswerMessage(mrCancel);
    click("FileExitItem");
    EXPECT_FALSE(Application().Terminated());
    EXPECT_EQ(user.PendingAnswers(), 0u);
    EXPECT_EQ(frame->MDIChildCount(), 2);
    EXPECT_TRUE(frame->ProjectOpen);
    EXPECT_EQ(frame->ProjectFileName, project);
    EXPECT_FALSE(fs::exists(project));
    EXPECT_EQ(frame->projectMRU->Items().Count(), 0);

    user.AnswerMessage(mrNo);
    user.AnswerMessage(mrNo);
    click("FileExitItem");
    EXPECT_TRUE(Application().Terminated());
    EXPECT_FALSE(frame->ProjectOpen);
    EXPECT_NE(TTestProgramFolder::ReadFileBytes(project).find("1=" + program.File("listed.html")), std::string::npos);
    EXPECT_EQ(frame->projectMRU->Items().Get(0), project);
}

// The same keys while the program's own message loop runs, as it does for
// a user (the loop is no modal state that keeps keys from the menus).
TEST(CommandsWhileTheProgramRuns, ShortcutKeysReachTheMenus) {
    TTestProgramFolder program;
    TScriptedUserInteraction user;
    user.OnUnscripted = [](const std::string&) {};
    TTestProgramFolder::WriteFileBytes(program.File("run.html"), "word");
    Application().CreateForm<Tframeform>();
    frameform->Show();
    TEditForm* document = frameform->OpenDocumentFile(program.File("run.html"));
    std::string wrapped, undone;
    QTimer::singleShot(0, [&] {
        document->Editor->SetFocus();
        document->Editor->SelectAll();
        QWidget* editor = ClientWidgetOf(document->Editor);
        QTest::keyClick(editor, Qt::Key_G, Qt::ControlModifier | Qt::AltModifier);
        wrapped = document->Editor->Text();
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        undone = document->Editor->Text();
        Application().Terminate();
    });
    // Frees the windows when it ends.
    Application().Run();
    EXPECT_EQ(wrapped, "<B>word</B>");
    EXPECT_EQ(undone, "word");
    EXPECT_EQ(frameform, nullptr);
    Application().SetMainForm(nullptr);
    ClearQuitRequest();
}

TEST_F(Commands, HelpPagesGoToTheDesktopAndAFailureIsTold) {
    fs::create_directories(program.File("help/ondrill"));
    TTestProgramFolder::WriteFileBytes(program.File("help/ondrill/index.htm"), "<HTML></HTML>");
    click("HelpContentsItem");
    ASSERT_EQ(user.Calls.back().Kind, TScriptedUserInteraction::kOpenDocument);
    EXPECT_EQ(user.Calls.back().Text, program.File("help/ondrill/index.htm"));
    // F1 is the index's key where the user types.
    TEditForm* document = open("help.html", "x");
    document->Editor->SetFocus();
    const size_t calls = user.Calls.size();
    QTest::keyClick(ClientWidgetOf(document->Editor), Qt::Key_F1);
    Application().ProcessMessages();
    ASSERT_EQ(user.Calls.size(), calls + 1);
    EXPECT_EQ(user.Calls.back().Kind, TScriptedUserInteraction::kOpenDocument);
    EXPECT_EQ(user.Calls.back().Text, program.File("help/ondrill/index.htm"));
    // A page missing beside the program.
    click("LiensJavascript1");
    EXPECT_NE(messages().back().find("help/ondrill/liens.htm could not be found"), std::string::npos);
    // A desktop with nothing to show the page or the news.
    user.DesktopSucceeds = false;
    click("HelpContentsItem");
    EXPECT_NE(messages().back().find("could not be opened"), std::string::npos);
    const size_t before = messages().size();
    click("TBKItem7");
    EXPECT_EQ(user.Calls[user.Calls.size() - 2].Kind, TScriptedUserInteraction::kOpenURL);
    EXPECT_EQ(messages().size(), before + 1);
}

TEST_F(Commands, SaveAsNamesTheDocumentItsWindowAndItsTab) {
    // The status bar first shows another document's caret.
    TEditForm* other = open("other.html", "<P>other</P>\r\nline two");
    other->Editor->SetSelStart(18);
    other->EditorSelMove(other);
    click("Nouveaustandard1");
    TEditForm* document = frame->ActiveDocument();
    EXPECT_EQ(frame->StatusBar1->Panels().Items(1)->Text(), "Line: 1    Col: 1");
    const int tab = frame->MDINav->IndexOfForm(document);
    const std::string untitled = frame->MDINav->Tabs().Strings(tab);
    EXPECT_EQ(untitled.rfind("Untitled", 0), 0u) << untitled;
    user.AnswerSaveFile(program.File("named.html"));
    click("Sauvegardersous1");
    EXPECT_EQ(document->FileName, program.File("named.html"));
    EXPECT_EQ(document->Caption(), "named.html");
    EXPECT_EQ(frame->MDINav->Tabs().Strings(tab), "named.html");
    EXPECT_TRUE(fs::exists(program.File("named.html")));
}

TEST_F(Commands, KeysTypedAfterMakingOrPickingADocumentGoToItsSource) {
    // Whatever made a document window the active one, what the user types
    // next lands in its source, and in no other document.
    auto typeInto = [](const char* keys) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClicks(focus, keys);
        Application().ProcessMessages();
    };
    TEditForm* a = open("a.html", "one");
    typeInto("1");
    click("Nouveaustandard1");
    auto* blank = dynamic_cast<TEditForm*>(frame->ActiveMDIChild());
    ASSERT_NE(blank, a);
    typeInto("2");
    TEditForm* b = open("b.html", "two");
    typeInto("3");
    frame->MDINav->SetTabIndex(0);
    frame->MDINav->Change();
    Application().ProcessMessages();
    typeInto("4");
    frame->MDINav->SetTabIndex(1);
    frame->MDINav->Change();
    Application().ProcessMessages();
    typeInto("5");
    EXPECT_EQ(a->Editor->Text(), "14one");
    EXPECT_EQ(blank->Editor->Text().substr(0, 8), "25<HTML>");
    EXPECT_EQ(b->Editor->Text(), "3two");
}

TEST_F(Commands, ARightClickAnywhereInTheSourceOpensTheDocumentsMenu) {
    // On a tag (a highlighted context) as on plain text the document's own
    // menu opens, and its items work.
    TScriptedPopupMenus menus;
    TEditForm* document = open("menu.html", "<P>text</P>\r\n");
    TCodeMemo& editor = *document->Editor;
    QWidget* client = ClientWidgetOf(&editor);
    ASSERT_NE(client, nullptr);
    const int y = editor.LineHeight() / 2;
    auto rightClickAt = [&](int32_t offset) {
        const int x = editor.OffsetToX(editor.Paragraph(0), 0, 0, offset) + 2;
        QTest::mouseClick(client, Qt::RightButton, Qt::NoModifier, QPoint(x, y));
        Application().ProcessMessages();
    };
    rightClickAt(1); // inside "<P>"
    ASSERT_EQ(menus.Shown, 1) << "a tag";
    EXPECT_NE(std::find(menus.Items.begin(), menus.Items.end(), std::make_pair(std::string("Create a Ondrill Quick Code"), false)),
              menus.Items.end());
    rightClickAt(4); // inside "text"
    EXPECT_EQ(menus.Shown, 2) << "plain text";
    menus.Choose = "&Select all";
    rightClickAt(8); // inside "</P>"
    EXPECT_EQ(menus.Shown, 3);
    EXPECT_EQ(std::abs(editor.SelLength()), static_cast<int32_t>(editor.Text().size()));
}

TEST_F(Commands, EachSaveQuestionShowsTheDocumentItAsksAbout) {
    // Close All asks about every changed document; while each question is
    // open, the window it names is the one in front.
    TEditForm* a = open("a.html", "one");
    TEditForm* b = open("b.html", "two");
    TEditForm* c = open("c.html", "three");
    for (TEditForm* document : {a, b, c})
        document->Editor->SetSelText("x");
    frame->MDINav->SetTabIndex(1);
    frame->MDINav->Change();
    Application().ProcessMessages();
    std::vector<std::pair<std::string, std::string>> asked; // question, window in front
    user.OnUnscripted = [&](const std::string& question) {
        auto* front = dynamic_cast<TEditForm*>(frame->ActiveMDIChild());
        asked.emplace_back(question, front != nullptr ? front->FileName : "");
    };
    click("Fermertout2"); // Close All, every question cancelled
    ASSERT_EQ(asked.size(), 3u);
    for (const auto& [question, front] : asked)
        EXPECT_NE(question.find("Save changes to " + front + "?"), std::string::npos) << question;
    EXPECT_EQ(frame->MDIChildCount(), 3) << "Cancel keeps every window";
}

// Pages never saved are asked about by the names their tabs show
// ("Untitled2.html", ...), each its own.
TEST_F(Commands, ASaveQuestionNamesAnUntitledPageAsItsTabDoes) {
    TEditForm* named = open("named.html", "one");
    named->Editor->SetSelText("x");
    for (int i = 0; i < 3; ++i) {
        auto* document = new TEditForm(&Application());
        frame->MDINav->AddForm(document, nullptr);
        document->Editor->SetSelText("x");
    }
    Application().ProcessMessages();
    std::vector<std::string> asked, expected;
    user.OnUnscripted = [&](const std::string& question) {
        auto* front = dynamic_cast<TEditForm*>(frame->ActiveMDIChild());
        const std::string shown = front->FileName == kUntitled
                                      ? frame->MDINav->Tabs().Strings(frame->MDINav->IndexOfForm(front))
                                      : front->FileName;
        asked.push_back(question);
        expected.push_back("Save changes to " + shown + "?");
    };
    click("Fermertout2"); // Close All, every question cancelled
    ASSERT_EQ(asked.size(), 4u);
    std::set<std::string> names;
    for (size_t i = 0; i < asked.size(); ++i) {
        EXPECT_EQ(asked[i], "message box \"" + expected[i] + "\"");
        names.insert(expected[i]);
    }
    EXPECT_EQ(names.size(), 4u) << "each page by its own name";
}

TEST_F(Commands, TheStatusBarTellsTheCaretOfTheDocumentInFront) {
    TEditForm* a = open("a.html", "first line\r\nsecond line");
    a->Editor->SetSelStart(15);
    TEditForm* b = open("b.html", "other");
    b->Editor->SetSelStart(2);
    auto panel = [&](int index) { return frame->StatusBar1->Panels().Items(index)->Text(); };
    for (int round = 0; round < 2; ++round) {
        frame->MDINav->SetTabIndex(0);
        frame->MDINav->Change();
        Application().ProcessMessages();
        EXPECT_EQ(panel(0), "Offset: 15");
        EXPECT_EQ(panel(1), "Line: 2    Col: 4");
        frame->MDINav->SetTabIndex(1);
        frame->MDINav->Change();
        Application().ProcessMessages();
        EXPECT_EQ(panel(0), "Offset: 2");
        EXPECT_EQ(panel(1), "Line: 1    Col: 3");
    }
}

TEST_F(Commands, AFileThatCanNotBeOpenedLeavesTheStatusBarAsItWas) {
    auto panels = [&] {
        std::vector<std::string> texts;
        for (int index : {0, 1, 3, 5, kEncodingPanel})
            texts.push_back(frame->StatusBar1->Panels().Items(index)->Text());
        return texts;
    };
    const std::vector<std::string> none(5);
    EXPECT_EQ(panels(), none);
    EXPECT_THROW(frame->OpenDocumentFile(program.File("missing.html")), EFOpenError);
    Application().ProcessMessages();
    EXPECT_EQ(panels(), none) << "no document, no document's state";

    TEditForm* page = open("page.html", "<P>caf\xE9</P>"); // not UTF-8: the code page
    page->Editor->SetSelStart(4);
    page->Editor->SetSelText("x");
    Application().ProcessMessages();
    const std::vector<std::string> shown = panels();
    EXPECT_EQ(shown[0], "Offset: 5");
    EXPECT_EQ(shown[2], "Modified");
    EXPECT_THROW(frame->OpenDocumentFile(program.File("missing.html")), EFOpenError);
    EXPECT_THROW(OpenTemplate(*frame, program.File("")), EFOpenError) << "a folder is no template";
    Application().ProcessMessages();
    EXPECT_EQ(panels(), shown) << "the page's own state again";
}
