// The main window and the document windows on real (offscreen) windows:
// options that survive a restart, a settings file or toolbar store that is
// damaged or can not be written, the main window freed with documents
// open, documents that can not be read, the close flow answered
// from a script, pages saved byte for byte, and the tab strip following
// random openings, activations, tab picks and closings.

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "app/SettingsFile.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/MainWindowLifetime.h"

#include "editor/CodeGutter.h"
#include "editor/CodeMemo.h"
#include "editor/highlight/HtmlHighlighter.h"
#include "platform/base/Utf8.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/Application.h"
#include "platform/ui/ComponentWatch.h"
#include "platform/ui/MDI.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "toolbars/TBMRUList.h"

#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// In a file of its own: the panel's header and the memo's do not meet.
bool ControlVisible(TPanel* panel);

namespace {

namespace fs = std::filesystem;

class DocumentWindows : public ::testing::Test {
protected:
    void SetUp() override { Start(); }
    void TearDown() override { Stop(); }

    void Start() { frame = StartMainWindow(); }
    // Closes the documents without questions, then frees the main window
    // (which writes the settings).
    void Stop() {
        if (frame == nullptr)
            return;
        FreeMainWindow();
        frame = nullptr;
    }
    TEditForm* NewDocument() {
        auto* document = new TEditForm(&Application());
        frame->MDINav->AddForm(document, nullptr);
        return document;
    }
    // Runs the close protocol; true when the window went.
    bool CloseDocument(TEditForm* document) {
        TComponentWatch watch(document);
        document->Close();
        Application().ProcessMessages();
        return !watch.Alive();
    }
    std::string Panel(int index) { return frame->StatusBar1->Panels().Items(index)->Text(); }

    TTestProgramFolder program;
    TScriptedUserInteraction user;
    Tframeform* frame = nullptr;
};

} // namespace

TEST_F(DocumentWindows, OptionsSurviveARestartAndABadSettingsFileGivesTheDefaults) {
    // A first run: the documented defaults.
    EXPECT_TRUE(frame->StatusBar1->Visible());
    EXPECT_TRUE(ControlVisible(frame->NavPanel));
    EXPECT_FALSE(frame->OptionChecked("wordwrapitem"));
    EXPECT_TRUE(frame->OptionChecked("autoindentitem"));
    EXPECT_TRUE(frame->OptionChecked("backindentitem"));
    EXPECT_TRUE(frame->OptionChecked("codeitem"));
    EXPECT_EQ(frame->mrulist->Items().Count(), 0);
    TEditForm* document = NewDocument();
    EXPECT_FALSE(document->Editor->WordWrap());
    EXPECT_TRUE(document->EditorGutter->Visible());
    EXPECT_TRUE(document->EditorGutter->LineNumbers());
    EXPECT_EQ(document->Editor->Highlighter(), static_cast<TCodeHighlighter*>(frame->htmlcoder));

    frame->Item("wordwrapitem")->SetChecked(true);
    frame->Item("autoindentitem")->SetChecked(false);
    frame->mrulist->Add("/pages/a.html");
    Stop();
    // The explorer opens on the folder it showed last.
    const std::string folder = program.File("data");
    OpenSettings()->WriteString(settings::Explorer, "lastpath", folder);
    Start();
    EXPECT_TRUE(frame->OptionChecked("wordwrapitem"));
    EXPECT_FALSE(frame->OptionChecked("autoindentitem"));
    ASSERT_EQ(frame->mrulist->Items().Count(), 1);
    EXPECT_EQ(frame->mrulist->Items().Strings(0), "/pages/a.html");
    // What the settings say for the editor reaches a new document.
    OpenSettings()->WriteString(settings::Editor, "gutter", "0");
    OpenSettings()->WriteString(settings::Editor, "colorer", "none");
    document = NewDocument();
    EXPECT_TRUE(document->Editor->WordWrap());
    EXPECT_FALSE(document->EditorGutter->Visible());
    EXPECT_EQ(document->Editor->Highlighter(), nullptr);
    Stop();
    EXPECT_EQ(OpenSettings()->ReadString(settings::Explorer, "lastpath", ""), folder);

    // A damaged file reads as the defaults.
    program.WriteSettings(std::string("\x00\xFF[editeur\nwordwrap=yes\n\x01\x02", 26));
    Start();
    EXPECT_FALSE(frame->OptionChecked("wordwrapitem"));
    EXPECT_TRUE(frame->OptionChecked("autoindentitem"));
    Stop();
    EXPECT_TRUE(user.Exceptions().empty());
}

