#include "gif/GIFEncoders.h"

#include "gif/GIFException.h"
#include "gif/GIFRoutines.h"

#include <algorithm>
#include <cstring>
#include <iterator>

// ---- TGIFWriter ----

void TGIFWriter::FlushBuffer() {
    buffer_[0] = uint8_t(fill_ - 1);
    target_.WriteBuffer(buffer_, fill_);
    fill_ = 1;
}

int64_t TGIFWriter::Write(const void* buffer, int64_t count) {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    for (int64_t i = 0; i < count; ++i)
        Put(bytes[i]);
    return count < 0 ? 0 : count;
}

int64_t TGIFWriter::Read(void*, int64_t) { throw Exception("Invalid stream operation"); }

int64_t TGIFWriter::Seek(int64_t, TSeekOrigin) { throw Exception("Invalid stream operation"); }

// ---- THashTable ----

void THashTable::Clear() { std::memset(slots_, 0xFF, sizeof(slots_)); }

void THashTable::Insert(uint32_t key, int code) {
    int slot;
    if (Find(key, slot) < 0)
        InsertAt(slot, key, code);
}

// ---- TGIFEncoder ----

void TGIFEncoder::Encode(TStream& stream, int bits, int colors, const uint8_t* pixels, bool interlaced, int height,
                         int width) {
    colorCount_ = colors;
    initialCodeSize_ = std::max(bits, 2);
    initialBits_ = initialCodeSize_ + 1;
    stream.WriteByte(uint8_t(initialCodeSize_));
    codeSize_ = initialBits_;
    maxCode_ = (1 << initialBits_) - 1;
    clearCode_ = 1 << initialCodeSize_;
    endCode_ = clearCode_ + 1;
    baseCode_ = clearCode_ + 2;
    clearFlag_ = false;
    accumulator_ = 0;
    bitCount_ = 0;
    pixels_ = pixel_ = pixels;
    width_ = width;
    height_ = height;
    interlaced_ = interlaced;
    pixelsLeft_ = interlaced ? width : int64_t(width) * height;
    row_ = 0;
    pass_ = 0;
    writer_ = std::make_unique<TGIFWriter>(stream);
    if (pixels && height >= 1 && width >= 1)
        Compress();
    Output(endCode_);
    writer_->Finish();
    writer_.reset();
    stream.WriteByte(0);
}

void TGIFEncoder::Output(int code) {
    accumulator_ |= uint64_t(code) << bitCount_;
    bitCount_ += codeSize_;
    while (bitCount_ >= 8) {
        writer_->Put(uint8_t(accumulator_));
        accumulator_ >>= 8;
        bitCount_ -= 8;
    }
    if (code == endCode_) {
        while (bitCount_ > 0) {
            writer_->Put(uint8_t(accumulator_));
            accumulator_ >>= 8;
            bitCount_ -= 8;
        }
        bitCount_ = 0;
        accumulator_ = 0;
    }
}

void TGIFEncoder::Clear() {
    clearFlag_ = true;
    Output(clearCode_);
}

bool TGIFEncoder::nextRow() {
    if (!interlaced_)
        return false;
    pixelsLeft_ = width_;
    row_ += GIFInterlacePasses[pass_].Step;
    while (row_ >= height_) {
        if (++pass_ >= int(std::size(GIFInterlacePasses)))
            return false;
        row_ = GIFInterlacePasses[pass_].Start;
    }
    pixel_ = pixels_ + int64_t(row_) * width_;
    return true;
}

void TGIFEncoder::refusePixel() { GIFError(sColorNotInTable); }

// ---- TLZWEncoder ----

void TLZWEncoder::Output(int code) {
    TGIFEncoder::Output(code);
    if (nextFree_ > maxCode_ || clearFlag_) {
        if (clearFlag_) {
            codeSize_ = initialBits_;
            maxCode_ = (1 << codeSize_) - 1;
            clearFlag_ = false;
        } else {
            ++codeSize_;
            maxCode_ = codeSize_ >= 12 ? 4096 : (1 << codeSize_) - 1;
        }
    }
}

void TLZWEncoder::Clear() {
    TGIFEncoder::Clear();
    table_->Clear();
    nextFree_ = clearCode_ + 2;
}

void TLZWEncoder::Compress() {
    table_ = std::make_unique<THashTable>();
    Clear();
    int prefix = CurrentPixel();
    THashTable& table = *table_;
    // Calls within the loop name their class, so that the hot path runs
    // without virtual dispatch.
    while (BumpPixel()) {
        const int c = CurrentPixel();
        const uint32_t key = (uint32_t(prefix) << 8) | uint32_t(c);
        int slot;
        const int code = table.Find(key, slot);
        if (code >= 0) {
            prefix = code;
            continue;
        }
        TLZWEncoder::Output(prefix);
        prefix = c;
        // Code 4095 is never given out: a clear comes first.
        if (nextFree_ >= 4095) {
            TLZWEncoder::Clear();
        } else {
            table.InsertAt(slot, key, nextFree_);
            ++nextFree_;
        }
    }
    TLZWEncoder::Output(prefix);
    table_.reset();
}

// ---- TRLEEncoder ----

