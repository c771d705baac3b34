#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Off-screen drawing and image files: a framebuffer object to draw into, the
// read-back of its pixels and their writing through FreeImage.
namespace render {

// A framebuffer object with an RGB colour buffer (alpha reads as 1) and a
// 24-bit depth buffer, bound while it lives; the previous binding and
// viewport come back when it goes away. Needs a current context.
class OffscreenTarget {
public:
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    // False when the size is not positive or the driver refused the buffers.
    bool complete() const { return complete_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The pixels as B, G, R, A bytes, bottom row first (the layout of a
    // 32-bit FreeImage bitmap).
    std::vector<std::uint8_t> ReadBgra() const;
    // The same into pixels, resized to fit (a buffer kept from frame to frame is not allocated again).
    void ReadBgra(std::vector<std::uint8_t>& pixels) const;

private:
    int width_, height_;
    bool complete_ = false;
    unsigned framebuffer_ = 0, colour_ = 0, depth_ = 0;
    int previousFramebuffer_ = 0;
    int previousViewport_[4] = {0, 0, 0, 0};
};

// The bottom-left width x height pixels of the framebuffer bound for reading
// (a window's back buffer before it is shown), as B, G, R, A bytes, bottom
// row first, into pixels (resized to fit).
void ReadPixelsBgra(int width, int height, std::vector<std::uint8_t>& pixels);

// Writes bottom-up BGRA pixels of width x height to a file whose format
// FreeImage takes from the extension (".bmp", ".png", ".jpg", ...): a 32-bit
// image, converted to 24 bits for JPEG, saved with FreeImage's default
// options (its PNG writer stores a wholly opaque image as RGB). The file is
// written as documents are (temporary file, checked writes, rename; links
// followed, other non-regular targets refused), so a failure leaves any
// previous file whole. An extension FreeImage does not know writes nothing.
// Returns whether the file was written; if not, error names the file and why.
bool WriteImageFile(const std::string& fileName, int width, int height, const std::vector<std::uint8_t>& bgra,
                    std::string& error);

struct FrameSize {
    int width = 0, height = 0;
};

// Movie frames keep the window's aspect: W = imageWidth, H = trunc(ch / (cw / W)).
// A window without width gives a height of 0.
FrameSize MovieFrameSize(int imageWidth, int clientWidth, int clientHeight);

// "movie/image%03d.bmp" for frame n: image007.bmp, image1000.bmp.
std::string MovieFrameName(int frame);

} // namespace render
