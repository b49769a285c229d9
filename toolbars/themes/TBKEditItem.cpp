#include "toolbars/themes/TBKEditItem.h"

#include "platform/gfx/Canvas.h"
#include "platform/ui/ComponentWatch.h"
#include "toolbars/TBCommon.h"
#include "toolbars/TBDrawText.h"
#include "toolbars/TBTexts.h"
#include "toolbars/TBView.h"
#include "toolbars/themes/TBKPopupWindow.h"

#include <algorithm>

namespace {

int metric(int id) { return CurrentTheme().GetIntegerMetric(id); }

} // namespace

// ---------------------------------------------------------------------------
// TTBKEditItem

void TTBKEditItem::SetPasswordChar(char value) {
    if (value == passwordChar_)
        return;
    passwordChar_ = value;
    NotifyChange(true);
}

void TTBKEditItem::DoChange(const std::string& text) {
    if (OnChange)
        OnChange(this, text);
}

TTBItemViewerClass TTBKEditItem::ViewerClassFor(TTBView* view) {
    TTBItemViewerClass base = TTBEditItem::ViewerClassFor(view);
    // A vertical toolbar shows the item as a button.
    return base == &TTBEditItemViewer::Make ? &TTBKEditItemViewer::Make : &TTBKItemViewer::Make;
}

TTBPopupWindowClass TTBKEditItem::PopupWindowClass() { return &TTBKPopupWindow::Make; }

void TTBKEditItem::StartEditNotify(TTBEditItemViewer* viewer) {
    if (TTBEditField* field = viewer->EditControl()) {
        field->SetPasswordChar(passwordChar_);
        field->SetReadOnly(ReadOnly);
    }
    // The handler may free the viewer.
    TComponentWatch watch(viewer);
    TTBEditItem::StartEditNotify(viewer);
    if (!watch.Alive())
        return;
    if (auto* themed = dynamic_cast<TTBKEditItemViewer*>(viewer))
        if (TTBEditField* field = viewer->EditControl())
            field->OnTextChanged = [themed](const std::string& text) { themed->HandleEditChange(text); };
}

// ---------------------------------------------------------------------------
// TTBKEditItemViewer

TTBItemViewer* TTBKEditItemViewer::Make(TTBView* view, TTBCustomItem* item) {
    return new TTBKEditItemViewer(view, item);
}

void TTBKEditItemViewer::HandleEditChange(const std::string& text) {
    if (auto* item = dynamic_cast<TTBKEditItem*>(Item()))
        item->DoChange(text);
}

TTBKItemInfo TTBKEditItemViewer::GetItemInfo(bool isHoverItem, bool isPushed, bool useDisabledShadow) {
    TTBKItemInfo info;
    info.ViewType = GetViewType(View());
    const bool toolbarStyle = IsToolbarStyle();
    info.Options = (toolbarStyle ? IO_TOOLBARSTYLE : 0u) | (useDisabledShadow ? IO_DISABLEDSHADOW : 0u) |
                   ((Item()->ComponentState() & csDesigning) ? IO_DESIGNING : 0u);
    info.Enabled = Item()->Enabled() || View()->Customizing();
    info.Pushed = isPushed;
    info.Checked = Item()->Checked();
    info.Hover = HoverOf(this, isHoverItem, info.Enabled);
    if (!toolbarStyle)
        info.GlyphColumnWidth = GlyphColumnWidth(this);
    return info;
}

TTBKEditInfo TTBKEditItemViewer::GetEditInfo() const {
    TTBKEditInfo info;
    info.LeftButtonWidth = GetLeftButtonWidth();
    info.RightButtonWidth = GetRightButtonWidth();
    return info;
}

int TTBKEditItemViewer::labelWidth(TCanvas& canvas) const {
    const std::string& label = EditItem()->EditCaption();
    return label.empty() ? 0 : CaptionTextWidth(canvas, label, true);
}

std::string TTBKEditItemViewer::ShownText() const {
    auto* item = dynamic_cast<TTBKEditItem*>(Item());
    const std::string& text = EditItem()->Text();
    if (item == nullptr || item->PasswordChar() == 0)
        return text;
    return std::string(text.size(), item->PasswordChar());
}

void TTBKEditItemViewer::MeasureSize(TCanvas& canvas, int& width, int& height) {
    TTBKTheme& theme = CurrentTheme();
    canvas.SetFont(View()->GetFont());
    int w = EditItem()->EditWidth();
    int h = canvas.TextHeight("Ag");
    if (!IsToolbarStyle()) {
        if (!theme.GetBooleanMetric(TMB_EDITMENUFULLSELECT))
            w += metric(TMI_MENU_GLYPHTEXTSPACE);
        else
            w += metric(TMI_MENU_RCAPTIONMARGIN) + GlyphColumnWidth(this);
        if (!EditItem()->EditCaption().empty())
            w += labelWidth(canvas) + metric(TMI_EDIT_MENUMIDWIDTH) + metric(TMI_MENU_AFTERCAPTION);
    }
    const int least = 2 * metric(TMI_EDIT_TEXTMARGINVERT) + h + 2 * metric(TMI_EDIT_FRAMEWIDTH);
    if (IsToolbarStyle())
        h += 2 * metric(TMI_EDIT_FRAMEWIDTH);
    else
        h += DivideAwayFromZero(h, 4);
    h = std::max(h, least);
    h += h & 1;
    width = w;
    height = h;
}

