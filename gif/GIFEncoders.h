#pragma once
// Writing a frame's pixels as GIF image data: the minimum code size, the
// codes packed into data subblocks, and the zero terminator.  Two encoders
// share one base: a classic LZW string-table encoder and a run-length
// encoder whose output every GIF decoder reads as LZW but which needs no
// string table.  A pure unit over a pixel buffer and the stream written.

#include "platform/base/Stream.h"

#include <cstdint>
#include <memory>

enum TGIFCompression : uint8_t {
    gcLZW = 0,
    gcRLE = 1,
};

// Packs bytes into data subblocks of up to 255 bytes on the target stream.
class TGIFWriter : public TStream {
public:
    explicit TGIFWriter(TStream& target) : target_(target) {}

    void Put(uint8_t value) {
        buffer_[fill_++] = value;
        if (fill_ == 256)
            FlushBuffer();
    }
    // Writes the bytes held as one subblock.
    void FlushBuffer();
    // Writes the last, partial subblock; nothing when no byte is waiting.
    void Finish() {
        if (fill_ > 1)
            FlushBuffer();
    }

    int64_t Write(const void* buffer, int64_t count) override;
    // The subblock writer only writes: reading and seeking raise
    // "Invalid stream operation".
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;

private:
    TStream& target_;
    uint8_t buffer_[256] = {}; // byte 0 is the subblock length
    int fill_ = 1;
};

// The LZW string table: an open-addressing hash with linear probing, each
// slot holding a 20-bit key (prefix code and next byte) beside its 12-bit
// code.  It never holds more than 4096 entries in its 8192 slots, so every
// probe ends at the key or at a free slot.  The key 0xFFFFF (prefix 4095)
// marks a free slot and cannot be stored; the encoder never makes it.
class THashTable {
public:
    static constexpr int Size = 8192;

    THashTable() { Clear(); }
    void Clear();
    void Insert(uint32_t key, int code);
    // The code stored for the key, or -1.
    int Lookup(uint32_t key) const {
        int slot;
        return Find(key, slot);
    }
    // As Lookup; when the key is missing, `slot` is where Insert would put
    // it, so that InsertAt can store it without probing again.
    int Find(uint32_t key, int& slot) const {
        slot = HomeSlot(key);
        const uint32_t wanted = key << 12;
        for (;;) {
            const uint32_t entry = slots_[slot];
            if ((entry & KeyMask) == KeyMask)
                return -1;
            if ((entry & KeyMask) == wanted)
                return int(entry & 0xFFF);
            slot = (slot + 1) & (Size - 1);
        }
    }
    void InsertAt(int slot, uint32_t key, int code) { slots_[slot] = (key << 12) | uint32_t(code & 0xFFF); }

    // A multiplicative hash: cheap, as it lies on the encoder's critical
    // path, and it spreads keys that differ only in their high bits.
    static int HomeSlot(uint32_t key) { return int((key * 0x9E3779B1u) >> 19); }

private:
    static constexpr uint32_t KeyMask = 0xFFFFF000u; // all ones: an empty slot
    uint32_t slots_[Size];
};

class TGIFEncoder {
public:
    virtual ~TGIFEncoder() = default;
    // bits: bits per pixel of the colour table; colors: how many colours
    // the pixels may use.
    void Encode(TStream& stream, int bits, int colors, const uint8_t* pixels, bool interlaced, int height,
                int width);

protected:
    virtual void Output(int code);
    virtual void Clear();
    virtual void Compress() = 0;

    // Moves to the next pixel in writing order (rows in interlace order
    // when interlaced); false after the last.
    bool BumpPixel() {
        if (--pixelsLeft_ > 0) {
            ++pixel_;
            return true;
        }
        return nextRow();
    }
    // The current pixel, checked against the colour count.
    int CurrentPixel() const {
        const int value = *pixel_;
        if (value >= colorCount_)
            refusePixel();
        return value;
    }

    int colorCount_ = 0;
    int initialCodeSize_ = 0;
    int initialBits_ = 0;
    int codeSize_ = 0;
    int maxCode_ = 0;
    int clearCode_ = 0;
    int endCode_ = 0;
    int baseCode_ = 0;
    bool clearFlag_ = false;

private:
    bool nextRow();
    [[noreturn]] static void refusePixel();

    std::unique_ptr<TGIFWriter> writer_;
    uint64_t accumulator_ = 0;
    int bitCount_ = 0;
    const uint8_t* pixels_ = nullptr;
    const uint8_t* pixel_ = nullptr;
    int64_t pixelsLeft_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool interlaced_ = false;
    int row_ = 0;
    int pass_ = 0;
};

class TLZWEncoder : public TGIFEncoder {
protected:
    void Output(int code) override;
    void Clear() override;
    void Compress() override;

private:
    std::unique_ptr<THashTable> table_;
    int nextFree_ = 0;
};

class TRLEEncoder : public TGIFEncoder {
protected:
    void Clear() override;
    void Compress() override;

private:
    void emitCode(int code);
    void flushRun(int count);
    void flushFromClear(int count);
    void flushClearOrRepeat(int count);
    void flushWithTable(int count);
    void resetOutClear();

    int runPixel_ = -1;
    int runCount_ = 0;
    int tableMax_ = 0;
    int tablePixel_ = 0;
    int outCount_ = 0;
    int outBump_ = 0;
    int outClear_ = 0;
    int outClearInit_ = 0;
    int outBumpInit_ = 0;
    int maxOutCodes_ = 0;
};

// Cost in codes of a run of `count` pixels written with a run table that
// grows one code per run length, starting again every `maxCodes` codes.
int RunTriangleCost(int count, int maxCodes);
// Integer square root, rounded down.
int64_t IntegerSqrt(int64_t value);

// Writes `width` x `height` pixels (nullptr: an empty frame) with the
// encoder the compression names.  A pixel at or beyond `colors` raises
// "Color not in color table".
void EncodeGIFPixels(TGIFCompression compression, TStream& stream, int bits, int colors, const uint8_t* pixels,
                     bool interlaced, int height, int width);
