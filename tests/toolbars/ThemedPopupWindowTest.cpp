// Themed popups in real (offscreen) windows: the popups of a theme whose
// shadow is the desktop's own are typed as popup menus for the desktop;
// soft shadows are layered windows that follow the popup and its button.

#include "tests/toolbars/ToolbarTestSupport.h"
#include "tests/toolbars/themes/ThemeTestSupport.h"

#include "platform/gfx/QtBridge.h"
#include "platform/ui/WindowNotices.h"
#include "platform/ui/WindowPeer.h"
#include "toolbars/TBPopupAnimation.h"
#include "toolbars/themes/TBKShadows.h"
#include "toolbars/themes/TBKItems.h"
#include "toolbars/themes/TBKList.h"
#include "toolbars/themes/TBKPopupWindow.h"
#include "toolbars/themes/TBKTheme.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <memory>
#include <optional>
#include <random>

namespace {

class TPlainList : public TTBKCustomList {
public:
    int GetCount() override { return 3; }
    void DrawEntry(TCanvas&, const TRect&, int, bool) override {}
    int EntryHeight(TCanvas&) override { return 16; }
    int EntryWidth(TCanvas&, int) override { return 40; }
};

// The X11 window types the desktop is told, as the platform's property
// holds them (the popup-menu type is 0x200).
bool typedAsPopupMenu(TWinControl* control) {
    auto* viewport = static_cast<QWidget*>(control->Peer()->NativeWidget());
    QWindow* window = viewport != nullptr ? viewport->window()->windowHandle() : nullptr;
    return window != nullptr && (window->property("_q_xcb_wm_window_type").toInt() & 0x200) != 0;
}

TEST(ThemedPopupWindow, DefaultThemeMenusAskForTheDesktopsShadowWhereItDrawsShadows) {
    RegisterStandardThemes();
    TTestSettings settings;
    SetTBSystemSettings(&settings);
    for (const char* theme : {"Default", "OfficeXP"})
        for (bool desktopShadows : {true, false})
            for (bool list : {false, true}) {
                settings.Shadows = desktopShadows;
                SelectTheme(theme);
                TTBKSubmenuItem menu;
                if (list)
                    menu.Add(new TPlainList);
                else
                    for (const char* caption : {"&Open", "&Save"}) {
                        auto* item = new TTBKItem;
                        item->SetCaption(caption);
                        menu.Add(item);
                    }
                std::unique_ptr<TTBPopupWindow> popup(TTBKPopupWindow::Make(nullptr, &menu, false));
                popup->SetBounds(100, 100, 120, 60);
                popup->Show();
                ASSERT_NE(popup->Peer(), nullptr);
                // A list's popup casts no shadow; only the Default theme's
                // shadow is the desktop's.
                EXPECT_EQ(typedAsPopupMenu(popup.get()), std::string(theme) == "Default" && desktopShadows && !list)
                    << theme << " shadows " << desktopShadows << " list " << list;
                popup.reset();
                menu.Clear();
            }
    SelectTheme("Default");
    SetTBSystemSettings(nullptr);
}

// An OfficeXP drop-down of a toolbar button, shown, its shadows soft while
// the settings say windows can be translucent pixel by pixel.
struct TShadowedDropdown {
    TTestSettings Settings;
    std::optional<TThemedBar> Bar;
    TTBKSubmenuItem* Menu = nullptr;
    TTBKPopupWindow* Popup = nullptr;

    TShadowedDropdown() {
        RegisterStandardThemes();
        SelectTheme("OfficeXP");
        Settings.Layered = true;
        SetTBSystemSettings(&Settings);
        Bar.emplace(TVT_TOOLBAR, 100, 50);
        Popup = OpenDropdown(*Bar, Menu);
        if (Popup != nullptr)
            Popup->Perform(TBM_ANIMATIONNOTICE, 3);
    }
    ~TShadowedDropdown() {
        Bar->View->CloseChildPopups();
        SetTBSystemSettings(nullptr);
        SelectTheme("Default");
    }
};

TEST(ThemedPopupWindow, SoftShadowsFollowThePopupAndTheButtonAndShowTheirAlpha) {
    TShadowedDropdown dropdown;
    TTBKPopupWindow* popup = dropdown.Popup;
    ASSERT_NE(popup, nullptr);
    const TRect button = popup->ShadowCutout();
    std::mt19937 rng(148);
    for (int round = 0; round < 8; ++round) {
        if (round > 0) // anywhere near the button, even away from it
            popup->SetBounds(button.Left + static_cast<int>(rng() % 121) - 60,
                             button.Bottom + static_cast<int>(rng() % 81) - 40, popup->Width(), popup->Height());
        ASSERT_NE(popup->Shadows(), nullptr);
        TShadowStrips expected = ShadowStrips(button, popup->BoundsRect(), 4);
        for (size_t slot = 0; slot < expected.size(); ++slot) {
            TShadow* shadow = popup->Shadows()->Strips()[slot].get();
            ASSERT_EQ(shadow != nullptr, expected[slot] && !expected[slot]->Bounds.IsEmpty()) << round << slot;
            if (shadow == nullptr)
                continue;
            ASSERT_EQ(shadow->Strip(), *expected[slot]);
            QWidget* window = static_cast<QWidget*>(shadow->Peer()->NativeWidget())->window();
            EXPECT_TRUE(window->isVisible() && window->testAttribute(Qt::WA_TranslucentBackground));
            EXPECT_EQ(FromQRect(window->geometry()), shadow->Strip().Bounds);
            // Black, each pixel's alpha the fade seen through the opacity.
            std::vector<uint8_t> alpha = FillShadowAlpha(shadow->Strip());
            QImage shown = window->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            ASSERT_EQ(static_cast<size_t>(shown.width() * shown.height()), alpha.size());
            for (size_t i = 0; i < alpha.size(); ++i)
                ASSERT_EQ(reinterpret_cast<const uint32_t*>(shown.constBits())[i], (alpha[i] * 64u / 255u) << 24);
        }
    }
}

// A compositing manager that stops while a menu is open would leave its
// soft shadow black: told so, the open popup changes its strips for the
// plain ones (half as wide, in the button shadow colour), and back to soft
// ones when a compositing manager comes.
TEST(ThemedPopupWindow, OpenShadowsFollowTheCompositingManager) {
    auto dropdown = std::make_unique<TShadowedDropdown>();
    TTBKPopupWindow* popup = dropdown->Popup;
    ASSERT_NE(popup, nullptr);
    for (bool layered : {false, true, false}) {
        dropdown->Settings.Layered = layered;
        NotifyWindowNotice(wnDesktopEffectsChanged, nullptr);
        ASSERT_NE(popup->Shadows(), nullptr);
        const TShadowStrips expected = ShadowStrips(popup->ShadowCutout(), popup->BoundsRect(), layered ? 4 : 2);
        for (size_t slot = 0; slot < expected.size(); ++slot) {
            TShadow* shadow = popup->Shadows()->Strips()[slot].get();
            ASSERT_EQ(shadow != nullptr, expected[slot] && !expected[slot]->Bounds.IsEmpty()) << layered << slot;
            if (shadow == nullptr)
                continue;
            EXPECT_EQ(shadow->Plain(), !layered);
            EXPECT_EQ(shadow->Strip(), *expected[slot]);
            QWidget* window = static_cast<QWidget*>(shadow->Peer()->NativeWidget())->window();
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(window->testAttribute(Qt::WA_TranslucentBackground), layered);
        }
    }
    // A closed popup hears no more.
    dropdown.reset();
    NotifyWindowNotice(wnDesktopEffectsChanged, nullptr);
}

} // namespace