TRect TTBKEditItemViewer::EditFieldRect() const {
    TTBKTheme& theme = CurrentTheme();
    TRect r = BoundsRect;
    if (!IsToolbarStyle()) {
        if (!EditItem()->EditCaption().empty()) {
            TCanvas& canvas = ThemeWorkCanvas();
            canvas.SetFont(View()->GetFont());
            r.Left += labelWidth(canvas) + metric(TMI_EDIT_MENUMIDWIDTH) + metric(TMI_MENU_GLYPHTEXTSPACE) +
                      metric(TMI_MENU_AFTERCAPTION);
        }
        if (theme.GetBooleanMetric(TMB_EDITMENUFULLSELECT))
            r.Left += GlyphColumnWidth(const_cast<TTBKEditItemViewer*>(this));
    }
    const int frame = metric(TMI_EDIT_FRAMEWIDTH);
    InflateRect(r, -(metric(TMI_EDIT_TEXTMARGINHORZ) + frame - 3), -(frame - 3 + metric(TMI_EDIT_TEXTMARGINVERT)));
    r.Left += GetLeftButtonWidth();
    r.Right -= GetRightButtonWidth();
    return r;
}

void TTBKEditItemViewer::Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
                               bool useDisabledShadow) {
    TTBKTheme& theme = CurrentTheme();
    TTBKItemInfo info = GetItemInfo(isSelected, isPushed, useDisabledShadow);
    TTBKEditInfo editInfo = GetEditInfo();
    canvas.SetFont(View()->GetFont());
    const std::string& label = EditItem()->EditCaption();
    const int m31 = metric(TMI_MENU_LCAPTIONMARGIN), m33 = metric(TMI_MENU_GLYPHTEXTSPACE),
              m34 = metric(TMI_MENU_AFTERCAPTION);
    TRect field = clientArea;
    if (!IsToolbarStyle()) {
        const int width = labelWidth(canvas);
        const unsigned format = DT_SINGLELINE | DT_VCENTER | PrefixFlags();
        if (theme.GetBooleanMetric(TMB_EDITMENUFULLSELECT)) {
            const int x0 = m33 + info.GlyphColumnWidth + m31 + 1;
            TRect labelRect = clientArea;
            labelRect.Right = clientArea.Left + x0 + m31 + (label.empty() ? 0 : m34 + width);
            theme.PaintMenuItemFrame(canvas, labelRect, info);
            labelRect.Left += x0;
            labelRect.Right -= m34;
            if (!label.empty())
                theme.PaintCaption(canvas, labelRect, info, label, format, false);
            field.Left = labelRect.Right;
            field.Right = clientArea.Right - m31;
        } else if (!label.empty()) {
            TRect labelRect = clientArea;
            labelRect.Right = clientArea.Left + m33 + width + m34;
            theme.PaintMenuItemFrame(canvas, labelRect, info);
            TRect text = labelRect;
            text.Left = clientArea.Left + m33;
            theme.PaintCaption(canvas, text, info, label, format, false);
            field.Left = labelRect.Right + metric(TMI_EDIT_MENUMIDWIDTH);
        }
    }
    theme.PaintEditFrame(canvas, field, info, editInfo);
    const int frame = metric(TMI_EDIT_FRAMEWIDTH);
    InflateRect(field, -(frame + metric(TMI_EDIT_TEXTMARGINHORZ)), -(frame + metric(TMI_EDIT_TEXTMARGINVERT)));
    field.Left += editInfo.LeftButtonWidth;
    field.Right -= editInfo.RightButtonWidth;
    const std::string shown = ShownText();
    if (shown.empty())
        return;
    canvas.SetFont(TBMenuFont());
    canvas.Font().SetColor(info.Enabled ? clWindowText : clGrayText);
    canvas.SetBkColor(info.Enabled ? clWindow : clBtnFace);
    int mode = canvas.SetBkMode(TRANSPARENT);
    TBDrawText(canvas, shown, field, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    canvas.SetBkMode(mode);
}

// ---------------------------------------------------------------------------
// Recently used lists

TTBCustomItem* TTBKMRUList::CreateEntryItem(TComponent* owner) { return new TTBKCustomItem(owner); }

TTBKMRUListItem::TTBKMRUListItem(TComponent* owner) : TTBKCustomItem(owner) {
    ItemStyle |= isRelayedGroup;
    std::string name = TBTexts::MRUListDisplayName;
    SetCaption(name.substr(0, 1) + "TBK " + name.substr(1));
}

TTBKMRUListItem::~TTBKMRUListItem() { SetMRUList(nullptr); }

void TTBKMRUListItem::SetMRUList(TTBMRUList* list) {
    if (list == mruList_)
        return;
    if (mruList_ != nullptr)
        mruList_->RemoveFreeNotification(this);
    mruList_ = list;
    if (list != nullptr)
        list->FreeNotification(this);
    SetLinkSubitems(list != nullptr ? list->Container() : nullptr);
}

void TTBKMRUListItem::Notification(TComponent* component, TOperation operation) {
    TTBKCustomItem::Notification(component, operation);
    if (operation == opRemove && component == mruList_) {
        mruList_ = nullptr;
        SetLinkSubitems(nullptr);
    }
}
