#include "support/SurfaceBuilders.h"

#include "surface/ColorRamp.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

void visitLeaves(const BoxNode& node, const std::function<void(const BoxNode&)>& f)
{
    if (node.leaf) {
        f(node);
        return;
    }
    visitLeaves(*node.first, f);
    visitLeaves(*node.second, f);
}

bool inside(const BoxRecord& inner, const BoxRecord& outer)
{
    return outer.xMin <= inner.xMin && inner.xMax <= outer.xMax && outer.yMin <= inner.yMin &&
           inner.yMax <= outer.yMax && outer.zMin <= inner.zMin && inner.zMax <= outer.zMax;
}

void checkNesting(const BoxNode& node)
{
    if (node.leaf) return;
    EXPECT_TRUE(inside(node.first->tight, node.tight));
    EXPECT_TRUE(inside(node.second->tight, node.tight));
    EXPECT_EQ(node.first->depth, node.depth + 1);
    checkNesting(*node.first);
    checkNesting(*node.second);
}

TEST(SamplingTest, DefaultCountsAndTheWalkEndsExactlyAtOne)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    EXPECT_EQ(s->displayColumns, 17);
    EXPECT_EQ(s->displayRows, 21);
    EXPECT_EQ(s->collisionColumns, 23);
    EXPECT_EQ(s->collisionRows, 27);
    EXPECT_EQ(s->displaySample(0, 0).u, 0.0);
    EXPECT_EQ(s->displaySample(0, 0).v, 0.0);
    EXPECT_EQ(s->displaySample(20, 16).u, 1.0);
    EXPECT_EQ(s->displaySample(20, 16).v, 1.0);
    EXPECT_EQ(s->collisionSample(26, 22).u, 1.0);
    EXPECT_NEAR(s->displaySample(3, 5).u, 5.0 / 16, 1e-12);
    EXPECT_NEAR(s->displaySample(3, 5).v, 3.0 / 20, 1e-12);
    EXPECT_EQ(s->render.load(), 1);
}

TEST(SamplingTest, FixedAndLengthModes)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    s->samplingMode = 2;
    s->fixedSamplesU = 9;
    s->fixedSamplesV = 12;
    s->Rebuild();
    EXPECT_EQ(s->displayColumns, 9);
    EXPECT_EQ(s->displayRows, 12);
    EXPECT_EQ(s->collisionColumns, 9);
    EXPECT_EQ(s->collisionRows, 12);

    // A floor 30.4 units across (4 intervals of 7.6) and 20 long.
    auto wide = builders::makeFlatFloor(&host, 5, 0, 7.6);
    wide->samplingMode = 1;
    wide->Rebuild();
    EXPECT_EQ(wide->lengthSamplesU, 31);
    EXPECT_EQ(wide->lengthSamplesV, 16); // 15 units long
    EXPECT_EQ(wide->displayColumns, 31);
    EXPECT_EQ(wide->collisionRows, 16);
}

TEST(SamplingTest, DamagedCountsAreBounded)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    s->samplingMode = 2;
    s->fixedSamplesU = 0;
    s->fixedSamplesV = 1000000000;
    s->Rebuild();
    EXPECT_EQ(s->displayColumns, 2);
    EXPECT_LE(s->displayRows, 400);
    EXPECT_EQ(s->displaySample(0, 1).u, 1.0);
}

TEST(SamplingTest, EachMeshKeepsWithinItsSampleBudgetAndItsShape)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    s->samplingMode = 2;
    s->fixedSamplesU = 400;
    s->fixedSamplesV = 400;
    s->Rebuild();
    EXPECT_LE(s->displayColumns * s->displayRows, kMaxMeshSamples);
    EXPECT_LE(s->collisionColumns * s->collisionRows, kMaxMeshSamples);
    EXPECT_GT(s->displayColumns * s->displayRows, kMaxMeshSamples * 9 / 10); // not shrunk further than needed
    EXPECT_EQ(s->displayColumns, s->displayRows);
    EXPECT_EQ(s->displaySample(s->displayRows - 1, s->displayColumns - 1).u, 1.0);

    // A long narrow mesh keeps its proportions.
    s->fixedSamplesU = 200;
    s->fixedSamplesV = 1000; // 400 at most along one direction
    s->Rebuild();
    EXPECT_LE(s->collisionColumns * s->collisionRows, kMaxMeshSamples);
    EXPECT_LT(s->collisionRows, 400);
    EXPECT_NEAR(static_cast<double>(s->collisionRows) / s->collisionColumns, 2.0, 0.05);

    // Meshes within the budget are left as asked.
    s->fixedSamplesU = 150;
    s->fixedSamplesV = 260;
    s->Rebuild();
    EXPECT_EQ(s->displayColumns, 150);
    EXPECT_EQ(s->displayRows, 260);
}

