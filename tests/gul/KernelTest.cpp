#include "gul/Basis.h"
#include "gul/Binomial.h"
#include "gul/Error.h"
#include "gul/SurfaceEval.h"
#include "support/WavyNet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using gul::Ptr;
using gul::Ptr2;
using builders::WavyNet;

std::vector<float> toVector(const Ptr<float>& p)
{
    std::vector<float> v;
    for (int i = 0; i < p.nElems(); ++i) v.push_back(p[i]);
    return v;
}

TEST(KnotVectorTest, ClampedUniformKnots)
{
    EXPECT_EQ(toVector(gul::UniformKnots(4, 2)), (std::vector<float>{0, 0, 0, 1.0f / 3, 2 * (1.0f / 3), 1, 1, 1}));
    EXPECT_EQ(toVector(gul::UniformKnots(5, 2)), (std::vector<float>{0, 0, 0, 0.25f, 0.5f, 0.75f, 1, 1, 1}));
    // Three points: no interior knot.
    EXPECT_EQ(toVector(gul::UniformKnots(2, 2)), (std::vector<float>{0, 0, 0, 1, 1, 1}));
}

TEST(FindSpanTest, SpansOfAClampedVectorWithParametersOutsideItClampedInsteadOfLooping)
{
    const Ptr<float> U = gul::UniformKnots(4, 2); // 0 0 0 1/3 2/3 1 1 1
    // u = 1 falls in the last span n; u outside [0, 1] and NaN are clamped.
    const std::pair<float, int> spans[] = {{0.0f, 2},  {0.2f, 2},  {1.0f / 3, 3}, {0.5f, 3},          {0.9f, 4},
                                           {1.0f, 4}, {-0.5f, 2}, {1.5f, 4},     {std::nanf(""), 2}};
    for (auto [u, span] : spans) EXPECT_EQ(gul::FindSpan(u, 4, 2, U), span) << u;
    EXPECT_THROW(gul::FindSpan(0.5f, 4, 2, Ptr<float>(3)), gul::Error);
}

TEST(BasisTest, QuadraticBasisValuesMatchHandComputedOnes)
{
    const Ptr<float> U = gul::UniformKnots(4, 2);
    // At u = 1/6 (first span, knots 0 0 0 1/3): N = ((1 - 3u)^2, ..., (3u)^2 / 2).
    const float u = 1.0f / 6;
    // Middle of the middle span: the uniform quadratic (1/8, 3/4, 1/8).
    const Ptr<float> N = gul::BasisFuns(2, u, 2, U), M = gul::BasisFuns(3, 0.5f, 2, U);
    const float n[] = {0.25f, 0.625f, 0.125f}, m[] = {0.125f, 0.75f, 0.125f};
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(N[j], n[j], 1e-6) << j;
        EXPECT_NEAR(M[j], m[j], 1e-6) << j;
    }
}

TEST(BasisTest, DerivativesMatchHandValuesAndFiniteDifferences)
{
    const Ptr<float> U = gul::UniformKnots(4, 2);
    const Ptr2<float> d = gul::DersBasisFuns(3, 0.5f, 2, 2, U);
    // Uniform quadratic, knot spacing h = 1/3: first derivatives (-1/(2h), 0, 1/(2h)),
    // second derivatives (1/h^2, -2/h^2, 1/h^2).
    EXPECT_NEAR(d[0][1], 0.75f, 1e-6);
    const float first[] = {-1.5f, 0.0f, 1.5f}, second[] = {9.0f, -18.0f, 9.0f};
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(d[1][j], first[j], 1e-5) << j;
        EXPECT_NEAR(d[2][j], second[j], 1e-4) << j;
    }

    // A cubic on a non-uniform vector against central differences of BasisFuns.
    Ptr<float> V(8);
    const float knots[8] = {0, 0, 0, 0, 0.3f, 1, 1, 1};
    for (int k = 0; k < 8; ++k) V[k] = knots[k];
    const float u = 0.6f, h = 1e-3f;
    const int span = gul::FindSpan(u, 3, 3, V);
    const Ptr2<float> dc = gul::DersBasisFuns(span, u, 3, 1, V);
    const Ptr<float> plus = gul::BasisFuns(span, u + h, 3, V), minus = gul::BasisFuns(span, u - h, 3, V);
    for (int j = 0; j <= 3; ++j) EXPECT_NEAR(dc[1][j], (plus[j] - minus[j]) / (2 * h), 2e-2) << j;

    // Linear: the values sum to one and derivatives above the degree are zero.
    const Ptr2<float> linear = gul::DersBasisFuns(2, 0.6f, 1, 2, gul::UniformKnots(3, 1));
    EXPECT_EQ(linear[2][0], 0.0f);
    EXPECT_EQ(linear[2][1], 0.0f);
    EXPECT_NEAR(linear[0][0] + linear[0][1], 1.0f, 1e-6);
}

