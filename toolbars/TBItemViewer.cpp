#include "toolbars/TBItemViewer.h"

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "toolbars/TBCommon.h"
#include "toolbars/TBDrawText.h"
#include "toolbars/TBGlyphs.h"
#include "toolbars/TBImageList.h"
#include "toolbars/TBLoopState.h"
#include "toolbars/TBSystemSettings.h"
#include "toolbars/TBView.h"

#include <array>

// ---------------------------------------------------------------------------
// Glyphs

void DrawMenuArrow(TCanvas& canvas, const TRect& rect, int colorIndex) {
    // A right-pointing triangle four pixels wide and seven high.
    TTBGlyphColors colors(canvas, GetSysColor(colorIndex));
    int cx = (rect.Left + rect.Right) / 2, cy = (rect.Top + rect.Bottom) / 2;
    for (int i = 0; i < 4; ++i) {
        canvas.MoveTo(cx - 2 + i, cy - 3 + i);
        canvas.LineTo(cx - 2 + i, cy + 4 - i);
    }
}

void DrawDropdownArrow(TCanvas& canvas, int cx, int cy, bool pointLeft, int colorIndex) {
    TTBGlyphColors colors(canvas, GetSysColor(colorIndex));
    std::array<TPoint, 3> points =
        pointLeft ? std::array<TPoint, 3>{TPoint{cx - 1, cy + 2}, TPoint{cx - 1, cy - 2}, TPoint{cx - 3, cy}}
                  : std::array<TPoint, 3>{TPoint{cx - 2, cy - 1}, TPoint{cx + 2, cy - 1}, TPoint{cx, cy + 1}};
    canvas.Polygon(points);
}

void FrameInColor(TCanvas& canvas, const TRect& rect, TColor color) {
    TBrush saved;
    saved.Assign(&canvas.Brush());
    canvas.Brush().SetBitmap(nullptr);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(color);
    canvas.FrameRect(rect);
    canvas.SetBrush(saved);
}

void FillCheckedPattern(TCanvas& canvas, const TRect& rect) { FillDithered(canvas, rect, clBtnFace, clBtnHighlight); }

TTBGlyphColors::TTBGlyphColors(TCanvas& canvas, TColor color) : canvas_(canvas) {
    pen_.Assign(&canvas.Pen());
    brush_.Assign(&canvas.Brush());
    canvas.Pen().SetColor(color);
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetMode(pmCopy);
    canvas.Brush().SetBitmap(nullptr);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(color);
}

TTBGlyphColors::~TTBGlyphColors() {
    canvas_.SetPen(pen_);
    canvas_.SetBrush(brush_);
}

// ---------------------------------------------------------------------------
// TTBItemViewer

TTBItemViewer::TTBItemViewer(TTBView* view, TTBCustomItem* item) : view_(view), item_(item) {}

TTBItemViewer::~TTBItemViewer() = default;

TTBItemViewer* TTBItemViewer::Make(TTBView* view, TTBCustomItem* item) { return new TTBItemViewer(view, item); }

TTBItemViewerClass TTBCustomItem::ViewerClassFor(TTBView* view) { return &TTBItemViewer::Make; }

TTBItemViewerClass TTBSeparatorItem::ViewerClassFor(TTBView* view) { return &TTBSeparatorItemViewer::Make; }

bool TTBItemViewer::IsToolbarStyle() const {
    return view_->IsToolbar() || (item_->EffectiveOptions() & tboToolbarStyle);
}

bool TTBItemViewer::IsToolbarSize() const {
    return view_->IsToolbar() || (item_->EffectiveOptions() & tboToolbarSize);
}

bool TTBItemViewer::ShowsCaption() const {
    if (!CaptionText().empty()) {
        TTBItemDisplayMode mode = item_->DisplayMode();
        if (!IsToolbarSize() || item_->ImageIndex() < 0 || mode == nbdmTextOnly || mode == nbdmImageAndText)
            return true;
    }
    return (item_->EffectiveOptions() & tboImageAboveCaption) != 0;
}

