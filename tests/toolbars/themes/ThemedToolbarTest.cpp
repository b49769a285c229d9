// Themed toolbars and tool windows in docks and floating frames: their view
// types, frames and backgrounds painted by the theme, the floating frame's
// close button, and following a theme change.

#include "tests/toolbars/DockTestSupport.h"
#include "tests/toolbars/themes/ThemeTestSupport.h"
#include "toolbars/themes/TBKDefaultTheme.h"
#include "toolbars/themes/TBKToolbar.h"

#include "platform/ui/NonClientMouse.h"
#include "toolbars/TBDockTypes.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

TTBKToolbar* themedToolbar(TDockForm& form, TTBDock* dock, int items) {
    auto* toolbar = new TTBKToolbar(&form.Form);
    toolbar->SetName("Bar" + std::to_string(items));
    toolbar->SetCaption("Formatting");
    for (int i = 0; i < items; ++i) {
        auto* item = new TTBKItem(&form.Form);
        item->SetCaption("B" + std::to_string(i));
        toolbar->Items()->Add(item);
    }
    toolbar->SetParent(dock);
    return toolbar;
}

// A picture of one colour behind a dock.
class TSolidBackground : public TTBBasicBackground {
public:
    void PaintArea(TCanvas& canvas, const TRect& rect, TPoint) override { canvas.FillRect(rect, clLime); }
    void AddChangeHandler(TChangeHandler, const void*) override {}
    void RemoveChangeHandler(const void*) override {}
    void SystemColoursChanged() override {}
    bool PaintsAnything() override { return true; }
};

TColor erasedColour(TControl& control, int x, int y) {
    TBitmap bitmap(std::max(control.Width(), 1), std::max(control.Height(), 1));
    bitmap.Canvas().FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()), clBlack);
    control.Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&bitmap.Canvas()));
    bitmap.Canvas().Release();
    return bitmap.Canvas().Pixel(x, y);
}

using ThemedToolbar = ThemedTest;

TEST_F(ThemedToolbar, DockedBarsAreThemedThroughAndThrough) {
    Use("OfficeXP");
    TDockForm form;
    TTBKToolbar* bar = themedToolbar(form, form.Top, 3);
    EXPECT_EQ(GetWinViewType(bar), TVT_TOOLBAR | TVT_RESIZABLE);
    bar->SetMenuBar(true);
    EXPECT_EQ(GetWinViewType(bar), TVT_MENUBAR | TVT_RESIZABLE);
    bar->SetMenuBar(false);
    EXPECT_NE(dynamic_cast<TTBKItemViewer*>(bar->View()->Viewers(0)), nullptr);
    EXPECT_NE(dynamic_cast<TTBKChevronItem*>(bar->ChevronItem()), nullptr);
    // The frame: grey outline with rounded inner corners and the dotted grip.
    TBitmap frame(bar->Width(), bar->Height());
    frame.Canvas().FillRect(Rect(0, 0, bar->Width(), bar->Height()), clBlack);
    bar->DrawNCArea(frame.Canvas());
    frame.Canvas().Release();
    TCanvas& c = frame.Canvas();
    EXPECT_EQ(c.Pixel(0, 0), 0xA4A0A0);
    EXPECT_EQ(c.Pixel(1, 1), 0xA4A0A0);
    EXPECT_EQ(c.Pixel(2, 1), 0xC0C0C0);
    EXPECT_EQ(c.Pixel(4, 5), 0xA4A0A0);
    EXPECT_EQ(c.Pixel(4, 6), 0xC0C0C0);
    // The client area is not painted by the frame.
    EXPECT_EQ(c.Pixel(bar->Width() / 2, bar->Height() / 2), 0);
    // The background is the theme's toolbar grey, whatever the dock holds.
    TSolidBackground picture;
    form.Top->SetBackground(&picture);
    form.Top->SetBackgroundOnToolbars(true);
    EXPECT_EQ(erasedColour(*bar, 2, 2), 0xC0C0C0);
    // The classic theme lets the dock's picture show on its bars.
    SelectTheme("Default");
    EXPECT_EQ(erasedColour(*bar, 2, 2), clLime);
    form.Top->SetBackground(nullptr);
}

// Records the view types the tool window asks colours for and paints with.
class TColourQueries : public TTBKOfficeXPTheme {
public:
    std::vector<TTBKViewType> Asked, Painted;
    TColor GetViewColor(TTBKViewType type) override {
        Asked.push_back(type);
        return TTBKOfficeXPTheme::GetViewColor(type);
    }
    void PaintBackground(TCanvas& canvas, const TRect& rect, TColor color, TTBKViewType type) override {
        Painted.push_back(type);
        TTBKOfficeXPTheme::PaintBackground(canvas, rect, color, type);
    }
};

