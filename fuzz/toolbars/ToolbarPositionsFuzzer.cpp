// Fuzz entry point for what the toolbar framework reads back from the
// settings: stored bar positions and recent-file lists.  The first byte
// chooses:
//
// - Positions from values the input gives (window, value name, text) on a
//   form with four docks, three toolbars and a tool window, each window
//   allowed to float or not as the input says.
// - Positions from the registry store, the input being the store file.
//
// Either way loading never raises, a window that may not float is never
// floated, a floating window shows on the screen, stored rows, positions
// and sizes stay within their limits, and the layout loaded, saved and
// loaded into a fresh form comes back the same.
//
// - A recent-file list from a settings file (the input): the names read
//   are the section's non-empty values in key order (a "file://" address
//   read as the path it names), no more than the list holds, and saved and
//   read again they are the same.

#include "fuzz/FuzzApplication.h"
#include "fuzz/FuzzFiles.h"
#include "fuzz/FuzzInput.h"
#include "platform/base/FileNameText.h"
#include "platform/base/IniFile.h"
#include "platform/gfx/TextMeasurer.h"
#include "platform/ui/Control.h"
#include "tests/support/FakeTextMeasurer.h"
#include "toolbars/TBBarPositions.h"
#include "toolbars/TBDock.h"
#include "toolbars/TBFloatingFrame.h"
#include "toolbars/TBMRUList.h"
#include "toolbars/TBSystemSettings.h"
#include "toolbars/TBToolWindow.h"
#include "toolbars/TBToolbar.h"

#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const TRect kScreen = Rect(0, 0, 2000, 1500);

// One monitor, so that "on the screen" is the same on every machine.
class TFuzzSettings : public TTBSystemSettings {
public:
    bool MenuAnimation() override { return false; }
    bool SoundAssigned(std::string_view) override { return false; }
    std::vector<TTBMonitor> Monitors() override { return {TTBMonitor{kScreen, kScreen}}; }
};

void Start() {
    if (!StartOffscreenApplication<QGuiApplication>())
        return;
    static TFakeTextMeasurer measurer;
    SetDefaultTextMeasurer(&measurer);
    static TFuzzSettings settings;
    SetTBSystemSettings(&settings);
    ::setenv("XDG_CONFIG_HOME", (FuzzScratchFolder() + "/config").c_str(), 1);
}

const std::array<const char*, 4> kDockNames = {"TopDock", "BottomDock", "LeftDock", "RightDock"};
const std::array<const char*, 4> kWindowNames = {"Standard", "Format", "Insert", "Inspector"};

// A form at (100, 100), 640 x 480, with docks on its four edges, three
// toolbars and a tool window, all first in the top dock.
struct TLayoutForm {
    TCustomControl Form;
    std::vector<TTBDock*> Docks;
    std::vector<TTBCustomDockableWindow*> Windows;

    explicit TLayoutForm(uint8_t flags) {
        Form.SetName("Form");
        Form.SetBounds(100, 100, 640, 480);
        const std::array<TTBDockPosition, 4> positions = {dpTop, dpBottom, dpLeft, dpRight};
        for (size_t i = 0; i < 4; ++i) {
            auto* dock = new TTBDock(&Form);
            dock->SetName(kDockNames[i]);
            dock->SetPosition(positions[i]);
            dock->SetParent(&Form);
            Docks.push_back(dock);
        }
        const std::vector<std::vector<std::string>> captions = {
            {"New", "Open", "Save"}, {"Bold", "Italic"}, {"Table", "Image", "Link", "Form"}};
        for (size_t i = 0; i < 3; ++i) {
            auto* toolbar = new TTBToolbar(&Form);
            toolbar->SetName(kWindowNames[i]);
            toolbar->SetCaption(kWindowNames[i]);
            for (const std::string& caption : captions[i]) {
                auto* item = new TTBCustomItem(&Form);
                item->SetCaption(caption);
                toolbar->Items()->Add(item);
            }
            toolbar->SetParent(Docks[0]);
            Windows.push_back(toolbar);
        }
        auto* tool = new TTBToolWindow(&Form);
        tool->SetName(kWindowNames[3]);
        tool->SetParent(Docks[0]);
        tool->SizeClientArea(120, 60);
        Windows.push_back(tool);
        // What the input says each window and dock may do.
        for (size_t i = 0; i < 4; ++i)
            if (flags & (1u << i))
                Windows[i]->DockMode = dmCannotFloat;
        if (flags & 16)
            Docks[1]->SetAllowDrag(false);
        if (flags & 32)
            tool->SetResizable(false);
    }

