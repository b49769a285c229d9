#include "toolbars/TBBarPositions.h"

#include "platform/base/Component.h"
#include "platform/base/Exceptions.h"
#include "toolbars/TBDock.h"
#include "toolbars/TBDockableWindow.h"
#include "toolbars/TBTexts.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <vector>

namespace {

constexpr int kRevision = 2000;

// The owner's dockable windows, in component order.
std::vector<TTBCustomDockableWindow*> windowsOf(TComponent* owner) {
    std::vector<TTBCustomDockableWindow*> windows;
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* window = dynamic_cast<TTBCustomDockableWindow*>(owner->Components(i)))
            windows.push_back(window);
    return windows;
}

int clampCoordinate(int value) { return std::clamp(value, -kTBStoredCoordinateLimit, kTBStoredCoordinateLimit); }

// Resumes the owner's docks, last first, however loading ends.
struct TSuspendedDocks {
    std::vector<TTBDock*> Docks;
    explicit TSuspendedDocks(TComponent* owner) {
        for (int i = 0; i < owner->ComponentCount(); ++i)
            if (auto* dock = dynamic_cast<TTBDock*>(owner->Components(i))) {
                dock->SuspendLayout();
                Docks.push_back(dock);
            }
    }
    ~TSuspendedDocks() {
        for (auto it = Docks.rbegin(); it != Docks.rend(); ++it)
            (*it)->ResumeLayout();
    }
};

void applyPosition(TTBCustomDockableWindow* window, const TTBPositionReader& reader, TTBDock* dock,
                   TComponent* owner) {
    const std::string& name = window->Name();
    window->SetDockRow(std::clamp(reader.ReadInt(name, "DockRow", window->DockRow()), 0, kTBStoredRowLimit));
    window->SetDockPos(clampCoordinate(reader.ReadInt(name, "DockPos", window->DockPos())));
    int left = clampCoordinate(reader.ReadInt(name, "FloatLeft", 0));
    int top = clampCoordinate(reader.ReadInt(name, "FloatTop", 0));
    window->ReadExtraPositionValues(reader);
    window->PlaceFloatingFrame({left, top});
    if (dock != nullptr) {
        window->SetParent(dock);
    } else {
        window->SetFloating(true);
        window->KeepOnScreen(true);
        if (window->UseLastDock()) {
            std::string last = reader.ReadString(name, "LastDock", "");
            if (TTBDock* lastDock = last.empty() ? nullptr : FindDockByName(last, owner))
                window->SetLastDock(lastDock);
        }
    }
    window->FitToContents();
    // A frame stored partly off the screen (dragged there, or saved from
    // another monitor layout) would come back with its caption, or the
    // bar itself, out of reach: it comes back wholly on its monitor's work
    // area, sized as it is now.
    if (window->Floating())
        window->KeepOnScreen(false);
    window->PositionValuesApplied(reader);
}

// A decimal integer, the whole text; nothing for anything else.
std::optional<int32_t> parseDecimal(std::string_view text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::string keyOf(std::string_view base, const std::string& toolbar) {
    std::string key(base);
    if (!key.empty() && key.back() != '\\')
        key += '\\';
    return key + toolbar;
}

} // namespace

TTBDock* FindDockByName(std::string_view name, TComponent* owner) {
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* dock = dynamic_cast<TTBDock*>(owner->Components(i)); dock != nullptr && dock->Name() == name)
            return dock;
    return nullptr;
}

void LoadBarPositions(TComponent* owner, const TTBPositionReader& reader) {
    TSuspendedDocks docks(owner);
    for (TTBCustomDockableWindow* window : windowsOf(owner)) {
        const std::string& name = window->Name();
        if (name.empty())
            throw Exception(TBTexts::PositionNeedsName);
        if (reader.ReadInt(name, "Rev", 0) != kRevision)
            continue;
        window->SetVisible(reader.ReadInt(name, "Visible", window->Visible() ? 1 : 0) != 0);
        std::string dockedTo = reader.ReadString(name, "DockedTo", "");
        if (dockedTo.empty())
            continue;
        if (dockedTo == "+") {
            // A window that may not float stays where the form put it.
            if (window->DockMode == dmCanFloat)
                applyPosition(window, reader, nullptr, owner);
            continue;
        }
        TTBDock* dock = FindDockByName(dockedTo, owner);
        if (dock != nullptr && dock->AllowDrag())
            applyPosition(window, reader, dock, owner);
    }
}

