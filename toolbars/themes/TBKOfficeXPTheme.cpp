#include "toolbars/themes/TBKOfficeXPTheme.h"

#include "platform/gfx/Canvas.h"
#include "platform/gfx/ImageList.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/themes/TBKColors.h"
#include "toolbars/themes/TBKDefaultTheme.h"
#include "toolbars/themes/TBKGlyphs.h"
#include "toolbars/themes/TBKNexus.h"
#include "toolbars/themes/TBKPaintKit.h"

#include <algorithm>

namespace {

// The fixed greys of docked bars, whatever the system colours.
constexpr TColor kMenuBarGrey = 0xA4A0A0;
constexpr TColor kToolbarGrey = 0xC0C0C0;

TColor near(TColor color) { return NearestColor(color); }
TColor mix(TColor a, TColor b, int w) { return MixColorsPercent(a, b, w); }
TColor blackOrWhite(TColor color, int threshold) { return IsDarkColor(color, threshold) ? clWhite : clBlack; }

} // namespace

TTBKOfficeXPColors ComputeOfficeXPColors(bool lowColor) {
    TTBKOfficeXPColors c{};
    auto row = [&c](int first, TColor fill, TColor text, TColor frame) {
        c[static_cast<size_t>(first)] = fill;
        c[static_cast<size_t>(first + 1)] = text;
        c[static_cast<size_t>(first + 2)] = frame;
    };
    if (lowColor) {
        c = {clBtnFace, clBtnFace, clWindow, clWindow, clBtnText, clBtnShadow, clBtnShadow, clBtnHighlight,
             clBtnShadow, clBtnShadow, clBtnHighlight};
        row(XPC_P0, clNone, clWindowText, clNone);
        row(XPC_P1, clNone, clGrayText, clNone);
        row(XPC_P2, clWindow, clWindowText, clHighlight);
        row(XPC_P3, clWindow, clGrayText, clHighlight);
        row(XPC_T0, clNone, clBtnText, clNone);
        row(XPC_T1, clNone, clBtnShadow, clNone);
        row(XPC_T2, clWindow, clWindowText, clHighlight);
        row(XPC_T3, clHighlight, clHighlightText, clHighlight);
        row(XPC_T4, clWindow, clWindowText, clHighlight);
        row(XPC_T5, clWindow, clBtnShadow, clHighlight);
        row(XPC_T6, clHighlight, clHighlightText, clHighlight);
        row(XPC_T7, clBtnFace, clBtnText, clBtnText);
        c[XPC_UNUSED47] = clBtnText;
        c[XPC_POPUPSEPARATOR] = clBtnShadow;
        c[XPC_SEPARATOR] = clBtnShadow;
        c[XPC_GLYPHSHADOW] = clBtnFace;
        return c;
    }
    c[XPC_BTNFACE] = clBtnFace;
    c[XPC_GUTTER] = near(mix(clWindow, clBtnFace, 15));
    c[XPC_POPUP] = near(mix(clBtnFace, clWindow, 15));
    c[XPC_POPUP2] = near(mix(clBtnFace, clWindow, 15));
    const TColor popup = c[XPC_POPUP], gutter = c[XPC_GUTTER];
    c[XPC_POPUPFRAME] = near(EnsureContrast(mix(clBtnText, clBtnShadow, 20), popup));
    c[XPC_ACTIVEBORDER] = near(mix(clBtnText, clBtnShadow, 15));
    c[XPC_ACTIVECAPTION] = clBtnShadow;
    c[XPC_ACTIVECAPTIONTEXT] = near(EnsureContrast(clBtnHighlight, clBtnShadow));
    c[XPC_INACTIVEBORDER] = near(mix(clBtnText, clBtnFace, 15));
    c[XPC_INACTIVECAPTION] = clBtnFace;
    c[XPC_INACTIVECAPTIONTEXT] = near(EnsureContrast(clBtnText, clBtnFace));
    const TColor grayOnPopup = near(mix(popup, clGrayText, 30));
    row(XPC_P0, clNone, near(EnsureContrast(clWindowText, popup)), clNone);
    row(XPC_P1, clNone, grayOnPopup, clNone);
    row(XPC_P2, near(mix(clHighlight, clWindow, 30)), clMenuText, clHighlight);
    row(XPC_P3, popup, grayOnPopup, clHighlight);
    row(XPC_T0, clNone, blackOrWhite(gutter, 128), clNone);
    row(XPC_T1, clNone, near(mix(clWindow, clBtnShadow, 10)), clNone);
    const TColor h2 = NearestBlendColor(clHighlight, BlendColors(clWindow, clBtnFace, 130), 23);
    const TColor h3 = near(mix(clWindow, clHighlight, 50));
    const TColor h4 = near(mix(clHighlight, clWindow, 30));
    row(XPC_T2, h2, blackOrWhite(h2, 128), clHighlight);
    row(XPC_T3, h3, blackOrWhite(h3, 150), clHighlight);
    row(XPC_T4, h4, blackOrWhite(h4, 128), EnsureContrast(clHighlight, gutter));
    row(XPC_T5, h4, c[XPC_T1 + XPR_TEXT], clHighlight);
    row(XPC_T6, h3, blackOrWhite(h3, 150), clHighlight);
    row(XPC_T7, clBtnFace, blackOrWhite(clBtnFace, 128), c[XPC_POPUPFRAME]);
    c[XPC_UNUSED47] = near(mix(clWindow, clBtnShadow, 25));
    c[XPC_POPUPSEPARATOR] = near(mix(clWindow, clBtnShadow, 30));
    c[XPC_SEPARATOR] = near(mix(clWindow, clBtnShadow, 30));
    c[XPC_GLYPHSHADOW] = near(mix(clBlack, h4, 25));
    return c;
}

