#pragma once
// The published tables of the framework's components, so that forms
// describe menus and toolbars by name: items (nested in their parent
// items), separators, control items, edit items and recently used lists.

// Registers the classes (and the window base's under them); safe to call
// again.
void RegisterToolbarClasses();
