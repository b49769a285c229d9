#pragma once
// What the theme suites share: a bar whose window answers a themed view
// type, a red 16 x 16 image list, viewers painted into bitmaps, and a
// fixture that selects a theme and restores the start-up state.

#include "tests/toolbars/ToolbarTestSupport.h"
#include "toolbars/themes/TBKItems.h"
#include "toolbars/themes/TBKNexus.h"
#include "toolbars/themes/TBKOfficeXPTheme.h"
#include "toolbars/themes/TBKPopupWindow.h"
#include "toolbars/themes/TBKTheme.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/ImageList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A toolbar (or menu bar) whose window says what view type it is.
class TThemedBar : public TTestBar {
public:
    TThemedBar(TTBKViewType type, int left = 0, int top = 0) : TTestBar(left, top), Type(type) {}
    TTBKViewType Type;

protected:
    void Dispatch(TMessage& message) override {
        if (message.Msg == TBKM_GETVIEWTYPE) {
            message.Result = static_cast<LRESULT>(Type);
            return;
        }
        TTestBar::Dispatch(message);
    }
};

// Images of one solid colour.
inline std::unique_ptr<TImageList> SolidImages(TColor color, int count = 1) {
    auto images = std::make_unique<TImageList>(16, 16);
    TBitmap bitmap(16 * count, 16);
    bitmap.Canvas().FillRect(Rect(0, 0, 16 * count, 16), color);
    bitmap.Canvas().Release();
    images->AddMasked(bitmap, clFuchsia);
    return images;
}

// A viewer painted alone into a bitmap filled with the background.
class TPaintedViewer {
public:
    TPaintedViewer(TTBItemViewer* viewer, bool selected, bool pushed, bool shadow, TColor background) {
        TRect bounds = viewer->BoundsRect;
        width_ = std::max(bounds.Width(), 1);
        height_ = std::max(bounds.Height(), 1);
        bitmap_ = std::make_unique<TBitmap>(width_, height_);
        bitmap_->Canvas().FillRect(Rect(0, 0, width_, height_), background);
        viewer->Paint(bitmap_->Canvas(), Rect(0, 0, width_, height_), selected, pushed, shadow);
        bitmap_->Canvas().Release();
    }
    TColor At(int x, int y) { return bitmap_->Canvas().Pixel(x, y); }
    int Count(const TRect& r, TColor color) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += At(x, y) == ColorToRGB(color);
        return n;
    }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    std::unique_ptr<TBitmap> bitmap_;
    int width_;
    int height_;
};

// A themed drop-down button on the bar with three entries, its popup open
// (nullptr when none opened); the popup hangs below the button.
inline TTBKPopupWindow* OpenDropdown(TThemedBar& bar, TTBKSubmenuItem*& menu) {
    menu = new TTBKSubmenuItem;
    menu->SetCaption("Menu");
    menu->SetOptions(tboDropdownArrow);
    for (int i = 0; i < 3; ++i) {
        auto* item = new TTBKItem;
        item->SetCaption("Entry " + std::to_string(i));
        menu->Add(item);
    }
    bar.Items.Add(menu);
    bar.View->ValidatePositions();
    bar.View->Select(bar.ViewerOf(menu));
    if (!bar.View->OpenPopup(false))
        return nullptr;
    return dynamic_cast<TTBKPopupWindow*>(bar.View->OpenViewerWindow());
}

// Selects a theme for one test and restores the start-up state after it.
class ThemedTest : public ::testing::Test {
protected:
    void Use(const std::string& theme) {
        TBKUpdateToolbarColors();
        SelectTheme(theme);
    }
    ~ThemedTest() override { RestartThemes(); }
    TColor XP(int index) {
        return ColorToRGB(dynamic_cast<TTBKOfficeXPTheme&>(CurrentTheme()).Colors()[static_cast<size_t>(index)]);
    }
};
