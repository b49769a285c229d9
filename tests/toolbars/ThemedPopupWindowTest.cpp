// Themed popups in real (offscreen) windows: the popups of a theme whose
// shadow is the desktop's own are typed as popup menus for the desktop.

#include "tests/toolbars/ToolbarTestSupport.h"

#include "platform/ui/WindowPeer.h"
#include "toolbars/themes/TBKItems.h"
#include "toolbars/themes/TBKList.h"
#include "toolbars/themes/TBKPopupWindow.h"
#include "toolbars/themes/TBKTheme.h"

#include <gtest/gtest.h>

#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <memory>

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

} // namespace
