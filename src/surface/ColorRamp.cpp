#include "surface/ColorRamp.h"

#include "surface/SurfaceSection.h"

#include <cmath>

namespace {

// Ramp position with the divide-by-zero cases mapped to the start of the ramp.
double rampPosition(double numerator, double denominator)
{
    if (denominator == 0.0) return 0.0;
    const double t = numerator / denominator;
    return std::isfinite(t) ? t : 0.0;
}

} // namespace

Vec3 RampColor(double t)
{
    const Vec3 cyan{0, 1, 1}, green{0, 1, 0}, yellow{1, 1, 0}, red{1, 0, 0};
    const double s = 1.0 - t;
    return (s * s * s) * cyan + (3.0 * t * s * s) * green + (3.0 * t * t * s) * yellow + (t * t * t) * red;
}

Vec3 HeightColor(double y, double heightMin, double heightRange)
{
    return RampColor(rampPosition(y - heightMin, heightRange));
}

Vec3 AngleColor(const Vec3& unitNormal) { return RampColor(TangentAngle(unitNormal) / kPi); }

Vec3 CurvatureColor(double K, double curvatureScale)
{
    return RampColor(rampPosition(std::fabs(K), curvatureScale));
}
