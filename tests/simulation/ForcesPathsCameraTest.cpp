#include "simulation/FollowCamera.h"
#include "simulation/ForcesAndPaths.h"

#include "support/SimulationBuilders.h"
#include "surface/ColorRamp.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class ForceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        builders::emptyDocument(doc);
        SurfaceSection& s = builders::addFloor(doc, "floor", 5, 2);
        builders::launch(doc, s, 0.5, 0.5, 1.0, {1, 0, 0});
        sim().viewWidth = 300;
        sim().viewHeight = 200;
        LayoutForceCircle(sim().windowCircle, 300, 200);
    }

    SimulationState& sim() { return doc.simulation; }
    Vec3 forceWithMouseAt(int x, int y)
    {
        builders::holdForce(sim(), true, x, y);
        ComputeAppliedForce(doc, ReadForceInput(doc.simulation));
        return sim().ball.appliedForce;
    }

    COpenGLTemplateDoc doc;
};

TEST_F(ForceTest, CircleIsCentredInTheViewAndItsRimCountsAsInside)
{
    EXPECT_EQ(sim().windowCircle.centreX.load(), 150);
    EXPECT_EQ(sim().windowCircle.centreY.load(), 100);
    EXPECT_EQ(sim().windowCircle.radius.load(), 89.0);
    EXPECT_TRUE(InsideForceCircle(sim(), 150, 11));
    EXPECT_TRUE(InsideForceCircle(sim(), 239, 100));
    EXPECT_FALSE(InsideForceCircle(sim(), 240, 100));
}

TEST_F(ForceTest, PushesAlongAgainstAndAcrossTheDirectionOfTravel)
{
    expectVecNear(forceWithMouseAt(150, 11), {10.0, 0, 0}, 1e-9);       // top: forward
    expectVecNear(forceWithMouseAt(150, 100 + 89), {-10.0, 0, 0}, 1e-9); // bottom: backward
    expectVecNear(forceWithMouseAt(150 + 89, 100), {0, 0, 10.0}, 1e-9);  // right of travel
    expectVecNear(forceWithMouseAt(150, 0), {10.0, 0, 0}, 1e-9);        // beyond the rim: full force
    expectVecNear(forceWithMouseAt(150, 55), {5.0, 0, 0}, 0.1);

    sim().ball.velocity = {0.4, 0, 0}; // too slow to push back
    expectVecNear(forceWithMouseAt(150, 189), {}, 0.0);
    expectVecNear(forceWithMouseAt(239, 100), {0, 0, 10.0}, 1e-9);

    sim().ball.velocity = {};
    expectVecNear(forceWithMouseAt(150, 11), {}, 0.0);
    sim().ball.velocity = {1, 0, 0};
    sim().ball.inAir = true;
    expectVecNear(forceWithMouseAt(150, 11), {}, 0.0);
    sim().ball.inAir = false;
    sim().forceInputActive = false;
    ComputeAppliedForce(doc, ReadForceInput(doc.simulation));
    expectVecNear(sim().ball.appliedForce, {}, 0.0);
    LayoutForceCircle(sim().windowCircle, 20, 20); // too small a view for a circle
    expectVecNear(forceWithMouseAt(10, 0), {}, 0.0);
}

TEST_F(ForceTest, PastPathKeepsTheNewest300PointsWithTheirColours)
{
    for (int k = 0; k < 310; ++k) RecordPathPoint(doc, k % 2 == 0, k % 3 == 0, {double(k), 0, 0});
    ASSERT_EQ(sim().pastPath.size(), 300u);
    EXPECT_EQ(sim().pastPath[0].point.x, 10.0);
    EXPECT_EQ(sim().pastPath.newest().point.x, 309.0);
    for (std::size_t i = 0; i < 300; ++i) {
        const PathPoint& p = sim().pastPath[i];
        const int k = static_cast<int>(p.point.x);
        if (k % 3 == 0) EXPECT_EQ(p.colour, (Vec3{200, 0, 0}));
        else if (k % 2 == 0) EXPECT_EQ(p.colour, (Vec3{255, 255, 255}));
        else EXPECT_EQ(p.colour, AngleColor({0, 1, 0})); // the floor's tangent-angle colouring
    }
}

TEST_F(ForceTest, PresentStateIsTheFirstFutureRecordOfEachStep)
{
    builders::step(doc);
    const BallState& r = sim().futurePath[0];
    EXPECT_EQ(sim().futureIndex, 1);
    EXPECT_EQ(r.ballCentre, sim().ball.ballCentre);
    EXPECT_EQ(r.u, sim().ball.ballU);
    EXPECT_EQ(r.inAir, 0.0);
    EXPECT_EQ(sim().futurePath[1].ballCentre, Vec3{});
}

class CameraTest : public ::testing::Test {
protected:
    FollowCameraState camera;
};

