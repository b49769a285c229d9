// Anchors and size limits of the window base.  A control remembers where
// it stood when its bounds were last given from outside, and the size its
// parent's client area had then; each later size of the parent places it
// from that starting place, so that growing and shrinking the parent back
// brings the control back exactly (a limit met on the way leaves no trace).
#include "platform/ui/Control.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::Assign(const TPersistent* source) {
    auto* other = dynamic_cast<const TSizeConstraints*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    minWidth_ = other->minWidth_;
    minHeight_ = other->minHeight_;
    maxWidth_ = other->maxWidth_;
    maxHeight_ = other->maxHeight_;
    changed();
}

namespace {

// Sets one limit of a pair; the other follows so that min <= max (a max of
// 0 is none).
bool setLimit(int& limit, int value, int& minimum, int& maximum) {
    value = std::max(0, value);
    if (value == limit)
        return false;
    limit = value;
    if (maximum > 0 && minimum > maximum) {
        if (&limit == &minimum)
            maximum = minimum;
        else
            minimum = maximum;
    }
    return true;
}

} // namespace

void TSizeConstraints::SetMinWidth(int value) {
    if (setLimit(minWidth_, value, minWidth_, maxWidth_))
        changed();
}

void TSizeConstraints::SetMinHeight(int value) {
    if (setLimit(minHeight_, value, minHeight_, maxHeight_))
        changed();
}

void TSizeConstraints::SetMaxWidth(int value) {
    if (setLimit(maxWidth_, value, minWidth_, maxWidth_))
        changed();
}

void TSizeConstraints::SetMaxHeight(int value) {
    if (setLimit(maxHeight_, value, minHeight_, maxHeight_))
        changed();
}

void TSizeConstraints::changed() {
    if (OnChange)
        OnChange();
}

// ---------------------------------------------------------------------------
// The control's side

void TControl::ConstraintsChanged() { SetBounds(left_, top_, width_, height_); }

void TWinControl::ConstraintsChanged() {
    TControl::ConstraintsChanged();
    // A top-level window tells the window system its new limits.
    if (peer_ != nullptr)
        peer_->BoundsChanged();
}

void TControl::SetAnchors(TAnchors anchors) {
    anchors &= akLeft | akTop | akRight | akBottom;
    if (anchors == anchors_)
        return;
    anchors_ = anchors;
    noteAnchorPlace();
}

void TControl::noteAnchorPlace() {
    // Left and top anchors keep the bounds as they are: nothing to note.
    if (parent_ == nullptr || anchors_ == akLeftTop)
        return;
    anchorPlace_ = {BoundsRect(), parent_->ClientWidth(), parent_->ClientHeight()};
}

namespace {

struct TSpan {
    int Start;
    int Size;
};

// One axis of an anchored control: where it starts and how long it is
// for a parent length of parentNow, from its place when the parent was
// parentWas long.
template <class TClamp>
TSpan followAxis(bool nearEdge, bool farEdge, TSpan was, int parentWas, int parentNow, TClamp clamp) {
    const int grown = parentNow - parentWas;
    if (nearEdge && farEdge)
        return {was.Start, clamp(was.Size + grown)};
    const int size = clamp(was.Size);
    if (farEdge)
        return {was.Start + was.Size + grown - size, size};
    if (nearEdge || parentWas <= 0)
        return {was.Start, size};
    // Neither edge: the centre keeps its share of the parent's length.
    const double centre = (was.Start + was.Size / 2) * static_cast<double>(parentNow) / parentWas;
    return {static_cast<int>(std::lround(centre)) - size / 2, size};
}

} // namespace

void TControl::followParentSize(int parentWidth, int parentHeight) {
    if (align_ != alNone || anchors_ == akLeftTop)
        return;
    const TAnchorPlace& was = anchorPlace_;
    const TSpan x = followAxis((anchors_ & akLeft) != 0, (anchors_ & akRight) != 0,
                               {was.Bounds.Left, was.Bounds.Width()}, was.ParentWidth, parentWidth,
                               [this](int w) { return constraints_->ClampWidth(std::max(0, w)); });
    const TSpan y = followAxis((anchors_ & akTop) != 0, (anchors_ & akBottom) != 0,
                               {was.Bounds.Top, was.Bounds.Height()}, was.ParentHeight, parentHeight,
                               [this](int h) { return constraints_->ClampHeight(std::max(0, h)); });
    struct TAnchoring {
        bool& Flag;
        explicit TAnchoring(bool& flag) : Flag(flag) { Flag = true; }
        ~TAnchoring() { Flag = false; }
    } anchoring(anchoring_);
    SetBounds(x.Start, y.Start, x.Size, y.Size);
}

void TWinControl::anchorControls() {
    const int width = ClientWidth();
    const int height = ClientHeight();
    for (TControl* control : std::vector<TControl*>(controls_))
        control->followParentSize(width, height);
}
