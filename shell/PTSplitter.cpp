#include "shell/PTSplitter.h"

#include "platform/ui/HatchedOverlay.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------

TPTPane::TPTPane(TComponent* owner) : TPTGroup(owner) { SetFrameStyle(ptfsLowered); }

TPTSplitter::TPTSplitter(TComponent* owner) : TCustomControl(owner) {
    // The drag holds the capture itself: the base would release it before
    // the button-up that ends the drag arrives.
    ControlStyle = csClickEvents | csDoubleClicks;
    SetBounds(0, 0, 200, 140);
    seenSize_ = {Width(), Height()};
}

TPTSplitter::~TPTSplitter() {
    Destroying();
    bar_.reset();
}

int TPTSplitter::size() const { return style_ == ptstHorizontal ? Height() : Width(); }

int TPTSplitter::axisCoordinate(int x, int y) const { return style_ == ptstHorizontal ? y : x; }

int TPTSplitter::limit(int value) const {
    if (panes_[0] == nullptr || panes_[1] == nullptr)
        return value;
    // When the limits cross, the first pane's minimum wins.
    return std::max(panes_[0]->MinSize, std::min(value, size() - panes_[1]->MinSize));
}

int TPTSplitter::limitBar(int coordinate) const { return limit(coordinate - grabOffset_) + grabOffset_; }

bool TPTSplitter::liveDragging() const {
    // The desktops of this system move and size windows whole, so the
    // user's setting is live dragging.
    return FullDragMode != ptfdOff;
}

void TPTSplitter::SetPosition(int value) {
    int limited = limit(value);
    if (limited == position_)
        return;
    position_ = limited;
    layout();
    recomputeRatio();
    if (OnChange)
        OnChange(this);
}

void TPTSplitter::SetStyle(TPTSplitterStyle value) {
    if (value == style_)
        return;
    style_ = value;
    layout();
}

void TPTSplitter::SetSplitterWidth(int value) {
    if (value == splitterWidth_)
        return;
    splitterWidth_ = value;
    layout();
}

TColor TPTSplitter::PaneColor(int index) const { return Pane(index) != nullptr ? Pane(index)->Color() : clBtnFace; }

void TPTSplitter::SetPaneColor(int index, TColor color) {
    if (TPTPane* pane = Pane(index))
        pane->SetColor(color);
}

TPTFrameStyle TPTSplitter::PaneFrameStyle(int index) const {
    return Pane(index) != nullptr ? Pane(index)->FrameStyle() : ptfsLowered;
}

void TPTSplitter::SetPaneFrameStyle(int index, TPTFrameStyle style) {
    if (TPTPane* pane = Pane(index))
        pane->SetFrameStyle(style);
}

int TPTSplitter::PaneMinSize(int index) const { return Pane(index) != nullptr ? Pane(index)->MinSize : 20; }

void TPTSplitter::SetPaneMinSize(int index, int size) {
    if (TPTPane* pane = Pane(index))
        pane->MinSize = size;
}

bool TPTSplitter::HatchedBarShown() const { return bar_ != nullptr && bar_->Visible(); }

void TPTSplitter::layout() {
    if (panes_[0] == nullptr || panes_[1] == nullptr || IsLoading())
        return;
    int width = ClientWidth(), height = ClientHeight();
    int second = position_ + splitterWidth_;
    if (style_ == ptstVertical) {
        panes_[0]->SetBounds(0, 0, position_, height);
        panes_[1]->SetBounds(second, 0, width - second, height);
    } else {
        panes_[0]->SetBounds(0, 0, width, position_);
        panes_[1]->SetBounds(0, second, width, height - second);
    }
}

void TPTSplitter::recomputeRatio() {
    int extent = size();
    ratio_ = extent == 0 ? 0.5f : static_cast<float>(position_) / static_cast<float>(extent);
}

void TPTSplitter::resized() {
    seenSize_ = {Width(), Height()};
    if (Proportional) {
        float kept = ratio_;
        SetPosition(static_cast<int>(std::lround(static_cast<float>(size()) * ratio_)));
        ratio_ = kept;
    }
    if (OnResize)
        OnResize(this);
    layout();
}

void TPTSplitter::SetBounds(int left, int top, int width, int height) {
    TCustomControl::SetBounds(left, top, width, height);
    if (!IsLoading() && (Width() != seenSize_.cx || Height() != seenSize_.cy))
        resized();
}

