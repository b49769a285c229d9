// The layout controls without windows: every frame style drawn on a bitmap
// stays between its outer rectangle and the inner one it reports, with its
// lit and shaded sides where they belong; the splitter's position against
// a clamp model on random sizes, its proportional resizing, its pane names
// and its drags, live and with the hatched bar.

#include "platform/gfx/Bitmap.h"
#include "shell/PTSplitter.h"
#include "tests/shell/ShellTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor kSentinel = 0x00FF00FF;

TColor rgb(TColor color) { return ColorToRGB(color); }

struct TSplitterRig {
    TComponent owner;
    TPTSplitter* splitter = new TPTSplitter(&owner);
    TPTPane* panes[2];
    std::vector<std::string> events;
    explicit TSplitterRig(TPTSplitterStyle style = ptstHorizontal, int width = 300, int height = 400) {
        splitter->SetStyle(style);
        splitter->SetBounds(0, 0, width, height);
        for (int i = 0; i < 2; ++i) {
            panes[i] = new TPTPane(&owner);
            panes[i]->Index = i;
            panes[i]->SetParent(splitter);
        }
        splitter->Loaded();
        splitter->OnChange = [this](TPersistent*) { events.push_back("change " + std::to_string(splitter->Position())); };
        splitter->OnSplitterDrag = [this](TPersistent*, int at) { events.push_back("drag " + std::to_string(at)); };
        splitter->OnSplitterDrop = [this](TPersistent*, int at) { events.push_back("drop " + std::to_string(at)); };
    }
    void mouse(unsigned msg, int x, int y) {
        splitter->Perform(msg, msg == WM_LBUTTONUP ? 0u : unsigned{MK_LBUTTON}, PointToLParam({x, y}));
    }
};

} // namespace

TEST(ShellLayoutTest, FramesStayBetweenTheirOuterAndInnerRectangles) {
    MakeShellTestApplication();
    std::mt19937 random(3);
    for (int round = 0; round < 60; ++round) {
        auto style = static_cast<TPTFrameStyle>(round % 11);
        TBitmap bitmap(80, 80);
        TCanvas& canvas = bitmap.Canvas();
        canvas.FillRect(Rect(0, 0, 80, 80), kSentinel);
        int left = static_cast<int>(random() % 20), top = static_cast<int>(random() % 20);
        TRect rect = Rect(left, top, left + 12 + static_cast<int>(random() % 45), top + 12 + static_cast<int>(random() % 45));
        std::string caption = style == ptfsGroup && random() % 2 ? "Group" : "";
        int captionHeight = PTFrameCaptionHeight(canvas, caption);
        PTDrawFrame(canvas, style, rect, caption, true, clNone);
        TRect inner = PTFrameInnerRect(style, rect, captionHeight);
        int painted = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 80; ++x) {
                bool changed = canvas.Pixel(x, y) != kSentinel;
                if (!rect.Contains({x, y}) || inner.Contains({x, y})) {
                    ASSERT_FALSE(changed) << "style " << style << " pixel " << x << "," << y;
                }
                painted += changed;
            }
        EXPECT_EQ(painted == 0, style == ptfsNone) << "style " << style;
        int r = rect.Right - 1, b = rect.Bottom - 1;
        if (style == ptfsLowered || style == ptfsDint) {
            EXPECT_EQ(canvas.Pixel(rect.Left, rect.Top), rgb(clBtnShadow));
            EXPECT_EQ(canvas.Pixel(r, b), rgb(clBtnHighlight));
        }
        if (style == ptfsRaised || style == ptfsBump) {
            EXPECT_EQ(canvas.Pixel(rect.Left, rect.Top), rgb(clBtnHighlight));
            EXPECT_EQ(canvas.Pixel(r, b), rgb(style == ptfsRaised ? cl3DDkShadow : clBtnShadow));
        }
        if (style == ptfsHorzLine || style == ptfsHorzEdge) {
            EXPECT_EQ(canvas.Pixel(r, rect.Top), rgb(clBtnShadow));
            EXPECT_EQ(canvas.Pixel(rect.Left, rect.Top + 1), rgb(clBtnHighlight));
        }
        if (style == ptfsGroup) { // the etched line: shadow above highlight
            EXPECT_EQ(canvas.Pixel(rect.Left, b - 1), rgb(clBtnShadow));
            EXPECT_EQ(canvas.Pixel(rect.Left + 1, b), rgb(clBtnHighlight));
        }
    }
    // A group box's top border is its caption's height, 2 without caption.
    TCanvas measuring;
    TRect box = Rect(0, 0, 100, 60);
    EXPECT_EQ(PTFrameInnerRect(ptfsGroup, box, PTFrameCaptionHeight(measuring, "")).Top, 2);
    EXPECT_EQ(PTFrameInnerRect(ptfsGroup, box, PTFrameCaptionHeight(measuring, "Caption")).Top,
              measuring.TextHeight("0"));
}

