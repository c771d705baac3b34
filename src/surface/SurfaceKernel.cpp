#include "surface/SurfaceKernel.h"

#include <cmath>

namespace {

Vec3 widen(const gul::Point3f& p) { return {p.x, p.y, p.z}; }

std::vector<float> narrowed(int count, auto parameterAt)
{
    std::vector<float> values(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) values[static_cast<std::size_t>(k)] = static_cast<float>(parameterAt(k));
    return values;
}

// The kernel's S[k][l] is d^(k+l)/dv^k du^l: its first direction is v.
void storePartials(const gul::SecondOrderDerivatives& S, int order, SurfaceDerivatives& out)
{
    out.Su = widen(S.S[0][1]);
    out.Sv = widen(S.S[1][0]);
    if (order == 2) {
        out.Suu = widen(S.S[0][2]);
        out.Svv = widen(S.S[2][0]);
        out.Suv = widen(S.S[1][1]);
    } else {
        out.Suu = out.Suv = out.Svv = Vec3{};
    }
}

} // namespace

Lock& KernelLockOf(SurfaceHost* host)
{
    static Lock orphanLock;
    return host ? host->kernelLock() : orphanLock;
}

Vec3 KernelPoint(const SurfaceSection& s, double u, double v)
{
    LockGuard guard(KernelLockOf(s.document));
    if (!s.hasNet()) return {};
    return widen(gul::RationalSurfacePoint(static_cast<float>(v), static_cast<float>(u), s.sectionCount - 1,
                                           s.degreeV, s.knotsV, s.pointsPerSection - 1, s.degreeU, s.knotsU,
                                           s.controlNet));
}

bool KernelPartials(const SurfaceSection& s, double u, double v, int order, SurfaceDerivatives& out)
{
    gul::SecondOrderDerivatives S;
    {
        LockGuard guard(KernelLockOf(s.document));
        if (!s.hasNet()) return false;
        gul::RationalSurfaceDerivatives(static_cast<float>(v), static_cast<float>(u), s.sectionCount - 1, s.degreeV,
                                        s.knotsV, s.pointsPerSection - 1, s.degreeU, s.knotsU, s.controlNet, order,
                                        S);
    }
    storePartials(S, order, out);
    return true;
}

int EvaluationOrder(const SurfaceSection& s) { return s.degreeU > 1 && s.degreeV > 1 ? 2 : 1; }

void CompleteFrame(const SurfaceSection& s, SurfaceDerivatives& d)
{
    const Vec3 W = cross(d.Su, d.Sv);
    // |W|^2 and |W| once, for the normal and the curvature alike.
    const double WW = dot(W, W);
    const double len = std::sqrt(WW);
    d.N = len > 0.0 ? W / len : W;
    if (s.reverseNormal) d.N = -d.N;
    d.K = 0.0;
    if (s.degreeU >= 2 && s.degreeV >= 2) {
        const double L = dot(W, d.Suu), M = dot(W, d.Suv), Nn = dot(W, d.Svv);
        const double den = WW * WW;
        d.K = den == 0.0 ? 0.0 : (L * Nn - M * M) / den;
    }
}

SurfaceGridKernel::SurfaceGridKernel(const SurfaceSection& s, const SampleParameters& at, bool withDerivatives)
    : SurfaceGridKernel(s, narrowed(at.columns(), [&](int j) { return at.u(j); }),
                        narrowed(at.rows(), [&](int i) { return at.v(i); }), withDerivatives)
{
}

SurfaceGridKernel::SurfaceGridKernel(const SurfaceSection& s, const std::vector<double>& columnsU,
                                     const std::vector<double>& rowsV, bool withDerivatives)
    : SurfaceGridKernel(s, narrowed(static_cast<int>(columnsU.size()), [&](int j) { return columnsU[j]; }),
                        narrowed(static_cast<int>(rowsV.size()), [&](int i) { return rowsV[i]; }), withDerivatives)
{
}

SurfaceGridKernel::SurfaceGridKernel(const SurfaceSection& s, const std::vector<float>& u, const std::vector<float>& v,
                                     bool withDerivatives)
    : surface_(s), rows_(static_cast<int>(v.size())), columns_(static_cast<int>(u.size())), order_(EvaluationOrder(s))
{
    LockGuard guard(KernelLockOf(s.document));
    if (!s.hasNet()) return;
    const int n = s.sectionCount - 1, m = s.pointsPerSection - 1;
    pointRows_.emplace(v, n, s.degreeV, s.knotsV, 0);
    pointColumns_.emplace(u, m, s.degreeU, s.knotsU, 0);
    if (!withDerivatives) return;
    derivativeRows_.emplace(v, n, s.degreeV, s.knotsV, order_);
    derivativeColumns_.emplace(u, m, s.degreeU, s.knotsU, order_);
}

void SurfaceGridKernel::PointRow(int i, std::vector<Vec3>& out) const
{
    out.assign(static_cast<std::size_t>(columns_), Vec3{});
    if (!pointRows_) return;
    LockGuard guard(KernelLockOf(surface_.document));
    for (int j = 0; j < columns_; ++j)
        out[static_cast<std::size_t>(j)] =
            widen(gul::RationalSurfacePoint(*pointRows_, i, *pointColumns_, j, surface_.controlNet));
}

// The derivative of order (0, 0) is the point, with the same sums and the
// same division by the weight as the point alone.
void SurfaceGridKernel::SampleRow(int i, std::vector<Vec3>& points, std::vector<SurfaceDerivatives>& out) const
{
    points.assign(static_cast<std::size_t>(columns_), Vec3{});
    out.assign(static_cast<std::size_t>(columns_), SurfaceDerivatives());
    if (!derivativeRows_) return;
    {
        LockGuard guard(KernelLockOf(surface_.document));
        gul::SecondOrderDerivatives S;
        for (int j = 0; j < columns_; ++j) {
            gul::RationalSurfaceDerivatives(*derivativeRows_, i, *derivativeColumns_, j, surface_.controlNet, order_,
                                            S);
            points[static_cast<std::size_t>(j)] = widen(S.S[0][0]);
            storePartials(S, order_, out[static_cast<std::size_t>(j)]);
        }
    }
    for (SurfaceDerivatives& d : out) CompleteFrame(surface_, d);
}
