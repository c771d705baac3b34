#pragma once

// A frame in at most 256 colours, for GIF: a palette chosen for the frame by
// median cut of its colours (counted at 5 bits per channel) and each pixel
// mapped to the nearest entry. A frame with at most 256 such colour cells
// keeps each cell's mean colour, so its own colours come back exactly when no
// two share a cell.

#include <array>
#include <cstdint>
#include <vector>

namespace movie {

inline constexpr int kPaletteSize = 256;

// Entries as 0xAARRGGBB, all opaque; unused entries are opaque black.
using Palette = std::array<std::uint32_t, kPaletteSize>;

class PaletteQuantizer {
public:
    // bgra: width x height pixels as B, G, R, A bytes, bottom row first.
    // indices: the palette index of each pixel, top row first, rows
    // indexStride bytes apart. Returns the number of entries used.
    int Quantize(const std::uint8_t* bgra, int width, int height, std::uint8_t* indices, int indexStride,
                 Palette& palette);

private:
    struct Box {
        std::size_t begin = 0, end = 0; // range of cells_
        std::uint64_t pixels = 0;
        int longestChannel = 0, longestRange = 0;
    };
    void CountColours(const std::uint8_t* bgra, std::size_t pixels);
    void Measure(Box& box) const;
    bool SplitLargest(std::vector<Box>& boxes);
    void ChooseEntries(const std::vector<Box>& boxes, Palette& palette);

    struct Cell {
        std::uint64_t pixels = 0, red = 0, green = 0, blue = 0;
    };
    std::vector<Cell> histogram_;           // one cell per 5-bit colour
    std::vector<std::uint32_t> cells_;      // the occupied cells, ordered by the splits
    std::vector<std::uint8_t> cellEntry_;   // palette entry of each occupied cell
};

} // namespace movie
