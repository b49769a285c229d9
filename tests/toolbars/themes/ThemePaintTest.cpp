// Both themes painting items, popups, docked and floating toolbar frames
// into bitmaps, probed at the pixels that tell each state apart; the item
// records the viewers hand to a theme; and switching themes while a popup
// is open.

#include "tests/toolbars/themes/ThemeTestSupport.h"
#include "toolbars/themes/TBKDefaultTheme.h"
#include "toolbars/TBPopupAnimation.h"
#include "toolbars/themes/TBKPopupWindow.h"

#include <vector>

namespace {

struct TPopupFixture {
    TTBKSubmenuItem Root;
    std::unique_ptr<TImageList> Images = SolidImages(clRed);
    TTBKItem* Plain = add("&Open");
    TTBKItem* Disabled = add("Disabled");
    TTBKItem* Checked = add("Checked");
    TTBKSeparatorItem* Separator = new TTBKSeparatorItem;
    TTBKItem* Pictured = add("Picture");
    TTBKSubmenuItem* Sub = new TTBKSubmenuItem;
    std::unique_ptr<TTBPopupWindow> Popup;

    TPopupFixture() {
        Disabled->SetEnabled(false);
        Checked->SetChecked(true);
        Root.Insert(3, Separator);
        Pictured->SetImageIndex(0);
        Root.SetSubMenuImages(Images.get());
        Sub->SetCaption("More");
        Root.Add(Sub);
        Popup.reset(TTBKPopupWindow::Make(nullptr, &Root, false));
        Popup->View()->ValidatePositions();
    }
    ~TPopupFixture() {
        Popup.reset();
        Root.Clear();
    }
    TTBKItem* add(const std::string& caption) {
        auto* item = new TTBKItem;
        item->SetCaption(caption);
        Root.Add(item);
        return item;
    }
    TTBItemViewer* ViewerOf(TTBCustomItem* item) { return Popup->View()->ViewerOf(item); }
    // The whole popup as it paints itself.
    std::unique_ptr<TBitmap> Paint() {
        auto bitmap = std::make_unique<TBitmap>(Popup->Width(), Popup->Height());
        Popup->PaintTo(bitmap->Canvas());
        bitmap->Canvas().Release();
        return bitmap;
    }
};

using OfficeXPPaint = ThemedTest;
using DefaultPaint = ThemedTest;

TEST_F(OfficeXPPaint, PopupRowsGutterFrameAndStates) {
    Use("OfficeXP");
    TPopupFixture menu;
    TTBKPopupWindow& popup = static_cast<TTBKPopupWindow&>(*menu.Popup);
    EXPECT_EQ(popup.ViewType(), TVT_POPUPMENU);
    EXPECT_EQ(popup.BorderSize(), (TPoint{1, 2}));
    auto whole = menu.Paint();
    TCanvas& c = whole->Canvas();
    EXPECT_EQ(c.Pixel(0, 0), XP(XPC_POPUPFRAME));
    EXPECT_EQ(c.Pixel(popup.Width() - 1, popup.Height() - 1), XP(XPC_POPUPFRAME));
    EXPECT_EQ(c.Pixel(popup.Width() - 2, 1), XP(XPC_POPUP));
    TRect plain = menu.ViewerOf(menu.Plain)->BoundsRect;
    // The gutter beside every row, the popup colour behind the text.
    EXPECT_EQ(c.Pixel(1 + plain.Left + 2, 2 + plain.Top + 1), XP(XPC_GUTTER));
    EXPECT_EQ(c.Pixel(1 + plain.Right - 3, 2 + plain.Top + 1), XP(XPC_POPUP));

    TTBItemViewer* viewer = menu.ViewerOf(menu.Plain);
    TPaintedViewer hot(viewer, true, false, true, XP(XPC_POPUP));
    EXPECT_EQ(hot.At(1, 0), ColorToRGB(clHighlight));
    EXPECT_EQ(hot.At(hot.Width() - 2, hot.Height() - 1), ColorToRGB(clHighlight));
    EXPECT_EQ(hot.At(hot.Width() / 2, hot.Height() / 2 + 7), XP(XPC_P2));
    EXPECT_EQ(hot.At(0, hot.Height() / 2), XP(XPC_GUTTER));
    // Disabled text in its own grey; none of it in the enabled text colour.
    TPaintedViewer disabled(menu.ViewerOf(menu.Disabled), false, false, true, XP(XPC_POPUP));
    EXPECT_GT(disabled.Count(Rect(0, 0, disabled.Width(), disabled.Height()), XP(XPC_P1 + 1)), 20);
    EXPECT_EQ(disabled.Count(Rect(0, 0, disabled.Width(), disabled.Height()), clBlack), 0);
    // A checked row: its glyph cell framed in the highlight over the
    // checked fill, and a black check mark.
    TPaintedViewer checked(menu.ViewerOf(menu.Checked), false, false, true, XP(XPC_POPUP));
    EXPECT_EQ(checked.At(1, 1), ColorToRGB(clHighlight));
    EXPECT_EQ(checked.At(3, 3), XP(XPC_T2));
    EXPECT_GT(checked.Count(Rect(0, 0, 22, checked.Height()), clBlack), 8);
    // The separator: gutter, then its line from the glyph column on.
    TTBItemViewer* separator = menu.ViewerOf(menu.Separator);
    EXPECT_EQ(separator->BoundsRect.Height(), 3);
    TPaintedViewer line(separator, false, false, true, XP(XPC_POPUP));
    const int gutter = GlyphColumnWidth(separator);
    EXPECT_EQ(line.At(1, 1), XP(XPC_GUTTER));
    EXPECT_EQ(line.At(gutter + 9, 1), XP(XPC_POPUPSEPARATOR));
    EXPECT_EQ(line.At(gutter + 5, 1), XP(XPC_POPUP));
}

TEST_F(OfficeXPPaint, GlyphsBlendWhenIdleStandOutWhenHotAndGreyWhenDisabled) {
    Use("OfficeXP");
    TPopupFixture menu;
    TTBItemViewer* viewer = menu.ViewerOf(menu.Pictured);
    const int row = viewer->BoundsRect.Height();
    const int x = CurrentTheme().GetIntegerMetric(TMI_MENU_LCAPTIONMARGIN) + (row - 16) / 2, y = (row - 16) / 2;
    // Red blended 178/255 toward white: (255 x 178 + 255 x 77) shr 8 = 254,
    // (0 + 255 x 77) shr 8 = 76.
    TPaintedViewer idle(viewer, false, false, true, XP(XPC_POPUP));
    EXPECT_EQ(idle.At(x + 8, y + 8), RGB(254, 76, 76));
    // Hot: the glyph one pixel up-left, its silhouette one down-right.
    TPaintedViewer hot(viewer, true, false, true, XP(XPC_POPUP));
    EXPECT_EQ(hot.At(x - 1, y - 1), clRed);
    EXPECT_EQ(hot.At(x + 16, y + 16), XP(XPC_GLYPHSHADOW));
    menu.Pictured->SetEnabled(false);
    TPaintedViewer disabled(viewer, false, false, true, XP(XPC_POPUP));
    EXPECT_EQ(disabled.At(x + 8, y + 8), XP(XPC_T1 + 1));
}

TEST_F(OfficeXPPaint, ToolbarButtonsByState) {
    Use("OfficeXP");
    TThemedBar bar(TVT_TOOLBAR);
    auto images = SolidImages(clRed);
    auto* button = new TTBKItem;
    button->SetCaption("Bold");
    bar.Items.SetImages(images.get());
    bar.Items.Add(button);
    auto* split = new TTBKSubmenuItem;
    split->SetCaption("Split");
    split->SetDropdownCombo(true);
    split->Add(new TTBKItem);
    bar.Items.Add(split);
    bar.View->ValidatePositions();
    TTBItemViewer* viewer = bar.ViewerOf(button);
    const TColor face = CurrentTheme().GetViewColor(TVT_TOOLBAR);
    EXPECT_EQ(face, 0xC0C0C0);
    TPaintedViewer normal(viewer, false, false, false, face);
    EXPECT_EQ(normal.At(0, 0), 0xC0C0C0);
    TPaintedViewer hot(viewer, true, false, false, face);
    EXPECT_EQ(hot.At(0, 0), ColorToRGB(clHighlight));
    EXPECT_EQ(hot.At(2, 2), XP(XPC_T4));
    TPaintedViewer pushed(viewer, true, true, false, face);
    EXPECT_EQ(pushed.At(2, 2), XP(XPC_T3));
    // Pushed captions are white on the dark pushed fill.
    EXPECT_GT(pushed.Count(Rect(0, 0, pushed.Width(), pushed.Height()), clWhite), 10);
    button->SetChecked(true);
    TPaintedViewer checked(viewer, false, false, false, face);
    EXPECT_EQ(checked.At(2, 2), XP(XPC_T2));
    button->SetChecked(false);
    button->SetEnabled(false);
    TPaintedViewer disabled(viewer, false, false, false, face);
    EXPECT_GT(disabled.Count(Rect(0, 0, disabled.Width(), disabled.Height()), XP(XPC_T1 + 1)), 20);
    // The split button with its arrow part open: both parts in the
    // open-popup look, the arrow drawn in its part.
    TTBItemViewer* splitViewer = bar.ViewerOf(split);
    TPaintedViewer open(splitViewer, true, true, false, face);
    const int arrowPart = CurrentTheme().GetIntegerMetric(TMI_SPLITBTN_ARROWWIDTH);
    EXPECT_EQ(open.At(2, 2), ColorToRGB(clBtnFace));
    EXPECT_EQ(open.At(open.Width() - 1, 0), XP(XPC_POPUPFRAME));
    EXPECT_GT(open.Count(Rect(open.Width() - arrowPart, 0, open.Width(), open.Height()), clBlack), 3);
}

// Records what the viewers ask the theme to paint.
class TRecordingTheme : public TTBKDefaultTheme {
public:
    std::vector<TTBKItemInfo> Buttons;
    std::vector<std::string> Captions;
    void PaintButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) override {
        Buttons.push_back(info);
    }
    void PaintCaption(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, const std::string& caption,
                      unsigned format, bool rotated) override {
        Captions.push_back(caption);
    }
};

