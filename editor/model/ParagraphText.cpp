#include "editor/model/ParagraphText.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

// The gap a long text opens: room for a burst of typing, small beside the
// text, so that opening it costs little more than the edit that asks.
uint32_t GapRoomFor(uint32_t size, uint32_t needed) {
    return std::max(needed, std::clamp<uint32_t>(size / 64, 256, 64 * 1024));
}

// memcpy without bytes to copy: an empty view may have no address at all.
void CopyBytes(char* to, const char* from, size_t count) {
    if (count > 0)
        std::memcpy(to, from, count);
}

char* Allocate(uint32_t capacity) {
    if (capacity >= 0x7FFFFFF0u)
        throw std::bad_alloc();
    auto* block = static_cast<char*>(std::malloc(static_cast<size_t>(capacity) + 1));
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

} // namespace

TParagraphText::TParagraphText(const TParagraphText& other) : TParagraphText() {
    std::string scratch;
    assign(other.Piece(0, other.size_, scratch));
}

TParagraphText::TParagraphText(TParagraphText&& other) noexcept : TParagraphText() { swap(other); }

TParagraphText& TParagraphText::operator=(const TParagraphText& other) {
    if (this != &other) {
        std::string scratch;
        assign(other.Piece(0, other.size_, scratch));
    }
    return *this;
}

TParagraphText& TParagraphText::operator=(TParagraphText&& other) noexcept {
    if (this != &other) {
        release();
        clearToInline();
        swap(other);
    }
    return *this;
}

void TParagraphText::swap(TParagraphText& other) noexcept {
    // The records are plain bytes (the heap block is owned by pointer).
    unsigned char buffer[sizeof(TParagraphText)];
    std::memcpy(buffer, static_cast<void*>(this), sizeof buffer);
    std::memcpy(static_cast<void*>(this), static_cast<const void*>(&other), sizeof buffer);
    std::memcpy(static_cast<void*>(&other), buffer, sizeof buffer);
}

void TParagraphText::release() {
    if (onHeap_)
        std::free(store_.heap.data);
}

// ---------------------------------------------------------------------------
// Reading

std::string_view TParagraphText::Piece(size_t from, size_t to, std::string& scratch) const {
    to = std::min<size_t>(to, size_);
    from = std::min(from, to);
    const char* bytes = storage();
    if (to <= gapStart_)
        return {bytes + from, to - from};
    if (from >= gapStart_)
        return {bytes + from + store_.heap.gap, to - from};
    scratch.clear();
    AppendTo(scratch, from, to);
    return scratch;
}

TParagraphText::TPieces TParagraphText::Pieces(size_t from, size_t to) const {
    to = std::min<size_t>(to, size_);
    from = std::min(from, to);
    const char* bytes = storage();
    if (to <= gapStart_)
        return {{bytes + from, to - from}, {}, to};
    if (from >= gapStart_)
        return {{bytes + from + store_.heap.gap, to - from}, {}, to};
    return {{bytes + from, gapStart_ - from}, {bytes + gapStart_ + store_.heap.gap, to - gapStart_}, gapStart_};
}

size_t TParagraphText::Find(std::string_view key, size_t from, size_t to) const {
    to = std::min<size_t>(to, size_);
    if (from > to || to - from < key.size())
        return npos;
    if (to <= gapStart_) {
        // In one piece (most texts are).
        const size_t found = std::string_view(storage(), to).find(key, from);
        return found == std::string_view::npos ? npos : found;
    }
    auto within = [&](std::string_view piece, size_t at) -> size_t {
        const size_t found = piece.find(key);
        return found == std::string_view::npos ? npos : at + found;
    };
    const TPieces pieces = Pieces(from, to);
    if (const size_t found = within(pieces.First, from); found != npos || pieces.Second.empty())
        return found;
    // An occurrence across the gap starts within key.size() - 1 before it.
    if (key.size() > 1) {
        const size_t reach = key.size() - 1;
        const size_t a = std::max(from, pieces.SecondAt - std::min(reach, pieces.SecondAt));
        const size_t b = std::min(to, pieces.SecondAt + reach);
        std::string scratch;
        if (const size_t found = within(Piece(a, b, scratch), a); found != npos)
            return found;
    }
    return within(pieces.Second, pieces.SecondAt);
}

