#include "cli/HeadlessScene.h"

#include "cli/CliCommands.h"
#include "render/SimulationFrame.h"
#include "simulation/FollowCamera.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/SharedSettings.h"
#include "simulation/Simulation.h"

#include <ostream>

namespace cli {

int HeadlessScene::Open(const SimulateOptions& run, bool launch, std::ostream& err)
{
    std::string error;
    if (!document_.OnOpenDocument(run.document, error)) {
        err << "marlwick-cli: " << error << '\n';
        return kExitFile;
    }
    // What the view shows after opening: the ball placed at its start.
    orbitDistance_ = document_.cameraDistance;
    if (document_.ballStartSurface) {
        if (const int code = CheckStoredLaunch(document_, run, err)) return code;
        PositionBall(document_);
    }
    if (launch) {
        ride_.emplace();
        if (const int code = ride_->Prepare(document_, run, err)) return code;
    }
    positionedDistance_ = document_.cameraDistance;
    if (hasBall()) PlaceFollowCamera();
    return kExitOk;
}

// The follow camera placed at once on the ball's present state, as the view
// places it while the launch is being chosen.
void HeadlessScene::PlaceFollowCamera()
{
    SimulationState& sim = document_.simulation;
    {
        LockGuard guard(document_.simulationLock);
        ResetFuturePaths(document_);
        sim.futureIndex = 0;
        RecordPresentState(document_);
    }
    sim.camera.cameraFixed = true;
    UpdateFollowCamera(document_);
}

RideSample HeadlessScene::Step()
{
    // The run follows the ball from "Position ball" on, whatever the frames show.
    WriteSetting(document_.cameraFollowsBall, true);
    ++steps_;
    return ride_->Step(document_);
}

RideSample HeadlessScene::Launch() const
{
    const SimulationState& sim = document_.simulation;
    return MeasureHeldBall(sim.ball, RideModelOf(sim));
}

render::FrameRequest HeadlessScene::Frame(bool follow, int width, int height)
{
    const bool following = follow && hasBall();
    WriteSetting(document_.cameraFollowsBall, following);
    document_.cameraDistance = following ? positionedDistance_ : orbitDistance_;
    render::FrameRequest request;
    request.width = width;
    request.height = height;
    request.simulation = render::CaptureSimulationFrame(document_);
    return request;
}

} // namespace cli
