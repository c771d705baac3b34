#include "support/SurfaceBuilders.h"

#include "surface/ColorRamp.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace {

void visitNodes(const BoxTree& tree, const BoxNode& node, const std::function<void(const BoxNode&)>& f)
{
    f(node);
    if (node.leaf()) return;
    visitNodes(tree, tree.first(node), f);
    visitNodes(tree, tree.second(node), f);
}

void visitLeaves(const BoxTree& tree, const std::function<void(const BoxNode&)>& f)
{
    visitNodes(tree, tree.root(), [&](const BoxNode& node) {
        if (node.leaf()) f(node);
    });
}

bool inside(const BoxRecord& inner, const BoxRecord& outer)
{
    return outer.xMin <= inner.xMin && inner.xMax <= outer.xMax && outer.yMin <= inner.yMin &&
           inner.yMax <= outer.yMax && outer.zMin <= inner.zMin && inner.zMax <= outer.zMax;
}

// The display mesh's columns and rows, then the collision mesh's.
std::array<int, 4> meshSizes(const SurfaceSection& s)
{
    return {s.displayColumns, s.displayRows, s.collisionColumns, s.collisionRows};
}

// Asks for fixed sample counts and rebuilds the meshes.
void sampleFixed(SurfaceSection& s, int u, int v)
{
    s.samplingMode = SamplingMode::FixedCounts;
    s.fixedSamplesU = u;
    s.fixedSamplesV = v;
    s.Rebuild();
}

TEST(SamplingTest, DefaultCountsAndTheWalkEndsExactlyAtOne)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    EXPECT_EQ(meshSizes(*s), (std::array{17, 21, 23, 27}));
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
    sampleFixed(*s, 9, 12);
    EXPECT_EQ(meshSizes(*s), (std::array{9, 12, 9, 12}));

    // A floor 30.4 units across (4 intervals of 7.6) and 20 long.
    auto wide = builders::makeFlatFloor(&host, 5, 0, 7.6);
    wide->samplingMode = SamplingMode::ByLength;
    wide->Rebuild();
    EXPECT_EQ(wide->lengthSamplesU, 31);
    EXPECT_EQ(wide->lengthSamplesV, 16); // 15 units long
    EXPECT_EQ(wide->displayColumns, 31);
    EXPECT_EQ(wide->collisionRows, 16);
}

TEST(SamplingTest, EachMeshKeepsWithinItsSampleBudgetAndItsShape)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    sampleFixed(*s, 400, 400);
    EXPECT_LE(s->displayColumns * s->displayRows, kMaxMeshSamples);
    EXPECT_LE(s->collisionColumns * s->collisionRows, kMaxMeshSamples);
    EXPECT_GT(s->displayColumns * s->displayRows, kMaxMeshSamples * 9 / 10); // not shrunk further than needed
    EXPECT_EQ(s->displayColumns, s->displayRows);
    EXPECT_EQ(s->displaySample(s->displayRows - 1, s->displayColumns - 1).u, 1.0);

    // A long narrow mesh keeps its proportions.
    sampleFixed(*s, 200, 1000); // 400 at most along one direction
    EXPECT_LE(s->collisionColumns * s->collisionRows, kMaxMeshSamples);
    EXPECT_LT(s->collisionRows, 400);
    EXPECT_NEAR(static_cast<double>(s->collisionRows) / s->collisionColumns, 2.0, 0.05);

    // Meshes within the budget are left as asked.
    sampleFixed(*s, 150, 260);
    EXPECT_EQ(meshSizes(*s), (std::array{150, 260, 150, 260}));

    // Damaged counts are bounded.
    sampleFixed(*s, 0, 1000000000);
    EXPECT_EQ(s->displayColumns, 2);
    EXPECT_LE(s->displayRows, 400);
    EXPECT_EQ(s->displaySample(0, 1).u, 1.0);
}

// Index just past the subtree of `node` in pre-order.
int subtreeEnd(const BoxTree& tree, const BoxNode& node)
{
    return node.leaf() ? node.index + 1 : subtreeEnd(tree, tree.second(node));
}

// The box of the collision points a node spans.
BoxRecord boxOfPoints(const SurfaceSection& s, const BoxNode& node)
{
    BoxRecord box{1e300, -1e300, 1e300, -1e300, 1e300, -1e300};
    for (int i = node.v0; i <= node.v1; ++i)
        for (int j = node.u0; j <= node.u1; ++j) {
            const Vec3 p = s.collisionMesh.Point(i, j);
            box = {std::min(box.xMin, p.x), std::max(box.xMax, p.x), std::min(box.zMin, p.z),
                   std::max(box.zMax, p.z), std::min(box.yMin, p.y), std::max(box.yMax, p.y)};
        }
    return box;
}

void expectSameBox(const BoxRecord& a, const BoxRecord& b)
{
    EXPECT_EQ(a.corner(0), b.corner(0)); // the low corner
    EXPECT_EQ(a.corner(6), b.corner(6)); // the high one
}

