#include "toolbars/themes/TBKList.h"

#include "platform/gfx/Canvas.h"
#include "toolbars/TBLoopState.h"
#include "toolbars/TBView.h"
#include "toolbars/themes/TBKPaintKit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kRepeatTimer = 1;
constexpr int kAutoScrollTimer = 2;

int roundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

} // namespace

// ---------------------------------------------------------------------------
// The scroll bar's timers: a window that is never shown.

class TTBKScrollBar::TTimerWindow : public TWinControl {
public:
    explicit TTimerWindow(TTBKScrollBar& bar) : TWinControl(nullptr), bar_(bar) {}
    ~TTimerWindow() override {
        Destroying();
        KillTimer(this, kRepeatTimer);
        KillTimer(this, kAutoScrollTimer);
    }

protected:
    void Dispatch(TMessage& message) override {
        if (message.Msg != WM_TIMER) {
            TWinControl::Dispatch(message);
            return;
        }
        int id = static_cast<int>(message.WParam);
        int interval = 0;
        bar_.TimerElapsed(id, interval);
        if (interval < 1)
            KillTimer(this, static_cast<uintptr_t>(id));
        else
            SetTimer(this, static_cast<uintptr_t>(id), static_cast<unsigned>(interval));
    }

private:
    TTBKScrollBar& bar_;
};

TTBKScrollBar::TTBKScrollBar() = default;
TTBKScrollBar::~TTBKScrollBar() = default;

int TTBKScrollBar::length() const { return kind_ == sbkVertical ? bounds_.Height() : bounds_.Width(); }

int TTBKScrollBar::effectiveWindow() const { return window_ <= 0 ? length() : window_; }

void TTBKScrollBar::SetBounds(const TRect& bounds) {
    bounds_ = bounds;
    layout();
}

void TTBKScrollBar::SetKind(int kind) {
    kind_ = kind;
    layout();
}

void TTBKScrollBar::SetPosition(int value) {
    int top = std::max(range_ - effectiveWindow(), 0);
    position_ = std::max(std::min(value, top), 0);
    layout();
}

void TTBKScrollBar::SetRange(int value) {
    range_ = std::max(value, 0);
    SetPosition(position_);
    Redraw();
}

void TTBKScrollBar::SetWindow(int value) {
    window_ = value;
    SetPosition(position_);
}

void TTBKScrollBar::layout() {
    const int l = length();
    const int t = kind_ == sbkVertical ? bounds_.Width() : bounds_.Height();
    int b = l - 2 <= 2 * t ? (l - 2) / 2 : t;
    b = std::max(b, 0);
    std::fill(std::begin(zoneStart_), std::end(zoneStart_), 0);
    std::fill(std::begin(zoneEnd_), std::end(zoneEnd_), 0);
    zoneStart_[sbzFirstButton] = 0;
    zoneEnd_[sbzFirstButton] = b;
    zoneStart_[sbzSecondButton] = l - b;
    zoneEnd_[sbzSecondButton] = l;
    const int k = l - 2 * b;
    hasThumb_ = Enabled() && k >= 13 && range_ > 0;
    if (!hasThumb_)
        return;
    const int window = effectiveWindow();
    int n = roundEven(static_cast<double>(k) * window / range_);
    int start;
    if (n < 8) {
        n = 8;
        start = roundEven(static_cast<double>(k - 8) * position_ / (range_ - window)) + b;
    } else {
        start = roundEven(static_cast<double>(k) * position_ / range_) + b;
    }
    zoneStart_[sbzPageUp] = b;
    zoneEnd_[sbzPageUp] = start;
    zoneStart_[sbzThumb] = start;
    zoneEnd_[sbzThumb] = start + n;
    zoneStart_[sbzPageDown] = start + n;
    zoneEnd_[sbzPageDown] = l - b;
}

TRect TTBKScrollBar::Zone(int zone) const {
    if (zone < sbzFirstButton || zone > sbzSecondButton || zoneEnd_[zone] <= zoneStart_[zone])
        return {};
    const int thickness = kind_ == sbkVertical ? bounds_.Width() : bounds_.Height();
    if (kind_ == sbkVertical)
        return Rect(0, zoneStart_[zone], thickness, zoneEnd_[zone]);
    return Rect(zoneStart_[zone], 0, zoneEnd_[zone], thickness);
}