TEST_F(DefaultPaint, ViewersDescribeItemsToTheTheme) {
    RegisterTheme(&MakeTheme<TRecordingTheme>, "Recording");
    Use("Recording");
    auto& theme = dynamic_cast<TRecordingTheme&>(CurrentTheme());
    TThemedBar bar(TVT_TOOLBAR);
    auto* split = new TTBKSubmenuItem;
    split->SetCaption("Split");
    split->SetDropdownCombo(true);
    split->SetChecked(true);
    split->Add(new TTBKItem);
    bar.Items.Add(split);
    auto* off = new TTBKItem;
    off->SetCaption("Off");
    off->SetEnabled(false);
    bar.Items.Add(off);
    bar.View->ValidatePositions();
    // Pressed on the arrow (the view holds no press on the main part): the
    // main part is not pushed, the arrow part is, without the check.
    TPaintedViewer(bar.ViewerOf(split), true, true, false, clBtnFace);
    ASSERT_EQ(theme.Buttons.size(), 2u);
    EXPECT_EQ(theme.Buttons[0].Part, IP_SPLITMAIN);
    EXPECT_FALSE(theme.Buttons[0].Pushed);
    EXPECT_TRUE(theme.Buttons[0].Checked);
    EXPECT_EQ(theme.Buttons[1].Part, IP_SPLITDROPDOWN);
    EXPECT_TRUE(theme.Buttons[1].Pushed);
    EXPECT_FALSE(theme.Buttons[1].Checked);
    EXPECT_EQ(theme.Buttons[0].ViewType, TVT_TOOLBAR);
    EXPECT_EQ(theme.Buttons[0].Options, static_cast<uint32_t>(IO_TOOLBARSTYLE | IO_SUBMENU | IO_COMBO));
    EXPECT_EQ(theme.Buttons[0].Hover, 2);
    EXPECT_EQ(theme.Captions, (std::vector<std::string>{"Split"}));
    // A disabled item selected from the keyboard is hover 1; by the mouse 0.
    theme.Buttons.clear();
    TPaintedViewer(bar.ViewerOf(off), true, false, false, clBtnFace);
    EXPECT_EQ(theme.Buttons.at(0).Hover, 1);
    EXPECT_FALSE(theme.Buttons[0].Enabled);
}

