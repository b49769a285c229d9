#include "toolbars/themes/TBKItems.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/ImageList.h"
#include "toolbars/TBDrawText.h"
#include "toolbars/TBLoopState.h"
#include "toolbars/TBPopupPlacement.h"
#include "toolbars/TBPopupWindow.h"
#include "toolbars/TBView.h"
#include "toolbars/themes/TBKPopupWindow.h"

#include <algorithm>

namespace {

int metric(int id) { return CurrentTheme().GetIntegerMetric(id); }

bool isDesigning(const TTBCustomItem* item) { return (item->ComponentState() & csDesigning) != 0; }

} // namespace

TCanvas& ThemeWorkCanvas() {
    static TBitmap bitmap(1, 1);
    return bitmap.Canvas();
}

// ---------------------------------------------------------------------------
// Items

TTBKCustomItem::TTBKCustomItem(TComponent* owner) : TTBCustomItem(owner) {}

void TTBKCustomItem::SetStretch(bool value) {
    if (value)
        ItemStyle |= isStretch;
    else
        ItemStyle &= static_cast<TTBItemStyle>(~isStretch);
}

TTBItemViewerClass TTBKCustomItem::ViewerClassFor(TTBView*) { return &TTBKItemViewer::Make; }

TTBPopupWindowClass TTBKCustomItem::PopupWindowClass() { return &TTBKPopupWindow::Make; }

void TTBKCustomItem::PlacePopup(TTBView* parentView, TTBPopupWindow* popup, TTBPopupPositionRec& rec) {
    PlaceJoinedPopup(this, parentView, popup, rec);
}

TTBPopupWindow* TTBKCustomItem::OpenPopupWindow(TTBView* parentView, TTBItemViewer* parentViewer,
                                                bool positionAsSubmenu, bool selectFirstItem, bool customizing,
                                                TPoint position, int alignment) {
    return TTBCustomItem::OpenPopupWindow(parentView, parentViewer, positionAsSubmenu,
                                          selectFirstItem || AlwaysSelectFirst, customizing, position, alignment);
}

void PlaceJoinedPopup(TTBCustomItem* item, TTBView* parentView, TTBPopupWindow* popup, TTBPopupPositionRec& rec) {
    const bool join = CurrentTheme().GetBooleanMetric(TMB_OFFSETDROPDOWNMENU) && !rec.PositionAsSubmenu;
    if (join) {
        TRect& parent = rec.ParentItemRect;
        parent.Right -= 1;
        parent.Bottom -= 1;
        if (rec.X == parent.Right + 1)
            rec.X -= 1;
        else if (rec.X + rec.Width <= parent.Left)
            rec.X += 1;
        if (rec.Y == parent.Bottom + 1)
            rec.Y -= 1;
        else if (rec.Y + rec.Height <= parent.Top)
            rec.Y += 1;
        rec.Width -= 1;
        rec.Height -= 1;
    }
    item->TTBCustomItem::PlacePopup(parentView, popup, rec);
    if (join) {
        rec.Width += 1;
        rec.Height += 1;
    }
}

TTBKSubmenuItem::TTBKSubmenuItem(TComponent* owner) : TTBKCustomItem(owner) {
    ItemStyle |= isSubmenu | isSubitemsEditable;
}

void TTBKSubmenuItem::SetDropdownCombo(bool value) {
    if (value == DropdownCombo())
        return;
    if (value)
        ItemStyle |= isDropDownCombo;
    else
        ItemStyle &= static_cast<TTBItemStyle>(~isDropDownCombo);
    NotifyChange(true);
}

void TTBKSeparatorItem::SetSize(int value) {
    int size = std::max(value, -1);
    if (size == size_)
        return;
    size_ = size;
    NotifyChange(true);
}

TTBItemViewerClass TTBKSeparatorItem::ViewerClassFor(TTBView*) { return &TTBKSeparatorItemViewer::Make; }

// ---------------------------------------------------------------------------
// Shared viewer rules

int GlyphColumnWidth(TTBItemViewer* viewer) {
    int w = 16, h = 16;
    if (TImageList* images = viewer->GetImageList()) {
        w = images->Width();
        h = images->Height();
    }
    int m = 2 * metric(TMI_MENU_IMGTEXTSPACE);
    TCanvas& canvas = ThemeWorkCanvas();
    canvas.SetFont(viewer->View()->GetFont());
    const TTextMetric& tm = canvas.TextMetrics();
    int t = tm.Height + tm.ExternalLeading;
    if (h + m <= 0)
        return w + m;
    return (w + m) * std::max(t + m, h + m) / (h + m);
}

