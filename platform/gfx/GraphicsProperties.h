#pragma once
// The published tables of the graphics objects (fonts, pens, brushes) and
// the names their values stream under: colours ("clRed", "clWindow"),
// font styles, pen and brush styles.

class TIdentMap;

// Every named colour; a colour without a name streams as a number.
const TIdentMap& ColorNames();
// The members of TFontStyles (fsBold ...), as bit masks.
const TIdentMap& FontStyleNames();

// Registers TFont, TPen and TBrush (and the base classes); safe to call again.
void RegisterGraphicsClasses();
