#pragma once

// The sums behind the surface evaluators, shared by the single-point routines
// and the grid evaluation so that both give the same bits: the basis values of
// each direction come in ready, these combine them with the control points.
// FP, FQ > 0 fix the degrees at compile time; 0 takes p and q as given.

#include "gul/Basis.h"
#include "gul/SurfaceEval.h"

namespace gul::detail {

inline constexpr int kW = kMaxDegree + 1;
inline constexpr int kD = kMaxDerivativeOrder + 1;

// Scratch types without default initialisers: the workspaces are large and
// only the entries a call uses are written.
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

// Reads the patch through per-thread scratch rows when a row is missing or
// short (missing points read as zero, after the "Ptr:" message).
void copyPatch(const Ptr2<HPoint4f>& Pw, int i0, int p, int j0, int q, Patch& patch);

// Finds the patch rows with one bounds check per row.
template <int FP, int FQ>
inline void findPatch(const Ptr2<HPoint4f>& Pw, int i0, int p, int j0, int q, Patch& patch)
{
    if constexpr (FP > 0) p = FP;
    if constexpr (FQ > 0) q = FQ;
    bool direct = Pw.checkRange(i0, i0 + p);
    for (int k = 0; direct && k <= p; ++k) {
        const Ptr<HPoint4f>& row = Pw.data()[i0 + k];
        direct = row.checkRange(j0, j0 + q);
        if (direct) patch.rows[k] = row.data() + j0;
    }
    if (!direct) copyPatch(Pw, i0, p, j0, q, patch);
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

// The point over the spans uspan, vspan from the basis values Nu (p + 1) and
// Nv (q + 1).
template <int FP, int FQ>
inline Point3f combinePoint(const float* Nu, int uspan, int p, const float* Nv, int vspan, int q,
                            const Ptr2<HPoint4f>& Pw)
{
    if constexpr (FP > 0) p = FP;
    if constexpr (FQ > 0) q = FQ;
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
void rationalCorrection(const H4 (&A)[kD][kD], int d, V3 (&S)[kD][kD]);

// Derivatives S[k][l], k + l <= d, from the basis derivatives Nu
// ((du + 1) x (p + 1), du = min(d, p)) and Nv ((dv + 1) x (q + 1)). FD >= 0
// fixes d at compile time.
template <int FP, int FQ, int FD = -1>
inline void combineDerivatives(const float* Nu, int uspan, int p, const float* Nv, int vspan, int q,
                               const Ptr2<HPoint4f>& Pw, int d, V3 (&S)[kD][kD])
{
    if constexpr (FP > 0) p = FP;
    if constexpr (FQ > 0) q = FQ;
    if constexpr (FD >= 0) d = FD;
    const int du = d < p ? d : p;
    const int dv = d < q ? d : q;
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

} // namespace gul::detail