uint8_t HoverOf(TTBItemViewer* viewer, bool isSelected, bool enabled) {
    if (!isSelected)
        return 0;
    if (enabled)
        return 2;
    return viewer->View()->MouseOverSelected() ? 0 : 1;
}

// ---------------------------------------------------------------------------
// TTBKItemViewer

TTBItemViewer* TTBKItemViewer::Make(TTBView* view, TTBCustomItem* item) { return new TTBKItemViewer(view, item); }

TSize TTBKItemViewer::ImageSize() const {
    TImageList* images = GetImageList();
    return images != nullptr ? TSize{images->Width(), images->Height()} : TSize{};
}

bool TTBKItemViewer::glyphTop() const {
    auto* item = dynamic_cast<TTBKCustomItem*>(Item());
    TTBKItemLayout layout = item != nullptr ? item->Layout() : tbklAuto;
    if (layout != tbklAuto)
        return layout == tbklGlyphTop;
    return (Item()->EffectiveOptions() & tboImageAboveCaption) || View()->Orientation == tbvoVertical;
}

bool TTBKItemViewer::rotated() const {
    auto* item = dynamic_cast<TTBKCustomItem*>(Item());
    TTBKItemLayout layout = item != nullptr ? item->Layout() : tbklAuto;
    return View()->Orientation == tbvoVertical && IsToolbarStyle() && layout == tbklAuto &&
           !(Item()->EffectiveOptions() & tboImageAboveCaption);
}

TSize TTBKItemViewer::TextExtent(TCanvas& canvas, const std::string& text, bool rotatedText, unsigned format) {
    if (text.empty())
        return {};
    TFont font = View()->GetFont();
    if (auto* item = dynamic_cast<TTBKCustomItem*>(Item()))
        ScaleFontSize(font, item->FontSize());
    if (Item()->EffectiveOptions() & tboDefault)
        font.SetStyle(font.Style() | fsBold);
    canvas.SetFont(font);
    TRect r = Rect(0, 0, 1, 0);
    TBDrawText(canvas, text, r, (format | DT_CALCRECT) & ~(DT_CENTER | DT_VCENTER));
    if (rotatedText)
        return {canvas.TextMetrics().Height, r.Width()};
    return {r.Right, r.Bottom};
}

void TTBKItemViewer::MeasureSize(TCanvas& canvas, int& width, int& height) {
    TTBKTheme& theme = CurrentTheme();
    auto m = [&theme](int id) { return theme.GetIntegerMetric(id); };
    const bool toolbarStyle = IsToolbarStyle();
    const bool vertical = View()->Orientation == tbvoVertical;
    TSize glyph = ImageShown() ? ImageSize() : TSize{};
    if (glyph.cx < 1 || glyph.cy < 1)
        glyph = {};
    bool rotatedText = rotated();
    TSize text{};
    if (ShowsCaption()) {
        unsigned format = (rotatedText || !toolbarStyle) ? DT_SINGLELINE : 0u;
        text = TextExtent(canvas, CaptionText(), rotatedText, format);
    } else {
        rotatedText = false;
    }
    int w = 0, h = 0;
    const bool top = glyphTop();
    if (toolbarStyle) {
        w = h = 6;
        if (text.cx > 0 || text.cy > 0) {
            w += text.cx;
            h += text.cy;
            (rotatedText ? h : w) += 6;
        }
        if (glyph.cx > 0) {
            if (top) {
                h += glyph.cy;
                w = std::max(w, glyph.cx + 7);
            } else {
                w += glyph.cx;
                h = std::max(h, glyph.cy + 6);
            }
        }
        if (Item()->ItemStyle & isSubmenu) {
            if (Item()->ItemStyle & isDropDownCombo) {
                w += m(TMI_SPLITBTN_ARROWWIDTH);
            } else if (Item()->EffectiveOptions() & tboDropdownArrow) {
                const int arrow = m(TMI_DROPDOWN_ARROWWIDTH);
                if (top && glyph.cx > 0 && !rotatedText) {
                    if (!vertical)
                        w = std::max(w, arrow + glyph.cx + 2 + 7);
                    else
                        h = std::max(h, arrow + glyph.cy + 2 + 7);
                } else {
                    (vertical ? h : w) += arrow;
                }
            }
        }
    } else {
        w = 2 * m(TMI_MENU_LCAPTIONMARGIN) + text.cx;
        h = 2 * m(TMI_MENU_IMGTEXTSPACE) + text.cy + canvas.TextMetrics().ExternalLeading;
        if (glyph.cx > 0)
            h = std::max(h, 2 * m(TMI_MENU_IMGTEXTSPACE) + glyph.cy);
        w += m(TMI_MENU_RCAPTIONMARGIN) + GlyphColumnWidth(this) + m(TMI_MENU_GLYPHTEXTSPACE) +
             m(TMI_MENU_AFTERCAPTION);
        std::string shortCut = Item()->ShortCutCaption();
        if (!shortCut.empty())
            w += TextExtent(canvas, shortCut, false, DT_SINGLELINE | DT_NOPREFIX).cx + (h - 6);
        w += h;
    }
    if (auto* item = dynamic_cast<TTBKCustomItem*>(Item())) {
        w = std::max(w, item->MinWidth());
        h = std::max(h, item->MinHeight());
    }
    width = w;
    height = h;
}

