#include "gul/Ptr.h"

#include <algorithm>
#include <cstdio>

namespace gul::detail {
namespace {

// Per-thread free list of handle records, linked through their data field; it
// grows by half of its size each time it runs out (at most one pooled chunk at
// a time). Records are never returned to the heap. Trivially destructible, so
// handles released during thread or process exit still find it usable.
struct HeaderPool {
    BlockHeader* free = nullptr;
    std::size_t total = 0;

    void grow()
    {
        constexpr std::size_t perChunk = pool::kMaxPooledBytes / sizeof(BlockHeader);
        const std::size_t add = std::min(perChunk, std::max<std::size_t>(64, total / 2));
        auto* records = static_cast<BlockHeader*>(pool::allocate(sizeof(BlockHeader) * add));
        for (std::size_t i = 0; i < add; ++i) {
            BlockHeader* h = new (records + i) BlockHeader();
            h->data = free;
            free = h;
        }
        total += add;
    }
};

thread_local HeaderPool t_headers;

} // namespace

BlockHeader* newHeader()
{
    if (!t_headers.free) t_headers.grow();
    BlockHeader* h = t_headers.free;
    t_headers.free = static_cast<BlockHeader*>(h->data);
    *h = BlockHeader();
    return h;
}

void deleteHeader(BlockHeader* h) noexcept
{
    h->data = t_headers.free;
    t_headers.free = h;
}

void reportOutOfBounds() noexcept { std::fputs("Ptr: accessing elements behind array bounds\n", stderr); }
void reportSizeMismatch() noexcept { std::fputs("Ptr: size and element count don't match\n", stderr); }

} // namespace gul::detail
