#include "simulation/SurfaceQueries.h"

#include "support/BruteForceIntersect.h"
#include "support/SurfaceBuilders.h"
#include "support/VecExpect.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const Vec3 kUp{0.0, 1.0, 0.0};

// A channel along +x whose cross section is a Z: two flat layers across z at
// heights 0 and 3 (both facing up) joined by a slope facing down. bottomFirst
// puts the lower layer at small u, so the tree meets it first.
std::unique_ptr<SurfaceSection> makeZChannel(SurfaceHost* host, bool bottomFirst)
{
    return builders::makeProfiledChannel(host, 10, 2, [bottomFirst](int j) {
        const bool low = (j < 5) == bottomFirst;
        return Vec3{-3.0 + 1.5 * (j % 5), low ? 0.0 : 3.0, 0.0};
    });
}

// One flight step straight down over (x, z), ending within one ball radius
// above a floor at height 0.
SegmentHit drop(SurfaceSection& s, double x, double z, IntersectionOverlay& overlay)
{
    return IntersectSegment(s, {x, 0.5, z}, {x, 0.2, z}, overlay);
}

TEST(PointInTriangleTest, InsideOnEdgesAndNearVerticesOnlyAndCountsEachTest)
{
    const Vec3 P0{0, 0, 0}, P1{2, 0, 0}, P2{0, 0, 2};
    std::int64_t tests = 0;
    // Inside, on an edge, at and near a vertex; just outside, far off and above the plane.
    const std::pair<Vec3, bool> rows[] = {
        {{0.5, 0, 0.5}, true}, {{1, 0, 1}, true}, {P1, true}, {{2 + 1e-7, 0, 0}, true},
        {{0.99999, 0, 0.99999}, true}, {{1.01, 0, 1.01}, false}, {{-0.001, 0, 1}, false}, {{5, 0, 5}, false},
        {{0.5, 0.5, 0.5}, false}};
    for (std::size_t k = 0; k < std::size(rows); ++k)
        EXPECT_EQ(PointInTriangle(P0, P1, P2, rows[k].first, tests), rows[k].second) << "row " << k;
    EXPECT_EQ(tests, 9);
}

TEST(PointBetweenTest, TrueOnlyWellInsideTheSegment)
{
    const Vec3 A{0, 0, 0}, B{4, 0, 0};
    // Angle AXB about 152 degrees at (2, 0.5, 0), 90 at (2, 2, 0); at A a zero difference stays zero.
    const std::pair<Vec3, bool> rows[] = {{{2, 0, 0}, true},  {{3.9, 0, 0}, true}, {{2, 0.5, 0}, true},
                                          {{2, 2, 0}, false}, {{5, 0, 0}, false}, {A, false}};
    for (std::size_t k = 0; k < std::size(rows); ++k)
        EXPECT_EQ(PointBetween(A, B, rows[k].first), rows[k].second) << "row " << k;
}

class SegmentTriangleHitTest : public ::testing::Test {
protected:
    std::optional<Vec3> hit(const Vec3& from, const Vec3& to, double radius = 0.5)
    {
        return SegmentTriangleHit(from, to, radius, P0, P1, P2, kUp, overlay);
    }
    const Vec3 P0{-5, 0, -5}, P1{5, 0, -5}, P2{0, 0, 5};
    IntersectionOverlay overlay;
};

TEST_F(SegmentTriangleHitTest, TheSegmentIsShiftedTowardTheFaceByTheRadius)
{
    const auto h = hit({1, 2, 1}, {1, 0.2, 1});
    ASSERT_TRUE(h);
    expectVecNear(*h, {1, 0, 1}, 1e-12);
    expectVecNear(overlay.segmentFrom, {1, 2, 1}, 0);
    expectVecNear(overlay.shiftedFrom, {1, 1.5, 1}, 1e-12);
    expectVecNear(overlay.shiftedTo, {1, -0.3, 1}, 1e-12);
    EXPECT_FALSE(hit({1, 2, 1}, {1, 0.6, 1}));
}

TEST_F(SegmentTriangleHitTest, AStepEndingWithinOneRadiusOfThePlaneHitsBelowItsEnd)
{
    const auto slanted = hit({1, 0.45, 1}, {1.3, 0.3, 1.2});
    ASSERT_TRUE(slanted);
    expectVecNear(*slanted, {1.3, 0, 1.2}, 1e-12);
    const auto under = hit({1, 0.2, 1}, {1, -0.3, 1});
    ASSERT_TRUE(under);
    expectVecNear(*under, {1, 0, 1}, 1e-12);
    EXPECT_FALSE(hit({1, 0.2, 1}, {1, -0.6, 1}));
}

