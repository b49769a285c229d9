// File names show as they are wherever the main window shows them: in the
// tab strip, the document window's caption, the recent-files menu, the
// project manager and the questions asked about a document.  Captions that
// mark access keys read "&" as a mark, so a name there has it doubled; the
// test reads each place as a user does (a mark taken out, "&&" as "&").

#include "app/EditForm.h"
#include "app/FrameForm.h"
#include "app/MDITab.h"
#include "tests/app/MainWindowTestSupport.h"

#include "editor/CodeMemo.h"
#include "platform/base/QtBridge.h"
#include "platform/gfx/TextDrawing.h"
#include "platform/ui/Application.h"
#include "platform/ui/ListView.h"
#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/widgets/WidgetTestApp.h"
#include "toolbars/TBItem.h"
#include "toolbars/TBMRUList.h"

#include <gtest/gtest.h>

#include <QMdiSubWindow>
#include <QTabBar>

#include <random>

namespace {

class FileNamesShown : public TTellingMainWindowTest {};

// A name of letters, blanks and "&", single or doubled, with at least one.
std::string randomName(std::mt19937& random) {
    static const std::string pieces[] = {"a", "b", "R", "&", "&&", " ", "D", "x"};
    std::string name = random() % 2 ? "&" : "a&";
    for (int i = static_cast<int>(random() % 6); i > 0; --i)
        name += pieces[random() % std::size(pieces)];
    return name + (random() % 2 ? ".html" : "&.htm");
}

// What a caption that marks access keys reads as.
std::string readAsCaption(const QString& text) { return StripAccessKeys(QStringToProgramText(text)); }

} // namespace

TEST_F(FileNamesShown, EveryPlaceShowsTheNameAsItIs) {
    std::mt19937 random(32);
    for (int round = 0; round < 6; ++round) {
        const std::string name = round == 0 ? "a&b.html" : randomName(random);
        SCOPED_TRACE(name);
        TEditForm* document = open(name, "<P>amp</P>");
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(document->Caption(), name);

        // The tab strip.
        QTabBar* bar = nullptr;
        for (QTabBar* row : ClientWidgetOf(frame)->window()->findChildren<QTabBar*>())
            if (ControlOfObject(row) == frame->MDINav)
                bar = row;
        ASSERT_NE(bar, nullptr);
        const int tab = frame->MDINav->IndexOfForm(document);
        ASSERT_GE(tab, 0);
        EXPECT_EQ(readAsCaption(bar->tabText(tab)), name);

        // The document window's own caption, a window title read as it
        // stands.
        QWidget* window = ClientWidgetOf(document);
        while (window != nullptr && qobject_cast<QMdiSubWindow*>(window) == nullptr)
            window = window->parentWidget();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(QStringToProgramText(window->windowTitle()), name);

        // The project manager.
        frame->AddFileToProject(program.File(name));
        bool listed = false;
        for (int i = 0; i < frame->pmListView->Items().Count(); ++i)
            listed |= frame->pmListView->Items().Item(i)->Caption() == name;
        EXPECT_TRUE(listed);

        // The question before a changed document closes.
        document->Editor->SetSelText("x");
        const size_t calls = user.Calls.size();
        user.AnswerMessage(mrNo);
        document->Close();
        Application().ProcessMessages();
        ASSERT_GT(user.Calls.size(), calls);
        EXPECT_NE(user.Calls[calls].Text.find(name), std::string::npos) << user.Calls[calls].Text;

        // The recent-files menu, the closed document first.
        TTBCustomItem* recent = frame->mrulist->Container();
        ASSERT_GT(recent->Count(), 0);
        EXPECT_EQ(StripAccessKeys(recent->ItemAt(0)->Caption()), "1 " + name);
    }
}
