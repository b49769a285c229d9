// The tool window as the user sees it in the running main window: docked
// at the side it runs the dock's length, and on every one of its pages the
// controls tile the page from top to bottom, without gaps or overlaps
// (splitters are thin bars between the panes they size); its four tabs are
// pictures with the pages' names as hints, all in view side by side.

#include "app/FrameForm.h"
#include "tests/app/MainWindowTestSupport.h"

#include "platform/ui/Application.h"
#include "platform/gfx/ImageList.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/PageControls.h"
#include "platform/ui/StatusBar.h"
#include "shell/ShellList.h"
#include "shell/ShellTree.h"
#include "toolbars/TBDock.h"
#include "toolbars/themes/TBKToolbar.h"

#include "platform/widgets/WidgetPeer.h"
#include "tests/platform/widgets/WidgetTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTabBar>

#include <algorithm>
#include <random>
#include <vector>

namespace {

class ToolPaneLayout : public TMainWindowTest {};

TEST_F(ToolPaneLayout, TheToolWindowRunsTheDockAndItsPanesTileEveryPage) {
    frame->SetBounds(0, 0, 1200, 900);
    Application().ProcessMessages();
    EXPECT_EQ(frame->ToolsToolWindow->Top(), 0);
    EXPECT_EQ(frame->ToolsToolWindow->Height(), frame->rightDock->ClientHeight());

    for (int page = 0; page < frame->toolsPgCtl->PageCount(); ++page) {
        frame->toolsPgCtl->SetActivePageIndex(page);
        Application().ProcessMessages();
        TTabSheet* sheet = frame->toolsPgCtl->Pages(page);
        std::vector<TControl*> shown;
        for (int i = 0; i < sheet->ControlCount(); ++i)
            if (sheet->Controls(i)->Visible())
                shown.push_back(sheet->Controls(i));
        ASSERT_FALSE(shown.empty());
        std::sort(shown.begin(), shown.end(), [](TControl* a, TControl* b) { return a->Top() < b->Top(); });
        int y = 0;
        for (TControl* control : shown) {
            SCOPED_TRACE(sheet->Hint() + ": " + control->Name());
            EXPECT_EQ(control->Top(), y);
            EXPECT_EQ(control->Width(), sheet->ClientWidth());
            EXPECT_GT(control->Height(), 0);
            if (dynamic_cast<TSplitter*>(control) != nullptr) {
                EXPECT_LE(control->Height(), 6) << "a splitter is a thin bar";
            }
            y = control->Top() + control->Height();
        }
        EXPECT_EQ(y, sheet->ClientHeight()) << sheet->Hint();
        EXPECT_EQ(dynamic_cast<TSplitter*>(shown.front()), nullptr) << sheet->Hint() << ": nothing above the splitter";
        EXPECT_EQ(dynamic_cast<TSplitter*>(shown.back()), nullptr) << sheet->Hint() << ": nothing below the splitter";
    }
}

TEST_F(ToolPaneLayout, TheFourPagesAreTabsThatFitSideBySideAndNameThemselves) {
    Application().ProcessMessages();
    TPageControl& pages = *frame->toolsPgCtl;
    const std::vector<std::string> names = {"Code Inspector", "File Explorer", "Project Manager",
                                            "Ondrill Quick Codes"};
    ASSERT_EQ(pages.PageCount(), static_cast<int>(names.size()));
    for (int i = 0; i < pages.PageCount(); ++i) {
        EXPECT_EQ(pages.TabHint(i), names[static_cast<size_t>(i)]);
        EXPECT_EQ(pages.Pages(i)->ImageIndex(), i);
    }
    ASSERT_NE(pages.Images(), nullptr);
    EXPECT_EQ(pages.Images()->Count(), pages.PageCount()) << "a picture per tab";
    // All four tabs are seen at once: none is scrolled out of the row.
    QWidget* window = ClientWidgetOf(&pages);
    ASSERT_NE(window, nullptr);
    QTabBar* row = window->findChild<QTabBar*>();
    if (row == nullptr && window->parentWidget() != nullptr)
        row = window->parentWidget()->findChild<QTabBar*>();
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->count(), pages.PageCount());
    int width = 0;
    for (int i = 0; i < row->count(); ++i)
        width += row->tabRect(i).width();
    EXPECT_LE(width, pages.Width());
}

