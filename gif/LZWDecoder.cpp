#include "gif/LZWDecoder.h"

#include "gif/GIFException.h"
#include "gif/GIFRoutines.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kTableSize = 4096;
constexpr int kMaxCodeSize = 11; // the clear code plus two must fit the table

// Pulls codes of n bits, least significant bit first, out of the data.
class CodeReader {
public:
    CodeReader(std::span<const uint8_t> data, const TGIFWarningSink& warn) : data_(data), warn_(warn) {}

    // The next code, or -1 when the data has run out.
    int GetCode(int bits) {
        while (available_ < bits) {
            if (position_ >= data_.size()) {
                warn_(sBitBufferUnderrun);
                return -1;
            }
            buffer_ |= uint64_t(data_[position_++]) << available_;
            available_ += 8;
        }
        const int code = int(buffer_ & ((uint64_t(1) << bits) - 1));
        buffer_ >>= bits;
        available_ -= bits;
        return code;
    }

private:
    std::span<const uint8_t> data_;
    const TGIFWarningSink& warn_;
    size_t position_ = 0;
    uint64_t buffer_ = 0;
    int available_ = 0;
};

} // namespace

void PlaceInterlacedRows(const uint8_t* linear, int64_t decoded, uint8_t* pixels, int width, int height) {
    int64_t offset = 0;
    for (const TGIFInterlacePass& pass : GIFInterlacePasses)
        for (int row = pass.Start; row < height && offset < decoded; row += pass.Step) {
            const int64_t n = std::min<int64_t>(width, decoded - offset);
            std::memcpy(pixels + int64_t(row) * width, linear + offset, size_t(n));
            offset += n;
        }
}

int64_t DecodeLZW(int minCodeSize, std::span<const uint8_t> data, std::span<uint8_t> pixels,
                  const TGIFWarningSink& warn) {
    if (minCodeSize == 0 || minCodeSize > kMaxCodeSize) {
        warn(sInvalidLZWCodeSize);
        return 0;
    }
    CodeReader reader(data, warn);
    const int initialSize = minCodeSize;
    const int64_t total = int64_t(pixels.size());
    uint8_t* const out = pixels.data();
    int64_t done = 0;

    const int clearCode = 1 << initialSize;
    const int endCode = clearCode + 1;

    // The string table as prefix links and last bytes.  Beside it, for
    // each entry whose string is known to stand in the output already, where
    // it stands: a code then costs one copy instead of a walk along its
    // prefix chain.  The walk remains for entries made from damaged data,
    // and it alone can meet a chain that runs in a circle.
    uint16_t prefix[kTableSize];
    uint8_t suffix[kTableSize];
    uint32_t seenAt[kTableSize];
    uint16_t seenLength[kTableSize]; // 0: not known
    // A string walked backwards from its end; the longest chain the table
    // can hold is kTableSize entries, plus one for the repeated first byte.
    uint8_t string[kTableSize + 2];

    int codeSize = 0;
    int maxCode = 0;
    int nextFree = 0;
    int oldCode = 0;
    int64_t oldAt = 0;     // where the previous code's string starts
    int oldLength = 0;     // its length when it is the table's string, else 0
    uint8_t firstByte = 0;
    bool afterClear = true;

    auto reset = [&] {
        for (int i = 0; i < clearCode; ++i) {
            prefix[i] = 0;
            suffix[i] = uint8_t(i);
        }
        std::memset(prefix + clearCode, 0, sizeof(prefix[0]) * size_t(kTableSize - clearCode));
        std::memset(suffix + clearCode, 0, size_t(kTableSize - clearCode));
        std::memset(seenLength, 0, sizeof(seenLength));
        codeSize = initialSize + 1;
        maxCode = 2 * clearCode;
        nextFree = clearCode + 2;
        afterClear = true;
    };
    reset();

    auto emitCode = [&](const uint8_t* bytes, int64_t length) {
        const int64_t n = std::min(length, total - done);
        std::memcpy(out + done, bytes, size_t(n));
        done += n;
    };

    while (done < total) {
        int code = reader.GetCode(codeSize);
        if (code < 0 || code == endCode)
            break;
        if (code == clearCode) {
            reset();
            continue;
        }
        if (afterClear) {
            // The first code after a clear starts the table's string chain
            // and is taken as it stands.
            afterClear = false;
            oldCode = code;
            firstByte = uint8_t(code);
            oldAt = done;
            oldLength = code < clearCode ? 1 : 0;
            out[done++] = firstByte;
            continue;
        }
        if (code > nextFree) {
            warn(sInvalidLZWCode);
            break;
        }
        const int64_t at = done;
        int length = 0; // of the string just written, when it is the table's
        if (code < clearCode) {
            firstByte = suffix[code];
            out[done++] = firstByte;
            length = 1;
        } else if (code < nextFree && seenLength[code] != 0) {
            firstByte = out[seenAt[code]];
            length = seenLength[code];
            emitCode(out + seenAt[code], length);
        } else if (code == nextFree && oldLength != 0) {
            // The string being defined: the previous one plus its own first
            // byte.  Both stand just before the output position.
            emitCode(out + oldAt, oldLength);
            if (done < total)
                out[done++] = firstByte;
            length = oldLength + 1;
        } else {
            int top = kTableSize + 2;
            int walk = code;
            if (walk == nextFree) {
                string[--top] = firstByte;
                walk = oldCode;
            }
            int steps = 0;
            while (walk >= clearCode) {
                const int link = prefix[walk];
                if (link == walk || ++steps >= kTableSize)
                    GIFError(sCircularTable);
                string[--top] = suffix[walk];
                walk = link;
            }
            firstByte = suffix[walk];
            string[--top] = firstByte;
            emitCode(string + top, kTableSize + 2 - top);
            // A string walked from the table is the table's string, except
            // where it leans on a first code that was not a plain pixel.
            length = (code == nextFree) ? 0 : kTableSize + 2 - top;
        }
        if (nextFree < kTableSize) {
            prefix[nextFree] = uint16_t(oldCode);
            suffix[nextFree] = firstByte;
            // The new entry is the previous string and the first byte of
            // this one, which follows it in the output.
            if (oldLength != 0 && oldLength < kTableSize) {
                seenAt[nextFree] = uint32_t(oldAt);
                seenLength[nextFree] = uint16_t(oldLength + 1);
            }
            if (++nextFree >= maxCode && maxCode < kTableSize) {
                maxCode *= 2;
                ++codeSize;
            }
        }
        oldCode = code;
        oldAt = at;
        oldLength = length;
    }
    return done;
}
