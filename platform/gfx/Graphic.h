#pragma once
// TGraphic: the abstract picture a TPicture holds (a GIF image, a bitmap, a
// PNG or JPEG photo), with its change and progress notices.
//
// This header is Qt-free and self-contained on purpose: a model library
// (the GIF codec) derives its picture class from TGraphic while it links
// platform_base only.  The canvas is named, never used, here; drawing is the
// derived class's business.  The picture holder and its format registry
// live in Picture.h.

#include "platform/base/Component.h"
#include "platform/base/Exceptions.h"
#include "platform/base/SafeFile.h"
#include "platform/base/Stream.h"

#include <functional>
#include <string>
#include <string_view>

class TCanvas;
struct TRect;

// Raised for data that is not a picture of the expected kind, and for a
// picture format or clipboard format nobody registered.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// Raised for an operation a picture can not do (drawing a picture of no
// known size, scan lines outside an image).
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

using TNotifyEvent = std::function<void(TPersistent* sender)>;

enum TProgressStage { psStarting, psRunning, psEnding };
// Long operations (loading, saving, copying, optimising) report their
// progress: the stage, a percentage, whether the picture should be redrawn
// now, and what is being done ("Loading...").
using TProgressEvent = std::function<void(TPersistent* sender, TProgressStage stage, int percentDone,
                                          bool redrawNow, const std::string& message)>;

class TGraphic : public TPersistent {
public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;
    ~TGraphic() override = default;

    std::string ClassName() const override { return "TGraphic"; }

    // Draws the whole picture stretched into rect (right and bottom
    // exclusive).
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    virtual bool Empty() const = 0;
    // Pictures with see-through parts draw them so.
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool transparent) {
        if (transparent != transparent_) {
            transparent_ = transparent;
            Changed(this);
        }
    }

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    virtual void LoadFromFile(const std::string& fileName) {
        TFileStream stream(fileName, fmOpenRead);
        LoadFromStream(stream);
    }
    // The file is replaced only once the whole picture has been written, so
    // a failed save leaves the old file as it was.
    virtual void SaveToFile(const std::string& fileName) {
        TMemoryStream data;
        SaveToStream(data);
        WriteFileReplacing(fileName, data.DataView());
    }

    // How the picture is streamed inside a form (TPicture's "Data"):
    // as its own stream format unless a class says otherwise.
    virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
    virtual void WriteData(TStream& stream) { SaveToStream(stream); }

    // The clipboard form of the picture: a format registered by name (see
    // RegisterClipboardFormat in Clipboard.h) and its bytes.  Pictures
    // without one raise EInvalidGraphic "Unsupported clipboard format".
    virtual void SaveToClipboardFormat(unsigned& format, std::string& data) {
        throw EInvalidGraphic("Unsupported clipboard format");
    }
    virtual void LoadFromClipboardFormat(unsigned format, std::string_view data) {
        throw EInvalidGraphic("Unsupported clipboard format");
    }

    // Set by every change; cleared by whoever saved the picture.
    bool Modified() const { return modified_; }
    void SetModified(bool modified) {
        if (modified)
            Changed(this);
        else
            modified_ = false;
    }

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    // Marks the picture modified and tells OnChange.
    virtual void Changed(TPersistent* sender) {
        modified_ = true;
        if (OnChange)
            OnChange(this);
    }
    virtual void Progress(TPersistent* sender, TProgressStage stage, int percentDone, bool redrawNow,
                          const std::string& message) {
        if (OnProgress)
            OnProgress(sender, stage, percentDone, redrawNow, message);
    }

private:
    bool modified_ = false;
    bool transparent_ = false;
};