// The file explorer: the folder tree over the file list, each in a framed
// pane of the shell's splitter.  Dragging the bar between them with the
// mouse gives the tree what it takes from the list; a taller window keeps
// the tree's share.
TEST_F(ToolPaneLayout, TheExplorersBarMovesSpaceBetweenTheTreeAndTheList) {
    frame->SetBounds(0, 0, 1200, 900);
    frame->toolsPgCtl->SetActivePageIndex(1);
    Application().ProcessMessages();
    TControl* tree = frame->shTree;
    TControl* list = frame->shList;
    auto* splitter = dynamic_cast<TWinControl*>(tree->Parent()->Parent());
    ASSERT_NE(splitter, nullptr);
    ASSERT_EQ(list->Parent()->Parent(), splitter) << "one splitter holds both panes";
    auto screenRect = [](TControl* control) {
        TPoint corner = control->ClientToScreen({0, 0});
        return Bounds(corner.X, corner.Y, control->Width(), control->Height());
    };
    TRect treeAt = screenRect(tree), listAt = screenRect(list);
    ASSERT_LT(treeAt.Bottom, listAt.Top) << "the tree over the list";
    EXPECT_GT(treeAt.Height(), 60);
    EXPECT_GT(listAt.Height(), treeAt.Height());
    // Framed: the panes' edges lie around the views.
    EXPECT_GT(treeAt.Left, screenRect(tree->Parent()).Left);

    // The bar lies between the panes.
    TPoint bar = splitter->ScreenToClient({(treeAt.Left + treeAt.Right) / 2, (treeAt.Bottom + listAt.Top) / 2});
    auto* window = static_cast<QWidget*>(splitter->Peer()->NativeWidget());
    ASSERT_NE(window, nullptr);
    const int treeHeight = tree->Height(), listHeight = list->Height();
    auto mouse = [&](QEvent::Type type, int dy, Qt::MouseButton button, Qt::MouseButtons held) {
        QPointF at(bar.X, bar.Y + dy);
        QMouseEvent event(type, at, window->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(window, &event);
    };
    mouse(QEvent::MouseButtonPress, 0, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, 90, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, 90, Qt::LeftButton, Qt::NoButton);
    Application().ProcessMessages();
    EXPECT_EQ(tree->Height(), treeHeight + 90);
    EXPECT_EQ(list->Height(), listHeight - 90);

    // A taller main window: the tree keeps its share of the page.
    const double share = double(tree->Height()) / splitter->Height();
    frame->SetBounds(0, 0, 1200, 1100);
    Application().ProcessMessages();
    EXPECT_NEAR(double(tree->Height()) / splitter->Height(), share, 0.02);
}

// The status bar is the window's bottom edge: bars docked at the bottom
// (the tool window among them) stand above it, however many come and go,
// whatever the window's size, and when the status bar is shown again.
TEST_F(ToolPaneLayout, TheStatusBarIsTheBottomEdgeWithTheBottomDockAboveIt) {
    std::mt19937 random(5);
    const char* bars[] = {"fontToolbar", "formatToolbar", "tableToolbar", "linkToolbar", "listToolbar"};
    for (int step = 0; step < 60; ++step) {
        SCOPED_TRACE(step);
        switch (random() % 4) {
        case 0:
            frame->Bar(bars[random() % std::size(bars)])->SetCurrentDock(frame->bottomDock);
            break;
        case 1:
            frame->Bar(bars[random() % std::size(bars)])->SetCurrentDock(frame->maindock);
            break;
        case 2:
            frame->SetBounds(0, 0, 700 + static_cast<int>(random() % 600), 500 + static_cast<int>(random() % 500));
            break;
        default:
            frame->StatusBar1->SetVisible(false);
            Application().ProcessMessages();
            frame->StatusBar1->SetVisible(true);
            break;
        }
        if (step % 10 == 9)
            frame->ToolsToolWindow->SetCurrentDock(step % 20 == 9 ? frame->bottomDock : frame->rightDock);
        Application().ProcessMessages();
        const TControl& status = *frame->StatusBar1;
        EXPECT_EQ(status.Top() + status.Height(), frame->ClientHeight());
        EXPECT_EQ(frame->bottomDock->Top() + frame->bottomDock->Height(), status.Top());
    }
    EXPECT_GT(frame->bottomDock->Height(), 0);
}

} // namespace