bool TTBItemViewer::ImageShown() const {
    if (item_->ImageIndex() < 0)
        return false;
    switch (item_->DisplayMode()) {
    case nbdmDefault:
    case nbdmImageAndText:
        return true;
    case nbdmTextOnlyInMenus:
        return IsToolbarStyle();
    default:
        return false;
    }
}

TImageList* TTBItemViewer::GetImageList() const {
    if (item_->Images() != nullptr)
        return item_->Images();
    for (TTBView* view = view_; view != nullptr; view = view->ParentView()) {
        if (view->CurParentItem() != nullptr && view->CurParentItem()->SubMenuImages() != nullptr)
            return view->CurParentItem()->SubMenuImages();
        if (view->ParentItem() != nullptr && view->ParentItem()->SubMenuImages() != nullptr)
            return view->ParentItem()->SubMenuImages();
    }
    return nullptr;
}

int TTBItemViewer::ImageColumn(int rowHeight) const {
    TImageList* images = GetImageList();
    if (images == nullptr)
        return rowHeight;
    return MulDiv(images->Width() + 3, rowHeight, images->Height() + 3);
}

std::string TTBItemViewer::CaptionText() const {
    const std::string& caption = item_->Caption();
    return caption.substr(0, caption.find('\t'));
}

TPoint TTBItemViewer::ScreenToViewer(TPoint screen) const {
    TPoint local = view_->ScreenToView(screen);
    return {local.X - BoundsRect.Left, local.Y - BoundsRect.Top};
}

int TTBItemViewer::TextColorIndex(bool useDisabledShadow, bool isSelected) {
    if (!useDisabledShadow)
        return COLOR_BTNTEXT;
    return isSelected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
}

int TTBItemViewer::BackgroundColorIndex(bool useDisabledShadow, bool isSelected) {
    if (!useDisabledShadow)
        return COLOR_BTNFACE;
    if (!isSelected)
        return COLOR_MENU;
    return TBSystemSettings().FlatMenus() ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT;
}

unsigned TTBItemViewer::PrefixFlags() const {
    bool hide = !TBSystemSettings().KeyboardCues() && (view_->State & vsUseHiddenAccels) &&
                !(view_->State & vsShowAccels);
    return hide ? static_cast<unsigned>(DT_HIDEPREFIX) : 0u;
}

// ---------------------------------------------------------------------------
// Measuring

void TTBItemViewer::MeasureSize(TCanvas& canvas, int& width, int& height) {
    const bool toolbarStyle = IsToolbarStyle();
    const bool vertical = view_->Orientation == tbvoVertical;
    const TTBItemOptions options = item_->EffectiveOptions();
    const bool above = (options & tboImageAboveCaption) != 0;
    const TTextMetric& metrics = canvas.TextMetrics();
    width = toolbarStyle ? 6 : 0;
    height = width;
    if (!toolbarStyle || ShowsCaption()) {
        int captionWidth = CaptionTextWidth(canvas, CaptionText(), true) + (toolbarStyle ? 6 : 0);
        if (!vertical || above) {
            height += metrics.Height;
            width += captionWidth;
        } else {
            width += metrics.Height;
            height += captionWidth;
        }
    }
    TImageList* images = GetImageList();
    if (toolbarStyle && ImageShown() && images != nullptr) {
        if (!vertical && !above) {
            width += images->Width() + 1;
            height = std::max(height, images->Height() + 6);
        } else {
            height += images->Height();
            width = std::max(width, images->Width() + 7);
        }
    }
    if (toolbarStyle && (item_->ItemStyle & isSubmenu)) {
        if (item_->ItemStyle & isDropDownCombo)
            width += 11;
        else if (options & tboDropdownArrow)
            (vertical ? height : width) += 8;
    }
    if (!toolbarStyle) {
        height += metrics.ExternalLeading + 4;
        if (images != nullptr)
            height = std::max(height, images->Height() + 3);
        width += ImageColumn(height) + 6;
        std::string shortCut = item_->ShortCutCaption();
        if (!shortCut.empty())
            width += canvas.TextWidth(shortCut) + height - 6;
        width += height;
    }
}

