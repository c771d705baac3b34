#include "simulation/Rolling.h"

#include "document/OpenGLTemplateDoc.h"
#include "geometry/Plane.h"
#include "simulation/FollowCamera.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/SharedSettings.h"
#include "simulation/SurfaceQueries.h"

#include <cmath>

namespace {

// Chord lengths within this of the wanted length end a parameter search.
constexpr double kChordTolerance = 0.000005;
constexpr int kSearchEvaluations = 31;
constexpr double kSearchBracket = 0.5;
// Lift-off: the cosine between the rest of the step and the surface normal.
constexpr double kLiftOffCosine = 0.02;
constexpr double kEdgeDistanceTolerance = 0.001;
constexpr int kEdgeSearchSteps = 20;

// Tangential displacement = a unit(tangentU) + b unit(tangentV). Tangents
// that are zero or parallel give no sound split: no motion.
struct ObliqueSplit {
    double a = 0.0, b = 0.0;
};

ObliqueSplit splitAlongTangents(const Vec3& T, const Vec3& eU, const Vec3& eV)
{
    const bool hasU = dot(eU, eU) > 0.0, hasV = dot(eV, eV) > 0.0;
    if (!hasU && !hasV) return {};
    if (!hasV) return {dot(T, eU), 0.0};
    if (!hasU) return {0.0, dot(T, eV)};
    const double c = dot(eU, eV), det = 1.0 - c * c;
    if (!(det > 1e-12)) return {};
    const double tu = dot(T, eU), tv = dot(T, eV);
    return {(tu - c * tv) / det, (tv - c * tu) / det};
}

struct ParameterSearch {
    double parameter = 0.0; // last evaluated parameter (wrapped or clamped)
    Vec3 chord;
    bool edge = false;
    bool atZero = false;
};

Vec3 pointAlong(SurfaceSection& s, ParameterDirection direction, double t, double fixed)
{
    return direction == ParameterDirection::U ? s.EvaluatePoint(t, fixed) : s.EvaluatePoint(fixed, t);
}

// Bisection for the parameter change along one direction whose chord from the
// segment's start has the given length; the bracket is [0, 0.5] on the
// positive side and [-0.5, 0] on the negative one.
ParameterSearch searchParameter(const ContactSegment& segment, ParameterDirection direction, double sign,
                                double length, bool wrap)
{
    SurfaceSection& s = *segment.surface;
    const bool alongU = direction == ParameterDirection::U;
    const double start = alongU ? segment.startU : segment.startV;
    const double fixed = alongU ? segment.startV : segment.startU;
    ParameterSearch r;
    r.parameter = start;
    if (!(length > 0.0)) return r;
    double nearEnd = 0.0, farEnd = sign * kSearchBracket;
    for (int k = 0; k < kSearchEvaluations; ++k) {
        const double trial = 0.5 * (nearEnd + farEnd);
        double p = start + trial;
        bool clamped = false;
        if (p > 1.0) {
            if (wrap) p -= 1.0;
            else {
                p = 1.0;
                clamped = true;
            }
        } else if (p < 0.0) {
            if (wrap) p += 1.0;
            else {
                p = 0.0;
                clamped = true;
            }
        }
        r.parameter = p;
        r.chord = pointAlong(s, direction, p, fixed) - segment.startPoint;
        const double chordLength = ::length(r.chord);
        if (std::fabs(chordLength - length) <= kChordTolerance) return r;
        if (chordLength <= length && clamped) {
            r.edge = true;
            r.atZero = p == 0.0;
            return r;
        }
        if (chordLength <= length) nearEnd = trial;
        else farEnd = trial;
    }
    return r;
}

bool simulated(const SurfaceSection& s) { return s.render.load() != 0 && s.hasNet(); }

bool inHole(const SurfaceSection& s, double u, double v)
{
    for (const SurfaceHole& hole : s.holes)
        if (PointInHole(hole, u, v)) return true;
    return false;
}

bool within(double x, double lo, double hi) { return lo <= x && x <= hi; }

// The ball's orientation loses its orthonormality to rounding over many
// turns; re-orthonormalise its rotation block.
void orthonormalise(Matrix4& m)
{
    Vec3 c0{m.at(0, 0), m.at(1, 0), m.at(2, 0)}, c1{m.at(0, 1), m.at(1, 1), m.at(2, 1)};
    c0 = normalized(c0);
    c1 = normalized(c1 - dot(c1, c0) * c0);
    const Vec3 c2 = cross(c0, c1);
    if (length(c2) == 0.0) return;
    const Vec3 columns[3] = {c0, c1, c2};
    for (int c = 0; c < 3; ++c) {
        m.at(0, c) = columns[c].x;
        m.at(1, c) = columns[c].y;
        m.at(2, c) = columns[c].z;
    }
}

void fillFrame(ContactSegment& segment, const SurfaceFrame& frame)
{
    segment.segTangentU = frame.Su;
    segment.segTangentV = frame.Sv;
    segment.segNormal = frame.N;
}

} // namespace

