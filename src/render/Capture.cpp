#include "render/Capture.h"

#include "document/FileIO.h"
#include "render/FreeImageMessages.h"

#include <FreeImage.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace render {

OffscreenTarget::OffscreenTarget(int width, int height) : width_(width), height_(height)
{
    if (width <= 0 || height <= 0) return;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFramebuffer_);
    glGetIntegerv(GL_VIEWPORT, previousViewport_);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glGenRenderbuffers(1, &colour_);
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    complete_ = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete_) {
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glViewport(0, 0, width, height);
    }
}

OffscreenTarget::~OffscreenTarget()
{
    if (!framebuffer_) return;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer_));
    glDeleteRenderbuffers(1, &depth_);
    glDeleteRenderbuffers(1, &colour_);
    glDeleteFramebuffers(1, &framebuffer_);
    glViewport(previousViewport_[0], previousViewport_[1], previousViewport_[2], previousViewport_[3]);
}

std::vector<std::uint8_t> OffscreenTarget::ReadBgra() const
{
    std::vector<std::uint8_t> pixels;
    ReadBgra(pixels);
    return pixels;
}

void OffscreenTarget::ReadBgra(std::vector<std::uint8_t>& pixels) const
{
    if (!complete_) {
        pixels.clear();
        return;
    }
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    ReadPixelsBgra(width_, height_, pixels);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
}

void ReadPixelsBgra(int width, int height, std::vector<std::uint8_t>& pixels)
{
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    glPopClientAttrib();
}

namespace {

// The encoded file: FreeImage writes into memory, so that the file itself is
// written (and checked) like a document. Empty when encoding failed.
std::vector<std::uint8_t> encodeImage(FREE_IMAGE_FORMAT format, FIBITMAP* image)
{
    std::vector<std::uint8_t> encoded;
    FIMEMORY* memory = FreeImage_OpenMemory(nullptr, 0);
    if (!memory) return encoded;
    BYTE* data = nullptr;
    DWORD size = 0;
    if (FreeImage_SaveToMemory(format, image, memory, 0) && FreeImage_AcquireMemory(memory, &data, &size) && data)
        encoded.assign(data, data + size);
    FreeImage_CloseMemory(memory);
    return encoded;
}

} // namespace

bool WriteImageFile(const std::string& fileName, int width, int height, const std::vector<std::uint8_t>& bgra,
                    std::string& error)
{
    RouteFreeImageMessages();
    if (width <= 0 || height <= 0 || bgra.size() < static_cast<std::size_t>(width) * height * 4) {
        error = "Cannot save " + fileName + ": the picture could not be drawn.";
        return false;
    }
    const FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(fileName.c_str());
    if (format == FIF_UNKNOWN) {
        error = "Cannot save " + fileName + ": its extension names no image format.";
        return false;
    }
    FIBITMAP* image = FreeImage_Allocate(width, height, 32);
    if (!image) {
        error = "Cannot save " + fileName + ": there is not enough memory for the picture.";
        return false;
    }
    // 32-bit rows need no padding, so the read-back copies row by row as is.
    for (int row = 0; row < height; ++row)
        std::memcpy(FreeImage_GetScanLine(image, row), bgra.data() + static_cast<std::size_t>(row) * width * 4,
                    static_cast<std::size_t>(width) * 4);
    std::vector<std::uint8_t> encoded;
    if (format == FIF_JPEG) {
        if (FIBITMAP* rgb = FreeImage_ConvertTo24Bits(image)) {
            encoded = encodeImage(format, rgb);
            FreeImage_Unload(rgb);
        }
    } else {
        encoded = encodeImage(format, image);
    }
    FreeImage_Unload(image);
    if (encoded.empty()) {
        error = "Cannot save " + fileName + ": the picture could not be encoded in its format.";
        return false;
    }
    return WriteFileReplacing(fileName, encoded, error);
}

FrameSize MovieFrameSize(int imageWidth, int clientWidth, int clientHeight)
{
    if (clientWidth <= 0 || imageWidth <= 0) return {imageWidth, 0};
    const double r = static_cast<double>(clientWidth) / imageWidth;
    return {imageWidth, static_cast<int>(std::trunc(clientHeight / r))};
}

std::string MovieFrameName(int frame)
{
    char name[64];
    std::snprintf(name, sizeof name, "movie/image%03d.bmp", frame);
    return name;
}

} // namespace render
