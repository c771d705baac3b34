#include "geometry/Plane.h"

Plane PlaneFromPoints(const Vec3& P0, const Vec3& P1, const Vec3& P2)
{
    Plane p;
    p.normal = normalized(cross(normalized(P2 - P0), normalized(P2 - P1)));
    p.d = -dot(P0, p.normal);
    return p;
}

std::optional<Vec3> RayPlane(const Plane& plane, const Vec3& origin, const Vec3& direction)
{
    const double denom = dot(plane.normal, direction);
    if (denom == 0.0) return std::nullopt;
    const double t = -(dot(plane.normal, origin) + plane.d) / denom;
    return origin + t * direction;
}