void TTBKOfficeXPTheme::UpdateColorScheme() { colors_ = ComputeOfficeXPColors(TBKDisplay().LowColor); }

int TTBKOfficeXPTheme::ToolbarRow(const TTBKItemInfo& info) const {
    if (!info.Enabled)
        return info.Hover == 1 ? XPC_T5 : XPC_T1;
    if (info.PopupOpen)
        return XPC_T7;
    if (info.Pushed)
        return XPC_T3;
    if (info.Checked)
        return info.Hover != 0 ? XPC_T6 : XPC_T2;
    return info.Hover != 0 ? XPC_T4 : XPC_T0;
}

int TTBKOfficeXPTheme::ItemRow(const TTBKItemInfo& info) const {
    if (!IsPopupMenuRow(info))
        return ToolbarRow(info);
    if (info.Enabled)
        return info.Hover != 0 ? XPC_P2 : XPC_P0;
    return info.Hover == 1 ? XPC_P3 : XPC_P1;
}

TColor TTBKOfficeXPTheme::GetItemColor(const TTBKItemInfo& info) {
    TColor fill = itemColor(info, XPR_FILL);
    return fill == clNone ? GetViewColor(info.ViewType) : fill;
}

void TTBKOfficeXPTheme::GetMargins(int, TRect& margins) { margins = Rect(2, 2, 2, 2); }

TColor TTBKOfficeXPTheme::GetImageBackgroundColor(const TTBKItemInfo& info) {
    TColor fill = toolbarColor(info, XPR_FILL);
    return fill == clNone ? GetViewColor(info.ViewType) : fill;
}

void TTBKOfficeXPTheme::GetViewBorder(TTBKViewType viewType, TPoint& border) {
    if (IsPopupType(viewType)) {
        border = {IsPopupMenuType(viewType) ? 1 : 2, 2};
    } else if (IsToolbarType(viewType) || (viewType & TVT_DOCKPANEL)) {
        if (viewType & TVT_FLOATING) {
            TPoint frame = FloatingFrameSize(viewType);
            border = {frame.X - 1, frame.Y - 1};
        } else {
            int size = IsToolbarType(viewType) ? 2 : 3;
            border = {size, size};
        }
    } else {
        border = {0, 0};
    }
}

TColor TTBKOfficeXPTheme::GetViewColor(TTBKViewType viewType) {
    if (IsMenuBarType(viewType))
        return kMenuBarGrey;
    if (IsToolbarType(viewType))
        return kToolbarGrey;
    if ((viewType & TVT_LISTPOPUP) == TVT_LISTPOPUP)
        return clWindow;
    if (viewType & TVT_POPUPGROUP)
        return colors_[XPC_POPUP];
    if (viewType & TVT_DOCKPANEL)
        return kMenuBarGrey;
    return clBtnFace;
}

