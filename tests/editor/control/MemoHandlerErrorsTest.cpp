// An application's handler that raises while the memo updates its view
// (the error goes to an error box) must not leave the memo half-working:
// later resizes still re-wrap the text and later font changes still
// re-break it.

#include "MemoWindow.h"
#include "tests/support/FakeTextMeasurer.h"

#include <stdexcept>

namespace {

// A handler that raises the first time only.
struct TRaiseOnce {
    bool Armed = true;
    void operator()(TPersistent*) {
        if (Armed) {
            Armed = false;
            throw std::runtime_error("handler failed");
        }
    }
};

} // namespace

class MemoHandlerErrors : public MemoWindow {
protected:
    TScriptedUserInteraction seam; // records the error boxes instead of showing them
};

TEST_F(MemoHandlerErrors, AResizeAfterAFailedOneStillRewraps) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += std::string(30, 'a') + " " + std::string(30, 'b') + "\r\n";
    Load(text);
    memo->SetTopLine(20);
    TRaiseOnce raise;
    memo->OnVScroll = [&](TPersistent* sender) { raise(sender); };
    // The new width scrolls the view back to the top, and the handler raises.
    memo->SetBounds(0, 0, 300, kHeight);
    QApplication::processEvents();
    ASSERT_FALSE(raise.Armed);
    EXPECT_EQ(seam.Exceptions().size(), 1u);
    const int32_t lines = memo->LineCount();
    memo->SetBounds(0, 0, 200, kHeight);
    QApplication::processEvents();
    EXPECT_GT(memo->LineCount(), lines) << "the 30-letter words no longer fit";
    memo->CheckConsistency();
}

TEST_F(MemoHandlerErrors, AFontChangeAfterAFailedScrollBarChangeStillRebreaks) {
    TTextMeasurer& previous = DefaultTextMeasurer();
    TFakeTextMeasurer measurer(kCharWidth, kCellHeight, kAscent);
    SetDefaultTextMeasurer(&measurer);
    Make();
    Load(std::string(30, 'a') + " " + std::string(30, 'b') + " " + std::string(30, 'c'));
    TRaiseOnce raise;
    memo->OnVScroll = [&](TPersistent* sender) { raise(sender); };
    EXPECT_THROW(memo->SetScrollBars(ssVertical), std::runtime_error);
    const int32_t lines = memo->LineCount();
    // Wider characters: the same words need more lines.
    measurer.SetCharWidth(2 * kCharWidth);
    memo->Font().SetHeight(memo->Font().Height() * 2);
    memo->FormatPending();
    EXPECT_GT(memo->LineCount(), lines);
    memo.reset();
    SetDefaultTextMeasurer(&previous);
}
