// The menu builder driven as a user drives it: the tree laid out with its
// buttons and item fields, the Setup tab's choices, and OK, which installs
// the menu beside a saved page (the array file as the tree and choices
// say, the script files, the block in front of "</HEAD"); a page never
// saved is saved first or nothing happens, and a missing script file is
// reported with the page left as it was.

#include "tests/app/dialogs/DialogTestFiles.h"
#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/app/dialogs/EditorProbe.h"

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/dialogs/DHTMLMenuDialog.h"
#include "app/dialogs/DHTMLMenuTreeView.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"
#include "platform/ui/UserInteraction.h"

#include <filesystem>

namespace {

constexpr const char* kPage = "<HTML>\r\n<head>\r\n<TITLE>t</TITLE>\r\n</head>\r\n<BODY></BODY>\r\n</HTML>";

class DHTMLMenuDialog : public TDialogTest {
protected:
    void SetUp() override {
        TDialogTest::SetUp();
        CopyMenuScripts(program);
    }
    // Selects node and types into the item fields.
    static void edit(Tdhtmlmenufrm& menu, TTreeNode* node, const std::string& text, const std::string& link = {}) {
        menu.menutv->SetSelected(node);
        menu.itemTextEdit->SetText(text);
        menu.itemLienEdit->SetText(link);
    }
    static TTreeNode* lastTop(Tdhtmlmenufrm& menu) {
        TTreeNode* node = menu.menutv->Items().GetFirstNode();
        while (node->GetNextSibling() != nullptr)
            node = node->GetNextSibling();
        return node;
    }
};

TEST_F(DHTMLMenuDialog, TheTreeLaidOutWithTheButtonsIsInstalledBesideTheSavedPage) {
    TEditForm* document = SavedDocument("site/page.htm");
    SetEditorText(*document, kPage, 7, 0);
    ASSERT_TRUE(RunCommand("dhtmlMenuBtnClick", [&](TCustomForm& form) {
        auto& menu = dynamic_cast<Tdhtmlmenufrm&>(form);
        EXPECT_FALSE(menu.Panel1->Visible());
        TTreeNode* a = menu.menutv->Items().GetFirstNode();
        ASSERT_EQ(a->Text(), "Title");
        edit(menu, a, "A \"quoted\" \\ item");
        EXPECT_TRUE(menu.Panel1->Visible());
        EXPECT_TRUE(menu.ItemWidthSP->Visible());
        Press(menu, "inSEBtn"); // A1 under A
        EXPECT_EQ(menu.SubItemEdit->Text(), "1");
        TTreeNode* a1 = a->GetFirstChild();
        edit(menu, a1, "A1", "a1.htm");
        menu.ItemWidthSP->SetValue(150);
        Press(menu, "inEBtn"); // A2 beside A1
        TTreeNode* a2 = a1->GetNextSibling();
        edit(menu, a2, "A2", "a2.htm");
        // Only a menu's first item gives its width.
        EXPECT_FALSE(menu.ItemWidthSP->Visible());
        EXPECT_FALSE(menu.ItemWidthLabel->Visible());
        menu.menutv->SetSelected(nullptr);
        EXPECT_FALSE(menu.Panel1->Visible());
        Press(menu, "inEBtn"); // B at the top level
        edit(menu, lastTop(menu), "B", "b.htm");
        Press(menu, "inEBtn"); // C beside B, then deleted
        TTreeNode* c = lastTop(menu);
        EXPECT_EQ(c->Text(), "title");
        menu.menutv->SetSelected(c);
        Press(menu, "delEBtn");
        EXPECT_EQ(lastTop(menu)->Text(), "B");
        // The first item stays.
        user.AnswerMessage(mrOk);
        menu.menutv->SetSelected(a);
        Press(menu, "delEBtn");
        EXPECT_EQ(user.Calls.back().Text, "The script need at least one item to work.");
        EXPECT_EQ(menu.menutv->Items().GetFirstNode(), a);
        // Choices of the Setup tab.
        SetControls(menu, {{"horizontalCB", "0"}, {"StartTopSP", "-4"}, {"ComboBox1", "a \"b\""}});
        user.AnswerColor(RGB(0x12, 0x34, 0x56));
        SetControl(menu, "lowbgcolorEdit", "click");
        Press(menu, "okbtn");
    }));

    TMenuLook look{.LowBackground = "123456", .Top = -4, .FontFamily = "a \"b\"", .Horizontal = false};
    const std::vector<TMenuEntry> tree = {
        {.Caption = "A \"quoted\" \\ item",
         .Children = {{.Caption = "A1", .Link = "a1.htm", .Width = 150}, {.Caption = "A2", .Link = "a2.htm"}}},
        {.Caption = "B", .Link = "b.htm"}};
    const std::string site = program.File("site/");
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(site + "newmenu_array.js"), MenuArrayFileText(look, tree));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(site + "mmenu.js"), ShippedFile("scripts/menu/mmenu.js"));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes(site + "arrow.gif"), ShippedFile("scripts/menu/arrow.gif"));
    const std::string page = kPage;
    const size_t head = page.find("</head>");
    EXPECT_EQ(EditorText(*document), page.substr(0, head) + std::string(kMenuScriptBlock) + "\r\n" + page.substr(head));
    // One undo takes the block out again.
    EditorUndo(*document);
    EXPECT_EQ(EditorText(*document), page);
}

