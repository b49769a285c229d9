#pragma once
// TPicture: the holder of one picture of any registered kind, and the
// registry of picture classes by file extension and by clipboard format.
// Image controls and the picture dialogs load files through it, and it
// makes the right TGraphic for each: BMP, PNG and JPEG (TRasterImage), icons
// (TIcon) and metafiles (TMetafile) come with the platform; the GIF support
// registers ".gif" and the clipboard format "GIF Image" itself.

#include "platform/gfx/Graphic.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TBitmap;

// Makes an empty picture of one class.
using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// A registered file format.
struct TPictureFileFormat {
    std::string Extension;   // lower case, without the dot ("gif")
    std::string Description; // "GIF Image"
    std::string ClassName;   // of the graphic class that reads it
    TGraphicFactory Create;
};

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    std::string ClassName() const override { return "TPicture"; }

    // The picture held, or nullptr.
    TGraphic* Graphic() const { return graphic_.get(); }
    // Takes the graphic over (nullptr empties the holder).
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The graphic's size; 0 x 0 when empty.
    int Width() const;
    int Height() const;

    // Makes a graphic of the class registered for the file's extension
    // (ignoring case) and loads the file into it; the held picture is
    // replaced only when that succeeds.  An extension nobody registered
    // raises EInvalidGraphic "Unknown picture file extension (.ext)".
    void LoadFromFile(const std::string& fileName);
    // Raises EInvalidGraphicOperation when the holder is empty.
    void SaveToFile(const std::string& fileName);

    // Makes a graphic of the class registered for the clipboard format and
    // loads the data into it; another format raises EInvalidGraphic
    // "Unsupported clipboard format".
    void LoadFromClipboardFormat(unsigned format, std::string_view data);
    // The held graphic's clipboard form (nothing for an empty holder).
    void SaveToClipboardFormat(unsigned& format, std::string& data);
    static bool SupportsClipboardFormat(unsigned format);

    // Another picture: a copy of its graphic; a graphic: a copy of it (of
    // its own class when that is registered); nullptr empties.
    void Assign(const TPersistent* source) override;

    // Streamed in a form as "Data": the graphic's class name (a length
    // byte and the name) and what the graphic writes (TGraphic::WriteData).
    // Reading a class nobody registered raises EReadError.
    void DefineProperties(TFiler& filer) override;

    // Registers a class for a file extension (with or without the dot);
    // the same extension registered again takes the newer class.
    static void RegisterFileFormat(std::string_view extension, std::string_view description,
                                   const std::string& className, TGraphicFactory create);
    static void RegisterClipboardFormat(unsigned format, const std::string& className, TGraphicFactory create);
    // Drops every registration of the class.
    static void UnregisterGraphicClass(const std::string& className);
    // The registered formats, the platform's own first.
    static std::vector<TPictureFileFormat> FileFormats();
    // An open dialog's filter: "All (*.gif;*.bmp;...)|*.gif;*.bmp;...|GIF
    // Image (*.gif)|*.gif|...".
    static std::string GraphicFilter();
    // A new, empty graphic of a registered class; nullptr when none is.
    static std::unique_ptr<TGraphic> CreateGraphic(const std::string& className);

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

private:
    void hook();
    void changed();

    std::unique_ptr<TGraphic> graphic_;
};

// Bitmaps, PNG and JPEG photos, read and written by the platform's image
// codecs (each file read only as the format its extension names).
// Pixels with less than half opacity draw transparent.
class TRasterImage : public TGraphic {
public:
    // format: "BMP", "PNG" or "JPEG".
    explicit TRasterImage(std::string format = "BMP");
    ~TRasterImage() override;

    std::string ClassName() const override { return "TRasterImage"; }
    const std::string& Format() const { return format_; }

    void Draw(TCanvas& canvas, const TRect& rect) override;
    int Width() const override;
    int Height() const override;
    // Resizing keeps what still fits; new pixels are white.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    bool Empty() const override;

    // Raises EInvalidGraphic "<format> image is not valid" for data that is
    // not a picture of the format.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;

    // In a form: the format's name (a length byte and the name), then the
    // picture in that format.
    void ReadData(TStream& stream) override;
    void WriteData(TStream& stream) override;

    // The pixels (32 bits, transparent pixels in the transparent colour).
    TBitmap& Bitmap() { return *bitmap_; }
    void Assign(const TPersistent* source) override;

protected:
    void AssignTo(TPersistent* destination) const override;

private:
    std::string format_;
    std::unique_ptr<TBitmap> bitmap_;
};