int64_t IntegerSqrt(int64_t value) {
    if (value < 2)
        return value < 0 ? 0 : value;
    int64_t root = 1;
    for (int64_t v = value; v > 0; v /= 4)
        root *= 2; // a first guess at or above the root
    for (;;) {
        const int64_t next = (value / root + root) / 2;
        if (next >= root)
            break;
        root = next;
    }
    return root;
}

int RunTriangleCost(int count, int maxCodes) {
    const int64_t perRepeat = int64_t(maxCodes) * (maxCodes + 1) / 2;
    int64_t n = count;
    int64_t cost = 0;
    if (perRepeat > 0) {
        while (n >= perRepeat) {
            cost += maxCodes;
            n -= perRepeat;
        }
    }
    if (n > 0) {
        int64_t s = IntegerSqrt(n);
        while (s > 0 && s * (s + 1) >= 2 * n)
            --s;
        while (s * (s + 1) < 2 * n)
            ++s;
        cost += s;
    }
    return int(cost);
}

void TRLEEncoder::emitCode(int code) {
    clearFlag_ = false;
    Output(code);
    ++outCount_;
    if (outCount_ >= outBump_) {
        ++codeSize_;
        outBump_ += 1 << (codeSize_ - 1);
    }
    if (outCount_ >= outClear_)
        Clear();
}

void TRLEEncoder::Clear() {
    outBump_ = outBumpInit_;
    outClear_ = outClearInit_;
    outCount_ = 0;
    tableMax_ = 0;
    TGIFEncoder::Clear();
    codeSize_ = initialBits_;
}

void TRLEEncoder::resetOutClear() {
    outClear_ = outClearInit_;
    if (outCount_ >= outClear_)
        Clear();
}

void TRLEEncoder::flushFromClear(int count) {
    outClear_ = maxOutCodes_;
    tablePixel_ = runPixel_;
    int n = 1;
    while (count > 0) {
        if (n == 1) {
            tableMax_ = 1;
            emitCode(runPixel_);
            count -= 1;
        } else if (count >= n) {
            tableMax_ = n;
            emitCode(baseCode_ + n - 2);
            count -= n;
        } else {
            ++tableMax_;
            emitCode(count == 1 ? runPixel_ : baseCode_ + count - 2);
            count = 0;
        }
        n = outCount_ == 0 ? 1 : n + 1;
    }
    resetOutClear();
}

void TRLEEncoder::flushClearOrRepeat(int count) {
    if (count > 1 + RunTriangleCost(count, maxOutCodes_)) {
        Clear();
        flushFromClear(count);
        return;
    }
    for (; count > 0; --count)
        emitCode(runPixel_);
}

void TRLEEncoder::flushWithTable(int count) {
    int repeats = count / tableMax_;
    int leftover = count % tableMax_;
    int extra = leftover ? 1 : 0;
    if (outCount_ + repeats + extra > maxOutCodes_) {
        repeats = maxOutCodes_ - outCount_;
        leftover = count - repeats * tableMax_;
        extra = 1 + RunTriangleCost(leftover, maxOutCodes_);
    }
    if (1 + RunTriangleCost(count, maxOutCodes_) < repeats + extra) {
        Clear();
        flushFromClear(count);
        return;
    }
    outClear_ = maxOutCodes_;
    for (; repeats > 0; --repeats)
        emitCode(baseCode_ + tableMax_ - 2);
    if (leftover > 0) {
        if (clearFlag_)
            flushFromClear(leftover);
        else if (leftover == 1)
            emitCode(runPixel_);
        else
            emitCode(baseCode_ + leftover - 2);
    }
    resetOutClear();
}

void TRLEEncoder::flushRun(int count) {
    if (count == 1) {
        emitCode(runPixel_);
        return;
    }
    if (clearFlag_)
        flushFromClear(count);
    else if (tableMax_ < 2 || tablePixel_ != runPixel_)
        flushClearOrRepeat(count);
    else
        flushWithTable(count);
}

void TRLEEncoder::Compress() {
    outBumpInit_ = clearCode_ - 1;
    outClearInit_ = initialCodeSize_ <= 3 ? 9 : clearCode_ - 2;
    maxOutCodes_ = 4095 - baseCode_;
    Clear();
    runPixel_ = -1;
    runCount_ = 0;
    do {
        const int c = CurrentPixel();
        if (runCount_ > 0 && c != runPixel_) {
            flushRun(runCount_);
            runCount_ = 0;
        }
        if (c != runPixel_) {
            runPixel_ = c;
            runCount_ = 1;
        } else {
            ++runCount_;
        }
    } while (BumpPixel());
    if (runCount_ > 0)
        flushRun(runCount_);
}

void EncodeGIFPixels(TGIFCompression compression, TStream& stream, int bits, int colors, const uint8_t* pixels,
                     bool interlaced, int height, int width) {
    if (compression == gcRLE) {
        TRLEEncoder encoder;
        encoder.Encode(stream, bits, colors, pixels, interlaced, height, width);
    } else {
        TLZWEncoder encoder;
        encoder.Encode(stream, bits, colors, pixels, interlaced, height, width);
    }
}
