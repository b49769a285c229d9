#pragma once
// The framework's own message texts.  They are kept in one place, by the
// numbers of the string table they come from, so that a translation
// replaces them together.

namespace TBTexts {
inline constexpr const char* ItemIndexOutOfRange = "Toolbar item index out of range";   // 65257
inline constexpr const char* ItemAlreadyInserted = "Toolbar item already inserted";    // 65258
inline constexpr const char* ViewerNotFound =
    "An item viewer associated the specified item could not be found";                // 65259
inline constexpr const char* MRUListDisplayName = "(MRU List)";                        // 65260
inline constexpr const char* DockInsideDock =
    "A TTBDock control cannot be placed inside a tool window or another TTBDock";      // 65261
inline constexpr const char* DockPositionLocked =
    "Cannot change Position of a TTBDock if it already contains controls";             // 65262
inline constexpr const char* PositionNeedsName =
    "Cannot save dockable window's position because Name property is not set";        // 65263
inline constexpr const char* PositionNeedsDockName =
    "Cannot save dockable window's position because DockedTo's Name property not set"; // 65232
// An item put below itself would make the tree a cycle.
inline constexpr const char* ItemInsertedIntoItself =
    "A toolbar item cannot be inserted into itself or one of its own items";
// Choosing a recently used file that is no longer there.
inline constexpr const char* RecentFileMissing = "The file \"%s\" no longer exists";
} // namespace TBTexts
