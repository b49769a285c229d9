// A document window switching between its source, design and preview
// pages on the real web engine (offscreen), as the user picks the tabs:
// a page looked at in the design view keeps its source byte for byte, the
// preview file is written once and removed on the return to the source,
// pages with frames are refused by the design view, keys typed after
// picking a page reach it, a picture beside a page shows in both views
// from a folder whose name holds a blank, "#" and "%", and a save made in
// the design view writes its edits with the page's byte-order mark; the
// copy an outside browser was shown goes on the return to the source too;
// a preview that can not be written says why and stays on the source, a
// page never saved asks first, and a big page loading says so.

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "app/SettingsFile.h"
#include "app/dialogs/SpecialCharacters.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/MainWindowLifetime.h"

#include "editor/CodeMemo.h"
#include "platform/ui/Application.h"
#include "platform/ui/ListControls.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/UserInteraction.h"
#include "tests/platform/webview/WebEngineTestApp.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/support/ScriptedUserInteraction.h"

#include "platform/webview/DHTMLEdit.h"
#include "platform/webview/ScriptCall.h"
#include "platform/webview/WebBrowser.h"
#include "platform/widgets/QtUserInteraction.h"
#include "platform/widgets/WidgetPeer.h"
#include "toolbars/TBItem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <QWindow>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ViewSwitching : public ::testing::Test {
protected:
    void SetUp() override {
        frame = StartMainWindow();
    }
    void TearDown() override { FreeMainWindow(); }
    void Pick(TEditForm* document, int page) { PickDocumentPage(document, page); }

    TTestProgramFolder program;
    TScriptedUserInteraction user;
    Tframeform* frame = nullptr;
};

} // namespace

TEST_F(ViewSwitching, SourcePreviewDesignSourceKeepsThePageAndItsFolderClean) {
    const std::string page = "<!DOCTYPE html>\n<HTML><BODY>\r\n<P ID=\"p\">caf\xE9</P>\n<?php echo 1; ?>\r</BODY></HTML>";
    const std::string file = program.File("page.html");
    const std::string preview = program.File("HTMLtmp.htm");
    TTestProgramFolder::WriteFileBytes(file, page);
    TEditForm* document = frame->OpenDocumentFile(file);

    Pick(document, 2);
    ASSERT_TRUE(std::filesystem::exists(preview));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(preview), page);
    Pick(document, 1);
    ASSERT_TRUE(WaitFor([&] { return document->DesignReady(); }));
    EXPECT_TRUE(std::filesystem::exists(preview)) << "left in place until the source page";
    Pick(document, 0);
    EXPECT_FALSE(std::filesystem::exists(preview));
    EXPECT_EQ(document->Text().Bytes(), page);
    EXPECT_FALSE(document->Editor->Modified);
    EXPECT_TRUE(user.Exceptions().empty());
}

// The copy an outside browser is shown is the window's preview file too:
// it stays while the browser may read it and goes, like the preview
// page's, when the user comes back to the source page; the page itself and
// another page's copy stay.
TEST_F(ViewSwitching, AnOutsideBrowsersCopyGoesOnTheReturnToTheSource) {
    std::filesystem::create_directories(program.File("site"));
    std::filesystem::create_directories(program.File("other"));
    const std::string file = program.File("site/page.html");
    const std::string copy = program.File("site/HTMLtmp.htm");
    const std::string othersCopy = program.File("other/HTMLtmp.htm");
    TTestProgramFolder::WriteFileBytes(file, "<P>page</P>");
    TTestProgramFolder::WriteFileBytes(othersCopy, "kept");
    OpenSettings()->WriteString(settings::Browsers, "PathIE", "/bin/sh");
    TEditForm* document = frame->OpenDocumentFile(file);
    document->Editor->SetSelText("changed ");
    frame->Item("ieBtn")->Click();
    ASSERT_FALSE(user.Calls.empty());
    EXPECT_EQ(user.Calls.back().Kind, TScriptedUserInteraction::kStartProgram);
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(copy), "changed <P>page</P>");

    Pick(document, 1);
    ASSERT_TRUE(WaitFor([&] { return document->DesignReady(); }));
    EXPECT_TRUE(std::filesystem::exists(copy)) << "left in place until the source page";
    Pick(document, 0);
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(file), "<P>page</P>");
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(othersCopy), "kept");
    EXPECT_TRUE(user.Exceptions().empty());
}

