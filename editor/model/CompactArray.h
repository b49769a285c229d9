#pragma once
// An array of plain records held through a single pointer (the count and
// the room live in front of the elements): a paragraph's further display
// lines cost one pointer while it has one line, which most have.  Offers
// the few vector operations the store uses, with pointers as iterators.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <type_traits>

template <class T>
class TCompactArray {
    static_assert(std::is_trivially_copyable_v<T> && alignof(T) <= 8, "plain records only");

public:
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;

    TCompactArray() = default;
    TCompactArray(const TCompactArray& other) { assign(other.begin(), other.end()); }
    TCompactArray(TCompactArray&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    TCompactArray& operator=(const TCompactArray& other) {
        if (this != &other)
            assign(other.begin(), other.end());
        return *this;
    }
    TCompactArray& operator=(TCompactArray&& other) noexcept {
        if (this != &other) {
            std::free(block_);
            block_ = other.block_;
            other.block_ = nullptr;
        }
        return *this;
    }
    ~TCompactArray() { std::free(block_); }

    size_t size() const { return block_ != nullptr ? block_->Size : 0; }
    bool empty() const { return size() == 0; }
    T* begin() { return data(); }
    T* end() { return data() + size(); }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size(); }
    T& front() { return *data(); }
    const T& front() const { return *data(); }
    T& operator[](size_t index) { return data()[index]; }
    const T& operator[](size_t index) const { return data()[index]; }

    void clear() {
        std::free(block_);
        block_ = nullptr;
    }
    // New elements are value-initialised.
    void resize(size_t count) {
        if (count == 0) {
            clear();
            return;
        }
        const size_t old = size();
        reserve(count, false);
        for (size_t i = old; i < count; ++i)
            new (data() + i) T{};
        block_->Size = static_cast<uint32_t>(count);
    }
    void push_back(const T& value) {
        const size_t at = size();
        reserve(at + 1, true);
        data()[at] = value;
        ++block_->Size;
    }
    template <class It>
    T* insert(T* position, It first, It last) {
        const auto at = static_cast<size_t>(position - begin());
        const auto count = static_cast<size_t>(std::distance(first, last));
        if (count == 0)
            return begin() + at;
        const size_t old = size();
        reserve(old + count, true);
        std::memmove(static_cast<void*>(data() + at + count), data() + at, (old - at) * sizeof(T));
        std::copy(first, last, data() + at);
        block_->Size = static_cast<uint32_t>(old + count);
        return data() + at;
    }
    T* erase(T* first, T* last) {
        const auto at = static_cast<size_t>(first - begin());
        const auto count = static_cast<size_t>(last - first);
        const size_t old = size();
        if (count == old) {
            clear();
            return begin();
        }
        std::memmove(static_cast<void*>(data() + at), data() + at + count, (old - at - count) * sizeof(T));
        block_->Size = static_cast<uint32_t>(old - count);
        return data() + at;
    }
    template <class It>
    void assign(It first, It last) {
        const auto count = static_cast<size_t>(std::distance(first, last));
        if (count == 0) {
            clear();
            return;
        }
        if (block_ != nullptr && block_->Capacity != count) {
            // Exactly the room asked for: assigning is how lines are set whole.
            clear();
        }
        reserve(count, false);
        std::copy(first, last, data());
        block_->Size = static_cast<uint32_t>(count);
    }

private:
    struct alignas(8) THeader {
        uint32_t Size;
        uint32_t Capacity;
    };

    T* data() const { return block_ != nullptr ? reinterpret_cast<T*>(block_ + 1) : nullptr; }
    // Room for count elements; growing by steps doubles it.
    void reserve(size_t count, bool stepwise) {
        if (block_ != nullptr && block_->Capacity >= count)
            return;
        size_t capacity = count;
        if (stepwise && block_ != nullptr)
            capacity = std::max(count, static_cast<size_t>(block_->Capacity) * 2);
        auto* grown = static_cast<THeader*>(std::realloc(block_, sizeof(THeader) + capacity * sizeof(T)));
        if (grown == nullptr)
            throw std::bad_alloc();
        if (block_ == nullptr)
            grown->Size = 0;
        grown->Capacity = static_cast<uint32_t>(capacity);
        block_ = grown;
    }

    THeader* block_ = nullptr;
};