void TTBKOfficeXPTheme::GetViewMargins(TTBKViewType, TRect& margins) { margins = TRect{}; }

void TTBKOfficeXPTheme::PaintBackground(TCanvas& canvas, const TRect& rect, TColor color, TTBKViewType) {
    FillIn(canvas, rect, color);
}

void TTBKOfficeXPTheme::PaintButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    const bool hot = ItemIsHot(info);
    TRect r = rect;
    if ((info.Options & IO_DESIGNING) && !info.Checked) {
        if (info.Part == IP_SPLITDROPDOWN)
            r.Left -= 1;
        FrameIn(canvas, r, NearestBlendColor(clBtnShadow, clBtnFace, 100), false);
    } else if (hot || (info.Enabled && (info.Checked || info.Pushed))) {
        if (info.Part == IP_SPLITMAIN && info.PopupOpen)
            r.Right += 1;
        if (info.Part == IP_SPLITDROPDOWN)
            r.Left -= 1;
        FrameIn(canvas, r, toolbarColor(info, XPR_FRAME), true);
        FillIn(canvas, r, toolbarColor(info, XPR_FILL));
    } else if (info.Part == IP_SPLITDROPDOWN) {
        r.Left -= 1;
    }
    if (info.Part == IP_SPLITDROPDOWN)
        PaintDropDownArrow(canvas, r, info);
}

void TTBKOfficeXPTheme::PaintCaption(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info,
                                     const std::string& caption, unsigned format, bool rotated) {
    DrawCaptionIn(canvas, rect, caption, format, rotated, itemColor(info, XPR_TEXT));
}

void TTBKOfficeXPTheme::PaintCheckMark(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    int cx = (rect.Left + rect.Right) / 2 - 2, cy = (rect.Top + rect.Bottom) / 2 + 1;
    PolylineIn(canvas,
               {{cx - 2, cy - 2}, {cx, cy}, {cx + 4, cy - 4}, {cx + 4, cy - 3}, {cx, cy + 1}, {cx - 2, cy - 1},
                {cx - 2, cy - 2}},
               toolbarColor(info, XPR_TEXT));
}

void TTBKOfficeXPTheme::PaintChevron(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    PaintButton(canvas, rect, info);
    const TColor color = itemColor(info, XPR_TEXT);
    if (!info.Vertical)
        PaintGlyphPattern(canvas, rect.Left + 2, 4, 8, kChevronHorizontal, color);
    else
        PaintGlyphPattern(canvas, rect.Right - 9, rect.Top + 2, 5, kChevronVertical, color);
}

void TTBKOfficeXPTheme::PaintEditFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info,
                                       const TTBKEditInfo& editInfo) {
    PaintFrame(canvas, rect, info);
    TRect field = rect;
    int frame = GetIntegerMetric(TMI_EDIT_FRAMEWIDTH);
    InflateRect(field, -frame, -frame);
    if (editInfo.LeftButtonWidth > 0)
        field.Left += editInfo.LeftButtonWidth - 2;
    if (editInfo.RightButtonWidth > 0)
        field.Right -= editInfo.RightButtonWidth - 2;
    const bool popupSide = !IsToolbarType(info.ViewType) && itemColor(info, XPR_FRAME) == clNone;
    if (info.Enabled) {
        if (popupSide) {
            TRect outer = rect;
            FrameIn(canvas, outer, colors_[XPC_GUTTER], false);
        } else {
            TRect f = field;
            FrameIn(canvas, f, clWindow, false);
        }
    }
    InflateRect(field, -1, -1);
    if (info.Enabled) {
        FillIn(canvas, field, clWindow);
        if (popupSide) {
            TRect inner = rect;
            InflateRect(inner, -1, -1);
            FrameIn(canvas, inner, colors_[XPC_GUTTER], false);
        }
    }
    if (editInfo.RightButtonWidth > 0) {
        TTBKButtonInfo button;
        if (!info.Enabled)
            button.ButtonState |= BS_DISABLED;
        TRect strip = Rect(field.Right - editInfo.RightButtonWidth, field.Top, field.Right, field.Bottom);
        PaintEditButton(canvas, strip, info, button);
    }
}

