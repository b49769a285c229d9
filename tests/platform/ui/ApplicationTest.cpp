// The application object and the screen, without windows: the message loop
// with its idle handler, the main form and the order forms are freed in,
// the hint of the control under the pointer, exceptions handed to
// OnException, and the forms, active form and monitors of the screen.

#include "platform/base/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/Screen.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/platform/ui/RecordingControls.h"
#include "tests/support/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class ApplicationTest : public ::testing::Test {
protected:
    void TearDown() override {
        ClearQuitRequest();
        Application().OnIdle = nullptr;
        Application().OnHint = nullptr;
        Application().OnException = nullptr;
        Application().SetMainForm(nullptr);
    }
};

TEST_F(ApplicationTest, RunShowsTheMainFormIdlesAndFreesTheFormsLastMadeFirst) {
    std::vector<std::string> freed;
    auto make = [&](const std::string& name) {
        TForm* form = Application().CreateForm<TForm>();
        form->SetName(name);
        form->OnDestroy = [&freed, form](TPersistent*) { freed.push_back(form->Name()); };
        return form;
    };
    TForm* main = make("main");
    make("second");
    make("third");
    EXPECT_EQ(Application().MainForm(), main) << "the first form made";
    int idles = 0;
    int delivered = 0;
    bool mainShown = false;
    TRecordingWindow pinger;
    pinger.OnMessage = [&](TMessage& message) { delivered += message.Msg == WM_USER ? 1 : 0; };
    std::vector<int> deliveredAtIdle;
    Application().OnIdle = [&](TPersistent*, bool& done) {
        mainShown = main->Visible() && Screen().ActiveForm() == main;
        deliveredAtIdle.push_back(delivered);
        // Not done twice: called again at once, without a message between.
        // Done, the loop waits for the next message, which is posted here.
        done = ++idles % 3 == 0;
        if (done && idles < 6)
            PostMessage(&pinger, WM_USER);
        if (idles == 6)
            main->Close(); // closing the main form ends the program
    };
    Application().Run();
    EXPECT_EQ(idles, 6);
    EXPECT_EQ(deliveredAtIdle, (std::vector<int>{0, 0, 0, 1, 1, 1})) << "idle only when the queue is empty";
    EXPECT_TRUE(mainShown);
    EXPECT_TRUE(Application().Terminated());
    EXPECT_EQ(freed, (std::vector<std::string>{"third", "second", "main"}));
    EXPECT_EQ(Application().MainForm(), nullptr);
    EXPECT_EQ(Screen().FormCount(), 0);
}

// A form with parts of its own, which its OnDestroy handler reads.
class TDocumentForm : public TForm {
public:
    explicit TDocumentForm(std::vector<std::string>& seen) : FileName(std::string(40, 'x') + ".html") {
        OnDestroy = [this, &seen](TPersistent*) { seen.push_back(FileName); };
    }
    std::string FileName;
};

TEST_F(ApplicationTest, AReleasedFormSeesItsOwnPartsInOnDestroy) {
    std::vector<std::string> seen;
    auto* form = new TDocumentForm(seen);
    form->Show();
    form->Release();
    EXPECT_TRUE(seen.empty()) << "freed only once the current message is handled";
    QCoreApplication::processEvents();
    EXPECT_EQ(seen, (std::vector<std::string>{std::string(40, 'x') + ".html"}));
}

TEST_F(ApplicationTest, TheHintIsThatOfTheControlUnderThePointer) {
    TRecordingWindow parent;
    parent.SetHint("Panel|The panel");
    auto* child = new TRecordingWindow;
    child->SetParent(&parent);
    child->SetHint("Save|Saves the document");
    auto* plain = new TRecordingWindow;
    plain->SetParent(&parent);
    plain->SetHint("No bar here");
    std::vector<std::string> told;
    Application().OnHint = [&](TPersistent*) { told.push_back(Application().Hint()); };
    child->Perform(CM_MOUSEENTER);
    child->Perform(CM_MOUSELEAVE);
    plain->Perform(CM_MOUSEENTER);
    plain->Perform(CM_MOUSEENTER); // no change, no notice
    EXPECT_EQ(told, (std::vector<std::string>{"Saves the document", "The panel", "No bar here"}));
    EXPECT_EQ(GetShortHint("Save|Saves"), "Save");
    EXPECT_EQ(GetLongHint("Save|Saves|more"), "Saves|more");
}

TEST_F(ApplicationTest, ExceptionsReachingTheEventLoopGoToOnExceptionOnce) {
    TScriptedUserInteraction ui;
    std::vector<std::string> handled;
    Application().OnException = [&](TPersistent*, const std::string& message) { handled.push_back(message); };
    TRecordingWindow control;
    control.OnMessage = [](TMessage& message) {
        if (message.Msg == WM_USER)
            throw EInvalidOperation("no such page");
    };
    PostMessage(&control, WM_USER);
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, (std::vector<std::string>{"no such page"}));
    EXPECT_TRUE(ui.Exceptions().empty()) << "no error box beside the handler";
    Application().OnException = nullptr;
    PostMessage(&control, WM_USER);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.Exceptions(), (std::vector<std::string>{"no such page"})) << "without a handler: the box";
}

TEST_F(ApplicationTest, TheScreenKnowsTheFormsTheActiveOneAndTheMonitors) {
    int before = Screen().FormCount();
    std::vector<TCustomForm*> changes;
    Screen().OnActiveFormChange = [&](TPersistent*) { changes.push_back(Screen().ActiveForm()); };
    {
        TForm first, second;
        EXPECT_EQ(Screen().FormCount(), before + 2);
        EXPECT_EQ(Screen().Forms(before + 1), &second);
        first.Show();
        second.Show();
        EXPECT_TRUE(second.Active());
        EXPECT_FALSE(first.Active());
        second.Hide();
        EXPECT_EQ(Screen().ActiveForm(), nullptr);
        EXPECT_THROW(second.SetFocus(), EInvalidOperation) << "a hidden form takes no focus";
        first.SetFocus();
        EXPECT_EQ(Screen().ActiveForm(), &first);
    }
    EXPECT_EQ(Screen().FormCount(), before);
    EXPECT_EQ(Screen().ActiveForm(), nullptr) << "a freed form is not active";
    ASSERT_GE(changes.size(), 4u);
    Screen().OnActiveFormChange = nullptr;

    // Every monitor's work area lies inside it; points and rectangles far
    // away find the nearest monitor.
    ASSERT_GE(Screen().MonitorCount(), 1);
    for (int i = 0; i < Screen().MonitorCount(); ++i) {
        TMonitor monitor = Screen().Monitors(i);
        TRect common;
        IntersectRect(common, monitor.BoundsRect, monitor.WorkareaRect);
        EXPECT_EQ(common, monitor.WorkareaRect);
    }
    TMonitor primary = Screen().PrimaryMonitor();
    EXPECT_TRUE(primary.Primary);
    EXPECT_EQ(Screen().MonitorFromPoint({-5000, -5000}).MonitorNum,
              Screen().MonitorFromRect(Rect(-6000, -6000, -5000, -5000)).MonitorNum);
    EXPECT_EQ(Screen().MonitorFromPoint(primary.BoundsRect.TopLeft()).MonitorNum, primary.MonitorNum);
    EXPECT_THROW(Screen().Monitors(Screen().MonitorCount()), EListError);
}

} // namespace
