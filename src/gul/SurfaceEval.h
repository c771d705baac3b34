#pragma once

#include "gul/Ptr.h"

// Points and partial derivatives of a rational tensor-product B-spline surface
// with (n + 1) x (m + 1) homogeneous control points Pw[i][j], degree p in the
// first parameter (u, index i) and q in the second (v, index j).
namespace gul {

// Highest derivative order RationalSurfaceDerivatives computes.
inline constexpr int kMaxDerivativeOrder = 9;

// The surface point, divided by its weight. Throws Error for inconsistent
// degrees or knot vectors; a control-net row that is too short reads as zero
// points after the "Ptr:" message.
Point3f RationalSurfacePoint(float u, float v, int n, int p, const Ptr<float>& U, int m, int q,
                             const Ptr<float>& V, const Ptr2<HPoint4f>& Pw);

// SKL[k][l], 0 <= k + l <= d: the derivative d^(k+l) S / du^k dv^l; SKL[0][0]
// is the point. SKL is (re)sized to (d + 1) x (d + 1) when it is smaller;
// entries with k + l > d are left as they were.
void RationalSurfaceDerivatives(float u, float v, int n, int p, const Ptr<float>& U, int m, int q,
                                const Ptr<float>& V, const Ptr2<HPoint4f>& Pw, int d, Ptr2<Point3f>& SKL);
Ptr2<Point3f> RationalSurfaceDerivatives(float u, float v, int n, int p, const Ptr<float>& U, int m,
                                         int q, const Ptr<float>& V, const Ptr2<HPoint4f>& Pw, int d);

// Derivatives up to second order in a fixed array, for callers that need no
// more: S[k][l] as SKL above, entries with k + l > d left as they were.
struct SecondOrderDerivatives {
    Point3f S[3][3];
};

// The same values as the overloads above (the same bits), without the checked
// output array. d is 0, 1 or 2.
void RationalSurfaceDerivatives(float u, float v, int n, int p, const Ptr<float>& U, int m, int q,
                                const Ptr<float>& V, const Ptr2<HPoint4f>& Pw, int d, SecondOrderDerivatives& out);

} // namespace gul
