#pragma once

#include "render/SimulationFrame.h"

struct DocumentSettings;
struct GLUquadric;
struct SurfaceDerivatives;

// The ball and the simulation overlays, drawn after the surfaces in world
// coordinates with lighting and colour material on.
namespace render {

struct OverlayTools {
    GLUquadric* sphere = nullptr; // the ball
    GLUquadric* arrow = nullptr;  // arrow heads
    unsigned ballTexture = 0;     // bound while the ball is drawn; 0 for none
};

// White textured sphere of the given radius at the ball's centre, turned by
// its orientation.
void DrawBall(const OverlayTools& tools, const SimulationFrame& frame, double radius);

void DrawRollingVectors(const OverlayTools& tools, const SimulationFrame& frame);
void DrawLinearDisplacement(const OverlayTools& tools, const ContactSegment& segment);
void DrawBounceVectors(const OverlayTools& tools, const ImpactRecord& impact);
void DrawImpactVectors(const OverlayTools& tools, const SimulationFrame& frame);
void DrawNavigationGuides(const OverlayTools& tools, const SimulationFrame& frame);
void DrawLaunchArrow(const OverlayTools& tools, const SimulationFrame& frame);
void DrawBallPathPast(const OverlayTools& tools, const std::vector<PathPoint>& path);
void DrawFocalPoint(const OverlayTools& tools, const Vec3& focalPoint, const SurfaceDerivatives& d);
void DrawCameraPathPast(const std::vector<CameraPathPoint>& path);
void DrawCameraPresent(const OverlayTools& tools, const SimulationFrame& frame);

// Every overlay whose switch is on, in the scene order: ball, rolling
// vectors, linear displacement, bounce vectors, impact vectors, navigation
// guides, launch-velocity arrow, ball path past, focal point, camera path
// past, camera present. The two future-path switches draw nothing: no
// future path is ever predicted.
void DrawOverlays(const OverlayTools& tools, const DocumentSettings& switches, const SimulationFrame& frame,
                  const SurfaceDerivatives& focalDerivatives);

} // namespace render