Vec3 ProjectToTangentPlane(const Vec3& point, const Vec3& tangentU, const Vec3& tangentV, const Vec3& vector)
{
    const Plane plane = PlaneFromPoints(point, point + tangentU, point + tangentV);
    Vec3 end = point + vector;
    const double distance = dot(plane.normal, end) + plane.d;
    if (distance != 0.0) end -= distance * plane.normal;
    return end - point;
}

void UpdateContactFrame(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    b.previousTangentU = b.tangentU;
    b.previousTangentV = b.tangentV;
    SurfaceDerivatives d;
    if (document.ballSurface) document.ballSurface->EvaluateDerivatives(b.ballU, b.ballV, d);
    // A broken net must not poison the ball: a non-finite frame counts as degenerate.
    if (!isFinite(d.Su) || !isFinite(d.Sv) || !isFinite(d.N) || !isFinite(d.Suu) || !isFinite(d.Svv) ||
        !isFinite(d.Suv) || !std::isfinite(d.K))
        d = SurfaceDerivatives();
    b.tangentU = d.Su;
    b.tangentV = d.Sv;
    b.surfaceNormal = d.N;
    b.curvatureFrame[0] = d.Suu;
    b.curvatureFrame[1] = d.Svv;
    b.curvatureFrame[2] = d.Suv;
    b.curvature = d.K;
    b.negTangentU = -b.tangentU;
    b.negTangentV = -b.tangentV;
    b.ballCentre = b.contactPoint + document.ballRadius * b.surfaceNormal;
    if (b.inAir || dot(normalized(sim.gravity), b.surfaceNormal) > 0.0)
        b.acceleration = sim.gravity;
    else
        b.acceleration = ProjectToTangentPlane(b.contactPoint, b.tangentU, b.tangentV, sim.gravity);
}

void WalkParameters(ContactSegment& segment)
{
    SurfaceSection& s = *segment.surface;
    segment.tangentialDisplacement = ProjectToTangentPlane(segment.startPoint, segment.segTangentU,
                                                           segment.segTangentV, segment.remainingDisplacement);
    const Vec3 eU = normalized(segment.segTangentU), eV = normalized(segment.segTangentV);
    const ObliqueSplit split = splitAlongTangents(segment.tangentialDisplacement, eU, eV);
    const double su = split.a >= 0.0 ? 1.0 : -1.0, sv = split.b >= 0.0 ? 1.0 : -1.0;
    const double Lu = std::fabs(split.a), Lv = std::fabs(split.b);
    segment.uComponent = split.a * eU;
    segment.vComponent = split.b * eV;
    segment.hitEdgeU = segment.hitEdgeUAtZero = segment.hitEdgeV = segment.hitEdgeVAtZero = 0;
    segment.endKind = 0;

    const ParameterSearch us = searchParameter(segment, ParameterDirection::U, su, Lu, s.wrapU);
    const ParameterSearch vs = searchParameter(segment, ParameterDirection::V, sv, Lv, s.wrapV);
    segment.chordU = us.chord;
    segment.chordV = vs.chord;
    if (us.edge) {
        segment.hitEdgeU = 1;
        segment.hitEdgeUAtZero = us.atZero ? 1 : 0;
        segment.endKind = 1;
    }
    if (vs.edge) {
        segment.hitEdgeV = 1;
        segment.hitEdgeVAtZero = vs.atZero ? 1 : 0;
        segment.endKind = 1;
    }
    const double ru = Lu > 0.0 ? length(segment.chordU) / Lu : 0.0;
    const double rv = Lv > 0.0 ? length(segment.chordV) / Lv : 0.0;

    if (!us.edge && !vs.edge) {
        segment.endU = us.parameter;
        segment.endV = vs.parameter;
    } else if (vs.edge && (!us.edge || rv < ru)) {
        // The v edge comes first: the u motion stops at the same fraction.
        segment.endV = vs.parameter;
        segment.edgePoint = segment.startPoint + segment.chordV + rv * segment.uComponent;
        segment.endU = su > 0.0 ? NearestEdgeParameter(s, segment.edgePoint, ParameterDirection::U, segment.endV,
                                                       segment.startU, 1.0)
                                : NearestEdgeParameter(s, segment.edgePoint, ParameterDirection::U, segment.endV,
                                                       0.0, segment.startU);
    } else {
        segment.endU = us.parameter;
        segment.edgePoint = segment.startPoint + segment.chordU + ru * segment.vComponent;
        segment.endV = sv > 0.0 ? NearestEdgeParameter(s, segment.edgePoint, ParameterDirection::V, segment.endU,
                                                       segment.startV, 1.0)
                                : NearestEdgeParameter(s, segment.edgePoint, ParameterDirection::V, segment.endU,
                                                       0.0, segment.startV);
    }
    segment.deltaU = segment.endU - segment.startU;
    segment.deltaV = segment.endV - segment.startV;
    segment.endPoint = s.EvaluatePoint(segment.endU, segment.endV);
}

