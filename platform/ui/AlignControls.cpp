// Aligned children (and, after them, the anchored ones) and the hint
// flags of the window base.
#include "platform/ui/Control.h"

#include <algorithm>
#include <vector>

void TControl::SetAlign(TAlign align) {
    if (align == align_)
        return;
    align_ = align;
    if (parent_ != nullptr)
        parent_->Realign();
}

bool TControl::ShowHint() const {
    if (parentShowHint_ && parent_ != nullptr)
        return parent_->ShowHint();
    return showHint_;
}

void TControl::SetShowHint(bool value) {
    showHint_ = value;
    parentShowHint_ = false;
}

void TWinControl::Loaded() {
    TControl::Loaded();
    fixupTabList();
    Realign();
}

void TWinControl::Realign() {
    // Placing a child changes its bounds, which asks for this again.  While
    // a form is read or built, bounds come one by one: they are placed
    // once it is done.
    if (aligning_ || IsDestroying() || IsLoading())
        return;
    aligning_ = true;
    try {
        TRect rect = ClientRect();
        AlignControls(rect);
        anchorControls();
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
}

namespace {

// Where a control stands along the edge it is aligned to, nearest the edge
// first.
int edgeOrder(const TControl& control) {
    switch (control.Align()) {
    case alTop: return control.Top();
    case alBottom: return -(control.Top() + control.Height());
    case alLeft: return control.Left();
    case alRight: return -(control.Left() + control.Width());
    default: return 0;
    }
}

} // namespace

void TWinControl::AlignControls(TRect& rect) {
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> group;
        for (TControl* control : controls_)
            if (control->Align() == align && control->Visible())
                group.push_back(control);
        // Controls keep their order along an edge, so that one dragged past
        // another (by a splitter) changes places with it.
        std::stable_sort(group.begin(), group.end(),
                         [](TControl* a, TControl* b) { return edgeOrder(*a) < edgeOrder(*b); });
        // A child may answer a new length with a new thickness of its own
        // (a dock of toolbars wraps its rows when narrowed), while this
        // placing runs: the free area shrinks by what it took, and one
        // on the far edge is placed again against that edge.
        for (TControl* control : group) {
            int width = std::max(0, rect.Width());
            int height = std::max(0, rect.Height());
            switch (align) {
            case alTop:
                control->SetBounds(rect.Left, rect.Top, width, control->Height());
                rect.Top += control->Height();
                break;
            case alBottom:
                control->SetBounds(rect.Left, rect.Bottom - control->Height(), width, control->Height());
                if (control->Top() + control->Height() != rect.Bottom)
                    control->SetBounds(rect.Left, rect.Bottom - control->Height(), width, control->Height());
                rect.Bottom -= control->Height();
                break;
            case alLeft:
                control->SetBounds(rect.Left, rect.Top, control->Width(), height);
                rect.Left += control->Width();
                break;
            case alRight:
                control->SetBounds(rect.Right - control->Width(), rect.Top, control->Width(), height);
                if (control->Left() + control->Width() != rect.Right)
                    control->SetBounds(rect.Right - control->Width(), rect.Top, control->Width(), height);
                rect.Right -= control->Width();
                break;
            default:
                control->SetBounds(rect.Left, rect.Top, width, height);
                break;
            }
        }
    }
}
