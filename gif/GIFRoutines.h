#pragma once
// Small routines the GIF reader, writer and frames share: row and colour
// depth arithmetic, pixel buffers, 16-bit fields, byte reads that tell the
// end of the data apart, saving to a file, and data subblocks with the
// texts stored in them.  Plain writes go through TStream.

#include "platform/base/Stream.h"
#include "platform/base/Strings.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Where the codecs send the problems they survive (one of the fixed texts
// of GIFException.h); the image passes them on to its OnWarning handler.
using TGIFWarningSink = std::function<void(const char* message)>;

// Bytes in a row of `pixels` pixels of `bitsPerPixel` bits, padded to a
// multiple of `alignment` bits.  Computed in 64 bits.
int64_t BytesPerScanline(int64_t pixels, int bitsPerPixel, int alignment);

// Bits needed to index `count` colours: 0 for none, 1 for one or two,
// otherwise the smallest n with 2^n >= count.
int ColorsToBits(int count);

// The passes in which an interlaced frame stores its rows: each starts at
// row Start and takes every Step-th row from there.
struct TGIFInterlacePass {
    int Start;
    int Step;
};
inline constexpr TGIFInterlacePass GIFInterlacePasses[4] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};

// A block of pixels, one colour index per byte.  It comes from the C heap
// (see AllocateGIFPixels) and goes back there.
struct TGIFPixelsFree {
    void operator()(uint8_t* block) const { std::free(block); }
};
using TGIFPixels = std::unique_ptr<uint8_t, TGIFPixelsFree>;

// `size` pixels, every one set to `fill`; no block for a size of 0.  A fill
// of 0 leaves a large block to the system's untouched zero pages, so that a
// big frame whose data runs out early costs little.  Raises EOutOfMemory
// when the system has no room.
TGIFPixels AllocateGIFPixels(int64_t size, uint8_t fill);

// The largest 16-bit number of a GIF stream (numbers are stored low byte
// first: see LoadLittleEndian in platform/base/Stream.h): the limit of the
// logical screen's sides and of where a frame may reach.
inline constexpr int GIFMaxWord = 65535;

// One byte into `value`; false (and `value` untouched) at the end.
bool TryReadGIFByte(TStream& stream, uint8_t& value);
// The next byte that is not one of the zero bytes some writers leave
// between blocks, into `value`; false at the end.
bool TryReadGIFBlockByte(TStream& stream, uint8_t& value);

// Reads exactly `count` bytes; fewer raise GIFException "Premature end of
// data".
void ReadCheck(TStream& stream, void* buffer, int64_t count);
// Skips exactly `count` bytes by reading them, so that a skip past the end
// is noticed the same way.
void SkipCheck(TStream& stream, int64_t count);

// Replaces the file by what `save` writes to the stream it is given.  The
// stream is made whole in memory first: a save that fails on the way (no
// frames, a pixel beyond its colour table) leaves the old file as it was,
// and so does a disk that fills up.
void SaveGIFFile(const std::string& fileName, const std::function<void(TStream& stream)>& save);

// Writes `size` bytes as data subblocks of at most 255 bytes each, without
// the terminator, so that several pieces of data can follow one another.
void WriteSubblocks(TStream& stream, const void* data, size_t size);
// Reads the next data subblock into `block` (room for 255 bytes) and
// returns its length: 0 at the zero length byte or at the end of the
// stream.  A subblock that the data cuts short raises "Premature end of
// data".
int ReadSubblock(TStream& stream, uint8_t* block);

// Writes the texts as data subblocks: each text cut into pieces of at most
// 255 bytes, the pieces of consecutive texts following one another, then
// one zero byte.  An empty text writes nothing.
void WriteStrings(TStream& stream, const TStrings& strings);
// Reads data subblocks up to the zero length byte (or the end of the
// stream); each subblock becomes one text, byte for byte, so that writing
// the list again gives the same subblocks.  A text may hold any byte, zero
// included.
void ReadStrings(TStream& stream, TStrings& strings);

// Appends the bytes of the data subblocks at the stream's position to
// `data`, up to and including the zero terminator.  A subblock that the
// stream cuts short, or data that ends without its terminator, warns
// "Premature end of data" and keeps what was there.
void ReadDataSubblocks(TStream& stream, std::vector<uint8_t>& data, const TGIFWarningSink& warn);