TEST(ShellLayoutTest, PositionIsClampedByBothPanesTheFirstWinning) {
    std::mt19937 random(8);
    for (int round = 0; round < 500; ++round) {
        TSplitterRig rig(round % 2 ? ptstVertical : ptstHorizontal, 50 + static_cast<int>(random() % 300),
                         50 + static_cast<int>(random() % 300));
        TPTSplitter& s = *rig.splitter;
        s.SetPaneMinSize(0, static_cast<int>(random() % 150));
        s.SetPaneMinSize(1, static_cast<int>(random() % 150));
        int size = s.Style() == ptstHorizontal ? s.Height() : s.Width();
        int before = s.Position();
        int wanted = static_cast<int>(random() % 500) - 100;
        rig.events.clear();
        s.SetPosition(wanted);
        int expected = std::max(s.PaneMinSize(0), std::min(wanted, size - s.PaneMinSize(1)));
        ASSERT_EQ(s.Position(), expected) << "round " << round;
        EXPECT_EQ(rig.events.size(), expected != before ? 1u : 0u);
        // The panes lie on either side of the bar.
        TRect first = rig.panes[0]->BoundsRect(), second = rig.panes[1]->BoundsRect();
        if (s.Style() == ptstHorizontal) {
            EXPECT_EQ(first.Bottom, expected);
            EXPECT_EQ(second.Top, expected + s.SplitterWidth());
            EXPECT_EQ(second.Bottom, std::max(s.Height(), second.Top)); // squeezed when the minimums cross
        } else {
            EXPECT_EQ(first.Right, expected);
            EXPECT_EQ(second.Left, expected + s.SplitterWidth());
            EXPECT_EQ(second.Right, std::max(s.Width(), second.Left));
        }
    }
}

TEST(ShellLayoutTest, ResizingKeepsTheProportionAndNamesFollowTheSplitter) {
    TSplitterRig rig(ptstHorizontal, 300, 400);
    rig.splitter->SetPosition(124);
    int resizes = 0;
    rig.splitter->OnResize = [&](TPersistent*) { ++resizes; };
    rig.splitter->SetBounds(0, 0, 300, 800);
    EXPECT_EQ(rig.splitter->Position(), 248);
    EXPECT_FLOAT_EQ(rig.splitter->Ratio(), 0.31f);
    EXPECT_EQ(resizes, 1);
    EXPECT_EQ(rig.panes[1]->Height(), 800 - 248 - rig.splitter->SplitterWidth());

    TSplitterRig fixed(ptstHorizontal, 300, 400);
    fixed.splitter->Proportional = false;
    fixed.splitter->SetPosition(124);
    fixed.splitter->SetBounds(0, 0, 300, 800);
    EXPECT_EQ(fixed.splitter->Position(), 124);

    rig.splitter->SetName("shSplitter");
    EXPECT_EQ(rig.panes[0]->Name(), "shSplitter_pane1");
    EXPECT_EQ(rig.panes[1]->Name(), "shSplitter_pane2");
    rig.splitter->SetName("other");
    EXPECT_EQ(rig.panes[0]->Name(), "other_pane1");
    EXPECT_EQ(rig.panes[1]->Name(), "other_pane2");
}

TEST(ShellLayoutTest, DragsCommitOnReleaseOrFollowLive) {
    for (TPTFullDragMode mode : {ptfdOff, ptfdOn}) {
        TSplitterRig rig(ptstVertical, 400, 200);
        TPTSplitter& s = *rig.splitter;
        s.FullDragMode = mode;
        s.SetPosition(100);
        rig.events.clear();
        // Grabbed one pixel into the bar (offset 1), moved, released.
        rig.mouse(WM_LBUTTONDOWN, 101, 50);
        EXPECT_TRUE(s.Dragging());
        EXPECT_EQ(s.HatchedBarShown(), mode == ptfdOff);
        rig.mouse(WM_MOUSEMOVE, 150, 60);
        rig.mouse(WM_MOUSEMOVE, 390, 60); // beyond the second pane's minimum
        EXPECT_EQ(s.BarCoordinate(), 400 - 20 + 1);
        EXPECT_EQ(s.Position(), mode == ptfdOff ? 100 : 380);
        rig.mouse(WM_LBUTTONUP, 200, 60);
        EXPECT_FALSE(s.Dragging());
        EXPECT_FALSE(s.HatchedBarShown());
        EXPECT_EQ(s.Position(), 199);
        EXPECT_EQ(rig.panes[0]->Width(), 199);
        std::vector<std::string> expected;
        if (mode == ptfdOff)
            expected = {"drag 101", "drag 150", "drag 381", "drag 200", "drag -1", "drop 199", "change 199"};
        else
            expected = {"drag 101", "change 149", "drag 150", "change 380", "drag 381",
                        "change 199", "drag 200", "drag -1", "drop 199"};
        EXPECT_EQ(rig.events, expected) << "mode " << mode;
        EXPECT_FLOAT_EQ(s.Ratio(), 199.0f / 400.0f);
    }
    // Losing the capture ends a drag without dropping.
    TSplitterRig rig(ptstVertical, 400, 200);
    rig.splitter->FullDragMode = ptfdOff;
    int before = rig.splitter->Position();
    rig.mouse(WM_LBUTTONDOWN, before + 1, 50);
    rig.mouse(WM_MOUSEMOVE, before + 50, 50);
    rig.events.clear();
    ReleaseCapture();
    EXPECT_FALSE(rig.splitter->Dragging());
    EXPECT_FALSE(rig.splitter->HatchedBarShown());
    EXPECT_EQ(rig.events, (std::vector<std::string>{"drag -1"}));
    EXPECT_EQ(rig.splitter->Position(), before);
}
