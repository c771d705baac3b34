#include "support/SurfaceBuilders.h"

#include "design/CircularSurface.h"
#include "support/ReadyDocuments.h"
#include "surface/SurfaceKernel.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool sameBits(const Vec3& a, const Vec3& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameBits(const SurfaceDerivatives& a, const SurfaceDerivatives& b)
{
    return sameBits(a.Su, b.Su) && sameBits(a.Sv, b.Sv) && sameBits(a.Suu, b.Suu) && sameBits(a.Suv, b.Suv) &&
           sameBits(a.Svv, b.Svv) && sameBits(a.N, b.N) && std::memcmp(&a.K, &b.K, sizeof a.K) == 0;
}

// The value a mesh keeps in single precision, rounded through memory: the
// optimiser may otherwise keep a double that is narrowed and widened again.
Vec3 asStored(const Vec3& p)
{
    volatile PackedPoint stored = PackedPoint::from(p);
    return {stored.x, stored.y, stored.z};
}

// Samples of a rows x columns grid whose points (alone or with the
// derivatives) or derivatives differ in any bit from single-point evaluation
// at the same parameters.
int gridMismatches(SurfaceSection& s, int rows, int columns)
{
    SampleParameters at;
    at.Walk(rows, columns);
    const SurfaceGridKernel grid(s, at, true);
    std::vector<Vec3> points, samplePoints;
    std::vector<SurfaceDerivatives> derivatives;
    int mismatches = 0;
    for (int i = 0; i < rows; ++i) {
        grid.PointRow(i, points);
        grid.SampleRow(i, samplePoints, derivatives);
        for (int j = 0; j < columns; ++j) {
            const std::size_t k = static_cast<std::size_t>(j);
            const Vec3 single = s.EvaluatePoint(at.u(j), at.v(i));
            mismatches += !sameBits(points[k], single);
            mismatches += !sameBits(samplePoints[k], single);
            mismatches += !sameBits(derivatives[k], s.EvaluateDerivatives(at.u(j), at.v(i)));
        }
    }
    return mismatches;
}

// Grid sizes whose samples fall on the knots of a 5 x 6 or 24 x 20 net (and
// at exactly 0 and 1), between them, and the mesh sizes the surfaces use.
void expectGridsMatch(SurfaceSection& s)
{
    const int sizes[][2] = {{2, 2}, {7, 4}, {13, 19}, {23, 19}, {s.displayRows, s.displayColumns},
                            {s.collisionRows, s.collisionColumns}, {37, 101}};
    for (const auto& size : sizes) EXPECT_EQ(gridMismatches(s, size[0], size[1]), 0) << size[0] << " x " << size[1];
}

TEST(GridEvaluationTest, ChannelAndCircularGridsGiveTheBitsOfSinglePointEvaluation)
{
    StandaloneSurfaceHost host;
    expectGridsMatch(*builders::makeChannel(&host, 5, 2));
    expectGridsMatch(*builders::makeChannel(&host, 20, 20));
    auto turned = builders::makeChannel(&host, 7, 4);
    turned->horizontalTurn = {true, true, 1.0};
    turned->axisRotation = {true, false, 0.6};
    turned->Regenerate(false);
    expectGridsMatch(*turned);

    // Rational circular nets.
    builders::NewDocument doc;
    for (SurfaceSection* ring : {design::CreateCircularSurface(doc, "full", design::kFullCircle, 9, 4, 1.0, 4.0),
                                 design::CreateCircularSurface(doc, "third", design::kThird, 5, 3, 0.0, 2.5)}) {
        ASSERT_NE(ring, nullptr);
        expectGridsMatch(*ring);
    }
}

TEST(GridEvaluationTest, RebuiltMeshesHoldSinglePointEvaluations)
{
    StandaloneSurfaceHost host;
    auto s = builders::makeChannel(&host, 6, 3);
    s->verticalTurn = {true, true, 0.8};
    s->Regenerate(false);
    int mismatches = 0;
    for (int i = 0; i < s->displayRows; ++i)
        for (int j = 0; j < s->displayColumns; ++j) {
            const DisplaySample d = s->displaySample(i, j);
            const SurfaceDerivatives e = s->EvaluateDerivatives(d.u, d.v);
            mismatches += !sameBits(d.point, asStored(s->EvaluatePoint(d.u, d.v)));
            mismatches += !sameBits(d.N, asStored(e.N));
            mismatches += !sameBits(Vec3{d.K, 0.0, 0.0}, asStored({e.K, 0.0, 0.0}));
        }
    for (int i = 0; i < s->collisionRows; ++i)
        for (int j = 0; j < s->collisionColumns; ++j) {
            const CollisionSample c = s->collisionSample(i, j);
            mismatches += !sameBits(c.point, s->EvaluatePoint(c.u, c.v));
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(GridEvaluationTest, SurfaceWithoutANetGivesZeroRows)
{
    SurfaceSection s;
    SampleParameters at;
    at.Walk(3, 4);
    const SurfaceGridKernel grid(s, at, true);
    std::vector<Vec3> points, samplePoints;
    std::vector<SurfaceDerivatives> derivatives;
    grid.PointRow(1, points);
    grid.SampleRow(1, samplePoints, derivatives);
    ASSERT_TRUE(points.size() == 4 && samplePoints.size() == 4 && derivatives.size() == 4);
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_TRUE(sameBits(points[k], Vec3{}) && sameBits(samplePoints[k], Vec3{}) &&
                    sameBits(derivatives[k], SurfaceDerivatives()));
}

} // namespace
