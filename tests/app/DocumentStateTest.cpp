// What the main window shows of its documents, on real offscreen windows:
// the status bar and the document commands follow the document in front
// through random openings, edits, saves, switches and closings (one closed
// behind the front one changes nothing of it), against a model of each
// document, and after Close All only what stays open shows; Save All saves every document it can and tells each failure;
// Print without a printer offers a PDF file; the browsers' Browse buttons
// list programs, which have no extension here.

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "app/MainWindowItems.h"
#include "app/OptionsDialog.h"
#include "tests/app/MainWindowTestSupport.h"

#include "editor/CodeMemo.h"
#include "platform/base/TextCodec.h"
#include "platform/ui/Application.h"
#include "platform/ui/Printers.h"
#include "platform/ui/Screen.h"
#include "platform/ui/StatusBar.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "toolbars/TBItem.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fnmatch.h>
#include <map>
#include <random>

namespace fs = std::filesystem;

namespace {

// What the model knows of a document.
struct TModelDocument {
    bool Modified = false;
    TTextEncoding Encoding = teUtf8;
};

class DocumentState : public TTellingMainWindowTest {
protected:
    std::string panel(int index) const { return frame->StatusBar1->Panels().Items(index)->Text(); }
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& call : user.Calls)
            if (call.Kind == TScriptedUserInteraction::kMessage || call.Kind == TScriptedUserInteraction::kException)
                texts.push_back(call.Text);
        return texts;
    }
    // The status bar and the document commands against the model of the
    // documents open: the front one's state, or nothing without one.
    void checkFront(const std::map<TEditForm*, TModelDocument>& model, const std::string& when);
};

} // namespace

void DocumentState::checkFront(const std::map<TEditForm*, TModelDocument>& model, const std::string& when) {
    TEditForm* front = frame->ActiveDocument();
    ASSERT_EQ(front == nullptr, model.empty()) << when;
    if (front == nullptr) {
        for (int index : {0, 1, 3, kInsertPanel, kEncodingPanel})
            EXPECT_EQ(panel(index), "") << when << ": panel " << index;
        EXPECT_FALSE(frame->ItemEnabled("boldBtn")) << when;
        return;
    }
    const TModelDocument& expected = model.at(front);
    TCodeMemo& editor = *front->Editor;
    EXPECT_EQ(panel(0), "Offset: " + std::to_string(editor.SelStart())) << when;
    EXPECT_EQ(panel(1), "Line: " + std::to_string(editor.SelLine() + 1) +
                            "    Col: " + std::to_string(editor.SelCharacterColumn() + 1))
        << when;
    EXPECT_EQ(panel(3), expected.Modified ? "Modified" : "") << when;
    EXPECT_EQ(panel(kInsertPanel), "Insert") << when;
    EXPECT_EQ(panel(kEncodingPanel), TextEncodingName(expected.Encoding)) << when;
    for (const std::string& item : DocumentCommandItems()) {
        // Save and Delete follow the changes and the selection.
        if (item != "Sauvegarder1" && item != "Supprimer2" && frame->Item(item)->OnClick) {
            EXPECT_TRUE(frame->ItemEnabled(item)) << when << ": " << item;
        }
    }
    EXPECT_EQ(frame->ItemEnabled("saveBtn"), expected.Modified) << when;
    EXPECT_EQ(frame->ItemEnabled("Sauvegarder1"), expected.Modified) << when;
}

