#include "platform/base/Stream.h"

#include "platform/base/Exceptions.h"
#include "platform/base/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The two memory streams read and seek alike over their block of size
// bytes.  A seek may go past the end (a write there fills the gap), never
// before the start.
int64_t readFromBlock(const uint8_t* data, int64_t size, int64_t& position, void* buffer, int64_t count) {
    if (count <= 0 || position >= size)
        return 0;
    int64_t n = std::min(count, size - position);
    std::memcpy(buffer, data + position, static_cast<size_t>(n));
    position += n;
    return n;
}

int64_t seekInBlock(int64_t size, int64_t& position, int64_t offset, TSeekOrigin origin) {
    switch (origin) {
    case TSeekOrigin::soBeginning: position = offset; break;
    case TSeekOrigin::soCurrent: position += offset; break;
    case TSeekOrigin::soEnd: position = size + offset; break;
    }
    if (position < 0)
        position = 0;
    return position;
}

} // namespace

int64_t TStream::Size() {
    int64_t position = Seek(0, TSeekOrigin::soCurrent);
    int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(position, TSeekOrigin::soBeginning);
    return size;
}

void TStream::SetSize(int64_t) {}

int64_t TStream::ReadAvailable(void* buffer, int64_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    int64_t total = 0;
    while (total < count) {
        const int64_t got = Read(out + total, count - total);
        if (got <= 0)
            break;
        total += got;
    }
    return total;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (ReadAvailable(buffer, count) < count)
        throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    const auto* in = static_cast<const uint8_t*>(buffer);
    while (count > 0) {
        int64_t put = Write(in, count);
        if (put <= 0)
            throw EWriteError();
        in += put;
        count -= put;
    }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    const int64_t total = count;
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<int64_t>(count, 1 << 16)) + 1);
    while (count > 0) {
        int64_t n = std::min<int64_t>(count, static_cast<int64_t>(chunk.size()));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        count -= n;
    }
    return total;
}

uint8_t TStream::ReadByte() {
    uint8_t value;
    ReadBuffer(&value, 1);
    return value;
}

void TStream::WriteByte(uint8_t value) { WriteBuffer(&value, 1); }

// ---- TMemoryStream ----

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    return readFromBlock(data_.data(), Size(), position_, buffer, count);
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0)
        return 0;
    if (position_ + count > Size()) {
        try {
            if (data_.capacity() < static_cast<size_t>(position_ + count))
                data_.reserve(std::max<size_t>(static_cast<size_t>(position_ + count),
                                               data_.capacity() + data_.capacity() / 2));
            data_.resize(static_cast<size_t>(position_ + count));
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory();
        }
    }
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    return seekInBlock(Size(), position_, offset, origin);
}

void TMemoryStream::SetSize(int64_t size) {
    try {
        data_.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    if (position_ > size)
        position_ = size;
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    int64_t size = source.Size();
    SetSize(size);
    if (size > 0)
        source.ReadBuffer(data_.data(), size);
    position_ = 0;
}

void TMemoryStream::SaveToStream(TStream& target) {
    if (!data_.empty())
        target.WriteBuffer(data_.data(), Size());
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead);
    LoadFromStream(file);
}

// The file is replaced whole or not at all.
void TMemoryStream::SaveToFile(const std::string& fileName) { WriteFileReplacing(fileName, DataView()); }

// ---- TReadOnlyMemoryStream ----

int64_t TReadOnlyMemoryStream::Read(void* buffer, int64_t count) {
    return readFromBlock(data_, size_, position_, buffer, count);
}

int64_t TReadOnlyMemoryStream::Write(const void*, int64_t) { return 0; }

int64_t TReadOnlyMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    return seekInBlock(size_, position_, offset, origin);
}

// ---- TFileStream ----

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName) {
    if (mode == fmCreate) {
        fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0)
            throw EFCreateError(fileName, std::strerror(errno));
        return;
    }
    int flags = O_CLOEXEC;
    switch (mode & 0x3) {
    case fmOpenWrite: flags |= O_WRONLY; break;
    case fmOpenReadWrite: flags |= O_RDWR; break;
    default: flags |= O_RDONLY; break;
    }
    fd_ = ::open(fileName.c_str(), flags);
    if (fd_ < 0)
        throw EFOpenError(fileName, std::strerror(errno));
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw EFOpenError(fileName, std::strerror(EISDIR));
    }
}

TFileStream::~TFileStream() {
    if (fd_ >= 0)
        ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    if (count <= 0)
        return 0;
    for (;;) {
        ssize_t got = ::read(fd_, buffer, static_cast<size_t>(count));
        if (got < 0 && errno == EINTR)
            continue;
        return got < 0 ? 0 : got;
    }
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (count <= 0)
        return 0;
    for (;;) {
        ssize_t put = ::write(fd_, buffer, static_cast<size_t>(count));
        if (put < 0 && errno == EINTR)
            continue;
        return put < 0 ? 0 : put;
    }
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                 : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                    : SEEK_END;
    off_t result = ::lseek(fd_, offset, whence);
    return result < 0 ? -1 : result;
}

void TFileStream::SetSize(int64_t size) {
    if (::ftruncate(fd_, size) != 0)
        throw EWriteError();
    if (Position() > size)
        SetPosition(size);
}
