// Posted messages, timers on the injectable clock, and the exception guard
// with the scripted user-interaction seam.

#include "platform/base/Exceptions.h"
#include "tests/support/ScriptedUserInteraction.h"
#include "platform/ui/TickSource.h"
#include "tests/platform/gfx/GuiTestApp.h"
#include "tests/platform/ui/RecordingControls.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <stdexcept>

namespace {

constexpr unsigned WM_BACKGROUND = WM_USER + 1;

void drain() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

TEST(PostMessage, ArrivesThroughTheEventLoopBeforeAnyWindowExists) {
    TRecordingWindow control;
    ASSERT_FALSE(control.HandleAllocated());
    EXPECT_TRUE(PostMessage(&control, WM_BACKGROUND, 1, 7));
    EXPECT_TRUE(PostMessage(&control, WM_BACKGROUND, 2, 8));
    EXPECT_EQ(countMessages(control.Messages, WM_BACKGROUND), 0) << "posting does not deliver";
    drain();
    ASSERT_EQ(countMessages(control.Messages, WM_BACKGROUND), 2);
    std::vector<TMessage> posted;
    for (const TMessage& m : control.Messages)
        if (m.Msg == WM_BACKGROUND)
            posted.push_back(m);
    EXPECT_EQ(posted[0].WParam, 1u);
    EXPECT_EQ(posted[0].LParam, 7);
    EXPECT_EQ(posted[1].WParam, 2u) << "in the order posted";
    EXPECT_FALSE(PostMessage(nullptr, WM_BACKGROUND));
    EXPECT_EQ(SendMessage(&control, WM_BACKGROUND, 3), 0);
    EXPECT_EQ(countMessages(control.Messages, WM_BACKGROUND), 3) << "sending delivers at once";
}

TEST(PostMessage, IsDroppedWhenTheTargetIsFreedFirst) {
    int delivered = 0;
    auto* control = new TRecordingWindow;
    control->OnMessage = [&](TMessage& m) { delivered += m.Msg == WM_BACKGROUND ? 1 : 0; };
    PostMessage(control, WM_BACKGROUND);
    PostMessage(control, WM_BACKGROUND);
    delete control;
    drain();
    EXPECT_EQ(delivered, 0);
}

TEST(PostMessage, ATargetMayFreeItselfWhileHandlingOne) {
    int delivered = 0;
    auto* control = new TRecordingWindow;
    control->OnMessage = [&](TMessage& m) {
        if (m.Msg != WM_BACKGROUND)
            return;
        ++delivered;
        delete control; // freed from inside its own message
    };
    PostMessage(control, WM_BACKGROUND);
    PostMessage(control, WM_BACKGROUND);
    drain();
    EXPECT_EQ(delivered, 1) << "the second message went with the control";
}

TEST(PostMessage, AHandlerExceptionIsShownAndTheLoopGoesOn) {
    TScriptedUserInteraction seam;
    TRecordingWindow control;
    int handled = 0;
    control.OnMessage = [&](TMessage& m) {
        if (m.Msg != WM_BACKGROUND)
            return;
        ++handled;
        if (m.WParam == 1)
            throw EListError();
        if (m.WParam == 2)
            throw std::runtime_error("disk full");
    };
    PostMessage(&control, WM_BACKGROUND, 1);
    PostMessage(&control, WM_BACKGROUND, 2);
    PostMessage(&control, WM_BACKGROUND, 3);
    drain();
    EXPECT_EQ(handled, 3);
    EXPECT_EQ(seam.Exceptions(), (std::vector<std::string>{"List index out of bounds", "disk full"}));
}

TEST(Timers, FireOnTheInjectedClockOncePerInterval) {
    TManualTickSource clock(5000);
    SetTickSource(&clock);
    EXPECT_EQ(GetTickCount(), 5000u);
    TRecordingWindow control;
    std::vector<std::pair<uintptr_t, uint32_t>> fired;
    control.OnMessage = [&](TMessage& m) {
        if (m.Msg == WM_TIMER)
            fired.emplace_back(m.WParam, GetTickCount());
    };
    SetTimer(&control, 7, 25);
    SetTimer(&control, 9, 40);
    clock.Advance(24);
    EXPECT_TRUE(fired.empty());
    clock.Advance(1);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0], (std::pair<uintptr_t, uint32_t>{7, 5025}));
    clock.Advance(60); // to 5085: 9 at 5040, 7 at 5050, 7 at 5075, 9 at 5080
    ASSERT_EQ(fired.size(), 5u);
    EXPECT_EQ(fired[1], (std::pair<uintptr_t, uint32_t>{9, 5040}));
    EXPECT_EQ(fired[2], (std::pair<uintptr_t, uint32_t>{7, 5050}));
    EXPECT_EQ(fired[3], (std::pair<uintptr_t, uint32_t>{7, 5075}));
    EXPECT_EQ(fired[4], (std::pair<uintptr_t, uint32_t>{9, 5080}));
    EXPECT_EQ(GetTickCount(), 5085u);
    EXPECT_TRUE(KillTimer(&control, 7));
    EXPECT_FALSE(KillTimer(&control, 7));
    SetTimer(&control, 9, 100); // setting again restarts it
    clock.Advance(99);
    EXPECT_EQ(fired.size(), 5u);
    clock.Advance(1);
    EXPECT_EQ(fired.size(), 6u);
    SetTickSource(nullptr);
}

