#include "gul/SurfaceEval.h"

#include "gul/BasisImpl.h"
#include "gul/Binomial.h"
#include "gul/Error.h"
#include "gul/SurfaceEvalImpl.h"

namespace gul {

namespace detail {

void copyPatch(const Ptr2<HPoint4f>& Pw, int i0, int p, int j0, int q, Patch& patch)
{
    static thread_local HPoint4f scratch[kW][kW];
    for (int k = 0; k <= p; ++k) {
        const Ptr<HPoint4f>& row = Pw[i0 + k];
        for (int l = 0; l <= q; ++l) scratch[k][l] = row[j0 + l];
        patch.rows[k] = scratch[k];
    }
}

void rationalCorrection(const H4 (&A)[kD][kD], int d, V3 (&S)[kD][kD])
{
    const float w00 = A[0][0].w;
    for (int k = 0; k <= d; ++k) {
        for (int l = 0; l <= d - k; ++l) {
            float x = A[k][l].x, y = A[k][l].y, z = A[k][l].z;
            for (int j = 1; j <= l; ++j) {
                const float c = Binomial(l, j) * A[0][j].w;
                x -= c * S[k][l - j].x;
                y -= c * S[k][l - j].y;
                z -= c * S[k][l - j].z;
            }
            for (int i = 1; i <= k; ++i) {
                const float ci = Binomial(k, i);
                float c = ci * A[i][0].w;
                x -= c * S[k - i][l].x;
                y -= c * S[k - i][l].y;
                z -= c * S[k - i][l].z;
                float sx = 0.0f, sy = 0.0f, sz = 0.0f;
                for (int j = 1; j <= l; ++j) {
                    c = Binomial(l, j) * A[i][j].w;
                    sx += c * S[k - i][l - j].x;
                    sy += c * S[k - i][l - j].y;
                    sz += c * S[k - i][l - j].z;
                }
                x -= ci * sx;
                y -= ci * sy;
                z -= ci * sz;
            }
            S[k][l] = {x / w00, y / w00, z / w00};
        }
    }
}

} // namespace detail

namespace {

using detail::kD;
using detail::kW;
using detail::V3;

void checkArguments(int n, int p, const Ptr<float>& U, int m, int q, const Ptr<float>& V)
{
    if (p < 0 || q < 0 || p > kMaxDegree || q > kMaxDegree || n < p || m < q) throw Error();
    if (!U.checkRange(0, n + p + 1) || !V.checkRange(0, m + q + 1)) throw Error();
}

template <int FP, int FQ>
Point3f surfacePoint(float u, float v, int n, int p, const float* U, int m, int q, const float* V,
                     const Ptr2<HPoint4f>& Pw)
{
    if constexpr (FP > 0) p = FP;
    if constexpr (FQ > 0) q = FQ;
    const int uspan = detail::findSpan(u, n, p, U);
    const int vspan = detail::findSpan(v, m, q, V);
    float Nu[kW], Nv[kW];
    detail::basisFuns<FP>(uspan, u, p, U, Nu);
    detail::basisFuns<FQ>(vspan, v, q, V, Nv);
    return detail::combinePoint<FP, FQ>(Nu, uspan, p, Nv, vspan, q, Pw);
}

// FD >= 0 fixes d at compile time (FP and FQ must then be fixed too).
template <int FP, int FQ, int FD = -1>
void surfaceDerivatives(float u, float v, int n, int p, const float* U, int m, int q, const float* V,
                        const Ptr2<HPoint4f>& Pw, int d, V3 (&S)[kD][kD])
{
    if constexpr (FP > 0) p = FP;
    if constexpr (FQ > 0) q = FQ;
    if constexpr (FD >= 0) d = FD;
    const int du = d < p ? d : p;
    const int dv = d < q ? d : q;
    const int uspan = detail::findSpan(u, n, p, U);
    const int vspan = detail::findSpan(v, m, q, V);
    float Nu[kW * kW], Nv[kW * kW];
    constexpr int FU = FD >= 0 ? (FD < FP ? FD : FP) : -1;
    constexpr int FV = FD >= 0 ? (FD < FQ ? FD : FQ) : -1;
    detail::dersBasisFuns<FP, FU>(uspan, u, p, du, U, Nu);
    detail::dersBasisFuns<FQ, FV>(vspan, v, q, dv, V, Nv);
    detail::combineDerivatives<FP, FQ, FD>(Nu, uspan, p, Nv, vspan, q, Pw, d, S);
}

void derivativesInto(float u, float v, int n, int p, const Ptr<float>& U, int m, int q, const Ptr<float>& V,
                     const Ptr2<HPoint4f>& Pw, int d, V3 (&S)[kD][kD])
{
    checkArguments(n, p, U, m, q, V);
    if (d < 0 || d > kMaxDerivativeOrder) throw Error();
    if (p == 2 && q == 2 && d == 2)
        surfaceDerivatives<2, 2, 2>(u, v, n, p, U.data(), m, q, V.data(), Pw, d, S);
    else if (p == 2 && q == 2 && d == 1)
        surfaceDerivatives<2, 2, 1>(u, v, n, p, U.data(), m, q, V.data(), Pw, d, S);
    else if (p == 2 && q == 2)
        surfaceDerivatives<2, 2>(u, v, n, p, U.data(), m, q, V.data(), Pw, d, S);
    else
        surfaceDerivatives<0, 0>(u, v, n, p, U.data(), m, q, V.data(), Pw, d, S);
}

} // namespace

Point3f RationalSurfacePoint(float u, float v, int n, int p, const Ptr<float>& U, int m, int q,
                             const Ptr<float>& V, const Ptr2<HPoint4f>& Pw)
{
    checkArguments(n, p, U, m, q, V);
    if (p == 2 && q == 2) return surfacePoint<2, 2>(u, v, n, p, U.data(), m, q, V.data(), Pw);
    return surfacePoint<0, 0>(u, v, n, p, U.data(), m, q, V.data(), Pw);
}

void RationalSurfaceDerivatives(float u, float v, int n, int p, const Ptr<float>& U, int m, int q,
                                const Ptr<float>& V, const Ptr2<HPoint4f>& Pw, int d, Ptr2<Point3f>& SKL)
{
    if (d < 0 || d > kMaxDerivativeOrder) throw Error();
    V3 S[kD][kD];
    derivativesInto(u, v, n, p, U, m, q, V, Pw, d, S);
    if (SKL.nElems() < d + 1 || SKL[0].nElems() < d + 1) SKL = makeArray2<Point3f>(d + 1, d + 1);
    for (int k = 0; k <= d; ++k) {
        Ptr<Point3f>& row = SKL[k];
        if (row.checkRange(0, d - k)) {
            Point3f* out = row.data();
            for (int l = 0; l <= d - k; ++l) out[l] = {S[k][l].x, S[k][l].y, S[k][l].z};
        } else {
            for (int l = 0; l <= d - k; ++l) row[l] = {S[k][l].x, S[k][l].y, S[k][l].z};
        }
    }
}

Ptr2<Point3f> RationalSurfaceDerivatives(float u, float v, int n, int p, const Ptr<float>& U, int m,
                                         int q, const Ptr<float>& V, const Ptr2<HPoint4f>& Pw, int d)
{
    Ptr2<Point3f> SKL;
    RationalSurfaceDerivatives(u, v, n, p, U, m, q, V, Pw, d, SKL);
    return SKL;
}

void RationalSurfaceDerivatives(float u, float v, int n, int p, const Ptr<float>& U, int m, int q,
                                const Ptr<float>& V, const Ptr2<HPoint4f>& Pw, int d, SecondOrderDerivatives& out)
{
    if (d < 0 || d > 2) throw Error();
    V3 S[kD][kD];
    derivativesInto(u, v, n, p, U, m, q, V, Pw, d, S);
    for (int k = 0; k <= d; ++k)
        for (int l = 0; l <= d - k; ++l) out.S[k][l] = {S[k][l].x, S[k][l].y, S[k][l].z};
}

} // namespace gul