TEST(BinomialTest, PascalTriangle)
{
    const std::tuple<int, int, float> rows[] = {{0, 0, 1.0f},  {4, 2, 6.0f}, {10, 3, 120.0f},
                                                 {30, 15, 155117520.0f}, {3, 4, 0.0f}, {-1, 0, 0.0f}};
    for (auto [n, k, value] : rows) EXPECT_EQ(gul::Binomial(n, k), value) << n << " " << k;
}

// Plain (non-rational) tensor-product derivative of order (k, l) of the net, from the basis derivatives.
gul::Point3f plain(const WavyNet& net, float u, float v, int k, int l)
{
    const int us = gul::FindSpan(u, net.n, net.p, net.U), vs = gul::FindSpan(v, net.m, net.q, net.V);
    const Ptr2<float> Nu = gul::DersBasisFuns(us, u, net.p, 2, net.U), Nv = gul::DersBasisFuns(vs, v, net.q, 2, net.V);
    gul::Point3f s;
    for (int a = 0; a <= net.p; ++a)
        for (int b = 0; b <= net.q; ++b) {
            const gul::HPoint4f& P = net.Pw[us - net.p + a][vs - net.q + b];
            const float c = Nu[k][a] * Nv[l][b];
            s.x += c * P.x;
            s.y += c * P.y;
            s.z += c * P.z;
        }
    return s;
}
void expectPointNear(const gul::Point3f& a, const gul::Point3f& b, float tol)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

TEST(SurfaceEvalTest, RationalDerivativesEqualPlainOnesForUnitWeightsAndCornersInterpolate)
{
    const WavyNet net(4, 2, 5, 2, false);
    for (float u : {0.0f, 0.3f, 0.77f, 1.0f})
        for (float v : {0.0f, 0.45f, 1.0f}) {
            const Ptr2<gul::Point3f> S = net.derivatives(u, v);
            for (int k = 0; k <= 2; ++k)
                for (int l = 0; l <= 2 - k; ++l) expectPointNear(S[k][l], plain(net, u, v, k, l), 1e-3f);
            const gul::Point3f point = net.point(u, v);
            expectPointNear(point, S[0][0], 1e-5f);
            if ((u == 0.0f || u == 1.0f) && (v == 0.0f || v == 1.0f)) {
                const gul::HPoint4f& corner = net.Pw[u == 0.0f ? 0 : net.n][v == 0.0f ? 0 : net.m];
                expectPointNear(point, {corner.x, corner.y, corner.z}, 1e-6f);
            }
        }
}

TEST(SurfaceEvalTest, RationalDerivativesMatchFiniteDifferencesWithAWeight)
{
    const WavyNet net(4, 2, 5, 2, true);
    const float u = 0.4f, v = 0.5f, h = 2e-3f;
    const Ptr2<gul::Point3f> S = net.derivatives(u, v);
    const gul::Point3f pu = net.point(u + h, v), mu = net.point(u - h, v), pv = net.point(u, v + h),
                       mv = net.point(u, v - h);
    expectPointNear(S[1][0], {(pu.x - mu.x) / (2 * h), (pu.y - mu.y) / (2 * h), (pu.z - mu.z) / (2 * h)}, 2e-2f);
    expectPointNear(S[0][1], {(pv.x - mv.x) / (2 * h), (pv.y - mv.y) / (2 * h), (pv.z - mv.z) / (2 * h)}, 2e-2f);
    const gul::Point3f c = net.point(u, v);
    EXPECT_NEAR(S[2][0].y, (pu.y - 2 * c.y + mu.y) / (h * h), 0.5f);
}

TEST(SurfaceEvalTest, DerivativesAboveTheDegreeAreZero)
{
    // Degree 1 in u, over heights that are not linear in u.
    const WavyNet net(3, 1, 3, 2, false);
    expectPointNear(net.derivatives(0.3f, 0.6f)[2][0], {0.0f, 0.0f, 0.0f}, 0.0f);
}

TEST(SurfaceEvalTest, InconsistentArgumentsRaiseTheKernelError)
{
    const WavyNet net(4, 2, 5, 2, false);
    EXPECT_THROW(gul::RationalSurfacePoint(0.5f, 0.5f, net.n, 5, net.U, net.m, net.q, net.V, net.Pw), gul::Error);
    EXPECT_THROW(gul::RationalSurfacePoint(0.5f, 0.5f, net.n + 2, net.p, net.U, net.m, net.q, net.V, net.Pw),
                 gul::Error);
    try {
        throw gul::AllocError();
    } catch (const gul::Error& e) {
        EXPECT_STREQ(e.message(), "Alloc error\n");
    }
    EXPECT_STREQ(gul::Error().message(), "General error\n");
}

} // namespace
