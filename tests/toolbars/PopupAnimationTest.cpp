// The show animation on a manual clock: a drop-down slides down in steps,
// ends fully shown and says so; it is skipped for popups opened from the
// keyboard, right after another one closed, or placed over their opener;
// the mouse arriving in it completes it.

#include "tests/toolbars/ToolbarTestSupport.h"
#include "toolbars/TBPopupAnimation.h"
#include "toolbars/TBPopupWindow.h"

#include <gtest/gtest.h>

namespace {

// Records the animation notices a popup gets.
class TNoticedPopup : public TTBPopupWindow {
public:
    static std::vector<WPARAM>& Notices() {
        static std::vector<WPARAM> notices;
        return notices;
    }
    static TTBPopupWindow* Make(TTBView* parentView, TTBCustomItem* item, bool customizing) {
        auto* window = new TNoticedPopup();
        window->Init(parentView, item, customizing);
        return window;
    }

protected:
    void Dispatch(TMessage& message) override {
        if (message.Msg == TBM_ANIMATIONNOTICE && message.WParam != 1)
            Notices().push_back(message.WParam);
        TTBPopupWindow::Dispatch(message);
    }
};

class TNoticedMenu : public TTBCustomItem {
public:
    TNoticedMenu() { ItemStyle |= isSubmenu; }
    TTBPopupWindowClass PopupWindowClass() override { return &TNoticedPopup::Make; }
};

struct TAnimationFixture : TLoopFixture {
    TTestBar Bar{100, 50};
    TNoticedMenu* File = new TNoticedMenu;
    TAnimationFixture() {
        Settings.Animation = true;
        File->SetCaption("&File");
        for (const char* caption : {"&Open", "&Save", "Save &as"}) {
            auto* item = new TTBCustomItem;
            item->SetCaption(caption);
            File->Add(item);
        }
        Bar.Items.Add(File);
        TNoticedPopup::Notices().clear();
    }
    TTBPopupWindow* Popup() { return Bar.View->OpenViewerWindow(); }
    // The press on File that starts the loop, released over File: the menu
    // stays open and the keys work.
    void PressOnFile() {
        Driver.Steps.push_front([this](TTBModalMachine& loop) {
            TTBInputEvent release;
            release.Kind = tbikButtonUp;
            release.Screen = Bar.CentreOf(File);
            loop.HandleEvent(release);
        });
        TPoint at = Bar.CentreOf(File);
        SetTBCursorPos(at);
        Bar.View->MouseMoved(at, true);
    }
};

TEST(PopupAnimation, ADropDownSlidesDownInStepsAndEndsFullyShown) {
    TAnimationFixture f;
    int width = 0, height = 0;
    f.Driver.Do([&] {
        ASSERT_TRUE(PopupAnimating(f.Popup()));
        EXPECT_TRUE(f.Popup()->Visible());
        width = f.Popup()->Width();
        height = f.Popup()->Height();
        // Only the first line shows yet.
        EXPECT_EQ(f.Popup()->WindowRegion(), std::vector<TRect>{Rect(0, 0, width, 1)});
    });
    f.Wait(75);
    f.Driver.Do([&] {
        // At 70 ms: 255 x 70 / 150 = 119, taken down to a step of 16: 112.
        EXPECT_EQ(f.Popup()->WindowRegion(), std::vector<TRect>{Rect(0, 0, width, MulDiv(height, 112, 255))});
    });
    f.Wait(80);
    f.Driver.Do([&] {
        EXPECT_FALSE(PopupAnimating(f.Popup()));
        EXPECT_TRUE(f.Popup()->WindowRegion().empty());
    });
    // The end is posted, and the popup's notice after it.
    f.Driver.Do([] {
        ProcessMessages();
        ProcessMessages();
    });
    f.Driver.Key(VK_ESCAPE);
    f.Driver.Key(VK_ESCAPE);
    f.PressOnFile();
    TrackMenu(f.Bar.View.get(), tbtmStartedByMouse);
    EXPECT_FALSE(f.Driver.RanOut);
    EXPECT_EQ(TNoticedPopup::Notices(), std::vector<WPARAM>{2});
}

TEST(PopupAnimation, KeyboardMenusAndMenusRightAfterAnotherOneShowAtOnce) {
    TAnimationFixture f;
    auto* edit = new TNoticedMenu;
    edit->SetCaption("&Edit");
    edit->Add(new TTBCustomItem);
    f.Bar.Items.Add(edit);
    // From the keyboard, with the first item selected.
    f.Driver.Do([&] { EXPECT_FALSE(PopupAnimating(f.Popup())); });
    // Moving to the next menu right after this one closed.
    f.Driver.Key(VK_RIGHT);
    f.Driver.Do([&] {
        ASSERT_NE(f.Popup(), nullptr);
        EXPECT_FALSE(PopupAnimating(f.Popup()));
    });
    f.Driver.Do([] { ProcessMessages(); });
    f.Driver.Key(VK_ESCAPE);
    f.Driver.Key(VK_ESCAPE);
    f.Bar.View->Select(f.Bar.ViewerOf(f.File));
    TrackMenu(f.Bar.View.get(), tbtmMenuMode | tbtmSelectFirst);
    // The first one was gone before its notice arrived.
    EXPECT_EQ(TNoticedPopup::Notices(), std::vector<WPARAM>{3});
}

TEST(PopupAnimation, TheMouseArrivingInThePopupCompletesTheSlide) {
    TAnimationFixture f;
    f.Wait(20);
    f.Driver.Move([&] {
        TRect r = TBWindowScreenRect(f.Popup());
        return TPoint{r.Left + 10, r.Top + 10};
    });
    f.Wait(10);
    f.Driver.Do([&] {
        EXPECT_FALSE(PopupAnimating(f.Popup()));
        EXPECT_TRUE(f.Popup()->WindowRegion().empty());
    });
    f.Driver.Key(VK_ESCAPE);
    f.Driver.Key(VK_ESCAPE);
    f.PressOnFile();
    TrackMenu(f.Bar.View.get(), tbtmStartedByMouse);
    EXPECT_FALSE(f.Driver.RanOut);
}

TEST(PopupAnimation, APopupPlacedOverItsOpenerHasNoDirectionAndShowsAtOnce) {
    TAnimationFixture f;
    for (int i = 0; i < 3; ++i)
        f.File->ItemAt(i)->SetCaption(std::string(30, 'w'));
    // A monitor narrower than the popup and too low for it: it ends over
    // the bar item, coming from no side.
    f.Bar.View->MonitorRect = Rect(0, 0, 200, 80);
    f.Driver.Do([&] {
        EXPECT_EQ(f.Popup()->AnimationDirection, 0);
        EXPECT_FALSE(PopupAnimating(f.Popup()));
    });
    f.Driver.Key(VK_ESCAPE);
    f.Driver.Key(VK_ESCAPE);
    f.PressOnFile();
    TrackMenu(f.Bar.View.get(), tbtmStartedByMouse);
    EXPECT_FALSE(f.Driver.RanOut);
}

TEST(PopupAnimation, WhereWindowsCanBeTranslucentAMenuFadesInElseItSlides) {
    for (bool translucent : {true, false}) {
        TAnimationFixture f;
        f.Settings.Fade = true;
        f.Settings.Translucent = translucent;
        f.Driver.Do([&] {
            ASSERT_TRUE(PopupAnimating(f.Popup()));
            if (translucent) {
                // Faint but whole.
                EXPECT_EQ(PopupFadeAlpha(f.Popup()), 32);
                EXPECT_TRUE(f.Popup()->WindowRegion().empty());
            } else {
                EXPECT_EQ(PopupFadeAlpha(f.Popup()), 255);
                EXPECT_EQ(f.Popup()->WindowRegion(), std::vector<TRect>{Rect(0, 0, f.Popup()->Width(), 1)});
            }
        });
        f.Wait(75);
        f.Driver.Do([&] { EXPECT_EQ(PopupFadeAlpha(f.Popup()), translucent ? 112 : 255); });
        f.Wait(80);
        f.Driver.Do([&] {
            EXPECT_FALSE(PopupAnimating(f.Popup()));
            EXPECT_EQ(PopupFadeAlpha(f.Popup()), 255);
            EXPECT_TRUE(f.Popup()->WindowRegion().empty());
        });
        f.Driver.Do([] { ProcessMessages(); });
        f.Driver.Key(VK_ESCAPE);
        f.Driver.Key(VK_ESCAPE);
        f.PressOnFile();
        TrackMenu(f.Bar.View.get(), tbtmStartedByMouse);
        EXPECT_FALSE(f.Driver.RanOut);
    }
}

TEST(PopupAnimation, AFadingPopupNeedsNoSideToComeFrom) {
    TAnimationFixture f;
    f.Settings.Fade = true;
    f.Settings.Translucent = true;
    for (int i = 0; i < 3; ++i)
        f.File->ItemAt(i)->SetCaption(std::string(30, 'w'));
    f.Bar.View->MonitorRect = Rect(0, 0, 200, 80);
    f.Driver.Do([&] {
        EXPECT_EQ(f.Popup()->AnimationDirection, 0);
        EXPECT_TRUE(PopupAnimating(f.Popup()));
    });
    f.Driver.Key(VK_ESCAPE);
    f.Driver.Key(VK_ESCAPE);
    f.PressOnFile();
    TrackMenu(f.Bar.View.get(), tbtmStartedByMouse);
    EXPECT_FALSE(f.Driver.RanOut);
}

} // namespace