void WalkSegment(ContactSegment& segment)
{
    WalkParameters(segment);
    if (segment.reachedEdge()) return;
    const SurfaceFrame end = SurfaceTangents(*segment.surface, segment.endU, segment.endV);
    segment.segTangentU = (normalized(segment.segTangentU) + normalized(end.Su)) / 2.0;
    segment.segTangentV = (normalized(segment.segTangentV) + normalized(end.Sv)) / 2.0;
    WalkParameters(segment);
}

double NearestEdgeParameter(SurfaceSection& surface, const Vec3& X, ParameterDirection direction, double fixed,
                            double lo, double hi)
{
    double previousDistance = length(X - pointAlong(surface, direction, lo, fixed));
    double t = (lo + hi) / 2.0;
    double savedLo = lo, savedHi = hi, savedT = t;
    bool towardHi = true;
    for (int count = 0;; ++count) {
        const double d = length(X - pointAlong(surface, direction, t, fixed));
        const double diff = previousDistance - d;
        previousDistance = d;
        if (d <= kEdgeDistanceTolerance || std::fabs(diff) <= kEdgeDistanceTolerance || count > kEdgeSearchSteps ||
            !std::isfinite(d))
            break;
        if (diff < 0.0) {
            lo = savedLo;
            hi = savedHi;
            t = savedT;
            towardHi = !towardHi;
        }
        savedLo = lo;
        savedHi = hi;
        savedT = t;
        if (towardHi) lo = t;
        else hi = t;
        t = (lo + hi) / 2.0;
    }
    return t;
}

const AttachmentSite* CrossAttachment(LiveBall& ball)
{
    if (ball.segmentCount < 1 || ball.segmentCount >= kMaxContactSegments) return nullptr;
    ContactSegment& current = ball.contactSegments[ball.segmentCount];
    for (const AttachmentSite& site : current.surface->attachmentSites) {
        SurfaceSection* other = site.otherSurface;
        if (!other || !simulated(*other)) continue;
        double along = 0.0;
        if (current.hitEdgeU && site.sideFlag && site.firstFlag == current.hitEdgeUAtZero)
            along = current.endV;
        else if (current.hitEdgeV && !site.sideFlag && site.firstFlag == current.hitEdgeVAtZero)
            along = current.endU;
        else
            continue;
        if (!within(along, site.low, site.high) || !within(along, site.attachedLow, site.attachedHigh)) continue;

        const double a = site.attachedLow, b = site.attachedHigh;
        const double t = b != a ? (along - a) / (b - a) : 0.0;
        const double p = site.partnerAttachedLow, q = site.partnerAttachedHigh;
        const double partnerAlong = site.reversed ? q - t * (q - p) : p + t * (q - p);
        const double across = site.partnerFirstFlag ? 0.0 : 1.0;

        current.nextSurface = other;
        ContactSegment& next = ball.contactSegments[ball.segmentCount + 1];
        next.reset();
        next.surface = next.nextSurface = other;
        next.startU = site.partnerSideFlag ? across : partnerAlong;
        next.startV = site.partnerSideFlag ? partnerAlong : across;
        return &site;
    }
    return nullptr;
}

