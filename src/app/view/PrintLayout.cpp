#include "view/PrintLayout.h"

#include <algorithm>

PixelRect PrintBitmapSize(int clientWidth, int clientHeight, int pageWidth, int pageHeight, bool preview)
{
    PixelRect r;
    if (preview || clientWidth <= 0 || clientHeight <= 0) {
        r.width = clientWidth;
        r.height = clientHeight;
        return r;
    }
    const double aspect = static_cast<double>(clientHeight) / clientWidth;
    r.height = pageHeight;
    r.width = static_cast<int>(pageHeight / aspect);
    if (r.width > pageWidth) {
        r.width = pageWidth;
        r.height = static_cast<int>(pageWidth * aspect);
    }
    while (static_cast<std::int64_t>(r.width) * r.height > kMaxPrintPixels) {
        r.width /= 2;
        r.height /= 2;
    }
    return r;
}

PixelRect FitCentred(int pictureWidth, int pictureHeight, int pageWidth, int pageHeight)
{
    PixelRect r;
    if (pictureWidth <= 0 || pictureHeight <= 0 || pageWidth <= 0 || pageHeight <= 0) return r;
    const double scale = std::min(static_cast<double>(pageWidth) / pictureWidth,
                                  static_cast<double>(pageHeight) / pictureHeight);
    r.width = static_cast<int>(pictureWidth * scale);
    r.height = static_cast<int>(pictureHeight * scale);
    r.x = (pageWidth - r.width) / 2;
    r.y = (pageHeight - r.height) / 2;
    return r;
}
