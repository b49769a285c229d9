#pragma once
// What the two metafile readers make of a file (WmfPlayer.h for Windows
// metafiles, EmfPlayer.h for enhanced ones): its drawing recorded once at
// load, in units of the reader's own, with the frame of those units that
// the picture's own size shows.  TMetafile draws it, stretched onto any
// rectangle, as often as it is painted.

#include <memory>

class TCanvas;
struct TRect;

class TMetafileRecording {
public:
    TMetafileRecording();
    ~TMetafileRecording();
    TMetafileRecording(const TMetafileRecording&) = delete;
    TMetafileRecording& operator=(const TMetafileRecording&) = delete;

    // Its own size in pixels, 96 to the inch.
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetSize(int width, int height) {
        width_ = width;
        height_ = height;
    }
    // Draws its frame stretched onto the rectangle.
    void Draw(TCanvas& canvas, const TRect& rect) const;

    // The recorded drawing (QtBridge.h), for the readers.
    struct TQt;
    TQt& QtSide() const { return *qt_; }

private:
    std::unique_ptr<TQt> qt_;
    int width_ = 0;
    int height_ = 0;
};
