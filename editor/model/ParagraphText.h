#pragma once
// The bytes of one paragraph (NUL bytes included).
//
// A short text lives inside the record itself; a longer one in a block of
// its own.  A long text (a minified page is one paragraph of megabytes)
// keeps a gap where it was last edited: the bytes behind the gap stay at
// the end of the block, so that typing in its middle moves the gap by what
// the caret moved, not the half of the text behind the caret.  Readers
// that look at bytes by offset (operator[], Piece, substr, find of a byte,
// comparisons) see the text whole without moving anything; the contiguous
// view (data(), View(), string_view) closes the gap first, which costs
// moving what lies behind it, once per edit at most.  So the paths a key
// takes read through the former, and only whole-text readers (saving,
// searching, copying out) through the latter.
//
// A view or pointer into the text stays valid until the next edit, as a
// std::string's would; a view a Piece gives into the block stays valid
// only until the text is next viewed whole.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TParagraphText {
public:
    static constexpr size_t npos = std::string::npos;

    TParagraphText() { clearToInline(); }
    explicit TParagraphText(std::string_view text) : TParagraphText() { assign(text); }
    TParagraphText(const TParagraphText& other);
    TParagraphText(TParagraphText&& other) noexcept;
    TParagraphText& operator=(const TParagraphText& other);
    TParagraphText& operator=(TParagraphText&& other) noexcept;
    TParagraphText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }
    TParagraphText& operator=(const std::string& text) { return *this = std::string_view(text); }
    TParagraphText& operator=(const char* text) { return *this = std::string_view(text); }
    ~TParagraphText() { release(); }

    // ---- Reading by offset: nothing moves ----
    size_t size() const { return size_; }
    size_t length() const { return size_; }
    bool empty() const { return size_ == 0; }
    char operator[](size_t index) const {
        const char* bytes = storage();
        return index < gapStart_ ? bytes[index] : bytes[index + store_.heap.gap];
    }
    // Reading byte after byte, as operator[] does, with where the text lies
    // looked up once: for loops over many bytes (line breaking, measuring).
    // Valid while the text neither changes nor is viewed whole.
    class TReader {
    public:
        explicit TReader(const TParagraphText& text)
            : front_(text.storage()), back_(front_ + (text.gapStart_ == kNoGap ? 0 : text.store_.heap.gap)),
              gapStart_(text.gapStart_) {}
        char operator[](size_t index) const { return index < gapStart_ ? front_[index] : back_[index]; }

    private:
        const char* front_;
        const char* back_;  // where offsets behind the gap are read
        size_t gapStart_;
    };
    // Bytes from .. to - 1 in one piece: a view into the text when the gap
    // is not inside, else a copy in scratch.
    std::string_view Piece(size_t from, size_t to, std::string& scratch) const;
    // Bytes from .. to - 1 as they lie: one piece, or two when the gap
    // stands inside (the second from offset SecondAt on).
    struct TPieces {
        std::string_view First;
        std::string_view Second;
        size_t SecondAt;
    };
    TPieces Pieces(size_t from, size_t to) const;
    // The first occurrence of key that lies inside from .. to - 1, or npos.
    size_t Find(std::string_view key, size_t from, size_t to) const;
    // The bytes from pos on, count of them at most, as a string of their own.
    std::string substr(size_t pos, size_t count = npos) const;
    std::string Str() const { return substr(0); }
    explicit operator std::string() const { return Str(); }
    // Appends bytes from .. to - 1 to out.
    void AppendTo(std::string& out, size_t from = 0, size_t to = npos) const;
    // The first byte c at or after pos.
    size_t find(char c, size_t pos = 0) const;
    bool Equals(std::string_view text) const;
    friend bool operator==(const TParagraphText& a, std::string_view b) { return a.Equals(b); }
    friend bool operator==(const TParagraphText& a, const TParagraphText& b);

    // ---- The text whole, in one piece: the gap closes first ----
    const char* data() const;
    const char* c_str() const { return data(); }
    std::string_view View() const { return {data(), size_}; }
    operator std::string_view() const { return View(); }
    const char* begin() const { return data(); }
    const char* end() const { return data() + size_; }
    // Substrings and searches that need the text in one piece.
    size_t find(std::string_view text, size_t pos = 0) const { return View().find(text, pos); }
    size_t rfind(char c, size_t pos = npos) const { return View().rfind(c, pos); }
    int compare(std::string_view text) const { return View().compare(text); }

    // ---- Changes ----
    // Puts text in place of count bytes from pos (count clamped to the end).
    void replace(size_t pos, size_t count, std::string_view text);
    void assign(std::string_view text);
    void append(std::string_view text) { replace(size_, 0, text); }
    void append(size_t count, char c);
    TParagraphText& operator+=(std::string_view text) {
        append(text);
        return *this;
    }
    TParagraphText& operator+=(char c) {
        append(std::string_view(&c, 1));
        return *this;
    }
    void push_back(char c) { *this += c; }
    void insert(size_t pos, std::string_view text) { replace(pos, 0, text); }
    void erase(size_t pos = 0, size_t count = npos) { replace(pos, count, {}); }
    // Cuts the text to n bytes, or pads it with c.
    void resize(size_t n, char c = '\0');
    void clear() { resize(0); }
    void swap(TParagraphText& other) noexcept;

    // Texts from this length on keep a gap where they are edited.
    static constexpr size_t kGapFrom = 4096;
    // Whether the gap stands inside the text (for tests).
    bool HasGap() const { return gapStart_ != kNoGap; }

private:
    static constexpr uint32_t kInlineCapacity = 23;  // and a terminating NUL
    static constexpr uint32_t kNoGap = 0x7FFFFFFF;
    struct THeap {
        char* data;
        uint32_t capacity;  // bytes of text and gap (the block has one more)
        // The length of the gap while one stands in the text; else how
        // many more edits are made without a gap (a reader closed the last
        // one: with a reader that wants the text whole after every edit, a
        // gap would cost two moves where one will do).
        uint32_t gap;
    };
    static constexpr uint32_t kEditsWithoutGap = 16;

    char* storage() const { return onHeap_ ? store_.heap.data : const_cast<char*>(store_.small); }
    uint32_t capacity() const { return onHeap_ ? store_.heap.capacity : kInlineCapacity; }
    void clearToInline() {
        onHeap_ = 0;
        size_ = 0;
        gapStart_ = kNoGap;
        store_.heap.gap = 0;
        store_.small[0] = '\0';
    }
    void release();
    // Whether text lies in this text's own bytes.
    bool overlaps(std::string_view text) const {
        const char* bytes = storage();
        return !text.empty() && text.data() >= bytes && text.data() <= bytes + capacity();
    }
    // Moves the gap to pos (gap standing).
    void moveGap(uint32_t pos) const;
    // Puts the gap behind the text, so that the text stands in one piece.
    void closeGap() const;
    // Room for at least capacity bytes of text (no gap standing).
    void reserveContiguous(uint32_t capacity);
    // A gap of at least room bytes at pos, in a block of its own.
    void openGap(uint32_t pos, uint32_t room);

    union TStore {
        THeap heap;
        char small[kInlineCapacity + 1];
    };
    // (Reading closes the gap, so even a const text may move its bytes.)
    mutable TStore store_;
    uint32_t size_ = 0;
    // Where the gap stands (kNoGap: behind the text, the block's slack).
    mutable uint32_t gapStart_ : 31;
    uint32_t onHeap_ : 1;
};

static_assert(sizeof(TParagraphText) == 32, "the paragraph record has room for 32 bytes of text");