TEST_F(DocumentState, TheStatusBarAndTheCommandsFollowTheDocumentInFront) {
    std::mt19937 random(19);
    std::map<TEditForm*, TModelDocument> model;
    int files = 0;
    auto check = [&](const std::string& when) { checkFront(model, when); };
    auto pickAny = [&]() -> TEditForm* {
        auto it = model.begin();
        std::advance(it, random() % model.size());
        return it->first;
    };
    for (int step = 0; step < 120; ++step) {
        const int action = model.empty() ? static_cast<int>(random() % 2) : static_cast<int>(random() % 7);
        std::string what;
        switch (action) {
        case 0: {
            what = "new";
            click("Nouveaustandard1");
            model[frame->ActiveDocument()] = {};
            break;
        }
        case 1: {
            // A page in UTF-8 or in the code page.
            const bool utf8 = random() % 2;
            const std::string name = program.File("f" + std::to_string(files++) + ".html");
            TTestProgramFolder::WriteFileBytes(name, utf8 ? "<P>caf\xC3\xA9</P>\r\nline" : "<P>caf\xE9</P>\r\nline");
            what = "open " + name;
            model[frame->OpenDocumentFile(name)] = {false, utf8 ? teUtf8 : teAnsi};
            Application().ProcessMessages();
            break;
        }
        case 2: {
            what = "type";
            TEditForm* front = frame->ActiveDocument();
            // Where a user can put the caret: before the accented letter.
            front->Editor->SetSelStart(static_cast<int32_t>(random() % 6));
            front->Editor->SetSelText("x");
            Application().ProcessMessages();
            model[front].Modified = true;
            break;
        }
        case 3: {
            TEditForm* front = frame->ActiveDocument();
            what = "save";
            if (front->FileName == kUntitled)
                user.AnswerSaveFile(program.File("f" + std::to_string(files++) + ".html"));
            click("Sauvegarder1");
            model[front].Modified = false;
            break;
        }
        case 4: {
            TEditForm* picked = pickAny();
            what = "pick " + picked->Caption();
            frame->MDINav->SetTabIndex(frame->MDINav->IndexOfForm(picked));
            frame->MDINav->Change();
            Application().ProcessMessages();
            break;
        }
        default: {
            // The front one, or one behind it, closes; its changes dropped.
            TEditForm* closing = action == 5 ? frame->ActiveDocument() : pickAny();
            what = std::string(closing == frame->ActiveDocument() ? "close front " : "close behind ") +
                   closing->Caption();
            if (model[closing].Modified)
                user.AnswerMessage(mrNo);
            closing->Close();
            Application().ProcessMessages();
            model.erase(closing);
            break;
        }
        }
        ASSERT_NO_FATAL_FAILURE(check(std::to_string(step) + " " + what));
    }

    // Close All behind a changed front document whose question is
    // cancelled: the others go, the front one stays as it was.
    if (model.size() < 2) {
        click("Nouveaustandard1");
        model[frame->ActiveDocument()] = {};
    }
    for (auto& [document, state] : model)
        if (document != frame->ActiveDocument() && state.Modified) {
            document->Editor->Modified = false;
            state.Modified = false;
        }
    TEditForm* front = frame->ActiveDocument();
    front->Editor->SetSelText("y");
    model[front].Modified = true;
    user.AnswerMessage(mrCancel);
    click("Fermertout2");
    for (auto it = model.begin(); it != model.end();)
        it = it->first == front ? std::next(it) : model.erase(it);
    ASSERT_EQ(frame->MDIChildCount(), 1);
    check("close all, front cancelled");
}

// Close All asks about each changed document, the last made first: the
// ones answered No go, one answered Cancel stays.  Afterwards the status
// bar and the commands tell of the document left in front, or of none:
// nothing of a document closed stays on show, whichever was in front.
TEST_F(DocumentState, AfterCloseAllOnlyTheDocumentsLeftShow) {
    std::mt19937 random(23);
    int files = 0;
    for (int round = 0; round < 16; ++round) {
        std::map<TEditForm*, TModelDocument> model;
        const int count = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < count; ++i) {
            const bool utf8 = random() % 2;
            const std::string name = program.File("c" + std::to_string(files++) + ".html");
            TTestProgramFolder::WriteFileBytes(name, utf8 ? "<P>caf\xC3\xA9</P>" : "<P>caf\xE9</P>");
            TEditForm* document = frame->OpenDocumentFile(name);
            TModelDocument& state = model[document] = {false, utf8 ? teUtf8 : teAnsi};
            if (random() % 2) {
                document->Editor->SetSelStart(static_cast<int32_t>(random() % 4));
                document->Editor->SetSelText("x");
                state.Modified = true;
            }
            Application().ProcessMessages();
        }
        // Any one of them in front.
        auto front = model.begin();
        std::advance(front, random() % model.size());
        frame->MDINav->SetTabIndex(frame->MDINav->IndexOfForm(front->first));
        frame->MDINav->Change();
        Application().ProcessMessages();

        std::string when = "round " + std::to_string(round) + ":";
        std::vector<TEditForm*> staying;
        for (int i = frame->MDIChildCount() - 1; i >= 0; --i) {
            auto* document = dynamic_cast<TEditForm*>(frame->MDIChildren(i));
            if (!model.at(document).Modified) {
                when += " close";
                continue;
            }
            const bool stays = random() % 3 == 0;
            user.AnswerMessage(stays ? mrCancel : mrNo);
            when += stays ? " cancel" : " no";
            if (stays)
                staying.push_back(document);
        }
        click("Fermertout2");
        EXPECT_EQ(user.PendingAnswers(), 0u) << when;
        for (auto it = model.begin(); it != model.end();)
            it = std::find(staying.begin(), staying.end(), it->first) == staying.end() ? model.erase(it) : std::next(it);
        ASSERT_EQ(frame->MDIChildCount(), static_cast<int>(model.size())) << when;
        ASSERT_NO_FATAL_FAILURE(checkFront(model, when));
        // The next round starts without documents.
        for (TEditForm* document : staying) {
            document->Editor->Modified = false;
            document->Close();
        }
        Application().ProcessMessages();
        ASSERT_NO_FATAL_FAILURE(checkFront({}, when + ", the rest closed"));
    }
}

