#pragma once

#include "geometry/Matrix4.h"

// Quaternion w + (x, y, z); used for the arcball and the camera orientation.
class quaternion {
public:
    double w = 1.0;
    Vec3 v;

    quaternion() = default;
    quaternion(double aw, const Vec3& av) : w(aw), v(av) {}
    quaternion(const quaternion&) = default;
    quaternion& operator=(const quaternion&) = default;
    virtual ~quaternion() = default;

    // The rotation matrix, scaled by 2 / normSquared so any non-zero length works.
    virtual Matrix4 rotationMatrix() const;

    double normSquared() const { return w * w + dot(v, v); }
    // Divides all four components by the length and returns it.
    double normalize();

protected:
    Matrix4 matrixWithScale(double s) const;
};

quaternion product(const quaternion& a, const quaternion& b);
// a := product(a, b)
void multiply(quaternion& a, const quaternion& b);

// A quaternion of length 1 built from an angle (radians) and an axis.
class unitquaternion : public quaternion {
public:
    unitquaternion() = default;
    unitquaternion(double angle, const Vec3& axis);
    explicit unitquaternion(const quaternion& q);

    // The rotation matrix for a unit quaternion (s = 2, no division by the norm).
    Matrix4 rotationMatrix() const override;
};
