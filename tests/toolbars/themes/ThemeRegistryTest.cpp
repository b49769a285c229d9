// Selecting themes by name, the order of the change notices, a theme that
// fails to start, and the view-type query.

#include "tests/toolbars/ToolbarTestSupport.h"
#include "toolbars/themes/TBKDefaultTheme.h"
#include "toolbars/themes/TBKNexus.h"
#include "toolbars/themes/TBKOfficeXPTheme.h"
#include "toolbars/themes/TBKTheme.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Restores the start-up state after each test.
class ThemeRegistry : public ::testing::Test {
protected:
    ThemeRegistry() { RestartThemes(); }
    ~ThemeRegistry() override { RestartThemes(); }
};

class TMarkedTheme : public TTBKDefaultTheme {
public:
    int GetIntegerMetric(int id) override { return id == 999 ? 1 : TTBKDefaultTheme::GetIntegerMetric(id); }
};

class TFailingTheme : public TTBKDefaultTheme {
public:
    void UpdateColorScheme() override { throw std::runtime_error("no colours"); }
};

// A control that records the theme messages it is sent, and what the
// current theme was when each arrived.
std::vector<std::string> journal;
class TListener : public TCustomControl {
public:
    explicit TListener(std::string name) : name_(std::move(name)) { AddThemeNotification(this); }
    ~TListener() override { RemoveThemeNotification(this); }
    TTBKViewType Type = 0;

protected:
    void Dispatch(TMessage& message) override {
        if (message.Msg == TBKM_THEMECHANGING || message.Msg == TBKM_THEMECHANGED) {
            journal.push_back(name_ + (message.Msg == TBKM_THEMECHANGING ? " changing " : " changed ") +
                              CurrentThemeName());
            return;
        }
        if (message.Msg == TBKM_GETVIEWTYPE) {
            message.Result = static_cast<LRESULT>(Type);
            return;
        }
        TCustomControl::Dispatch(message);
    }

private:
    std::string name_;
};

TEST_F(ThemeRegistry, NamesIgnoreCaseUnknownNamesFallBackAndLaterRegistrationsWin) {
    EXPECT_EQ(CurrentThemeName(), "Default");
    SelectTheme("officexp");
    EXPECT_EQ(CurrentThemeName(), "OfficeXP");
    EXPECT_NE(dynamic_cast<TTBKOfficeXPTheme*>(&CurrentTheme()), nullptr);
    SelectTheme("Luna");
    EXPECT_EQ(CurrentThemeName(), "Default");
    EXPECT_EQ(CurrentTheme().GetIntegerMetric(66), -1);
    RegisterTheme(&MakeTheme<TMarkedTheme>, "OFFICEXP");
    SelectTheme("OfficeXP");
    EXPECT_EQ(CurrentThemeName(), "OFFICEXP");
    EXPECT_EQ(CurrentTheme().GetIntegerMetric(999), 1);
    // Names are kept to 255 characters.
    RegisterTheme(&MakeTheme<TMarkedTheme>, std::string(300, 'x'));
    SelectTheme(std::string(255, 'X'));
    EXPECT_EQ(CurrentThemeName().size(), 255u);
}

TEST_F(ThemeRegistry, AnEmptyRegistryHasNoTheme) {
    ClearThemes();
    try {
        SelectTheme("Default");
        FAIL() << "selected from nothing";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "No theme found");
    }
}

TEST_F(ThemeRegistry, AThemeThatFailsToStartLeavesTheOldOneInPlace) {
    SelectTheme("OfficeXP");
    TTBKTheme* before = &CurrentTheme();
    RegisterTheme(&MakeTheme<TFailingTheme>, "Broken");
    TListener listener("bar");
    journal.clear();
    EXPECT_THROW(SelectTheme("Broken"), std::runtime_error);
    EXPECT_EQ(&CurrentTheme(), before);
    EXPECT_EQ(CurrentThemeName(), "OfficeXP");
    EXPECT_TRUE(journal.empty());
}

TEST_F(ThemeRegistry, EveryControlHearsOfTheChangeBeforeAnyHearsItIsDone) {
    TListener first("a"), second("b");
    {
        TListener gone("c");
    }
    journal.clear();
    SelectTheme("OfficeXP");
    EXPECT_EQ(journal, (std::vector<std::string>{"a changing OfficeXP", "b changing OfficeXP", "a changed OfficeXP",
                                                 "b changed OfficeXP"}));
    // A display with few colours re-creates the theme (and switches its
    // table); back to true colour restores it.
    journal.clear();
    TBKDisplayChanged(8);
    EXPECT_TRUE(TBKDisplay().LowColor);
    EXPECT_EQ(journal.size(), 4u);
    EXPECT_EQ(dynamic_cast<TTBKOfficeXPTheme&>(CurrentTheme()).Colors()[XPC_POPUP], clWindow);
    TBKDisplayChanged(32);
    EXPECT_FALSE(TBKDisplay().LowColor);
    EXPECT_EQ(ColorToRGB(dynamic_cast<TTBKOfficeXPTheme&>(CurrentTheme()).Colors()[XPC_POPUP]), 0xF6F6F6);
    EXPECT_FALSE(TBKDisplay().UseVisualStyles);
}

TEST_F(ThemeRegistry, ViewTypesComeFromTheWindowsThatShowTheViews) {
    EXPECT_EQ(GetViewType(nullptr), 0u);
    EXPECT_EQ(GetWinViewType(nullptr), 0u);
    TTestBar plain(0, 0);
    EXPECT_EQ(GetViewType(plain.View.get()), 0u);
    TListener themed("t");
    themed.Type = TVT_TOOLBAR | TVT_FLOATING;
    EXPECT_EQ(GetWinViewType(&themed), 0x1801u);
}

TEST(ThemeGeometry, CaptionCloseButtonAndDragHandle) {
    TTBKWindowInfo window;
    window.ClientWidth = 100;
    window.FloatingBorderSize = {3, 3};
    const int caption = TBSystemMetric(SM_CYSMCAPTION) - 1;
    EXPECT_EQ(GetCaptionRect(window, false, false), Rect(0, 0, 100, caption));
    EXPECT_EQ(GetCaptionRect(window, true, true), Rect(3, 3, 103 - caption, 3 + caption));
    TRect close = GetCloseButtonRect(window, true);
    EXPECT_EQ(close.Width(), close.Height());
    EXPECT_EQ(close.Right, 103);

    TTBKToolbarInfo bar;
    EXPECT_EQ(GetDragHandleSize(bar), 0);
    bar.AllowDrag = true;
    const int expected[2][3] = {{9, 0, 6}, {14, 14, 14}};
    for (int close = 0; close < 2; ++close)
        for (uint8_t style = 0; style < 3; ++style) {
            bar.DragHandleStyle = style;
            bar.CloseButtonState = close ? static_cast<uint32_t>(CB_SHOWN) : 0u;
            EXPECT_EQ(GetDragHandleSize(bar), expected[close][style]);
        }
    bar.BorderSize = {2, 2};
    bar.ClientWidth = 20;
    EXPECT_EQ(GetToolbarCloseButtonRect(bar), Rect(2, 2, 15, 15));
    bar.Vertical = true;
    EXPECT_EQ(GetToolbarCloseButtonRect(bar), Rect(9, 2, 22, 15));

    TFont font;
    font.SetSize(8);
    ScaleFontSize(font, tbkfLarger);
    EXPECT_EQ(font.Size(), 9);
    ScaleFontSize(font, tbkfSmaller);
    EXPECT_EQ(font.Size(), 7);
}

} // namespace