int TTBKScrollBar::ZoneAt(int x, int y) const {
    TPoint p = local(x, y);
    for (int zone = sbzFirstButton; zone <= sbzSecondButton; ++zone)
        if (Zone(zone).Contains(p))
            return zone;
    return sbzNone;
}

void TTBKScrollBar::userPosition(int value) {
    int old = position_;
    SetPosition(value);
    if (position_ == old)
        return;
    Redraw();
    if (OnChange)
        OnChange(this);
}

void TTBKScrollBar::scrollZone(int zone) {
    switch (zone) {
    case sbzFirstButton:
        userPosition(position_ - SmallChange);
        break;
    case sbzPageUp:
        userPosition(position_ - effectiveWindow());
        break;
    case sbzPageDown:
        userPosition(position_ + effectiveWindow());
        break;
    case sbzSecondButton:
        userPosition(position_ + SmallChange);
        break;
    default:
        break;
    }
}

void TTBKScrollBar::startTimer(int id, int interval) {
    if (!timers_)
        timers_ = std::make_unique<TTimerWindow>(*this);
    SetTimer(timers_.get(), static_cast<uintptr_t>(id), static_cast<unsigned>(interval));
}

void TTBKScrollBar::stopTimer(int id) {
    if (timers_)
        KillTimer(timers_.get(), static_cast<uintptr_t>(id));
}

void TTBKScrollBar::MouseDown(TMouseButton button, int x, int y) {
    if (button != mbLeft)
        return;
    pressed_ = ZoneAt(x, y);
    pressPoint_ = {x, y};
    lastPoint_ = pressPoint_;
    pressPosition_ = position_;
    if (pressed_ != sbzNone && pressed_ != sbzThumb) {
        scrollZone(pressed_);
        startTimer(kRepeatTimer, 500);
    }
    Redraw();
}

void TTBKScrollBar::MouseMove(int x, int y) {
    lastPoint_ = {x, y};
    if (pressed_ != sbzThumb)
        return;
    const int d = kind_ == sbkVertical ? y - pressPoint_.Y : x - pressPoint_.X;
    const int span = zoneEnd_[sbzPageDown] - zoneStart_[sbzPageUp];
    const int window = effectiveWindow();
    int offset;
    if (range_ > 0 && span > 0 && roundEven(static_cast<double>(span) * window / range_) >= 8)
        offset = roundEven(static_cast<double>(d) * range_ / span);
    else if (span > 8)
        offset = roundEven(static_cast<double>(d) * (range_ - window) / (span - 8));
    else
        offset = 0;
    userPosition(pressPosition_ + offset);
}

void TTBKScrollBar::MouseUp(TMouseButton button, int x, int y) {
    if (button != mbLeft)
        return;
    stopTimer(kRepeatTimer);
    pressed_ = sbzNone;
    Redraw();
}

void TTBKScrollBar::TimerElapsed(int timerId, int& interval) {
    if (timerId == kRepeatTimer) {
        if (pressed_ == sbzFirstButton || pressed_ == sbzSecondButton) {
            scrollZone(pressed_);
            interval = 100;
        } else if (pressed_ == sbzPageUp || pressed_ == sbzPageDown) {
            if (ZoneAt(lastPoint_.X, lastPoint_.Y) == pressed_) {
                scrollZone(pressed_);
                interval = 100;
            } else {
                interval = 100; // waits until the mouse is back over the area
            }
        }
        return;
    }
    if (timerId != kAutoScrollTimer)
        return;
    interval = autoInterval_;
    userPosition(position_ + autoDelta_);
    if (position_ <= 0 || position_ >= range_ - effectiveWindow())
        interval = 0;
    if (OnAutoScroll)
        OnAutoScroll(this, autoDelta_, interval);
    autoInterval_ = interval;
    autoScrolling_ = interval >= 1;
}

void TTBKScrollBar::StartAutoScroll(int delta, int interval) {
    if (delta == 0)
        return;
    autoDelta_ = delta;
    autoInterval_ = interval;
    if (autoScrolling_)
        return;
    autoScrolling_ = true;
    startTimer(kAutoScrollTimer, static_cast<unsigned>(std::max(interval, 1)));
}

