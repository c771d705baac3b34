#pragma once

// Everything the ball simulation keeps in the document: the live ball, the
// step's timing and flags, the force circle, the paths, the follow camera and
// the links to the threads that drive it.

#include "geometry/Matrix4.h"
#include "simulation/BallRecords.h"
#include "simulation/RideProfile.h"
#include "simulation/SurfaceQueries.h"
#include "surface/FixedText.h"

#include <array>
#include <atomic>
#include <cstdint>

class SurfaceSection;
class PhysicsLoopControl;
class RenderHandshake;

// The last impact of a flight step and its parts, kept for the bounce overlays.
struct ImpactRecord {
    SurfaceSection* hitSurface = nullptr;
    Vec3 hitPoint;
    double hitU = 0.0, hitV = 0.0;
    Vec3 impactPoint;
    Vec3 impactCentre; // ball centre at the impact
    Vec3 impactNormal, impactTangentU, impactTangentV; // tangents normalised
    Vec3 impactNegTangentU, impactNegTangentV;
    Vec3 incomingPart;   // the step's motion up to the impact
    Vec3 normalPart;     // its component along the normal
    Vec3 tangentialPart; // its projection into the tangent plane
    Vec3 reflectedPart;
    Vec3 landingPart;
    double impactAngle = 0.0; // radians, between incomingPart and tangentialPart
};

// The ball as the physics thread advances it. A plain value: a step can copy
// it whole (the render thread reads a published copy).
struct LiveBall {
    bool inAir = false;
    double ballU = 0.5, ballV = 0.5;
    Vec3 contactPoint; // the ball centre while flying
    Vec3 previousContactPoint;
    Vec3 ballCentre;
    Vec3 previousBallCentre;
    Vec3 velocity, previousVelocity;
    Vec3 velocityChange; // (acceleration + appliedForce) * h of the last step
    Vec3 displacement;   // velocity * h of the last step
    Vec3 acceleration;   // downhill part of gravity rolling, gravity flying
    Vec3 appliedForce;
    Vec3 tangentU, tangentV, surfaceNormal;
    Vec3 negTangentU, negTangentV;
    Vec3 previousTangentU, previousTangentV;
    Vec3 curvatureFrame[3]; // Suu, Svv, Suv at the contact
    double curvature = 0.0;
    Vec3 rollAxis{0.0, 0.0, 1.0};
    Matrix4 ballOrientation = Matrix4::identity();

    std::array<ContactSegment, kMaxContactSegments + 1> contactSegments{};
    std::int32_t segmentCount = 0;
    // Set when a crossed site records a pseudo surface; the ball continues on it.
    bool pseudoCrossing = false;
    SurfaceSection* pseudoSurface = nullptr;

    // Same-surface guard: the cell under the ball at its last contact.
    std::int32_t sameSurfaceGuard = 0;
    SurfaceSection* lastSurface = nullptr;
    std::int32_t lastCellRow = -1, lastCellColumn = -1;

    ImpactRecord impact;

    ContactSegment& lastSegment() { return contactSegments[segmentCount]; }
    const ContactSegment& lastSegment() const { return contactSegments[segmentCount]; }
};

// What happened to the ball during one step, for headless runs and tests.
enum class SimulationEventKind : std::uint8_t {
    LiftOff,   // left the surface by lift-off
    Impact,    // a flight step met a surface
    Bounce,
    Land,
    Cross,     // rolled across an attachment site onto another surface
    Hole,      // dropped through a hole while rolling
    Edge,      // rolled off an edge with no attached surface
    FallReset, // fell below every surface and was put back at its start
    Rest,      // too slow to move
};

struct SimulationEvent {
    SimulationEventKind kind = SimulationEventKind::Rest;
    char site[kShortNameSize] = {};   // Cross: the site crossed
    SurfaceSection* surface = nullptr; // Cross: the surface reached; Impact: the surface hit
};

// The events of the current step; a step never has more than a handful.
struct StepEvents {
    static constexpr int kCapacity = 12;
    std::array<SimulationEvent, kCapacity> items{};
    int count = 0;

    void clear() { count = 0; }
    void add(SimulationEventKind kind, SurfaceSection* surface = nullptr, const char* site = nullptr)
    {
        if (count >= kCapacity) return;
        SimulationEvent& e = items[count++];
        e.kind = kind;
        e.surface = surface;
        setText(e.site, site ? site : "");
    }
    bool contains(SimulationEventKind kind) const
    {
        for (int k = 0; k < count; ++k)
            if (items[k].kind == kind) return true;
        return false;
    }
};

