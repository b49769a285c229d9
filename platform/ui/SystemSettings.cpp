#include "platform/ui/SystemSettings.h"

#include "platform/base/Exceptions.h"
#include "platform/base/Registry.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

int CaretBlinkTime() {
    if (qGuiApp == nullptr)
        return 530;
    // Qt gives the whole on-off cycle.
    return QGuiApplication::styleHints()->cursorFlashTime() / 2;
}

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

namespace {

TDesktopEffectsReader& effectsReader() {
    static TDesktopEffectsReader reader;
    return reader;
}

// What the installed reader tells; nothing without one.
std::optional<TDesktopEffects> readEffects() {
    if (!effectsReader())
        return std::nullopt;
    return effectsReader()();
}

} // namespace

void SetDesktopEffectsReader(TDesktopEffectsReader reader) { effectsReader() = std::move(reader); }

TDesktopEffects ReadDesktopEffects() { return readEffects().value_or(TDesktopEffects{}); }

void ApplyMenuAnimation(TDesktopEffects& effects, const TMenuAnimationSources& sources) {
    if (sources.ToolkitAnimates) {
        effects.MenuAnimation = true;
        effects.MenuFade = sources.ToolkitFades;
        return;
    }
    const bool desktopAnimates = sources.DesktopAnimations.value_or(0) != 0;
    effects.MenuAnimation = desktopAnimates && effects.Compositing;
    effects.MenuFade = effects.MenuAnimation;
}

bool LayeredWindowsNow() {
    // A window's opacity as a whole is a property the compositing manager
    // reads; alpha in every pixel needs a window made on a visual that has
    // an alpha channel besides.
    TDesktopEffects effects = ReadDesktopEffects();
    return effects.Compositing && effects.ArgbVisual;
}

TMenuSettings DesktopMenuSettings() {
    TMenuSettings settings;
    // Without a reader the settings' own defaults stand.
    if (const std::optional<TDesktopEffects> effects = readEffects()) {
        settings.Animation = effects->MenuAnimation;
        settings.Fade = effects->MenuAnimation && effects->MenuFade;
        // Only a compositing desktop draws shadows under windows or lets
        // them be translucent.
        settings.DropShadows = effects->Compositing;
        settings.Translucency = effects->Compositing;
    }
    std::optional<std::string> delay;
    try {
        TRegistry registry(HKEY_CURRENT_USER);
        if (registry.OpenKeyReadOnly("Control Panel\\Desktop") && registry.ValueExists("MenuShowDelay"))
            delay = registry.ReadString("MenuShowDelay");
    } catch (const Exception&) {
        // An unreadable store: the desktop's default.
    }
    settings.ShowDelay = ParseMenuShowDelay(delay);
    settings.Font.SetName("Tahoma");
    settings.Font.SetHeight(-11);
    settings.Font.SetColor(clMenuText);
    return settings;
}
