#include "surface/SurfaceSection.h"

#include "gul/SurfaceEval.h"

#include <algorithm>
#include <cmath>

namespace {

Lock& kernelLockOf(SurfaceHost* host)
{
    static Lock orphanLock;
    return host ? host->kernelLock() : orphanLock;
}

Vec3 widen(const gul::Point3f& p) { return {p.x, p.y, p.z}; }

} // namespace

// The net's rows are the cross sections (v) and its columns the section points
// (u), so the kernel's first parameter is v and its second u.
// A surface without a net evaluates to zero rather than into the kernel.
Vec3 SurfaceSection::EvaluatePoint(double u, double v)
{
    LockGuard guard(kernelLockOf(document));
    if (!hasNet()) return {};
    const gul::Point3f p = gul::RationalSurfacePoint(static_cast<float>(v), static_cast<float>(u), sectionCount - 1,
                                                     degreeV, knotsV, pointsPerSection - 1, degreeU, knotsU,
                                                     controlNet);
    return widen(p);
}

void SurfaceSection::EvaluateDerivatives(double u, double v, SurfaceDerivatives& out)
{
    {
        LockGuard guard(kernelLockOf(document));
        const float fu = static_cast<float>(u), fv = static_cast<float>(v);
        const int n = sectionCount - 1, m = pointsPerSection - 1;
        gul::Ptr2<gul::Point3f>& S = derivativeWorkspace;
        if (!hasNet()) {
            out = SurfaceDerivatives();
            return;
        }
        if (degreeU > 1 && degreeV > 1) {
            gul::RationalSurfaceDerivatives(fv, fu, n, degreeV, knotsV, m, degreeU, knotsU, controlNet, 2, S);
            out.Su = widen(S[0][1]);
            out.Sv = widen(S[1][0]);
            out.Suu = widen(S[0][2]);
            out.Svv = widen(S[2][0]);
            out.Suv = widen(S[1][1]);
        } else {
            gul::RationalSurfaceDerivatives(fv, fu, n, degreeV, knotsV, m, degreeU, knotsU, controlNet, 1, S);
            out.Su = widen(S[0][1]);
            out.Sv = widen(S[1][0]);
            out.Suu = out.Suv = out.Svv = Vec3{};
        }
    }
    const Vec3 W = cross(out.Su, out.Sv);
    out.N = W;
    if (length(W) != 0.0) normalize(out.N);
    if (reverseNormal) out.N = -out.N;
    out.K = 0.0;
    if (degreeU >= 2 && degreeV >= 2) {
        const double L = dot(W, out.Suu), M = dot(W, out.Suv), Nn = dot(W, out.Svv);
        const double den = dot(W, W) * dot(W, W);
        out.K = den == 0.0 ? 0.0 : (L * Nn - M * M) / den;
    }
}

SurfaceDerivatives SurfaceSection::EvaluateDerivatives(double u, double v)
{
    SurfaceDerivatives d;
    EvaluateDerivatives(u, v, d);
    return d;
}

double TangentAngle(const Vec3& N)
{
    if (N == Vec3{0.0, 1.0, 0.0}) return 0.0;
    if (N == Vec3{0.0, -1.0, 0.0}) return kPi;
    // Clamped: a unit normal may exceed 1 in y by a rounding error.
    return std::acos(std::clamp(dot(N, Vec3{0.0, 1.0, 0.0}), -1.0, 1.0));
}