void TTBKScrollBar::StopAutoScroll() {
    if (!autoScrolling_)
        return;
    autoScrolling_ = false;
    stopTimer(kAutoScrollTimer);
}

void TTBKScrollBar::Redraw() {
    if (OnRedraw)
        OnRedraw(this);
}

void TTBKScrollBar::Paint(TCanvas& canvas, TPoint origin) {
    auto at = [&](int zone) {
        TRect r = Zone(zone);
        OffsetRect(r, origin.X, origin.Y);
        return r;
    };
    const bool enabled = Enabled();
    const bool vertical = kind_ == sbkVertical;
    for (int zone : {sbzFirstButton, sbzSecondButton}) {
        TRect r = at(zone);
        if (r.IsEmpty())
            continue;
        const bool pushed = pressed_ == zone;
        TRect edge = r;
        canvas.DrawEdge(edge, pushed ? BDR_SUNKENOUTER | BDR_SUNKENINNER : EDGE_RAISED,
                        BF_RECT | BF_MIDDLE | BF_ADJUST);
        int cx = (r.Left + r.Right) / 2 + pushed, cy = (r.Top + r.Bottom) / 2 + pushed;
        const bool first = zone == sbzFirstButton;
        auto arrow = [&](int dx, int dy, TColor color) {
            int x = cx + dx, y = cy + dy;
            if (vertical) {
                if (first)
                    PolygonIn(canvas, {{x - 3, y + 1}, {x + 3, y + 1}, {x, y - 2}}, color);
                else
                    PolygonIn(canvas, {{x - 3, y - 1}, {x + 3, y - 1}, {x, y + 2}}, color);
            } else {
                if (first)
                    PolygonIn(canvas, {{x + 1, y - 3}, {x + 1, y + 3}, {x - 2, y}}, color);
                else
                    PolygonIn(canvas, {{x - 1, y - 3}, {x - 1, y + 3}, {x + 2, y}}, color);
            }
        };
        if (enabled) {
            arrow(0, 0, clBtnText);
        } else {
            arrow(1, 1, clBtnHighlight);
            arrow(0, 0, clBtnShadow);
        }
    }
    if (!hasThumb_) {
        TRect track = vertical ? Rect(0, zoneEnd_[sbzFirstButton], bounds_.Width(), zoneStart_[sbzSecondButton])
                               : Rect(zoneEnd_[sbzFirstButton], 0, zoneStart_[sbzSecondButton], bounds_.Height());
        OffsetRect(track, origin.X, origin.Y);
        FillIn(canvas, track, clScrollBar);
        return;
    }
    for (int zone : {sbzPageUp, sbzPageDown}) {
        TRect r = at(zone);
        if (r.IsEmpty())
            continue;
        if (pressed_ == zone)
            FillIn(canvas, r, cl3DDkShadow);
        else
            FillDithered(canvas, r, clBtnHighlight, clScrollBar);
    }
    TRect thumb = at(sbzThumb);
    canvas.DrawEdge(thumb, EDGE_RAISED, BF_RECT | BF_ADJUST);
    FillIn(canvas, thumb, clBtnFace);
}

// ---------------------------------------------------------------------------
// TTBKCustomList

TTBKCustomList::TTBKCustomList(TComponent* owner) : TTBKCustomItem(owner) {}

TTBKCustomList::~TTBKCustomList() {
    for (TTBKCustomListViewer* viewer : viewers_)
        viewer->scrollBar_.reset();
}

TTBItemViewerClass TTBKCustomList::ViewerClassFor(TTBView*) { return &TTBKCustomListViewer::Make; }

void TTBKCustomList::DoChange() {
    if (OnChange)
        OnChange(this);
}

void TTBKCustomList::SetItemIndex(int value) {
    int index = value < 0 ? -1 : value;
    if (!settingIndex_) {
        settingIndex_ = true;
        itemIndex_ = index;
        for (TTBKCustomListViewer* viewer : std::vector<TTBKCustomListViewer*>(viewers_))
            viewer->takeIndex(index);
        settingIndex_ = false;
    } else {
        itemIndex_ = index;
    }
    DoChange();
}

// ---------------------------------------------------------------------------
// TTBKCustomListViewer