// Each node is numbered once in pre-order with exactly the box of its
// points, nested in its parent's; its walk node has the same box and links
// past its subtree. Each leaf is one quad, covered once, named by its walk
// node. That the halves of each node share their middle index (no quad left
// out) is the cover count.
TEST(BoxTreeTest, NodesLeavesAndWalkNodesAgreeWithTheMesh)
{
    StandaloneSurfaceHost host;
    for (auto [points, intermediate] : {std::pair{5, 2}, {7, 3}, {20, 20}}) {
        SCOPED_TRACE(points);
        auto s = builders::makeChannel(&host, points, intermediate);
        const BoxTree& tree = *s->boxTree;
        const int columns = s->collisionColumns - 1, quads = (s->collisionRows - 1) * columns;
        EXPECT_EQ(tree.nodeCount(), 2 * quads - 1);
        const WalkNode* walk = tree.walkNodes();
        std::vector<int> cover(static_cast<std::size_t>(quads), 0);
        int next = 0, deepest = 0;
        visitNodes(tree, tree.root(), [&](const BoxNode& node) {
            ASSERT_EQ(node.index, next++);
            const BoxRecord t = tree.tightOf(node);
            expectSameBox(t, boxOfPoints(*s, node));
            const WalkNode& w = walk[node.index];
            expectSameBox(w.tight(), t);
            EXPECT_EQ(w.low(0), t.xMin);
            EXPECT_EQ(w.high(2), t.yMax);
            EXPECT_EQ(w.skip(node.index), subtreeEnd(tree, node));
            ASSERT_EQ(w.leaf(), node.leaf());
            if (!node.leaf()) {
                for (const BoxNode& child : {tree.first(node), tree.second(node)}) {
                    EXPECT_TRUE(inside(tree.tightOf(child), t));
                    EXPECT_EQ(child.depth, node.depth + 1);
                }
                return;
            }
            EXPECT_EQ(node.spanU(), 1);
            EXPECT_EQ(node.spanV(), 1);
            ++cover[static_cast<std::size_t>(node.v0 * columns + node.u0)];
            deepest = std::max(deepest, node.depth);
            EXPECT_NEAR(length(tree.normalsOf(node).normal1), 1.0, 1e-9);
            EXPECT_NEAR(length(tree.normalsOf(node).normal2), 1.0, 1e-9);
            EXPECT_EQ(w.row(), node.v0);
            EXPECT_EQ(w.column(), node.u0);
        });
        EXPECT_EQ(next, tree.nodeCount());
        EXPECT_TRUE(std::all_of(cover.begin(), cover.end(), [](int c) { return c == 1; }));
        EXPECT_EQ(deepest, s->boxTreeDepth);
        // The root spans the mesh; halving each way bounds the depth.
        const BoxNode root = tree.root();
        EXPECT_TRUE(root.u0 == 0 && root.v0 == 0 && root.u1 == columns && root.v1 == s->collisionRows - 1);
        EXPECT_EQ(root.depth, 0);
        const auto bits = [](int n) { return static_cast<int>(std::ceil(std::log2(n))); };
        EXPECT_GE(deepest, bits(quads));
        EXPECT_LE(deepest, bits(columns) + bits(s->collisionRows - 1));
    }
}

TEST(BoxTreeTest, FlatFloorGivesFlatBoxesAndStartOfRampColours)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeFlatFloor(&host);
    const BoxTree& tree = *s->boxTree;
    const BoxRecord tight = tree.tightOf(tree.root()), inflated = tree.inflatedOf(tree.root(), host.ballRadius);
    EXPECT_EQ(tight.yMin, tight.yMax);
    EXPECT_EQ(tree.tight.yMax, tight.yMax);
    EXPECT_NEAR(inflated.yMax - inflated.yMin, 2 * host.ballRadius, 1e-12);
    EXPECT_NEAR(inflated.xMin, tight.xMin - host.ballRadius, 1e-12);
    EXPECT_EQ(s->heightRange, 0.0);
    EXPECT_EQ(s->curvatureScale, 0.0);
    // Leaf triangles of a floor face up.
    visitLeaves(tree, [&](const BoxNode& leaf) {
        const LeafNormals& n = tree.normalsOf(leaf);
        EXPECT_NEAR(n.normal1.y, 1.0, 1e-9);
        EXPECT_NEAR(n.normal2.y, 1.0, 1e-9);
    });
    const DisplaySample d = s->displaySample(4, 4);
    EXPECT_EQ(HeightColor(d.point.y, s->heightMin, s->heightRange), (Vec3{0, 1, 1}));
    EXPECT_EQ(CurvatureColor(d.K, s->curvatureScale), (Vec3{0, 1, 1}));
    EXPECT_EQ(AngleColor(d.N), (Vec3{0, 1, 1}));
    s->reverseNormal = true;
    s->Rebuild();
    visitLeaves(*s->boxTree, [&](const BoxNode& leaf) {
        EXPECT_NEAR(s->boxTree->normalsOf(leaf).normal1.y, -1.0, 1e-9);
    });
}

// The samples themselves are pinned bit for bit against evaluation by the grid tests.
TEST(MeshTest, HeightRangeAndCurvatureScaleFollowTheSamples)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host);
    // The channel's floor is at 0 and its walls reach 2.
    EXPECT_NEAR(s->heightMin, 0.0, 1e-6);
    EXPECT_NEAR(s->heightMax, 2.0, 1e-6);
    EXPECT_GT(s->curvatureScale, 0.0);
    for (int i = 0; i < s->displayRows; ++i)
        for (int j = 0; j < s->displayColumns; ++j) {
            const DisplaySample d = s->displaySample(i, j);
            EXPECT_LE(std::fabs(d.K), s->curvatureScale * (1 + 1e-6));
            EXPECT_TRUE(isFinite(CurvatureColor(d.K, s->curvatureScale)));
        }
}

TEST(MeshTest, DerivedDataOfAMidSizedSurfaceStaysCompact)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host, 20, 20); // 24 sections x 20 points
    EXPECT_EQ(s->displayRows * s->displayColumns, 7161);
    EXPECT_EQ(s->collisionRows * s->collisionColumns, 8217);
    EXPECT_LE(s->DerivedBytes(), 1200u * 1000u);
    s->FreeDerived();
    EXPECT_EQ(s->DerivedBytes(), 0u);
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

TEST(BoxRecordTest, CornersContainmentAndSegmentCrossing)
{
    const BoxRecord b{0, 2, 3, 4, -1, 1}; // x, z and y ranges
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