void TTBKItemViewer::DrawItemImage(TCanvas& canvas, const TRect& rect, const TTBKItemInfo& info) {
    TImageList* images = GetImageList();
    int index = Item()->ImageIndex();
    if (images != nullptr && index >= 0 && index < images->Count())
        CurrentTheme().PaintImage(canvas, rect, info, images, index);
}

void TTBKItemViewer::Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
                           bool useDisabledShadow) {
    TTBKTheme& theme = CurrentTheme();
    auto m = [&theme](int id) { return theme.GetIntegerMetric(id); };
    TTBCustomItem* item = Item();
    TTBView* view = View();
    const bool toolbarStyle = IsToolbarStyle();
    const bool vertical = view->Orientation == tbvoVertical;
    const bool combo = (item->ItemStyle & isDropDownCombo) != 0;
    bool dropPushed = false;
    if (combo && isPushed && !view->Capture()) {
        dropPushed = true;
        isPushed = false;
    }

    TTBKItemInfo info;
    info.ViewType = GetViewType(view);
    info.Options = (toolbarStyle ? IO_TOOLBARSTYLE : 0u) | (useDisabledShadow ? IO_DISABLEDSHADOW : 0u) |
                   ((item->ItemStyle & isSubmenu) ? IO_SUBMENU : 0u) | (combo ? IO_COMBO : 0u) |
                   (isDesigning(item) ? IO_DESIGNING : 0u);
    info.Enabled = item->Enabled() || view->Customizing();
    info.Pushed = isPushed;
    info.Hover = HoverOf(this, isSelected, info.Enabled);
    info.Checked = item->Checked();
    TSize glyph = ImageShown() ? ImageSize() : TSize{};
    if (glyph.cx < 1 || glyph.cy < 1)
        glyph = {};
    info.HasImage = glyph.cx > 0;
    info.ImageWidth = glyph.cx;
    info.ImageHeight = glyph.cy;
    info.Vertical = vertical && !combo;
    const bool popupOpenState = view->OpenViewer() == this;
    info.PopupOpen = toolbarStyle && (combo ? dropPushed : isPushed) &&
                     ((item->ItemStyle & isSubmenu) || popupOpenState);
    if (!toolbarStyle)
        info.GlyphColumnWidth = GlyphColumnWidth(this);

    const bool hasArrow = (item->ItemStyle & isSubmenu) && (combo || (item->EffectiveOptions() & tboDropdownArrow));
    const unsigned textFlags = TextFlags();
    const bool showCaption = ShowsCaption();
    bool rotatedText = showCaption && rotated();
    unsigned format = textFlags | ((rotatedText || !toolbarStyle) ? DT_SINGLELINE : 0u);
    const std::string caption = CaptionText();
    TSize text = showCaption ? TextExtent(canvas, caption, rotatedText, format) : TSize{};
    const bool top = glyphTop();
    const bool arrowInCaption =
        hasArrow && !combo && toolbarStyle && top && glyph.cx > 0 && !rotatedText && text.cx > 0;

    TRect r = clientArea;
    TRect captionRect;
    if (toolbarStyle) {
        TRect drop{};
        if (hasArrow) {
            info.Part = IP_DROPDOWN;
            if (combo) {
                info.Part = IP_SPLITMAIN;
                int right = r.Right;
                r.Right -= m(TMI_SPLITBTN_ARROWWIDTH);
                drop = Rect(r.Right, r.Top, right, r.Bottom);
            } else if (!arrowInCaption) {
                const int arrow = m(TMI_DROPDOWN_ARROWWIDTH), margin = m(TMI_DROPDOWN_ARROWMARGIN);
                drop = !vertical ? Rect(r.Right - arrow - margin, 0, r.Right - margin, r.Bottom)
                                 : Rect(0, r.Bottom - arrow - margin, r.Right, r.Bottom - margin);
            } else {
                const int arrow = m(TMI_DROPDOWN_ARROWWIDTH);
                drop.Right = (arrow + glyph.cx + 2 + r.Left + r.Right + 2) / 2;
                drop.Left = drop.Right - arrow;
                drop.Top = r.Top + (r.Height() - glyph.cy - text.cy) / 2;
                drop.Bottom = r.Top + glyph.cy;
            }
        }
        if (!combo) {
            theme.PaintButton(canvas, r, info);
            if (hasArrow)
                theme.PaintDropDownArrow(canvas, drop, info);
            if (hasArrow && !arrowInCaption)
                (vertical ? r.Bottom : r.Right) -= m(TMI_DROPDOWN_ARROWWIDTH);
        } else {
            theme.PaintButton(canvas, r, info);
            TTBKItemInfo dropInfo = info;
            dropInfo.Pushed = dropPushed;
            dropInfo.Checked = false;
            dropInfo.Part = IP_SPLITDROPDOWN;
            theme.PaintButton(canvas, drop, dropInfo);
        }
        InflateRect(r, -2, -2);
        captionRect = r;
    } else {
        theme.PaintMenuItem(canvas, clientArea, info);
        captionRect = r;
        captionRect.Left += info.GlyphColumnWidth + m(TMI_MENU_LCAPTIONMARGIN);
        captionRect.Right -= m(TMI_MENU_LCAPTIONMARGIN);
        r.Left += m(TMI_MENU_LCAPTIONMARGIN);
        r.Right -= m(TMI_MENU_LCAPTIONMARGIN);
    }

    // The canvas font: the item's, for the caption and the shortcut.
    TFont font = view->GetFont();
    if (auto* themed = dynamic_cast<TTBKCustomItem*>(item))
        ScaleFontSize(font, themed->FontSize());
    if (item->EffectiveOptions() & tboDefault)
        font.SetStyle(font.Style() | fsBold);
    canvas.SetFont(font);
    const TTextMetric& metrics = canvas.TextMetrics();
    auto fitMenuText = [&](TRect& t) {
        if (m(TMI_MENU_IMGTEXTSPACE) == t.Height() - (metrics.Height + metrics.ExternalLeading))
            t.Bottom -= 1;
        t.Top += metrics.ExternalLeading;
    };

    if (showCaption) {
        if (toolbarStyle) {
            format |= DT_CENTER | DT_VCENTER;
            if (glyph.cx > 0) {
                if (!top) {
                    captionRect.Left += glyph.cx + 5;
                } else {
                    captionRect.Top += glyph.cy + 1;
                    if (rotatedText)
                        captionRect.Top += 4;
                }
                int left = captionRect.Left + (captionRect.Width() - text.cx) / 2;
                int topEdge = captionRect.Top + (captionRect.Height() - text.cy) / 2;
                captionRect = Bounds(left, topEdge, text.cx, text.cy);
                format &= ~(top ? static_cast<unsigned>(DT_VCENTER) : static_cast<unsigned>(DT_CENTER));
            } else {
                int left = !top ? captionRect.Left + 4 : (captionRect.Left + r.Right - text.cx) / 2;
                int topEdge = top ? captionRect.Top + 4 : (captionRect.Top + r.Bottom - text.cy) / 2;
                captionRect = Bounds(left, topEdge, text.cx, text.cy);
            }
        } else {
            format |= DT_VCENTER;
            text = TextExtent(canvas, caption, false, format);
            captionRect.Left += m(TMI_MENU_RCAPTIONMARGIN) + m(TMI_MENU_GLYPHTEXTSPACE);
            fitMenuText(captionRect);
            captionRect.Right = captionRect.Left + text.cx;
        }
        bool paintDefault = true;
        DoPaintCaption(canvas, clientArea, captionRect, rotatedText, paintDefault);
        if (paintDefault)
            theme.PaintCaption(canvas, captionRect, info, caption, format, rotatedText);
    }

    if (!toolbarStyle) {
        std::string shortCut = item->ShortCutCaption();
        if (!shortCut.empty()) {
            TRect t = r;
            t.Left = t.Right - r.Height() - TextExtent(canvas, shortCut, false, DT_SINGLELINE | DT_NOPREFIX).cx;
            fitMenuText(t);
            canvas.SetFont(font);
            theme.PaintCaption(canvas, t, info, shortCut, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, false);
        }
    }

    if (glyph.cx > 0 || (!toolbarStyle && item->Checked())) {
        TRect box = r;
        if (toolbarStyle) {
            if (arrowInCaption)
                OffsetRect(box, (1 - m(TMI_DROPDOWN_ARROWWIDTH)) / 2, 0);
            if (!top)
                box.Right = box.Left + glyph.cx + 2;
            else
                box.Bottom = box.Top + glyph.cy + 2;
        } else {
            box.Right = box.Left + clientArea.Height();
        }
        if (glyph.cx > 0) {
            TRect g = Bounds(box.Left + (box.Width() - glyph.cx) / 2, box.Top + (box.Height() - glyph.cy) / 2,
                             glyph.cx, glyph.cy);
            DrawItemImage(canvas, g, info);
        } else {
            theme.PaintCheckMark(canvas, box, info);
        }
    }
}

