#pragma once
// The system clipboard.  Plain text is bytes of the code page, or UTF-8
// when asked for (a UTF-8 document's): text read
// from the clipboard has its line breaks (LF, lone CR) made CR LF, text
// written to it has CR LF made LF, as other programs on this desktop
// expect.  Formats registered by name carry bytes unchanged under a private
// MIME type derived from the name, so every program instance that
// registers the same name exchanges them.  A bitmap (CF_BITMAP) crosses the
// interface as the bytes of a BMP file and is an image on the system
// clipboard, which other programs read in the image format they like.
//
// Between Open and the matching Close, everything set goes into one
// clipboard content (the first set empties it); outside, each set replaces
// the content.  A QGuiApplication must exist.

#include "platform/base/TextCodec.h"

#include <memory>
#include <string>
#include <string_view>

struct TClipboardContent;
class TGraphic;

// Predefined formats.
enum : unsigned { CF_TEXT = 1, CF_BITMAP = 2 };

// The format id of a name (ids from 0xC000 up; the same name, ignoring
// ASCII case, gives the same id); 0 for an empty name.
unsigned RegisterClipboardFormat(std::string_view name);
// The name a format was registered under; empty for any other id.
std::string ClipboardFormatName(unsigned format);
// The MIME type that carries a format; empty for an unknown id.
std::string ClipboardFormatMimeType(unsigned format);

// Line-break conversions used at the clipboard boundary.
std::string ToClipboardLineBreaks(std::string_view text);   // CR LF -> LF
std::string FromClipboardLineBreaks(std::string_view text); // LF, CR -> CR LF

class TClipboard {
public:
    TClipboard();
    ~TClipboard();
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;

    void Open();
    void Close();
    // Between Open and the matching Close.
    bool IsOpen() const { return openCount_ > 0; }
    void Clear();

    bool HasFormat(unsigned format) const;
    std::string AsText(TTextEncoding encoding = teAnsi) const;
    void SetAsText(std::string_view text, TTextEncoding encoding = teAnsi);
    // The bytes of a format; empty when the clipboard does not hold it.
    std::string GetFormatBytes(unsigned format) const;
    void SetFormatBytes(unsigned format, std::string_view bytes);
    // Puts a picture on the clipboard, alone: the clipboard form it gives
    // (SaveToClipboardFormat), with whatever it puts there itself meanwhile.
    void AssignGraphic(TGraphic& graphic);

private:
    friend struct TClipboardContent;
    void publish();

    std::unique_ptr<TClipboardContent> pending_; // built between Open and Close
    int openCount_ = 0;
};

// The process's clipboard object.
TClipboard& Clipboard();
