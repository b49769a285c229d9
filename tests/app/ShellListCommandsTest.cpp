// The commands behind the shell lists, on real offscreen windows.  The
// new-document dialog over a templates folder: OK and a double click open a
// template as a new untitled document (twice gives two), nothing chosen
// opens nothing, a folder is entered by a double click and ignored by OK,
// and a template that is gone is reported without leaving a window.  The
// file explorer: a double-clicked file opens in the editor.

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "app/NewDocumentDialog.h"
#include "tests/app/MainWindowTestSupport.h"

#include "platform/ui/Application.h"
#include "platform/ui/ButtonControls.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/Screen.h"
#include "shell/ShellList.h"
#include "shell/ShellRecords.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "toolbars/TBItem.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

using ShellListCommands = TMainWindowTest;

// Runs the New command; once the dialog's list has filled, step acts on
// it.  Answers whether the dialog was still open after the step (it is
// then cancelled).
bool runNewDocumentDialog(Tframeform& frame, const std::function<void(Tnewfrm&)>& step) {
    bool stepped = false, stayedOpen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        Tnewfrm* dialog = nullptr;
        for (int i = 0; i < Screen().FormCount(); ++i)
            if (auto* form = dynamic_cast<Tnewfrm*>(Screen().Forms(i)); form && form->Modal())
                dialog = form;
        if (dialog == nullptr)
            return;
        if (stepped) {
            stayedOpen = true;
            dialog->SetModalResult(mrCancel);
            return;
        }
        dialog->shList->FlushPending();
        if (dialog->shList->Model().Count() == 0 && !fs::is_empty(TemplatesFolder()))
            return;
        stepped = true;
        step(*dialog);
    });
    watch.start(5);
    RunGuarded([&] { frame.Item("FileNewItem")->Click(); });
    Application().ProcessMessages();
    EXPECT_TRUE(stepped) << "the dialog was shown";
    return stayedOpen;
}

// Selects the row of a name in the dialog's list.
void select(Tnewfrm& dialog, const std::string& name) {
    for (int i = 0; i < dialog.shList->Model().Count(); ++i)
        if (TPTShListData* data = dialog.shList->Model().Data(i); data != nullptr && data->GetFileName() == name) {
            dialog.shList->SetItemIndex(i);
            return;
        }
    ADD_FAILURE() << name << " is not listed";
}

} // namespace

TEST_F(ShellListCommands, TheNewDocumentDialogOpensTemplatesAsUntitledDocuments) {
    fs::create_directories(program.File("templates/more"));
    TTestProgramFolder::WriteFileBytes(program.File("templates/page.html"), "<HTML>\r\n<P>template</P>\r\n</HTML>\r\n");
    TTestProgramFolder::WriteFileBytes(program.File("templates/more/deep.html"), "deep");

    // OK with nothing chosen closes the dialog and opens nothing.
    EXPECT_FALSE(runNewDocumentDialog(*frame, [](Tnewfrm& dialog) { dialog.okbtn->Click(); }));
    EXPECT_EQ(frame->MDIChildCount(), 0);

    // OK with a template: an untitled document with its text.
    EXPECT_FALSE(runNewDocumentDialog(*frame, [](Tnewfrm& dialog) {
        select(dialog, "page.html");
        dialog.okbtn->Click();
    }));
    ASSERT_EQ(frame->MDIChildCount(), 1);
    TEditForm* first = frame->ActiveDocument();
    EXPECT_EQ(first->FileName, "Untitled");
    EXPECT_EQ(first->Text().Bytes(), "<HTML>\r\n<P>template</P>\r\n</HTML>\r\n");
    EXPECT_EQ(frame->MDINav->FormCount(), 1);
    EXPECT_FALSE(frame->ItemEnabled("saveBtn"));

    // A double click opens it again, independently, and closes the dialog;
    // the list does not hand the file to another program.
    EXPECT_FALSE(runNewDocumentDialog(*frame, [](Tnewfrm& dialog) {
        select(dialog, "page.html");
        dialog.shList->OpenSelection();
    }));
    ASSERT_EQ(frame->MDIChildCount(), 2);
    EXPECT_NE(frame->ActiveDocument(), first);
    frame->ActiveDocument()->Text().SetText("changed");
    EXPECT_EQ(first->Text().Bytes(), "<HTML>\r\n<P>template</P>\r\n</HTML>\r\n");
    for (const auto& call : user.Calls)
        EXPECT_NE(call.Kind, TScriptedUserInteraction::kOpenDocument);

    // A folder: OK does nothing (the dialog stays), a double click enters it.
    std::string shownFolder;
    EXPECT_TRUE(runNewDocumentDialog(*frame, [&](Tnewfrm& dialog) {
        select(dialog, "more");
        dialog.okbtn->Click();
    }));
    EXPECT_TRUE(runNewDocumentDialog(*frame, [&](Tnewfrm& dialog) {
        select(dialog, "more");
        dialog.shList->OpenSelection();
        shownFolder = dialog.shList->Folder().GetPath();
    }));
    EXPECT_EQ(shownFolder, program.File("templates/more"));
    EXPECT_EQ(frame->MDIChildCount(), 2);

    // A template gone before OK: its error is shown and no window is left.
    EXPECT_FALSE(runNewDocumentDialog(*frame, [&](Tnewfrm& dialog) {
        select(dialog, "page.html");
        fs::remove(program.File("templates/page.html"));
        dialog.okbtn->Click();
    }));
    EXPECT_EQ(frame->MDIChildCount(), 2);
    EXPECT_EQ(frame->MDINav->FormCount(), 2);
    ASSERT_EQ(user.Exceptions().size(), 1u);
    EXPECT_NE(user.Exceptions()[0].find("page.html"), std::string::npos);
}


TEST_F(ShellListCommands, AFileDoubleClickedInTheExplorerOpensInTheEditor) {
    fs::create_directories(program.File("site/sub"));
    TTestProgramFolder::WriteFileBytes(program.File("site/index.html"), "<P>index</P>");
    frame->shList->Folder().SetPath(program.File("site"));
    frame->shList->FlushPending();
    int row = -1;
    for (int i = 0; i < frame->shList->Model().Count(); ++i)
        if (TPTShListData* data = frame->shList->Model().Data(i); data != nullptr && data->GetFileName() == "index.html")
            row = i;
    ASSERT_GE(row, 0);
    frame->shList->SetItemIndex(row);
    frame->shList->OpenSelection();
    Application().ProcessMessages();
    ASSERT_EQ(frame->MDIChildCount(), 1);
    EXPECT_EQ(frame->ActiveDocument()->FileName, program.File("site/index.html"));
    EXPECT_EQ(frame->ActiveDocument()->Text().Bytes(), "<P>index</P>");
    // Handed to no other program.
    for (const auto& call : user.Calls)
        EXPECT_NE(call.Kind, TScriptedUserInteraction::kOpenDocument);
}