bool TTBKItemViewer::InButtonPart(int x, int y) {
    if (!(Item()->ItemStyle & isDropDownCombo))
        return !(Item()->ItemStyle & isSubmenu);
    int arrow = IsToolbarStyle() ? CurrentTheme().GetIntegerMetric(TMI_SPLITBTN_ARROWWIDTH)
                                 : TBSystemMetric(SM_CXMENUCHECK);
    return x < BoundsRect.Width() - arrow;
}

void TTBKItemViewer::MouseUp(int x, int y, TTBLoopState& loop) {
    TTBItemViewer::MouseUp(x, y, loop);
}

// ---------------------------------------------------------------------------
// Separators and chevrons

TTBItemViewer* TTBKSeparatorItemViewer::Make(TTBView* view, TTBCustomItem* item) {
    return new TTBKSeparatorItemViewer(view, item);
}

void TTBKSeparatorItemViewer::MeasureSize(TCanvas& canvas, int& width, int& height) {
    auto* separator = dynamic_cast<TTBKSeparatorItem*>(Item());
    int size = separator != nullptr ? separator->Size() : -1;
    const bool toolbarStyle = IsToolbarStyle();
    if (size < 0) {
        size = CurrentTheme().GetIntegerMetric(toolbarStyle ? TMI_TLBR_SEPARATORSIZE : TMI_MENU_SEPARATORSIZE);
        if (size < 0) {
            TTBSeparatorItemViewer::MeasureSize(canvas, width, height);
            return;
        }
        width = height = size;
        return;
    }
    width = toolbarStyle ? size : 0;
    height = size;
}

