#pragma once
// A GIF image: the header with the logical screen and the global colour
// table, and the frames, read from and written to GIF streams.  It is the
// picture class the platform's picture holder makes for ".gif" files and
// "GIF Image" clipboard data; drawing and animation are done by gif/render
// through the seam of GIFRenderSupport.h.

#include "gif/GIFColorReduction.h"
#include "gif/GIFEncoders.h"
#include "gif/GIFHeader.h"
#include "gif/GIFItem.h"
#include "gif/GIFSubImage.h"
#include "platform/gfx/Graphic.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TGIFImageRenderer;

// Largest number of pixels all frames of one loaded image may hold
// together; a file that claims more is refused (see GIFMaxFramePixels).
inline constexpr int64_t GIFMaxImagePixels = int64_t(1) << 30;

// How an image is drawn (DrawOptions).
using TGIFDrawOptions = uint16_t;
enum : TGIFDrawOptions {
    gdThreaded = 0x0001,      // animations are timed on a thread of their own
    gdTransparent = 0x0002,   // transparent pixels show what lies below
    gdAnimate = 0x0004,       // frames after the first are shown in turn
    gdLoop = 0x0008,          // the animation starts again after the last frame
    gdLoopForever = 0x0010,   // the file's loop count is ignored
    gdCanvasHandle = 0x0020,  // kept for callers that set it; nothing here needs it
    gdDirect = 0x0040,        // kept for callers that set it; see TGIFPainter
    gdClearFirst = 0x0080,    // the background is restored before the first frame
    gdTile = 0x0100,          // the picture is tiled over the destination
    gdDither = 0x0200,        // frames are rendered dithered to the 216-colour cube
    gdDitherOnPalette = 0x0400, // with gdDither: only on a palette display
};

// A colour value of the platform (0x00BBGGRR, negative for system
// colours); GIFNoColor is the platform's "none".
using TGIFColorValue = int32_t;
inline constexpr TGIFColorValue GIFNoColor = 0x1FFFFFFF;

// Process-wide settings every new image starts with.
inline TGIFDrawOptions DefaultDrawOptions = gdThreaded | gdTransparent | gdAnimate | gdLoop | gdDither |
                                            gdDitherOnPalette;
inline TGIFColorReduction DefaultColorReduction = gcrWebPalette;
inline int DefaultReductionBits = 8;
inline TGIFDitherMode DefaultDitherMode = gdmNearest;
inline TGIFCompression DefaultCompression = gcLZW;
inline int DefaultThreadPriority = 3;
inline int DefaultAnimationSpeed = 100;
// A GIF streamed into a form (WriteData) is first optimised with every
// option.
inline bool OptimizeWhenStreaming = false;
// The screen shows at most 256 colours.  Displays here are true-colour, so
// it starts false; a test may set it.
inline bool DitherOnThisDisplay = false;

// Options of TGIFImage::Optimize.
using TGIFOptimizeOptions = uint8_t;
enum : TGIFOptimizeOptions {
    ooCrop = 0x01,         // transparent borders cut off, empty frames dropped
    ooMerge = 0x02,        // pixels equal to the picture below made transparent
    ooCleanup = 0x04,      // unused transparency, disposal and extensions removed
    ooColorMap = 0x08,     // colour tables sorted by use and shortened
    ooReduceColors = 0x10, // the reduction method is checked
};

class TGIFImageList : public TGIFList {
public:
    using TGIFList::TGIFList;
    TGIFSubImage* Frames(int index) const { return static_cast<TGIFSubImage*>(Items(index)); }
    // The blocks after the header: frames until the trailer, the end of
    // the stream or a byte that starts no block ("Unknown GIF block type").
    // A frame that fails to load is freed and the exception passed on; the
    // frames before it stay.
    void LoadFromStream(TStream& stream, TPersistent* parent) override;
    std::string ClassName() const override { return "TGIFImageList"; }
};

using TGIFWarningEvent = std::function<void(TPersistent* sender, int severity, const std::string& message)>;

class TGIFImage : public TGraphic {
public:
    TGIFImage();
    // Stops the image's animations first.
    ~TGIFImage() override;

    TGIFHeader& Header() { return header_; }
    const TGIFHeader& Header() const { return header_; }
    TGIFImageList& Images() { return images_; }
    const TGIFImageList& Images() const { return images_; }
    TGIFGlobalColorMap& GlobalColorMap() { return header_.ColorMap(); }
    const TGIFGlobalColorMap& GlobalColorMap() const { return header_.ColorMap(); }

    // The logical screen.
    int Width() const override { return header_.Width(); }
    int Height() const override { return header_.Height(); }
    // Raises "Image width too small for contained frames" when a frame
    // would reach past the new width, and "Invalid image dimensions" for a
    // width outside 0..65535.  A new width is a change (OnChange).
    void SetWidth(int width) override;
    // Raises "Image height too small for contained frames" and "Invalid
    // image dimensions" likewise.
    void SetHeight(int height) override;

    bool Empty() const override { return images_.Count() == 0; }
    // The highest frame version: 0 without frames, 1 "87a", 2 "89a".
    int Version() const;
    // The highest of the header's and the frames' values.
    int ColorResolution() const;
    int BitsPerPixel() const;
    // The most entries a frame drawing with the global table needs (see
    // TGIFSubImage::ColorsUsed).
    int GlobalColorsUsed() const;

    // The frames' place on the logical screen, and a rectangle's share of a
    // destination the whole screen is stretched into.
    TRect BoundsRect() const { return Bounds(0, 0, Width(), Height()); }

