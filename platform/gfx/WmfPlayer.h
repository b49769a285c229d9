#pragma once
// Windows metafiles (.wmf, placeable or not) played by libwmf's player
// (libwmflite) onto a painter of ours: the library parses the records and
// keeps the device context (objects, mapping, clipping); we draw each shape
// with its exact colours, into a recording that is drawn when asked.  Its
// own drawing layers are not used: the SVG one rounds every colour to the
// nearest named colour, and the bitmap one draws without smoothing and
// needs font files of its own.

#include <memory>
#include <string_view>

class TCanvas;
struct TRect;

// What the data starts with: a placeable header, or a metafile header.
bool IsWindowsMetafile(std::string_view data);

class TWindowsMetafileRecording {
public:
    // Plays the metafile once.  Raises EInvalidGraphic "Metafile is not
    // valid" for data the player refuses or that has no size.
    explicit TWindowsMetafileRecording(std::string_view data);
    ~TWindowsMetafileRecording();

    // Its own size in pixels, 96 to the inch.
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Draws its frame stretched onto the rectangle.
    void Draw(TCanvas& canvas, const TRect& rect) const;

private:
    struct TPicture;
    std::unique_ptr<TPicture> picture_;
    int width_ = 0;
    int height_ = 0;
};
