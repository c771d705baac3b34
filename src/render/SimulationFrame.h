#pragma once

#include "geometry/Matrix4.h"
#include "simulation/BallRecords.h"
#include "simulation/SimulationState.h"

#include <optional>
#include <vector>

class COpenGLTemplateDoc;

// What the overlays of one frame show of the simulation: plain copies taken
// under the document's locks before the frame is drawn, so that the drawing
// holds none of the simulation's locks and a frame never sees half a step.
namespace render {

struct SimulationFrame {
    // "Position ball" to StopBall: surfaces show their run display.
    bool runMode = false;
    // The launch velocity is being chosen with the mouse.
    bool settingVelocity = false;
    // The left button is held inside the force circle.
    bool forceInputActive = false;

    // The ball: centre and accumulated rotation (column-major).
    Vec3 ballCentre;
    Matrix4 ballOrientation = Matrix4::identity();
    // "Rolling vectors": drawn from the ball's previous centre.
    Vec3 previousBallCentre;
    Vec3 velocity, velocityChange;
    Vec3 tangentU, tangentV, surfaceNormal;
    Vec3 gravity{0.0, -5.0, 0.0}, acceleration;
    Vec3 appliedForce;

    // "Linear displacement": the contact segment the digit keys select, if any.
    std::optional<ContactSegment> selectedSegment;
    // "Bounce vectors": the last impact; "Impact vectors": the last search.
    ImpactRecord impact;
    IntersectionOverlay search;

    // Launch-velocity arrow: from the ball along the launch velocity.
    Vec3 launchDirection;
    double launchSpeed = 0.0;

    std::vector<PathPoint> pastPath;
    std::vector<CameraPathPoint> cameraPath;
    // The follow camera (active and target); none when the frame was not
    // taken from a simulation, and the orbit camera is used.
    std::optional<CameraPlacement> activeCamera;
    std::optional<CameraPlacement> targetCamera;
};

// The piece of the ball's last rolling step that the digit key `digit`
// chooses: 1 the first piece, 2 the second (after crossing a site); none for a
// piece the step did not have, whatever an earlier step left in the array.
const ContactSegment* ContactSegmentOfDigit(const LiveBall& ball, int digit);

// The simulation state of the document as the next frame shows it: the ball
// of the last finished step, its paths and the follow camera, each copied
// under its lock. selectedSegment is the digit keys' index, 0 to 8 for the
// keys 1 to 9 (-1 for none).
SimulationFrame CaptureSimulationFrame(COpenGLTemplateDoc& document, int selectedSegment = -1);

} // namespace render