TEST_F(ThemedToolbar, FloatingWindowsTakeTheThemesFrame) {
    RegisterTheme(&MakeTheme<TColourQueries>, "Queries");
    Use("Queries");
    TDockForm form;
    auto* tools = new TTBKToolWindow(&form.Form);
    tools->SetName("Tools");
    tools->SetCaption("Tools");
    tools->SetParent(form.Left);
    tools->SetFloating(true);
    EXPECT_EQ(GetWinViewType(tools), TVT_TOOLWINDOW | TVT_FLOATING | TVT_RESIZABLE);
    auto& theme = dynamic_cast<TColourQueries&>(CurrentTheme());
    theme.Asked.clear();
    erasedColour(*tools, 1, 1);
    EXPECT_EQ(theme.Asked, (std::vector<TTBKViewType>{TVT_TOOLWINDOW | TVT_FLOATING}));
    EXPECT_EQ(theme.Painted, (std::vector<TTBKViewType>{TVT_TOOLWINDOW}));

    auto* frame = dynamic_cast<TTBKFloatingWindowParent*>(tools->FloatingFrame());
    ASSERT_NE(frame, nullptr);
    // The flat theme's frame is one pixel thinner than the window system's.
    EXPECT_EQ(frame->BorderSize(), TBSystemMetric(SM_CXSIZEFRAME) - 1);
    TBitmap bitmap(frame->Width(), frame->Height());
    frame->PaintFrameParts(bitmap.Canvas(), fpAll);
    bitmap.Canvas().Release();
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), XP(XPC_ACTIVEBORDER));
    EXPECT_EQ(bitmap.Canvas().Pixel(frame->Width() / 3, frame->BorderSize() + 2), XP(XPC_ACTIVECAPTION));
    // The close button lights up under the mouse and goes dark when it
    // leaves, unless a press on it holds the mouse.
    frame->Perform(WM_NCMOUSEMOVE, kHitCloseButton);
    EXPECT_TRUE(frame->CloseButtonHot());
    EXPECT_EQ(frame->WindowInfo(fpAll).CloseButtonState, static_cast<uint32_t>(CB_SHOWN | CB_HOT));
    SetCaptureControl(frame);
    frame->Perform(WM_NCMOUSELEAVE);
    EXPECT_TRUE(frame->CloseButtonHot());
    SetCaptureControl(nullptr);
    frame->Perform(WM_NCMOUSELEAVE);
    EXPECT_FALSE(frame->CloseButtonHot());
    frame->Perform(WM_NCMOUSEMOVE, kHitCaption);
    EXPECT_FALSE(frame->CloseButtonHot());

    // Another theme: the frame takes the new border and the window keeps
    // its client size.
    const int clientWidth = tools->ClientWidth();
    SelectTheme("Default");
    EXPECT_EQ(frame->BorderSize(), TBSystemMetric(SM_CXSIZEFRAME));
    EXPECT_EQ(frame->Width(), tools->Width() + 2 * frame->BorderSize());
    EXPECT_EQ(tools->ClientWidth(), clientWidth);
}

// The sizes of one docked and one floating bar (images, a split button,
// a wrap width) made on a form under the current theme.
struct TBarSizes {
    TSize Docked, Floating, FloatingFrame;
    friend bool operator==(const TBarSizes&, const TBarSizes&) = default;
};

struct TTwoBars {
    TDockForm Form;
    std::unique_ptr<TImageList> Images = SolidImages(clRed);
    TTBKToolbar* Docked = make("Docked");
    TTBKToolbar* Floating = make("Floating");
    TTwoBars() {
        Floating->SetFloating(true);
        // Two buttons to a line whatever the theme's margins.
        Floating->SetFloatingRightX(60);
    }
    TTBKToolbar* make(const std::string& name) {
        auto* bar = new TTBKToolbar(&Form.Form);
        bar->SetName(name);
        bar->SetImages(Images.get());
        for (int i = 0; i < 4; ++i) {
            auto* item = new TTBKItem(&Form.Form);
            item->SetImageIndex(0);
            bar->Items()->Add(item);
        }
        auto* split = new TTBKSubmenuItem(&Form.Form);
        split->SetCaption("Split");
        split->SetDropdownCombo(true);
        bar->Items()->Add(split);
        bar->SetParent(Form.Top);
        return bar;
    }
    TBarSizes Sizes() const {
        TTBFloatingWindowParent* frame = Floating->FloatingFrame();
        return {{Docked->Width(), Docked->Height()},
                {Floating->Width(), Floating->Height()},
                {frame->Width(), frame->Height()}};
    }
};

TEST_F(ThemedToolbar, BarsLaidOutBeforeAThemeChangeTakeItsMetricsAsNewOnesDo) {
    // Margins, split-button widths and frames differ between the themes:
    // bars made under one theme and switched to another measure as bars
    // made under the other one (the program loads its bars' places
    // before it selects its theme).
    for (auto [from, to] : {std::pair{"Default", "OfficeXP"}, std::pair{"OfficeXP", "Default"}}) {
        Use(to);
        TBarSizes expected = TTwoBars().Sizes();
        Use(from);
        TTwoBars bars;
        ASSERT_NE(bars.Sizes(), expected) << from << " and " << to << " measure alike: nothing is tested";
        SelectTheme(to);
        EXPECT_EQ(bars.Sizes(), expected) << from << " to " << to;
    }
}

TEST_F(ThemedToolbar, FloatingToolbarMarginsAndDefaultFrames) {
    Use("Default");
    TDockForm form;
    TTBKToolbar* bar = themedToolbar(form, form.Top, 2);
    TRect margins;
    bar->View()->GetMargins(tbvoFloating, margins);
    EXPECT_EQ(margins, Rect(4, 4, 2, 1));
    bar->View()->GetMargins(tbvoHorizontal, margins);
    EXPECT_EQ(margins, TRect{});
    // The classic docked frame: a raised edge and the double grip.
    TBitmap frame(bar->Width(), bar->Height());
    bar->DrawNCArea(frame.Canvas());
    frame.Canvas().Release();
    EXPECT_EQ(frame.Canvas().Pixel(0, 0), clWhite);
    EXPECT_EQ(frame.Canvas().Pixel(bar->Width() - 1, bar->Height() - 1), ColorToRGB(clBtnShadow));
    bar->SetFloating(true);
    EXPECT_TRUE(GetWinViewType(bar) & TVT_FLOATING);
    EXPECT_EQ(bar->FloatingFrame()->BorderSize(), TBSystemMetric(SM_CXSIZEFRAME));
}

} // namespace
