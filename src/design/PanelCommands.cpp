#include "design/PanelCommands.h"

#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"

namespace design {

DesignResult SetBallStartAtFocalPoint(COpenGLTemplateDoc& document)
{
    if (!document.focalSurface) return kFocalSurfaceMissing;
    document.SetBallStart(document.focalSurface, document.focalU, document.focalV);
    return DesignResult::done();
}

std::string DeleteSurfaceQuestion(const SurfaceSection& surface)
{
    return "Are you sure you want to delete surface " + NameToUtf8(textOf(surface.name)) + " ?";
}

bool ShowOnlySelected(COpenGLTemplateDoc& document)
{
    if (!document.selectedSurface) return false;
    LockGuard guard(document.documentLock);
    for (const auto& s : document.surfaces) s->render = s.get() == document.selectedSurface ? 1 : 0;
    return true;
}

} // namespace design
