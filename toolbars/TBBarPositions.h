#pragma once
// Saving and restoring where the dockable windows of a form are: docked
// (which dock, row, position), floating (where) and visible or not, plus
// what each kind of window adds (a toolbar's floating wrap width, a tool
// window's client size).
//
// The routines walk the owner's components and go through callbacks that
// take (window name, value name, value), so they know nothing of the
// storage; the registry adapter keeps one key per window under a key path
// of the registry store, integers as decimal text.
//
// Values of one window, in the order they are written: "Rev" (2000; a
// window stored with another revision is left as the form made it),
// "Visible", "DockedTo" (the dock's name, "+" when floating, empty for a
// dock that does not allow dragging), "LastDock", "DockRow", "DockPos",
// "FloatLeft", "FloatTop", then the window's own.
//
// Stored values are not trusted: rows, positions and sizes are clamped to
// what a screen can show, a floating window wholly off the screens comes
// back onto one, a window that cannot float is never floated, and a store
// that cannot be read leaves every window as it was.

#include "platform/base/Registry.h"
#include "toolbars/TBPositionData.h"

#include <string>
#include <string_view>

class TComponent;
class TTBDock;

void LoadBarPositions(TComponent* owner, const TTBPositionReader& reader);
void SaveBarPositions(TComponent* owner, const TTBPositionWriter& writer);

// The same through the registry store: one key per window below
// baseKey (created when missing).
void LoadBarPositionsFromRegistry(TComponent* owner, HKEY rootKey, std::string_view baseKey);
void SaveBarPositionsToRegistry(TComponent* owner, HKEY rootKey, std::string_view baseKey);

// The owner's first dock of that name (case-sensitive), or nullptr.
TTBDock* FindDockByName(std::string_view name, TComponent* owner);

// The largest row number, position and size a stored value may have.
constexpr int kTBStoredRowLimit = 1000;
constexpr int kTBStoredCoordinateLimit = 32767;