TEST_F(ViewSwitching, PagesWithFramesAndUnsavedPreviewsGoBackToTheSource) {
    TEditForm* document = new TEditForm(&Application());
    frame->MDINav->AddForm(document, nullptr);
    document->Editor->SelectAll();
    document->Editor->SetSelText("<html><body><iframe src=\"a.html\"></iframe></body></html>");
    user.AnswerMessage(mrOk);
    Pick(document, 1);
    EXPECT_EQ(document->PageControl1->ActivePageIndex(), 0);
    ASSERT_FALSE(user.Calls.empty());
    EXPECT_EQ(user.Calls.back().Text, "It is impossible to edit pages with frames.");

    // The preview of a page never saved asks first; No goes back.
    ASSERT_TRUE(WaitFor([&] { return document->DesignReady(); }));
    user.AnswerMessage(mrNo);
    Pick(document, 2);
    EXPECT_EQ(document->PageControl1->ActivePageIndex(), 0);
    EXPECT_FALSE(std::filesystem::exists(program.File("HTMLtmp.htm")));
    EXPECT_EQ(user.PendingAnswers(), 0u);
}

// The design page takes the keyboard when it is shown, and the source
// page when the user comes back: keys typed on each page after picking its
// tab reach that page, none is lost to the tabs or the window, and the
// source shows where its caret stands.
TEST_F(ViewSwitching, KeysTypedAfterPickingAPageReachThatPage) {
    const std::string file = program.File("typed.html");
    // Longer than the window: the source comes back showing its top.
    std::string lines;
    for (int i = 0; i < 300; ++i)
        lines += "<P>line</P>\n";
    TTestProgramFolder::WriteFileBytes(file, "<HTML><BODY><P>one</P>\n" + lines + "</BODY></HTML>");
    TEditForm* document = frame->OpenDocumentFile(file);
    Application().ProcessMessages();
    auto type = [](const char* keys) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClicks(focus, keys);
    };
    Pick(document, 1);
    ASSERT_TRUE(WaitFor([&] { return document->DesignReady(); }));
    ASSERT_TRUE(ClientWidgetOf(document->dhtmledit)->isAncestorOf(QApplication::focusWidget()));
    // A click into the page places the caret; the keys follow it.
    QWidget* page = QApplication::focusWidget();
    ASSERT_NE(page, nullptr);
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(12, 20));
    type("Qz");
    ASSERT_TRUE(WaitFor([&] { return document->dhtmledit->Edited(); }));
    Pick(document, 0);
    EXPECT_NE(document->Editor->Text().find("Qz"), std::string::npos);
    // The page that came back has the caret at its start, in view.
    Application().ProcessMessages();
    EXPECT_EQ(document->Editor->SelStart(), 0);
    EXPECT_EQ(document->Editor->TopLine(), 0);
    type("<!--W-->");
    EXPECT_EQ(document->Editor->Text().find("<!--W-->"), document->Editor->SelStart() - 8);
    EXPECT_TRUE(user.Exceptions().empty());
}