TTBKCustomListViewer::TTBKCustomListViewer(TTBView* view, TTBCustomItem* item) : TTBKItemViewer(view, item) {
    TTBKCustomList* list = List();
    count_ = std::max(list->GetCount(), 0);
    visibleRows_ = std::clamp(count_, 1, std::max(list->MaxVisibleItems, 1));
    const int index = list->ItemIndex();
    if (index >= 0 && index < count_)
        ScrollIntoView(index);
    // A remembered index at or past the end is no entry.
    hotIndex_ = index < count_ ? index : -1;
    list->viewers_.push_back(this);
}

TTBKCustomListViewer::~TTBKCustomListViewer() {
    auto& viewers = List()->viewers_;
    viewers.erase(std::remove(viewers.begin(), viewers.end(), this), viewers.end());
}

TTBItemViewer* TTBKCustomListViewer::Make(TTBView* view, TTBCustomItem* item) {
    return new TTBKCustomListViewer(view, item);
}

void TTBKCustomListViewer::MeasureSize(TCanvas& canvas, int& width, int& height) {
    TTBKCustomList* list = List();
    canvas.SetFont(View()->GetFont());
    count_ = std::max(list->GetCount(), 0);
    visibleRows_ = std::clamp(count_, 1, std::max(list->MaxVisibleItems, 1));
    itemHeight_ = std::max(list->EntryHeight(canvas), 1);
    height = visibleRows_ * itemHeight_;
    int widest = 0;
    for (int i = 0; i < count_; ++i)
        widest = std::max(widest, list->EntryWidth(canvas, i));
    scrollBarWidth_ = count_ > visibleRows_ ? TBSystemMetric(SM_CXVSCROLL) : 0;
    width = std::max(widest + scrollBarWidth_, list->MinWidth);
    if (list->MaxWidth > list->MinWidth)
        width = std::min(width, list->MaxWidth);
    width_ = width;
}

void TTBKCustomListViewer::makeScrollBar() {
    if (scrollBar_)
        return;
    scrollBar_ = std::make_unique<TTBKScrollBar>();
    scrollBar_->SetKind(sbkVertical);
    scrollBar_->OnRedraw = [this](TTBKScrollBar*) { repaint(); };
    scrollBar_->OnChange = [this](TTBKScrollBar* bar) {
        topIndex_ = bar->Position();
        repaint();
    };
    scrollBar_->OnAutoScroll = [this](TTBKScrollBar*, int&, int&) { AfterAutoScroll(); };
}

void TTBKCustomListViewer::syncScrollBar() {
    makeScrollBar();
    const int width = BoundsRect.Width(), height = visibleRows_ * itemHeight_;
    scrollBar_->SetBounds(Rect(width - scrollBarWidth_, 0, width, height));
    scrollBar_->SetRange(count_);
    scrollBar_->SetWindow(visibleRows_);
    scrollBar_->SetPosition(topIndex_);
}

void TTBKCustomListViewer::repaint() { View()->RepaintViewer(this); }

void TTBKCustomListViewer::Paint(TCanvas& canvas, const TRect& clientArea, bool, bool, bool) {
    TTBKCustomList* list = List();
    canvas.SetFont(View()->GetFont());
    const int rowsRight = clientArea.Right - scrollBarWidth_;
    int y = clientArea.Top;
    for (int i = topIndex_; i < count_ && y + itemHeight_ <= clientArea.Bottom; ++i, y += itemHeight_)
        list->DrawEntry(canvas, Rect(clientArea.Left, y, rowsRight, y + itemHeight_), i, i == hotIndex_);
    if (y < clientArea.Bottom)
        FillIn(canvas, Rect(clientArea.Left, y, rowsRight, clientArea.Bottom), clWindow);
    if (scrollBarWidth_ <= 0)
        return;
    syncScrollBar();
    scrollBar_->Paint(canvas, {rowsRight, clientArea.Top});
}

int TTBKCustomListViewer::EntryAt(int x, int y) const {
    if (x < 0 || x > BoundsRect.Width() - scrollBarWidth_ || y < 0)
        return -1;
    int index = y / itemHeight_ + topIndex_;
    if (index < topIndex_ || index >= topIndex_ + visibleRows_ || index >= count_)
        return -1;
    return index;
}

