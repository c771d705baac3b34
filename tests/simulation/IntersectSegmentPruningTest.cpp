// The search a flight step runs while no overlay shows its marks leaves out
// boxes that cannot improve its hit. It must give exactly what the marking
// walk over every reached box gives, and what a scan of every triangle finds.

#include "simulation/SurfaceQueries.h"

#include "support/BruteForceIntersect.h"
#include "support/SurfaceBuilders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

enum class Scan { Compare, Skip };

// Runs the search both ways and checks they agree to the bit, that the marked
// one entered exactly the boxes the segment reaches and the unmarked one
// leaves no marks, and (unless told otherwise) that a scan of every triangle
// finds a hit at the same distance. Returns whether it hit.
bool expectSameAsMarkedAndScan(SurfaceSection& s, const Vec3& from, const Vec3& to, const std::string& what,
                               std::optional<MeshCell> skip = std::nullopt, Scan scan = Scan::Compare)
{
    const bool compareScan = !skip && scan == Scan::Compare;
    IntersectionOverlay marked, pruned;
    pruned.marksShown = false;
    const SegmentHit full = IntersectSegment(s, from, to, marked, skip);
    EXPECT_EQ(builders::firstWrongMark(s, from, to), -1) << what;
    const SegmentHit fast = IntersectSegment(s, from, to, pruned, skip);
    EXPECT_EQ(s.boxTree->entered(s.boxTree->root()).load(), 0) << what;
    EXPECT_EQ(fast.found, full.found) << what;
    if (!full.found || !fast.found) {
        if (compareScan) {
            EXPECT_FALSE(builders::bruteForceIntersect(s, from, to, marked).has_value()) << what;
        }
        return false;
    }
    EXPECT_EQ(fast.u, full.u) << what;
    EXPECT_EQ(fast.v, full.v) << what;
    EXPECT_EQ(fast.point, full.point) << what;
    EXPECT_EQ(pruned.triangleHitPoint, marked.triangleHitPoint) << what;
    EXPECT_LE(pruned.triangleTests, marked.triangleTests) << what;
    if (compareScan) {
        const auto hit = builders::bruteForceIntersect(s, from, to, marked);
        EXPECT_TRUE(hit.has_value()) << what;
        if (hit) {
            EXPECT_NEAR(length(pruned.triangleHitPoint - from), hit->distance, 1e-9) << what;
        }
    }
    return true;
}

// A channel whose cross-section points are moved at random, sampled finely
// when `subdivisions` is large (cells narrower than the ball).
std::unique_ptr<SurfaceSection> makeCrumpledChannel(SurfaceHost* host, std::mt19937& rng, int subdivisions)
{
    auto s = builders::makeChannel(host, 7, 3);
    std::uniform_real_distribution<double> jitter(-0.6, 0.6);
    for (int i = 0; i < s->sectionCount; ++i)
        for (int j = 0; j < s->sections[i].pointCount; ++j) {
            Vec3& p = s->sections[i].points[j];
            p = p + Vec3{jitter(rng), jitter(rng), jitter(rng)};
        }
    s->subdivisionsU = s->subdivisionsV = subdivisions;
    s->BuildNet();
    s->ComputeHeightRange();
    s->Rebuild();
    return s;
}

TEST(IntersectSegmentPruningTest, RandomSegmentsOnCrumpledChannelsFindTheMarkedWalksHit)
{
    StandaloneSurfaceHost host;
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> unit(0.0, 1.0), spread(-1.0, 1.0);
    int hits = 0, misses = 0;
    for (int surface = 0; surface < 4; ++surface) {
        auto s = makeCrumpledChannel(&host, rng, surface % 2 ? 8 : 4);
        if (surface >= 2) s->holes.push_back({"h", 0.3, 0.6, 0.2, 0.7});
        if (surface == 3) {
            s->reverseNormal = true;
            s->Rebuild();
        }
        for (int k = 0; k < 300; ++k) {
            const double u = unit(rng), v = unit(rng);
            const SurfaceFrame f = SurfaceTangents(*s, u, v);
            const Vec3 N = s->reverseNormal ? -f.N : f.N;
            const Vec3 from = s->EvaluatePoint(u, v) + (0.8 * unit(rng) - 0.2) * N +
                              0.3 * Vec3{spread(rng), spread(rng), spread(rng)};
            const Vec3 to = from + (0.1 + unit(rng)) * normalized(Vec3{spread(rng), spread(rng), spread(rng)} - N);
            const bool hit = expectSameAsMarkedAndScan(*s, from, to, "surface " + std::to_string(surface) +
                                                                          " segment " + std::to_string(k));
            hits += hit;
            misses += !hit;
        }
    }
    EXPECT_GT(hits, 400);
    EXPECT_GT(misses, 100);
}

