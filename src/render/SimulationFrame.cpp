#include "render/SimulationFrame.h"

#include "document/OpenGLTemplateDoc.h"

namespace render {

const ContactSegment* ContactSegmentOfDigit(const LiveBall& ball, int digit)
{
    if (digit < 1 || digit > ball.segmentCount || digit > kMaxContactSegments) return nullptr;
    const ContactSegment& piece = ball.contactSegments[static_cast<std::size_t>(digit)];
    return piece.surface ? &piece : nullptr;
}

SimulationFrame CaptureSimulationFrame(COpenGLTemplateDoc& document, int selectedSegment)
{
    SimulationState& sim = document.simulation;
    SimulationFrame f;
    f.runMode = sim.runMode.load();
    f.settingVelocity = sim.settingVelocity.load();
    f.forceInputActive = sim.forceInputActive.load();
    f.gravity = sim.gravity;
    f.launchDirection = document.launchDirection;
    f.launchSpeed = document.launchSpeed;
    {
        LockGuard guard(document.simulationLock);
        const LiveBall& b = sim.published;
        f.ballCentre = b.ballCentre;
        f.ballOrientation = b.ballOrientation;
        f.previousBallCentre = b.previousBallCentre;
        f.velocity = b.velocity;
        f.velocityChange = b.velocityChange;
        f.tangentU = b.tangentU;
        f.tangentV = b.tangentV;
        f.surfaceNormal = b.surfaceNormal;
        f.acceleration = b.acceleration;
        f.appliedForce = b.appliedForce;
        f.impact = b.impact;
        if (const ContactSegment* chosen = ContactSegmentOfDigit(b, selectedSegment + 1))
            f.selectedSegment = *chosen;
    }
    {
        LockGuard guard(document.documentLock);
        f.search = sim.overlay;
    }
    {
        LockGuard guard(document.pathLock);
        f.pastPath.reserve(sim.pastPath.size());
        for (std::size_t k = 0; k < sim.pastPath.size(); ++k) f.pastPath.push_back(sim.pastPath[k]);
    }
    {
        LockGuard guard(document.cameraPathLock);
        const auto& path = sim.camera.pathPast;
        f.cameraPath.reserve(path.size());
        for (std::size_t k = 0; k < path.size(); ++k) f.cameraPath.push_back(path[k]);
    }
    {
        LockGuard guard(document.cameraLock);
        f.activeCamera = sim.camera.active;
        f.targetCamera = sim.camera.target;
    }
    return f;
}

} // namespace render
