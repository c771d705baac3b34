#include "design/CircularSurface.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/RideProfile.h"

#include "support/RideBuilders.h"
#include "support/SimulationBuilders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr double kG = 5.0;
constexpr double kH = 0.05;

// Runs `steps` steps of length h and returns the samples they recorded.
std::vector<RideSample> run(COpenGLTemplateDoc& doc, int steps, double h = kH)
{
    for (int k = 0; k < steps; ++k) builders::step(doc, h);
    std::vector<RideSample> samples;
    doc.simulation.rideProfile.CopySince(0, samples);
    return samples;
}

double kineticOf(const Vec3& v) { return 0.5 * dot(v, v); }

// The ball launched along +x at (0.5, v) of a flat floor 5 by 6 sections.
void rollOnFloor(COpenGLTemplateDoc& doc, double v, double speed)
{
    builders::emptyDocument(doc);
    builders::launch(doc, builders::addFloor(doc, "floor", 5, 6), 0.5, v, speed, {1, 0, 0});
}

TEST(RideProfileFlatPlate, AtRestTheRiderFeelsExactlyOneGUp)
{
    COpenGLTemplateDoc doc;
    rollOnFloor(doc, 0.5, 0.0);
    const auto samples = run(doc, 5);
    ASSERT_EQ(samples.size(), 5u);
    for (const RideSample& s : samples) {
        EXPECT_DOUBLE_EQ(s.felt.vertical, 1.0);
        EXPECT_EQ(s.felt.lateral, 0.0);
        EXPECT_EQ(s.felt.longitudinal, 0.0);
        EXPECT_EQ(s.events, EventBit(SimulationEventKind::Rest));
        EXPECT_EQ(s.distance, 0.0);
    }
    EXPECT_DOUBLE_EQ(samples.back().t, 5 * kH);
}

TEST(RideProfileFlatPlate, RollingStraightFeelsOneGUpAndOnlyTheDampingAlong)
{
    COpenGLTemplateDoc doc;
    rollOnFloor(doc, 0.05, 3.0);
    double speed = 3.0, kinetic = kineticOf(doc.simulation.ball.velocity);
    const auto samples = run(doc, 60);
    ASSERT_EQ(samples.size(), 60u);
    for (const RideSample& s : samples) {
        ASSERT_FALSE(s.inAir);
        EXPECT_NEAR(s.felt.vertical, 1.0, 0.01);
        EXPECT_NEAR(s.felt.lateral, 0.0, 0.01);
        // v(k) = 0.998 v(k-1) along the travel: a = -0.002 |v(k-1)| / h.
        EXPECT_NEAR(s.felt.longitudinal, -(1.0 - 0.998) * speed / (kH * kG), 1e-6);
        // Damping takes 1 - 0.998^2 of the kinetic energy, and nothing else changes it.
        EXPECT_NEAR(s.dampingLoss, (1.0 - 0.998 * 0.998) * kinetic, 1e-9);
        EXPECT_NEAR(kinetic - s.energy.kinetic, s.dampingLoss, 1e-9);
        EXPECT_EQ(s.impactLoss, 0.0);
        speed = s.speed;
        kinetic = s.energy.kinetic;
    }
    EXPECT_NEAR(samples.back().distance, 3.0 * 0.998 * (1 - std::pow(0.998, 60)) / 0.002 * kH, 1e-3);
}

TEST(RideProfileIncline, FifteenDegreesFeelsCosineUpAndTheTotalEnergyNeverRises)
{
    COpenGLTemplateDoc doc;
    builders::emptyDocument(doc);
    const double slope = std::tan(15.0 * kPi / 180.0);
    SurfaceSection& ramp = builders::addFloor(doc, "ramp", 5, 20, builders::FloorShape{{}, slope});
    builders::launch(doc, ramp, 0.5, 0.02, 0.5, {1, -slope, 0});
    const auto samples = run(doc, 50);
    double total = EnergyOf(doc.simulation.ball, doc.simulation.gravity).total;
    double previousTotal = std::numeric_limits<double>::infinity();
    for (const RideSample& s : samples) {
        ASSERT_FALSE(s.inAir);
        EXPECT_NEAR(s.felt.vertical, std::cos(15.0 * kPi / 180.0), 0.01);
        EXPECT_NEAR(s.felt.lateral, 0.0, 0.01);
        EXPECT_LE(s.energy.total, previousTotal + 1e-12);
        EXPECT_EQ(s.forceWork, 0.0);
        previousTotal = s.energy.total;
    }
    EXPECT_DOUBLE_EQ(samples.back().energy.total, total);
    EXPECT_GT(samples.back().speed, 3.0); // it did run down the slope
}

