#include "render/FreeImageMessages.h"

#include <FreeImage.h>

#include <cstdio>

namespace render {

namespace {

void DLL_CALLCONV printMessage(FREE_IMAGE_FORMAT format, const char* message)
{
    std::fprintf(stderr, "\n*** ");
    if (format != FIF_UNKNOWN) std::fprintf(stderr, "%s Format\n", FreeImage_GetFormatFromFIF(format));
    std::fprintf(stderr, "%s ***\n", message ? message : "");
}

} // namespace

void RouteFreeImageMessages() { FreeImage_SetOutputMessage(printMessage); }

} // namespace render
