#include "render/Texture.h"

#include "document/FileIO.h"
#include "platform/DataFolders.h"
#include "render/FreeImageMessages.h"

#include <FreeImage.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace render {

namespace {

unsigned DLL_CALLCONV readProc(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<std::FILE*>(handle)));
}
unsigned DLL_CALLCONV writeProc(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    return static_cast<unsigned>(std::fwrite(buffer, size, count, static_cast<std::FILE*>(handle)));
}
int DLL_CALLCONV seekProc(fi_handle handle, long offset, int origin)
{
    return std::fseek(static_cast<std::FILE*>(handle), offset, origin);
}
long DLL_CALLCONV tellProc(fi_handle handle) { return std::ftell(static_cast<std::FILE*>(handle)); }

} // namespace

std::string FindBallTexture()
{
    std::error_code error;
    if (std::filesystem::is_regular_file(kBallTextureName, error)) return kBallTextureName;
    const std::string shipped = platform::shippedDataDirectory() + "/" + kBallTextureName;
    if (std::filesystem::is_regular_file(shipped, error)) return shipped;
    return kBallTextureName;
}

bool LoadTexture(const std::string& fileName, unsigned textureName)
{
    RouteFreeImageMessages();
    std::string error;
    const int fd = OpenRegularFileForReading(fileName, error);
    if (fd < 0) return false;
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        return false;
    }

    FreeImageIO io{readProc, writeProc, seekProc, tellProc};
    bool loaded = false;
    const FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromHandle(&io, file, 0);
    if (format != FIF_UNKNOWN) {
        if (FIBITMAP* image = FreeImage_LoadFromHandle(format, &io, file, 0)) {
            const int width = static_cast<int>(FreeImage_GetWidth(image));
            const int height = static_cast<int>(FreeImage_GetHeight(image));
            const BYTE* pixels = FreeImage_GetBits(image);
            // FreeImage rows are padded to 4 bytes; the caller's binding and
            // unpacking state come back afterwards.
            GLint previous = 0;
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
            glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
            glBindTexture(GL_TEXTURE_2D, textureName);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGR, GL_UNSIGNED_BYTE, pixels);
            gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels);
            glPopClientAttrib();
            glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
            FreeImage_Unload(image);
            loaded = true;
        }
    }
    std::fclose(file);
    return loaded;
}

} // namespace render
