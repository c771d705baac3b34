#pragma once

#include "gul/Ptr.h"

// Knot spans and B-spline basis functions (single precision).
namespace gul {

// Highest degree the kernel evaluates; the program's surfaces are quadratic.
inline constexpr int kMaxDegree = 9;

// Span index i with U[i] <= u < U[i+1] of a clamped knot vector over n + 1
// control points of degree p; u = U[n+1] falls in the last span n. Parameters
// outside [U[p], U[n+1]] (and NaN) are clamped, so the search always ends.
int FindSpan(float u, int n, int p, const float* U);
int FindSpan(float u, int n, int p, const Ptr<float>& U);

// The p + 1 non-zero basis values N[i-p..i] at u (N must hold p + 1 floats).
void BasisFuns(int i, float u, int p, const float* U, float* N);
Ptr<float> BasisFuns(int i, float u, int p, const Ptr<float>& U);

// Basis values and derivatives up to order nd: ders[k * (p + 1) + j] is the
// k-th derivative of N[i-p+j]. ders must hold (nd + 1) * (p + 1) floats.
// Derivatives of order above p are zero.
void DersBasisFuns(int i, float u, int p, int nd, const float* U, float* ders);
Ptr2<float> DersBasisFuns(int i, float u, int p, int nd, const Ptr<float>& U);

// Clamped uniform knot vector of n + p + 2 knots: p + 1 zeros, n + 1 .. n + p + 1
// ones, knot j = (j - p) / (n - p + 1) in between (computed in single precision).
Ptr<float> UniformKnots(int n, int p);

} // namespace gul
