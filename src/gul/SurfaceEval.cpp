#include "gul/SurfaceEval.h"

#include "gul/BasisImpl.h"
#include "gul/Binomial.h"
#include "gul/Error.h"

namespace gul {
namespace {

constexpr int kW = kMaxDegree + 1;
constexpr int kD = kMaxDerivativeOrder + 1;

// Scratch types without default initialisers: the workspaces below are large
// and only the entries a call uses are written.
struct H4 {
    float x, y, z, w;
};
struct V3 {
    float x, y, z;
};

// The (p + 1) x (q + 1) control points that support one knot span pair, as
// one pointer per row.
struct Patch {
    const HPoint4f* rows[kW];
    bool unitWeights; // every weight is exactly 1: the surface is polynomial here
};

void checkArguments(int n, int p, const Ptr<float>& U, int m, int q, const Ptr<float>& V)
{
    if (p < 0 || q < 0 || p > kMaxDegree || q > kMaxDegree || n < p || m < q) throw Error();
    if (!U.checkRange(0, n + p + 1) || !V.checkRange(0, m + q + 1)) throw Error();
}

// Finds the patch rows with one bounds check per row. When a check fails the
// patch is copied element by element through the checked accessor (missing
// points read as zero) into per-thread scratch rows.
template <int FP, int FQ>
void findPatch(const Ptr2<HPoint4f>& Pw, int i0, int p, int j0, int q, Patch& patch)
{
    if constexpr (FP > 0) p = FP;
    if constexpr (FQ > 0) q = FQ;
    bool direct = Pw.checkRange(i0, i0 + p);
    for (int k = 0; direct && k <= p; ++k) {
        const Ptr<HPoint4f>& row = Pw.data()[i0 + k];
        direct = row.checkRange(j0, j0 + q);
        if (direct) patch.rows[k] = row.data() + j0;
    }
    if (!direct) {
        static thread_local HPoint4f scratch[kW][kW];
        for (int k = 0; k <= p; ++k) {
            const Ptr<HPoint4f>& row = Pw[i0 + k];
            for (int l = 0; l <= q; ++l) scratch[k][l] = row[j0 + l];
            patch.rows[k] = scratch[k];
        }
    }
    bool unit = true;
    for (int k = 0; k <= p; ++k)
        for (int l = 0; l <= q; ++l) unit = unit && patch.rows[k][l].w == 1.0f;
    patch.unitWeights = unit;
}

inline void addScaled(H4& acc, float s, const HPoint4f& a)
{
    acc.x += s * a.x;
    acc.y += s * a.y;
    acc.z += s * a.z;
    acc.w += s * a.w;
}

inline void addScaled(H4& acc, float s, const H4& a)
{
    acc.x += s * a.x;
    acc.y += s * a.y;
    acc.z += s * a.z;
    acc.w += s * a.w;
}

// FP, FQ > 0 fix the degrees at compile time; 0 takes p and q as given.
template <int FP, int FQ>
Point3f surfacePoint(float u, float v, int n, int p, const float* U, int m, int q, const float* V,
                     const Ptr2<HPoint4f>& Pw)
{
    if constexpr (FP > 0) p = FP;
    if constexpr (FQ > 0) q = FQ;
    const int uspan = FindSpan(u, n, p, U);
    const int vspan = FindSpan(v, m, q, V);
    float Nu[kW], Nv[kW];
    detail::basisFuns<FP>(uspan, u, p, U, Nu);
    detail::basisFuns<FQ>(vspan, v, q, V, Nv);

    Patch patch;
    findPatch<FP, FQ>(Pw, uspan - p, p, vspan - q, q, patch);

    H4 Sw = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int l = 0; l <= q; ++l) {
        H4 temp = {0.0f, 0.0f, 0.0f, 0.0f};
        for (int k = 0; k <= p; ++k) addScaled(temp, Nu[k], patch.rows[k][l]);
        addScaled(Sw, Nv[l], temp);
    }
    // With unit weights the point is the plain B-spline sum (the weight sum is 1).
    if (patch.unitWeights) return {Sw.x, Sw.y, Sw.z};
    return {Sw.x / Sw.w, Sw.y / Sw.w, Sw.z / Sw.w};
}

// Quotient-rule correction of the homogeneous derivatives A into the
// derivatives S of the rational surface.
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

template <int FP, int FQ>
void surfaceDerivatives(float u, float v, int n, int p, const float* U, int m, int q, const float* V,
                        const Ptr2<HPoint4f>& Pw, int d, V3 (&S)[kD][kD])
{
    if constexpr (FP > 0) p = FP;
    if constexpr (FQ > 0) q = FQ;
    const int du = d < p ? d : p;
    const int dv = d < q ? d : q;
    const int uspan = FindSpan(u, n, p, U);
    const int vspan = FindSpan(v, m, q, V);
    float Nu[kW * kW], Nv[kW * kW];
    detail::dersBasisFuns<FP>(uspan, u, p, du, U, Nu);
    detail::dersBasisFuns<FQ>(vspan, v, q, dv, V, Nv);

    Patch patch;
    findPatch<FP, FQ>(Pw, uspan - p, p, vspan - q, q, patch);

    // Derivatives of the homogeneous surface: A[k][l] (x, y, z in x, y, z; weight in w).
    H4 A[kD][kD];
    for (int k = 0; k <= d; ++k)
        for (int l = 0; l <= d - k; ++l) A[k][l] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int k = 0; k <= du; ++k) {
        H4 temp[kW];
        for (int s = 0; s <= q; ++s) {
            temp[s] = {0.0f, 0.0f, 0.0f, 0.0f};
            for (int r = 0; r <= p; ++r) addScaled(temp[s], Nu[k * (p + 1) + r], patch.rows[r][s]);
        }
        const int dd = (d - k) < dv ? (d - k) : dv;
        for (int l = 0; l <= dd; ++l)
            for (int s = 0; s <= q; ++s) addScaled(A[k][l], Nv[l * (q + 1) + s], temp[s]);
    }

    if (patch.unitWeights) {
        // Weight 1 everywhere: the weight's derivatives vanish and the
        // homogeneous derivatives are the surface's own.
        for (int k = 0; k <= d; ++k)
            for (int l = 0; l <= d - k; ++l) S[k][l] = {A[k][l].x, A[k][l].y, A[k][l].z};
        return;
    }
    rationalCorrection(A, d, S);
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
    checkArguments(n, p, U, m, q, V);
    if (d < 0 || d > kMaxDerivativeOrder) throw Error();
    if (SKL.nElems() < d + 1 || SKL[0].nElems() < d + 1) SKL = makeArray2<Point3f>(d + 1, d + 1);

    V3 S[kD][kD];
    if (p == 2 && q == 2)
        surfaceDerivatives<2, 2>(u, v, n, p, U.data(), m, q, V.data(), Pw, d, S);
    else
        surfaceDerivatives<0, 0>(u, v, n, p, U.data(), m, q, V.data(), Pw, d, S);

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

} // namespace gul
