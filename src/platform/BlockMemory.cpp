#include "platform/BlockMemory.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define BLOCK_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define BLOCK_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
// A poisoned grain after every block, so that running off its end is caught.
constexpr std::size_t kRedzoneBytes = 64;
#else
#define BLOCK_POISON(p, n) ((void)(p), (void)(n))
#define BLOCK_UNPOISON(p, n) ((void)(p), (void)(n))
constexpr std::size_t kRedzoneBytes = 0;
#endif

namespace block_memory {
namespace {

constexpr std::size_t kGrain = 64;
constexpr std::size_t kHugePage = 2u << 20;
// Free stretches at least this long give their whole huge pages back to the
// system; shorter ones are kept for the next rebuild.
constexpr std::size_t kGiveBackBytes = 8u << 20;
constexpr std::align_val_t kAlignment{kGrain};

std::size_t roundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

struct Region {
    char* base = nullptr;
    std::size_t size = 0;
    std::size_t inUse = 0;
    std::map<std::size_t, std::size_t> free; // offset -> length, never adjacent

    bool holds(const void* p) const
    {
        const char* c = static_cast<const char*>(p);
        return std::less_equal<const char*>()(base, c) && std::less<const char*>()(c, base + size);
    }
};

struct State {
    std::mutex mutex;
    std::vector<Region> regions;
};

// Left alive for the whole process, so that blocks released during exit find it.
State& state()
{
    static State* s = new State;
    return *s;
}

// A region of `size` bytes (a multiple of the huge page) starting on a huge
// page boundary, or none.
bool mapRegion(std::size_t size, Region& region)
{
    void* mapped = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                        -1, 0);
    if (mapped == MAP_FAILED) return false;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = roundUp(start, kHugePage);
    if (aligned > start) munmap(mapped, aligned - start);
    const std::uintptr_t end = start + size + kHugePage;
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    region.base = reinterpret_cast<char*>(aligned);
    region.size = size;
    region.free.emplace(0, size);
    // Only a request: without huge pages the region works the same, just slower to fault in.
    madvise(region.base, size, MADV_HUGEPAGE);
    BLOCK_POISON(region.base, size);
    return true;
}

// Takes n bytes from the first free stretch long enough, or returns null.
char* carve(Region& region, std::size_t n)
{
    for (auto it = region.free.begin(); it != region.free.end(); ++it) {
        if (it->second < n) continue;
        const std::size_t offset = it->first, length = it->second;
        region.free.erase(it);
        if (length > n) region.free.emplace(offset + n, length - n);
        region.inUse += n;
        return region.base + offset;
    }
    return nullptr;
}

// Returns [offset, offset + n) to the free stretches, joined with its
// neighbours; hands whole huge pages of a long joined stretch back.
void giveBack(Region& region, std::size_t offset, std::size_t n)
{
    region.inUse -= n;
    auto next = region.free.lower_bound(offset);
    std::size_t start = offset, end = offset + n;
    if (next != region.free.begin()) {
        auto previous = std::prev(next);
        if (previous->first + previous->second == start) {
            start = previous->first;
            region.free.erase(previous);
        }
    }
    if (next != region.free.end() && next->first == end) {
        end += next->second;
        region.free.erase(next);
    }
    region.free.emplace(start, end - start);
    if (end - start < kGiveBackBytes) return;
    const std::size_t pagesStart = roundUp(start, kHugePage), pagesEnd = end / kHugePage * kHugePage;
    if (pagesEnd > pagesStart) madvise(region.base + pagesStart, pagesEnd - pagesStart, MADV_DONTNEED);
}

} // namespace

void* Allocate(std::size_t bytes)
{
    if (bytes < kLargeBlockBytes) return ::operator new(std::max<std::size_t>(bytes, 1), kAlignment);
    const std::size_t n = roundUp(bytes + kRedzoneBytes, kGrain);
    State& s = state();
    {
        const std::lock_guard<std::mutex> hold(s.mutex);
        char* block = nullptr;
        for (Region& region : s.regions)
            if ((block = carve(region, n))) break;
        if (!block) {
            Region region;
            if (mapRegion(std::max(kRegionBytes, roundUp(n, kHugePage)), region)) {
                block = carve(region, n);
                s.regions.push_back(std::move(region));
            }
        }
        if (block) {
            BLOCK_UNPOISON(block, bytes);
            return block;
        }
    }
    // No region could be mapped: the ordinary heap decides, and reports a lack.
    return ::operator new(bytes, kAlignment);
}

void Release(void* block, std::size_t bytes) noexcept
{
    if (!block) return;
    if (bytes >= kLargeBlockBytes) {
        State& s = state();
        const std::lock_guard<std::mutex> hold(s.mutex);
        const auto region = std::find_if(s.regions.begin(), s.regions.end(),
                                         [block](const Region& r) { return r.holds(block); });
        if (region != s.regions.end()) {
            const std::size_t n = roundUp(bytes + kRedzoneBytes, kGrain);
            BLOCK_POISON(block, n);
            giveBack(*region, static_cast<std::size_t>(static_cast<char*>(block) - region->base), n);
            // An empty region is unmapped unless it is the last one.
            if (region->inUse == 0 && s.regions.size() > 1) {
                BLOCK_UNPOISON(region->base, region->size);
                munmap(region->base, region->size);
                s.regions.erase(region);
            }
            return;
        }
    }
    ::operator delete(block, kAlignment);
}

Usage CurrentUsage()
{
    State& s = state();
    const std::lock_guard<std::mutex> hold(s.mutex);
    Usage usage;
    for (const Region& region : s.regions) {
        ++usage.regions;
        usage.regionBytes += region.size;
        usage.bytesInUse += region.inUse;
    }
    return usage;
}

} // namespace block_memory
