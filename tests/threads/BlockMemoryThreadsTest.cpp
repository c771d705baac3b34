#include "platform/BlockMemory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

// Threads rebuilding surfaces at the same time take and release blocks
// together: no two live blocks may share a byte.
TEST(BlockMemoryThreads, BlocksTakenOnSeveralThreadsNeverOverlap)
{
    const auto before = block_memory::CurrentUsage();
    std::vector<std::thread> threads;
    std::vector<int> faults(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &faults] {
            std::mt19937 random(static_cast<unsigned>(t));
            std::vector<std::pair<unsigned char*, std::size_t>> live;
            const auto fill = static_cast<unsigned char>(t + 1);
            for (int step = 0; step < 400; ++step) {
                if (!live.empty() && random() % 2 == 0) {
                    auto [data, bytes] = live.back();
                    live.pop_back();
                    if (!std::all_of(data, data + bytes, [fill](unsigned char c) { return c == fill; })) ++faults[t];
                    block_memory::Release(data, bytes);
                } else {
                    const std::size_t bytes = block_memory::kLargeBlockBytes + random() % 200000;
                    auto* data = static_cast<unsigned char*>(block_memory::Allocate(bytes));
                    std::memset(data, fill, bytes);
                    live.emplace_back(data, bytes);
                }
            }
            for (auto [data, bytes] : live) block_memory::Release(data, bytes);
        });
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(faults[t], 0) << "thread " << t;
    EXPECT_EQ(block_memory::CurrentUsage().bytesInUse, before.bytesInUse);
}
