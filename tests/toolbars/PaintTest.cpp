// The classic look, probed pixel by pixel: views draw into a bitmap and the
// tests look at the pixels that tell a state: the checked pattern, the edge
// of a hot button, the highlight of a selected menu line, the embossed text
// of a disabled item, the etched separator and the check mark.

#include "tests/toolbars/ToolbarTestSupport.h"
#include "toolbars/TBPopupWindow.h"

#include "platform/gfx/Bitmap.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

class TPainted {
public:
    TPainted(TTBView* view, TColor background) {
        view->ValidatePositions();
        int width = 1, height = 1;
        for (int i = 0; i < view->ViewerCount(); ++i) {
            width = std::max(width, view->Viewers(i)->BoundsRect.Right);
            height = std::max(height, view->Viewers(i)->BoundsRect.Bottom);
        }
        bitmap_ = std::make_unique<TBitmap>(width, height);
        bitmap_->Canvas().FillRect(Rect(0, 0, width, height), background);
        view->DrawViewers(bitmap_->Canvas());
        bitmap_->Canvas().Release();
    }
    TColor At(int x, int y) { return bitmap_->Canvas().Pixel(x, y); }

    // Pixels of exactly that colour inside r.
    int Count(const TRect& r, TColor color) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += At(x, y) == ColorToRGB(color);
        return n;
    }
    // Pixels lighter than the button face inside r (the highlight of
    // embossed text, smoothed at its edges).
    int Lighter(const TRect& r) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) {
                TColor c = At(x, y);
                n += GetRValue(c) > 0xD8 && GetGValue(c) > 0xD8 && GetBValue(c) > 0xD8;
            }
        return n;
    }
    // Pixels darker than mid-grey inside r (text in the normal colour).
    int Dark(const TRect& r) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) {
                TColor c = At(x, y);
                n += GetRValue(c) < 0x60 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60;
            }
        return n;
    }

private:
    std::unique_ptr<TBitmap> bitmap_;
};

const TColor face = GetSysColor(COLOR_BTNFACE);
const TColor light = GetSysColor(COLOR_BTNHIGHLIGHT);
const TColor shadow = GetSysColor(COLOR_BTNSHADOW);

TEST(Painting, ToolbarButtonsShowCheckedAndHotStates) {
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    TTestBar bar(0, 0);
    auto* checked = new TTBCustomItem;
    checked->SetCaption("Bold");
    checked->SetChecked(true);
    auto* hot = new TTBCustomItem;
    hot->SetCaption("Edit");
    auto* separator = new TTBSeparatorItem;
    auto* plain = new TTBCustomItem;
    plain->SetCaption("Left");
    for (TTBCustomItem* item : {checked, hot, static_cast<TTBCustomItem*>(separator), plain})
        bar.Items.Add(item);
    bar.View->Select(bar.ViewerOf(hot));
    TPainted p(bar.View.get(), clBtnFace);

    // Checked: sunken edge, then the checkerboard inside.
    TRect c = bar.ViewerOf(checked)->BoundsRect;
    EXPECT_EQ(p.At(c.Left, c.Top), shadow);
    EXPECT_EQ(p.At(c.Right - 1, c.Bottom - 1), light);
    TColor first = p.At(c.Left + 2, c.Top + 2), second = p.At(c.Left + 3, c.Top + 2);
    EXPECT_NE(first, second);
    EXPECT_TRUE((first == face && second == light) || (first == light && second == face));
    EXPECT_EQ(p.At(c.Left + 2, c.Top + 3), second);

    // Hot: a raised edge, plain face inside.
    TRect h = bar.ViewerOf(hot)->BoundsRect;
    EXPECT_EQ(p.At(h.Left, h.Top), light);
    EXPECT_EQ(p.At(h.Right - 1, h.Bottom - 1), shadow);
    EXPECT_EQ(p.At(h.Left + 2, h.Top + 2), face);

    // Neither: no edge at all.
    TRect n = bar.ViewerOf(plain)->BoundsRect;
    EXPECT_EQ(p.At(n.Left, n.Top), face);
    EXPECT_EQ(p.At(n.Right - 1, n.Bottom - 1), face);

    // The separator: an etched vertical line in its middle.
    TRect s = bar.ViewerOf(separator)->BoundsRect;
    int x = s.Left + s.Width() / 2 - 1;
    EXPECT_EQ(p.At(x, s.Top + 5), shadow);
    EXPECT_EQ(p.At(x + 1, s.Top + 5), light);
    SetTBSystemSettings(nullptr);
}

