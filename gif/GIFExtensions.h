#pragma once
// The extension blocks a frame carries: graphic control (disposal, delay,
// transparency), plain text, comment, and application extensions, of which
// the loop-count extension is understood and every other one is kept as raw
// data.

#include "gif/GIFItem.h"
#include "gif/GIFRoutines.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TGIFSubImage;
class TGIFExtension;

// What the reader needs of an extension class: how to make one, and, for a
// kind whose data tells which subclass it is, how to look further.
struct TGIFExtensionClass {
    // nullptr for a kind that only stands for its subclasses.
    TGIFExtension* (*Create)(TGIFSubImage* frame);
    // Reads ahead (the stream is at the byte after the label) and returns
    // the class that reads the block; nullptr here means the class itself.
    const TGIFExtensionClass* (*FindSubExtension)(TStream& stream);
};

// Labels of the extension kinds.
inline constexpr uint8_t bsPlainTextExtension = 0x01;
inline constexpr uint8_t bsGraphicControlExtension = 0xF9;
inline constexpr uint8_t bsCommentExtension = 0xFE;
inline constexpr uint8_t bsApplicationExtension = 0xFF;

class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFSubImage* frame);
    // Takes the extension out of its frame's list.
    ~TGIFExtension() override;

    TGIFSubImage* Frame() const { return frame_; }
    int Version() const override { return 2; }
    virtual uint8_t ExtensionType() const = 0;
    virtual const TGIFExtensionClass& ClassType() const = 0;

    // Writes the introducer and the label; each kind writes its body after.
    void SaveToStream(TStream& stream) override;
    // Reads the introducer and the label: a first byte other than '!'
    // raises "Invalid extension introducer", another kind's label "Internal
    // error: Extension Instance does not match Extension Label".
    void LoadFromStream(TStream& stream) override;

    // The class that reads the extension at the stream's position (at its
    // label byte), or nullptr for an unknown label.  The position is kept.
    static const TGIFExtensionClass* FindExtension(TStream& stream);

    std::string ClassName() const override { return "TGIFExtension"; }

private:
    TGIFSubImage* frame_;
};

class TGIFExtensionList : public TGIFList {
public:
    explicit TGIFExtensionList(TGIFSubImage* frame);
    TGIFExtension* Extensions(int index) const { return static_cast<TGIFExtension*>(Items(index)); }
    // Reads the extensions that stand before a frame's image, up to the
    // image separator, the trailer, the end of the stream or a byte that
    // starts no extension (warned as "Invalid extension introducer" and left
    // for the block reader).  Zero bytes between blocks are skipped.
    void LoadFromStream(TStream& stream, TPersistent* parent) override;
    std::string ClassName() const override { return "TGIFExtensionList"; }

private:
    TGIFSubImage* frame_;
};

// How delays are shown: a frame without a delay shows for the fallback,
// and none for less than the floor (in hundredths of a second, as stored).
inline constexpr int GIFFallbackDelay = 10;
inline constexpr int GIFDelayFloor = 3;

// Disposal methods of a graphic control extension.
enum TGIFDisposal : uint8_t {
    dmNone = 0,
    dmNoDisposal = 1,
    dmBackground = 2,
    dmPrevious = 3,
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;

    // The first graphic control extension made for a frame becomes the
    // frame's own, which alone decides the frame's transparency.
    explicit TGIFGraphicControlExtension(TGIFSubImage* frame);
    ~TGIFGraphicControlExtension() override;

    uint8_t ExtensionType() const override { return bsGraphicControlExtension; }
    const TGIFExtensionClass& ClassType() const override { return Class; }

    bool Transparent() const { return (packed_ & 0x01) != 0; }
    void SetTransparent(bool transparent);
    uint8_t TransparentColorIndex() const { return transparentIndex_; }
    // An index beyond the frame's colour table (when it has one, else
    // beyond 0..255) warns "Invalid color index" and stores 0.
    void SetTransparentColorIndex(int index);
    // Hundredths of a second.
    uint16_t Delay() const { return delay_; }
    void SetDelay(uint16_t delay) { delay_ = delay; }
    // 0..7, packed bits 4-2.
    uint8_t Disposal() const { return (packed_ >> 2) & 7; }
    void SetDisposal(uint8_t disposal);
    bool UserInput() const { return (packed_ & 0x02) != 0; }
    void SetUserInput(bool userInput);
    uint8_t Packed() const { return packed_; }

    // Always written with the block size 4.
    void SaveToStream(TStream& stream) override;
    // A first subblock shorter than the four bytes of the fields, or data
    // that ends before the terminator, warns "Premature end of data"; the
    // fields then stay as they were when they were not all there.
    void LoadFromStream(TStream& stream) override;

    std::string ClassName() const override { return "TGIFGraphicControlExtension"; }

private:
    // Tells the frame its look changed, when this is the frame's own.
    void changed();

    uint8_t packed_ = 0;
    uint16_t delay_ = 0;
    uint8_t transparentIndex_ = 0;
};

class TGIFTextExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;
    explicit TGIFTextExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}

    uint8_t ExtensionType() const override { return bsPlainTextExtension; }
    const TGIFExtensionClass& ClassType() const override { return Class; }

    TStringList& Text() { return text_; }
    const TStringList& Text() const { return text_; }
    uint16_t Left = 0;
    uint16_t Top = 0;
    uint16_t GridWidth = 0;
    uint16_t GridHeight = 0;
    uint8_t CharWidth = 0;
    uint8_t CharHeight = 0;
    uint8_t ForegroundColorIndex = 0;
    uint8_t BackgroundColorIndex = 0;

    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;
    std::string ClassName() const override { return "TGIFTextExtension"; }

private:
    TStringList text_;
};

class TGIFCommentExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;
    explicit TGIFCommentExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}

    uint8_t ExtensionType() const override { return bsCommentExtension; }
    const TGIFExtensionClass& ClassType() const override { return Class; }

    TStringList& Comment() { return comment_; }
    const TStringList& Comment() const { return comment_; }

    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;
    std::string ClassName() const override { return "TGIFCommentExtension"; }

private:
    TStringList comment_;
};

// An application extension: a first subblock that normally holds the 8-byte
// application identifier and the 3-byte authentication code, then the
// application's data subblocks.  A first subblock of another size is kept
// as it was read, so that the block is written back unchanged.
class TGIFApplicationExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;
    explicit TGIFApplicationExtension(TGIFSubImage* frame);

    uint8_t ExtensionType() const override { return bsApplicationExtension; }
    const TGIFExtensionClass& ClassType() const override { return Class; }

    std::string Identifier() const;     // 8 bytes
    std::string Authentication() const; // 3 bytes
    // Both set the first subblock to the usual 11 bytes; longer texts are
    // cut, shorter ones padded with zeros.
    void SetIdentifier(const std::string& identifier);
    void SetAuthentication(const std::string& code);
    // Size of the first subblock as read (11 when made here).
    uint8_t BlockSize() const { return blockSize_; }

    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;
    virtual void SaveData(TStream& stream) = 0;
    virtual void LoadData(TStream& stream) = 0;

    std::string ClassName() const override { return "TGIFApplicationExtension"; }

protected:
    std::array<uint8_t, 11> identifier_{};

private:
    uint8_t blockSize_ = 11;
    std::vector<uint8_t> extra_; // first-subblock bytes beyond the 11th
};

using TGIFBlock = std::vector<uint8_t>;

// Any application extension this code does not understand: its data
// subblocks are kept byte for byte.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass Class;
    explicit TGIFUnknownAppExtension(TGIFSubImage* frame) : TGIFApplicationExtension(frame) {}
    const TGIFExtensionClass& ClassType() const override { return Class; }

    std::vector<TGIFBlock>& Blocks() { return blocks_; }
    const std::vector<TGIFBlock>& Blocks() const { return blocks_; }

    // Every block (a block of more than 255 bytes as several), then 0.
    void SaveData(TStream& stream) override;
    void LoadData(TStream& stream) override;
    std::string ClassName() const override { return "TGIFUnknownAppExtension"; }

private:
    std::vector<TGIFBlock> blocks_;
};

// Writes the blocks as data subblocks (a block of more than 255 bytes as
// several), then the terminator; reads each subblock into one block.
void WriteGIFBlocks(TStream& stream, const std::vector<TGIFBlock>& blocks);
void ReadGIFBlocks(TStream& stream, std::vector<TGIFBlock>& blocks);

// An extension whose label no class is registered for: its data subblocks
// are kept byte for byte and written back as they were.
class TGIFUnknownExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;
    TGIFUnknownExtension(TGIFSubImage* frame, uint8_t label) : TGIFExtension(frame), label_(label) {}

    uint8_t ExtensionType() const override { return label_; }
    const TGIFExtensionClass& ClassType() const override { return Class; }

    std::vector<TGIFBlock>& Blocks() { return blocks_; }
    const std::vector<TGIFBlock>& Blocks() const { return blocks_; }

    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;
    std::string ClassName() const override { return "TGIFUnknownExtension"; }

private:
    uint8_t label_;
    std::vector<TGIFBlock> blocks_;
};

// The loop-count extension ("NETSCAPE2.0", also read as "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass Class;
    explicit TGIFAppExtNSLoop(TGIFSubImage* frame);
    const TGIFExtensionClass& ClassType() const override { return Class; }

    // 0 means endless.
    uint16_t Loops = 0;
    // False for a block read without a loop-count subblock: it is written
    // back without one, so a file that plays once keeps playing once.
    bool HasLoopCount = true;
    uint32_t BufferSize = 0;

    void SaveData(TStream& stream) override;
    // A loop-count subblock shorter than its value raises "Invalid GIF
    // data".
    void LoadData(TStream& stream) override;
    std::string ClassName() const override { return "TGIFAppExtNSLoop"; }
};
