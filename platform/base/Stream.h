#pragma once
// Byte streams: the one abstraction through which documents, GIF files and
// streamed component properties are read and written.

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// Integers stored low byte first, whatever the machine: the byte order of
// streamed properties, GIF files and the memo's snapshot.  TNumber is any
// integer type of 1 to 8 bytes; a signed one is its two's complement.
template <class TNumber>
TNumber LoadLittleEndian(const void* bytes) {
    static_assert(std::is_integral_v<TNumber> && sizeof(TNumber) <= 8);
    const auto* p = static_cast<const uint8_t*>(bytes);
    uint64_t value = 0;
    for (size_t i = sizeof(TNumber); i-- > 0;)
        value = value << 8 | p[i];
    return static_cast<TNumber>(value);
}

template <class TNumber>
void StoreLittleEndian(void* bytes, TNumber value) {
    static_assert(std::is_integral_v<TNumber> && sizeof(TNumber) <= 8);
    auto* p = static_cast<uint8_t*>(bytes);
    const auto bits = static_cast<uint64_t>(value);
    for (size_t i = 0; i < sizeof(TNumber); ++i)
        p[i] = static_cast<uint8_t>(bits >> (8 * i));
}

// Appends value's bytes, low byte first, to a buffer being built.
template <class TNumber>
void AppendLittleEndian(std::string& out, TNumber value) {
    char bytes[sizeof(TNumber)];
    StoreLittleEndian(bytes, value);
    out.append(bytes, sizeof bytes);
}

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    // Writes up to count bytes; returns how many were written.
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t size);

    // Reads until count bytes are in or the stream has no more, however
    // few bytes each Read delivers; returns how many were read.
    int64_t ReadAvailable(void* buffer, int64_t count);
    // Exactly count bytes or EReadError / EWriteError.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies count bytes from source (the whole of source when count is 0,
    // after rewinding it); returns the number copied.
    int64_t CopyFrom(TStream& source, int64_t count);

    uint8_t ReadByte();
    void WriteByte(uint8_t value);

    // A little-endian integer of TNumber's width; ReadLittleEndian raises
    // EReadError when the stream ends first.
    template <class TNumber>
    TNumber ReadLittleEndian() {
        uint8_t bytes[sizeof(TNumber)];
        ReadBuffer(bytes, sizeof bytes);
        return LoadLittleEndian<TNumber>(bytes);
    }
    template <class TNumber>
    void WriteLittleEndian(TNumber value) {
        uint8_t bytes[sizeof(TNumber)];
        StoreLittleEndian(bytes, value);
        WriteBuffer(bytes, sizeof bytes);
    }
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }
    void SetSize(int64_t size) override;

    void Clear();
    const uint8_t* Memory() const { return data_.data(); }
    uint8_t* Memory() { return data_.data(); }
    void LoadFromStream(TStream& source);
    void SaveToStream(TStream& target);
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    std::string DataString() const { return std::string(data_.begin(), data_.end()); }
    // The bytes without a copy, valid until the stream next changes.
    std::string_view DataView() const {
        return std::string_view(reinterpret_cast<const char*>(data_.data()), data_.size());
    }

private:
    std::vector<uint8_t> data_;
    int64_t position_ = 0;
};

// A read-only stream over bytes owned by someone else.
class TReadOnlyMemoryStream : public TStream {
public:
    TReadOnlyMemoryStream(const void* data, int64_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }

private:
    const uint8_t* data_;
    int64_t size_;
    int64_t position_ = 0;
};

// Open modes of TFileStream.
enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmCreate = 0xFF00,
};

// A stream over a file.  File names are the file system's bytes.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
    int fd_ = -1;
};
