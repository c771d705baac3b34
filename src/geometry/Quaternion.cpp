#include "geometry/Quaternion.h"

double quaternion::normalize()
{
    const double len = std::sqrt(normSquared());
    w /= len;
    v /= len;
    return len;
}

Matrix4 quaternion::matrixWithScale(double s) const
{
    const double x = v.x, y = v.y, z = v.z;
    Matrix4 m;
    m.m[0] = 1.0 - s * (y * y + z * z);
    m.m[1] = s * (x * y - w * z);
    m.m[2] = s * (x * z + w * y);
    m.m[4] = s * (x * y + w * z);
    m.m[5] = 1.0 - s * (x * x + z * z);
    m.m[6] = s * (y * z - w * x);
    m.m[8] = s * (x * z - w * y);
    m.m[9] = s * (y * z + w * x);
    m.m[10] = 1.0 - s * (x * x + y * y);
    m.m[15] = 1.0;
    return m;
}

Matrix4 quaternion::rotationMatrix() const
{
    const double n = normSquared();
    return matrixWithScale(n > 0.0 ? 2.0 / n : 0.0);
}

quaternion product(const quaternion& a, const quaternion& b)
{
    return {a.w * b.w - dot(a.v, b.v), a.w * b.v + b.w * a.v + cross(a.v, b.v)};
}

void multiply(quaternion& a, const quaternion& b) { a = product(a, b); }

unitquaternion::unitquaternion(double angle, const Vec3& axis)
    : quaternion(std::cos(angle / 2.0), std::sin(angle / 2.0) * normalized(axis))
{
}

unitquaternion::unitquaternion(const quaternion& q) : quaternion(q) { normalize(); }

Matrix4 unitquaternion::rotationMatrix() const { return matrixWithScale(2.0); }
