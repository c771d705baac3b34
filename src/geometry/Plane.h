#pragma once

#include "geometry/Vec3.h"

#include <optional>

// Plane of points X with dot(normal, X) + d = 0.
struct Plane {
    Vec3 normal;
    double d = 0.0;
};

// Unit normal unit(unit(P2 - P0) x unit(P2 - P1)) and offset -(P0 . N).
Plane PlaneFromPoints(const Vec3& P0, const Vec3& P1, const Vec3& P2);

// Intersection of the line origin + t·direction with the plane, or none when
// the direction is parallel to the plane.
std::optional<Vec3> RayPlane(const Plane& plane, const Vec3& origin, const Vec3& direction);
