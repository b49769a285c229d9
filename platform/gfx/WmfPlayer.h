#pragma once
// Windows metafiles (.wmf, placeable or not) played by libwmf's player
// (libwmflite) onto a painter of ours: the library parses the records and
// keeps the device context (objects, mapping, clipping); we draw each shape
// with its exact colours, into a recording that is drawn when asked.  Its
// own drawing layers are not used: the SVG one rounds every colour to the
// nearest named colour, and the bitmap one draws without smoothing and
// needs font files of its own.

#include "platform/gfx/MetafileRecording.h"

#include <cstdint>
#include <memory>
#include <string_view>

// What the data starts with: a placeable header, or a metafile header.
bool IsWindowsMetafile(std::string_view data);

// What the records say before the player sees them.
struct TWindowsMetafileRecords {
    // The largest record, in 16-bit words.
    uint32_t Largest = 0;
    // The first mapping mode set and window extent set (0: none).
    int MapMode = 0;
    int WindowWidth = 0;
    int WindowHeight = 0;
};

// Walks the records, checking every size a record claims against the
// bytes the data holds.  Raises EInvalidGraphic "Metafile is not valid"
// for data that is no Windows metafile or a record that reaches past its
// end.
TWindowsMetafileRecords ReadWindowsMetafileRecords(std::string_view data);

// Plays the metafile once.  Raises EInvalidGraphic "Metafile is not
// valid" for data the walk or the player refuses or that has no size.
std::unique_ptr<TMetafileRecording> PlayWindowsMetafile(std::string_view data);