void SaveBarPositions(TComponent* owner, const TTBPositionWriter& writer) {
    for (TTBCustomDockableWindow* window : windowsOf(owner)) {
        const std::string& name = window->Name();
        if (name.empty())
            throw Exception(TBTexts::PositionNeedsName);
        std::string dockedTo;
        if (window->Floating()) {
            dockedTo = "+";
        } else if (TTBDock* dock = window->CurrentDock()) {
            if (dock->AllowDrag()) {
                if (dock->Name().empty())
                    throw Exception(TBTexts::PositionNeedsDockName);
                dockedTo = dock->Name();
            }
        } else {
            continue;
        }
        std::string lastDock = window->LastDock() != nullptr ? window->LastDock()->Name() : "";
        writer.WriteInt(name, "Rev", kRevision);
        writer.WriteInt(name, "Visible", window->Visible() ? 1 : 0);
        writer.WriteString(name, "DockedTo", dockedTo);
        writer.WriteString(name, "LastDock", lastDock);
        writer.WriteInt(name, "DockRow", window->DockRow());
        writer.WriteInt(name, "DockPos", window->DockPos());
        writer.WriteInt(name, "FloatLeft", window->FloatLeft);
        writer.WriteInt(name, "FloatTop", window->FloatTop);
        window->WriteExtraPositionValues(writer);
    }
}

void LoadBarPositionsFromRegistry(TComponent* owner, HKEY rootKey, std::string_view baseKey) {
    // A store that cannot be read or written gives no values: every window
    // stays as the form made it.
    try {
        TRegistry registry(rootKey);
        registry.OpenKey(baseKey, true);
    } catch (const Exception&) {
    }
    auto readText = [&](const std::string& toolbar, const std::string& value) -> std::optional<std::string> {
        try {
            TRegistry registry(rootKey);
            if (!registry.OpenKeyReadOnly(keyOf(baseKey, toolbar)) || !registry.ValueExists(value))
                return std::nullopt;
            if (registry.GetDataType(value) == rdInteger)
                return std::to_string(registry.ReadInteger(value));
            return registry.ReadString(value);
        } catch (const Exception&) {
            return std::nullopt;
        }
    };
    TTBPositionReader reader;
    reader.ReadInt = [&](const std::string& toolbar, const std::string& value, int32_t defaultValue) {
        std::optional<std::string> text = readText(toolbar, value);
        std::optional<int32_t> number = text ? parseDecimal(*text) : std::nullopt;
        return number.value_or(defaultValue);
    };
    reader.ReadString = [&](const std::string& toolbar, const std::string& value, const std::string& defaultValue) {
        return readText(toolbar, value).value_or(defaultValue);
    };
    LoadBarPositions(owner, reader);
}

void SaveBarPositionsToRegistry(TComponent* owner, HKEY rootKey, std::string_view baseKey) {
    TTBPositionWriter writer;
    auto open = [&](TRegistry& registry, const std::string& toolbar) {
        if (!registry.OpenKey(keyOf(baseKey, toolbar), true))
            throw ERegistryException("Failed to create key " + keyOf(baseKey, toolbar));
    };
    writer.WriteInt = [&](const std::string& toolbar, const std::string& value, int32_t data) {
        TRegistry registry(rootKey);
        open(registry, toolbar);
        registry.WriteString(value, std::to_string(data));
    };
    writer.WriteString = [&](const std::string& toolbar, const std::string& value, const std::string& data) {
        TRegistry registry(rootKey);
        open(registry, toolbar);
        registry.WriteString(value, data);
    };
    SaveBarPositions(owner, writer);
}
