#include "simulation/Flight.h"
#include "simulation/PhysicsLoop.h"

#include "support/DocumentBuilders.h"
#include "support/SimulationBuilders.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using builders::FloorShape;

constexpr double kRestitution = 0.6666666;
constexpr double kRadius = 0.3333333333;

class FlightTest : public ::testing::Test {
protected:
    void SetUp() override { builders::emptyDocument(doc); }

    // A floor of 20 x 24 units at height y, positioned and rolling.
    SurfaceSection& floorAt(const char* name, double y)
    {
        SurfaceSection& s = builders::addFloor(doc, name, 5, 2, FloorShape{{0, y, 0.0}, 0.0, 20.0});
        if (doc.surfaces.size() == 1) builders::launch(doc, s, 0.5, 0.5, 1.0, {1, 0, 0});
        return s;
    }

    LiveBall& ball() { return doc.simulation.ball; }
    bool happened(SimulationEventKind kind) const { return doc.simulation.events.contains(kind); }

    COpenGLTemplateDoc doc;
};

TEST_F(FlightTest, VerticalBouncesLoseAThirdOfTheSpeedUntilTheBallLands)
{
    floorAt("floor", 0.0);
    // Dropped from above, and launched straight up from the floor.
    for (const auto& [height, speed] : {std::pair{3.0, -0.1}, {kRadius, 6.0}}) {
        SCOPED_TRACE(speed);
        builders::throwBall(doc, {12.0, height, 0.0}, {0, speed, 0}, 0.02);
        int bounces = 0;
        double previousOut = 1e9;
        for (int k = 0; k < 3000 && ball().inAir; ++k) {
            const double h = 0.02;
            const Vec3 incoming = (ball().velocity + doc.simulation.gravity * h) * 0.998;
            builders::step(doc, h);
            ASSERT_FALSE(happened(SimulationEventKind::Rest)) << "frozen in the air at height " << ball().ballCentre.y;
            if (!happened(SimulationEventKind::Impact)) continue;
            const double out = length(incoming) * kRestitution;
            if (happened(SimulationEventKind::Bounce)) {
                ++bounces;
                EXPECT_NEAR(ball().velocity.y, out, 1e-9);
                EXPECT_NEAR(std::hypot(ball().velocity.x, ball().velocity.z), 0.0, 1e-9);
                EXPECT_GE(out, 1.0);
                EXPECT_LT(out, previousOut);
                previousOut = out;
            } else {
                EXPECT_TRUE(happened(SimulationEventKind::Land));
                EXPECT_LT(out, 1.0);
            }
        }
        EXPECT_FALSE(ball().inAir);
        EXPECT_GE(bounces, 3);
        EXPECT_NEAR(ball().contactPoint.y, 0.0, 1e-5);
        EXPECT_NEAR(ball().ballCentre.y, kRadius, 1e-5);
        EXPECT_LT(length(ball().velocity), 1e-9); // landed straight down: at rest
    }
}

TEST_F(FlightTest, AFlyingBallIsNeverAtRestEvenAtTheApexOfARise)
{
    floorAt("floor", 0.0);
    // Slower than the rest speed, high above the floor, still rising.
    builders::throwBall(doc, {12.0, 0.525, 0.0}, {0, 0.0044, 0}, 0.02);
    builders::step(doc, 0.02);
    EXPECT_FALSE(happened(SimulationEventKind::Rest));
    EXPECT_LT(ball().velocity.y, 0.0);
}

TEST_F(FlightTest, GrazingImpactLandsAndKeepsTheRestitutionOfTheSpeed)
{
    floorAt("floor", 0.0);
    const double h = 0.06;
    builders::throwBall(doc, {8.0, kRadius + 0.02, 0.0}, {5.0, -0.5, 0.0}, h);
    const Vec3 incoming = (ball().velocity + doc.simulation.gravity * h) * 0.998;
    ASSERT_LT(std::atan2(-incoming.y, incoming.x), 10.0 * kPi / 180.0);
    builders::step(doc, h);
    ASSERT_TRUE(happened(SimulationEventKind::Land));
    EXPECT_FALSE(ball().inAir);
    EXPECT_NEAR(length(ball().velocity), kRestitution * length(incoming), 1e-9);
    EXPECT_NEAR(normalized(ball().velocity).x, 1.0, 1e-6);
    EXPECT_GT(ball().contactPoint.x, doc.simulation.ball.impact.impactPoint.x);
}

