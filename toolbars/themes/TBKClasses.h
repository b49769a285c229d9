#pragma once
// The published tables of the themed classes, so that forms describe themed
// menus, toolbars and tool windows by name.

// Registers them (and the framework's tables under them); safe to call
// again.
void RegisterThemedToolbarClasses();
