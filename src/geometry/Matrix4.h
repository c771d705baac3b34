#pragma once

#include "geometry/Vec3.h"

// 4 x 4 double matrix in column-major order: element (row r, column c) is
// m[4c + r], the layout the graphics library's matrix functions take.
struct Matrix4 {
    double m[16] = {0};

    static Matrix4 identity();
    // The right-handed rotation about normalized(axis) by angle (radians).
    static Matrix4 rotation(const Vec3& axis, double angle);
    static Matrix4 translation(const Vec3& t);

    double& at(int row, int col) { return m[4 * col + row]; }
    double at(int row, int col) const { return m[4 * col + row]; }

    // Applies the matrix to the point (p, 1) and to the direction (d, 0).
    Vec3 transformPoint(const Vec3& p) const;
    Vec3 transformDirection(const Vec3& d) const;
};

Matrix4 product(const Matrix4& a, const Matrix4& b);
// m := m x b
void multiply(Matrix4& m, const Matrix4& b);
// m := m x T(t)
void translate(Matrix4& m, const Vec3& t);
// m := m x R(axis, angle)
void rotate(Matrix4& m, const Vec3& axis, double angle);
// m := R(axis, angle) x m: the rotation applied after the motion m already holds.
void rotateBefore(Matrix4& m, const Vec3& axis, double angle);
// p := T(centre) x R(axis, angle) x T(-centre) applied to (p, 1).
void rotatePointAboutLine(const Vec3& centre, const Vec3& axis, double angle, Vec3& p);
// Rotation of a direction about an axis through the origin.
Vec3 rotateVector(const Vec3& v, const Vec3& axis, double angle);