void TTBKOfficeXPTheme::PaintEditButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info,
                                        const TTBKButtonInfo& buttonInfo) {
    TRect grown = rect;
    InflateRect(grown, 1, 1);
    grown.Left += 1;
    TTBKItemInfo state = info;
    state.Pushed = (buttonInfo.ButtonState & BS_PUSHED) != 0;
    state.Hover = (buttonInfo.ButtonState & BS_HOT) ? 2 : 0;
    state.Enabled = !(buttonInfo.ButtonState & BS_DISABLED);
    if (state.Enabled) {
        if (state.Pushed || state.Hover != 0) {
            PaintButton(canvas, grown, state);
        } else if (IsToolbarType(info.ViewType)) {
            TRect r = rect;
            FrameIn(canvas, r, clWindow, false);
            LineIn(canvas, rect.Left - 1, rect.Top, rect.Left - 1, rect.Bottom, clWindow);
        }
    }
    PaintDropDownArrow(canvas, grown, state);
}

void TTBKOfficeXPTheme::PaintPanel(TCanvas& canvas, const TRect& rect, const TTBKPanelInfo& info) {
    TRect r = rect;
    FrameIn(canvas, r, GetViewColor(info.ViewType), true);
    if (!info.ShowCaption) {
        FillIn(canvas, r, clBtnFace);
        return;
    }
    const int captionHeight = TBSystemMetric(SM_CYSMCAPTION);
    TRect caption = Rect(r.Left, r.Top, r.Right, r.Top + captionHeight);
    FillIn(canvas, caption, clBtnFace);
    LineIn(canvas, r.Left, caption.Bottom, r.Right, caption.Bottom, GetViewColor(info.ViewType));
    FillIn(canvas, Rect(r.Left, caption.Bottom + 1, r.Right, r.Bottom), clBtnFace);
    if (info.CloseButtonState & CB_SHOWN) {
        TRect button = Rect(caption.Right - captionHeight, caption.Top, caption.Right, caption.Bottom);
        caption.Right = button.Left;
        paintCloseButton(canvas, button, info.CloseButtonState, false, clBtnText);
    }
    caption.Left += 2;
    DrawSmallCaption(canvas, caption, info.Caption, clBtnText);
}

void TTBKOfficeXPTheme::PaintDropDownArrow(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    int cx = (rect.Left + rect.Right) / 2, cy = (rect.Top + rect.Bottom) / 2;
    const TColor color = itemColor(info, XPR_TEXT);
    if (!info.Vertical)
        PolygonIn(canvas, {{cx - 2, cy - 1}, {cx + 2, cy - 1}, {cx, cy + 1}}, color);
    else
        PolygonIn(canvas, {{cx, cy + 1}, {cx, cy - 3}, {cx - 2, cy - 1}}, color);
}

int TTBKOfficeXPTheme::closeButtonRow(uint32_t state, bool inactive) {
    if (inactive)
        return XPC_T1;
    if (state & CB_PRESSED)
        return XPC_T3;
    if (state & CB_HOT)
        return XPC_T4;
    return XPC_T0;
}

void TTBKOfficeXPTheme::paintCloseButton(TCanvas& canvas, TRect rect, uint32_t state, bool inactive,
                                         TColor fallbackText) {
    const int row = closeButtonRow(state, inactive);
    FrameIn(canvas, rect, colors_[static_cast<size_t>(row + XPR_FRAME)], true);
    bool filled = FillIn(canvas, rect, colors_[static_cast<size_t>(row + XPR_FILL)]);
    PaintWindowGlyph(canvas, rect, 0, filled ? colors_[static_cast<size_t>(row + XPR_TEXT)] : fallbackText);
}