TEST(IntersectSegmentPruningTest, SegmentsGrazingBoxFacesOrEndingOnTheMeshAgree)
{
    StandaloneSurfaceHost host;
    std::mt19937 rng(23);
    auto s = makeCrumpledChannel(&host, rng, 4);
    auto plain = builders::makeChannel(&host, 7, 3); // whose boxes share faces
    const double r = host.surfaceBallRadius();
    std::uniform_real_distribution<double> unit(0.0, 1.0), spread(-0.4, 0.4);
    int hits = 0;
    for (SurfaceSection* surface : {s.get(), plain.get()}) {
        const BoxTree& tree = *surface->boxTree;
        std::uniform_int_distribution<int> pick(0, tree.nodeCount() - 1);
        for (int k = 0; k < 300; ++k) {
            // A point on a face of a node's grown box; the segment starts
            // there, ends there or lies in that face.
            const BoxRecord box = tree.walkNodes()[pick(rng)].tight().inflated(r);
            double p[3] = {box.xMin + unit(rng) * (box.xMax - box.xMin), box.yMin + unit(rng) * (box.yMax - box.yMin),
                           box.zMin + unit(rng) * (box.zMax - box.zMin)};
            const int axis = k % 3;
            const double faces[3][2] = {{box.xMin, box.xMax}, {box.yMin, box.yMax}, {box.zMin, box.zMax}};
            p[axis] = faces[axis][(k / 3) % 2];
            Vec3 from{p[0], p[1], p[2]};
            Vec3 to = from + Vec3{spread(rng), spread(rng) - 0.2, spread(rng)};
            if ((k / 6) % 3 == 0) (axis == 0 ? to.x : axis == 1 ? to.y : to.z) = p[axis];
            if ((k / 6) % 3 == 1) std::swap(from, to);
            hits += expectSameAsMarkedAndScan(*surface, from, to, "grazing " + std::to_string(k));
        }
    }
    // Steps ending exactly on a mesh node, an edge or inside a triangle, with
    // and without a ball radius. Ending on a node on a leaf box's face, the
    // box test's rounding decides, as it always has, where a scan of every
    // triangle may decide otherwise.
    for (const double radius : {0.0, r}) {
        host.ballRadius = radius;
        for (int k = 0; k < 200; ++k) {
            const int row = 1 + k % (s->collisionRows - 2), column = 1 + (7 * k) % (s->collisionColumns - 2);
            const Vec3 A = s->collisionMesh.Point(row, column), C = s->collisionMesh.Point(row + 1, column + 1);
            const Vec3 B = s->collisionMesh.Point(row, column + 1);
            const Vec3 end = k % 3 == 0 ? A : k % 3 == 1 ? 0.5 * (A + C) : (A + B + C) * (1.0 / 3.0);
            const Vec3 start = end + Vec3{spread(rng), 0.5 + unit(rng), spread(rng)};
            const Scan scan = radius == 0.0 ? Scan::Skip : Scan::Compare;
            hits += expectSameAsMarkedAndScan(*s, start, end, "ending " + std::to_string(k), std::nullopt, scan);
            hits += expectSameAsMarkedAndScan(*s, 2.0 * end - start, end, "ending below " + std::to_string(k),
                                              std::nullopt, scan);
        }
    }
    EXPECT_GT(hits, 250);
}

