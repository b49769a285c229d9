#include "platform/base/ContentsDigest.h"

#include <QCryptographicHash>

#include <cerrno>
#include <unistd.h>

namespace {

// BLAKE2b is the fastest of the strong checksums QtCore has: a 60 MB page
// takes a tenth of a second, SHA-256 about twenty times that.
constexpr QCryptographicHash::Algorithm kAlgorithm = QCryptographicHash::Blake2b_256;

std::string hexOf(const QByteArray& sum) {
    const QByteArray hex = sum.toHex();
    return std::string(hex.constData(), static_cast<size_t>(hex.size()));
}

} // namespace

TContentsDigest DigestOf(std::string_view bytes) {
    QCryptographicHash hash(kAlgorithm);
    hash.addData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return {bytes.size(), hexOf(hash.result())};
}

bool DigestOfFile(int fd, TContentsDigest& digest) {
    QCryptographicHash hash(kAlgorithm);
    char block[1 << 16];
    uint64_t size = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, block, sizeof block, static_cast<off_t>(size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        hash.addData(QByteArrayView(block, got));
        size += static_cast<uint64_t>(got);
    }
    digest = {size, hexOf(hash.result())};
    return true;
}

bool IsContentsSum(std::string_view text) {
    if (text.size() != 64)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}
