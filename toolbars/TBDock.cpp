#include "toolbars/TBDock.h"

#include "platform/base/Exceptions.h"
#include "platform/ui/NonClientFrame.h"
#include "toolbars/TBDockableWindow.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/TBTexts.h"

#include <algorithm>

namespace {

bool contains(const std::vector<TTBCustomDockableWindow*>& list, const TTBCustomDockableWindow* bar) {
    return std::find(list.begin(), list.end(), bar) != list.end();
}

// The order of bars by requested row and position, list order among
// equals.
void sortByRequest(std::vector<TTBCustomDockableWindow*>& list) {
    std::stable_sort(list.begin(), list.end(), [](TTBCustomDockableWindow* a, TTBCustomDockableWindow* b) {
        return std::pair(a->DockRow(), a->DockPos()) < std::pair(b->DockRow(), b->DockPos());
    });
}

} // namespace

TTBDock::TTBDock(TComponent* owner) : TCustomControl(owner) {
    ControlStyle = (ControlStyle | csAcceptsControls) & ~(csCaptureMouse | csClickEvents | csOpaque);
    SetColor(clBtnFace);
    SetAlign(alTop);
}

TTBDock::~TTBDock() {
    Destroying();
    if (background_ != nullptr)
        background_->RemoveChangeHandler(this);
}

// ---------------------------------------------------------------------------
// Properties

void TTBDock::SetAllowDrag(bool value) {
    if (value == allowDrag_)
        return;
    allowDrag_ = value;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* bar = dynamic_cast<TTBCustomDockableWindow*>(Controls(i)))
            FrameChanged(*bar);
    LayoutBars();
}

void TTBDock::SetBackground(TTBBasicBackground* value) {
    if (value == background_)
        return;
    if (background_ != nullptr) {
        background_->RemoveChangeHandler(this);
        background_->RemoveFreeNotification(this);
    }
    background_ = value;
    if (background_ != nullptr) {
        background_->FreeNotification(this);
        background_->AddChangeHandler([this] { InvalidateBackground(); }, this);
    }
    InvalidateBackground();
}

void TTBDock::SetBackgroundOnToolbars(bool value) {
    if (value == backgroundOnToolbars_)
        return;
    backgroundOnToolbars_ = value;
    InvalidateBackground();
}

void TTBDock::SetBoundLines(TTBDockBoundLines value) {
    if (value == boundLines_)
        return;
    boundLines_ = value;
    frameChanged();
    LayoutBars();
}

void TTBDock::SetFixAlign(bool value) {
    if (value == fixAlign_)
        return;
    fixAlign_ = value;
    LayoutBars();
}

void TTBDock::SetPosition(TTBDockPosition value) {
    if (value == position_)
        return;
    if (ControlCount() > 0)
        throw EInvalidOperation(TBTexts::DockPositionLocked);
    position_ = value;
    static constexpr TAlign aligns[] = {alTop, alBottom, alLeft, alRight};
    SetAlign(aligns[value]);
}

void TTBDock::SetParent(TWinControl* parent) {
    if (dynamic_cast<TTBCustomDockableWindow*>(parent) != nullptr || dynamic_cast<TTBDock*>(parent) != nullptr)
        throw EInvalidOperation(TBTexts::DockInsideDock);
    TCustomControl::SetParent(parent);
}

void TTBDock::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Kind = std::string(wk::NonClientFramed);
}

void TTBDock::Loaded() {
    TCustomControl::Loaded();
    LayoutBars();
}

void TTBDock::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == background_)
        background_ = nullptr;
    if (auto* bar = dynamic_cast<TTBCustomDockableWindow*>(component)) {
        bool shown = contains(visibleBarList_, bar);
        std::erase(barList_, bar);
        std::erase(visibleBarList_, bar);
        if (BarInDrag == bar)
            BarInDrag = nullptr;
        if (shown && !IsDestroying())
            LayoutBars();
    }
}

// ---------------------------------------------------------------------------
// Bars

void TTBDock::AddRemoveBar(bool inserting, TTBCustomDockableWindow* bar) {
    if (!inserting) {
        std::erase(barList_, bar);
    } else if (!contains(barList_, bar)) {
        barList_.push_back(bar);
        bar->FreeNotification(this);
    }
    UpdateBarVisibility(bar, false);
}

void TTBDock::UpdateBarVisibility(TTBCustomDockableWindow* bar, bool forceRemove) {
    bool shown = !forceRemove && IsBarShown(bar);
    if (shown == contains(visibleBarList_, bar))
        return;
    if (shown)
        visibleBarList_.push_back(bar);
    else
        std::erase(visibleBarList_, bar);
    LayoutBars();
    if (OnInsertRemoveBar)
        OnInsertRemoveBar(this, shown, bar);
}

