#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

// Memory for the large arrays a surface derives from its design (sampled
// meshes, box tree). Opening a big document makes hundreds of megabytes of
// them at once, and faulting that in one small page at a time cost more than
// building it, so large blocks come from regions the kernel is asked to back
// with huge pages. Freed space is reused; a free stretch of several huge pages
// is handed back to the system, and a region left empty is unmapped.
namespace block_memory {

// Blocks below this size come from the ordinary heap.
inline constexpr std::size_t kLargeBlockBytes = 64 * 1024;
// Size of a region, unless one block needs more.
inline constexpr std::size_t kRegionBytes = 64u << 20;

// Uninitialised memory for `bytes` bytes, aligned to 64 bytes. Throws
// std::bad_alloc when there is none.
void* Allocate(std::size_t bytes);
// Gives back a block from Allocate, with the byte count it was asked for.
void Release(void* block, std::size_t bytes) noexcept;

struct Usage {
    std::size_t regions = 0;       // regions mapped
    std::size_t regionBytes = 0;   // their total size
    std::size_t bytesInUse = 0;    // handed out of them, rounded to whole grains
};
Usage CurrentUsage();

} // namespace block_memory

// A fixed-size array in block memory with value-initialised elements, for
// types that need no destructor.
template <class T>
class BlockArray {
    static_assert(std::is_trivially_destructible_v<T>, "block arrays do not run destructors");

public:
    BlockArray() = default;
    explicit BlockArray(std::size_t count) : count_(count)
    {
        if (count == 0) return;
        data_ = static_cast<T*>(block_memory::Allocate(count * sizeof(T)));
        std::uninitialized_value_construct_n(data_, count);
    }
    BlockArray(BlockArray&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), count_(std::exchange(other.count_, 0))
    {
    }
    BlockArray& operator=(BlockArray&& other) noexcept
    {
        if (this != &other) {
            reset();
            data_ = std::exchange(other.data_, nullptr);
            count_ = std::exchange(other.count_, 0);
        }
        return *this;
    }
    BlockArray(const BlockArray&) = delete;
    BlockArray& operator=(const BlockArray&) = delete;
    ~BlockArray() { reset(); }

    void reset() noexcept
    {
        if (data_) block_memory::Release(data_, count_ * sizeof(T));
        data_ = nullptr;
        count_ = 0;
    }
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    T* get() const { return data_; }
    T& operator[](std::size_t i) const { return data_[i]; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    T* data_ = nullptr;
    std::size_t count_ = 0;
};
