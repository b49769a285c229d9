#include "toolbars/TBSystemSettings.h"

#include "platform/base/Registry.h"
#include "platform/ui/Screen.h"
#include "platform/ui/WindowNotices.h"


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

} // namespace

const TMenuSettings& TTBSystemSettings::desktop() {
    // The desktop's effects change when a compositing manager starts or
    // stops or the user changes the desktop's settings; the platform says
    // so, and the settings are read again on the next question.
    static int changes = 0;
    static const int counting = AddWindowNoticeHandler([](TWindowNotice notice, TWinControl*) {
        if (notice == wnDesktopEffectsChanged)
            ++changes;
    });
    (void)counting;
    if (!desktop_ || readAt_ != changes) {
        desktop_ = DesktopMenuSettings();
        readAt_ = changes;
    }
    return *desktop_;
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

namespace {

std::vector<TRect> monitorBounds(const std::vector<TTBMonitor>& monitors) {
    std::vector<TRect> bounds;
    for (const TTBMonitor& m : monitors)
        bounds.push_back(m.Bounds);
    return bounds;
}

TRect areaOf(const std::vector<TTBMonitor>& monitors, int index, bool workArea) {
    if (index < 0)
        return {};
    const TTBMonitor& m = monitors[static_cast<size_t>(index)];
    return workArea ? m.WorkArea : m.Bounds;
}

} // namespace

// The monitors are the settings' (tests fake several); the lookup is the
// screen's.
TRect MonitorAreaOfPoint(TPoint point, bool workArea) {
    std::vector<TTBMonitor> monitors = TBSystemSettings().Monitors();
    return areaOf(monitors, MonitorIndexFromPoint(monitorBounds(monitors), point), workArea);
}

TRect MonitorAreaOfRect(const TRect& rect, bool workArea) {
    std::vector<TTBMonitor> monitors = TBSystemSettings().Monitors();
    return areaOf(monitors, MonitorIndexFromRect(monitorBounds(monitors), rect), workArea);
}