// Typing in the design view undone there with Ctrl+Z leaves the page as it
// loaded: back on the source, the source is as it was, byte for byte,
// unmodified, with nothing more to undo than before.
TEST_F(ViewSwitching, AnEditUndoneInTheDesignViewLeavesTheSourceAsItWas) {
    const std::string page = "<HTML>\r\n<BODY>\r\n<P>one</P>\r\n<TABLE><TR><TD>cell</TD></TR></TABLE>\r\n</BODY>\r\n</HTML>\r\n";
    const std::string file = program.File("undone.html");
    TTestProgramFolder::WriteFileBytes(file, page);
    TEditForm* document = frame->OpenDocumentFile(file);
    Application().ProcessMessages();
    const bool couldUndo = document->Editor->CanUndo();
    Pick(document, 1);
    ASSERT_TRUE(WaitFor([&] { return document->DesignReady(); }));
    QWidget* view = QApplication::focusWidget();
    ASSERT_NE(view, nullptr);
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(12, 20));
    QTest::keyClicks(QApplication::focusWidget(), "Qz");
    ASSERT_TRUE(WaitFor([&] { return document->dhtmledit->Edited(); }));
    // One undo step per key at most.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return !document->dhtmledit->Edited(); }));
    Pick(document, 0);
    EXPECT_EQ(document->Text().Bytes(), page);
    EXPECT_FALSE(document->Editor->Modified);
    EXPECT_EQ(document->Editor->CanUndo(), couldUndo);
    EXPECT_TRUE(user.Exceptions().empty());
}

// A document in a folder whose name holds a blank and the characters an
// address treats specially: the design view and the preview both show the
// picture beside it, found through the folder's address.
TEST_F(ViewSwitching, PicturesBesideADocumentShowWhateverItsFolderIsCalled) {
    const std::filesystem::path folder = program.Folder().Path() / "my pages #1 100%";
    std::filesystem::create_directories(folder);
    // A GIF of 3 by 2 pixels.
    const std::string picture("GIF89a\x03\x00\x02\x00\x80\x00\x00\xFF\x00\x00\x00\x00\xFF,\x00\x00\x00\x00\x03\x00\x02"
                              "\x00\x00\x02\x03\x84\x1D\x05\x00;",
                              35);
    TTestProgramFolder::WriteFileBytes((folder / "dot.gif").string(), picture);
    const std::string file = (folder / "page.html").string();
    TTestProgramFolder::WriteFileBytes(file, "<HTML><BODY><IMG ID=\"dot\" SRC=\"dot.gif\"></BODY></HTML>");
    TEditForm* document = frame->OpenDocumentFile(file);
    // The picture's width once the view has settled on it (0 when it could
    // not be loaded, -1 when the page is not there), the view's address
    // holding address.
    auto pictureWidth = [](TWinControl* view, const std::string& address) {
        auto* engine = ClientWidgetOf(view)->findChild<QWebEngineView*>();
        auto ask = [&](const char* script) {
            return RunScriptAndWait(*engine->page(), QString::fromUtf8(script), std::chrono::seconds(60), "no answer");
        };
        WaitFor([&] {
            return ask(("(function () { var i = document.getElementById('dot');"
                        " if (location.protocol == 'chrome-error:') return true;"
                        " return location.href.indexOf('" + address + "') >= 0 &&"
                        " document.readyState == 'complete' && (!i || i.complete); })()").c_str())
                .toBool();
        });
        return ask("(function () { var i = document.getElementById('dot'); return i ? i.naturalWidth : -1; })()")
            .toInt();
    };
    Pick(document, 1);
    ASSERT_TRUE(WaitFor([&] { return document->DesignReady(); }));
    EXPECT_EQ(pictureWidth(document->dhtmledit, ""), 3);
    Pick(document, 0);
    Pick(document, 2);
    EXPECT_EQ(pictureWidth(document->WebBrowser1, "HTMLtmp.htm"), 3);
    Pick(document, 0);
    EXPECT_TRUE(user.Exceptions().empty());
}

