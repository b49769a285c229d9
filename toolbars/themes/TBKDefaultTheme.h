#pragma once
// TTBKDefaultTheme ("Default"): the classic three-dimensional look, raised
// and sunken edges in the system colours.  It keeps no state of its own.

#include "toolbars/themes/TBKTheme.h"

class TTBKDefaultTheme : public TTBKTheme {
public:
    void UpdateColorScheme() override {}
    TColor GetItemColor(const TTBKItemInfo& info) override;
    void GetMargins(int marginId, TRect& margins) override;
    TColor GetImageBackgroundColor(const TTBKItemInfo& info) override;
    int GetPopupShadowType() override { return 1; }
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
};

// Tests of ItemInfo both themes share.
inline bool ItemIsHot(const TTBKItemInfo& info) {
    return (info.Enabled && info.Hover != 0) || (!info.Enabled && info.Hover == 1);
}
inline bool IsPopupMenuType(TTBKViewType type) { return (type & TVT_POPUPMENU) == TVT_POPUPMENU; }
inline bool IsMenuBarType(TTBKViewType type) { return (type & TVT_MENUBAR) == TVT_MENUBAR; }
inline bool IsToolbarType(TTBKViewType type) { return (type & TVT_TOOLBARGROUP) != 0; }
inline bool IsPopupType(TTBKViewType type) { return (type & TVT_POPUPGROUP) != 0 && !(type & TVT_TOOLBARGROUP); }
inline bool IsPopupMenuRow(const TTBKItemInfo& info) {
    return IsPopupMenuType(info.ViewType) && !(info.Options & IO_TOOLBARSTYLE);
}
// The frame of a floating window of a view type: sizing or fixed.
TPoint FloatingFrameSize(TTBKViewType viewType);
