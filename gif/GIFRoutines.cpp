#include "gif/GIFRoutines.h"

#include "gif/GIFException.h"
#include "platform/base/SafeFile.h"

#include <algorithm>
#include <cstring>

int64_t BytesPerScanline(int64_t pixels, int bitsPerPixel, int alignment) {
    const int64_t bits = pixels * bitsPerPixel + alignment - 1;
    return (bits - bits % alignment) / 8;
}

int ColorsToBits(int count) {
    if (count <= 0)
        return 0;
    int bits = 1;
    while ((1 << bits) < count)
        ++bits;
    return bits;
}

TGIFPixels AllocateGIFPixels(int64_t size, uint8_t fill) {
    if (size <= 0)
        return nullptr;
    auto* block = static_cast<uint8_t*>(fill == 0 ? std::calloc(size_t(size), 1) : std::malloc(size_t(size)));
    if (!block)
        throw EOutOfMemory();
    if (fill != 0)
        std::memset(block, fill, size_t(size));
    return TGIFPixels(block);
}

bool TryReadGIFByte(TStream& stream, uint8_t& value) { return stream.Read(&value, 1) == 1; }

bool TryReadGIFBlockByte(TStream& stream, uint8_t& value) {
    while (TryReadGIFByte(stream, value))
        if (value != 0)
            return true;
    return false;
}

void ReadCheck(TStream& stream, void* buffer, int64_t count) {
    if (stream.ReadAvailable(buffer, count) < count)
        GIFError(sOutOfData);
}

void SkipCheck(TStream& stream, int64_t count) {
    uint8_t scratch[256];
    while (count > 0) {
        const int64_t piece = count < 256 ? count : 256;
        ReadCheck(stream, scratch, piece);
        count -= piece;
    }
}

void SaveGIFFile(const std::string& fileName, const std::function<void(TStream& stream)>& save) {
    TMemoryStream data;
    save(data);
    WriteFileReplacing(fileName, data.DataView());
}

void WriteSubblocks(TStream& stream, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t offset = 0; offset < size; offset += 255) {
        const size_t piece = std::min<size_t>(255, size - offset);
        stream.WriteByte(static_cast<uint8_t>(piece));
        stream.WriteBuffer(bytes + offset, static_cast<int64_t>(piece));
    }
}

int ReadSubblock(TStream& stream, uint8_t* block) {
    uint8_t length = 0;
    if (!TryReadGIFByte(stream, length))
        return 0;
    ReadCheck(stream, block, length);
    return length;
}

void WriteStrings(TStream& stream, const TStrings& strings) {
    for (int i = 0; i < strings.Count(); ++i) {
        const std::string text = strings.Strings(i);
        WriteSubblocks(stream, text.data(), text.size());
    }
    stream.WriteByte(0);
}

void ReadStrings(TStream& stream, TStrings& strings) {
    strings.Clear();
    uint8_t block[255];
    while (const int length = ReadSubblock(stream, block))
        strings.Add(std::string(reinterpret_cast<const char*>(block), size_t(length)));
}

void ReadDataSubblocks(TStream& stream, std::vector<uint8_t>& data, const TGIFWarningSink& warn) {
    for (;;) {
        uint8_t length = 0;
        if (!TryReadGIFByte(stream, length)) {
            warn(sOutOfData);
            return;
        }
        if (length == 0)
            return;
        const size_t at = data.size();
        data.resize(at + length);
        const int64_t got = stream.ReadAvailable(data.data() + at, length);
        if (got < length) {
            data.resize(at + size_t(got));
            warn(sOutOfData);
            return;
        }
    }
}