TEST_F(SegmentTriangleHitTest, NoHitMovingAwayAlongTheFaceOrOutsideTheTriangle)
{
    EXPECT_FALSE(hit({1, 0.1, 1}, {1, 0.4, 1}));
    EXPECT_FALSE(hit({1, -1, 1}, {1, 1, 1}));
    EXPECT_FALSE(hit({1, 0.2, 1}, {2, 0.2, 1}));
    EXPECT_FALSE(hit({20, 1, 1}, {20, -1, 1}));
}

TEST_F(SegmentTriangleHitTest, DegenerateInputsNeverHit)
{
    const Vec3 from{0, 1, 0}, to{0, -1, 0};
    EXPECT_FALSE(SegmentTriangleHit(from, to, 0.5, P0, P0, P0, kUp, overlay));
    EXPECT_FALSE(SegmentTriangleHit(from, to, 0.5, {-1, 0, 0}, {0, 0, 0}, {1, 0, 0}, kUp, overlay));
    EXPECT_FALSE(SegmentTriangleHit(from, to, 0.5, P0, P1, P2, Vec3{}, overlay));
    EXPECT_FALSE(hit(from, from));
    EXPECT_TRUE(isFinite(overlay.shiftedFrom) && isFinite(overlay.shiftedTo));
}

TEST(SurfaceTangentsTest, FrameMatchesFullEvaluationAndReverseNormalFlipsIt)
{
    StandaloneSurfaceHost host;
    auto floor = builders::makeFlatFloor(&host);
    const SurfaceFrame f = SurfaceTangents(*floor, 0.5, 0.5);
    expectVecNear(normalized(f.Su), {0, 0, 1}, 1e-6);
    expectVecNear(normalized(f.Sv), {1, 0, 0}, 1e-6);
    expectVecNear(f.N, kUp, 1e-6);

    auto channel = builders::makeChannel(&host);
    const SurfaceDerivatives d = channel->EvaluateDerivatives(0.1, 0.3); // on a wall
    const SurfaceFrame w = SurfaceTangents(*channel, 0.1, 0.3);
    expectVecNear(w.Su, d.Su, 1e-9);
    expectVecNear(w.Sv, d.Sv, 1e-9);
    expectVecNear(w.N, d.N, 1e-12);
    channel->reverseNormal = true;
    expectVecNear(SurfaceTangents(*channel, 0.1, 0.3).N, -w.N, 0);

    SurfaceSection empty(&host); // no net: a zero frame, not a kernel call
    expectVecNear(SurfaceTangents(empty, 0.5, 0.5).N, Vec3{}, 0);
}

TEST(CollisionCellAtTest, FindsTheCellAroundAParameterPair)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host); // 23 columns, 27 rows
    EXPECT_EQ(CollisionCellAt(*s, 0.0, 0.0), (MeshCell{0, 0}));
    EXPECT_EQ(CollisionCellAt(*s, 1.0, 1.0), (MeshCell{25, 21}));
    EXPECT_EQ(CollisionCellAt(*s, 2.5 / 22, 7.5 / 26), (MeshCell{7, 2}));
    EXPECT_EQ(CollisionCellAt(*s, s->collisionSample(0, 4).u, 0.51), (MeshCell{13, 4}));
    EXPECT_FALSE(CollisionCellAt(*s, -0.1, 0.5).valid());
    EXPECT_FALSE(CollisionCellAt(*s, 0.5, 1.1).valid());
}

class IntersectSegmentTest : public ::testing::Test {
protected:
    StandaloneSurfaceHost host;
    std::unique_ptr<SurfaceSection> floor = builders::makeFlatFloor(&host); // z in [-2, 2], x in [0, 25]
    IntersectionOverlay overlay;
};

TEST_F(IntersectSegmentTest, AVerticalDropHitsTheFloorBelowWithMatchingParameters)
{
    // Middle of the floor, where the surface is an affine image of the
    // parameters, so the triangle's (u, v) must evaluate back onto the foot.
    for (double x : {8.3, 12.71, 16.9})
        for (double z : {-0.4, 0.1, 0.4}) {
            const SegmentHit hit = drop(*floor, x, z, overlay);
            ASSERT_TRUE(hit.found);
            // The point evaluated at the returned (u, v) is the foot of the drop.
            expectVecNear(hit.point, {x, 0, z}, 1e-5);
            expectVecNear(overlay.triangleHitPoint, {x, 0, z}, 1e-12);
        }
    const CollisionSample node = floor->collisionSample(13, 11);
    const SegmentHit onNode = IntersectSegment(*floor, node.point + 0.4 * kUp, node.point, overlay);
    ASSERT_TRUE(onNode.found);
    EXPECT_EQ(onNode.u, node.u);
    EXPECT_EQ(onNode.v, node.v);
}