void TTBKCustomListViewer::setTop(int index) {
    int top = std::clamp(index, 0, std::max(count_ - visibleRows_, 0));
    if (top == topIndex_)
        return;
    topIndex_ = top;
    if (scrollBar_)
        scrollBar_->SetPosition(top);
}

void TTBKCustomListViewer::ScrollIntoView(int index) {
    if (index < 0)
        return;
    if (index < topIndex_)
        setTop(index);
    else if (index >= topIndex_ + visibleRows_)
        setTop(index - visibleRows_ + 1);
}

void TTBKCustomListViewer::setHot(int index) {
    if (index == hotIndex_)
        return;
    hotIndex_ = index;
    repaint();
    List()->HotIndexChanged(index);
}

void TTBKCustomListViewer::takeIndex(int index) {
    hotIndex_ = index < count_ ? index : -1;
    ScrollIntoView(hotIndex_);
    repaint();
}

void TTBKCustomListViewer::KeyDown(uint16_t& key, TShiftState shift) {
    if (key == VK_RETURN) {
        if (hotIndex_ >= 0)
            List()->SetItemIndex(hotIndex_);
        return;
    }
    if (count_ <= 0)
        return;
    int index = hotIndex_;
    switch (key) {
    case VK_PRIOR:
        index -= visibleRows_;
        break;
    case VK_NEXT:
        index += visibleRows_;
        break;
    case VK_END:
        index = count_ - 1;
        break;
    case VK_HOME:
        index = 0;
        break;
    case VK_UP:
        index -= 1;
        break;
    case VK_DOWN:
        index += 1;
        break;
    default:
        return;
    }
    key = 0;
    List()->SetItemIndex(std::clamp(index, 0, count_ - 1));
}

void TTBKCustomListViewer::MouseWheel(int delta, int x, int y) {
    if (delta > 0 && delta < 120)
        delta = 120;
    else if (delta < 0 && delta > -120)
        delta = -120;
    if (scrollBarWidth_ <= 0)
        return;
    syncScrollBar();
    int old = topIndex_;
    scrollBar_->SetPosition(topIndex_ - delta / 120);
    topIndex_ = scrollBar_->Position();
    if (topIndex_ != old)
        repaint();
}

void TTBKCustomListViewer::MouseDown(TShiftState shift, int x, int y, TTBLoopState& loop) {
    if (scrollBarWidth_ > 0)
        syncScrollBar();
    if (scrollBarWidth_ > 0 && x >= BoundsRect.Width() - scrollBarWidth_) {
        scrollBarTracking_ = true;
        scrollBar_->MouseDown(mbLeft, x, y);
    } else {
        listTracking_ = true;
        setHot(EntryAt(x, y));
    }
    View()->SetCaptureFlag();
}

void TTBKCustomListViewer::MouseMove(int x, int y) {
    if (scrollBarTracking_) {
        scrollBar_->MouseMove(x, y);
        return;
    }
    if (!listTracking_ || scrollBarWidth_ <= 0 || !scrollBar_) {
        setHot(EntryAt(x, y));
        return;
    }
    const int height = visibleRows_ * itemHeight_;
    if (y >= 0 && y < height) {
        scrollBar_->StopAutoScroll();
        setHot(EntryAt(x, y));
        return;
    }
    const int d = y < 0 ? y : y - height + 1;
    const int distance = std::abs(d);
    int step = distance < 30 ? 1 : distance <= 50 ? 2 : 4;
    step = d < 0 ? -step : step;
    const bool canScroll = step < 0 ? topIndex_ > 0 : topIndex_ < count_ - visibleRows_;
    if (canScroll)
        scrollBar_->StartAutoScroll(step, distance < 10 ? 150 : 100);
    else
        scrollBar_->StopAutoScroll();
    setHot(-1);
}

void TTBKCustomListViewer::MouseUp(int x, int y, TTBLoopState& loop) {
    if (scrollBar_)
        scrollBar_->StopAutoScroll();
    if (scrollBarTracking_) {
        scrollBarTracking_ = false;
        scrollBar_->MouseUp(mbLeft, x, y);
        View()->CancelCapture();
        return;
    }
    if (listTracking_) {
        listTracking_ = false;
        if (hotIndex_ >= 0)
            List()->SetItemIndex(hotIndex_);
    }
    TTBKItemViewer::MouseUp(x, y, loop);
}
