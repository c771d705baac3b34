#include "simulation/FollowCamera.h"

#include "document/OpenGLTemplateDoc.h"
#include "geometry/Matrix4.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/SharedSettings.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kApexDelaySteps = 80;
constexpr double kSwingSteps = 40.0;
constexpr double kMaximumSwing = kPi / 6.0;
constexpr double kLaggingIntensity = 0.8;
constexpr double kFollowPerOrbitDistance = 21.0;
// Rounding allowance of the turn limit: a turn of exactly the limit, left
// after whole steps of it, counts as within it.
constexpr double kTurnRounding = 1e-9;

double elevationAngle(const FollowCameraState& camera)
{
    return camera.elevationOffset + camera.elevationFraction * (camera.elevationTop - camera.elevationOffset);
}

// Angle between two vectors, 0 when the second has no length.
double angleBetween(const Vec3& from, const Vec3& to)
{
    if (length(to) == 0.0) return 0.0;
    return std::acos(std::clamp(dot(normalized(from), normalized(to)), -1.0, 1.0));
}

// from turned toward `to` by at most maxTurn; `to` itself when within it.
Vec3 turnToward(const Vec3& from, const Vec3& to, double angle, double maxTurn)
{
    if (length(to) == 0.0) return from;
    if (angle <= maxTurn + kTurnRounding || length(from) == 0.0) return to;
    Vec3 axis = cross(from, to);
    if (length(axis) == 0.0) {
        // Opposite vectors: any axis across them turns one toward the other.
        axis = cross(from, Vec3{1.0, 0.0, 0.0});
        if (length(axis) == 0.0) axis = cross(from, Vec3{0.0, 1.0, 0.0});
    }
    return rotateVector(from, axis, maxTurn);
}

bool usable(const CameraPlacement& p)
{
    return isFinite(p.eye) && isFinite(p.direction) && isFinite(p.up) && length(p.direction) > 0.0 &&
           length(p.up) > 0.0;
}

void appendCameraPath(COpenGLTemplateDoc& document)
{
    FollowCameraState& camera = document.simulation.camera;
    CameraPathPoint point;
    {
        LockGuard guard(document.cameraLock);
        point.eye = camera.active.eye;
    }
    point.intensity = camera.lagSteps == 0 ? 1.0 : kLaggingIntensity;
    LockGuard guard(document.cameraPathLock);
    camera.pathPast.push(point);
}

} // namespace

double FollowDistanceForSpeed(const FollowCameraState& camera, double speed)
{
    if (!(speed > camera.speedLow)) return camera.followDistanceLow;
    if (speed >= camera.speedHigh) return camera.followDistanceHigh;
    return camera.followDistanceLow + (camera.followDistanceHigh - camera.followDistanceLow) *
                                          (speed - camera.speedLow) / (camera.speedHigh - camera.speedLow);
}

bool SurfacePlacement(const FollowCameraState& camera, const BallState& record, const Vec3& referenceUp,
                      double distance, CameraPlacement& placement)
{
    const Vec3 f = normalized(record.velocity);
    const Vec3 right = -normalized(cross(f, normalized(referenceUp)));
    const Vec3 up = normalized(cross(f, right));
    const double a = elevationAngle(camera);
    const Vec3 offset = (-std::cos(a) * distance) * f + (std::sin(a) * distance) * up;
    CameraPlacement p;
    p.eye = record.ballCentre + offset;
    p.direction = record.ballCentre - p.eye;
    p.up = normalized(cross(right, offset));
    if (!usable(p)) return false;
    placement = p;
    return true;
}

bool FlightPlacement(FollowCameraState& camera, const BallState& record, const Vec3& vertical, double distance,
                     CameraPlacement& placement)
{
    camera.rising = record.ballCentre.y > record.previousBallCentre.y;
    if (camera.stepsInFlight == 0) {
        const Vec3 motion = record.ballCentre - record.previousBallCentre;
        const double side = motion.x * record.velocity.z - motion.z * record.velocity.x;
        camera.swingSide = side >= 0.0 ? 1 : -1;
    } else if (!camera.rising && camera.previousRising) {
        camera.stepsSinceApex = 0;
    }
    const double h = std::sin(elevationAngle(camera)) * distance;
    const double back = std::sqrt(std::max(distance * distance - h * h, 0.0));
    Vec3 f = record.velocity;
    if (camera.stepsSinceApex >= kApexDelaySteps) {
        const double s =
            std::min((camera.stepsSinceApex - kApexDelaySteps) / kSwingSteps * kMaximumSwing, kMaximumSwing);
        f = rotateVector(f, vertical, camera.swingSide * s);
    }
    const Vec3 offset = -back * normalized(f) + h * vertical;
    CameraPlacement p;
    p.eye = record.ballCentre + offset;
    p.direction = record.ballCentre - p.eye;
    p.up = normalized(cross(normalized(cross(offset, vertical)), offset));
    ++camera.stepsInFlight;
    ++camera.stepsSinceApex;
    camera.previousRising = camera.rising;
    if (!usable(p)) return false;
    placement = p;
    return true;
}