TEST(Painting, MenuLinesShowSelectionDisabledTextSeparatorsAndCheckMarks) {
    for (bool flat : {false, true}) {
        TTestSettings settings;
        settings.Flat = flat;
        SetTBSystemSettings(&settings);
        TTBCustomItem menu;
        auto* selected = new TTBCustomItem;
        selected->SetCaption("Open");
        auto* disabled = new TTBCustomItem;
        disabled->SetCaption("Cut");
        disabled->SetEnabled(false);
        auto* separator = new TTBSeparatorItem;
        auto* blank = new TTBSeparatorItem;
        blank->SetBlank(true);
        auto* checked = new TTBCustomItem;
        checked->SetCaption("Wrap");
        checked->SetChecked(true);
        auto* disabledHot = new TTBCustomItem;
        disabledHot->SetCaption("Paste");
        disabledHot->SetEnabled(false);
        for (TTBCustomItem* item : {selected, disabled, static_cast<TTBCustomItem*>(separator), checked,
                                    static_cast<TTBCustomItem*>(blank), disabledHot})
            menu.Add(item);
        std::unique_ptr<TTBPopupWindow> popup(menu.OpenPopupWindow(nullptr, nullptr, false, false, false, {0, 0}, 0));
        TTBView* view = popup->View();
        const TColor highlight = GetSysColor(flat ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT);

        view->Select(view->ViewerOf(selected));
        TPainted p(view, clMenu);
        // Selected: the line is the highlight colour after the image column.
        TRect s = view->ViewerOf(selected)->BoundsRect;
        EXPECT_EQ(p.At(s.Right - 3, s.Top + 2), highlight) << flat;
        EXPECT_GT(p.Count(s, highlight), s.Width() * s.Height() / 2);

        // Disabled and not selected: embossed in shadow and highlight, no
        // dark text.
        TRect d = view->ViewerOf(disabled)->BoundsRect;
        EXPECT_GT(p.Count(d, shadow), 0);
        EXPECT_GT(p.Lighter(d), 0);
        EXPECT_EQ(p.Dark(d), 0);

        // The separator: etched across the middle, short of both ends.
        TRect e = view->ViewerOf(separator)->BoundsRect;
        int y = e.Top + e.Height() / 2 - 1;
        EXPECT_EQ(p.At(e.Left + 12, y), shadow);
        EXPECT_EQ(p.At(e.Left + 12, y + 1), light);
        EXPECT_EQ(p.At(e.Left + 11, y), GetSysColor(COLOR_MENU));
        // A blank one paints nothing but keeps its height.
        TRect b = view->ViewerOf(blank)->BoundsRect;
        EXPECT_GT(b.Height(), 0);
        EXPECT_EQ(p.Count(b, GetSysColor(COLOR_MENU)), b.Width() * b.Height());

        // A checked line without an image: a dark check mark in the image
        // column.
        TRect k = view->ViewerOf(checked)->BoundsRect;
        EXPECT_GT(p.Dark(Rect(k.Left, k.Top, k.Left + k.Height(), k.Bottom)), 4);

        // Disabled and selected: in shadow only, not embossed.
        view->Select(view->ViewerOf(disabledHot));
        TPainted q(view, clMenu);
        TRect h = view->ViewerOf(disabledHot)->BoundsRect;
        EXPECT_GT(q.Count(h, shadow), 0);
        EXPECT_EQ(q.Lighter(h), 0);
        popup.reset();
        SetTBSystemSettings(nullptr);
    }
}

} // namespace

namespace {

// A viewer that inverts whatever lies under it: what it shows tells which
// background it was painted over.
class TInvertingViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    void Paint(TCanvas& canvas, const TRect& clientArea, bool, bool, bool) override { canvas.InvertRect(clientArea); }
};

class TInvertingItem : public TTBCustomItem {
public:
    TTBItemViewerClass ViewerClassFor(TTBView*) override {
        return [](TTBView* view, TTBCustomItem* item) -> TTBItemViewer* { return new TInvertingViewer(view, item); };
    }
};

TColor inverted(TColor color) { return ColorToRGB(color) ^ 0xFFFFFF; }

TEST(Painting, AViewerRepaintedAloneIsDrawnOverTheWindowsBackgroundNotOverWhatWasThere) {
    const TColor background = RGB(0, 0, 200);
    const TColor stale = RGB(10, 200, 10);
    TTestBar bar(0, 0);
    bar.SetColor(background);
    for (int i = 0; i < 6; ++i) {
        auto* item = new TInvertingItem;
        item->SetCaption("Item" + std::to_string(i));
        bar.Items.Add(item);
    }
    std::mt19937 random(116);
    for (int round = 0; round < 20; ++round) {
        bar.View->ValidatePositions();
        std::vector<bool> invalidated;
        for (int i = 0; i < bar.View->ViewerCount(); ++i) {
            invalidated.push_back(random() % 2 == 0);
            if (invalidated.back())
                bar.View->InvalidateViewer(bar.View->Viewers(i));
        }
        TBitmap bitmap(bar.Width(), bar.Height());
        bitmap.Canvas().FillRect(Rect(0, 0, bar.Width(), bar.Height()), stale);
        bar.View->DrawViewers(bitmap.Canvas());
        bitmap.Canvas().Release();
        for (int i = 0; i < bar.View->ViewerCount(); ++i) {
            TTBItemViewer* viewer = bar.View->Viewers(i);
            const TRect& r = viewer->BoundsRect;
            for (TPoint p : {r.TopLeft(), TPoint{r.Right - 1, r.Bottom - 1}, TPoint{(r.Left + r.Right) / 2, r.Top + 1}})
                EXPECT_EQ(bitmap.Canvas().Pixel(p.X, p.Y), inverted(invalidated[i] ? background : stale))
                    << "viewer " << i << " round " << round;
            EXPECT_FALSE(viewer->NeedsOffscreenRepaint);
        }
    }
}

} // namespace
