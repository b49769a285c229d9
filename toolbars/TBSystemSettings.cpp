#include "toolbars/TBSystemSettings.h"

#include "platform/base/Registry.h"
#include "platform/ui/Screen.h"

#include <algorithm>
#include <charconv>
#include <climits>

namespace {

TTBSystemSettings* installed = nullptr;

// The registry store's string value, or nothing when the key or the value
// is missing (or the store can not be read).
std::optional<std::string> readRegistryString(std::string_view key, std::string_view name) {
    try {
        TRegistry registry(HKEY_CURRENT_USER);
        if (!registry.OpenKeyReadOnly(key) || !registry.ValueExists(name))
            return std::nullopt;
        return registry.ReadString(name);
    } catch (const Exception&) {
        return std::nullopt;
    }
}

long long squaredDistance(TPoint p, const TRect& r) {
    long long dx = p.X < r.Left ? r.Left - p.X : p.X >= r.Right ? p.X - r.Right + 1 : 0;
    long long dy = p.Y < r.Top ? r.Top - p.Y : p.Y >= r.Bottom ? p.Y - r.Bottom + 1 : 0;
    return dx * dx + dy * dy;
}

const TTBMonitor& nearestMonitor(const std::vector<TTBMonitor>& monitors, TPoint p) {
    const TTBMonitor* best = &monitors.front();
    long long bestDistance = LLONG_MAX;
    for (const TTBMonitor& m : monitors) {
        long long d = squaredDistance(p, m.Bounds);
        if (d < bestDistance) {
            bestDistance = d;
            best = &m;
        }
    }
    return *best;
}

} // namespace

int ParseMenuShowDelay(const std::optional<std::string>& value) {
    if (!value)
        return 400;
    const std::string& text = *value;
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return 0;
    return std::max(0, number);
}

int TTBSystemSettings::MenuShowDelay() {
    if (!showDelay_)
        showDelay_ = ParseMenuShowDelay(readRegistryString("Control Panel\\Desktop", "MenuShowDelay"));
    return *showDelay_;
}

TFont TTBSystemSettings::MenuFont() {
    TFont font;
    font.SetName("Tahoma");
    font.SetHeight(-11);
    font.SetColor(clMenuText);
    return font;
}

bool TTBSystemSettings::SoundAssigned(std::string_view name) {
    std::string key = "AppEvents\\Schemes\\Apps\\.Default\\" + std::string(name) + "\\.Current";
    std::optional<std::string> value = readRegistryString(key, "");
    return value && !value->empty();
}

std::vector<TTBMonitor> TTBSystemSettings::Monitors() {
    // The screen's monitors with their work areas, the primary one first.
    std::vector<TTBMonitor> monitors;
    TScreen& screen = Screen();
    for (int i = 0; i < screen.MonitorCount(); ++i) {
        TMonitor monitor = screen.Monitors(i);
        TTBMonitor entry{monitor.BoundsRect, monitor.WorkareaRect};
        if (monitor.Primary)
            monitors.insert(monitors.begin(), entry);
        else
            monitors.push_back(entry);
    }
    return monitors;
}

TTBSystemSettings& TBSystemSettings() {
    static TTBSystemSettings fallback;
    return installed != nullptr ? *installed : fallback;
}

void SetTBSystemSettings(TTBSystemSettings* settings) { installed = settings; }

TRect MonitorAreaOfPoint(TPoint point, bool workArea) {
    std::vector<TTBMonitor> monitors = TBSystemSettings().Monitors();
    if (monitors.empty())
        return {};
    const TTBMonitor& m = nearestMonitor(monitors, point);
    return workArea ? m.WorkArea : m.Bounds;
}

TRect MonitorAreaOfRect(const TRect& rect, bool workArea) {
    std::vector<TTBMonitor> monitors = TBSystemSettings().Monitors();
    if (monitors.empty())
        return {};
    // The monitor sharing the largest area with the rectangle; without any
    // overlap, the one nearest to its centre.
    const TTBMonitor* best = nullptr;
    long long bestArea = 0;
    for (const TTBMonitor& m : monitors) {
        TRect common;
        if (IntersectRect(common, rect, m.Bounds)) {
            long long area = static_cast<long long>(common.Width()) * common.Height();
            if (area > bestArea) {
                bestArea = area;
                best = &m;
            }
        }
    }
    if (best == nullptr)
        best = &nearestMonitor(monitors, {(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2});
    return workArea ? best->WorkArea : best->Bounds;
}
