#pragma once
// TTBKCustomList: an item that shows a scrollable list of entries as one
// block inside a popup menu, with its own scroll bar (TTBKScrollBar, drawn
// on the popup, not a window).  A concrete list supplies the entry count
// and draws and measures the entries.

#include "platform/ui/Control.h"
#include "toolbars/themes/TBKItems.h"

#include <functional>
#include <memory>
#include <vector>

class TTBKCustomListViewer;

// --- scroll bar -------------------------------------------------------------------------
// Zones of the scroll bar.
enum : int { sbzNone = 0, sbzFirstButton = 1, sbzPageUp = 2, sbzThumb = 3, sbzPageDown = 4, sbzSecondButton = 5 };
enum : int { sbkHorizontal = 0, sbkVertical = 1 };

class TTBKScrollBar {
public:
    TTBKScrollBar();
    virtual ~TTBKScrollBar();
    TTBKScrollBar(const TTBKScrollBar&) = delete;
    TTBKScrollBar& operator=(const TTBKScrollBar&) = delete;

    // In the owner's coordinates; mouse points are given in the same.
    const TRect& Bounds() const { return bounds_; }
    void SetBounds(const TRect& bounds);
    int Kind() const { return kind_; }
    void SetKind(int kind);
    int SmallChange = 1;
    int Position() const { return position_; }
    // Clamped to 0..Range - Window; no events.
    void SetPosition(int value);
    int Range() const { return range_; }
    void SetRange(int value);
    // The page size (the bar's own length when <= 0).
    int Window() const { return window_; }
    void SetWindow(int value);

    virtual bool Enabled() const { return effectiveWindow() < range_; }
    virtual void MouseDown(TMouseButton button, int x, int y);
    virtual void MouseMove(int x, int y);
    virtual void MouseUp(TMouseButton button, int x, int y);
    // Timer 1 repeats a held button or page area, timer 2 auto-scrolls;
    // interval is the next interval (< 1 stops the timer).
    virtual void TimerElapsed(int timerId, int& interval);
    virtual void Redraw();

    // Scrolls by delta every interval milliseconds until an end is reached
    // (a delta of 0 does nothing; while running only delta and interval
    // change).
    void StartAutoScroll(int delta, int interval);
    void StopAutoScroll();
    bool AutoScrolling() const { return autoScrolling_; }

    int PressedZone() const { return pressed_; }
    // The zone's rectangle in the bar's own coordinates (empty when the
    // zone is not there).
    TRect Zone(int zone) const;
    int ZoneAt(int x, int y) const;

    // The classic look; origin: where the bar's corner lies on the canvas.
    void Paint(TCanvas& canvas, TPoint origin);

    std::function<void(TTBKScrollBar*)> OnChange;
    std::function<void(TTBKScrollBar*)> OnRedraw;
    std::function<void(TTBKScrollBar*, int& delta, int& interval)> OnAutoScroll;

private:
    class TTimerWindow;
    int effectiveWindow() const;
    int length() const;
    void layout();
    // A change made by the user: redraw, then OnChange.
    void userPosition(int value);
    void scrollZone(int zone);
    void startTimer(int id, int interval);
    void stopTimer(int id);
    TPoint local(int x, int y) const { return {x - bounds_.Left, y - bounds_.Top}; }

    TRect bounds_;
    int kind_ = sbkVertical;
    int position_ = 0;
    int range_ = 0;
    int window_ = 0;
    // Zones along the bar: [start, end) of each (both 0 when absent).
    int zoneStart_[6] = {};
    int zoneEnd_[6] = {};
    bool hasThumb_ = false;
    int pressed_ = sbzNone;
    TPoint pressPoint_;
    int pressPosition_ = 0;
    TPoint lastPoint_;
    int autoDelta_ = 0;
    int autoInterval_ = 0;
    bool autoScrolling_ = false;
    std::unique_ptr<TTimerWindow> timers_;
};

// --- list item --------------------------------------------------------------------------------
class TTBKCustomList : public TTBKCustomItem {
public:
    explicit TTBKCustomList(TComponent* owner = nullptr);
    ~TTBKCustomList() override;
    std::string ClassName() const override { return "TTBKCustomList"; }

    int ItemIndex() const { return itemIndex_; }
    // Every viewer takes it as its hot entry and scrolls it into view; then
    // the change event fires.  Any negative value is -1.
    void SetItemIndex(int value);
    int MinWidth = 32;
    int MaxWidth = 0; // 0: no limit
    int MaxVisibleItems = 8;
    TNotifyEvent OnChange;

    // What a concrete list supplies.
    virtual int GetCount() = 0;
    virtual void DrawEntry(TCanvas& canvas, const TRect& rect, int index, bool hot) = 0;
    virtual int EntryHeight(TCanvas& canvas) = 0;
    virtual int EntryWidth(TCanvas& canvas, int index) = 0;

    virtual void DoChange();
    // The hot entry of a viewer changed.
    virtual void HotIndexChanged(int index) {}

    TTBItemViewerClass ViewerClassFor(TTBView* view) override;
    const std::vector<TTBKCustomListViewer*>& Viewers() const { return viewers_; }

private:
    friend class TTBKCustomListViewer;
    int itemIndex_ = -1;
    bool settingIndex_ = false;
    std::vector<TTBKCustomListViewer*> viewers_;
};

class TTBKCustomListViewer : public TTBKItemViewer {
public:
    TTBKCustomListViewer(TTBView* view, TTBCustomItem* item);
    ~TTBKCustomListViewer() override;
    static TTBItemViewer* Make(TTBView* view, TTBCustomItem* item);
    TTBItemViewerClass ViewerClass() const override { return &Make; }
    TTBKCustomList* List() const { return static_cast<TTBKCustomList*>(Item()); }

    int Count() const { return count_; }
    int ItemHeight() const { return itemHeight_; }
    int VisibleRows() const { return visibleRows_; }
    int TopIndex() const { return topIndex_; }
    int HotIndex() const { return hotIndex_; }
    int ScrollBarWidth() const { return scrollBarWidth_; }
    TTBKScrollBar* ScrollBar() const { return scrollBar_.get(); }
    bool ListTracking() const { return listTracking_; }

    void MeasureSize(TCanvas& canvas, int& width, int& height) override;
    void Paint(TCanvas& canvas, const TRect& clientArea, bool isSelected, bool isPushed,
               bool useDisabledShadow) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void MouseDown(TShiftState shift, int x, int y, TTBLoopState& loop) override;
    void MouseMove(int x, int y) override;
    void MouseUp(int x, int y, TTBLoopState& loop) override;
    void MouseWheel(int delta, int x, int y) override;

    // The entry under a viewer point, -1 for none.
    int EntryAt(int x, int y) const;
    // Scrolls so that the entry is visible.
    void ScrollIntoView(int index);
    virtual void AfterAutoScroll() {}

private:
    friend class TTBKCustomList;
    void takeIndex(int index);
    void setHot(int index);
    void setTop(int index);
    void makeScrollBar();
    // Makes the scroll bar and gives it the list's place and numbers.
    void syncScrollBar();
    void repaint();

    int count_ = 0;
    int itemHeight_ = 1;
    int visibleRows_ = 1;
    int topIndex_ = 0;
    int hotIndex_ = -1;
    int scrollBarWidth_ = 0;
    int width_ = 0;
    std::unique_ptr<TTBKScrollBar> scrollBar_;
    bool listTracking_ = false;
    bool scrollBarTracking_ = false;
};