TEST(RideProfileFlight, AVerticalLaunchIsWeightless)
{
    COpenGLTemplateDoc doc;
    rollOnFloor(doc, 0.5, 1.0);
    builders::throwBall(doc, {10.0, 2.0, 0.0}, {0.0, 6.0, 0.0}, 0.06);
    doc.simulation.rideProfile.Restart(doc.simulation.ball);
    const auto samples = run(doc, 30, 0.06);
    int flying = 0;
    for (const RideSample& s : samples) {
        if (!s.inAir || s.events) break;
        ++flying;
        const FeltForce& f = s.felt;
        EXPECT_LT(std::sqrt(f.vertical * f.vertical + f.lateral * f.lateral + f.longitudinal * f.longitudinal), 0.1);
    }
    EXPECT_GT(flying, 20);
    EXPECT_NEAR(samples.front().height, 2.0 + 6.0 * 0.998 * 0.06 - 5.0 * 0.998 * 0.06 * 0.06, 1e-9);
}

TEST(RideProfileFlight, ABounceAccountsForTheKineticEnergyItArrivedWith)
{
    COpenGLTemplateDoc doc;
    rollOnFloor(doc, 0.5, 1.0);
    const Vec3 down{0.0, -6.0, 0.0};
    builders::throwBall(doc, {10.0, 1.0, 0.0}, down, 0.06);
    doc.simulation.rideProfile.Restart(doc.simulation.ball);
    Vec3 before = down;
    for (int k = 0; k < 10; ++k) {
        builders::step(doc, 0.06);
        RideSample s;
        ASSERT_TRUE(doc.simulation.rideProfile.Newest(s));
        if (!(s.events & EventBit(SimulationEventKind::Bounce))) {
            before = doc.simulation.ball.velocity;
            continue;
        }
        const double arriving = kineticOf(before + doc.simulation.gravity * 0.06);
        EXPECT_NEAR(s.energy.kinetic + s.impactLoss + s.dampingLoss, arriving, 1e-9);
        EXPECT_GT(s.impactLoss, 0.5 * arriving);
        // The floor's blow is the marked event, not a one-step spike: the ball flies on, weightless.
        EXPECT_TRUE(s.inAir);
        EXPECT_LT(std::fabs(s.felt.vertical) + std::fabs(s.felt.longitudinal), 0.1);
        EXPECT_EQ(doc.simulation.rideProfile.Summary().impactLoss, s.impactLoss);
        return;
    }
    FAIL() << "the ball never bounced";
}

// Radius of the circle through three points.
double circumradius(const Vec3& p0, const Vec3& p1, const Vec3& p2)
{
    const Vec3 a = p1 - p0, b = p2 - p1, c = p2 - p0;
    return length(a) * length(b) * length(c) / (2.0 * length(cross(a, b)));
}

// A flat half ring of radii 10 to 30 around the origin. Nothing holds a ball
// in a turn on a flat ring, so a steady sideways push toward the centre
// (the force circle held just off its middle) carries it round at mid radius.
TEST(RideProfileRing, TheLateralForceIsTheCentripetalAccelerationOfThePath)
{
    COpenGLTemplateDoc doc;
    builders::emptyDocument(doc);
    SurfaceSection* ring = design::CreateCircularSurface(doc, "ring", design::kHalf, 9, 3, 10.0, 30.0);
    ASSERT_NE(ring, nullptr);
    const SurfaceFrame frame = SurfaceTangents(*ring, 0.05, 0.5);
    builders::launch(doc, *ring, 0.05, 0.5, 4.0, frame.Su);
    SimulationState& sim = doc.simulation;
    const Vec3 right = cross(sim.ball.velocity, sim.ball.surfaceNormal);
    const Vec3 inward{-sim.ball.ballCentre.x, 0.0, -sim.ball.ballCentre.z};
    builders::holdForce(sim, true, 150 + (dot(right, inward) > 0.0 ? 7 : -7)); // a push of 10 * 7 / 89

    std::vector<Vec3> centres;
    int measured = 0;
    for (int k = 0; k < 100; ++k) {
        builders::step(doc, kH);
        const LiveBall& b = sim.ball;
        ASSERT_FALSE(b.inAir) << "step " << k;
        centres.push_back(b.ballCentre);
        if (centres.size() < 3) continue;
        RideSample s;
        ASSERT_TRUE(sim.rideProfile.Newest(s));
        const std::size_t n = centres.size();
        // The velocity after a step follows its chord: the turn between the
        // last two chords is the path's.
        const double r = circumradius(centres[n - 3], centres[n - 2], centres[n - 1]);
        const double expected = s.speed * s.speed / (r * kG);
        // Felt toward the centre of the turn: positive when that is to the left.
        const Vec3 left = cross(b.surfaceNormal, normalized(b.velocity));
        const double side = dot(left, Vec3{-b.ballCentre.x, 0.0, -b.ballCentre.z}) > 0.0 ? 1.0 : -1.0;
        EXPECT_NEAR(side * s.felt.lateral, expected, 0.03 * expected) << "step " << k;
        EXPECT_NEAR(s.felt.vertical, 1.0, 0.01);
        EXPECT_NEAR(std::hypot(b.ballCentre.x, b.ballCentre.z), 20.0, 2.0);
        ++measured;
    }
    EXPECT_EQ(measured, 98);
}