TEST_F(DocumentWindows, ASettingsFileThatCanNotBeWrittenIsToldOnce) {
    fs::remove_all(program.Folder().Path() / "data");
    frame->Item("wordwrapitem")->SetChecked(true);
    Stop();
    EXPECT_EQ(user.Exceptions(), std::vector<std::string>{"Unable to write to " + SettingsFileName()});
}

TEST_F(DocumentWindows, ADocumentThatCanNotBeReadLeavesNoWindow) {
    const int forms = Screen().FormCount();
    EXPECT_THROW(frame->OpenDocumentFile(program.File("missing.html")), EFOpenError);
    Application().ProcessMessages();
    EXPECT_EQ(frame->MDIChildCount(), 0);
    EXPECT_EQ(frame->MDINav->FormCount(), 0);
    EXPECT_EQ(Screen().FormCount(), forms);
}

TEST_F(DocumentWindows, AnEditedPageIsSavedByteForByteKeepingItsPermissions) {
    std::string page = "<HTML>\r\n<P>\x80\x81\xFF\x01\x02\x03\x04\x15</P>\n\r<BODY>\r\r\n</HTML>";
    const std::string file = program.File("page.html");
    TTestProgramFolder::WriteFileBytes(file, page);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    TEditForm* document = frame->OpenDocumentFile(file);
    EXPECT_EQ(document->FileName, file);
    EXPECT_EQ(document->Caption(), "page.html");
    EXPECT_FALSE(document->Editor->Modified);
    // An edit at the end of the second paragraph.
    document->Editor->SetSelStart(document->Editor->ParagraphStart(1) +
                                  static_cast<int32_t>(document->Editor->ParagraphText(1).size()));
    document->Editor->SetSelText("x");
    document->FileSaveItemClick(document);
    page.insert(page.find("</P>") + 4, "x");
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(file), page);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(document->Editor->Modified);
    EXPECT_EQ(Panel(3), "");
}

TEST_F(DocumentWindows, ClosingAsksToSaveAndKeepsTheWindowUnlessTheChangesAreSafeOrDropped) {
    auto modified = [&] {
        TEditForm* document = NewDocument();
        document->Editor->SetSelText("<P>new</P>");
        EXPECT_TRUE(document->Editor->Modified);
        return document;
    };
    // Cancel keeps it; No drops the changes.
    TEditForm* document = modified();
    user.AnswerMessage(mrCancel);
    EXPECT_FALSE(CloseDocument(document));
    user.AnswerMessage(mrNo);
    EXPECT_TRUE(CloseDocument(document));

    // Yes on a document never saved: a cancelled Save As keeps the window.
    document = modified();
    user.AnswerMessage(mrYes);
    user.Cancel(TScriptedUserInteraction::kSaveFile);
    EXPECT_FALSE(CloseDocument(document));
    EXPECT_EQ(document->FileName, "Untitled");

    // Save As onto a file that exists, answered No: nothing is written.
    const std::string other = program.File("other.html");
    TTestProgramFolder::WriteFileBytes(other, "theirs");
    user.AnswerMessage(mrYes);
    user.AnswerSaveFile(other);
    user.AnswerMessage(mrNo);
    EXPECT_FALSE(CloseDocument(document));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(other), "theirs");
    EXPECT_EQ(document->FileName, "Untitled");

    // Saved under a new name: the window goes, its name to the recent files.
    const std::string saved = program.File("saved.html");
    user.AnswerMessage(mrYes);
    user.AnswerSaveFile(saved);
    const std::string text = document->Text().Bytes();
    EXPECT_TRUE(CloseDocument(document));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(saved), text);
    EXPECT_EQ(frame->mrulist->Items().Strings(0), saved);

    // A save that fails is told, keeps the window, and leaves the file whole.
    fs::permissions(saved, fs::perms::owner_read);
    document = frame->OpenDocumentFile(saved);
    document->Editor->SetSelText("changed ");
    user.AnswerMessage(mrYes);
    EXPECT_FALSE(CloseDocument(document));
    ASSERT_EQ(user.Exceptions().size(), 1u);
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(saved), text);
    EXPECT_EQ(user.PendingAnswers(), 0u);
}