bool TTBDock::IsBarShown(const TTBCustomDockableWindow* bar) const {
    return bar->Parent() == this && bar->Visible();
}

bool TTBDock::HasShownBars() const {
    return std::any_of(barList_.begin(), barList_.end(), [this](auto* bar) { return IsBarShown(bar); });
}

void TTBDock::AdoptPlacedPositions() {
    for (TTBCustomDockableWindow* bar : visibleBarList_) {
        bar->SetDockRowQuietly(bar->PlacedRow);
        bar->SetDockPosQuietly(bar->PlacedPos);
    }
}

int TTBDock::HighestRow(bool useEffective) const {
    int highest = -1;
    for (TTBCustomDockableWindow* bar : barList_)
        highest = std::max(highest, useEffective ? bar->PlacedRow : bar->DockRow());
    return highest;
}

int TTBDock::RowCrossSize(int row, bool& hasFullSize) const {
    hasFullSize = false;
    if (row < 0)
        return 0;
    int size = 0;
    for (TTBCustomDockableWindow* bar : barList_)
        if (bar->PlacedRow == row && IsBarShown(bar)) {
            size = std::max(size, IsVertical() ? bar->Width() : bar->Height());
            hasFullSize = bar->FullSize();
        }
    return size;
}

int TTBDock::GetRowThicknessExcept(int row, const TTBCustomDockableWindow* bar) const {
    int thickness = 0;
    for (TTBCustomDockableWindow* other : barList_)
        if (other != bar && other->PlacedRow == row && IsBarShown(other))
            thickness = std::max(thickness, other->RowThickness);
    return thickness;
}

int TTBDock::RowAtOffset(int offset) const {
    int last = HighestRow(true) + 1;
    int total = 0;
    bool fullSize = false;
    for (int row = 0; row <= last; ++row) {
        total += RowCrossSize(row, fullSize);
        if (total > offset)
            return row;
    }
    return std::max(last, 0);
}

// ---------------------------------------------------------------------------
// Layout

void TTBDock::SuspendLayout() { ++arrangeDisableCount_; }

void TTBDock::ResumeLayout() {
    if (arrangeDisableCount_ > 0 && --arrangeDisableCount_ == 0 && arrangeNeeded_)
        LayoutBars();
}

