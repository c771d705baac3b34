#include "gul/Basis.h"

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

void BasisFuns(int i, float u, int p, const float* U, float* N)
{
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

Ptr<float> BasisFuns(int i, float u, int p, const Ptr<float>& U)
{
    if (p < 0 || p > kMaxDegree || i < p || !U.checkRange(i - p, i + p)) throw Error();
    Ptr<float> N(p + 1);
    BasisFuns(i, u, p, U.data(), N.data());
    return N;
}

void DersBasisFuns(int i, float u, int p, int nd, const float* U, float* ders)
{
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
