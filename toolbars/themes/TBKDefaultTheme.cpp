#include "toolbars/themes/TBKDefaultTheme.h"

#include "platform/gfx/Canvas.h"
#include "platform/gfx/ImageList.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/themes/TBKColors.h"
#include "toolbars/themes/TBKGlyphs.h"
#include "toolbars/themes/TBKNexus.h"
#include "toolbars/themes/TBKPaintKit.h"

namespace {

const TTBKDisplayFacts& display() { return TBKDisplay(); }

bool pushedOrChecked(const TTBKItemInfo& info) { return info.Pushed || info.Checked; }

} // namespace

TPoint FloatingFrameSize(TTBKViewType viewType) {
    if (viewType & TVT_RESIZABLE)
        return {TBSystemMetric(SM_CXSIZEFRAME), TBSystemMetric(SM_CYSIZEFRAME)};
    return {TBSystemMetric(SM_CXFIXEDFRAME), TBSystemMetric(SM_CYFIXEDFRAME)};
}

TColor TTBKDefaultTheme::GetItemColor(const TTBKItemInfo& info) {
    if (IsPopupMenuRow(info) && info.Hover != 0)
        return clHighlight;
    return GetViewColor(info.ViewType);
}

void TTBKDefaultTheme::GetMargins(int marginId, TRect& margins) {
    int m = marginId == 1 ? 2 : 0;
    margins = Rect(m, m, m, m);
}

TColor TTBKDefaultTheme::GetImageBackgroundColor(const TTBKItemInfo& info) {
    if (display().FlatMenus) {
        if (IsMenuBarType(info.ViewType) && ItemIsHot(info))
            return clHighlight;
        if ((info.ViewType & TVT_CHEVRONPOPUP) == TVT_CHEVRONPOPUP)
            return display().ToolbarColor;
        if (IsPopupMenuRow(info) && ItemIsHot(info))
            return display().ToolbarColor;
    }
    return GetViewColor(info.ViewType);
}

void TTBKDefaultTheme::GetViewBorder(TTBKViewType viewType, TPoint& border) {
    if (IsPopupType(viewType)) {
        int size = (viewType & TVT_LISTPOPUP) == TVT_LISTPOPUP ? 1 : 3;
        border = {size, size};
    } else if (IsToolbarType(viewType) || ((viewType & TVT_DOCKPANEL) && !(viewType & TVT_POPUPGROUP))) {
        border = (viewType & TVT_FLOATING) ? FloatingFrameSize(viewType) : TPoint{2, 2};
    } else {
        border = {0, 0};
    }
}

TColor TTBKDefaultTheme::GetViewColor(TTBKViewType viewType) {
    if (IsPopupMenuType(viewType) || (viewType & TVT_CHEVRONPOPUP) == TVT_CHEVRONPOPUP)
        return display().MenuColor;
    if ((viewType & TVT_LISTPOPUP) == TVT_LISTPOPUP)
        return clWindow;
    return display().ToolbarColor;
}

void TTBKDefaultTheme::GetViewMargins(TTBKViewType viewType, TRect& margins) {
    if (IsToolbarType(viewType) && (viewType & TVT_FLOATING))
        margins = Rect(4, 4, 2, 1);
    else
        margins = TRect{};
}

void TTBKDefaultTheme::PaintBackground(TCanvas& canvas, const TRect& rect, TColor color, TTBKViewType) {
    FillIn(canvas, rect, color);
}

void TTBKDefaultTheme::PaintButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    const bool hot = ItemIsHot(info);
    const bool active = (info.Enabled && pushedOrChecked(info)) || hot;
    TRect r = rect;
    if (IsMenuBarType(info.ViewType) && display().FlatMenus) {
        if (active)
            FillIn(canvas, r, clHighlight);
        return;
    }
    if (info.Part == IP_SPLITDROPDOWN)
        r.Right -= 2;
    if (display().FlatMenus && active)
        FillIn(canvas, r, display().ToolbarColor);
    if (info.Enabled && pushedOrChecked(info)) {
        canvas.DrawEdge(r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        if (info.Checked && !info.Pushed && info.Hover == 0)
            FillDithered(canvas, r, display().ToolbarColor, clBtnHighlight);
    } else if (hot || (info.Options & IO_DESIGNING)) {
        TRect edge = r;
        canvas.DrawEdge(edge, BDR_RAISEDINNER, BF_RECT);
    }
    if (info.Part == IP_SPLITDROPDOWN)
        PaintDropDownArrow(canvas, r, info);
}

