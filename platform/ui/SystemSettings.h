#pragma once
// Desktop settings the controls read.  With a QGuiApplication they come
// from its style hints; without one (model tests) fixed defaults apply.

// The longest pause between the clicks of a double click, in milliseconds.
int DoubleClickTime();
// How long the caret stays on (and off) while blinking, in milliseconds;
// 0 = no blinking.
int CaretBlinkTime();
// Lines scrolled per wheel notch.
int WheelScrollLines();
// Pixels the mouse must move with a button held before a drag starts.
int DragThreshold();
