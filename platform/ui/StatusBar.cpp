#include "platform/ui/StatusBar.h"

#include "platform/base/Exceptions.h"
#include "platform/ui/ExtControls.h"

#include <algorithm>

void TStatusPanel::changed(bool sizes) { bar_.InvalidatePanel(index_, sizes); }

void TStatusPanel::SetText(const std::string& text) {
    if (text == text_)
        return;
    text_ = text;
    changed(false);
}

void TStatusPanel::SetWidth(int width) {
    width = std::max(0, width);
    if (width == width_)
        return;
    width_ = width;
    changed(true);
}

void TStatusPanel::SetAlignment(TAlignment value) {
    if (value == alignment_)
        return;
    alignment_ = value;
    changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
    if (value == bevel_)
        return;
    bevel_ = value;
    changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle value) {
    if (value == style_)
        return;
    style_ = value;
    changed(false);
}

TStatusPanel* TStatusPanels::Add() {
    panels_.push_back(std::unique_ptr<TStatusPanel>(new TStatusPanel(bar_)));
    panels_.back()->index_ = Count() - 1;
    bar_.InvalidatePanel(Count() - 1, true);
    return panels_.back().get();
}

TStatusPanel* TStatusPanels::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError();
    return panels_[static_cast<size_t>(index)].get();
}

void TStatusPanels::Delete(int index) {
    Items(index);
    panels_.erase(panels_.begin() + index);
    for (size_t i = 0; i < panels_.size(); ++i)
        panels_[i]->index_ = static_cast<int>(i);
    bar_.InvalidatePanel(index, true);
}

void TStatusPanels::Clear() {
    panels_.clear();
    bar_.InvalidatePanel(0, true);
}

// ---------------------------------------------------------------------------

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner), panels_(*this) {
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
    SetParentColor(false);
    SetColor(clBtnFace);
}

void TStatusBar::SetSimplePanel(bool value) {
    if (value == simplePanel_)
        return;
    simplePanel_ = value;
    Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& text) {
    if (text == simpleText_)
        return;
    simpleText_ = text;
    if (simplePanel_)
        Invalidate();
}

void TStatusBar::SetSizeGrip(bool value) {
    if (value == sizeGrip_)
        return;
    sizeGrip_ = value;
    Invalidate();
}

int TStatusBar::gripWidth() const { return sizeGrip_ ? std::min(ClientHeight(), 14) : 0; }

TRect TStatusBar::PanelRect(int index) const {
    int left = 0;
    int count = panels_.Count();
    for (int i = 0; i < index && i < count; ++i)
        left += panels_.Items(i)->Width();
    int right = index == count - 1 ? ClientWidth() - gripWidth() : left + panels_.Items(index)->Width();
    // A panel starts 2 pixels in from the top and ends 2 before the next.
    return Rect(left, 2, std::max(left, right - 2), ClientHeight());
}

void TStatusBar::InvalidatePanel(int index, bool sizes) {
    if (sizes || simplePanel_ || index < 0 || index >= panels_.Count()) {
        Invalidate();
        return;
    }
    TRect rect = PanelRect(index);
    InvalidateRect(&rect);
}

void TStatusBar::Dispatch(TMessage& message) {
    if (message.Msg == WM_SIZE)
        Invalidate();
    TCustomControl::Dispatch(message);
}

void TStatusBar::paintPanel(const TRect& rect, TStatusPanelBevel bevel, TAlignment alignment, const std::string& text) {
    TCanvas& canvas = Canvas();
    TRect inside = rect;
    if (bevel != pbNone)
        Frame3D(canvas, inside, bevel == pbLowered ? clBtnShadow : clBtnHighlight,
                bevel == pbLowered ? clBtnHighlight : clBtnShadow, 1);
    if (text.empty())
        return;
    canvas.SetFont(Font());
    canvas.SetBkMode(TRANSPARENT);
    int width = canvas.TextWidth(text);
    int x = alignment == taRightJustify ? inside.Right - 2 - width
            : alignment == taCenter    ? inside.Left + (inside.Width() - width) / 2
                                       : inside.Left + 2;
    int y = inside.Top + (inside.Height() - canvas.TextHeight(text)) / 2;
    canvas.TextRect(inside, x, y, text);
}

void TStatusBar::Paint() {
    TCanvas& canvas = Canvas();
    canvas.FillRect(ClientRect(), Color());
    if (simplePanel_) {
        paintPanel(Rect(0, 2, ClientWidth() - gripWidth(), ClientHeight()), pbNone, taLeftJustify, simpleText_);
    } else {
        for (int i = 0; i < panels_.Count(); ++i) {
            TStatusPanel* panel = panels_.Items(i);
            TRect rect = PanelRect(i);
            if (panel->Style() == psOwnerDraw && OnDrawPanel) {
                paintPanel(rect, panel->Bevel(), panel->Alignment(), {});
                OnDrawPanel(this, panel, rect);
            } else {
                paintPanel(rect, panel->Bevel(), panel->Alignment(), panel->Text());
            }
        }
    }
    if (sizeGrip_)
        canvas.DrawSizeGrip(ClientRect());
}