TEST(BoxTreeTest, LeavesCoverEachQuadOnceAndShareBoundaries)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    ASSERT_NE(s->boxTree, nullptr);
    const BoxNode& root = *s->boxTree;
    EXPECT_EQ(root.u0, 0);
    EXPECT_EQ(root.u1, 22);
    EXPECT_EQ(root.v1, 26);
    EXPECT_EQ(root.depth, 0);
    std::vector<int> cover(22 * 26, 0);
    int deepest = 0;
    visitLeaves(root, [&](const BoxNode& leaf) {
        EXPECT_EQ(leaf.spanU, 1);
        EXPECT_EQ(leaf.spanV, 1);
        EXPECT_EQ(leaf.first, nullptr);
        ++cover[leaf.v0 * 22 + leaf.u0];
        deepest = std::max(deepest, leaf.depth);
        EXPECT_NEAR(length(leaf.normal1), 1.0, 1e-9);
        EXPECT_NEAR(length(leaf.normal2), 1.0, 1e-9);
    });
    for (int c : cover) EXPECT_EQ(c, 1);
    EXPECT_EQ(deepest, s->boxTreeDepth);
    EXPECT_LE(s->boxTreeDepth, 10); // about log2(22) + log2(26)
    EXPECT_GE(s->boxTreeDepth, 9);
    checkNesting(root);
    // The middle index belongs to both halves.
    if (root.first->u1 != root.first->u0 + root.spanU) {
        EXPECT_EQ(root.first->u1, root.second->u0);
    } else {
        EXPECT_EQ(root.first->v1, root.second->v0);
    }
}

TEST(BoxTreeTest, FlatFloorGivesFlatBoxesAndStartOfRampColours)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeFlatFloor(&host);
    const BoxNode& root = *s->boxTree;
    EXPECT_EQ(root.tight.yMin, root.tight.yMax);
    EXPECT_NEAR(root.inflated.yMax - root.inflated.yMin, 2 * host.ballRadius, 1e-12);
    EXPECT_NEAR(root.inflated.xMin, root.tight.xMin - host.ballRadius, 1e-12);
    EXPECT_EQ(s->heightRange, 0.0);
    EXPECT_EQ(s->curvatureScale, 0.0);
    // Leaf triangles of a floor face up.
    visitLeaves(root, [&](const BoxNode& leaf) {
        EXPECT_NEAR(leaf.normal1.y, 1.0, 1e-9);
        EXPECT_NEAR(leaf.normal2.y, 1.0, 1e-9);
    });
    const DisplaySample& d = s->displaySample(4, 4);
    EXPECT_EQ(d.heightColor, (Vec3{0, 1, 1}));
    EXPECT_EQ(d.curvatureColor, (Vec3{0, 1, 1}));
    EXPECT_EQ(d.angleColor, (Vec3{0, 1, 1}));
    s->reverseNormal = true;
    s->Rebuild();
    visitLeaves(*s->boxTree, [&](const BoxNode& leaf) { EXPECT_NEAR(leaf.normal1.y, -1.0, 1e-9); });
}

TEST(MeshTest, HeightRangeAndColoursFollowTheSamples)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    // The channel's floor is at 0 and its walls reach 2.
    EXPECT_NEAR(s->heightMin, 0.0, 1e-6);
    EXPECT_NEAR(s->heightMax, 2.0, 1e-6);
    const DisplaySample& wall = s->displaySample(10, 0);
    EXPECT_NEAR(wall.heightColor.x, RampColor((wall.point.y - s->heightMin) / s->heightRange).x, 1e-12);
    EXPECT_GT(s->curvatureScale, 0.0);
    for (const DisplaySample& d : s->displayMesh) {
        EXPECT_LE(std::fabs(d.K), s->curvatureScale);
        EXPECT_TRUE(isFinite(d.curvatureColor));
    }
}

TEST(RegenerateTest, KeepingDerivedDataLeavesTheTreeFreedUntilRebuild)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    s->horizontalTurn = {true, true, 0.5};
    s->drawingCache.valid[0] = true;
    s->Regenerate(true);
    EXPECT_EQ(s->boxTree, nullptr);
    EXPECT_EQ(s->render.load(), 1);
    EXPECT_TRUE(s->drawingCache.valid[0].load());
    s->Regenerate(false);
    EXPECT_NE(s->boxTree, nullptr);
    EXPECT_FALSE(s->drawingCache.valid[0].load());
    EXPECT_NEAR(std::acos(dot(normalized(s->finalDirection), Vec3{1, 0, 0})), 0.5, 1e-9);
}

} // namespace

namespace {

TEST(BoxRecordTest, CornersContainmentAndSegmentCrossing)
{
    BoxRecord b;
    b.xMin = 0;
    b.xMax = 2;
    b.yMin = -1;
    b.yMax = 1;
    b.zMin = 3;
    b.zMax = 4;
    EXPECT_EQ(b.corner(0), (Vec3{0, -1, 3}));
    EXPECT_EQ(b.corner(2), (Vec3{2, -1, 4}));
    EXPECT_EQ(b.corner(7), (Vec3{0, 1, 4}));
    for (int k = 0; k < 8; ++k) EXPECT_TRUE(b.contains(b.corner(k)));
    EXPECT_FALSE(b.contains({1, 0, 4.5}));
    EXPECT_TRUE(b.crossedBy({-5, 0, 3.5}, {5, 0, 3.5}));     // straight through
    EXPECT_FALSE(b.crossedBy({-5, 0, 3.5}, {-1, 0, 3.5}));   // stops short
    EXPECT_FALSE(b.crossedBy({-5, 2, 3.5}, {5, 2, 3.5}));    // passes above
    EXPECT_TRUE(b.crossedBy({1, 5, 3.5}, {1, 0.5, 3.5}));    // ends inside
    EXPECT_TRUE(b.crossedBy({1, 0, 3.5}, {1, 0, 3.5}));      // a point inside
}

} // namespace
