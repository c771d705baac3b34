#pragma once

// Basis-function recurrences shared by the public routines and the surface
// evaluators. FP > 0 fixes the degree at compile time (the loops unroll);
// FP == 0 takes the run-time degree p.

#include "gul/Basis.h"

namespace gul::detail {

// FindSpan, inline for the evaluators.
inline int findSpan(float u, int n, int p, const float* U)
{
    if (u >= U[n + 1]) return n;
    if (!(u > U[p])) {
        // u at or below the first knot (or NaN): the first non-empty span.
        int i = p;
        while (i < n && U[i + 1] <= U[p]) ++i;
        return i;
    }
    // Uniform vectors first: the span of an evenly spaced interior lies at
    // p + floor(u * (n - p + 1)) give or take one; any vector is checked.
    int guess = p + static_cast<int>(u * static_cast<float>(n - p + 1));
    guess = guess < p ? p : (guess > n ? n : guess);
    if (U[guess] <= u && u < U[guess + 1]) return guess;
    if (guess > p && U[guess - 1] <= u && u < U[guess]) return guess - 1;
    if (guess < n && U[guess + 1] <= u && u < U[guess + 2]) return guess + 1;
    if (n - p <= 32) {
        // Short vectors: the span is p plus the number of interior knots at or
        // below u. Counting without branches beats a bisection whose branches
        // the processor cannot predict.
        int count = 0;
        for (int j = p + 1; j <= n; ++j) count += U[j] <= u;
        return p + count;
    }
    int low = p, high = n + 1;
    int mid = (low + high) / 2;
    while (u < U[mid] || u >= U[mid + 1]) {
        if (U[mid] <= u)
            low = mid;
        else
            high = mid;
        mid = (low + high) / 2;
    }
    return mid;
}

template <int FP>
inline void basisFuns(int i, float u, int p, const float* U, float* N)
{
    if constexpr (FP > 0) p = FP;
    float left[kMaxDegree + 1], right[kMaxDegree + 1];
    N[0] = 1.0f;
    for (int j = 1; j <= p; ++j) {
        left[j] = u - U[i + 1 - j];
        right[j] = U[i + j] - u;
        float saved = 0.0f;
        for (int r = 0; r < j; ++r) {
            const float temp = N[r] / (right[r + 1] + left[j - r]);
            N[r] = saved + right[r + 1] * temp;
            saved = left[j - r] * temp;
        }
        N[j] = saved;
    }
}

// ders[k * (p + 1) + j]: k-th derivative of N[i-p+j], k = 0..nd. FN >= 0
// fixes nd at compile time.
template <int FP, int FN = -1>
inline void dersBasisFuns(int i, float u, int p, int nd, const float* U, float* ders)
{
    if constexpr (FP > 0) p = FP;
    if constexpr (FN >= 0) nd = FN;
    const int w = p + 1;
    float ndu[kMaxDegree + 1][kMaxDegree + 1];
    float a[2][kMaxDegree + 1];
    float left[kMaxDegree + 1], right[kMaxDegree + 1];

    ndu[0][0] = 1.0f;
    for (int j = 1; j <= p; ++j) {
        left[j] = u - U[i + 1 - j];
        right[j] = U[i + j] - u;
        float saved = 0.0f;
        for (int r = 0; r < j; ++r) {
            ndu[j][r] = right[r + 1] + left[j - r]; // lower triangle: knot differences
            const float temp = ndu[r][j - 1] / ndu[j][r];
            ndu[r][j] = saved + right[r + 1] * temp; // upper triangle: basis values
            saved = left[j - r] * temp;
        }
        ndu[j][j] = saved;
    }
    for (int j = 0; j <= p; ++j) ders[j] = ndu[j][p];
    for (int k = p + 1; k <= nd; ++k)
        for (int j = 0; j <= p; ++j) ders[k * w + j] = 0.0f;

    const int top = nd < p ? nd : p;
    for (int r = 0; r <= p; ++r) {
        int s1 = 0, s2 = 1;
        a[0][0] = 1.0f;
        for (int k = 1; k <= top; ++k) {
            float d = 0.0f;
            const int rk = r - k, pk = p - k;
            if (r >= k) {
                a[s2][0] = a[s1][0] / ndu[pk + 1][rk];
                d = a[s2][0] * ndu[rk][pk];
            }
            const int j1 = rk >= -1 ? 1 : -rk;
            const int j2 = (r - 1 <= pk) ? k - 1 : p - r;
            for (int j = j1; j <= j2; ++j) {
                a[s2][j] = (a[s1][j] - a[s1][j - 1]) / ndu[pk + 1][rk + j];
                d += a[s2][j] * ndu[rk + j][pk];
            }
            if (r <= pk) {
                a[s2][k] = -a[s1][k - 1] / ndu[pk + 1][r];
                d += a[s2][k] * ndu[r][pk];
            }
            ders[k * w + r] = d;
            const int t = s1;
            s1 = s2;
            s2 = t;
        }
    }
    int factor = p;
    for (int k = 1; k <= top; ++k) {
        for (int j = 0; j <= p; ++j) ders[k * w + j] *= static_cast<float>(factor);
        factor *= p - k;
    }
}

} // namespace gul::detail