// A channel along +x whose cross section runs across z at height 0 from -3
// to -1, turns back and runs from -3 to 3: two layers lying exactly on each
// other where both run, both facing up. The narrow one has the lower u, so
// the tree meets it first.
std::unique_ptr<SurfaceSection> makeFoldedFloor(SurfaceHost* host)
{
    return builders::makeProfiledChannel(
        host, 10, 2, [](int j) { return Vec3{j < 5 ? -3.0 + 0.5 * j : -10.5 + 1.5 * j, 0.0, 0.0}; });
}

TEST(IntersectSegmentPruningTest, TiesBetweenCellsGoToTheCellTheMarkedWalkMeetsFirst)
{
    // A step down onto the folded floor hits both layers at the same point
    // and distance, in cells far apart in u. It starts above the wide layer
    // only, so the nearer box first goes to the cell the tree meets last.
    StandaloneSurfaceHost host;
    auto fold = makeFoldedFloor(&host);
    std::mt19937 rng(29);
    std::uniform_real_distribution<double> along(2.0, 45.0), across(0.3, 0.7);
    int ties = 0;
    for (const double radius : {0.0, host.surfaceBallRadius()}) {
        host.ballRadius = radius;
        for (int k = 0; k < 100; ++k) {
            const Vec3 from{along(rng), radius + 0.3, across(rng)};
            const Vec3 to = from + Vec3{0.0, -0.4, -3.0};
            ASSERT_TRUE(expectSameAsMarkedAndScan(*fold, from, to, "drop " + std::to_string(k)));
            IntersectionOverlay marked;
            const SegmentHit first = IntersectSegment(*fold, from, to, marked);
            int hitLeaves = 0;
            for (int i = 0; i < fold->boxTree->nodeCount(); ++i) hitLeaves += fold->boxTree->hitAt(i).load() != 0;
            // Without the winner's cell the other layer's cell wins.
            const MeshCell cell = CollisionCellAt(*fold, first.u, first.v);
            IntersectionOverlay without;
            const SegmentHit other = IntersectSegment(*fold, from, to, without, cell);
            ASSERT_TRUE(other.found);
            const bool tie = length(without.triangleHitPoint - marked.triangleHitPoint) == 0.0;
            ties += tie && hitLeaves >= 2 && std::fabs(other.u - first.u) > 0.2;
        }
    }
    EXPECT_GT(ties, 150);
}

TEST(IntersectSegmentPruningTest, TheSkippedCellAndHolesAreLeftOutAlikeAndNoMarksAreLeft)
{
    StandaloneSurfaceHost host;
    auto floor = builders::makeFlatFloor(&host);
    const Vec3 from{12.71, 0.5, 0.1}, to{12.71, 0.2, 0.1};
    IntersectionOverlay marked;
    const SegmentHit hit = IntersectSegment(*floor, from, to, marked);
    ASSERT_TRUE(hit.found);
    const MeshCell cell = CollisionCellAt(*floor, hit.u, hit.v);
    EXPECT_FALSE(expectSameAsMarkedAndScan(*floor, from, to, "in the skipped cell", cell));
    EXPECT_TRUE(expectSameAsMarkedAndScan(*floor, from, to, "beside it", MeshCell{cell.row + 1, cell.column}));
    floor->holes.push_back({"h", hit.u - 0.05, hit.u + 0.05, hit.v - 0.05, hit.v + 0.05});
    EXPECT_FALSE(expectSameAsMarkedAndScan(*floor, from, to, "in a hole"));
    EXPECT_TRUE(expectSameAsMarkedAndScan(*floor, from + Vec3{0.0, 0.0, 1.0}, to + Vec3{0.0, 0.0, 1.0}, "beside it"));

    // A search without shown marks clears those of the last marked search.
    IntersectSegment(*floor, from + Vec3{0.0, 0.0, 1.0}, to + Vec3{0.0, 0.0, 1.0}, marked);
    ASSERT_EQ(floor->boxTree->entered(floor->boxTree->root()).load(), 1);
    IntersectionOverlay pruned;
    pruned.marksShown = false;
    IntersectSegment(*floor, from, to, pruned);
    for (int i = 0; i < floor->boxTree->nodeCount(); ++i) {
        ASSERT_EQ(floor->boxTree->hitAt(i).load(), 0) << i;
    }
}

} // namespace