TEST_F(DocumentWindows, TheStatusBarShowsTheCaretAndTheInsertMode) {
    TEditForm* document = NewDocument();
    EXPECT_EQ(Panel(5), "Insert");
    document->Editor->SetSelStart(0);
    document->EditorSelMove(document->Editor);
    EXPECT_EQ(Panel(0), "Offset: 0");
    EXPECT_EQ(Panel(1), "Line: 1    Col: 1");
    EXPECT_EQ(document->Caption().rfind("Untitled", 0), 0u);
    EXPECT_EQ(document->Caption().substr(document->Caption().size() - 5), ".html");
}

// Random sessions of opening, activating, picking tabs and closing,
// against the tab strip's promise: one tab per window in the order they
// were opened, and the active window's tab selected.
TEST_F(DocumentWindows, TheTabStripFollowsTheWindows) {
    std::mt19937 random(11);
    std::vector<TEditForm*> open;
    int activations = 0; // calls of the windows' own activation handlers
    auto check = [&](int step) {
        TMDITab& tabs = *frame->MDINav;
        ASSERT_EQ(tabs.FormCount(), static_cast<int>(open.size())) << step;
        for (size_t i = 0; i < open.size(); ++i) {
            ASSERT_EQ(tabs.FormAt(static_cast<int>(i)), open[i]) << step;
            ASSERT_EQ(tabs.Tabs().Strings(static_cast<int>(i)), open[i]->Caption()) << step;
        }
        EXPECT_EQ(tabs.FormAt(-1), nullptr);
        EXPECT_EQ(tabs.FormAt(tabs.FormCount()), nullptr);
        if (!open.empty()) {
            ASSERT_EQ(tabs.FormAt(tabs.TabIndex()), frame->ActiveMDIChild()) << step;
        }
    };
    for (int step = 0; step < 60; ++step) {
        const int what = static_cast<int>(random() % 4);
        if (open.empty() || what == 0) {
            TEditForm* document = new TEditForm(&Application());
            TNotifyEvent own = document->OnActivate;
            document->OnActivate = [&, document, own](TPersistent* sender) {
                // Called after the window's tab was selected.
                EXPECT_EQ(sender, document);
                EXPECT_EQ(frame->MDINav->FormAt(frame->MDINav->TabIndex()), document);
                ++activations;
                own(sender);
            };
            frame->MDINav->AddForm(document, nullptr);
            frame->MDINav->AddForm(document, nullptr); // a second time: still one tab
            open.push_back(document);
            EXPECT_EQ(frame->ActiveMDIChild(), document);
        } else {
            const size_t pick = random() % open.size();
            if (what == 1) {
                frame->MDIClient()->Activate(open[pick]);
                EXPECT_EQ(frame->MDINav->TabIndex(), static_cast<int>(pick));
            } else if (what == 2) {
                frame->MDINav->SetTabIndex(static_cast<int>(pick));
                frame->MDINav->Change();
                EXPECT_EQ(frame->ActiveMDIChild(), open[pick]);
            } else {
                ASSERT_TRUE(CloseDocument(open[pick]));
                open.erase(open.begin() + static_cast<long>(pick));
            }
        }
        Application().ProcessMessages();
        check(step);
    }
    EXPECT_GT(activations, 0);
    frame->MDINav->SetTabCaption(99, "ignored");
    frame->MDINav->SetTabCaption(-1, "ignored");
    check(-1);
    // The windows outlive this test's body (the fixture closes them): their
    // own activation handlers come back, so that nothing calls into the
    // locals above once they are gone.
    for (TEditForm* document : open)
        document->OnActivate = [document](TPersistent* sender) { document->FormActivate(sender); };
}

