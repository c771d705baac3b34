#pragma once

#include "geometry/Matrix4.h"
#include "geometry/Vec3.h"
#include "render/Camera.h"

#include <optional>
#include <vector>

// What the overlays of one frame show of the simulation: plain copies taken
// under the document's locks before the frame is drawn, so the drawing itself
// holds none of the simulation's locks.
namespace render {

// One piece of the last rolling step on one surface ("Linear displacement").
struct SegmentOverlay {
    Vec3 startPoint, endPoint, edgePoint;
    Vec3 segTangentU, segTangentV;
    Vec3 uComponent, vComponent;
    Vec3 remainingDisplacement, tangentialDisplacement;
    Vec3 chordU, chordV;
    int endKind = 0; // 0 inside the surface, 1 at an edge, 2 drawn blue
};

// The last impact and its bounce ("Bounce vectors").
struct BounceOverlay {
    Vec3 impactPoint;
    Vec3 impactNormal, impactTangentU, impactTangentV, impactNegTangentU, impactNegTangentV;
    Vec3 incomingPart, normalPart, tangentialPart;
    Vec3 reflectedPart, landingPart;
};

// The last intersection search of a flight step ("Impact vectors").
struct ImpactOverlay {
    Vec3 segmentFrom, segmentTo; // the tested segment
    Vec3 searchFrom, searchTo;   // the search direction
    std::optional<Vec3> hitPoint;
};

// One entry of the ball's past path. Colours on a surface are 0..1 ramp
// colours; the air and impact colours are stored on the 0..255 scale, which
// the drawing clamps to full intensity like any colour above 1.
struct PathPointOverlay {
    bool inAir = false;
    bool impact = false;
    Vec3 point;
    Vec3 colour;
};

struct CameraPathPoint {
    Vec3 eye;
    double intensity = 1.0; // 1.0 on target, 0.8 while lagging
};

struct SimulationFrame {
    // "Position ball" to StopBall: surfaces show their run display.
    bool runMode = false;
    // The launch velocity is being chosen with the mouse.
    bool settingVelocity = false;
    // The left button is held inside the force circle.
    bool forceInputActive = false;

    // Ball: centre and accumulated rotation (column-major).
    Vec3 ballCentre;
    Matrix4 ballOrientation = Matrix4::identity();

    // "Rolling vectors".
    Vec3 previousPosition, position;
    Vec3 velocity, velocityChange;
    Vec3 tangentU, tangentV, surfaceNormal;
    Vec3 gravity{0.0, -5.0, 0.0}, acceleration;

    // "Linear displacement": the entry the digit keys select, if any.
    std::optional<SegmentOverlay> selectedSegment;
    BounceOverlay bounce;
    ImpactOverlay impact;

    // "Navigation guides": directions from the ball, and the applied force.
    Vec3 forward, sideways;
    Vec3 appliedForce;

    // Launch-velocity arrow: from the ball's start along the launch velocity.
    Vec3 ballStart;
    Vec3 launchDirection;
    double launchSpeed = 0.0;

    std::vector<PathPointOverlay> pastPath;
    std::vector<CameraPathPoint> cameraPath;
    // The follow camera (active and target); none before the simulation has
    // placed it, and the orbit camera is used.
    std::optional<CameraPose> activeCamera;
    std::optional<CameraPose> targetCamera;
};

} // namespace render