TEST_F(CameraTest, FollowDistanceGrowsWithSpeedBetweenItsBounds)
{
    for (const auto& [speed, distance] : {std::pair{0.2, 13.0}, {0.5, 13.0}, {10.0, 21.0}, {50.0, 21.0}})
        EXPECT_EQ(FollowDistanceForSpeed(camera, speed), distance) << speed;
    EXPECT_DOUBLE_EQ(FollowDistanceForSpeed(camera, 5.25), 17.0);
}

TEST_F(CameraTest, SurfaceCameraSitsBehindAndAboveTheBallLookingAtIt)
{
    BallState record;
    record.ballCentre = {1, 2, 3};
    record.velocity = {4, 0, 0};
    CameraPlacement p;
    ASSERT_TRUE(SurfacePlacement(camera, record, {0, 1, 0}, 21.0, p));
    const double a = kPi / 18.0 + 0.25 * (kPi / 2.0 - kPi / 18.0);
    expectVecNear(p.eye, record.ballCentre + Vec3{-21.0 * std::cos(a), 21.0 * std::sin(a), 0}, 1e-9);
    expectVecNear(p.eye + p.direction, record.ballCentre, 1e-12);
    EXPECT_NEAR(dot(p.up, p.direction), 0.0, 1e-9);
    EXPECT_GT(p.up.y, 0.0);
    record.velocity = {};
    EXPECT_FALSE(SurfacePlacement(camera, record, {0, 1, 0}, 21.0, p)); // no direction: keep the last
}

TEST_F(CameraTest, FlightCameraSwingsAsideAfterTheApexDelay)
{
    BallState record;
    record.inAir = 1.0;
    record.velocity = {1, 0, 0};
    record.previousBallCentre = {-1, 0, 0};
    CameraPlacement p;
    ASSERT_TRUE(FlightPlacement(camera, record, {0, 1, 0}, 21.0, p));
    EXPECT_NEAR(p.eye.z, 0.0, 1e-12);
    EXPECT_LT(p.eye.x, 0.0);
    camera.stepsSinceApex = 120; // 40 steps after the delay: the full 30 degrees
    ASSERT_TRUE(FlightPlacement(camera, record, {0, 1, 0}, 21.0, p));
    const Vec3 back = -normalized(Vec3{p.eye.x, 0, p.eye.z});
    EXPECT_NEAR(std::acos(std::clamp(back.x, -1.0, 1.0)), kPi / 6.0, 1e-9);
    EXPECT_EQ(camera.stepsInFlight, 2);
}

TEST_F(CameraTest, LaggingCameraReachesAThirtyDegreeTurnInFiveSteps)
{
    const Vec3 ball{0, 0, 0};
    camera.active = {{-10, 0, 0}, {10, 0, 0}, {0, 1, 0}};
    const Vec3 eye = rotateVector({-10, 0, 0}, {0, 1, 0}, kPi / 6.0);
    camera.target = {eye, ball - eye, {0, 1, 0}};
    for (int k = 1; k <= 4; ++k) {
        EXPECT_FALSE(StepLaggingCamera(camera, ball));
        const double left = std::acos(std::clamp(dot(normalized(camera.active.direction),
                                                     normalized(camera.target.direction)), -1.0, 1.0));
        EXPECT_NEAR(left, kPi / 6.0 - k * kPi / 30.0, 1e-9);
        EXPECT_NEAR(length(camera.active.direction), 10.0, 1e-9);
    }
    EXPECT_TRUE(StepLaggingCamera(camera, ball));
    EXPECT_EQ(camera.active.eye, eye);
    EXPECT_EQ(camera.lagSteps, 0);
}

TEST_F(CameraTest, LaggingCameraMovesItsDistanceByTheToleranceAtMost)
{
    camera.distanceTolerance = 0.5;
    camera.active = {{-10, 0, 0}, {10, 0, 0}, {0, 1, 0}};
    camera.target = {{-13, 0, 0}, {13, 0, 0}, {0, 1, 0}};
    EXPECT_FALSE(StepLaggingCamera(camera, {}));
    EXPECT_NEAR(camera.active.eye.x, -10.5, 1e-12);
    EXPECT_EQ(camera.lagSteps, 1);
}

TEST(CameraPathTest, FollowingStepsRecordTheEyeWithItsIntensity)
{
    COpenGLTemplateDoc doc;
    builders::emptyDocument(doc);
    SurfaceSection& s = builders::addFloor(doc, "floor", 5, 6);
    builders::launch(doc, s, 0.5, 0.1, 1.0, {1, 0, 0});
    doc.simulation.camera.laggingSwitch = 0;
    for (int k = 0; k < 310; ++k) builders::step(doc, 0.001);
    const FollowCameraState& camera = doc.simulation.camera;
    ASSERT_EQ(camera.pathPast.size(), 300u);
    EXPECT_EQ(camera.pathPast.newest().eye, camera.active.eye);
    EXPECT_EQ(camera.pathPast.newest().intensity, 1.0);
    expectVecNear(camera.active.eye + camera.active.direction, doc.simulation.ball.ballCentre, 1e-9);
}

} // namespace
