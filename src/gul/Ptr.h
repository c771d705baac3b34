#pragma once

#include "gul/Pool.h"

#include <cstddef>
#include <new>
#include <utility>

namespace gul {

namespace detail {

// Shared record of one array block: reference count, element size and count,
// and the recorded size of the block in bytes.
struct BlockHeader {
    int refs = 0;
    int count = 0;
    std::size_t elementSize = 0;
    std::size_t bytes = 0;
    void* data = nullptr;
    void (*destroyElements)(BlockHeader*) = nullptr;
};

// Handle records come from a pool of their own.
BlockHeader* newHeader();
void deleteHeader(BlockHeader* h) noexcept;

// The two messages of a refused access, written to the error stream.
void reportOutOfBounds() noexcept;
void reportSizeMismatch() noexcept;

} // namespace detail

// Checked, reference-counted array handle. Copies share the block; the block
// goes back to its pool when the last handle is gone. Element access checks
// the index and the block's bookkeeping: a refused access prints a "Ptr:"
// message and reads or writes a scratch element instead of memory outside the
// block. Handles are not thread-safe: a block is used by one thread at a time
// (the kernel runs under the geometry lock).
template <class T>
class Ptr {
public:
    Ptr() = default;
    explicit Ptr(int count) { reservePlace(count); }
    Ptr(const Ptr& o) noexcept : h_(o.h_) { if (h_) ++h_->refs; }
    Ptr(Ptr&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    Ptr& operator=(const Ptr& o) noexcept
    {
        if (o.h_) ++o.h_->refs;
        release();
        h_ = o.h_;
        return *this;
    }
    Ptr& operator=(Ptr&& o) noexcept
    {
        if (this != &o) {
            release();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    ~Ptr() { release(); }

    // Replaces the block by a new one of `count` value-initialised elements.
    void reservePlace(int count)
    {
        release();
        if (count < 0) count = 0;
        const std::size_t bytes = sizeof(T) * static_cast<std::size_t>(count);
        detail::BlockHeader* h = detail::newHeader();
        try {
            h->data = pool::allocate(bytes);
        } catch (...) {
            detail::deleteHeader(h);
            throw;
        }
        T* elements = static_cast<T*>(h->data);
        for (int i = 0; i < count; ++i) new (elements + i) T();
        h->refs = 1;
        h->count = count;
        h->elementSize = sizeof(T);
        h->bytes = bytes;
        h->destroyElements = &destroy;
        h_ = h;
    }

    // Drops this handle's share of the block.
    void reset() noexcept { release(); }

    int nElems() const noexcept { return h_ ? h_->count : 0; }
    bool empty() const noexcept { return nElems() == 0; }
    int refCount() const noexcept { return h_ ? h_->refs : 0; }

    T& operator[](int i) noexcept
    {
        if (valid(i)) return static_cast<T*>(h_->data)[i];
        return scratch();
    }
    const T& operator[](int i) const noexcept
    {
        if (valid(i)) return static_cast<const T*>(h_->data)[i];
        return scratch();
    }

    // True when elements first..last may be used directly through data();
    // otherwise prints the matching message once and returns false.
    bool checkRange(int first, int last) const noexcept
    {
        if (!h_ || first < 0 || last < first || last >= h_->count) {
            detail::reportOutOfBounds();
            return false;
        }
        return consistent();
    }

    // Direct access for loops whose range was checked with checkRange.
    T* data() noexcept { return h_ ? static_cast<T*>(h_->data) : nullptr; }
    const T* data() const noexcept { return h_ ? static_cast<const T*>(h_->data) : nullptr; }

    // Test hook: damages the recorded size so that accesses report a mismatch.
    void corruptRecordedSizeForTest() noexcept { if (h_) h_->bytes = 0; }

private:
    bool valid(int i) const noexcept
    {
        if (!h_ || i < 0 || i >= h_->count) {
            detail::reportOutOfBounds();
            return false;
        }
        return consistent();
    }

    bool consistent() const noexcept
    {
        if (h_->elementSize != sizeof(T) || h_->bytes != sizeof(T) * static_cast<std::size_t>(h_->count)) {
            detail::reportSizeMismatch();
            return false;
        }
        return true;
    }

    static T& scratch() noexcept
    {
        static thread_local T element{};
        element = T{};
        return element;
    }

    static void destroy(detail::BlockHeader* h) noexcept
    {
        T* elements = static_cast<T*>(h->data);
        for (int i = 0; i < h->count; ++i) elements[i].~T();
    }

    void release() noexcept
    {
        if (!h_) return;
        if (--h_->refs == 0) {
            h_->destroyElements(h_);
            pool::release(h_->data, sizeof(T) * static_cast<std::size_t>(h_->count));
            detail::deleteHeader(h_);
        }
        h_ = nullptr;
    }

    detail::BlockHeader* h_ = nullptr;
};

// Single-precision points used by the kernel.
struct Point3f {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};
struct HPoint4f {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};

template <class T>
using Ptr2 = Ptr<Ptr<T>>;

// A rows x cols two-dimensional array of value-initialised elements.
template <class T>
Ptr2<T> makeArray2(int rows, int cols)
{
    Ptr2<T> a(rows);
    for (int r = 0; r < rows; ++r) a[r].reservePlace(cols);
    return a;
}

} // namespace gul