TEST_F(DocumentWindows, TheTabStripStandsOnlyOnOneMDIFrame) {
    auto message = [](TComponent* owner) {
        try {
            TMDITab tabs(owner);
        } catch (const Exception& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    TForm plain;
    TComponent notAForm;
    EXPECT_EQ(message(&notAForm), "MDITab can be put only on Form.");
    EXPECT_EQ(message(&plain), "MDITab can be put only on MDIForm.");
    EXPECT_EQ(message(frame), "Only one MDITab can be put on MDIForm.");
}

// The application's end runs the main window's destroy step, then frees
// it: with a toolbar store that is a folder, the failure is told once, the
// settings file is still written, and the program ends normally.
TEST_F(DocumentWindows, AToolbarStoreThatCanNotBeWrittenIsToldOnceAndTheSettingsAreStillWritten) {
    const fs::path store = program.Folder().Path() / "config" / "korvane-ondrill" / "hkcu.ini";
    fs::remove_all(store);
    fs::create_directories(store);
    frame->Item("wordwrapitem")->SetChecked(true);
    frame->BeforeDestruction();
    delete frame;
    frame = nullptr;
    Application().SetMainForm(nullptr);
    ASSERT_EQ(user.Exceptions().size(), 1u);
    EXPECT_NE(user.Exceptions()[0].find("Software\\Prelune2k2\\Toolbars"), std::string::npos) << user.Exceptions()[0];
    EXPECT_TRUE(OpenSettings()->ReadBool(settings::Editor, "wordwrap", false));
}

// Freeing the main window while documents are open: they go first, and
// their names are among the recent files the next start shows.
TEST_F(DocumentWindows, FreeingTheMainWindowWithDocumentsOpenKeepsTheirNames) {
    const std::string first = program.File("first.html");
    const std::string second = program.File("second.html");
    TTestProgramFolder::WriteFileBytes(first, "<P>1</P>");
    TTestProgramFolder::WriteFileBytes(second, "<P>2</P>");
    frame->OpenDocumentFile(first);
    frame->OpenDocumentFile(second);
    NewDocument();
    const int forms = Screen().FormCount();
    delete frame;
    frame = nullptr;
    Application().SetMainForm(nullptr);
    EXPECT_EQ(Screen().FormCount(), forms - 4);
    EXPECT_TRUE(user.Exceptions().empty());
    Start();
    std::vector<std::string> recent;
    for (int i = 0; i < frame->mrulist->Items().Count(); ++i)
        recent.push_back(frame->mrulist->Items().Strings(i));
    std::sort(recent.begin(), recent.end());
    EXPECT_EQ(recent, (std::vector<std::string>{first, second}));
}

// What is not a regular file is refused at once, with the reason, and
// leaves no window.  A pipe nobody writes to would block the opening for
// ever: a writer watches the program's thread, and when the kernel shows
// it waiting on the pipe (or, as a last resort, after a minute), writes,
// so that a program that waits fails this test instead of hanging it.
TEST_F(DocumentWindows, APipeOrADeviceIsRefusedWithoutWaiting) {
    const std::string pipe = program.File("pipe.html");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::atomic<bool> returned{false};
    std::atomic<bool> waited{false};
    const std::string wchan = "/proc/self/task/" + std::to_string(::gettid()) + "/wchan";
    std::thread writer([&] {
        const auto lastResort = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!returned) {
            std::string where;
            std::getline(std::ifstream(wchan), where);
            const bool onThePipe = where == "wait_for_partner" || where.starts_with("pipe_");
            if (onThePipe || std::chrono::steady_clock::now() > lastResort) {
                const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    waited = true;
                    [[maybe_unused]] ssize_t put = ::write(fd, "<P>", 3);
                    ::close(fd);
                    return;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    const int forms = Screen().FormCount();
    for (const std::string& name : {pipe, std::string("/dev/null"), std::string("/dev/zero")}) {
        try {
            frame->OpenDocumentFile(name);
            ADD_FAILURE() << name << " opened";
        } catch (const EFOpenError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + name + "\". It is not a regular file");
        }
    }
    returned = true;
    writer.join();
    EXPECT_FALSE(waited) << "the program waited for a writer";
    Application().ProcessMessages();
    EXPECT_EQ(frame->MDIChildCount(), 0);
    EXPECT_EQ(Screen().FormCount(), forms);
}

// The gutter is as wide as its highest line number needs, for random line
// counts, and back to its own width for a short page: probed on its
// pixels, no number reaches its left edge (a centred number too wide for
// the gutter is cut on both sides), and numbers are drawn.
TEST_F(DocumentWindows, TheGutterShowsEveryDigitOfItsLineNumbers) {
    TEditForm* document = NewDocument();
    TCodeGutter& gutter = *document->EditorGutter;
    // A large face, so that four digits already need more than the width
    // the window gives the gutter.
    gutter.Font().SetSize(22);
    const int made = gutter.Width();
    std::mt19937 random(5);
    for (int round = 0; round < 6; ++round) {
        const int lines = round == 0 ? 1 : static_cast<int>(random() % 30000) + 1;
        std::string text;
        for (int line = 1; line < lines; ++line)
            text += "x\r\n";
        document->Text().SetText(text);
        document->Editor->SetSelStart(document->Editor->TextLength());
        document->Editor->ScrollInView();
        Application().ProcessMessages();
        const QImage shown = ClientWidgetOf(document->edittab)->grab().toImage();
        int textPixels = 0;
        for (int y = 0; y < std::min(shown.height(), gutter.Height()); ++y) {
            for (int x = 0; x < gutter.Width() - 2; ++x) {
                const bool lit = qGray(shown.pixel(x, y)) > 160;
                textPixels += lit;
                ASSERT_FALSE(lit && x == 0) << lines << " lines: a number is cut at y " << y;
            }
        }
        EXPECT_GT(textPixels, 0) << lines << " lines";
        if (lines < 10) {
            EXPECT_EQ(gutter.Width(), made);
        }
    }
}

// Random openings and closings: the shared highlighter serves exactly the
// editors of the open documents (closing one leaves the others coloured).
TEST_F(DocumentWindows, TheSharedHighlighterServesExactlyTheOpenDocuments) {
    std::mt19937 random(3);
    std::vector<TEditForm*> open;
    for (int step = 0; step < 30; ++step) {
        if (open.empty() || random() % 2 == 0) {
            open.push_back(NewDocument());
        } else {
            const size_t pick = random() % open.size();
            ASSERT_TRUE(CloseDocument(open[pick]));
            open.erase(open.begin() + static_cast<long>(pick));
        }
        std::set<const TCodeDocument*> expected;
        for (TEditForm* document : open)
            expected.insert(&document->Editor->Document());
        const auto& served = frame->htmlcoder->Documents();
        EXPECT_EQ(std::set<const TCodeDocument*>(served.begin(), served.end()), expected) << step;
        EXPECT_EQ(served.size(), expected.size()) << step;
    }
}

// Each page tab of a document window shows a picture of its own: one that
// covers pixels (the same over white and over black) and differs from the
// other tabs' pictures.
TEST_F(DocumentWindows, EachPageTabShowsAPictureOfItsOwn) {
    TEditForm* document = NewDocument();
    TPageControl& pages = *document->PageControl1;
    ASSERT_NE(pages.Images(), nullptr);
    std::vector<std::vector<TColor>> pictures;
    for (int tab = 0; tab < 3; ++tab) {
        const int index = pages.TabImage(tab);
        ASSERT_GE(index, 0) << tab;
        ASSERT_LT(index, pages.Images()->Count()) << tab;
        TBitmap onWhite, onBlack;
        pages.Images()->GetBitmap(index, onWhite, clWhite);
        pages.Images()->GetBitmap(index, onBlack, clBlack);
        std::vector<TColor> pixels;
        int covered = 0;
        for (int y = 0; y < onWhite.Height(); ++y)
            for (int x = 0; x < onWhite.Width(); ++x) {
                covered += onWhite.Canvas().Pixel(x, y) == onBlack.Canvas().Pixel(x, y);
                pixels.push_back(onWhite.Canvas().Pixel(x, y));
            }
        EXPECT_GT(covered, 30) << tab;
        for (const auto& other : pictures)
            EXPECT_NE(pixels, other) << tab;
        pictures.push_back(pixels);
    }
}

TEST_F(DocumentWindows, APageIsReadInItsOwnEncodingAndTypedCharactersAreWrittenInIt) {
    struct TCase {
        const char* Name;
        std::string Page;
        TTextEncoding Encoding;
        const char* Typed; // the bytes "é" typed at the end of the body becomes
    };
    const std::vector<TCase> cases = {
        {"utf8.html", "<HTML><BODY>caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87</BODY></HTML>", teUtf8, "\xC3\xA9"},
        // Valid UTF-8 all the same: the declaration wins.
        {"latin.html", "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">"
                       "</HEAD><BODY>caf\xC3\xA9</BODY></HTML>", teAnsi, "\xE9"},
        // No declaration and bytes that are not UTF-8: the code page.
        {"cp1252.html", "<HTML><BODY>caf\xE9 \x93quoted\x94 \x80</BODY></HTML>", teAnsi, "\xE9"},
        {"declared.html", "<meta charset=\"utf-8\"><p>caf\xE9</p>", teUtf8, "\xC3\xA9"},
    };
    for (const TCase& page : cases) {
        const std::string file = program.File(page.Name);
        TTestProgramFolder::WriteFileBytes(file, page.Page);
        TEditForm* document = frame->OpenDocumentFile(file);
        EXPECT_EQ(document->Editor->Encoding(), page.Encoding) << page.Name;
        EXPECT_EQ(Panel(kEncodingPanel), TextEncodingName(page.Encoding)) << page.Name;
        // Switching there and back changes no byte.
        document->SwitchEncoding();
        EXPECT_EQ(Panel(kEncodingPanel), TextEncodingName(page.Encoding == teUtf8 ? teAnsi : teUtf8));
        document->SwitchEncoding();
        EXPECT_EQ(document->Editor->Encoding(), page.Encoding);
        document->FileSaveItemClick(document);
        EXPECT_EQ(TTestProgramFolder::ReadFileBytes(file), page.Page) << page.Name << " byte for byte";

        const size_t body = page.Page.rfind('<');
        document->Editor->SetSelStart(static_cast<int32_t>(body));
        document->Editor->Perform(WM_UNICHAR, 0xE9, 0);
        document->FileSaveItemClick(document);
        std::string expected = page.Page;
        expected.insert(body, page.Typed);
        EXPECT_EQ(TTestProgramFolder::ReadFileBytes(file), expected) << page.Name;
        delete document;
    }
    // A new document is UTF-8.
    TEditForm* fresh = NewDocument();
    EXPECT_EQ(fresh->Editor->Encoding(), teUtf8);
}

// Switching a document's encoding re-measures every line: the caret stays
// on the same byte and the view keeps it in sight, wherever it stood in a
// page of lines far wider than the window; a view that still shows the
// caret does not move.
TEST_F(DocumentWindows, SwitchingTheEncodingKeepsTheCaretWhereItWasAndInView) {
    TEditForm* document = NewDocument();
    TCodeMemo& memo = *document->Editor;
    std::mt19937 random(23);
    std::string page;
    std::vector<int32_t> starts; // offsets that begin a character in either encoding
    for (int line = 0; line < 60; ++line) {
        const int length = std::uniform_int_distribution<int>(0, 600)(random);
        for (int i = 0; i < length; ++i) {
            starts.push_back(static_cast<int32_t>(page.size()));
            if (random() % 13 == 0)
                page += "\xC3\xA9"; // one character in UTF-8, two in the code page
            else
                page += static_cast<char>('a' + random() % 26);
        }
        starts.push_back(static_cast<int32_t>(page.size()));
        page += "\r\n";
    }
    memo.SetTextBuf(page);
    memo.SetFocus();
    Application().ProcessMessages();
    ASSERT_GT(memo.ClientWidth(), 100);
    for (int round = 0; round < 24; ++round) {
        const int32_t offset = starts[random() % starts.size()];
        memo.SetSelStart(offset);
        memo.ScrollInView();
        Application().ProcessMessages();
        const int32_t left = memo.LeftPixel();
        document->SwitchEncoding();
        Application().ProcessMessages();
        EXPECT_EQ(memo.SelStart(), offset) << "round " << round;
        // The status bar counts the caret's column in characters of the
        // encoding now in force.
        const size_t lineBreak = page.rfind("\r\n", static_cast<size_t>(offset));
        const size_t lineStart = lineBreak == std::string::npos ? 0 : lineBreak + 2;
        const std::string_view before(page.data() + lineStart,
                                      static_cast<size_t>(offset) - lineStart);
        const size_t column = memo.Encoding() == teUtf8 ? Utf8CharCount(before) : before.size();
        const std::string status = Panel(1);
        EXPECT_EQ(status.substr(status.find("Col: ")), "Col: " + std::to_string(column + 1))
            << "round " << round;
        const TPoint caret = memo.GetCaretPos();
        EXPECT_GE(caret.X, 0) << "round " << round;
        EXPECT_LT(caret.X, memo.ClientWidth()) << "round " << round;
        EXPECT_GE(caret.Y, 0) << "round " << round;
        EXPECT_LT(caret.Y, memo.ClientHeight()) << "round " << round;
        // Where the caret would still show without a scroll, none happened.
        const int32_t unscrolled = caret.X + memo.LeftPixel() - left;
        if (unscrolled >= 0 && unscrolled < memo.ClientWidth()) {
            EXPECT_EQ(memo.LeftPixel(), left) << "round " << round;
        }
    }
}
