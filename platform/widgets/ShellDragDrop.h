#pragma once
// The Qt side of shell drag and drop (platform/shellns/DragDrop.h): drags
// run as Qt drags carrying the data object's MIME types; a registered
// window's widget accepts drops and hands each drag event to its drop
// target, with the mouse buttons and Shift, Ctrl and Alt as key state.  An
// exception from a target becomes an error box and no effect.

// Installs the service (InstallWidgetPeers does it).
void InstallShellDragDrop();
