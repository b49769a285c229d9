#pragma once
// The themed items: menu and toolbar items whose every measurement and
// pixel goes through the current theme (TBKTheme.h).  TTBKItem is a plain
// command, TTBKSubmenuItem opens a submenu (optionally as a split button),
// TTBKSeparatorItem a separator of the theme's size.  Their viewers fill a
// TTBKItemInfo for every paint call and hand the painting to the theme.

#include "toolbars/TBItem.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/themes/TBKTheme.h"

#include <string>

class TCanvas;
class TTBView;

enum TTBKItemLayout { tbklAuto, tbklGlyphLeft, tbklGlyphTop };

class TTBKCustomItem : public TTBCustomItem {
public:
    explicit TTBKCustomItem(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TTBKCustomItem"; }

    TTBKFontSize FontSize() const { return fontSize_; }
    void SetFontSize(TTBKFontSize value) { changeProperty(fontSize_, value, true); }
    TTBKItemLayout Layout() const { return layout_; }
    void SetLayout(TTBKItemLayout value) { changeProperty(layout_, value, true); }
    int MinHeight() const { return minHeight_; }
    void SetMinHeight(int value) { changeProperty(minHeight_, value, true); }
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int value) { changeProperty(minWidth_, value, true); }
    // Stretched across its toolbar line (a style flag; no notification).
    bool Stretch() const { return (ItemStyle & isStretch) != 0; }
    void SetStretch(bool value);
    // A submenu's popup selects its first item when it opens.
    bool AlwaysSelectFirst = false;
    // The popup is shown as a tool box (its own view type).
    bool ToolBoxPopup = false;

    TTBItemViewerClass ViewerClassFor(TTBView* view) override;
    TTBPopupWindowClass PopupWindowClass() override;
    void PlacePopup(TTBView* parentView, TTBPopupWindow* popup, TTBPopupPositionRec& rec) override;
    TTBPopupWindow* OpenPopupWindow(TTBView* parentView, TTBItemViewer* parentViewer, bool positionAsSubmenu,
                                    bool selectFirstItem, bool customizing, TPoint position, int alignment) override;

private:
    TTBKFontSize fontSize_ = tbkfNormal;
    TTBKItemLayout layout_ = tbklAuto;
    int minHeight_ = 0;
    int minWidth_ = 0;
};

class TTBKItem : public TTBKCustomItem {
public:
    using TTBKCustomItem::TTBKCustomItem;
    std::string ClassName() const override { return "TTBKItem"; }
};

class TTBKSubmenuItem : public TTBKCustomItem {
public:
    explicit TTBKSubmenuItem(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TTBKSubmenuItem"; }
    // A split button: the main part runs the item, the arrow opens the
    // submenu.
    bool DropdownCombo() const { return (ItemStyle & isDropDownCombo) != 0; }
    void SetDropdownCombo(bool value);
};

class TTBKSeparatorItem : public TTBSeparatorItem {
public:
    explicit TTBKSeparatorItem(TComponent* owner = nullptr) : TTBSeparatorItem(owner) {}
    std::string ClassName() const override { return "TTBKSeparatorItem"; }
    // -1: the theme's size; values below -1 count as -1.
    int Size() const { return size_; }
    void SetSize(int value);
    TTBItemViewerClass ViewerClassFor(TTBView* view) override;

private:
    int size_ = -1;
};

// The shared bitmap canvas text is measured on where no view canvas is at
// hand.
TCanvas& ThemeWorkCanvas();

// --- viewers ------------------------------------------------------------------------
// The glyph column of a popup's rows for a viewer (the same for measuring
// and painting).
int GlyphColumnWidth(TTBItemViewer* viewer);
// Hover of ItemInfo for a viewer in a paint call.
uint8_t HoverOf(TTBItemViewer* viewer, bool isSelected, bool enabled);

class TTBKItemViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item);
    TTBItemViewerClass ViewerClass() const override { return &Make; }

    void MeasureSize(TCanvas& canvas, int& width, int& height) override;
    void Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
               bool useDisabledShadow) override;
    bool InButtonPart(int x, int y) override;
    void MouseUp(int x, int y, TTBLoopState& loop) override;

    // Lets a descendant draw the caption itself (clearing paintDefault).
    virtual void DoPaintCaption(TCanvas& canvas, const TRect& clientArea, TRect& captionRect, bool rotated,
                                bool& paintDefault) {}
    // The theme's margin id: 1 toolbar button, 2 menu row.
    int GetMarginKind() const { return IsToolbarStyle() ? 1 : 2; }
    void DrawItemImage(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info);
    // The glyph size (the image list's), 0 x 0 without one.
    TSize ImageSize() const;
    // DT_HIDEPREFIX while the view hides access keys.
    unsigned TextFlags() const { return PrefixFlags(); }
    // The caption's size in the item's font (0 x 0 for no text).
    TSize TextExtent(TCanvas& canvas, const std::string& text, bool rotated, unsigned format);

private:
    bool glyphTop() const;
    bool rotated() const;
};

class TTBKSeparatorItemViewer : public TTBSeparatorItemViewer {
public:
    using TTBSeparatorItemViewer::TTBSeparatorItemViewer;
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item);
    TTBItemViewerClass ViewerClass() const override { return &Make; }
    void MeasureSize(TCanvas& canvas, int& width, int& height) override;
    void Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
               bool useDisabledShadow) override;
};

// The overflow button of a themed toolbar.
class TTBKChevronItemViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item);
    TTBItemViewerClass ViewerClass() const override { return &Make; }
    void Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
               bool useDisabledShadow) override;
};

// The join of a popup with its opener when the theme asks for it: popups
// that drop from an item start one pixel closer and are one pixel smaller,
// so that their border lies on the item's edge.
void PlaceJoinedPopup(TTBCustomItem* item, TTBView* parentView, TTBPopupWindow* popup, TTBPopupPositionRec& rec);
