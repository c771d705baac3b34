#pragma once

#include <cstddef>
#include <cstdint>

// Size-class pools for the kernel's array blocks and handle records.
//
// Free lists are per thread, so pooled allocation needs no lock; the chunks
// they carve from are never returned (they live for the whole process, as the
// pools are meant to), so a block may be freed on a thread other than the one
// that allocated it.
namespace gul::pool {

// Largest block served from the pools; larger blocks go to the general heap.
inline constexpr std::size_t kMaxPooledBytes = 8192;

// Returns a block of at least `bytes` bytes, 16-byte aligned. Throws AllocError.
void* allocate(std::size_t bytes);
// Returns a block obtained from allocate with the same `bytes`.
void release(void* block, std::size_t bytes) noexcept;

// Bytes actually reserved for a request of `bytes` (its size class).
std::size_t blockSize(std::size_t bytes) noexcept;

// Number of times any pool went to the general heap (new chunks and blocks
// above kMaxPooledBytes), counted over all threads.
std::uint64_t heapRequests() noexcept;

} // namespace gul::pool