TEST_F(IntersectSegmentTest, SegmentsLeavingTheFaceNeverHitAndReverseNormalSwapsTheSides)
{
    EXPECT_FALSE(IntersectSegment(*floor, {12, 0.1, 0}, {12, 0.4, 0}, overlay).found);
    EXPECT_FALSE(IntersectSegment(*floor, {12, -1, 0}, {12, 1, 0}, overlay).found);
    floor->reverseNormal = true;
    floor->Rebuild();
    EXPECT_FALSE(drop(*floor, 12, 0, overlay).found);
    const SegmentHit fromBelow = IntersectSegment(*floor, {12, -1, 0}, {12, -0.1, 0}, overlay);
    ASSERT_TRUE(fromBelow.found);
    expectVecNear(fromBelow.point, {12, 0, 0}, 1e-5);
}

TEST_F(IntersectSegmentTest, ATriangleWithANodeInAHoleIsIgnored)
{
    const SegmentHit hit = drop(*floor, 12.71, 0.1, overlay);
    ASSERT_TRUE(hit.found);
    const MeshCell cell = CollisionCellAt(*floor, hit.u, hit.v);
    const CollisionSample corner = floor->collisionSample(cell.row, cell.column);
    floor->holes.push_back({"h", corner.u - 1e-9, corner.u + 1e-9, corner.v - 1e-9, corner.v + 1e-9});
    EXPECT_FALSE(drop(*floor, 12.71, 0.1, overlay).found); // the hit point itself is outside the hole
    EXPECT_TRUE(drop(*floor, 12.71, 1.0, overlay).found);
}

TEST_F(IntersectSegmentTest, MarksTheBoxesOfTheLastSearchAndCountsTriangleTests)
{
    const SegmentHit hit = drop(*floor, 12.71, 0.1, overlay);
    ASSERT_TRUE(hit.found);
    EXPECT_GT(overlay.triangleTests, 0);
    const MeshCell cell = CollisionCellAt(*floor, hit.u, hit.v);
    for (auto [r, c] : {std::pair{0, 0}, {0, 1}, {1, 0}, {1, 1}})
        EXPECT_EQ(floor->collisionMesh.Visited(cell.row + r, cell.column + c).load(), 1);

    // A search whose segment reaches no box tests no triangle and marks nothing.
    const std::int64_t before = overlay.triangleTests;
    EXPECT_FALSE(IntersectSegment(*floor, {12, 50, 0}, {12, 49, 0}, overlay).found);
    EXPECT_EQ(overlay.triangleTests, before);
    EXPECT_EQ(floor->boxTree->entered(floor->boxTree->root()).load(), 0);
}

TEST(IntersectSegmentLayersTest, TheNearerOfTwoLayersWinsAndAHoleLetsTheBallThrough)
{
    StandaloneSurfaceHost host;
    for (bool bottomFirst : {true, false}) {
        auto z = makeZChannel(&host, bottomFirst);
        IntersectionOverlay overlay;
        const SegmentHit top = IntersectSegment(*z, {25, 5, 0}, {25, -1, 0}, overlay);
        ASSERT_TRUE(top.found);
        expectVecNear(top.point, {25, 3, 0}, 1e-4);
        // Cut the upper layer away: the drop falls through to the lower one.
        const double lowU = bottomFirst ? 0.5 : 0.0, highU = bottomFirst ? 1.0 : 0.5;
        z->holes.push_back({"gap", lowU, highU, 0.0, 1.0});
        const SegmentHit bottom = IntersectSegment(*z, {25, 5, 0}, {25, -1, 0}, overlay);
        ASSERT_TRUE(bottom.found);
        expectVecNear(bottom.point, {25, 0, 0}, 1e-4);
    }
}

TEST(IntersectSegmentTreeTest, NoTreeOrAPoisonedSegmentGivesNoHit)
{
    StandaloneSurfaceHost host;
    SurfaceSection empty(&host);
    IntersectionOverlay overlay;
    EXPECT_FALSE(IntersectSegment(empty, {0, 1, 0}, {0, -1, 0}, overlay).found);
    auto floor = builders::makeFlatFloor(&host);
    const double nan = std::nan("");
    EXPECT_FALSE(IntersectSegment(*floor, {12, 0.5, nan}, {12, 0.2, 0}, overlay).found);
    EXPECT_EQ(floor->boxTree->entered(floor->boxTree->root()).load(), 0);
}

} // namespace