// The ball launched across a tube's bottom and along it swings from wall to
// wall: the force it feels changes all the time. Stepped for `seconds` with
// step lengths h0 * (1 + spread * x), x drawn evenly from [-1, 1] (seeded).
std::vector<RideSample> swingInATube(double spread, double seconds)
{
    COpenGLTemplateDoc doc;
    builders::emptyDocument(doc);
    SurfaceSection& tube = builders::addTube(doc, "tube", 13, 3.0);
    builders::launch(doc, tube, 0.02, 0.05, 5.0, {0.3, 0.0, 1.0});
    std::mt19937 random(4711);
    std::uniform_real_distribution<double> x(-1.0, 1.0);
    for (double t = 0.0; t < seconds;) {
        const double h = (1.0 + spread * x(random)) / 70.0;
        builders::step(doc, h);
        t += h;
    }
    std::vector<RideSample> samples;
    doc.simulation.rideProfile.CopySince(0, samples);
    return samples;
}

// How far `value` lies outside what the steady run felt within dt of t
// (its samples there and between them at t): the two runs' steps fall at
// different times, and a surface's curvature changes at once at a knot.
double outside(const std::vector<RideSample>& steady, double t, double dt, double FeltForce::*part, double value)
{
    std::size_t k = 1;
    while (k + 1 < steady.size() && steady[k].t < t) ++k;
    const RideSample &a = steady[k - 1], &b = steady[k];
    const double w = std::clamp((t - a.t) / (b.t - a.t), 0.0, 1.0);
    double lowest = a.felt.*part + w * (b.felt.*part - a.felt.*part), highest = lowest;
    for (const RideSample& s : steady) {
        if (std::fabs(s.t - t) > dt) continue;
        lowest = std::min(lowest, s.felt.*part);
        highest = std::max(highest, s.felt.*part);
    }
    return std::max({lowest - value, value - highest, 0.0});
}

TEST(RideProfileSteps, TheFeltForceDoesNotDependOnTheStepLength)
{
    const std::vector<RideSample> steady = swingInATube(0.0, 3.0), jittered = swingInATube(0.5, 3.0);
    double lowest = 10.0, highest = -10.0;
    int compared = 0;
    for (const RideSample& s : jittered) {
        if (s.inAir || s.events || s.t < 0.1 || s.t > steady.back().t) continue;
        for (double FeltForce::*part : {&FeltForce::vertical, &FeltForce::lateral, &FeltForce::longitudinal})
            EXPECT_LE(outside(steady, s.t, 1.5 / 70.0, part, s.felt.*part), 0.15) << "t = " << s.t;
        lowest = std::min(lowest, s.felt.vertical);
        highest = std::max(highest, s.felt.vertical);
        ++compared;
    }
    EXPECT_GT(compared, 150);
    EXPECT_GT(highest - lowest, 1.0); // the swing is felt
}

// (A reader copying what is new sees every sample once, in order: the
// threading test of the profile.)
TEST(RideProfileBuffer, PositioningTheBallStartsItOver)
{
    COpenGLTemplateDoc doc;
    rollOnFloor(doc, 0.05, 2.0);
    RideProfile& profile = doc.simulation.rideProfile;
    run(doc, 6);
    ASSERT_EQ(profile.Recorded(), 6u);
    const std::uint64_t generation = profile.Generation();
    PositionBall(doc); // the user's command clears the profile
    EXPECT_NE(profile.Generation(), generation);
    EXPECT_EQ(profile.Recorded(), 0u);
    EXPECT_EQ(profile.Summary().samples, 0);
    RideSample newest;
    EXPECT_FALSE(profile.Newest(newest));
}

TEST(RideProfileBuffer, AFullRingKeepsTheNewestSamples)
{
    RideProfile profile;
    const std::size_t total = RideProfile::kCapacity + 5;
    builders::recordRisingBall(profile, 0, static_cast<long>(total));
    std::vector<RideSample> all;
    EXPECT_EQ(profile.CopySince(0, all), total);
    ASSERT_EQ(all.size(), RideProfile::kCapacity);
    EXPECT_EQ(all.front().height, 5.0);
    EXPECT_EQ(all.back().height, static_cast<double>(total - 1));
    std::vector<RideSample> tail;
    profile.CopySince(total - 2, tail);
    ASSERT_EQ(tail.size(), 2u);
    EXPECT_EQ(tail[0].height, static_cast<double>(total - 2));
    EXPECT_EQ(profile.Summary().samples, static_cast<long>(total));
}

} // namespace