TEST(Timers, GoWithTheirControlAndMayBeKilledByTheirOwnHandler) {
    TManualTickSource clock;
    SetTickSource(&clock);
    int fired = 0;
    {
        TRecordingWindow control;
        control.OnMessage = [&](TMessage& m) {
            if (m.Msg == WM_TIMER) {
                ++fired;
                KillTimer(&control, m.WParam);
            }
        };
        SetTimer(&control, 1, 10);
        clock.Advance(100);
        EXPECT_EQ(fired, 1) << "killed by its first handler";
        SetTimer(&control, 2, 10);
    }
    clock.Advance(100); // the control is gone with its timer
    EXPECT_EQ(fired, 1);
    SetTickSource(nullptr);
}

TEST(Timers, RunOnTheRealClockThroughTheEventLoop) {
    TRecordingWindow control;
    int fired = 0;
    control.OnMessage = [&](TMessage& m) { fired += m.Msg == WM_TIMER ? 1 : 0; };
    uint32_t start = GetTickCount();
    SetTimer(&control, 3, 5);
    while (fired < 2 && GetTickCount() - start < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    KillTimer(&control, 3);
    EXPECT_GE(fired, 2);
}

TEST(ScriptedUserInteraction, AnswersInOrderRecordsCallsAndReportsUnscriptedQuestions) {
    TScriptedUserInteraction seam;
    EXPECT_EQ(&UserInteraction(), &seam);
    seam.AnswerMessage(mrYes);
    seam.AnswerMessage(mrCancel);
    seam.AnswerFiles({"/tmp/a.htm", "/tmp/b.htm"}, 2);
    seam.Cancel(TScriptedUserInteraction::kColor);
    EXPECT_EQ(seam.PendingAnswers(), 4u);
    EXPECT_EQ(UserInteraction().MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel), mrYes);
    EXPECT_EQ(UserInteraction().MessageDlg("Really?", mtWarning, mbYesNoCancel), mrCancel);
    TFileDialogRequest request;
    request.Title = "Open";
    request.MultiSelect = true;
    TFileDialogResult files = UserInteraction().OpenFileDialog(request);
    EXPECT_TRUE(files.Accepted);
    EXPECT_EQ(files.FileNames.size(), 2u);
    EXPECT_EQ(files.FilterIndex, 2);
    TColor color = clRed;
    EXPECT_FALSE(UserInteraction().ChooseColor(color));
    EXPECT_EQ(color, clRed);
    std::vector<std::string> unscripted;
    seam.OnUnscripted = [&](const std::string& question) { unscripted.push_back(question); };
    EXPECT_EQ(UserInteraction().MessageDlg("Overwrite?", mtConfirmation, mbYesNo), mrCancel);
    EXPECT_EQ(unscripted, (std::vector<std::string>{"message box \"Overwrite?\""}));
    EXPECT_TRUE(UserInteraction().StartProgram("firefox", {"file:///tmp/x.htm"}));
    ASSERT_EQ(seam.Calls.size(), 6u);
    EXPECT_EQ(seam.Calls[0].Text, "Save changes?");
    EXPECT_EQ(seam.Calls[0].Type, mtConfirmation);
    EXPECT_EQ(seam.Calls[5].Arguments, (std::vector<std::string>{"file:///tmp/x.htm"}));
    std::string searched;
    UserInteraction().ShowFindDialog({"abc", "", frDown}, [&](const TFindRequest& r) { searched = r.FindText; });
    EXPECT_TRUE(seam.TriggerFind({"next", "", frDown | frFindNext}));
    EXPECT_EQ(searched, "next");
    UserInteraction().CloseFindDialogs();
    EXPECT_FALSE(seam.TriggerFind({}));
}

TEST(ScriptedUserInteraction, GuardedHandlersShowEveryKindOfException) {
    TScriptedUserInteraction seam;
    EXPECT_TRUE(RunGuarded([] {}));
    EXPECT_FALSE(RunGuarded([] { throw EConvertError("'x' is not a valid integer value"); }));
    EXPECT_FALSE(RunGuarded([] { throw std::out_of_range("vector"); }));
    EXPECT_FALSE(RunGuarded([] { throw 42; }));
    EXPECT_EQ(seam.Exceptions(), (std::vector<std::string>{"'x' is not a valid integer value",
                                                           "vector", "Unknown error"}));
}

} // namespace