    size_t DockIndex(TTBDock* dock) const {
        for (size_t i = 0; i < Docks.size(); ++i)
            if (Docks[i] == dock)
                return i;
        return Docks.size();
    }
};

// Where a window is, as a user sees it, with docks by index.
struct TPlace {
    bool Visible;
    size_t Dock;
    int Row, Pos;
    bool Floating;
    TPoint Float;
    TSize Client;
    size_t Last;
    bool operator==(const TPlace&) const = default;
};

std::vector<TPlace> Places(const TLayoutForm& form) {
    std::vector<TPlace> places;
    for (TTBCustomDockableWindow* window : form.Windows) {
        const bool placed = window->Docked() && window->Visible();
        TPlace place{window->Visible(), form.DockIndex(window->CurrentDock()), placed ? window->PlacedRow : 0,
                     placed ? window->PlacedPos : 0, window->Floating(), {}, {}, form.DockIndex(window->LastDock())};
        if (window->Floating())
            place.Float = window->FloatingFrame()->BoundsRect().TopLeft();
        if (auto* tool = dynamic_cast<TTBToolWindow*>(window))
            place.Client = {tool->ClientAreaWidth(), tool->ClientAreaHeight()};
        places.push_back(place);
    }
    return places;
}

struct TMemoryStore {
    std::map<std::pair<std::string, std::string>, std::string> Values;

    TTBPositionWriter Writer() {
        return {[this](const std::string& t, const std::string& v, int32_t d) { Values[{t, v}] = std::to_string(d); },
                [this](const std::string& t, const std::string& v, const std::string& d) { Values[{t, v}] = d; }};
    }
    // Integers as the registry adapter reads them: decimal text, the whole
    // of it, or the default.
    TTBPositionReader Reader() const {
        return {[this](const std::string& t, const std::string& v, int32_t def) {
                    auto it = Values.find({t, v});
                    if (it == Values.end())
                        return def;
                    int32_t value = 0;
                    const std::string& text = it->second;
                    auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
                    return error == std::errc() && stop == text.data() + text.size() && !text.empty() ? value : def;
                },
                [this](const std::string& t, const std::string& v, const std::string& def) {
                    auto it = Values.find({t, v});
                    return it == Values.end() ? def : it->second;
                }};
    }
};

// What loading must leave, whatever was stored.
void CheckUsable(const TLayoutForm& form) {
    for (TTBCustomDockableWindow* window : form.Windows) {
        if (window->Floating()) {
            FuzzCheck(window->DockMode == dmCanFloat);
            TRect shown;
            FuzzCheck(IntersectRect(shown, window->FloatingFrame()->BoundsRect(), kScreen));
        } else {
            FuzzCheck(window->CurrentDock() != nullptr);
        }
        FuzzCheck(window->DockRow() >= 0 && window->DockRow() <= kTBStoredRowLimit);
        FuzzCheck(std::abs(window->DockPos()) <= kTBStoredCoordinateLimit);
        if (auto* tool = dynamic_cast<TTBToolWindow*>(window)) {
            FuzzCheck(tool->ClientAreaWidth() >= tool->MinClientWidth &&
                      tool->ClientAreaWidth() <= kTBStoredCoordinateLimit);
            FuzzCheck(tool->ClientAreaHeight() >= tool->MinClientHeight &&
                      tool->ClientAreaHeight() <= kTBStoredCoordinateLimit);
        }
    }
}

