#include "simulation/PhysicsLoop.h"
#include "simulation/Simulation.h"

#include "support/SimulationBuilders.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A clock that only moves when the loop sleeps or spins.
class FakeClock : public LoopClock {
public:
    double now = 100.0;
    double spinCost = 0.00001;
    double sleepStretch = 1.0; // how much longer than asked a sleep takes
    int shortSleeps = 0;

    double Now() override { return now; }
    void SleepMilliseconds(int ms) override
    {
        now += ms * 0.001 * sleepStretch;
        if (ms == 1) ++shortSleeps;
    }
    void Spin() override { now += spinCost; }
};

class StepTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        builders::emptyDocument(doc);
        floor = &builders::addFloor(doc, "floor", 5, 6);
        builders::launch(doc, *floor, 0.5, 0.1, 1.0, {1, 0, 0});
    }

    SimulationState& sim() { return doc.simulation; }
    LiveBall& ball() { return doc.simulation.ball; }

    // Iterates until the next step has run.
    void nextStep(PhysicsLoop& loop)
    {
        const auto before = sim().stepCount.load();
        for (int k = 0; k < 100000 && sim().stepCount.load() == before; ++k) loop.Iterate();
        ASSERT_EQ(sim().stepCount.load(), before + 1);
    }

    COpenGLTemplateDoc doc;
    SurfaceSection* floor = nullptr;
    PhysicsLoopControl control;
    FakeClock clock;
};

TEST_F(StepTest, FirstStepIsAMillisecondAndALongPauseIsBoundedToTheMaximumStep)
{
    PhysicsLoop loop(doc, control, clock);
    loop.Iterate(); // a new control parks the loop first
    EXPECT_EQ(control.GetPhysicsState(), Paused);
    EXPECT_EQ(sim().stepCount.load(), 0);

    control.SetPhysicsState(Running);
    nextStep(loop);
    EXPECT_EQ(sim().stepLength, 0.001);
    EXPECT_DOUBLE_EQ(sim().physicsFps.load(), 1000.0);
    nextStep(loop);
    EXPECT_NEAR(sim().stepLength, 1.0 / 70.0, 1e-5);

    control.SetPhysicsState(PauseRequested);
    for (int k = 0; k < 25; ++k) loop.Iterate(); // five seconds
    EXPECT_EQ(control.GetPhysicsState(), Paused);
    EXPECT_EQ(sim().physicsFps.load(), 0.0);
    control.SetPhysicsState(Running);
    nextStep(loop);
    EXPECT_EQ(sim().stepTime, 0.06);
    EXPECT_EQ(sim().stepLength, 0.06);
}

TEST_F(StepTest, LoopHoldsSeventyStepsASecondWithOneShortSleepEach)
{
    clock.spinCost = 0.00003; // three times the first guess
    PhysicsLoop loop(doc, control, clock);
    control.SetPhysicsState(Running);
    for (int k = 0; k < 3; ++k) nextStep(loop);
    EXPECT_NEAR(loop.secondsPerSpin(), 0.00003, 1e-9);

    // A long pause in the middle of a busy wait does not spoil its
    // measurement (the wait would seem to cost more than a whole period).
    while (loop.spinsLeft() < 100) loop.Iterate();
    control.SetPhysicsState(PauseRequested);
    for (int k = 0; k < 50; ++k) loop.Iterate();
    control.SetPhysicsState(Running);
    nextStep(loop);

    const double start = clock.now;
    const auto steps = sim().stepCount.load();
    const int sleeps = clock.shortSleeps;
    while (clock.now - start < 2.0) loop.Iterate();
    EXPECT_NEAR(static_cast<double>(sim().stepCount.load() - steps), 140.0, 2.0);
    EXPECT_EQ(clock.shortSleeps - sleeps, sim().stepCount.load() - steps);
    EXPECT_NEAR(sim().stepTime, 1.0 / 70.0, 1e-4);
}

TEST_F(StepTest, SpinsThatBecameSlowerNeverStretchTheStepPastItsPeriod)
{
    clock.spinCost = 0.000001;
    PhysicsLoop loop(doc, control, clock);
    control.SetPhysicsState(Running);
    for (int k = 0; k < 3; ++k) nextStep(loop); // a spin measured at a microsecond
    clock.spinCost = 0.001;                     // then the machine gets busy
    for (int k = 0; k < 3; ++k) {
        nextStep(loop);
        EXPECT_LE(sim().stepTime, 1.0 / 70.0 + clock.spinCost) << "step " << k;
    }
}

TEST_F(StepTest, StepSlowerThanThePeriodArmsNoBusyWait)
{
    clock.sleepStretch = 20.0; // the 1 ms sleep takes 20 ms
    PhysicsLoop loop(doc, control, clock);
    control.SetPhysicsState(Running);
    nextStep(loop);
    EXPECT_EQ(loop.spinsLeft(), 0);
    nextStep(loop);
    EXPECT_NEAR(sim().physicsFps.load(), 50.0, 1e-6);
}