// Layout of the force circle in view pixels. Written by the render thread,
// read by the user-interface and physics threads: each field on its own.
struct ForceCircle {
    std::atomic<std::int32_t> centreX{0}, centreY{0};
    std::atomic<std::int32_t> size{0};
    std::atomic<double> radius{0.0};
    std::atomic<bool> laidOut{false};
};

// The follow camera's settings and run-time state. The switches and the
// elevation fraction are set by the user interface while the physics thread
// places the camera.
struct FollowCameraState {
    std::atomic<std::int32_t> laggingSwitch{1}; // 0 "In present", 1 "Lagging present"
    std::atomic<bool> verticalSwitch{false};
    std::atomic<double> elevationFraction{0.25};
    double elevationOffset = kPi / 18.0;
    double elevationTop = kPi / 2.0;
    double followDistanceLow = 13.0, followDistanceHigh = 21.0;
    double speedLow = 0.5, speedHigh = 10.0;
    double minimumDistance = 1.0, maximumDistance = 200.0;
    double maximumTurn = kPi / 30.0;
    double distanceTolerance = 5.0;

    CameraPlacement active;  // under the document's cameraLock
    CameraPlacement target;  // placement computed for the present step
    Vec3 previousEye;
    std::int32_t lagSteps = 0; // lagging steps since the camera was last on target
    bool cameraFixed = false;  // snap to the target at the next update (pseudo crossing)

    // Flight placement counters.
    std::int32_t stepsInFlight = 0, stepsSinceApex = 0;
    bool rising = false, previousRising = false;
    std::int32_t swingSide = 1;

    // Eyes of the active camera, under the document's cameraPathLock.
    BoundedHistory<CameraPathPoint, 300> pathPast;
};

// The simulation's part of the document.
struct SimulationState {
    LiveBall ball;

    // --- constants of the ball model ---
    Vec3 gravity{0.0, -5.0, 0.0};
    double velocityDamping = 0.998; // factor per step, whatever the step length
    double restSpeed = 0.01;
    double restitution = 0.6666666;
    double bounceMinSpeed = 1.0;
    double bounceMinAngle = kTwoPi / 36.0;

    // --- loop and step timing ---
    double targetStepRate = 70.0;
    double maxStepTime = 0.06;
    double stepTime = 0.0;   // measured time between step starts (physics thread)
    double stepLength = 0.0; // h of the last step that advanced the ball
    std::atomic<double> physicsFps{0.0};
    std::atomic<std::int64_t> stepCount{0}; // StepSimulation calls so far
    double lowestSurfaceHeight = 9999.0;

    // --- flags shared with the user-interface and render threads ---
    std::atomic<bool> stopped{true};
    std::atomic<bool> settingVelocity{false};
    std::atomic<bool> velocitySet{false};
    std::atomic<bool> movieRecording{false};
    std::atomic<bool> movieFrameReady{false};
    // From "Position ball" to StopBall: surfaces show their run display.
    std::atomic<bool> runMode{false};

    // --- force input (Navigation) ---
    std::atomic<bool> forceInputActive{false};
    std::atomic<std::int32_t> forceMouseX{0}, forceMouseY{0}; // view pixels, y from the top
    std::atomic<std::int32_t> viewWidth{0}, viewHeight{0};     // set by the view on resize
    ForceCircle windowCircle;
    ForceCircle movieCircle;

    // --- paths ---
    static constexpr int futureSteps = 6, futureSubsteps = 10;
    static constexpr std::int32_t pastPathLimit = 300;
    BoundedHistory<PathPoint, pastPathLimit> pastPath; // under the document's pathLock
    // Future paths, under the document's simulationLock. Only the present
    // state (record 0) is ever filled: nothing predicts.
    std::array<BallState, futureSteps * futureSubsteps> futurePath{};
    std::array<BallState, (futureSubsteps + 1) * futureSteps> futureCameraPath{};
    std::int32_t futureIndex = 0;
    std::int32_t futurePathLength = 0;
    // The live ball and its surface as of the end of the last step, under
    // simulationLock: what other threads read of the ball while it runs.
    LiveBall published;
    SurfaceSection* publishedSurface = nullptr;

    // --- per-step records ---
    IntersectionOverlay overlay;         // written by the flight search
    std::int64_t intersectionSearches = 0; // surfaces searched this step
    StepEvents events;
    // One sample per step that ran, for the ride profile.
    RideProfile rideProfile;

    FollowCameraState camera;

    // The overlay switches StopBall turned off, saved the first time.
    bool overlaySwitchesSaved = false;
    std::array<bool, 13> savedOverlaySwitches{};

    // The threads that drive the simulation, or none in a headless program.
    std::atomic<PhysicsLoopControl*> physicsControl{nullptr};
    std::atomic<RenderHandshake*> renderHandshake{nullptr};
};
