#include "design/PanelCommands.h"

#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"
#include "simulation/SharedSettings.h"

namespace design {

namespace {

// Sets every surface's render flag to what `wanted` says; marks the document
// modified when a flag changed.
template <typename Wanted>
void setRenderFlags(COpenGLTemplateDoc& document, Wanted wanted)
{
    bool changed = false;
    {
        LockGuard guard(document.documentLock);
        for (const auto& s : document.surfaces) {
            const std::int32_t value = wanted(*s) ? 1 : 0;
            changed = changed || s->render.load() != value;
            s->render = value;
        }
    }
    if (changed) document.SetModifiedFlag();
}

} // namespace

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

namespace {

// A setting of the selected surface that the drawing reads on another thread.
template <typename Field, typename Value>
void setSurfaceSetting(COpenGLTemplateDoc& document, Field field, Value value, bool stale)
{
    SurfaceSection* surface = document.selectedSurface;
    if (!surface || ReadSetting(surface->*field) == value) return;
    WriteSetting(surface->*field, value);
    if (stale) surface->drawingCache.markStale();
    surface->MarkChanged();
}

} // namespace

void SetSurfaceSwitch(COpenGLTemplateDoc& document, std::int32_t SurfaceSection::*field, std::int32_t value,
                      bool stale)
{
    setSurfaceSetting(document, field, value, stale);
}

void SetSurfaceColoring(COpenGLTemplateDoc& document, Coloring coloring)
{
    setSurfaceSetting(document, &SurfaceSection::coloring, coloring, true);
}

void SetSurfaceRender(COpenGLTemplateDoc& document, bool on)
{
    SurfaceSection* surface = document.selectedSurface;
    const std::int32_t value = on ? 1 : 0;
    if (!surface || surface->render.load() == value) return;
    surface->render.store(value);
    surface->MarkChanged();
}

bool ShowOnlySelected(COpenGLTemplateDoc& document)
{
    const SurfaceSection* selected = document.selectedSurface;
    if (!selected) return false;
    setRenderFlags(document, [selected](const SurfaceSection& s) { return &s == selected; });
    return true;
}

void RenderAllSurfaces(COpenGLTemplateDoc& document)
{
    setRenderFlags(document, [](const SurfaceSection&) { return true; });
}

std::string DeleteSurfaceQuestion(const SurfaceSection& surface)
{
    return "Are you sure you want to delete surface " + NameToUtf8(textOf(surface.name)) + " ?";
}

} // namespace design
