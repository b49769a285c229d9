// Formatting in the background through the posted message 0x401, driven by
// the event loop and a manual clock (never by waiting on wall-clock time).

#include "editor/CodeMemo.h"
#include "MemoTestSupport.h"
#include "tests/platform/gfx/GuiTestApp.h"

#include "platform/ui/Control.h"

#include <gtest/gtest.h>

namespace {

// A memo whose slices run on the test clock, which the measure moves.
class TClockedMemo : public TCodeMemo {
public:
    TClockedMemo() { Document().SetClock(TTestClock::Read); }
};

class TCountingMemo : public TClockedMemo {
public:
    int Slices = 0;
    void BackgroundFormat(TMessage& message) override {
        ++Slices;
        TCodeMemo::BackgroundFormat(message);
    }
};

class BackgroundFormat : public ::testing::Test {
protected:
    void RunEventLoop(TCodeMemo& memo) {
        for (int i = 0; i < 10000 && memo.BackgroundPending(); ++i)
            ProcessMessages();
    }
};

std::string Paragraphs(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "aaa bbb ccc\r\n";
    return text;
}

}  // namespace

TEST_F(BackgroundFormat, PostedSlicesFormatEverythingBeforeTheWindowExists) {
    TClockedMeasure measure(10, 10);  // 10 ms a use: a slice formats a few paragraphs
    TCountingMemo memo;
    ASSERT_FALSE(memo.HandleAllocated());
    memo.Document().Layout().SetMeasure(&measure, 16 + 40);
    EXPECT_EQ(memo.Progress(), -1);
    LoadText(memo, Paragraphs(60));
    EXPECT_TRUE(memo.BackgroundPending());
    EXPECT_EQ(memo.LineCount(), 61);
    memo.CheckConsistency();
    RunEventLoop(memo);
    EXPECT_FALSE(memo.BackgroundPending());
    EXPECT_EQ(memo.LineCount(), 60 * 3 + 1);
    EXPECT_GT(memo.Slices, 10);
    // Without an OnProgress handler nothing is reported, but a finished
    // pass still reads as complete.
    EXPECT_EQ(memo.Progress(), 100);
    memo.CheckConsistency();
}

TEST_F(BackgroundFormat, EditsBetweenSlicesEndInTheSameLayoutAsAFullFormat) {
    TClockedMeasure measure(10, 10);
    TCountingMemo memo;
    memo.Document().Layout().SetMeasure(&measure, 16 + 40);
    LoadText(memo, Paragraphs(40));
    int progressReports = 0;
    memo.OnProgress = [&](TPersistent*) { ++progressReports; };
    for (int round = 0; round < 5 && memo.BackgroundPending(); ++round) {
        ProcessMessages();
        memo.SetSelStart(memo.ParagraphStart(30 - round * 5));
        memo.SetSelText("xx yy\r\nzz ");
        memo.CheckConsistency();
    }
    RunEventLoop(memo);
    EXPECT_EQ(memo.Progress(), 100);
    EXPECT_GT(progressReports, 0);
    std::vector<int32_t> stops;
    for (int32_t i = 0; i < memo.ParagraphCount(); ++i)
        for (int32_t line = 0; line < memo.Paragraph(i)->LineCount(); ++line)
            stops.push_back(memo.Paragraph(i)->Line(line).Stop);
    int32_t lines = memo.LineCount();
    memo.SetUpdateMode(umImmediate);
    memo.ReformatAll();
    EXPECT_EQ(memo.LineCount(), lines);
    std::vector<int32_t> full;
    for (int32_t i = 0; i < memo.ParagraphCount(); ++i)
        for (int32_t line = 0; line < memo.Paragraph(i)->LineCount(); ++line)
            full.push_back(memo.Paragraph(i)->Line(line).Stop);
    EXPECT_EQ(stops, full);
}

TEST_F(BackgroundFormat, AMemoFreedWithASlicePendingIsNotTouched) {
    TClockedMeasure measure(10, 10);
    {
        TClockedMemo memo;
        memo.Document().Layout().SetMeasure(&measure, 16 + 40);
        LoadText(memo, Paragraphs(50));
        EXPECT_TRUE(memo.BackgroundPending());
    }
    ProcessMessages();
    SUCCEED();
}

TEST_F(BackgroundFormat, UpdatesHoldTheBackgroundPass) {
    TClockedMeasure measure(10, 10);
    TClockedMemo memo;
    memo.Document().Layout().SetMeasure(&measure, 16 + 40);
    LoadText(memo, Paragraphs(20));
    memo.BeginUpdate();
    for (int i = 0; i < 20; ++i)
        ProcessMessages();
    EXPECT_EQ(memo.LineCount(), 21);
    memo.EndUpdate();
    RunEventLoop(memo);
    EXPECT_EQ(memo.LineCount(), 61);
}