void TParagraphText::AppendTo(std::string& out, size_t from, size_t to) const {
    to = std::min<size_t>(to, size_);
    if (from >= to)
        return;
    const char* bytes = storage();
    if (from < gapStart_)
        out.append(bytes + from, std::min<size_t>(to, gapStart_) - from);
    if (to > gapStart_) {
        const size_t start = std::max<size_t>(from, gapStart_);
        out.append(bytes + start + store_.heap.gap, to - start);
    }
}

std::string TParagraphText::substr(size_t pos, size_t count) const {
    if (pos > size_)
        throw std::out_of_range("TParagraphText::substr");
    std::string out;
    const size_t to = count >= size_ - pos ? size_ : pos + count;
    out.reserve(to - pos);
    AppendTo(out, pos, to);
    return out;
}

size_t TParagraphText::find(char c, size_t pos) const {
    if (pos >= size_)
        return npos;
    const char* bytes = storage();
    if (pos < gapStart_) {
        const size_t stop = std::min<size_t>(size_, gapStart_);
        if (const void* found = std::memchr(bytes + pos, c, stop - pos))
            return static_cast<size_t>(static_cast<const char*>(found) - bytes);
        pos = stop;
    }
    if (pos >= size_)
        return npos;
    const char* behind = bytes + store_.heap.gap;
    if (const void* found = std::memchr(behind + pos, c, size_ - pos))
        return static_cast<size_t>(static_cast<const char*>(found) - behind);
    return npos;
}

bool TParagraphText::Equals(std::string_view text) const {
    if (text.size() != size_)
        return false;
    const char* bytes = storage();
    const size_t front = std::min<size_t>(size_, gapStart_);
    return std::memcmp(bytes, text.data(), front) == 0 &&
           std::memcmp(bytes + front + (front < size_ ? store_.heap.gap : 0), text.data() + front, size_ - front) == 0;
}

bool operator==(const TParagraphText& a, const TParagraphText& b) {
    std::string scratch;
    return a.Equals(b.Piece(0, b.size_, scratch));
}

const char* TParagraphText::data() const {
    closeGap();
    return storage();
}

// ---------------------------------------------------------------------------
// The gap

void TParagraphText::moveGap(uint32_t pos) const {
    char* bytes = store_.heap.data;
    const uint32_t gap = store_.heap.gap;
    if (pos < gapStart_)
        std::memmove(bytes + pos + gap, bytes + pos, gapStart_ - pos);
    else if (pos > gapStart_)
        std::memmove(bytes + gapStart_, bytes + gapStart_ + gap, pos - gapStart_);
    gapStart_ = pos;
}

void TParagraphText::closeGap() const {
    if (gapStart_ == kNoGap)
        return;
    moveGap(size_);
    gapStart_ = kNoGap;
    store_.heap.gap = kEditsWithoutGap;
    store_.heap.data[size_] = '\0';
}

void TParagraphText::reserveContiguous(uint32_t wanted) {
    if (wanted <= capacity())
        return;
    const uint32_t fresh = std::max(wanted, capacity() < 0x3FFFFFF0u ? capacity() * 2 : wanted);
    // (No gap stands: the count of edits without one goes on.)
    const uint32_t editsWithoutGap = onHeap_ ? store_.heap.gap : 0;
    char* block = Allocate(fresh);
    CopyBytes(block, storage(), size_);
    block[size_] = '\0';
    release();
    store_.heap.data = block;
    store_.heap.capacity = fresh;
    store_.heap.gap = editsWithoutGap;
    onHeap_ = 1;
}

