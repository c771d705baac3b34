#include "simulation/Rolling.h"

#include "support/DocumentBuilders.h"
#include "support/SimulationBuilders.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using builders::FloorShape;

class RollingTest : public ::testing::Test {
protected:
    void SetUp() override { builders::emptyDocument(doc); }

    LiveBall& ball() { return doc.simulation.ball; }
    bool happened(SimulationEventKind kind) const { return doc.simulation.events.contains(kind); }

    COpenGLTemplateDoc doc;
};

TEST_F(RollingTest, ObliqueTangentsSplitTheDisplacementAlongEachTangent)
{
    // A sheared floor: each section is shifted across, so Sv leans toward Su.
    SurfaceSection& s = builders::addFloor(doc, "f", 5, 2);
    for (int i = 0; i < s.sectionCount; ++i) s.sections[i].position.z = 0.8 * s.sections[i].position.x;
    s.BuildNet();
    s.Rebuild();
    for (const Vec3 along : {Vec3{0, 0, 1}, Vec3{1, 0, 0.8}}) {
        ContactSegment seg;
        seg.surface = seg.nextSurface = &s;
        seg.startU = 0.5;
        seg.startV = 0.5;
        seg.startPoint = s.EvaluatePoint(0.5, 0.5);
        const SurfaceFrame f = SurfaceTangents(s, 0.5, 0.5);
        seg.segTangentU = f.Su;
        seg.segTangentV = f.Sv;
        seg.segNormal = f.N;
        seg.remainingDisplacement = 0.4 * normalized(along);
        WalkSegment(seg);
        EXPECT_EQ(seg.endKind, 0);
        EXPECT_NEAR(length(seg.endPoint - seg.startPoint), 0.4, 1e-4);
        // Motion along one tangent leaves the other parameter where it was.
        if (along.x == 0.0) EXPECT_NEAR(seg.endV, 0.5, 1e-6);
        else EXPECT_NEAR(seg.endU, 0.5, 1e-6);
    }
}

TEST_F(RollingTest, SpeedOnAStraightInclineFollowsTheDampedGravityLaw)
{
    const double theta = 0.3, h = 0.02;
    SurfaceSection& s = builders::addFloor(doc, "slope", 5, 6, FloorShape{{}, std::tan(theta)});
    builders::launch(doc, s, 0.5, 0.05, 1.0, {std::cos(theta), -std::sin(theta), 0.0});
    double v = length(ball().velocity);
    for (int k = 0; k < 40; ++k) {
        builders::step(doc, h);
        const double expected = 0.998 * (v + 5.0 * std::sin(theta) * h);
        v = length(ball().velocity);
        ASSERT_NEAR(v / expected, 1.0, 0.001) << "step " << k;
        ASSERT_FALSE(ball().inAir);
    }
    EXPECT_GT(ball().ballV, 0.06);
}

TEST_F(RollingTest, SlowBallWithoutForceRestsAndNothingIsRecomputed)
{
    SurfaceSection& s = builders::addFloor(doc, "f", 5, 2);
    builders::launch(doc, s, 0.5, 0.5, 0.009, {1, 0, 0});
    const LiveBall before = ball();
    builders::step(doc);
    EXPECT_TRUE(happened(SimulationEventKind::Rest));
    EXPECT_EQ(ball().contactPoint, before.contactPoint);
    EXPECT_EQ(ball().velocity, before.velocity);
    EXPECT_EQ(doc.simulation.stepLength, 0.0);

    builders::launch(doc, s, 0.5, 0.5, 0.011, {1, 0, 0});
    builders::step(doc);
    EXPECT_FALSE(happened(SimulationEventKind::Rest));
    EXPECT_GT(ball().contactPoint.x, before.contactPoint.x);
}

TEST_F(RollingTest, BallRollingOffAFreeSideEdgeTakesOffAndCanPause)
{
    SurfaceSection& s = builders::addFloor(doc, "f", 5, 2);
    for (bool pause : {false, true}) {
        doc.pauseOnAir = pause;
        builders::launch(doc, s, 0.9, 0.5, 3.0, {0, 0, 1});
        EXPECT_TRUE(builders::stepUntil(doc, 10, [&] { return ball().inAir; }));
        EXPECT_TRUE(happened(SimulationEventKind::Edge));
        EXPECT_EQ(doc.simulation.stopped.load(), pause);
        EXPECT_NEAR(ball().acceleration.y, -5.0, 1e-12);
    }
}

