#include "simulation/ForcesAndPaths.h"

#include "document/OpenGLTemplateDoc.h"
#include "simulation/Rolling.h"
#include "surface/ColorRamp.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSlowestBackwardPush = 0.5;

} // namespace

ForceInput ReadForceInput(const SimulationState& sim)
{
    ForceInput input;
    input.active = sim.forceInputActive.load();
    input.x = sim.forceMouseX.load();
    input.y = sim.forceMouseY.load();
    input.circle.centreX = sim.windowCircle.centreX.load();
    input.circle.centreY = sim.windowCircle.centreY.load();
    input.circle.radius = sim.windowCircle.radius.load();
    input.circle.viewHeight = sim.viewHeight.load();
    return input;
}

void ComputeAppliedForce(COpenGLTemplateDoc& document, const ForceInput& input)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    b.appliedForce = Vec3{};
    const ForceCircleLayout& circle = input.circle;
    const double R = circle.radius;
    // A view too small for a circle gives no force.
    if (!input.active || b.inAir || !(R > 0.0)) return;

    const double dx = double(input.x) - circle.centreX;
    const double dy = (double(circle.viewHeight) - input.y) - circle.centreY;
    double a = dx / R, along = dy / R;
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r > R) {
        a *= R / r;
        along *= R / r;
    }
    const double k = 2.0 * length(sim.gravity);
    if (along <= 0.0 && length(b.velocity) < kSlowestBackwardPush) along = 0.0;
    b.appliedForce = along * k * normalized(b.velocity) + a * k * normalized(cross(b.velocity, b.surfaceNormal));
}

void LayoutForceCircle(ForceCircle& circle, int width, int height)
{
    const int size = std::min(width, height);
    circle.size = size;
    circle.centreX = width / 2;
    circle.centreY = height / 2;
    circle.radius = (size - 2) * 0.5 - 10.0;
    circle.laidOut = true;
}

bool InsideForceCircle(const SimulationState& simulation, int x, int y)
{
    const ForceCircle& circle = simulation.windowCircle;
    const double dx = x - circle.centreX.load();
    const double dy = (simulation.viewHeight.load() - circle.centreY.load()) - y;
    return std::sqrt(dx * dx + dy * dy) <= circle.radius.load();
}

void PlaceBall(COpenGLTemplateDoc& document, double u, double v, double speed)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    if (!document.ballSurface) return;
    b.ballU = u;
    b.ballV = v;
    b.contactPoint = document.ballSurface->EvaluatePoint(u, v);
    if (!isFinite(b.contactPoint)) b.contactPoint = Vec3{};
    UpdateContactFrame(document);
    b.velocity = speed * normalized(document.launchDirection);
    // An unusable launch (a file may hold any speed) starts the ball at rest.
    if (!isFinite(b.velocity)) b.velocity = Vec3{};
    RecordContactCell(document);
    RecordPathPoint(document, b.inAir, false, b.contactPoint);
}

Vec3 SurfaceColourAtBall(COpenGLTemplateDoc& document, const Vec3& point)
{
    const LiveBall& b = document.simulation.ball;
    const SurfaceSection* s = document.ballSurface;
    if (!s) return COpenGLTemplateDoc::airColor;
    switch (s->coloring) {
    // The surface keeps its constant colour on the 0..255 scale; the path's
    // surface colours are on the 0..1 scale of the colour maps.
    case Coloring::Constant: return s->constantColor / 255.0;
    case Coloring::Height: return HeightColor(point.y, s->heightMin, s->heightRange);
    case Coloring::Curvature: return CurvatureColor(b.curvature, s->curvatureScale);
    case Coloring::TangentAngle: break;
    }
    return AngleColor(b.surfaceNormal);
}

void RecordPathPoint(COpenGLTemplateDoc& document, bool inAir, bool impact, const Vec3& point)
{
    if (!isFinite(point)) return;
    SimulationState& sim = document.simulation;
    PathPoint p;
    p.inAir = inAir ? 1 : 0;
    p.impact = impact ? 1 : 0;
    p.point = point;
    p.colour = impact  ? COpenGLTemplateDoc::impactColor
               : inAir ? COpenGLTemplateDoc::airColor
                       : SurfaceColourAtBall(document, point);
    LockGuard guard(document.pathLock);
    sim.pastPath.push(p);
}

void ResetFuturePaths(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    LockGuard guard(document.simulationLock);
    sim.futurePath.fill(BallState());
    sim.futureCameraPath.fill(BallState());
}

void RecordPresentState(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    const LiveBall& b = sim.ball;
    LockGuard guard(document.simulationLock);
    if (sim.futureIndex < 0 || sim.futureIndex >= static_cast<std::int32_t>(sim.futurePath.size())) return;
    BallState& r = sim.futurePath[static_cast<std::size_t>(sim.futureIndex)];
    r = BallState();
    r.contactPoint = b.contactPoint;
    r.previousContactPoint = b.previousContactPoint;
    r.ballCentre = b.ballCentre;
    r.previousBallCentre = b.previousBallCentre;
    r.velocity = b.velocity;
    r.colour = b.inAir ? Vec3{1.0, 1.0, 1.0} : SurfaceColourAtBall(document, b.contactPoint);
    r.u = b.ballU;
    r.v = b.ballV;
    r.inAir = b.inAir ? 1.0 : 0.0;
    r.surfaceNormal = b.surfaceNormal;
    if (!b.inAir) {
        r.Suu = b.curvatureFrame[0];
        r.Svv = b.curvatureFrame[1];
        r.curvature = b.curvature;
    }
    ++sim.futureIndex;
}

void ClearPaths(COpenGLTemplateDoc& document)
{
    {
        LockGuard guard(document.pathLock);
        document.simulation.pastPath.clear();
    }
    ResetFuturePaths(document);
    LockGuard guard(document.simulationLock);
    document.simulation.futureIndex = 0;
}
