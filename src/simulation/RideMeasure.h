#pragma once

// What a rider would feel and what the ball's energy does over one physics
// step: the felt acceleration in the ride's own frame, the energy per unit
// mass, and the running extremes of a whole run.

#include "geometry/Vec3.h"

#include <cstdint>
#include <string>

struct LiveBall;
struct SimulationState;
struct StepEvents;
enum class SimulationEventKind : std::uint8_t;

// The constants of the ball model the measures depend on.
struct RideModel {
    Vec3 gravity{0.0, -5.0, 0.0};
    double velocityDamping = 0.998;
    double restitution = 0.6666666;
};

RideModel RideModelOf(const SimulationState& sim);

// Felt acceleration in units of |gravity|: vertical along the surface normal
// (world up in flight), longitudinal along the travel, lateral the rest,
// positive to the travel's left.
struct FeltForce {
    double vertical = 0.0, lateral = 0.0, longitudinal = 0.0;
};

// Energy per unit mass; potential is measured from height 0 of the ball centre.
struct RideEnergy {
    double kinetic = 0.0, potential = 0.0, total = 0.0;
};

// One physics step of the ride. Losses are energies per unit mass taken from
// the ball in this step; forceWork is what the applied force added.
struct RideSample {
    double t = 0.0;        // seconds since the ball was positioned
    double distance = 0.0; // path length of the ball centre so far
    double speed = 0.0;
    double height = 0.0; // of the ball centre
    FeltForce felt;
    RideEnergy energy;
    double dampingLoss = 0.0, impactLoss = 0.0, forceWork = 0.0;
    bool inAir = false;
    std::uint16_t events = 0; // one bit per SimulationEventKind
};

// (a - g) / |g| for the ball's acceleration a, split along the ball's frame
// (rolling: the surface normal and the travel along the surface).
FeltForce DecomposeFeltAcceleration(const Vec3& acceleration, const LiveBall& ball, const Vec3& gravity);

// The direction of travel: while rolling, the velocity's part along the surface.
Vec3 TravelDirection(const LiveBall& ball);

// The acceleration the contact model gives the ball as it stands after a
// step, whatever the step's length: rolling, gravity's part along the
// surface, the applied force, and |v|^2 times the surface's normal curvature
// along the travel (what keeps the ball on a curving surface); flying,
// gravity. The damping is apart (DampingWindow); impacts are events, not forces.
Vec3 ContactAcceleration(const LiveBall& ball, const Vec3& gravity);

// The damping's deceleration, spread over the last steps that cover at
// least kSeconds (as accelerometer traces are filtered): each step takes
// 1 - damping of the speed it had, so over one short step the rate would
// follow the step's length rather than the ride.
class DampingWindow {
public:
    static constexpr double kSeconds = 0.05;
    void Clear() { count_ = 0; }
    // One step of length h that took speedLost; returns the deceleration.
    double Add(double h, double speedLost);

private:
    static constexpr std::size_t kSteps = 64;
    double h_[kSteps] = {}, lost_[kSteps] = {};
    std::size_t count_ = 0, next_ = 0;
};

RideEnergy EnergyOf(const LiveBall& ball, const Vec3& gravity);

// The ball as it stands, held where it is (no acceleration): what a step
// that does not move the ball shows.
RideSample MeasureHeldBall(const LiveBall& ball, const RideModel& model);

std::uint16_t EventBits(const StepEvents& events);
constexpr std::uint16_t EventBit(SimulationEventKind kind) { return std::uint16_t(1u << unsigned(kind)); }

// "lift-off", "impact", "bounce", "land", "cross", "hole", "edge",
// "fall-reset", "rest".
const char* SimulationEventName(SimulationEventKind kind);

// The names of the set bits joined by '|', in the order of the kinds.
std::string EventNames(std::uint16_t bits);

// Extremes and totals of a run, sample by sample.
struct RideSummary {
    long samples = 0;
    double maxVertical = 0.0, minVertical = 0.0;
    double maxLateral = 0.0, maxLongitudinal = 0.0; // magnitudes
    double airtime = 0.0;                           // seconds spent in the air
    long flights = 0;                               // airtime spans begun
    double dampingLoss = 0.0, impactLoss = 0.0, forceWork = 0.0;

    // h is the step length the sample covers (it counts to the airtime).
    void Add(const RideSample& sample, double h);

private:
    bool wasInAir_ = false;
};

// The one-line readout of a sample: speed, height and the vertical and
// lateral force, e.g. "speed 4.12 units/s   height -3.20 units   vertical 1.05 g   lateral -0.12 g".
std::string RideReadout(const RideSample& sample);
// The readout before the first step of a run.
inline constexpr const char* kNoRideReadout = "No ride yet: position and roll the ball.";
