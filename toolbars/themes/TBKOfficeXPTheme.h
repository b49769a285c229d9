#pragma once
// TTBKOfficeXPTheme ("OfficeXP"): the flat look.  Popup menus have a shaded
// glyph column; hot and checked items are a frame in the highlight colour
// over a light blend of it; hovered glyphs stand above their shadow; drag
// handles are dotted and popups cast shadows.  Everything it paints comes
// from one table of 51 colours computed from the system colours.

#include "toolbars/themes/TBKTheme.h"

#include <array>

// Indexes into the colour table.
enum : int {
    XPC_BTNFACE = 0,
    XPC_GUTTER = 1,      // popup glyph column, popup-side edit frames
    XPC_POPUP = 2,       // popup background
    XPC_POPUP2 = 3,
    XPC_POPUPFRAME = 4,  // popup border
    XPC_ACTIVEBORDER = 5, XPC_ACTIVECAPTION = 6, XPC_ACTIVECAPTIONTEXT = 7,
    XPC_INACTIVEBORDER = 8, XPC_INACTIVECAPTION = 9, XPC_INACTIVECAPTIONTEXT = 10,
    XPC_P0 = 11, // popup rows: fill, text, frame
    XPC_P1 = 14,
    XPC_P2 = 17,
    XPC_P3 = 20,
    XPC_T0 = 23, // toolbar rows: fill, text, frame
    XPC_T1 = 26,
    XPC_T2 = 29,
    XPC_T3 = 32,
    XPC_T4 = 35,
    XPC_T5 = 38,
    XPC_T6 = 41,
    XPC_T7 = 44,
    XPC_UNUSED47 = 47,
    XPC_POPUPSEPARATOR = 48,
    XPC_SEPARATOR = 49,
    XPC_GLYPHSHADOW = 50,
    XPC_COUNT = 51,
};
// Offsets inside a row.
constexpr int XPR_FILL = 0, XPR_TEXT = 1, XPR_FRAME = 2;

using TTBKOfficeXPColors = std::array<TColor, XPC_COUNT>;
// The table for the fixed system colours; lowColor: the plain table of a
// display with few colours.
TTBKOfficeXPColors ComputeOfficeXPColors(bool lowColor);

class TTBKOfficeXPTheme : public TTBKTheme {
public:
    const TTBKOfficeXPColors& Colors() const { return colors_; }
    // The first colour of the item's popup row (popup-menu rows) or toolbar
    // row (everything else).
    int ItemRow(const TTBKItemInfo& info) const;
    int ToolbarRow(const TTBKItemInfo& info) const;

    void UpdateColorScheme() override;
    TColor GetItemColor(const TTBKItemInfo& info) override;
    void GetMargins(int marginId, TRect& margins) override;
    TColor GetImageBackgroundColor(const TTBKItemInfo& info) override;
    int GetPopupShadowType() override { return 2; }
    void GetViewBorder(TTBKViewType viewType, TPoint& border) override;
    TColor GetViewColor(TTBKViewType viewType) override;
    void GetViewMargins(TTBKViewType viewType, TRect& margins) override;
    void PaintBackground(TCanvas& canvas, const TRect& rect, TColor color, TTBKViewType viewType) override;
    void PaintButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) override;
    void PaintCaption(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, const std::string& caption,
                      unsigned format, bool rotated) override;
    void PaintCheckMark(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) override;
    void PaintChevron(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) override;
    void PaintEditFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info,
                        const TTBKEditInfo& editInfo) override;
    void PaintEditButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info,
                         const TTBKButtonInfo& buttonInfo) override;
    void PaintPanel(TCanvas& canvas, const TRect& rect, const TTBKPanelInfo& info) override;
    void PaintDropDownArrow(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) override;
    void PaintFloatingBorder(TCanvas& canvas, const TRect& rect, const TTBKWindowInfo& info) override;
    void PaintFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) override;
    void PaintImage(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, TImageList* images,
                    int imageIndex) override;
    void PaintMDIButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, int kind) override;
    void PaintMenuItem(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) override;
    void PaintMenuItemFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) override;
    void PaintPopupNCArea(TCanvas& canvas, const TRect& rect, const TTBKPopupInfo& info) override;
    void PaintSeparator(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, bool horizontal,
                        bool lineOnly) override;
    void PaintToolbarNCArea(TCanvas& canvas, const TRect& rect, const TTBKToolbarInfo& info) override;
    int GetIntegerMetric(int id) override;
    bool GetBooleanMetric(int id) override;

private:
    TColor itemColor(const TTBKItemInfo& info, int kind) const { return colors_[ItemRow(info) + kind]; }
    TColor toolbarColor(const TTBKItemInfo& info, int kind) const { return colors_[ToolbarRow(info) + kind]; }
    // The toolbar row of a close button in a state.
    static int closeButtonRow(uint32_t state, bool inactive);
    void paintCloseButton(TCanvas& canvas, TRect rect, uint32_t state, bool inactive, TColor fallbackText);

    TTBKOfficeXPColors colors_{};
};