void TTBDock::LayoutBars() {
    bool ownerLoading = Owner() != nullptr && Owner()->IsLoading();
    if (arrangeDisableCount_ > 0 || IsLoading() || ownerLoading) {
        arrangeNeeded_ = true;
        return;
    }
    ++arrangeDisableCount_;
    struct TDone {
        TTBDock& Dock;
        ~TDone() {
            --Dock.arrangeDisableCount_;
            Dock.arrangeNeeded_ = false;
            Dock.WriteBackPositions = false;
        }
    } done{*this};

    const bool vertical = IsVertical();
    if (!HasShownBars()) {
        int thickness = fixAlign_ ? 1 : 0;
        if (vertical)
            SetSizeKeepEdge(NonClientWidth() + thickness, Height());
        else
            SetSizeKeepEdge(Width(), NonClientHeight() + thickness);
        return;
    }
    auto dying = [](TTBCustomDockableWindow* bar) { return bar->IsDestroying(); };
    std::erase_if(barList_, dying);
    std::erase_if(visibleBarList_, dying);
    if (limitToOneRow_)
        for (TTBCustomDockableWindow* bar : barList_)
            bar->SetDockRowQuietly(0);
    std::vector<TTBCustomDockableWindow*> bars = barList_;
    sortByRequest(visibleBarList_);

    TTBDockLayoutInput input;
    input.AvailableLength = std::max(0, vertical ? ClientHeight() : ClientWidth());
    laidOutRoom_ = RoomAcross();
    if (laidOutRoom_ > 0)
        input.MaxThickness = std::max(1, laidOutRoom_ - (vertical ? NonClientWidth() : NonClientHeight()));
    input.LimitToOneRow = limitToOneRow_;
    input.RowLocked = RowLocked;
    for (size_t i = 0; i < bars.size(); ++i) {
        TTBCustomDockableWindow* bar = bars[i];
        input.Bars.push_back({IsBarShown(bar), bar->DockRow(), bar->DockPos(), bar->FullSize(), bar->WantsOwnRow});
        if (bar == BarInDrag)
            input.DragIndex = static_cast<int>(i);
    }
    std::vector<bool> rearrange(bars.size(), false);
    std::vector<int> shrunkBefore(bars.size());
    for (size_t i = 0; i < bars.size(); ++i)
        shrunkBefore[i] = bars[i]->ShrunkLength();
    auto along = [vertical](TSize size) { return vertical ? size.cy : size.cx; };
    auto across = [vertical](TSize size) { return vertical ? size.cx : size.cy; };
    TTBDockBarMeasure measure;
    measure.FullLength = [&](int i) {
        return along(bars[i]->ContentClientSize()) + along(bars[i]->DockedFrameSizeFor(this));
    };
    measure.ShrinkMode = [&](int i) { return bars[i]->ActiveShrinkMode(); };
    measure.ShrinkLimit = [&](int i) {
        int length = 0;
        bars[i]->ShrinkLimit(length);
        return length;
    };
    measure.Thickness = [&](int i, int shrunk) {
        TTBCustomDockableWindow* bar = bars[i];
        TTBShrinkMode mode = bar->ActiveShrinkMode();
        bar->SetShrunkLength(shrunk);
        TSize size;
        if (mode != tbsmNone && shrunk != shrunkBefore[i]) {
            size = bar->ArrangeContents(false, DockType(), this, false);
            rearrange[i] = true;
        } else if (mode == tbsmWrap && shrunk != 0) {
            TSize frame = bar->DockedFrameSizeFor(this);
            size = {bar->Width() - frame.cx, bar->Height() - frame.cy};
        } else {
            size = bar->ContentClientSize();
        }
        return across(size);
    };
    measure.LeastThickness = [&](int i) { return bars[i]->LeastThicknessAcross(vertical); };
    TTBDockLayoutResult result = LayoutDockBars(input, measure);
    CrowdedRow = CrowdedRow || result.CrowdedRow;

    for (size_t i = 0; i < bars.size(); ++i) {
        TTBCustomDockableWindow* bar = bars[i];
        const TTBDockBarPlace& place = result.Places[i];
        bar->PlacedRow = place.Row;
        bar->PlacedPos = place.Pos;
        if (WriteBackPositions) {
            bar->SetDockRowQuietly(place.Row);
            bar->SetDockPosQuietly(place.Pos);
        }
    }
    if (WriteBackPositions) {
        barList_.clear();
        for (int i : result.Order)
            barList_.push_back(bars[static_cast<size_t>(i)]);
    }
    for (int i : result.Order) {
        TTBCustomDockableWindow* bar = bars[static_cast<size_t>(i)];
        const TTBDockBarPlace& place = result.Places[static_cast<size_t>(i)];
        if (!place.Member)
            continue;
        bar->RowThickness = place.Thickness;
        const TRect& b = place.Bounds;
        bar->BeginBoundsGuard();
        if (vertical)
            bar->SetBounds(b.Top, b.Left, b.Height(), b.Width());
        else
            bar->SetBounds(b.Left, b.Top, b.Width(), b.Height());
        bar->EndBoundsGuard();
        if (rearrange[static_cast<size_t>(i)])
            bar->FitToContents();
        bar->SetShrunkLength(place.ShrunkLength);
    }
    if (vertical)
        SetSizeKeepEdge(NonClientWidth() + result.Thickness, Height());
    else
        SetSizeKeepEdge(Width(), NonClientHeight() + result.Thickness);
}

void TTBDock::SetSizeKeepEdge(int width, int height) {
    int left = Left(), top = Top();
    if (position_ == dpBottom)
        top += Height() - height;
    else if (position_ == dpRight)
        left += Width() - width;
    SetBounds(left, top, width, height);
}

int TTBDock::RoomAcross() const {
    const TWinControl* parent = Parent();
    if (parent == nullptr)
        return 0;
    const bool vertical = IsVertical();
    int room = vertical ? parent->ClientWidth() : parent->ClientHeight();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        const TControl* other = parent->Controls(i);
        const TAlign align = other->Align();
        const bool alongAxis = vertical ? align == alLeft || align == alRight : align == alTop || align == alBottom;
        if (other != this && other->Visible() && alongAxis)
            room -= vertical ? other->Width() : other->Height();
    }
    return std::max(0, room / 2);
}

void TTBDock::BoundsChanged(const TRect& oldBounds) {
    // A new size asks for the alignment of the children, which is the
    // layout of the bars; so does a new room across, which the parent's
    // new size moves the dock for.
    const bool sized = oldBounds.Width() != Width() || oldBounds.Height() != Height();
    TCustomControl::BoundsChanged(oldBounds);
    if (!sized && HasShownBars() && RoomAcross() != laidOutRoom_)
        LayoutBars();
    if (OnResize && (oldBounds.Width() != Width() || oldBounds.Height() != Height()))
        OnResize(this);
}