// Save while the design view shows writes the edits made there, and a UTF-8
// page keeps the byte-order mark it began with.
TEST_F(ViewSwitching, ASaveInTheDesignViewWritesItsEditsAndKeepsTheMark) {
    const std::string mark = "\xEF\xBB\xBF";
    const std::string file = program.File("marked.html");
    TTestProgramFolder::WriteFileBytes(file, mark + "<HTML><BODY><P>caf\xC3\xA9</P></BODY></HTML>");
    TEditForm* document = frame->OpenDocumentFile(file);
    Application().ProcessMessages();
    Pick(document, 1);
    ASSERT_TRUE(WaitFor([&] { return document->DesignReady(); }));
    EXPECT_TRUE(frame->ItemEnabled("Sauvegarder1")) << "Save is at hand in the design view";
    QWidget* page = QApplication::focusWidget();
    ASSERT_NE(page, nullptr);
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(12, 20));
    QTest::keyClicks(QApplication::focusWidget(), "Qz");
    ASSERT_TRUE(WaitFor([&] { return document->dhtmledit->Edited(); }));
    frame->Item("Sauvegarder1")->Click();
    Application().ProcessMessages();
    const std::string saved = TTestProgramFolder::ReadFileBytes(file);
    EXPECT_EQ(saved.rfind(mark, 0), 0u) << saved;
    EXPECT_NE(saved.find("Qz"), std::string::npos) << saved;
    EXPECT_NE(saved.find("caf\xC3\xA9"), std::string::npos) << saved;
    EXPECT_EQ(document->PageControl1->ActivePageIndex(), 1);
    Pick(document, 0);
    EXPECT_EQ(document->Text().Bytes(), saved);
    EXPECT_FALSE(document->Editor->Modified);
    EXPECT_TRUE(user.Exceptions().empty());
}

// A special character inserted while the design page shows goes into that
// page at the caret the user left there, and comes back to the source
// with the edits made in the page, in the page's own encoding.
TEST_F(ViewSwitching, ACharacterInsertedWhileTheDesignPageShowsComesBackWithItsEdits) {
    const std::string file = program.File("inserted.html");
    TTestProgramFolder::WriteFileBytes(
        file, "<html><body><p id=\"p\">caf\xC3\xA9 \xE4\xB8\xAD</p></body></html>");
    TEditForm* document = frame->OpenDocumentFile(file);
    ASSERT_EQ(document->Editor->Encoding(), teUtf8);
    Pick(document, 1);
    ASSERT_TRUE(WaitFor([&] { return document->DesignReady(); }));
    auto* engine = ClientWidgetOf(document->dhtmledit)->findChild<QWebEngineView*>();
    ASSERT_NE(engine, nullptr);
    // The user types at the end of the paragraph, and the caret stays there.
    ASSERT_TRUE(RunScriptAndWait(*engine->page(), QStringLiteral(R"((function () {
      var range = document.createRange();
      range.selectNodeContents(document.getElementById('p'));
      range.collapse(false);
      getSelection().removeAllRanges();
      getSelection().addRange(range);
      return document.execCommand('insertText', false, ' typed');
    })())"),
                                 std::chrono::seconds(60), "no answer")
                    .toBool());

    auto* window = new TCaracfrm(frame);
    const auto characters = SpecialCharacters();
    const auto eAcute =
        std::find_if(characters.begin(), characters.end(), [](const TSpecialCharacter& c) {
            return std::string(c.Character) == "\xC3\xA9";
        });
    ASSERT_NE(eAcute, characters.end());
    window->ComboBox1->Perform(CN_COMMAND, CBN_SELCHANGE, eAcute - characters.begin());
    window->BitBtn1Click(window);
    delete window;

    Pick(document, 0);
    EXPECT_NE(document->Editor->Text().find("caf\xC3\xA9 \xE4\xB8\xAD typed\xC3\xA9</p>"),
              std::string::npos)
        << document->Editor->Text();
    EXPECT_TRUE(user.Exceptions().empty());
}

