#include "surface/SurfaceSection.h"

#include "surface/SurfaceKernel.h"

#include <algorithm>
#include <cmath>

Vec3 SurfaceSection::EvaluatePoint(double u, double v) { return KernelPoint(*this, u, v); }

// A surface without a net gives zero derivatives, normal and curvature.
void SurfaceSection::EvaluateDerivatives(double u, double v, SurfaceDerivatives& out)
{
    if (!KernelPartials(*this, u, v, EvaluationOrder(*this), out)) {
        out = SurfaceDerivatives();
        return;
    }
    CompleteFrame(*this, out);
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