TEST_F(FlightTest, FastSteepImpactLandsWhenBouncingIsOffAndCanPause)
{
    floorAt("floor", 0.0);
    doc.bounceEnabled = false;
    doc.pauseOnBounce = true;
    builders::throwBall(doc, {12.0, 1.0, 0.0}, {0, -20.0, 0}, 0.06);
    builders::step(doc);
    EXPECT_TRUE(happened(SimulationEventKind::Land));
    EXPECT_FALSE(ball().inAir);
    EXPECT_TRUE(doc.simulation.stopped.load());
}

TEST_F(FlightTest, TheNearerOfTwoHitSurfacesWinsAndTiesKeepTheEarlierOne)
{
    SurfaceSection& lower = floorAt("lower", -1.0);
    SurfaceSection& upper = floorAt("upper", 0.0);
    builders::throwBall(doc, {12.0, 0.6, 0.0}, {0, -40.0, 0}, 0.06);
    builders::step(doc);
    ASSERT_TRUE(happened(SimulationEventKind::Impact));
    EXPECT_EQ(ball().impact.hitSurface, &upper);

    // A twin of the upper floor, later in the list, is hit at the same distance.
    floorAt("twin", 0.0);
    builders::throwBall(doc, {12.0, 0.6, 0.0}, {0, -40.0, 0}, 0.06);
    builders::step(doc);
    EXPECT_EQ(ball().impact.hitSurface, &upper);
    EXPECT_NE(ball().impact.hitSurface, &lower);
}

TEST_F(FlightTest, GuardedBallIsNotCaughtByTheCellItJustLeft)
{
    SurfaceSection& s = floorAt("floor", 0.0);
    for (bool guarded : {true, false}) {
        doc.preventSameSurfaceImpact = guarded;
        builders::launch(doc, s, 0.52, 0.52, 1.0, {1, 0, 0}); // inside one mesh cell
        const Vec3 centre = ball().ballCentre;
        builders::throwBall(doc, centre, {0, -3.0, 0}, 0.06);
        ball().sameSurfaceGuard = 2;
        builders::step(doc);
        EXPECT_EQ(happened(SimulationEventKind::Impact), !guarded);
        if (!guarded) continue;
        EXPECT_EQ(ball().lastSurface, &s);
        builders::step(doc); // the guard has run out: the surface catches the ball
        EXPECT_TRUE(happened(SimulationEventKind::Impact));
    }
}

TEST_F(FlightTest, BallDropsThroughAHoleInFlightAndFallsBackToItsStart)
{
    SurfaceSection& s = floorAt("floor", 0.0);
    builders::addHole(s, "pit", 0.3, 0.7, 0.3, 0.7);
    const Vec3 start = ball().contactPoint;
    PhysicsLoopControl loop;
    doc.simulation.physicsControl = &loop;
    struct Detach {
        SimulationState& sim;
        ~Detach() { sim.physicsControl = nullptr; }
    } detach{doc.simulation};
    loop.SetPhysicsState(Running);
    builders::throwBall(doc, {12.0, 2.0, 0.0}, {0, -1.0, 0}, 0.06);
    bool reset = false;
    for (int k = 0; k < 200 && !reset; ++k) {
        builders::step(doc);
        ASSERT_FALSE(happened(SimulationEventKind::Impact)) << "step " << k;
        reset = happened(SimulationEventKind::FallReset);
    }
    ASSERT_TRUE(reset);
    EXPECT_FALSE(ball().inAir);
    EXPECT_TRUE(doc.simulation.stopped.load());
    EXPECT_TRUE(doc.simulation.settingVelocity.load());
    expectVecNear(ball().contactPoint, start, 1e-12);
    // As "Position ball" leaves it: the camera looks at the ball at its start
    // (not into the depth it fell to), and the loop parks until the next roll.
    const CameraPlacement& camera = doc.simulation.camera.active;
    expectVecNear(camera.eye + camera.direction, ball().ballCentre, 1e-9);
    EXPECT_EQ(loop.GetPhysicsState(), PauseRequested);

    // The same drop beside the hole is caught.
    FixLaunch(doc);
    RollBall(doc);
    builders::throwBall(doc, {2.0, 2.0, 0.0}, {0, -1.0, 0}, 0.06);
    EXPECT_TRUE(builders::stepUntil(doc, 200, [&] { return happened(SimulationEventKind::Impact); }));
}

} // namespace