// A preview that can not be written beside its page (its folder gone)
// says why, as the outside browsers' button does, and the source stays.
TEST_F(ViewSwitching, APreviewThatCanNotBeWrittenSaysWhyAndStaysOnTheSource) {
    std::filesystem::create_directories(program.File("site"));
    TTestProgramFolder::WriteFileBytes(program.File("site/page.html"), "<P>page</P>");
    TEditForm* document = frame->OpenDocumentFile(program.File("site/page.html"));
    std::filesystem::remove_all(program.File("site"));
    RunGuarded([&] { frame->Item("ieBtn")->Click(); });
    RunGuarded([&] { Pick(document, 2); });
    const std::vector<std::string> told = user.Exceptions();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].rfind("Cannot create file", 0), 0u) << told[0];
    EXPECT_EQ(told[1], told[0]);
    EXPECT_EQ(document->PageControl1->ActivePageIndex(), 0);
    EXPECT_TRUE(frame->ItemEnabled("boldBtn")) << "the source's commands are back";
}

// The preview's question on the real message box waits for its answer
// also when the main window's own window is made anew while it is up, as
// Qt makes it for the first web view on a display with OpenGL (the test
// does it itself: offscreen, the engine draws without OpenGL).
TEST_F(ViewSwitching, ThePreviewsQuestionWaitsWhileTheMainWindowIsMadeAnew) {
    SetUserInteraction(&QtUserInteraction());
    TEditForm* document = new TEditForm(&Application());
    frame->MDINav->AddForm(document, nullptr);
    QWidget* main = ClientWidgetOf(frame)->window();
    bool remade = false, answered = false;
    QObject::connect(main->windowHandle(), &QObject::destroyed, [&] { remade = true; });
    auto box = [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); };
    QTimer::singleShot(0, [&] { RemakeNativeWindow(main); });
    // The answer, once the question shows again over the new window (or
    // after a while, so that a broken run still ends).
    QTimer answer;
    int ticks = 0;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (box() == nullptr || (!remade && ++ticks < 50))
            return;
        answer.stop();
        answered = remade && box()->text().startsWith("You need to first save this document");
        box()->button(QMessageBox::No)->click();
    });
    answer.start(100);
    Pick(document, 2);
    SetUserInteraction(&user);
    EXPECT_TRUE(answered) << "the question ended before it was answered";
    EXPECT_EQ(document->PageControl1->ActivePageIndex(), 0);
}

// A big page loading into the design view shows the hourglass and says so
// in the status bar of the document in front until the page stands, and
// gives the pointer back after, also when its window goes first.
TEST_F(ViewSwitching, ABigPageLoadingShowsTheHourglassAndSaysSoUntilItStands) {
    std::string page;
    for (int i = 0; page.size() < 800'000; ++i)
        page += "<P>paragraph " + std::to_string(i) + " of a big page</P>\r\n";
    TTestProgramFolder::WriteFileBytes(program.File("big.html"), page);
    TTestProgramFolder::WriteFileBytes(program.File("small.html"), "<P>small</P>");
    TEditForm* big = frame->OpenDocumentFile(program.File("big.html"));
    auto loading = [&] {
        return frame->StatusBar1->SimplePanel() && frame->StatusBar1->SimpleText() == "Loading the page..." &&
               Screen().Cursor() == crHourGlass;
    };
    Pick(big, 1);
    EXPECT_TRUE(loading());
    TEditForm* small = frame->OpenDocumentFile(program.File("small.html"));
    EXPECT_FALSE(frame->StatusBar1->SimplePanel()) << "the small page's status shows";
    big->Show();
    EXPECT_TRUE(loading());
    ASSERT_TRUE(WaitFor([&] { return big->DesignReady(); }));
    EXPECT_FALSE(frame->StatusBar1->SimplePanel());
    EXPECT_EQ(Screen().Cursor(), crDefault);
    Pick(big, 0);
    Pick(big, 1);
    delete big;
    EXPECT_EQ(Screen().Cursor(), crDefault);
    EXPECT_FALSE(frame->StatusBar1->SimplePanel());
    EXPECT_EQ(frame->ActiveMDIChild(), small);
}
