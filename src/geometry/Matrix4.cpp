#include "geometry/Matrix4.h"

Matrix4 Matrix4::identity()
{
    Matrix4 r;
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0;
    return r;
}

Matrix4 Matrix4::rotation(const Vec3& axis, double angle)
{
    const Vec3 a = normalized(axis);
    const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    const double x = a.x, y = a.y, z = a.z;
    Matrix4 r;
    r.m[0] = t * x * x + c;
    r.m[1] = t * x * y + s * z;
    r.m[2] = t * x * z - s * y;
    r.m[4] = t * x * y - s * z;
    r.m[5] = t * y * y + c;
    r.m[6] = t * y * z + s * x;
    r.m[8] = t * x * z + s * y;
    r.m[9] = t * y * z - s * x;
    r.m[10] = t * z * z + c;
    r.m[15] = 1.0;
    return r;
}

Matrix4 Matrix4::translation(const Vec3& t)
{
    Matrix4 r = identity();
    r.m[12] = t.x;
    r.m[13] = t.y;
    r.m[14] = t.z;
    return r;
}

Vec3 Matrix4::transformPoint(const Vec3& p) const
{
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

Vec3 Matrix4::transformDirection(const Vec3& d) const
{
    return {m[0] * d.x + m[4] * d.y + m[8] * d.z,
            m[1] * d.x + m[5] * d.y + m[9] * d.z,
            m[2] * d.x + m[6] * d.y + m[10] * d.z};
}

Matrix4 product(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r;
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a.at(row, k) * b.at(k, c);
            r.at(row, c) = sum;
        }
    return r;
}

void multiply(Matrix4& m, const Matrix4& b) { m = product(m, b); }
void translate(Matrix4& m, const Vec3& t) { m = product(m, Matrix4::translation(t)); }
void rotate(Matrix4& m, const Vec3& axis, double angle) { m = product(m, Matrix4::rotation(axis, angle)); }
void rotateBefore(Matrix4& m, const Vec3& axis, double angle) { m = product(Matrix4::rotation(axis, angle), m); }

void rotatePointAboutLine(const Vec3& centre, const Vec3& axis, double angle, Vec3& p)
{
    Matrix4 t = Matrix4::translation(centre);
    rotate(t, axis, angle);
    translate(t, -centre);
    p = t.transformPoint(p);
}

Vec3 rotateVector(const Vec3& v, const Vec3& axis, double angle)
{
    return Matrix4::rotation(axis, angle).transformDirection(v);
}
