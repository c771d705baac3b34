#pragma once

// The check boxes of the control panel that mirror one switch each: the
// document's (written at once, read by the worker threads atomically) and
// the selected surface's (some mark its display lists stale). Captions are
// the panel's; object names let tests and robots find the boxes.

#include "document/DocumentSettings.h"
#include "surface/SurfaceSection.h"

#include <cstdint>

struct DocumentSwitch {
    const char* objectName;
    const char* caption;
    bool DocumentSettings::*field;
};

// The simulation's switches, beside "Position ball" and "Roll ball".
inline constexpr DocumentSwitch kSimulationSwitches[] = {
    {"pauseOnBounceCheck", "Pause on bounce", &DocumentSettings::pauseOnBounce},
    {"pauseOnAirCheck", "Pause on air", &DocumentSettings::pauseOnAir},
    {"pauseEachFrameCheck", "Pause each frame", &DocumentSettings::pauseEachFrame},
    {"navigationCheck", "Navigation", &DocumentSettings::navigation},
    {"preventSameSurfaceCheck", "Prevent immediate impact on same surface",
     &DocumentSettings::preventSameSurfaceImpact},
};

// What the scene shows besides the surfaces.
inline constexpr DocumentSwitch kDisplaySwitches[] = {
    {"ballCheck", "Ball", &DocumentSettings::showBall},
    {"ballPathPastCheck", "Ball path past", &DocumentSettings::showBallPathPast},
    {"ballPathFutureCheck", "Ball path future", &DocumentSettings::showBallPathFuture},
    {"rollingVectorsCheck", "Rolling vectors", &DocumentSettings::showRollingVectors},
    {"linearDisplacementCheck", "Linear displacement", &DocumentSettings::showLinearDisplacement},
    {"impactVectorsCheck", "Impact vectors", &DocumentSettings::showImpactVectors},
    {"bounceVectorsCheck", "Bounce vectors", &DocumentSettings::showBounceVectors},
    {"impactIntersectionsCheck", "Impact intersections", &DocumentSettings::showImpactIntersections},
    {"boundingBoxesCheck", "Bounding boxes", &DocumentSettings::showBoundingBoxes},
    {"allBoundingBoxesCheck", "Bounding boxes (all)", &DocumentSettings::showAllBoundingBoxes},
    {"cameraFutureCheck", "Camera future", &DocumentSettings::showCameraFuture},
    {"cameraPathPastCheck", "Camera path past", &DocumentSettings::showCameraPathPast},
    {"cameraPresentCheck", "Camera present", &DocumentSettings::showCameraPresent},
    {"navigationGuidesCheck", "Navigation guides", &DocumentSettings::showNavigationGuides},
    {"focalPointCheck", "Focal point", &DocumentSettings::showFocalPoint},
};

struct SurfaceSwitch {
    const char* objectName;
    const char* caption;
    std::int32_t SurfaceSection::*field;
    bool marksStale; // the surface's display lists are rebuilt
    bool onAtStart;  // the form's state before any surface is selected
};

// The selected surface's appearance ("Render" is apart: the worker threads
// read it at any time).
inline constexpr SurfaceSwitch kSurfaceSwitches[] = {
    {"controlLinesCheck", "Show control lines", &SurfaceSection::showControlLines, false, false},
    {"controlTrianglesCheck", "Show control triangles", &SurfaceSection::showControlTriangles, false, false},
    {"surfaceLinesCheck", "Show surface lines", &SurfaceSection::showSurfaceLines, true, true},
    {"surfaceTrianglesCheck", "Show surface triangles", &SurfaceSection::showSurfaceTriangles, true, false},
    {"intersectionMeshCheck", "Show intersection mesh", &SurfaceSection::showIntersectionMesh, false, false},
    {"directionsCheck", "Show channel initial and final directions", &SurfaceSection::showDirections, false, false},
    {"attachmentSitesCheck", "Show attachment sites", &SurfaceSection::showAttachmentSites, false, false},
    {"holesCheck", "Show holes", &SurfaceSection::showHoles, true, false},
    {"nameCheck", "Show name", &SurfaceSection::showName, false, false},
};

// The colouring radio buttons, in the order of the surface's coloring mode;
// "Height" is checked before any surface is selected.
inline constexpr int kColoringAtStart = 1;
inline constexpr const char* kColoringObjectNames[] = {"constantRadio", "heightRadio", "tangentAngleRadio",
                                                       "curvatureRadio"};
inline constexpr const char* kColoringCaptions[] = {"Constant", "Height", "Tangent angle", "Curvature"};