TEST_F(DefaultPaint, ClassicEdgesPatternAndHighlight) {
    Use("Default");
    TThemedBar bar(TVT_TOOLBAR);
    auto* button = new TTBKItem;
    button->SetCaption("Go");
    bar.Items.Add(button);
    bar.View->ValidatePositions();
    TTBItemViewer* viewer = bar.ViewerOf(button);
    TPaintedViewer hot(viewer, true, false, false, clBtnFace);
    EXPECT_EQ(hot.At(0, 0), clWhite);
    EXPECT_EQ(hot.At(hot.Width() - 1, hot.Height() - 1), ColorToRGB(clBtnShadow));
    button->SetChecked(true);
    TPaintedViewer checked(viewer, false, false, false, clBtnFace);
    EXPECT_EQ(checked.At(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_NE(checked.At(3, 3), checked.At(4, 3)); // the dither
    EXPECT_TRUE(checked.At(3, 3) == clWhite || checked.At(4, 3) == clWhite);

    TPopupFixture menu;
    EXPECT_EQ(static_cast<TTBKPopupWindow&>(*menu.Popup).BorderSize(), (TPoint{3, 3}));
    auto whole = menu.Paint();
    EXPECT_EQ(whole->Canvas().Pixel(0, 0), ColorToRGB(clBtnShadow)); // flat menus
    TPaintedViewer row(menu.ViewerOf(menu.Plain), true, false, true, clMenu);
    EXPECT_EQ(row.At(row.Width() / 2, 1), ColorToRGB(clHighlight));
    EXPECT_GT(row.Count(Rect(0, 0, row.Width(), row.Height()), clWhite), 10);
}

TEST_F(DefaultPaint, ToolbarButtonsWithAPictureByState) {
    Use("Default");
    TThemedBar bar(TVT_TOOLBAR);
    auto images = SolidImages(clRed);
    bar.Items.SetSubMenuImages(images.get()); // the toolbar's Images
    auto* button = new TTBKItem;
    button->SetImageIndex(0);
    bar.Items.Add(button);
    bar.View->ValidatePositions();
    TTBItemViewer* viewer = bar.ViewerOf(button);
    const TColor face = ColorToRGB(clBtnFace);
    auto whole = [](TPaintedViewer& p) { return Rect(0, 0, p.Width(), p.Height()); };
    // Where the picture's red lands: its top-left corner.
    auto redCorner = [&](TPaintedViewer& p) {
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x)
                if (p.At(x, y) == clRed)
                    return TPoint{x, y};
        return TPoint{-1, -1};
    };
    TPaintedViewer normal(viewer, false, false, false, face);
    EXPECT_EQ(normal.At(0, 0), face); // no edge
    EXPECT_EQ(normal.Count(whole(normal), clRed), 16 * 16);
    TPoint at = redCorner(normal);
    TPaintedViewer hot(viewer, true, false, false, face);
    EXPECT_EQ(hot.At(0, 0), ColorToRGB(clBtnHighlight)); // raised
    EXPECT_EQ(hot.At(hot.Width() - 1, hot.Height() - 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(redCorner(hot), at);
    TPaintedViewer pushed(viewer, true, true, false, face);
    EXPECT_EQ(pushed.At(0, 0), ColorToRGB(clBtnShadow)); // sunken
    EXPECT_EQ(pushed.At(pushed.Width() - 1, pushed.Height() - 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(redCorner(pushed), (TPoint{at.X + 1, at.Y + 1})); // the picture goes in with it
    button->SetChecked(true);
    TPaintedViewer checked(viewer, false, false, false, face);
    EXPECT_EQ(checked.At(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_NE(checked.At(2, 1), checked.At(3, 1)); // the dither around the picture
    EXPECT_EQ(redCorner(checked), (TPoint{at.X + 1, at.Y + 1}));
    button->SetChecked(false);
    button->SetEnabled(false);
    TPaintedViewer disabled(viewer, false, false, false, face);
    EXPECT_EQ(disabled.Count(whole(disabled), clRed), 0); // embossed, not red
    EXPECT_EQ(disabled.At(at.X + 8, at.Y + 8), ColorToRGB(clBtnShadow));
    EXPECT_EQ(disabled.At(at.X + 16, at.Y + 16), ColorToRGB(clBtnHighlight));
}

TEST_F(DefaultPaint, ADisabledSubmenuArrowIsEmbossedUnlessTheKeyboardHighlightsIt) {
    Use("Default");
    const int width = 120, height = 20;
    const int x = width - (TBSystemMetric(SM_CXMENUCHECK) * 2) / 3 - 2, y = height / 2;
    for (uint8_t hover : {0, 1}) {
        SCOPED_TRACE("hover " + std::to_string(hover));
        TTBKItemInfo info;
        info.ViewType = TVT_POPUPMENU;
        info.Options = IO_SUBMENU;
        info.Enabled = false;
        info.Hover = hover;
        TBitmap row(width, height);
        row.Canvas().FillRect(Rect(0, 0, width, height), clMenu);
        CurrentTheme().PaintMenuItem(row.Canvas(), Rect(0, 0, width, height), info);
        row.Canvas().Release();
        // The shadow triangle in place, whatever the highlight.
        EXPECT_EQ(row.Canvas().Pixel(x, y), ColorToRGB(clBtnShadow));
        EXPECT_EQ(row.Canvas().Pixel(x + 1, y), ColorToRGB(clBtnShadow));
        // Its light copy shows below right only when the row is not
        // highlighted.
        EXPECT_EQ(row.Canvas().Pixel(x + 4, y + 1), ColorToRGB(hover == 1 ? clHighlight : clBtnHighlight));
    }
}

TEST_F(OfficeXPPaint, DockedAndFloatingFramesAndTheirCloseButtons) {
    Use("OfficeXP");
    TTBKTheme& theme = CurrentTheme();
    TBitmap bitmap(200, 30);
    TCanvas& c = bitmap.Canvas();
    TTBKToolbarInfo bar;
    bar.ViewType = TVT_TOOLBAR;
    bar.AllowDrag = true;
    bar.BorderSize = {2, 2};
    bar.ClientWidth = 196;
    bar.ClientHeight = 26;
    theme.PaintToolbarNCArea(c, Rect(0, 0, 200, 30), bar);
    c.Release();
    EXPECT_EQ(c.Pixel(0, 0), 0xA4A0A0);
    EXPECT_EQ(c.Pixel(5, 0), 0xA4A0A0);
    EXPECT_EQ(c.Pixel(1, 1), 0xA4A0A0); // rounded inner corner
    EXPECT_EQ(c.Pixel(5, 1), 0xC0C0C0);
    // The dotted grip: a line every second row, three pixels long.
    EXPECT_EQ(c.Pixel(4, 7), 0xA4A0A0);
    EXPECT_EQ(c.Pixel(6, 7), 0xA4A0A0);
    EXPECT_EQ(c.Pixel(4, 8), 0xC0C0C0);
    EXPECT_EQ(c.Pixel(4, 9), 0xA4A0A0);
    // With a close button: a hot one is framed and filled in the hot row.
    bar.CloseButtonState = CB_SHOWN | CB_HOT;
    c.FillRect(Rect(0, 0, 200, 30), clWhite);
    theme.PaintToolbarNCArea(c, Rect(0, 0, 200, 30), bar);
    c.Release();
    EXPECT_EQ(c.Pixel(2, 2), XP(XPC_T4 + 2));
    EXPECT_EQ(c.Pixel(4, 4), XP(XPC_T4));

    TBitmap frame(120, 60);
    TCanvas& f = frame.Canvas();
    TTBKWindowInfo window;
    window.ViewType = TVT_TOOLBAR | TVT_FLOATING;
    window.ClientWidth = 114;
    window.ClientHeight = 54;
    window.FloatingBorderSize = {3, 3};
    window.ShowCaption = true;
    window.Caption = "Edit";
    window.ActiveCaption = true;
    window.CloseButtonState = CB_SHOWN;
    window.RedrawParts = RP_BORDER | RP_CAPTION | RP_CLOSEBUTTON;
    theme.PaintFloatingBorder(f, Rect(0, 0, 120, 60), window);
    f.Release();
    EXPECT_EQ(f.Pixel(0, 0), XP(XPC_ACTIVEBORDER));
    EXPECT_EQ(f.Pixel(3, 2), 0xC0C0C0); // the view-coloured outline
    EXPECT_EQ(f.Pixel(2, 2), XP(XPC_ACTIVEBORDER)); // its cut corner
    EXPECT_EQ(f.Pixel(60, 4), XP(XPC_ACTIVECAPTION));
    EXPECT_EQ(f.Pixel(60, 3 + 15), 0xC0C0C0); // the line under the caption
    EXPECT_GT(f.Pixel(60, 4), 0); // caption fill is not black
    // An inactive frame uses the inactive colours and the disabled close row.
    window.ActiveCaption = false;
    theme.PaintFloatingBorder(f, Rect(0, 0, 120, 60), window);
    f.Release();
    EXPECT_EQ(f.Pixel(0, 0), XP(XPC_INACTIVEBORDER));
    EXPECT_EQ(f.Pixel(40, 4), XP(XPC_INACTIVECAPTION));
}

TEST_F(DefaultPaint, DockedAndFloatingFramesInTheClassicLook) {
    Use("Default");
    TTBKTheme& theme = CurrentTheme();
    TBitmap bitmap(100, 30);
    TCanvas& c = bitmap.Canvas();
    TTBKToolbarInfo bar;
    bar.ViewType = TVT_TOOLBAR;
    bar.AllowDrag = true;
    bar.BorderSize = {2, 2};
    theme.PaintToolbarNCArea(c, Rect(0, 0, 100, 30), bar);
    c.Release();
    // Two raised grip bars: highlight on their left, shadow on their right.
    EXPECT_EQ(c.Pixel(2, 10), clWhite);
    EXPECT_EQ(c.Pixel(4, 10), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c.Pixel(5, 10), clWhite);
    EXPECT_EQ(c.Pixel(7, 10), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c.Pixel(50, 10), ColorToRGB(clBtnFace));

    TBitmap frame(120, 60);
    TCanvas& f = frame.Canvas();
    TTBKWindowInfo window;
    window.ClientWidth = 114;
    window.FloatingBorderSize = {3, 3};
    window.ShowCaption = true;
    window.ActiveCaption = true;
    window.Caption = "Tools";
    window.RedrawParts = RP_BORDER | RP_CAPTION;
    theme.PaintFloatingBorder(f, Rect(0, 0, 120, 60), window);
    f.Release();
    EXPECT_EQ(f.Pixel(1, 1), clWhite);
    EXPECT_EQ(f.Pixel(119, 59), 0);
    EXPECT_EQ(f.Pixel(100, 5), ColorToRGB(clActiveCaption));
}

TEST_F(OfficeXPPaint, SwitchingThemesWhileAPopupIsOpen) {
    Use("OfficeXP");
    TPopupFixture menu;
    menu.Popup->Perform(TBM_ANIMATIONNOTICE, 3);
    auto& popup = static_cast<TTBKPopupWindow&>(*menu.Popup);
    ASSERT_NE(popup.Shadows(), nullptr);
    const int width = popup.Width();
    EXPECT_EQ(menu.Paint()->Canvas().Pixel(0, 0), XP(XPC_POPUPFRAME));
    SelectTheme("Default");
    // The next paint takes the new border and look.
    auto repainted = menu.Paint();
    popup.View()->ValidatePositions();
    EXPECT_EQ(popup.View()->WindowOrigin, (TPoint{3, 3}));
    // The same size a popup opened under the new theme gets.
    std::unique_ptr<TTBPopupWindow> fresh(TTBKPopupWindow::Make(nullptr, &menu.Root, false));
    fresh->View()->ValidatePositions();
    EXPECT_EQ(popup.Width(), fresh->Width());
    EXPECT_EQ(popup.Height(), fresh->Height());
    EXPECT_NE(popup.Width(), width);
    fresh.reset();
    EXPECT_EQ(menu.Paint()->Canvas().Pixel(0, 0), ColorToRGB(clBtnShadow));
    // The old shadows stay until the popup moves; the new theme casts none.
    popup.Show();
    popup.SetBounds(popup.Left() + 10, popup.Top(), popup.Width(), popup.Height());
    EXPECT_EQ(popup.Shadows(), nullptr);
    SelectTheme("OfficeXP");
    menu.Popup->Perform(TBM_ANIMATIONNOTICE, 3);
    ASSERT_NE(popup.Shadows(), nullptr);
    const int stripLeft = popup.Shadows()->Strips()[0]->Left();
    EXPECT_EQ(stripLeft, popup.Left() + popup.Width());
    // Moving a shown popup moves its shadow.
    popup.SetBounds(popup.Left() + 10, popup.Top(), popup.Width(), popup.Height());
    ASSERT_NE(popup.Shadows(), nullptr);
    EXPECT_EQ(popup.Shadows()->Strips()[0]->Left(), stripLeft + 10);
}

TEST_F(OfficeXPPaint, APopupDroppedFromAButtonJoinsItAndItsShadowLeavesItOut) {
    Use("OfficeXP");
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    TThemedBar bar(TVT_TOOLBAR, 100, 50);
    TTBKSubmenuItem* menu = nullptr;
    TTBKPopupWindow* popup = OpenDropdown(bar, menu);
    ASSERT_NE(popup, nullptr);
    const TRect button = [&] {
        TRect r = bar.ViewerOf(menu)->BoundsRect;
        TPoint at = bar.View->ViewToScreen(r.TopLeft());
        return Bounds(at.X, at.Y, r.Width(), r.Height());
    }();
    // The popup's top border lies on the button's bottom row.
    EXPECT_EQ(popup->Top(), button.Bottom - 1);
    EXPECT_EQ(popup->Left(), button.Left);
    EXPECT_EQ(popup->ShadowCutout(), button);
    TTBKPopupInfo info = popup->PopupInfo();
    EXPECT_EQ(info.ParentItemRect, Rect(0, -(button.Height() - 1), button.Width(), 1));
    TBitmap image(popup->Width(), popup->Height());
    popup->PaintTo(image.Canvas());
    image.Canvas().Release();
    // Along the shared edge the border is open (the gutter colour), one
    // pixel in from each end of the button.
    EXPECT_EQ(image.Canvas().Pixel(0, 0), XP(XPC_POPUPFRAME));
    EXPECT_EQ(image.Canvas().Pixel(1, 0), XP(XPC_GUTTER));
    EXPECT_EQ(image.Canvas().Pixel(button.Width() - 2, 0), XP(XPC_GUTTER));
    EXPECT_EQ(image.Canvas().Pixel(button.Width() - 1, 0), XP(XPC_POPUPFRAME));
    EXPECT_EQ(image.Canvas().Pixel(button.Width() + 4, 0), XP(XPC_POPUPFRAME));
    // Its shadow follows the joint outline: the button's right edge, the
    // popup's bottom and right edges.
    popup->Perform(TBM_ANIMATIONNOTICE, 3);
    ASSERT_NE(popup->Shadows(), nullptr);
    EXPECT_EQ(popup->Shadows()->Strips()[0]->Strip().Bounds.Left, button.Right);
    bar.View->CloseChildPopups();
    SetTBSystemSettings(nullptr);
}

} // namespace
