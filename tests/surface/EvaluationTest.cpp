#include "support/NetPoint.h"
#include "support/SurfaceBuilders.h"

#include "surface/ColorRamp.h"
#include "surface/SurfaceKernel.h"

#include "support/VecExpect.h"

#include <gtest/gtest.h>

namespace {

TEST(EvaluationTest, UrunsAcrossAndVAlongTheChannel)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    const SurfaceDerivatives d = s->EvaluateDerivatives(0.5, 0.5);
    // The channel runs along +x; across it, u runs along R = x × y = +z.
    EXPECT_GT(d.Sv.x, 0.0);
    EXPECT_NEAR(d.Sv.z, 0.0, 1e-5);
    EXPECT_GT(d.Su.z, 0.0);
    // The floor's normal is Su × Sv = z × x = +y.
    expectVecNear(d.N, {0, 1, 0}, 1e-6);
}

TEST(EvaluationTest, FlatFloorHasAnExactUpwardNormalAndNoCurvature)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeFlatFloor(&host);
    for (double u : {0.0, 0.3, 1.0})
        for (double v : {0.0, 0.71, 1.0}) {
            const SurfaceDerivatives d = s->EvaluateDerivatives(u, v);
            EXPECT_EQ(d.N, (Vec3{0, 1, 0}));
            EXPECT_EQ(TangentAngle(d.N), 0.0);
            EXPECT_EQ(d.K, 0.0);
        }
    s->reverseNormal = true;
    const SurfaceDerivatives r = s->EvaluateDerivatives(0.5, 0.5);
    EXPECT_EQ(r.N, (Vec3{0, -1, 0}));
    EXPECT_EQ(TangentAngle(r.N), kPi);
}

TEST(EvaluationTest, DegeneratePointGivesZeroNormalAndCurvature)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    // Collapse the first cross section to a single point: Su vanishes along v = 0.
    for (int j = 0; j < s->pointsPerSection; ++j) s->controlNet[0][j] = {0, 0, 0, 1};
    const SurfaceDerivatives d = s->EvaluateDerivatives(0.5, 0.0);
    EXPECT_EQ(d.N, Vec3{});
    EXPECT_EQ(d.K, 0.0);
    EXPECT_NEAR(TangentAngle(d.N), kPi / 2, 1e-12);
}

TEST(EvaluationTest, CurvatureOfAStraightChannelIsZeroAndOfABowlPositive)
{
    StandaloneSurfaceHost host;
    auto channel = builders::makeChannel(&host, 7, 4);
    // A straight channel is curved across only: Gaussian curvature 0.
    EXPECT_NEAR(channel->EvaluateDerivatives(0.5, 0.5).K, 0.0, 1e-6);
    // Bend a flat floor both ways: a bowl, with positive curvature.
    auto bowl = builders::makeFlatFloor(&host, 7, 4);
    for (int i = 0; i < bowl->sectionCount; ++i) {
        const double t = i - (bowl->sectionCount - 1) / 2.0;
        for (int j = 0; j < bowl->pointsPerSection; ++j) {
            const double s = j - (bowl->pointsPerSection - 1) / 2.0;
            bowl->controlNet[i][j].y += static_cast<float>(0.3 * t * t + 0.3 * s * s);
        }
    }
    EXPECT_GT(bowl->EvaluateDerivatives(0.5, 0.5).K, 0.0);
}

TEST(EvaluationTest, ASectionsCurveIsItsRowOfTheNetAcrossTheChannel)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host, 6, 3);
    const int last = s->sectionCount - 1, n = s->pointsPerSection;
    for (double u : {0.0, 0.3, 1.0}) {
        expectVecNear(KernelSectionPoint(*s, 0, u), s->EvaluatePoint(u, 0), 1e-5);
        expectVecNear(KernelSectionPoint(*s, last, u), s->EvaluatePoint(u, 1), 1e-5);
        // A straight channel along x: a middle section lies at its row's x.
        EXPECT_NEAR(KernelSectionPoint(*s, 2, u).x, netPoint(*s, 2, 0).x, 1e-5);
    }
    expectVecNear(KernelSectionPoint(*s, 2, 1.0), netPoint(*s, 2, n - 1), 1e-5);
    EXPECT_EQ(KernelSectionPoint(*s, -1, 0.5), Vec3{});
    EXPECT_EQ(KernelSectionPoint(*s, last + 1, 0.5), Vec3{});
}

TEST(EvaluationTest, SurfaceWithoutNetEvaluatesToZero)
{
    StandaloneSurfaceHost host;
    SurfaceSection s(&host);
    EXPECT_EQ(s.EvaluatePoint(0.5, 0.5), Vec3{});
    EXPECT_EQ(s.EvaluateDerivatives(0.5, 0.5).N, Vec3{});
}

// Straight up (0) and down (pi) are pinned with the flat floor's normals.
TEST(TangentAngleTest, AWallIsAtAQuarterTurnAndRoundingIsClamped)
{
    EXPECT_NEAR(TangentAngle({1, 0, 0}), kPi / 2, 1e-12);
    EXPECT_EQ(TangentAngle({0, 1.0000000000000002, 0}), 0.0);
}

TEST(ColorRampTest, BezierThroughCyanGreenYellowRedAndTheMapsOntoIt)
{
    expectVecNear(RampColor(0.0), {0, 1, 1}, 0);
    expectVecNear(RampColor(1.0), {1, 0, 0}, 0);
    expectVecNear(RampColor(0.5), {0.5, 0.875, 0.125}, 1e-15);
    // Not clamped: beyond 1 the curve extrapolates (green goes negative).
    EXPECT_NEAR(RampColor(1.2).y, -0.728, 1e-12);
    // The maps onto it, and their divide-by-zero cases.
    expectVecNear(HeightColor(3.0, 1.0, 4.0), RampColor(0.5), 0);
    expectVecNear(AngleColor({0, -1, 0}), RampColor(1.0), 1e-15);
    expectVecNear(CurvatureColor(-0.25, 0.5), RampColor(0.5), 0);
}

} // namespace