void TParagraphText::openGap(uint32_t pos, uint32_t room) {
    const uint32_t slack = capacity() - size_;
    if (onHeap_ && slack >= room) {
        // The block's slack behind the text becomes the gap.
        if (gapStart_ == kNoGap) {
            gapStart_ = size_;
            store_.heap.gap = slack;
        }
        moveGap(pos);
        return;
    }
    // A block of its own, the gap already in place: the text is copied
    // once around it.
    const uint32_t gap = GapRoomFor(size_, room);
    const uint32_t fresh = size_ + gap;
    char* block = Allocate(fresh);
    std::string scratch;
    const std::string_view before = Piece(0, pos, scratch);
    CopyBytes(block, before.data(), pos);
    std::string scratch2;
    const std::string_view after = Piece(pos, size_, scratch2);
    CopyBytes(block + pos + gap, after.data(), size_ - pos);
    release();
    store_.heap.data = block;
    store_.heap.capacity = fresh;
    store_.heap.gap = gap;
    onHeap_ = 1;
    gapStart_ = pos;
}

// ---------------------------------------------------------------------------
// Changes

void TParagraphText::replace(size_t pos, size_t count, std::string_view text) {
    if (pos > size_)
        throw std::out_of_range("TParagraphText::replace");
    count = std::min<size_t>(count, size_ - pos);
    const size_t newSize = size_ - count + text.size();
    if (newSize >= 0x7FFFFFF0u)
        throw std::length_error("TParagraphText::replace");
    // The text may lie in this very text: it is copied out first.
    std::string copy;
    if (overlaps(text)) {
        copy.assign(text);
        text = copy;
    }
    const auto at = static_cast<uint32_t>(pos);
    const bool gapWanted = gapStart_ != kNoGap || !onHeap_ || store_.heap.gap == 0 || --store_.heap.gap == 0;
    if (std::max<size_t>(size_, newSize) >= kGapFrom && !(pos == size_ && gapStart_ == kNoGap) && gapWanted) {
        // A long text edited inside: the gap goes to the edit, swallows the
        // bytes removed and gives room for those put in.
        const uint32_t removed = static_cast<uint32_t>(count);
        const auto inserted = static_cast<uint32_t>(text.size());
        if (gapStart_ == kNoGap || store_.heap.gap + removed < inserted)
            openGap(at, inserted > removed ? inserted - removed : 0);
        else
            moveGap(at);
        store_.heap.gap += removed;
        CopyBytes(store_.heap.data + at, text.data(), inserted);
        gapStart_ = at + inserted;
        store_.heap.gap -= inserted;
        size_ = static_cast<uint32_t>(newSize);
        if (store_.heap.gap == 0 && gapStart_ == size_)
            gapStart_ = kNoGap;
        return;
    }
    closeGap();
    reserveContiguous(static_cast<uint32_t>(newSize));
    char* bytes = storage();
    std::memmove(bytes + pos + text.size(), bytes + pos + count, size_ - pos - count);
    if (!text.empty())
        std::memcpy(bytes + pos, text.data(), text.size());
    size_ = static_cast<uint32_t>(newSize);
    bytes[size_] = '\0';
}

void TParagraphText::assign(std::string_view text) {
    if (text.size() >= 0x7FFFFFF0u)
        throw std::length_error("TParagraphText::assign");
    std::string copy;
    if (overlaps(text)) {
        copy.assign(text);
        text = copy;
    }
    closeGap();
    if (text.size() > capacity())
        reserveContiguous(static_cast<uint32_t>(text.size()));
    char* bytes = storage();
    if (!text.empty())
        std::memcpy(bytes, text.data(), text.size());
    size_ = static_cast<uint32_t>(text.size());
    bytes[size_] = '\0';
}

void TParagraphText::append(size_t count, char c) {
    if (count == 0)
        return;
    const std::string fill(count, c);
    append(fill);
}

void TParagraphText::resize(size_t n, char c) {
    if (n < size_)
        replace(n, size_ - n, {});
    else if (n > size_)
        append(n - size_, c);
}