TEST_F(StepTest, AFixedStepForTestsIgnoresHowLongTheMachineTook)
{
    clock.sleepStretch = 20.0; // a starved machine: every step takes 20 ms or more
    control.UseFixedStep(0.01);
    PhysicsLoop loop(doc, control, clock);
    control.SetPhysicsState(Running);
    for (int k = 0; k < 5; ++k) {
        nextStep(loop);
        EXPECT_EQ(sim().stepLength, 0.01);
    }
    EXPECT_NEAR(sim().physicsFps.load(), 50.0, 1e-6); // the rate shown is still the real one
}

TEST_F(StepTest, PauseEachFrameAdvancesOneFullStepPerRoll)
{
    doc.pauseEachFrame = true;
    const Vec3 start = ball().contactPoint;
    builders::step(doc, 0.001);
    EXPECT_EQ(sim().stepLength, 0.06);
    EXPECT_TRUE(sim().stopped.load());
    const Vec3 after = ball().contactPoint;
    EXPECT_NEAR(after.x - start.x, 0.06 * length(ball().velocity), 1e-3);
    builders::step(doc, 0.001);
    EXPECT_EQ(ball().contactPoint, after);
    FixLaunch(doc);
    EXPECT_TRUE(RollBall(doc).empty());
}

TEST_F(StepTest, MovieModeWaitsForEachFrameToBeCaptured)
{
    sim().movieRecording = true;
    builders::step(doc, 0.2);
    EXPECT_TRUE(sim().movieFrameReady.load());
    EXPECT_EQ(sim().stepLength, 0.06);
    const Vec3 captured = ball().contactPoint;
    builders::step(doc, 0.2);
    EXPECT_EQ(ball().contactPoint, captured);
    sim().movieFrameReady = false;
    builders::step(doc, 0.2);
    EXPECT_GT(ball().contactPoint.x, captured.x);
}

TEST_F(StepTest, CommandsRefuseWithoutALaunchOrAStartSurface)
{
    StopBall(doc);
    EXPECT_EQ(RollBall(doc), kNoVelocityMessage);
    EXPECT_TRUE(sim().stopped.load());
    EXPECT_FALSE(doc.showBall);
    EXPECT_FALSE(doc.cameraFollowsBall);
    EXPECT_TRUE(sim().savedOverlaySwitches[0]); // "Ball" was on

    doc.ballStartSurface = nullptr;
    EXPECT_EQ(PositionBall(doc), kNoStartSurfaceMessage);
    EXPECT_FALSE(sim().settingVelocity.load());
}

TEST_F(StepTest, PositionBallResetsTheBallAndRepairsUnusableStartParameters)
{
    for (int k = 0; k < 5; ++k) builders::step(doc);
    doc.ballStartU = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(PositionBall(doc).empty());
    EXPECT_EQ(doc.ballStartU, 0.5);
    EXPECT_EQ(doc.ballStartV, 0.5);
    EXPECT_TRUE(sim().stopped.load());
    EXPECT_TRUE(sim().settingVelocity.load());
    EXPECT_TRUE(doc.showBall && doc.showBallPathPast && doc.navigation && doc.cameraFollowsBall);
    EXPECT_EQ(doc.cameraDistance, -1.0);
    EXPECT_EQ(sim().pastPath.size(), 1u);
    EXPECT_EQ(sim().lowestSurfaceHeight, 0.0);
    expectVecNear(ball().contactPoint, floor->EvaluatePoint(0.5, 0.5), 0.0);
}

TEST_F(StepTest, DegenerateSurfacesAndZeroVectorsNeverPoisonTheBall)
{
    auto expectFinite = [&] {
        const LiveBall& b = ball();
        for (const Vec3& x : {b.contactPoint, b.ballCentre, b.velocity, b.acceleration, b.appliedForce, b.rollAxis})
            ASSERT_TRUE(isFinite(x));
        ASSERT_TRUE(std::isfinite(b.ballU) && std::isfinite(b.ballV));
    };
    // A surface collapsed onto one point: no tangents, no normal.
    SurfaceSection& point = builders::addFloor(doc, "point", 5, 2, builders::FloorShape{{3, 1, 0}, 0.0, 1e-300});
    for (int i = 0; i < point.sectionCount; ++i) point.sections[i].position = {3, 1, 0};
    point.BuildNet();
    point.Rebuild();
    builders::launch(doc, point, 0.5, 0.5, 1.0, {1, 0, 0});
    for (int k = 0; k < 5; ++k) builders::step(doc);
    expectFinite();

    // A net poisoned after it was built: the step is not taken.
    builders::launch(doc, *floor, 0.5, 0.5, 1.0, {1, 0, 0});
    for (int i = 0; i < floor->sectionCount; ++i)
        for (int j = 0; j < floor->pointsPerSection; ++j) floor->controlNet[i][j].y = std::nanf("");
    const Vec3 before = ball().contactPoint;
    builders::step(doc);
    expectFinite();
    EXPECT_EQ(ball().contactPoint, before);

    // No launch direction: the ball rests.
    builders::addFloor(doc, "clean", 5, 2);
    builders::launch(doc, *doc.surfaces.back(), 0.5, 0.5, 1.0, {0, 0, 0});
    builders::step(doc);
    expectFinite();
    EXPECT_TRUE(sim().events.contains(SimulationEventKind::Rest));
}

} // namespace