// ---------------------------------------------------------------------------
// Painting

void TTBItemViewer::DrawCaptionText(TCanvas& canvas, TRect rect, const std::string& caption, bool embossed,
                                    unsigned format) {
    bool rotated = view_->Orientation == tbvoVertical && !(item_->EffectiveOptions() & tboImageAboveCaption);
    // Captions lie on what is painted below them; a brush set since (a
    // glyph's, a pattern's) would otherwise give them its background.
    canvas.SetBkMode(TRANSPARENT);
    auto draw = [&](TRect r) {
        if (rotated)
            TBDrawRotatedText(canvas, caption, r, format);
        else
            TBDrawText(canvas, caption, r, format);
    };
    if (!embossed) {
        draw(rect);
        return;
    }
    TColor color = canvas.Font().Color();
    canvas.Font().SetColor(clBtnHighlight);
    TRect shifted = rect;
    OffsetRect(shifted, 1, 1);
    draw(shifted);
    canvas.Font().SetColor(clBtnShadow);
    draw(rect);
    canvas.Font().SetColor(color);
}

void TTBItemViewer::Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
                          bool useDisabledShadow) {
    TTBCustomItem* item = item_;
    const bool toolbarStyle = IsToolbarStyle();
    const bool vertical = view_->Orientation == tbvoVertical;
    const TTBItemOptions options = item->EffectiveOptions();
    const bool above = (options & tboImageAboveCaption) != 0;
    const bool designing = (item->ComponentState() & csDesigning) != 0;
    const bool showEnabled = item->Enabled() || view_->Customizing();
    const bool embossed = !showEnabled && !(isSelected && useDisabledShadow);
    const bool combo = (item->ItemStyle & isDropDownCombo) != 0;
    const bool hasArrow = (item->ItemStyle & isSubmenu) && (combo || (options & tboDropdownArrow));
    const bool checked = item->Checked();
    const int textColor = TextColorIndex(useDisabledShadow, isSelected);
    const int background = BackgroundColorIndex(useDisabledShadow, isSelected);
    TImageList* images = GetImageList();
    const bool imageShown = ImageShown() && images != nullptr;
    TRect r = clientArea;
    int imageColumn = 0;

    if (toolbarStyle) {
        TRect drop{};
        if (combo) {
            r.Right -= 2;
            drop = r;
            r.Right -= 9;
            drop.Left = r.Right;
        } else if (hasArrow) {
            drop = vertical ? Rect(0, r.Bottom - 11, r.Right, r.Bottom - 3) : Rect(r.Right - 11, 0, r.Right - 3, r.Bottom);
        }
        if ((isSelected && showEnabled) || checked || designing) {
            TRect edge = r;
            bool sunken = combo ? ((isPushed && view_->Capture()) || checked) : (isPushed || checked);
            canvas.DrawEdge(edge, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            if (combo && ((isSelected && showEnabled) || designing)) {
                TRect part = drop;
                canvas.DrawEdge(part, isPushed && !view_->Capture() ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            }
        }
        if (hasArrow) {
            TRect arrow = drop;
            if (!combo && isPushed)
                OffsetRect(arrow, 1, 1);
            int cx = (arrow.Left + arrow.Right) / 2, cy = (arrow.Top + arrow.Bottom) / 2;
            bool left = !combo && vertical;
            if (embossed) {
                DrawDropdownArrow(canvas, cx + 1, cy + 1, left, COLOR_BTNHIGHLIGHT);
                DrawDropdownArrow(canvas, cx, cy, left, COLOR_BTNSHADOW);
            } else {
                DrawDropdownArrow(canvas, cx, cy, left, showEnabled ? textColor : COLOR_BTNSHADOW);
            }
        }
        InflateRect(r, -1, -1);
        if (checked && !(isSelected && showEnabled))
            FillCheckedPattern(canvas, r);
        InflateRect(r, -1, -1);
        if (checked || (isSelected && isPushed && (!combo || view_->Capture())))
            OffsetRect(r, 1, 1);
        if (!combo && hasArrow)
            (vertical ? r.Bottom : r.Right) -= 8;
    } else {
        imageColumn = ImageColumn(clientArea.Height());
        if (isSelected) {
            TRect fill = r;
            if (imageShown || checked)
                fill.Left += imageColumn + 1;
            if (combo && showEnabled)
                fill.Right -= kMenuCheckSize;
            canvas.FillRect(fill, SystemColor(background));
        }
    }

    // Caption and shortcut text.
    TFont font = view_->GetFont();
    if (options & tboDefault)
        font.SetStyle(font.Style() | fsBold);
    canvas.SetFont(font);
    int disabledColor = ColorToRGB(SystemColor(background)) == GetSysColor(COLOR_BTNSHADOW) ? COLOR_BTNHIGHLIGHT
                                                                                            : COLOR_BTNSHADOW;
    canvas.Font().SetColor(SystemColor(showEnabled ? textColor : disabledColor));
    canvas.SetBkColor(SystemColor(background));
    canvas.SetBkMode(TRANSPARENT);
    const unsigned prefix = PrefixFlags();
    const TTextMetric& metrics = canvas.TextMetrics();
    // A menu line exactly 4 pixels taller than its text loses a pixel at the
    // bottom and starts below the external leading.
    auto fitMenuText = [&](TRect& t) {
        if (t.Height() - (metrics.Height + metrics.ExternalLeading) == 4) {
            t.Bottom -= 1;
            t.Top += metrics.ExternalLeading;
        }
    };
    if (ShowsCaption()) {
        TRect t = r;
        if (toolbarStyle) {
            if (imageShown) {
                if (!vertical && !above)
                    t.Left += images->Width() + 1;
                else
                    t.Top += images->Height() + 1;
            }
            DrawCaptionText(canvas, t, CaptionText(), embossed, prefix | DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        } else {
            t.Left += imageColumn + 3;
            fitMenuText(t);
            DrawCaptionText(canvas, t, CaptionText(), embossed, prefix | DT_VCENTER | DT_SINGLELINE);
        }
    }
    if (!toolbarStyle) {
        std::string shortCut = item->ShortCutCaption();
        if (!shortCut.empty()) {
            TRect t = r;
            t.Left = r.Right - r.Height() - canvas.TextWidth(shortCut);
            fitMenuText(t);
            DrawCaptionText(canvas, t, shortCut, embossed, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        if (item->ItemStyle & isSubmenu) {
            if (combo) {
                TRect t = r;
                t.Left = r.Right - kMenuCheckSize;
                if (isSelected && showEnabled) {
                    canvas.DrawEdge(t, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE);
                } else {
                    t.Left -= 1;
                    canvas.DrawEdge(t, isSelected ? BDR_SUNKENOUTER : EDGE_ETCHED, BF_LEFT);
                }
            }
            TRect arrow = Bounds(r.Right - kMenuCheckSize, r.Top + (r.Height() - kMenuCheckSize) / 2, kMenuCheckSize,
                                 kMenuCheckSize);
            if (embossed) {
                TRect light = arrow;
                OffsetRect(light, 1, 1);
                DrawMenuArrow(canvas, light, COLOR_BTNHIGHLIGHT);
                DrawMenuArrow(canvas, arrow, COLOR_BTNSHADOW);
            } else if (!showEnabled) {
                DrawMenuArrow(canvas, arrow, COLOR_BTNSHADOW);
            } else if (isSelected && combo) {
                OffsetRect(arrow, 1, 1);
                DrawMenuArrow(canvas, arrow, TextColorIndex(useDisabledShadow, false));
            } else {
                DrawMenuArrow(canvas, arrow, textColor);
            }
        }
    }

    // Image or check mark.
    if (imageShown || (!toolbarStyle && checked)) {
        TRect box = r;
        if (toolbarStyle) {
            if (!vertical && !above)
                box.Right = box.Left + images->Width() + 2;
            else
                box.Bottom = box.Top + images->Height() + 2;
        } else {
            box.Right = box.Left + imageColumn;
            if ((isSelected && showEnabled) || checked) {
                TRect edge = box;
                canvas.DrawEdge(edge, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
            }
            if (checked && !isSelected) {
                TRect inside = box;
                InflateRect(inside, -1, -1);
                FillCheckedPattern(canvas, inside);
            }
            if (checked)
                OffsetRect(box, 1, 1);
        }
        if (imageShown)
            paintImage(canvas, box, showEnabled, isSelected);
        else
            paintCheckMark(canvas, box);
    }
}

void TTBItemViewer::paintImage(TCanvas& canvas, const TRect& box, bool showEnabled, bool isSelected) {
    TImageList* images = GetImageList();
    int x = box.Left + (box.Width() - images->Width()) / 2;
    int y = box.Top + (box.Height() - images->Height()) / 2;
    if (auto* stateImages = dynamic_cast<TTBCustomImageList*>(images))
        stateImages->DrawState(canvas, x, y, item_->ImageIndex(), showEnabled, isSelected, item_->Checked());
    else
        images->Draw(canvas, x, y, item_->ImageIndex(), showEnabled);
}

void TTBItemViewer::paintCheckMark(TCanvas& canvas, const TRect& box) {
    int x = (box.Left + box.Right) / 2 - 2;
    int y = (box.Top + box.Bottom) / 2 + 1;
    auto polyline = [&](std::initializer_list<TPoint> points, int colorIndex) {
        std::vector<TPoint> shifted;
        for (TPoint p : points)
            shifted.push_back({x + p.X, y + p.Y});
        TTBGlyphColors colors(canvas, GetSysColor(colorIndex));
        canvas.Polyline(shifted);
    };
    polyline({{-2, -2}, {0, 0}, {4, -4}, {4, -3}, {0, 1}, {-2, -1}, {-2, -2}}, COLOR_BTNTEXT);
    polyline({{-3, -2}, {-3, -1}, {0, 2}, {5, -3}, {5, -5}}, COLOR_BTNHIGHLIGHT);
}

// ---------------------------------------------------------------------------
// Selection, capture and the mouse

// The handler runs from a copy: it may free the item, its own copy with it.
void TTBItemViewer::HighlightGained() {
    if (TTBSelectEvent handler = item_->OnSelect)
        handler(item_, this, true);
}

void TTBItemViewer::HighlightLost() {
    if (TTBSelectEvent handler = item_->OnSelect)
        handler(item_, this, false);
}

void TTBItemViewer::CaptureLost() { view_->InvalidateViewer(this); }

bool TTBItemViewer::InButtonPart(int x, int y) {
    if (!(item_->ItemStyle & isSubmenu))
        return true;
    if (!(item_->ItemStyle & isDropDownCombo))
        return false;
    int arrowWidth = IsToolbarStyle() ? 11 : kMenuCheckSize;
    return x < BoundsRect.Width() - arrowWidth;
}

void TTBItemViewer::MouseDown(TShiftState shift, int x, int y, TTBLoopState& loop) {
    const bool toolbarStyle = IsToolbarStyle();
    if (!item_->Enabled()) {
        if (loop.RootView == view_ && toolbarStyle)
            loop.Finish = true;
        return;
    }
    if (InButtonPart(x, y)) {
        // Menus choose on release.
        if (!toolbarStyle)
            return;
        if (view_->NearestToolbarView() == view_)
            view_->State &= static_cast<TTBViewState>(~vsMenuMode);
        view_->CloseChildPopups();
        view_->SetCaptureFlag();
        view_->InvalidateViewer(this);
        return;
    }
    // Opening runs the item's handlers, which may free this viewer.
    TComponentWatch self(this);
    if (!view_->OpenPopup(false) || !self.Alive())
        return;
    TTBView* toolbarView = view_->NearestToolbarView();
    if (toolbarView == view_ && (toolbarView->State & vsMenuMode))
        loop.IgnoreRelease = true;
    if (toolbarView != nullptr)
        toolbarView->State |= vsMenuMode;
    if ((shift & ssDouble) && !(item_->ItemStyle & isDropDownCombo)) {
        // A double click runs the submenu's default item.
        TTBView* popup = view_->OpenViewerView();
        if (popup == nullptr)
            return;
        for (int i = 0; i < popup->ViewerCount(); ++i) {
            TTBItemViewer* viewer = popup->Viewers(i);
            TTBCustomItem* item = viewer->Item();
            if (viewer->Show && (item->EffectiveOptions() & tboDefault) && (item->ItemStyle & isSelectable) &&
                item->Enabled() && item->Visible()) {
                popup->PromoteViewer(viewer);
                loop.DoneAction = TTBDoneAction::Click(item, !(popup == loop.RootView && !popup->IsPopup()));
                loop.Finish = true;
                return;
            }
        }
    }
}

void TTBItemViewer::MouseUp(int x, int y, TTBLoopState& loop) {
    bool heldCapture = view_->Capture();
    view_->CancelCapture();
    bool rootToolbar = loop.RootView == view_ && !view_->IsPopup();
    if (view_->MouseOverSelected() && item_->Enabled() && !(item_->ItemStyle & isNotClickable)) {
        if ((item_->ItemStyle & isSubmenu) && !InButtonPart(x, y)) {
            if (rootToolbar && loop.IgnoreRelease)
                loop.Finish = true;
            return;
        }
        if (!IsToolbarStyle() || heldCapture) {
            view_->PromoteViewer(this);
            loop.DoneAction = TTBDoneAction::Click(item_, !rootToolbar);
            loop.Finish = true;
            return;
        }
    }
    if (rootToolbar)
        loop.Finish = true;
}

// ---------------------------------------------------------------------------
// TTBSeparatorItemViewer

TTBItemViewer* TTBSeparatorItemViewer::Make(TTBView* view, TTBCustomItem* item) {
    return new TTBSeparatorItemViewer(view, item);
}

void TTBSeparatorItemViewer::MeasureSize(TCanvas& canvas, int& width, int& height) {
    if (IsToolbarStyle()) {
        width = 6;
        height = 6;
        return;
    }
    width = 0;
    height = DivideAwayFromZero(canvas.TextMetrics().Height * 2, 3);
}

void TTBSeparatorItemViewer::Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
                                   bool useDisabledShadow) {
    auto* separator = dynamic_cast<TTBSeparatorItem*>(Item());
    if (separator != nullptr && separator->Blank())
        return;
    const bool toolbarStyle = IsToolbarStyle();
    bool horizontal = !toolbarStyle || View()->Orientation == tbvoVertical;
    if (LineSep)
        horizontal = !horizontal;
    TRect r = clientArea;
    if (horizontal) {
        r.Top = r.Bottom / 2 - 1;
        if (!toolbarStyle)
            InflateRect(r, -12, 0);
        else if (LineSep)
            InflateRect(r, View()->Orientation == tbvoFloating ? -1 : -4, 0);
        canvas.DrawEdge(r, EDGE_ETCHED, BF_TOP);
    } else {
        r.Left = r.Right / 2 - 1;
        if (LineSep)
            InflateRect(r, 0, -4);
        canvas.DrawEdge(r, EDGE_ETCHED, BF_LEFT);
    }
}
