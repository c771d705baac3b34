#include "movie/PaletteQuantizer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using movie::Palette;

struct Quantized {
    int entries = 0;
    Palette palette{};
    std::vector<std::uint8_t> indices;
};

// bgra is bottom-up; the indices come back top row first.
Quantized quantize(const std::vector<std::uint8_t>& bgra, int width, int height)
{
    Quantized q;
    q.indices.assign(std::size_t(width) * height, 0);
    q.entries = movie::PaletteQuantizer().Quantize(bgra.data(), width, height, q.indices.data(), width, q.palette);
    return q;
}

// The largest difference of one channel between a pixel and its palette entry.
int largestError(const std::vector<std::uint8_t>& bgra, int width, int height, const Quantized& q)
{
    int largest = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = &bgra[(std::size_t(height - 1 - y) * width + x) * 4];
            const std::uint32_t entry = q.palette[q.indices[std::size_t(y) * width + x]];
            largest = std::max({largest, std::abs(int(entry >> 16 & 255) - p[2]),
                                std::abs(int(entry >> 8 & 255) - p[1]), std::abs(int(entry & 255) - p[0])});
        }
    return largest;
}

TEST(PaletteQuantizer, AFewColoursComeBackExactlyRightWayUp)
{
    // Bottom row red, top row blue, a green pixel between.
    const int width = 3, height = 3;
    std::vector<std::uint8_t> bgra(width * height * 4, 0);
    for (int x = 0; x < width; ++x) {
        bgra[std::size_t(x) * 4 + 2] = 200;
        bgra[(6 + std::size_t(x)) * 4] = 180;
    }
    bgra[4 * 4 + 1] = 120;
    const Quantized q = quantize(bgra, width, height);
    EXPECT_EQ(q.entries, 4);
    EXPECT_EQ(largestError(bgra, width, height, q), 0);
    EXPECT_EQ(q.palette[q.indices[0]], 0xFF0000B4u); // the top left is blue
    EXPECT_EQ(q.palette[q.indices[8]], 0xFFC80000u); // the bottom right is red
    for (int e = q.entries; e < movie::kPaletteSize; ++e) EXPECT_EQ(q.palette[std::size_t(e)], 0xFF000000u);
}

TEST(PaletteQuantizer, ManyColoursShareAllEntriesWithASmallError)
{
    const int width = 256, height = 64;
    std::vector<std::uint8_t> bgra(std::size_t(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &bgra[(std::size_t(y) * width + x) * 4];
            p[0] = std::uint8_t(x);
            p[1] = std::uint8_t(y * 4);
            p[2] = std::uint8_t(255 - x);
            p[3] = 255;
        }
    const Quantized q = quantize(bgra, width, height);
    EXPECT_EQ(q.entries, movie::kPaletteSize);
    EXPECT_LE(largestError(bgra, width, height, q), 24);
}

} // namespace
