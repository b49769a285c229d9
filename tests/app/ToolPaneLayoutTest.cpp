// The tool window as the user sees it in the running main window: docked
// at the side it runs the dock's length, and on every one of its pages the
// controls tile the page from top to bottom, without gaps or overlaps
// (splitters are thin bars between the panes they size).

#include "app/FrameForm.h"
#include "tests/app/MainWindowTestSupport.h"

#include "platform/ui/Application.h"
#include "platform/ui/ExtControls.h"
#include "platform/ui/PageControls.h"
#include "toolbars/TBDock.h"
#include "toolbars/themes/TBKToolbar.h"

#include <gtest/gtest.h>

#include <algorithm>
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
            SCOPED_TRACE(sheet->Caption() + ": " + control->Name());
            EXPECT_EQ(control->Top(), y);
            EXPECT_EQ(control->Width(), sheet->ClientWidth());
            EXPECT_GT(control->Height(), 0);
            if (dynamic_cast<TSplitter*>(control) != nullptr) {
                EXPECT_LE(control->Height(), 6) << "a splitter is a thin bar";
            }
            y = control->Top() + control->Height();
        }
        EXPECT_EQ(y, sheet->ClientHeight()) << sheet->Caption();
        EXPECT_EQ(dynamic_cast<TSplitter*>(shown.front()), nullptr) << sheet->Caption() << ": nothing above the splitter";
        EXPECT_EQ(dynamic_cast<TSplitter*>(shown.back()), nullptr) << sheet->Caption() << ": nothing below the splitter";
    }
}

} // namespace
