#include "gul/SurfaceGrid.h"

#include "gul/BasisImpl.h"
#include "gul/Error.h"
#include "gul/SurfaceEvalImpl.h"

namespace gul {

BasisTable::BasisTable(const std::vector<float>& parameters, int n, int p, const Ptr<float>& U, int order)
    : p_(p), order_(order)
{
    if (p < 0 || p > kMaxDegree || n < p || order < 0 || order > kMaxDerivativeOrder) throw Error();
    if (!U.checkRange(0, n + p + 1)) throw Error();
    const int top = order < p ? order : p;
    stride_ = static_cast<std::size_t>((top + 1) * (p + 1));
    spans_.resize(parameters.size());
    values_.resize(parameters.size() * stride_);
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        const int span = detail::findSpan(parameters[k], n, p, U.data());
        spans_[k] = span;
        float* N = values_.data() + k * stride_;
        // The quadratic case through the same instantiation the single-point routines use.
        if (order == 0 && p == 2)
            detail::basisFuns<2>(span, parameters[k], p, U.data(), N);
        else if (order == 0)
            detail::basisFuns<0>(span, parameters[k], p, U.data(), N);
        else if (p == 2)
            detail::dersBasisFuns<2>(span, parameters[k], p, top, U.data(), N);
        else
            detail::dersBasisFuns<0>(span, parameters[k], p, top, U.data(), N);
    }
}

Point3f RationalSurfacePoint(const BasisTable& first, int i, const BasisTable& second, int j,
                             const Ptr2<HPoint4f>& Pw)
{
    if (first.order() != 0 || second.order() != 0) throw Error();
    const int p = first.degree(), q = second.degree();
    const float* Nu = first.values(i);
    const float* Nv = second.values(j);
    if (p == 2 && q == 2) return detail::combinePoint<2, 2>(Nu, first.span(i), p, Nv, second.span(j), q, Pw);
    return detail::combinePoint<0, 0>(Nu, first.span(i), p, Nv, second.span(j), q, Pw);
}

void RationalSurfaceDerivatives(const BasisTable& first, int i, const BasisTable& second, int j,
                                const Ptr2<HPoint4f>& Pw, int d, SecondOrderDerivatives& out)
{
    if (d < 0 || d > 2 || first.order() != d || second.order() != d) throw Error();
    const int p = first.degree(), q = second.degree();
    detail::V3 S[detail::kD][detail::kD];
    const float* Nu = first.values(i);
    const float* Nv = second.values(j);
    if (p == 2 && q == 2 && d == 2)
        detail::combineDerivatives<2, 2, 2>(Nu, first.span(i), p, Nv, second.span(j), q, Pw, d, S);
    else if (p == 2 && q == 2)
        detail::combineDerivatives<2, 2>(Nu, first.span(i), p, Nv, second.span(j), q, Pw, d, S);
    else
        detail::combineDerivatives<0, 0>(Nu, first.span(i), p, Nv, second.span(j), q, Pw, d, S);
    for (int k = 0; k <= d; ++k)
        for (int l = 0; l <= d - k; ++l) out.S[k][l] = {S[k][l].x, S[k][l].y, S[k][l].z};
}

} // namespace gul
