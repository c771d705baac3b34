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
    const Vec3 forward = normalized(ball.velocity);
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
