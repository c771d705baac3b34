#include "gul/Basis.h"

#include "gul/BasisImpl.h"
#include "gul/Error.h"

namespace gul {

int FindSpan(float u, int n, int p, const float* U) { return detail::findSpan(u, n, p, U); }

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
