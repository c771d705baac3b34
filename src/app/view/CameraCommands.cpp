#include "view/CameraCommands.h"

#include "design/PanelCommands.h"
#include "document/OpenGLTemplateDoc.h"
#include "render/Camera.h"
#include "simulation/Simulation.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kWheelNotchFactor = 0.9;

OrbitZoom zoomTo(double distance, double minimum, double maximum)
{
    OrbitZoom zoom;
    zoom.changed = true;
    zoom.distance = distance;
    zoom.elevationFraction = std::clamp((distance - minimum) / (0.2 * maximum - minimum), 0.0, 1.0);
    return zoom;
}

} // namespace

OrbitZoom ZoomOrbit(double d0, double dy, double minimum, double maximum)
{
    const double s = std::fabs(dy) / 3.0;
    if (dy >= 1.0) return zoomTo(std::max(d0 - s, minimum), minimum, maximum);
    if (dy < 0.0) return zoomTo(std::min(d0 + s, maximum), minimum, maximum);
    return {};
}

OrbitZoom ZoomOrbitByWheel(double d, double notches, double minimum, double maximum)
{
    const double scaled = d * std::pow(kWheelNotchFactor, notches);
    if (notches > 0.0) return zoomTo(std::max(scaled, minimum), minimum, maximum);
    if (notches < 0.0) return zoomTo(std::min(scaled, maximum), minimum, maximum);
    return {};
}

void SetFocalPointAtBall(COpenGLTemplateDoc& document)
{
    if (!document.ballSurface) return;
    double u = 0.0, v = 0.0;
    {
        LockGuard guard(document.simulationLock);
        u = document.simulation.published.ballU;
        v = document.simulation.published.ballV;
    }
    document.focalSurface = document.ballSurface;
    document.focalU = u;
    document.focalV = v;
    document.UpdateFocalPoint();
}

std::string SetFocalPointAtSelectedCenter(COpenGLTemplateDoc& document)
{
    if (!document.selectedSurface) return kSelectSurfaceToFocus;
    document.focalSurface = document.selectedSurface;
    document.focalU = document.focalV = 0.5;
    document.UpdateFocalPoint();
    return {};
}

void CenterViewOnSelected(COpenGLTemplateDoc& document)
{
    StopBall(document);
    SurfaceSection* s = document.selectedSurface;
    if (!s) return;
    LockGuard guard(s->geometryLock);
    if (!s->boxTree) return;
    const BoxRecord& box = s->boxTree->tight;
    document.focalPoint = {(box.xMin + box.xMax) / 2.0, (box.yMin + box.yMax) / 2.0, (box.zMin + box.zMax) / 2.0};
}

void ShowAll(COpenGLTemplateDoc& document) { render::FitCameraToSurfaces(document); }

void ShowAllSurfaces(COpenGLTemplateDoc& document)
{
    design::RenderAllSurfaces(document);
    ShowAll(document);
}

void SetCameraAlignedVertically(COpenGLTemplateDoc& document, bool vertical)
{
    document.simulation.camera.verticalSwitch = vertical;
    document.peers().RefreshControlPanel();
}

bool CameraAlignedVertically(const COpenGLTemplateDoc& document) { return document.simulation.camera.verticalSwitch; }