void TTBKDefaultTheme::PaintCaption(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info,
                                    const std::string& caption, unsigned format, bool rotated) {
    const bool flatMenuBar = IsMenuBarType(info.ViewType) && display().FlatMenus;
    if ((info.Options & IO_TOOLBARSTYLE) || info.Enabled || info.Hover != 1) {
        if (info.Enabled) {
            TRect r = rect;
            if (!(info.Options & IO_DISABLEDSHADOW) && pushedOrChecked(info) && !flatMenuBar)
                OffsetRect(r, 1, 1);
            TColor color;
            if (!(info.Options & IO_DISABLEDSHADOW) && !flatMenuBar)
                color = clBtnText;
            else
                color = info.Hover == 0 ? display().MenuTextColor : clHighlightText;
            DrawCaptionIn(canvas, r, caption, format, rotated, color);
            return;
        }
        TRect light = rect;
        OffsetRect(light, 1, 1);
        DrawCaptionIn(canvas, light, caption, format, rotated, clBtnHighlight);
        DrawCaptionIn(canvas, rect, caption, format, rotated, clBtnShadow);
        return;
    }
    DrawCaptionIn(canvas, rect, caption, format, rotated, clGrayText);
}

void TTBKDefaultTheme::PaintCheckMark(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    int cx = (rect.Left + rect.Right) / 2, cy = (rect.Top + rect.Bottom) / 2;
    PolylineIn(canvas,
               {{cx - 3, cy}, {cx - 1, cy + 2}, {cx + 3, cy - 2}, {cx + 3, cy - 1}, {cx - 1, cy + 3}, {cx - 3, cy + 1},
                {cx - 3, cy}},
               info.Enabled ? clBtnText : clGrayText);
    if (info.Enabled)
        PolylineIn(canvas, {{cx - 4, cy}, {cx - 4, cy + 1}, {cx - 1, cy + 4}, {cx + 4, cy - 1}, {cx + 4, cy - 3}},
                   clBtnHighlight);
}

void TTBKDefaultTheme::PaintChevron(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    PaintButton(canvas, rect, info);
    int x, y;
    const bool vertical = info.Vertical;
    if (!vertical) {
        x = rect.Left + 2;
        y = 4;
    } else {
        x = rect.Right - 9;
        y = rect.Top + 2;
    }
    if (info.Pushed) {
        ++x;
        ++y;
    }
    auto paint = [&](int px, int py, TColor color) {
        if (vertical)
            PaintGlyphPattern(canvas, px, py, 5, kChevronVertical, color);
        else
            PaintGlyphPattern(canvas, px, py, 8, kChevronHorizontal, color);
    };
    if (info.Enabled) {
        paint(x, y, clBtnText);
    } else {
        paint(x, y + 1, clBtnHighlight);
        paint(x, y, clBtnShadow);
    }
}

void TTBKDefaultTheme::PaintEditFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info,
                                      const TTBKEditInfo& editInfo) {
    PaintFrame(canvas, rect, info);
    TRect r = rect;
    int frame = GetIntegerMetric(TMI_EDIT_FRAMEWIDTH);
    InflateRect(r, -frame, -frame);
    if (editInfo.LeftButtonWidth > 0)
        r.Left += editInfo.LeftButtonWidth - 2;
    if (editInfo.RightButtonWidth > 0)
        r.Right -= editInfo.RightButtonWidth - 2;
    if (info.Enabled)
        FillIn(canvas, r, clWindow);
    if (editInfo.RightButtonWidth > 0) {
        TTBKButtonInfo button;
        if (!info.Enabled)
            button.ButtonState |= BS_DISABLED;
        TRect strip = Rect(r.Right, r.Top, r.Right + editInfo.RightButtonWidth, r.Bottom);
        PaintEditButton(canvas, strip, info, button);
    }
}

