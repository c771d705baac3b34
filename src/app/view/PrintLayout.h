#pragma once

// Sizes of a printed picture: the off-screen bitmap drawn for the page and
// where it lands on the page.

#include <cstdint>

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Largest number of pixels a print bitmap may have; bigger ones are halved.
inline constexpr std::int64_t kMaxPrintPixels = 20000000;

// The bitmap for a page of pageWidth x pageHeight pixels showing a view of
// clientWidth x clientHeight: the view's own size in print preview, otherwise
// the largest rectangle of the view's aspect that fits the page (full height
// when that fits, else full width), both sides halved while it holds more
// than kMaxPrintPixels pixels.
PixelRect PrintBitmapSize(int clientWidth, int clientHeight, int pageWidth, int pageHeight, bool preview);

// The largest rectangle of the picture's aspect inside the page, centred.
PixelRect FitCentred(int pictureWidth, int pictureHeight, int pageWidth, int pageHeight);
