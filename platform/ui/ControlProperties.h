#pragma once
// The published tables of the window base: TControl (bounds, caption,
// colour, font and reading order (BiDiMode) with their parent flags,
// alignment, anchors and size limits (Constraints, a TSizeConstraints),
// cursor, popup menu, visibility, dragging and docking (DragCursor,
// DragKind, DragMode), the mouse and drag events with OnStartDrag),
// TWinControl (the 3-D look with its parent flag, DockSite, TabOrder,
// TabStop, focus and key events), TCustomControl and TGraphicControl.  A
// control streams inside its parent and is put into it when read.

// Registers the window base's classes (and the graphics and base classes
// under them); safe to call again.
void RegisterControlClasses();

class TIdentMap;
// The names of TAlign's values.
const TIdentMap& AlignNames();
// The names of TDragMode's values.
const TIdentMap& DragModeNames();
// The names of TDragKind's values, of the anchor bits and of TBiDiMode's
// values.
const TIdentMap& DragKindNames();
const TIdentMap& AnchorNames();
const TIdentMap& BiDiModeNames();
