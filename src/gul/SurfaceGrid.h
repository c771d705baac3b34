#pragma once

#include "gul/SurfaceEval.h"

#include <vector>

// Evaluation of a surface on a grid of parameters. The spans and basis values
// of a direction depend only on that direction's parameter, so they are
// computed once per grid row and once per grid column instead of once per
// point; every point gets the same bits as the single-point routines give.
namespace gul {

// Spans and basis values of one direction (n + 1 control points, degree p,
// knots U) at a list of parameters. Order 0 holds the values BasisFuns gives;
// order d > 0 the values and derivatives DersBasisFuns gives up to min(d, p).
class BasisTable {
public:
    // Throws Error for an inconsistent degree or knot vector, or an order
    // outside [0, kMaxDerivativeOrder].
    BasisTable(const std::vector<float>& parameters, int n, int p, const Ptr<float>& U, int order);

    int count() const { return static_cast<int>(spans_.size()); }
    int degree() const { return p_; }
    int order() const { return order_; }
    int span(int k) const { return spans_[static_cast<std::size_t>(k)]; }
    // (min(order, p) + 1) x (p + 1) values, derivative by derivative.
    const float* values(int k) const { return values_.data() + static_cast<std::size_t>(k) * stride_; }

private:
    int p_ = 0, order_ = 0;
    std::size_t stride_ = 0;
    std::vector<int> spans_;
    std::vector<float> values_;
};

// RationalSurfacePoint at the first table's parameter i and the second's j;
// both tables of order 0.
Point3f RationalSurfacePoint(const BasisTable& first, int i, const BasisTable& second, int j,
                             const Ptr2<HPoint4f>& Pw);

// RationalSurfaceDerivatives up to order d (0..2) at the first table's
// parameter i and the second's j; both tables of order d.
void RationalSurfaceDerivatives(const BasisTable& first, int i, const BasisTable& second, int j,
                                const Ptr2<HPoint4f>& Pw, int d, SecondOrderDerivatives& out);

} // namespace gul
