#pragma once
// Desktop settings the controls read.  With a QGuiApplication they come
// from its style hints; without one (model tests) fixed defaults apply.

// How long the caret stays on (and off) while blinking, in milliseconds;
// 0 = no blinking.
int CaretBlinkTime();