void TTBKDefaultTheme::PaintEditButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info,
                                       const TTBKButtonInfo& buttonInfo) {
    TRect r = rect;
    r.Left += 2;
    const bool enabled = !(buttonInfo.ButtonState & BS_DISABLED);
    const bool pushed = (buttonInfo.ButtonState & BS_PUSHED) != 0;
    const bool hot = (buttonInfo.ButtonState & BS_HOT) != 0;
    if (enabled && (pushed || hot)) {
        canvas.DrawEdge(r, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        FillIn(canvas, r, display().ToolbarColor);
        LineIn(canvas, r.Left - 2, r.Top - 1, r.Left - 2, r.Bottom + 1, display().ToolbarColor);
    } else if (enabled) {
        FrameIn(canvas, r, clWindow, false);
        LineIn(canvas, r.Left - 1, r.Top, r.Left - 1, r.Bottom, clWindow);
        InflateRect(r, -1, -1);
    }
    PaintDropDownArrow(canvas, r, info);
}

void TTBKDefaultTheme::PaintPanel(TCanvas& canvas, const TRect& rect, const TTBKPanelInfo& info) {
    TRect r = rect;
    FrameIn(canvas, r, display().ToolbarColor, true);
    if (info.BorderStyle == 1)
        canvas.DrawEdge(r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    else
        InflateRect(r, -1, -1);
    FillIn(canvas, r, GetViewColor(info.ViewType));
    if (!info.ShowCaption)
        return;
    InflateRect(r, -2, -2);
    TRect caption = Rect(r.Left, r.Top, r.Right, r.Top + TBSystemMetric(SM_CYSMCAPTION));
    TRect edge = caption;
    canvas.DrawEdge(edge, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (info.CloseButtonState & CB_SHOWN) {
        TRect button = Rect(edge.Right - 11, edge.Top + (edge.Height() - 10) / 2, edge.Right - 1, 0);
        button.Bottom = button.Top + 10;
        edge.Right = button.Left;
        bool pushed = (info.CloseButtonState & CB_PRESSED) != 0;
        TRect frame = button;
        if (pushed || (info.CloseButtonState & CB_HOT))
            canvas.DrawEdge(frame, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        PaintGlyphPattern(canvas, button.Left + 1 + pushed, button.Top + 2 + pushed, 7, kPanelCloseCross, clBtnText);
    }
    FillIn(canvas, edge, display().ToolbarColor);
    DrawSmallCaption(canvas, edge, info.Caption, clBtnText);
}

void TTBKDefaultTheme::PaintDropDownArrow(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    int cx = (rect.Left + rect.Right) / 2, cy = (rect.Top + rect.Bottom) / 2 - 1;
    if (pushedOrChecked(info) && info.Part != IP_SPLITDROPDOWN) {
        ++cx;
        ++cy;
    }
    auto arrow = [&](int x, int y, TColor color) {
        if (info.Vertical)
            PolygonIn(canvas, {{x - 2, y}, {x, y - 2}, {x, y + 2}}, color);
        else
            PolygonIn(canvas, {{x - 2, y}, {x + 2, y}, {x, y + 2}}, color);
    };
    if (!info.Enabled) {
        arrow(cx + 1, cy + 1, clBtnHighlight);
        arrow(cx, cy, clBtnShadow);
    } else {
        arrow(cx, cy, (info.Options & IO_DISABLEDSHADOW) ? display().MenuTextColor : clBtnText);
    }
}

void TTBKDefaultTheme::PaintFloatingBorder(TCanvas& canvas, const TRect& rect, const TTBKWindowInfo& info) {
    const TPoint frame = info.FloatingBorderSize;
    if (info.RedrawParts & RP_BORDER) {
        TRect inner = rect;
        InflateRect(inner, -frame.X, -frame.Y);
        TExcludedClip clip(canvas, inner);
        TRect r = rect;
        canvas.DrawEdge(r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    if (!info.ShowCaption)
        return;
    const bool hasClose = (info.CloseButtonState & CB_SHOWN) != 0;
    TRect caption = GetCaptionRect(info, true, hasClose);
    const TColor captionColor = info.ActiveCaption ? clActiveCaption : clInactiveCaption;
    if (info.RedrawParts & RP_CAPTION) {
        FillIn(canvas, caption, captionColor);
        TRect text = caption;
        text.Left += 2;
        DrawSmallCaption(canvas, text, info.Caption, info.ActiveCaption ? clCaptionText : clInactiveCaptionText);
        TRect below = GetCaptionRect(info, true, false);
        FillIn(canvas, Rect(below.Left, below.Bottom, below.Right, below.Bottom + 1), clBtnFace);
    }
    if (hasClose) {
        TRect button = GetCloseButtonRect(info, true);
        if (info.RedrawParts & RP_CAPTION)
            FillIn(canvas, button, captionColor);
        if (info.RedrawParts & RP_CLOSEBUTTON) {
            InflateRect(button, -2, -2);
            DrawCaptionButton(canvas, button, 0, (info.CloseButtonState & CB_PRESSED) != 0);
        }
    }
}

void TTBKDefaultTheme::PaintFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    const bool active = pushedOrChecked(info) || ItemIsHot(info) || (info.Options & IO_DESIGNING);
    TRect r = rect;
    if (active) {
        TRect edge = r;
        canvas.DrawEdge(edge, BDR_SUNKENOUTER, BF_RECT);
    }
    InflateRect(r, -1, -1);
    FrameIn(canvas, r, display().ToolbarColor, true);
    FrameIn(canvas, r, clWindow, false);
}

void TTBKDefaultTheme::PaintImage(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, TImageList* images,
                                  int imageIndex) {
    TRect r = rect;
    if (pushedOrChecked(info))
        OffsetRect(r, 1, 1);
    if (!IsPopupMenuRow(info) || !display().FlatMenus) {
        // Without visual styles every item outside a flat menu draws its
        // image as the list does.
        images->Draw(canvas, r.Left, r.Top, imageIndex, info.Enabled);
        return;
    }
    const bool dark = false; // popup-menu rows are never on a dark cell
    if (info.Enabled && !info.Checked && !info.Pushed && info.Hover == 0) {
        if (!dark && !display().HighContrast)
            DrawGlyphBlended(canvas, r, images, 178, clWindow, imageIndex);
        else
            DrawGlyphContrast(canvas, r, images, dark, imageIndex);
    } else if (info.Enabled) {
        DrawGlyphContrast(canvas, r, images, dark, imageIndex);
    } else {
        DrawGlyphShadow(canvas, r, images, false, imageIndex);
    }
}

void TTBKDefaultTheme::PaintMDIButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, int kind) {
    DrawCaptionButton(canvas, rect, kind, info.Pushed);
}

void TTBKDefaultTheme::PaintMenuItem(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    const bool imageColumn = info.ImageWidth >= 1 || info.Checked;
    const int arrowWidth = TBSystemMetric(SM_CXMENUCHECK);
    const bool combo = (info.Options & IO_COMBO) != 0;
    const bool hovered = info.Hover != 0;
    TRect highlight = rect;
    if (imageColumn)
        highlight.Left += GetIntegerMetric(TMI_MENU_RCAPTIONMARGIN) + info.GlyphColumnWidth;
    if (combo && info.Enabled)
        highlight.Right -= arrowWidth;
    PaintMenuItemFrame(canvas, highlight, info);
    if (combo) {
        TRect strip = Rect(rect.Right - arrowWidth, rect.Top, rect.Right, rect.Bottom);
        if (!(info.Enabled && hovered)) {
            strip.Left -= 1;
            canvas.DrawEdge(strip, ItemIsHot(info) ? BDR_SUNKENOUTER : EDGE_ETCHED, BF_LEFT);
        } else {
            canvas.DrawEdge(strip, BDR_SUNKENOUTER, BF_RECT);
        }
    }
    if (info.Options & IO_SUBMENU) {
        int x = rect.Right - (arrowWidth * 2) / 3 - 2, y = rect.Bottom / 2;
        auto triangle = [&](int dx, int dy, TColor color) {
            PolygonIn(canvas, {{x + dx, y + dy - 3}, {x + dx, y + dy + 3}, {x + dx + 3, y + dy}}, color);
        };
        if (!info.Enabled) {
            // The embossed look: a light copy below right (not on the
            // keyboard's highlight), the shadow in place over it.
            if (info.Hover != 1)
                triangle(1, 1, clBtnHighlight);
            triangle(0, 0, clBtnShadow);
        } else {
            triangle(0, 0, info.Hover == 0 || combo ? display().MenuTextColor : clHighlightText);
        }
    }
    if (info.Enabled && imageColumn && (hovered || info.Checked)) {
        TRect cell = Rect(rect.Left, rect.Top, rect.Left + info.GlyphColumnWidth, rect.Bottom);
        if (display().FlatMenus)
            FillIn(canvas, cell, display().ToolbarColor);
        PaintButton(canvas, cell, info);
    }
}

void TTBKDefaultTheme::PaintMenuItemFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    if (ItemIsHot(info))
        FillIn(canvas, rect, clHighlight);
}

void TTBKDefaultTheme::PaintPopupNCArea(TCanvas& canvas, const TRect& rect, const TTBKPopupInfo& info) {
    TRect r = rect;
    if ((info.ViewType & TVT_LISTPOPUP) == TVT_LISTPOPUP) {
        FrameIn(canvas, r, clWindowFrame, true);
        FrameIn(canvas, r, clWindow, true);
        FillIn(canvas, r, clWindow);
        return;
    }
    const bool toolBox = (info.ViewType & TVT_TOOLBOXPOPUP) == TVT_TOOLBOXPOPUP;
    if (display().FlatMenus && !toolBox) {
        FrameIn(canvas, r, clBtnShadow, true);
        FrameIn(canvas, r, display().MenuColor, true);
        FrameIn(canvas, r, display().MenuColor, false);
        return;
    }
    canvas.DrawEdge(r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FrameIn(canvas, r, toolBox ? display().ToolbarColor : display().MenuColor, false);
}

void TTBKDefaultTheme::PaintSeparator(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, bool horizontal,
                                      bool lineOnly) {
    int inset = !lineOnly ? 0 : (info.ViewType & TVT_FLOATING) ? 1 : 4;
    TRect r = rect;
    if (horizontal) {
        if (!(info.Options & IO_TOOLBARSTYLE))
            inset = 12;
        r.Top = r.Bottom / 2 - 1;
        InflateRect(r, -inset, 0);
        canvas.DrawEdge(r, EDGE_ETCHED, BF_TOP);
    } else {
        r.Left = r.Right / 2 - 1;
        InflateRect(r, 0, -inset);
        canvas.DrawEdge(r, EDGE_ETCHED, BF_LEFT);
    }
}

void TTBKDefaultTheme::PaintToolbarNCArea(TCanvas& canvas, const TRect& rect, const TTBKToolbarInfo& info) {
    TRect r = rect;
    if (info.BorderStyle == 1)
        canvas.DrawEdge(r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    FillIn(canvas, r, GetViewColor(info.ViewType));
    const int handle = GetDragHandleSize(info);
    if (handle <= 0)
        return;
    const bool hasClose = (info.CloseButtonState & CB_SHOWN) != 0;
    TRect area = r;
    if (!info.Vertical)
        area.Right = area.Left + handle;
    else
        area.Bottom = area.Top + handle;
    if (info.DragHandleStyle != 1) {
        static const int offsetWithout[3] = {2, 0, 2}, offsetWith[3] = {3, 0, 5};
        int style = std::min<int>(info.DragHandleStyle, 2);
        int offset = hasClose ? offsetWith[style] : offsetWithout[style];
        int along = hasClose ? handle - 2 : 0;
        auto bar = [&](int shift) {
            TRect b;
            if (!info.Vertical)
                b = Rect(area.Left + offset + shift, r.Top + along + 1, area.Left + offset + shift + 3, r.Bottom - 1);
            else
                b = Rect(r.Left + 1, area.Top + offset + shift, r.Right - along - 1, area.Top + offset + shift + 3);
            TRect edge = b;
            canvas.DrawEdge(edge, BDR_RAISEDINNER, BF_RECT);
            canvas.SetPixel(b.Left, b.Bottom - 1, ColorToRGB(clBtnHighlight));
        };
        bar(0);
        if (style == 0)
            bar(3);
    }
    if (hasClose) {
        TRect button = GetToolbarCloseButtonRect(info);
        if (!info.Vertical)
            button.Bottom -= 2;
        else
            button.Left += 2;
        button.Right -= 2;
        const bool pushed = (info.CloseButtonState & CB_PRESSED) != 0;
        TRect edge = button;
        if (pushed)
            canvas.DrawEdge(edge, BDR_SUNKENOUTER, BF_RECT);
        else if (info.CloseButtonState & CB_HOT)
            canvas.DrawEdge(edge, BDR_RAISEDINNER, BF_RECT);
        InflateRect(button, -2, -2);
        PaintGlyphPattern(canvas, button.Left + pushed, button.Top + pushed, 8, kCloseCross, clBtnText);
    }
}

int TTBKDefaultTheme::GetIntegerMetric(int id) {
    switch (id) {
    case 10:
        return 11;
    case 20:
        return 8;
    case 21:
        return 3;
    case 30:
        return 2;
    case 31:
        return 0;
    case 32:
        return 1;
    case 33:
        return 2;
    case 34:
        return 3;
    case 35:
        return -1;
    case 36:
        return 2;
    case 37:
        return 4;
    case 40:
        return 6;
    case 50:
        return -1;
    case 60:
        return 2;
    case 61:
        return 2;
    case 62:
        return 1;
    case 64:
        return 4;
    case 65:
        return 13;
    default:
        return -1;
    }
}

bool TTBKDefaultTheme::GetBooleanMetric(int id) {
    switch (id) {
    case TMB_USEXPTOOLBARCOLOR:
        return true;
    case TMB_PAINTDOCKBACKGROUND:
        return !display().UseVisualStyles;
    default:
        return false;
    }
}