// Saved and loaded into a fresh form of the same kind, the layout is the
// same.
void CheckComesBack(const TLayoutForm& form, uint8_t flags) {
    TMemoryStore saved;
    SaveBarPositions(const_cast<TCustomControl*>(&form.Form), saved.Writer());
    TLayoutForm fresh(flags);
    LoadBarPositions(&fresh.Form, saved.Reader());
    FuzzCheck(Places(fresh) == Places(form));
}

void FuzzStoredValues(TFuzzInput& input) {
    static const std::array<const char*, 13> valueNames = {
        "Rev",      "Visible",   "DockedTo",  "LastDock",   "DockRow",     "DockPos",     "FloatLeft",
        "FloatTop", "FloatRightX", "ClientWidth", "ClientHeight", "FloatRightX", "DockedTo"};
    static const std::array<const char*, 12> texts = {
        "2000", "0", "1", "+", "", "TopDock", "BottomDock", "LeftDock", "RightDock", "-1", "2147483647", "topdock"};
    const uint8_t flags = input.Byte();
    TMemoryStore store;
    for (const char* window : kWindowNames)
        store.Values[{window, "Rev"}] = "2000";
    for (int records = input.Byte() % 48; records > 0; --records) {
        const uint8_t which = input.Byte();
        const uint8_t length = input.Byte();
        std::string text = length < 0xC0 ? texts[length % texts.size()] : input.Bytes(length - 0xC0);
        store.Values[{kWindowNames[which % 4], valueNames[(which >> 2) % valueNames.size()]}] = text;
    }
    TLayoutForm form(flags);
    LoadBarPositions(&form.Form, store.Reader());
    CheckUsable(form);
    CheckComesBack(form, flags);
}

void FuzzRegistryStore(TFuzzInput& input) {
    const uint8_t flags = input.Byte();
    WriteFuzzFile(FuzzScratchFolder() + "/config/korvane-ondrill/hkcu.ini", input.Rest());
    TLayoutForm form(flags);
    LoadBarPositionsFromRegistry(&form.Form, HKEY_CURRENT_USER, "Software\\Korvane\\Toolbars");
    CheckUsable(form);
    CheckComesBack(form, flags);
}

void FuzzRecentList(TFuzzInput& input) {
    const int maxItems = input.Byte() % 12;
    const std::string fileName = FuzzScratchFolder() + "/settings.dat";
    WriteFuzzFile(fileName, input.Rest());
    TTBMRUList list;
    list.SetMaxItems(maxItems);
    TIniFile ini(fileName);
    list.LoadFromIni(ini, "MRU");
    std::vector<std::string> expected;
    for (int i = 1; i <= maxItems; ++i) {
        std::string name = ini.ReadString("MRU", "MRU" + std::to_string(i), "");
        // A "file://" address that names a path is that path's entry.
        std::string path;
        if (name.starts_with("file://") && PathOfFileUri(name, path))
            name = path;
        if (!name.empty())
            expected.push_back(name);
    }
    FuzzCheck(list.Items().Count() == static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i)
        FuzzCheck(list.Items().Get(static_cast<int>(i)) == expected[i]);
    FuzzCheck(list.Container()->Count() == list.Items().Count());
    list.SaveToIni(ini, "MRU");
    TTBMRUList again;
    again.SetMaxItems(maxItems);
    again.LoadFromIni(TIniFile(fileName), "MRU");
    FuzzCheck(again.Items().Count() == list.Items().Count());
    for (int i = 0; i < list.Items().Count(); ++i)
        FuzzCheck(again.Items().Get(i) == list.Items().Get(i));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Start();
    TFuzzInput input(data, size);
    RunChosenEntry(input, {FuzzStoredValues, FuzzRegistryStore, FuzzRecentList});
    return 0;
}