void ComputeFollowCamera(COpenGLTemplateDoc& document, int k)
{
    SimulationState& sim = document.simulation;
    FollowCameraState& camera = sim.camera;
    if (k < 0 || k >= static_cast<int>(sim.futurePath.size())) return;
    BallState record;
    {
        LockGuard guard(document.simulationLock);
        record = sim.futurePath[static_cast<std::size_t>(k)];
    }
    const Vec3 vertical = document.verticalReference();
    const double D = ReadSetting(document.followDistance);
    CameraPlacement placement;
    bool placed = false;
    if (camera.verticalSwitch) placed = SurfacePlacement(camera, record, vertical, D, placement);
    else if (record.inAir != 0.0) placed = FlightPlacement(camera, record, vertical, D, placement);
    else placed = SurfacePlacement(camera, record, record.surfaceNormal, D, placement);
    if (!placed) return;
    LockGuard guard(document.cameraLock);
    camera.target = placement;
}

bool StepLaggingCamera(FollowCameraState& camera, const Vec3& ball)
{
    CameraPlacement& active = camera.active;
    const CameraPlacement& target = camera.target;
    const double a1 = angleBetween(active.direction, target.direction);
    const double a2 = angleBetween(active.up, target.up);
    const double targetDistance = length(target.direction);
    const double activeDistance = length(ball - active.eye);
    const double e = targetDistance - activeDistance;
    const double tolerance = camera.distanceTolerance;
    const double turnLimit = camera.maximumTurn + kTurnRounding;
    if (a1 <= turnLimit && a2 <= turnLimit && std::fabs(e) <= tolerance) {
        camera.previousEye = active.eye;
        active = target;
        camera.lagSteps = 0;
        return true;
    }
    ++camera.lagSteps;
    const Vec3 direction = turnToward(active.direction, target.direction, a1, camera.maximumTurn);
    const Vec3 up = turnToward(active.up, target.up, a2, camera.maximumTurn);
    const double distance = std::fabs(e) <= tolerance ? targetDistance : activeDistance + std::copysign(tolerance, e);
    active.eye = ball - distance * normalized(direction);
    active.direction = ball - active.eye;
    active.up = up;
    return false;
}

void UpdateLaggingCamera(COpenGLTemplateDoc& document)
{
    FollowCameraState& camera = document.simulation.camera;
    const Vec3 ball = camera.target.eye + camera.target.direction;
    LockGuard guard(document.cameraLock);
    StepLaggingCamera(camera, ball);
}

void UpdateFollowCamera(COpenGLTemplateDoc& document)
{
    FollowCameraState& camera = document.simulation.camera;
    ComputeFollowCamera(document, 0);
    if (camera.cameraFixed || camera.laggingSwitch == 0) {
        camera.cameraFixed = false;
        LockGuard guard(document.cameraLock);
        camera.previousEye = camera.active.eye;
        camera.active = camera.target;
        camera.lagSteps = 0;
    } else {
        UpdateLaggingCamera(document);
    }
    appendCameraPath(document);
}

void PreviewLaunch(COpenGLTemplateDoc& document, double orbitDistance)
{
    SimulationState& sim = document.simulation;
    if (!document.ballSurface) return;
    WriteSetting(document.followDistance, kFollowPerOrbitDistance * orbitDistance);
    PlaceBall(document, document.ballStartU, document.ballStartV, document.launchSpeed);
    {
        LockGuard guard(document.simulationLock);
        ResetFuturePaths(document);
        sim.futureIndex = 0;
        RecordPresentState(document);
        sim.published = sim.ball;
    }
    sim.camera.cameraFixed = true;
    UpdateFollowCamera(document);
}

void ResetCameraLag(FollowCameraState& camera) { camera.lagSteps = 0; }