void RollOnSurfaces(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    b.segmentCount = 1;
    ContactSegment& first = b.contactSegments[1];
    first.reset();
    first.surface = first.nextSurface = document.ballSurface;
    first.startU = b.ballU;
    first.startV = b.ballV;
    first.startPoint = b.contactPoint;
    first.segTangentU = b.tangentU;
    first.segTangentV = b.tangentV;
    first.segNormal = b.surfaceNormal;
    first.segDisplacement = first.remainingDisplacement = b.displacement;
    if (b.inAir || !first.surface) return;

    while (!b.inAir) {
        ContactSegment& current = b.contactSegments[b.segmentCount];
        WalkSegment(current);
        if (b.segmentCount == kMaxContactSegments && current.reachedEdge()) return;
        SimulationEventKind leaving = SimulationEventKind::Edge;
        if (!current.reachedEdge()) {
            if (!inHole(*current.surface, current.endU, current.endV)) return;
            leaving = SimulationEventKind::Hole;
        } else if (const AttachmentSite* site = CrossAttachment(b)) {
            ++b.segmentCount;
            ContactSegment& next = b.contactSegments[b.segmentCount];
            next.startPoint = next.surface->EvaluatePoint(next.startU, next.startV);
            fillFrame(next, SurfaceTangents(*next.surface, next.startU, next.startV));
            next.segDisplacement = b.displacement;
            next.remainingDisplacement = (b.contactPoint + b.displacement) - next.startPoint;
            if (site->pseudoSurface) {
                b.pseudoCrossing = true;
                b.pseudoSurface = site->pseudoSurface;
                sim.camera.cameraFixed = true;
            }
            sim.events.add(SimulationEventKind::Cross, next.surface, site->name);
            continue;
        }
        b.inAir = true;
        if (ReadSetting(document.pauseOnAir)) sim.stopped = true;
        sim.events.add(leaving, current.surface);
    }
}

void TakeOff(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    b.inAir = true;
    // A pseudo surface reached in a step that ends in the air is not taken.
    b.pseudoCrossing = false;
    b.previousContactPoint = b.ballCentre;
    b.previousBallCentre = b.previousContactPoint;
    b.ballCentre = b.previousBallCentre + b.displacement;
    b.contactPoint = b.ballCentre;
    b.acceleration = sim.gravity;
    if (ReadSetting(document.preventSameSurfaceImpact)) b.sameSurfaceGuard = 2;
    ResetCameraLag(sim.camera);
}

void RecordContactCell(COpenGLTemplateDoc& document)
{
    if (!ReadSetting(document.preventSameSurfaceImpact)) return;
    LiveBall& b = document.simulation.ball;
    b.lastSurface = document.ballSurface;
    const MeshCell cell = b.lastSurface ? CollisionCellAt(*b.lastSurface, b.ballU, b.ballV) : MeshCell{};
    b.lastCellRow = cell.row;
    b.lastCellColumn = cell.column;
}

void TurnBall(LiveBall& ball, double distance, double radius)
{
    const double angle = distance / radius;
    if (!(radius > 0.0) || !std::isfinite(angle) || angle == 0.0 || length(ball.rollAxis) == 0.0) return;
    rotateBefore(ball.ballOrientation, ball.rollAxis, angle);
    orthonormalise(ball.ballOrientation);
}

void FinishRolling(COpenGLTemplateDoc& document)
{
    SimulationState& sim = document.simulation;
    LiveBall& b = sim.ball;
    ContactSegment& last = b.lastSegment();

    const double remaining = length(last.remainingDisplacement);
    const double k = remaining > 0.0 ? dot(last.remainingDisplacement, last.segNormal) / remaining : 0.0;
    const bool crossedThisStep = b.segmentCount >= 2 && b.contactSegments[b.segmentCount - 1].endKind == 1;
    if (k > kLiftOffCosine && !crossedThisStep) {
        if (ReadSetting(document.pauseOnAir)) sim.stopped = true;
        TakeOff(document);
        sim.events.add(SimulationEventKind::LiftOff, document.ballSurface);
        return;
    }

    if (b.pseudoCrossing && b.pseudoSurface) {
        b.pseudoCrossing = false;
        ClearPaths(document);
        SurfaceSection& pseudo = *b.pseudoSurface;
        last.surface = last.nextSurface = &pseudo;
        last.startPoint = pseudo.EvaluatePoint(last.startU, last.startV);
        last.endPoint = pseudo.EvaluatePoint(last.endU, last.endV);
        fillFrame(last, SurfaceTangents(pseudo, last.startU, last.startV));
        last.tangentialDisplacement =
            ProjectToTangentPlane(last.startPoint, last.segTangentU, last.segTangentV, last.endPoint - last.startPoint);
        b.previousContactPoint = b.previousBallCentre = last.startPoint;
    } else {
        b.previousContactPoint = b.contactPoint;
        b.previousBallCentre = b.ballCentre;
    }

    b.ballU = last.endU;
    b.ballV = last.endV;
    document.ballSurface = last.nextSurface;
    b.contactPoint = last.endPoint;
    UpdateContactFrame(document);
    RecordContactCell(document);

    const Vec3 chord = b.contactPoint - b.previousContactPoint;
    b.previousVelocity = b.velocity;
    b.velocity = length(b.velocity) * normalized(chord);
    b.rollAxis = normalized(cross(b.surfaceNormal, normalized(chord)));
    TurnBall(b, length(b.ballCentre - b.previousBallCentre), document.ballRadius);
    RecordPathPoint(document, false, false, b.contactPoint);
}
