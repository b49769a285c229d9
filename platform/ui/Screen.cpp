#include "platform/ui/Screen.h"

#include "platform/base/Exceptions.h"
#include "platform/gfx/QtBridge.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/Forms.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <climits>

int TScreen::Cursor() const { return ScreenCursor(); }

void TScreen::SetCursor(int cursor) { SetScreenCursor(cursor); }

TCustomForm* TScreen::Forms(int index) const {
    if (index < 0 || index >= FormCount())
        throw EListError();
    return forms_[static_cast<size_t>(index)];
}

TCustomForm* TScreen::ModalForm() const {
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
        if ((*it)->Modal() && (*it)->Showing())
            return *it;
    return nullptr;
}

void TScreen::addForm(TCustomForm* form) { forms_.push_back(form); }

void TScreen::removeForm(TCustomForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (activeForm_ == form)
        setActiveForm(nullptr);
}

void TScreen::setActiveForm(TCustomForm* form) {
    if (form == activeForm_)
        return;
    activeForm_ = form;
    if (OnActiveFormChange)
        OnActiveFormChange(nullptr);
}

std::vector<TMonitor> TScreen::monitors() const {
    std::vector<TMonitor> result;
    if (qGuiApp != nullptr) {
        QScreen* primary = QGuiApplication::primaryScreen();
        for (QScreen* screen : QGuiApplication::screens()) {
            TMonitor monitor;
            monitor.MonitorNum = static_cast<int>(result.size());
            monitor.BoundsRect = FromQRect(screen->geometry());
            monitor.WorkareaRect = FromQRect(screen->availableGeometry());
            monitor.Primary = screen == primary;
            result.push_back(monitor);
        }
    }
    if (result.empty()) {
        TMonitor monitor;
        monitor.BoundsRect = monitor.WorkareaRect = Rect(0, 0, 1024, 768);
        monitor.Primary = true;
        result.push_back(monitor);
    }
    return result;
}

int TScreen::MonitorCount() const { return static_cast<int>(monitors().size()); }

TMonitor TScreen::Monitors(int index) const {
    std::vector<TMonitor> all = monitors();
    if (index < 0 || index >= static_cast<int>(all.size()))
        throw EListError();
    return all[static_cast<size_t>(index)];
}

TMonitor TScreen::PrimaryMonitor() const {
    std::vector<TMonitor> all = monitors();
    for (const TMonitor& monitor : all)
        if (monitor.Primary)
            return monitor;
    return all.front();
}

namespace {

// How far a point lies outside a rectangle (0 inside), squared.
long long distanceSquared(const TRect& rect, TPoint p) {
    long long dx = p.X < rect.Left ? rect.Left - p.X : p.X >= rect.Right ? p.X - rect.Right + 1 : 0;
    long long dy = p.Y < rect.Top ? rect.Top - p.Y : p.Y >= rect.Bottom ? p.Y - rect.Bottom + 1 : 0;
    return dx * dx + dy * dy;
}

std::vector<TRect> boundsOf(const std::vector<TMonitor>& monitors) {
    std::vector<TRect> bounds;
    for (const TMonitor& monitor : monitors)
        bounds.push_back(monitor.BoundsRect);
    return bounds;
}

} // namespace

int MonitorIndexFromPoint(const std::vector<TRect>& monitors, TPoint point) {
    int best = -1;
    long long bestDistance = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        long long d = distanceSquared(monitors[i], point);
        if (best < 0 || d < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = d;
        }
    }
    return best;
}

int MonitorIndexFromRect(const std::vector<TRect>& monitors, const TRect& rect) {
    long long bestArea = -1;
    int best = -1;
    for (size_t i = 0; i < monitors.size(); ++i) {
        TRect common;
        if (!IntersectRect(common, monitors[i], rect))
            continue;
        long long area = static_cast<long long>(common.Width()) * common.Height();
        if (area > bestArea) {
            bestArea = area;
            best = static_cast<int>(i);
        }
    }
    if (best >= 0)
        return best;
    return MonitorIndexFromPoint(monitors, {rect.Left + rect.Width() / 2, rect.Top + rect.Height() / 2});
}

TMonitor TScreen::MonitorFromPoint(TPoint point) const {
    std::vector<TMonitor> all = monitors();
    return all[static_cast<size_t>(MonitorIndexFromPoint(boundsOf(all), point))];
}

TMonitor TScreen::MonitorFromRect(const TRect& rect) const {
    std::vector<TMonitor> all = monitors();
    return all[static_cast<size_t>(MonitorIndexFromRect(boundsOf(all), rect))];
}

TScreen& Screen() {
    static TScreen* screen = new TScreen;
    return *screen;
}