void TTBDock::AlignControls(TRect&) { LayoutBars(); }

// ---------------------------------------------------------------------------
// Frame and painting

int TTBDock::NonClientWidth() const {
    return ((boundLines_ & blLeft) ? 1 : 0) + ((boundLines_ & blRight) ? 1 : 0);
}

int TTBDock::NonClientHeight() const {
    return ((boundLines_ & blTop) ? 1 : 0) + ((boundLines_ & blBottom) ? 1 : 0);
}

int TTBDock::ClientWidth() const {
    return HandleAllocated() ? TCustomControl::ClientWidth() : std::max(0, Width() - NonClientWidth());
}

int TTBDock::ClientHeight() const {
    return HandleAllocated() ? TCustomControl::ClientHeight() : std::max(0, Height() - NonClientHeight());
}

TPoint TTBDock::ClientToScreen(TPoint point) const {
    if (HandleAllocated())
        return TCustomControl::ClientToScreen(point);
    int dx = (boundLines_ & blLeft) ? 1 : 0, dy = (boundLines_ & blTop) ? 1 : 0;
    return TCustomControl::ClientToScreen({point.X + dx, point.Y + dy});
}

void TTBDock::frameChanged() { FrameChanged(*this); }

void TTBDock::PaintBoundLines(TCanvas& canvas) {
    TRect whole = Rect(0, 0, Width(), Height());
    if (boundLines_ == 0 || !HasShownBars())
        return;
    auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
        canvas.Pen().SetColor(color);
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    };
    int right = whole.Right - 1, bottom = whole.Bottom - 1;
    if (boundLines_ & blTop)
        line(clBtnShadow, 0, 0, whole.Right, 0);
    if (boundLines_ & blLeft)
        line(clBtnShadow, 0, 0, 0, whole.Bottom);
    if (boundLines_ & blBottom)
        line(clBtnHighlight, 0, bottom, whole.Right, bottom);
    if (boundLines_ & blRight)
        line(clBtnHighlight, right, 0, right, whole.Bottom);
}

bool TTBDock::BackgroundInUse() const { return background_ != nullptr && background_->PaintsAnything(); }

void TTBDock::InvalidateBackground() {
    Invalidate();
    for (TTBCustomDockableWindow* bar : visibleBarList_) {
        bar->InvalidateFrame();
        bar->Invalidate();
    }
}

void TTBDock::PaintBackgroundFor(TCanvas& canvas, const TRect& rect, TPoint offset) {
    if (!BackgroundInUse())
        return;
    // The picture's origin is the dock's client origin, wherever the
    // window painting lies.
    background_->PaintArea(canvas, rect, {-offset.X, -offset.Y});
}

bool TTBDock::forwardToFloatingBars(TMessage& message) {
    for (TTBCustomDockableWindow* bar : std::vector<TTBCustomDockableWindow*>(barList_))
        if (bar->WantsMenuEvents() && bar->Floating() && bar->Showing() && bar->Enabled()) {
            message.Result = bar->Perform(message.Msg, message.WParam, message.LParam);
            if (message.Result != 0)
                return true;
        }
    return false;
}

void TTBDock::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_NCCALCSIZE: {
        auto* rect = reinterpret_cast<TRect*>(message.LParam);
        if (boundLines_ & blTop)
            ++rect->Top;
        if (boundLines_ & blBottom)
            --rect->Bottom;
        if (boundLines_ & blLeft)
            ++rect->Left;
        if (boundLines_ & blRight)
            --rect->Right;
        message.Result = 0;
        return;
    }
    case WM_NCPAINT:
        if (auto* canvas = reinterpret_cast<TCanvas*>(message.WParam)) {
            canvas->FillRect(Rect(0, 0, Width(), Height()), Color());
            PaintBoundLines(*canvas);
        }
        return;
    case WM_ERASEBKGND:
        if (BackgroundInUse()) {
            if (auto* canvas = reinterpret_cast<TCanvas*>(message.WParam))
                PaintBackgroundFor(*canvas, ClientRect(), {0, 0});
            message.Result = 1;
            return;
        }
        break;
    case CM_SYSCOLORCHANGE:
        if (background_ != nullptr)
            background_->SystemColoursChanged();
        break;
    case WM_SYSCOMMAND:
        message.Result = 0;
        forwardToFloatingBars(message);
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        message.Result = 0;
        if (forwardToFloatingBars(message))
            return;
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(message);
}
