#include "movie/PaletteQuantizer.h"

#include <algorithm>

namespace movie {

namespace {

constexpr int kCellBits = 5;
constexpr std::uint32_t kCells = 1u << (3 * kCellBits);

// The cell of a colour: 5 bits of red, green and blue.
std::uint32_t cellOf(const std::uint8_t* bgra)
{
    return (std::uint32_t(bgra[2] >> 3) << 10) | (std::uint32_t(bgra[1] >> 3) << 5) | std::uint32_t(bgra[0] >> 3);
}

// Channel c (0 red, 1 green, 2 blue) of a cell, 0 to 31.
int channelOf(std::uint32_t cell, int c) { return int(cell >> (10 - 5 * c)) & 31; }

std::uint32_t meanOf(std::uint64_t sum, std::uint64_t count) { return std::uint32_t((sum + count / 2) / count); }

} // namespace

void PaletteQuantizer::CountColours(const std::uint8_t* bgra, std::size_t pixels)
{
    histogram_.assign(kCells, Cell());
    for (std::size_t k = 0; k < pixels; ++k, bgra += 4) {
        Cell& cell = histogram_[cellOf(bgra)];
        ++cell.pixels;
        cell.red += bgra[2];
        cell.green += bgra[1];
        cell.blue += bgra[0];
    }
    cells_.clear();
    for (std::uint32_t c = 0; c < kCells; ++c)
        if (histogram_[c].pixels) cells_.push_back(c);
}

void PaletteQuantizer::Measure(Box& box) const
{
    int low[3] = {31, 31, 31}, high[3] = {0, 0, 0};
    box.pixels = 0;
    for (std::size_t k = box.begin; k < box.end; ++k) {
        box.pixels += histogram_[cells_[k]].pixels;
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], channelOf(cells_[k], c));
            high[c] = std::max(high[c], channelOf(cells_[k], c));
        }
    }
    box.longestChannel = 0;
    for (int c = 1; c < 3; ++c)
        if (high[c] - low[c] > high[box.longestChannel] - low[box.longestChannel]) box.longestChannel = c;
    box.longestRange = high[box.longestChannel] - low[box.longestChannel];
}

// Splits the box with the most pixels times colour spread at the pixel
// median of its longest side. False when no box has two cells.
bool PaletteQuantizer::SplitLargest(std::vector<Box>& boxes)
{
    Box* widest = nullptr;
    for (Box& box : boxes) {
        if (box.end - box.begin < 2) continue;
        if (!widest || box.pixels * std::uint64_t(box.longestRange + 1) >
                           widest->pixels * std::uint64_t(widest->longestRange + 1))
            widest = &box;
    }
    if (!widest) return false;
    const int c = widest->longestChannel;
    const auto first = cells_.begin() + std::ptrdiff_t(widest->begin);
    const auto last = cells_.begin() + std::ptrdiff_t(widest->end);
    std::sort(first, last, [c](std::uint32_t a, std::uint32_t b) {
        return channelOf(a, c) != channelOf(b, c) ? channelOf(a, c) < channelOf(b, c) : a < b;
    });
    // The first cell past half the pixels starts the upper half; each half keeps one cell at least.
    std::uint64_t below = 0;
    std::size_t split = widest->begin + 1;
    for (std::size_t k = widest->begin; k + 1 < widest->end; ++k) {
        below += histogram_[cells_[k]].pixels;
        split = k + 1;
        if (2 * below >= widest->pixels) break;
    }
    Box upper;
    upper.begin = split;
    upper.end = widest->end;
    widest->end = split;
    Measure(*widest);
    Measure(upper);
    boxes.push_back(upper);
    return true;
}

void PaletteQuantizer::ChooseEntries(const std::vector<Box>& boxes, Palette& palette)
{
    palette.fill(0xFF000000u);
    for (std::size_t b = 0; b < boxes.size(); ++b) {
        Cell sum;
        for (std::size_t k = boxes[b].begin; k < boxes[b].end; ++k) {
            const Cell& cell = histogram_[cells_[k]];
            sum.pixels += cell.pixels;
            sum.red += cell.red;
            sum.green += cell.green;
            sum.blue += cell.blue;
        }
        palette[b] = 0xFF000000u | meanOf(sum.red, sum.pixels) << 16 | meanOf(sum.green, sum.pixels) << 8 |
                     meanOf(sum.blue, sum.pixels);
    }
    // Each cell takes the entry nearest its own mean colour, which need not be its box's.
    cellEntry_.assign(kCells, 0);
    for (const std::uint32_t c : cells_) {
        const Cell& cell = histogram_[c];
        const int r = int(meanOf(cell.red, cell.pixels)), g = int(meanOf(cell.green, cell.pixels)),
                  b = int(meanOf(cell.blue, cell.pixels));
        int best = 0, bestDistance = 1 << 30;
        for (std::size_t e = 0; e < boxes.size(); ++e) {
            const int dr = r - int(palette[e] >> 16 & 255), dg = g - int(palette[e] >> 8 & 255),
                      db = b - int(palette[e] & 255);
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = int(e);
            }
        }
        cellEntry_[c] = std::uint8_t(best);
    }
}

int PaletteQuantizer::Quantize(const std::uint8_t* bgra, int width, int height, std::uint8_t* indices,
                               int indexStride, Palette& palette)
{
    CountColours(bgra, std::size_t(width) * std::size_t(height));
    if (cells_.empty()) {
        palette.fill(0xFF000000u);
        return 0;
    }
    std::vector<Box> boxes(1);
    boxes[0].end = cells_.size();
    Measure(boxes[0]);
    while (boxes.size() < kPaletteSize && SplitLargest(boxes)) {
    }
    ChooseEntries(boxes, palette);
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* pixel = bgra + std::size_t(height - 1 - row) * std::size_t(width) * 4;
        std::uint8_t* out = indices + std::size_t(row) * std::size_t(indexStride);
        for (int x = 0; x < width; ++x, pixel += 4) out[x] = cellEntry_[cellOf(pixel)];
    }
    return int(boxes.size());
}

} // namespace movie
