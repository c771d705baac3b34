#include "simulation/Simulation.h"

#include "document/OpenGLTemplateDoc.h"
#include "simulation/Flight.h"
#include "simulation/FollowCamera.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/PhysicsLoop.h"
#include "simulation/RideFile.h"
#include "simulation/SharedSettings.h"

#include <algorithm>
#include <cmath>

namespace {

// A flying ball this far below the lowest surface has fallen off the track.
constexpr double kFallDepth = 10.0;
constexpr double kNoSurfaceHeight = 9999.0;

bool finiteBall(const LiveBall& b)
{
    return isFinite(b.contactPoint) && isFinite(b.ballCentre) && isFinite(b.velocity) && isFinite(b.displacement) &&
           isFinite(b.acceleration) && std::isfinite(b.ballU) && std::isfinite(b.ballV);
}

// The velocity update, the camera's bounds that follow the speed, and the
// ball advance. A step that would leave the ball with non-finite values (a
// broken surface) is not taken: the ball stays as it was.
void advance(COpenGLTemplateDoc& document, double h)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    const LiveBall before = b;
    SurfaceSection* const surfaceBefore = document.ballSurface;
    sim.stepLength = h;
    b.velocityChange = (b.acceleration + b.appliedForce) * h;
    b.previousVelocity = b.velocity;
    b.velocity += b.velocityChange;
    b.velocity *= sim.velocityDamping;
    b.displacement = b.velocity * h;
    sim.camera.distanceTolerance = 2.0 * length(b.velocity * h);
    WriteSetting(document.followDistance, FollowDistanceForSpeed(sim.camera, length(b.velocity)));
    AdvanceBall(document);
    if (!finiteBall(b)) {
        b = before;
        document.ballSurface = surfaceBefore;
    }
}

// Publishes the step for the render thread and the camera: the present state
// as the first future-path record, then the follow camera.
void recordAndFollow(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    {
        LockGuard guard(document.simulationLock);
        ResetFuturePaths(document);
        sim.futureIndex = 0;
        RecordPresentState(document);
        sim.published = sim.ball;
        sim.publishedSurface = document.ballSurface;
    }
    if (!sim.ball.inAir) sim.camera.stepsInFlight = sim.camera.stepsSinceApex = 0;
    if (ReadSetting(document.cameraFollowsBall)) UpdateFollowCamera(document);
}

// A ball that fell off the track goes back to its start as "Position ball"
// leaves it: its launch being chosen, the follow camera behind it (not where
// it fell), and the loop parked until the next roll.
void resetAfterFall(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    PositionBall(document, true);
    PreviewLaunch(document, sim.camera.minimumDistance);
    if (PhysicsLoopControl* physics = sim.physicsControl.load()) physics->SetPhysicsState(PauseRequested);
}

double lowestHeight(COpenGLTemplateDoc& document)
{
    double lowest = kNoSurfaceHeight;
    LockGuard guard(document.documentLock);
    for (const auto& s : document.surfaces) lowest = std::min(lowest, s->heightMin);
    return lowest;
}

// The ball and camera overlay switches that StopBall turns off.
std::array<bool*, 13> overlaySwitches(COpenGLTemplateDoc& d)
{
    return {&d.showBall,          &d.showBallPathPast,        &d.showBallPathFuture, &d.showRollingVectors,
            &d.showLinearDisplacement, &d.showImpactVectors, &d.showBounceVectors,  &d.showImpactIntersections,
            &d.showBoundingBoxes, &d.showAllBoundingBoxes,    &d.showCameraFuture,   &d.showCameraPathPast,
            &d.showCameraPresent};
}

} // namespace

StepOutcome StepSimulation(COpenGLTemplateDoc& document, const StepInput& input)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    StepOutcome outcome;
    bool fell = false;
    sim.stepCount.fetch_add(1);
    sim.events.clear();
    if (!sim.stopped.load() && !(sim.movieRecording.load() && sim.movieFrameReady.load())) {
        {
            LockGuard guard(document.documentLock);
            sim.overlay.triangleTests = 0;
            sim.overlay.marksShown = ReadSetting(document.showBoundingBoxes) ||
                                     ReadSetting(document.showImpactIntersections) ||
                                     ReadSetting(document.showImpactVectors);
        }
        sim.intersectionSearches = 0;
        ComputeAppliedForce(document, input.force);
        sim.stepTime = input.stepTime;
        if (sim.stepTime > sim.maxStepTime) sim.stepTime = sim.maxStepTime;
        const bool fixedStep = ReadSetting(document.pauseEachFrame) || sim.movieRecording.load();
        const double h = fixedStep ? sim.maxStepTime : sim.stepTime;
        bool advanced = false;
        if (b.inAir && b.ballCentre.y < sim.lowestSurfaceHeight - kFallDepth) {
            resetAfterFall(document);
            fell = true;
            sim.events.add(SimulationEventKind::FallReset, document.ballSurface);
        } else if (!b.inAir && (!document.ballSurface ||
                                (length(b.velocity) < sim.restSpeed && !(length(b.appliedForce) > 0.0)))) {
            // Only a ball lying on a surface comes to rest; a flying one is
            // slow only at the top of its rise and falls on.
            sim.events.add(SimulationEventKind::Rest, document.ballSurface);
        } else {
            advance(document, h);
            advanced = true;
        }
        sim.rideProfile.Record(b, h, sim.events, advanced, RideModelOf(sim));
        sim.movieFrameReady = true;
        outcome.ran = true;
        outcome.h = h;
    }
    if (!sim.stopped.load()) recordAndFollow(document);
    if (ReadSetting(document.pauseEachFrame)) sim.stopped = true;
    outcome.ballCentre = b.ballCentre;
    // The step is done with the ball: after a fall its launch may be chosen.
    if (fell) sim.settingVelocity = true;
    return outcome;
}