void TPTSplitter::namePanes() {
    if (Name().empty())
        return;
    for (int index = 0; index < 2; ++index)
        if (panes_[index] != nullptr)
            panes_[index]->SetName(Name() + "_pane" + std::to_string(index + 1));
}

void TPTSplitter::SetName(std::string name) {
    TCustomControl::SetName(std::move(name));
    namePanes();
}

void TPTSplitter::Loaded() {
    TCustomControl::Loaded();
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* pane = dynamic_cast<TPTPane*>(Controls(i))) {
            int index = pane->Index & 1;
            panes_[index] = pane;
            pane->FreeNotification(this);
        }
    namePanes();
    seenSize_ = {Width(), Height()};
    layout();
    recomputeRatio();
}

void TPTSplitter::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == opRemove)
        for (auto& pane : panes_)
            if (pane == component)
                pane = nullptr;
}

void TPTSplitter::moveBar(int coordinate) {
    if (liveDragging() && coordinate >= 0) {
        barAt_ = coordinate;
        SetPosition(coordinate - grabOffset_);
    } else {
        if (bar_ != nullptr)
            bar_->Hide();
        barAt_ = coordinate;
        if (coordinate >= 0) {
            if (bar_ == nullptr) {
                bar_ = std::make_unique<THatchedOverlay>();
                bar_->SetVisible(false);
                bar_->SetParent(this);
            }
            int at = coordinate - grabOffset_;
            if (style_ == ptstVertical)
                bar_->SetBounds(at, 0, splitterWidth_, ClientHeight());
            else
                bar_->SetBounds(0, at, ClientWidth(), splitterWidth_);
            bar_->Show();
            bar_->BringToFront();
        }
    }
    if (OnSplitterDrag)
        OnSplitterDrag(this, barAt_);
}

void TPTSplitter::endDrag() {
    moveBar(-1);
    dragging_ = false;
    bar_.reset();
    if (MouseCapture())
        SetMouseCapture(false);
}

void TPTSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (dragging_) {
        endDrag();
        return;
    }
    if (button != mbLeft)
        return;
    SetMouseCapture(true);
    dragButton_ = button;
    int coordinate = axisCoordinate(x, y);
    int farEdge = position_;
    if (panes_[0] != nullptr)
        farEdge = style_ == ptstVertical ? panes_[0]->Left() + panes_[0]->Width()
                                         : panes_[0]->Top() + panes_[0]->Height();
    grabOffset_ = coordinate - farEdge;
    dragging_ = true;
    moveBar(limitBar(coordinate));
}

void TPTSplitter::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    if (!dragging_)
        return;
    int coordinate = limitBar(axisCoordinate(x, y));
    if (coordinate != barAt_)
        moveBar(coordinate);
}

void TPTSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseUp(button, shift, x, y);
    if (!dragging_ || button != dragButton_)
        return;
    moveBar(limitBar(axisCoordinate(x, y)));
    int before = position_;
    position_ = barAt_ - grabOffset_;
    endDrag();
    layout();
    recomputeRatio();
    if (OnSplitterDrop)
        OnSplitterDrop(this, position_);
    if (position_ != before && OnChange)
        OnChange(this);
}

void TPTSplitter::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_SIZE:
        TCustomControl::Dispatch(message);
        if (!IsLoading() && (Width() != seenSize_.cx || Height() != seenSize_.cy))
            resized();
        return;
    case WM_SETCURSOR:
        if (LOWORD(static_cast<uintptr_t>(message.LParam)) == HTCLIENT) {
            ShowCursorShape(style_ == ptstHorizontal ? crVSplit : crHSplit);
            message.Result = 1;
            return;
        }
        TCustomControl::Dispatch(message);
        return;
    case WM_CANCELMODE:
        if (dragging_)
            endDrag();
        TCustomControl::Dispatch(message);
        return;
    case WM_CAPTURECHANGED:
        // Losing the capture to anyone else ends the drag without a drop.
        if (dragging_ && GetCaptureControl() != this) {
            dragging_ = false;
            moveBar(-1);
            bar_.reset();
        }
        TCustomControl::Dispatch(message);
        return;
    case CM_COLORCHANGED:
        Invalidate();
        TCustomControl::Dispatch(message);
        return;
    default:
        TCustomControl::Dispatch(message);
    }
}
