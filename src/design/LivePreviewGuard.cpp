#include "design/LivePreviewGuard.h"

#include "document/OpenGLTemplateDoc.h"

namespace design {

LivePreviewGuard::LivePreviewGuard(COpenGLTemplateDoc& document, SurfaceSection* surface)
{
    if (!surface) return;
    const bool ballMoving = !document.simulation.stopped.load() || document.simulation.settingVelocity.load();
    if (ballMoving) pause_.emplace(document);
    else surfaceLock_.emplace(surface->geometryLock);
}

} // namespace design
