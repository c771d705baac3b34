#include "platform/BlockMemory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

using block_memory::Allocate;
using block_memory::CurrentUsage;
using block_memory::kLargeBlockBytes;
using block_memory::kRegionBytes;
using block_memory::Release;

struct Block {
    unsigned char* data;
    std::size_t bytes;
    unsigned char fill;
};

Block take(std::size_t bytes, unsigned char fill)
{
    auto* data = static_cast<unsigned char*>(Allocate(bytes));
    std::memset(data, fill, bytes);
    return {data, bytes, fill};
}

bool intact(const Block& b)
{
    return std::all_of(b.data, b.data + b.bytes, [&](unsigned char c) { return c == b.fill; });
}

TEST(BlockMemory, SmallBlocksLeaveTheRegionsAndLargeOnesAreCountedInThem)
{
    const auto before = CurrentUsage();
    void* small = Allocate(kLargeBlockBytes - 1);
    EXPECT_EQ(CurrentUsage().bytesInUse, before.bytesInUse);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(small) % 64, 0u);
    Release(small, kLargeBlockBytes - 1);

    void* large = Allocate(kLargeBlockBytes + 10);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large) % 64, 0u);
    EXPECT_GE(CurrentUsage().bytesInUse, before.bytesInUse + kLargeBlockBytes + 10);
    EXPECT_GE(CurrentUsage().regions, 1u);
    Release(large, kLargeBlockBytes + 10);
    EXPECT_EQ(CurrentUsage().bytesInUse, before.bytesInUse);
}

TEST(BlockMemory, FreedNeighboursJoinIntoOneStretch)
{
    const std::size_t size = 100 * 1024;
    // Three blocks taken one after another from a fresh stretch lie in a row.
    std::vector<Block> blocks;
    for (int k = 0; k < 3; ++k) blocks.push_back(take(size, static_cast<unsigned char>(k + 1)));
    ASSERT_LT(blocks[0].data, blocks[1].data);
    ASSERT_LT(blocks[1].data, blocks[2].data);
    Release(blocks[0].data, size);
    Release(blocks[2].data, size);
    Release(blocks[1].data, size);
    // The first block of three times the size fits where the first one was.
    Block joined = take(3 * size, 9);
    EXPECT_EQ(joined.data, blocks[0].data);
    EXPECT_TRUE(intact(joined));
    Release(joined.data, joined.bytes);
}

TEST(BlockMemory, ABlockLargerThanARegionHasOneOfItsOwnUnmappedWhenReleased)
{
    const Block ordinary = take(kLargeBlockBytes, 1);
    const auto before = CurrentUsage();
    const std::size_t huge = kRegionBytes + 3 * 1024 * 1024;
    Block big = take(huge, 7);
    const auto during = CurrentUsage();
    EXPECT_EQ(during.regions, before.regions + 1);
    EXPECT_GE(during.regionBytes, before.regionBytes + huge);
    EXPECT_TRUE(intact(big));
    Release(big.data, big.bytes);
    EXPECT_EQ(CurrentUsage().regions, before.regions);
    EXPECT_EQ(CurrentUsage().bytesInUse, before.bytesInUse);
    Release(ordinary.data, ordinary.bytes);
}

// Many blocks of mixed sizes taken and released in random order never overlap
// and the space is all given back at the end.
TEST(BlockMemory, RandomTakingAndReleasingKeepsEveryBlockApart)
{
    const auto before = CurrentUsage();
    std::mt19937 random(2026);
    std::uniform_int_distribution<std::size_t> size(1, 3 * kLargeBlockBytes);
    std::vector<Block> live;
    unsigned char fill = 0;
    for (int step = 0; step < 3000; ++step) {
        if (!live.empty() && random() % 3 == 0) {
            const std::size_t k = random() % live.size();
            ASSERT_TRUE(intact(live[k])) << "block " << k << " at step " << step;
            Release(live[k].data, live[k].bytes);
            live[k] = live.back();
            live.pop_back();
        } else {
            live.push_back(take(size(random), ++fill));
        }
    }
    for (const Block& b : live) {
        EXPECT_TRUE(intact(b));
        Release(b.data, b.bytes);
    }
    EXPECT_EQ(CurrentUsage().bytesInUse, before.bytesInUse);
}

TEST(BlockArray, ElementsStartValueInitialisedAndOwnershipMoves)
{
    struct Sample {
        float x = 0.0f;
        std::int32_t link = 0;
    };
    BlockArray<Sample> a(50000);
    ASSERT_EQ(a.size(), 50000u);
    EXPECT_TRUE(std::all_of(a.get(), a.get() + a.size(), [](const Sample& s) { return s.x == 0.0f && s.link == 0; }));
    a[49999].link = 5;

    BlockArray<Sample> b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(a.size(), 0u);
    EXPECT_EQ(b[49999].link, 5);

    BlockArray<std::atomic<std::uint8_t>> marks(3);
    EXPECT_EQ(marks[2].load(), 0);
    b = BlockArray<Sample>();
    EXPECT_TRUE(b.empty());
}

} // namespace
