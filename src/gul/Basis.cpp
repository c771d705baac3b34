#include "gul/Basis.h"

#include "gul/BasisImpl.h"
#include "gul/Error.h"

namespace gul {

int FindSpan(float u, int n, int p, const float* U)
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

int FindSpan(float u, int n, int p, const Ptr<float>& U)
{
    if (n < p || p < 0 || !U.checkRange(0, n + p + 1)) throw Error();
    return FindSpan(u, n, p, U.data());
}

void BasisFuns(int i, float u, int p, const float* U, float* N) { detail::basisFuns<0>(i, u, p, U, N); }

Ptr<float> BasisFuns(int i, float u, int p, const Ptr<float>& U)
{
    if (p < 0 || p > kMaxDegree || i < p || !U.checkRange(i - p, i + p)) throw Error();
    Ptr<float> N(p + 1);
    BasisFuns(i, u, p, U.data(), N.data());
    return N;
}

void DersBasisFuns(int i, float u, int p, int nd, const float* U, float* ders)
{
    detail::dersBasisFuns<0>(i, u, p, nd, U, ders);
}

Ptr2<float> DersBasisFuns(int i, float u, int p, int nd, const Ptr<float>& U)
{
    if (p < 0 || p > kMaxDegree || nd < 0 || i < p || !U.checkRange(i - p, i + p)) throw Error();
    const int w = p + 1;
    Ptr<float> flat((nd + 1) * w);
    DersBasisFuns(i, u, p, nd, U.data(), flat.data());
    Ptr2<float> ders = makeArray2<float>(nd + 1, w);
    for (int k = 0; k <= nd; ++k)
        for (int j = 0; j < w; ++j) ders[k][j] = flat[k * w + j];
    return ders;
}

Ptr<float> UniformKnots(int n, int p)
{
    if (n < 0 || p < 0) throw Error();
    Ptr<float> U(n + p + 2);
    for (int j = 0; j <= p; ++j) U[j] = 0.0f;
    for (int j = n + 1; j <= n + p + 1; ++j) U[j] = 1.0f;
    if (n > p) {
        const float step = 1.0f / static_cast<float>(n - p + 1);
        for (int j = 1; j <= n - p; ++j) U[p + j] = static_cast<float>(j) * step;
    }
    return U;
}

} // namespace gul