TEST_F(RollingTest, BallUnderASurfaceFallsOffAtOnce)
{
    SurfaceSection& s = builders::addFloor(doc, "ceiling", 5, 2);
    s.reverseNormal = true;
    builders::launch(doc, s, 0.5, 0.5, 1.0, {1, 0, 0});
    expectVecNear(ball().acceleration, doc.simulation.gravity, 1e-12);
    builders::step(doc);
    EXPECT_TRUE(ball().inAir);
    EXPECT_TRUE(happened(SimulationEventKind::LiftOff));
    EXPECT_LT(ball().ballCentre.y, ball().previousBallCentre.y);
}

TEST_F(RollingTest, BallEnteringAHoleLeavesTheSurface)
{
    SurfaceSection& s = builders::addFloor(doc, "f", 5, 2);
    builders::addHole(s, "pit", 0.2, 0.8, 0.6, 0.8);
    builders::launch(doc, s, 0.5, 0.3, 4.0, {1, 0, 0});
    EXPECT_TRUE(builders::stepUntil(doc, 60, [&] { return ball().inAir; }));
    EXPECT_TRUE(happened(SimulationEventKind::Hole));
    EXPECT_GE(ball().ballV, 0.55);
    EXPECT_LE(ball().ballV, 0.8);
}

// Two floors end to begin, the second built with its u reversed when the link is.
class CrossingTest : public RollingTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CrossingTest, BallCrossesAnAttachedEndAtTheMappedParameter)
{
    const bool reversed = GetParam();
    SurfaceSection& a = builders::addFloor(doc, "a", 5, 2);
    SurfaceSection& b = builders::addFloor(doc, "b", 5, 2, FloorShape{{25.0, 0, 0}, 0.0, 0.0, reversed});
    builders::linkSites(a, 0, b, 1, reversed);
    builders::launch(doc, a, 0.3, 0.9, 5.0, {1, 0, 0});
    builders::stepUntil(doc, 20, [&] { return doc.ballSurface != &a; });
    ASSERT_EQ(doc.ballSurface, &b);
    ASSERT_TRUE(happened(SimulationEventKind::Cross));
    const SimulationEvent& e = doc.simulation.events.items[0];
    EXPECT_STREQ(e.site, "end");
    EXPECT_EQ(e.surface, &b);
    EXPECT_EQ(ball().segmentCount, 2);
    const ContactSegment& next = ball().contactSegments[2];
    EXPECT_NEAR(next.startU, reversed ? 0.7 : 0.3, 0.01);
    EXPECT_EQ(next.startV, 0.0);
    EXPECT_NEAR(ball().ballU, reversed ? 0.7 : 0.3, 0.01);
    EXPECT_FALSE(ball().inAir);
    // The two floors meet: the ball goes on straight along +x.
    EXPECT_NEAR(normalized(ball().velocity).x, 1.0, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(PlainAndReversed, CrossingTest, ::testing::Bool());

TEST_F(RollingTest, BallCrossesTheSeamOfASurfaceClosedInU)
{
    SurfaceSection& tube = builders::addTube(doc, "tube", 13, 3.0);
    builders::launch(doc, tube, 0.97, 0.5, 2.0, {0, 0, 1});
    bool wrapped = false;
    for (int k = 0; k < 30; ++k) {
        const double before = ball().ballU;
        builders::step(doc);
        ASSERT_FALSE(ball().inAir) << "step " << k;
        ASSERT_GE(ball().ballU, 0.0);
        ASSERT_LE(ball().ballU, 1.0);
        wrapped = wrapped || (before > 0.9 && ball().ballU < 0.1);
    }
    EXPECT_TRUE(wrapped);
}

TEST_F(RollingTest, NearestEdgeParameterFindsThePointAlongAnEdge)
{
    SurfaceSection& s = builders::addFloor(doc, "f", 5, 2);
    for (const double t : {0.15, 0.5, 0.85}) {
        const Vec3 X = s.EvaluatePoint(t, 1.0);
        const double found = NearestEdgeParameter(s, X, ParameterDirection::U, 1.0, 0.0, 1.0);
        EXPECT_LT(length(s.EvaluatePoint(found, 1.0) - X), 0.01) << t;
    }
}

TEST_F(RollingTest, ProjectionOntoATangentPlaneKeepsOnlyTheInPlanePart)
{
    expectVecNear(ProjectToTangentPlane({1, 2, 3}, {1, 0, 0}, {0, 0, 2}, {3, -4, 5}), {3, 0, 5}, 1e-12);
    // Degenerate tangents leave the vector alone rather than poisoning it.
    expectVecNear(ProjectToTangentPlane({1, 2, 3}, {}, {}, {3, -4, 5}), {3, -4, 5}, 0.0);
}

} // namespace
