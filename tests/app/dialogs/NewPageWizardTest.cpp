// The new-page wizard from its File menu item, with or without a document
// open: its two pages, the page it opens in a new untitled window (exact
// text for the defaults and for every field filled in), going back and
// forth, and the background picture chosen by its file name.

#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/app/dialogs/EditorProbe.h"

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/dialogs/NewPageWizard.h"
#include "platform/ui/Application.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/RichTextView.h"

namespace {

// The page's start, as every new page has it.
const std::string kStart = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n\r\n<HTML>\r\n"
                           "<!-- Page créée avec Korvane Ondrill 3.2 -->\r\n<HEAD>\r\n\r\n";
const std::string kEnd = " \r\n \r\n \r\n \r\n</BODY>\r\n</HTML>\r\n";

class NewPageWizard : public TDialogTest {
protected:
    // Runs the wizard; returns the document it opened (nullptr for none).
    TEditForm* run(const std::function<void(Tpagewizfrm&)>& drive) {
        TEditForm* before = frame->ActiveDocument();
        EXPECT_TRUE(RunCommand("Assistant1Click", [&](TCustomForm& form) {
            auto& wizard = dynamic_cast<Tpagewizfrm&>(form);
            EXPECT_EQ(wizard.Owner(), frame);
            drive(wizard);
        }));
        TEditForm* after = frame->ActiveDocument();
        return after != before ? after : nullptr;
    }
};

TEST_F(NewPageWizard, TheDefaultsGiveAPlainPageInANewUntitledWindow) {
    TEditForm* page = run([&](Tpagewizfrm& wizard) {
        EXPECT_TRUE(wizard.Panel1->Visible());
        EXPECT_FALSE(wizard.Panel2->Visible());
        Press(wizard, "Button2");
        EXPECT_TRUE(wizard.Panel2->Visible());
        Press(wizard, "BitBtn3");
    });
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->FileName, kUntitled);
    EXPECT_EQ(EditorText(*page),
              kStart +
                  "<TITLE></TITLE>\r\n<META NAME=\"Description\" CONTENT=\"\">\r\n<META NAME=\"Keywords\" "
                  "CONTENT=\"\">\r\n<META NAME=\"Author\" CONTENT=\"\">\r\n</HEAD>\r\n\r\n"
                  "<BODY BGCOLOR=\"#FFFFFF\" BACKGROUND=\"\" TEXT=\"#000000\" LINK=\"#0000FF\" ALINK=\"#800080\" "
                  "VLINK=\"#000080\">\r\n" +
                  kEnd);
    // A page that exists nowhere else: closing it asks to save it.
    const size_t calls = user.Calls.size();
    user.AnswerMessage(mrNo);
    page->Close();
    Application().ProcessMessages();
    ASSERT_EQ(user.Calls.size(), calls + 1);
    EXPECT_EQ(user.Calls.back().Kind, TScriptedUserInteraction::kMessage);
    EXPECT_EQ(frame->ActiveDocument(), nullptr);
}

TEST_F(NewPageWizard, TheFieldsOfTheLastNextGoInWithEveryBodyChoice) {
    TEditForm* open = NewDocument();
    SetEditorText(*open, "untouched", 0, 0);
    for (TColor color : {RGB(1, 2, 3), RGB(0x10, 0x20, 0x30), RGB(0xAA, 0xBB, 0xCC), RGB(0xDE, 0xAD, 0x00),
                         RGB(0xFF, 0xFE, 0xFD)})
        user.AnswerColor(color);
    user.AnswerFiles({program.File("anywhere/else/fond bleu.gif")});
    TEditForm* page = run([&](Tpagewizfrm& wizard) {
        SetControls(wizard, {{"Edit5", "Ma page"}, {"Edit1", "Décrite"}, {"Edit2", "a, b"}, {"Edit3", "Moi"}});
        Press(wizard, "Button2");
        Press(wizard, "Button3");
        EXPECT_FALSE(wizard.Panel2->Visible());
        SetControl(wizard, "Edit5", "Titre \"final\"");
        Press(wizard, "Button2");
        SetControls(wizard, {{"Memo2", "click"}, {"Memo3", "click"}, {"Memo6", "click"}, {"Memo4", "click"},
                             {"Memo5", "click"}, {"SpeedButton1", "click"}, {"CheckBox1", "1"}, {"SpinEdit1", "0"},
                             {"SpinEdit2", "-2"}});
        // The preview shows the colours chosen.
        EXPECT_EQ(wizard.RichEdit1->ColorAt(wizard.RichEdit1->FindText("Texte")), RGB(1, 2, 3));
        EXPECT_EQ(wizard.RichEdit1->ColorAt(wizard.RichEdit1->FindText("Lien actif")), RGB(0xAA, 0xBB, 0xCC));
        EXPECT_EQ(wizard.RichEdit1->Color(), RGB(0xFF, 0xFE, 0xFD));
        Press(wizard, "BitBtn3");
    });
    ASSERT_NE(page, nullptr);
    ASSERT_NE(page, open);
    EXPECT_EQ(EditorText(*open), "untouched");
    EXPECT_EQ(EditorText(*page),
              kStart +
                  "<TITLE>Titre \"final\"</TITLE>\r\n<META NAME=\"Description\" CONTENT=\"Décrite\">\r\n"
                  "<META NAME=\"Keywords\" CONTENT=\"a, b\">\r\n<META NAME=\"Author\" CONTENT=\"Moi\">\r\n</HEAD>\r\n\r\n"
                  "<BODY BGCOLOR=\"#FFFEFD\" BACKGROUND=\"fond bleu.gif\" TEXT=\"#010203\" LINK=\"#102030\" "
                  "ALINK=\"#AABBCC\" VLINK=\"#DEAD00\" BGPROPERTIES=\"FIXED\" TOPMARGIN=\"0\" LEFTMARGIN=\"-2\">\r\n" +
                  kEnd);
    // The picture dialog started among the program's backgrounds.
    bool browsed = false;
    for (const auto& call : user.Calls)
        if (call.Kind == TScriptedUserInteraction::kOpenFile) {
            browsed = true;
            EXPECT_EQ(call.FileRequest.InitialDir, program.File("images/arrière-plan"));
        }
    EXPECT_TRUE(browsed);
    EXPECT_EQ(user.PendingAnswers(), 0u);
}

TEST_F(NewPageWizard, CancelOnEitherPageOpensNothing) {
    for (bool secondPage : {false, true}) {
        const int before = frame->MDIChildCount();
        EXPECT_EQ(run([&](Tpagewizfrm& wizard) {
                      if (secondPage)
                          Press(wizard, "Button2");
                      Press(wizard, secondPage ? "BitBtn2" : "BitBtn1");
                  }),
                  nullptr);
        EXPECT_EQ(frame->MDIChildCount(), before);
    }
}

} // namespace
