#pragma once
// Windows metafiles (.wmf, placeable or not) played by libwmf's player
// (libwmflite) onto a QPainter of ours: the library parses the records and
// keeps the device context (objects, mapping, clipping); we draw each shape
// with its exact colours.  Its own drawing layers are not used: the SVG one
// rounds every colour to the nearest named colour, and the bitmap one draws
// without smoothing and needs font files of its own.  Platform code only.

#include <QPicture>
#include <QRectF>

#include <string_view>

struct TWindowsMetafileRecording {
    // What the metafile draws, in the player's units (points).
    QPicture Picture;
    // The picture's frame in those units: what its own size shows.
    QRectF Frame;
    // Its own size in pixels, 96 to the inch.
    int Width = 0;
    int Height = 0;
};

// What the data starts with: a placeable header, or a metafile header.
bool IsWindowsMetafile(std::string_view data);

// Raises EInvalidGraphic "Metafile is not valid" for data the player refuses
// or that has no size.
TWindowsMetafileRecording RecordWindowsMetafile(std::string_view data);
