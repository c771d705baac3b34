#include "HeapCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The replaced operators below pair malloc with free; GCC cannot see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<long long> g_heapAllocations{0};
}

long long heapAllocationCount() { return g_heapAllocations.load(std::memory_order_relaxed); }

void* operator new(std::size_t n)
{
    g_heapAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
