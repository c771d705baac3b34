#include "design/PanelCommands.h"

#include "document/OpenGLTemplateDoc.h"
#include "simulation/SharedSettings.h"

namespace design {

DesignResult SetBallStartAtFocalPoint(COpenGLTemplateDoc& document)
{
    if (!document.focalSurface) return kSetFocalSurfaceFirst;
    document.SetBallStart(document.focalSurface, document.focalU, document.focalV);
    document.SetModifiedFlag();
    return {};
}

void SetDocumentSwitch(COpenGLTemplateDoc& document, bool DocumentSettings::*field, bool on)
{
    bool& value = document.*field;
    if (ReadSetting(value) == on) return;
    WriteSetting(value, on);
    document.SetModifiedFlag();
}

void SetSurfaceSwitch(COpenGLTemplateDoc& document, std::int32_t SurfaceSection::*field, std::int32_t value,
                      bool stale)
{
    SurfaceSection* surface = document.selectedSurface;
    if (!surface || ReadSetting(surface->*field) == value) return;
    WriteSetting(surface->*field, value);
    if (stale) surface->drawingCache.markStale();
    surface->MarkChanged();
}

void SetSurfaceRender(COpenGLTemplateDoc& document, bool on)
{
    SurfaceSection* surface = document.selectedSurface;
    const std::int32_t value = on ? 1 : 0;
    if (!surface || surface->render.load() == value) return;
    surface->render.store(value);
    surface->MarkChanged();
}

} // namespace design