TEST_F(DHTMLMenuDialog, APageNeverSavedIsSavedFirstOrNothingIsWritten) {
    TEditForm* document = NewDocument();
    SetEditorText(*document, "<P>no head</P>", 3, 0);
    ASSERT_TRUE(RunCommand("dhtmlMenuBtnClick", [&](TCustomForm& form) {
        user.AnswerMessage(mrNo);
        Press(form, "okbtn");
        EXPECT_TRUE(form.Modal() && form.ModalResult() == 0) << "No keeps the dialog open";
        user.AnswerMessage(mrYes);
        user.Cancel(TScriptedUserInteraction::kSaveFile);
        Press(form, "okbtn");
        EXPECT_TRUE(form.Modal() && form.ModalResult() == 0) << "a cancelled Save As keeps it open";
        EXPECT_EQ(EditorText(*document), "<P>no head</P>");
        // Saved now: the block goes to the start of a page without a HEAD.
        user.AnswerMessage(mrYes);
        user.AnswerSaveFile(program.File("new/page.htm"));
        std::filesystem::create_directories(program.File("new"));
        Press(form, "okbtn");
    }));
    EXPECT_EQ(document->FileName, program.File("new/page.htm"));
    EXPECT_EQ(EditorText(*document), std::string(kMenuScriptBlock) + "\r\n<P>no head</P>");
    EXPECT_TRUE(std::filesystem::exists(program.File("new/mmenu.js")));
    EXPECT_EQ(user.PendingAnswers(), 0u);
}

TEST_F(DHTMLMenuDialog, AMissingScriptFileIsReportedAndThePageKeepsItsText) {
    TEditForm* document = SavedDocument("site/page.htm");
    SetEditorText(*document, kPage, 0, 0);
    std::filesystem::remove(program.File("scripts/menu/mmenu.js"));
    ASSERT_TRUE(RunCommand("dhtmlMenuBtnClick", [&](TCustomForm& form) {
        // As a click reaches the button from its window: an error is shown.
        RunGuarded([&] { Press(form, "okbtn"); });
        EXPECT_TRUE(form.Modal() && form.ModalResult() == 0) << "the dialog stays open";
        PressCancel(form);
    }));
    ASSERT_EQ(user.Exceptions().size(), 1u);
    EXPECT_NE(user.Exceptions()[0].find("mmenu.js"), std::string::npos) << user.Exceptions()[0];
    EXPECT_EQ(EditorText(*document), kPage);
    EXPECT_FALSE(std::filesystem::exists(program.File("site/newmenu_array.js")));
}

