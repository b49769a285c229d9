#pragma once
// The published tables of docks, dockable windows, toolbars and tool
// windows; RegisterToolbarClasses registers them with the rest of the
// framework.
void RegisterDockClasses();
