#pragma once
// The published tables of the framework's components, so that forms
// describe menus and toolbars by name: items (nested in their parent
// items), separators, control items, edit items and recently used lists.

// Registers the classes (and the window base's under them); safe to call
// again.
void RegisterToolbarClasses();

class TIdentMap;
// The names of the item options (tboDefault...), for the tables of classes
// that publish options of their own.
const TIdentMap& TBItemOptionNames();