void TTBKSeparatorItemViewer::Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
                                    bool useDisabledShadow) {
    auto* separator = dynamic_cast<TTBSeparatorItem*>(Item());
    auto* themed = dynamic_cast<TTBKSeparatorItem*>(Item());
    if ((separator != nullptr && separator->Blank()) || (themed != nullptr && themed->Size() == 0))
        return;
    const bool toolbarStyle = IsToolbarStyle();
    TTBKItemInfo info;
    info.ViewType = GetViewType(View());
    info.Options = (toolbarStyle ? IO_TOOLBARSTYLE : 0u) | (useDisabledShadow ? IO_DISABLEDSHADOW : 0u) |
                   (isDesigning(Item()) ? IO_DESIGNING : 0u);
    info.Enabled = Item()->Enabled();
    info.Pushed = isPushed;
    const bool vertical = View()->Orientation == tbvoVertical;
    info.Vertical = vertical;
    if (!toolbarStyle)
        info.GlyphColumnWidth = GlyphColumnWidth(this);
    bool horizontal;
    if (vertical != LineSep)
        horizontal = true;
    else
        horizontal = View()->IsPopup() && View()->ChevronParentView() == nullptr;
    CurrentTheme().PaintSeparator(canvas, clientArea, info, horizontal, LineSep);
}

TTBItemViewer* TTBKChevronItemViewer::Make(TTBView* view, TTBCustomItem* item) {
    return new TTBKChevronItemViewer(view, item);
}

void TTBKChevronItemViewer::Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
                                  bool useDisabledShadow) {
    TTBKItemInfo info;
    info.ViewType = GetViewType(View());
    info.Options = IO_TOOLBARSTYLE | (isDesigning(Item()) ? IO_DESIGNING : 0u);
    info.Enabled = Item()->Enabled() || View()->Customizing();
    info.Pushed = isPushed;
    info.PopupOpen = isPushed;
    info.Hover = HoverOf(this, isSelected, info.Enabled);
    info.Vertical = View()->Orientation == tbvoVertical;
    CurrentTheme().PaintChevron(canvas, clientArea, info);
}