    // Settings (see the defaults above).
    TGIFDrawOptions DrawOptions = DefaultDrawOptions;
    TGIFColorReduction ColorReduction = DefaultColorReduction;
    int ReductionBits = DefaultReductionBits;
    TGIFDitherMode DitherMode = DefaultDitherMode;
    // Kept for callers that set it: the animation threads run at the
    // system's normal priority.
    int ThreadPriority = DefaultThreadPriority;
    // GIFNoColor: the header's background colour.
    TGIFColorValue BackgroundColor = GIFNoColor;
    TGIFCompression Compression() const { return compression_; }
    void SetCompression(TGIFCompression compression) { compression_ = compression; }
    // Percent of the file's speed; a negative speed is taken as 0, which
    // holds every frame until the animation is stopped.
    int AnimationSpeed() const { return animationSpeed_; }
    void SetAnimationSpeed(int speed) { animationSpeed_ = speed < 0 ? 0 : speed; }
    // Frames are rendered dithered: gdDither, and with gdDitherOnPalette
    // only on a palette display.
    bool IsDithered() const;

    // The colours frames draw with when dithered (the 216-colour cube),
    // else the global table, else the first frame's (see
    // TGIFSubImage palette rules in GIFRender.h).
    TGIFPalette Palette() const;

    // Called with every warning of the reader and the frames.
    TGIFWarningEvent OnWarning;
    virtual void Warning(TPersistent* sender, int severity, const std::string& message);

    // Events of the animation painters (Part of every painter the image
    // starts; the sender is the painter, a TGIFPainter of gif/render).
    TNotifyEvent OnPaintStart;
    TNotifyEvent OnFramePaint;
    TNotifyEvent OnFramePainted;
    TNotifyEvent OnLoopStart;
    TNotifyEvent OnPaintEnd;

    // A frame made for this image is added itself; any other picture (a
    // bitmap, a graphic) becomes a new frame by TGIFSubImage::Assign.
    // Anything else raises "Object type not supported for operation".
    // Returns the frame's index.
    int Add(TPersistent* source);

    // Empties frames, global table and logical screen, after stopping the
    // animations.
    void Clear();

    // Another GIF image: header, frames and drawing settings copied, this
    // image's own handlers kept.  nullptr clears.  Any other picture
    // becomes the one frame (see Add).
    void Assign(const TPersistent* source) override;

    // Draws the first frame, or the animation when there are more (through
    // gif/render; nothing without it).
    void Draw(TCanvas& canvas, const TRect& rect) override;

    // Replaces the image by the GIF stream at the stream's position.  On an
    // exception the stream is put back where it was and the frames read
    // before the fault stay.
    void LoadFromStream(TStream& stream) override;
    // Header, frames and trailer.  An image without frames raises
    // "Unsupported GIF version".
    void SaveToStream(TStream& stream) override;
    void LoadFromFile(const std::string& fileName) override;
    // The file is replaced only once the whole stream has been made; a
    // failed save leaves it as it was.
    void SaveToFile(const std::string& fileName) override;

    // Gives the rendered first frame as a bitmap's clipboard form and puts
    // the GIF file itself on the clipboard under "GIF Image", so both go
    // there when the caller puts the bitmap on the clipboard it holds open
    // (TClipboard::AssignGraphic).  Raises "Failed to store GIF on
    // clipboard" when the clipboard is not open or gif/render has not
    // registered the format.  Nothing for an empty image.
    void SaveToClipboardFormat(unsigned& format, std::string& data) override;
    // "GIF Image" data, or a bitmap made into the one frame; empty data is
    // taken from the clipboard.  Raises "Unsupported clipboard format" for
    // any other format.
    void LoadFromClipboardFormat(unsigned format, std::string_view data) override;
    // How the image streams into a form: optimised first when
    // OptimizeWhenStreaming is set, then as any picture.
    void WriteData(TStream& stream) override;

    // Makes the image smaller to write without changing what it shows
    // (GIFOptimize.h).  `method` is checked with ooReduceColors.
    void Optimize(TGIFOptimizeOptions options, TGIFColorReduction method = gcrNone);

    // Stops every animation of the image and waits until each has ended.
    void StopPainters();
    // What draws the image (made on first use; nullptr without gif/render).
    TGIFImageRenderer* Renderer();

    // Reports progress to OnProgress.
    void Progress(TPersistent* sender, TProgressStage stage, int percentDone, bool redrawNow,
                  const std::string& message) override {
        TGraphic::Progress(sender, stage, percentDone, redrawNow, message);
    }
    // Marks the image changed and tells OnChange.
    void Changed(TPersistent* sender) override;

    std::string ClassName() const override { return "TGIFImage"; }

protected:
    void AssignTo(TPersistent* destination) const override;

private:
    friend class TGIFSubImage;
    friend class TGIFGlobalColorMap;
    // Counts the pixels of a frame being loaded against GIFMaxImagePixels.
    void chargeLoadedPixels(int64_t pixels);
    // A frame's look changed: what was rendered of the whole image goes.
    void frameChanged(TGIFSubImage* frame);
    void copyFrom(const TGIFImage& source);
    void fitEmptyScreen();

    TGIFHeader header_;
    TGIFImageList images_;
    TGIFCompression compression_ = DefaultCompression;
    int animationSpeed_ = DefaultAnimationSpeed;
    bool loading_ = false;
    int64_t loadedPixels_ = 0;
    std::unique_ptr<TGIFImageRenderer> renderer_;
};

// The clipboard format id of "GIF Image" (0 until gif/render registers it).
inline unsigned CF_GIF = 0;
