#include "render/FrameList.h"

#include "document/OpenGLTemplateDoc.h"

#include <GL/gl.h>

namespace render {

void FrameList::Create()
{
    if (list_ == 0) list_ = glGenLists(1);
}

void FrameList::Release()
{
    if (list_ != 0) glDeleteLists(list_, 1);
    list_ = 0;
    arrows_.Release();
}

void FrameList::Record(COpenGLTemplateDoc& document, SurfaceDrawOptions options, SurfaceDrawTools tools)
{
    if (list_ == 0) return;
    tools.directionArrows = &arrows_;
    LockGuard guard(document.documentLock);
    // Lists cannot be compiled while another is being recorded: all first.
    for (const auto& surface : document.surfaces) CompileSurfaceLists(*surface, options, tools);
    glNewList(list_, GL_COMPILE);
    for (const auto& surface : document.surfaces) {
        options.selected = surface.get() == document.selectedSurface;
        DrawSurface(*surface, options, tools);
    }
    glEndList();
    arrows_.Sweep();
}

void FrameList::Draw() const
{
    if (list_ != 0) glCallList(list_);
}

} // namespace render
