#include "simulation/RideMeasure.h"

#include "simulation/SimulationState.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr Vec3 kWorldUp{0.0, 1.0, 0.0};
constexpr double kTinyAxis = 1e-9;

// A unit vector perpendicular to the unit vector t.
Vec3 anyPerpendicular(const Vec3& t)
{
    const Vec3 helper = std::fabs(t.x) < 0.9 ? Vec3{1.0, 0.0, 0.0} : Vec3{0.0, 0.0, 1.0};
    return normalized(cross(t, helper));
}

// v^2 times the normal curvature of the surface along v's part in the tangent
// plane: the second fundamental form over the first at (a, b), where that
// part is a Su + b Sv.
double normalAcceleration(const LiveBall& ball, const Vec3& n)
{
    const Vec3 &Su = ball.tangentU, &Sv = ball.tangentV;
    const double E = dot(Su, Su), F = dot(Su, Sv), G = dot(Sv, Sv);
    const double det = E * G - F * F;
    const double p = dot(ball.velocity, Su), q = dot(ball.velocity, Sv);
    if (!(det > kTinyAxis * E * G)) return 0.0;
    const double a = (G * p - F * q) / det, b = (E * q - F * p) / det;
    const double first = a * a * E + 2.0 * a * b * F + b * b * G;
    if (!(first > 0.0)) return 0.0;
    const double second = a * a * dot(ball.curvatureFrame[0], n) + 2.0 * a * b * dot(ball.curvatureFrame[2], n) +
                          b * b * dot(ball.curvatureFrame[1], n);
    return dot(ball.velocity, ball.velocity) * second / first;
}

} // namespace

RideModel RideModelOf(const SimulationState& sim)
{
    return {sim.gravity, sim.velocityDamping, sim.restitution};
}

FeltForce DecomposeFeltAcceleration(const Vec3& acceleration, const LiveBall& ball, const Vec3& gravity)
{
    const double g = length(gravity);
    if (!(g > 0.0)) return {};
    const Vec3 felt = (acceleration - gravity) / g;
    const Vec3 up = ball.inAir ? kWorldUp : normalized(ball.surfaceNormal);
    const Vec3 forward = TravelDirection(ball);
    FeltForce f;
    if (length(forward) == 0.0) {
        f.vertical = dot(felt, up);
        return f;
    }
    Vec3 normal = up - dot(up, forward) * forward;
    if (normalize(normal) < kTinyAxis) normal = anyPerpendicular(forward);
    const Vec3 left = cross(normal, forward);
    f.longitudinal = dot(felt, forward);
    f.vertical = dot(felt, normal);
    f.lateral = dot(felt, left);
    return f;
}

Vec3 TravelDirection(const LiveBall& ball)
{
    if (ball.inAir) return normalized(ball.velocity);
    const Vec3 up = normalized(ball.surfaceNormal);
    const Vec3 along = normalized(ball.velocity - dot(ball.velocity, up) * up);
    return length(along) > 0.0 ? along : normalized(ball.velocity);
}

Vec3 ContactAcceleration(const LiveBall& ball, const Vec3& gravity)
{
    if (ball.inAir) return gravity;
    const Vec3 n = normalized(ball.surfaceNormal);
    return ball.acceleration + ball.appliedForce + normalAcceleration(ball, n) * n;
}

double DampingWindow::Add(double h, double speedLost)
{
    h_[next_] = h;
    lost_[next_] = speedLost;
    next_ = (next_ + 1) % kSteps;
    count_ = std::min(count_ + 1, kSteps);
    double span = 0.0, lost = 0.0;
    for (std::size_t k = 0; k < count_ && span < kSeconds; ++k) {
        const std::size_t at = (next_ + kSteps - 1 - k) % kSteps;
        span += h_[at];
        lost += lost_[at];
    }
    return span > 0.0 ? lost / span : 0.0;
}

RideEnergy EnergyOf(const LiveBall& ball, const Vec3& gravity)
{
    RideEnergy e;
    e.kinetic = 0.5 * dot(ball.velocity, ball.velocity);
    e.potential = length(gravity) * ball.ballCentre.y;
    e.total = e.kinetic + e.potential;
    return e;
}

RideSample MeasureHeldBall(const LiveBall& ball, const RideModel& model)
{
    RideSample s;
    s.speed = length(ball.velocity);
    s.height = ball.ballCentre.y;
    s.felt = DecomposeFeltAcceleration({}, ball, model.gravity);
    s.energy = EnergyOf(ball, model.gravity);
    s.inAir = ball.inAir;
    return s;
}

std::uint16_t EventBits(const StepEvents& events)
{
    std::uint16_t bits = 0;
    for (int k = 0; k < events.count; ++k) bits |= EventBit(events.items[k].kind);
    return bits;
}

const char* SimulationEventName(SimulationEventKind kind)
{
    switch (kind) {
    case SimulationEventKind::LiftOff: return "lift-off";
    case SimulationEventKind::Impact: return "impact";
    case SimulationEventKind::Bounce: return "bounce";
    case SimulationEventKind::Land: return "land";
    case SimulationEventKind::Cross: return "cross";
    case SimulationEventKind::Hole: return "hole";
    case SimulationEventKind::Edge: return "edge";
    case SimulationEventKind::FallReset: return "fall-reset";
    case SimulationEventKind::Rest: return "rest";
    }
    return "";
}

std::string EventNames(std::uint16_t bits)
{
    std::string names;
    for (unsigned k = 0; k <= unsigned(SimulationEventKind::Rest); ++k) {
        if (!(bits & (1u << k))) continue;
        if (!names.empty()) names += '|';
        names += SimulationEventName(SimulationEventKind(k));
    }
    return names;
}

void RideSummary::Add(const RideSample& sample, double h)
{
    const FeltForce& f = sample.felt;
    if (samples == 0) {
        maxVertical = minVertical = f.vertical;
    } else {
        maxVertical = std::max(maxVertical, f.vertical);
        minVertical = std::min(minVertical, f.vertical);
    }
    maxLateral = std::max(maxLateral, std::fabs(f.lateral));
    maxLongitudinal = std::max(maxLongitudinal, std::fabs(f.longitudinal));
    if (sample.inAir) {
        airtime += h;
        if (!wasInAir_) ++flights;
    }
    wasInAir_ = sample.inAir;
    dampingLoss += sample.dampingLoss;
    impactLoss += sample.impactLoss;
    forceWork += sample.forceWork;
    ++samples;
}

std::string RideReadout(const RideSample& s)
{
    char text[160];
    std::snprintf(text, sizeof text, "speed %.2f units/s   height %.2f units   vertical %.2f g   lateral %.2f g",
                  s.speed, s.height, s.felt.vertical, s.felt.lateral);
    return text;
}
