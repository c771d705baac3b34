#include "gul/Pool.h"

#include "gul/Error.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define GUL_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define GUL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define GUL_POISON(p, n) ((void)(p), (void)(n))
#define GUL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace gul::pool {
namespace {

constexpr std::size_t kMinClassBytes = 16;
constexpr int kClassCount = 10; // 16, 32, ..., 8192
constexpr std::size_t kChunkBytes = 64 * 1024;

std::atomic<std::uint64_t> g_heapRequests{0};

// Every chunk ever taken, so that they stay reachable for the life of the process.
struct ChunkRegistry {
    std::mutex mutex;
    std::vector<void*> chunks;
};

ChunkRegistry& registry()
{
    static ChunkRegistry* r = new ChunkRegistry;
    return *r;
}

void* heapAllocate(std::size_t bytes)
{
    g_heapRequests.fetch_add(1, std::memory_order_relaxed);
    void* p = std::aligned_alloc(16, (bytes + 15) & ~std::size_t(15));
    if (!p) throw AllocError();
    return p;
}

int classOf(std::size_t bytes) noexcept
{
    int c = 0;
    std::size_t size = kMinClassBytes;
    while (size < bytes) {
        size <<= 1;
        ++c;
    }
    return c;
}

struct FreeNode {
    FreeNode* next;
};

struct ThreadPools {
    std::array<FreeNode*, kClassCount> free{};

    void refill(int c)
    {
        const std::size_t size = kMinClassBytes << c;
        char* chunk = static_cast<char*>(heapAllocate(kChunkBytes));
        {
            ChunkRegistry& r = registry();
            std::lock_guard<std::mutex> guard(r.mutex);
            r.chunks.push_back(chunk);
        }
        for (std::size_t offset = 0; offset + size <= kChunkBytes; offset += size) {
            auto* node = reinterpret_cast<FreeNode*>(chunk + offset);
            node->next = free[c];
            free[c] = node;
            GUL_POISON(chunk + offset, size);
        }
    }
};

thread_local ThreadPools t_pools;

} // namespace

std::size_t blockSize(std::size_t bytes) noexcept
{
    if (bytes > kMaxPooledBytes) return bytes;
    return kMinClassBytes << classOf(bytes);
}

void* allocate(std::size_t bytes)
{
    if (bytes == 0) bytes = 1;
    if (bytes > kMaxPooledBytes) return heapAllocate(bytes);
    const int c = classOf(bytes);
    if (!t_pools.free[c]) t_pools.refill(c);
    FreeNode* node = t_pools.free[c];
    GUL_UNPOISON(node, kMinClassBytes << c);
    t_pools.free[c] = node->next;
    return node;
}

void release(void* block, std::size_t bytes) noexcept
{
    if (!block) return;
    if (bytes == 0) bytes = 1;
    if (bytes > kMaxPooledBytes) {
        std::free(block);
        return;
    }
    const int c = classOf(bytes);
    auto* node = static_cast<FreeNode*>(block);
    node->next = t_pools.free[c];
    t_pools.free[c] = node;
    GUL_POISON(block, kMinClassBytes << c);
}

std::uint64_t heapRequests() noexcept { return g_heapRequests.load(std::memory_order_relaxed); }

} // namespace gul::pool
