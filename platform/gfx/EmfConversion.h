#pragma once
// Enhanced metafiles (.emf) made into SVG by libemf2svg, which TMetafile
// draws with Qt's SVG module.  The library lives in a file that includes no
// toolkit header.  (Windows metafiles: WmfPlayer.h.)

#include <string>
#include <string_view>

struct TMetafileDrawing {
    std::string Svg;
    // The metafile's own size in pixels, 96 to the inch.
    int Width = 0;
    int Height = 0;
    // Where the SVG's picture lies within that size, in pixels: the
    // libraries draw the part of the picture that holds something, which
    // need not be all of it.
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

// What the data starts with: the header record with its signature.
bool IsEnhancedMetafile(std::string_view data);

// Raises EInvalidGraphic "Metafile is not valid" for data the library does
// not read or that has no size.
TMetafileDrawing ConvertEnhancedMetafile(std::string_view data);