// In a folder others write to, a link planted under one of the menu's
// names is refused with a message that says so: nothing is written through
// it or beside it, and the page keeps its text.  Plain files of those names
// holding other bytes (an earlier install's, or the user's own) are
// written anew once the user says Yes to all.
TEST_F(DHTMLMenuDialog, ALinkUnderAMenuFileNameIsRefusedAndPlainFilesAreWrittenAnew) {
    namespace fs = std::filesystem;
    const fs::path site = program.File("site");
    const std::string secret = program.File("victim.txt");
    TTestProgramFolder::WriteFileBytes(secret, "victim");
    TEditForm* document = SavedDocument("site/page.htm");
    SetEditorText(*document, kPage, 0, 0);
    for (const char* name : {"mmenu.js", "newmenu_array.js", "arrow.gif"}) {
        SCOPED_TRACE(name);
        fs::create_symlink(secret, site / name);
        ASSERT_TRUE(RunCommand("dhtmlMenuBtnClick", [&](TCustomForm& form) {
            RunGuarded([&] { Press(form, "okbtn"); });
            EXPECT_TRUE(form.Modal() && form.ModalResult() == 0) << "the dialog stays open";
            PressCancel(form);
        }));
        ASSERT_EQ(user.Exceptions().size(), 1u);
        const std::string message = user.Exceptions()[0];
        EXPECT_NE(message.find((site / name).string()), std::string::npos) << message;
        EXPECT_NE(message.find("symbolic link"), std::string::npos) << message;
        user.Calls.clear();
        EXPECT_EQ(TTestProgramFolder::ReadFileBytes(secret), "victim");
        EXPECT_EQ(fs::read_symlink(site / name), secret);
        EXPECT_EQ(EditorText(*document), kPage);
        for (const char* other : {"mmenu.js", "newmenu_array.js", "arrow.gif"})
            EXPECT_EQ(fs::exists(fs::symlink_status(site / other)), std::string(other) == name) << other;
        fs::remove(site / name);
    }
    // Plain files of the same names, as an earlier install left them.
    for (const char* name : {"mmenu.js", "newmenu_array.js", "arrow.gif"})
        TTestProgramFolder::WriteFileBytes((site / name).string(), "earlier");
    user.AnswerMessage(mrYesToAll);
    ASSERT_TRUE(RunCommand("dhtmlMenuBtnClick", [&](TCustomForm& form) { Press(form, "okbtn"); }));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes((site / "mmenu.js").string()), ShippedFile("scripts/menu/mmenu.js"));
    EXPECT_EQ(TTestProgramFolder::ReadFileBytes((site / "arrow.gif").string()), ShippedFile("scripts/menu/arrow.gif"));
    EXPECT_NE(TTestProgramFolder::ReadFileBytes((site / "newmenu_array.js").string()), "earlier");
    EXPECT_NE(EditorText(*document).find(kMenuScriptBlock), std::string::npos);
    EXPECT_TRUE(user.Exceptions().empty());
}

// Captions are typed as the program's text; the array file speaks the
// page's own encoding, as the page reads its scripts in it.
TEST_F(DHTMLMenuDialog, CaptionsReachTheArrayFileInThePagesOwnEncoding) {
    const std::string caption = "Caf\xC3\xA9 \xE2\x82\xAC \xC4\x81";
    struct TCase {
        const char* Page;
        std::string Written;
    };
    const TCase cases[] = {{"<HTML><HEAD></HEAD>utf-8 \xC3\xA9</HTML>", caption},
                           {"<HTML><HEAD></HEAD>code page \xE9</HTML>", "Caf\xE9 \x80 &#257;"}};
    for (const TCase& test : cases) {
        const std::string file = program.File("enc/page.htm");
        std::filesystem::create_directories(program.File("enc"));
        TTestProgramFolder::WriteFileBytes(file, test.Page);
        frame->OpenDocumentFile(file);
        // The second install's array file replaces the first's once the
        // user agrees.
        if (&test != &cases[0])
            user.AnswerMessage(mrYes);
        ASSERT_TRUE(RunCommand("dhtmlMenuBtnClick", [&](TCustomForm& form) {
            auto& menu = dynamic_cast<Tdhtmlmenufrm&>(form);
            edit(menu, menu.menutv->Items().GetFirstNode(), caption);
            Press(menu, "okbtn");
        }));
        const std::string written = TTestProgramFolder::ReadFileBytes(program.File("enc/newmenu_array.js"));
        EXPECT_NE(written.find("\"" + test.Written + "\",\"\""), std::string::npos) << test.Page;
    }
}

} // namespace
