#pragma once
// The screen as the program sees it: the forms that exist and the active
// one, the cursor shown everywhere, and the monitors with their work areas
// (the part the desktop's panels leave free).

#include "platform/gfx/Geometry.h"
#include "platform/ui/Control.h"

#include <vector>

class TCustomForm;

struct TMonitor {
    int MonitorNum = 0;
    TRect BoundsRect;
    TRect WorkareaRect;
    bool Primary = false;
};

class TScreen {
public:
    // The cursor shown over every window while it is not crDefault (an
    // hourglass during long work).
    int Cursor() const;
    void SetCursor(int cursor);

    // Every form that exists, in the order they were made.
    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int index) const;
    // The active form (an MDI frame while one of its children is active),
    // or nullptr.
    TCustomForm* ActiveForm() const { return activeForm_; }
    // The form last shown modally that still shows (its modal loop runs),
    // or nullptr: the windows beneath it wait until it closes.
    TCustomForm* ModalForm() const;
    // The control with the keyboard focus, or nullptr.
    TWinControl* ActiveControl() const { return GetFocusControl(); }
    TNotifyEvent OnActiveFormChange;

    // The monitors (at least one: without a display, one of 1024 x 768).
    int MonitorCount() const;
    TMonitor Monitors(int index) const;
    TMonitor PrimaryMonitor() const;
    // The monitor that holds a point, or the nearest one.
    TMonitor MonitorFromPoint(TPoint point) const;
    // The monitor that a rectangle overlaps most, or the nearest one.
    TMonitor MonitorFromRect(const TRect& rect) const;
    // The primary monitor's size and work area.
    int Width() const { return PrimaryMonitor().BoundsRect.Width(); }
    int Height() const { return PrimaryMonitor().BoundsRect.Height(); }
    TRect WorkAreaRect() const { return PrimaryMonitor().WorkareaRect; }

private:
    friend class TCustomForm;
    void addForm(TCustomForm* form);
    void removeForm(TCustomForm* form);
    void setActiveForm(TCustomForm* form);
    std::vector<TMonitor> monitors() const;

    std::vector<TCustomForm*> forms_;
    TCustomForm* activeForm_ = nullptr;
};

TScreen& Screen();

// The lookups behind MonitorFromPoint and MonitorFromRect, over any list of
// monitor rectangles (tests fake monitors): the index of the rectangle
// that holds the point or lies nearest to it (the first of equals); of the
// one the rectangle overlaps most, else the one nearest its centre.  -1
// for an empty list.
int MonitorIndexFromPoint(const std::vector<TRect>& monitors, TPoint point);
int MonitorIndexFromRect(const std::vector<TRect>& monitors, const TRect& rect);
