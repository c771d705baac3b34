#pragma once

#include "geometry/Vec3.h"
#include "surface/DefaultBallRadius.h"
#include "surface/FixedText.h"

#include <cstdint>

// The settings a document file keeps, in file order, with the values of a new
// document. Display switches mirror the control panel's check boxes.
struct DocumentSettings {
    std::int32_t movieFrameCount = 100;
    std::int32_t imageWidth = 800;
    std::int32_t imageHeight = 600;
    bool anaglyphStereo = false;
    std::int32_t anaglyphColors = 4; // 1..6: colour masks of the two stereo passes
    bool showFocalPoint = false;
    bool showBall = true;
    bool showBallPathPast = true;
    bool showBallPathFuture = false;
    bool showRollingVectors = false;
    bool showBounceVectors = false;
    bool showImpactVectors = false;
    bool showImpactIntersections = false;
    bool showNavigationGuides = false;
    bool showLinearDisplacement = false;
    bool showBoundingBoxes = false;
    bool showAllBoundingBoxes = false;
    bool showCameraFuture = false;
    bool showCameraPathPast = false;
    bool showCameraPresent = false;
    bool navigation = false;
    bool pauseEachFrame = false;
    bool pauseOnBounce = false;
    bool pauseOnAir = false;
    bool bounceEnabled = true;
    bool preventSameSurfaceImpact = false;
    bool cameraFollowsBall = false;
    double followDistance = 21.0;
    double focalU = 0.5;
    double focalV = 0.5;
    Vec3 focalPoint{0.0, 0.0, 0.0};
    double cameraDistance = -40.0;
    double launchSpeed = 2.0;
    Vec3 launchDirection{0.5, 0.0, 0.0};
    double ballRadius = kDefaultBallRadius;
    // Name and group name of the ball's start surface ("none" for no group).
    char ballStartSurfaceName[kLongNameSize] = "none";
    char ballStartGroupName[kLongNameSize] = "none";
    double ballStartU = 0.5;
    double ballStartV = 0.5;
};
