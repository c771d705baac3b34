#include "gul/Basis.h"
#include "gul/Error.h"
#include "gul/SurfaceGrid.h"
#include "support/WavyNet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

using gul::Ptr;
using gul::Ptr2;

using builders::WavyNet;

// The ends, every knot, the floats just beside each knot, span midpoints and
// random values.
std::vector<float> awkwardParameters(const Ptr<float>& knots, unsigned seed)
{
    std::vector<float> values{0.0f, 1.0f};
    for (int k = 0; k < knots.nElems(); ++k) {
        const float t = knots[k];
        values.push_back(t);
        values.push_back(std::nextafter(t, 0.0f));
        values.push_back(std::nextafter(t, 1.0f));
        if (k + 1 < knots.nElems()) values.push_back(0.5f * (t + knots[k + 1]));
    }
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> any(0.0f, 1.0f);
    for (int k = 0; k < 24; ++k) values.push_back(any(rng));
    return values;
}

bool sameBits(const gul::Point3f& a, const gul::Point3f& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every grid point and derivative has the bits of the single-point routines
// (so the tables hold the spans and basis values those routines compute).
void expectGridMatchesSinglePoints(const WavyNet& net)
{
    const std::vector<float> us = awkwardParameters(net.U, 1), vs = awkwardParameters(net.V, 2);
    const int order = net.p > 1 && net.q > 1 ? 2 : 1;
    const gul::BasisTable pu(us, net.n, net.p, net.U, 0), pv(vs, net.m, net.q, net.V, 0);
    const gul::BasisTable du(us, net.n, net.p, net.U, order), dv(vs, net.m, net.q, net.V, order);
    int mismatches = 0;
    for (int i = 0; i < pu.count(); ++i)
        for (int j = 0; j < pv.count(); ++j) {
            const float u = us[static_cast<std::size_t>(i)], v = vs[static_cast<std::size_t>(j)];
            mismatches += !sameBits(gul::RationalSurfacePoint(pu, i, pv, j, net.Pw), net.point(u, v));

            gul::SecondOrderDerivatives grid, one;
            gul::RationalSurfaceDerivatives(du, i, dv, j, net.Pw, order, grid);
            net.derivatives(u, v, order, one);
            for (int k = 0; k <= order; ++k)
                for (int l = 0; l <= order - k; ++l) mismatches += !sameBits(grid.S[k][l], one.S[k][l]);
        }
    EXPECT_EQ(mismatches, 0);
}

// Quadratic nets, and other degrees that take the general path.
TEST(SurfaceGridTest, GridEvaluationGivesTheBitsOfSinglePointEvaluation)
{
    expectGridMatchesSinglePoints(WavyNet(6, 2, 5, 2, false));
    expectGridMatchesSinglePoints(WavyNet(24, 2, 20, 2, false));
    expectGridMatchesSinglePoints(WavyNet(6, 2, 9, 2, true));
    expectGridMatchesSinglePoints(WavyNet(7, 3, 4, 1, true));
    expectGridMatchesSinglePoints(WavyNet(5, 1, 6, 2, false));
}

// The quadratic evaluators fix the order at compile time: asking for fewer
// derivatives must not change the bits of the ones computed.
TEST(SurfaceGridTest, LowerOrdersGiveTheBitsOfTheirShareOfHigherOrders)
{
    for (bool rational : {false, true}) {
        const WavyNet net(24, 2, 20, 2, rational);
        const std::vector<float> us = awkwardParameters(net.U, 4), vs = awkwardParameters(net.V, 5);
        int mismatches = 0;
        for (float u : us)
            for (float v : vs) {
                gul::SecondOrderDerivatives byOrder[3];
                for (int d = 0; d <= 2; ++d) {
                    net.derivatives(u, v, d, byOrder[d]);
                    mismatches += !sameBits(byOrder[d].S[0][0], net.point(u, v));
                }
                mismatches += !sameBits(byOrder[1].S[1][0], byOrder[2].S[1][0]);
                mismatches += !sameBits(byOrder[1].S[0][1], byOrder[2].S[0][1]);
            }
        EXPECT_EQ(mismatches, 0) << (rational ? "rational" : "polynomial");
    }
}

TEST(SurfaceGridTest, InconsistentTablesRaiseTheKernelError)
{
    const WavyNet net(6, 2, 5, 2, false);
    const std::vector<float> us{0.5f};
    EXPECT_THROW(gul::BasisTable(us, net.n, 12, net.U, 0), gul::Error);
    EXPECT_THROW(gul::BasisTable(us, net.n + 3, net.p, net.U, 0), gul::Error);
    EXPECT_THROW(gul::BasisTable(us, net.n, net.p, net.U, -1), gul::Error);
    const gul::BasisTable points(us, net.n, net.p, net.U, 0), ders(us, net.m, net.q, net.V, 2);
    gul::SecondOrderDerivatives out;
    // A table of another order than asked for.
    EXPECT_THROW(gul::RationalSurfaceDerivatives(points, 0, ders, 0, net.Pw, 2, out), gul::Error);
    EXPECT_THROW(gul::RationalSurfacePoint(points, 0, ders, 0, net.Pw), gul::Error);
}

TEST(SurfaceGridTest, ShortNetReadsMissingPointsAsZeroLikeTheSinglePointRoutine)
{
    WavyNet net(6, 2, 5, 2, false);
    net.Pw[5].reservePlace(2); // a damaged last row
    const std::vector<float> us{1.0f}, vs{1.0f};
    const gul::BasisTable pu(us, net.n, net.p, net.U, 0), pv(vs, net.m, net.q, net.V, 0);
    testing::internal::CaptureStderr();
    const gul::Point3f grid = gul::RationalSurfacePoint(pu, 0, pv, 0, net.Pw);
    const gul::Point3f single = net.point(1.0f, 1.0f);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Ptr:"), std::string::npos);
    EXPECT_TRUE(sameBits(grid, single));
}

} // namespace
