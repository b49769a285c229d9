#include "toolbars/themes/TBKTheme.h"

#include "platform/base/Exceptions.h"
#include "platform/gfx/Font.h"
#include "platform/ui/Control.h"
#include "toolbars/TBItemViewer.h"
#include "toolbars/TBView.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

struct TThemeRecord {
    TTBKThemeClass ThemeClass;
    std::string Name;
};

std::vector<TThemeRecord>& registry() {
    static std::vector<TThemeRecord> records;
    return records;
}

std::unique_ptr<TTBKTheme>& current() {
    static std::unique_ptr<TTBKTheme> theme;
    return theme;
}

std::vector<TControl*>& notificationList() {
    static std::vector<TControl*> list;
    return list;
}

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Delivers a message to every control still on the list, in list order; a
// control that leaves the list while others are told gets nothing more.
void tellControls(unsigned msg) {
    std::vector<TControl*> snapshot = notificationList();
    for (TControl* control : snapshot) {
        auto& list = notificationList();
        if (std::find(list.begin(), list.end(), control) != list.end())
            control->Perform(msg, 0, 0);
    }
}

// The themed layer starts on first use: the standard themes are
// registered and "Default" is selected.
bool started = false;
void startOnce() {
    if (started)
        return;
    started = true;
    RegisterStandardThemes();
    SelectTheme("Default");
}

} // namespace

void RegisterTheme(TTBKThemeClass themeClass, const std::string& name) {
    startOnce();
    registry().push_back({themeClass, name.substr(0, 255)});
}

void SelectTheme(const std::string& name) {
    startOnce();
    const auto& records = registry();
    if (records.empty())
        throw EInvalidOperation("No theme found");
    size_t index = records.size() - 1;
    while (index > 0 && !sameNameIgnoringCase(records[index].Name, name))
        --index;
    std::unique_ptr<TTBKTheme> theme = records[index].ThemeClass();
    theme->Name = records[index].Name;
    theme->UpdateColorScheme();
    current() = std::move(theme);
    tellControls(TBKM_THEMECHANGING);
    tellControls(TBKM_THEMECHANGED);
}

TTBKTheme& CurrentTheme() {
    startOnce();
    if (!current())
        throw EInvalidOperation("No theme found");
    return *current();
}

std::string CurrentThemeName() {
    startOnce();
    return current() ? current()->Name : std::string();
}

void ClearThemes() {
    started = true;
    current().reset();
    registry().clear();
}

void RestartThemes() {
    ClearThemes();
    started = false;
    startOnce();
}

void AddThemeNotification(TControl* control) { notificationList().push_back(control); }

void RemoveThemeNotification(TControl* control) {
    auto& list = notificationList();
    list.erase(std::remove(list.begin(), list.end(), control), list.end());
}

TTBKViewType GetWinViewType(TControl* control) {
    if (control == nullptr)
        return TVT_NONE;
    return static_cast<TTBKViewType>(control->Perform(TBKM_GETVIEWTYPE, 0, 0));
}

TTBKViewType GetViewType(TTBView* view) {
    if (view == nullptr)
        return TVT_NONE;
    return GetWinViewType(view->Window());
}

// ---------------------------------------------------------------------------
// Geometry

TRect GetCaptionRect(const TTBKWindowInfo& info, bool adjustForBorder, bool minusCloseButton) {
    TRect r = Rect(0, 0, info.ClientWidth, TBSystemMetric(SM_CYSMCAPTION) - 1);
    if (minusCloseButton)
        r.Right -= r.Bottom;
    if (adjustForBorder)
        OffsetRect(r, info.FloatingBorderSize.X, info.FloatingBorderSize.Y);
    return r;
}

TRect GetCloseButtonRect(const TTBKWindowInfo& info, bool adjustForBorder) {
    TRect r = GetCaptionRect(info, adjustForBorder, false);
    r.Left = r.Right - r.Bottom + r.Top;
    return r;
}

int GetDragHandleSize(const TTBKToolbarInfo& info) {
    if (!info.AllowDrag)
        return 0;
    static const int withoutClose[3] = {9, 0, 6};
    int style = std::min<int>(info.DragHandleStyle, 2);
    return (info.CloseButtonState & CB_SHOWN) ? 14 : withoutClose[style];
}

TRect GetToolbarCloseButtonRect(const TTBKToolbarInfo& info) {
    int side = GetDragHandleSize(info) - 1;
    if (!info.Vertical)
        return Bounds(info.BorderSize.X, info.BorderSize.Y, side, side);
    return Bounds(info.ClientWidth + info.BorderSize.X - side, info.BorderSize.Y, side, side);
}

void ScaleFontSize(TFont& font, TTBKFontSize size) {
    int points = std::abs(font.Size());
    if (size == tbkfSmaller)
        font.SetSize(points * 7 / 8);
    else if (size == tbkfLarger)
        font.SetSize(points * 9 / 8);
}
