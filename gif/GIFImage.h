#pragma once
// A GIF image: the header with the logical screen and the global colour
// table, and the frames, read from and written to GIF streams.

#include "gif/GIFHeader.h"
#include "gif/GIFItem.h"
#include "gif/GIFSubImage.h"

#include <cstdint>
#include <functional>
#include <string>

// Largest number of pixels all frames of one loaded image may hold
// together; a file that claims more is refused (see GIFMaxFramePixels).
inline constexpr int64_t GIFMaxImagePixels = int64_t(1) << 30;

enum TGIFCompression : uint8_t {
    gcLZW = 0,
    gcRLE = 1,
};

// The compression new images start with (a process-wide setting).
inline TGIFCompression DefaultCompression = gcLZW;

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

class TGIFImage : public TPersistent {
public:
    TGIFImage();
    ~TGIFImage() override;
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    TGIFHeader& Header() { return header_; }
    const TGIFHeader& Header() const { return header_; }
    TGIFImageList& Images() { return images_; }
    const TGIFImageList& Images() const { return images_; }
    TGIFGlobalColorMap& GlobalColorMap() { return header_.ColorMap(); }

    // The logical screen.
    int Width() const { return header_.Width(); }
    int Height() const { return header_.Height(); }
    // Raises "Image width too small for contained frames" when a frame
    // would reach past the new width, and "Invalid image dimensions" for a
    // width outside 0..65535.
    void SetWidth(int width);
    // Raises "Image height too small for contained frames" and "Invalid
    // image dimensions" likewise.
    void SetHeight(int height);

    bool Empty() const { return images_.Count() == 0; }
    // The highest frame version: 0 without frames, 1 "87a", 2 "89a".
    int Version() const;
    // The highest of the header's and the frames' values.
    int ColorResolution() const;
    int BitsPerPixel() const;

    TGIFCompression Compression() const { return compression_; }
    void SetCompression(TGIFCompression compression) { compression_ = compression; }

    // Called with every warning of the reader and the frames.
    TGIFWarningEvent OnWarning;
    virtual void Warning(TPersistent* sender, int severity, const std::string& message);

    // Adds a frame made for this image (it then belongs to the image's
    // list); returns its index.  Anything else raises "Object type not
    // supported for operation".
    int Add(TPersistent* source);

    // Empties frames, global table and logical screen.
    void Clear();

    // Replaces the image by the GIF stream at the stream's position.  On an
    // exception the stream is put back where it was and the frames read
    // before the fault stay.
    void LoadFromStream(TStream& stream);
    // Header, frames and trailer.  An image without frames raises
    // "Unsupported GIF version".
    void SaveToStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    // The file is replaced only once the whole stream has been made; a
    // failed save leaves it as it was.
    void SaveToFile(const std::string& fileName);

    std::string ClassName() const override { return "TGIFImage"; }

private:
    friend class TGIFSubImage;
    // Counts the pixels of a frame being loaded against GIFMaxImagePixels.
    void chargeLoadedPixels(int64_t pixels);

    TGIFHeader header_;
    TGIFImageList images_;
    TGIFCompression compression_ = DefaultCompression;
    bool loading_ = false;
    int64_t loadedPixels_ = 0;
};
