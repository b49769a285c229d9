#pragma once
// Helpers shared by the GIF suites: building GIF bytes by hand, collecting
// warnings, the outside files and giflib as an independent reader.

#include "GIFFiles.h"
#include "GIFFrames.h"

#include "gif/GIFException.h"
#include "gif/GIFImage.h"
#include "tests/platform/base/BaseTestSupport.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Collects the warnings of one image, from construction or from Attach on.
struct WarningLog {
    std::vector<std::string> Messages;
    WarningLog() = default;
    explicit WarningLog(TGIFImage& image) { Attach(image); }
    // The image's handler points at this log.
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;
    void Attach(TGIFImage& image) {
        image.OnWarning = [this](TPersistent*, int, const std::string& message) { Messages.push_back(message); };
    }
    bool Has(const std::string& message) const;
    std::string Joined() const;
};

// The message of the GIFException the action raises (any other exception
// goes on to the test).
inline std::string GIFErrorOf(const std::function<void()>& action) { return MessageOf<GIFException>(action); }

// Packs LZW codes the way GIF stores them, least significant bit first.
class CodeWriter {
public:
    void Put(int code, int bits);
    // The packed bytes, the last one padded with zeros.
    Bytes Finish() const;

private:
    Bytes bytes_;
    uint32_t buffer_ = 0;
    int count_ = 0;
};

// Cuts data into subblocks of the given sizes (the last size repeats) and
// appends the zero terminator.
Bytes Subblocks(const Bytes& data, const std::vector<int>& sizes = {255}, bool terminate = true);

// A plain reference LZW encoder written for the tests: every pixel string
// looked up in a map, a clear code when the table is full.  Returns the
// code stream with the code size of each code.
struct CodedStream {
    std::vector<int> Codes;
    std::vector<int> Sizes;
};
CodedStream ReferenceLZW(const Bytes& pixels, int minCodeSize, bool deferClear = false);
Bytes Pack(const CodedStream& coded);

// A GIF file by hand: logical screen with a global table of `colors`
// entries (0 = none), then the given raw blocks, then the trailer.
Bytes GifWithBlocks(int width, int height, int colors, const Bytes& blocks, bool trailer = true);
// An image descriptor (and local table of `localColors` entries, 0 =
// none) followed by the minimum code size and the data.
Bytes ImageBlock(int left, int top, int width, int height, bool interlaced, int localColors, int minCodeSize,
                 const Bytes& data);

// A 2 x 2 frame of pixels 0, 1, 1, 0: its LZW data (code size 2, in
// subblocks) and the whole image block, for a GIF of 4 colours.
Bytes TinyImageData();
Bytes TinyImage();

void Append(Bytes& to, const Bytes& more);

// What giflib makes of a GIF file.
struct OracleFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlaced = false;
    std::vector<uint32_t> LocalColors; // 0x00BBGGRR
    Bytes Pixels;
    bool HasControl = false;
    int Disposal = 0;
    int Delay = 0;
    int TransparentIndex = -1;
    std::vector<std::string> Comments;
    int Loops = -1; // -1: no loop extension before this frame
};
struct OracleImage {
    bool Ok = false;
    int Width = 0, Height = 0;
    std::vector<uint32_t> GlobalColors;
    std::vector<OracleFrame> Frames;
    std::vector<std::string> TrailingComments;
};
OracleImage GiflibRead(const Bytes& bytes);

// The colour of a frame's pixel through its active colour table.
uint32_t ActiveColor(TGIFSubImage& frame, uint8_t index);

// An animation written with giflib (an independent writer): a logical
// screen with a global table and random frames of the given disposals
// (some transparent, some with local tables, some interlaced), made from
// the seed.
struct MadeFrame {
    int Left = 0, Top = 0, Width = 1, Height = 1;
    int Disposal = 0;
    int Delay = 0;
    int TransparentIndex = -1;
    bool Interlaced = false;
    std::vector<uint32_t> LocalColors; // 0x00BBGGRR; empty: the global table
    Bytes Pixels;
};
Bytes GiflibWrite(int width, int height, const std::vector<uint32_t>& globalColors, const std::vector<MadeFrame>& frames,
                  int loops = -1);
Bytes RandomAnimation(uint32_t seed, std::initializer_list<int> disposals);

// The outside files with more than one frame, and animations made with
// giflib for the disposal methods and transparency they lack.
std::vector<std::pair<std::string, Bytes>> AnimatedSamples();