void TTBKOfficeXPTheme::PaintFloatingBorder(TCanvas& canvas, const TRect& rect, const TTBKWindowInfo& info) {
    const bool active = info.ActiveCaption;
    const TColor border = colors_[active ? XPC_ACTIVEBORDER : XPC_INACTIVEBORDER];
    const TColor captionFill = colors_[active ? XPC_ACTIVECAPTION : XPC_INACTIVECAPTION];
    const TColor captionText = colors_[active ? XPC_ACTIVECAPTIONTEXT : XPC_INACTIVECAPTIONTEXT];
    const TColor viewColor = GetViewColor(info.ViewType);
    const TPoint frame = info.FloatingBorderSize;
    if (info.RedrawParts & RP_BORDER) {
        TRect inner = rect;
        InflateRect(inner, -frame.X, -frame.Y);
        TExcludedClip clip(canvas, inner);
        FillIn(canvas, rect, border);
        const int l = inner.Left, t = inner.Top, r = inner.Right, b = inner.Bottom;
        PolylineIn(canvas,
                   {{l, t - 1}, {r - 1, t - 1}, {r, t}, {r, b - 1}, {r - 1, b}, {l, b}, {l - 1, b - 1}, {l - 1, t},
                    {l, t - 1}},
                   viewColor);
    }
    if (!info.ShowCaption)
        return;
    const bool hasClose = (info.CloseButtonState & CB_SHOWN) != 0;
    TRect caption = GetCaptionRect(info, true, false);
    if (info.RedrawParts & RP_CAPTION) {
        TRect strip = caption;
        LineIn(canvas, strip.Left, strip.Bottom, strip.Right, strip.Bottom, viewColor);
        if (hasClose && (info.RedrawParts & RP_CLOSEBUTTON))
            strip.Right -= TBSystemMetric(SM_CYSMCAPTION) - 1;
        FillIn(canvas, strip, captionFill);
        InflateRect(strip, -2, 0);
        DrawSmallCaption(canvas, strip, info.Caption, captionText);
    }
    if (hasClose && (info.RedrawParts & RP_CLOSEBUTTON)) {
        TRect button = GetCloseButtonRect(info, true);
        LineIn(canvas, button.Left, button.Bottom, button.Right, button.Bottom, viewColor);
        FillIn(canvas, button, captionFill);
        paintCloseButton(canvas, button, info.CloseButtonState, !active, captionText);
    }
}

void TTBKOfficeXPTheme::PaintFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    TRect r = rect;
    FrameIn(canvas, r, itemColor(info, XPR_FRAME), true);
    FillIn(canvas, r, itemColor(info, XPR_FILL));
}

void TTBKOfficeXPTheme::PaintImage(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, TImageList* images,
                                   int imageIndex) {
    const bool dark = IsDarkColor(GetImageBackgroundColor(info), 100);
    if (!info.Enabled) {
        DrawGlyphMonochrome(canvas, rect, images, colors_[XPC_T1 + XPR_TEXT], imageIndex);
    } else if (!info.Checked && !info.Pushed && info.Hover == 0) {
        if (!dark && !TBKDisplay().HighContrast)
            DrawGlyphBlended(canvas, rect, images, 178, clWindow, imageIndex);
        else
            DrawGlyphContrast(canvas, rect, images, dark, imageIndex);
    } else if (!info.Checked && (!info.Pushed || info.PopupOpen)) {
        TRect shadow = rect, raised = rect;
        OffsetRect(shadow, 1, 1);
        OffsetRect(raised, -1, -1);
        DrawGlyphSilhouette(canvas, shadow, images, colors_[XPC_GLYPHSHADOW], imageIndex);
        DrawGlyphContrast(canvas, raised, images, dark, imageIndex);
    } else {
        DrawGlyphContrast(canvas, rect, images, dark, imageIndex);
    }
}

void TTBKOfficeXPTheme::PaintMDIButton(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, int kind) {
    PaintButton(canvas, rect, info);
    // The maximise button shows no glyph in this look.
    if (kind != 2)
        PaintWindowGlyph(canvas, rect, kind, itemColor(info, XPR_TEXT));
}

void TTBKOfficeXPTheme::PaintMenuItem(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    const int arrowWidth = TBSystemMetric(SM_CXMENUCHECK);
    PaintMenuItemFrame(canvas, rect, info);
    const TColor text = itemColor(info, XPR_TEXT);
    if (info.Options & IO_COMBO) {
        TColor line = !info.Enabled ? text : info.Hover == 2 ? itemColor(info, XPR_FRAME) : colors_[XPC_POPUPSEPARATOR];
        int x = rect.Right - arrowWidth - 1;
        LineIn(canvas, x, rect.Top + 1, x, rect.Bottom - 1, line);
    }
    if (info.Options & IO_SUBMENU) {
        int x = rect.Right - (arrowWidth * 2) / 3 - 1, y = rect.Bottom / 2;
        PolygonIn(canvas, {{x, y - 3}, {x, y + 3}, {x + 3, y}}, text);
    }
    if (info.Enabled && info.Checked) {
        TRect r = rect;
        InflateRect(r, -1, -1);
        TRect cell = Rect(r.Left, r.Top, r.Left + info.GlyphColumnWidth - 2, r.Bottom);
        FrameIn(canvas, cell, toolbarColor(info, XPR_FRAME), true);
        FillIn(canvas, cell, toolbarColor(info, XPR_FILL));
    }
}

