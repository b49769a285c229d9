#pragma once
// The published tables of the window base: TControl (bounds, caption,
// colour and font with their parent flags, cursor, popup menu, visibility,
// dragging, the mouse and drag events), TWinControl (tab stop, focus and key events),
// TCustomControl and TGraphicControl.  A control streams inside its parent
// and is put into it when read.

// Registers the window base's classes (and the graphics and base classes
// under them); safe to call again.
void RegisterControlClasses();

class TIdentMap;
// The names of TAlign's values.
const TIdentMap& AlignNames();
// The names of TDragMode's values.
const TIdentMap& DragModeNames();
