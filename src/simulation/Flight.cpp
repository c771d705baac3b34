#include "simulation/Flight.h"

#include "document/OpenGLTemplateDoc.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/Rolling.h"
#include "simulation/SharedSettings.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kNoHitDistance = 99999.0;
// The rest of a step after an impact is never shorter than this.
constexpr double kShortestRemainder = 0.01;

struct NearestHit {
    bool found = false;
    SurfaceSection* surface = nullptr;
    SegmentHit hit;
};

NearestHit findNearestHit(COpenGLTemplateDoc& document, const Vec3& from, const Vec3& to)
{
    SimulationState& sim = document.simulation;
    const LiveBall& b = sim.ball;
    NearestHit nearest;
    double best = kNoHitDistance;
    const MeshCell lastCell{b.lastCellRow, b.lastCellColumn};
    const bool guarded = ReadSetting(document.preventSameSurfaceImpact) && b.sameSurfaceGuard > 0;
    LockGuard guard(document.documentLock);
    for (const auto& owned : document.surfaces) {
        SurfaceSection& s = *owned;
        if (s.render.load() == 0) continue;
        std::optional<MeshCell> skip;
        if (guarded && &s == b.lastSurface && lastCell.valid()) skip = lastCell;
        ++sim.intersectionSearches;
        const SegmentHit hit = IntersectSegment(s, from, to, sim.overlay, skip);
        if (!hit.found) continue;
        const double d = length(hit.point - from);
        if (d < best) {
            best = d;
            nearest.found = true;
            nearest.surface = &s;
            nearest.hit = hit;
        }
    }
    return nearest;
}

void flyFreely(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    b.previousBallCentre = b.contactPoint;
    b.previousContactPoint = b.previousBallCentre;
    b.ballCentre = b.contactPoint + b.displacement;
    b.contactPoint = b.ballCentre;
    b.acceleration = sim.gravity;
    // The roll axis drifts toward the horizontal across the flight direction.
    const Vec3 target = normalized(cross(COpenGLTemplateDoc::upVector, normalized(b.velocity)));
    b.rollAxis += (1.0 / (2.0 * sim.targetStepRate)) * normalized(target - normalized(b.rollAxis));
    RecordPathPoint(document, true, false, b.contactPoint);
}

// The impact frame and the split of the step's motion at the hit.
void analyseImpact(COpenGLTemplateDoc& document, const NearestHit& nearest)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    ImpactRecord& m = b.impact;
    m.hitSurface = nearest.surface;
    m.hitPoint = nearest.hit.point;
    m.hitU = nearest.hit.u;
    m.hitV = nearest.hit.v;
    m.impactPoint = m.hitPoint;
    const SurfaceFrame frame = SurfaceTangents(*m.hitSurface, m.hitU, m.hitV);
    m.impactTangentU = normalized(frame.Su);
    m.impactTangentV = normalized(frame.Sv);
    m.impactNormal = frame.N;
    m.impactNegTangentU = -m.impactTangentU;
    m.impactNegTangentV = -m.impactTangentV;
    m.impactCentre = m.impactPoint + document.ballRadius * m.impactNormal;

    const double travelled = length(m.impactPoint - b.contactPoint);
    m.incomingPart = travelled * normalized(b.contactPoint - b.previousContactPoint);
    m.tangentialPart = ProjectToTangentPlane(m.impactPoint, m.impactTangentU, m.impactTangentV, m.incomingPart);
    const Vec3 n = normalized(m.impactNormal);
    m.normalPart = dot(m.incomingPart, n) * n;
    m.impactAngle = std::acos(std::clamp(dot(normalized(m.tangentialPart), normalized(m.incomingPart)), -1.0, 1.0));
    const double remaining = std::max(length(b.displacement) - length(m.incomingPart), kShortestRemainder);
    m.reflectedPart = remaining * normalized(m.tangentialPart - m.normalPart);
    m.landingPart = remaining * normalized(m.tangentialPart);
}

void bounce(COpenGLTemplateDoc& document, double outSpeed)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    const ImpactRecord& m = b.impact;
    b.previousContactPoint = m.impactCentre;
    b.previousBallCentre = m.impactCentre;
    b.ballCentre = m.impactCentre + m.reflectedPart;
    b.contactPoint = b.ballCentre;
    b.previousVelocity = b.velocity;
    b.velocity = outSpeed * normalized(m.reflectedPart);
    b.acceleration = sim.gravity;
    if (ReadSetting(document.preventSameSurfaceImpact)) b.sameSurfaceGuard = 2;
    sim.events.add(SimulationEventKind::Bounce, m.hitSurface);
}

// Lands on the hit surface and rolls the rest of the step there.
void land(COpenGLTemplateDoc& document, double outSpeed)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    const ImpactRecord m = b.impact;
    sim.events.add(SimulationEventKind::Land, m.hitSurface);
    b.inAir = false;
    document.ballSurface = m.hitSurface;
    b.ballU = m.hitU;
    b.ballV = m.hitV;
    b.contactPoint = m.impactPoint;
    b.ballCentre = m.impactCentre;
    UpdateContactFrame(document);
    RecordContactCell(document);

    b.displacement = m.landingPart;
    RollOnSurfaces(document);
    if (!b.inAir) {
        const ContactSegment& last = b.lastSegment();
        b.previousContactPoint = m.impactPoint;
        b.previousBallCentre = m.impactCentre;
        document.ballSurface = last.nextSurface;
        b.ballU = last.endU;
        b.ballV = last.endV;
        b.contactPoint = last.endPoint;
        UpdateContactFrame(document);
        RecordContactCell(document);
        b.previousVelocity = b.velocity;
        b.velocity = outSpeed * normalized(m.landingPart);
        b.rollAxis = normalized(cross(m.impactNormal, normalized(b.contactPoint - m.impactPoint)));
        TurnBall(b, length(b.ballCentre - b.previousBallCentre), document.ballRadius);
    } else {
        b.previousContactPoint = b.previousBallCentre = m.impactCentre;
        b.ballCentre = m.impactCentre + b.displacement;
        b.contactPoint = b.ballCentre;
        b.velocity = outSpeed * normalized(m.landingPart);
        if (ReadSetting(document.preventSameSurfaceImpact)) b.sameSurfaceGuard = 2;
    }
}

void fly(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    if (ReadSetting(document.preventSameSurfaceImpact)) --b.sameSurfaceGuard;

    const NearestHit nearest = findNearestHit(document, b.contactPoint, b.contactPoint + b.displacement);
    if (!nearest.found) {
        flyFreely(document);
        return;
    }
    if (ReadSetting(document.pauseOnBounce)) sim.stopped = true;
    sim.events.add(SimulationEventKind::Impact, nearest.surface);
    analyseImpact(document, nearest);
    const ImpactRecord& m = b.impact;
    const double outSpeed = length(b.velocity * sim.restitution);
    RecordPathPoint(document, true, true, m.impactCentre);
    if (ReadSetting(document.bounceEnabled) && outSpeed >= sim.bounceMinSpeed && m.impactAngle >= sim.bounceMinAngle)
        bounce(document, outSpeed);
    else
        land(document, outSpeed);
    RecordPathPoint(document, b.inAir, false, b.contactPoint);
}

} // namespace

void AdvanceBall(COpenGLTemplateDoc& document)
{
    LiveBall& b = document.simulation.ball;
    if (b.inAir) {
        fly(document);
        return;
    }
    RollOnSurfaces(document);
    if (b.inAir) TakeOff(document);
    else FinishRolling(document);
}