void TTBKOfficeXPTheme::PaintMenuItemFrame(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    if ((info.ViewType & TVT_TOOLBOXPOPUP) != TVT_TOOLBOXPOPUP)
        FillIn(canvas, Rect(rect.Left, rect.Top, rect.Left + info.GlyphColumnWidth + 2, rect.Bottom),
               colors_[XPC_GUTTER]);
    PaintFrame(canvas, Rect(rect.Left + 1, rect.Top, rect.Right - 1, rect.Bottom), info);
}

void TTBKOfficeXPTheme::PaintPopupNCArea(TCanvas& canvas, const TRect& rect, const TTBKPopupInfo& info) {
    TRect r = rect;
    FrameIn(canvas, r, colors_[XPC_POPUPFRAME], true);
    FillIn(canvas, r, colors_[XPC_POPUP]);
    const TRect& item = info.ParentItemRect;
    if (item.IsEmpty())
        return;
    const TColor joint = colors_[XPC_GUTTER];
    auto horizontalJoint = [&](int y) {
        int left = std::max(item.Left, rect.Left) + 1, right = std::min(item.Right, rect.Right) - 1;
        if (left < right)
            LineIn(canvas, left, y, right, y, joint);
    };
    auto verticalJoint = [&](int x) {
        int top = std::max(item.Top, rect.Top) + 1, bottom = std::min(item.Bottom, rect.Bottom) - 1;
        if (top < bottom)
            LineIn(canvas, x, top, x, bottom, joint);
    };
    // The item touches the popup, or (joined) its last row is the popup's
    // border.
    auto touches = [](int itemEdge, int popupEdge, int inward) {
        return itemEdge == popupEdge || itemEdge == popupEdge + inward;
    };
    if (touches(item.Bottom, rect.Top, 1))
        horizontalJoint(rect.Top);
    else if (touches(item.Top, rect.Bottom, -1))
        horizontalJoint(rect.Bottom - 1);
    else if (touches(item.Right, rect.Left, 1))
        verticalJoint(rect.Left);
    else if (touches(item.Left, rect.Right, -1))
        verticalJoint(rect.Right - 1);
}

void TTBKOfficeXPTheme::PaintSeparator(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info, bool horizontal,
                                       bool) {
    if (horizontal) {
        int y = rect.Bottom / 2;
        if (!(info.Options & IO_TOOLBARSTYLE) && (info.ViewType & TVT_TOOLBOXPOPUP) != TVT_TOOLBOXPOPUP &&
            IsPopupType(info.ViewType)) {
            FillIn(canvas, Rect(rect.Left, rect.Top, rect.Left + info.GlyphColumnWidth + 2, rect.Bottom),
                   colors_[XPC_GUTTER]);
            LineIn(canvas, rect.Left + info.GlyphColumnWidth + 9, y, rect.Right, y, colors_[XPC_POPUPSEPARATOR]);
        } else {
            LineIn(canvas, rect.Left, y, rect.Right, y, colors_[XPC_SEPARATOR]);
        }
    } else {
        int x = rect.Right / 2;
        LineIn(canvas, x, rect.Top, x, rect.Bottom, colors_[XPC_SEPARATOR]);
    }
}