TEST_F(DocumentState, SaveAllSavesEveryDocumentItCanAndTellsEachFailure) {
    fs::create_directories(program.File("gone"));
    std::vector<std::string> names = {program.File("a.html"), program.File("gone/b.html"), program.File("c.html"),
                                      program.File("gone/d.html")};
    std::vector<TEditForm*> documents;
    for (const std::string& name : names) {
        TTestProgramFolder::WriteFileBytes(name, "<P>old</P>");
        documents.push_back(frame->OpenDocumentFile(name));
        documents.back()->Editor->SetSelText("new ");
    }
    // The folder of two of them is gone before they are saved.
    fs::remove_all(program.File("gone"));
    click("Sauvegardertout2");
    for (size_t i = 0; i < names.size(); ++i) {
        const bool gone = names[i].find("/gone/") != std::string::npos;
        EXPECT_EQ(documents[i]->Editor->Modified, gone) << names[i];
        if (!gone) {
            EXPECT_EQ(TTestProgramFolder::ReadFileBytes(names[i]), "new <P>old</P>");
        }
    }
    const std::vector<std::string> told = messages();
    ASSERT_EQ(told.size(), 1u) << "one report";
    EXPECT_NE(told[0].find(names[1]), std::string::npos) << told[0];
    EXPECT_NE(told[0].find(names[3]), std::string::npos) << told[0];
}

TEST_F(DocumentState, PrintWithoutAPrinterOffersAPdfFile) {
    // Where a printer answers, there is nothing to offer.
    try {
        Printer().BeginDoc();
        Printer().Abort();
        GTEST_SKIP() << "a printer is at hand";
    } catch (const EPrinter&) {
    }
    TTestProgramFolder::WriteFileBytes(program.File("page.html"), "<P>printed words</P>");
    TEditForm* document = frame->OpenDocumentFile(program.File("page.html"));
    document->Editor->SetSelStart(3);
    // Declined: nothing printed, nothing more told.
    user.AnswerMessage(mrNo);
    click("Imprimer1");
    EXPECT_TRUE(user.Exceptions().empty());
    EXPECT_EQ(user.PendingAnswers(), 0u);
    // Accepted: the pages go to the file chosen, the next Print looks for
    // the printer again.
    user.AnswerMessage(mrYes);
    user.AnswerSaveFile(program.File("out.pdf"));
    click("Imprimer1");
    EXPECT_TRUE(user.Exceptions().empty());
    ASSERT_TRUE(fs::exists(program.File("out.pdf")));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(program.File("out.pdf")).substr(0, 5), "%PDF-");
    EXPECT_EQ(user.Calls.back().FileRequest.FileName, program.File("page.pdf"));
    EXPECT_EQ(Printer().OutputFileName(), "");
    EXPECT_EQ(document->Editor->SelStart(), 3);
}

TEST_F(DocumentState, TheBrowsersBrowseButtonsListProgramsWithoutAnExtension) {
    std::string filter;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        for (int i = 0; i < Screen().FormCount(); ++i)
            if (auto* options = dynamic_cast<Toptionfrm*>(Screen().Forms(i)); options && options->Modal()) {
                shown = true;
                user.AnswerFiles({"/usr/bin/webview"});
                options->Button1Click(options);
                if (!user.Calls.empty())
                    filter = user.Calls.back().FileRequest.Filter;
                // The box's text (an edit box's text is its caption).
                EXPECT_EQ(dynamic_cast<TControl*>(options->FindComponent("Edit1"))->Caption(), "/usr/bin/webview");
                options->SetModalResult(mrCancel);
            }
    });
    click("Prfrences1");
    ASSERT_TRUE(shown);
    // Some pair's mask takes a program's name.
    bool takesPrograms = false;
    for (size_t at = 0; at < filter.size();) {
        const size_t bar = filter.find('|', at);
        ASSERT_NE(bar, std::string::npos) << filter;
        size_t end = filter.find('|', bar + 1);
        end = end == std::string::npos ? filter.size() : end;
        const std::string masks = filter.substr(bar + 1, end - bar - 1);
        for (size_t m = 0; m <= masks.size();) {
            const size_t semi = std::min(masks.find(';', m), masks.size());
            takesPrograms |= fnmatch(masks.substr(m, semi - m).c_str(), "webview", 0) == 0;
            m = semi + 1;
        }
        at = end + 1;
    }
    EXPECT_TRUE(takesPrograms) << filter;
}