void StepSimulation(COpenGLTemplateDoc& document)
{
    StepSimulation(document, {document.simulation.stepTime, ReadForceInput(document.simulation)});
}

std::string RollBall(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    if (sim.settingVelocity.load() || !sim.velocitySet.load()) return kNoVelocityMessage;
    PhysicsLoopControl* physics = sim.physicsControl.load();
    RenderHandshake* render = sim.renderHandshake.load();
    // The new run starts before the ball may move, so it misses no step. The
    // document's bytes hold view settings the render thread writes: it holds
    // still while they are read.
    if (physics) {
        if (render) render->PauseRenderAndWait();
        physics->ride.Launch(LaunchOf(document), SwitchesOf(document), RideDocumentHash(document));
    }
    sim.stopped = false;
    sim.settingVelocity = false;
    sim.velocitySet = false;
    if (render) render->ResumeRender();
    if (physics) physics->SetPhysicsState(Running);
    return {};
}

void StopBall(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    PhysicsLoopControl* physics = sim.physicsControl.load();
    // Before the ball is stopped: a step that sees it stopped then knows it did not stop it itself.
    if (physics) physics->ride.End(RideEnd::Stop);
    const auto switches = overlaySwitches(document);
    if (!sim.overlaySwitchesSaved) {
        for (std::size_t k = 0; k < switches.size(); ++k) sim.savedOverlaySwitches[k] = ReadSetting(*switches[k]);
        sim.overlaySwitchesSaved = true;
    }
    for (bool* s : switches) WriteSetting(*s, false);
    WriteSetting(document.navigation, false);
    WriteSetting(document.cameraFollowsBall, false);
    sim.runMode = false;
    sim.settingVelocity = false;
    sim.velocitySet = false;
    sim.stopped = true;
    if (physics) physics->SetPhysicsState(PauseRequested);
    document.peers().RefreshControlPanel();
}

void ResetBall(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    sim.ball = LiveBall();
    sim.stopped = true;
    ClearPaths(document);
    ResetCameraLag(sim.camera);
    sim.camera.stepsInFlight = sim.camera.stepsSinceApex = 0;
    {
        LockGuard guard(document.cameraPathLock);
        sim.camera.pathPast.clear();
    }
    sim.forceInputActive = false;
}

std::string PositionBall(COpenGLTemplateDoc& document, bool quiet)
{
    SimulationState& sim = document.simulation;
    if (!document.ballStartSurface) return kNoStartSurfaceMessage;
    // The physics thread's own call (quiet) leaves raising it to the end of
    // its step: the user-interface thread writes the ball once it is up.
    if (!quiet) sim.settingVelocity = true;
    sim.velocitySet = false;
    RenderHandshake* render = sim.renderHandshake.load();
    if (!quiet) PauseAllAndWait(document);
    else if (render) render->PauseRenderAndWait();
    // The physics thread's own call ends its run when the step is recorded.
    PhysicsLoopControl* physics = sim.physicsControl.load();
    if (physics && !quiet) physics->ride.End(RideEnd::Position);

    document.ballSurface = document.ballStartSurface;
    // Parameters outside the surface (or not numbers at all) are not usable.
    const auto usable = [](double x) { return x >= 0.0 && x <= 1.0; };
    if (!usable(document.ballStartU) || !usable(document.ballStartV)) {
        WriteSetting(document.ballStartU, 0.5);
        WriteSetting(document.ballStartV, 0.5);
    }
    ResetBall(document);
    PlaceBall(document, document.ballStartU, document.ballStartV, document.launchSpeed);
    if (!quiet) sim.rideProfile.Clear();
    sim.rideProfile.Restart(sim.ball);
    sim.lowestSurfaceHeight = lowestHeight(document);
    {
        LockGuard guard(document.simulationLock);
        sim.published = sim.ball;
        sim.publishedSurface = document.ballSurface;
    }

    WriteSetting(document.showBall, true);
    WriteSetting(document.showBallPathPast, true);
    WriteSetting(document.navigation, true);
    WriteSetting(document.cameraFollowsBall, true);
    sim.runMode = true;
    WriteSetting(document.cameraDistance, -sim.camera.minimumDistance);
    sim.camera.elevationFraction = 0.25;
    if (render) render->ResumeRender();
    // The physics thread's own call (quiet) leaves the panel to the next command.
    if (!quiet) document.peers().RefreshControlPanel();
    return {};
}

void LaunchQuietly(COpenGLTemplateDoc& document)
{
    PositionBall(document, true);
    FixLaunch(document);
    RollBall(document);
}

void FixLaunch(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    if (!document.ballSurface) return;
    PlaceBall(document, document.ballStartU, document.ballStartV, document.launchSpeed);
    sim.rideProfile.Restart(sim.ball);
    sim.camera.elevationFraction = 0.25;
    sim.settingVelocity = false;
    sim.velocitySet = true;
}