void TTBKOfficeXPTheme::PaintToolbarNCArea(TCanvas& canvas, const TRect& rect, const TTBKToolbarInfo& info) {
    TRect r = rect;
    const int face = ColorLuminance(clBtnFace);
    auto corners = [&](const TRect& box, TColor color) {
        TColor c = ColorToRGB(color);
        canvas.SetPixel(box.Left, box.Top, c);
        canvas.SetPixel(box.Right - 1, box.Top, c);
        canvas.SetPixel(box.Left, box.Bottom - 1, c);
        canvas.SetPixel(box.Right - 1, box.Bottom - 1, c);
    };
    if (IsMenuBarType(info.ViewType) || (!TBKDisplay().LowColor && face >= 64 && face <= 250)) {
        FrameIn(canvas, r, kMenuBarGrey, true);
        FrameIn(canvas, r, kToolbarGrey, false);
        corners(r, kMenuBarGrey);
    } else {
        TColor second = face < 64 ? clWhite : clBtnShadow;
        const TRect outer = r;
        FillDithered(canvas, Rect(outer.Left, outer.Top, outer.Right, outer.Top + 1), clBtnFace, second);
        FillDithered(canvas, Rect(outer.Left, outer.Bottom - 1, outer.Right, outer.Bottom), clBtnFace, second);
        FillDithered(canvas, Rect(outer.Left, outer.Top, outer.Left + 1, outer.Bottom), clBtnFace, second);
        FillDithered(canvas, Rect(outer.Right - 1, outer.Top, outer.Right, outer.Bottom), clBtnFace, second);
        InflateRect(r, -1, -1);
        corners(r, kToolbarGrey);
        FrameIn(canvas, r, kToolbarGrey, false);
    }
    InflateRect(r, -1, -1);
    const int handle = GetDragHandleSize(info);
    if (handle <= 0)
        return;
    const bool hasClose = (info.CloseButtonState & CB_SHOWN) != 0;
    TRect area = r;
    if (!info.Vertical)
        area.Right = area.Left + handle;
    else
        area.Bottom = area.Top + handle;
    FillIn(canvas, area, kToolbarGrey);
    const int closeSide = !info.Vertical ? area.Width() - 1 : area.Height() - 1;
    if (info.DragHandleStyle != 1) {
        static const int offsetWithout[3] = {2, 0, 1}, offsetWith[3] = {5, 0, 5};
        int style = std::min<int>(info.DragHandleStyle, 2);
        int offset = hasClose ? offsetWith[style] : offsetWithout[style];
        if (!info.Vertical) {
            int x = area.Left + offset, top = area.Top + (hasClose ? closeSide : 0);
            for (int y = top + 3; y < area.Bottom - 3; y += 2)
                LineIn(canvas, x, y, x + 3, y, kMenuBarGrey);
        } else {
            int y = area.Top + offset, right = area.Right - (hasClose ? closeSide : 0);
            for (int x = area.Left + 3; x < right - 3; x += 2)
                LineIn(canvas, x, y, x, y + 3, kMenuBarGrey);
        }
    }
    if (hasClose) {
        TRect button = !info.Vertical ? Bounds(area.Left, area.Top, closeSide, closeSide)
                                      : Bounds(area.Right - closeSide, area.Top, closeSide, closeSide);
        const int row = closeButtonRow(info.CloseButtonState, false);
        FrameIn(canvas, button, colors_[static_cast<size_t>(row + XPR_FRAME)], true);
        FillIn(canvas, button, colors_[static_cast<size_t>(row + XPR_FILL)]);
        PaintGlyphPattern(canvas, button.Left + (button.Width() - 8) / 2, button.Top + (button.Height() - 7) / 2, 8,
                          kToolbarCloseCross, colors_[static_cast<size_t>(row + XPR_TEXT)]);
    }
}

int TTBKOfficeXPTheme::GetIntegerMetric(int id) {
    switch (id) {
    case 10:
        return 12;
    case 20:
        return 8;
    case 21:
        return 3;
    case 30:
        return 3;
    case 31:
        return 1;
    case 32:
        return 0;
    case 33:
        return 8;
    case 34:
        return 3;
    case 35:
        return 3;
    case 36:
        return 2;
    case 37:
        return 2;
    case 40:
        return 6;
    case 50:
        return -1;
    case 60:
        return 1;
    case 61:
        return 2;
    case 62:
        return 2;
    case 64:
        return 0;
    case 65:
        return 14;
    default:
        return -1;
    }
}

bool TTBKOfficeXPTheme::GetBooleanMetric(int id) {
    return id == TMB_OFFSETDROPDOWNMENU || id == TMB_EDITMENUFULLSELECT;
}
